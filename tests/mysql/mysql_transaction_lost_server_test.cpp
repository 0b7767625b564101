// Transactions the server ends in ways the run's shared server must not be
// put through, on a server of the suite's own started with
// innodb_rollback_on_timeout: a lock wait time-out, which that server ends
// with the whole transaction, and the driver's connection killed inside a
// transaction, over the socket and over TCP. Each time the commit fails with
// user error 84 naming the server's error, never with a success, nothing of
// the transaction is in the table and the roll-back succeeds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>
#include <string>

#include "mysql/mysql_statement_sql.h"
#include "native/driver/driver_sql.h"
#include "native/driver/error_object.h"
#include "tests/mysql/mysql_connection_support.h"
#include "tests/mysql/own_server_fixture.h"
#include "tests/native/driver/error_checks.h"
#include "tests/support/mariadb_server.h"
#include "tests/support/raw_client.h"

namespace {

using vxtest::FromUtf8;
using vxtest::MariadbRoute;
using vxtest::RawClient;

constexpr unsigned kLockWaitTimeout = 1205;
constexpr unsigned kGoneAway = 2006;
constexpr unsigned kLostDuringQuery = 2013;

class TransactionLost : public vxtest::RollBackOnTimeoutServerFixture
{
protected:
    void SetUp() override
    {
        RollBackOnTimeoutServerFixture::SetUp();
        ASSERT_TRUE(m_own.bExecute("CREATE OR REPLACE TABLE t (id INT PRIMARY KEY, v INT) ENGINE=InnoDB"))
            << m_own.sError();
        ASSERT_TRUE(m_own.bExecute("INSERT INTO t SELECT seq, 0 FROM seq_1_to_5")) << m_own.sError();
    }

    CMySQLConnection* Connect(MariadbRoute route) { return OpenedConnectionTo(route); }
    // One statement through an execution statement of its own.
    int Run(CMySQLConnection* pclConnection, const wchar_t* pszSQL)
    {
        m_pclError->Reset();
        return NewStatement(pclConnection)->bExecuteDirect(pszSQL, nullptr, 0);
    }
    std::string V(int nId)
    {
        return m_own.Value("SELECT v FROM t WHERE id = " + std::to_string(nId)).value_or("(failed)");
    }
    // The refused commit, then the roll-back that succeeds.
    void ExpectCommitRefusedThenRollBack(CMySQLConnection* pclConnection, unsigned nCause)
    {
        m_pclError->Reset();
        EXPECT_EQ(0, pclConnection->bTransactionCommit(m_pclError, L"T"));
        EXPECT_TRUE(vxtest::ErrorAt(*m_pclError, 84, L"2.3"));
        EXPECT_EQ(nCause, m_pclError->dwGetDataBaseErrorCode());
        EXPECT_EQ(0, pclConnection->_bTransactionOpened());
        EXPECT_EQ("0", V(1));
        m_pclError->Reset();
        EXPECT_EQ(1, pclConnection->bTransactionRollBack(m_pclError, L"T"));
        EXPECT_EQ(NA_ERR_NONE, m_pclError->eGetErrorType()) << m_pclError->pszGetError();
    }

