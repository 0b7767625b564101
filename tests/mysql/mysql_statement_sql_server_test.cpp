// The MySQL execution statement on the run's private server, in a scratch
// database: texts of several statements (an UPDATE then a SELECT, two
// SELECTs, a failing later statement, a CALL of a procedure that returns
// rows), unbuffered reads of such texts followed by another statement,
// fetch, seek and affected rows, the end of data after a failed write on the
// same connection, statements whose result is ignored and the table lock on
// awkward names. Each text is followed by another statement on the same
// connection: a result left on the handle would make it fail with 2014.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/mysql/client_test_support.h"
#include "tests/mysql/mysql_statement_server.h"

namespace {

using vxtest::bDumpHas;
using vxtest::SiteLine;
using Cell = std::optional<std::string>;

class MySQLStatementServer : public vxtest::MySQLStatementOnServer
{
protected:
    void SetUp() override
    {
        vxtest::MySQLStatementOnServer::SetUp();
        ASSERT_TRUE(m_client.bExecute("CREATE TABLE t (id INT PRIMARY KEY, v VARCHAR(20))")) << m_client.sError();
        ASSERT_TRUE(m_client.bExecute("INSERT INTO t VALUES (1, 'one'), (2, 'two'), (3, 'three')"));
        m_pclConnection = OpenServerConnection(m_db.Name());
        m_pclStatement = NewStatement(m_pclConnection);
    }

    // The connection still runs statements: nothing was left on its handle.
    void ExpectInStep()
    {
        CMySQLStatementSQL* pclNext = NewStatement(m_pclConnection);
        m_pclError->Reset();
        ASSERT_EQ(1, pclNext->bExecuteDirect(L"SELECT COUNT(*) FROM t", nullptr, 0)) << m_pclError->pszGetError();
        ASSERT_EQ(1, pclNext->bFetch(0));
        EXPECT_NE(L"(failed)", Value(pclNext, 0));
        pclNext->bReset();
    }

    CMySQLConnection* m_pclConnection = nullptr;
    CMySQLStatementSQL* m_pclStatement = nullptr;
};

using Rows = std::vector<std::vector<std::wstring>>;

TEST_F(MySQLStatementServer, TextsOfSeveralStatements)
{
    ASSERT_TRUE(m_client.bExecute("CREATE PROCEDURE two_rows() BEGIN SELECT id FROM t WHERE id < 3 ORDER BY id; END"))
        << m_client.sError();

    Run(m_pclStatement, L"UPDATE t SET v = 'uno' WHERE id = 1; SELECT v FROM t WHERE id = 1");
    EXPECT_EQ((Rows{{L"uno"}}), ReadAll(m_pclStatement));
    ExpectInStep();

    Run(m_pclStatement, L"SELECT id FROM t WHERE id = 2; SELECT v FROM t");
    EXPECT_STREQ(L"id", m_pclStatement->_pszGetColumnName(0));
    EXPECT_EQ((Rows{{L"2"}}), ReadAll(m_pclStatement));
    ExpectInStep();

    // A procedure that returns rows answers a result set and then the
    // CALL's own status.
    Run(m_pclStatement, L"CALL two_rows()");
    EXPECT_EQ((Rows{{L"1"}, {L"2"}}), ReadAll(m_pclStatement));
    ExpectInStep();

    // The second INSERT fails: the execution fails with its error, and the
    // third never runs.
    m_pclError->Reset();
    EXPECT_EQ(0, m_pclStatement->bExecuteDirect(
                     L"INSERT INTO t VALUES (10, 'a'); INSERT INTO t VALUES (10, 'b'); INSERT INTO t VALUES (11, 'c')",
                     nullptr, 0));
    EXPECT_EQ(1062u, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
    EXPECT_TRUE(bDumpHas(*m_pclError, SiteLine(100, 21)));
    EXPECT_EQ(Cell("10"), m_client.Value("SELECT GROUP_CONCAT(id) FROM t WHERE id >= 10"));
    ExpectInStep();

    // The same after a result set.
    m_pclError->Reset();
    EXPECT_EQ(0, m_pclStatement->bExecuteDirect(L"SELECT id FROM t; INSERT INTO t VALUES (1, 'dup')", nullptr, 0));
    EXPECT_EQ(1062u, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
    EXPECT_TRUE(bDumpHas(*m_pclError, SiteLine(100, 19)));
    ExpectInStep();
}

TEST_F(MySQLStatementServer, UnbufferedReadsOfSeveralResultsThenAnotherStatement)
{
    ASSERT_TRUE(m_client.bExecute("CREATE PROCEDURE two_rows() BEGIN SELECT id FROM t WHERE id < 3 ORDER BY id; END"));
    const wchar_t* apszTexts[] = {
        L"SELECT id FROM t ORDER BY id; SELECT v FROM t",
        L"UPDATE t SET v = 'x' WHERE id = 3; SELECT id FROM t",
        L"CALL two_rows()",
    };
    m_pclStatement->SetStoreResult(0);
    for (const wchar_t* pszText : apszTexts) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(pszText)));
        Run(m_pclStatement, pszText);
        // Rows are read unbuffered only one by one, and here not to the end.
        if (m_pclStatement->bUnbufferedPending()) {
            EXPECT_NE(nullptr, m_pclStatement->__pFetchRow());
        }
        EXPECT_EQ(1, m_pclStatement->_bCloseParse()) << m_pclError->pszGetError();
        ExpectInStep();
    }
    m_pclStatement->SetStoreResult(1);
}

