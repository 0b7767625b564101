// The open of a MySQL connection over the fake client libraries, which
// record what the connection asks of them: the connect's arguments and
// flags (also at a reopen), the character-set option before the connect
// and the SET NAMES after it, the time-outs, TLS settings and the check
// that TLS was got, the creation of a missing database, every failure with
// its error and no handle left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/text/string_concat_aw.h"
#include "mysql/mysql_connection.h"
#include "native/driver/driver.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/support/test_environment.h"
#include "tests/mysql/client_test_support.h"
#include "tests/mysql/fake_client_connection.h"

namespace {

using vxtest::bDumpHas;
using vxtest::SiteLine;
using vxtest::Wide;
using Text = std::optional<std::string>;
using Option = std::pair<int, Text>;  // option number, text argument

constexpr int kCharsetOption = 7;
constexpr int kVerifyOption = 21;
constexpr int kEnforceOption = 38;
constexpr int kRestrictedAuthOption = 7026;
constexpr const char* kPlugInsKeepingThePassword =
    "mysql_native_password,client_ed25519,parsec,auth_gssapi_client,mysql_old_password";
constexpr unsigned long kFoundRows = 2;
constexpr unsigned long kMultiStatements = 0x10000;

class MySQLConnectionOverFakes : public vxtest::FakeClientConnectionTest
{
protected:
    void TearDown() override
    {
        FakeClientConnectionTest::TearDown();
        EXPECT_EQ(0, m_host.Refs().nBalance());
        if (m_fake) {
            EXPECT_EQ(0, State().nLiveHandles) << "every handle closed";
        }
    }

    std::vector<Option> Options() const
    {
        std::vector<Option> options;
        for (const stFakeOptionCall& call : m_fake->State().options)
            options.emplace_back(call.nOption, call.text);
        return options;
    }

    // One mysql_ssl_set with the expected texts, then the options of a TLS
    // open: the character set, the check of the certificate (flag on) when
    // bVerify, the enforcement of TLS, and without the check the only
    // authentication plug-ins allowed.
    void ExpectTlsSetUp(const stFakeSslCall& expected, bool bVerify)
    {
        ASSERT_EQ(1u, State().sslSets.size());
        const stFakeSslCall& call = State().sslSets[0];
        EXPECT_EQ(expected.key, call.key);
        EXPECT_EQ(expected.cert, call.cert);
        EXPECT_EQ(expected.ca, call.ca);
        EXPECT_EQ(expected.capath, call.capath);
        EXPECT_EQ(expected.cipher, call.cipher);
        std::vector<Option> options{{kCharsetOption, "latin1"}};
        if (bVerify)
            options.emplace_back(kVerifyOption, std::nullopt);
        options.emplace_back(kEnforceOption, std::nullopt);
        if (!bVerify)
            options.emplace_back(kRestrictedAuthOption, kPlugInsKeepingThePassword);
        EXPECT_EQ(options, Options());
        if (bVerify) {
            EXPECT_EQ(1, State().options[1].nByte);
        }
    }
};

TEST_F(MySQLConnectionOverFakes, ConnectsWithItsKeysAtEveryOpenAndFoundRowsAlways)
{
    const struct
    {
        const char* pszVariant;
        const char* pszClientInfo;
        unsigned long nMore;
    } aCases[] = {
        {"infov", "3.3.20", kMultiStatements},
        {"no_next_result", "3.3.20", 0},
        // A 4.0 client reads one result per text.
        {"text", "4.0.20", 0},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszVariant);
        Fake(c.pszVariant).clientInfo = c.pszClientInfo;
        CMySQLConnection& connection =
            Connection(L"Server Port=3307;Client Flag=32;Unix Socket=/tmp/vx.sock;Initial Catalog=db1;Other=1");
        EXPECT_EQ(3307, connection.nGetPort());
        EXPECT_EQ(32, connection.nGetClientFlag());
        EXPECT_STREQ(L"Initial Catalog=db1;Other=1", connection.pszGetExtendedInfo())
            << "the three keys are cut out once, when the object is made";

        CNAError error;
        for (int nOpen = 0; nOpen < 2; ++nOpen) {
            ASSERT_EQ(1, connection.bOpen(&error)) << error.pszGetError();
            EXPECT_EQ(1, connection.bIsOpen());
            ASSERT_EQ(1, connection.bClose(&error));
            EXPECT_EQ(0, connection.bIsOpen());
            EXPECT_EQ(nullptr, connection.pGetMySQL());
        }
        const std::vector<stFakeConnectCall>& connects = State().connects;
        ASSERT_EQ(2u, connects.size());
        for (const stFakeConnectCall& call : connects) {
            EXPECT_EQ(Text("fakehost"), call.host);
            EXPECT_EQ(Text("user"), call.user);
            EXPECT_EQ(Text("pw"), call.passwd);
            EXPECT_EQ(Text("db1"), call.db);
            EXPECT_EQ(3307u, call.port);
            EXPECT_EQ(Text("/tmp/vx.sock"), call.unixSocket);
            EXPECT_EQ(32 | kFoundRows | c.nMore, call.clientFlag);
        }
        EXPECT_EQ(2, State().calls["mysql_init"]);
        EXPECT_EQ(2, State().calls["mysql_close"]);
        m_connection.reset();
        CNAFunctionLoader::g_Term();
    }
}

