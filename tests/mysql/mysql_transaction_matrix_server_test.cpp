// Whatever road the host took into its transaction and however the server
// ended it, the host's commit never reports work done that the server
// dropped, and nothing the host runs meanwhile is committed on its own.
//
// One runner over a table of cells, on a server of the suite's own that
// rolls a transaction back on a lock wait time-out and whose sessions the
// administrator may kill. A cell is a road into the transaction (the
// driver's levels one, two or three deep; the SQL functions' transaction;
// START TRANSACTION, BEGIN or autocommit off in SQL text), an end (a
// cluster node that rolls back and refuses the statement, 1047, and a
// deadlock, 1213, each made by a procedure that runs ROLLBACK and then
// SIGNAL; a real deadlock with a second connection; a lock wait time-out;
// the session killed; a definition that commits and then fails), when it
// comes (the first statement after the begin, a later one, a second end
// after the first, under a statement of the driver's own), and the host's
// next calls. Each write inserts a number of its own into table w; a model
// of what the server must hold (what committed, what is pending in the
// host's transaction, what the server dropped) is compared after every call
// with what another connection sees: nothing pending is visible, a commit
// that reports success loses nothing, a refused commit names the error
// that says nothing was committed (or, where a definition committed, one
// that does not say the work was lost).
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "native/driver/driver_sql.h"
#include "native/driver/error_object.h"
#include "tests/mysql/mysql_connection_support.h"
#include "tests/mysql/own_server_fixture.h"
#include "tests/native/driver/error_checks.h"
#include "tests/support/raw_client.h"

namespace {

using vxtest::MariadbRoute;
using vxtest::RawClient;

enum class Road
{
    Level1,
    Level2,
    Level3,
    SQLFunctions,
    StartTransaction,
    Begin,
    AutocommitOff,
};

enum class End
{
    None,
    Node1047,
    Deadlock1213,
    RealDeadlock,
    LockWaitTimeout,
    Killed,
    Definition,
};

enum class When
{
    First,   // the first statement after the begin
    Later,   // after a write
    Second,  // a write, the end, a write, then a second end
    Own,     // met by a statement of the driver's own
};

enum class Next
{
    Write,
    // The innermost level's commit, a savepoint release (levels two and
    // three deep); in SQL text, RELEASE SAVEPOINT of the road's savepoint.
    Release,
    // The road's own commit of its outermost transaction: the outermost
    // level's, the SQL functions', or a COMMIT text.
    Commit,
    // A COMMIT text on any road.
    CommitText,
    // The SQL functions' commit on any road.
    CommitSlot,
    // The road's roll-back; the cell's roll-back text in SQL text.
    RollBack,
    // In SQL text after a lost session: the road's ROLLBACK while the
    // server refuses the new session it needs (the account's password
    // changed for the moment): it fails and the transaction stays refused.
    RollBackRefused,
};

struct Cell
{
    Road road;
    End end;
    When when;
    std::vector<Next> next;
    End second = End::None;
    MariadbRoute route = MariadbRoute::Socket;
    const wchar_t* pszRollBack = L"ROLLBACK";
};

bool bText(Road road)
{
    return road == Road::StartTransaction || road == Road::Begin || road == Road::AutocommitOff;
}

int nDepth(Road road)
{
    return road == Road::Level3 ? 3 : road == Road::Level2 ? 2 : road == Road::Level1 ? 1 : 0;
}

const char* pszRoad(Road road)
{
    switch (road) {
    case Road::Level1: return "one level";
    case Road::Level2: return "two levels";
    case Road::Level3: return "three levels";
    case Road::SQLFunctions: return "SQL functions' transaction";
    case Road::StartTransaction: return "START TRANSACTION";
    case Road::Begin: return "BEGIN";
    case Road::AutocommitOff: return "autocommit off";
    }
    return "?";
}

const char* pszEnd(End end)
{
    switch (end) {
    case End::None: return "none";
    case End::Node1047: return "node out of quorum (1047)";
    case End::Deadlock1213: return "deadlock signalled (1213)";
    case End::RealDeadlock: return "real deadlock";
    case End::LockWaitTimeout: return "lock wait time-out";
    case End::Killed: return "session killed";
    case End::Definition: return "definition that commits, then fails";
    }
    return "?";
}

const char* pszWhen(When when)
{
    switch (when) {
    case When::First: return "first statement";
    case When::Later: return "later statement";
    case When::Second: return "second end";
    case When::Own: return "driver's own statement";
    }
    return "?";
}

constexpr unsigned kRolledBack = 84;
constexpr unsigned kEndedUncertain = 85;
constexpr unsigned kSessionLost = 93;
constexpr unsigned kUnheld = 94;

class TransactionMatrix : public vxtest::RollBackOnTimeoutServerFixture
{
protected:
    void SetUp() override
    {
        RollBackOnTimeoutServerFixture::SetUp();
        for (const char* pszSQL : {
                 "CREATE OR REPLACE TABLE w (id INT PRIMARY KEY) ENGINE=InnoDB",
                 "CREATE OR REPLACE TABLE t (id INT PRIMARY KEY, v INT) ENGINE=InnoDB",
                 "INSERT INTO t SELECT seq, 0 FROM seq_1_to_50",
                 "CREATE OR REPLACE PROCEDURE end_1047() BEGIN ROLLBACK; SIGNAL SQLSTATE '08S01' "
                 "SET MYSQL_ERRNO = 1047, MESSAGE_TEXT = 'node not ready (test)'; END",
                 "CREATE OR REPLACE PROCEDURE end_1213() BEGIN ROLLBACK; SIGNAL SQLSTATE '40001' "
                 "SET MYSQL_ERRNO = 1213, MESSAGE_TEXT = 'deadlock (test)'; END",
             })
            ASSERT_TRUE(m_own.bExecute(pszSQL)) << m_own.sError() << "\n" << pszSQL;
    }

