#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "common/text/number_text.h"

namespace {

TEST(NumberText, DigitsInEveryRadix)
{
    char a[72];
    wchar_t w[72];
    EXPECT_EQ(std::string(64, '1'), _ui64toaTvk(ULONG_MAX, a, 2));
    EXPECT_EQ(std::wstring(L"-ff"), _i64towTvk(-255, w, 16));
    EXPECT_EQ(std::string("-9223372036854775808"), _i64toaTvk(LONG_MIN, a, 10));
    EXPECT_EQ(std::string("-1") + std::string(63, '0'), _i64toaTvk(LONG_MIN, a, 2));
    EXPECT_EQ(std::wstring(L"3w5e11264sgsf"), _ui64towTvk(ULONG_MAX, w, 36));
    EXPECT_EQ(std::string("0"), _ui64toaTvk(0, a, 10));
    EXPECT_EQ(std::string(""), _ui64toaTvk(10, a, 1));
    EXPECT_EQ(std::string(""), _i64toaTvk(10, a, 37));
}

TEST(NumberText, ParsingThroughCodePage1252)
{
    EXPECT_EQ(-42, _wtoi64Tvk(L"  -42xyz"));
    EXPECT_EQ(LONG_MAX, _wtoi64Tvk(L"9223372036854775807"));
    EXPECT_EQ(0, _wtoi64Tvk(L"\u65E5"));
    EXPECT_EQ(0, _wtoi64Tvk(nullptr));
    EXPECT_DOUBLE_EQ(2.5, wtof(L"2.5e0"));
    // Only the first 100 characters are read.
    EXPECT_EQ(0, _wtoi64Tvk((std::wstring(100, L' ') + L"7").c_str()));
}

TEST(NumberText, GcvtIntoWideText)
{
    wchar_t w[32];
    EXPECT_EQ(std::wstring(L"3.14159"), _wgcvt(3.14159265, 6, w));
    EXPECT_EQ(std::wstring(L"-1.7976931348623157e+308"), _wgcvt(-1.7976931348623157e308, 40, w));
    EXPECT_EQ(std::wstring(L"1e+20"), _wgcvt(1e20, 3, w));
}

}  // namespace
