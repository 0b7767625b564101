// The application's queries run through a data access on the run's private
// server: a SELECT with its parsed form (stand-in) read at once, a query
// sent as written read through its table cache, an internal query, the
// statement's SQL of a query source (as a subquery, as written with and
// without a condition, with its own LIMIT, the refusals), a query with
// neither parsed form nor text, a text the connection's code page cannot
// hold, and the best item of a filter condition.
#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/model/data_source_description.h"
#include "native/model/record.h"
#include "native/model/table_cache.h"
#include "native/sql/command.h"
#include "tests/host/db/standin_parsed_query.h"
#include "tests/host/db/standin_query_execution.h"
#include "tests/native/access/statement_server_fixture.h"

namespace {

using vxstandin::Span;
using vxtest::FromUtf8;

constexpr eNA_LOCKTYPE kLock = static_cast<eNA_LOCKTYPE>(1);
constexpr unsigned kAsWritten = 4;
constexpr unsigned kQueryWithoutCommand = 2;
constexpr unsigned kNotInCodePage = 77;
constexpr unsigned kNoItemForCondition = 17;
constexpr unsigned kNotAvailable = 8;
constexpr unsigned kNoConditionOnQuery = 41;

class DataAccessQuery : public vxtest::StatementOnServer
{
protected:
    void SetUp() override
    {
        vxtest::StatementOnServer::SetUp();
        ASSERT_TRUE(m_client.bExecute("CREATE TABLE qa (id INT PRIMARY KEY, v INT, name VARCHAR(20), KEY kv (v))"))
            << m_client.sError();
        ASSERT_TRUE(m_client.bExecute("INSERT INTO qa SELECT seq, seq % 3, CONCAT('n', seq) FROM seq_1_to_7"))
            << m_client.sError();
        m_pclTable = Driver()->pclAllocDataSourceDescription(m_pclConnection, m_pclError);
        m_pclTable->AddRef();
        m_descriptions.push_back(m_pclTable);
        ASSERT_EQ(1, m_pclTable->bInitDataSourceDescriptionFromDB(L"qa", 0)) << m_pclError->pszGetError();
    }
    // A data access of a query (no description of its own yet).
    CNADataAccess* NewQueryAccess(CNAConnectionDescription* pclConnection = nullptr)
    {
        CNADataAccess* pclAccess =
            Driver()->pclAllocDataAccess(nullptr, pclConnection != nullptr ? pclConnection : m_pclConnection, m_pclError);
        REF_AddRef(pclAccess);
        m_accesses.push_back(pclAccess);
        return pclAccess;
    }
    // "SELECT * FROM qa" as the host parses it, with output items of the
    // table's items, the text (and its WHERE) given.
    StandinParsedQuery& Parsed(const std::wstring& text, std::vector<std::wstring> items,
                               std::optional<vxstandin::ExpressionSpec> where = {}, long whereStart = 0)
    {
        vxstandin::ParsedQuerySpec spec{.text = text};
        spec.from = {{.name = L"qa", .position = Span(text, L"qa"), .description = m_pclTable}};
        for (const std::wstring& item : items)
            spec.items.push_back({.item = item, .table = L"qa", .description = m_pclTable->pclNAGetItemNoRef(item.c_str(), 0)});
        if (where) {
            spec.where = where;
            spec.whereStart = whereStart;
            spec.whereEnd = static_cast<long>(text.size()) - 1;
        }
        m_parsed.push_back(std::make_unique<StandinParsedQuery>(spec));
        return *m_parsed.back();
    }
    static int Read(CNADataAccess* pclAccess, const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection,
                    NA_WRITEPARSEFLAGS nFlags = 0)
    {
        eNA_LOCKTYPE eOut = kLock;
        return pclAccess->bHLitxxx(pszItem, eDirection, 1, kLock, &eOut, nFlags);
    }
    static std::string Value(CNADataAccess* pclAccess, const wchar_t* pszColumn)
    {
        CAny value;
        if (!Column(pclAccess, pszColumn)->bGetCurrentValue(&value, 0))
            return "";
        return Utf8(vxtest::TextOf(value).c_str());
    }
    // Every value of the column from the current row on, reading next.
    static std::vector<std::string> Rest(CNADataAccess* pclAccess, const wchar_t* pszItem, const wchar_t* pszColumn)
    {
        std::vector<std::string> values;
        int bOut = 0;
        for (int n = 0; n < 100; ++n) {
            values.push_back(Value(pclAccess, pszColumn));
            if (!Read(pclAccess, pszItem, NADirection::kNext))
                break;
            pclAccess->pclGetLastStatementNoRef()->HEndehors(&bOut);
            if (bOut)
                break;
        }
        return values;
    }