    void RunCell(const Cell& c);

public:
    static void Kill(RawClient& admin, const std::string& sId) { KillSession(admin, sId); }
};

// One cell on a connection of the SQL functions of its own.
class CellRun
{
public:
    CellRun(const vxtest::MariadbServer& server, CNADriver* pclDriver, RawClient& own, RawClient& admin,
            const Cell& cell)
        : m_server(server), m_pclDriver(pclDriver), m_pclSQL(pclDriver->pclGetDriverSQL()), m_own(own),
          m_admin(admin), m_cell(cell)
    {
    }

    void Open(StandinConnectionDescription& host)
    {
        ASSERT_EQ(1, m_pclSQL->bOpenConnection(&m_nConnection, &host)) << Error()->pszGetError();
        // The registry holds the connection while it is open.
        m_pclConnection = m_pclDriver->pclGetConnectionByID(m_nConnection);
        ASSERT_NE(nullptr, m_pclConnection);
        m_pclDriver->nReleaseConnection(m_pclConnection);
        m_levelError.AddRef();
        // A lock wait ends within the test's patience.
        ASSERT_EQ(1, Exec(L"SET SESSION innodb_lock_wait_timeout = 1")) << Error()->pszGetError();
    }
    ~CellRun()
    {
        if (m_nConnection == 0)
            return;
        // A cell that failed leaves nothing open for the next: a connection
        // inside a transaction is not closed.
        for (int i = 0; i < 3 && m_pclConnection->_bTransactionOpened(); ++i)
            m_pclConnection->bTransactionRollBack(&m_levelError, nullptr);
        Exec(L"ROLLBACK");
        m_pclSQL->bCloseConnection(m_nConnection);
    }

    CNAError* Error() const { return static_cast<CNAError*>(m_pclSQL->piGetLastError()); }

    int Exec(const wchar_t* pszSQL)
    {
        int nStatement = 0;
        const int bDone = m_pclSQL->bExecute(&nStatement, m_nConnection, pszSQL, nullptr, 0);
        EXPECT_EQ(0, nStatement);
        return bDone;
    }

    void Begin()
    {
        m_bInTransaction = true;
        const Road road = m_cell.road;
        m_nActiveDepth = nDepth(road);
        if (nDepth(road) > 0) {
            for (int i = 1; i <= nDepth(road); ++i)
                ASSERT_EQ(1, m_pclConnection->bTransactionBegin(&m_levelError, Level(i).c_str()))
                    << m_levelError.pszGetError();
        } else if (road == Road::SQLFunctions) {
            ASSERT_EQ(1, m_pclSQL->bTrsBegin(nullptr, m_nConnection, 0)) << Error()->pszGetError();
        } else {
            const wchar_t* pszBegin = road == Road::StartTransaction ? L"START TRANSACTION"
                                      : road == Road::Begin          ? L"BEGIN"
                                                                     : L"SET autocommit = 0";
            ASSERT_EQ(1, Exec(pszBegin)) << Error()->pszGetError();
            ASSERT_EQ(1, Exec(L"SAVEPOINT s")) << Error()->pszGetError();
        }
        Check("begin");
    }

