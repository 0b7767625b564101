// A connection lost under the driver: KILL CONNECTION from a second
// connection, on a server of the test's own reached by its socket or by its
// TCP port. The next statement fails with 2006 (the connection was idle);
// the packet-size diagnosis that follows reopens the connection the way it
// was configured (that socket, that port), so the connection serves the
// statement after; a browse and a statement that held results of the lost
// handle read them on and are released safely; a statement reading an
// unbuffered result when its connection is killed fails instead of waiting;
// a later open works.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "mysql/mysql_statement_sql.h"
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/driver/error_object.h"
#include "native/model/column.h"
#include "native/model/record.h"
#include "tests/mysql/own_server_fixture.h"
#include "tests/support/mariadb_server.h"
#include "tests/support/raw_client.h"

namespace {

using vxtest::FromUtf8;
using vxtest::MariadbRoute;
using vxtest::MariadbServer;
using vxtest::PrivateMariadb;
using vxtest::RawClient;

constexpr eNA_LOCKTYPE kLock = static_cast<eNA_LOCKTYPE>(1);
constexpr unsigned kGoneAway = 2006;
constexpr unsigned kLostDuringQuery = 2013;

class ConnectionKilled : public vxtest::OwnServerFixture
{
protected:
    static void SetUpTestSuite()
    {
        OwnServerFixture::SetUpTestSuite();
        if (!s_server->bStarted())
            return;
        RawClient own;
        const MariadbServer& server = s_server->Server();
        if (own.bConnect(server, server.user, MariadbRoute::Socket, server.sDatabase)) {
            own.bExecute("CREATE TABLE t (id INT PRIMARY KEY, v INT)");
            own.bExecute("INSERT INTO t SELECT seq, seq * 10 FROM seq_1_to_300");
            own.bExecute("CREATE TABLE big (id INT PRIMARY KEY, v INT)");
            own.bExecute("INSERT INTO big SELECT seq, seq * 10 FROM seq_1_to_100000");
        }
    }
    void SetUp() override
    {
        OwnServerFixture::SetUp();
        ASSERT_TRUE(m_admin.bConnect(Server(), Server().admin)) << m_admin.sError();
        ASSERT_EQ(std::optional<std::string>("100000"), m_admin.Value("SELECT COUNT(*) FROM " +
                                                                      Server().sDatabase + ".big"));
    }

    // A connection of the driver by the route, with blocks of 100 rows,
    // opened.
    CMySQLConnection* Connect(MariadbRoute route) { return OpenedConnectionTo(route, L"VX Cache Size=100"); }

    // The first row of a query run on a statement of its own: each value as
    // text, empty when it failed.
    std::vector<std::wstring> Row(CMySQLConnection* pclConnection, const wchar_t* pszQuery)
    {
        CMySQLStatementSQL* pclStatement = NewStatement(pclConnection);
        m_pclError->Reset();
        if (!pclStatement->bExecuteDirect(pszQuery, nullptr, 0)) {
            ADD_FAILURE() << m_pclError->pszGetError();
            return {};
        }
        std::vector<std::vector<std::wstring>> rows = ReadAll(pclStatement);
        return rows.empty() ? std::vector<std::wstring>{} : rows.front();
    }
    // The server's number of the connection's session, and how it came.
    std::vector<std::wstring> Session(CMySQLConnection* pclConnection)
    {
        return Row(pclConnection, L"SELECT ID, HOST, @@socket, @@port FROM information_schema.PROCESSLIST "
                                  L"WHERE ID = CONNECTION_ID()");
    }

    void Kill(const std::wstring& sId) { KillSession(m_admin, std::string(sId.begin(), sId.end())); }

