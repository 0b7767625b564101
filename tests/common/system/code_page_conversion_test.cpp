#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

#include "common/system/code_page_conversion.h"
#include "common/system/code_page_engine.h"
#include "common/system/code_page_names.h"

namespace {

std::wstring ToWide(unsigned cp, unsigned flags, const std::string& bytes)
{
    const int n = MultiByteToWideChar(cp, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    if (n > 0) {
        EXPECT_EQ(n, MultiByteToWideChar(cp, flags, bytes.data(), static_cast<int>(bytes.size()), out.data(), n));
    }
    return out;
}

std::string FromWide(unsigned cp, const std::wstring& text, int* used = nullptr, const char* def = nullptr)
{
    const int n = WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, def, used);
    std::string out(static_cast<size_t>(n), '\0');
    if (n > 0) {
        EXPECT_EQ(n, WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), out.data(), n, def, used));
    }
    return out;
}

TEST(CodePageNames, TableAndDefaults)
{
    const struct { int cp; const char* name; } cases[] = {
        {0, "CP1252"},     {1252, "CP1252"}, {1, "CP437"},      {874, "CP874"},   {932, "CP932"},
        {936, "CP936"},    {949, "CP949"},   {950, "CP950"},    {1250, "CP1250"}, {1251, "CP1251"},
        {1253, "CP1253"},  {1254, "CP1254"}, {1255, "CP1255"},  {1256, "CP1256"}, {1257, "CP1257"},
        {1258, "CP1258"},  {1361, "CP1361"}, {50220, "ISO-2022-JP"}, {65001, "UTF-8"},
        {437, "CP1252"},   {-1, "CP1252"},   {12345, "CP1252"}, {65000, "CP1252"},
    };
    for (const auto& c : cases) EXPECT_STREQ(c.name, CodePageToIConv(c.cp)) << c.cp;
}

TEST(CodePageNames, EveryTableNameConvertsOnThisMachine)
{
    for (int cp : {1, 874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 1361, 50220, 65001}) {
        // The iconv route, also for the code pages with a native converter.
        wchar_t out[4];
        EXPECT_EQ(2, nMultiByteToWideCharIconv(static_cast<unsigned>(cp), 0, "A", 2, out, 4)) << cp;
        EXPECT_EQ(L'A', out[0]);
        bool used = false;
        char narrow[8];
        EXPECT_EQ(2, nWideCharToMultiByteIconv(static_cast<unsigned>(cp), L"A", 2, nullptr, &used, narrow, 8)) << cp;
    }
}

TEST(MultiByteToWideChar, CountsDecodesAndFails)
{
    // Measure of a valid UTF-8 text with -1: its characters and the terminator.
    EXPECT_EQ(4, MultiByteToWideChar(CP_UTF8, 0, "\xC3\xA9t\xC3\xA9", -1, nullptr, 0));
    EXPECT_EQ(L"\u00E9t\u00E9", ToWide(CP_UTF8, 0, "\xC3\xA9t\xC3\xA9"));
    // Code page 1 is 437, 0 and unknown numbers are 1252.
    EXPECT_EQ(L"\u00C7", ToWide(1, 0, "\x80"));
    EXPECT_EQ(L"\u20AC", ToWide(0, 0, "\x80"));
    EXPECT_EQ(L"\u20AC", ToWide(4711, 0, "\x80"));
    EXPECT_EQ(L"\u20AC", ToWide(static_cast<unsigned>(-3), 0, "\x80"));
    EXPECT_EQ(L"\u65E5\u672C\u30BD", ToWide(932, 0, "\x93\xFA\x96\x7B\x83\x5C"));
    EXPECT_EQ(L"\u65E5\u672CA", ToWide(50220, 0, "\x1B$BF|K\\\x1B(BA"));

    wchar_t small[2];
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, "abc", 3, small, 2)) << "a destination too small fails";
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, "ab\xC3", 3, nullptr, 0)) << "a sequence cut by the end fails";
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, "ab\xF8\x80", 2 + 2, nullptr, 0)) << "also a five-byte form";
    EXPECT_EQ(3, MultiByteToWideChar(CP_UTF8, 0, "ab\xC3", -1, nullptr, 0)) << "before the terminator it is dropped";
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, nullptr, 0));
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, "abc", 0, nullptr, 0));
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, "abc", -2, nullptr, 0));
}

