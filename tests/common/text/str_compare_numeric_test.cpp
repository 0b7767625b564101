// The comparisons the library does by itself: numbers by value, and the fast
// unaccented Latin-1 comparison with its table.
#include <gtest/gtest.h>

#include <string>

#include "common/text/no_accent_latin1.h"
#include "common/text/str_compare.h"
#include "common/text/str_compare_numeric.h"
#include "tests/host/support/test_environment.h"

namespace {

int Sign(int r)
{
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

struct NumericCase
{
    const char* a;
    const char* b;
    int wide;   // expected sign, wide form without flags
    int ansi;   // expected sign, 8-bit form without flags
};

TEST(CompareRespecteNumerique, NumbersCompareByValueInBothWidths)
{
    const NumericCase cases[] = {
        {"a10", "a9", 1, 1},
        {"a9", "a10", -1, -1},
        {"a007", "a7", -1, -1},    // leading zeros sort first ...
        {"a7", "a007", 1, 1},
        {"a007b", "a7a", 1, 1},    // ... unless a later difference decides
        {"a07x", "a007x", 1, 1},   // the first such difference is kept
        {"x2y", "x2z", -1, -1},
        {"12", "12", 0, 0},
        {"", "", 0, 0},
        {"", "a", -1, -1},
        {"a", "", 1, 1},
        {"10", "9", 1, 1},
        {"100", "0100", 1, 1},
        {"0", "00", 1, 1},
        {"abc", "abd", -1, -1},
        {"ab1", "ab!", -1, 1},     // wide: shorter non-digit run first; 8-bit: '1' > '!'
        {"ab", "abc", -1, -1},
        {"v1.10.2", "v1.9.12", 1, 1},
        {"file-2", "file-10", -1, -1},
    };
    for (const NumericCase& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        const std::wstring wa(c.a, c.a + std::char_traits<char>::length(c.a));
        const std::wstring wb(c.b, c.b + std::char_traits<char>::length(c.b));
        EXPECT_EQ(c.wide, Sign(STR_nCompareRespecteNumeriqueW(wa.c_str(), -1, wb.c_str(), -1, 0)));
        EXPECT_EQ(c.ansi, Sign(STR_nCompareRespecteNumeriqueA(c.a, -1, c.b, -1, 0)));
    }
}

TEST(CompareRespecteNumerique, ExplicitLengthsAndCharacterBytes)
{
    // Explicit lengths are honoured: only "a1" against "a1".
    EXPECT_EQ(0, STR_nCompareRespecteNumeriqueW(L"a1x", 2, L"a1y", 2, 0));
    EXPECT_EQ(0, STR_nCompareRespecteNumeriqueA("a12", 2, "a1", -1, 0));
    EXPECT_EQ(0, STR_nCompareRespecteNumeriqueW(nullptr, -1, L"", -1, 0));

    // A digit against another character: the first differing byte of the two
    // characters in memory decides, low byte first. U+0100 has a low byte of
    // 0, so it sorts before "1" here although its code is larger.
    EXPECT_LT(STR_nCompareRespecteNumeriqueW(L"\x0100", -1, L"1", -1, 0), 0);
    EXPECT_GT(STR_nCompareRespecteNumeriqueW(L"a", -1, L"1", -1, 0), 0);
    // Non-digit runs compare as memory too.
    EXPECT_LT(STR_nCompareRespecteNumeriqueW(L"x\x0200", -1, L"x\x0101", -1, 0), 0);
    // 8-bit bytes are unsigned.
    EXPECT_GT(STR_nCompareRespecteNumeriqueA("\xE9", -1, "z", -1, 0), 0);
}

TEST(CompareRespecteNumerique, LexicalFlagAsksTheLocaleForTheText)
{
    vxtest::Locale().Reset();
    // With the locale, "é" sorts between "e" and "f" and case is secondary.
    EXPECT_LT(STR_nCompareRespecteNumeriqueW(L"é2", -1, L"f1", -1, STR_FLAG_LEXICAL), 0);
    EXPECT_GT(STR_nCompareRespecteNumeriqueW(L"é2", -1, L"f1", -1, 0), 0);
    EXPECT_LT(STR_nCompareRespecteNumeriqueA("\xE9" "2", -1, "f1", -1, STR_FLAG_LEXICAL), 0);
    // Case ignored by the locale; b has more leading zeros, so it sorts first.
    EXPECT_EQ(1, STR_nCompareRespecteNumeriqueW(L"Abc10", -1, L"abc010", -1, STR_FLAG_LEXICAL | 1));
    EXPECT_LT(STR_nCompareRespecteNumeriqueW(L"version 9", -1, L"VERSION 10", -1, STR_FLAG_LEXICAL | 3), 0);
    const auto log = vxtest::Locale().Log();
    ASSERT_FALSE(log.empty());
    for (const auto& call : log)
        EXPECT_NE(0u, call.flags & STR_FLAG_LEXICAL);
}

TEST(CmpLogiqueAnsiFast, TableAndComparison)
{
    struct Mapping
    {
        unsigned char from, to;
    };
    const Mapping table[] = {
        {'a', 'A'}, {'z', 'Z'}, {'A', 'A'}, {'0', '0'}, {0x8A, 'S'}, {0x9A, 'S'}, {0x8E, 'Z'}, {0x9E, 'Z'},
        {0x9C, 0x8C}, {0x9F, 'Y'}, {0xDD, 'Y'}, {0xFD, 'Y'}, {0xFF, 'Y'}, {0xC0, 'A'}, {0xE5, 'A'},
        {0xC7, 'C'}, {0xE7, 'C'}, {0xCB, 'E'}, {0xE8, 'E'}, {0xCC, 'I'}, {0xEF, 'I'}, {0xD1, 'N'}, {0xF1, 'N'},
        {0xD2, 'O'}, {0xD8, 'O'}, {0xF6, 'O'}, {0xF8, 'O'}, {0xD9, 'U'}, {0xFC, 'U'}, {0xE6, 0xC6},
        {0xF0, 0xD0}, {0xFE, 0xDE}, {0xDF, 0xDF}, {0xD7, 0xD7}, {0xF7, 0xF7}, {0xC6, 0xC6}, {0x80, 0x80},
    };
    for (const Mapping& m : table)
        EXPECT_EQ(m.to, pToNoAccentUpper_Latin1[m.from]) << std::hex << int(m.from);

    EXPECT_EQ(0, STR_nCmpLogiqueAnsiFast("\xC9l\xE8ve", "ELEVE"));
    EXPECT_EQ(-1, STR_nCmpLogiqueAnsiFast("abc", "abd"));
    EXPECT_EQ(1, STR_nCmpLogiqueAnsiFast("abd", "ABC"));
    EXPECT_EQ(-1, STR_nCmpLogiqueAnsiFast("ab", "abc"));
    EXPECT_EQ(1, STR_nCmpLogiqueAnsiFast("abc", "ab"));
    EXPECT_EQ(1, STR_nCmpLogiqueAnsiFast("\xDF", "z"));  // ß stays above the letters
    EXPECT_EQ(0, STR_nCmpLogiqueAnsiFast("", nullptr));
}

}  // namespace
