// TLS asked for by a connection description, against two servers of the
// test's own: one that offers no TLS, and one started with a certificate
// for "localhost" signed by a CA that the test makes with openssl (beside
// another CA and a client certificate). A description with any SSL key
// but "SSL Mode", or with "SSL Mode" REQUIRED, VERIFY_CA or VERIFY_IDENTITY,
// gets an encrypted connection or none: a server without TLS is refused
// (the driver's own error when only the cipher check can tell, the
// client's when it was asked to verify); a CA has the server's certificate
// checked, chain and name; without a CA the connection is encrypted but the
// certificate unchecked. What the client and the server say of the
// session's cipher is read on the connection's handle.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>

#include "mysql/client_api.h"
#include "native/driver/error_object.h"
#include "tests/mysql/client_test_support.h"
#include "tests/mysql/mysql_statement_support.h"
#include "tests/mysql/mysql_server_connection.h"
#include "tests/support/mariadb_server.h"
#include "tests/support/raw_client.h"

namespace {

using vxtest::bDumpHas;
using vxtest::FromUtf8;
using vxtest::MariadbAccount;
using vxtest::MariadbRoute;
using vxtest::MariadbServer;
using vxtest::PrivateMariadb;
using vxtest::RawClient;
using vxtest::ValueOnHandle;
using vxtest::HandleCell;

constexpr unsigned kCannotConnect = 79;
constexpr unsigned kNotEncrypted = 86;
constexpr unsigned kTlsError = 2026;

// The certificates, made once for the binary; empty with the reason when
// openssl is missing or failed.
struct Certificates
{
    std::string sDir;
    std::string sWhyNot;

    Certificates()
    {
        if (std::system("command -v openssl >/dev/null 2>&1") != 0) {
            sWhyNot = "openssl is missing (Debian package openssl)";
            return;
        }
        char szDir[] = "/tmp/vxtls.XXXXXX";
        if (mkdtemp(szDir) == nullptr) {
            sWhyNot = "no temporary directory";
            return;
        }
        sDir = szDir;
        const std::string sMake =
            "cd '" + sDir + "' && "
            "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=vx test CA' -keyout ca-key.pem "
            "-out ca.pem && "
            "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=vx other CA' -keyout other-key.pem "
            "-out other.pem && "
            "openssl req -newkey rsa:2048 -nodes -subj '/CN=localhost' -keyout server-key.pem -out server.csr && "
            "printf 'subjectAltName=DNS:localhost\\n' >server.ext && "
            "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca-key.pem -CAcreateserial -days 2 "
            "-extfile server.ext -out server.pem && "
            "openssl req -newkey rsa:2048 -nodes -subj '/CN=vx client' -keyout client-key.pem -out client.csr && "
            "openssl x509 -req -in client.csr -CA ca.pem -CAkey ca-key.pem -CAcreateserial -days 2 "
            "-out client.pem";
        if (std::system(("(" + sMake + ") >/dev/null 2>&1").c_str()) != 0)
            sWhyNot = "openssl could not make the certificates";
    }
    ~Certificates()
    {
        if (!sDir.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(sDir, ignored);
        }
    }
    Certificates(const Certificates&) = delete;
    Certificates& operator=(const Certificates&) = delete;

    bool bMade() const { return sWhyNot.empty(); }
    std::wstring File(const char* pszName) const { return FromUtf8(sDir + "/" + pszName); }
};

class TlsAskedFor : public vxtest::MySQLStatementTest
{
protected:
    static void SetUpTestSuite()
    {
        MySQLStatementTest::SetUpTestSuite();
        s_certificates = new Certificates;
        // Started side by side: each start waits mostly for its own
        // bootstrap.
        std::thread plain([] { s_plain = new PrivateMariadb; });
        if (s_certificates->bMade())
            s_tls = new PrivateMariadb({"--ssl-cert=" + s_certificates->sDir + "/server.pem",
                                        "--ssl-key=" + s_certificates->sDir + "/server-key.pem",
                                        "--ssl-ca=" + s_certificates->sDir + "/ca.pem"});
        plain.join();
    }
    static void TearDownTestSuite()
    {
        delete s_tls;
        s_tls = nullptr;
        delete s_plain;
        s_plain = nullptr;
        delete s_certificates;
        s_certificates = nullptr;
    }

