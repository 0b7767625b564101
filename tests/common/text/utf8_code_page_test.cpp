#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/system/code_page_conversion.h"
#include "common/text/utf8_code_page.h"
#include "tests/common/text/code_page_locale_fixture.h"

namespace {

TEST(MultiByteToUTF8, ConvertsRunsAndZeroFills)
{
    char out[16];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(7, MultiByteToUTF8(1252, "a\xE9\x80z", -1, out, 16, 0));
    EXPECT_EQ(std::string("a\xC3\xA9\xE2\x82\xAC" "z", 7), std::string(out, 7));
    EXPECT_EQ(0, out[7]);
    EXPECT_EQ(0, out[15]) << "the rest is zero-filled";
}

TEST(MultiByteToUTF8, CapacityEdges)
{
    char out[8];
    // Capacity 0 writes nothing, also for code page 65001.
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(0, MultiByteToUTF8(CP_UTF8, "abc", -1, out, 0, 0));
    EXPECT_EQ(0, MultiByteToUTF8(1252, "abc", -1, out, 0, 0));
    EXPECT_EQ('#', out[0]);
    // A destination filled exactly gets no terminator and the count is its size.
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(4, MultiByteToUTF8(1252, "ab\xE9", -1, out, 4, 0));
    EXPECT_EQ(0, std::memcmp(out, "ab\xC3\xA9", 4));
    EXPECT_EQ('#', out[4]);
    // A run that does not fit fails as a whole.
    EXPECT_EQ(0, MultiByteToUTF8(1252, "ab\xE9", -1, out, 3, 0));
    // Code page 65001 copies at most min(n, capacity - 1) bytes.
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(2, MultiByteToUTF8(CP_UTF8, "abcdef", 2, out, 8, 0));
    EXPECT_STREQ("ab", out);
    EXPECT_EQ(3, MultiByteToUTF8(CP_UTF8, "abcdef", -1, out, 4, 0));
    EXPECT_STREQ("abc", out);
    // An empty source zero-fills.
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(0, MultiByteToUTF8(1252, "", -1, out, 8, 0));
    EXPECT_EQ(0, out[7]);
}

TEST(MultiByteToUTF8, DoubleByteAndStatefulCodePagesKeepTheirCharacters)
{
    char out[32];
    // The second byte of U+30BD in code page 932 is 0x5C, an ASCII value.
    EXPECT_EQ(7, MultiByteToUTF8(932, "\x83\x5C" "a\x93\xFA", -1, out, 32, 0));
    EXPECT_STREQ("\xE3\x82\xBD" "a\xE6\x97\xA5", out);
    EXPECT_EQ(4, MultiByteToUTF8(50220, "\x1B$BF|\x1B(B" "a", -1, out, 32, 0));
    EXPECT_STREQ("\xE6\x97\xA5" "a", out);
    // A lead byte that ends the source is dropped.
    EXPECT_EQ(1, MultiByteToUTF8(932, "a\x83", -1, out, 32, 0));
    EXPECT_STREQ("a", out);
    EXPECT_EQ(0, MultiByteToUTF8(1252, "a\x81", -1, out, 32, MB_ERR_INVALID_CHARS));
}

TEST(UTF8ToMultiByte, ConvertsRunsAndReportsDefaults)
{
    char out[16];
    int used = -1;
    EXPECT_EQ(4, UTF8ToMultiByte(1252, "a\xC3\xA9\xE6\x97\xA5z", -1, out, 16, 0, nullptr, &used));
    EXPECT_STREQ("a\xE9?z", out);
    EXPECT_EQ(1, used);
    EXPECT_EQ(5, UTF8ToMultiByte(1252, "a\xE6\x97\xA5z\xC3\xA9", -1, out, 16, 0, "<>", &used));
    EXPECT_STREQ("a<>z\xE9", out);
    EXPECT_EQ(1, used) << "one run's default stays reported after a later run";
    EXPECT_EQ(3, UTF8ToMultiByte(932, "\xE3\x82\xBD" "a", -1, out, 16, 0, nullptr, &used));
    EXPECT_STREQ("\x83\x5C" "a", out);
    EXPECT_EQ(0, used);
    // Invalid and cut sequences are dropped, never fail the text.
    EXPECT_EQ(2, UTF8ToMultiByte(1252, "a\xC3" "b", -1, out, 16, 0, nullptr, &used));
    EXPECT_STREQ("ab", out);
    EXPECT_EQ(1, UTF8ToMultiByte(1252, "a\xE6\x97", -1, out, 16, 0, nullptr, &used));
    EXPECT_STREQ("a", out);
    // Capacity edges as the other direction.
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(0, UTF8ToMultiByte(1252, "abc", -1, out, 0, 0, nullptr, &used));
    EXPECT_EQ(0, UTF8ToMultiByte(CP_UTF8, "abc", -1, out, 0, 0, nullptr, &used));
    EXPECT_EQ('#', out[0]);
    EXPECT_EQ(2, UTF8ToMultiByte(CP_UTF8, "abcdef", 2, out, 8, 0, nullptr, &used));
    EXPECT_STREQ("ab", out);
    EXPECT_EQ(7, UTF8ToMultiByte(CP_UTF8, "abcdefghij", -1, out, 8, 0, nullptr, &used));
    EXPECT_STREQ("abcdefg", out);
}

TEST(CurrentCharsetForms, FollowTheHost)
{
    char out[16];
    EXPECT_EQ(2, MultiByteToUTF8_CurrentCharset("\xC6", -1, out, 16, 0));
    EXPECT_STREQ("\xC3\x86", out) << "1252 without a host locale";
    CodePageLocale locale(1251);
    EXPECT_EQ(2, MultiByteToUTF8_CurrentCharset("\xC6", -1, out, 16, 0));
    EXPECT_STREQ("\xD0\x96", out);
    EXPECT_EQ(1, UTF8ToMultiByte_CurrentCharset("\xD0\x96", -1, out, 16, 0));
    EXPECT_STREQ("\xC6", out);
    unsigned short units[4];
    EXPECT_EQ(2, MultiByteToUTF16_CurrentCharset(0, "\xC6", -1, units, 4));
    EXPECT_EQ(0x0416, units[0]);
}

TEST(Utf16AndCodePages, LargeTextsUseTheHeap)
{
    // Far beyond any stack area: a million bytes each way.
    std::string text(1 << 20, '\xE9');
    std::vector<unsigned short> units(text.size() + 1);
    EXPECT_EQ(static_cast<int>(text.size()), MultiByteToUTF16(1252, 0, text.data(), static_cast<int>(text.size()), nullptr, 0));
    ASSERT_EQ(static_cast<int>(text.size()),
              MultiByteToUTF16(1252, 0, text.data(), static_cast<int>(text.size()), units.data(), static_cast<int>(units.size())));
    EXPECT_EQ(0xE9, units.back() == 0 ? units[text.size() - 1] : units.back());
    std::string back(text.size(), '\0');
    int used = -1;
    ASSERT_EQ(static_cast<int>(text.size()), UTF16ToMultiByte(1252, 0, units.data(), static_cast<int>(text.size()), back.data(),
                                                              static_cast<int>(back.size()), nullptr, &used));
    EXPECT_EQ(text, back);
    EXPECT_EQ(0, used);
}

TEST(Utf16AndCodePages, SmallConversions)
{
    unsigned short units[8];
    EXPECT_EQ(3, MultiByteToUTF16(932, 0, "\x93\xFA" "a", -1, units, 8));
    EXPECT_EQ(0x65E5, units[0]);
    EXPECT_EQ(0, units[2]);
    EXPECT_EQ(3, MultiByteToUTF16(932, 0, "\x93\xFA" "a", -1, nullptr, 0));
    const unsigned short src[] = {0x65E5, 'a', 0};
    char out[8];
    int used = 0;
    EXPECT_EQ(3, UTF16ToMultiByte(1252, 0, src, -1, out, 8, nullptr, &used));
    EXPECT_STREQ("?a", out);
    EXPECT_EQ(1, used);
}

}  // namespace
