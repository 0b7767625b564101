// Searches and filters of the data access on the run's private server: a
// search on unique, duplicate, text and composite items, both ways, read
// on past its rows; the found and out-of-range answers and their refusal
// on an item never browsed; the cancel; filters with one or two bounds,
// included or not; one filter active at a time across items; switching
// off and on; a filter carried over to the next item's browse.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/sql/filter.h"
#include "native/sql/host_sql_types.h"
#include "tests/host/db/standin_parsed_query.h"
#include "tests/native/access/statement_server_fixture.h"
#include "tests/native/sql/key_value_bytes.h"

namespace {

using vxtest::FromUtf8;

constexpr eNA_LOCKTYPE kLock = static_cast<eNA_LOCKTYPE>(1);
constexpr unsigned kItemNotBrowsed = 5;
constexpr NA_WRITEPARSEFLAGS kKeepFilter = 0x8000;

// Rows 1..30: a unique id, v with duplicates (id mod 7), a composite key
// (a, c) = (id mod 4, -id), a text w: "ab" + two digits on even rows, "b"
// + two digits on odd ones.
constexpr const char* kCreate =
    "CREATE TABLE s (id INT PRIMARY KEY, v INT, a INT, c INT, w VARCHAR(10), "
    "KEY kv (v), KEY kac (a, c), KEY kw (w))";
constexpr const char* kFill =
    "INSERT INTO s SELECT seq, seq % 7, seq % 4, -seq, CONCAT(IF(seq % 2 = 0, 'ab', 'b'), LPAD(seq, 2, '0')) "
    "FROM seq_1_to_30";

// What a read shows: the id, or "out".
constexpr const char* kOut = "out";

class DataAccessSearch : public vxtest::StatementOnServer
{
protected:
    void SetUp() override
    {
        vxtest::StatementOnServer::SetUp();
        m_pclAccess = OpenTable("s", kCreate);
        ASSERT_TRUE(m_client.bExecute(kFill)) << m_client.sError();
    }

    int Search(const wchar_t* pszItem, const wchar_t* pszSearchItem, const CAny& value, int bExact, int bForward,
               NA_WRITEPARSEFLAGS nFlags = 0)
    {
        eNA_LOCKTYPE eOut = kLock;
        return m_pclAccess->bHRecherche(pszItem, pszSearchItem, &value, bExact, 1, kLock, &eOut, bForward, nFlags);
    }
    int Read(const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection, NA_WRITEPARSEFLAGS nFlags = 0)
    {
        eNA_LOCKTYPE eOut = kLock;
        return m_pclAccess->bHLitxxx(pszItem, eDirection, 1, kLock, &eOut, nFlags);
    }
    // The id of the current record, or "out" when the item's browse is out.
    std::string Shown(const wchar_t* pszItem)
    {
        int bOut = 1;
        EXPECT_EQ(1, m_pclAccess->bHEndehors(pszItem, &bOut)) << m_pclError->pszGetError();
        if (bOut)
            return kOut;
        CAny value;
        if (!Column(m_pclAccess, L"id")->bGetCurrentValue(&value, 0))
            return "(unreadable)";
        return Utf8(vxtest::TextOf(value).c_str());
    }
    bool bFound(const wchar_t* pszItem)
    {
        int bFoundOut = -1;
        int bInside = -1;
        EXPECT_EQ(1, m_pclAccess->bEvalHTrouve(pszItem, &bFoundOut, &bInside)) << m_pclError->pszGetError();
        int bOut = -1;
        EXPECT_EQ(1, m_pclAccess->bHEndehors(pszItem, &bOut));
        EXPECT_EQ(bInside, !bOut) << "inside is the contrary of out";
        return bFoundOut != 0;
    }
    // The ids read while the search finds, then the first read that does
    // not find (an id, or "out").
    std::vector<std::string> ReadFound(const wchar_t* pszItem, eNA_PARSEDIRECTION eMove)
    {
        std::vector<std::string> ids;
        for (int i = 0; i < 40 && bFound(pszItem); ++i) {
            ids.push_back(Shown(pszItem));
            if (Read(pszItem, eMove) != 1) {
                ids.push_back("(failed)");
                return ids;
            }
        }
        ids.push_back("then " + Shown(pszItem));
        return ids;
    }
    // The ids read on from the current record in the direction, to the end.
    std::vector<std::string> ReadOn(const wchar_t* pszItem, eNA_PARSEDIRECTION eMove)
    {
        std::vector<std::string> ids;
        for (int i = 0; i < 40; ++i) {
            if (Read(pszItem, eMove) != 1) {
                ids.push_back("(failed)");
                break;
            }
            if (Shown(pszItem) == kOut)
                break;
            ids.push_back(Shown(pszItem));
        }
        return ids;
    }
    // Every id of a browse from the start, or from the end.
    std::vector<std::string> Browse(const wchar_t* pszItem, bool bBackward = false, NA_WRITEPARSEFLAGS nFlags = 0)
    {
        std::vector<std::string> ids;
        EXPECT_EQ(1, Read(pszItem, bBackward ? NADirection::kLast : NADirection::kFirst, nFlags))
            << m_pclError->pszGetError();
        for (int i = 0; i < 40 && Shown(pszItem) != kOut; ++i) {
            ids.push_back(Shown(pszItem));
            if (Read(pszItem, bBackward ? NADirection::kPrevious : NADirection::kNext, nFlags) != 1) {
                ids.push_back("(failed)");
                break;
            }
        }
        return ids;
    }
    // The ids of a plain SELECT.
    std::vector<std::string> Expected(const std::string& sWhereOrder)
    {
        std::vector<std::string> ids;
        auto rows = m_client.Query("SELECT id FROM s " + sWhereOrder);
        EXPECT_TRUE(rows.has_value()) << m_client.sError();
        for (const auto& row : rows.value_or(vxtest::RawRows{}))
            ids.push_back(row[0].value_or("(null)"));
        return ids;
    }
    static CAny Composite(int32_t nA, const int32_t* pnC)
    {
        return vxtest::Key(vxtest::Bytes(nA) + (pnC != nullptr ? vxtest::Bytes(*pnC) : std::string()));
    }

