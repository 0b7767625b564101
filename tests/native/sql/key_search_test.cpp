// Searches on keys: their three conditions written as WHERE text on the
// test connection (kind 5, backquotes, NULL sorted first), the switch
// between them, the filter joined to them, equality and clone.
#include <cwchar>
#include <memory>

#include "tests/native/sql/key_search_fixture.h"
#include "tests/native/sql/sorted_query_fixture.h"

namespace vxtest {
namespace {

using KeySearch = KeySearchTest;

struct stConditions
{
    const wchar_t* pszItem;
    bool bGeneric;
    std::wstring first, forward, backward;
};

TEST_F(KeySearch, FirstConditionAndContinuations)
{
    const std::string an = Padded("ab", 5) + Bytes<int>(7);
    const CAny values[] = {Int(5), Ansi("ab"), Ansi("ab"), Key(an), Key(an + Bytes<short>(3)),
                           Key(Bytes<int>(7) + Bytes<short>(3)), Key(Bytes<int>(1) + Bytes<int>(2)),
                           Key(Padded("ab", 5))};
    const stConditions cases[] = {
        {L"K", false, L"`K`=[5]", L"`K`>[5]", L"(`K`<[5] OR `K` IS NULL)"},
        {L"T", false, L"`T`=[ab]", L"`T`>[ab]", L"(`T`<[ab] OR `T` IS NULL)"},
        {L"T", true, L"`T` LIKE [ab%]", L" NOT (`T` LIKE [ab%]) AND `T`>[ab]", L"(`T`<[ab] OR `T` IS NULL)"},
        {L"AN", false, L"`A`=[ab] AND `N`=[7]", L"`A`>[ab] OR `A`=[ab] AND `N`>[7]",
         L"(`A`<[ab] OR `A` IS NULL) OR `A`=[ab] AND (`N`<[7] OR `N` IS NULL)"},
        {L"ANC", false, L"`A`=[ab] AND (`N`=[7] AND `C`=[3])",
         L"`A`>[ab] OR `A`=[ab] AND (`N`>[7] OR `N`=[7] AND `C`>[3])",
         L"(`A`<[ab] OR `A` IS NULL) OR `A`=[ab] AND ((`N`<[7] OR `N` IS NULL) OR `N`=[7] AND (`C`<[3] OR `C` IS "
         L"NULL))"},
        // Descending components turn the continuations round.
        {L"ND", false, L"`N`=[7] AND `C`=[3]", L"(`N`<[7] OR `N` IS NULL) OR `N`=[7] AND (`C`<[3] OR `C` IS NULL)",
         L"`N`>[7] OR `N`=[7] AND `C`>[3]"},
        // A unique first component alone identifies the record.
        {L"IDK", false, L"`ID`=[1]", L"`ID`>[1] OR `ID`=[1] AND `K`>[2]",
         L"`ID`<[1] OR `ID`=[1] AND (`K`<[2] OR `K` IS NULL)"},
        // A generic composite value: its components as far as given.
        {L"AN", true, L"`A` LIKE [ab%]", L"`A`>[ab] AND `A` NOT LIKE [ab%]", L"(`A`<[ab] OR `A` IS NULL)"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        CNARecherche* pclSearch = Search(cases[i].pszItem, values[i], cases[i].bGeneric);
        EXPECT_EQ(cases[i].first, Shown(pclSearch));
        EXPECT_EQ(cases[i].forward, Continuation(pclSearch, 0));
        EXPECT_EQ(cases[i].backward, Continuation(pclSearch, 1));
    }
}

TEST_F(KeySearch, PositioningOnTheRecordPrefersAUniqueKey)
{
    Set(L"ID", Int(3));
    Set(L"K", Int(8));
    CNARecherche* pclSearch = NewSearch();
    ASSERT_EQ(1, pclSearch->bRechercheEnreg(m_record, Item(L"K"), static_cast<eNA_PARSEDIRECTION>(0), 0, nullptr));
    EXPECT_EQ(NA_SEARCH_RECORD | NA_SEARCH_FROM_RECORD, pclSearch->nGetOptions());
    EXPECT_EQ(L"`ID`=[3]", Shown(pclSearch));
    // Past the record in the order of K, then of the unique key.
    EXPECT_EQ(L"`K`>[8] OR `K`=[8] AND `ID`>[3]", Continuation(pclSearch, 0));
    EXPECT_EQ(L"(`K`<[8] OR `K` IS NULL) OR `K`=[8] AND `ID`<[3]", Continuation(pclSearch, 1));

    // First only: no continuation, and a switch leaves no current condition.
    ASSERT_EQ(1, pclSearch->bRechercheEnreg(m_record, Item(L"K"), static_cast<eNA_PARSEDIRECTION>(0), 1, nullptr));
    EXPECT_EQ(26u, pclSearch->nGetOptions());
    EXPECT_EQ(nullptr, pclSearch->pclGetExpressionNoRef(1));
    pclSearch->bSetContinueParcours(0);
    EXPECT_EQ(nullptr, pclSearch->pclGetCurrentExpressionNoRef());
    EXPECT_EQ(L"", Shown(pclSearch));
    EXPECT_EQ(0, pclSearch->nGetNbParameter());
}

TEST_F(KeySearch, TheSwitchBetweenConditions)
{
    CNARecherche* pclSearch = Search(L"K", Int(5));
    EXPECT_EQ(1, pclSearch->nGetState());
    EXPECT_EQ(1, pclSearch->bPeutContinuerParcours(0));
    EXPECT_EQ(1, pclSearch->bHTrouve());
    pclSearch->bSetContinueParcours(0);
    EXPECT_EQ(2, pclSearch->nGetState());
    EXPECT_EQ(0, pclSearch->bPeutContinuerParcours(0));
    EXPECT_EQ(1, pclSearch->bPeutContinuerParcours(1));
    EXPECT_EQ(0, pclSearch->bHTrouve());
    pclSearch->Cancel();
    EXPECT_EQ(1, pclSearch->bHTrouve());
    // Two switches in a row come back to the first condition.
    pclSearch->bReviensParcoursPrecedent(0);
    EXPECT_EQ(1, pclSearch->nGetState());
    EXPECT_EQ(pclSearch->pclGetExpressionNoRef(0), pclSearch->pclGetCurrentExpressionNoRef());
    pclSearch->bSetContinueParcours(1);
    EXPECT_EQ(pclSearch->pclGetExpressionNoRef(2), pclSearch->pclGetCurrentExpressionNoRef());
    EXPECT_EQ(1, pclSearch->nGetDirection());
    pclSearch->Desactivate();
    EXPECT_EQ(0, pclSearch->bPeutContinuerParcours(0));
    EXPECT_EQ(L"", Shown(pclSearch));
    // A set-up clears the cancelled flag.
    EXPECT_EQ(1, pclSearch->bSetRecherche(m_record, Item(L"K"), nullptr, static_cast<eNA_PARSEDIRECTION>(0), 1, 0));
    pclSearch->bSetContinueParcours(0);
    EXPECT_EQ(0, pclSearch->bHTrouve());
}

TEST_F(KeySearch, AnItemWithoutAColumnLeavesTheSearchInactive)
{
    CNAItemDescription* pclOther = NewItem(L"ELSEWHERE", NA_IT_I4, 4);
    CNARecherche* pclSearch = NewSearch();
    CAny v = Int(1);
    EXPECT_EQ(1, pclSearch->bSetRecherche(m_record, pclOther, &v, static_cast<eNA_PARSEDIRECTION>(0), 1, 0));
    EXPECT_EQ(0, pclSearch->nGetState());
    EXPECT_EQ(L"", Shown(pclSearch));
}

TEST_F(KeySearch, TheFilterIsJoinedToTheSearch)
{
    CNAFilter* pclFilter = NewFilter();
    CAny lo = Int(10);
    CAny hi = Int(20);
    ASSERT_EQ(1, pclFilter->bSetFilter(m_record, Item(L"K"), &lo, 1, &hi, 0, nullptr, 0));
    CNARecherche* pclSearch = Search(L"T", Ansi("x"));
    // Inactive: the search alone.
    EXPECT_EQ(L"`T`=[x]", Shown(pclSearch, pclFilter));
    pclFilter->ActivateFilter(1);
    EXPECT_EQ(L"(`K`>=[10] AND `K`<[20]) AND `T`=[x]", Shown(pclSearch, pclFilter));
    // The filter alone when the search has no current condition.
    pclSearch->Desactivate();
    EXPECT_EQ(L"`K`>=[10] AND `K`<[20]", Shown(pclSearch, pclFilter));
    // The filter written by itself.
    EXPECT_EQ(L"`K`>=[10] AND `K`<[20]", Shown(pclFilter));
}

TEST_F(KeySearch, AConditionAlwaysFalseSelectsNoRow)
{
    CNARecherche* pclSearch = NewSearch();
    CAny v = Null();
    ASSERT_EQ(1, pclSearch->bAddExpression(m_record, Item(L"K"), NA_OP_LT, &v, 0, NA_OP_AND, 0));
    EXPECT_EQ(L"0=1", Shown(pclSearch));
    // Joined: the false AND drops the whole condition.
    CNARecherche* pclOther = NewSearch();
    CAny five = Int(5);
    ASSERT_EQ(1, pclOther->bAddExpression(m_record, Item(L"ID"), NA_OP_GT, &five, 0, NA_OP_AND, 0));
    ASSERT_EQ(1, pclOther->bAddExpression(m_record, Item(L"K"), NA_OP_LT, &v, 0, NA_OP_AND, 0));
    EXPECT_EQ(L"0=1", Shown(pclOther));
    EXPECT_EQ(0, pclOther->nGetNbParameter());
}

TEST_F(KeySearch, AddedExpressionsAreJoinedOnEachCondition)
{
    CNARecherche* pclSearch = NewSearch();
    CAny a = Int(1);
    CAny b = Ansi("q");
    ASSERT_EQ(1, pclSearch->bAddExpression(m_record, Item(L"K"), NA_OP_GE, &a, 0, NA_OP_AND, 0));
    ASSERT_EQ(1, pclSearch->bAddExpression(m_record, Item(L"T"), NA_OP_EQ, &b, 1, NA_OP_OR, 0));
    EXPECT_EQ(1, pclSearch->nGetState());
    EXPECT_EQ(L"`K`>=[1] OR `T` LIKE [q%]", Shown(pclSearch));
}

TEST_F(KeySearch, EqualityAndClone)
{
    CNARecherche* pclA = Search(L"K", Int(5));
    CNARecherche* pclB = Search(L"K", Int(5));
    EXPECT_EQ(1, pclA->bEqualsSearch(pclB));
    EXPECT_EQ(0, pclA->bEqualsSearch(Search(L"K", Int(6))));
    EXPECT_EQ(0, pclA->bEqualsSearch(Search(L"ID", Int(5))));
    EXPECT_EQ(0, pclA->bEqualsSearch(Search(L"K", Int(5), true)));
    // Parameters count: written once, the other is not written.
    Shown(pclA);
    EXPECT_EQ(0, pclA->bEqualsSearch(pclB));
    Shown(pclB);
    EXPECT_EQ(1, pclA->bEqualsSearch(pclB));

    // A missing search equals an inactive one.
    EXPECT_EQ(1, g_bEqualsSearch(nullptr, nullptr));
    EXPECT_EQ(0, g_bEqualsSearch(nullptr, pclA));
    CNARecherche* pclInactive = NewSearch();
    EXPECT_EQ(1, g_bEqualsSearch(nullptr, pclInactive));
    EXPECT_EQ(1, g_bEqualsSearch(pclInactive, nullptr));

    CNARecherche* pclClone = Held(pclA->pclClone());
    EXPECT_EQ(pclA->pclGetExpressionNoRef(0), pclClone->pclGetExpressionNoRef(0));
    EXPECT_EQ(pclA->pclGetExpressionNoRef(1), pclClone->pclGetExpressionNoRef(1));
    EXPECT_EQ(pclA->nGetNbParameter(), pclClone->nGetNbParameter());
    EXPECT_EQ(nullptr, pclClone->piGetFetchItemNoRef());
    EXPECT_EQ(L"`K`=[5]", Shown(pclClone));
}

// The filter's bounds joined with a condition the host parsed; the values
// the parsed condition binds become the filter's.
TEST_F(KeySearch, AFilterWithAParsedCondition)
{
    StandinParsedQuery& parse = ParseWhereKIs7();
    CNAFilter* pclFilter = NewFilter();
    const CAny lo = Int(1);
    ASSERT_EQ(1, pclFilter->bSetFilter(m_record, Item(L"ID"), &lo, 0, nullptr, 0, &parse, 0));
    pclFilter->ActivateFilter(1);
    EXPECT_EQ(L"`ID`>[1] AND `K` = [7]", Shown(pclFilter));
    EXPECT_EQ(2, pclFilter->nGetNbParameter());
    // The parsed condition alone.
    ASSERT_EQ(1, pclFilter->bSetFilter(m_record, Item(L"ID"), nullptr, 0, nullptr, 0, &parse, 0));
    EXPECT_EQ(L"`K` = [7]", Shown(pclFilter));
}

// Under a query sorted on T descending and K ascending, the continuations
// of a search on T go the other way; a generic one decides its text form
// after turning round.
using KeySearchSorted = SortedOnTDescending<KeySearchTest>;

TEST_F(KeySearchSorted, ContinuationsUnderADescendingSort)
{
    SortTDescending();
    CNARecherche* pclExact = Search(L"T", Ansi("ab"));
    EXPECT_EQ(L"`T`=[ab]", Shown(pclExact));
    EXPECT_EQ(L"(`T`<[ab] OR `T` IS NULL)", Continuation(pclExact, 0));
    EXPECT_EQ(L"`T`>[ab]", Continuation(pclExact, 1));
    CNARecherche* pclGeneric = Search(L"T", Ansi("ab"), true);
    EXPECT_EQ(L"`T` LIKE [ab%]", Shown(pclGeneric));
    EXPECT_EQ(L"(`T`<[ab] OR `T` IS NULL)", Continuation(pclGeneric, 0));
    EXPECT_EQ(L" NOT (`T` LIKE [ab%]) AND `T`>[ab]", Continuation(pclGeneric, 1));
    // K keeps its ascending order.
    CNARecherche* pclK = Search(L"K", Int(5));
    EXPECT_EQ(L"`K`>[5]", Continuation(pclK, 0));
}

}  // namespace
}  // namespace vxtest
