// The MySQL statement's count of a query source by reading its rows
// unbuffered, on the run's private server: with rows, without rows, a
// query that fails on the server, a query killed while it streams (no short
// count), a text of several statements; the connection runs the next
// statement at once in every case. And the automatic identifier read back
// after an INSERT.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "mysql/mysql_statement_sql.h"
#include "native/access/data_access.h"
#include "native/model/column.h"
#include "native/model/data_source_description.h"
#include "native/model/record.h"
#include "tests/host/db/standin_parsed_query.h"
#include "tests/mysql/mysql_statement_on_server.h"

namespace {

using vxstandin::Span;

constexpr unsigned kQueryKilled = 1317;
constexpr unsigned kNoSuchTable = 1146;

class MySQLStatementCount : public vxtest::MySQLStatementFixture
{
protected:
    // A data access on the host's parse of "SELECT <items> FROM <table>"
    // (or the text given), run once (expected to succeed when bRuns), its
    // statement for counting.
    CNAStatement* QueryOn(const std::string& sTable, const std::vector<std::wstring>& items,
                          const std::wstring& sText = {}, bool bRuns = true)
    {
        CNADataSourceDescription* pclTable = Described(sTable);
        const std::wstring table = vxtest::FromUtf8(sTable);
        const std::wstring text = sText.empty() ? L"SELECT * FROM " + table : sText;
        vxstandin::ParsedQuerySpec spec{.text = text};
        spec.from = {{.name = table, .position = Span(text, table), .description = pclTable}};
        for (const std::wstring& item : items)
            spec.items.push_back({.item = item, .table = table, .description = pclTable->pclNAGetItemNoRef(item.c_str(), 0)});
        m_parsed.push_back(std::make_unique<StandinParsedQuery>(spec));
        CNADataAccess* pclAccess = Access(nullptr);
        int bHasResult = 0;
        m_pclError->Reset();
        const int bRan = pclAccess->bExecuteQuery(&bHasResult, L"Q", m_parsed.back().get(), 0, nullptr);
        if (bRuns)
            EXPECT_EQ(1, bRan) << m_pclError->pszGetError();
        EXPECT_EQ(1, pclAccess->bIsQuery());
        return NewMySQLStatement(pclAccess);
    }
    // The statement's count: its result, the count (-99 when unchanged).
    std::pair<int, long> Count(CNAStatement* pclStatement)
    {
        long nCount = -99;
        m_pclError->Reset();
        const int bDone = pclStatement->bGetNbEnr(&nCount, 0, 0);
        return {bDone, nCount};
    }
    // The execution statement is back to buffered results and holds none;
    // the connection runs the next statement.
    void ExpectReusable(CNAStatement* pclStatement)
    {
        auto* pclSQL = static_cast<CMySQLStatementSQL*>(pclStatement->pclGetStatementSQLNoRef());
        ASSERT_NE(nullptr, pclSQL);
        EXPECT_EQ(1, pclSQL->bGetStoreResult());
        EXPECT_EQ(0, pclSQL->bParseOpened());
        CMySQLStatementSQL* pclNext = vxtest::MySQLStatementTest::NewStatement(m_pclConnection);
        Run(pclNext, L"SELECT 42");
        EXPECT_EQ((std::vector<std::vector<std::wstring>>{{L"42"}}), ReadAll(pclNext));
    }