    int Read(CNADataAccess* pclAccess, eNA_PARSEDIRECTION eDirection)
    {
        eNA_LOCKTYPE eOut = kLock;
        m_pclError->Reset();
        return pclAccess->bHLitxxx(L"id", eDirection, 1, kLock, &eOut, 0);
    }
    static std::wstring Id(CNADataAccess* pclAccess)
    {
        CAny value;
        if (!Column(pclAccess, L"id")->bGetCurrentValue(&value, 0))
            return L"(failed)";
        return vxtest::TextOf(value);
    }
    // The ids the browse gives from its next row to its end.
    std::vector<std::wstring> RestOfBrowse(CNADataAccess* pclAccess)
    {
        std::vector<std::wstring> ids;
        while (Read(pclAccess, NADirection::kNext)) {
            int bOut = 1;
            pclAccess->pclGetLastStatementNoRef()->HEndehors(&bOut);
            if (bOut)
                return ids;
            ids.push_back(Id(pclAccess));
        }
        ADD_FAILURE() << m_pclError->pszGetError();
        return ids;
    }
    static std::vector<std::wstring> Ids(int nFirst, int nLast)
    {
        std::vector<std::wstring> ids;
        for (int n = nFirst; n <= nLast; ++n)
            ids.push_back(std::to_wstring(n));
        return ids;
    }
    static std::vector<std::wstring> FirstValues(const std::vector<std::vector<std::wstring>>& rows)
    {
        std::vector<std::wstring> values;
        for (const auto& row : rows)
            values.push_back(row.empty() ? L"" : row[0]);
        return values;
    }

