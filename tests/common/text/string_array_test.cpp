// CTStringArray: owned elements, search, the three sorts, splitting and
// joining, and the slots that would otherwise store one pointer twice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text/string_array.h"
#include "tests/host/support/test_environment.h"

namespace {

std::vector<std::wstring> Items(const CTStringArray& a)
{
    std::vector<std::wstring> v;
    for (int i = 0; i < a.nGetNbElement(); ++i) v.emplace_back(a[i]->pszGet());
    return v;
}

using W = std::vector<std::wstring>;

TEST(StringArray, AddInsertReplaceRemove)
{
    CTStringArray a;
    a.Ajoute(L"b");
    a.Ajoute(static_cast<const wchar_t*>(nullptr));
    const CTString c(L"c");
    a.Ajoute(&c);
    a.Insere(L"a", 0);
    a.Insere(&c, 4);
    a.Insere(L"never", 9);  // past the end: nothing
    EXPECT_EQ((W{L"a", L"b", L"", L"c", L"c"}), Items(a));
    a.SetAt(L"B", 1);  // the string replaced is deleted (the leak checker sees it)
    a.SetAt(&c, 2);
    a.SetAt(L"x", 5);
    a.SetAt(L"x", -1);
    a.Supprime(3);
    a.Supprime(7);
    EXPECT_EQ((W{L"a", L"B", L"c", L"c"}), Items(a));
    a.vAjoute(L"abcdef", 3);
    a.vAjoute(L"xy", -1);
    a.Initialise(L"z", 2);  // appends two copies
    EXPECT_EQ((W{L"a", L"B", L"c", L"c", L"abc", L"xy", L"z", L"z"}), Items(a));
    CTString taken(L"taken");
    a.AjouteRecupere(&taken);
    EXPECT_STREQ(L"", taken.pszGet());
    EXPECT_STREQ(L"taken", a[8]->pszGet());
    a.SupprimeTout();
    EXPECT_EQ(0, a.nGetNbElement());
}

TEST(StringArray, AppendingAnArrayToItself)
{
    CTStringArray a;
    for (const wchar_t* s : {L"x", L"y", L"z"}) a.Ajoute(s);
    a.Ajoute(a);
    EXPECT_EQ((W{L"x", L"y", L"z", L"x", L"y", L"z"}), Items(a));
}

TEST(StringArray, InheritedInitialiseCopiesInsteadOfSharing)
{
    // Storing one pointer n times would delete it n times.
    CTStringArray a;
    a.Ajoute(L"old");
    CTString s(L"v");
    CTString* p = &s;
    EXPECT_EQ(1, a.Initialise(p, 3));
    EXPECT_EQ((W{L"v", L"v", L"v"}), Items(a));
    EXPECT_NE(a[0], a[1]);
    CTString* first = a[0];
    EXPECT_EQ(1, a.Initialise(first, 2));  // from one of its own elements
    EXPECT_EQ((W{L"v", L"v"}), Items(a));
    CTableauDeBuffer& base = a;
    EXPECT_EQ(1, base.Initialise(&p, 1));
    EXPECT_EQ((W{L"v"}), Items(a));
}

TEST(StringArray, Search)
{
    CTStringArray a;
    for (const wchar_t* s : {L"alpha", L"x", L"Élan", L""}) a.Ajoute(s);
    EXPECT_EQ(1, a.nRecherche(L"X", 0, 0));
    EXPECT_EQ(-1, a.nRecherche(L"X", 1, 0));
    EXPECT_EQ(1, a.nRecherche(L"x", 1, -3));
    EXPECT_EQ(2, a.nRecherche(L"elan", 0, 0));  // without accents either
    EXPECT_EQ(-1, a.nRecherche(L"x", 0, 2));
    EXPECT_EQ(-1, a.nRecherche(L"x", 0, 4));    // start at the count
    EXPECT_EQ(3, a.nRecherche(nullptr, 1, 0));  // null is the empty text
}

TEST(StringArray, Sorts)
{
    CTStringArray a;
    for (const wchar_t* s : {L"b", L"A", L"c", L"a"}) a.Ajoute(s);
    a.TrieCroisssant();
    EXPECT_EQ((W{L"A", L"a", L"b", L"c"}), Items(a));
    a.TrieDecroisssant();
    EXPECT_EQ((W{L"c", L"b", L"a", L"A"}), Items(a));
    a.Supprime(3);
    a.Ajoute(L"B");
    a.TrieCroisssantI();
    EXPECT_EQ(L"a", Items(a)[0]);
    EXPECT_EQ(L"c", Items(a)[3]);
}

TEST(StringArray, SplitAndJoin)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* sep;
        W pieces;
    } cases[] = {
        {L"b;A;c", L";", {L"b", L"A", L"c"}},
        {L"a;", L";", {L"a", L""}},
        {L";;", L";", {L"", L"", L""}},
        {L"", L";", {}},
        {L"a, b, c", L", ", {L"a", L"b", L"c"}},
        {L"abc", L"", {}},  // an empty separator is refused
        {L"abc", nullptr, {}},
    };
    for (const Case& c : cases) {
        CTStringArray a;
        a.Ajoute(L"dropped");
        a.Decoupe(c.text, c.sep);
        EXPECT_EQ(c.pieces, Items(a)) << c.text;
    }
    CTStringArray a;
    CTString out(L"untouched");
    EXPECT_TRUE(a.bFusion(&out, L", "));
    EXPECT_STREQ(L"untouched", out.pszGet());
    a.Decoupe(CTString(L"a;b"), L";");
    EXPECT_TRUE(a.bFusion(&out, L", "));
    EXPECT_STREQ(L"a, b", out.pszGet());
    EXPECT_TRUE(a.bFusion(&out, nullptr));
    EXPECT_STREQ(L"ab", out.pszGet());
    // Splitting one of its own elements.
    a.SetAt(L"x/y/z", 0);
    a.Decoupe(a[0]->pszGet(), L"/");
    EXPECT_EQ((W{L"x", L"y", L"z"}), Items(a));

    CTString sorted;
    EXPECT_TRUE(CTStringArray::g_bTrieCroissantI(&sorted, L"b;A;c", L";"));
    EXPECT_STREQ(L"A;b;c", sorted.pszGet());
}

TEST(StringArray, FormattedElements)
{
    CTStringArray a;
    EXPECT_EQ(9, a.AjoutePrintf(L"%s=%d", L"port", 3306));
    EXPECT_EQ(7, a.AjouteFormatMessageWin(L"%s-%u", L"base", 42u));
    EXPECT_EQ((W{L"port=3306", L"base-42"}), Items(a));
}

}  // namespace
