// The diagnosis of a query larger than the server accepts, on a server of
// the test's own whose max_allowed_packet is 1024: a query of 8 MB makes the
// server drop the connection (2006; smaller ones up to about 1 MB get 1153
// and start no diagnosis), the diagnosis finds the limit after reopening
// the connection, user error 320101 comes first in the statement's error,
// and the connection serves the next statement.
#include <gtest/gtest.h>

#include <string>

#include "tests/mysql/client_test_support.h"
#include "tests/mysql/mysql_statement_server.h"
#include "tests/support/mariadb_server.h"

namespace {

using vxtest::bDumpHas;
using vxtest::SiteLine;

class MySQLPacketDiagnosisServer : public vxtest::MySQLStatementOnServer
{
};

TEST_F(MySQLPacketDiagnosisServer, AQueryAboveTheServersPacketLimit)
{
    vxtest::PrivateMariadb server({"--max-allowed-packet=1024"});
    ASSERT_TRUE(server.bStarted());
    CMySQLConnection* pclConnection = OpenServerConnection(server.Server().sDatabase, {}, &server.Server());
    CMySQLStatementSQL* pclStatement = NewStatement(pclConnection);

    const std::wstring sQuery = L"SELECT '" + std::wstring(8 << 20, L'x') + L"'";
    m_pclError->Reset();
    EXPECT_EQ(0, pclStatement->bExecuteDirect(sQuery.c_str(), nullptr, 0));
    EXPECT_EQ(320101u, m_pclError->dwGetErrorId()) << std::wstring(m_pclError->pszGetError()).substr(0, 2000);
    EXPECT_EQ(2006u, m_pclError->dwGetDataBaseErrorCode());
    EXPECT_TRUE(bDumpHas(*m_pclError, SiteLine(100, 26)));
    EXPECT_TRUE(bDumpHas(*m_pclError, L"max_allowed_packet vaut 1024, la requête compte " +
                                          std::to_wstring(sQuery.size()) + L" caractères et commence par <SELECT "
                                                                           L"'xxxxxxxxxxxx>"));
    // The client's error and the dump of the query's first characters follow.
    EXPECT_TRUE(bDumpHas(*m_pclError, SiteLine(100, 23)));
    EXPECT_FALSE(bDumpHas(*m_pclError, L"show variables")) << "the diagnosis's errors stay out";

    m_pclError->Reset();
    ASSERT_EQ(1, pclStatement->bExecuteDirect(L"SELECT 41 + 1", nullptr, 0)) << m_pclError->pszGetError();
    ASSERT_EQ(1, pclStatement->bFetch(0));
    EXPECT_EQ(L"42", Value(pclStatement, 0));
}

}  // namespace
