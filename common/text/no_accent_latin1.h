#pragma once

// Each byte of code page 1252 mapped to its unaccented upper-case form
// (é -> E, œ -> Œ, ÿ -> Y; ß, × and ÷ stay).
extern const unsigned char pToNoAccentUpper_Latin1[256];

// 8-bit comparison without case and accents that needs no locale: bytes are
// compared through pToNoAccentUpper_Latin1 (unsigned); the first difference
// decides (-1 or 1), a text that ends first is smaller. Null reads as empty.
int STR_nCmpLogiqueAnsiFast(const char* a, const char* b);
