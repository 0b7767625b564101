#pragma once

#include <cstdint>

// String hashes for the chained hash tables: 32-bit sums of the character
// codes, wrapping; 0 for a null or empty text.
uint32_t dwHashValT(wchar_t const* psz);
// Bytes taken as signed chars: 0x80-0xFF count negative.
uint32_t dwHashValTA(char const* psz);
// Sum of towupper of each character.
uint32_t dwHashValTi(wchar_t const* psz);
// Sum of toupper of each byte passed as a signed char: in the C library the
// bytes 0x80-0xFF map to themselves as unsigned values, so this hash differs
// from dwHashValTA for them.
uint32_t dwHashValTiA(char const* psz);
