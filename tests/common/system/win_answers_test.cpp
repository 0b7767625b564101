// Constant answers and small operations of the Windows-style layer.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "common/system/mul_div.h"
#include "common/system/str_fill.h"
#include "common/system/win_answers.h"

namespace {

TEST(WinAnswers, MulDivRoundsHalfAwayFromZeroWithoutOverflow)
{
    struct Case
    {
        int a, b, c, nResult;
    } aCases[] = {
        {10, 3, 4, 8},        // 7.5
        {-10, 3, 4, -8},      // -7.5
        {10, -3, 4, -8},
        {-10, -3, 4, 8},
        {10, 3, -4, -8},      // a negative divisor moves its sign to a
        {-10, 3, -4, 8},
        {7, 1, 2, 4},         // 3.5
        {5, 1, 3, 2},         // 1.67
        {1, 1, 0, -1},
        {0, 5, 7, 0},
        // The product needs 64 bits.
        {100000, 100000, 100000, 100000},
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
        {INT_MIN, INT_MAX, INT_MAX, INT_MIN},
        {INT_MIN, -1, 1, -1},  // 2^31 does not fit
        {INT_MAX, 2, 1, -1},
        {INT_MIN, 1, -1, -1},
    };
    for (const Case& c : aCases)
        EXPECT_EQ(c.nResult, MulDiv(c.a, c.b, c.c)) << c.a << " * " << c.b << " / " << c.c;
}

TEST(WinAnswers, Constants)
{
    EXPECT_EQ(0x800, GetSystemDefaultLangID());
    EXPECT_EQ(0x800, GetUserDefaultLangID());
    EXPECT_EQ(0, GetStdHandle(STD_INPUT_HANDLE));
    EXPECT_EQ(1, GetStdHandle(STD_OUTPUT_HANDLE));
    EXPECT_EQ(2, GetStdHandle(STD_ERROR_HANDLE));
    EXPECT_EQ(-1, GetStdHandle(-13));
    EXPECT_EQ(-1, GetStdHandle(0));

    OSVERSIONINFO st;
    std::memset(&st, 0x77, sizeof st);
    st.dwOSVersionInfoSize = sizeof st;
    EXPECT_EQ(1, GetVersionEx(&st));
    EXPECT_EQ(sizeof st, st.dwOSVersionInfoSize);
    EXPECT_EQ(1000u, st.dwPlatformId);
    EXPECT_EQ(0u, st.dwMajorVersion);
    EXPECT_EQ(0, st.szCSDVersion[127]);
}

TEST(WinAnswers, FillingText)
{
    char sz[] = "abcdef";
    EXPECT_EQ(sz, _strset(sz, 'x'));
    EXPECT_STREQ("xxxxxx", sz);
    EXPECT_EQ(nullptr, _strset(nullptr, 'x'));

    char sz2[] = "abcdef";
    EXPECT_EQ(sz2 + 3, _strnset(sz2, '-', 3));
    EXPECT_STREQ("---def", sz2);
    EXPECT_EQ(sz2 + 6, _strnset(sz2, '+', 50)) << "stops at the terminator";
    EXPECT_STREQ("++++++", sz2);
    EXPECT_EQ(sz2, _strnset(sz2, '*', 0));
    char szEmpty[] = "";
    EXPECT_EQ(szEmpty, _strnset(szEmpty, '*', 4));
    EXPECT_EQ(nullptr, _strnset(nullptr, '*', 4));
}

TEST(WinAnswers, DebugTextGoesToStandardError)
{
    testing::internal::CaptureStderr();
    OutputDebugString(L"trace line\n");
    OutputDebugString(nullptr);
    OutputDebugString(L"d\u00e9j\u00e0 \u20ac\n");
    EXPECT_EQ("trace line\nd\xC3\xA9j\xC3\xA0 \xE2\x82\xAC\n", testing::internal::GetCapturedStderr());
}

}  // namespace

namespace {

TEST(WinAnswers, AlphaNumericBytesOfCodePage1252)
{
    for (int c = 0; c < 256; ++c)
    {
        const bool bExpected = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                               c == 0x83 || c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C ||
                               c == 0x9E || c == 0x9F || c == 0xB2 || c == 0xB3 || c == 0xB9 ||
                               (c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7);
        EXPECT_EQ(bExpected, LinuxIsCharAlphaNumericA(static_cast<char>(c)) != 0) << c;
        EXPECT_EQ(bExpected, ((pbyIsCharAlphaNumeric[c / 8] >> (c % 8)) & 1) != 0) << c;
    }
}

}  // namespace
