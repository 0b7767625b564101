#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/text/utf8_convert.h"

namespace {

TEST(Utf8Encoding, OneCharacter)
{
    const struct { unsigned c; const char* bytes; } cases[] = {
        {'A', "A"}, {0xE9, "\xC3\xA9"}, {0x20AC, "\xE2\x82\xAC"}, {0x1F600, "\xF0\x9F\x98\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"}, {0x110000, "?"}, {0xFFFFFFFF, "?"},
    };
    for (const auto& c : cases) {
        char out[5];
        std::memset(out, '#', sizeof out);
        EXPECT_EQ(static_cast<int>(std::strlen(c.bytes)), UTF32ToUTF8(c.c, out));
        EXPECT_STREQ(c.bytes, out);
    }
}

TEST(Utf8Encoding, WholeBoundedAndCountedTexts)
{
    char out[16];
    EXPECT_EQ(6, WideToUTF8(out, L"a\u00E9\u20AC"));
    EXPECT_STREQ("a\xC3\xA9\xE2\x82\xAC", out);

    // The capacity form stops before a character that leaves no room for the
    // terminator and always terminates.
    const struct { int capacity; const char* text; } bounded[] = {
        {1, ""}, {2, "a"}, {3, "a"}, {4, "a\xC3\xA9"}, {6, "a\xC3\xA9"}, {7, "a\xC3\xA9\xE2\x82\xAC"},
    };
    for (const auto& b : bounded) {
        std::memset(out, '#', sizeof out);
        EXPECT_EQ(static_cast<int>(std::strlen(b.text)), WideToUTF8(out, b.capacity, L"a\u00E9\u20AC"));
        EXPECT_STREQ(b.text, out);
        EXPECT_EQ('#', out[b.capacity]);
    }
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(0, WideToUTF8(out, 0, L"abc"));
    EXPECT_EQ('#', out[0]);

    // n characters, no terminator of its own; -1 encodes the terminator.
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(3, nWideToUTF8(out, 16, L"a\u00E9\u20AC", 2));
    EXPECT_EQ('#', out[3]);
    EXPECT_EQ(7, nWideToUTF8(out, 16, L"a\u00E9\u20AC", -1));
    EXPECT_EQ(0, out[6]);
    EXPECT_EQ(3, nWideToUTF8(out, 5, L"a\u00E9\u20AC", 3)) << "stops before a sequence that does not fit";
    const wchar_t bad[] = {static_cast<wchar_t>(-1), static_cast<wchar_t>(0x110000), 0};
    EXPECT_EQ(2, nWideToUTF8(out, 16, bad, 2));
    EXPECT_EQ(0, std::memcmp(out, "??", 2));
    EXPECT_EQ(0, nWideToUTF8(out, 16, nullptr, -1));
}

TEST(Utf8DecodingToWide, BoundedAndCounted)
{
    wchar_t out[8];
    EXPECT_EQ(3, UTF8ToWide(out, 8, "a\xC3\xA9\x80"));
    EXPECT_EQ(std::wstring(L"a\u00E9?"), out);
    EXPECT_EQ(2, UTF8ToWide(out, 3, "abcdef"));
    EXPECT_EQ(std::wstring(L"ab"), out);
    out[0] = L'#';
    EXPECT_EQ(0, UTF8ToWide(out, 0, "abc"));
    EXPECT_EQ(L'#', out[0]);

    EXPECT_EQ(3, nUTF8ToWide(out, 8, "a\xC3\xA9", -1)) << "through the terminator";
    EXPECT_EQ(0, out[2]);
    EXPECT_EQ(2, nUTF8ToWide(out, 8, "a\xC3\xA9", 2)) << "a sequence cut by the count is one ?";
    EXPECT_EQ(L'?', out[1]);
    EXPECT_EQ(2, nUTF8ToWide(out, 2, "abcdef", 6));
    EXPECT_EQ(0, nUTF8ToWide(out, 0, "abc", 3));
    EXPECT_EQ(0, nUTF8ToWide(out, 8, "abc", 0));
}

TEST(Utf8ToUtf16, UnitsAndSurrogatePairs)
{
    EXPECT_EQ(1, UTF8ToUTF16Len("\xEF\xBF\xBF", 3));          // U+FFFF
    EXPECT_EQ(2, UTF8ToUTF16Len("\xF0\x90\x80\x80", 4));      // U+10000
    EXPECT_EQ(1, UTF8ToUTF16Len("\xF5\x80\x80\x80", 4)) << "above U+10FFFF is one ?";
    EXPECT_EQ(4, UTF8ToUTF16Len("a\xF0\x9F\x98\x80z", -1));

    unsigned short out[8];
    EXPECT_EQ(4, UTF8ToUTF16(out, 8, "a\xF0\x9F\x98\x80z", -1));
    const unsigned short expected[] = {'a', 0xD83D, 0xDE00, 'z'};
    EXPECT_EQ(0, std::memcmp(out, expected, sizeof expected));
    // A pair needs three units of room; with fewer the conversion stops.
    EXPECT_EQ(1, UTF8ToUTF16(out, 2, "a\xF0\x9F\x98\x80z", -1));
    EXPECT_EQ(3, UTF8ToUTF16(out, 3, "\xF0\x9F\x98\x80z", -1));
    EXPECT_EQ(1, UTF8ToUTF16(out, 8, "\xF5\x80\x80\x80", 4));
    EXPECT_EQ('?', out[0]);
}

}  // namespace
