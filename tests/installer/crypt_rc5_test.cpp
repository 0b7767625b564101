#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "installer/crypt_rc5.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes FromHex(const std::string& hex)
{
    Bytes out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

std::string ToHex(const unsigned char* p, size_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out;
}

Bytes Pattern(size_t n, unsigned seed)
{
    Bytes out(n);
    for (auto& b : out) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<unsigned char>(seed >> 16);
    }
    return out;
}

// ---- A reference RC5-32/r/16, written from the published description ----
// (A from bytes 0-3, B from bytes 4-7), checked against Rivest's vectors below.
uint32_t RefRotl(uint32_t x, uint32_t n) { n %= 32; return n ? (x << n) | (x >> (32 - n)) : x; }

std::vector<uint32_t> RefExpand(const Bytes& key, unsigned r)
{
    const unsigned t = 2 * r + 2;
    uint32_t l[4] = {};
    for (int i = 15; i >= 0; --i)
        l[i / 4] = (l[i / 4] << 8) + key[i];
    std::vector<uint32_t> s(t);
    s[0] = 0xB7E15163;
    for (unsigned i = 1; i < t; ++i)
        s[i] = s[i - 1] + 0x9E3779B9;
    uint32_t a = 0, b = 0;
    unsigned i = 0, j = 0;
    for (unsigned k = 0; k < 3 * std::max(t, 4u); ++k) {
        a = s[i] = RefRotl(s[i] + a + b, 3);
        b = l[j] = RefRotl(l[j] + a + b, a + b);
        i = (i + 1) % t;
        j = (j + 1) % 4;
    }
    return s;
}

void RefEncrypt(const std::vector<uint32_t>& s, unsigned r, uint32_t& a, uint32_t& b)
{
    a += s[0];
    b += s[1];
    for (unsigned i = 1; i <= r; ++i) {
        a = RefRotl(a ^ b, b) + s[2 * i];
        b = RefRotl(b ^ a, a) + s[2 * i + 1];
    }
}

uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24; }
void PutLe32(unsigned char* p, uint32_t v) { for (int i = 0; i < 4; ++i, v >>= 8) p[i] = static_cast<unsigned char>(v); }

// The whole cipher as this program defines it: CBC over the blocks with the
// block's halves swapped, then the 4-bit rounds over the tail bytes.
Bytes RefCrypt(const Bytes& key, unsigned r, Bytes data)
{
    const auto s = RefExpand(key, r);
    unsigned char prev[8] = {};
    size_t i = 0;
    for (; i + 8 <= data.size(); i += 8) {
        unsigned char x[8];
        for (int k = 0; k < 8; ++k)
            x[k] = data[i + k] ^ prev[k];
        uint32_t a = Le32(x + 4), b = Le32(x);
        RefEncrypt(s, r, a, b);
        PutLe32(&data[i + 4], a);
        PutLe32(&data[i], b);
        std::memcpy(prev, &data[i], 8);
    }
    unsigned chain = prev[0];
    for (; i < data.size(); ++i) {
        const unsigned y = data[i] ^ chain;
        unsigned b = ((y & 15) + (s[1] & 255)) % 16;
        unsigned a = ((y >> 4) + (s[0] & 255)) % 16;
        auto rot = [](unsigned v, unsigned n) { return ((v << n) | (v >> (4 - n))) & 15; };
        for (unsigned k = 1; k <= r; ++k) {
            a = (rot(a ^ b, b % 4) + (s[2 * k] & 255)) % 16;
            b = (rot(a ^ b, a % 4) + (s[2 * k + 1] & 255)) % 16;
        }
        data[i] = static_cast<unsigned char>(a * 16 + b);
        chain = data[i];
    }
    return data;
}

struct Rc5Vector { const char* key; const char* plain; const char* cipher; };

// RC5-32/12/16 test vectors as published with the cipher.
const Rc5Vector kRc5Vectors[] = {
    {"00000000000000000000000000000000", "0000000000000000", "21a5dbee154b8f6d"},
    {"915f4619be41b2516355a50110a9ce91", "21a5dbee154b8f6d", "f7c013ac5b2b8952"},
    {"783348e75aeb0f2fd7b169bb8dc16787", "f7c013ac5b2b8952", "2f42b3b70369fc92"},
    {"dc49db1375a5584f6485b413b5f12baf", "2f42b3b70369fc92", "65c178b284d197cc"},
    {"5269f149d41ba0152497574d7f153125", "65c178b284d197cc", "eb44e415da319824"},
};

// Exchanges the two 4-byte halves of an 8-byte block.
Bytes SwapHalves(Bytes block)
{
    std::rotate(block.begin(), block.begin() + 4, block.end());
    return block;
}

