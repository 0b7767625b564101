// Which operation of the host's locale interface each text function calls,
// with which locale id and flags, and what it makes of the answer; and which
// functions never call it. Read from the stand-in's call log.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "common/text/str_compare.h"
#include "common/text/str_compare_numeric.h"
#include "common/text/str_map.h"
#include "common/text/no_accent_latin1.h"
#include "common/text/str_option_compare.h"
#include "tests/host/support/test_environment.h"

namespace {

using S = StandinInfoLocale;

constexpr unsigned kUser = LOCALE_ID_USER_DEFAULT;
constexpr unsigned kFrench = LOCALE_ID_FRENCH;
constexpr unsigned kCurrentLcid = 0x409;  // set on the stand-in so that it is told apart
constexpr unsigned kCur = STR_FLAG_CURRENT_LOCALE;

class LocaleRouting : public ::testing::Test
{
protected:
    void SetUp() override
    {
        vxtest::Locale().Reset();
        vxtest::Locale().SetLCID(kCurrentLcid);
    }
    void TearDown() override { vxtest::Locale().Reset(); }

    static std::vector<S::Slot> Slots()
    {
        std::vector<S::Slot> slots;
        for (const S::Call& call : vxtest::Locale().Log())
            slots.push_back(call.slot);
        return slots;
    }
};

// One call into the interface: the function, then the slot, locale id and
// flags it must send (lcid 0 for the slots without one).
struct OneCall
{
    const char* name;
    std::function<void()> run;
    S::Slot slot;
    unsigned lcid;
    unsigned flags;
};

TEST_F(LocaleRouting, EachFunctionSendsItsSlotLocaleAndFlags)
{
    wchar_t w = 0;
    char a = 0;
    char key[32];
    wchar_t buffer[8];
    const std::vector<OneCall> cases = {
        {"STR_nCompareW", [] { STR_nCompareW(L"a", L"b", 3); }, S::kCompareStringLocaleW, kUser, 3},
        {"STR_nCompareW current", [] { STR_nCompareW(L"a", L"b", 3 | kCur); }, S::kCompareStringW, 0, 3},
        {"STR_nCompareA", [] { STR_nCompareA("a", "b", 1); }, S::kCompareStringLocaleA, kUser, 0x40000001},
        {"STR_nCompareA current", [] { STR_nCompareA("a", "b", kCur); }, S::kCompareStringA, 0, 0x40000000},
        {"STR_nUpCompareW", [] { STR_nUpCompareW(L"a", L"b", 2); }, S::kCompareStringLocaleW, kUser, 3},
        {"STR_nUpCompareA", [] { STR_nUpCompareA("a", "b", 0); }, S::kCompareStringLocaleA, kUser, 0x40000001},
        {"STR_nAcCompare", [] { STR_nAcCompare(L"a", L"b", 1); }, S::kCompareStringLocaleW, kUser, 3},
        {"STR_nNullCompare", [] { STR_nNullCompare(L"a", L"b", 3); }, S::kCompareStringLocaleW, kUser, 3},
        {"STR_nEmptyNullCompare", [] { STR_nEmptyNullCompare(L"", L"b", 1); }, S::kCompareStringLocaleW, kUser, 1},
        {"STR_nNCompare<wchar_t>", [] { STR_nNCompare<wchar_t>(L"ab", L"ac", 1, 3); }, S::kCompareStringLocaleW, kFrench, 3},
        {"STR_nNCompare<char>", [] { STR_nNCompare<char>("ab", "ac", 1, 1); }, S::kCompareStringLocaleA, kFrench, 1},
        {"STR_nNullNCompare", [] { STR_nNullNCompare(L"ab", L"ac", 1, 2); }, S::kCompareStringLocaleW, kFrench, 2},
        {"STR_bDebut", [] { STR_bDebut(L"TA", L"table"); }, S::kCompareStringLocaleW, kFrench, 3},
        {"STR_nCompareCharLexicoW", [] { STR_nCompareCharLexicoW(L'a', L'b', 1); }, S::kCompareStringLocaleW, kUser, 0x20000001},
        {"STR_nCompareCharLexicoA", [] { STR_nCompareCharLexicoA('a', 'b', 1); }, S::kCompareStringLocaleA, kFrench, 0x20000001},
        {"STR_nCompareStringLexicoW", [] { STR_nCompareStringLexicoW(L"ab", 2, L"b", 1, 2); }, S::kCompareStringLocaleW, kUser, 0x20000002},
        {"STR_nCompareCharSoupleW", [] { STR_nCompareCharSoupleW(L'a', L'b'); }, S::kCompareStringLocaleW, kUser, 3},
        {"STR_nCompareCharSoupleA", [] { STR_nCompareCharSoupleA('a', 'b'); }, S::kCompareStringLocaleA, kFrench, 3},
        {"STR_bWhiteCharOrPunctW", [] { STR_bWhiteCharOrPunctW(L' '); }, S::kMapStringLocaleW, kUser, 4},
        {"STR_bWhiteCharOrPunctA", [] { STR_bWhiteCharOrPunctA(' '); }, S::kMapStringLocaleA, kFrench, 4},
        {"STR_nGetMapStringLenEx W", [] { STR_nGetMapStringLenEx(3u, L"ab", -1); }, S::kMapStringLocaleW, kFrench, 3},
        {"STR_nGetMapStringLenEx A", [] { STR_nGetMapStringLenEx(0x101u, "ab", -1); }, S::kMapStringLocaleA, kFrench, 0x101},
        {"STR_nMapStringEx", [&] { STR_nMapStringEx(2, buffer, 8, L"ab", -1); }, S::kMapStringLocaleW, kFrench, 2},
        {"STR_nMapCharEx W", [&] { STR_nMapCharEx(1, &w, L'a'); }, S::kMapStringLocaleW, kFrench, 1},
        {"STR_nMapCharEx A", [&] { STR_nMapCharEx(1, &a, 'a'); }, S::kMapStringLocaleA, kFrench, 1},
        {"STR_nMapCharExANSI", [&] { STR_nMapCharExANSI(0x100, &a, 'A'); }, S::kMapStringLocaleA, kFrench, 0x100},
        {"STR_nMapCharIgnoreCaseAccent", [&] { STR_nMapCharIgnoreCaseAccent(&w, L'a'); }, S::kMapStringLocaleW, kFrench, 3},
        {"STR_MapStringSortEx", [&] { STR_MapStringSortEx(key, 32, "ab", -1, 0); }, S::kMapSortKeyA, kFrench, 0},
        {"STR_PrepareChaineW", [&] { STR_PrepareChaineW(16, L"ab", -1, buffer, 8); }, S::kMapStringW, 0, 1},
        {"STR_PrepareChaineA", [&] { STR_PrepareChaineA(64 | 4, "ab", -1, key, 8); }, S::kMapStringA, 0, 0x102},
        {"STR_ToUpper W", [&] { buffer[0] = L'a'; buffer[1] = 0; STR_ToUpper(buffer); }, S::kMapStringW, 0, 1},
        {"STR_ToLower W", [&] { buffer[0] = L'a'; buffer[1] = 0; STR_ToLower(buffer); }, S::kMapStringW, 0, 0x100},
        {"STR_ToUpper A", [&] { key[0] = 'a'; key[1] = 0; STR_ToUpper(key); }, S::kMapStringLocaleA, kUser, 1},
        {"STR_ToLowerBuff A", [&] { key[0] = 'A'; STR_ToLowerBuff(key, 1); }, S::kMapStringLocaleA, kUser, 0x100},
        {"STR_ToUpperBuff W", [&] { buffer[0] = L'a'; STR_ToUpperBuff(buffer, 1); }, S::kMapStringW, 0, 1},
    };
    for (const OneCall& c : cases) {
        SCOPED_TRACE(c.name);
        vxtest::Locale().ClearLog();
        c.run();
        const std::vector<S::Call> log = vxtest::Locale().Log();
        ASSERT_EQ(1u, log.size());
        EXPECT_EQ(c.slot, log[0].slot);
        EXPECT_EQ(c.lcid, log[0].lcid);
        EXPECT_EQ(c.flags, log[0].flags);
    }
}

TEST_F(LocaleRouting, CurrentLocaleFlagAsksTheCurrentIdAndIsTakenOff)
{
    wchar_t buffer[8];
    char key[32];
    const std::vector<OneCall> cases = {
        {"STR_nNCompare<char>", [] { STR_nNCompare<char>("ab", "ac", 5, kCur | 1); }, S::kCompareStringLocaleA, kCurrentLcid, 1},
        {"STR_nCompareCharLexicoA", [] { STR_nCompareCharLexicoA('a', 'b', kCur); }, S::kCompareStringLocaleA, kCurrentLcid, 0x20000000},
        {"STR_nCompareStringLexicoW", [] { STR_nCompareStringLexicoW(L"a", 1, L"b", 1, kCur | 2); }, S::kCompareStringLocaleW, kCurrentLcid, 0x20000002},
        {"STR_nMapStringEx", [&] { STR_nMapStringEx(kCur | 1, buffer, 8, L"ab", -1); }, S::kMapStringLocaleW, kCurrentLcid, 1},
        {"STR_MapStringSortEx", [&] { STR_MapStringSortEx(key, 32, "ab", -1, 1); }, S::kMapSortKeyA, kCurrentLcid, 0},
    };
    for (const OneCall& c : cases) {
        SCOPED_TRACE(c.name);
        vxtest::Locale().ClearLog();
        c.run();
        const std::vector<S::Call> log = vxtest::Locale().Log();
        ASSERT_EQ(2u, log.size());
        EXPECT_EQ(S::kGetCurrentLCID, log[0].slot);
        EXPECT_EQ(c.slot, log[1].slot);
        EXPECT_EQ(c.lcid, log[1].lcid);
        EXPECT_EQ(c.flags, log[1].flags);
    }
}

TEST_F(LocaleRouting, CharacterSetFormsUseTheLanguageOfTheCharacterSet)
{
    wchar_t wide[8];
    char key[32];
    // 204 (Cyrillic) has the language 0x419; 0 (ANSI) has none: 1036.
    STR_nMapStringEx_Charset(204, 1 | kCur, wide, 8, L"ab", -1);
    S::Call call = vxtest::Locale().LastCall(S::kMapStringLocaleW);
    EXPECT_EQ(0x419u, call.lcid);
    EXPECT_EQ(1u, call.flags);
    STR_nMapStringEx_Charset(0, 2, key, 8, "ab", -1);
    call = vxtest::Locale().LastCall(S::kMapStringLocaleA);
    EXPECT_EQ(kFrench, call.lcid);
    EXPECT_EQ(2u, call.flags);
    EXPECT_GT(STR_MapStringSortEx_Charset(161, key, 32, "ab", 2), 0);
    EXPECT_EQ(0x08u, vxtest::Locale().LastCall(S::kMapSortKeyA).lcid);
    EXPECT_EQ(0u, vxtest::Locale().Calls(S::kGetCurrentLCID));
}

TEST_F(LocaleRouting, LengthsSentByWholeAndBoundedComparisons)
{
    STR_nCompareW(L"abc", L"abd", 3);
    S::Call call = vxtest::Locale().LastCall(S::kCompareStringLocaleW);
    EXPECT_EQ(-1, call.length1);
    EXPECT_EQ(-1, call.length2);

    // Each text up to its terminator and at most n; null is empty.
    STR_nNCompare<wchar_t>(L"abcdef", L"ab", 4, 3);
    call = vxtest::Locale().LastCall(S::kCompareStringLocaleW);
    EXPECT_EQ(4, call.length1);
    EXPECT_EQ(2, call.length2);
    EXPECT_EQ(L"abcd", call.text1);
    STR_nNCompare<char>(nullptr, "xyz", 2, 0);
    call = vxtest::Locale().LastCall(S::kCompareStringLocaleA);
    EXPECT_EQ(0, call.length1);
    EXPECT_EQ(2, call.length2);

    // The lexical piece comparison passes the pieces' own lengths.
    STR_nCompareStringLexicoW(L"abcdef", 2, L"abzz", 3, 0);
    call = vxtest::Locale().LastCall(S::kCompareStringLocaleW);
    EXPECT_EQ(L"ab", call.text1);
    EXPECT_EQ(L"abz", call.text2);

    // The map size query passes no destination and capacity 0, and adds one.
    EXPECT_EQ(4, STR_nGetMapStringLenEx(3u, L"été", -1));
    call = vxtest::Locale().LastCall(S::kMapStringLocaleW);
    EXPECT_FALSE(call.destination);
    EXPECT_EQ(0, call.capacity);
}

TEST_F(LocaleRouting, AnswersPassedOnOrNormalised)
{
    S& loc = vxtest::Locale();
    // Whole-text comparisons give the interface's answer unchanged ...
    loc.Script(S::kCompareStringLocaleW, 7);
    EXPECT_EQ(7, STR_nCompareW(L"a", L"b", 3));
    EXPECT_EQ(7, STR_nUpCompareW(L"a", L"b", 0));
    // ... bounded ones normalise it: 0 -> 0, 1 -> 1, anything else -> -1.
    EXPECT_EQ(-1, STR_nNCompare<wchar_t>(L"a", L"b", 1, 0));
    loc.Script(S::kCompareStringLocaleW, 1);
    EXPECT_EQ(1, STR_nNCompare<wchar_t>(L"a", L"b", 1, 0));
    loc.Script(S::kCompareStringLocaleW, 0);
    EXPECT_EQ(0, STR_nNCompare<wchar_t>(L"a", L"b", 1, 0));
    loc.Script(S::kCompareStringLocaleA, 2);
    EXPECT_EQ(-1, STR_nNCompare<char>("a", "b", 1, 0));
    EXPECT_EQ(2, STR_nCompareA("a", "b", 0));

    // Character set 127 reads as 0, except through the internal form.
    loc.SetCharset(127);
    EXPECT_EQ(0, STR_nGetCurrentChangeCharset());
    EXPECT_EQ(127, STR_nGetCurrentChangeCharsetInterne());
    loc.SetCharset(162);
    EXPECT_EQ(162, STR_nGetCurrentChangeCharset());
    loc.SetCodePage(65001);
    EXPECT_EQ(65001, STR_nGetCurrentCodePage());
    EXPECT_EQ(kCurrentLcid, STR_nGetCurrentLCID());
    loc.SetSafeLCID(0x407);
    EXPECT_EQ(0x407u, STR_nGetSafeCurrentLCID());
    EXPECT_EQ((std::vector<S::Slot>{S::kCompareStringLocaleW, S::kCompareStringLocaleW, S::kCompareStringLocaleW,
                                    S::kCompareStringLocaleW, S::kCompareStringLocaleW, S::kCompareStringLocaleA,
                                    S::kCompareStringLocaleA, S::kGetCurrentCharset, S::kGetCurrentCharset,
                                    S::kGetCurrentCharset, S::kGetCurrentCodePage, S::kGetCurrentLCID,
                                    S::kGetSafeCurrentLCID}),
              Slots());
}

TEST_F(LocaleRouting, CaseMappingGoesOneCharacterAtATime)
{
    wchar_t text[] = L"aé-z";
    STR_ToUpper(text);
    EXPECT_STREQ(L"AÉ-Z", text);
    EXPECT_EQ(4u, vxtest::Locale().Calls(S::kMapStringW));
    for (const S::Call& call : vxtest::Locale().Log()) {
        EXPECT_EQ(1, call.length1);
        EXPECT_EQ(2, call.capacity);
    }
    // The Buff forms stop after n characters, terminator or not.
    vxtest::Locale().ClearLog();
    wchar_t buff[] = {L'a', L'b', L'c', 0};
    STR_ToUpperBuff(buff, 2);
    EXPECT_STREQ(L"ABc", buff);
    EXPECT_EQ(2u, vxtest::Locale().Calls(S::kMapStringW));
    char ansi[] = "\xC9T\xC9";  // ÉTÉ in 1252
    STR_ToLower(ansi);
    EXPECT_STREQ("\xE9t\xE9", ansi);
    // A map that writes nothing leaves the character as it was.
    vxtest::Locale().Script(S::kMapStringW, 0);
    wchar_t kept[] = L"ab";
    // The stand-in still writes its map; the answer 0 must keep the text.
    STR_ToUpper(kept);
    EXPECT_STREQ(L"ab", kept);
}

TEST_F(LocaleRouting, OptionDrivenComparisonPreparesThroughTheCurrentMap)
{
    // Bit 8 with case ignored: each text prepared through the current
    // locale's map (no locale id), then the lexical comparison in the current
    // locale with 0x10000000 taken off and 0x20000000 added.
    EXPECT_EQ(0, STR_ChaineCompareW(L"Abc", -1, L"aBC", -1, 8 | 16));
    EXPECT_EQ((std::vector<S::Slot>{S::kMapStringW, S::kMapStringW, S::kGetCurrentLCID, S::kCompareStringLocaleW}),
              Slots());
    S::Call call = vxtest::Locale().LastCall(S::kCompareStringLocaleW);
    EXPECT_EQ(kCurrentLcid, call.lcid);
    EXPECT_EQ(0x20000000u, call.flags);
    EXPECT_EQ(L"ABC", call.text1);
    EXPECT_EQ(1u, vxtest::Locale().LastCall(S::kMapStringW).flags);

    // Bit 0x80000000 goes on with the lexical comparison.
    vxtest::Locale().ClearLog();
    STR_ChaineCompareW(L"a", -1, L"b", -1, 8 | 0x80000000);
    EXPECT_EQ(0xA0000000u, vxtest::Locale().LastCall(S::kCompareStringLocaleW).flags);

    // The 8-bit form: 8-bit map, then character by character.
    vxtest::Locale().ClearLog();
    EXPECT_LT(STR_ChaineCompareA("ab", -1, "abc", -1, 8 | 4), 0);
    EXPECT_EQ((std::vector<S::Slot>{S::kMapStringA, S::kMapStringA, S::kGetCurrentLCID, S::kCompareStringLocaleA,
                                    S::kGetCurrentLCID, S::kCompareStringLocaleA}),
              Slots());
    EXPECT_EQ(2u, vxtest::Locale().LastCall(S::kMapStringA).flags);
}

TEST_F(LocaleRouting, FunctionsThatNeverCallTheInterface)
{
    char key[16];
    wchar_t buffer[16];
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"STR_nCmpLogiqueAnsiFast", [] { STR_nCmpLogiqueAnsiFast("\xE9t\xE9", "ETE"); }},
        {"STR_nCompareRespecteNumeriqueW", [] { STR_nCompareRespecteNumeriqueW(L"a10b", -1, L"a9!", -1, 0); }},
        {"STR_nCompareRespecteNumeriqueA", [] { STR_nCompareRespecteNumeriqueA("a10b", -1, "a9!", -1, 0); }},
        {"OptionZL2FlagSTR", [] { OptionZL2FlagSTR(0xFFFF); }},
        {"STR_PrepareChaineW without map flags", [&] { STR_PrepareChaineW(1 | 8 | 128, L" ab ", -1, buffer, 16); }},
        {"STR_PrepareChaineA without map flags", [&] { STR_PrepareChaineA(1, " ab ", -1, key, 16); }},
        {"STR_ChaineCompareW by units", [] { STR_ChaineCompareW(L"ab", -1, L"ac", -1, 1); }},
        {"STR_ChaineCompareW by numbers", [] { STR_ChaineCompareW(L"a2", -1, L"a10", -1, 128); }},
        {"STR_ChaineCompareA by numbers", [] { STR_ChaineCompareA("a2", -1, "a10", -1, 128 | 1); }},
        {"STR_nNullCompare with a null", [] { STR_nNullCompare(nullptr, L"a", 3); STR_nNullCompare(L"a", nullptr, 3); }},
        {"STR_nEmptyNullCompare with a null", [] { STR_nEmptyNullCompare(nullptr, L"", 3); STR_nEmptyNullCompare(L"a", nullptr, 3); }},
        {"STR_nNullNCompare with a null", [] { STR_nNullNCompare(nullptr, nullptr, 3, 3); }},
        {"STR_bDebut with a longer prefix", [] { STR_bDebut(L"tables", L"table"); }},
        {"STR_pszUpStrstr with a longer pattern", [] { STR_pszUpStrstr(L"ab", L"abc"); }},
    };
    for (const auto& [name, run] : cases) {
        SCOPED_TRACE(name);
        vxtest::Locale().ClearLog();
        run();
        EXPECT_TRUE(vxtest::Locale().Log().empty());
    }
}

