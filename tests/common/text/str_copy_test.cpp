#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/text/str_copy.h"

namespace {

TEST(StrCopy, CountsAndCapacities)
{
    const struct { size_t capacity; long n; const wchar_t* expected; long result; } cases[] = {
        {8, -1, L"hello", 5}, {8, 3, L"hel", 3}, {8, 50, L"hello", 5}, {8, 0, L"", 0}, {8, -2, L"", 0},
        {4, -1, L"hel", 3},   {1, -1, L"", 0},   {6, -1, L"hello", 5}, {5, 9, L"hell", 4},
    };
    for (const auto& c : cases) {
        wchar_t w[10];
        wmemset(w, L'#', 10);
        EXPECT_EQ(c.result, STR_nCopyW(w, c.capacity, L"hello", c.n)) << c.capacity << " " << c.n;
        EXPECT_EQ(std::wstring(c.expected), w);
        EXPECT_EQ(L'#', w[c.capacity]) << "nothing at or beyond the capacity";
        char a[10];
        std::memset(a, '#', 10);
        EXPECT_EQ(c.result, STR_nCopyA(a, c.capacity, "hello", c.n));
        EXPECT_EQ(static_cast<size_t>(c.result), std::strlen(a));
        EXPECT_EQ('#', a[c.capacity]);
    }
    wchar_t w[4] = {L'#', L'#', L'#', L'#'};
    EXPECT_EQ(0, STR_nCopy(w, 0, L"abc", -1));
    EXPECT_EQ(L'#', w[0]) << "capacity 0 writes nothing";
    EXPECT_EQ(0, STR_nCopy(w, 4, nullptr, -1));
    EXPECT_EQ(0, w[0]);
}

TEST(StrCopy, AppendsAndCuts)
{
    wchar_t w[8] = L"abc";
    EXPECT_EQ(2, STR_nCat(w, 8, L"de", -1));
    EXPECT_EQ(std::wstring(L"abcde"), w);
    EXPECT_EQ(2, STR_nCatW(w, 8, L"fghij", -1));
    EXPECT_EQ(std::wstring(L"abcdefg"), w);
    EXPECT_EQ(0, STR_nCatW(w, 8, L"x", -1)) << "already at the capacity";
    EXPECT_EQ(0, STR_nCatW(w, 5, L"x", -1)) << "present text beyond a smaller capacity";
    EXPECT_EQ(std::wstring(L"abcdefg"), w);

    char a[6] = "ab";
    EXPECT_EQ(1, STR_nCatA(a, 6, "xyz", 1));
    EXPECT_STREQ("abx", a);
    EXPECT_EQ(2, STR_nCatA(a, 6, "xyz", -1));
    EXPECT_STREQ("abxxy", a);
    EXPECT_EQ(0, STR_nCatA(a, 6, "z", -1));

    wchar_t c[4];
    EXPECT_EQ(2, STR_nCut(c, 4, L"ab"));
    EXPECT_EQ(3, STR_nCut(c, 4, L"abcdef"));
    EXPECT_EQ(std::wstring(L"abc"), c);
    char ca[3];
    EXPECT_EQ(2, STR_nCut(ca, 3, "abcdef"));
    EXPECT_STREQ("ab", ca);
    wchar_t cc[6] = L"ab";
    EXPECT_EQ(3, STR_nCatCut(cc, 6, L"cdefg"));
    EXPECT_EQ(std::wstring(L"abcde"), cc);
    EXPECT_EQ(0, STR_nCatCut(cc, 6, L"z"));

    EXPECT_EQ(3, STR_nLenW(L"abcdef", 3));
    EXPECT_EQ(6, STR_nLen(L"abcdef", 30));
    EXPECT_EQ(0, STR_nLenA("abc", 0));
    EXPECT_EQ(2, STR_nLenA("ab", 5));
}

}  // namespace
