// The server killed under the driver (SIGKILL by its PID, as a crash ends
// it), on a server of the test's own: while the SELECT of a browse
// transfers its rows, between two blocks of a browse, and while a write
// runs. The operation fails with the client's error (2013 or 2006) in the
// error object, later operations on that connection fail cleanly, and once
// scripts/mariadb restart has brought the server back a new connection
// works, every write reported done is there and the write that ran at the
// kill is absent as a whole (the server keeps its default durable flush).
//
// The kill waits for the server to stand at a known point rather than for a
// time: a row of the browse, or a trigger of the write, waits on a user
// lock the test holds, and a thread of the test kills the server once the
// process list shows that wait.
#include <gtest/gtest.h>
#include <unistd.h>

#include <new>
#include <string>
#include <thread>
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

using vxtest::MariadbRoute;
using vxtest::MariadbServer;
using vxtest::PrivateMariadb;
using vxtest::RawClient;
using Values = std::vector<std::string>;

constexpr eNA_LOCKTYPE kLock = static_cast<eNA_LOCKTYPE>(1);
constexpr unsigned kLostDuringQuery = 2013;
constexpr unsigned kGoneAway = 2006;

// Kills the server from a thread of its own once a connection of the test
// user waits on a user lock, while the test's thread blocks in the driver.
// The wait for that state is bounded; the lock's own time-out bounds the
// driver's call should the kill never come.
class KillAtUserLock
{
public:
    KillAtUserLock(PrivateMariadb& server, RawClient& admin)
        : m_thread([this, &server, &admin] { m_bKilled = bWaitThenKill(server, admin); })
    {
    }
    ~KillAtUserLock() { Join(); }
    KillAtUserLock(const KillAtUserLock&) = delete;
    KillAtUserLock& operator=(const KillAtUserLock&) = delete;

    bool bKilled()
    {
        Join();
        return m_bKilled;
    }

private:
    void Join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    static bool bWaitThenKill(PrivateMariadb& server, RawClient& admin)
    {
        const std::string sWaiting = "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE USER = '" +
                                     server.Server().user.sUser + "' AND STATE = 'User lock'";
        for (int i = 0; i < 20000; ++i) {
            if (admin.Value(sWaiting) == std::optional<std::string>("1"))
                return server.bKill();
            usleep(500);
        }
        return false;
    }

    bool m_bKilled = false;
    std::thread m_thread;
};

// One server for the suite; each test kills it and brings it back.
class ServerKilled : public vxtest::OwnServerFixture
{
protected:
    void SetUp() override
    {
        OwnServerFixture::SetUp();
        // A test that failed half-way may have left it dead.
        RawClient probe;
        if (!probe.bConnect(Server(), Server().admin)) {
            ASSERT_EQ(0, s_server->Restart());
        }
        ConnectRawClients();
    }

    // The MySQL driver's statements, or ones that keep their rows in a
    // record cache.
    void Choose(CMySQLDriverSeams& seams) override
    {
        seams.allocStatement = [this](CMySQLDriver& driver, CNADataAccess* pclDataAccess,
                                      CNAError* pclError) -> CNAStatement* {
            if (m_bCached)
                return new (std::nothrow) CCachingMySQLStatement(pclDataAccess, pclError);
            return driver.CMySQLDriver::pclAllocStatement(pclDataAccess, nullptr, pclError);
        };
    }

    void ConnectRawClients()
    {
        ASSERT_TRUE(m_own.bConnect(Server(), Server().user, MariadbRoute::Socket, Server().sDatabase))
            << m_own.sError();
        ASSERT_TRUE(m_admin.bConnect(Server(), Server().admin)) << m_admin.sError();
    }
    void Execute(const std::string& sSQL) { ASSERT_TRUE(m_own.bExecute(sSQL)) << sSQL << ": " << m_own.sError(); }
    // A connection of the driver to the test's server, opened.
    CMySQLConnection* Connect(const std::wstring& sKeys)
    {
        return OpenServerConnection(Server().sDatabase, sKeys, &Server());
    }
    // The test's raw client holds the user lock the server will wait on.
    void HoldTheGate() { ASSERT_EQ(std::optional<std::string>("1"), m_own.Value("SELECT GET_LOCK('gate', 0)")); }