TEST(RC5, PublishedVectorsWithTheHalvesExchanged)
{
    for (const Rc5Vector& v : kRc5Vectors) {
        const Bytes key = FromHex(v.key);
        const Bytes plain = FromHex(v.plain);
        const Bytes cipher = FromHex(v.cipher);
        {
            const auto s = RefExpand(key, 12);
            uint32_t a = Le32(plain.data()), b = Le32(plain.data() + 4);
            RefEncrypt(s, 12, a, b);
            unsigned char out[8];
            PutLe32(out, a);
            PutLe32(out + 4, b);
            ASSERT_EQ(v.cipher, ToHex(out, 8)) << "reference";
        }
        // One block, zero vector: the block cipher alone, A taken from the
        // block's upper four bytes.
        CCryptRC5 rc5;
        EXPECT_EQ(12u, rc5.nGetRounds());
        Bytes data = SwapHalves(plain);
        CCrypt::Key k;
        std::memcpy(k, key.data(), 16);
        rc5.Crypt(data.data(), data.size(), &k);
        EXPECT_EQ(ToHex(SwapHalves(cipher).data(), 8), ToHex(data.data(), 8)) << v.key;
        rc5.Uncrypt(data.data(), data.size(), nullptr);
        EXPECT_EQ(SwapHalves(plain), data);
    }
}

TEST(RC5, ChainingAndTailMatchTheReferenceAndRoundTrip)
{
    const Bytes key = FromHex("915f4619be41b2516355a50110a9ce91");
    CCrypt::Key k;
    std::memcpy(k, key.data(), 16);
    for (unsigned rounds : {1u, 12u, 20u}) {
        CCryptRC5 rc5(rounds);
        ASSERT_TRUE(rc5.bSetCryptKey(&k));
        for (size_t n : {0, 1, 5, 7, 8, 9, 15, 16, 17, 31, 64, 67}) {
            const Bytes plain = Pattern(n, static_cast<unsigned>(n + rounds));
            Bytes data = plain;
            rc5.Crypt(data.data(), data.size(), nullptr);
            EXPECT_EQ(RefCrypt(key, rounds, plain), data) << n << " bytes, " << rounds << " rounds";
            rc5.Uncrypt(data.data(), data.size(), nullptr);
            EXPECT_EQ(plain, data) << n << " bytes, " << rounds << " rounds";
        }
    }
    // Equal plaintext blocks give different cipher blocks; equal tail bytes too.
    CCryptRC5 rc5;
    Bytes data(19, 0x41);
    rc5.Crypt(data.data(), data.size(), &k);
    EXPECT_NE(Bytes(data.begin(), data.begin() + 8), Bytes(data.begin() + 8, data.begin() + 16));
    EXPECT_FALSE(data[16] == data[17] && data[17] == data[18]);
}

TEST(RC5, KeySettingAndRounds)
{
    CCryptRC5 rc5;
    const unsigned char longKey[20] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
    EXPECT_TRUE(rc5.bSetCryptKey(longKey, sizeof longKey));
    EXPECT_EQ(0, std::memcmp(rc5.pbyGetKey(), longKey, 16));
    EXPECT_TRUE(rc5.bSetCryptKey(longKey, 3));
    const unsigned char shortKey[16] = {1, 2, 3};
    EXPECT_EQ(0, std::memcmp(rc5.pbyGetKey(), shortKey, 16));
    EXPECT_TRUE(rc5.bSetCryptKey(nullptr, 16));
    const unsigned char zero[16] = {};
    EXPECT_EQ(0, std::memcmp(rc5.pbyGetKey(), zero, 16));

    // A cipher used before any key works under the zero key.
    CCryptRC5 fresh;
    Bytes data = FromHex("0000000000000000");
    fresh.Crypt(data.data(), data.size(), nullptr);
    EXPECT_EQ("154b8f6d21a5dbee", ToHex(data.data(), 8));

    // Changing the rounds expands the key again.
    EXPECT_FALSE(fresh.bSetRounds(0));
    EXPECT_FALSE(fresh.bSetRounds(256));
    EXPECT_EQ(12u, fresh.nGetRounds());
    ASSERT_TRUE(fresh.bSetRounds(20));
    data = Bytes(8, 0);
    fresh.Crypt(data.data(), data.size(), nullptr);
    EXPECT_EQ(RefCrypt(Bytes(16, 0), 20, Bytes(8, 0)), data);
    EXPECT_EQ(1u, CCryptRC5(0).nGetRounds());
    EXPECT_EQ(255u, CCryptRC5(1000).nGetRounds());
}

// ---- Password keys ----

