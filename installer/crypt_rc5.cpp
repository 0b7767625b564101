#include "installer/crypt_rc5.h"

#include <cstring>
#include <new>

#include "installer/byte_order.h"

namespace {

constexpr uint32_t kP32 = 0xB7E15163;
constexpr uint32_t kQ32 = 0x9E3779B9;

unsigned Rotl4(unsigned x, unsigned n)
{
    return ((x << n) | (x >> (4 - n))) & 15;
}

unsigned Rotr4(unsigned x, unsigned n)
{
    return ((x >> n) | (x << (4 - n))) & 15;
}

// The block's high half is A and its low half B.
uint64_t EncryptBlock(const uint32_t* s, uint32_t rounds, uint64_t v)
{
    uint32_t a = static_cast<uint32_t>(v >> 32) + s[0];
    uint32_t b = static_cast<uint32_t>(v) + s[1];
    for (uint32_t i = 1; i <= rounds; ++i) {
        a = Rotl32(a ^ b, b) + s[2 * i];
        b = Rotl32(b ^ a, a) + s[2 * i + 1];
    }
    return uint64_t{a} << 32 | b;
}

uint64_t DecryptBlock(const uint32_t* s, uint32_t rounds, uint64_t v)
{
    uint32_t a = static_cast<uint32_t>(v >> 32);
    uint32_t b = static_cast<uint32_t>(v);
    for (uint32_t i = rounds; i >= 1; --i) {
        b = Rotr32(b - s[2 * i + 1], a) ^ a;
        a = Rotr32(a - s[2 * i], b) ^ b;
    }
    return uint64_t{a - s[0]} << 32 | (b - s[1]);
}

unsigned char EncryptNibbles(const uint32_t* s, uint32_t rounds, unsigned y)
{
    unsigned b = ((y & 15) + (s[1] & 0xFF)) & 15;
    unsigned a = ((y >> 4) + (s[0] & 0xFF)) & 15;
    for (uint32_t i = 1; i <= rounds; ++i) {
        a = (Rotl4(a ^ b, b & 3) + (s[2 * i] & 0xFF)) & 15;
        b = (Rotl4(a ^ b, a & 3) + (s[2 * i + 1] & 0xFF)) & 15;
    }
    return static_cast<unsigned char>(a << 4 | b);
}

unsigned char DecryptNibbles(const uint32_t* s, uint32_t rounds, unsigned c)
{
    unsigned a = c >> 4;
    unsigned b = c & 15;
    for (uint32_t i = rounds; i >= 1; --i) {
        b = Rotr4((b - (s[2 * i + 1] & 0xFF)) & 15, a & 3) ^ a;
        a = Rotr4((a - (s[2 * i] & 0xFF)) & 15, b & 3) ^ b;
    }
    b = (b - (s[1] & 0xFF)) & 15;
    a = (a - (s[0] & 0xFF)) & 15;
    return static_cast<unsigned char>(a << 4 | b);
}

unsigned ClampRounds(unsigned rounds)
{
    if (rounds < 1)
        return 1;
    return rounds > CCryptRC5::nMaxRounds ? CCryptRC5::nMaxRounds : rounds;
}

}  // namespace

CCryptRC5::CCryptRC5(unsigned nRounds) : m_dwRounds(ClampRounds(nRounds))
{
}

CCryptRC5::~CCryptRC5()
{
    delete[] m_pdwTable;
}

int CCryptRC5::_bExpandKey()
{
    delete[] m_pdwTable;
    const uint32_t t = 2 * m_dwRounds + 2;
    m_pdwTable = new (std::nothrow) uint32_t[t];
    if (m_pdwTable == nullptr)
        return 0;

    uint32_t l[4];
    for (int i = 0; i < 4; ++i)
        l[i] = LoadLE32(m_abyKey + 4 * i);
    uint32_t* s = m_pdwTable;
    s[0] = kP32;
    for (uint32_t i = 1; i < t; ++i)
        s[i] = s[i - 1] + kQ32;
    uint32_t a = 0, b = 0;
    for (uint32_t k = 0, i = 0, j = 0; k < 3 * t; ++k, i = (i + 1) % t, j = (j + 1) % 4) {
        a = s[i] = Rotl32(s[i] + a + b, 3);
        b = l[j] = Rotl32(l[j] + a + b, a + b);
    }
    return 1;
}

bool CCryptRC5::_bReady()
{
    return m_pdwTable != nullptr || _bExpandKey();
}

int CCryptRC5::bSetCryptKey(const void* pKey, unsigned long nLength)
{
    CCrypt::bSetCryptKey(pKey, nLength);
    return _bExpandKey();
}

int CCryptRC5::bSetCryptKey(Key* pKey)
{
    CCrypt::bSetCryptKey(pKey);
    return _bExpandKey();
}

int CCryptRC5::bSetRounds(unsigned nRounds)
{
    if (nRounds < 1 || nRounds > nMaxRounds)
        return 0;
    m_dwRounds = nRounds;
    return _bExpandKey();
}

int CCryptRC5::bSetPassword(const wchar_t* pszText)
{
    Key key = {};
    BuildCryptKey(&key, pszText);
    return bSetCryptKey(&key);
}

int CCryptRC5::bSetPasswordAnsi(const char* pszText)
{
    Key key;
    BuildCryptKeyAnsi(&key, pszText);
    return bSetCryptKey(&key);
}

void CCryptRC5::Crypt(unsigned char* pbyData, unsigned long nLength, Key* pKey)
{
    _Chain(pbyData, nLength, pKey, true);
}

void CCryptRC5::Uncrypt(unsigned char* pbyData, unsigned long nLength, Key* pKey)
{
    _Chain(pbyData, nLength, pKey, false);
}

void CCryptRC5::_Chain(unsigned char* pbyData, unsigned long nLength, Key* pKey, bool bEncipher)
{
    if (pKey != nullptr && !bSetCryptKey(pKey))
        return;
    if (pbyData == nullptr || !_bReady())
        return;
    const uint32_t* s = m_pdwTable;
    // Both ways chain on the cipher text: what enciphering writes, what
    // deciphering reads.
    uint64_t chain = 0;
    unsigned long i = 0;
    for (; nLength - i >= 8; i += 8) {
        const uint64_t in = LoadLE64(pbyData + i);
        const uint64_t out =
            bEncipher ? EncryptBlock(s, m_dwRounds, in ^ chain) : DecryptBlock(s, m_dwRounds, in) ^ chain;
        StoreLE64(pbyData + i, out);
        chain = bEncipher ? out : in;
    }
    unsigned char byteChain = static_cast<unsigned char>(chain);
    for (; i < nLength; ++i) {
        const unsigned char in = pbyData[i];
        const unsigned char out = bEncipher ? EncryptNibbles(s, m_dwRounds, in ^ byteChain)
                                            : static_cast<unsigned char>(DecryptNibbles(s, m_dwRounds, in) ^ byteChain);
        pbyData[i] = out;
        byteChain = bEncipher ? out : in;
    }
}