    CNADataSourceDescription* m_pclTable = nullptr;
    std::vector<std::unique_ptr<StandinParsedQuery>> m_parsed;
};

using Ids = std::vector<std::string>;

// A SELECT with its parsed form describes the source from the parse and
// reads its first record at once; the host's next reads go on with the
// same statement.
TEST_F(DataAccessQuery, ASelectWithItsParsedFormReadsItsFirstRecordAtOnce)
{
    const std::wstring text = L"SELECT * FROM qa";
    for (const bool bWithExecution : {false, true}) {
        SCOPED_TRACE(bWithExecution ? "execution object naming v" : "no execution object");
        StandinParsedQuery& parse = Parsed(text, {L"id", L"v", L"name"});
        StandinQueryExecution execution(0, L"v");
        CNADataAccess* pclAccess = NewQueryAccess();
        int bHasResult = -1;
        m_pclError->Reset();
        ASSERT_EQ(1, pclAccess->bExecuteQuery(&bHasResult, L"Q1", &parse, 0, bWithExecution ? &execution : nullptr))
            << m_pclError->pszGetError();
        EXPECT_EQ(1, bHasResult);
        EXPECT_EQ(1, pclAccess->bIsQuery());
        EXPECT_EQ(1, pclAccess->bIsOpened());
        EXPECT_STREQ(L"Q1", pclAccess->pszGetLogicalName());
        EXPECT_EQ(3u, pclAccess->piGetDataSourceNoRef()->nGetNumItems());
        EXPECT_EQ(NA_QUERY_SELECT, pclAccess->eSourceQueryType());
        EXPECT_EQ(1, pclAccess->bSameQuery(&parse));
        EXPECT_EQ(0, pclAccess->bSourceIsQueryOnMultipleTables());
        if (bWithExecution) {
            EXPECT_EQ(2, execution.nAsked()) << "its flags and its item";
            EXPECT_STREQ(L"v", pclAccess->pclGetLastStatementNoRef()->pszGetParseItemName());
            // Browsed by v, ties in the server's order.
            EXPECT_EQ("0", Value(pclAccess, L"v"));
            EXPECT_EQ((Ids{"0", "0", "1", "1", "1", "2", "2"}), Rest(pclAccess, L"v", L"v"));
        } else {
            // The best item: the unique id.
            EXPECT_EQ("1", Value(pclAccess, L"id"));
            EXPECT_EQ((Ids{"1", "2", "3", "4", "5", "6", "7"}), Rest(pclAccess, L"id", L"id"));
        }
    }
}

// A query sent as written runs once; its rows come into a table cache that
// the host's first read takes them from (the read after the execution, and
// the read that starts the browse again).
TEST_F(DataAccessQuery, AQuerySentAsWrittenIsReadThroughItsTableCache)
{
    const std::wstring text = L"SELECT id, name FROM qa WHERE id > 2 ORDER BY id DESC";
    vxstandin::ParsedQuerySpec spec{.text = text};
    m_parsed.push_back(std::make_unique<StandinParsedQuery>(spec));
    CNADataAccess* pclAccess = NewQueryAccess();
    int bHasResult = 0;
    m_pclError->Reset();
    ASSERT_EQ(1, pclAccess->bExecuteQuery(&bHasResult, L"Q2", m_parsed.back().get(), kAsWritten, nullptr))
        << m_pclError->pszGetError();
    EXPECT_EQ(1, bHasResult);
    EXPECT_EQ(1, pclAccess->bRequeteSansCorrection());
    ASSERT_NE(nullptr, pclAccess->pclGetTableCacheNoRef());
    EXPECT_EQ(2u, pclAccess->piGetDataSourceNoRef()->nGetNumItems());
    // The first read in the query's order continues the executed statement
    // through the cache; a browse by an item reads the cache in that item's
    // order.
    const NA_WRITEPARSEFLAGS kQueryOrder = NAParseFlag::kQueryOrder;
    const std::wstring best = pclAccess->pszGetBestParseItemName();
    EXPECT_EQ(L"id", best);
    ASSERT_EQ(1, Read(pclAccess, best.c_str(), NADirection::kFirst, kQueryOrder | NAParseFlag::kContinueLastQuery))
        << m_pclError->pszGetError();
    EXPECT_EQ((Ids{"7", "6", "5", "4", "3"}), Rest(pclAccess, best.c_str(), L"id"));
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kFirst)) << m_pclError->pszGetError();
    EXPECT_EQ((Ids{"3", "4", "5", "6", "7"}), Rest(pclAccess, L"id", L"id"));
    ASSERT_EQ(1, Read(pclAccess, L"name", NADirection::kLast)) << m_pclError->pszGetError();
    EXPECT_EQ("n7", Value(pclAccess, L"name"));
    // The browses by item read the whole result into the table cache:
    // writes may be announced, and it counts the rows.
    ASSERT_NE(nullptr, pclAccess->pclGetTableCacheNoRef()->pclGetFullCacheNoRef());
    EXPECT_EQ(1, pclAccess->bSetNextOperation(1));
    EXPECT_EQ(1, pclAccess->bSetNextOperation(2));
    long llCount = -1;
    EXPECT_EQ(1, pclAccess->bHNbEnr(&llCount, 0x10, 0));
    EXPECT_EQ(5, llCount);
    // A new browse in the query's order runs the query again.
    ASSERT_EQ(1, Read(pclAccess, best.c_str(), NADirection::kFirst, kQueryOrder)) << m_pclError->pszGetError();
    EXPECT_EQ((Ids{"7", "6", "5", "4", "3"}), Rest(pclAccess, best.c_str(), L"id"));
    // The query run again has a table cache that is not whole yet: writes
    // are refused, with user error 55, or with the message in front of an
    // error already there.
    ASSERT_NE(nullptr, pclAccess->pclGetTableCacheNoRef());
    EXPECT_EQ(0, pclAccess->bSetNextOperation(2));
    m_pclError->Reset();
    EXPECT_EQ(0, pclAccess->bSetNextOperation(1));
    EXPECT_EQ(55u, m_pclError->nGetUserErrorCode());
    EXPECT_STREQ(L"Q2", m_pclError->pszGetLogicalTableName());
    m_pclError->Reset();
    EXPECT_EQ(0, pclAccess->bHLit(3, kLock, nullptr));
    const unsigned nEarlier = m_pclError->nGetUserErrorCode();
    EXPECT_EQ(0, pclAccess->bSetNextOperation(3));
    EXPECT_EQ(nEarlier, m_pclError->nGetUserErrorCode());
    EXPECT_NE(std::wstring::npos, std::wstring(m_pclError->pszGetError()).find(L"pas complet"))
        << m_pclError->pszGetError();
    // Other operations are no concern of the cache.
    EXPECT_EQ(1, pclAccess->bSetNextOperation(4));
}

