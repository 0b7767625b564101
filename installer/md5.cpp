#include "installer/md5.h"

#include <cstring>

#include "installer/byte_order.h"

namespace {

uint32_t F(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (~x & z); }
uint32_t G(uint32_t x, uint32_t y, uint32_t z) { return (x & z) | (y & ~z); }
uint32_t H(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
uint32_t I(uint32_t x, uint32_t y, uint32_t z) { return y ^ (x | ~z); }

// Per step: the shift and the additive constant floor(abs(sin(i + 1)) * 2^32).
constexpr unsigned kShift[64] = {
    7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
    5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
    4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
    6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21,
};

constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

}  // namespace

void CMD5::Reset()
{
    m_bDataAdded = 0;
    m_adwState[0] = 0x67452301;
    m_adwState[1] = 0xefcdab89;
    m_adwState[2] = 0x98badcfe;
    m_adwState[3] = 0x10325476;
    m_adwBitCount[0] = 0;
    m_adwBitCount[1] = 0;
    std::memset(m_abyBuffer, 0, sizeof m_abyBuffer);
}

void CMD5::_Transform(const unsigned char* pbyBlock)
{
    uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = LoadLE32(pbyBlock + 4 * i);

    uint32_t a = m_adwState[0], b = m_adwState[1], c = m_adwState[2], d = m_adwState[3];
    for (int i = 0; i < 64; ++i) {
        uint32_t f;
        int k;
        switch (i / 16) {
        case 0: f = F(b, c, d); k = i; break;
        case 1: f = G(b, c, d); k = (5 * i + 1) % 16; break;
        case 2: f = H(b, c, d); k = (3 * i + 5) % 16; break;
        default: f = I(b, c, d); k = (7 * i) % 16; break;
        }
        const uint32_t next = b + Rotl32(a + f + kSine[i] + x[k], kShift[i]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    m_adwState[0] += a;
    m_adwState[1] += b;
    m_adwState[2] += c;
    m_adwState[3] += d;
}

void CMD5::AddData(const unsigned char* pbyData, unsigned nLength)
{
    if (pbyData == nullptr || nLength == 0)
        return;
    m_bDataAdded = 1;

    unsigned used = (m_adwBitCount[0] >> 3) & 63;
    const uint32_t low = m_adwBitCount[0] + (uint32_t{nLength} << 3);
    if (low < m_adwBitCount[0])
        ++m_adwBitCount[1];
    m_adwBitCount[0] = low;
    m_adwBitCount[1] += nLength >> 29;

    if (used != 0) {
        const unsigned room = 64 - used;
        if (nLength < room) {
            std::memcpy(m_abyBuffer + used, pbyData, nLength);
            return;
        }
        std::memcpy(m_abyBuffer + used, pbyData, room);
        _Transform(m_abyBuffer);
        pbyData += room;
        nLength -= room;
    }
    for (; nLength >= 64; pbyData += 64, nLength -= 64)
        _Transform(pbyData);
    std::memcpy(m_abyBuffer, pbyData, nLength);
}

void CMD5::FinalDigest(unsigned char* pbyDigest)
{
    unsigned char length[8];
    StoreLE32(length, m_adwBitCount[0]);
    StoreLE32(length + 4, m_adwBitCount[1]);

    // 0x80, zeros up to 56 mod 64, then the bit length.
    static const unsigned char padding[64] = {0x80};
    const unsigned used = (m_adwBitCount[0] >> 3) & 63;
    AddData(padding, used < 56 ? 56 - used : 120 - used);
    AddData(length, 8);

    if (pbyDigest != nullptr) {
        for (int i = 0; i < 4; ++i)
            StoreLE32(pbyDigest + 4 * i, m_adwState[i]);
    }
    Reset();
}
