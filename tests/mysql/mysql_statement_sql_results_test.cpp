// The MySQL execution statement's results over the fake client library,
// whose scripts give several statements per text: the first result set of a
// text is kept and the others freed, statements without result set at its
// head are passed over, the error of a later statement fails the execution
// (in either loop), an unbuffered result and the further results it leaves
// are taken by the close, rows are fetched, positioned and ended, a row
// without lengths is no current row, and the end of a buffered result is
// never taken from the handle's last error.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/mysql/mysql_statement_fakes.h"

namespace {

using vxtest::bDumpHas;
using vxtest::FakeColumn;
using vxtest::FakeFailure;
using vxtest::FakeNoResult;
using vxtest::FakeResultSet;
using vxtest::SiteLine;

class MySQLStatementResults : public vxtest::MySQLStatementOverFake
{
protected:
    static stFakeStatement Numbers(const std::string& sColumn, std::vector<std::string> values)
    {
        std::vector<FakeRow> rows;
        for (const std::string& s : values)
            rows.push_back({s});
        return FakeResultSet({FakeColumn(sColumn, 3, 11)}, rows);
    }
};

using Rows = std::vector<std::vector<std::wstring>>;

TEST_F(MySQLStatementResults, TheFirstResultSetOfATextIsKept)
{
    Fake().scripts = {
        {"UPDATE t SET a = 1; SELECT a FROM t", {FakeNoResult(2), Numbers("a", {"1", "2"})}},
        {"SELECT 1; SELECT 2", {Numbers("one", {"1"}), Numbers("two", {"2"})}},
        {"INSERT INTO t VALUES (1)", {FakeNoResult(1)}},
    };
    CMySQLStatementSQL* pclStatement = OpenStatement();

    ASSERT_EQ(1, pclStatement->bExecuteDirect(L"UPDATE t SET a = 1; SELECT a FROM t", nullptr, 0))
        << m_pclError->pszGetError();
    EXPECT_EQ(2, pclStatement->nGetRowCount());
    EXPECT_STREQ(L"a", pclStatement->_pszGetColumnName(0));
    EXPECT_EQ((Rows{{L"1"}, {L"2"}}), ReadAll(pclStatement));

    ASSERT_EQ(1, pclStatement->bExecuteDirect(L"SELECT 1; SELECT 2", nullptr, 0)) << m_pclError->pszGetError();
    EXPECT_EQ(1, State().nLiveResults) << "the second result set is read and freed at once";
    EXPECT_STREQ(L"one", pclStatement->_pszGetColumnName(0));
    EXPECT_EQ((Rows{{L"1"}}), ReadAll(pclStatement));

    // A statement without result set: open, no columns, no rows.
    ASSERT_EQ(1, pclStatement->bExecuteDirect(L"INSERT INTO t VALUES (1)", nullptr, 0));
    EXPECT_EQ(1, pclStatement->bParseOpened());
    EXPECT_EQ(0, pclStatement->nGetRowCount());
    int nColumns = -1;
    pclStatement->bGetColumnNbr(&nColumns, 0);
    EXPECT_EQ(0, nColumns);
    unsigned long nAffected = 0;
    ASSERT_EQ(1, pclStatement->bGetAffected_rows(&nAffected));
    EXPECT_EQ(1u, nAffected);
    EXPECT_EQ(NA_ERR_NONE, m_pclError->eGetErrorType()) << m_pclError->pszGetError();
}

TEST_F(MySQLStatementResults, ALaterStatementsErrorFailsTheExecution)
{
    const struct
    {
        const char* pszText;
        std::vector<stFakeStatement> statements;
        int nSite;
    } aCases[] = {
        // Without a result set before it: the walk over the head of the text.
        {"INSERT 1; INSERT 2; INSERT 3", {FakeNoResult(1), FakeFailure(1062), FakeNoResult(1)}, 21},
        // After the kept result set: the walk over the further results.
        {"SELECT 1; INSERT 2", {Numbers("a", {"1"}), FakeFailure(1062)}, 19},
    };
    Fake();
    for (const auto& c : aCases)
        State().scripts[c.pszText] = c.statements;
    CMySQLStatementSQL* pclStatement = OpenStatement();
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszText);
        m_pclError->Reset();
        EXPECT_EQ(0, pclStatement->bExecuteDirect(vxtest::Wide(c.pszText).c_str(), nullptr, 0));
        EXPECT_EQ(22u, m_pclError->dwGetErrorId()) << m_pclError->pszGetError();
        EXPECT_EQ(1062u, m_pclError->dwGetDataBaseErrorCode());
        EXPECT_TRUE(bDumpHas(*m_pclError, SiteLine(100, c.nSite))) << m_pclError->pszGetError();
    }
    pclStatement->bReset();
    EXPECT_EQ(0, State().nLiveResults);
}