    int Read(CNADataAccess* pclAccess, eNA_PARSEDIRECTION eDirection)
    {
        eNA_LOCKTYPE eOut = kLock;
        m_pclError->Reset();
        return pclAccess->bHLitxxx(L"id", eDirection, 1, kLock, &eOut, 0);
    }
    static int Id(CNADataAccess* pclAccess)
    {
        CAny value;
        int n = 0;
        if (!Column(pclAccess, L"id")->bGetCurrentValue(&value, 0) || value.bIsNull() || value.nGetINT(&n) > 99)
            return -1;
        return n;
    }
    void Set(CNADataAccess* pclAccess, const wchar_t* pszColumn, const CAny& value)
    {
        ASSERT_EQ(1, Column(pclAccess, pszColumn)->bSetValue(&value, 0));
    }
    // The ids of the browse on id from its first row, up to nMax.
    std::vector<int> Browse(CNADataAccess* pclAccess, int nMax)
    {
        std::vector<int> ids;
        int bRead = Read(pclAccess, NADirection::kFirst);
        while (bRead && !bOut(pclAccess) && static_cast<int>(ids.size()) < nMax) {
            ids.push_back(Id(pclAccess));
            bRead = Read(pclAccess, NADirection::kNext);
        }
        EXPECT_EQ(1, bRead) << m_pclError->pszGetError();
        return ids;
    }
    static bool bOut(CNADataAccess* pclAccess)
    {
        int bOut = 1;
        pclAccess->pclGetLastStatementNoRef()->HEndehors(&bOut);
        return bOut != 0;
    }
    static std::vector<int> Range(int nFirst, int nLast)
    {
        std::vector<int> ids;
        for (int n = nFirst; n <= nLast; ++n)
            ids.push_back(n);
        return ids;
    }

    // The operation failed with the client's error for a lost server.
    void ExpectLost(const char* pszWhat)
    {
        const unsigned nCode = m_pclError->dwGetDataBaseErrorCode();
        EXPECT_TRUE(nCode == kLostDuringQuery || nCode == kGoneAway)
            << pszWhat << ": " << nCode << " " << m_pclError->pszGetError();
    }
    // Every later operation of the data access and the connection fails,
    // each with an error, while the server is dead.
    void ExpectLaterOperationsFail(CNADataAccess* pclAccess, CMySQLConnection* pclConnection)
    {
        const auto expectFailed = [&](const char* pszWhat, int bDone) {
            EXPECT_EQ(0, bDone) << pszWhat;
            EXPECT_NE(L"", std::wstring(m_pclError->pszGetError())) << pszWhat;
        };
        expectFailed("first", Read(pclAccess, NADirection::kFirst));
        expectFailed("next", Read(pclAccess, NADirection::kNext));
        Set(pclAccess, L"id", Int(7000));
        m_pclError->Reset();
        expectFailed("add", pclAccess->bHAjoute(0, kLock));
        CMySQLStatementSQL* pclStatement = NewStatement(pclConnection);
        m_pclError->Reset();
        expectFailed("a statement", pclStatement->bExecuteDirect(L"SELECT 1", nullptr, 0));
        m_pclError->Reset();
        EXPECT_EQ(1, pclAccess->bHFerme()) << m_pclError->pszGetError();
    }
    // The first column of every row of a query, through a raw client on
    // the server brought back.
    Values OwnColumn(const std::string& sSelect)
    {
        Values values;
        auto rows = m_own.Query(sSelect);
        EXPECT_TRUE(rows.has_value()) << m_own.sError();
        for (const auto& row : rows.value_or(vxtest::RawRows{}))
            values.push_back(row[0].value_or("(null)"));
        return values;
    }
    // Brings the server back and reconnects the raw clients.
    void Restart()
    {
        ASSERT_EQ(0, s_server->Restart());
        ConnectRawClients();
    }

    RawClient m_own;
    RawClient m_admin;
    bool m_bCached = false;
};

// The whole table as one result: the server dies after sending a part of
// its rows, while the client library stores them.
TEST_F(ServerKilled, WhileABrowseTransfersItsRows)
{
    Execute("CREATE TABLE big (id INT PRIMARY KEY, v INT, KEY kv (v))");
    Execute("INSERT INTO big SELECT seq, seq * 10 FROM seq_1_to_30000");
    CMySQLConnection* pclConnection = Connect(L"VX Cache Size=0");
    CNADataAccess* pclAccess = OpenAccess("big", pclConnection);
    // Described as a table, read through a view whose row 20,000 waits for
    // the test: the rows before it are on their way by then.
    Execute("RENAME TABLE big TO big_rows");
    Execute("CREATE FUNCTION gate(n INT) RETURNS INT RETURN n <> 20000 OR GET_LOCK('gate', 30) IS NOT NULL");
    Execute("CREATE VIEW big AS SELECT id, v FROM big_rows WHERE gate(id)");
    HoldTheGate();

    {
        KillAtUserLock killer(*s_server, m_admin);
        EXPECT_EQ(0, Read(pclAccess, NADirection::kFirst));
        ASSERT_TRUE(killer.bKilled());
    }
    ExpectLost("the browse's SELECT");
    ExpectLaterOperationsFail(pclAccess, pclConnection);

    Restart();
    CNADataAccess* pclAgain = OpenAccess("big", Connect(L"VX Cache Size=0"));
    EXPECT_EQ(Range(1, 5), Browse(pclAgain, 5));
}