    void Kill(const std::string& sId) { KillSession(m_admin, sId); }

};

TEST_F(TransactionLost, ALockWaitTimeOutEndsTheTransactionWhereTheServerRollsBackOnTimeOut)
{
    ASSERT_EQ(std::optional<std::string>("1"), m_own.Value("SELECT @@innodb_rollback_on_timeout"));
    CMySQLConnection* pclConnection = Connect(MariadbRoute::Socket);
    ASSERT_EQ(1, pclConnection->bTransactionBegin(m_pclError, L"T")) << m_pclError->pszGetError();
    ASSERT_EQ(1, Run(pclConnection, L"SET SESSION innodb_lock_wait_timeout = 1")) << m_pclError->pszGetError();
    ASSERT_EQ(1, Run(pclConnection, L"UPDATE t SET v = 1 WHERE id = 1")) << m_pclError->pszGetError();
    RawClient holder;
    ASSERT_TRUE(holder.bConnect(Server(), Server().user, MariadbRoute::Socket, Server().sDatabase));
    ASSERT_TRUE(holder.bExecute("BEGIN")) << holder.sError();
    ASSERT_TRUE(holder.bExecute("UPDATE t SET v = -1 WHERE id = 2")) << holder.sError();

    EXPECT_EQ(0, Run(pclConnection, L"UPDATE t SET v = 1 WHERE id = 2"));
    EXPECT_EQ(kLockWaitTimeout, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
    ASSERT_TRUE(holder.bExecute("ROLLBACK")) << holder.sError();
    ExpectCommitRefusedThenRollBack(pclConnection, kLockWaitTimeout);

    ASSERT_EQ(1, pclConnection->bTransactionBegin(m_pclError, L"T")) << m_pclError->pszGetError();
    ASSERT_EQ(1, Run(pclConnection, L"UPDATE t SET v = 5 WHERE id = 1")) << m_pclError->pszGetError();
    EXPECT_EQ(1, pclConnection->bTransactionCommit(m_pclError, L"T")) << m_pclError->pszGetError();
    EXPECT_EQ("5", V(1));
}

// Over the socket the statement after the kill cannot be sent (2006); over
// TCP it is sent and the reset comes as its answer (2013).
TEST_F(TransactionLost, AConnectionKilledInsideATransactionNeverCommitsIt)
{
    const struct
    {
        MariadbRoute route;
        unsigned nCause;
    } cases[] = {{MariadbRoute::Socket, kGoneAway}, {MariadbRoute::Tcp, kLostDuringQuery}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.route == MariadbRoute::Socket ? "socket" : "TCP");
        ASSERT_TRUE(m_own.bExecute("UPDATE t SET v = 0")) << m_own.sError();
        CMySQLConnection* pclConnection = Connect(c.route);
        const auto session = vxtest::QueryOnHandle(*pclConnection, "SELECT CONNECTION_ID()");
        ASSERT_TRUE(session.has_value() && session->size() == 1 && (*session)[0][0].has_value());
        ASSERT_EQ(1, pclConnection->bTransactionBegin(m_pclError, L"T")) << m_pclError->pszGetError();
        ASSERT_EQ(1, Run(pclConnection, L"UPDATE t SET v = 1 WHERE id = 1")) << m_pclError->pszGetError();
        Kill(*(*session)[0][0]);

        EXPECT_EQ(0, Run(pclConnection, L"UPDATE t SET v = 1 WHERE id = 3"));
        EXPECT_EQ(c.nCause, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
        ExpectCommitRefusedThenRollBack(pclConnection, c.nCause);
        EXPECT_EQ("0", V(3));
    }
}

// A transaction the host began in its SQL text, through the SQL functions'
// connection and execution statements, is none of the driver's levels. When
// its session is killed, the statement that meets the loss fails; then no
// new session runs what follows as if the transaction went on: its COMMIT,
// any other statement, the slots' commit and begin fail with user error 93
// until the host rolls back, by its ROLLBACK text or the slot. The
// connection then opens a new session and serves again, and nothing of the
// transaction is in the table.
TEST_F(TransactionLost, ATransactionBegunInSQLTextIsNeverReplacedSilentlyWithItsSession)
{
    const struct
    {
        const char* pszWhat;
        MariadbRoute route;
        const wchar_t* pszBegin;
        // The host's roll-back: its text, or the slot when null.
        const wchar_t* pszRollBack;
    } cases[] = {
        {"START TRANSACTION over the socket", MariadbRoute::Socket, L"START TRANSACTION", L"ROLLBACK"},
        {"BEGIN over TCP, the slot's roll-back", MariadbRoute::Tcp, L"BEGIN", nullptr},
        {"autocommit off over the socket", MariadbRoute::Socket, L"SET autocommit = 0", L" rollback work ; "},
        {"autocommit off over TCP, the slot's roll-back", MariadbRoute::Tcp, L"SET autocommit = 0", nullptr},
    };
    CNADriverSQL* pclSQL = Driver()->pclGetDriverSQL();
    ASSERT_NE(nullptr, pclSQL);
    CNAError* pclError = static_cast<CNAError*>(pclSQL->piGetLastError());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        ASSERT_TRUE(m_own.bExecute("UPDATE t SET v = 0")) << m_own.sError();
        vxtest::ServerHost host(Server(), {}, c.route);
        int nConnection = 0;
        ASSERT_EQ(1, pclSQL->bOpenConnection(&nConnection, &host.Host())) << pclError->pszGetError();
        const auto exec = [&](const wchar_t* pszSQL) {
            int nStatement = 0;
            const int bDone = pclSQL->bExecute(&nStatement, nConnection, pszSQL, nullptr, 0);
            EXPECT_EQ(0, nStatement);
            return bDone;
        };
        ASSERT_EQ(1, exec(c.pszBegin)) << pclError->pszGetError();
        ASSERT_EQ(1, exec(L"UPDATE t SET v = 1 WHERE id = 1")) << pclError->pszGetError();
        CNAConnectionDescription* pclConnection = Driver()->pclGetConnectionByID(nConnection);
        ASSERT_NE(nullptr, pclConnection);
        const auto session =
            vxtest::QueryOnHandle(*static_cast<CMySQLConnection*>(pclConnection), "SELECT CONNECTION_ID()");
        Driver()->nReleaseConnection(pclConnection);
        ASSERT_TRUE(session.has_value() && session->size() == 1 && (*session)[0][0].has_value());
        Kill(*(*session)[0][0]);

        EXPECT_EQ(0, exec(L"UPDATE t SET v = 1 WHERE id = 2"));
        const unsigned nCause = pclError->dwGetDataBaseErrorCode();
        EXPECT_TRUE(nCause == kGoneAway || nCause == kLostDuringQuery) << pclError->pszGetError();
        for (const wchar_t* pszLater : {L"COMMIT", L"UPDATE t SET v = 1 WHERE id = 3", L"ROLLBACK TO SAVEPOINT s"}) {
            SCOPED_TRACE(testing::Message() << pszLater);
            EXPECT_EQ(0, exec(pszLater));
            EXPECT_TRUE(vxtest::ErrorAt(*pclError, 93, L"100.32"));
            EXPECT_EQ(nCause, pclError->dwGetDataBaseErrorCode());
        }
        EXPECT_EQ(0, pclSQL->bTrsCommit(0, nConnection, 0));
        EXPECT_TRUE(vxtest::ErrorAt(*pclError, 93, L"1.21"));
        EXPECT_EQ(0, pclSQL->bTrsBegin(nullptr, nConnection, 0));
        EXPECT_TRUE(vxtest::ErrorAt(*pclError, 93, L"101.54"));
        for (const int nId : {1, 2, 3})
            EXPECT_EQ("0", V(nId)) << nId;

        if (c.pszRollBack != nullptr)
            EXPECT_EQ(1, exec(c.pszRollBack)) << pclError->pszGetError();
        else
            EXPECT_EQ(1, pclSQL->bTrsRollBack(0, nConnection, 0)) << pclError->pszGetError();
        EXPECT_EQ(1, exec(L"UPDATE t SET v = 5 WHERE id = 3")) << pclError->pszGetError();
        EXPECT_EQ("5", V(3)) << "committed on the new session, which autocommits";
        EXPECT_EQ("0", V(1));
        EXPECT_EQ(1, pclSQL->bCloseConnection(nConnection));
    }
}

}  // namespace