TEST_F(MySQLConnectionOverFakes, AnOpenConnectionOpensNoMore)
{
    CMySQLConnection& connection = Connection();
    CNAError error;
    ASSERT_EQ(1, connection.bOpen(&error));
    EXPECT_EQ(1, connection.bOpenCreate(&error));
    EXPECT_EQ(1, connection.bOpen(&error));
    EXPECT_EQ(1, State().calls["mysql_init"]);
    EXPECT_EQ(1, State().calls["mysql_real_connect"]);
    EXPECT_EQ(1, State().nLiveHandles);
    m_connection.reset();
    EXPECT_EQ(0, State().nLiveHandles) << "the destructor closes the handle";
}

// What the server is told of the connection's character set, and the code
// page the connection then keeps.
struct stCharsetCase
{
    const char* pszName;
    std::string variant = "infov";
    std::string clientInfo = "3.3.20";
    std::string serverInfo = "10.11.19-MariaDB-0+deb12u1";
    const wchar_t* pszUser = L"user";
    std::wstring keys;
    std::vector<std::string> refused;
    // Expected.
    std::vector<Option> options;
    std::vector<std::string> queries;
    int nCodePage = 65001;
    int nUnicode = 1;
    Text userSent = "user";
};

TEST_F(MySQLConnectionOverFakes, CharacterSetOnTheServerFollowsTheCodePage)
{
    const Option latin1{kCharsetOption, "latin1"};
    const Option utf8{kCharsetOption, "utf8"};
    const std::string utf8mb4 = "SET NAMES 'utf8mb4'";
    const std::string utf8mb3 = "SET NAMES 'utf8'";
    // Each case names only what differs from the defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
    const stCharsetCase aCases[] = {
        {.pszName = "parameters within 1252: latin1 at the connect, then utf8mb4",
         .pszUser = L"andr\u00e9",
         .options = {latin1},
         .queries = {utf8mb4},
         .userSent = "andr\xE9"},
        {.pszName = "a user outside 1252: utf8 at the connect, then utf8mb4",
         .pszUser = L"\u015Ctefan",
         .options = {utf8},
         .queries = {utf8mb4},
         .userSent = "\xC5\x9Ctefan"},
        {.pszName = "Unicode off: latin1 and nothing after",
         .pszUser = L"andr\u00e9",
         .keys = L"VX Unicode Support=0",
         .options = {latin1},
         .nCodePage = 1252,
         .nUnicode = 0,
         .userSent = "andr\xE9"},
        {.pszName = "a server before 5.5.3 takes utf8",
         .refused = {utf8mb4},
         .options = {latin1},
         .queries = {utf8mb4, utf8mb3}},
        {.pszName = "a server refusing both stays latin1 and Unicode goes",
         .refused = {utf8mb4, utf8mb3},
         .options = {latin1},
         .queries = {utf8mb4, utf8mb3},
         .nCodePage = 1252,
         .nUnicode = 0},
        {.pszName = "a 4.0 server: no SET NAMES, Unicode goes",
         .serverInfo = "4.0.20-log",
         .options = {latin1},
         .nCodePage = 1252,
         .nUnicode = 0},
        {.pszName = "a 4.0 server and a user outside 1252: UTF-8 stays, Unicode goes",
         .serverInfo = "4.0.20-log",
         .pszUser = L"\u015Ctefan",
         .options = {utf8},
         .nUnicode = 0,
         .userSent = "\xC5\x9Ctefan"},
        {.pszName = "a client before 4.1: no SET NAMES, Unicode goes",
         .variant = "text",
         .clientInfo = "4.0.20",
         .options = {latin1},
         .nCodePage = 1252,
         .nUnicode = 0},
        {.pszName = "without mysql_options, latin1 after the connect",
         .variant = "no_options",
         .keys = L"VX Unicode Support=0",
         .queries = {"SET NAMES 'latin1'"},
         .nCodePage = 1252,
         .nUnicode = 0},
        {.pszName = "without mysql_options, a 4.0 server is left alone",
         .variant = "no_options",
         .serverInfo = "4.0.20",
         .keys = L"VX Unicode Support=0",
         .nCodePage = 1252,
         .nUnicode = 0},
    };
#pragma GCC diagnostic pop
    for (const stCharsetCase& c : aCases) {
        SCOPED_TRACE(c.pszName);
        stFakeClientState& state = Fake(c.variant);
        state.clientInfo = c.clientInfo;
        state.serverInfo = c.serverInfo;
        for (const std::string& query : c.refused)
            state.queryErrors[query] = 1115;
        CMySQLConnection& connection = Connection(c.keys, c.pszUser);
        CNAError error;
        ASSERT_EQ(1, connection.bOpen(&error)) << error.pszGetError();
        EXPECT_EQ(0u, error.dwGetErrorId()) << "a refused form is no error of the open";
        EXPECT_EQ(c.options, Options());
        EXPECT_EQ(c.queries, State().queries);
        EXPECT_EQ(c.nCodePage, connection.nGetCodePage());
        EXPECT_EQ(c.nUnicode, connection.nGetUnicodeSupport());
        ASSERT_EQ(1u, State().connects.size());
        EXPECT_EQ(c.userSent, State().connects[0].user);
        m_connection.reset();
        CNAFunctionLoader::g_Term();
    }
}

