// The text functions in a process where the host published no locale
// interface (a failed start-up): nothing calls through null; comparison and
// mapping fall back to the library's own (code-point order, towupper, the
// Latin-1 accent table). Its own process: the locale static stays null here.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>

#include "common/system/information.h"
#include "common/text/ct_string.h"
#include "common/text/str_compare.h"
#include "common/text/str_compare_numeric.h"
#include "common/text/str_map.h"
#include "common/text/str_option_compare.h"

namespace {

class NoLocale : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::setlocale(LC_CTYPE, "C.UTF-8");
        ASSERT_EQ(nullptr, CInformationDLL::ms_piInfoLocale);
    }
};

TEST_F(NoLocale, QueriesAnswerNeutralValues)
{
    EXPECT_FALSE(STR_bHasInfoLocale());
    EXPECT_NE(nullptr, STR_piGetInfoLocale());
    EXPECT_EQ(0, STR_nGetCurrentCodePage());
    EXPECT_EQ(0, STR_nGetCurrentChangeCharset());
    EXPECT_EQ(0, STR_nGetCurrentChangeCharsetInterne());
    EXPECT_EQ(LOCALE_ID_USER_DEFAULT, STR_nGetCurrentLCID());
    EXPECT_EQ(LOCALE_ID_USER_DEFAULT, STR_nGetSafeCurrentLCID());
}

TEST_F(NoLocale, ComparisonsInCodePointOrderAfterFolding)
{
    struct Case
    {
        const wchar_t* a;
        const wchar_t* b;
        unsigned flags;
        int expected;
    };
    const Case cases[] = {
        {L"abc", L"abc", 0, 0},
        {L"abc", L"abd", 0, -1},
        {L"B", L"a", 0, -1},          // code points: upper case first
        {L"B", L"a", 1, 1},           // case ignored: "B" against "A"
        {L"Élève", L"ELEVE", 3, 0},   // the registries' flags
        {L"Élève", L"eleve", 2, -1},  // accents ignored, case kept: "E" < "e"
        {L"élève", L"eleve", 2, 0},
        {L"ÿ", L"Y", 3, 0},
        {L"Šárka", L"sarka", 3, 0},
        {L"a b,c", L"abc", 4, 0},     // symbols ignored
        {L"ab", L"abc", 3, -1},
        {L"abc", L"ab", 3, 1},
        {L"клиент", L"КЛИЕНТ", 1, 0}, // towupper beyond Latin-1
        {L"", nullptr, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.flags << " " << c.expected);
        EXPECT_EQ(c.expected, STR_nCompareW(c.a, c.b, c.flags));
        EXPECT_EQ(c.expected, STR_nCompareW(c.a, c.b, c.flags | STR_FLAG_CURRENT_LOCALE));
    }
    EXPECT_EQ(0, STR_nCompareA("\xC9l\xE8ve", "ELEVE", 3));
    EXPECT_EQ(0, STR_nUpCompareA("\x9C" "uvre", "\x8CUVRE", 0));  // œ / Œ in 1252
    EXPECT_EQ(1, STR_nCompareA("\xE9", "z", 0));
    EXPECT_EQ(0, STR_nNCompare<wchar_t>(L"TABLE1", L"table2", 5, 3));
    EXPECT_EQ(-1, STR_nNCompare<char>("TABLE1", "table2", 6, 3));
    EXPECT_TRUE(STR_bDebut(L"élè", L"ELEVE"));
    EXPECT_EQ(0, STR_nCompareCharSoupleW(L'Ç', L'c'));
    EXPECT_EQ(-1, STR_nCompareStringLexicoW(L"ab", 2, L"abc", 3, 0));
    EXPECT_LT(STR_nCompareRespecteNumeriqueW(L"A9", -1, L"a10", -1, STR_FLAG_LEXICAL | 1), 0);
    EXPECT_EQ(0, STR_ChaineCompareW(L" Été ", -1, L"ETE", -1, 1 | 4 | 16 | 8));
    EXPECT_EQ(0, STR_ChaineCompareA("\xC9t\xE9", -1, "ETE", -1, 4 | 16 | 8));
}

TEST_F(NoLocale, MappingWithTheLibrarysOwnCase)
{
    wchar_t upper[] = L"aéz-ÿ";
    STR_ToUpper(upper);
    EXPECT_STREQ(L"AÉZ-Ÿ", upper);
    wchar_t lower[] = L"ÉCOLE";
    STR_ToLower(lower);
    EXPECT_STREQ(L"école", lower);
    char ansi[] = "\xC9T\xC9 \x8A";
    STR_ToLower(ansi);
    EXPECT_STREQ("\xE9t\xE9 \x9A", ansi);
    STR_ToUpperBuff(ansi, 2);
    EXPECT_STREQ("\xC9T\xE9 \x9A", ansi);

    wchar_t* standard = STR_pszCreateStandard(L"Élève Œuvre");
    ASSERT_NE(nullptr, standard);
    EXPECT_STREQ(L"ELEVE ŒUVRE", standard);
    std::free(standard);

    wchar_t dst[16];
    EXPECT_EQ(3, STR_nMapStringEx(4 | 0x100, dst, 16, L"A, B!C", -1));
    EXPECT_STREQ(L"abc", dst);
    EXPECT_EQ(2, STR_nMapStringEx(1, dst, 3, L"abcdef", -1));  // capacity - 1 and a terminator
    EXPECT_STREQ(L"AB", dst);
    EXPECT_EQ(7, STR_nGetMapStringLenEx(3u, L"abcdef", -1));
    wchar_t c = 0;
    EXPECT_EQ(L'E', STR_nMapCharIgnoreCaseAccent(&c, L'ê'));
    EXPECT_EQ(1, STR_nMapCharEx(2, &c, L'à'));
    EXPECT_EQ(L'a', c);
    EXPECT_TRUE(STR_bWhiteCharOrPunctW(L' '));
    EXPECT_FALSE(STR_bWhiteCharOrPunctW(L'x'));
    EXPECT_TRUE(STR_bWhiteCharOrPunctA(';'));

    const wchar_t* text = L"Un été chaud";
    EXPECT_EQ(text + 3, STR_pszUpStrstr(text, L"ÉTÉ"));

    // The sort key keeps the order of the flags-0 comparison.
    char k1[16], k2[16];
    EXPECT_EQ(3, STR_MapStringSortEx(k1, 16, "abc", -1, 0));
    EXPECT_EQ(3, STR_MapStringSortEx(k2, 16, "abd", -1, 1));
    EXPECT_LT(std::strcmp(k1, k2), 0);
}

TEST_F(NoLocale, StringOperationsThatUseTheLocale)
{
    CTString s(L"Élève");
    EXPECT_TRUE(s.bEstEgalI(L"eleve"));
    EXPECT_TRUE(s.bCommenceParI(L"EL"));
    s.Majuscule();
    EXPECT_STREQ(L"ÉLÈVE", s.pszGet());
    s.Minuscule();
    EXPECT_STREQ(L"élève", s.pszGet());
    s.SansAccent();
    EXPECT_STREQ(L"eleve", s.pszGet());
    s.SetStandard(L"Ça va");
    EXPECT_STREQ(L"CA VA", s.pszGet());
    s = L"Été été ÉTÉ";
    s.RemplaceI(L"été", L"x");
    EXPECT_STREQ(L"x x x", s.pszGet());
}

}  // namespace