    RawClient m_admin;
};

// The statements that fail after the kill, by their client error: over the
// socket the query cannot be sent (2006) and the diagnosis reopens at once;
// over TCP it is sent and the reset comes as the answer (2013), so the
// statement after it finds the handle gone (2006) and that diagnosis
// reopens.
TEST_F(ConnectionKilled, TheNextStatementFailsAndTheConnectionComesBackTheWayItWasConfigured)
{
    const struct
    {
        MariadbRoute route;
        std::vector<unsigned> failures;
    } cases[] = {{MariadbRoute::Socket, {kGoneAway}}, {MariadbRoute::Tcp, {kLostDuringQuery, kGoneAway}}};
    for (const auto& [route, failures] : cases) {
        const bool bSocket = route == MariadbRoute::Socket;
        SCOPED_TRACE(bSocket ? "socket" : "TCP");
        CMySQLConnection* pclConnection = Connect(route);
        // A browse in its first block, and a statement with a buffered
        // result: both hold rows of the handle about to be lost.
        CNADataAccess* pclAccess = OpenAccess("t", pclConnection);
        ASSERT_EQ(1, Read(pclAccess, NADirection::kFirst)) << m_pclError->pszGetError();
        for (int n = 2; n <= 10; ++n)
            ASSERT_EQ(1, Read(pclAccess, NADirection::kNext)) << m_pclError->pszGetError();
        ASSERT_EQ(L"10", Id(pclAccess));
        CMySQLStatementSQL* pclHeld = NewStatement(pclConnection);
        ASSERT_EQ(1, pclHeld->bExecuteDirect(L"SELECT id FROM t ORDER BY id", nullptr, 0))
            << m_pclError->pszGetError();
        ASSERT_EQ(1, pclHeld->bFetch(0));
        ASSERT_EQ(L"1", Value(pclHeld, 0));

        const std::vector<std::wstring> before = Session(pclConnection);
        ASSERT_EQ(4u, before.size());
        EXPECT_EQ(bSocket ? L"localhost" : L"127.0.0.1:", before[1].substr(0, bSocket ? 9 : 10));
        Kill(before[0]);

        for (const unsigned nCode : failures) {
            CMySQLStatementSQL* pclNext = NewStatement(pclConnection);
            m_pclError->Reset();
            EXPECT_EQ(0, pclNext->bExecuteDirect(L"SELECT 1", nullptr, 0));
            EXPECT_EQ(nCode, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
        }

        // The diagnosis reopened the connection by its own socket or port,
        // on the test's server.
        EXPECT_EQ(1, pclConnection->bIsOpen());
        const std::vector<std::wstring> after = Session(pclConnection);
        ASSERT_EQ(4u, after.size());
        EXPECT_NE(before[0], after[0]);
        EXPECT_EQ(before[1].substr(0, bSocket ? 9 : 10), after[1].substr(0, bSocket ? 9 : 10));
        EXPECT_EQ(FromUtf8(Server().sSocket), after[2]);
        EXPECT_EQ(std::to_wstring(Server().nPort), after[3]);

        // What the lost handle had sent is read on, and the browse's next
        // blocks come over the new one.
        EXPECT_EQ(Ids(2, 300), FirstValues(ReadAll(pclHeld)));
        EXPECT_EQ(Ids(11, 300), RestOfBrowse(pclAccess));

        // A later open.
        CNADataAccess* pclLater = OpenAccess("t", Connect(route));
        ASSERT_EQ(1, Read(pclLater, NADirection::kFirst)) << m_pclError->pszGetError();
        EXPECT_EQ(L"1", Id(pclLater));
    }
}

// A statement reading an unbuffered result when its connection is killed:
// its fetch fails with the client's error instead of waiting, its close
// leaves the handle usable for the diagnosis of the next statement.
TEST_F(ConnectionKilled, AnUnbufferedResultLosesItsConnection)
{
    CMySQLConnection* pclConnection = Connect(MariadbRoute::Socket);
    const std::vector<std::wstring> before = Session(pclConnection);
    ASSERT_EQ(4u, before.size());
    CMySQLStatementSQL* pclReading = NewStatement(pclConnection);
    pclReading->SetStoreResult(0);
    m_pclError->Reset();
    ASSERT_EQ(1, pclReading->bExecuteDirect(L"SELECT id, v FROM big ORDER BY id", nullptr, 0))
        << m_pclError->pszGetError();
    ASSERT_EQ(1, pclReading->_bFetch());
    ASSERT_EQ(L"1", Value(pclReading, 0));
    Kill(before[0]);

    // The rows already received come first; the end is an error, not the
    // end of the result.
    int nRows = 1;
    m_pclError->Reset();
    while (pclReading->_bFetch() == 1 && pclReading->bHasCurrentRow())
        ++nRows;
    EXPECT_LT(nRows, 100000);
    EXPECT_EQ(kLostDuringQuery, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
    m_pclError->Reset();
    (void)pclReading->_bCloseParse();

    CMySQLStatementSQL* pclNext = NewStatement(pclConnection);
    m_pclError->Reset();
    EXPECT_EQ(0, pclNext->bExecuteDirect(L"SELECT 1", nullptr, 0));
    EXPECT_EQ(kGoneAway, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
    const std::vector<std::wstring> after = Session(pclConnection);
    ASSERT_EQ(4u, after.size());
    EXPECT_NE(before[0], after[0]);
}

// A transaction whose connection is killed: the server rolled it back, so
// no statement may run on a new session as if inside it, and its commit
// fails. Once it has ended, the connection comes back.
TEST_F(ConnectionKilled, ATransactionLostWithItsConnectionIsNeverCommitted)
{
    ASSERT_TRUE(m_admin.bExecute("CREATE TABLE " + Server().sDatabase + ".tx (id INT PRIMARY KEY, v INT)"))
        << m_admin.sError();
    CMySQLConnection* pclConnection = Connect(MariadbRoute::Socket);
    CNADataAccess* pclAccess = OpenAccess("tx", pclConnection);
    const auto add = [&](int n) {
        const CAny value = Int(n);
        EXPECT_EQ(1, Column(pclAccess, L"id")->bSetValue(&value, 0));
        EXPECT_EQ(1, Column(pclAccess, L"v")->bSetValue(&value, 0));
        m_pclError->Reset();
        return pclAccess->bHAjoute(0, kLock);
    };
    const std::vector<std::wstring> before = Session(pclConnection);
    ASSERT_EQ(4u, before.size());
    m_pclError->Reset();
    ASSERT_EQ(1, pclConnection->bTransactionBegin(m_pclError, L"T")) << m_pclError->pszGetError();
    ASSERT_EQ(1, add(1)) << m_pclError->pszGetError();
    Kill(before[0]);

    // Each write of the transaction fails, the one after the first too.
    for (const int n : {2, 3}) {
        EXPECT_EQ(0, add(n)) << n;
        EXPECT_EQ(kGoneAway, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
    }
    m_pclError->Reset();
    EXPECT_EQ(0, pclConnection->bTransactionCommit(m_pclError, L"T"));
    EXPECT_EQ(kGoneAway, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
    EXPECT_EQ(vxtest::RawRows{}, m_admin.Query("SELECT id FROM " + Server().sDatabase + ".tx"));

    // Out of the transaction, the next write opens a new session: the
    // lost one was known lost.
    EXPECT_EQ(1, add(4)) << m_pclError->pszGetError();
    EXPECT_EQ(1, add(5)) << m_pclError->pszGetError();
    EXPECT_EQ((vxtest::RawRows{{"4"}, {"5"}}),
              m_admin.Query("SELECT id FROM " + Server().sDatabase + ".tx ORDER BY id"));
    EXPECT_NE(before[0], Session(pclConnection)[0]);
}

}  // namespace