// An internal query (mode 0x84): its text run as written without caches,
// the statement of its result handed back.
TEST_F(DataAccessQuery, AnInternalQueryHandsBackTheStatementOfItsResult)
{
    CNADataAccess* pclAccess = NewQueryAccess();
    CNAStatement* pclStatement = nullptr;
    m_pclError->Reset();
    ASSERT_EQ(1, pclAccess->bExecuteQueryInternal(&pclStatement, L"$VXInternal",
                                                  L"SELECT id, v FROM qa WHERE id <= 3 ORDER BY id"))
        << m_pclError->pszGetError();
    ASSERT_NE(nullptr, pclStatement);
    EXPECT_EQ(kAsWritten | 0x80u, pclAccess->dwGetQueryMode());
    EXPECT_EQ(nullptr, pclAccess->pclGetSourceQueryNoRef());
    std::vector<std::string> ids;
    int bOut = 0;
    for (eNA_PARSEDIRECTION eDirection = NADirection::kFirst;; eDirection = NADirection::kNext) {
        if (!pclStatement->bFetch(eDirection, 1, 1, nullptr))
            break;
        pclStatement->HEndehors(&bOut);
        if (bOut)
            break;
        ids.push_back(Value(pclAccess, L"id"));
    }
    EXPECT_EQ((Ids{"1", "2", "3"}), ids);
    REF_Release(pclStatement);
    // A statement without result hands back none.
    CNAStatement* pclNone = nullptr;
    EXPECT_EQ(1, pclAccess->bExecuteQueryInternal(&pclNone, L"$VXInternal", L"DO 1")) << m_pclError->pszGetError();
    EXPECT_EQ(nullptr, pclNone);
}

