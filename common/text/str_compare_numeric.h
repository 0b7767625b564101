#pragma once

// Comparison that respects numbers by value: runs of digits compare as
// numbers ("a9" < "a10"; equal numbers with more leading zeros sort first,
// "a007" < "a7", unless a later difference decides). Lengths of -1 mean up
// to the terminator; a null text reads as empty.
//
// Without STR_FLAG_LEXICAL the rest compares by code: in the wide form whole
// runs of non-digits (common part by the bytes of the characters in memory,
// little-endian, then the shorter run first), and a digit against a
// non-digit by the first differing byte of the two characters; in the 8-bit
// form byte by byte as unsigned values. With STR_FLAG_LEXICAL the rest goes
// to the lexical comparisons of the locale interface (with these flags).
int STR_nCompareRespecteNumeriqueW(const wchar_t* a, int na, const wchar_t* b, int nb, unsigned flags);
int STR_nCompareRespecteNumeriqueA(const char* a, int na, const char* b, int nb, unsigned flags);