// The standard 1993 hash of a message, computed with the block function by
// handing it the standard padded blocks with every word byte-swapped (the
// block function reads its words little-endian).
std::string StandardSha0(const std::string& message)
{
    Bytes padded(message.begin(), message.end());
    const uint64_t bits = uint64_t{message.size()} * 8;
    padded.push_back(0x80);
    while (padded.size() % 64 != 56)
        padded.push_back(0);
    for (int i = 7; i >= 0; --i)
        padded.push_back(static_cast<unsigned char>(bits >> (8 * i)));
    for (size_t i = 0; i < padded.size(); i += 4)
        std::reverse(padded.begin() + i, padded.begin() + i + 4);
    uint32_t state[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    for (size_t i = 0; i < padded.size(); i += 64)
        CCryptRC5::s_Sha0Block(state, padded.data() + i);
    char out[41];
    std::snprintf(out, sizeof out, "%08x%08x%08x%08x%08x", state[0], state[1], state[2], state[3], state[4]);
    return out;
}

TEST(PasswordKey, BlockFunctionGivesThePublishedDigests)
{
    EXPECT_EQ("0164b8a914cd2a5e74c4f7ff082c4d97f1edf880", StandardSha0("abc"));
    EXPECT_EQ("d2516ee1acfa5baf33dfc1c471e438449ef134c8",
              StandardSha0("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"));
}

// The key by the padding rule, built the plain way: a zero-filled buffer of
// 64 x ceil((n + 4) / 64) bytes, data, 0x01, then n in the last four bytes.
std::string RuleKey(const Bytes& data)
{
    const size_t n = data.size();
    Bytes buffer(64 * ((n + 4 + 63) / 64), 0);
    std::copy(data.begin(), data.end(), buffer.begin());
    buffer[n] = 0x01;
    PutLe32(&buffer[buffer.size() - 4], static_cast<uint32_t>(n));
    uint32_t state[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    for (size_t i = 0; i < buffer.size(); i += 64)
        CCryptRC5::s_Sha0Block(state, buffer.data() + i);
    unsigned char key[16];
    for (int i = 0; i < 4; ++i)
        PutLe32(key + 4 * i, state[i]);
    return ToHex(key, 16);
}

TEST(PasswordKey, PaddingAtEveryBlockBoundary)
{
    CCryptRC5 rc5;
    for (size_t n : {0, 1, 3, 55, 59, 60, 61, 63, 64, 65, 123, 124, 125, 128, 300}) {
        const Bytes data = Pattern(n, static_cast<unsigned>(n));
        CCrypt::Key key;
        rc5.BuildCryptKeyBinary(&key, data.data(), static_cast<unsigned>(n));
        EXPECT_EQ(RuleKey(data), ToHex(key, 16)) << n;
    }
    // Sixty bytes fill exactly one block and their count covers the 0x01:
    // the key is the block function over the bytes and the count alone.
    const Bytes sixty = Pattern(60, 7);
    Bytes block = sixty;
    block.insert(block.end(), {60, 0, 0, 0});
    uint32_t state[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    CCryptRC5::s_Sha0Block(state, block.data());
    CCrypt::Key key;
    rc5.BuildCryptKeyBinary(&key, sixty.data(), 60);
    EXPECT_EQ(state[0], Le32(key));
    EXPECT_EQ(state[3], Le32(key + 12));
}

TEST(PasswordKey, TextPasswordsUseTheirBytes)
{
    CCryptRC5 rc5;
    CCrypt::Key fromText, fromBytes, fromNull, fromEmpty;
    rc5.BuildCryptKeyAnsi(&fromText, "secret");
    rc5.BuildCryptKeyBinary(&fromBytes, reinterpret_cast<const unsigned char*>("secret"), 6);
    EXPECT_EQ(0, std::memcmp(fromText, fromBytes, 16));
    rc5.BuildCryptKeyAnsi(&fromNull, nullptr);
    rc5.BuildCryptKeyBinary(&fromEmpty, nullptr, 0);
    EXPECT_EQ(0, std::memcmp(fromNull, fromEmpty, 16));
    EXPECT_EQ(RuleKey({}), ToHex(fromEmpty, 16));

    ASSERT_TRUE(rc5.bSetPasswordAnsi("secret"));
    EXPECT_EQ(0, std::memcmp(rc5.pbyGetKey(), fromText, 16));

    // A password-keyed cipher deciphers what the same password enciphered.
    Bytes data = Pattern(29, 3);
    const Bytes plain = data;
    rc5.Crypt(data.data(), data.size(), nullptr);
    CCryptRC5 other;
    ASSERT_TRUE(other.bSetPasswordAnsi("secret"));
    other.Uncrypt(data.data(), data.size(), nullptr);
    EXPECT_EQ(plain, data);
}

}  // namespace