TEST_F(MySQLStatementResults, OneResultPerTextWithoutSeveralResultSets)
{
    // A client without mysql_next_result: the connection asks for no
    // multiple statements, and the first statement's answer is the text's.
    Fake("no_next_result").scripts = {{"UPDATE t SET a = 1; SELECT a FROM t", {FakeNoResult(2), Numbers("a", {"1"})}}};
    CMySQLStatementSQL* pclStatement = OpenStatement();
    ASSERT_EQ(1, pclStatement->bExecuteDirect(L"UPDATE t SET a = 1; SELECT a FROM t", nullptr, 0));
    int nColumns = -1;
    pclStatement->bGetColumnNbr(&nColumns, 0);
    EXPECT_EQ(0, nColumns);
    EXPECT_EQ(0, pclStatement->nGetRowCount());
}

TEST_F(MySQLStatementResults, TheCloseTakesWhatAnUnbufferedExecutionLeft)
{
    Fake().scripts = {
        {"SELECT 1; SELECT 2", {Numbers("one", {"1", "11"}), Numbers("two", {"2"})}},
        {"UPDATE t SET a = 1; SELECT a FROM t", {FakeNoResult(1), Numbers("a", {"1"})}},
        {"SELECT 1; INSERT 2", {Numbers("one", {"1"}), FakeFailure(1062)}},
    };
    CMySQLStatementSQL* pclStatement = OpenStatement();
    pclStatement->SetStoreResult(0);

    ASSERT_EQ(1, pclStatement->bExecuteDirect(L"SELECT 1; SELECT 2", nullptr, 0));
    EXPECT_EQ(-1, pclStatement->nGetRowCount());
    EXPECT_EQ(1, pclStatement->bUnbufferedPending());
    // Fewer than one row known: the fetch leaves the rows to __pFetchRow.
    EXPECT_EQ(1, pclStatement->bFetch(0));
    EXPECT_FALSE(pclStatement->bHasCurrentRow());
    ASSERT_NE(nullptr, pclStatement->__pFetchRow());
    EXPECT_EQ(1, State().nLiveResults);
    // One row left unread and one result behind it: both taken.
    const int nNextBefore = State().calls["mysql_next_result"];
    EXPECT_EQ(1, pclStatement->_bCloseParse());
    EXPECT_EQ(0, State().nLiveResults);
    EXPECT_EQ(nNextBefore + 2, State().calls["mysql_next_result"]) << "one further result, then the end";

    // The text's first statement gives no result set: its followers wait too.
    ASSERT_EQ(1, pclStatement->bExecuteDirect(L"UPDATE t SET a = 1; SELECT a FROM t", nullptr, 0));
    int nColumns = -1;
    pclStatement->bGetColumnNbr(&nColumns, 0);
    EXPECT_EQ(0, nColumns);
    const int nStoresBefore = State().calls["mysql_store_result"];
    EXPECT_EQ(1, pclStatement->_bCloseParse());
    EXPECT_EQ(nStoresBefore + 1, State().calls["mysql_store_result"]);
    EXPECT_EQ(0, State().nLiveResults);

    // A later statement's error found by the close fails the close.
    m_pclError->Reset();
    ASSERT_EQ(1, pclStatement->bExecuteDirect(L"SELECT 1; INSERT 2", nullptr, 0));
    EXPECT_EQ(0, pclStatement->_bCloseParse());
    EXPECT_EQ(1062u, m_pclError->dwGetDataBaseErrorCode());
    EXPECT_TRUE(bDumpHas(*m_pclError, SiteLine(100, 28))) << m_pclError->pszGetError();
    pclStatement->SetStoreResult(1);
}

TEST_F(MySQLStatementResults, RowsAreFetchedPositionedAndEnded)
{
    Fake().scripts = {
        {"SELECT a FROM t", {Numbers("a", {"10", "20", "30"})}},
        {"SELECT a FROM empty", {Numbers("a", {})}},
    };
    CMySQLStatementSQL* pclStatement = OpenStatement();
    ASSERT_EQ(1, pclStatement->bExecuteDirect(L"SELECT a FROM t", nullptr, 0));
    EXPECT_EQ(L"(failed)", Value(pclStatement, 0)) << "no value before the first fetch";
    ASSERT_EQ(1, pclStatement->bFetch(0));
    ASSERT_EQ(1, pclStatement->bFetch(0));
    EXPECT_EQ(1, pclStatement->nGetCurrentRow());
    EXPECT_EQ(L"20", Value(pclStatement, 0));

    ASSERT_EQ(1, pclStatement->bDataSeek(0));
    EXPECT_EQ(-1, pclStatement->nGetCurrentRow());
    EXPECT_EQ(L"(failed)", Value(pclStatement, 0)) << "no value until the fetch after a seek";
    ASSERT_EQ(1, pclStatement->bFetch(0));
    EXPECT_EQ(0, pclStatement->nGetCurrentRow());
    EXPECT_EQ(L"10", Value(pclStatement, 0));
    ASSERT_EQ(1, pclStatement->bDataSeek(2));
    ASSERT_EQ(1, pclStatement->bFetch(0));
    EXPECT_EQ(L"30", Value(pclStatement, 0));
    // Past the last row: the end of data, no error.
    EXPECT_EQ(1, pclStatement->bFetch(0));
    EXPECT_FALSE(pclStatement->bHasCurrentRow());
    EXPECT_EQ(NA_ERR_NONE, m_pclError->eGetErrorType()) << m_pclError->pszGetError();

    // No rows: nothing fetched.
    ASSERT_EQ(1, pclStatement->bExecuteDirect(L"SELECT a FROM empty", nullptr, 0));
    const int nFetchesBefore = State().calls["mysql_fetch_row"];
    EXPECT_EQ(1, pclStatement->bFetch(0));
    EXPECT_FALSE(pclStatement->bHasCurrentRow());
    EXPECT_EQ(nFetchesBefore, State().calls["mysql_fetch_row"]);
}

