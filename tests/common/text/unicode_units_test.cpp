#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/text/unicode_units.h"

namespace {

using U16 = std::basic_string<unsigned short>;

U16 Units(const wchar_t* text)
{
    U16 out;
    for (const wchar_t* p = text; *p; ++p) out += static_cast<unsigned short>(*p);
    return out;
}

TEST(Utf16Units, LengthsCopiesAndComparisons)
{
    const U16 text = Units(L"Hello");
    EXPECT_EQ(5u, utf16len(text.c_str()));
    EXPECT_EQ(3u, utf16nlen(text.c_str(), 3));
    EXPECT_EQ(5u, utf16nlen(text.c_str(), 50));
    EXPECT_EQ(0u, utf16nlen(text.c_str(), 0));

    unsigned short dst[8];
    for (auto& u : dst) u = '#';
    utf16ncpy(dst, text.c_str(), 8);
    EXPECT_EQ(U16(text), U16(dst, 5));
    EXPECT_EQ('#', dst[5]) << "no terminator, the rest as it was";
    utf16ncpy(dst, Units(L"ab").c_str(), 1);
    EXPECT_EQ('a', dst[0]);
    EXPECT_EQ('e', dst[1]);

    EXPECT_EQ(0, utf16nicmp(Units(L"HeLLo").c_str(), Units(L"hello").c_str(), 10));
    EXPECT_EQ(0, utf16nicmp(Units(L"abX").c_str(), Units(L"ABy").c_str(), 2));
    EXPECT_LT(utf16nicmp(Units(L"abc").c_str(), Units(L"abd").c_str(), 3), 0);
    EXPECT_GT(utf16nicmp(Units(L"abc").c_str(), Units(L"ab").c_str(), 3), 0);

    const U16 hay = Units(L"one TWO three");
    EXPECT_EQ(hay.c_str() + 4, utf16niutf16(hay.c_str(), Units(L"two").c_str(), hay.size()));
    EXPECT_EQ(nullptr, utf16niutf16(hay.c_str(), Units(L"two").c_str(), 6)) << "must lie within n";
    EXPECT_EQ(hay.c_str(), utf16niutf16(hay.c_str(), Units(L"").c_str(), hay.size()));
}

TEST(Utf16Units, WideningCountsAndCopiesInPlace)
{
    const U16 text = Units(L"abc");
    EXPECT_EQ(4, UTF16ToWideChar(text.c_str(), -1, nullptr, 0)) << "count needed";
    wchar_t out[4];
    EXPECT_EQ(2, UTF16ToWideChar(text.c_str(), -1, out, 2));
    EXPECT_EQ(L'b', out[1]);

    // The destination may be the source buffer itself.
    wchar_t buffer[6];
    const unsigned short units[] = {'x', 0xD83D, 0xDE00, 'y', 0};
    std::memcpy(buffer, units, sizeof units);
    EXPECT_EQ(5, UTF16ToWideChar(reinterpret_cast<unsigned short*>(buffer), -1, buffer, 6));
    const wchar_t expected[] = {L'x', 0xD83D, 0xDE00, L'y', 0};
    EXPECT_EQ(0, std::memcmp(buffer, expected, sizeof expected)) << "unit by unit, no pairing";

    unsigned short narrow[4];
    EXPECT_EQ(3, WideCharToUTF16(L"a\U0001F600", -1, narrow, 4));
    EXPECT_EQ(0xF600, narrow[1]) << "the low 16 bits";
    EXPECT_EQ(3, WideCharToUTF16(L"ab", -1, nullptr, 0));

    unsigned int utf32[4];
    EXPECT_EQ(3, WideCharToUTF32(L"a\U0001F600", -1, utf32, 4));
    EXPECT_EQ(0x1F600u, utf32[1]);
    wchar_t back[4];
    EXPECT_EQ(2, UTF32ToWideChar(utf32, 2, back, 4));
    EXPECT_EQ(static_cast<wchar_t>(0x1F600), back[1]);
    EXPECT_EQ(0, UTF32ToWideChar(utf32, -2, back, 4));
}

TEST(Utf16Units, AnsiBytes)
{
    char narrow[4];
    EXPECT_EQ(3, WideCharToANSI(narrow, 4, L"a\u0141\u00E9z"));
    EXPECT_STREQ("aA\xE9", narrow) << "low bytes, capacity - 1 of them";
    wchar_t wide[8];
    EXPECT_EQ(2, ANSIToWideChar(wide, 8, "\xE9\x80"));
    EXPECT_EQ(std::wstring(L"\u00E9\u0080"), wide);
    EXPECT_EQ(0, ANSIToWideChar(wide, 0, "a"));
}

TEST(Utf16Units, UnalignedWideTexts)
{
    alignas(8) unsigned char raw[64] = {};
    wchar_t* unaligned = reinterpret_cast<wchar_t*>(raw + 2);
    const wchar_t text[] = L"abc";
    std::memcpy(raw + 2, text, sizeof text);
    EXPECT_EQ(3u, __UNALIGNED__UNICODE__STRLEN__(unaligned));

    alignas(8) unsigned char out[64];
    std::memset(out, 0xEE, sizeof out);
    wchar_t* dst = reinterpret_cast<wchar_t*>(out + 1);
    __UNALIGNED__UNICODE__STRNCPY__(dst, unaligned, 5);
    wchar_t copy[5];
    std::memcpy(copy, out + 1, sizeof copy);
    const wchar_t expected[5] = {L'a', L'b', L'c', 0, 0};
    EXPECT_EQ(0, std::memcmp(copy, expected, sizeof copy));
    EXPECT_EQ(0xEE, out[1 + sizeof copy]);

    wchar_t aligned[8];
    __UNALIGNED__UNICODE__STRNCPY__(aligned, L"xy", 8);
    EXPECT_EQ(std::wstring(L"xy"), aligned);
    EXPECT_EQ(2u, __UNALIGNED__UNICODE__STRLEN__(aligned));
}

}  // namespace
