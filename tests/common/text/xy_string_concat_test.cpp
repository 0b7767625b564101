// CXYStringConcat: growth by whole steps, appends of text and numbers, the
// converting appends, searches, and a builder spoiled by a failed growth.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/system/code_page_conversion.h"
#include "common/text/xy_string_concat.h"
#include "tests/common/xmalloc_failures.h"
#include "tests/host/support/test_environment.h"

namespace {

// An ASCII literal in either width.
template <class T>
std::basic_string<T> S(const char* ascii)
{
    std::basic_string<T> s;
    for (const char* p = ascii; *p; ++p) s.push_back(static_cast<T>(*p));
    return s;
}

template <class T>
std::basic_string<T> Text(const CXYStringConcat<T>& b)
{
    return std::basic_string<T>(b.pszGet(), static_cast<size_t>(b.nGetLongueur()));
}

template <class T>
class Builder : public ::testing::Test
{
};

using Widths = ::testing::Types<char, wchar_t>;
TYPED_TEST_SUITE(Builder, Widths);

TYPED_TEST(Builder, NewBuilderReadsAsTheSharedEmptyText)
{
    CXYStringConcat<TypeParam> b;
    EXPECT_EQ(CXYStringConcat<TypeParam>::ChaineVide, b.pszGet());
    EXPECT_EQ(0, b.nGetLongueur());
    EXPECT_EQ(0, b.nGetCapacite());
    EXPECT_EQ(1024, b.nGetPas());
    EXPECT_EQ(-1, b.nPos(S<TypeParam>("a").c_str()));
    EXPECT_EQ(-1, b.nPos(TypeParam('a')));
    EXPECT_TRUE(b.bEstEgal(S<TypeParam>("").c_str()));
    EXPECT_TRUE(b.bEstEgal(nullptr));
}

TYPED_TEST(Builder, CapacityIsTheNextWholeStepStrictlyAboveTheNeed)
{
    struct Case
    {
        long first, second, capacity;
    } cases[] = {
        {1, 0, 1024},       // one character
        {1023, 0, 1024},    // just below a step
        {1024, 0, 2048},    // a whole step: strictly above
        {1000, 1048, 3072}, // a need of 2048
        {1024, 1024, 2048}, // a need of 2048 within a capacity of 2048
        {1000, 100, 2048},  // the second append passes the first step
    };
    for (const Case& c : cases) {
        CXYStringConcat<TypeParam> b;
        b.Add(std::basic_string<TypeParam>(static_cast<size_t>(c.first), TypeParam('x')).c_str(), c.first);
        if (c.second)
            b.Add(std::basic_string<TypeParam>(static_cast<size_t>(c.second), TypeParam('y')).c_str(), c.second);
        EXPECT_EQ(c.capacity, b.nGetCapacite()) << c.first << "+" << c.second;
        EXPECT_EQ(c.first + c.second, b.nGetLongueur());
        EXPECT_EQ(TypeParam(0), b.pszGet()[b.nGetLongueur()]);
    }
    CXYStringConcat<TypeParam> small(10);
    small.Add(S<TypeParam>("abcdefghij").c_str(), 10);
    EXPECT_EQ(20, small.nGetCapacite());
    CXYStringConcat<TypeParam> zero(0);  // a step of 0 would divide by zero
    EXPECT_EQ(1024, zero.nGetPas());
}

TYPED_TEST(Builder, EmptyingKeepsTheBufferForTheNextAppends)
{
    CXYStringConcat<TypeParam> b;
    b.Add(S<TypeParam>("hello").c_str(), 5);
    const TypeParam* buffer = b.pszGet();
    b.Vide();
    EXPECT_EQ(CXYStringConcat<TypeParam>::ChaineVide, b.pszGet());
    EXPECT_EQ(1024, b.nGetCapacite());
    b.Add(S<TypeParam>("ab").c_str(), 2);
    EXPECT_EQ(buffer, b.pszGet());
    EXPECT_EQ(S<TypeParam>("ab"), Text(b));
}

TYPED_TEST(Builder, AppendsOfTextIgnoreNullAndShortLengths)
{
    CXYStringConcat<TypeParam> b;
    b.Add(S<TypeParam>("abc").c_str(), 2);
    b.Add(nullptr, 4);
    b.Add(S<TypeParam>("zz").c_str(), 0);
    b.Add(S<TypeParam>("zz").c_str(), -1);
    b.Add(S<TypeParam>("cd").c_str());
    b.Add(static_cast<const TypeParam*>(nullptr));
    EXPECT_EQ(S<TypeParam>("abcd"), Text(b));
    // Zeros inside a counted piece are kept and searched over.
    const TypeParam withZero[] = {'x', 0, 'y'};
    b.Add(withZero, 3);
    EXPECT_EQ(7, b.nGetLongueur());
    EXPECT_EQ(6, b.nPos(TypeParam('y')));
    EXPECT_EQ(6, b.nPos(S<TypeParam>("y").c_str(), 3));
}

TYPED_TEST(Builder, AppendingItsOwnTextWhileGrowing)
{
    // Under AddressSanitizer every realloc moves: a source read from the old
    // buffer would be a use after free.
    CXYStringConcat<TypeParam> b(4);
    b.Add(S<TypeParam>("abc").c_str(), 3);
    std::basic_string<TypeParam> expected = S<TypeParam>("abc");
    for (int i = 0; i < 8; ++i) {
        b.Add(b.pszGet(), b.nGetLongueur());
        expected += expected;
    }
    b.Add(b.pszGet() + 1, 2);
    expected += expected.substr(1, 2);
    EXPECT_EQ(expected, Text(b));
}

TYPED_TEST(Builder, Numbers)
{
    struct Case
    {
        long v;
        int digits;
        bool asInt;
        const char* expected;
    } cases[] = {
        {7, 3, true, "007"},
        {-7, 3, true, "-7"},
        {0, 3, true, "0"},
        {1234, 2, true, "1234"},
        {5, -1, true, "5"},
        {5, -2, true, "5"},
        {42, 40, true, "0000000000000000000000000000000000000042"},
        {-2147483647 - 1, 12, true, "-2147483648"},
        {9223372036854775807L, -1, false, "9223372036854775807"},
        {-9223372036854775807L - 1, 30, false, "-9223372036854775808"},
        {12, 5, false, "00012"},
        {0, 5, false, "0"},
    };
    for (const Case& c : cases) {
        CXYStringConcat<TypeParam> b;
        b.Add(S<TypeParam>("n=").c_str(), 2);
        if (c.asInt)
            b.AddNumber(static_cast<int>(c.v), c.digits);
        else
            b.AddNumber(c.v, c.digits);
        EXPECT_EQ(S<TypeParam>("n=") + S<TypeParam>(c.expected), Text(b)) << c.v << "," << c.digits;
    }
}

TYPED_TEST(Builder, HexadecimalAndBinary)
{
    CXYStringConcat<TypeParam> b;
    b.AddNumberHexa(static_cast<unsigned char>(10));
    b.Add(S<TypeParam>(" ").c_str(), 1);
    b.AddNumberHexa(static_cast<unsigned short>(10));
    b.Add(S<TypeParam>(" ").c_str(), 1);
    b.AddNumberHexa(0xBEEFu);
    b.Add(S<TypeParam>(" ").c_str(), 1);
    b.AddNumberHexa(0xFEDCBA9876543210ul);
    b.Add(S<TypeParam>(" ").c_str(), 1);
    b.AddNumberBinary(1, 1);
    b.Add(S<TypeParam>(" ").c_str(), 1);
    b.AddNumberBinary(1, 0);
    b.Add(S<TypeParam>(" ").c_str(), 1);
    b.AddNumberBinary(0xA3, 1);
    EXPECT_EQ(S<TypeParam>("0A 000A 0000BEEF FEDCBA9876543210 00000001 10000000 10100011"), Text(b));
}

TYPED_TEST(Builder, PrefixOfZeros)
{
    TypeParam digits[8] = {'4', '2', 0};
    CXYStringConcat<TypeParam>::_AddPrefix0(digits, 5);
    EXPECT_EQ(S<TypeParam>("00042"), std::basic_string<TypeParam>(digits));
    CXYStringConcat<TypeParam>::_AddPrefix0(digits, 3);
    EXPECT_EQ(S<TypeParam>("00042"), std::basic_string<TypeParam>(digits));
}

TYPED_TEST(Builder, SearchAndEquality)
{
    CXYStringConcat<TypeParam> b;
    b.Add(S<TypeParam>("select a from t where a = 1").c_str());
    EXPECT_EQ(9, b.nPos(S<TypeParam>("from").c_str()));
    EXPECT_EQ(24, b.nPos(TypeParam('='), 10));
    EXPECT_EQ(7, b.nPos(TypeParam('a'), -5));
    EXPECT_EQ(-1, b.nPos(S<TypeParam>("from").c_str(), 10));
    EXPECT_EQ(-1, b.nPos(S<TypeParam>("").c_str()));
    EXPECT_EQ(-1, b.nPos(static_cast<const TypeParam*>(nullptr)));
    EXPECT_EQ(-1, b.nPos(TypeParam(0)));
    EXPECT_EQ(-1, b.nPos(TypeParam('s'), b.nGetLongueur()));
    EXPECT_TRUE(b.bEstEgal(S<TypeParam>("select a from t where a = 1").c_str()));
    EXPECT_FALSE(b.bEstEgal(S<TypeParam>("select a from t where a = 1 ").c_str()));
    EXPECT_FALSE(b.bEstEgal(S<TypeParam>("SELECT a from t where a = 1").c_str()));
    b.Majuscule();
    EXPECT_EQ(S<TypeParam>("SELECT A FROM T WHERE A = 1"), Text(b));
}

TEST(BuilderWide, UpperCaseFollowsTheHostLocale)
{
    CXYStringConcat<wchar_t> b;
    b.Add(L"côté œuvre");
    b.Majuscule();
    EXPECT_STREQ(L"CÔTÉ ŒUVRE", b.pszGet());
}

TEST(BuilderWide, ConvertingAppends)
{
    CXYStringConcat<wchar_t> b;
    b.AddAnsi("caf\xE9 ", 5, 1252);
    b.AddAnsi("caf\xC3\xA9", 5, 65001);
    b.AddAnsiToUTF8("\x80", 1, 1252);  // the wide side converts as AddAnsi
    b.AddUTF8("\xE2\x82\xAC!", 4, 1252);
    b.AddWide(L"ok", 2, 1252);
    EXPECT_STREQ(L"café café€€!ok", b.pszGet());
    // A sequence cut by the end of the piece is dropped, not the whole piece.
    CXYStringConcat<wchar_t> cut;
    cut.AddAnsi("ab\xC3\xA9\xE2\x82", 6, 65001);
    cut.AddUTF8("\xC3", 1, 65001);
    cut.AddAnsi("\x93\xFA\x93", 3, 932);
    EXPECT_STREQ(L"abé日", cut.pszGet());
    wchar_t out[8] = {};
    EXPECT_EQ(2, CXYStringConcat<wchar_t>::_nUTF8ToX("\xC3\xA9z", 3, out, 1252));
    EXPECT_STREQ(L"éz", out);
}

TEST(BuilderNarrow, ConvertingAppends)
{
    struct Case
    {
        const char* what;
        void (*append)(CXYStringConcat<char>&);
        const char* expected;
    } cases[] = {
        {"AddAnsi copies whatever the code page",
         [](CXYStringConcat<char>& b) { b.AddAnsi("caf\xE9", 4, 65001); }, "caf\xE9"},
        {"AddWide to 1252", [](CXYStringConcat<char>& b) { b.AddWide(L"café €", 6, 1252); }, "caf\xE9 \x80"},
        {"AddWide to UTF-8", [](CXYStringConcat<char>& b) { b.AddWide(L"é€𝄞", 3, 65001); },
         "\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E"},
        {"AddWide to 1252 without the character", [](CXYStringConcat<char>& b) { b.AddWide(L"a€中b", 4, 1252); },
         "a\x80?b"},
        {"AddWide to 932", [](CXYStringConcat<char>& b) { b.AddWide(L"日本", 2, 932); }, "\x93\xFA\x96\x7B"},
        {"AddAnsiToUTF8 from 1252", [](CXYStringConcat<char>& b) { b.AddAnsiToUTF8("\xE9\x80", 2, 1252); },
         "\xC3\xA9\xE2\x82\xAC"},
        {"AddAnsiToUTF8 from UTF-8 copies",
         [](CXYStringConcat<char>& b) { b.AddAnsiToUTF8("\xC3\xA9", 2, 65001); }, "\xC3\xA9"},
        {"AddUTF8 into 1252", [](CXYStringConcat<char>& b) { b.AddUTF8("\xC3\xA9\xE2\x82\xAC", 5, 1252); },
         "\xE9\x80"},
        {"AddUTF8 into UTF-8 copies", [](CXYStringConcat<char>& b) { b.AddUTF8("\xC3\xA9", 2, 65001); },
         "\xC3\xA9"},
    };
    for (const Case& c : cases) {
        CXYStringConcat<char> b;
        b.Add("<", 1);
        c.append(b);
        b.Add(">", 1);
        EXPECT_EQ(std::string("<") + c.expected + ">", std::string(b.pszGet())) << c.what;
    }
}

TEST(BuilderNarrow, UTF8AppendsWriteWhatTheConverterWrites)
{
    // Every kind of character, the ones UTF-8 cannot hold included, in
    // pieces small and large.
    std::wstring text;
    for (uint32_t c : {0x41u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xD800u, 0xDFFFu, 0xFFFFu, 0x10000u, 0x10FFFFu, 0x110000u,
                       0xFFFFFFFFu})
        text.push_back(static_cast<wchar_t>(c));
    for (const std::wstring& piece : {text, std::wstring(500, L'\xD801') + text + std::wstring(4000, L'\x10400')}) {
        const int n = static_cast<int>(piece.size());
        std::string expected(static_cast<size_t>(4 * n), '\0');
        expected.resize(static_cast<size_t>(
            WideCharToMultiByte(65001, 0, piece.c_str(), n, expected.data(), 4 * n, nullptr, nullptr)));
        CXYStringConcat<char> b;
        b.AddWide(piece.c_str(), n, 65001);
        EXPECT_EQ(expected, std::string(b.pszGet(), static_cast<size_t>(b.nGetLongueur()))) << n;
    }
}

TEST(BuilderNarrow, LargeConversionsAreMeasuredNotReservedFourTimes)
{
    const std::wstring text(10000, L'é');
    CXYStringConcat<char> b;
    b.AddWide(text.c_str(), static_cast<long>(text.size()), 65001);
    EXPECT_EQ(20000, b.nGetLongueur());
    EXPECT_EQ(20480, b.nGetCapacite());
    EXPECT_EQ('\xC3', b.pszGet()[19998]);
}

TYPED_TEST(Builder, FailedGrowthSpoilsTheBuilderUntilEmptied)
{
    CXYStringConcat<TypeParam> b(4);
    b.Add(S<TypeParam>("abc").c_str(), 3);
    {
        vxtest::XmallocFailures failures;
        failures.FailAll(true);
        b.Add(S<TypeParam>("defgh").c_str(), 5);
        EXPECT_TRUE(b.bEchec());
        EXPECT_EQ(CXYStringConcat<TypeParam>::ChaineVide, b.pszGet());
        EXPECT_EQ(0, b.nGetLongueur());
        // Pieces that would fit are ignored too: no statement with a hole.
        b.Add(S<TypeParam>("x").c_str(), 1);
        b.AddNumber(5);
        EXPECT_EQ(0, b.nGetLongueur());
    }
    b.Vide();
    EXPECT_FALSE(b.bEchec());
    b.Add(S<TypeParam>("ok").c_str(), 2);
    EXPECT_EQ(S<TypeParam>("ok"), Text(b));

    // Beyond the size limit nothing is asked of the heap.
    CXYStringConcat<TypeParam> big;
    big.Add(S<TypeParam>("a").c_str(), 1);
    big.Add(S<TypeParam>("b").c_str(), CXYStringConcat<TypeParam>::kLongueurMax);
    EXPECT_TRUE(big.bEchec());
    EXPECT_EQ(1024, big.nGetCapacite());
}

}  // namespace
