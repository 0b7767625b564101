#pragma once

// MySQL execution statements and table descriptions on a MariaDB server:
// the run's private server (a scratch database of the test's own), or a
// server the test started itself. Connections go through the server's
// socket as its test user; the client library is Debian's, unloaded after
// the binary's last test. What the driver wrote is read back through a raw
// client of the test's own.
#include <gtest/gtest.h>

#include <string>

#include "tests/mysql/mysql_server_connection.h"
#include "tests/mysql/mysql_statement_support.h"
#include "tests/support/raw_client.h"
#include "tests/support/scratch_database.h"

namespace vxtest {

// Each test has a scratch database of its own on the run's server, and a
// raw client in it.
class MySQLStatementOnServer : public MySQLStatementTest
{
protected:
    void SetUp() override
    {
        MySQLStatementTest::SetUp();
        ASSERT_FALSE(m_db.Name().empty());
        m_client = ConnectAsTestUser(m_db.Name());
    }

    // An open connection to the server (the run's when none is given) in
    // the database, with further extended keys; the test fails when it
    // does not open.
    CMySQLConnection* OpenServerConnection(const std::string& sDatabase, const std::wstring& sKeys = {},
                                           const MariadbServer* pServer = nullptr)
    {
        const MariadbServer& server = pServer != nullptr ? *pServer : Mariadb();
        std::wstring sExtended = L"Unix Socket=" + FromUtf8(server.sSocket);
        if (!sKeys.empty())
            sExtended += L";" + sKeys;
        CMySQLConnection* pclConnection = NewConnection(L"localhost", FromUtf8(server.user.sUser),
                                                        FromUtf8(server.user.sPassword), FromUtf8(sDatabase),
                                                        sExtended);
        EXPECT_EQ(1, pclConnection->bOpen(m_pclError)) << m_pclError->pszGetError();
        return pclConnection;
    }

    // Runs a text on the statement; the test fails when it does not run.
    void Run(CMySQLStatementSQL* pclStatement, const wchar_t* pszSQL)
    {
        m_pclError->Reset();
        EXPECT_EQ(1, pclStatement->bExecuteDirect(pszSQL, nullptr, 0)) << m_pclError->pszGetError();
    }

    ScratchDatabase m_db;
    RawClient m_client;
};

}  // namespace vxtest