TEST_F(MySQLStatementResults, ARowWithoutLengthsIsNoCurrentRow)
{
    Fake().scripts = {{"SELECT a FROM t", {Numbers("a", {"10", "20"})}}};
    CMySQLStatementSQL* pclStatement = OpenStatement();
    ASSERT_EQ(1, pclStatement->bExecuteDirect(L"SELECT a FROM t", nullptr, 0));
    State().nLengthsNullFromRow = State().nRowsFetched + 1;
    ASSERT_EQ(1, pclStatement->bFetch(0));
    EXPECT_EQ(L"10", Value(pclStatement, 0));
    EXPECT_EQ(0, pclStatement->bFetch(0));
    EXPECT_FALSE(pclStatement->bHasCurrentRow());
    EXPECT_EQ(L"(failed)", Value(pclStatement, 0)) << "never with the first row's lengths";
    unsigned char* pbyValue = nullptr;
    unsigned nLength = 0;
    EXPECT_EQ(0, pclStatement->bGetValue(&pbyValue, &nLength, 0));
    State().nLengthsNullFromRow = -1;
}

TEST_F(MySQLStatementResults, TheEndOfABufferedResultIsNotAnotherStatementsError)
{
    Fake().scripts = {{"SELECT a FROM t", {Numbers("a", {"10"})}}};
    State().queryErrors["INSERT INTO t VALUES (1)"] = 1062;
    CMySQLConnection* pclConnection = OpenConnection();
    CMySQLStatementSQL* pclBrowse = NewStatement(pclConnection);
    CMySQLStatementSQL* pclWrite = NewStatement(pclConnection);
    ASSERT_EQ(1, pclBrowse->bExecuteDirect(L"SELECT a FROM t", nullptr, 0));
    ASSERT_EQ(1, pclBrowse->bFetch(0));
    EXPECT_EQ(0, pclWrite->bExecuteDirect(L"INSERT INTO t VALUES (1)", nullptr, 0));
    m_pclError->Reset();
    // The handle's last error is the INSERT's duplicate key now.
    EXPECT_EQ(1, pclBrowse->bFetch(0));
    EXPECT_FALSE(pclBrowse->bHasCurrentRow());
    EXPECT_EQ(NA_ERR_NONE, m_pclError->eGetErrorType()) << m_pclError->pszGetError();
}

TEST_F(MySQLStatementResults, AFailedQueryRecordsTheClientsErrorAndTheQuery)
{
    Fake().queryErrors["SELECT nothing FROM nowhere"] = 1146;
    CMySQLStatementSQL* pclStatement = OpenStatement();
    EXPECT_EQ(0, pclStatement->bExecuteDirect(L"SELECT nothing FROM nowhere", nullptr, 0));
    EXPECT_EQ(22u, m_pclError->dwGetErrorId());
    EXPECT_EQ(1146u, m_pclError->dwGetDataBaseErrorCode());
    EXPECT_TRUE(bDumpHas(*m_pclError, SiteLine(100, 23)));
    EXPECT_TRUE(bDumpHas(*m_pclError, L"SELECT nothing FROM nowhere"));
    EXPECT_TRUE(bDumpHas(*m_pclError, L"<fakehost>, base par défaut : <db1>, utilisateur : <user>"))
        << m_pclError->pszGetError();
    EXPECT_EQ(0, pclStatement->bParseOpened());
}

TEST_F(MySQLStatementResults, AClosedConnectionRunsNothing)
{
    Fake();
    CMySQLConnection* pclConnection = OpenConnection();
    CMySQLStatementSQL* pclStatement = NewStatement(pclConnection);
    ASSERT_EQ(1, pclConnection->bClose(m_pclError));
    const size_t nQueries = State().queries.size();
    EXPECT_EQ(0, pclStatement->bExecuteDirect(L"SELECT 1", nullptr, 0));
    EXPECT_EQ(79u, m_pclError->dwGetErrorId());
    EXPECT_EQ(nQueries, State().queries.size());
}

}  // namespace