TEST(MultiByteToWideChar, InvalidBytesDropOrFailWithFlag8)
{
    const struct { unsigned cp; std::string bytes; std::wstring dropped; } cases[] = {
        {1252, "a\x81z", L"az"},
        {1252, "\x8D\x8F\x90\x9D", L""},
        {CP_UTF8, "a\x80z", L"az"},
        {CP_UTF8, "a\xC3z", L"az"},
        {CP_UTF8, "a\xED\xA0\x80z", L"az"},       // a surrogate
        {CP_UTF8, "a\xF4\x90\x80\x80z", L"az"},   // above U+10FFFF
        {CP_UTF8, "a\xC0\xAFz", L"az"},           // overlong
        {1251, "a\x98z", L"az"},                   // iconv route
        {932, "a\xA0z", L"az"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.dropped, ToWide(c.cp, 0, c.bytes)) << c.cp << " " << c.bytes;
        EXPECT_EQ(0, MultiByteToWideChar(c.cp, MB_ERR_INVALID_CHARS, c.bytes.data(), static_cast<int>(c.bytes.size()),
                                         nullptr, 0))
            << c.cp << " " << c.bytes;
        wchar_t out[16];
        EXPECT_EQ(0, MultiByteToWideChar(c.cp, MB_PRECOMPOSED | MB_ERR_INVALID_CHARS, c.bytes.data(),
                                         static_cast<int>(c.bytes.size()), out, 16));
    }
}

// The C library reports a dropped byte only in the call that dropped it: a
// measure through the scratch and one large conversion must still agree,
// wherever the byte lies relative to the scratch.
TEST(MultiByteToWideChar, InvalidBytesInsideAndBeyondTheFirstScratch)
{
    for (unsigned cp : {1251u, 1252u, CP_UTF8}) {
        const char bad = cp == CP_UTF8 ? '\xFF' : (cp == 1251 ? '\x98' : '\x81');
        for (size_t pos : {size_t{0}, size_t{10}, size_t{127}, size_t{128}, size_t{129}, size_t{3000}, size_t{9999}}) {
            std::string text(10000, 'x');
            text[pos] = bad;
            text[5000] = bad;
            const long expected = 9998;
            for (bool bIconv : {false, true}) {
                const long measured = bIconv ? nMultiByteToWideCharIconv(cp, 0, text.data(), text.size(), nullptr, 0)
                                             : nMultiByteToWide(cp, 0, text.data(), text.size(), nullptr, 0);
                std::vector<wchar_t> out(text.size());
                const long converted = bIconv
                    ? nMultiByteToWideCharIconv(cp, 0, text.data(), text.size(), out.data(), out.size())
                    : nMultiByteToWide(cp, 0, text.data(), text.size(), out.data(), out.size());
                EXPECT_EQ(expected, measured) << cp << " at " << pos << (bIconv ? " iconv" : "");
                EXPECT_EQ(expected, converted) << cp << " at " << pos << (bIconv ? " iconv" : "");
                EXPECT_EQ(-1, bIconv ? nMultiByteToWideCharIconv(cp, MB_ERR_INVALID_CHARS, text.data(), text.size(), nullptr, 0)
                                     : nMultiByteToWide(cp, MB_ERR_INVALID_CHARS, text.data(), text.size(), nullptr, 0));
            }
        }
    }
}