    // A write: pending inside the host's transaction, committed outside it.
    void Write()
    {
        const int nId = ++m_nLastId;
        const int bDone = Exec((L"INSERT INTO w VALUES (" + std::to_wstring(nId) + L")").c_str());
        if (bDone) {
            (m_bInTransaction ? m_pending : m_committed).insert(nId);
        } else {
            EXPECT_TRUE(bRefusal(kSessionLost) || bRefusal(kUnheld)) << Narrow();
        }
        Check("write " + std::to_string(nId));
    }

    void TheEnd(End end)
    {
        SCOPED_TRACE(pszEnd(end));
        const bool bOwn = m_cell.when == When::Own;
        int bDone = 1;
        unsigned nCause = 0;
        // A level's own begin reports on the levels' error object.
        const CNAError* pclEndError = Error();
        switch (end) {
        case End::None: return;
        case End::Node1047:
            bDone = Exec(L"CALL end_1047()");
            nCause = 1047;
            break;
        case End::Deadlock1213:
            bDone = Exec(L"CALL end_1213()");
            nCause = 1213;
            break;
        case End::RealDeadlock:
            bDone = Deadlock();
            nCause = 1213;
            break;
        case End::LockWaitTimeout: {
            RawClient holder = Connect();
            EXPECT_TRUE(holder.bExecute("BEGIN")) << holder.sError();
            EXPECT_TRUE(holder.bExecute("UPDATE t SET v = -1 WHERE id = 2")) << holder.sError();
            bDone = Exec(L"UPDATE t SET v = 1 WHERE id = 2");
            EXPECT_TRUE(holder.bExecute("ROLLBACK")) << holder.sError();
            nCause = 1205;
            break;
        }
        case End::Killed:
            Kill();
            if (bOwn && nDepth(m_cell.road) > 0)
                pclEndError = &m_levelError;
            bDone = bOwn ? OwnStatement() : Exec(L"INSERT INTO w VALUES (0)");
            break;
        case End::Definition:
            bDone = Exec(L"CREATE TABLE t (id INT)");
            nCause = 1050;
            m_bDefinitionCommitted = true;
            break;
        }
        EXPECT_EQ(0, bDone) << "the statement that met the end fails";
        const unsigned nCode = pclEndError->dwGetDataBaseErrorCode();
        const std::string sError = vxtest::Narrow(vxtest::ErrorText(*pclEndError));
        if (nCause != 0)
            EXPECT_EQ(nCause, nCode) << sError;
        else
            EXPECT_TRUE(nCode == 2006 || nCode == 2013) << sError;
        m_bEnded = true;
        if (end == End::Definition) {
            // Committed before the definition ran.
            m_committed.insert(m_pending.begin(), m_pending.end());
        } else {
            m_lost.insert(m_pending.begin(), m_pending.end());
        }
        m_pending.clear();
        Check("the end");
    }

    void Step(Next next)
    {
        const Road road = m_cell.road;
        switch (next) {
        case Next::Write: Write(); return;
        case Next::Release:
            if (nDepth(road) > 1)
                return CommitLevel(Level(m_nActiveDepth).c_str(), false);
            return ExpectCommitRefused(Exec(L"RELEASE SAVEPOINT s"), "RELEASE SAVEPOINT");
        case Next::Commit:
            if (nDepth(road) > 0)
                return CommitLevel(Level(1).c_str(), true);
            if (road == Road::SQLFunctions)
                return CommitOutermost(m_pclSQL->bTrsCommit(0, m_nConnection, 0), "the SQL functions' commit");
            return CommitOutermost(Exec(L"COMMIT"), "COMMIT text");
        case Next::CommitText: return ExpectCommitRefused(Exec(L"COMMIT"), "COMMIT text");
        case Next::CommitSlot:
            if (road == Road::SQLFunctions)
                return CommitOutermost(m_pclSQL->bTrsCommit(0, m_nConnection, 0), "the SQL functions' commit");
            return ExpectCommitRefused(m_pclSQL->bTrsCommit(0, m_nConnection, 0), "the SQL functions' commit");
        case Next::RollBack: RollBack(); return;
        case Next::RollBackRefused: {
            ASSERT_TRUE(bText(road));
            ASSERT_TRUE(m_admin.bExecute("SET PASSWORD FOR " + Account() + " = PASSWORD('changed')"))
                << m_admin.sError();
            EXPECT_EQ(0, Exec(m_cell.pszRollBack)) << "the new session is refused";
            ASSERT_TRUE(m_admin.bExecute("SET PASSWORD FOR " + Account() + " = PASSWORD('" +
                                         m_server.user.sPassword + "')"))
                << m_admin.sError();
            Check("a roll-back that failed");
            // The transaction is still refused.
            EXPECT_EQ(0, Exec(L"INSERT INTO w VALUES (0)"));
            EXPECT_TRUE(bRefusal(kSessionLost)) << Narrow();
            Check("a write after the failed roll-back");
            return;
        }
        }
    }

