// A transaction of the driver chosen as the victim of a deadlock on the
// run's private server, through both of the host's roads: the driver's
// transaction slots (statements on its registered connection), at the outer
// level and at an inner one (a savepoint), and the SQL functions'
// transaction slots (statements through execution statements). The commit
// fails with user error 84 naming the deadlock, nothing of the transaction
// is in the table (read through a raw client, which sees only what was
// committed), also what was written after the deadlock; the roll-back
// succeeds and the next transaction on the same connection commits. A lock
// wait time-out, which the server's default ends with the statement alone,
// leaves the transaction to commit. A failed statement that committed the
// transaction before it ran leaves none either: the commit fails with user
// error 85, which says the outcome is not known.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "mysql/client_api.h"
#include "mysql/mysql_connection.h"
#include "native/driver/driver_sql.h"
#include "native/driver/error_object.h"
#include "tests/mysql/mysql_statement_server.h"
#include "tests/native/driver/error_checks.h"

namespace {

constexpr unsigned kDeadlock = 1213;
constexpr unsigned kLockWaitTimeout = 1205;

class TransactionEnded : public vxtest::MySQLStatementOnServer
{
protected:
    void SetUp() override
    {
        MySQLStatementOnServer::SetUp();
        ASSERT_TRUE(m_client.bExecute("CREATE TABLE t (id INT PRIMARY KEY, v INT) ENGINE=InnoDB"))
            << m_client.sError();
        ASSERT_TRUE(m_client.bExecute("INSERT INTO t SELECT seq, 0 FROM seq_1_to_50")) << m_client.sError();
        m_host.emplace(std::wstring{}, vxtest::MariadbRoute::Socket, nullptr, m_db.Name());
        Host().SetConnectionName(L"the host's connection");
    }
    void TearDown() override
    {
        if (m_pclRegistered != nullptr)
            Driver()->nReleaseConnection(m_pclRegistered);
        m_pclRegistered = nullptr;
        MySQLStatementOnServer::TearDown();
    }

    StandinConnectionDescription& Host() { return m_host->Host(); }
    CNAError* Error() const { return Driver()->pclGetError(); }

    // A begin through the driver's slot; the first one finds the connection
    // the driver registered for the host's description.
    int Begin(const wchar_t* pszName)
    {
        const int bDone = m_piDriver->bTransactionBegin(&Host(), pszName);
        if (m_pclRegistered == nullptr)
            m_pclRegistered = Driver()->_pclFindConnection(&Host());
        EXPECT_NE(nullptr, m_pclRegistered);
        return bDone;
    }
    int Commit(const wchar_t* pszName) { return m_piDriver->bTransactionCommit(&Host(), pszName); }
    int RollBack(const wchar_t* pszName) { return m_piDriver->bTransactionRollBack(&Host(), pszName); }
    // A statement on that connection.
    int Run(const wchar_t* pszSQL)
    {
        Error()->Reset();
        return m_pclRegistered != nullptr ? m_pclRegistered->bExecuteQueryNoResult(Error(), pszSQL) : 0;
    }

    // The committed value of a row.
    std::string V(int nId)
    {
        return m_client.Value("SELECT v FROM t WHERE id = " + std::to_string(nId)).value_or("(failed)");
    }

    // A cycle of row locks with a raw client's transaction that changes 42
    // rows and so outweighs the driver's: the raw client holds row 2 and
    // rows 10 to 50 and asks for row 1, which the driver's transaction has
    // written (rows 3 to 9 are left to the driver); the driver asks for row
    // 2 through fnAsk. Whichever asks first waits for the other; the server
    // breaks the cycle by rolling back the lighter transaction, the
    // driver's, whose request fails. The raw client's transaction is rolled
    // back afterwards. fnAsk's result.
    template <typename Fn>
    int Deadlock(Fn fnAsk)
    {
        vxtest::RawClient heavy = vxtest::ConnectAsTestUser(m_db.Name());
        EXPECT_TRUE(heavy.bExecute("BEGIN")) << heavy.sError();
        EXPECT_TRUE(heavy.bExecute("UPDATE t SET v = -1 WHERE id = 2 OR id >= 10")) << heavy.sError();
        bool bHeavyGotRow1 = false;
        std::thread asker([&] { bHeavyGotRow1 = heavy.bExecute("UPDATE t SET v = -1 WHERE id = 1"); });
        const int bAsked = fnAsk();
        asker.join();
        EXPECT_TRUE(bHeavyGotRow1) << "the raw client's transaction was the victim: " << heavy.sError();
        EXPECT_TRUE(heavy.bExecute("ROLLBACK")) << heavy.sError();
        return bAsked;
    }

