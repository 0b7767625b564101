// What a connection that asks for TLS sends to a server that offers none,
// with Debian's client library: a stand-in server of the test's own, a
// loopback listener thread, answers the connect with a handshake (protocol
// 10) without the TLS capability, answers a login with OK (or with a switch
// to another authentication plug-in) and records every byte the client
// sends. The library refuses such a server at the handshake only when it
// was asked to verify the server's certificate ("SSL CA", "SSL CAPath", and
// so the verifying modes of "SSL Mode"): nothing of the login reaches the
// stand-in. On every other road ("SSL Key"/"SSL Cert", "SSL Cipher", "SSL
// Mode=REQUIRED") the library has no option that refuses before the login,
// and the stand-in receives the user name, the database name and the
// authentication answer in clear text; the driver's cipher check then
// refuses and closes the session (user error 86) and nothing but the
// client's quit follows the login. On those roads the library runs only
// the plug-ins that keep the password from whoever answers: a switch to
// one that would hand it over is refused, and no byte of the password goes
// out. The README's TLS paragraph says so.
//
// The certificate files named are never read: the library reads them only
// at a TLS handshake, which the stand-in never offers. Every wait of the
// listener is bounded, and the client is given time-outs, so a test ends
// even when the library behaves otherwise.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "native/driver/error_object.h"
#include "tests/mysql/client_test_support.h"
#include "tests/mysql/mysql_statement_support.h"

namespace {

using vxtest::bDumpHas;

constexpr unsigned kCannotConnect = 79;
constexpr unsigned kNotEncrypted = 86;
constexpr unsigned kTlsError = 2026;
constexpr unsigned kPlugInRefused = 95;
constexpr unsigned kPlugInNotAllowed = 5010;
constexpr unsigned kAccessDenied = 1045;
constexpr const char* kUser = "vxloginuser";
constexpr const char* kDatabase = "vxlogindb";
constexpr const char* kPassword = "vx login secret";
constexpr const char* kNativePlugIn = "mysql_native_password";
const std::string kChallenge = "abcdefghijklmnopqrst";

// One packet of the protocol: 3 bytes of length, the sequence number, the
// payload.
std::string Packet(uint8_t nSequence, const std::string& sPayload)
{
    const auto n = static_cast<uint32_t>(sPayload.size());
    std::string s{static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF), static_cast<char>(n >> 16),
                  static_cast<char>(nSequence)};
    return s + sPayload;
}

// The payload length of the packet whose header starts at nAt.
size_t nPacketLength(const std::string& s, size_t nAt)
{
    return static_cast<uint8_t>(s[nAt]) | static_cast<uint8_t>(s[nAt + 1]) << 8 |
           static_cast<uint8_t>(s[nAt + 2]) << 16;
}

// A server greeting of protocol 10 that offers no TLS (no CLIENT_SSL,
// 0x800), with a 20-byte challenge for the plug-in it names.
std::string Handshake(const std::string& sPlugIn)
{
    // Long password (a MySQL server), found rows, long flag, connect with a
    // database, protocol 4.1, transactions, secure connection, several
    // statements and results, authentication plug-ins.
    constexpr uint32_t kCapabilities = 0x1 | 0x2 | 0x4 | 0x8 | 0x200 | 0x2000 | 0x8000 | 0x10000 | 0x20000 | 0x80000;
    static_assert((kCapabilities & 0x800) == 0, "the stand-in offers no TLS");
    std::string s;
    s += '\x0a';
    s += std::string("5.7.99-vx-standin") + '\0';
    s += std::string("\x07\x00\x00\x00", 4);  // the connection's number
    s += kChallenge.substr(0, 8) + '\0';
    s += static_cast<char>(kCapabilities & 0xFF);
    s += static_cast<char>((kCapabilities >> 8) & 0xFF);
    s += '\x21';                      // utf8_general_ci
    s += std::string("\x02\x00", 2);  // status: autocommit
    s += static_cast<char>((kCapabilities >> 16) & 0xFF);
    s += static_cast<char>(kCapabilities >> 24);
    s += '\x15';  // the challenge's length with its terminator
    s += std::string(10, '\0');
    s += kChallenge.substr(8) + '\0';
    s += sPlugIn + '\0';
    return Packet(0, s);
}

// The stand-in's answers: OK; a switch to another authentication plug-in
// with that plug-in's data; a refused login.
std::string Ok()
{
    return std::string("\x00\x00\x00\x02\x00\x00\x00", 7);
}

std::string Switch(const std::string& sPlugIn, const std::string& sData)
{
    return '\xfe' + sPlugIn + '\0' + sData;
}