    void RollBack()
    {
        const Road road = m_cell.road;
        int bDone = 0;
        if (nDepth(road) > 0)
            bDone = m_pclConnection->bTransactionRollBack(&m_levelError, Level(1).c_str());
        else if (road == Road::SQLFunctions)
            bDone = m_pclSQL->bTrsRollBack(0, m_nConnection, 0);
        else
            bDone = Exec(m_cell.pszRollBack);
        EXPECT_EQ(1, bDone) << Narrow() << vxtest::Narrow(vxtest::ErrorText(m_levelError));
        m_pending.clear();
        m_lost.clear();
        m_bEnded = false;
        m_bInTransaction = road == Road::AutocommitOff;
        m_nActiveDepth = 0;
        Check("the roll-back");
    }

    // After the cell: the host's roll-back, then a transaction on the same
    // connection commits as if nothing had happened.
    void Recover()
    {
        RollBack();
        m_bDefinitionCommitted = false;
        Begin();
        Write();
        while (m_nActiveDepth > 1)
            Step(Next::Release);
        Step(Next::Commit);
        EXPECT_TRUE(m_pending.empty());
        EXPECT_TRUE(m_lost.empty());
    }

private:
    std::wstring Level(int n) const { return L"T" + std::to_wstring(n); }

    std::string Narrow() const { return vxtest::Narrow(vxtest::ErrorText(*Error())); }

    bool bRefusal(unsigned nUserError) const { return Error()->dwGetErrorId() == nUserError; }

    // A raw client of the cell's server, for the other side of a lock.
    RawClient Connect() const
    {
        RawClient client;
        EXPECT_TRUE(client.bConnect(m_server, m_server.user, MariadbRoute::Socket, m_server.sDatabase))
            << client.sError();
        return client;
    }
    // The test user's account on the cell's route.
    std::string Account() const
    {
        const char* pszHost = m_cell.route == MariadbRoute::Tcp ? "127.0.0.1" : "localhost";
        return "'" + m_server.user.sUser + "'@'" + pszHost + "'";
    }

    // The commit of a level by name: an inner one ends itself; the
    // outermost ends the host's transaction.
    void CommitLevel(const wchar_t* pszName, bool bOutermost)
    {
        m_levelError.Reset();
        const int bDone = m_pclConnection->bTransactionCommit(&m_levelError, pszName);
        if (bOutermost)
            return CommitOutermost(bDone, "the outermost level's commit", &m_levelError);
        if (m_bEnded || !bDone) {
            EXPECT_EQ(0, bDone) << "an inner level's commit is refused";
            ExpectNothingCommittedError(m_levelError, "the inner level's commit");
        }
        if (m_nActiveDepth > 1)
            --m_nActiveDepth;
        Check("the inner commit");
    }

    void CommitOutermost(int bDone, const char* pszWhat, CNAError* pclError = nullptr)
    {
        SCOPED_TRACE(pszWhat);
        const CNAError& error = pclError != nullptr ? *pclError : *Error();
        if (bDone) {
            // A success loses nothing.
            EXPECT_TRUE(m_lost.empty()) << "reported committed, though the server dropped " << m_lost.size()
                                        << " writes";
            m_committed.insert(m_pending.begin(), m_pending.end());
            m_pending.clear();
        } else {
            ExpectNothingCommittedError(error, pszWhat);
            // The levels end with their refused commit and the server drops
            // what it held for them; a text transaction stays open to its
            // roll-back.
            if (!bText(m_cell.road)) {
                m_pending.clear();
                m_bInTransaction = false;
                m_nActiveDepth = 0;
            }
        }
        if (bDone && m_cell.road != Road::AutocommitOff)
            m_bInTransaction = false;
        Check(pszWhat);
    }