TEST_F(LocaleRouting, ResultsWithTheStandinLocale)
{
    // The registries' comparison: neither case nor accents count.
    EXPECT_EQ(0, STR_nCompareW(L"Élève", L"ELEVE", 3));
    EXPECT_NE(0, STR_nCompareW(L"côte", L"cote", 1));
    EXPECT_EQ(0, STR_nAcCompare(L"côte", L"cote", 0));
    EXPECT_LT(STR_nCompareW(L"clients", L"commandes", 3), 0);
    EXPECT_GT(STR_nCompareA("\xC9t\xE9s", "etat", 3), 0);  // "Étés" in 1252
    EXPECT_EQ(0, STR_nUpCompareA("\xC9t\xE9", "\xE9T\xC9", 0));

    EXPECT_TRUE(STR_bDebut(L"CLI", L"clients"));
    EXPECT_TRUE(STR_bDebut(L"", L"clients"));
    EXPECT_TRUE(STR_bDebut(L"élè", L"ELEVE"));
    EXPECT_FALSE(STR_bDebut(L"clé", L"clients"));

    EXPECT_TRUE(STR_bWhiteCharOrPunctW(L' '));
    EXPECT_TRUE(STR_bWhiteCharOrPunctW(L';'));
    EXPECT_FALSE(STR_bWhiteCharOrPunctW(L'é'));
    EXPECT_TRUE(STR_bWhiteCharOrPunctA(','));
    EXPECT_FALSE(STR_bWhiteCharOrPunctA('x'));
    EXPECT_EQ(0, STR_nCompareCharSoupleW(L'É', L'e'));
    EXPECT_EQ(0, STR_nCompareCharSoupleA('\xC9', 'e'));

    wchar_t out = 0;
    EXPECT_EQ(L'E', STR_nMapCharIgnoreCaseAccent(&out, L'é'));
    EXPECT_EQ(L'E', out);
    EXPECT_EQ(1, STR_nMapCharIgnoreCaseAccent(nullptr, L'é'));
    EXPECT_EQ(1, STR_nMapCharEx(2, &out, L'ç'));
    EXPECT_EQ(L'c', out);

    wchar_t* standard = STR_pszCreateStandard(L"Élève Œuvre");
    ASSERT_NE(nullptr, standard);
    EXPECT_STREQ(L"ELEVE ŒUVRE", standard);
    std::free(standard);
    EXPECT_EQ(nullptr, STR_pszCreateStandard(nullptr));

    wchar_t* mapped = nullptr;
    EXPECT_EQ(4, STR_nCreateMapString(0x100, &mapped, L"ÉTÉ!"));
    ASSERT_NE(nullptr, mapped);
    EXPECT_STREQ(L"été!", mapped);
    std::free(mapped);
    char* mappedA = nullptr;
    EXPECT_EQ(3, STR_nCreateMapString(4 | 1, &mappedA, "a b,c"));
    ASSERT_NE(nullptr, mappedA);
    EXPECT_STREQ("ABC", mappedA);
    std::free(mappedA);
}

TEST_F(LocaleRouting, UpStrstrMatchesThroughTheUpperCaseMap)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* pattern;
        long expected;  // -1: not found
    };
    const Case cases[] = {
        {L"Un été chaud", L"ÉTÉ", 3},
        {L"Un été chaud", L"ete", -1},  // upper case only: accents still count
        {L"abcABC", L"cab", 2},
        {L"abc", L"abc", 0},
        {L"abc", L"bcd", -1},
        {L"abc", L"", 0},
        {L"", L"a", -1},
        {L"ÿÿ", L"Ÿ", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.expected);
        const wchar_t* hit = STR_pszUpStrstr(c.text, c.pattern);
        EXPECT_EQ(c.expected, hit ? hit - c.text : -1);
    }
    EXPECT_EQ(nullptr, STR_pszUpStrstr(nullptr, L"a"));

    // Each character goes through the interface at most once per call.
    vxtest::Locale().ClearLog();
    STR_pszUpStrstr(L"aaaaaaaab", L"aab");
    EXPECT_EQ(3u + 9u, vxtest::Locale().Calls(S::kMapStringLocaleW));
}

}  // namespace
