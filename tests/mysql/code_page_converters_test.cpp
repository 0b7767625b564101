// Texts carried to and from the client library in a connection's code page:
// null stays null, an empty text gives the empty text, characters beyond the
// basic plane survive UTF-8, and 1252 text round-trips.
#include <gtest/gtest.h>

#include <string>

#include "mysql/code_page_converters.h"
#include "tests/host/support/test_environment.h"

namespace {

TEST(CodePageConverters, WideTextIntoTheCodePage)
{
    const struct
    {
        const char* pszName;
        int nCodePage;
        const wchar_t* pszSource;
        const char* pszExpected;  // null: null handed on
    } aCases[] = {
        {"absent", 65001, nullptr, nullptr},
        {"empty", 65001, L"", ""},
        {"ASCII", 1252, L"SELECT 1", "SELECT 1"},
        {"1252", 1252, L"d\u00e9j\u00e0 \u20ac", "d\xE9j\xE0 \x80"},
        {"UTF-8 beyond the basic plane", 65001, L"\u00e9\u20ac\U0001F600", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        const CNACodePageCnvIN text(c.nCodePage, c.pszSource);
        EXPECT_FALSE(text.bFailed());
        if (c.pszExpected == nullptr) {
            EXPECT_EQ(nullptr, text.pszGet());
            EXPECT_EQ(0u, text.nGetLength());
            continue;
        }
        ASSERT_NE(nullptr, text.pszGet());
        EXPECT_EQ(std::string(c.pszExpected), std::string(text.pszGet(), text.nGetLength()));
    }
}

TEST(CodePageConverters, ClientTextIntoWideText)
{
    const struct
    {
        const char* pszName;
        int nCodePage;
        const char* pszSource;
        const wchar_t* pszExpected;
    } aCases[] = {
        {"absent", 65001, nullptr, L""},
        {"empty", 1252, "", L""},
        {"1252", 1252, "d\xE9j\xE0 \x80", L"d\u00e9j\u00e0 \u20ac"},
        {"UTF-8", 65001, "\xC3\xA9\xF0\x9F\x98\x80", L"\u00e9\U0001F600"},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        const CNACodePageCnvOUTPtr text(c.nCodePage, c.pszSource);
        EXPECT_FALSE(text.bFailed());
        EXPECT_EQ(c.pszSource == nullptr, text.bAbsent());
        EXPECT_STREQ(c.pszExpected, text.pszGet());
    }
}

}  // namespace
