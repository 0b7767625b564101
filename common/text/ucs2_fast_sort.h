#pragma once

#include <cstdint>

// Collation weights of UTF-16 code units: entry u is the weight of unit u, a
// permutation of 0-65535 (no two units share a weight). Each entry is stored
// high byte first, so that weights copied into a key compare with memcmp;
// read the weight as bytes[0] << 8 | bytes[1].
//
// Digits weigh less than letters; each Latin letter's lower case weighs less
// than its upper case, which weighs less than its accented forms, which weigh
// less than the next letter. Generated at build time
// (common/text/tools/ucs2_fast_sort_gen.cpp).
extern const uint16_t tabUCS2FastSort[65536];

// The weight of a unit as a number.
inline unsigned nPoidsUCS2(uint16_t u)
{
    const uint16_t w = tabUCS2FastSort[u];
    return static_cast<unsigned>(((w & 0xFF) << 8) | (w >> 8));
}
