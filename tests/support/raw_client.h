#pragma once

// A minimal client of the private server, for checking what the code under
// test wrote: Debian's client library ("libmysqlclient.so") bound at run time
// with the few functions it needs declared here (no client header),
// statements sent as text, rows read back as byte strings. It shares nothing
// with the driver's own binding, so that a fault there cannot hide itself.
//
// The library is loaded once and stays loaded until the process ends:
// unloading it would leave its one-time initialisation to LeakSanitizer.
// Connections talk utf8mb4 unless a test sets another character set; values
// come back as the server sends them in that character set.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/mariadb_server.h"

namespace vxtest {

using RawCell = std::optional<std::string>;  // nullopt: SQL NULL
using RawRow = std::vector<RawCell>;
using RawRows = std::vector<RawRow>;

enum class MariadbRoute
{
    Socket,  // the server's private socket (accounts @localhost)
    Tcp,     // 127.0.0.1 and the server's port (accounts @127.0.0.1)
};

// Loads the client library on first call; false, with the dlopen or dlsym
// text in *psWhy, when it or one of its functions is missing.
bool RawClientLibraryLoaded(std::string* psWhy);

class RawClient
{
public:
    RawClient() = default;
    ~RawClient();
    RawClient(RawClient&& other) noexcept;
    RawClient& operator=(RawClient&& other) noexcept;
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    // Connects (closing an earlier connection first); sDatabase empty
    // selects none.
    bool bConnect(const MariadbServer& server, const MariadbAccount& account, MariadbRoute route = MariadbRoute::Socket,
                  const std::string& sDatabase = {});
    void Close();
    bool bConnected() const { return m_pHandle != nullptr; }

    bool bSetCharacterSet(const std::string& sName);
    // Runs one statement and discards whatever it returns.
    bool bExecute(std::string_view sSql);
    // The rows of one query, each value as the bytes the server sent.
    std::optional<RawRows> Query(std::string_view sSql);
    // The one value of a query of one row and one column; nullopt for NULL
    // or a failure (then sError() is set).
    std::optional<std::string> Value(std::string_view sSql);
    // Rows the last statement changed, inserted or deleted (or read, for a
    // query); (uint64_t)-1 after a failed one.
    uint64_t nAffectedRows() const { return m_nAffectedRows; }

    // Of the last call; 0 and empty after a success.
    unsigned nError() const { return m_nError; }
    const std::string& sError() const { return m_sError; }

private:
    bool bFail(unsigned nError, std::string sError);
    bool bSucceed();
    bool bFailFromServer();

    void* m_pHandle = nullptr;
    unsigned m_nError = 0;
    std::string m_sError;
    uint64_t m_nAffectedRows = 0;
};

// An identifier in backquotes, embedded backquotes doubled.
std::string QuoteIdentifier(std::string_view sName);
// A hexadecimal literal (X'..') of any bytes; put "_utf8mb4 " before it for
// a text in that character set.
std::string HexLiteral(std::string_view sBytes);

// Connections over the socket to the run's server as its test user (in
// sDatabase, by default the test database) or as its administrator; the test
// fails when the connection is refused.
RawClient ConnectAsTestUser(const std::string& sDatabase = {});
RawClient ConnectAsAdmin();

}  // namespace vxtest
