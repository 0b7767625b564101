#include <cstring>

#include "installer/byte_order.h"
#include "installer/crypt_rc5.h"

void CCryptRC5::s_Sha0Block(uint32_t (&adwState)[5], const unsigned char* pbyBlock)
{
    uint32_t w[80];
    for (int t = 0; t < 16; ++t)
        w[t] = LoadLE32(pbyBlock + 4 * t);
    // No one-bit rotation in the expansion: the 1993 form.
    for (int t = 16; t < 80; ++t)
        w[t] = w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16];

    uint32_t a = adwState[0], b = adwState[1], c = adwState[2], d = adwState[3], e = adwState[4];
    for (int t = 0; t < 80; ++t) {
        uint32_t f, k;
        if (t < 20) {
            f = (b & c) | (~b & d);
            k = 0x5A827999;
        } else if (t < 40) {
            f = b ^ c ^ d;
            k = 0x6ED9EBA1;
        } else if (t < 60) {
            f = (b & c) | (b & d) | (c & d);
            k = 0x8F1BBCDC;
        } else {
            f = b ^ c ^ d;
            k = 0xCA62C1D6;
        }
        const uint32_t next = Rotl32(a, 5) + f + e + k + w[t];
        e = d;
        d = c;
        c = Rotl32(b, 30);
        b = a;
        a = next;
    }
    adwState[0] += a;
    adwState[1] += b;
    adwState[2] += c;
    adwState[3] += d;
    adwState[4] += e;
}

// The bytes, then 0x01, zeros, and the byte count as a 32-bit little-endian
// number in the last four bytes of the last block; when the count lands on
// the 0x01 byte it replaces it. The key is the first four chaining words.
void CCryptRC5::BuildCryptKeyBinary(Key* pKey, const unsigned char* pbyData, unsigned nLength)
{
    if (pKey == nullptr)
        return;
    if (pbyData == nullptr)
        nLength = 0;

    uint32_t state[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    const uint64_t whole = nLength / 64;
    for (uint64_t i = 0; i < whole; ++i)
        s_Sha0Block(state, pbyData + 64 * i);

    unsigned char tail[128] = {};
    const unsigned rest = nLength % 64;
    if (rest != 0)
        std::memcpy(tail, pbyData + 64 * whole, rest);
    tail[rest] = 0x01;
    const unsigned blocks = rest + 4 > 64 ? 2 : 1;
    StoreLE32(tail + 64 * blocks - 4, nLength);
    for (unsigned i = 0; i < blocks; ++i)
        s_Sha0Block(state, tail + 64 * i);

    for (int i = 0; i < 4; ++i)
        StoreLE32(*pKey + 4 * i, state[i]);
}
