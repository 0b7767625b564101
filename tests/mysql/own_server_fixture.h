#pragma once

// The MySQL driver's statements, descriptions and data accesses on a server
// of the test suite's own, started before its first test and stopped after
// its last: for tests that kill that server or its connections, which the
// run's shared server must never see. The suite's tests still have their
// scratch database and raw client on the shared server.
#include <unistd.h>

#include <optional>
#include <string>

#include "mysql/mysql_connection.h"
#include "tests/mysql/mysql_server_connection.h"
#include "tests/mysql/mysql_statement_on_server.h"
#include "tests/support/mariadb_server.h"
#include "tests/support/raw_client.h"

namespace vxtest {

class OwnServerFixture : public MySQLStatementFixture
{
protected:
    // Execution statements on a connection, and statements of a data access.
    using MySQLStatementTest::NewStatement;
    using StatementOnServer::NewStatement;

    static void SetUpTestSuite()
    {
        MySQLStatementFixture::SetUpTestSuite();
        s_server = new PrivateMariadb;
    }
    static void TearDownTestSuite()
    {
        delete s_server;
        s_server = nullptr;
    }
    void SetUp() override
    {
        MySQLStatementFixture::SetUp();
        ASSERT_TRUE(s_server->bStarted());
    }

    static const MariadbServer& Server() { return s_server->Server(); }

    // A connection of the driver to this server by the route, as its test
    // user, with further extended keys; not opened.
    CMySQLConnection* NewConnectionTo(MariadbRoute route, const std::wstring& sKeys = {})
    {
        const MariadbServer& server = Server();
        return NewConnection(RouteHost(route), FromUtf8(server.user.sUser), FromUtf8(server.user.sPassword),
                             FromUtf8(server.sDatabase), RouteKeys(server, route, sKeys));
    }
    // The same, opened.
    CMySQLConnection* OpenedConnectionTo(MariadbRoute route, const std::wstring& sKeys = {})
    {
        CMySQLConnection* pclConnection = NewConnectionTo(route, sKeys);
        m_pclError->Reset();
        EXPECT_EQ(1, pclConnection->bOpen(m_pclError)) << m_pclError->pszGetError();
        return pclConnection;
    }

    // KILL CONNECTION of the session from the administrator's connection;
    // returns once the session is gone from the process list.
    static void KillSession(RawClient& admin, const std::string& sId)
    {
        ASSERT_TRUE(admin.bExecute("KILL CONNECTION " + sId)) << admin.sError();
        for (int i = 0; i < 10000; ++i) {
            if (admin.Value("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = " + sId) ==
                std::optional<std::string>("0"))
                return;
            usleep(500);
        }
        FAIL() << "session " << sId << " still listed";
    }

    static inline PrivateMariadb* s_server = nullptr;
};

// The same on a server that rolls the whole transaction back on a lock wait
// time-out, with a raw client of the test user in the server's database and
// one of its administrator, who may kill sessions.
class RollBackOnTimeoutServerFixture : public OwnServerFixture
{
protected:
    static void SetUpTestSuite()
    {
        MySQLStatementFixture::SetUpTestSuite();
        s_server = new PrivateMariadb({"--innodb-rollback-on-timeout=1"});
    }
    void SetUp() override
    {
        OwnServerFixture::SetUp();
        ASSERT_TRUE(m_own.bConnect(Server(), Server().user, MariadbRoute::Socket, Server().sDatabase))
            << m_own.sError();
        ASSERT_TRUE(m_admin.bConnect(Server(), Server().admin)) << m_admin.sError();
    }

    RawClient m_own;
    RawClient m_admin;
};

}  // namespace vxtest