// A query with neither parsed form nor text is refused before anything is
// sent, the data access as it was; a null text adds nothing to a command.
TEST_F(DataAccessQuery, AQueryWithNeitherParsedFormNorTextIsRefused)
{
    CNADataAccess* pclAccess = NewQueryAccess();
    int bHasResult = -1;
    ASSERT_EQ(1, pclAccess->bExecuteQuery(&bHasResult, L"Q0", &Parsed(L"SELECT * FROM qa", {L"id"}), 0, nullptr));
    const unsigned nStatements = pclAccess->nGetStatementCount();
    INADataSourceDescription* piBefore = pclAccess->piGetDataSourceNoRef();
    for (unsigned nMode : {0u, kAsWritten, 0x84u}) {
        m_pclError->Reset();
        bHasResult = -1;
        EXPECT_EQ(0, pclAccess->bExecuteQuery(&bHasResult, L"Nothing", nullptr, nMode, nullptr));
        EXPECT_EQ(0, bHasResult);
        EXPECT_EQ(kQueryWithoutCommand, m_pclError->nGetUserErrorCode());
        EXPECT_NE(std::wstring::npos, std::wstring(m_pclError->pszGetError()).find(L"<Nothing>"))
            << m_pclError->pszGetError();
        EXPECT_EQ(piBefore, pclAccess->piGetDataSourceNoRef());
        EXPECT_EQ(nStatements, pclAccess->nGetStatementCount());
        EXPECT_EQ("1", Value(pclAccess, L"id"));
    }
    CNAStatement* pclStatement = reinterpret_cast<CNAStatement*>(1);
    EXPECT_EQ(0, pclAccess->bExecuteQueryInternal(&pclStatement, L"$VXInternal", nullptr));
    EXPECT_EQ(nullptr, pclStatement);

    CNACommand* pclCommand = NewCommand(pclAccess);
    ASSERT_EQ(1, pclCommand->bComplete(L"SELECT 1", static_cast<unsigned long>(-1)));
    EXPECT_EQ(1, pclCommand->bComplete(nullptr, static_cast<unsigned long>(-1)));
    EXPECT_EQ(1, pclCommand->bSetInternalQuery(nullptr, static_cast<unsigned long>(-1)));
    EXPECT_EQ("SELECT 1", Sent(pclCommand));
}

