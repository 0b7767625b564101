#pragma once

// A MySQL connection of the driver to the run's private server, as the host
// would describe it: the server's socket ("localhost" and "Unix Socket") or
// its TCP port ("127.0.0.1" and "Server Port"), an account, a default
// database and further extended keys. The client library is Debian's,
// loaded by its default name; the environment below unloads it after the
// binary's last test (never between tests: the raw client shares it).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/text/ct_string.h"
#include "mysql/function_loader.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/mysql/mysql_connection_support.h"
#include "tests/support/raw_client.h"

namespace vxtest {

inline std::wstring FromUtf8(const std::string& s)
{
    CTString cs;
    cs.SetANSIEx(s.c_str(), static_cast<int>(s.size()), 65001);
    return cs.pszGet();
}

// The host name that reaches a server by the route, and the extended keys
// that go with it ("Unix Socket" or "Server Port"), then further keys.
inline const wchar_t* RouteHost(MariadbRoute route)
{
    return route == MariadbRoute::Socket ? L"localhost" : L"127.0.0.1";
}
inline std::wstring RouteKeys(const MariadbServer& server, MariadbRoute route, const std::wstring& sKeys = {})
{
    std::wstring sExtended = route == MariadbRoute::Socket ? L"Unix Socket=" + FromUtf8(server.sSocket)
                                                           : L"Server Port=" + std::to_wstring(server.nPort);
    if (!sKeys.empty())
        sExtended += L";" + sKeys;
    return sExtended;
}

// The host's description of a connection to the run's server, as the host
// would fill it: the server's socket or TCP port, an account (the test user
// when none is given), a default database (the server's test database when
// empty) and further extended keys.
class ServerHost
{
public:
    explicit ServerHost(const std::wstring& sKeys = {}, MariadbRoute route = MariadbRoute::Socket,
                        const MariadbAccount* pAccount = nullptr, const std::string& sDatabase = {})
        : ServerHost(Mariadb(), sKeys, route, pAccount, sDatabase)
    {
    }
    // The same for another server (a test's own).
    ServerHost(const MariadbServer& server, const std::wstring& sKeys, MariadbRoute route,
               const MariadbAccount* pAccount = nullptr, const std::string& sDatabase = {})
    {
        const MariadbAccount& account = pAccount != nullptr ? *pAccount : server.user;
        m_sUser = FromUtf8(account.sUser);
        m_sPassword = FromUtf8(account.sPassword);
        m_sDatabase = FromUtf8(sDatabase.empty() ? server.sDatabase : sDatabase);
        m_host.SetDataBase(RouteHost(route));
        m_sExtended = RouteKeys(server, route, sKeys);
        m_host.SetUserName(m_sUser.c_str());
        m_host.SetPassword(m_sPassword.c_str());
        m_host.SetDefaultDataBase(m_sDatabase.c_str());
        m_host.SetExtendedInfo(m_sExtended.c_str());
    }
    ServerHost(const ServerHost&) = delete;
    ServerHost& operator=(const ServerHost&) = delete;

    StandinConnectionDescription& Host() { return m_host; }

private:
    std::wstring m_sUser, m_sPassword, m_sDatabase, m_sExtended;
    StandinConnectionDescription m_host;
};

class ServerConnection
{
public:
    // sDatabase empty: the server's test database.
    explicit ServerConnection(const std::wstring& sKeys = {}, MariadbRoute route = MariadbRoute::Socket,
                              const MariadbAccount* pAccount = nullptr, const std::string& sDatabase = {})
        : m_host(sKeys, route, pAccount, sDatabase)
    {
        m_connection = std::make_unique<CInspectedConnection>(L"server", &m_host.Host());
    }
    ~ServerConnection() { m_connection.reset(); }
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    CInspectedConnection& operator*() { return *m_connection; }
    CInspectedConnection* operator->() { return m_connection.get(); }

private:
    ServerHost m_host;
    std::unique_ptr<CInspectedConnection> m_connection;
};

// The client library goes after the last test, when no raw client is left.
class ClientLibraryEnvironment : public ::testing::Environment
{
public:
    void TearDown() override { CNAFunctionLoader::g_Term(); }
};

inline const bool kClientLibraryEnvironmentRegistered =
    (::testing::AddGlobalTestEnvironment(new ClientLibraryEnvironment), true);

}  // namespace vxtest