TEST_F(MySQLStatementServer, FetchSeekAndAffectedRows)
{
    Run(m_pclStatement, L"INSERT INTO t VALUES (4, 'four'), (5, 'five')");
    unsigned long nRows = 0;
    ASSERT_EQ(1, m_pclStatement->bGetAffected_rows(&nRows));
    EXPECT_EQ(2u, nRows) << "the count survives the look for further results";
    Run(m_pclStatement, L"UPDATE t SET v = v WHERE id <= 2");
    ASSERT_EQ(1, m_pclStatement->bGetAffected_rows(&nRows));
    EXPECT_EQ(2u, nRows) << "rows found, not only rows changed";

    Run(m_pclStatement, L"SELECT id, v FROM t ORDER BY id");
    EXPECT_EQ(5, m_pclStatement->nGetRowCount());
    ASSERT_EQ(1, m_pclStatement->bDataSeek(3));
    EXPECT_EQ((Rows{{L"4", L"four"}, {L"5", L"five"}}), ReadAll(m_pclStatement));
    ASSERT_EQ(1, m_pclStatement->bDataSeek(0));
    ASSERT_EQ(1, m_pclStatement->bFetch(0));
    EXPECT_EQ(0, m_pclStatement->nGetCurrentRow());
    EXPECT_EQ(L"one", Value(m_pclStatement, 1));
}

TEST_F(MySQLStatementServer, TheEndOfDataAfterAFailedWriteOnTheSameConnection)
{
    Run(m_pclStatement, L"SELECT id FROM t WHERE id = 1");
    ASSERT_EQ(1, m_pclStatement->bFetch(0));
    CMySQLStatementSQL* pclWrite = NewStatement(m_pclConnection);
    EXPECT_EQ(0, pclWrite->bExecuteDirect(L"INSERT INTO t VALUES (1, 'dup')", nullptr, 0));
    EXPECT_EQ(1062u, m_pclError->dwGetDataBaseErrorCode());
    m_pclError->Reset();
    EXPECT_EQ(1, m_pclStatement->bFetch(0)) << m_pclError->pszGetError();
    EXPECT_FALSE(m_pclStatement->bHasCurrentRow());
    EXPECT_EQ(NA_ERR_NONE, m_pclError->eGetErrorType()) << m_pclError->pszGetError();
}

TEST_F(MySQLStatementServer, StatementsWhoseResultIsIgnoredAndTheTableLock)
{
    EXPECT_EQ(1, m_pclConnection->bExecuteQueryIgnoreResult(m_pclError, L"SELECT id FROM t")) << m_pclError->pszGetError();
    ExpectInStep();
    EXPECT_EQ(1, m_pclConnection->bExecuteQueryIgnoreResult(m_pclError, L"DELETE FROM t WHERE id = 3"));
    EXPECT_EQ(Cell("2"), m_client.Value("SELECT COUNT(*) FROM t"));
    EXPECT_EQ(0, m_pclConnection->bExecuteQueryIgnoreResult(m_pclError, L"SELECT nothing FROM t"));
    EXPECT_EQ(1054u, m_pclError->dwGetDataBaseErrorCode());

    for (const char* pszName : {"my table", "select", "a`b"}) {
        SCOPED_TRACE(pszName);
        ASSERT_TRUE(m_client.bExecute("CREATE TABLE " + vxtest::QuoteIdentifier(pszName) + " (id INT)"));
        m_pclError->Reset();
        EXPECT_EQ(1, m_pclConnection->bSQLBloque(m_pclError, vxtest::FromUtf8(pszName).c_str()))
            << m_pclError->pszGetError();
        ExpectInStep();
    }
    EXPECT_EQ(0, m_pclConnection->bSQLBloque(m_pclError, L"missing table"));
    EXPECT_EQ(1146u, m_pclError->dwGetDataBaseErrorCode());
}

}  // namespace
