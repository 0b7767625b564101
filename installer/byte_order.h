#pragma once

#include <cstdint>

// Words in raw bytes, low byte first, and rotations of 32-bit words: the
// archive records, the digests, the cipher and the block headers of the
// installer all store their words this way. The byte pointers need no
// alignment; a rotation by any count (0 and 32 or more included, taken
// modulo 32) is defined.

inline uint32_t LoadLE16(const unsigned char* p)
{
    return uint32_t{p[0]} | uint32_t{p[1]} << 8;
}
inline uint32_t LoadLE32(const unsigned char* p)
{
    return LoadLE16(p) | LoadLE16(p + 2) << 16;
}
inline uint64_t LoadLE64(const unsigned char* p)
{
    return uint64_t{LoadLE32(p)} | uint64_t{LoadLE32(p + 4)} << 32;
}

inline void StoreLE16(unsigned char* p, uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
inline void StoreLE32(unsigned char* p, uint32_t v)
{
    StoreLE16(p, v);
    StoreLE16(p + 2, v >> 16);
}
inline void StoreLE64(unsigned char* p, uint64_t v)
{
    StoreLE32(p, static_cast<uint32_t>(v));
    StoreLE32(p + 4, static_cast<uint32_t>(v >> 32));
}

inline uint32_t Rotl32(uint32_t x, uint32_t n)
{
    return (x << (n & 31)) | (x >> ((32 - n) & 31));
}
inline uint32_t Rotr32(uint32_t x, uint32_t n)
{
    return (x >> (n & 31)) | (x << ((32 - n) & 31));
}