    CNADataAccess* m_pclAccess = nullptr;
    std::unique_ptr<StandinParsedQuery> m_condition;
};

// A search reads its matching rows in the browse item's order, from the
// first or from the last, then goes on past them to the neighbouring rows
// where nothing is found any more.
TEST_F(DataAccessSearch, SearchesReadTheirRowsThenGoOnPastThem)
{
    const int32_t nMinusFive = -5;
    struct Case
    {
        const char* pszName;
        const wchar_t* pszItem;
        const wchar_t* pszSearchItem;
        CAny value;
        int bExact;
        int bForward;
        std::string sFound;  // the SELECT of the rows found, in the order read
        std::string sThen;   // the first row read that no longer matches
    };
    const Case cases[] = {
        {"unique, exact", L"id", L"id", Int(5), 1, 1, "WHERE id = 5", "6"},
        {"unique, exact, from the last", L"id", L"id", Int(5), 1, 0, "WHERE id = 5", "4"},
        {"duplicates", L"v", L"v", Int(3), 1, 1, "WHERE v = 3 ORDER BY id", "4"},
        {"duplicates from the last", L"v", L"v", Int(3), 1, 0, "WHERE v = 3 ORDER BY id DESC", "30"},
        {"a value no row holds lands on the next", L"v", L"v", Int(-1), 1, 1, "WHERE 0", "7"},
        {"past every value", L"v", L"v", Int(9), 1, 1, "WHERE 0", kOut},
        {"generic text", L"w", L"w", Text("ab"), 0, 1, "WHERE w LIKE 'ab%' ORDER BY w", "1"},
        {"generic text from the last", L"w", L"w", Text("ab"), 0, 0, "WHERE w LIKE 'ab%' ORDER BY w DESC", kOut},
        {"exact text is no prefix", L"w", L"w", Text("ab"), 1, 1, "WHERE 0", "2"},
        {"composite, exact", L"kac", L"kac", Composite(1, &nMinusFive), 1, 1, "WHERE id = 5", "1"},
        {"composite, its first component", L"kac", L"kac", Composite(2, nullptr), 0, 1,
         "WHERE a = 2 ORDER BY c", "27"},
        {"composite, its first component from the last", L"kac", L"kac", Composite(2, nullptr), 0, 0,
         "WHERE a = 2 ORDER BY c DESC", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        m_pclError->Reset();
        ASSERT_EQ(1, Search(c.pszItem, c.pszSearchItem, c.value, c.bExact, c.bForward)) << m_pclError->pszGetError();
        std::vector<std::string> expected = Expected(c.sFound);
        expected.push_back("then " + c.sThen);
        EXPECT_EQ(expected, ReadFound(c.pszItem, c.bForward ? NADirection::kNext : NADirection::kPrevious));
    }
}

// The two-item form searches one item and reads in the order of the other.
TEST_F(DataAccessSearch, ASearchReadInTheOrderOfAnotherItem)
{
    ASSERT_EQ(1, Search(L"w", L"v", Int(3), 1, 1)) << m_pclError->pszGetError();
    std::vector<std::string> ids = ReadFound(L"w", NADirection::kNext);
    ASSERT_FALSE(ids.empty());
    ids.pop_back();
    EXPECT_EQ(Expected("WHERE v = 3 ORDER BY w"), ids);
}

// The found and out-of-range answers on an item that has no browse are
// refused with user error 5 and change nothing; once browsed they answer.
TEST_F(DataAccessSearch, FoundAndOutOnAnItemNeverBrowsed)
{
    ASSERT_EQ(1, Read(L"id", NADirection::kFirst));
    const unsigned nStatements = m_pclAccess->nGetStatementCount();
    int bFoundOut = 7;
    int bInside = 7;
    int bOut = 7;
    for (const wchar_t* pszItem : {L"v", L"nosuch"}) {
        SCOPED_TRACE(Utf8(pszItem));
        m_pclError->Reset();
        EXPECT_EQ(0, m_pclAccess->bHEndehors(pszItem, &bOut));
        EXPECT_EQ(kItemNotBrowsed, m_pclError->nGetUserErrorCode());
        EXPECT_STREQ(L"s", m_pclError->pszGetLogicalTableName());
        m_pclError->Reset();
        EXPECT_EQ(0, m_pclAccess->bEvalHTrouve(pszItem, &bFoundOut, &bInside));
        EXPECT_EQ(kItemNotBrowsed, m_pclError->nGetUserErrorCode());
    }
    EXPECT_EQ(7, bFoundOut) << "no answer written";
    EXPECT_EQ(7, bInside);
    EXPECT_EQ(7, bOut);
    EXPECT_EQ(nStatements, m_pclAccess->nGetStatementCount()) << "no statement made";
    EXPECT_EQ("1", Shown(L"id"));
    EXPECT_TRUE(bFound(L"id")) << "a plain browse finds";
    ASSERT_EQ(1, Read(L"id", NADirection::kPrevious));
    EXPECT_EQ(kOut, Shown(L"id"));
    EXPECT_FALSE(bFound(L"id"));
}

// A cancelled search no longer judges: every row read is found, through
// its own rows and past them. An empty name (null or "") is the last
// browse's; an item without browse or a data access without any is no
// error.
TEST_F(DataAccessSearch, ACancelledSearchFindsEveryRow)
{
    EXPECT_EQ(1, m_pclAccess->bHAnnuleRecherche(nullptr)) << "no browse yet";
    EXPECT_EQ(1, m_pclAccess->bHAnnuleRecherche(L"nosuch"));
    struct Case
    {
        const char* pszName;
        const wchar_t* pszCancel;
        bool bBrowseIdBetween;  // the last browse is another item's
        bool bCancelled;
    };
    const Case cases[] = {
        {"by its item", L"v", true, true},
        {"null names the last browse", nullptr, false, true},
        {"empty names the last browse", L"", false, true},
        {"null names another item's browse", nullptr, true, false},
        {"empty names another item's browse", L"", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        ASSERT_EQ(1, Search(L"v", L"v", Int(3), 1, 1));
        ASSERT_EQ(1, Read(L"v", NADirection::kNext));
        if (c.bBrowseIdBetween) {
            ASSERT_EQ(1, Read(L"id", NADirection::kFirst));
        }
        EXPECT_EQ(1, m_pclAccess->bHAnnuleRecherche(c.pszCancel));
        std::vector<std::string> expected =
            c.bCancelled ? std::vector<std::string>{"17", "24", "4", "11", "18"} : std::vector<std::string>{"17", "24"};
        std::vector<std::string> ids;
        for (size_t i = 0; i < 5; ++i) {
            ASSERT_EQ(1, Read(L"v", NADirection::kNext)) << m_pclError->pszGetError();
            if (!bFound(L"v"))
                break;
            ids.push_back(Shown(L"v"));
        }
        EXPECT_EQ(expected, ids);
    }
}

// Filters with one or two bounds, each included or not, read both ways.
TEST_F(DataAccessSearch, FilterBounds)
{
    const CAny five = Int(5);
    const CAny nine = Int(9);
    const CAny two = Int(2);
    const CAny ab04 = Text("ab04");
    const CAny b09 = Text("b09");
    struct Case
    {
        const char* pszName;
        const wchar_t* pszItem;
        const CAny* pclMin;
        int bMinIncluded;
        const CAny* pclMax;
        int bMaxIncluded;
        const char* pszSelect;
    };
    const Case cases[] = {
        {"both bounds included", L"id", &five, 1, &nine, 1, "WHERE id BETWEEN 5 AND 9 ORDER BY id"},
        {"both bounds excluded", L"id", &five, 0, &nine, 0, "WHERE id > 5 AND id < 9 ORDER BY id"},
        {"the lower one included", L"id", &five, 1, &nine, 0, "WHERE id >= 5 AND id < 9 ORDER BY id"},
        {"a lower bound only", L"v", &five, 1, nullptr, 0, "WHERE v >= 5 ORDER BY v, id"},
        {"a lower bound only, excluded", L"v", &five, 0, nullptr, 0, "WHERE v > 5 ORDER BY v, id"},
        {"an upper bound only", L"v", nullptr, 0, &two, 1, "WHERE v <= 2 ORDER BY v, id"},
        {"an upper bound only, excluded", L"v", nullptr, 0, &two, 0, "WHERE v < 2 ORDER BY v, id"},
        {"equal bounds", L"v", &two, 1, &two, 1, "WHERE v = 2 ORDER BY id"},
        {"equal bounds, one excluded", L"v", &two, 1, &two, 0, "WHERE 0"},
        {"texts", L"w", &ab04, 0, &b09, 1, "WHERE w > 'ab04' AND w <= 'b09' ORDER BY w"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        ASSERT_EQ(1, m_pclAccess->bHFiltre(c.pszItem, c.pclMin, c.bMinIncluded, c.pclMax, c.bMaxIncluded, nullptr))
            << m_pclError->pszGetError();
        const std::vector<std::string> expected = Expected(c.pszSelect);
        EXPECT_EQ(expected, Browse(c.pszItem));
        EXPECT_EQ(std::vector<std::string>(expected.rbegin(), expected.rend()), Browse(c.pszItem, true));
    }
}

// Only the latest filter is active: a filter on one item switches off the
// other item's; switching on from any item brings back the latest, not
// the item's own. A filter that cannot be set changes nothing.
TEST_F(DataAccessSearch, OneFilterActiveAtATime)
{
    const CAny five = Int(5);
    const CAny nine = Int(9);
    const CAny three = Int(3);
    const std::vector<std::string> all = Expected("ORDER BY id");
    const std::vector<std::string> byV = Expected("ORDER BY v, id");
    const std::vector<std::string> idFiltered = Expected("WHERE id BETWEEN 5 AND 9 ORDER BY id");
    const std::vector<std::string> vFiltered = Expected("WHERE v = 3 ORDER BY id");

    ASSERT_EQ(1, m_pclAccess->bHFiltre(L"id", &five, 1, &nine, 1, nullptr));
    EXPECT_EQ(idFiltered, Browse(L"id"));
    CNAFilter* pclIdFilter = m_pclAccess->pclGetLatestFilterNoRef();
    ASSERT_NE(nullptr, pclIdFilter);

    ASSERT_EQ(1, m_pclAccess->bHFiltre(L"v", &three, 1, &three, 1, nullptr));
    EXPECT_NE(pclIdFilter, m_pclAccess->pclGetLatestFilterNoRef());
    EXPECT_EQ(all, Browse(L"id")) << "the filter on id is off";
    EXPECT_EQ(vFiltered, Browse(L"v"));

    // Off, then on again from the other item: v's filter, the latest, comes
    // back; id's stays off.
    EXPECT_EQ(1, m_pclAccess->bHDesactiveFiltre(L"v"));
    EXPECT_EQ(byV, Browse(L"v"));
    EXPECT_EQ(1, m_pclAccess->bHActiveFiltre(L"id"));
    EXPECT_EQ(all, Browse(L"id"));
    EXPECT_EQ(vFiltered, Browse(L"v"));

    // Switching on or off an item without browse is no error.
    EXPECT_EQ(1, m_pclAccess->bHDesactiveFiltre(L"nosuch"));
    EXPECT_EQ(1, m_pclAccess->bHActiveFiltre(L"nosuch"));

    // A filter on an unknown item fails and leaves the latest one on.
    CNAFilter* pclLatest = m_pclAccess->pclGetLatestFilterNoRef();
    EXPECT_EQ(0, m_pclAccess->bHFiltre(L"nosuch", &five, 1, &nine, 1, nullptr));
    EXPECT_EQ(pclLatest, m_pclAccess->pclGetLatestFilterNoRef());
    EXPECT_EQ(vFiltered, Browse(L"v"));
}

// A browse with flag 0x8000 takes the active filter of the browse before
// it; without the flag it keeps its own.
TEST_F(DataAccessSearch, AFilterCarriedOverToTheNextBrowse)
{
    const CAny five = Int(5);
    const CAny nine = Int(9);
    ASSERT_EQ(1, m_pclAccess->bHFiltre(L"id", &five, 1, &nine, 1, nullptr));
    ASSERT_EQ(1, Read(L"id", NADirection::kFirst));
    EXPECT_EQ(Expected("ORDER BY v, id"), Browse(L"v"));
    ASSERT_EQ(1, Read(L"id", NADirection::kFirst));
    EXPECT_EQ(Expected("WHERE id BETWEEN 5 AND 9 ORDER BY v, id"), Browse(L"v", false, kKeepFilter));
    // Switched off, it is no longer carried.
    ASSERT_EQ(1, m_pclAccess->bHDesactiveFiltre(L"id"));
    ASSERT_EQ(1, m_pclAccess->bHDesactiveFiltre(L"v"));
    ASSERT_EQ(1, Read(L"id", NADirection::kFirst));
    EXPECT_EQ(Expected("ORDER BY w"), Browse(L"w", false, kKeepFilter));
}

// A filter switched off or on in the middle of a browse: the next read
// re-positions the browse on the current record and goes on from there
// under the filter as it now is.
TEST_F(DataAccessSearch, AFilterSwitchedInTheMiddleOfABrowse)
{
    const CAny five = Int(5);
    const CAny nine = Int(9);
    struct Case
    {
        const char* pszName;
        bool bBackward;
        bool bSwitchOn;       // browse unfiltered, then switch on; else the reverse
        const char* pszStandOn;
        const char* pszRest;  // the SELECT of the rows read on
    };
    const Case cases[] = {
        {"off, reading on", false, false, "6", "WHERE id > 6 ORDER BY id"},
        {"off, reading back", true, false, "8", "WHERE id < 8 ORDER BY id DESC"},
        {"on, reading on", false, true, "7", "WHERE id > 7 AND id <= 9 ORDER BY id"},
        {"on, reading back", true, true, "7", "WHERE id < 7 AND id >= 5 ORDER BY id DESC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        ASSERT_EQ(1, m_pclAccess->bHFiltre(L"id", &five, 1, &nine, 1, nullptr));
        if (c.bSwitchOn) {
            ASSERT_EQ(1, m_pclAccess->bHDesactiveFiltre(L"id"));
        }
        const eNA_PARSEDIRECTION eMove = c.bBackward ? NADirection::kPrevious : NADirection::kNext;
        ASSERT_EQ(1, Read(L"id", c.bBackward ? NADirection::kLast : NADirection::kFirst));
        while (Shown(L"id") != c.pszStandOn && Shown(L"id") != kOut) {
            ASSERT_EQ(1, Read(L"id", eMove));
        }
        ASSERT_EQ(c.pszStandOn, Shown(L"id"));
        if (c.bSwitchOn) {
            EXPECT_EQ(1, m_pclAccess->bHActiveFiltre(L"id"));
        } else {
            EXPECT_EQ(1, m_pclAccess->bHDesactiveFiltre(L"id"));
        }
        EXPECT_EQ(Expected(c.pszRest), ReadOn(L"id", eMove)) << m_pclError->pszGetError();
    }
}

// Past its rows, a search reads back into them.
TEST_F(DataAccessSearch, BackFromPastASearchsRows)
{
    ASSERT_EQ(1, Search(L"v", L"v", Int(3), 1, 1));
    EXPECT_EQ((std::vector<std::string>{"3", "10", "17", "24", "then 4"}), ReadFound(L"v", NADirection::kNext));
    EXPECT_EQ(Expected("WHERE v < 4 ORDER BY v DESC, id DESC"), ReadOn(L"v", NADirection::kPrevious))
        << m_pclError->pszGetError();
}

// A condition the host parsed: the item chosen for it is written into the
// caller's buffer and browses the rows the condition keeps.
TEST_F(DataAccessSearch, AFilterOnAParsedCondition)
{
    const std::wstring text = L"v = 3 AND id > 10";
    using vxstandin::ExpressionSpec;
    using vxstandin::Span;
    const auto number = [&](const wchar_t* pszPiece, int n) {
        return ExpressionSpec{.eOperator = OPEXP_LITERAL, .position = Span(text, pszPiece),
                              .value = std::make_shared<CAny>(Int(n))};
    };
    const auto column = [&](const wchar_t* pszItem) {
        return ExpressionSpec{.eOperator = OPEXP_ITEM, .item = pszItem, .position = Span(text, pszItem)};
    };
    const ExpressionSpec where{
        .eOperator = 2,
        .position = Span(text, text),
        .operands = {ExpressionSpec{.eOperator = OPEXP_EQUAL, .position = Span(text, L"v = 3"),
                                    .operands = {column(L"v"), number(L"3", 3)}},
                     ExpressionSpec{.eOperator = OPEXP_SUPERIOR, .position = Span(text, L"id > 10"),
                                    .operands = {column(L"id"), number(L"10", 10)}}}};
    // The filter keeps the host's condition: it lives as long as the data access.
    m_condition = std::make_unique<StandinParsedQuery>(vxstandin::ParsedQuerySpec{.text = text, .where = where});
    StandinParsedQuery& condition = *m_condition;
    wchar_t szItem[255] = L"untouched";
    ASSERT_EQ(1, m_pclAccess->bHFiltre(&condition, szItem)) << m_pclError->pszGetError();
    EXPECT_STREQ(L"id", szItem) << "a unique item serves at once";
    EXPECT_EQ(Expected("WHERE v = 3 AND id > 10 ORDER BY id"), Browse(szItem));
    EXPECT_EQ(Expected("ORDER BY v, id"), Browse(L"v")) << "the condition is id's filter only";
}

// On a query sent as written the search runs on the table cache that the
// query's first read fills: the found state is judged on each row read.
// Equal values keep the query's own order (here id descending).
TEST_F(DataAccessSearch, ASearchOnAQuerySentAsWritten)
{
    constexpr unsigned kAsWritten = 4;
    m_condition = std::make_unique<StandinParsedQuery>(
        vxstandin::ParsedQuerySpec{.text = L"SELECT id, v, w FROM s WHERE id > 10 ORDER BY id DESC"});
    CNADataAccess* pclQuery = Driver()->pclAllocDataAccess(nullptr, m_pclConnection, m_pclError);
    REF_AddRef(pclQuery);
    m_accesses.push_back(pclQuery);
    int bHasResult = 0;
    ASSERT_EQ(1, pclQuery->bExecuteQuery(&bHasResult, L"QS", m_condition.get(), kAsWritten, nullptr))
        << m_pclError->pszGetError();
    m_pclAccess = pclQuery;
    for (int bForward : {1, 0}) {
        SCOPED_TRACE(bForward);
        ASSERT_EQ(1, Search(L"v", L"v", Int(3), 1, bForward)) << m_pclError->pszGetError();
        ASSERT_NE(nullptr, pclQuery->pclGetTableCacheNoRef());
        std::vector<std::string> expected =
            Expected(bForward ? "WHERE v = 3 AND id > 10 ORDER BY id DESC" : "WHERE v = 3 AND id > 10 ORDER BY id");
        expected.push_back(bForward ? "then 25" : "then 16");
        EXPECT_EQ(expected, ReadFound(L"v", bForward ? NADirection::kNext : NADirection::kPrevious));
    }
}

}  // namespace
