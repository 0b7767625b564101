#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/text/str_trim.h"
#include "tests/host/support/test_environment.h"

namespace {

TEST(StrTrim, SpacesBothWidths)
{
    const struct { const wchar_t* text; const wchar_t* right; const wchar_t* left; const wchar_t* side; const wchar_t* all; } cases[] = {
        {L"  a b \t\n", L"  a b", L"a b \t\n", L"a b", L"ab"},
        {L"   ", L"", L"", L"", L""},
        {L"", L"", L"", L"", L""},
        {L"\u3000x\u3000", L"\u3000x", L"x\u3000", L"x", L"x"},  // ideographic space is a space
    };
    for (const auto& c : cases) {
        std::wstring t = c.text;
        EXPECT_EQ(std::wstring(c.right), STR_SuppressRightSpaces(t.data()));
        t = c.text;
        EXPECT_EQ(std::wstring(c.left), STR_SuppressLeftSpaces(t.data()));
        t = c.text;
        EXPECT_EQ(std::wstring(c.side), STR_SuppressSideSpaces(t.data()));
        t = c.text;
        EXPECT_EQ(std::wstring(c.all), STR_SuppressAllSpacesW(t.data()));
    }
    char a[] = " \tx y\n";
    EXPECT_STREQ("x y", STR_SuppressSideSpaces(a));
    char b[] = " x y ";
    EXPECT_STREQ("xy", STR_SuppressAllSpacesA(b));
    char c[] = " x ";
    EXPECT_STREQ(" x", STR_SuppressRightSpaces(c));
    EXPECT_STREQ("x", STR_SuppressLeftSpaces(c));
    EXPECT_EQ(nullptr, STR_SuppressSideSpaces(static_cast<wchar_t*>(nullptr)));
}

TEST(StrTrim, RunsOfACharacter)
{
    wchar_t w[] = L"**a*b**";
    EXPECT_EQ(std::wstring(L"**a*b"), STR_SuppressRightCar(w, L'*'));
    EXPECT_EQ(std::wstring(L"a*b"), STR_SuppressLeftCar(w, L'*'));
    wchar_t s[] = L"--x--";
    EXPECT_EQ(std::wstring(L"x"), STR_SuppressSideCar(s, L'-'));
    wchar_t only[] = L"////";
    EXPECT_EQ(std::wstring(L""), STR_SuppressRightCar(only, L'/'));
    char a[] = "00120";
    EXPECT_STREQ("120", STR_SuppressLeftCar(a, '0'));
    EXPECT_STREQ("12", STR_SuppressRightCar(a, '0'));
}

TEST(StrTrim, Complete)
{
    wchar_t w[8] = L"ab";
    EXPECT_EQ(std::wstring(L"ab**"), STR_Complete(w, 5, L'*'));
    EXPECT_EQ(std::wstring(L"a"), STR_Complete(w, 2, L'*'));
    w[0] = L'q';
    STR_Complete(w, 0, L'*');
    EXPECT_EQ(L'q', w[0]) << "size 0 writes nothing";
    char a[6] = "x";
    EXPECT_STREQ("x....", STR_Complete(a, 6, '.'));
}

}  // namespace
