// The run's private server as the fixture describes it: the test user
// reaches it over the socket and over loopback TCP, owns the test database
// and the databases of the test prefix and nothing else; texts above U+FFFF
// survive a utf8mb4 table; the administrator can make other users.
#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/support/raw_client.h"
#include "tests/support/scratch_database.h"

namespace {

using vxtest::ConnectAsAdmin;
using vxtest::ConnectAsTestUser;
using vxtest::Mariadb;
using vxtest::MariadbRoute;
using vxtest::RawClient;
using vxtest::RawRows;
using Text = std::optional<std::string>;

TEST(MariadbFixture, TestUserReachesThePrivateServerByBothRoutes)
{
    const struct
    {
        MariadbRoute route;
        const char* pszHost;
    } aCases[] = {{MariadbRoute::Socket, "localhost"}, {MariadbRoute::Tcp, "127.0.0.1"}};
    const vxtest::MariadbServer& server = Mariadb();
    for (const auto& c : aCases)
    {
        SCOPED_TRACE(c.pszHost);
        RawClient client;
        ASSERT_TRUE(client.bConnect(server, server.user, c.route, server.sDatabase)) << client.sError();
        EXPECT_EQ(Text(server.user.sUser + "@" + c.pszHost), client.Value("SELECT CURRENT_USER()"));
        // The server of the fixture, not one of the machine's.
        EXPECT_EQ((RawRows{{std::to_string(server.nPort), server.sSocket, server.sDatabase, "utf8mb4", "utf8mb4"}}),
                  client.Query("SELECT @@port, @@socket, DATABASE(), @@character_set_server, "
                               "@@character_set_connection"));
        EXPECT_NE(3306u, server.nPort);

        RawClient refused;
        EXPECT_FALSE(refused.bConnect(server, {server.user.sUser, server.user.sPassword + "x"}, c.route));
        EXPECT_EQ(1045u, refused.nError()) << refused.sError();
    }
}

TEST(MariadbFixture, TestUserMakesAndDropsOnlyPrefixedDatabases)
{
    std::string sName;
    {
        vxtest::ScratchDatabase db;
        ASSERT_FALSE(db.Name().empty());
        sName = db.Name();
        EXPECT_EQ(0u, sName.rfind(Mariadb().sPrefix, 0)) << sName;
        EXPECT_LE(sName.size(), 64u);
        RawClient client = ConnectAsTestUser(sName);
        EXPECT_EQ(Text("utf8mb4"), client.Value("SELECT @@character_set_database"));
    }
    RawClient client = ConnectAsTestUser();
    EXPECT_EQ(RawRows{}, client.Query("SHOW DATABASES LIKE '" + sName + "'")) << "dropped at the end of its scope";

    const std::string sOther = "vxother_" + std::to_string(getpid());
    EXPECT_FALSE(client.bExecute("CREATE DATABASE " + sOther));
    EXPECT_EQ(1044u, client.nError()) << client.sError();
}

TEST(MariadbFixture, Utf8mb4TableKeepsCharactersAboveTheBasicPlane)
{
    vxtest::ScratchDatabase db;
    ASSERT_FALSE(db.Name().empty());
    // "é", "€", U+10348 and U+1F600: two, three and four bytes in UTF-8.
    const std::string sText = "d\xC3\xA9j\xC3\xA0 \xE2\x82\xAC \xF0\x90\x8D\x88 \xF0\x9F\x98\x80";
    RawClient client = ConnectAsTestUser(db.Name());
    ASSERT_TRUE(client.bExecute("CREATE TABLE t (id INT PRIMARY KEY, s VARCHAR(20)) CHARACTER SET utf8mb4"))
        << client.sError();
    ASSERT_TRUE(client.bExecute("INSERT INTO t VALUES (1, '" + sText + "')")) << client.sError();
    EXPECT_EQ(1u, client.nAffectedRows());

    // The stored bytes, and the text read back over the other route.
    EXPECT_EQ((RawRows{{"10", "C3A9", "F09F9880"}}),
              client.Query("SELECT CHAR_LENGTH(s), HEX(SUBSTRING(s, 2, 1)), HEX(SUBSTRING(s, 10, 1)) FROM t"));
    RawClient tcp;
    ASSERT_TRUE(tcp.bConnect(Mariadb(), Mariadb().user, MariadbRoute::Tcp, db.Name())) << tcp.sError();
    EXPECT_EQ(Text(sText), tcp.Value("SELECT s FROM t WHERE id = 1"));
    EXPECT_EQ(Text(sText), tcp.Value("SELECT s FROM t WHERE s = _utf8mb4 " + vxtest::HexLiteral(sText)));
    EXPECT_EQ((RawRows{{"1", std::nullopt}}), tcp.Query("SELECT 1, NULL"));
}

TEST(MariadbFixture, AdministratorMakesOtherUsers)
{
    // A name outside ASCII, as the client library sends it in utf8mb4.
    const std::string sUser = "andr\xC3\xA9_" + std::to_string(getpid());
    RawClient admin = ConnectAsAdmin();
    ASSERT_TRUE(admin.bExecute("CREATE USER '" + sUser + "'@'localhost' IDENTIFIED BY 'secret'")) << admin.sError();
    RawClient client;
    EXPECT_TRUE(client.bConnect(Mariadb(), {sUser, "secret"})) << client.sError();
    EXPECT_EQ(Text(sUser + "@localhost"), client.Value("SELECT CURRENT_USER()"));
    client.Close();
    EXPECT_TRUE(admin.bExecute("DROP USER '" + sUser + "'@'localhost'")) << admin.sError();

    RawClient user = ConnectAsTestUser();
    EXPECT_FALSE(user.bExecute("CREATE USER 'vxnobody'@'localhost'"));
    EXPECT_EQ(1227u, user.nError()) << user.sError();
}

}  // namespace
