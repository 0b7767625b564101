// Runtime strings filled from code pages, UTF-8, UTF-16 and UTF-32, the
// conversion functions that return new values, and the end marker kept
// across widths.
#include <cstdlib>
#include <string>

#include "common/text/xy_string_convert.h"
#include "tests/common/text/xy_string_fixture.h"

namespace {

using vxtest::TextOf;

constexpr wchar_t kHighest = static_cast<wchar_t>(0xFFFFFFFF);

class XYConversion : public vxtest::StrMemTest
{
protected:
    void TearDown() override
    {
        vxtest::Locale().SetCodePage(StandinInfoLocale::kDefaultCodePage);
        StrMemTest::TearDown();
    }
};

TEST_F(XYConversion, EightBitToWide)
{
    struct Case
    {
        const char* text;
        int len, codePage, flags;
        const wchar_t* result;  // null: no block
        int capacity = -1;      // characters, when checked
    } cases[] = {
        {"abc", -1, 1252, 0, L"abc", 4},
        {"\xE9t\xE9", -1, 1252, 0, L"\xE9t\xE9"},
        {"\x80\x81", 2, 1252, 0, L"\x20AC\x81"},  // the module's table: every byte converts
        {"\x81", 1, 1252, 1, L""},                // through iconv, which has no 0x81: a block of length 0
        {"\x81", 1, 0, 0, L""},                   // code page 0 means 1252 but takes the iconv road
        {"\x80", 1, 0, 0, L"\x20AC"},
        {"\xC3\xA9", -1, 65001, 0, L"\xE9"},
        {"abcdef", 3, 1252, 0, L"abc"},
        {"", -1, 1252, 0, nullptr},
        {"abc", 0, 1252, 0, nullptr},
        {"abc", -2, 1252, 0, nullptr},
        {nullptr, 3, 1252, 0, nullptr},
    };
    for (const Case& c : cases) {
        CXYString<wchar_t> s(L"old");
        EXPECT_EQ(0, s.__nConversion(c.text, c.len, 0, c.codePage, c.flags, nullptr)) << (c.text ? c.text : "null");
        if (c.result == nullptr) {
            EXPECT_EQ(nullptr, s.pbyGetBlock());
            continue;
        }
        ASSERT_NE(nullptr, s.pbyGetBlock());
        EXPECT_EQ(c.result, TextOf(s));
        EXPECT_TRUE(vxtest::Terminated(s));
        if (c.capacity >= 0) {
            EXPECT_EQ(c.capacity, s.nGetCapacite());
        }
    }
    CXYString<wchar_t> extra;
    EXPECT_EQ(0, extra.__nConversion("ab", 2, 5, 1252, 0, nullptr));
    EXPECT_EQ(8, extra.nGetCapacite()) << "converted + reserve + terminator";
}

TEST_F(XYConversion, UnicodeFormsToWide)
{
    CXYString<wchar_t> s;
    EXPECT_EQ(0, s.nAffecteUTF8("\xE2\x82\xAC!", -1));
    EXPECT_EQ(L"\x20AC!", TextOf(s));
    EXPECT_EQ(0, s.nAffecteUTF8("", -1));
    EXPECT_EQ(nullptr, s.pbyGetBlock());
    s.Set(L"old");
    EXPECT_EQ(105, s.nAffecteUTF8("\xFF\xFE", -1, 0, 0x8)) << "nothing converts: a failure, unlike __nConversion";
    EXPECT_EQ(nullptr, s.pbyGetBlock());
    EXPECT_EQ(0, s.__nConversion("\xFF\xFE", -1, 0, 65001, 0x8, nullptr));
    ASSERT_NE(nullptr, s.pbyGetBlock());
    EXPECT_EQ(0, s.nGetLongueur());

    const unsigned short utf16[] = {'a', 0xD83D, 0xDE00, 0};
    EXPECT_EQ(0, s.nAffecteUTF16(utf16, -1));
    EXPECT_EQ((std::wstring{L'a', 0xD83D, 0xDE00}), TextOf(s)) << "units widened one by one";
    EXPECT_EQ(0, s.nAffecteUTF16(utf16, 1));
    EXPECT_EQ(L"a", TextOf(s));
    EXPECT_EQ(0, s.nAffecteUTF32(L"xyz", -1));
    EXPECT_EQ(L"xyz", TextOf(s));
    EXPECT_EQ(0, s.nAffecteUTF32(L"xyz", 0));
    EXPECT_EQ(nullptr, s.pbyGetBlock());

    s.Set(L"keep");
    EXPECT_EQ(0, s.nAffecteToUTF8("abc", 3, 1252)) << "not available for wide text";
    EXPECT_EQ(0, s.nAffecteToUTF8(L"abc", 3, 1252));
    EXPECT_EQ(L"keep", TextOf(s));
}

TEST_F(XYConversion, WideToEightBit)
{
    CXYString<char> s;
    int used = -1;
    EXPECT_EQ(0, s.__nConversion(L"\xE9t\x4E2D", -1, 2, 1252, 0, "?", &used));
    EXPECT_EQ("\xE9t?", TextOf(s));
    EXPECT_EQ(1, used);
    EXPECT_EQ(6, s.nGetCapacite());
    EXPECT_EQ(0, s.nAffecteToUTF8(L"\xE9", -1));
    EXPECT_EQ("\xC3\xA9", TextOf(s));
    EXPECT_EQ(0, s.nAffecteUTF32(L"a\xE9", -1, 1252, 0, nullptr));
    EXPECT_EQ("a\xE9", TextOf(s));
    EXPECT_EQ(2, s.nGetCapacite() - 1);
    const unsigned short utf16[] = {'a', 0xE9, 0};
    EXPECT_EQ(0, s.nAffecteUTF16(utf16, -1, 1252, 0, nullptr));
    EXPECT_EQ("a\xE9", TextOf(s));

    used = -1;
    EXPECT_EQ(0, s.nAffecteUTF8("\xC3\xA9t\xE4\xB8\xAD", -1, 1252, 0, "?", &used));
    EXPECT_EQ("\xE9t?", TextOf(s));
    EXPECT_EQ(1, used);
    EXPECT_EQ(0, s.nAffecteUTF8("\xC3\xA9", -1, 65001, 0, nullptr, nullptr));
    EXPECT_EQ("\xC3\xA9", TextOf(s)) << "a plain copy";
    EXPECT_EQ(0, s.nAffecteToUTF8("\xE9t\x80", -1, 1252));
    EXPECT_EQ("\xC3\xA9t\xE2\x82\xAC", TextOf(s));
    EXPECT_EQ(0, s.nAffecteToUTF8("\xE9", -1, 65001));
    EXPECT_EQ("\xE9", TextOf(s));
}

TEST_F(XYConversion, UTF8ReserveIsCheckedInSixtyFourBits)
{
    // 4 x 0x20000000 + 1 wraps in 32 bits; the size is refused before any
    // allocation and before the source is read.
    CXYString<char> s("keep");
    const long calls = A().AllocAndReallocCalls();
    const char small[4] = "abc";
    EXPECT_EQ(STRMEM_ERR_TOO_LARGE, s.nAffecteToUTF8(small, 0x20000000, 1252));
    EXPECT_EQ(STRMEM_ERR_TOO_LARGE, s.nAffecteToUTF8(small, 0x7FFFFFFF, 1252));
    EXPECT_EQ(calls, A().AllocAndReallocCalls());
}

TEST_F(XYConversion, CreateYKeepsTheEndMarker)
{
    CXYString<wchar_t> w;
    const wchar_t text[] = {L'a', L'b', kHighest};
    ASSERT_EQ(0, w.nAffecte(text, 3));
    w._SetFlagsWord(1);
    char* psz = nullptr;
    ASSERT_TRUE(w.bCreateY(psz, 1252));
    EXPECT_EQ(0, std::memcmp(psz, "ab\xFF", 4));
    std::free(psz);
    ASSERT_TRUE(w.bCreateY(psz, 65001));
    EXPECT_EQ('a', psz[0]);
    EXPECT_NE(static_cast<char>(0xFF), psz[2]) << "in UTF-8 the last character converts like the others";
    std::free(psz);

    CXYString<wchar_t> empty;
    psz = reinterpret_cast<char*>(1);
    EXPECT_TRUE(empty.bCreateY(psz, 1252));
    EXPECT_EQ(nullptr, psz);

    CXYString<char> a;
    ASSERT_EQ(0, a.nAffecte("x\xFF", 2));
    a._SetFlagsWord(1);
    wchar_t* wsz = nullptr;
    ASSERT_TRUE(a.bCreateY(wsz, 1252));
    EXPECT_EQ((std::wstring{L'x', kHighest}), std::wstring(wsz));
    std::free(wsz);
    a._SetFlagsWord(0);
    ASSERT_TRUE(a.bCreateY(wsz, 1252));
    EXPECT_EQ(L"x\xFF", std::wstring(wsz));
    std::free(wsz);
}

TEST_F(XYConversion, FunctionsReturningNewValues)
{
    EXPECT_EQ(L"\xE9", TextOf(PCASTR_To_CWString("\xE9", 1252)));
    EXPECT_EQ(L"\xE9", TextOf(PCASTR_To_CWString("\xE9xyz", 1252, 1)));
    vxtest::Locale().SetCodePage(65001);
    EXPECT_EQ(L"\xE9", TextOf(PCASTR_To_CWString("\xC3\xA9", -1))) << "-1: the host's current code page";
    EXPECT_EQ("\xC3\xA9", TextOf(PCWSTR_To_CAString(L"\xE9", -1)));
    vxtest::Locale().SetCodePage(1252);
    EXPECT_EQ("\xE9", TextOf(PCWSTR_To_CAString(L"\xE9", -1)));

    EXPECT_EQ(nullptr, UTF8_To_CWString("").pbyGetBlock());
    EXPECT_EQ(L"\x20AC", TextOf(UTF8_To_CWString("\xE2\x82\xAC")));
    EXPECT_EQ(L"\x20AC", TextOf(UTF8_To_CWString("\xE2\x82\xAC!", 3)));
    EXPECT_EQ("\xE2\x82\xAC", TextOf(PCWSTR_To_UTF8(L"\x20AC")));
    EXPECT_EQ("\xE2\x82\xAC", TextOf(PCWSTR_N_To_UTF8(L"\x20AC!", 1)));
    EXPECT_EQ("\xC3\xA9", TextOf(PCASTR_To_UTF8("\xE9", 1252)));
    EXPECT_EQ("\xE9\xFF", TextOf(PCASTR_To_UTF8("\xE9\xFF", 65001))) << "copied unchanged";
    EXPECT_EQ("\xC3\xA9", TextOf(PCASTR_N_To_UTF8("\xE9\xE9", 1, 1252)));
    EXPECT_EQ("\xE9", TextOf(UTF8_To_CAString("\xC3\xA9", 1252)));
    EXPECT_EQ("\xE9?", TextOf(UTF8_To_CAString("\xC3\xA9\xE4\xB8\xAD", -1, 1252)));
    EXPECT_EQ("\xC3\xA9", TextOf(UTF8_To_CAString("\xC3\xA9", 65001)));
    EXPECT_EQ("\xC3\xA9", TextOf(CWString_To_UTF8(CXYString<wchar_t>(L"\xE9"))));

    const CXYString<char> latin("\xE9");
    EXPECT_EQ("\xC3\xA9", TextOf(CAString_To_UTF8(latin, 1252)));
    const CXYString<char> same = CAString_To_UTF8(latin, 65001);
    EXPECT_EQ(latin.pbyGetBlock(), same.pbyGetBlock()) << "65001 shares the block";
}

TEST_F(XYConversion, TheMarkerCrossesWidths)
{
    CXYString<wchar_t> w;
    const wchar_t text[] = {L'\xE9', kHighest};
    ASSERT_EQ(0, w.nAffecte(text, 2));
    w._SetFlagsWord(1);
    CXYString<char> a;
    ASSERT_EQ(0, nWideVersAnsiAvecMarque(&a, w, 1252));
    EXPECT_EQ("\xE9\xFF", TextOf(a));
    EXPECT_EQ(1u, a.dwGetFlags());

    CXYString<wchar_t> back;
    ASSERT_EQ(0, nAnsiVersWideAvecMarque(&back, a, 1252));
    EXPECT_EQ(TextOf(w), TextOf(back));
    EXPECT_EQ(1u, back.dwGetFlags());

    CXYString<wchar_t> lone;
    ASSERT_EQ(0, lone.nAffecte(&kHighest, 1));
    lone._SetFlagsWord(1);
    ASSERT_EQ(0, nWideVersAnsiAvecMarque(&a, lone, 1252));
    EXPECT_EQ("\xFF", TextOf(a));

    w._SetFlagsWord(0);
    ASSERT_EQ(0, nWideVersAnsiAvecMarque(&a, w, 1252, 0, "?"));
    EXPECT_EQ("\xE9?", TextOf(a)) << "without the flag the character goes through the code page";
    EXPECT_EQ(0u, a.dwGetFlags());
}

}  // namespace
