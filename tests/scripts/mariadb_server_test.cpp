// scripts/mariadb on servers of the test's own: options pass through, status
// reports, stop leaves no process and no directory, restart brings a killed
// server back on its data with its options; it refuses directories it did
// not make and signals no process but the directory's own mariadbd.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "tests/support/raw_client.h"

extern char** environ;

namespace {

using vxtest::MariadbServer;
using vxtest::RawClient;
using vxtest::RunMariadbScript;

bool bExists(const std::string& sPath)
{
    struct stat st;
    return lstat(sPath.c_str(), &st) == 0;
}

std::string CommandLine(long nPid)
{
    std::ifstream f("/proc/" + std::to_string(nPid) + "/cmdline", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

bool bIsServerOf(long nPid, const std::string& sDir)
{
    return CommandLine(nPid).find(std::string(1, '\0') + "--datadir=" + sDir + "/data" + '\0') != std::string::npos;
}

// A process of the test's own that scripts/mariadb must never signal.
class Bystander
{
public:
    Bystander()
    {
        char sSleep[] = "sleep";
        char sTime[] = "300";
        char* argv[] = {sSleep, sTime, nullptr};
        if (posix_spawnp(&m_pid, "sleep", nullptr, nullptr, argv, environ) != 0)
            m_pid = -1;
    }
    ~Bystander()
    {
        if (m_pid > 0)
        {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    Bystander(const Bystander&) = delete;
    Bystander& operator=(const Bystander&) = delete;
    pid_t Pid() const { return m_pid; }
    // Still running: our own child, so its number is not reused meanwhile.
    bool bAlive() const { return m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == 0; }

private:
    pid_t m_pid = -1;
};

void WriteText(const std::string& sPath, const std::string& sText)
{
    std::ofstream(sPath, std::ios::binary | std::ios::trunc) << sText;
}

TEST(MariadbScript, StartsWithExtraOptionsReportsAndStopsCompletely)
{
    vxtest::PrivateMariadb own({"--max-allowed-packet=65536"});
    ASSERT_TRUE(own.bStarted());
    const MariadbServer server = own.Server();
    EXPECT_NE(vxtest::Mariadb().sDir, server.sDir);
    EXPECT_LT(server.sSocket.size(), 108u);
    EXPECT_TRUE(bIsServerOf(server.nPid, server.sDir));

    RawClient admin;
    ASSERT_TRUE(admin.bConnect(server, server.admin, vxtest::MariadbRoute::Tcp)) << admin.sError();
    EXPECT_EQ((vxtest::RawRows{{"65536", "utf8mb4", "127.0.0.1"}}),
              admin.Query("SELECT @@max_allowed_packet, @@character_set_server, @@bind_address"));
    admin.Close();

    const vxtest::ScriptResult status = RunMariadbScript({"status", server.sDir});
    EXPECT_EQ(0, status.nStatus);
    std::string sWhy;
    const auto reported = vxtest::ParseMariadbAssignments(status.sOut, &sWhy);
    ASSERT_TRUE(reported.has_value()) << sWhy;
    EXPECT_EQ(server.nPid, reported->nPid);
    EXPECT_EQ(server.nPort, reported->nPort);

    EXPECT_EQ(0, own.Stop());
    EXPECT_FALSE(bIsServerOf(server.nPid, server.sDir));
    EXPECT_FALSE(bExists(server.sDir));
    EXPECT_EQ(2, RunMariadbScript({"status", server.sDir}).nStatus);
}

TEST(MariadbScript, StopRefusesDirectoriesItDidNotMake)
{
    Bystander bystander;
    ASSERT_GT(bystander.Pid(), 0);
    char szParent[] = "/tmp/vxmariadb-test.XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(szParent));
    const std::string sParent = szParent;
    const std::string sPid = std::to_string(bystander.Pid());

    // Looks like a server's directory, but has no marker.
    const std::string sNoMarker = sParent + "/vxmariadb.nomarker";
    mkdir(sNoMarker.c_str(), 0700);
    WriteText(sNoMarker + "/mariadbd.pid", sPid);
    // A marker copied from another directory names that one.
    const std::string sCopied = sParent + "/vxmariadb.copied";
    mkdir(sCopied.c_str(), 0700);
    WriteText(sCopied + "/mariadbd.pid", sPid);
    WriteText(sCopied + "/.vx-mariadb", "vx-mariadb " + vxtest::Mariadb().sDir);
    // A marked directory under another name.
    const std::string sOtherName = sParent + "/data";
    mkdir(sOtherName.c_str(), 0700);
    WriteText(sOtherName + "/mariadbd.pid", sPid);
    WriteText(sOtherName + "/.vx-mariadb", "vx-mariadb " + sOtherName);
    // A link to the run's own server directory.
    const std::string sLink = sParent + "/vxmariadb.link";
    ASSERT_EQ(0, symlink(vxtest::Mariadb().sDir.c_str(), sLink.c_str()));
    const std::string sFile = sParent + "/vxmariadb.file";
    WriteText(sFile, "");

    for (const std::string& sDir : {sNoMarker, sCopied, sOtherName, sLink, sFile, sParent + "/vxmariadb.none"})
    {
        SCOPED_TRACE(sDir);
        EXPECT_EQ(2, RunMariadbScript({"stop", sDir}).nStatus);
        EXPECT_EQ(2, RunMariadbScript({"status", sDir}).nStatus);
        EXPECT_EQ(2, RunMariadbScript({"restart", sDir}).nStatus);
    }
    EXPECT_TRUE(bystander.bAlive());
    for (const std::string& sKept : {sNoMarker + "/mariadbd.pid", sCopied + "/.vx-mariadb", sOtherName + "/mariadbd.pid",
                                     sLink, sFile})
        EXPECT_TRUE(bExists(sKept)) << sKept;
    EXPECT_TRUE(bIsServerOf(vxtest::Mariadb().nPid, vxtest::Mariadb().sDir));
    RawClient client;
    EXPECT_TRUE(client.bConnect(vxtest::Mariadb(), vxtest::Mariadb().user)) << client.sError();

    EXPECT_EQ(2, RunMariadbScript({"stop"}).nStatus);
    EXPECT_EQ(2, RunMariadbScript({"stop", sNoMarker, sCopied}).nStatus);
    std::system(("rm -rf '" + sParent + "'").c_str());
}

TEST(MariadbScript, StartRefusesOptionsThatMoveTheServer)
{
    for (const char* pszOption : {"--port=3306", "--socket=/run/mysqld/mysqld.sock", "--datadir=/var/lib/mysql",
                                  "--skip-networking", "--user=mysql", "max-allowed-packet=1M"})
    {
        const vxtest::ScriptResult result = RunMariadbScript({"start", pszOption});
        EXPECT_EQ(2, result.nStatus) << pszOption;
        EXPECT_EQ("", result.sOut) << pszOption;
    }
}

TEST(MariadbScript, StopOfAKilledServerSignalsOnlyItsOwnProcess)
{
    vxtest::PrivateMariadb own;
    ASSERT_TRUE(own.bStarted());
    const MariadbServer server = own.Server();
    // The run was killed, and the server's number now belongs to another
    // process (recorded here in its pid file).
    ASSERT_TRUE(bIsServerOf(server.nPid, server.sDir));
    ASSERT_EQ(0, kill(static_cast<pid_t>(server.nPid), SIGKILL));
    for (int i = 0; i < 300 && bIsServerOf(server.nPid, server.sDir); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_FALSE(bIsServerOf(server.nPid, server.sDir));
    Bystander bystander;
    ASSERT_GT(bystander.Pid(), 0);
    WriteText(server.sDir + "/mariadbd.pid", std::to_string(bystander.Pid()));

    EXPECT_EQ(3, RunMariadbScript({"status", server.sDir}).nStatus);
    EXPECT_EQ(0, own.Stop());
    EXPECT_TRUE(bystander.bAlive());
    EXPECT_FALSE(bExists(server.sDir));
}

// A server killed as a crash ends it comes back on the same data, socket and
// port with the options of its start; a server that runs is left alone.
TEST(MariadbScript, RestartRunsAKilledServerAgainWithItsOptions)
{
    vxtest::PrivateMariadb own({"--max-allowed-packet=65536"});
    ASSERT_TRUE(own.bStarted());
    const MariadbServer before = own.Server();
    {
        RawClient user;
        ASSERT_TRUE(user.bConnect(before, before.user, vxtest::MariadbRoute::Socket, before.sDatabase))
            << user.sError();
        ASSERT_TRUE(user.bExecute("CREATE TABLE kept (id INT PRIMARY KEY) ENGINE=InnoDB")) << user.sError();
        ASSERT_TRUE(user.bExecute("INSERT INTO kept VALUES (1), (2)")) << user.sError();
    }

    EXPECT_EQ(1, RunMariadbScript({"restart", before.sDir}).nStatus) << "its server still runs";
    EXPECT_TRUE(bIsServerOf(before.nPid, before.sDir));

    ASSERT_TRUE(own.bKill());
    EXPECT_EQ(3, RunMariadbScript({"status", before.sDir}).nStatus);
    ASSERT_EQ(0, own.Restart());
    const MariadbServer after = own.Server();
    EXPECT_NE(before.nPid, after.nPid);
    EXPECT_TRUE(bIsServerOf(after.nPid, after.sDir));
    EXPECT_EQ(before.sDir, after.sDir);
    EXPECT_EQ(before.sSocket, after.sSocket);
    EXPECT_EQ(before.nPort, after.nPort);
    EXPECT_EQ(before.user.sPassword, after.user.sPassword);
    std::string sWhy;
    const auto reported = vxtest::ParseMariadbAssignments(RunMariadbScript({"status", after.sDir}).sOut, &sWhy);
    ASSERT_TRUE(reported.has_value()) << sWhy;
    EXPECT_EQ(after.nPid, reported->nPid);
    for (const auto route : {vxtest::MariadbRoute::Socket, vxtest::MariadbRoute::Tcp})
    {
        RawClient user;
        ASSERT_TRUE(user.bConnect(after, after.user, route, after.sDatabase)) << user.sError();
        EXPECT_EQ((vxtest::RawRows{{"1"}, {"2"}}), user.Query("SELECT id FROM kept ORDER BY id"));
        EXPECT_EQ(std::optional<std::string>("65536"), user.Value("SELECT @@max_allowed_packet"));
    }

    EXPECT_EQ(0, own.Stop());
    EXPECT_FALSE(bIsServerOf(after.nPid, after.sDir));
    EXPECT_EQ(2, RunMariadbScript({"restart", after.sDir}).nStatus);
}

}  // namespace
