#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "common/text/str_create.h"

namespace {

struct Freed
{
    void operator()(void* p) const { std::free(p); }
};
using W = std::unique_ptr<wchar_t, Freed>;
using A = std::unique_ptr<char, Freed>;

TEST(StrCreate, BlocksCopiesAndJoins)
{
    W block(STR_pszCreateW(3));
    ASSERT_NE(nullptr, block);
    block.get()[3] = 0;  // room for the terminator
    EXPECT_EQ(nullptr, STR_pszCreateW(-1));
    A narrow(STR_pszCreateA(0));
    ASSERT_NE(nullptr, narrow);
    narrow.get()[0] = 0;

    EXPECT_EQ(std::wstring(L"abc"), W(STR_pszCreate(L"abc")).get());
    EXPECT_EQ(nullptr, STR_pszCreateW(static_cast<const wchar_t*>(nullptr)));
    EXPECT_STREQ("xy", A(STR_pszCreateA("xy")).get());
    EXPECT_EQ(std::wstring(L"ab"), W(STR_pszCreateW(L"a", L"b")).get());
    EXPECT_EQ(std::wstring(L"a"), W(STR_pszCreateW(L"a", nullptr)).get());
    EXPECT_STREQ("ab", A(STR_pszCreateA("a", "b")).get());
    EXPECT_EQ(std::wstring(L"a.b"), W(STR_pszConcatPoint(L"a", L"b")).get());
    EXPECT_EQ(std::wstring(L"abc"), W(STR_pszConcat(L"a", L"b", L"c")).get());
}

TEST(StrCreate, PrefixesAreZeroFilledAndTerminatedAtN)
{
    W shortText(STR_pszCreate(5, L"ab"));
    const wchar_t expected[6] = {L'a', L'b', 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(expected, shortText.get(), sizeof expected));
    EXPECT_EQ(std::wstring(L"abc"), W(STR_pszCreateW(3, L"abcdef")).get());
    A a(STR_pszCreateA(2, "xyz"));
    EXPECT_STREQ("xy", a.get());
    EXPECT_EQ(std::wstring(L""), W(STR_pszCreateW(0, L"abc")).get());
}

TEST(StrCreate, UnalignedSources)
{
    alignas(8) unsigned char raw[32] = {};
    const wchar_t text[] = L"abc";
    std::memcpy(raw + 1, text, sizeof text);
    const wchar_t* unaligned = reinterpret_cast<const wchar_t*>(raw + 1);
    EXPECT_EQ(std::wstring(L"abc"), W(STR_pszCreateW_UNALIGNED(unaligned)).get());
    EXPECT_EQ(std::wstring(L"ab"), W(STR_pszCreateW_UNALIGNED(2, unaligned)).get());
    EXPECT_EQ(std::wstring(L"abc"), W(STR_pszCreateW_UNALIGNED(L"abc")).get());
}

TEST(StrCreate, Replace)
{
    const struct { const wchar_t* text; const wchar_t* find; const wchar_t* repl; const wchar_t* expected; } cases[] = {
        {L"a-b-c", L"-", L"--", L"a--b--c"},   // grows by the difference per occurrence
        {L"aaaa", L"aa", L"b", L"bb"},         // left to right, without overlap
        {L"aaa", L"aa", L"", L"a"},
        {L"abc", L"x", L"y", L"abc"},          // a plain copy
        {L"abc", L"abc", L"", L""},
    };
    for (const auto& c : cases) {
        W result(STR_RemplaceW(c.text, c.find, c.repl));
        ASSERT_NE(nullptr, result);
        EXPECT_EQ(std::wstring(c.expected), result.get());
    }
    EXPECT_EQ(nullptr, STR_RemplaceW(L"", L"a", L"b"));
    EXPECT_EQ(nullptr, STR_RemplaceW(L"abc", L"", L"b"));
}

TEST(StrCreate, RedefineResizeDelete)
{
    wchar_t* text = STR_pszCreate(L"old");
    EXPECT_TRUE(STR_bRedefine(&text, L"new"));
    EXPECT_EQ(std::wstring(L"new"), text);
    EXPECT_TRUE(STR_bResizeW(&text, 10));
    std::wcscpy(text, L"123456789");
    EXPECT_TRUE(STR_bResizeW(&text, 0)) << "a zero size keeps a block";
    ASSERT_NE(nullptr, text);
    EXPECT_FALSE(STR_bResizeW(&text, static_cast<size_t>(-1) / 2));
    ASSERT_NE(nullptr, text) << "unchanged on failure";
    STR_DeleteW(text);
    text = nullptr;
    EXPECT_FALSE(STR_bRedefine(&text, nullptr));
    EXPECT_EQ(nullptr, text);

    char* a = STR_pszCreateA("x");
    EXPECT_TRUE(STR_bResizeA(&a, 3));
    STR_DeleteA(a);
    STR_Delete(nullptr);
    STR_Delete(STR_pszCreateA(4));
}

}  // namespace
