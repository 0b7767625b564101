#pragma once

// Comparison driven by the host language's comparison options.
//
// Option bits: 1 trims white space (9-13 and 32) on both sides; 2 ignores
// symbols; 4 ignores accents; 16 or 32 ignores case (upper-case map) unless
// 64 asks for the lower-case map; 256 passes the interface's flag 0x800;
// 8 compares lexically in the current locale (0x80000000 goes on with it);
// 128 respects numbers by value.

// The map flags of the options (see above); other bits give nothing.
unsigned OptionZL2FlagSTR(unsigned options);

// Prepares a text for the comparison: trimmed (bit 1), then, when the
// options give map flags, mapped through the current locale's map into dst,
// otherwise copied (at most capacity - 1 units) and terminated. Answers the
// units written. Length -1: up to the terminator.
int STR_PrepareChaineW(unsigned options, const wchar_t* src, int length, wchar_t* dst, int capacity);
int STR_PrepareChaineA(unsigned options, const char* src, int length, char* dst, int capacity);

// Compares two texts prepared as above: lexically (bit 8; the 8-bit form
// character by character), by numbers (bit 128), or else by the units of
// the prepared texts (the shorter first when one is a prefix).
int STR_ChaineCompareW(const wchar_t* a, int na, const wchar_t* b, int nb, unsigned options);
int STR_ChaineCompareA(const char* a, int na, const char* b, int nb, unsigned options);
