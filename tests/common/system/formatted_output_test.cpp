#include <gtest/gtest.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "common/system/bounded_format.h"
#include "common/system/formatted_output.h"
#include "tests/host/support/test_environment.h"

namespace {

int Aswprintf(wchar_t** pp, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const int r = vaswprintf(pp, format, args);
    va_end(args);
    return r;
}

TEST(FormattedOutput, WindowsConventions)
{
    wchar_t buf[64];
    EXPECT_EQ(3, swprintfWin(buf, L"%s=%d", L"a", 5));
    EXPECT_EQ(std::wstring(L"a=5"), buf);
    EXPECT_EQ(8, swprintfWin(buf, L"%S|%hs|%ls", "ab", "cd", L"ef"));
    EXPECT_EQ(std::wstring(L"ab|cd|ef"), buf);
    EXPECT_EQ(3, swprintfWin(buf, L"%2$s%1$s", L"a", L"bc"));
    EXPECT_EQ(std::wstring(L"bca"), buf);
    EXPECT_EQ(4, swprintfWin(buf, L"100%%"));
    EXPECT_EQ(std::wstring(L"100%"), buf);
    EXPECT_EQ(2, swprintfWin(buf, L"%%s"));
    EXPECT_EQ(std::wstring(L"%s"), buf);
    // Whole conversions: flags and precision before an s, wide characters,
    // 64-bit sizes.
    EXPECT_EQ(7, swprintfWin(buf, L"%-6s|", L"ab"));
    EXPECT_EQ(std::wstring(L"ab    |"), buf);
    EXPECT_EQ(2, swprintfWin(buf, L"%.*s", 2, L"abcdef"));
    EXPECT_EQ(std::wstring(L"ab"), buf);
    EXPECT_EQ(2, swprintfWin(buf, L"%c%C", L'\u00E9', 'x'));
    EXPECT_EQ(std::wstring(L"\u00E9x"), buf);
    EXPECT_EQ(13, swprintfWin(buf, L"%I64d", 1LL << 40));
    EXPECT_EQ(std::wstring(L"1099511627776"), buf);
    EXPECT_EQ(17, swprintfWin(buf, L"%016llX|", 255ULL));
}

TEST(FormattedOutput, RealCapacities)
{
    wchar_t buf[8];
    for (auto& c : buf) c = L'#';
    EXPECT_EQ(-1, snwprintfWin(buf, 4, L"%s", L"0123456789"));
    EXPECT_EQ(0, buf[3]) << "a cut text is terminated";
    EXPECT_EQ(L'#', buf[4]);
    EXPECT_EQ(-1, sznwprintf(buf, 5, L"%d", 123456));
    EXPECT_EQ(std::wstring(L"12345"), buf);
    EXPECT_EQ(4, sznwprintfWin(buf, 5, L"%d", 1234));
    EXPECT_EQ(std::wstring(L"1234"), buf);
    // A format beyond the stack area.
    const std::wstring longFormat = std::wstring(300, L'x') + L"%s";
    wchar_t big[400];
    EXPECT_EQ(302, swprintfWin(big, longFormat.c_str(), L"ab"));
    EXPECT_EQ(longFormat.substr(0, 300) + L"ab", big);
}

TEST(FormattedOutput, HeapTextsGrowOnceAndFailCleanly)
{
    wchar_t* text = nullptr;
    const std::wstring arg(1000, L'z');
    EXPECT_EQ(1000, Aswprintf(&text, L"%s", arg.c_str()));
    EXPECT_EQ(arg, text);
    // An earlier block is reused; several arguments of every kind.
    EXPECT_EQ(14, Aswprintf(&text, L"%s-%d-%S-%.1f-%c", L"ab", 42, "cd", 2.5, L'Z'));
    EXPECT_EQ(std::wstring(L"ab-42-cd-2.5-Z"), text);
    std::free(text);

    // A narrow character this locale cannot read: the format itself comes back.
    text = nullptr;
    EXPECT_EQ(4, Aswprintf(&text, L"<%S>", "a\xE9"));
    EXPECT_EQ(std::wstring(L"<%S>"), text);
    std::free(text);

    // A failure for another reason than room ends at once with no text.
    text = nullptr;
    errno = 0;
    EXPECT_EQ(-1, Aswprintf(&text, L"%hc%s", 0xE9, arg.c_str()));
    EXPECT_EQ(nullptr, text);
}

}  // namespace
