#pragma once

// The private MariaDB server of the server tests: what scripts/mariadb
// printed when it started one (directory, socket, port, the test and the
// administrative account, the prefix of scratch databases), read from the
// ctest fixture's file, and servers a test starts for itself.
//
// Including this header makes a test binary a server test: before its first
// test it reads the fixture's file and loads the raw client library. When
// either is missing the binary ends with the skip code that ctest reports as
// skipped; under CI (CI set) it fails instead, so that a machine without a
// server never shows the server tests as passed. Files named
// *_server_test.cpp get the fixture from tests/CMakeLists.txt; those that
// change a global setting of the shared server are named
// *_globals_server_test.cpp (one lock among them) and restore the setting,
// or start a PrivateMariadb instead.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vxtest {

struct MariadbAccount
{
    std::string sUser;
    std::string sPassword;
};

struct MariadbServer
{
    std::string sDir;
    std::string sSocket;
    unsigned nPort = 0;
    long nPid = 0;
    // A database that exists from the start; the test user owns it.
    std::string sDatabase;
    // The test user may create and drop databases whose names start so.
    std::string sPrefix;
    MariadbAccount user;
    // May change global settings and make other users.
    MariadbAccount admin;
};

// Reads the shell assignments scripts/mariadb prints (NAME='value' per line).
// Nullopt, with the reason in *psWhy, when a value is missing or malformed.
std::optional<MariadbServer> ParseMariadbAssignments(const std::string& sText, std::string* psWhy);

// The server of this test run; valid inside tests (the environment below has
// already ended the binary when there is none).
const MariadbServer& Mariadb();

struct ScriptResult
{
    int nStatus = -1;  // exit status, or -1 when the script did not end normally
    std::string sOut;  // standard output; standard error goes to the test's
};

// Runs scripts/mariadb with these arguments.
ScriptResult RunMariadbScript(const std::vector<std::string>& args);

// A server of the test's own, with extra server options (a small
// --max-allowed-packet, a bigger pool), for tests that need other settings
// than the shared server has, or that kill it. The destructor stops it.
class PrivateMariadb
{
public:
    explicit PrivateMariadb(const std::vector<std::string>& options = {});
    ~PrivateMariadb();
    PrivateMariadb(const PrivateMariadb&) = delete;
    PrivateMariadb& operator=(const PrivateMariadb&) = delete;

    // False (and the test failed) when the start did not succeed.
    bool bStarted() const { return m_server.has_value(); }
    const MariadbServer& Server() const { return *m_server; }
    // Stops the server now; the script's exit status.
    int Stop();
    // SIGKILL to the server by its PID, as a crash would end it; true once
    // that process is no longer the directory's server.
    bool bKill();
    // Another signal to the server by its PID (SIGSTOP freezes it as a hung
    // machine looks to its clients, SIGCONT wakes it); false when that
    // process is not the directory's server or the signal was refused. A
    // SIGSTOP returns once every thread of the server has stopped (false
    // when they have not within seconds).
    bool bSignal(int nSignal);
    // scripts/mariadb restart: the server runs again on the same data,
    // socket and port, under a new PID. The script's exit status.
    int Restart();

private:
    // The recorded PID is this directory's running server.
    bool bIsServer() const;

    std::optional<MariadbServer> m_server;
};

// Reads the fixture's file once for the whole binary (see the top).
class MariadbEnvironment : public ::testing::Environment
{
public:
    void SetUp() override;
};

inline const bool kMariadbEnvironmentRegistered =
    (::testing::AddGlobalTestEnvironment(new MariadbEnvironment), true);

}  // namespace vxtest
