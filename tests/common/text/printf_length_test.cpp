#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/text/printf_length.h"
#include "tests/host/support/test_environment.h"

namespace {

template <class T>
long Estimate(const T* format, ...)
{
    va_list args;
    va_start(args, format);
    const long n = STRG_nCalculeLongueurPrintf(format, args);
    va_end(args);
    return n;
}

// Estimates, then formats from the same list: the estimate must leave the
// list where it found it. Returns the text; *pEstimate receives the estimate.
std::string EstimateThenFormat(long* pEstimate, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    *pEstimate = STRG_nCalculeLongueurPrintf(format, args);
    char buffer[4096];
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return n < 0 ? std::string("<failed>") : std::string(buffer, static_cast<size_t>(n));
}

TEST(PrintfLength, TextConversions)
{
    EXPECT_EQ(3, Estimate(L"abc"));
    EXPECT_EQ(4, Estimate(L"100%%"));
    EXPECT_EQ(3, Estimate(L"%s", L"abc"));
    EXPECT_EQ(3, Estimate(L"%S", "abc"));
    EXPECT_EQ(3, Estimate(L"%hs", "abc"));
    EXPECT_EQ(3, Estimate(L"%ls", L"abc"));
    EXPECT_EQ(3, Estimate("%s", "abc"));
    EXPECT_EQ(1, Estimate(L"%s", L"")) << "at least 1";
    // The precision cuts first, then the width raises: printf writes 5 here.
    EXPECT_EQ(5, Estimate(L"%5.2s", L"abcd"));
    EXPECT_EQ(2, Estimate(L"%.2s", L"abcd"));
    EXPECT_EQ(10, Estimate(L"%10s", L"ab"));
    EXPECT_EQ(10, Estimate(L"%-10s", L"ab"));
    EXPECT_EQ(7, Estimate(L"%*s", -7, L"ab"));
    // A null text prints "(null)".
    EXPECT_EQ(6, Estimate(L"%s", static_cast<const wchar_t*>(nullptr)));
    EXPECT_EQ(6, Estimate(L"%S", static_cast<const char*>(nullptr)));
    EXPECT_EQ(6, Estimate(L"%hs", static_cast<const char*>(nullptr)));
    EXPECT_EQ(6, Estimate(L"%ls", static_cast<const wchar_t*>(nullptr)));
    EXPECT_EQ(6, Estimate("%s", static_cast<const char*>(nullptr)));
    // Wide text in an 8-bit format counts its longest multibyte form.
    EXPECT_EQ(2 * static_cast<long>(MB_CUR_MAX), Estimate("%S", L"\u65E5\u672C"));
    EXPECT_EQ(2 * static_cast<long>(MB_CUR_MAX), Estimate("%ls", L"\u65E5\u672C"));
}

TEST(PrintfLength, OtherConversions)
{
    EXPECT_EQ(2, Estimate(L"%c", L'x'));
    EXPECT_EQ(2, Estimate(L"%.0c", L'x')) << "no precision for characters";
    EXPECT_EQ(5, Estimate(L"%5c", L'x'));
    EXPECT_EQ(static_cast<long>(MB_CUR_MAX), Estimate("%lc", L'\u65E5'));
    EXPECT_EQ(32, Estimate(L"%d", 5));
    EXPECT_EQ(50, Estimate(L"%50d", 5));
    EXPECT_EQ(40, Estimate(L"%*d", 40, 5));
    EXPECT_EQ(40, Estimate(L"%-*d", -40, 5));
    EXPECT_EQ(34, Estimate(L"%#x", 255)) << "'#' adds two";
    EXPECT_EQ(32, Estimate(L"%p", static_cast<void*>(nullptr)));
    EXPECT_EQ(0, Estimate(L"%n", static_cast<int*>(nullptr)));
    EXPECT_EQ(2, Estimate(L"%y")) << "printed as it stands";
    EXPECT_EQ(2, Estimate(L"ab%")) << "a final % ends the scan";
    EXPECT_EQ(512, Estimate(L"%.3f", 1.5));
    EXPECT_GE(Estimate(L"%.300f", 1e300), 602);
    const long lengthOfHuge = std::snprintf(nullptr, 0, "%Lf", 1e4000L);
    EXPECT_GE(Estimate(L"%Lf", 1e4000L), lengthOfHuge);
    EXPECT_GT(lengthOfHuge, 4000);
    // Size prefixes take the argument of their size.
    EXPECT_EQ(32 + 5, Estimate(L"%I64d%s", 1LL << 40, L"abcde"));
    EXPECT_EQ(32 + 5, Estimate(L"%I32d%s", 7, L"abcde"));
    EXPECT_EQ(32 + 5, Estimate(L"%lld%s", 1LL << 40, L"abcde"));
    EXPECT_EQ(32 + 5, Estimate(L"%hd%s", 7, L"abcde"));
    EXPECT_EQ(512 + 5, Estimate(L"%Lg%s", 1.5L, L"abcde"));
    // The grouping flag is a flag: the scan stays in step with the list.
    EXPECT_GE(Estimate(L"%'d%s", 1234567, L"abcde"), 32 + 5);
    EXPECT_GE(Estimate("%'lld|%s", 1234567890123LL, "abcde"), 32 + 6);
}

TEST(PrintfLength, LeavesTheListForTheFormattingAndBoundsIt)
{
    long estimate = 0;
    EXPECT_EQ("x=12 y=abc z=2.50 w=Q", EstimateThenFormat(&estimate, "x=%d y=%s z=%.2f w=%c", 12, "abc", 2.5, 'Q'));
    EXPECT_GE(estimate, 21);

    const std::string big(300, 'b');
    const struct { const char* format; } formats[] = {{"%s %s %lld"}, {"%.1s-%10s-%lld"}, {"[%-20s]%5.3s%%%lld"},
                                                     {"%350s|%s|%#llx"}};
    for (const auto& f : formats) {
        long e = 0;
        const std::string text = EstimateThenFormat(&e, f.format, big.c_str(), "mid", 1234567890123LL);
        EXPECT_NE("<failed>", text);
        EXPECT_GE(e, static_cast<long>(text.size())) << f.format;
    }
}

}  // namespace