TEST_F(MySQLConnectionOverFakes, ServerVersionIsReadAtTheOpen)
{
    const struct
    {
        const char* pszText;
        int nMajor, nMinor, nPatch;
    } aCases[] = {{"10.11.19-MariaDB-0+deb12u1", 10, 11, 19}, {"5.5.5-10.11.19-MariaDB", 5, 5, 5}, {"8", 8, 0, 0}};
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszText);
        Fake().serverInfo = c.pszText;
        CMySQLConnection& connection = Connection();
        CNAError error;
        ASSERT_EQ(1, connection.bOpen(&error)) << error.pszGetError();
        EXPECT_EQ(Wide(c.pszText), connection.csGetServerVersion().pszGet());
        EXPECT_EQ(c.nMajor, connection.nGetServerMajor());
        EXPECT_EQ(c.nMinor, connection.nGetServerMinor());
        EXPECT_EQ(c.nPatch, connection.nGetServerPatch());
        m_connection.reset();
        CNAFunctionLoader::g_Term();
    }
}

TEST_F(MySQLConnectionOverFakes, TrustAnchorsTurnCertificateVerificationOn)
{
    const struct
    {
        const char* pszName;
        std::wstring keys;
        stFakeSslCall expected;
        bool bVerify;
    } aCases[] = {
        {"key, certificate and cipher", L"SSL Key=k.pem;SSL Cert=c.pem;SSL Cipher=AES256-SHA",
         {nullptr, "k.pem", "c.pem", std::nullopt, std::nullopt, "AES256-SHA"}, false},
        {"a CA file", L"SSL CA=/etc/ca.pem", {nullptr, std::nullopt, std::nullopt, "/etc/ca.pem", std::nullopt, std::nullopt}, true},
        {"a CA directory", L"SSL CAPath=/etc/certs;SSL Mode=Preferred",
         {nullptr, std::nullopt, std::nullopt, std::nullopt, "/etc/certs", std::nullopt}, true},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        Fake();
        CMySQLConnection& connection = Connection(c.keys);
        CNAError error;
        ASSERT_EQ(1, connection.bOpen(&error)) << error.pszGetError();
        ExpectTlsSetUp(c.expected, c.bVerify);
    }
}

