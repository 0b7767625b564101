// A server that stops answering, frozen by SIGSTOP on its PID as a hung
// machine or a network that drops every packet looks to its clients, on a
// server of the test's own. With "VX Command Timeout" a browse that needs
// its next block, and a statement reading an unbuffered result, give up
// with the client's error for a lost server (2013); with "VX Connection
// Timeout" an open gives up in the handshake (2013, or a refusal of the
// connect). Each call returns 0 within its time-out and some slack (the
// bound is generous, not a measure of speed), and once the server is woken
// a new connection works.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "mysql/mysql_statement_sql.h"
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/driver/error_object.h"
#include "tests/mysql/own_server_fixture.h"
#include "tests/support/mariadb_server.h"
#include "tests/support/raw_client.h"

namespace {

using vxtest::FromUtf8;
using vxtest::MariadbRoute;
using vxtest::MariadbServer;
using vxtest::PrivateMariadb;
using vxtest::RawClient;
using Clock = std::chrono::steady_clock;

constexpr eNA_LOCKTYPE kLock = static_cast<eNA_LOCKTYPE>(1);
constexpr unsigned kLostDuringQuery = 2013;
constexpr unsigned kGoneAway = 2006;
constexpr int kTimeoutSeconds = 1;
// A client may try a read again after its time-out; three tries and some
// scheduling are still far from a call that never returns.
constexpr auto kBound = std::chrono::seconds(3 * kTimeoutSeconds + 5);

// The server frozen for the life of the object, woken again on every way
// out of the test. A watchdog wakes it at twice the bound, so that a call
// that would wait for the server forever comes back, too late, and fails
// its test instead of hanging the run.
class Frozen
{
public:
    explicit Frozen(PrivateMariadb& server) : m_server(server), m_bFrozen(server.bSignal(SIGSTOP))
    {
        if (m_bFrozen)
            m_watchdog = std::thread([this] {
                std::unique_lock<std::mutex> lock(m_mutex);
                if (!m_woken.wait_for(lock, 2 * kBound, [this] { return m_bEnded; })) {
                    m_bWokenByWatchdog = true;
                    (void)m_server.bSignal(SIGCONT);
                }
            });
    }
    ~Frozen()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_bEnded = true;
        }
        m_woken.notify_all();
        if (m_watchdog.joinable())
            m_watchdog.join();
        if (m_bFrozen && !m_bWokenByWatchdog) {
            EXPECT_TRUE(m_server.bSignal(SIGCONT));
        }
        EXPECT_FALSE(m_bWokenByWatchdog) << "a call waited for the frozen server";
    }
    Frozen(const Frozen&) = delete;
    Frozen& operator=(const Frozen&) = delete;

    bool bFrozen() const { return m_bFrozen; }

private:
    PrivateMariadb& m_server;
    bool m_bFrozen;
    std::mutex m_mutex;
    std::condition_variable m_woken;
    bool m_bEnded = false;
    bool m_bWokenByWatchdog = false;
    std::thread m_watchdog;
};

class ServerStopsAnswering : public vxtest::OwnServerFixture
{
protected:
    static void SetUpTestSuite()
    {
        OwnServerFixture::SetUpTestSuite();
        RawClient own;
        if (!s_server->bStarted() ||
            !own.bConnect(s_server->Server(), s_server->Server().user, MariadbRoute::Socket,
                          s_server->Server().sDatabase))
            return;
        // t for browses by blocks, big for a result longer than the
        // socket's buffers.
        for (const auto& [pszTable, nRows] : {std::pair{"t", 300}, std::pair{"big", 100000}})
            own.bExecute(std::string("CREATE TABLE ") + pszTable + " (id INT PRIMARY KEY, v INT) SELECT seq AS id, " +
                         "seq * 10 AS v FROM seq_1_to_" + std::to_string(nRows));
    }

    CMySQLConnection* Connect(MariadbRoute route, const std::wstring& sKeys)
    {
        return OpenedConnectionTo(route, sKeys);
    }

    // The next row of the browse on id.
    int Next(CNADataAccess* pclAccess)
    {
        eNA_LOCKTYPE eOut = kLock;
        m_pclError->Reset();
        return pclAccess->bHLitxxx(L"id", NADirection::kNext, 1, kLock, &eOut, 0);
    }

    // A new connection works on the woken server.
    void ExpectANewConnectionWorks()
    {
        CMySQLStatementSQL* pclStatement = NewStatement(Connect(MariadbRoute::Socket, {}));
        m_pclError->Reset();
        ASSERT_EQ(1, pclStatement->bExecuteDirect(L"SELECT COUNT(*), MAX(v) FROM t", nullptr, 0))
            << m_pclError->pszGetError();
        EXPECT_EQ((std::vector<std::vector<std::wstring>>{{L"300", L"3000"}}), ReadAll(pclStatement));
    }
};