    void ExpectCommitRefused(int bDone, const char* pszWhat)
    {
        EXPECT_EQ(0, bDone) << pszWhat << " is refused";
        ExpectNothingCommittedError(*Error(), pszWhat);
        Check(pszWhat);
    }

    void ExpectNothingCommittedError(const CNAError& error, const char* pszWhat)
    {
        const std::vector<unsigned> allowed = m_bDefinitionCommitted
                                                  ? std::vector<unsigned>{kEndedUncertain, kUnheld}
                                                  : std::vector<unsigned>{kRolledBack, kSessionLost, kUnheld};
        const bool bFound = std::find(allowed.begin(), allowed.end(), error.dwGetErrorId()) != allowed.end();
        EXPECT_TRUE(bFound) << pszWhat << ": " << vxtest::Narrow(vxtest::ErrorText(error));
    }

    // The driver's own statement that meets the end: a level's savepoint, the
    // SQL functions' begin (its BEGIN in SQL text, a savepoint otherwise).
    int OwnStatement()
    {
        if (nDepth(m_cell.road) > 0) {
            m_levelError.Reset();
            return m_pclConnection->bTransactionBegin(&m_levelError, L"Own");
        }
        return m_pclSQL->bTrsBegin(nullptr, m_nConnection, 0);
    }

    // A cycle of row locks with a raw client's transaction that changes 42
    // rows and so outweighs the driver's: the driver holds row 1 and asks
    // for row 2 (its own lock of the whole table under the driver's own
    // statement), the raw client holds row 2 and rows 10 to 50 and asks for
    // row 1. The server rolls back the lighter transaction, the driver's.
    int Deadlock()
    {
        EXPECT_EQ(1, Exec(L"UPDATE t SET v = v + 1 WHERE id = 1")) << Narrow();
        RawClient heavy = Connect();
        EXPECT_TRUE(heavy.bExecute("BEGIN")) << heavy.sError();
        EXPECT_TRUE(heavy.bExecute("UPDATE t SET v = -1 WHERE id = 2 OR id >= 10")) << heavy.sError();
        bool bHeavyGotRow1 = false;
        std::thread asker([&] { bHeavyGotRow1 = heavy.bExecute("UPDATE t SET v = -1 WHERE id = 1"); });
        const int bAsked = m_cell.when == When::Own ? m_pclSQL->bSQLBloqueTable(m_nConnection, L"t", 0)
                                                    : Exec(L"UPDATE t SET v = 1 WHERE id = 2");
        asker.join();
        EXPECT_TRUE(bHeavyGotRow1) << "the raw client's transaction was the victim: " << heavy.sError();
        EXPECT_TRUE(heavy.bExecute("ROLLBACK")) << heavy.sError();
        return bAsked;
    }

    void Kill()
    {
        auto* pclMySQL = static_cast<CMySQLConnection*>(m_pclConnection);
        const auto session = vxtest::QueryOnHandle(*pclMySQL, "SELECT CONNECTION_ID()");
        ASSERT_TRUE(session.has_value() && session->size() == 1 && (*session)[0][0].has_value());
        TransactionMatrix::Kill(m_admin, *(*session)[0][0]);
    }

    // What another connection sees is exactly what committed.
    void Check(const std::string& sAfter)
    {
        std::set<int> visible;
        const auto rows = m_own.Query("SELECT id FROM w");
        ASSERT_TRUE(rows.has_value()) << m_own.sError();
        for (const auto& row : *rows)
            visible.insert(std::stoi(row.at(0).value_or("-1")));
        EXPECT_EQ(m_committed, visible) << "after " << sAfter;
    }