// "SSL Mode" alone: empty, DISABLED and PREFERRED ask nothing (other SSL
// keys still do), REQUIRED asks for TLS with every text null, the verifying
// modes for TLS and the check of the certificate; the value compares
// without case, blanks around it ignored.
TEST_F(MySQLConnectionOverFakes, SSLModeAsksForTlsOrNothing)
{
    const stFakeSslCall none{nullptr, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt};
    const struct
    {
        const char* pszName;
        std::wstring keys;
        bool bTls;
        stFakeSslCall expected;
        bool bVerify;
    } aCases[] = {
        {"no SSL key", {}, false, none, false},
        {"DISABLED", L"SSL Mode=DISABLED", false, none, false},
        {"preferred, blanks around", L"SSL Mode= preferred ", false, none, false},
        {"an empty mode", L"SSL Mode=", false, none, false},
        {"DISABLED does not undo a key", L"SSL Mode=DISABLED;SSL Key=k.pem", true,
         {nullptr, "k.pem", std::nullopt, std::nullopt, std::nullopt, std::nullopt}, false},
        {"REQUIRED alone", L"SSL Mode=REQUIRED", true, none, false},
        {"required, lower case and blanks", L"SSL Mode=  required\t", true, none, false},
        {"REQUIRED with a cipher", L"SSL Mode=REQUIRED;SSL Cipher=AES256-SHA", true,
         {nullptr, std::nullopt, std::nullopt, std::nullopt, std::nullopt, "AES256-SHA"}, false},
        {"VERIFY_CA with a CA", L"SSL Mode=VERIFY_CA;SSL CA=/etc/ca.pem", true,
         {nullptr, std::nullopt, std::nullopt, "/etc/ca.pem", std::nullopt, std::nullopt}, true},
        {"verify_identity with a CA path", L"SSL Mode=verify_identity;SSL CAPath=/etc/certs", true,
         {nullptr, std::nullopt, std::nullopt, std::nullopt, "/etc/certs", std::nullopt}, true},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        Fake();
        CMySQLConnection& connection = Connection(c.keys);
        EXPECT_EQ(c.bTls, connection.bTLSRequested());
        CNAError error;
        ASSERT_EQ(1, connection.bOpen(&error)) << error.pszGetError();
        if (!c.bTls) {
            EXPECT_EQ(0u, State().sslSets.size());
            EXPECT_EQ(0, State().calls["mysql_get_ssl_cipher"]) << "no check of a cipher not asked for";
            EXPECT_EQ((std::vector<Option>{{kCharsetOption, "latin1"}}), Options());
            continue;
        }
        ExpectTlsSetUp(c.expected, c.bVerify);
        EXPECT_EQ(1, State().calls["mysql_get_ssl_cipher"]);
    }
}

// "SSL Mode=REQUIRED" is TLS required as the other keys make it: clear text
// granted is refused and closed (user error 86), also with a client that
// has no option to enforce TLS and only hears of it through mysql_ssl_set
// with every text null.
TEST_F(MySQLConnectionOverFakes, SSLModeRequiredRefusesClearText)
{
    {
        SCOPED_TRACE("clear text granted");
        Fake().sslCipher.reset();
        CNAError error;
        CMySQLConnection& connection = Connection(L"SSL Mode=Required");
        EXPECT_EQ(0, connection.bOpen(&error));
        EXPECT_EQ(86u, error.dwGetErrorId()) << error.pszGetError();
        EXPECT_TRUE(bDumpHas(error, SiteLine(101, 49))) << error.pszGetError();
        EXPECT_TRUE(bDumpHas(error, L"<fakehost>")) << error.pszGetError();
        EXPECT_EQ(nullptr, connection.pGetMySQL());
        EXPECT_EQ(0, State().nLiveHandles);
        m_connection.reset();
        CNAFunctionLoader::g_Term();
    }
    {
        SCOPED_TRACE("a 5.1 client without the option to enforce TLS");
        stFakeClientState& state = Fake("clientversion");
        state.byteOptions.push_back(kEnforceOption);
        CNAError error;
        EXPECT_EQ(1, Connection(L"SSL Mode=REQUIRED").bOpen(&error)) << error.pszGetError();
        ASSERT_EQ(1u, State().sslSets.size());
        const stFakeSslCall& call = State().sslSets[0];
        EXPECT_EQ((std::vector<FakeText>{std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt}),
                  (std::vector<FakeText>{call.key, call.cert, call.ca, call.capath, call.cipher}));
        EXPECT_EQ((std::vector<Option>{{kCharsetOption, "latin1"}}), Options());
        EXPECT_EQ(1, State().calls["mysql_get_ssl_cipher"]);
        m_connection.reset();
        CNAFunctionLoader::g_Term();
    }
    {
        SCOPED_TRACE("the same client granting clear text");
        Fake("clientversion").sslCipher.reset();
        CNAError error;
        EXPECT_EQ(0, Connection(L"SSL Mode=REQUIRED").bOpen(&error));
        EXPECT_EQ(86u, error.dwGetErrorId()) << error.pszGetError();
        EXPECT_EQ(0, State().nLiveHandles);
        m_connection.reset();
        CNAFunctionLoader::g_Term();
    }
}