// A browse by blocks of 100 rows: the server freezes after the first
// block, and the SELECT of the next one waits for an answer that never
// comes.
TEST_F(ServerStopsAnswering, ABrowseGivesUpAfterTheCommandTimeout)
{
    for (const MariadbRoute route : {MariadbRoute::Socket, MariadbRoute::Tcp}) {
        SCOPED_TRACE(route == MariadbRoute::Socket ? "socket" : "TCP");
        CMySQLConnection* pclConnection =
            Connect(route, L"VX Cache Size=100;VX Command Timeout=" + std::to_wstring(kTimeoutSeconds));
        CNADataAccess* pclAccess = OpenAccess("t", pclConnection);
        // From before the first row, the first block.
        for (int n = 1; n <= 100; ++n)
            ASSERT_EQ(1, Next(pclAccess)) << n << ": " << m_pclError->pszGetError();
        {
            Frozen frozen(*s_server);
            ASSERT_TRUE(frozen.bFrozen());
            const Clock::time_point start = Clock::now();
            EXPECT_EQ(0, Next(pclAccess));
            EXPECT_LT(Clock::now() - start, kBound);
            EXPECT_EQ(kLostDuringQuery, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
        }
        ExpectANewConnectionWorks();
    }
}

// A statement reading an unbuffered result: the rows already on their way
// come, then the fetch that waits for more gives up.
TEST_F(ServerStopsAnswering, AnUnbufferedReadGivesUpAfterTheCommandTimeout)
{
    CMySQLConnection* pclConnection =
        Connect(MariadbRoute::Socket, L"VX Command Timeout=" + std::to_wstring(kTimeoutSeconds));
    CMySQLStatementSQL* pclReading = NewStatement(pclConnection);
    pclReading->SetStoreResult(0);
    m_pclError->Reset();
    ASSERT_EQ(1, pclReading->bExecuteDirect(L"SELECT id, v FROM big ORDER BY id", nullptr, 0))
        << m_pclError->pszGetError();
    ASSERT_EQ(1, pclReading->_bFetch());
    ASSERT_EQ(L"1", Value(pclReading, 0));
    {
        Frozen frozen(*s_server);
        ASSERT_TRUE(frozen.bFrozen());
        const Clock::time_point start = Clock::now();
        int nRows = 1;
        m_pclError->Reset();
        while (pclReading->_bFetch() == 1 && pclReading->bHasCurrentRow())
            ++nRows;
        EXPECT_LT(Clock::now() - start, kBound);
        EXPECT_LT(nRows, 100000);
        EXPECT_EQ(kLostDuringQuery, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
    }
    m_pclError->Reset();
    (void)pclReading->_bCloseParse();
    ExpectANewConnectionWorks();
}

// The open of a connection to the frozen server: the connect itself is
// taken by the system, the server's greeting never comes.
TEST_F(ServerStopsAnswering, AnOpenGivesUpAfterTheConnectionTimeout)
{
    for (const MariadbRoute route : {MariadbRoute::Socket, MariadbRoute::Tcp}) {
        SCOPED_TRACE(route == MariadbRoute::Socket ? "socket" : "TCP");
        CMySQLConnection* pclConnection =
            NewConnectionTo(route, L"VX Connection Timeout=" + std::to_wstring(kTimeoutSeconds));
        {
            Frozen frozen(*s_server);
            ASSERT_TRUE(frozen.bFrozen());
            const Clock::time_point start = Clock::now();
            m_pclError->Reset();
            EXPECT_EQ(0, pclConnection->bOpen(m_pclError));
            EXPECT_LT(Clock::now() - start, kBound);
            EXPECT_EQ(79u, m_pclError->dwGetErrorId()) << m_pclError->pszGetError();
            const unsigned nCode = m_pclError->dwGetDataBaseErrorCode();
            EXPECT_TRUE(nCode == kLostDuringQuery || nCode == 2026 || nCode == 2003 || nCode == 2002)
                << m_pclError->pszGetError();
            EXPECT_EQ(0, pclConnection->bIsOpen());
            EXPECT_EQ(nullptr, pclConnection->pGetMySQL());
        }
        // The same description opens once the server answers again.
        m_pclError->Reset();
        EXPECT_EQ(1, pclConnection->bOpen(m_pclError)) << m_pclError->pszGetError();
        ExpectANewConnectionWorks();
    }
}

// With only the command time-out: the statement that meets the frozen
// server gives up (2013); the next one finds the session gone (2006), and
// the connect its diagnosis makes on its own to ask the server's packet
// limit waits no longer than the command time-out either. Once the server
// is woken, a statement on the same connection opens a session again and
// runs.
TEST_F(ServerStopsAnswering, AStatementAfterTheFrozenOneGivesUpAfterTheCommandTimeoutToo)
{
    for (const MariadbRoute route : {MariadbRoute::Socket, MariadbRoute::Tcp}) {
        SCOPED_TRACE(route == MariadbRoute::Socket ? "socket" : "TCP");
        CMySQLConnection* pclConnection = Connect(route, L"VX Command Timeout=" + std::to_wstring(kTimeoutSeconds));
        CMySQLStatementSQL* pclStatement = NewStatement(pclConnection);
        {
            Frozen frozen(*s_server);
            ASSERT_TRUE(frozen.bFrozen());
            for (const unsigned nCode : {kLostDuringQuery, kGoneAway}) {
                SCOPED_TRACE(nCode);
                const Clock::time_point start = Clock::now();
                m_pclError->Reset();
                EXPECT_EQ(0, pclStatement->bExecuteDirect(L"SELECT COUNT(*) FROM t", nullptr, 0));
                EXPECT_LT(Clock::now() - start, kBound);
                EXPECT_EQ(nCode, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
            }
        }
        m_pclError->Reset();
        ASSERT_EQ(1, pclStatement->bExecuteDirect(L"SELECT COUNT(*), MAX(v) FROM t", nullptr, 0))
            << m_pclError->pszGetError();
        EXPECT_EQ((std::vector<std::vector<std::wstring>>{{L"300", L"3000"}}), ReadAll(pclStatement));
    }
}

}  // namespace