// A query sent as written must fit the connection's 8-bit code page; a
// Unicode connection takes any text.
TEST_F(DataAccessQuery, ATextTheCodePageCannotHoldIsRefused)
{
    CMySQLConnection* pclAnsi = OpenServerConnection(m_db.Name(), L"VX Unicode Support=0");
    ASSERT_EQ(1252, pclAnsi->nGetClientTextCodePage());
    struct Case
    {
        const wchar_t* pszText;
        CMySQLConnection* pclConnection;
        unsigned nMode;
        int bRuns;
    };
    const std::wstring omega = L"SELECT '\u03A9' AS x";
    const std::wstring euro = L"SELECT '\u20AC' AS x";
    const Case cases[] = {
        {omega.c_str(), pclAnsi, kAsWritten, 0},
        {euro.c_str(), pclAnsi, kAsWritten, 1},
        {omega.c_str(), m_pclConnection, kAsWritten, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.pszText) + (c.pclConnection == pclAnsi ? " on 1252" : " on Unicode"));
        vxstandin::ParsedQuerySpec spec{.text = c.pszText, .eType = TYPEREQUETE_SELECT};
        m_parsed.push_back(std::make_unique<StandinParsedQuery>(spec));
        CNADataAccess* pclAccess = NewQueryAccess(c.pclConnection);
        int bHasResult = 0;
        m_pclError->Reset();
        EXPECT_EQ(c.bRuns, pclAccess->bExecuteQuery(&bHasResult, L"QCP", m_parsed.back().get(), c.nMode, nullptr))
            << m_pclError->pszGetError();
        if (!c.bRuns) {
            EXPECT_EQ(kNotInCodePage, m_pclError->nGetUserErrorCode());
            const std::wstring sError = m_pclError->pszGetError();
            EXPECT_NE(std::wstring::npos, sError.find(L"<QCP>")) << sError;
            EXPECT_NE(std::wstring::npos, sError.find(L"1252")) << sError;
            EXPECT_NE(std::wstring::npos, sError.find(c.pszText)) << "the text among the debug messages";
            EXPECT_EQ(0, pclAccess->nGetStatementCount());
        } else {
            EXPECT_EQ(1, bHasResult);
        }
    }
}

// The best item of a filter condition: a unique item chosen at once, a key
// with duplicates preferred to the first plain item, an item prefixed by
// its file, unknown names skipped, the best item when nothing serves; the
// name copied within the host's 255 characters.
TEST_F(DataAccessQuery, TheBestItemOfAConditionIsCopiedWithinTheHostsBuffer)
{
    CNADataAccess* pclAccess = OpenTable("fb2", "CREATE TABLE fb2 (id INT PRIMARY KEY, u INT, d INT, p INT, m TEXT, "
                                                "UNIQUE KEY ku (u), KEY kd (d))");
    struct Case
    {
        std::vector<std::wstring> names;
        const wchar_t* pszChosen;
    };
    const Case cases[] = {
        {{L"p", L"d"}, L"d"},             // the first item is only the fallback: the key wins
        {{L"fb2.p"}, L"p"},               // the file's prefix dropped
        {{L"p", L"u", L"d"}, L"u"},       // a unique item at once
        {{L"u", L"d"}, L"d"},             // the first item, even unique, is the fallback
        {{L"m", L"u"}, L"u"},             // a memo is no fallback
        {{L"zz", L"p"}, L"p"},            // unknown names skipped
        {{}, L"id"},                      // nothing named: the best item
        {{L"m"}, L"id"},
    };
    for (const Case& c : cases) {
        std::wstring text = L"SELECT * FROM fb2 WHERE ";
        vxstandin::ExpressionSpec where{.eOperator = 2};
        for (const std::wstring& name : c.names) {
            text += name + L" = 1 AND ";
            where.operands.push_back({.eOperator = OPEXP_EQUAL,
                                      .operands = {{.eOperator = OPEXP_ITEM, .item = name},
                                                   {.eOperator = OPEXP_LITERAL, .value = std::make_shared<CAny>(Int(1))}}});
        }
        SCOPED_TRACE(Utf8(text.c_str()));
        vxstandin::ParsedQuerySpec spec{.text = text};
        if (!c.names.empty())
            spec.where = where;
        StandinParsedQuery condition(spec);
        wchar_t szItem[300];
        std::fill(std::begin(szItem), std::end(szItem), L'#');
        m_pclError->Reset();
        ASSERT_EQ(1, pclAccess->bFindBestItem(&condition, szItem)) << m_pclError->pszGetError();
        EXPECT_STREQ(c.pszChosen, szItem);
        EXPECT_EQ(L'#', szItem[255]);
    }

    // A query's items are its column aliases, which the server takes up to
    // 256 characters long: the host gets 254 and the terminator.
    const std::wstring alias(256, L'a');
    vxstandin::ParsedQuerySpec spec{.text = L"SELECT id AS " + alias + L" FROM qa"};
    m_parsed.push_back(std::make_unique<StandinParsedQuery>(spec));
    CNADataAccess* pclQuery = NewQueryAccess();
    int bHasResult = 0;
    ASSERT_EQ(1, pclQuery->bExecuteQuery(&bHasResult, L"QL", m_parsed.back().get(), kAsWritten, nullptr))
        << m_pclError->pszGetError();
    ASSERT_EQ(1, bHasResult);
    vxstandin::ParsedQuerySpec condition{.text = alias + L" = 1",
                                         .where = vxstandin::ExpressionSpec{.eOperator = OPEXP_ITEM, .item = alias}};
    StandinParsedQuery parse(condition);
    wchar_t szItem[300];
    std::fill(std::begin(szItem), std::end(szItem), L'#');
    ASSERT_EQ(1, pclQuery->bFindBestItem(&parse, szItem)) << m_pclError->pszGetError();
    EXPECT_EQ(alias.substr(0, 254), std::wstring(szItem));
    EXPECT_EQ(L'#', szItem[255]);
}

