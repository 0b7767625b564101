// Wide passwords of the RC5 cipher: the bytes they stand for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "installer/crypt_rc5.h"
#include "installer/password_bytes.h"

namespace {

std::vector<unsigned char> Bytes(const wchar_t* p)
{
    unsigned n = 0;
    unsigned char* b = pbyPasswordBytes(p, &n);
    std::vector<unsigned char> v(b, b + n);
    std::free(b);
    return v;
}

TEST(WidePassword, BytesOfCodePage1252OrUTF16)
{
    EXPECT_EQ(Bytes(L"ab\u00E9\u20AC"), (std::vector<unsigned char>{'a', 'b', 0xE9, 0x80}));
    // One character outside 1252 makes the whole text UTF-16.
    EXPECT_EQ(Bytes(L"a\u03A9"), (std::vector<unsigned char>{'a', 0, 0xA9, 0x03}));
    EXPECT_EQ(Bytes(L"\u0081"), (std::vector<unsigned char>{0x81, 0}));
    EXPECT_EQ(Bytes(L"\U0001F600"), (std::vector<unsigned char>{0x3D, 0xD8, 0x00, 0xDE}));
    EXPECT_TRUE(Bytes(L"").empty());
    EXPECT_TRUE(Bytes(nullptr).empty());
}

TEST(WidePassword, KeyAndCipherOfAWidePassword)
{
    CCryptRC5 rc5;
    CCrypt::Key wide, ansi;
    rc5.BuildCryptKey(&wide, L"caf\u00E9");
    rc5.BuildCryptKeyAnsi(&ansi, "caf\xE9");
    EXPECT_EQ(std::memcmp(wide, ansi, sizeof wide), 0);

    CCrypt::Key utf16, raw;
    rc5.BuildCryptKey(&utf16, L"\u03A9");
    const unsigned char omega[] = {0xA9, 0x03};
    rc5.BuildCryptKeyBinary(&raw, omega, 2);
    EXPECT_EQ(std::memcmp(utf16, raw, sizeof raw), 0);

    unsigned char data[21];
    for (unsigned i = 0; i < sizeof data; ++i)
        data[i] = static_cast<unsigned char>(i);
    ASSERT_TRUE(rc5.bSetPassword(L"\u03A9mega"));
    rc5.Crypt(data, sizeof data, nullptr);
    CCryptRC5 other;
    ASSERT_TRUE(other.bSetPassword(L"\u03A9mega"));
    other.Uncrypt(data, sizeof data, nullptr);
    for (unsigned i = 0; i < sizeof data; ++i)
        EXPECT_EQ(data[i], i);
}

}  // namespace
