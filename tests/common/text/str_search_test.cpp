#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/text/str_search.h"
#include "tests/host/support/test_environment.h"

namespace {

long At(const wchar_t* text, const wchar_t* found)
{
    return found ? static_cast<long>(found - text) : -1;
}

long At(const char* text, const char* found)
{
    return found ? static_cast<long>(found - text) : -1;
}

TEST(StrSearch, Forward)
{
    const wchar_t* text = L"abcabcd";
    const struct { const wchar_t* pattern; long n; long at; } cases[] = {
        {L"cab", 7, 2}, {L"abcd", 7, 3}, {L"abcd", 6, -1}, {L"abcd", 3, -1}, {L"", 7, 0},
        {L"d", 100, 6},  // n beyond the text is clipped
        {L"abcd", 1000, 3},
    };
    for (const auto& c : cases) EXPECT_EQ(c.at, At(text, STR_pszStrnstr(text, c.pattern, c.n))) << c.pattern << " " << c.n;
    EXPECT_EQ(0, At(text, STR_pszStrnstr(text, nullptr, 3)));

    EXPECT_EQ(4, At(L"One TWO", STR_StrIStr(L"One TWO", L"two")));
    EXPECT_EQ(-1, At(L"ab", STR_StrIStr(L"ab", L"abc")));
    EXPECT_EQ(0, At(L"ab", STR_StrIStr(L"ab", L"")));

    const char* a = "Hello World";
    EXPECT_EQ(6, At(a, STR_strnistrA(a, "WORLD", 11)));
    EXPECT_EQ(-1, At(a, STR_strnistrA(a, "WORLD", 10)));
    EXPECT_EQ(-1, At(a, STR_strnstrA(a, "world", 11)));
    EXPECT_EQ(6, At(a, STR_strnstrA(a, "World", 500)));
    EXPECT_EQ(0, At(a, STR_strnstrA(a, "", 3)));
}

TEST(StrSearch, Backward)
{
    const wchar_t* w = L"abcabc";
    const struct { long start; long at; } cases[] = {{5, 3}, {3, 3}, {2, 0}, {0, 0}, {-1, -1}, {1000, 3}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.at, At(w, STRRSTRW(w, c.start, L"abc"))) << c.start;
        EXPECT_EQ(c.at, At("abcabc", STRRSTRA("abcabc", c.start, "abc"))) << c.start;
    }
    EXPECT_EQ(-1, At(w, STRRSTR(w, 5, L"abcabcd")));

    EXPECT_EQ(5, At(L"a,b;c,", STRRPBRK(L"a,b;c,", L";,")));
    EXPECT_EQ(3, At("a,b;c", STRRPBRK("a,b;c", ";")));
    EXPECT_EQ(-1, At(L"abc", STRRPBRK(L"abc", L"")));

    EXPECT_EQ(1, At("a/b/c", strrchr("a/b/c", 2, '/')));
    EXPECT_EQ(3, At("a/b/c", strrchr("a/b/c", 4, '/')));
    EXPECT_EQ(3, At("a/b/c", strrchr("a/b/c", 900, '/'))) << "index clipped to the text";
    EXPECT_EQ(-1, At("a/b/c", strrchr("a/b/c", 0, '/')));
    EXPECT_EQ(-1, At("a/b/c", strrchr("a/b/c", -1, '/')));
    EXPECT_EQ(1, At(L"a\\b", wcsrchr(L"a\\b", 2, L'\\')));
}

}  // namespace