// A condition on a data access without items finds none: user error 17.
TEST_F(DataAccessQuery, NoItemForAConditionIsAnError)
{
    CNADataAccess* pclAccess = NewQueryAccess();
    StandinParsedQuery condition({.text = L"x = 1"});
    wchar_t szItem[255] = L"untouched";
    m_pclError->Reset();
    EXPECT_EQ(0, pclAccess->bFindBestItem(&condition, szItem));
    EXPECT_EQ(kNoItemForCondition, m_pclError->nGetUserErrorCode());
    EXPECT_STREQ(L"untouched", szItem);
}

// The SQL a statement of a query source builds: the query as a subquery of
// a COUNT, a query run as written as it is (a condition on it refused: the
// server takes no subquery), a query with its own LIMIT given none, and
// the writes a query source refuses.
TEST_F(DataAccessQuery, TheStatementsSQLOnAQuerySource)
{
    const std::wstring text = L"SELECT * FROM qa";
    CMySQLConnection* pclBlocks = OpenServerConnection(m_db.Name(), L"VX Cache Size=15");
    CNADataAccess* pclParsed = NewQueryAccess(pclBlocks);
    int bHasResult = 0;
    ASSERT_EQ(1, pclParsed->bExecuteQuery(&bHasResult, L"QP", &Parsed(text, {L"id", L"v"}), 0, nullptr));
    CNAStatement* pclStatement = NewStatement(pclParsed);
    CNACommand* pclCount = NewCommand(pclParsed);
    ASSERT_EQ(1, pclStatement->_bBuildQueryCOUNT(pclCount, 0, 1)) << m_pclError->pszGetError();
    EXPECT_EQ("SELECT COUNT(*) AS VXACCESNATIF_NBENR FROM  (SELECT `qa`.`id`,`qa`.`v` FROM `qa`)", Sent(pclCount));
    CNACommand* pclSelect = NewCommand(pclParsed);
    long llCount = 1;
    ASSERT_EQ(1, pclParsed->bBuildSelect(pclSelect, pclStatement, L"id", 1, 0, &llCount));
    EXPECT_EQ("SELECT `qa`.`id`,`qa`.`v` FROM `qa` ORDER BY `qa`.`id` LIMIT 15", Sent(pclSelect));
    // The server takes no subquery: a query source is counted by reading
    // its rows.
    long llRows = -1;
    EXPECT_EQ(1, pclParsed->bGetNbEnr(nullptr, &llRows, 0x10, static_cast<eNA_PARSEDIRECTION>(-1), 0))
        << m_pclError->pszGetError();
    EXPECT_EQ(7, llRows);

    // Run as written, with and without a condition.
    const std::wstring written = L"SELECT id, v FROM qa WHERE v = 1";
    m_parsed.push_back(std::make_unique<StandinParsedQuery>(vxstandin::ParsedQuerySpec{.text = written}));
    CNADataAccess* pclWritten = NewQueryAccess();
    ASSERT_EQ(1, pclWritten->bExecuteQuery(&bHasResult, L"QW", m_parsed.back().get(), kAsWritten, nullptr));
    CNAStatement* pclAsWritten = NewStatement(pclWritten);
    CNACommand* pclPlain = NewCommand(pclWritten);
    ASSERT_EQ(1, pclAsWritten->bBuildQuerySELECT(pclPlain, 0, L"id", 1, nullptr)) << m_pclError->pszGetError();
    EXPECT_EQ("SELECT id, v FROM qa WHERE v = 1", Sent(pclPlain));
    // Its table cache not whole: counted through the query statement.
    ASSERT_EQ(nullptr, pclWritten->pclGetTableCacheNoRef()->pclGetFullCacheNoRef());
    llRows = -1;
    EXPECT_EQ(1, pclWritten->bHNbEnr(&llRows, 0x10, 0)) << m_pclError->pszGetError();
    EXPECT_EQ(3, llRows);
    CNACommand* pclWhere = NewCommand(pclWritten);
    ASSERT_EQ(1, pclWhere->bComplete(L"`id` > 2", static_cast<unsigned long>(-1)));
    CNACommand* pclRefused = NewCommand(pclWritten);
    m_pclError->Reset();
    EXPECT_EQ(0, pclAsWritten->bBuildQuerySELECT(pclRefused, 0, L"id", 1, pclWhere));
    EXPECT_EQ(kNoConditionOnQuery, m_pclError->nGetUserErrorCode());

    // Its own LIMIT.
    const std::wstring limited = L"SELECT * FROM qa LIMIT 3";
    CNADataAccess* pclLimited = NewQueryAccess(pclBlocks);
    ASSERT_EQ(1, pclLimited->bExecuteQuery(&bHasResult, L"QL", &Parsed(limited, {L"id", L"v"}), 0, nullptr));
    CNACommand* pclOwnLimit = NewCommand(pclLimited);
    llCount = 1;
    ASSERT_EQ(1, pclLimited->bBuildSelect(pclOwnLimit, NewStatement(pclLimited), L"id", 1, 0, &llCount));
    EXPECT_EQ("SELECT `qa`.`id`,`qa`.`v` FROM `qa` ORDER BY `qa`.`id` LIMIT 3", Sent(pclOwnLimit));

    // Writes a query source refuses: emptying it, and any write over a join.
    m_pclError->Reset();
    EXPECT_EQ(0, pclStatement->bBuildQueryDELETEALL(NewCommand(pclParsed), 0));
    EXPECT_EQ(kNotAvailable, m_pclError->nGetUserErrorCode());
    const std::wstring join = L"SELECT * FROM qa JOIN qa AS q2 ON qa.id = q2.id";
    vxstandin::ParsedQuerySpec spec{.text = join};
    spec.from = {{.name = L"qa", .position = Span(join, L"qa"), .description = m_pclTable},
                 {.name = L"q2", .position = Span(join, L"q2"), .description = m_pclTable}};
    spec.items = {{.item = L"id", .table = L"qa", .description = m_pclTable->pclNAGetItemNoRef(L"id", 0)}};
    m_parsed.push_back(std::make_unique<StandinParsedQuery>(spec));
    CNADataAccess* pclJoin = NewQueryAccess();
    ASSERT_EQ(1, pclJoin->bExecuteQuery(&bHasResult, L"QJ", m_parsed.back().get(), 0, nullptr))
        << m_pclError->pszGetError();
    EXPECT_EQ(1, pclJoin->bSourceIsQueryOnMultipleTables());
    EXPECT_EQ(0x80000000u, pclJoin->dwGetQueryMode() & 0x80000000u) << "JOIN found in a copy of the text";
    EXPECT_EQ(join, m_parsed.back()->pszGetRequete()) << "the text itself unchanged";
    m_pclError->Reset();
    EXPECT_EQ(0, NewStatement(pclJoin)->bBuildQueryUPDATE(NewCommand(pclJoin), 0));
    EXPECT_EQ(kNotAvailable, m_pclError->nGetUserErrorCode());
}