    // A connection of the driver to the server by the route, with the keys,
    // as the account (the test user by default); opened, its result in
    // *pbOpened.
    CMySQLConnection* Open(const MariadbServer& server, MariadbRoute route, const std::wstring& sKeys,
                           int* pbOpened, const MariadbAccount* pAccount = nullptr)
    {
        const MariadbAccount& account = pAccount != nullptr ? *pAccount : server.user;
        CMySQLConnection* pclConnection =
            NewConnection(vxtest::RouteHost(route), FromUtf8(account.sUser), FromUtf8(account.sPassword),
                          FromUtf8(server.sDatabase), vxtest::RouteKeys(server, route, sKeys));
        m_pclError->Reset();
        *pbOpened = pclConnection->bOpen(m_pclError);
        return pclConnection;
    }

    // The session's cipher as the server tells it (empty in clear text).
    static HandleCell ServerCipher(CMySQLConnection* pclConnection)
    {
        return ValueOnHandle(*pclConnection, "SELECT VARIABLE_VALUE FROM information_schema.SESSION_STATUS "
                                             "WHERE VARIABLE_NAME = 'SSL_CIPHER'");
    }
    // A refused open left nothing open.
    static void ExpectClosed(CMySQLConnection* pclConnection)
    {
        EXPECT_EQ(0, pclConnection->bIsOpen());
        EXPECT_EQ(nullptr, pclConnection->pGetMySQL());
    }
    // The library refused the server's TLS at the handshake (the connect
    // failed with its TLS error), and nothing stayed open.
    void ExpectRefusedByTheClient(CMySQLConnection* pclConnection)
    {
        EXPECT_EQ(kCannotConnect, m_pclError->dwGetErrorId()) << m_pclError->pszGetError();
        EXPECT_EQ(kTlsError, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
        ExpectClosed(pclConnection);
    }
    // The library and the server name the same cipher of an open session.
    static void ExpectEncrypted(CMySQLConnection* pclConnection)
    {
        const char* pszCipher = __mysql_get_ssl_cipher(pclConnection->pGetMySQL());
        ASSERT_NE(nullptr, pszCipher);
        EXPECT_NE(std::string(), pszCipher);
        EXPECT_EQ(HandleCell(pszCipher), ServerCipher(pclConnection));
    }

    static inline Certificates* s_certificates = nullptr;
    static inline PrivateMariadb* s_plain = nullptr;
    static inline PrivateMariadb* s_tls = nullptr;
};

// Only the cipher check after the connect sees that the client went on in
// clear text; a CA has the client refuse the server itself.
TEST_F(TlsAskedFor, AServerWithoutTlsIsRefused)
{
    ASSERT_TRUE(s_plain->bStarted());
    const struct
    {
        const char* pszName;
        MariadbRoute route;
        std::wstring keys;
        unsigned nUserError;
        unsigned nClientError;
    } aCases[] = {
        {"a key and a certificate", MariadbRoute::Socket, L"SSL Key=client-key.pem;SSL Cert=client.pem",
         kNotEncrypted, 0},
        {"a cipher, by TCP", MariadbRoute::Tcp, L"SSL Cipher=AES256-SHA", kNotEncrypted, 0},
        {"a CA", MariadbRoute::Socket, L"SSL CA=" + s_certificates->File("ca.pem"), kCannotConnect, kTlsError},
        {"SSL Mode=REQUIRED alone", MariadbRoute::Socket, L"SSL Mode=REQUIRED", kNotEncrypted, 0},
        {"SSL Mode=required alone, by TCP", MariadbRoute::Tcp, L"SSL Mode= required ", kNotEncrypted, 0},
        {"SSL Mode=VERIFY_CA and a CA", MariadbRoute::Socket,
         L"SSL Mode=VERIFY_CA;SSL CA=" + s_certificates->File("ca.pem"), kCannotConnect, kTlsError},
        {"SSL Mode=VERIFY_IDENTITY and a CA", MariadbRoute::Socket,
         L"SSL Mode=VERIFY_IDENTITY;SSL CA=" + s_certificates->File("ca.pem"), kCannotConnect, kTlsError},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        int bOpened = -1;
        CMySQLConnection* pclConnection = Open(s_plain->Server(), c.route, c.keys, &bOpened);
        EXPECT_EQ(0, bOpened);
        EXPECT_EQ(c.nUserError, m_pclError->dwGetErrorId()) << m_pclError->pszGetError();
        EXPECT_EQ(c.nClientError, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
        if (c.nUserError == kNotEncrypted) {
            EXPECT_TRUE(bDumpHas(*m_pclError, c.route == MariadbRoute::Socket ? L"<localhost>" : L"<127.0.0.1>"))
                << m_pclError->pszGetError();
        }
        ExpectClosed(pclConnection);
    }
    // The same server without SSL keys, or with a mode that asks nothing:
    // clear text, as asked.
    for (const auto& [pszName, pszKeys] : {std::pair{"no SSL key", L""}, std::pair{"DISABLED", L"SSL Mode=DISABLED"},
                                           std::pair{"Preferred", L"SSL Mode=Preferred"}}) {
        SCOPED_TRACE(pszName);
        int bOpened = -1;
        CMySQLConnection* pclConnection = Open(s_plain->Server(), MariadbRoute::Socket, pszKeys, &bOpened);
        ASSERT_EQ(1, bOpened) << m_pclError->pszGetError();
        EXPECT_EQ(HandleCell(""), ServerCipher(pclConnection));
    }
}

// "SSL Mode" alone asks for TLS as the other keys do: REQUIRED gets an
// encrypted session with the certificate unchecked (the library is given
// no text but is told to use TLS); VERIFY_CA and VERIFY_IDENTITY need a CA
// and have the library check the chain and the host name, both of them
// (VERIFY_CA too: the library checks the two together). DISABLED and
// PREFERRED ask nothing: the session stays in clear text, as without any
// SSL key, though the server offers TLS.
TEST_F(TlsAskedFor, SSLModeAsksForTls)
{
    if (!s_certificates->bMade())
        GTEST_SKIP() << s_certificates->sWhyNot;
    ASSERT_NE(nullptr, s_tls);
    ASSERT_TRUE(s_tls->bStarted());
    const std::wstring sCA = L";SSL CA=" + s_certificates->File("ca.pem");
    const std::wstring sOtherCA = L";SSL CA=" + s_certificates->File("other.pem");
    enum eOutcome { kEncrypted, kClear, kRefusedByTheClient };
    const struct
    {
        const char* pszName;
        MariadbRoute route;
        std::wstring keys;
        eOutcome eExpected;
    } aCases[] = {
        {"REQUIRED", MariadbRoute::Socket, L"SSL Mode=REQUIRED", kEncrypted},
        {"required, by TCP: the certificate is not checked", MariadbRoute::Tcp, L"SSL Mode=required", kEncrypted},
        {"VERIFY_CA and its CA", MariadbRoute::Socket, L"SSL Mode=VERIFY_CA" + sCA, kEncrypted},
        {"VERIFY_IDENTITY and its CA", MariadbRoute::Socket, L"SSL Mode=VERIFY_IDENTITY" + sCA, kEncrypted},
        {"VERIFY_CA and another CA", MariadbRoute::Socket, L"SSL Mode=VERIFY_CA" + sOtherCA, kRefusedByTheClient},
        // The certificate names localhost, not the address: VERIFY_CA
        // checks the name too.
        {"VERIFY_CA by an address the certificate does not name", MariadbRoute::Tcp, L"SSL Mode=VERIFY_CA" + sCA,
         kRefusedByTheClient},
        {"VERIFY_IDENTITY by an address the certificate does not name", MariadbRoute::Tcp,
         L"SSL Mode=verify_identity" + sCA, kRefusedByTheClient},
        {"no SSL key", MariadbRoute::Socket, {}, kClear},
        {"DISABLED", MariadbRoute::Socket, L"SSL Mode=DISABLED", kClear},
        {"PREFERRED", MariadbRoute::Tcp, L"SSL Mode=PREFERRED", kClear},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        int bOpened = -1;
        CMySQLConnection* pclConnection = Open(s_tls->Server(), c.route, c.keys, &bOpened);
        if (c.eExpected == kRefusedByTheClient) {
            EXPECT_EQ(0, bOpened);
            ExpectRefusedByTheClient(pclConnection);
            continue;
        }
        ASSERT_EQ(1, bOpened) << m_pclError->pszGetError();
        if (c.eExpected == kClear)
            EXPECT_EQ(HandleCell(""), ServerCipher(pclConnection));
        else
            ExpectEncrypted(pclConnection);
    }
}

// A mode that cannot be honoured is refused before anything reaches the
// server: a value the driver does not know (user error 90, naming it), a
// verifying mode without CA or CA path (user error 91).
TEST_F(TlsAskedFor, AnSSLModeThatCannotBeHonouredIsRefused)
{
    if (!s_certificates->bMade())
        GTEST_SKIP() << s_certificates->sWhyNot;
    ASSERT_NE(nullptr, s_tls);
    ASSERT_TRUE(s_tls->bStarted());
    const struct
    {
        const char* pszName;
        std::wstring keys;
        unsigned nUserError;
        const wchar_t* pszNamed;
    } aCases[] = {
        {"an unknown value", L"SSL Mode=ON", 90, L"<ON>"},
        {"an unknown value beside a CA", L"SSL Mode=VERIFY_FULL;SSL CA=" + s_certificates->File("ca.pem"), 90,
         L"<VERIFY_FULL>"},
        {"VERIFY_CA without CA", L"SSL Mode=VERIFY_CA", 91, L"<VERIFY_CA>"},
        {"VERIFY_IDENTITY with a client certificate but no CA",
         L"SSL Mode=VERIFY_IDENTITY;SSL Key=" + s_certificates->File("client-key.pem") + L";SSL Cert=" +
             s_certificates->File("client.pem"),
         91, L"<VERIFY_IDENTITY>"},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        int bOpened = -1;
        CMySQLConnection* pclConnection = Open(s_tls->Server(), MariadbRoute::Socket, c.keys, &bOpened);
        EXPECT_EQ(0, bOpened);
        EXPECT_EQ(c.nUserError, m_pclError->dwGetErrorId()) << m_pclError->pszGetError();
        EXPECT_EQ(0u, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
        EXPECT_TRUE(bDumpHas(*m_pclError, c.pszNamed)) << m_pclError->pszGetError();
        ExpectClosed(pclConnection);
    }
}

TEST_F(TlsAskedFor, TheServersCertificateIsCheckedAgainstTheCA)
{
    if (!s_certificates->bMade())
        GTEST_SKIP() << s_certificates->sWhyNot;
    ASSERT_NE(nullptr, s_tls);
    ASSERT_TRUE(s_tls->bStarted());
    const std::wstring sCA = L"SSL CA=" + s_certificates->File("ca.pem");
    const std::wstring sClient =
        L"SSL Key=" + s_certificates->File("client-key.pem") + L";SSL Cert=" + s_certificates->File("client.pem");
    const struct
    {
        const char* pszName;
        MariadbRoute route;
        std::wstring keys;
        int bOpens;
    } aCases[] = {
        {"its CA", MariadbRoute::Socket, sCA, 1},
        {"its CA and a client certificate", MariadbRoute::Socket, sCA + L";" + sClient, 1},
        {"another CA", MariadbRoute::Socket, L"SSL CA=" + s_certificates->File("other.pem"), 0},
        // The certificate names localhost, not the address.
        {"its CA, by an address the certificate does not name", MariadbRoute::Tcp, sCA, 0},
        // Encrypted, but nothing says by whom.
        {"no CA", MariadbRoute::Tcp, sClient, 1},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        int bOpened = -1;
        CMySQLConnection* pclConnection = Open(s_tls->Server(), c.route, c.keys, &bOpened);
        EXPECT_EQ(c.bOpens, bOpened) << m_pclError->pszGetError();
        if (!c.bOpens)
            ExpectRefusedByTheClient(pclConnection);
        else if (bOpened)
            ExpectEncrypted(pclConnection);
    }
}

// The key and certificate go to the server, which decides: an account that
// requires a certificate is let in with them and refused without.
TEST_F(TlsAskedFor, AClientCertificateIsTheServersToRequire)
{
    if (!s_certificates->bMade())
        GTEST_SKIP() << s_certificates->sWhyNot;
    ASSERT_NE(nullptr, s_tls);
    ASSERT_TRUE(s_tls->bStarted());
    const MariadbServer& server = s_tls->Server();
    RawClient admin;
    ASSERT_TRUE(admin.bConnect(server, server.admin)) << admin.sError();
    ASSERT_TRUE(admin.bExecute("CREATE USER 'vxcert'@'localhost' IDENTIFIED BY 'cert pw' REQUIRE X509"))
        << admin.sError();
    ASSERT_TRUE(admin.bExecute("GRANT SELECT ON `" + server.sDatabase + "`.* TO 'vxcert'@'localhost'"))
        << admin.sError();
    const MariadbAccount account{"vxcert", "cert pw"};
    const std::wstring sCA = L"SSL CA=" + s_certificates->File("ca.pem");
    int bOpened = -1;
    Open(server, MariadbRoute::Socket,
         sCA + L";SSL Key=" + s_certificates->File("client-key.pem") + L";SSL Cert=" +
             s_certificates->File("client.pem"),
         &bOpened, &account);
    EXPECT_EQ(1, bOpened) << m_pclError->pszGetError();
    CMySQLConnection* pclWithout = Open(server, MariadbRoute::Socket, sCA, &bOpened, &account);
    EXPECT_EQ(0, bOpened);
    EXPECT_EQ(kCannotConnect, m_pclError->dwGetErrorId()) << m_pclError->pszGetError();
    EXPECT_EQ(1045u, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
    ExpectClosed(pclWithout);
}

}  // namespace