// What "SSL Mode" cannot mean is refused before any handle is made: a value
// the driver does not know (named in the message), a verifying mode
// without an authority to check the certificate against.
TEST_F(MySQLConnectionOverFakes, SSLModeThatCannotBeHonouredIsRefusedBeforeTheConnect)
{
    const struct
    {
        const char* pszName;
        std::wstring keys;
        unsigned nUserError;
        int nSite;
        std::wstring dumpPart;
    } aCases[] = {
        {"an unknown value", L"SSL Mode=STRICT", 90, 60, L"<STRICT>"},
        {"an unknown value beside a CA", L"SSL Mode=VERIFY-CA;SSL CA=/etc/ca.pem", 90, 60, L"<VERIFY-CA>"},
        {"MySQL's old true", L"SSL Mode=true", 90, 60, L"<true>"},
        {"VERIFY_CA without CA", L"SSL Mode=VERIFY_CA", 91, 61, L"<VERIFY_CA>"},
        {"verify_identity with only a key and certificate",
         L"SSL Mode=verify_identity;SSL Key=k.pem;SSL Cert=c.pem", 91, 61, L"<verify_identity>"},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        Fake();
        CMySQLConnection& connection = Connection(c.keys);
        CNAError error;
        EXPECT_EQ(0, connection.bOpen(&error));
        EXPECT_EQ(0, connection.bIsOpen());
        EXPECT_EQ(nullptr, connection.pGetMySQL());
        EXPECT_EQ(c.nUserError, error.dwGetErrorId()) << error.pszGetError();
        EXPECT_TRUE(bDumpHas(error, SiteLine(101, c.nSite))) << error.pszGetError();
        EXPECT_TRUE(bDumpHas(error, c.dumpPart)) << error.pszGetError();
        EXPECT_EQ(0, State().calls["mysql_init"]) << "refused before any handle";
        EXPECT_EQ(0u, State().connects.size());
        EXPECT_EQ(0u, State().sslSets.size());
        m_connection.reset();
        CNAFunctionLoader::g_Term();
    }
}

TEST_F(MySQLConnectionOverFakes, OnlyTheLowByteOfTheTlsAnswerCounts)
{
    // A one-byte my_bool answer leaves garbage above it.
    Fake().nSslSetResult = 0x100;
    CNAError error;
    EXPECT_EQ(1, Connection(L"SSL Key=k.pem").bOpen(&error)) << error.pszGetError();
}

// A failed open: its error, and the handle it made is closed.
struct stFailureCase
{
    const char* pszName;
    std::string variant = "infov";
    std::function<void(stFakeClientState&)> prepare;
    std::wstring keys;
    const wchar_t* pszUser = L"user";
    unsigned nUserError;
    int nSite;
    std::wstring dumpPart;
};

TEST_F(MySQLConnectionOverFakes, AFailedOpenReportsAndLeavesNoHandle)
{
    const auto noChange = [](stFakeClientState&) {};
    const stFailureCase aCases[] = {
        {"mysql_init answers null", "infov", [](stFakeClientState& s) { s.bInitFails = true; }, {}, L"user", 78, 21,
         L"mysql_init returned NULL"},
        {"no mysql_ssl_set", "no_ssl_set", noChange, L"SSL Key=k.pem", L"user", 75, 1, L"3.3.20"},
        {"mysql_ssl_set refuses", "infov", [](stFakeClientState& s) { s.nSslSetResult = 1; }, L"SSL Key=k.pem",
         L"user", 79, 22, {}},
        {"no mysql_options for a user outside 1252", "no_options", noChange, {}, L"\u015Ctefan", 76, 2, L"3.3.20"},
        {"mysql_options refuses utf8", "infov", [](stFakeClientState& s) { s.nOptionsResult = 1; }, {},
         L"\u015Ctefan", 76, 20, L"3.3.20"},
        {"mysql_options refuses latin1", "infov", [](stFakeClientState& s) { s.nOptionsResult = 1; }, {}, L"user",
         79, 30, L"latin1"},
        {"a port no client can reach", "infov", noChange, L"Server Port=70000", L"user", 79, 34, L"70000"},
        {"the server's version cannot be read", "infov",
         [](stFakeClientState& s) { s.throwIn = "mysql_get_server_info"; }, {}, L"user", 23, 15, L"MySQL"},
        {"the client refuses a time-out", "infov", [](stFakeClientState& s) { s.optionResults[11] = 1; },
         L"VX Command Timeout=30", L"user", 89, 44, L"<VX Command Timeout=30>"},
        {"TLS asked of a client that cannot tell whether it got it", "no_ssl_cipher", noChange, L"SSL Key=k.pem",
         L"user", 87, 45, L"3.3.20"},
        {"a CA given to an 8.0 client", "clientversion", [](stFakeClientState& s) { s.nClientVersion = 80036; },
         L"SSL CA=/etc/ca.pem", L"user", 88, 46, L"3.3.20"},
        {"a CA given to a client without mysql_options", "no_options", noChange, L"SSL CAPath=/etc/certs", L"user",
         88, 46, L"3.3.20"},
        {"TLS asked, clear text granted", "infov", [](stFakeClientState& s) { s.sslCipher.reset(); },
         L"SSL Key=k.pem", L"user", 86, 49, L"<fakehost>"},
        {"TLS asked, the cipher unreadable", "infov",
         [](stFakeClientState& s) { s.throwIn = "mysql_get_ssl_cipher"; }, L"SSL Cipher=AES256-SHA", L"user", 86,
         49, L"<fakehost>"},
    };
    for (const stFailureCase& c : aCases) {
        SCOPED_TRACE(c.pszName);
        stFakeClientState& state = Fake(c.variant);
        state.clientInfo = "3.3.20";
        c.prepare(state);
        CMySQLConnection& connection = Connection(c.keys, c.pszUser);
        CNAError error;
        EXPECT_EQ(0, connection.bOpen(&error));
        EXPECT_EQ(0, connection.bIsOpen());
        EXPECT_EQ(nullptr, connection.pGetMySQL());
        EXPECT_EQ(c.nUserError, error.dwGetErrorId()) << error.pszGetError();
        EXPECT_TRUE(bDumpHas(error, SiteLine(101, c.nSite))) << error.pszGetError();
        if (!c.dumpPart.empty()) {
            EXPECT_TRUE(bDumpHas(error, c.dumpPart)) << error.pszGetError();
        }
        EXPECT_EQ(0, State().nLiveHandles);
        m_connection.reset();
        CNAFunctionLoader::g_Term();
        CNADriver::s_bGPFCatched = 0;
    }
}