    // The SQL functions' connection to the host's description: its number,
    // 0 when it did not open.
    int OpenSQLConnection()
    {
        int nConnection = 0;
        EXPECT_EQ(1, SQL()->bOpenConnection(&nConnection, &Host())) << SQLError()->pszGetError();
        return nConnection;
    }
    CNADriverSQL* SQL() const { return Driver()->pclGetDriverSQL(); }
    CNAError* SQLError() const { return static_cast<CNAError*>(SQL()->piGetLastError()); }
    // A statement through an execution statement of the SQL functions; one
    // without columns is not kept.
    int Exec(int nConnection, const wchar_t* pszSQL)
    {
        int nStatement = 0;
        const int bDone = SQL()->bExecute(&nStatement, nConnection, pszSQL, nullptr, 0);
        EXPECT_EQ(0, nStatement);
        return bDone;
    }

    std::optional<vxtest::ServerHost> m_host;
    CNAConnectionDescription* m_pclRegistered = nullptr;
};

TEST_F(TransactionEnded, TheCommitOfAnyLevelFailsAndNothingOfTheTransactionStays)
{
    const struct
    {
        const char* pszWhat;
        // The levels begun, from the outermost, and the row each writes.
        std::vector<std::pair<const wchar_t*, int>> levels;
    } cases[] = {
        {"at the outer level", {{L"T", 1}}},
        {"inside an inner level, a savepoint", {{L"Outer", 1}, {L"Inner", 3}}},
    };
    const auto write = [&](int nRow, int nValue) {
        return Run((L"UPDATE t SET v = " + std::to_wstring(nValue) + L" WHERE id = " + std::to_wstring(nRow)).c_str());
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        ASSERT_TRUE(m_client.bExecute("UPDATE t SET v = 0")) << m_client.sError();
        for (const auto& [pszName, nRow] : c.levels) {
            ASSERT_EQ(1, Begin(pszName)) << Error()->pszGetError();
            ASSERT_EQ(1, write(nRow, 1)) << Error()->pszGetError();
        }
        EXPECT_EQ(0, Deadlock([&] { return write(2, 1); }));
        EXPECT_EQ(kDeadlock, Error()->dwGetDataBaseErrorCode()) << Error()->pszGetError();
        // What the host writes after the failure stays out of the table
        // until the transaction ends, and goes with it.
        ASSERT_EQ(1, write(4, 1)) << Error()->pszGetError();
        EXPECT_EQ("0", V(4));

        // Each level's commit, from the innermost, is refused in turn.
        for (auto it = c.levels.rbegin(); it != c.levels.rend(); ++it) {
            EXPECT_EQ(0, Commit(it->first));
            EXPECT_TRUE(vxtest::ErrorAt(*Error(), 84, L"2.3"));
            EXPECT_EQ(NA_ERR_GENERAL, Error()->eGetErrorType());
            EXPECT_EQ(kDeadlock, Error()->dwGetDataBaseErrorCode());
            EXPECT_TRUE(vxtest::ErrorHas(*Error(), L"Deadlock found"));
            for (const int nRow : {1, 3, 4})
                EXPECT_EQ("0", V(nRow)) << nRow;
        }
        // Every level ended with them.
        EXPECT_EQ(0, m_pclRegistered->_bTransactionOpened());
        EXPECT_EQ(1, RollBack(c.levels.front().first)) << Error()->pszGetError();
        EXPECT_EQ(NA_ERR_NONE, Error()->eGetErrorType());

        // The next transaction on the connection commits.
        for (const auto& [pszName, nRow] : c.levels) {
            ASSERT_EQ(1, Begin(pszName)) << Error()->pszGetError();
            ASSERT_EQ(1, write(nRow, 7)) << Error()->pszGetError();
        }
        for (auto it = c.levels.rbegin(); it != c.levels.rend(); ++it)
            EXPECT_EQ(1, Commit(it->first)) << Error()->pszGetError();
        for (const auto& [pszName, nRow] : c.levels)
            EXPECT_EQ("7", V(nRow)) << nRow;
    }
}

TEST_F(TransactionEnded, TheSQLFunctionsCommitFailsToo)
{
    CNADriverSQL* pclSQL = SQL();
    CNAError* pclError = SQLError();
    const int nConnection = OpenSQLConnection();
    ASSERT_NE(0, nConnection);
    ASSERT_EQ(1, pclSQL->bTrsBegin(nullptr, nConnection, 0)) << pclError->pszGetError();
    ASSERT_EQ(1, Exec(nConnection, L"UPDATE t SET v = 1 WHERE id = 1")) << pclError->pszGetError();

    EXPECT_EQ(0, Deadlock([&] { return Exec(nConnection, L"UPDATE t SET v = 1 WHERE id = 2"); }));
    EXPECT_EQ(kDeadlock, pclError->dwGetDataBaseErrorCode()) << pclError->pszGetError();

    EXPECT_EQ(0, pclSQL->bTrsCommit(0, nConnection, 0));
    EXPECT_TRUE(vxtest::ErrorAt(*pclError, 84, L"2.3"));
    EXPECT_EQ(kDeadlock, pclError->dwGetDataBaseErrorCode());
    EXPECT_EQ("0", V(1));
    EXPECT_EQ(1, pclSQL->bTrsRollBack(0, nConnection, 0)) << pclError->pszGetError();
    EXPECT_EQ(NA_ERR_NONE, pclError->eGetErrorType());

    ASSERT_EQ(1, pclSQL->bTrsBegin(nullptr, nConnection, 0)) << pclError->pszGetError();
    ASSERT_EQ(1, Exec(nConnection, L"UPDATE t SET v = 9 WHERE id = 1")) << pclError->pszGetError();
    EXPECT_EQ(1, pclSQL->bTrsCommit(0, nConnection, 0)) << pclError->pszGetError();
    EXPECT_EQ("9", V(1));
    EXPECT_EQ(1, pclSQL->bCloseConnection(nConnection));
}

// A cluster node that ends the transaction and keeps the session: the
// procedure rolls back, then refuses the statement as a node without quorum
// does (1047), whose state the driver does not ask. The driver rolls back
// and begins a transaction of the server's for what the host writes next,
// which then goes with the refused commit instead of committing on its own.
TEST_F(TransactionEnded, ANodeThatEndsTheTransactionAndKeepsTheSessionCommitsNothingOfIt)
{
    ASSERT_TRUE(m_client.bExecute("CREATE PROCEDURE node_without_quorum() BEGIN ROLLBACK; "
                                  "SIGNAL SQLSTATE '08S01' SET MYSQL_ERRNO = 1047, "
                                  "MESSAGE_TEXT = 'node not ready (test)'; END"))
        << m_client.sError();
    CNADriverSQL* pclSQL = SQL();
    CNAError* pclError = SQLError();
    const int nConnection = OpenSQLConnection();
    ASSERT_NE(0, nConnection);
    ASSERT_EQ(1, pclSQL->bTrsBegin(nullptr, nConnection, 0)) << pclError->pszGetError();
    ASSERT_EQ(1, Exec(nConnection, L"UPDATE t SET v = 1 WHERE id = 1")) << pclError->pszGetError();
    EXPECT_EQ(0, Exec(nConnection, L"CALL node_without_quorum()"));
    EXPECT_EQ(1047u, pclError->dwGetDataBaseErrorCode()) << pclError->pszGetError();
    ASSERT_EQ(1, Exec(nConnection, L"UPDATE t SET v = 1 WHERE id = 3")) << pclError->pszGetError();
    EXPECT_EQ("0", V(3)) << "held by the server's new transaction";

    EXPECT_EQ(0, pclSQL->bTrsCommit(0, nConnection, 0));
    EXPECT_TRUE(vxtest::ErrorAt(*pclError, 84, L"2.3"));
    EXPECT_EQ(1047u, pclError->dwGetDataBaseErrorCode());
    EXPECT_TRUE(vxtest::ErrorHas(*pclError, L"node not ready (test)"));
    EXPECT_EQ("0", V(1));
    EXPECT_EQ("0", V(3));
    EXPECT_EQ(1, pclSQL->bTrsRollBack(0, nConnection, 0)) << pclError->pszGetError();
    ASSERT_EQ(1, Exec(nConnection, L"UPDATE t SET v = 9 WHERE id = 3")) << pclError->pszGetError();
    EXPECT_EQ("9", V(3)) << "autocommit again once the transaction ended";
    EXPECT_EQ(1, pclSQL->bCloseConnection(nConnection));
}

// The server's default rolls back the statement alone on a lock wait
// time-out: the transaction goes on and commits.
TEST_F(TransactionEnded, ALockWaitTimeOutLeavesTheTransactionWhereTheServerKeepsIt)
{
    ASSERT_EQ(std::optional<std::string>("0"), m_client.Value("SELECT @@innodb_rollback_on_timeout"));
    ASSERT_EQ(1, Begin(L"T")) << Error()->pszGetError();
    ASSERT_EQ(1, Run(L"SET SESSION innodb_lock_wait_timeout = 1")) << Error()->pszGetError();
    ASSERT_EQ(1, Run(L"UPDATE t SET v = 1 WHERE id = 1")) << Error()->pszGetError();
    vxtest::RawClient holder = vxtest::ConnectAsTestUser(m_db.Name());
    ASSERT_TRUE(holder.bExecute("BEGIN")) << holder.sError();
    ASSERT_TRUE(holder.bExecute("UPDATE t SET v = -1 WHERE id = 2")) << holder.sError();

    EXPECT_EQ(0, Run(L"UPDATE t SET v = 1 WHERE id = 2"));
    EXPECT_EQ(kLockWaitTimeout, Error()->dwGetDataBaseErrorCode()) << Error()->pszGetError();
    EXPECT_TRUE(holder.bExecute("ROLLBACK")) << holder.sError();
    ASSERT_EQ(1, Run(L"UPDATE t SET v = 1 WHERE id = 2")) << Error()->pszGetError();
    EXPECT_EQ(1, Commit(L"T")) << Error()->pszGetError();
    EXPECT_EQ("1", V(1));
    EXPECT_EQ("1", V(2));
}

// Debian's library gives the server status, which the connection reads
// after a statement of its own: the probe answers whether the server holds
// a transaction now.
TEST_F(TransactionEnded, DebiansLibraryTellsWhetherTheServerHoldsATransaction)
{
    class CProbed : public CMySQLConnection
    {
    public:
        using CMySQLConnection::CMySQLConnection;
        int _nServerHoldsTransaction()
        {
            unsigned nCode = 0;
            CTString csMessage;
            return CMySQLConnection::_nServerHoldsTransaction(&nCode, &csMessage);
        }
    };
    CProbed connection(L"probe", &Host());
    CNAError error;
    ASSERT_EQ(1, connection.bOpen(&error)) << error.pszGetError();
    EXPECT_NE(&DefaultError_mariadb_get_infov, __mariadb_get_infov);
    EXPECT_EQ(0, connection._nServerHoldsTransaction());
    ASSERT_EQ(1, connection.bExecuteQueryNoResult(&error, L"BEGIN")) << error.pszGetError();
    EXPECT_EQ(1, connection._nServerHoldsTransaction());
    ASSERT_EQ(1, connection.bExecuteQueryNoResult(&error, L"ROLLBACK")) << error.pszGetError();
    EXPECT_EQ(0, connection._nServerHoldsTransaction());
}

// CREATE TABLE commits the open transaction before it finds the table
// exists: the server holds none afterwards, and the error (1050) does not
// say how it ended.
TEST_F(TransactionEnded, AFailedStatementThatCommitsFirstEndsTheTransactionUncertainly)
{
    ASSERT_EQ(1, Begin(L"T")) << Error()->pszGetError();
    ASSERT_EQ(1, Run(L"UPDATE t SET v = 1 WHERE id = 1")) << Error()->pszGetError();
    EXPECT_EQ(0, Run(L"CREATE TABLE t (id INT)"));
    EXPECT_EQ(1050u, Error()->dwGetDataBaseErrorCode()) << Error()->pszGetError();
    EXPECT_EQ("1", V(1)) << "committed by the failed statement";
    ASSERT_EQ(1, Run(L"UPDATE t SET v = 1 WHERE id = 2")) << Error()->pszGetError();

    EXPECT_EQ(0, Commit(L"T"));
    EXPECT_TRUE(vxtest::ErrorAt(*Error(), 85, L"2.4"));
    EXPECT_EQ(1050u, Error()->dwGetDataBaseErrorCode());
    EXPECT_EQ("0", V(2)) << "what followed went with the refused commit";
    EXPECT_EQ(1, RollBack(L"T")) << Error()->pszGetError();
}

}  // namespace
