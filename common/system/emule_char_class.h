#pragma once

// Bit (c mod 8) of byte (c / 8) is set when the code page 1252 byte c is a
// letter or a digit (superscript digits included).
extern const unsigned char gpbyIsChaAlphaNumeric_Latin1[32];

bool bEmule_IsCharAlphaNumericA(char c);