TEST_F(MySQLConnectionOverFakes, RefusedConnectsRecordTheClientsErrorAndLeakNothing)
{
    stFakeClientState& state = Fake();
    state.bConnectSucceeds = false;
    state.nConnectErrno = 2002;
    state.connectError = "Can't connect to server on 'fakehost' (fake)";
    CMySQLConnection& connection = Connection();
    for (int i = 0; i < 5; ++i) {
        CNAError error;
        ASSERT_EQ(0, connection.bOpen(&error));
        EXPECT_EQ(79u, error.dwGetErrorId()) << "cannot connect, put first";
        EXPECT_EQ(2002u, error.dwGetDataBaseErrorCode()) << "the client's error under it";
        EXPECT_EQ(NA_ERR_GENERAL, error.eGetErrorType());
        EXPECT_TRUE(bDumpHas(error, SiteLine(101, 23)));
        EXPECT_TRUE(bDumpHas(error, SiteLine(101, 16)));
        EXPECT_TRUE(bDumpHas(error, L"<fakehost>")) << error.pszGetError();
        EXPECT_TRUE(bDumpHas(error, L"2002"));
        EXPECT_TRUE(bDumpHas(error, L"Can't connect to server on 'fakehost' (fake)"));
        EXPECT_EQ(0, State().nLiveHandles);
    }
    EXPECT_EQ(5, State().calls["mysql_init"]);
    EXPECT_EQ(5, State().calls["mysql_close"]);
}

TEST_F(MySQLConnectionOverFakes, CreateModeMakesAndSelectsAMissingDatabaseOnTheSameConnection)
{
    Fake().databaseErrors["new db"] = 1049;
    CMySQLConnection& connection = Connection(L"Initial Catalog=new db");
    CNAError error;
    EXPECT_EQ(0, connection.bOpen(&error)) << "open mode does not create";
    EXPECT_EQ(79u, error.dwGetErrorId());
    EXPECT_EQ(1049u, error.dwGetDataBaseErrorCode());
    EXPECT_EQ(0, State().nLiveHandles);

    State().connects.clear();
    error.Reset();
    ASSERT_EQ(1, connection.bOpenCreate(&error)) << error.pszGetError();
    EXPECT_EQ(0u, error.dwGetErrorId()) << "the refused connect is no error of the open";
    ASSERT_EQ(2u, State().connects.size());
    EXPECT_EQ(Text("new db"), State().connects[0].db);
    EXPECT_EQ(std::nullopt, State().connects[1].db);
    EXPECT_EQ(State().connects[0].pHandle, State().connects[1].pHandle);
    EXPECT_EQ((std::vector<std::string>{"CREATE DATABASE `new db`", "USE `new db`", "SET NAMES 'utf8mb4'"}),
              State().queries);
    EXPECT_EQ(1, connection.bIsOpen());
}

TEST_F(MySQLConnectionOverFakes, CreateModeKeepsTheErrorWhenTheDatabaseCannotBeMade)
{
    stFakeClientState& state = Fake();
    state.databaseErrors["newdb"] = 1049;
    state.queryErrors["CREATE DATABASE `newdb`"] = 1044;
    CMySQLConnection& connection = Connection(L"Initial Catalog=newdb");
    CNAError error;
    EXPECT_EQ(0, connection.bOpenCreate(&error));
    EXPECT_EQ(0, connection.bIsOpen());
    EXPECT_EQ(79u, error.dwGetErrorId()) << error.pszGetError();
    EXPECT_EQ(1044u, error.dwGetDataBaseErrorCode()) << "the refusal of the creation, last";
    EXPECT_TRUE(bDumpHas(error, SiteLine(101, 17)));
    EXPECT_EQ(0, State().nLiveHandles);
}