// The reads of a query source: the host's first read after an execution
// continues the executed statement; a read of a query sent as written by an
// item runs it and reads it a second time through the table cache it
// filled; a filter on a query sent as written is refused at the read.
TEST_F(DataAccessQuery, TheReadsOfAQuerySource)
{
    CNADataAccess* pclParsed = NewQueryAccess();
    int bHasResult = 0;
    ASSERT_EQ(1, pclParsed->bExecuteQuery(&bHasResult, L"QR", &Parsed(L"SELECT * FROM qa", {L"id", L"v"}), 0, nullptr));
    ASSERT_EQ(1, Read(pclParsed, L"id", NADirection::kNext));
    const unsigned nStatements = pclParsed->nGetStatementCount();
    ASSERT_EQ(1, pclParsed->bExecuteQuery(&bHasResult, L"QR", &Parsed(L"SELECT * FROM qa", {L"id", L"v"}), 0, nullptr));
    CNAStatement* pclExecuted = pclParsed->pclGetLastStatementNoRef();
    ASSERT_EQ(1, Read(pclParsed, L"id", NADirection::kFirst, NAParseFlag::kContinueLastQuery));
    EXPECT_EQ(pclExecuted, pclParsed->pclGetLastStatementNoRef());
    EXPECT_EQ(nStatements, pclParsed->nGetStatementCount());
    EXPECT_EQ((Ids{"1", "2", "3", "4", "5", "6", "7"}), Rest(pclParsed, L"id", L"id"));

    const std::wstring text = L"SELECT id, v FROM qa WHERE id > 2 ORDER BY id DESC";
    m_parsed.push_back(std::make_unique<StandinParsedQuery>(vxstandin::ParsedQuerySpec{.text = text}));
    CNADataAccess* pclWritten = NewQueryAccess();
    ASSERT_EQ(1, pclWritten->bExecuteQuery(&bHasResult, L"QS", m_parsed.back().get(), kAsWritten, nullptr));
    for (const wchar_t* pszItem : {L"v", L"id"}) {
        SCOPED_TRACE(Utf8(pszItem));
        m_pclError->Reset();
        ASSERT_EQ(1, Read(pclWritten, pszItem, NADirection::kFirst)) << m_pclError->pszGetError();
        CNATableCache* pclCache = pclWritten->pclGetTableCacheNoRef();
        ASSERT_NE(nullptr, pclCache);
        EXPECT_NE(nullptr, pclCache->pclGetFullCacheNoRef()) << "read again through the whole cache";
    }
    EXPECT_EQ((Ids{"3", "4", "5", "6", "7"}), Rest(pclWritten, L"id", L"id"));
    ASSERT_EQ(1, Read(pclWritten, L"v", NADirection::kLast));
    EXPECT_EQ("2", Value(pclWritten, L"v"));

    CAny low;
    low.SetI4(4);
    ASSERT_EQ(1, pclWritten->bHFiltre(L"id", &low, 1, nullptr, 0, nullptr)) << m_pclError->pszGetError();
    m_pclError->Reset();
    EXPECT_EQ(0, Read(pclWritten, L"id", NADirection::kFirst));
    EXPECT_EQ(35u, m_pclError->nGetUserErrorCode());
}

// A one-shot command's first value, read through the query statement,
// which is reset afterwards.
TEST_F(DataAccessQuery, TheValueOfAOneShotCommand)
{
    CNADataAccess* pclAccess = OpenTable("ov", "CREATE TABLE ov (id INT PRIMARY KEY)");
    CNACommand* pclCommand = NewCommand(pclAccess);
    ASSERT_EQ(1, pclCommand->bComplete(L"SELECT MAX(id) + 41 FROM qa", static_cast<unsigned long>(-1)));
    CAny value;
    m_pclError->Reset();
    ASSERT_EQ(1, pclAccess->_bGetRequestedValue(&value, pclCommand)) << m_pclError->pszGetError();
    EXPECT_EQ(L"48", vxtest::TextOf(value));
    CNAStatement* pclQuery = pclAccess->_pclFindStatement(L"");
    ASSERT_NE(nullptr, pclQuery);
    EXPECT_EQ(nullptr, pclQuery->pclGetCommandNoRef()) << "reset after the value";
    REF_Release(pclQuery);
}

}  // namespace
