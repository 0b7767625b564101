// The traditional ZIP encryption keys, checked against an independent
// implementation of the published algorithm over zlib's crc32().
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>
#include <vector>

#include "installer/zip_crypt_keys.h"
#include "installer/zip_records.h"

namespace {

// The published key update, written with crc32() the way it relates to the
// raw table step: one byte through crc32 inverts before and after.
struct ReferenceKeys
{
    uint32_t k0 = 0x12345678, k1 = 0x23456789, k2 = 0x34567890;
    static uint32_t Step(uint32_t crc, unsigned char c)
    {
        return ~static_cast<uint32_t>(crc32(~crc, &c, 1));
    }
    void Update(unsigned char c)
    {
        k0 = Step(k0, c);
        k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
        k2 = Step(k2, static_cast<unsigned char>(k1 >> 24));
    }
    unsigned char Encrypt(unsigned char c)
    {
        const uint32_t t = (k2 & 0xFFFF) | 2;
        const unsigned char out = c ^ static_cast<unsigned char>((t * (t ^ 1)) >> 8);
        Update(c);
        return out;
    }
};

TEST(ZipCryptKeys, MatchesThePublishedAlgorithm)
{
    ReferenceKeys ref;
    for (const char* p = "s3cr\xE9t"; *p; ++p)
        ref.Update(static_cast<unsigned char>(*p));
    CZipCryptKeys keys;
    keys.Init(L"s3cr\u00E9t");  // characters enter by their low 8 bits
    std::vector<unsigned char> plain(300);
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = static_cast<unsigned char>(i * 7 + 3);
    std::vector<unsigned char> expected(plain.size());
    for (size_t i = 0; i < plain.size(); ++i)
        expected[i] = ref.Encrypt(plain[i]);
    std::vector<unsigned char> mine = plain;
    keys.Encrypt(mine.data(), mine.size());
    EXPECT_EQ(mine, expected);

    CZipCryptKeys back;
    back.Init(L"s3cr\u00E9t");
    back.Decrypt(mine.data(), mine.size());
    EXPECT_EQ(mine, plain);

    // Only the low 8 bits: U+0141 enters as 0x41 ('A').
    CZipCryptKeys a, b;
    a.Init(L"\u0141");
    b.Init(L"A");
    unsigned char x = 0x5A, y = 0x5A;
    EXPECT_EQ(a.EncryptByte(x), b.EncryptByte(y));
}

TEST(ZipCryptKeys, HeaderCheckByte)
{
    EXPECT_EQ(CZipCryptKeys::s_byCheckByte(0, 0x1234ABCD, 0xA1B2C3D4), 0xA1);
    EXPECT_EQ(CZipCryptKeys::s_byCheckByte(ZIP_FLAG_DESCRIPTOR, 0x1234ABCD, 0xA1B2C3D4), 0xAB);

    unsigned char header[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0xC3, 0xA1};
    CZipCryptKeys writer;
    writer.Init(L"pw");
    writer.Encrypt(header, 12);
    unsigned char copy[12];
    std::memcpy(copy, header, 12);
    CZipCryptKeys good;
    good.Init(L"pw");
    EXPECT_TRUE(good.bCheckHeader(header, 0xA1));
    CZipCryptKeys bad;
    bad.Init(L"pX");
    EXPECT_FALSE(bad.bCheckHeader(copy, 0xA1));
}

}  // namespace