TEST_F(MySQLConnectionOverFakes, AnOpenConnectionEscapesForItsServer)
{
    CMySQLConnection& connection = Connection();
    unsigned char abValue[] = {'a', '\'', 'b'};
    CTStringConcatAW out(1252, 1252);
    CNAError error;
    ASSERT_EQ(1, connection.bOpen(&error));
    ASSERT_EQ(1, connection._bEscapeString(&error, &out, 28, abValue, sizeof abValue));
    EXPECT_STREQ("'a\\'b'", out.pszGetA());
    EXPECT_EQ(1, State().calls["mysql_real_escape_string"]);
    EXPECT_EQ(0, State().calls["mysql_escape_string"]);

    ASSERT_EQ(1, connection.bClose(&error));
    out.Vide();
    ASSERT_EQ(1, connection._bEscapeString(&error, &out, 28, abValue, sizeof abValue));
    EXPECT_STREQ("'a\\'b'", out.pszGetA());
    EXPECT_EQ(1, State().calls["mysql_escape_string"]) << "no connection to ask";
}

// The time-outs go to the client before the connect, in seconds, from the
// keys or else the host's defaults; none given leaves the client's own
// waits, as does a client that has no mysql_options.
TEST_F(MySQLConnectionOverFakes, TimeoutsGoToTheClientBeforeTheConnect)
{
    using Timeouts = std::vector<std::pair<int, long long>>;  // option, seconds
    const struct
    {
        const char* pszName;
        std::string variant;
        const char* pszClientInfo;
        std::wstring keys;
        int nHostConnect;
        int nHostCommand;
        Timeouts expected;
    } aCases[] = {
        {"none given", "infov", "3.3.20", {}, 0, 0, {}},
        {"the keys", "infov", "3.3.20", L"VX Connection Timeout=5;VX Command Timeout=30", 0, 0,
         {{0, 5}, {11, 30}, {12, 30}}},
        {"the host's defaults", "infov", "3.3.20", {}, 7, 9, {{0, 7}, {11, 9}, {12, 9}}},
        {"a key over the host's default", "infov", "3.3.20", L"VX Command Timeout=4", 7, 9,
         {{0, 7}, {11, 4}, {12, 4}}},
        {"zero and negative are none", "infov", "3.3.20", L"VX Connection Timeout=0;VX Command Timeout=-5", 7, 9,
         {}},
        {"the host's -1 is none", "infov", "3.3.20", {}, -1, -1, {}},
        {"longer than the client counts", "infov", "3.3.20", L"VX Connection Timeout=2147483647", 0, 0,
         {{0, 2147483}}},
        {"a 4.0 client has only the connect's", "text", "4.0.20", L"VX Connection Timeout=5;VX Command Timeout=30",
         0, 0, {{0, 5}}},
        {"no mysql_options", "no_options", "3.3.20", L"VX Connection Timeout=5;VX Command Timeout=30", 0, 0, {}},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        Fake(c.variant).clientInfo = c.pszClientInfo;
        m_host.SetConnectionTimeout(c.nHostConnect);
        m_host.SetCommandTimeout(c.nHostCommand);
        CMySQLConnection& connection = Connection(c.keys);
        CNAError error;
        ASSERT_EQ(1, connection.bOpen(&error)) << error.pszGetError();
        Timeouts timeouts;
        for (const stFakeOptionCall& call : State().options) {
            if (call.nOption != kCharsetOption)
                timeouts.emplace_back(call.nOption, call.nUnsigned);
        }
        EXPECT_EQ(c.expected, timeouts);
        EXPECT_EQ(1u, State().connects.size());
        m_connection.reset();
        CNAFunctionLoader::g_Term();
    }
}