std::string AccessDenied()
{
    return std::string("\xff\x15\x04#28000", 9) + "Access denied (stand-in)";
}

// The loopback listener: one connection, greeted with Handshake(sPlugIn);
// the client's packets are answered in turn with the answers given (a packet
// beyond them with none), and everything the client sends is kept until it
// closes. Each wait is at most 10 seconds.
class StandinServer
{
public:
    StandinServer(const std::string& sPlugIn, std::vector<std::string> answers)
        : m_sPlugIn(sPlugIn), m_answers(std::move(answers))
    {
        m_nListen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t nLength = sizeof address;
        if (m_nListen < 0 || bind(m_nListen, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(m_nListen, 1) != 0 ||
            getsockname(m_nListen, reinterpret_cast<sockaddr*>(&address), &nLength) != 0)
            return;
        m_nPort = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~StandinServer()
    {
        Finish();
        if (m_nListen >= 0)
            close(m_nListen);
    }
    StandinServer(const StandinServer&) = delete;
    StandinServer& operator=(const StandinServer&) = delete;

    int nPort() const { return m_nPort; }
    // Ends the listener: a client not yet come is no longer waited for; one
    // that came is read to its close. Then what it sent can be read.
    void Finish()
    {
        m_bStop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    bool bAccepted() const { return m_bAccepted; }
    const std::string& Received() const { return m_sReceived; }

private:
    using Clock = std::chrono::steady_clock;

    // Waits for the descriptor to be readable, in slices, until the
    // deadline, or until Finish when bStoppable; true when readable.
    bool bWaitReadable(int nFd, Clock::time_point deadline, bool bStoppable)
    {
        while (Clock::now() < deadline) {
            if (bStoppable && m_bStop)
                return false;
            pollfd fd{nFd, POLLIN, 0};
            const int n = poll(&fd, 1, 50);
            if (n > 0)
                return true;
            if (n < 0 && errno != EINTR)
                return false;
        }
        return false;
    }

    void Serve()
    {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        if (!bWaitReadable(m_nListen, deadline, true))
            return;
        const int nClient = accept4(m_nListen, nullptr, nullptr, SOCK_CLOEXEC);
        if (nClient < 0)
            return;
        m_bAccepted = true;
        const std::string sHandshake = Handshake(m_sPlugIn);
        if (send(nClient, sHandshake.data(), sHandshake.size(), MSG_NOSIGNAL) !=
            static_cast<ssize_t>(sHandshake.size())) {
            close(nClient);
            return;
        }
        size_t nAnswered = 0;
        size_t nWhole = 0;  // the bytes of the whole packets read
        bool bOpen = true;
        while (bOpen && bWaitReadable(nClient, deadline, false)) {
            char ab[4096];
            const ssize_t n = recv(nClient, ab, sizeof ab, 0);
            if (n <= 0)
                break;
            m_sReceived.append(ab, static_cast<size_t>(n));
            while (m_sReceived.size() >= nWhole + 4 &&
                   m_sReceived.size() >= nWhole + 4 + nPacketLength(m_sReceived, nWhole)) {
                const auto nSequence = static_cast<uint8_t>(m_sReceived[nWhole + 3] + 1);
                nWhole += 4 + nPacketLength(m_sReceived, nWhole);
                if (nAnswered == m_answers.size())
                    continue;
                const std::string sAnswer = Packet(nSequence, m_answers[nAnswered++]);
                if (send(nClient, sAnswer.data(), sAnswer.size(), MSG_NOSIGNAL) < 0) {
                    bOpen = false;
                    break;
                }
            }
        }
        close(nClient);
    }

    const std::string m_sPlugIn;
    const std::vector<std::string> m_answers;
    int m_nListen = -1;
    int m_nPort = 0;
    std::thread m_thread;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bAccepted{false};
    std::string m_sReceived;
};

// The packets of a recording, in order (a cut last packet as it is).
std::vector<std::string> Payloads(const std::string& s)
{
    std::vector<std::string> payloads;
    size_t nAt = 0;
    while (nAt + 4 <= s.size()) {
        const size_t nLength = nPacketLength(s, nAt);
        payloads.push_back(s.substr(nAt + 4, nLength));
        nAt += 4 + nLength;
    }
    return payloads;
}

class TlsLoginToAServerWithoutTls : public vxtest::MySQLStatementTest
{
protected:
    // An open of the driver's connection to a fresh stand-in that greets
    // with sPlugIn and gives those answers, as kUser with kPassword, to
    // kDatabase, with the keys: it must fail and leave no handle. Whether
    // the client came, and all it sent; the open's error is in m_pclError.
    struct Attempt
    {
        bool bAccepted = false;
        std::string sReceived;
    };
    Attempt RefusedOpen(const std::wstring& sKeys, const std::string& sPlugIn = kNativePlugIn,
                        std::vector<std::string> answers = {Ok()})
    {
        StandinServer server(sPlugIn, std::move(answers));
        EXPECT_NE(0, server.nPort());
        const std::wstring sExtended = L"Server Port=" + std::to_wstring(server.nPort()) +
                                       L";VX Connection Timeout=5;VX Command Timeout=5;" + sKeys;
        CMySQLConnection* pclConnection = NewConnection(L"127.0.0.1", vxtest::Wide(kUser), vxtest::Wide(kPassword),
                                                        vxtest::Wide(kDatabase), sExtended);
        m_pclError->Reset();
        EXPECT_EQ(0, pclConnection->bOpen(m_pclError));
        server.Finish();
        EXPECT_EQ(nullptr, pclConnection->pGetMySQL());
        return {server.bAccepted(), server.Received()};
    }
};

// Asked to verify the certificate, the library refuses the server at its
// greeting: the connect fails with the library's TLS error (2026) and its
// text, and the stand-in receives nothing at all.
TEST_F(TlsLoginToAServerWithoutTls, WithVerificationNothingOfTheLoginGoesOut)
{
    const struct
    {
        const char* pszName;
        std::wstring keys;
    } aCases[] = {
        {"SSL CA", L"SSL CA=/nonexistent/vx/ca.pem"},
        {"SSL CAPath", L"SSL CAPath=/nonexistent/vx/certs"},
        {"SSL CA with a key and certificate", L"SSL CA=/nonexistent/vx/ca.pem;SSL Key=/nonexistent/vx/key.pem;"
                                              L"SSL Cert=/nonexistent/vx/cert.pem"},
        {"SSL Mode=VERIFY_CA", L"SSL Mode=VERIFY_CA;SSL CA=/nonexistent/vx/ca.pem"},
        {"SSL Mode=VERIFY_IDENTITY", L"SSL Mode=verify_identity;SSL CAPath=/nonexistent/vx/certs"},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        const Attempt attempt = RefusedOpen(c.keys);
        EXPECT_EQ(kCannotConnect, m_pclError->dwGetErrorId()) << m_pclError->pszGetError();
        EXPECT_EQ(kTlsError, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
        EXPECT_TRUE(bDumpHas(*m_pclError, L"SSL is required, but the server does not support it"))
            << m_pclError->pszGetError();
        EXPECT_TRUE(attempt.bAccepted) << "the client came";
        EXPECT_EQ(std::string(), attempt.sReceived) << "nothing of the login";
    }
}

// Without verification the library has no way to refuse before the login
// (the option to enforce TLS, which it accepts, does not make it): the
// stand-in receives the user name, the 20-byte answer to its challenge and
// the database name; the driver's cipher check then refuses the session
// (user error 86) and closes it, and nothing but the client's quit
// (COM_QUIT) follows the login.
TEST_F(TlsLoginToAServerWithoutTls, WithoutVerificationTheLoginGoesOutAndTheSessionIsRefused)
{
    const struct
    {
        const char* pszName;
        std::wstring keys;
    } aCases[] = {
        {"SSL Key and SSL Cert", L"SSL Key=/nonexistent/vx/key.pem;SSL Cert=/nonexistent/vx/cert.pem"},
        {"SSL Cipher", L"SSL Cipher=AES256-SHA"},
        {"SSL Mode=REQUIRED", L"SSL Mode=REQUIRED"},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        const Attempt attempt = RefusedOpen(c.keys);
        EXPECT_EQ(kNotEncrypted, m_pclError->dwGetErrorId()) << m_pclError->pszGetError();
        EXPECT_TRUE(bDumpHas(*m_pclError, L"<127.0.0.1>")) << m_pclError->pszGetError();

        const std::vector<std::string> payloads = Payloads(attempt.sReceived);
        ASSERT_EQ(2u, payloads.size()) << "the login and the quit";
        // The login (HandshakeResponse41): capabilities, packet size,
        // character set, 23 zero bytes, then the user name, the length of
        // the answer to the challenge and the answer, the database.
        const std::string& sLogin = payloads[0];
        const size_t nUser = 32;
        ASSERT_GT(sLogin.size(), nUser + std::char_traits<char>::length(kUser) + 22);
        const uint32_t nClientCapabilities = static_cast<uint8_t>(sLogin[0]) | static_cast<uint8_t>(sLogin[1]) << 8;
        EXPECT_EQ(0u, nClientCapabilities & 0x800) << "no TLS asked of a server that offers none";
        EXPECT_EQ(std::string(kUser) + '\0', sLogin.substr(nUser, std::char_traits<char>::length(kUser) + 1));
        const size_t nAnswer = nUser + std::char_traits<char>::length(kUser) + 1;
        EXPECT_EQ(20, static_cast<uint8_t>(sLogin[nAnswer])) << "the authentication answer, in clear text";
        EXPECT_EQ(std::string(kDatabase) + '\0',
                  sLogin.substr(nAnswer + 21, std::char_traits<char>::length(kDatabase) + 1));
        EXPECT_EQ(std::string("\x01"), payloads[1]) << "COM_QUIT, and nothing else";
    }
}

// Without a check of the certificate the peer may be anyone, and the
// library runs only the plug-ins that keep the password from it: a switch
// to one that would hand it over (mysql_clear_password and dialog send it
// as it is; caching_sha2_password would too, TLS being asked;
// sha256_password under a public key the peer sends) is refused by the
// library (MySQL error 5010), and so is a greeting that names one; the
// driver says so first (user error 95, naming the plug-ins allowed).
// Nothing follows the login (the greeting's refusal sends nothing at all),
// and no byte of the password reaches the stand-in. Without any SSL key
// nothing changes: the library answers the switch to mysql_clear_password
// with the password as it is.
TEST_F(TlsLoginToAServerWithoutTls, WithoutVerificationNoPlugInGetsThePassword)
{
    const std::wstring keyAndCert = L"SSL Key=/nonexistent/vx/key.pem;SSL Cert=/nonexistent/vx/cert.pem";
    const struct
    {
        const char* pszName;
        std::wstring keys;
        std::string greeting;
        std::string answer;  // empty: the greeting is refused
    } aCases[] = {
        {"SSL Key and SSL Cert", keyAndCert, kNativePlugIn, Switch("mysql_clear_password", "")},
        {"SSL Cipher", L"SSL Cipher=AES256-SHA", kNativePlugIn, Switch("mysql_clear_password", "")},
        {"SSL Mode=REQUIRED", L"SSL Mode=REQUIRED", kNativePlugIn, Switch("mysql_clear_password", "")},
        {"dialog", L"SSL Mode=REQUIRED", kNativePlugIn, Switch("dialog", "\x04Password: ")},
        {"sha256_password", keyAndCert, kNativePlugIn, Switch("sha256_password", kChallenge + '\0')},
        {"caching_sha2_password", L"SSL Cipher=AES256-SHA", kNativePlugIn,
         Switch("caching_sha2_password", kChallenge + '\0')},
        {"greeted with caching_sha2_password", L"SSL Mode=REQUIRED", "caching_sha2_password", {}},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        const Attempt attempt = c.answer.empty() ? RefusedOpen(c.keys, c.greeting, {})
                                                 : RefusedOpen(c.keys, c.greeting, {c.answer, AccessDenied()});
        EXPECT_EQ(kPlugInRefused, m_pclError->dwGetErrorId()) << m_pclError->pszGetError();
        EXPECT_EQ(kPlugInNotAllowed, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
        EXPECT_TRUE(bDumpHas(*m_pclError, L"<127.0.0.1>")) << m_pclError->pszGetError();
        EXPECT_TRUE(bDumpHas(*m_pclError, L"seuls mysql_native_password,client_ed25519,"))
            << m_pclError->pszGetError();
        EXPECT_EQ(std::string::npos, attempt.sReceived.find(kPassword)) << "the password, as it is";
        EXPECT_EQ(c.answer.empty() ? 0u : 1u, Payloads(attempt.sReceived).size()) << "the login alone";
    }
    {
        SCOPED_TRACE("no SSL key");
        const Attempt attempt = RefusedOpen({}, kNativePlugIn, {Switch("mysql_clear_password", ""), AccessDenied()});
        EXPECT_EQ(kCannotConnect, m_pclError->dwGetErrorId()) << m_pclError->pszGetError();
        EXPECT_EQ(kAccessDenied, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
        const std::vector<std::string> payloads = Payloads(attempt.sReceived);
        ASSERT_EQ(2u, payloads.size()) << "the login and the plug-in's answer";
        EXPECT_EQ(std::string(kPassword) + '\0', payloads[1]);
    }
}

}  // namespace