// A browse by blocks of 100 rows: the server dies after the first block,
// and the SELECT of the next one finds it gone. That is a failure of the
// read, never the end of the browse. With the MySQL driver's statements and
// with statements that keep their rows in a record cache.
TEST_F(ServerKilled, BetweenTwoBlocksOfABrowse)
{
    Execute("CREATE TABLE blocks (id INT PRIMARY KEY, v INT)");
    Execute("INSERT INTO blocks SELECT seq, seq * 10 FROM seq_1_to_300");
    for (const bool bCached : {false, true}) {
        SCOPED_TRACE(bCached ? "record cache" : "MySQL statements");
        m_bCached = bCached;
        CMySQLConnection* pclConnection = Connect(L"VX Cache Size=100");
        CNADataAccess* pclAccess = OpenAccess("blocks", pclConnection);
        ASSERT_EQ(1, Read(pclAccess, NADirection::kFirst)) << m_pclError->pszGetError();
        for (int n = 2; n <= 100; ++n)
            ASSERT_EQ(1, Read(pclAccess, NADirection::kNext)) << m_pclError->pszGetError();
        ASSERT_EQ(100, Id(pclAccess));

        ASSERT_TRUE(s_server->bKill());
        EXPECT_EQ(0, Read(pclAccess, NADirection::kNext)) << "ended at " << Id(pclAccess);
        ExpectLost("the next block's SELECT");
        ExpectLaterOperationsFail(pclAccess, pclConnection);

        Restart();
        CNADataAccess* pclAgain = OpenAccess("blocks", Connect(L"VX Cache Size=100"));
        EXPECT_EQ(Range(1, 300), Browse(pclAgain, 1000));
    }
}

// Adds, a modification and a delete reported done, then an add whose
// trigger has written a second row and waits: the server dies before the
// statement ends, so neither row of it may come back, and every write
// reported done must.
TEST_F(ServerKilled, WhileAWriteRuns)
{
    Execute("CREATE TABLE w (id INT PRIMARY KEY, v INT) ENGINE=InnoDB");
    Execute("CREATE TABLE w_log (id INT PRIMARY KEY) ENGINE=InnoDB");
    Execute("CREATE TRIGGER w_added AFTER INSERT ON w FOR EACH ROW BEGIN INSERT INTO w_log VALUES (NEW.id); "
            "IF NEW.id = 99 THEN DO GET_LOCK('gate', 30); END IF; END");
    CMySQLConnection* pclConnection = Connect({});
    CNADataAccess* pclAccess = OpenAccess("w", pclConnection);
    Values expected;
    Values logged;
    for (int n = 1; n <= 20; ++n) {
        Set(pclAccess, L"id", Int(n));
        Set(pclAccess, L"v", Int(n * 10));
        m_pclError->Reset();
        ASSERT_EQ(1, pclAccess->bHAjoute(0, kLock)) << m_pclError->pszGetError();
        logged.push_back(std::to_string(n));
        if (n == 1)
            expected.push_back("1:11");
        else if (n != 2)
            expected.push_back(std::to_string(n) + ":" + std::to_string(n * 10));
    }
    ASSERT_EQ(1, Read(pclAccess, NADirection::kFirst)) << m_pclError->pszGetError();
    Set(pclAccess, L"v", Int(11));
    ASSERT_EQ(1, pclAccess->bHModifie(0, 0, kLock)) << m_pclError->pszGetError();
    ASSERT_EQ(1, Read(pclAccess, NADirection::kNext)) << m_pclError->pszGetError();
    ASSERT_EQ(2, Id(pclAccess));
    ASSERT_EQ(1, pclAccess->bHSupprime(0, kLock)) << m_pclError->pszGetError();
    HoldTheGate();

    Set(pclAccess, L"id", Int(99));
    Set(pclAccess, L"v", Int(990));
    {
        KillAtUserLock killer(*s_server, m_admin);
        m_pclError->Reset();
        EXPECT_EQ(0, pclAccess->bHAjoute(0, kLock));
        ASSERT_TRUE(killer.bKilled());
    }
    ExpectLost("the add");
    ExpectLaterOperationsFail(pclAccess, pclConnection);

    Restart();
    EXPECT_EQ(expected, OwnColumn("SELECT CONCAT(id, ':', v) FROM w ORDER BY id"));
    EXPECT_EQ(logged, OwnColumn("SELECT id FROM w_log ORDER BY id"));
    // A new connection reads what the server holds.
    CNADataAccess* pclAgain = OpenAccess("w", Connect({}));
    std::vector<int> ids = Range(3, 20);
    ids.insert(ids.begin(), 1);
    EXPECT_EQ(ids, Browse(pclAgain, 1000));
}

}  // namespace
