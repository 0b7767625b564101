#pragma once

// The MySQL driver's statements, descriptions and data accesses on a server
// of the test suite's own, started before its first test and stopped after
// its last: for tests that kill that server or its connections, which the
// run's shared server must never see. The suite's tests still have their
// scratch database and raw client on the shared server.
#include "tests/mysql/mysql_statement_on_server.h"
#include "tests/support/mariadb_server.h"

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

    static inline PrivateMariadb* s_server = nullptr;
};

}  // namespace vxtest
