// CTString: construction, assignment, reading, searches, extraction and the
// pieces between separators.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "common/text/ct_string.h"
#include "tests/host/support/test_environment.h"

namespace {

TEST(CTString, EmptyForms)
{
    CTString none;
    CTString empty(L"");
    CTString fromNull(static_cast<const wchar_t*>(nullptr));
    for (const CTString* s : {&none, &empty, &fromNull}) {
        EXPECT_STREQ(L"", s->pszGet());
        EXPECT_EQ(0, s->nTaille());
        EXPECT_TRUE(s->bEstEgal(L""));
        EXPECT_TRUE(*s == L"");
        EXPECT_TRUE(s->bEstEgal(nullptr));
        EXPECT_EQ(-1, s->nPos(L"a"));
        EXPECT_EQ(-1, s->nPos(L'a'));
        EXPECT_EQ(-1, s->nRPos(L"a"));
        EXPECT_EQ(0, s->cGetChar(0));
    }
    EXPECT_TRUE(none == empty);
}

TEST(CTString, AssignmentForms)
{
    CTString s(L"abc");
    const wchar_t* block = s.pszGet();
    s = L"xyz";  // same length: the block is reused
    EXPECT_EQ(block, s.pszGet());
    EXPECT_STREQ(L"xyz", s.pszGet());
    s = s.pszGet();  // its own text: nothing
    EXPECT_STREQ(L"xyz", s.pszGet());
    const CTString& same = s;
    s = same;  // itself
    EXPECT_STREQ(L"xyz", s.pszGet());
    s.Set(s.pszGet() + 1);  // a part of its own text
    EXPECT_STREQ(L"yz", s.pszGet());
    s.Set(L"abcdef", 3ul);
    EXPECT_STREQ(L"abc", s.pszGet());
    s.Set(L"ab", 10ul);
    EXPECT_STREQ(L"ab", s.pszGet());
    EXPECT_STREQ(L"abc", CTString(L"abcdef", 3L).pszGet());
    EXPECT_STREQ(L"abcdef", CTString(L"abcdef", -1L).pszGet());
    s.Set(L"a", nullptr, L"c");
    EXPECT_STREQ(L"ac", s.pszGet());
    s.Set(s.pszGet(), L"-", s.pszGet());
    EXPECT_STREQ(L"ac-ac", s.pszGet());
    s.Set(nullptr, nullptr, L"");
    EXPECT_EQ(0, s.nTaille());
    s = L'x';
    EXPECT_STREQ(L"x", s.pszGet());
    s = L'\0';
    EXPECT_EQ(0, s.nTaille());
    s.SetI4(-2147483647 - 1);
    EXPECT_STREQ(L"-2147483648", s.pszGet());
    s.SetI8(9223372036854775807L);
    EXPECT_STREQ(L"9223372036854775807", s.pszGet());

    const wchar_t binary[] = {L'a', 0, L'b'};
    s.SetFromBinary(binary, 3);
    EXPECT_EQ(1, s.nTaille());
    EXPECT_EQ(L'b', s.cGetChar(2));
    EXPECT_EQ(0, s.cGetChar(3));

    CXYString<wchar_t> runtime(L"runtime");
    s.Set(runtime);
    EXPECT_STREQ(L"runtime", s.pszGet());
    s.Set(static_cast<const CXYString<wchar_t>*>(nullptr));
    EXPECT_EQ(0, s.nTaille());

    auto* adopted = static_cast<wchar_t*>(std::malloc(4 * sizeof(wchar_t)));
    std::wcscpy(adopted, L"own");
    s.SetBuffer(adopted);
    EXPECT_EQ(adopted, s.pszGet());
    CTString other;
    other.Transfert(s);
    EXPECT_EQ(adopted, other.pszGet());
    EXPECT_EQ(0, s.nTaille());
    CTString moved(std::move(other));
    EXPECT_STREQ(L"own", moved.pszGet());
    CTString copy(moved);
    EXPECT_NE(copy.pszGet(), moved.pszGet());
    EXPECT_TRUE(copy == moved);
}

TEST(CTString, Comparisons)
{
    vxtest::Locale().Reset();
    const CTString s(L"Élève");
    EXPECT_TRUE(s.bEstEgal(L"Élève"));
    EXPECT_FALSE(s.bEstEgal(L"élève"));
    EXPECT_TRUE(s != L"élève");
    // Case and accents both ignored: flags 2 plus the 1 of the upper-case
    // comparison, in locale 1024.
    vxtest::Locale().ClearLog();
    EXPECT_TRUE(s.bEstEgalI(L"eleve"));
    const auto call = vxtest::Locale().LastCall(StandinInfoLocale::kCompareStringLocaleW);
    EXPECT_EQ(3u, call.flags);
    EXPECT_EQ(LOCALE_ID_USER_DEFAULT, call.lcid);
    EXPECT_FALSE(s.bEstEgalI(L"elev"));
    EXPECT_TRUE(CTString().bEstEgalI(L""));

    EXPECT_TRUE(s.bCommencePar(L"Él"));
    EXPECT_FALSE(s.bCommencePar(L"él"));
    EXPECT_TRUE(s.bCommenceParI(L"EL"));
    EXPECT_FALSE(s.bCommenceParI(L"Élèves"));
    EXPECT_TRUE(s.bTerminePar(L"ève"));
    EXPECT_TRUE(s.bTermineParI(L"EVE"));
    EXPECT_FALSE(s.bTermineParI(L"xÉlève"));
    EXPECT_TRUE(s.bTerminePar(L""));
    EXPECT_TRUE(s.bTerminePar(L'e'));
    EXPECT_FALSE(CTString().bTerminePar(L'e'));
}

TEST(CTString, Searches)
{
    struct Case
    {
        const char* what;
        long got;
        long expected;
    };
    const CTString s(L"aaaa;b;AA");
    const Case cases[] = {
        {"nPos", s.nPos(L"a"), 0},
        {"nPos from 2", s.nPos(L"a", 2), 2},
        {"nPos from past the end", s.nPos(L"a", 50), -1},
        {"nPos from the end", s.nPos(L"a", 9), -1},
        {"nPos empty pattern", s.nPos(L""), -1},
        {"nPos null pattern", s.nPos(static_cast<const wchar_t*>(nullptr)), -1},
        {"nPos char", s.nPos(L';', 5), 6},
        {"nPos char 0", s.nPos(L'\0'), -1},
        {"nUpPos", s.nUpPos(L"aa", 5), 7},
        {"nUpPos past the end", s.nUpPos(L"AAA", 7), -1},
        {"nRPos overlapping", CTString(L"aaaa").nRPos(L"aa"), 2},
        {"nRPos char", s.nRPos(L';'), 6},
        {"nRPos missing", s.nRPos(L"x"), -1},
        {"nPosParmi", s.nPosParmi(L"b;"), 4},
        {"nPosParmi none", s.nPosParmi(L"xyz"), -1},
        {"nNbOcc", CTString(L"aaaa").nNbOcc(L"aa"), 2},
        {"nNbOcc empty pattern", s.nNbOcc(L""), 0},
        {"nNbOcc chars", s.nNbOcc(L"a"), 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, c.got) << c.what;
}

TEST(CTString, Extraction)
{
    struct Case
    {
        const char* what;
        CTString got;
        const wchar_t* expected;
    };
    const CTString s(L"abcdef");
    const Case cases[] = {
        {"clMilieu", s.clMilieu(2, 3), L"cde"},
        {"clMilieu clipped", s.clMilieu(4, 10), L"ef"},
        {"clMilieu to the end", s.clMilieu(3), L"def"},
        {"clMilieu at the end", s.clMilieu(6), L""},
        {"clMilieu past the end", s.clMilieu(7, 2), L""},
        {"clGauche", s.clGauche(2), L"ab"},
        {"clGauche all", s.clGauche(20), L"abcdef"},
        {"clGauche 0", s.clGauche(0), L""},
        {"clDroite", s.clDroite(2), L"ef"},
        {"clDroite all", s.clDroite(20), L"abcdef"},
        {"clDroite 0", s.clDroite(0), L""},
        {"clExclu", s.clExclu(L"dx"), L"abc"},
        {"clContientUniquement", s.clContientUniquement(L"bca"), L"abc"},
        {"operator+", s + L"gh", L"abcdefgh"},
        {"operator+ null", s + nullptr, L"abcdef"},
        {"clMilieu of empty", CTString().clMilieu(0, 2), L""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.expected, c.got.pszGet()) << c.what;
}

TEST(CTString, PiecesBetweenSeparators)
{
    const CTString s(L"a;;b");
    struct Case
    {
        unsigned long n;
        bool found;
        const wchar_t* piece;
    };
    const Case cases[] = {{0, true, L"a"}, {1, true, L""}, {2, true, L"b"}, {3, false, L"-"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        CTString out(L"-");
        EXPECT_EQ(c.found, s.bExtraitChaine(c.n, L';', &out));
        EXPECT_STREQ(c.piece, out.pszGet());
        CTString outText(L"-");
        EXPECT_EQ(c.found, s.bExtraitChaine(static_cast<long>(c.n), L";", &outText));
        EXPECT_STREQ(c.piece, outText.pszGet());
    }

    // A separator text: searches go on after the whole separator.
    const CTString t(L"x<>y<><>z");
    const wchar_t* start = nullptr;
    long len = -1;
    ASSERT_TRUE(t.bExtraitChainePos(3L, L"<>", &start, &len));
    EXPECT_EQ(L'z', *start);
    EXPECT_EQ(1, len);
    ASSERT_TRUE(t.bExtraitChainePos(-5L, L"<>", &start, &len));  // below 1: the first piece
    EXPECT_EQ(t.pszGet(), start);
    EXPECT_EQ(1, len);
    int pos = -1;
    ASSERT_TRUE(t.bExtraitPosTailleChaine(2, L"<>", &pos, &len));
    EXPECT_EQ(6, pos);
    EXPECT_EQ(0, len);
    EXPECT_FALSE(t.bExtraitPosTailleChaine(4, L"<>", &pos, &len));
    // Empty or null separators make no progress: refused.
    EXPECT_FALSE(t.bExtraitChainePos(1L, L"", &start, &len));
    EXPECT_FALSE(t.bExtraitChainePos(0L, static_cast<const wchar_t*>(nullptr), &start, &len));
    CTString out;
    EXPECT_FALSE(t.bExtraitChaine(0L, L"", &out));
    // The character 0 never occurs inside: one piece.
    EXPECT_TRUE(t.bExtraitChainePos(0ul, L'\0', &start, &len));
    EXPECT_EQ(9, len);
    EXPECT_FALSE(t.bExtraitChainePos(1ul, L'\0', &start, &len));
    // The empty string: no piece to copy, but one empty piece to locate.
    EXPECT_FALSE(CTString().bExtraitChaine(0ul, L';', &out));
    EXPECT_TRUE(CTString().bExtraitChainePos(0ul, L';', &start, &len));
    EXPECT_EQ(0, len);
}

TEST(CTString, ReplacingAPiece)
{
    struct Case
    {
        const wchar_t* text;
        long n;
        const wchar_t* with;
        bool done;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"a;b;c", 1, L"xyz", true, L"a;xyz;c"},
        {L"a;b;c", 0, L"", true, L";b;c"},
        {L"a;b;", 2, L"end", true, L"a;b;end"},  // the piece starts at the end: appended
        {L"a;b", 2, L"x", false, L"a;b"},
        {L"", 0, L"x", true, L"x"},
        {L"a;b", 1, nullptr, true, L"a;"},
    };
    for (const Case& c : cases) {
        CTString s(c.text);
        EXPECT_EQ(c.done, s.bExtraitEtRemplaceChaine(c.n, L";", c.with)) << c.n;
        EXPECT_STREQ(c.expected, s.pszGet());
    }
    CTString s(L"a;b");
    EXPECT_FALSE(s.bExtraitEtRemplaceChaine(0, L"", L"x"));
    // The new text may come from the string itself.
    s.bExtraitEtRemplaceChaine(1, L";", s.pszGet());
    EXPECT_STREQ(L"a;a;b", s.pszGet());
}

TEST(CTString, Tokens)
{
    const CTString s(L"a;;b; c");
    CTString out(L"-");
    EXPECT_TRUE(s.bExtraitChaineTok(1, L";", &out));
    EXPECT_STREQ(L"b", out.pszGet());
    EXPECT_TRUE(s.bExtraitChaineTok(2, L"; ", &out));
    EXPECT_STREQ(L"c", out.pszGet());
    EXPECT_FALSE(s.bExtraitChaineTok(3, L"; ", &out));
    EXPECT_STREQ(L"c", out.pszGet());
    EXPECT_TRUE(s.bExtraitChaineTok(-1, L";", &out));
    EXPECT_EQ(0, out.nTaille());
    EXPECT_FALSE(CTString().bExtraitChaineTok(0, L";", &out));
    EXPECT_STREQ(L"a;;b; c", s.pszGet());  // the text itself is untouched
}

class Collect : public IVisiteurPourTouteChaine
{
public:
    explicit Collect(long stopAfter = -1) : m_stopAfter(stopAfter) {}
    int bVisitePiece(long nIndex, const wchar_t* pszPiece, long nLength) override
    {
        EXPECT_EQ(static_cast<long>(m_pieces.size()), nIndex);
        m_pieces.emplace_back(pszPiece, static_cast<size_t>(nLength));
        return nIndex != m_stopAfter;
    }
    std::vector<std::wstring> m_pieces;
    long m_stopAfter;
};

TEST(CTString, VisitingEveryPiece)
{
    Collect all;
    CTString(L"ab, c, , d").PourTouteChaineSepareePar(L", ", &all);
    EXPECT_EQ((std::vector<std::wstring>{L"ab", L"c", L"", L"d"}), all.m_pieces);
    Collect stop(1);
    CTString(L"a|b|c").PourTouteChaineSepareePar(L"|", &stop);
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b"}), stop.m_pieces);
    Collect trailing;
    CTString(L"a|").PourTouteChaineSepareePar(L"|", &trailing);
    EXPECT_EQ((std::vector<std::wstring>{L"a", L""}), trailing.m_pieces);
    Collect none;
    CTString().PourTouteChaineSepareePar(L"|", &none);
    CTString(L"abc").PourTouteChaineSepareePar(L"", &none);  // refused: no progress
    EXPECT_TRUE(none.m_pieces.empty());
}

TEST(CTString, Splitters)
{
    const wchar_t* text = L"key=value=more";
    struct Case
    {
        const char* what;
        const wchar_t* (CTString::*split)(const wchar_t*, wchar_t);
        wchar_t c;
        const wchar_t* expected;
        long next;  // offset of the answer in text; -1 null
    };
    const Case cases[] = {
        {"DebutPremier", &CTString::pszSetDebutPremier, L'=', L"key", 4},
        {"DebutDernier", &CTString::pszSetDebutDernier, L'=', L"key=value", 10},
        {"FinPremier", &CTString::pszSetFinPremier, L'=', L"value=more", 4},
        {"FinDernier", &CTString::pszSetFinDernier, L'=', L"more", 10},
        {"DebutPremier missing", &CTString::pszSetDebutPremier, L';', L"key=value=more", -1},
        {"FinDernier missing", &CTString::pszSetFinDernier, L';', L"key=value=more", -1},
        {"DebutPremierExistant", &CTString::pszSetDebutPremierExistant, L'=', L"key", 4},
        {"FinDernierExistant", &CTString::pszSetFinDernierExistant, L'=', L"more", 10},
        {"DebutPremierExistant missing", &CTString::pszSetDebutPremierExistant, L';', L"", 0},
        {"DebutDernierExistant missing", &CTString::pszSetDebutDernierExistant, L';', L"", 0},
        {"FinPremierExistant missing", &CTString::pszSetFinPremierExistant, L';', L"", 0},
        {"FinDernierExistant missing", &CTString::pszSetFinDernierExistant, L';', L"", 0},
    };
    for (const Case& c : cases) {
        CTString s(L"old");
        const wchar_t* next = (s.*c.split)(text, c.c);
        EXPECT_STREQ(c.expected, s.pszGet()) << c.what;
        EXPECT_EQ(c.next, next ? next - text : -1) << c.what;
    }
}

}  // namespace