// A connection that asked for TLS goes on only when the client says it got
// a cipher, checked after each connect, before anything else is sent; a
// client that refuses the option to enforce TLS still meets that check.
// What cannot be had is refused before the connect.
TEST_F(MySQLConnectionOverFakes, TlsAskedForIsTlsGotOrNoConnection)
{
    {
        SCOPED_TRACE("a missing database made in create mode");
        stFakeClientState& state = Fake();
        state.databaseErrors["newdb"] = 1049;
        state.sslCipher.reset();
        CMySQLConnection& connection = Connection(L"SSL Key=k.pem;Initial Catalog=newdb");
        CNAError error;
        EXPECT_EQ(0, connection.bOpenCreate(&error));
        EXPECT_EQ(86u, error.dwGetErrorId()) << error.pszGetError();
        EXPECT_EQ(2u, State().connects.size());
        EXPECT_EQ(std::vector<std::string>{}, State().queries) << "no CREATE DATABASE in clear text";
        EXPECT_EQ(0, State().nLiveHandles);
        m_connection.reset();
        CNAFunctionLoader::g_Term();
    }
    {
        SCOPED_TRACE("the client refuses to enforce TLS");
        Fake().optionResults[kEnforceOption] = 1;
        CNAError error;
        EXPECT_EQ(1, Connection(L"SSL Key=k.pem").bOpen(&error)) << error.pszGetError();
        EXPECT_EQ(1, State().calls["mysql_get_ssl_cipher"]);
        m_connection.reset();
        CNAFunctionLoader::g_Term();
    }
    {
        SCOPED_TRACE("a 5.1 client verifies, and has no option to enforce TLS");
        Fake("clientversion").byteOptions.push_back(kEnforceOption);
        CNAError error;
        EXPECT_EQ(1, Connection(L"SSL CA=/etc/ca.pem").bOpen(&error)) << error.pszGetError();
        EXPECT_EQ((std::vector<Option>{{kCharsetOption, "latin1"}, {kVerifyOption, std::nullopt}}), Options());
        m_connection.reset();
        CNAFunctionLoader::g_Term();
    }
    for (const auto& [pszVariant, nVersion, pszKeys] : {std::tuple{"no_ssl_cipher", 50173UL, L"SSL Cert=c.pem"},
                                                        std::tuple{"clientversion", 90100UL, L"SSL CA=ca.pem"}}) {
        SCOPED_TRACE(pszVariant);
        Fake(pszVariant).nClientVersion = nVersion;
        CNAError error;
        EXPECT_EQ(0, Connection(pszKeys).bOpen(&error));
        EXPECT_EQ(0u, State().connects.size()) << "refused before the connect";
        EXPECT_EQ(0u, State().sslSets.size());
        m_connection.reset();
        CNAFunctionLoader::g_Term();
    }
}

// Without a check of the certificate a Connector/C is given the only
// authentication plug-ins it may run; the 5.7 client numbers no such option
// and is not asked. A Connector/C older than the option refuses it and the
// open goes on as before: whether it answers a plug-in that takes the
// password as it is, is the library's own choice (README). A plug-in the
// list refused is said first, with the server and the list, also at the
// connect of create mode that makes a missing database.
TEST_F(MySQLConnectionOverFakes, PlugInsThatTakeThePasswordAreRefusedWithoutACertificateCheck)
{
    const struct
    {
        const char* pszName;
        const char* pszVariant;
        int nAnswer;
        size_t nAsked;
    } aCases[] = {
        {"Connector/C", "infov", 0, 1},
        {"a Connector/C older than the option", "infov", 1, 1},
        {"the 5.7 client", "clientversion", 0, 0},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        stFakeClientState& state = Fake(c.pszVariant);
        state.nClientVersion = 50744;
        state.optionResults[kRestrictedAuthOption] = c.nAnswer;
        CNAError error;
        EXPECT_EQ(1, Connection(L"SSL Mode=REQUIRED").bOpen(&error)) << error.pszGetError();
        const std::vector<Option> options = Options();
        const Option restriction{kRestrictedAuthOption, kPlugInsKeepingThePassword};
        EXPECT_EQ(c.nAsked, static_cast<size_t>(std::count(options.begin(), options.end(), restriction)));
        EXPECT_EQ(1u, State().connects.size());
    }
    {
        SCOPED_TRACE("a plug-in refused at the connect that makes the database");
        stFakeClientState& state = Fake();
        state.databaseErrors["newdb"] = 1049;
        state.bConnectSucceeds = false;
        state.nConnectErrno = 5010;
        state.connectError = "Authentication plugin 'x' couldn't be found in restricted_auth plugin list.";
        CNAError error;
        EXPECT_EQ(0, Connection(L"SSL Key=k.pem;Initial Catalog=newdb").bOpenCreate(&error));
        EXPECT_EQ(95u, error.dwGetErrorId()) << error.pszGetError();
        EXPECT_TRUE(bDumpHas(error, L"(erreur MySQL 5010)")) << error.pszGetError();
        EXPECT_TRUE(bDumpHas(error, SiteLine(101, 63))) << error.pszGetError();
        EXPECT_TRUE(bDumpHas(error, L"<fakehost>")) << error.pszGetError();
        EXPECT_TRUE(bDumpHas(error, std::wstring(L"seuls ") + Wide(kPlugInsKeepingThePassword) + L" sont admis"))
            << error.pszGetError();
        EXPECT_EQ(2u, State().connects.size());
        EXPECT_EQ(std::vector<std::string>{}, State().queries) << "no CREATE DATABASE";
    }
}

}  // namespace