    std::vector<std::unique_ptr<StandinParsedQuery>> m_parsed;
};

TEST_F(MySQLStatementCount, RowsAreCountedByReading)
{
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE many (id INT PRIMARY KEY, v INT)")) << m_client.sError();
    ASSERT_TRUE(m_client.bExecute("INSERT INTO many SELECT seq, seq % 7 FROM seq_1_to_2500")) << m_client.sError();
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE none (id INT PRIMARY KEY, v INT)")) << m_client.sError();
    const struct
    {
        const char* pszTable;
        long nCount;
    } cases[] = {{"many", 2500}, {"none", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszTable);
        CNAStatement* pclStatement = QueryOn(c.pszTable, {L"id", L"v"});
        EXPECT_EQ(std::make_pair(1, c.nCount), Count(pclStatement)) << m_pclError->pszGetError();
        ExpectReusable(pclStatement);
        // Again on the same statement.
        EXPECT_EQ(std::make_pair(1, c.nCount), Count(pclStatement)) << m_pclError->pszGetError();
    }
}

TEST_F(MySQLStatementCount, AQueryFailingOnTheServerGivesNoCount)
{
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE gone (id INT PRIMARY KEY)")) << m_client.sError();
    CNAStatement* pclStatement = QueryOn("gone", {L"id"});
    ASSERT_TRUE(m_client.bExecute("DROP TABLE gone")) << m_client.sError();
    EXPECT_EQ(std::make_pair(0, -99L), Count(pclStatement));
    EXPECT_EQ(kNoSuchTable, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
    ExpectReusable(pclStatement);
}

// A KILL QUERY from another connection while the rows stream: the count
// fails with the server's error, never gives the rows read so far.
TEST_F(MySQLStatementCount, AQueryKilledWhileReadGivesNoShortCount)
{
    // Each row waits as long as the pace says: nothing while the host's
    // query first runs.
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE pace (d DOUBLE)")) << m_client.sError();
    ASSERT_TRUE(m_client.bExecute("INSERT INTO pace VALUES (0)")) << m_client.sError();
    ASSERT_TRUE(m_client.bExecute("CREATE VIEW slow AS SELECT seq AS id, SLEEP((SELECT d FROM pace)) AS s "
                                  "FROM seq_1_to_4000"))
        << m_client.sError();
    CNAStatement* pclStatement = QueryOn("slow", {L"id", L"s"});
    ASSERT_TRUE(m_client.bExecute("UPDATE pace SET d = 0.005")) << m_client.sError();
    std::atomic<bool> bKilled{false};
    std::thread killer([this, &bKilled] {
        vxtest::RawClient admin = vxtest::ConnectAsTestUser(m_db.Name());
        for (int n = 0; n < 400 && !bKilled; ++n) {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
            auto id = admin.Value("SELECT id FROM information_schema.processlist WHERE info LIKE 'SELECT%slow%' "
                                  "AND id <> CONNECTION_ID() AND time_ms > 200");
            if (id.has_value() && admin.bExecute("KILL QUERY " + *id))
                bKilled = true;
        }
    });
    const auto result = Count(pclStatement);
    const unsigned nCode = m_pclError->dwGetDataBaseErrorCode();
    killer.join();
    ASSERT_TRUE(bKilled) << "the query was never seen running";
    EXPECT_EQ(std::make_pair(0, -99L), result);
    EXPECT_EQ(kQueryKilled, nCode) << m_pclError->pszGetError();
    ExpectReusable(pclStatement);
}

// Two SELECTs and a further statement in the query's text: the first
// result's rows are counted, and the further results are taken so that the
// connection runs the next statement. (The browse's own read of such a text
// fails: its ORDER BY lands after the last statement.)
TEST_F(MySQLStatementCount, FurtherStatementsOfTheText)
{
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE two (id INT PRIMARY KEY)")) << m_client.sError();
    ASSERT_TRUE(m_client.bExecute("INSERT INTO two VALUES (1), (2), (3)")) << m_client.sError();
    CNAStatement* pclStatement =
        QueryOn("two", {L"id"}, L"SELECT * FROM two; SELECT id FROM two WHERE id > 1; DO 1", false);
    EXPECT_EQ(std::make_pair(1, 3L), Count(pclStatement)) << m_pclError->pszGetError();
    ExpectReusable(pclStatement);
}

class MySQLStatementInsert : public vxtest::MySQLStatementFixture
{
protected:
    // Inserts the row with v set through the data access's operation; the
    // record's id column afterwards as text.
    std::wstring Insert(CNADataAccess* pclAccess, const wchar_t* pszIdBefore)
    {
        CAny v = Int(5);
        EXPECT_EQ(1, Column(pclAccess, L"v")->bSetValue(&v, 0));
        CAny before = Int(std::stoi(pszIdBefore));
        EXPECT_EQ(1, Column(pclAccess, L"id")->bSetValue(&before, 0));
        m_pclError->Reset();
        EXPECT_EQ(1, pclAccess->_bOperation(NewMySQLStatement(pclAccess), NA_QUERY_INSERT, 0, nullptr))
            << m_pclError->pszGetError();
        CAny id;
        EXPECT_EQ(1, Column(pclAccess, L"id")->bGetCurrentValue(&id, 0));
        return vxtest::TextOf(id);
    }
};

TEST_F(MySQLStatementInsert, TheIdentifierTheServerGave)
{
    const struct
    {
        const char* pszName;
        const char* pszCreate;
        // The server numbers the row from this value on; null where the
        // table has no automatic identifier.
        const char* pszFrom;
    } cases[] = {
        {"int", "CREATE TABLE a4 (id INT AUTO_INCREMENT PRIMARY KEY, v INT) AUTO_INCREMENT=41", "41"},
        {"bigint", "CREATE TABLE a8 (id BIGINT AUTO_INCREMENT PRIMARY KEY, v INT) AUTO_INCREMENT=5000000000",
         "5000000000"},
        // Beyond the signed range: the client's unsigned value bit for bit.
        {"bigint unsigned",
         "CREATE TABLE au (id BIGINT UNSIGNED AUTO_INCREMENT PRIMARY KEY, v INT) "
         "AUTO_INCREMENT=9223372036854775810",
         "9223372036854775810"},
        // Without an automatic identifier nothing is read back.
        {"none", "CREATE TABLE nk (id INT PRIMARY KEY, v INT)", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        const std::string sCreate = c.pszCreate;
        const std::string sTable = sCreate.substr(13, 2);
        CNADataAccess* pclAccess = OpenTable(sTable, sCreate);
        const std::wstring sRead = Insert(pclAccess, L"7");
        EXPECT_EQ("1", m_client.Value("SELECT COUNT(*) FROM " + sTable).value_or("?"));
        if (c.pszFrom == nullptr) {
            EXPECT_EQ(L"7", sRead);
            continue;
        }
        // The identifier the server gave, read on the test's own connection:
        // a server that steps its numbering by more than 1 from an offset of
        // its own (a cluster's node) need not give the first value.
        const std::string sGiven = m_client.Value("SELECT id FROM " + sTable).value_or("?");
        const uint64_t nGiven = std::strtoull(sGiven.c_str(), nullptr, 10);
        EXPECT_GE(nGiven, std::strtoull(c.pszFrom, nullptr, 10)) << sGiven;
        EXPECT_EQ(std::to_wstring(static_cast<int64_t>(nGiven)), sRead) << "the server gave " << sGiven;
    }
}

}  // namespace