TEST(WideCharToMultiByte, ReplacesWhatTheCodePageCannotHold)
{
    int used = -1;
    EXPECT_EQ("a?b", FromWide(1252, L"a\u4E00b", &used));
    EXPECT_EQ(1, used);
    EXPECT_EQ("a\x80" "b", FromWide(1252, L"a\u20ACb", &used));
    EXPECT_EQ(0, used);
    // A default of two bytes is written and counted whole.
    EXPECT_EQ("a<>b", FromWide(1252, L"a\u4E00b", &used, "<>"));
    EXPECT_EQ("?", FromWide(1252, L"\u0081"));
    EXPECT_EQ("?", FromWide(CP_UTF8, std::wstring(1, static_cast<wchar_t>(0xD800))));
    EXPECT_EQ("?", FromWide(CP_UTF8, std::wstring(1, static_cast<wchar_t>(0x110000))));
    EXPECT_EQ("?", FromWide(CP_UTF8, std::wstring(1, static_cast<wchar_t>(-1))));
    EXPECT_EQ("\x93\xFA?", FromWide(932, L"\u65E5\u00E9", &used));
    EXPECT_EQ(1, used);
    // Tag characters vanish from 8-bit text, as the C library drops them.
    EXPECT_EQ("ab", FromWide(1252, L"a\U000E0041b", &used));
    EXPECT_EQ(0, used);
    EXPECT_EQ("a\xF3\xA0\x81\x81", FromWide(CP_UTF8, L"a\U000E0041", &used));
    EXPECT_EQ("\x93\xFA", FromWide(932, L"\u65E5\U000E0041", &used));

    // With -1 the terminator is converted and counted.
    EXPECT_EQ(6, WideCharToMultiByte(CP_UTF8, 0, L"\u00E9t\u00E9", -1, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(6, nGetUTF8Len(L"a\u20ACb"));
    // An explicit length whose last character is replaced still gives the count.
    char out[8];
    EXPECT_EQ(2, WideCharToMultiByte(1252, 0, L"a\u4E00", 2, out, 8, nullptr, &used));
    EXPECT_EQ(1, used);
}

// The C library looks for room before it looks at the next input: input that
// gives no output must not make a destination of the measured size too small.
TEST(CodePageConversions, TheMeasuredSizeAlwaysSuffices)
{
    wchar_t wide[4];
    EXPECT_EQ(1, MultiByteToWideChar(1251, 0, "a\x98", 2, wide, 1));
    EXPECT_EQ(1, MultiByteToWideChar(1252, 0, "a\x81", 2, wide, 1));
    EXPECT_EQ(0, MultiByteToWideChar(1251, 0, "a\x98z", 3, wide, 1));
    char narrow[4];
    EXPECT_EQ(2, WideCharToMultiByte(932, 0, L"\u65E5\U000E0041", 2, narrow, 2, nullptr, nullptr));
    EXPECT_EQ(0, WideCharToMultiByte(932, 0, L"\u65E5\U000E0041z", 3, narrow, 2, nullptr, nullptr));
    EXPECT_EQ(1u, MultiByteToMultiByte(CP_UTF8, "a\xF3\xA0\x81\x81", 5, 1251, narrow, 1));
}

TEST(WideCharToMultiByte, NeverWritesPastTheDestination)
{
    for (unsigned cp : {1252u, CP_UTF8, 932u, 1251u}) {
        for (int size = 1; size < 8; ++size) {
            char buf[16];
            std::memset(buf, '#', sizeof buf);
            const int n = WideCharToMultiByte(cp, 0, L"ab\u4E00\u00E9\u20ACcd", 7, buf, size, "<<>>", nullptr);
            EXPECT_EQ(0, n) << cp << " size " << size;
            for (int i = size; i < 16; ++i) ASSERT_EQ('#', buf[i]) << cp << " size " << size;
        }
    }
}

// A replacement inside a run of JIS characters must not be read as half of
// one: the encoder goes back to ASCII before it.
TEST(WideCharToMultiByte, StatefulEncodingReturnsToAsciiAroundReplacements)
{
    const std::string jis = FromWide(50220, L"\u65E5\u00E9\u672C");
    EXPECT_EQ(L"\u65E5?\u672C", ToWide(50220, 0, jis));
    // An explicit length without terminator still ends in the initial state.
    const std::string tail = FromWide(50220, L"\u65E5");
    ASSERT_GE(tail.size(), 3u);
    EXPECT_EQ("\x1B(B", tail.substr(tail.size() - 3));
}

TEST(MultiByteToMultiByte, ConvertsCountsAndRefusesInvalidInput)
{
    char out[32];
    // The full length means up to and including the terminator.
    EXPECT_EQ(4u, MultiByteToMultiByte(1252, "\xE9" "a", static_cast<unsigned long>(-1), CP_UTF8, out, sizeof out));
    EXPECT_STREQ("\xC3\xA9" "a", out);
    EXPECT_EQ(4u, MultiByteToMultiByte(1252, "\xE9" "a", static_cast<unsigned long>(-1), CP_UTF8, nullptr, 0));
    EXPECT_EQ(2u, MultiByteToMultiByte(CP_UTF8, "\xE6\x97\xA5", 3, 932, out, sizeof out));
    EXPECT_EQ(0, std::memcmp(out, "\x93\xFA", 2));
    EXPECT_EQ(0u, MultiByteToMultiByte(1252, "a\x81", 2, CP_UTF8, out, sizeof out));
    EXPECT_EQ(0u, MultiByteToMultiByte(1252, "a\x81", 2, CP_UTF8, nullptr, 0));
    EXPECT_EQ(0u, MultiByteToMultiByte(CP_UTF8, "\xE6\x97\xA5", 3, 1252, out, sizeof out)) << "no replacement";
    EXPECT_EQ(0u, MultiByteToMultiByte(1252, "abc", 3, CP_UTF8, out, 2)) << "destination too small";
    // A long text measured through the scratch and converted in one call agree.
    std::string text(5000, '\xE9');
    std::vector<char> big(20000);
    EXPECT_EQ(10000u, MultiByteToMultiByte(1252, text.data(), text.size(), CP_UTF8, nullptr, 0));
    EXPECT_EQ(10000u, MultiByteToMultiByte(1252, text.data(), text.size(), CP_UTF8, big.data(), big.size()));
    // Into a stateful encoding the text ends in the initial state.
    const unsigned long n = MultiByteToMultiByte(CP_UTF8, "\xE6\x97\xA5", 3, 50220, out, sizeof out);
    ASSERT_GE(n, 3u);
    EXPECT_EQ(0, std::memcmp(out + n - 3, "\x1B(B", 3));
}

// The native converters of 1252 and UTF-8 must give exactly what iconv gives.
class NativeAgreesWithIconv : public ::testing::Test
{
protected:
    static void Decode(unsigned cp, const std::string& bytes)
    {
        for (unsigned flags : {0u, MB_ERR_INVALID_CHARS}) {
            const long nativeCount = nMultiByteToWide(cp, flags, bytes.data(), bytes.size(), nullptr, 0);
            const long iconvCount = nMultiByteToWideCharIconv(cp, flags, bytes.data(), bytes.size(), nullptr, 0);
            ASSERT_EQ(iconvCount, nativeCount) << cp << " flags " << flags << " " << Hex(bytes);
            std::vector<wchar_t> a(bytes.size() + 1), b(bytes.size() + 1);
            const long na = nMultiByteToWide(cp, flags, bytes.data(), bytes.size(), a.data(), a.size());
            const long nb = nMultiByteToWideCharIconv(cp, flags, bytes.data(), bytes.size(), b.data(), b.size());
            ASSERT_EQ(nb, na) << cp << " flags " << flags << " " << Hex(bytes);
            if (na > 0) {
                ASSERT_EQ(0, std::wmemcmp(a.data(), b.data(), static_cast<size_t>(na))) << Hex(bytes);
            }
        }
    }
    static void Encode(unsigned cp, const std::wstring& text)
    {
        bool usedA = false, usedB = false;
        const long countA = nWideToMultiByte(cp, text.data(), text.size(), nullptr, &usedA, nullptr, 0);
        const long countB = nWideCharToMultiByteIconv(cp, text.data(), text.size(), nullptr, &usedB, nullptr, 0);
        ASSERT_EQ(countB, countA) << cp << " U+" << std::hex << static_cast<unsigned>(text[0]);
        ASSERT_EQ(usedB, usedA);
        std::string a(text.size() * 4 + 4, '\0'), b(text.size() * 4 + 4, '\0');
        const long na = nWideToMultiByte(cp, text.data(), text.size(), nullptr, &usedA, a.data(), a.size());
        const long nb = nWideCharToMultiByteIconv(cp, text.data(), text.size(), nullptr, &usedB, b.data(), b.size());
        ASSERT_EQ(nb, na);
        ASSERT_EQ(b, a) << cp << " U+" << std::hex << static_cast<unsigned>(text[0]);
    }
    static std::string Hex(const std::string& s)
    {
        std::string out;
        char buf[4];
        for (unsigned char c : s) {
            std::snprintf(buf, sizeof buf, "%02X ", c);
            out += buf;
        }
        return out;
    }
};

TEST_F(NativeAgreesWithIconv, Cp1252EveryByte)
{
    for (int b = 0; b < 256; ++b) {
        Decode(1252, std::string(1, static_cast<char>(b)));
        Decode(1252, std::string("a") + static_cast<char>(b) + "z");
    }
}

TEST_F(NativeAgreesWithIconv, Utf8SequencesAroundEveryBoundary)
{
    const unsigned char follow[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xFF};
    for (int lead = 0; lead < 256; ++lead) {
        Decode(CP_UTF8, std::string(1, static_cast<char>(lead)));
        for (unsigned char b1 : follow) {
            for (unsigned char b2 : follow) {
                std::string s{static_cast<char>(lead), static_cast<char>(b1), static_cast<char>(b2)};
                Decode(CP_UTF8, s);
                Decode(CP_UTF8, s + "\x80\x80z");
            }
        }
    }
    std::mt19937 rng(1234);
    const unsigned char pool[] = {'a', 0x00, 0x80, 0xBF, 0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xF8, 0xFF, 0x9F, 0xA0};
    for (int i = 0; i < 20000; ++i) {
        std::string s(1 + rng() % 12, '\0');
        for (char& c : s) c = static_cast<char>(pool[rng() % sizeof pool]);
        Decode(CP_UTF8, s);
    }
}

TEST_F(NativeAgreesWithIconv, EncodingEveryInterestingCharacter)
{
    std::vector<wchar_t> chars;
    for (wchar_t c = 0; c < 0x400; ++c) chars.push_back(c);
    for (uint32_t c : {0x0152u, 0x0178u, 0x02C6u, 0x2013u, 0x20ACu, 0x2122u, 0x2123u, 0xD7FFu, 0xD800u, 0xDBFFu,
                       0xDC00u, 0xDFFFu, 0xE000u, 0xFFFDu, 0xFFFEu, 0xFFFFu, 0x10000u, 0x1F600u, 0x10FFFFu,
                       0x110000u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0xE0000u, 0xE0001u, 0xE007Fu,
                       0xE0080u, 0xDFFFFu}) {
        chars.push_back(static_cast<wchar_t>(c));
    }
    for (unsigned cp : {1252u, CP_UTF8}) {
        for (wchar_t c : chars) {
            Encode(cp, std::wstring(1, c));
            Encode(cp, std::wstring(L"a") + c + L"z");
        }
    }
}

}  // namespace
