#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/system/code_page_conversion.h"
#include "common/text/code_page_text.h"
#include "tests/common/text/code_page_locale_fixture.h"

namespace {

struct Freed
{
    void operator()(void* p) const { std::free(p); }
};

TEST(CodePageText, SingleCharacters)
{
    EXPECT_EQ('\x80', STR_WCharToAChar(L'\u20AC', 0, 1252));
    EXPECT_EQ('?', STR_WCharToAChar(L'\u65E5', 0, 1252));
    EXPECT_EQ('?', STR_WCharToAChar(L'\u65E5', 0, 932)) << "two bytes are not one";
    EXPECT_EQ('\xE9', STR_WCharToAChar(L'\u00E9', 0, 0));
    EXPECT_EQ(L'\u20AC', STR_CharToWChar('\x80', 0, 1252));
    EXPECT_EQ(L'\u0416', STR_CharToWChar('\xC6', 0, 1251));
    EXPECT_EQ(L'?', STR_CharToWChar('\x81', 0, 1252)) << "an undefined byte gives nothing";
}

TEST(CodePageText, CurrentCharsetFollowsTheHostAndDefaultsTo1252)
{
    ASSERT_EQ(nullptr, CInformationDLL::ms_piInfoLocale);
    EXPECT_EQ(L'\u00C6', STR_CharToWChar_CurrentCharset('\xC6', 0));
    {
        CodePageLocale locale(1251);
        EXPECT_EQ(L'\u0416', STR_CharToWChar_CurrentCharset('\xC6', 0));
        char* narrow = nullptr;
        ASSERT_TRUE(STR_WCharToChar_CurrentCharset(&narrow, L"\u0416a", -1));
        std::unique_ptr<char, Freed> hold(narrow);
        EXPECT_STREQ("\xC6" "a", narrow);
        wchar_t* wide = nullptr;
        ASSERT_TRUE(STR_CharToWChar_CurrentCharset(&wide, "\xC6", 0, -1));
        std::unique_ptr<wchar_t, Freed> holdWide(wide);
        EXPECT_EQ(std::wstring(L"\u0416"), wide);
        wide = reinterpret_cast<wchar_t*>(1);
        EXPECT_TRUE(STR_CharToWChar_CurrentCharset(&wide, nullptr, 0, -1));
        EXPECT_EQ(nullptr, wide);
    }
    EXPECT_EQ(nullptr, CInformationDLL::ms_piInfoLocale);
}

TEST(CodePageText, HeapConversionsMeasureAllocateAndConvert)
{
    char* narrow = nullptr;
    int length = -1;
    ASSERT_TRUE(__STR_WCharToChar(L"a\u20AC\u65E5", -1, &narrow, &length, 1252));
    std::unique_ptr<char, Freed> h1(narrow);
    EXPECT_STREQ("a\x80?", narrow);
    EXPECT_EQ(3, length);
    ASSERT_TRUE(STR_WCharToChar_AnyCodepage(L"a\u20AC\u65E5", 2, &narrow, &length, CP_UTF8));
    std::unique_ptr<char, Freed> h2(narrow);
    EXPECT_STREQ("a\xE2\x82\xAC", narrow);
    EXPECT_EQ(4, length);
    EXPECT_FALSE(__STR_WCharToChar(L"", -1, &narrow, &length, 1252));
    EXPECT_EQ(nullptr, narrow);
    EXPECT_EQ(0, length);

    wchar_t* wide = nullptr;
    ASSERT_TRUE(__STR_CharToWChar("\x93\xFA\x83\x5C", -1, 932, &wide, &length, 0));
    std::unique_ptr<wchar_t, Freed> h3(wide);
    EXPECT_EQ(std::wstring(L"\u65E5\u30BD"), wide);
    EXPECT_EQ(2, length);
    // Invalid bytes fail the 1252 whole-text form (flags 9).
    EXPECT_FALSE(STR_CharToWChar(&wide, "a\x81"));
    EXPECT_EQ(nullptr, wide);
    ASSERT_TRUE(STR_CharToWChar(&wide, "\x80"));
    std::unique_ptr<wchar_t, Freed> h4(wide);
    EXPECT_EQ(std::wstring(L"\u20AC"), wide);
    ASSERT_TRUE(STR_CharToWChar_AnyCodepage("\xC3\xA9", -1, CP_UTF8, &wide, &length, 0));
    std::unique_ptr<wchar_t, Freed> h5(wide);
    EXPECT_EQ(std::wstring(L"\u00E9"), wide);
}

TEST(CodePageText, CodePageToCodePage)
{
    char* out = nullptr;
    int length = 0;
    ASSERT_TRUE(STR_CharToChar_AnyCodepage("\xE9t\xE9", -1, 1252, &out, &length, CP_UTF8));
    std::unique_ptr<char, Freed> h1(out);
    EXPECT_STREQ("\xC3\xA9t\xC3\xA9", out);
    EXPECT_EQ(5, length);
    ASSERT_TRUE(STR_CharToChar_AnyCodepage("\x81zz", 2, 1252, &out, &length, 1252)) << "same code page: a copy";
    std::unique_ptr<char, Freed> h2(out);
    EXPECT_STREQ("\x81z", out);
    EXPECT_EQ(2, length);
    ASSERT_TRUE(STR_CharToChar_AnyCodepage("\x93\xFA" "a", -1, 932, &out, &length, 1252));
    std::unique_ptr<char, Freed> h3(out);
    EXPECT_STREQ("?a", out);
}

TEST(CodePageText, NewTexts)
{
    std::unique_ptr<wchar_t, Freed> a(pszCSTR2XSTR("\xE9t\xE9", 2, 1252));
    EXPECT_EQ(std::wstring(L"\u00E9t"), a.get());
    std::unique_ptr<wchar_t, Freed> b(pszCSTR2XSTR(nullptr, -1, 1252));
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(0, b.get()[0]);
    std::unique_ptr<wchar_t, Freed> c(pszCSTR2XSTR("ab", 10, 1252));
    EXPECT_EQ(std::wstring(L"ab"), c.get()) << "a count beyond the text stops at its terminator";
    std::unique_ptr<char, Freed> d(pszXSTR2CSTR(L"\u20ACx\u65E5", -1));
    EXPECT_STREQ("\x80x?", d.get());
    std::unique_ptr<char, Freed> e(pszXSTR2CSTR(L"abc", 2));
    EXPECT_STREQ("ab", e.get());
    std::unique_ptr<wchar_t, Freed> f(pszWSTR2XSTR(L"abc", 0));
    EXPECT_EQ(std::wstring(L"abc"), f.get());
    std::unique_ptr<wchar_t, Freed> g(pszXSTR2WSTR(L"abc", 2));
    EXPECT_EQ(std::wstring(L"ab"), g.get());
}

}  // namespace
