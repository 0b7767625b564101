// Comparison driven by the host language's options: the translation of the
// options, the preparation of each text, and the comparison modes.
#include <gtest/gtest.h>

#include <string>

#include "common/text/str_option_compare.h"
#include "tests/host/support/test_environment.h"

namespace {

int Sign(int r)
{
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

TEST(OptionZL2FlagSTR, BitByBit)
{
    const std::pair<unsigned, unsigned> cases[] = {
        {0, 0}, {1, 0}, {2, 4}, {4, 2}, {8, 0}, {16, 1}, {32, 1}, {16 | 32, 1}, {64, 0x100},
        {16 | 64, 0x100}, {32 | 64, 0x100}, {128, 0}, {256, 0x800}, {2 | 4 | 16, 7}, {0xFFFFFE00, 0},
    };
    for (const auto& [options, flags] : cases)
        EXPECT_EQ(flags, OptionZL2FlagSTR(options)) << options;
}

TEST(PrepareChaine, TrimCopyAndMap)
{
    vxtest::Locale().Reset();
    struct Case
    {
        unsigned options;
        const wchar_t* src;
        int length;
        int capacity;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {1, L" \t ab c \r\n", -1, 32, L"ab c"},
        {1, L" \t\n ", -1, 32, L""},
        {0, L" ab ", -1, 32, L" ab "},
        {1, L"  abc  ", 4, 32, L"ab"},     // trimmed within the given length
        {0, L"abcdef", -1, 4, L"abc"},      // capacity - 1 copied
        {1 | 16, L" élève ", -1, 32, L"ÉLÈVE"},
        {4 | 16, L"élève", -1, 32, L"ELEVE"},
        {2 | 64, L"A, B; C", -1, 32, L"abc"},
        {16, L"abcdef", -1, 3, L"AB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.options << " " << std::wstring(c.src).size());
        wchar_t dst[32];
        const int n = STR_PrepareChaineW(c.options, c.src, c.length, dst, c.capacity);
        EXPECT_STREQ(c.expected, dst);
        EXPECT_EQ(static_cast<int>(std::wstring(c.expected).size()), n);
    }
    char dst[16];
    EXPECT_EQ(3, STR_PrepareChaineA(1 | 32, "\tab\xE9 ", -1, dst, 16));
    EXPECT_STREQ("AB\xC9", dst);
    EXPECT_EQ(0, STR_PrepareChaineA(0, "abc", -1, dst, 0));
    EXPECT_EQ(0, STR_PrepareChaineW(0, nullptr, -1, nullptr, 0));
}

TEST(ChaineCompare, Modes)
{
    vxtest::Locale().Reset();
    struct Case
    {
        const wchar_t* a;
        const wchar_t* b;
        unsigned options;
        int expected;
    };
    const Case cases[] = {
        // By units of the prepared texts.
        {L"abc", L"abd", 0, -1},
        {L"ab", L"abc", 0, -1},
        {L"abc", L"ABC", 0, 1},
        {L"abc", L"ABC", 16, 0},
        {L"  abc", L"abc ", 1, 0},
        {L"élève", L"ELEVE", 4 | 16, 0},
        {L"a-b", L"ab", 2, 0},
        // By numbers (bit 128), on the prepared texts.
        {L"a9", L"a10", 128, -1},
        {L"A9", L"a10", 128 | 32, -1},
        {L"a9", L"a10", 0, 1},
        // Lexical in the current locale (bit 8): é between e and f.
        {L"été", L"fa", 8, -1},
        {L"été", L"fa", 0, 1},
        {L"Été", L"été", 8 | 16, 0},
        // Lexical by numbers (bits 8 and 128).
        {L"é9", L"é10", 8 | 128, -1},
        {L"É9", L"e10", 8 | 128 | 4 | 16, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.options << " " << c.expected);
        EXPECT_EQ(c.expected, Sign(STR_ChaineCompareW(c.a, -1, c.b, -1, c.options)));
    }

    // 8-bit: lexical compares character by character, then the shorter first.
    EXPECT_EQ(-1, Sign(STR_ChaineCompareA("\xE9t\xE9", -1, "fa", -1, 8)));
    EXPECT_EQ(1, Sign(STR_ChaineCompareA("\xE9t\xE9", -1, "fa", -1, 0)));
    EXPECT_EQ(-1, Sign(STR_ChaineCompareA("ab", -1, "abc", -1, 8)));
    EXPECT_EQ(0, Sign(STR_ChaineCompareA(" AB ", -1, "ab", -1, 1 | 64)));
    EXPECT_EQ(-1, Sign(STR_ChaineCompareA("x9", -1, "x10", -1, 128)));
    EXPECT_EQ(-1, Sign(STR_ChaineCompareA("x9", -1, "X10", -1, 8 | 128 | 16)));
}

TEST(ChaineCompare, LongTextsUseHeapWorkAreas)
{
    vxtest::Locale().Reset();
    // Past the 16383-byte stack areas.
    std::wstring a(20000, L'a'), b(20000, L'A');
    EXPECT_EQ(0, STR_ChaineCompareW(a.c_str(), -1, b.c_str(), -1, 16));
    b.back() = L'B';
    EXPECT_EQ(-1, Sign(STR_ChaineCompareW(a.c_str(), -1, b.c_str(), -1, 16)));
    std::string c(20000, 'x'), d(20000, 'x');
    d += '1';
    EXPECT_EQ(-1, Sign(STR_ChaineCompareA(c.c_str(), -1, d.c_str(), -1, 1)));
}

}  // namespace
