#include <gtest/gtest.h>

#include <string>

#include "common/system/code_page_conversion.h"
#include "common/text/cp1252.h"

namespace {

TEST(Cp1252, CharacterTests)
{
    const struct { unsigned c; bool in; int byte; } cases[] = {
        {'A', true, 'A'},     {0x7F, true, 0x7F},   {0x80, false, -1},  {0x81, false, -1},
        {0x9F, false, -1},    {0xA0, true, 0xA0},   {0xFF, true, 0xFF}, {0x20AC, true, 0x80},
        {0x0178, true, 0x9F}, {0x2122, true, 0x99}, {0x0100, false, -1}, {0x4E00, false, -1},
        {0xFFFFFFFF, false, -1},
    };
    for (const auto& c : cases) {
        unsigned char b = 0;
        EXPECT_EQ(c.in, STR_bIsCp1252(static_cast<wchar_t>(c.c), &b)) << std::hex << c.c;
        EXPECT_EQ(c.in, STR_bIsCp1252(static_cast<wchar_t>(c.c)));
        if (c.in) {
            EXPECT_EQ(c.byte, b);
        }
        int used = 0;
        EXPECT_EQ(static_cast<char>(c.in ? c.byte : '~'), STR_ToCP1252(static_cast<wchar_t>(c.c), '~', &used));
        EXPECT_EQ(c.in ? 0 : 1, used);
    }
    EXPECT_TRUE(STR_bIsCp1252(L"caf\u00E9 \u20AC"));
    EXPECT_FALSE(STR_bIsCp1252(L"caf\u00E9 \u0081"));
    EXPECT_TRUE(STR_bIsCp1252(L""));
}

TEST(Cp1252, UndefinedBytesReadAsTheirValueButNothingConvertsBack)
{
    for (unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_EQ(static_cast<wchar_t>(b), STR_FromCP1252(b));
        EXPECT_FALSE(STR_bIsCp1252(STR_FromCP1252(b)));
    }
    // Every other byte converts back to itself.
    for (int b = 0; b < 256; ++b) {
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
        unsigned char back = 0;
        ASSERT_TRUE(STR_bIsCp1252(STR_FromCP1252(static_cast<unsigned char>(b)), &back)) << b;
        ASSERT_EQ(b, back);
    }
}

TEST(Cp1252, Ansi7)
{
    EXPECT_TRUE(STR_bIsANSI7(L"plain"));
    EXPECT_FALSE(STR_bIsANSI7(L"caf\u00E9"));
    EXPECT_TRUE(STR_bIsANSI7(L"caf\u00E9", 3));
    EXPECT_TRUE(STR_bIsANSI7(L"\u00E9", 0));
    EXPECT_TRUE(STR_bIsANSI7(static_cast<unsigned char>(0x7F)));
    EXPECT_FALSE(STR_bIsANSI7(static_cast<unsigned char>(0x80)));
    EXPECT_EQ('a', STR_ToAnsi7(L'a', '?'));
    EXPECT_EQ('?', STR_ToAnsi7(L'\u00E9', '?'));
    EXPECT_EQ(L'a', STR_FromAnsi7('a', L'?'));
    EXPECT_EQ(L'?', STR_FromAnsi7(0xE9, L'?'));
}

TEST(Cp1252, ToWideCounts)
{
    EXPECT_EQ(4, STR_CP1252ToWideChar("\x80\x81z", -1, nullptr, 0));
    EXPECT_EQ(7, STR_CP1252ToWideChar("\x80\x81z", 7, nullptr, 5));
    wchar_t out[4];
    EXPECT_EQ(4, STR_CP1252ToWideChar("\x80\x81z", -1, out, 4));
    EXPECT_EQ(std::wstring(L"\u20AC\u0081z"), out);
    EXPECT_EQ(2, STR_CP1252ToWideChar("\x80\x81z", -1, out, 2));
}

TEST(Cp1252, AnsiCompatibility)
{
    EXPECT_TRUE(bAnsiCompatible(nullptr, 1252));
    EXPECT_TRUE(bAnsiCompatible(L"", 932));
    EXPECT_TRUE(bLatin1(L"caf\u00E9 \u20AC"));
    EXPECT_FALSE(bLatin1(L"\u65E5"));
    EXPECT_FALSE(bLatin1(L"\u0081"));
    EXPECT_TRUE(bAnsiCompatible(L"\u65E5\u672C\u30BD", 932));
    EXPECT_FALSE(bAnsiCompatible(L"caf\u00E9", 932));
    EXPECT_TRUE(bAnsiCompatible(L"\u0416", 1251));
    EXPECT_TRUE(bAnsiCompatible(L"\U0001F600", CP_UTF8));
    EXPECT_FALSE(bAnsiCompatible(std::wstring(1, static_cast<wchar_t>(0xD800)).c_str(), CP_UTF8));
}

}  // namespace
