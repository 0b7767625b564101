// CTString: formatted text with Windows-style formats, never cut, and the
// two FormatMessage forms.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cwchar>
#include <functional>
#include <string>

#include "common/text/ct_string.h"
#include "tests/host/support/test_environment.h"

namespace {

int FormatVia(CTString& s, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const int n = s.FormatV(format, args);
    va_end(args);
    return n;
}

TEST(CTStringFormat, Printf)
{
    const std::wstring longText(5000, L'x');
    struct Case
    {
        const char* what;
        std::function<int(CTString&)> format;
        std::wstring expected;
    };
    const std::vector<Case> cases = {
        {"wide %s and numbers", [](CTString& s) { return s.printf(L"%s=%d;%u;%x", L"Table", -5, 7u, 255); },
         L"Table=-5;7;ff"},
        {"narrow %S and %hs", [](CTString& s) { return s.printf(L"[%S|%hs]", "ab", "cd"); }, L"[ab|cd]"},
        {"64-bit and pointer-free", [](CTString& s) { return s.printf(L"%lld/%llu", -9000000000LL, 18000000000ULL); },
         L"-9000000000/18000000000"},
        {"%%", [](CTString& s) { return s.printf(L"100%%"); }, L"100%"},
        {"width and precision", [](CTString& s) { return s.printf(L"<%5.2s>", L"abcd"); }, L"<   ab>"},
        {"long argument", [&](CTString& s) { return s.printf(L"%s|%s", longText.c_str(), L"end"); },
         longText + L"|end"},
        {"FormatV", [](CTString& s) { return FormatVia(s, L"%s-%s-%d", L"a", L"b", 3); }, L"a-b-3"},
        {"empty", [](CTString& s) { return s.printf(L""); }, L""},
    };
    for (const Case& c : cases) {
        CTString s(L"old");
        const int n = c.format(s);
        EXPECT_EQ(static_cast<int>(c.expected.size()), n) << c.what;
        EXPECT_EQ(c.expected, std::wstring(s.pszGet())) << c.what;
    }
    // Long numbers.
    wchar_t expected[700];
    const int n = std::swprintf(expected, 700, L"%.300f", 1e300);
    ASSERT_EQ(602, n);
    CTString big(L"old");
    EXPECT_EQ(602, big.printf(L"%.300f", 1e300));
    EXPECT_STREQ(expected, big.pszGet());
}

TEST(CTStringFormat, AddPrintf)
{
    CTString s(L"SELECT ");
    EXPECT_EQ(8, s.AddPrintf(L"%s, %s", L"col1", L"c2"));
    EXPECT_STREQ(L"SELECT col1, c2", s.pszGet());
    const std::wstring name(3000, L'n');
    EXPECT_EQ(3006, s.AddPrintf(L" FROM %s", name.c_str()));
    EXPECT_EQ(15 + 3006, s.nTaille());
}

TEST(CTStringFormat, FailureNeverHandsBackCutText)
{
    // A narrow argument that the process locale cannot convert: formatting
    // fails as a whole.
    std::setlocale(LC_CTYPE, "C.UTF-8");
    CTString s(L"old");
    EXPECT_EQ(-1, s.printf(L"%S", "caf\xE9"));
    EXPECT_EQ(0, s.nTaille());
    CTString t(L"keep");
    EXPECT_EQ(-1, t.AddPrintf(L"-%S", "\xE9"));
    EXPECT_STREQ(L"keep", t.pszGet());
    EXPECT_EQ(-1, t.printf(nullptr));
}

TEST(CTStringFormat, FormatMessageForms)
{
    CTString s(L"old");
    EXPECT_EQ(12u, s.FormatMessageW(L"%s has %d", L"Table", 12));
    EXPECT_STREQ(L"Table has 12", s.pszGet());

    EXPECT_EQ(12u, s.FormatMessageWin(L"%1 and %2!d!%n", reinterpret_cast<intptr_t>(L"one"),
                                      static_cast<int64_t>(42)));
    EXPECT_STREQ(L"one and 42\r\n", s.pszGet());
    // A format the insert syntax refuses leaves the string as it was.
    EXPECT_EQ(0u, s.FormatMessageWin(L"%4444"));
    EXPECT_STREQ(L"one and 42\r\n", s.pszGet());
}

}  // namespace