    const vxtest::MariadbServer& m_server;
    CNADriver* m_pclDriver;
    CNADriverSQL* m_pclSQL;
    RawClient& m_own;
    RawClient& m_admin;
    const Cell& m_cell;
    int m_nConnection = 0;
    CNAConnectionDescription* m_pclConnection = nullptr;
    CNAError m_levelError;
    int m_nLastId = 0;
    bool m_bInTransaction = false;
    bool m_bDefinitionCommitted = false;
    // The levels the host believes active.
    int m_nActiveDepth = 0;
    // The server ended the host's transaction, which the host has not
    // rolled back yet.
    bool m_bEnded = false;
    std::set<int> m_committed, m_pending, m_lost;
};

void TransactionMatrix::RunCell(const Cell& c)
{
    ASSERT_TRUE(m_own.bExecute("DELETE FROM w")) << m_own.sError();
    ASSERT_TRUE(m_own.bExecute("UPDATE t SET v = 0")) << m_own.sError();
    vxtest::ServerHost host(Server(), {}, c.route);
    CellRun run(Server(), Driver(), m_own, m_admin, c);
    run.Open(host.Host());
    if (testing::Test::HasFatalFailure())
        return;
    run.Begin();
    if (c.when != When::First)
        run.Write();
    run.TheEnd(c.end);
    if (c.when == When::Second) {
        run.Write();
        run.TheEnd(c.second);
    }
    for (const Next next : c.next)
        run.Step(next);
    run.Recover();
}

TEST_F(TransactionMatrix, NoCommitReportsWorkTheServerDroppedAndNothingCommitsOnItsOwn)
{
    using R = Road;
    using E = End;
    using W = When;
    using N = Next;
    const Cell cells[] = {
        // Every road with every end, at a later statement.
        {R::Level1, E::Node1047, W::Later, {N::Write, N::Commit, N::Commit, N::Write}},
        {R::Level1, E::Deadlock1213, W::Later, {N::Write, N::CommitText, N::Commit}},
        {R::Level1, E::RealDeadlock, W::Later, {N::Write, N::Commit}},
        {R::Level1, E::LockWaitTimeout, W::Later, {N::Write, N::RollBack, N::Write}},
        {R::Level1, E::Killed, W::Later, {N::Write, N::Commit, N::Write}, E::None, MariadbRoute::Tcp},
        {R::Level1, E::Definition, W::Later, {N::Write, N::Commit}},
        {R::Level2, E::Node1047, W::Later, {N::Write, N::Release, N::Commit}},
        {R::Level2, E::Deadlock1213, W::Later, {N::Write, N::Commit}},
        {R::Level2, E::RealDeadlock, W::Later, {N::Release, N::Write, N::Commit}},
        {R::Level2, E::LockWaitTimeout, W::Later, {N::Write, N::Release, N::CommitText, N::Commit}},
        {R::Level2, E::Killed, W::Later, {N::Write, N::Release, N::Commit}},
        {R::Level2, E::Definition, W::Later, {N::Write, N::Release, N::Commit}},
        {R::Level3, E::Node1047, W::Later, {N::Write, N::Release, N::Release, N::Commit}},
        {R::Level3, E::Deadlock1213, W::Later, {N::Write, N::Release, N::Write, N::Release, N::Commit}},
        {R::Level3, E::RealDeadlock, W::Later, {N::Write, N::Commit}},
        {R::Level3, E::LockWaitTimeout, W::Later, {N::Release, N::Release, N::Commit}},
        {R::Level3, E::Killed, W::Later, {N::Write, N::Release, N::Commit}},
        {R::Level3, E::Definition, W::Later, {N::Write, N::Release, N::Release, N::Commit}},
        {R::SQLFunctions, E::Node1047, W::Later, {N::Write, N::Commit, N::CommitSlot}},
        {R::SQLFunctions, E::Deadlock1213, W::Later, {N::Write, N::CommitText, N::Commit}},
        {R::SQLFunctions, E::RealDeadlock, W::Later, {N::Write, N::Commit}},
        {R::SQLFunctions, E::LockWaitTimeout, W::Later, {N::Write, N::Commit}},
        {R::SQLFunctions, E::Killed, W::Later, {N::Write, N::Commit}},
        {R::SQLFunctions, E::Definition, W::Later, {N::Write, N::CommitText, N::Commit}},
        {R::StartTransaction, E::Node1047, W::Later, {N::Write, N::Commit, N::Write, N::CommitSlot}},
        {R::StartTransaction, E::Deadlock1213, W::Later, {N::Write, N::Release, N::Commit}},
        {R::StartTransaction, E::RealDeadlock, W::Later, {N::Write, N::Commit}},
        {R::StartTransaction, E::LockWaitTimeout, W::Later, {N::Write, N::CommitSlot, N::Commit}},
        {R::StartTransaction, E::Killed, W::Later, {N::Write, N::Commit, N::RollBackRefused, N::Commit}},
        {R::StartTransaction, E::Definition, W::Later, {N::Write, N::Commit}},
        {R::Begin, E::Node1047, W::Later, {N::Write, N::Commit}, E::None, MariadbRoute::Socket,
         L"/* c */ rollback work and no chain ;;"},
        {R::Begin, E::Deadlock1213, W::Later, {N::Write, N::Commit, N::RollBack, N::Write}},
        {R::Begin, E::RealDeadlock, W::Later, {N::Release, N::Write, N::Commit}},
        {R::Begin, E::LockWaitTimeout, W::Later, {N::Write, N::Commit}},
        {R::Begin, E::Killed, W::Later, {N::Write, N::CommitSlot, N::Commit}, E::None, MariadbRoute::Tcp,
         L"ROLLBACK -- the host gives up"},
        {R::Begin, E::Definition, W::Later, {N::Write, N::Release, N::Commit}},
        {R::AutocommitOff, E::Node1047, W::Later, {N::Write, N::Commit}},
        {R::AutocommitOff, E::Deadlock1213, W::Later, {N::Write, N::Commit}},
        {R::AutocommitOff, E::RealDeadlock, W::Later, {N::Write, N::CommitSlot, N::Commit}},
        {R::AutocommitOff, E::LockWaitTimeout, W::Later, {N::Write, N::Commit}},
        {R::AutocommitOff, E::Killed, W::Later, {N::Write, N::RollBackRefused, N::Commit}, E::None,
         MariadbRoute::Socket, L"# the host gives up\nROLLBACK AND NO CHAIN"},
        {R::AutocommitOff, E::Definition, W::Later, {N::Write, N::Commit}},
        // The first statement after the begin.
        {R::Level2, E::Node1047, W::First, {N::Write, N::Release, N::Commit}},
        {R::SQLFunctions, E::Killed, W::First, {N::Write, N::Commit}},
        {R::StartTransaction, E::LockWaitTimeout, W::First, {N::Write, N::Commit}},
        {R::AutocommitOff, E::Definition, W::First, {N::Write, N::Commit}},
        // A second end after the first: each is weighed.
        {R::Level1, E::Node1047, W::Second, {N::Write, N::Commit}, E::Node1047},
        {R::Level2, E::Node1047, W::Second, {N::Write, N::Release, N::Commit}, E::Deadlock1213},
        {R::Level3, E::Deadlock1213, W::Second, {N::Write, N::Release, N::Commit}, E::RealDeadlock},
        {R::SQLFunctions, E::LockWaitTimeout, W::Second, {N::Write, N::Commit}, E::Definition},
        {R::StartTransaction, E::Deadlock1213, W::Second, {N::Write, N::Commit}, E::Node1047},
        {R::StartTransaction, E::Definition, W::Second, {N::Write, N::Commit}, E::Killed},
        {R::Begin, E::Node1047, W::Second, {N::Write, N::CommitSlot, N::Commit}, E::RealDeadlock},
        {R::AutocommitOff, E::Definition, W::Second, {N::Write, N::Commit}, E::Deadlock1213},
        // Under the driver's own statement: a level's savepoint, the SQL
        // functions' begin, its lock of a table.
        {R::Level2, E::Killed, W::Own, {N::Write, N::Release, N::Commit}},
        {R::SQLFunctions, E::Killed, W::Own, {N::Write, N::Commit}},
        {R::StartTransaction, E::Killed, W::Own, {N::Write, N::Write, N::CommitText, N::Commit}},
        {R::AutocommitOff, E::Killed, W::Own, {N::Write, N::CommitSlot, N::Commit}, E::None, MariadbRoute::Tcp},
        {R::Level1, E::RealDeadlock, W::Own, {N::Write, N::Commit}},
        {R::SQLFunctions, E::RealDeadlock, W::Own, {N::Write, N::CommitText, N::Commit}},
    };
    for (const Cell& c : cells) {
        SCOPED_TRACE(testing::Message() << pszRoad(c.road) << ", " << pszEnd(c.end) << " at the " << pszWhen(c.when)
                                        << (c.second != End::None ? std::string(", then ") + pszEnd(c.second) : ""));
        RunCell(c);
    }
}

}  // namespace
