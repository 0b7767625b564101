// The MySQL connection against the run's private server: it reopens the same
// server the same way, creates a missing database in create mode, logs in
// users whose names lie beyond ASCII, leaves nothing behind after refused
// opens, speaks utf8mb4 (or latin1 without Unicode) on the server, and asks
// for the server's certificate when given a trust anchor. What the
// connection wrote is read back through a raw client of its own or through
// the connection's handle.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "mysql/client_api.h"
#include "native/driver/error_object.h"
#include "tests/host/db/standin_data_source_description.h"
#include "tests/host/support/test_environment.h"
#include "tests/mysql/client_test_support.h"
#include "tests/mysql/mysql_server_connection.h"
#include "tests/support/scratch_database.h"

namespace {

using vxtest::ConnectAsAdmin;
using vxtest::ConnectAsTestUser;
using vxtest::HandleRows;
using vxtest::Mariadb;
using vxtest::MariadbRoute;
using vxtest::QueryOnHandle;
using vxtest::RawClient;
using vxtest::RawRows;
using vxtest::ServerConnection;
using vxtest::ValueOnHandle;
using Text = std::optional<std::string>;

std::string Pid()
{
    return std::to_string(getpid());
}

std::string Hex(const std::string& sBytes)
{
    const std::string sLiteral = vxtest::HexLiteral(sBytes);
    return sLiteral.substr(2, sLiteral.size() - 3);
}

TEST(MySQLConnectionOnServer, ReopensTheSameServerTheSameWay)
{
    for (MariadbRoute route : {MariadbRoute::Socket, MariadbRoute::Tcp}) {
        const bool bSocket = route == MariadbRoute::Socket;
        SCOPED_TRACE(bSocket ? "socket" : "tcp");
        // 256 asks the server to ignore blanks after function names, which
        // it shows in the session's SQL mode.
        ServerConnection connection(L"Client Flag=256", route);
        const std::string sWho = "SELECT CONCAT_WS(' ', CURRENT_USER(), @@port, DATABASE(), "
                                 "FIND_IN_SET('IGNORE_SPACE', @@sql_mode) > 0)";
        const std::string sExpected = Mariadb().user.sUser + (bSocket ? "@localhost " : "@127.0.0.1 ") +
                                      std::to_string(Mariadb().nPort) + " " + Mariadb().sDatabase + " 1";
        Text firstId;
        for (int nOpen = 0; nOpen < 3; ++nOpen) {
            CNAError error;
            ASSERT_EQ(1, connection->bOpen(&error)) << error.pszGetError();
            EXPECT_EQ(Text(sExpected), ValueOnHandle(*connection, sWho)) << "open " << nOpen;
            const Text id = ValueOnHandle(*connection, "SELECT CONNECTION_ID()");
            EXPECT_NE(firstId, id) << "a new server connection each time";
            firstId = id;
            ASSERT_EQ(1, connection->bClose(&error));
            EXPECT_EQ(nullptr, connection->pGetMySQL());
        }
    }
}

TEST(MySQLConnectionOnServer, AnUpdateThatChangesNothingStillCountsItsRow)
{
    vxtest::ScratchDatabase db;
    ASSERT_FALSE(db.Name().empty());
    ServerConnection connection({}, MariadbRoute::Socket, nullptr, db.Name());
    CNAError error;
    ASSERT_EQ(1, connection->bOpen(&error)) << error.pszGetError();
    ASSERT_EQ(1, connection->bExecuteQueryNoResult(&error, L"CREATE TABLE t (id INT PRIMARY KEY, v INT)"));
    ASSERT_EQ(1, connection->bExecuteQueryNoResult(&error, L"INSERT INTO t VALUES (1, 5)"));
    ASSERT_EQ(1, connection->bExecuteQueryNoResult(&error, L"UPDATE t SET v = 5 WHERE id = 1"));
    // Without the found-rows flag this is 0, and a write check would take
    // the record for lost.
    EXPECT_EQ(1u, __mysql_affected_rows(connection->pGetMySQL()));
    ASSERT_EQ(1, connection->bExecuteQueryNoResult(&error, L"UPDATE t SET v = 5 WHERE id = 2"));
    EXPECT_EQ(0u, __mysql_affected_rows(connection->pGetMySQL()));
}

TEST(MySQLConnectionOnServer, AStatementWithoutResultLeavesNothingUnread)
{
    vxtest::ScratchDatabase db;
    ASSERT_FALSE(db.Name().empty());
    ServerConnection connection({}, MariadbRoute::Socket, nullptr, db.Name());
    CNAError error;
    ASSERT_EQ(1, connection->bOpen(&error)) << error.pszGetError();
    ASSERT_EQ(1, connection->bExecuteQueryNoResult(&error, L"CREATE TABLE t (id INT PRIMARY KEY)"));
    // A result nobody reads would make the next statement out of step.
    EXPECT_EQ(1, connection->bExecuteQueryNoResult(&error, L"SELECT 1"));
    EXPECT_EQ(Text("2"), ValueOnHandle(*connection, "SELECT 2"));
    // The error of a later statement of one text is the text's error.
    EXPECT_EQ(0, connection->bExecuteQueryNoResult(&error, L"INSERT INTO t VALUES (1); INSERT INTO t VALUES (1)"));
    EXPECT_EQ(1062u, error.dwGetDataBaseErrorCode()) << error.pszGetError();
    EXPECT_TRUE(vxtest::bDumpHas(error, vxtest::SiteLine(101, 41)));
    EXPECT_EQ(Text("1"), ValueOnHandle(*connection, "SELECT COUNT(*) FROM t"));
}

TEST(MySQLConnectionOnServer, OpenModeDoesNotCreateAMissingDatabase)
{
    const std::string sName = Mariadb().sPrefix + "missing_" + Pid();
    ServerConnection connection({}, MariadbRoute::Socket, nullptr, sName);
    CNAError error;
    EXPECT_EQ(0, connection->bOpen(&error));
    EXPECT_EQ(79u, error.dwGetErrorId()) << error.pszGetError();
    EXPECT_EQ(1049u, error.dwGetDataBaseErrorCode());
    EXPECT_TRUE(vxtest::bDumpHas(error, vxtest::SiteLine(101, 16)));
    EXPECT_EQ(nullptr, connection->pGetMySQL());
    RawClient client = ConnectAsTestUser();
    EXPECT_EQ(RawRows{}, client.Query("SHOW DATABASES LIKE '" + sName + "'"));
}

TEST(MySQLConnectionOnServer, CreateModeMakesTheDatabaseAndWorksInIt)
{
    // A blank in the name: the name is quoted.
    const std::string sName = Mariadb().sPrefix + "made here " + Pid();
    RawClient client = ConnectAsTestUser();
    {
        ServerConnection connection({}, MariadbRoute::Socket, nullptr, sName);
        CNAError error;
        ASSERT_EQ(1, connection->bOpenCreate(&error)) << error.pszGetError();
        EXPECT_EQ(0u, error.dwGetErrorId()) << error.pszGetError();
        EXPECT_EQ(1, connection->bIsOpen());
        EXPECT_EQ(Text(sName), ValueOnHandle(*connection, "SELECT DATABASE()"));
        EXPECT_EQ(Text("utf8mb4"), ValueOnHandle(*connection, "SELECT @@character_set_connection"));
        EXPECT_EQ(1, connection->bExecuteQueryNoResult(&error, L"CREATE TABLE t (id INT)"));

        // Once made, the database is simply opened.
        ASSERT_EQ(1, connection->bClose(&error));
        ASSERT_EQ(1, connection->bOpenCreate(&error)) << error.pszGetError();
        EXPECT_EQ(Text("t"), ValueOnHandle(*connection, "SHOW TABLES"));
    }
    EXPECT_TRUE(client.bExecute("DROP DATABASE " + vxtest::QuoteIdentifier(sName))) << client.sError();
}

// Users made by the administrator for one test and dropped after it.
class ServerUsers
{
public:
    ~ServerUsers()
    {
        RawClient admin = ConnectAsAdmin();
        for (const std::string& sUser : m_users)
            EXPECT_TRUE(admin.bExecute("DROP USER '" + sUser + "'@'localhost'")) << admin.sError();
    }
    vxtest::MariadbAccount Make(const std::string& sUser, const std::string& sPassword)
    {
        RawClient admin = ConnectAsAdmin();
        EXPECT_TRUE(admin.bExecute("CREATE USER '" + sUser + "'@'localhost' IDENTIFIED BY '" + sPassword + "'"))
            << admin.sError();
        m_users.push_back(sUser);
        EXPECT_TRUE(admin.bExecute("GRANT SELECT ON " + vxtest::QuoteIdentifier(Mariadb().sDatabase) + ".* TO '" +
                                   sUser + "'@'localhost'"))
            << admin.sError();
        return {sUser, sPassword};
    }

private:
    std::vector<std::string> m_users;
};

TEST(MySQLConnectionOnServer, UserNamesBeyondAsciiLogIn)
{
    ServerUsers users;
    const std::string sPassword = "pw-" + Pid();
    const vxtest::MariadbAccount andre = users.Make("andr\xC3\xA9_" + Pid(), sPassword);
    const vxtest::MariadbAccount stefan = users.Make("\xC5\x9Ctefan_" + Pid(), sPassword);
    const struct
    {
        const char* pszName;
        const vxtest::MariadbAccount& account;
        const wchar_t* pszKeys;
        int nCodePage;
        // CURRENT_USER() as the connection reads it; nullopt: refused.
        Text user;
    } aCases[] = {
        {"within 1252, Unicode", andre, L"", 65001, andre.sUser + "@localhost"},
        {"within 1252, latin1", andre, L"VX Unicode Support=0", 1252, "andr\xE9_" + Pid() + "@localhost"},
        {"beyond 1252, Unicode", stefan, L"", 65001, stefan.sUser + "@localhost"},
        // The name cannot be said in 1252.
        {"beyond 1252, latin1", stefan, L"VX Unicode Support=0", 1252, std::nullopt},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        ServerConnection connection(c.pszKeys, MariadbRoute::Socket, &c.account);
        CNAError error;
        if (!c.user) {
            EXPECT_EQ(0, connection->bOpen(&error));
            // Refused as a user with a wrong password or as one unknown,
            // as the server's authentication runs.
            const unsigned nCode = error.dwGetDataBaseErrorCode();
            EXPECT_TRUE(nCode == 1045 || nCode == 1698) << error.pszGetError();
            continue;
        }
        ASSERT_EQ(1, connection->bOpen(&error)) << error.pszGetError();
        EXPECT_EQ(c.nCodePage, connection->nGetCodePage());
        EXPECT_EQ(c.user, ValueOnHandle(*connection, "SELECT CURRENT_USER()"));
    }
}

TEST(MySQLConnectionOnServer, RefusedOpensLeaveNoHandleBehind)
{
    const vxtest::MariadbAccount wrong{Mariadb().user.sUser, Mariadb().user.sPassword + "x"};
    ServerConnection connection({}, MariadbRoute::Socket, &wrong);
    // Every handle of a refused open is closed; LeakSanitizer checks the
    // rest at the end of the binary.
    for (int i = 0; i < 20; ++i) {
        CNAError error;
        ASSERT_EQ(0, connection->bOpen(&error));
        EXPECT_EQ(79u, error.dwGetErrorId());
        EXPECT_EQ(1045u, error.dwGetDataBaseErrorCode());
        EXPECT_EQ(nullptr, connection->pGetMySQL());
    }
}

TEST(MySQLConnectionOnServer, TheServerReadsTheConnectionsCharacterSet)
{
    const struct
    {
        const char* pszName;
        const wchar_t* pszKeys;
        int nCodePage;
        int nUnicode;
        const char* pszCharset;
        // Written by the connection as wide text; read back by it in its
        // code page, and by a utf8mb4 client.
        const wchar_t* pszText;
        const char* pszAsRead;
        const char* pszUtf8;
    } aCases[] = {
        {"Unicode: utf8mb4, characters above U+FFFF too", L"", 65001, 1, "utf8mb4",
         L"d\u00e9j\u00e0 \u20ac \u015C \U00010348 \U0001F600",
         "d\xC3\xA9j\xC3\xA0 \xE2\x82\xAC \xC5\x9C \xF0\x90\x8D\x88 \xF0\x9F\x98\x80",
         "d\xC3\xA9j\xC3\xA0 \xE2\x82\xAC \xC5\x9C \xF0\x90\x8D\x88 \xF0\x9F\x98\x80"},
        {"without Unicode: latin1, that is 1252", L"VX Unicode Support=0", 1252, 0, "latin1",
         L"d\u00e9j\u00e0 \u20ac \u00ff", "d\xE9j\xE0 \x80 \xFF", "d\xC3\xA9j\xC3\xA0 \xE2\x82\xAC \xC3\xBF"},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        vxtest::ScratchDatabase db;
        ASSERT_FALSE(db.Name().empty());
        ServerConnection connection(c.pszKeys, MariadbRoute::Socket, nullptr, db.Name());
        CNAError error;
        ASSERT_EQ(1, connection->bOpen(&error)) << error.pszGetError();
        EXPECT_EQ(c.nCodePage, connection->nGetCodePage());
        EXPECT_EQ(c.nUnicode, connection->nGetUnicodeSupport());
        EXPECT_EQ((HandleRows{{c.pszCharset, c.pszCharset, c.pszCharset}}),
                  QueryOnHandle(*connection, "SELECT @@character_set_client, @@character_set_connection, "
                                             "@@character_set_results"));

        ASSERT_EQ(1, connection->bExecuteQueryNoResult(
                         &error, L"CREATE TABLE t (id INT PRIMARY KEY, s VARCHAR(40)) CHARACTER SET utf8mb4"));
        const std::wstring sInsert = std::wstring(L"INSERT INTO t VALUES (1, '") + c.pszText + L"')";
        ASSERT_EQ(1, connection->bExecuteQueryNoResult(&error, sInsert.c_str())) << error.pszGetError();
        EXPECT_EQ(Text(c.pszAsRead), ValueOnHandle(*connection, "SELECT s FROM t"));
        RawClient client = ConnectAsTestUser(db.Name());
        EXPECT_EQ(Text(Hex(c.pszUtf8)), client.Value("SELECT HEX(s) FROM t"));
    }
}

TEST(MySQLConnectionOnServer, ATrustAnchorDemandsAVerifiedServer)
{
    RawClient client = ConnectAsTestUser();
    ASSERT_EQ(Text("DISABLED"), client.Value("SELECT @@have_ssl")) << "the private server offers no TLS";
    {
        // Without a trust anchor the library goes on in clear text, which
        // the connection refuses.
        ServerConnection connection(L"SSL Cipher=AES256-SHA");
        CNAError error;
        EXPECT_EQ(0, connection->bOpen(&error));
        EXPECT_EQ(86u, error.dwGetErrorId()) << error.pszGetError();
        EXPECT_EQ(nullptr, connection->pGetMySQL());
    }
    for (const wchar_t* pszKeys : {L"SSL CA=/nonexistent/ca.pem", L"SSL CAPath=/nonexistent"}) {
        ServerConnection connection(pszKeys);
        CNAError error;
        EXPECT_EQ(0, connection->bOpen(&error)) << pszKeys;
        EXPECT_EQ(79u, error.dwGetErrorId()) << error.pszGetError();
        EXPECT_EQ(2026u, error.dwGetDataBaseErrorCode()) << error.pszGetError();
    }
}

TEST(MySQLConnectionOnServer, UnicodeItemsBecomeUcs2ColumnsThatStopAtTheBasicPlane)
{
    vxtest::ScratchDatabase db;
    ASSERT_FALSE(db.Name().empty());
    ServerConnection connection({}, MariadbRoute::Socket, nullptr, db.Name());
    CNAError error;
    ASSERT_EQ(1, connection->bOpen(&error)) << error.pszGetError();
    // The type map is made now, for the server the connection knows.
    StandinItemDescription item({L"S", NA_IT_UNICODE, 10});
    CTString csType;
    ASSERT_EQ(1, connection->bGetMatchingSQLType(&error, &item, &csType)) << error.pszGetError();
    ASSERT_STREQ(L"VARCHAR(10) CHARACTER SET ucs2", csType.pszGet());
    const std::wstring sCreate = std::wstring(L"CREATE TABLE t (s ") + csType.pszGet() + L")";
    ASSERT_EQ(1, connection->bExecuteQueryNoResult(&error, sCreate.c_str()));
    EXPECT_EQ(1, connection->bExecuteQueryNoResult(&error, L"INSERT INTO t VALUES ('\u015C\u20ac')"));
    // UCS-2 holds no character above U+FFFF: the server refuses it.
    EXPECT_EQ(0, connection->bExecuteQueryNoResult(&error, L"INSERT INTO t VALUES ('\U0001F600')"));
    EXPECT_EQ(1366u, error.dwGetDataBaseErrorCode()) << error.pszGetError();
}

}  // namespace
