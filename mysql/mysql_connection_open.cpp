// The open of a MySQL connection: the client library, the handle, the
// options (character set, time-outs, TLS), the connect (with the creation of
// a missing database) and the check that a connection asked to use TLS got
// it, the server's version and the character set on the server.
#include <climits>
#include <initializer_list>

#include "common/text/char_class.h"
#include "common/text/cp1252.h"
#include "mysql/client_call_guard.h"
#include "mysql/code_page_converters.h"
#include "mysql/function_loader.h"
#include "mysql/mysql_connection.h"
#include "mysql/mysql_error_sites.h"
#include "native/driver/error_object.h"

namespace {

constexpr int kCodePage1252 = 1252;
constexpr int kCodePageUTF8 = 65001;
constexpr unsigned long kClientFoundRows = 2;
constexpr unsigned long kClientMultiStatements = 0x10000;
constexpr unsigned kUnknownDatabase = 1049;

// The authentication plug-ins that keep the password from whoever answers
// (it gets an answer to its challenge, a signature or a ticket): the only
// ones run where TLS is asked and the certificate is not checked, since the
// peer may then be anyone. The others hand it the password:
// mysql_clear_password and dialog as it is, caching_sha2_password as it is
// whenever TLS was asked (got or not), sha256_password inside the peer's
// TLS or under a public key the peer sends. The option takes the list; the
// message of a refusal names it.
#define VX_PLUGINS_KEEPING_THE_PASSWORD \
    "mysql_native_password,client_ed25519,parsec,auth_gssapi_client,mysql_old_password"
constexpr char kPlugInsKeepingThePassword[] = VX_PLUGINS_KEEPING_THE_PASSWORD;
constexpr wchar_t kPlugInsKeepingThePasswordText[] = L"" VX_PLUGINS_KEEPING_THE_PASSWORD;
#undef VX_PLUGINS_KEEPING_THE_PASSWORD

// The error of a site put in front of what the caller's error holds.
template <typename... Args>
void RaiseFirst(CNAError* pclError, const stNAErrorSite& site, CNAConnectionDescription* pclConnection, Args... args)
{
    if (pclError != nullptr)
        pclError->AddErrorFirst(site.eType, site.nSource, site.nSite, pclConnection, site.nUserCode, args...);
}

// A setting that is empty counts as absent.
const wchar_t* pszOrNull(const CTString& cs)
{
    return cs.nTaille() > 0 ? cs.pszGet() : nullptr;
}

const wchar_t* pszOrNull(const wchar_t* psz)
{
    return psz != nullptr && psz[0] != 0 ? psz : nullptr;
}

// False, with the error, when a text of a call could not be converted.
bool bAllConverted(CNAError* pclError, CNAConnectionDescription* pclConnection,
                   std::initializer_list<const CNACodePageCnvIN*> texts)
{
    for (const CNACodePageCnvIN* pText : texts) {
        if (pText->bFailed()) {
            CNAError::g_RaiseSiteError(pclError, MySQLSite::kTextNotConverted, pclConnection, nullptr, nullptr);
            return false;
        }
    }
    return true;
}

bool bHasOptions()
{
    return __mysql_options != &DefaultError_mysql_options;
}

// mysql_options inside the guard at the site: true when the client took the
// option.
bool bSetOption(const stClientCallSite& site, CNAError* pclError, CNAConnectionDescription* pclConnection,
                MYSQL* pMySQL, mysql_option eOption, const void* pArg)
{
    int nResult = -1;
    return bClientCall(site, pclError, pclConnection, [&] { nResult = __mysql_options(pMySQL, eOption, pArg); }) &&
           nResult == 0;
}

// The texts equal, ASCII letters compared without case (the values of
// "SSL Mode" are ASCII; no locale decides).
bool bEqualsAsciiIgnoringCase(const wchar_t* pszText, const wchar_t* pszWhat)
{
    const auto upper = [](wchar_t c) { return bMinusculeW(c) ? static_cast<wchar_t>(c - L'a' + L'A') : c; };
    for (; *pszText != 0 && *pszWhat != 0; ++pszText, ++pszWhat) {
        if (upper(*pszText) != upper(*pszWhat))
            return false;
    }
    return *pszText == *pszWhat;
}

// A time-out of the connection in the client's unsigned seconds; 0 for none
// (absent, 0 or negative), which leaves the client's own waits. The clients
// count in milliseconds in an int inside: a longer wait is cut to the
// longest they hold.
unsigned nTimeoutSeconds(int nSeconds)
{
    constexpr int kLongest = INT_MAX / 1000;
    return nSeconds <= 0 ? 0 : static_cast<unsigned>(nSeconds < kLongest ? nSeconds : kLongest);
}

}  // namespace

int CMySQLConnection::_bLoadClientLibrary(CNAError* pclError)
{
    const int bLoaded =
        CNAFunctionLoader::g_bLoadClientLibrary(pclError, this, pszOrNull(m_csClientLibraryWanted));
    // What the connection details and the messages show, also after a load
    // that stopped at a missing function.
    m_csClientLibrary = CNAFunctionLoader::g_csClientLibrary();
    m_csClientVersion = CNAFunctionLoader::g_csClientVersion();
    m_nClientVersionMajor = CNAFunctionLoader::g_nClientVersionMajor();
    m_nClientVersionMinor = CNAFunctionLoader::g_nClientVersionMinor();
    return bLoaded;
}

int CMySQLConnection::_bOpenCreate(CNAError* pclError, int bCreate)
{
    // A new session would run the host's statements outside the transaction
    // that went with the old one; only the host's ROLLBACK may have one.
    if (bSessionTransactionLost() && !m_bReopenForRollBack) {
        RaiseTextTransactionEnded(pclError, MySQLSite::kOpenSessionTransactionLost,
                                  MySQLSite::kOpenSessionTransactionLost, MySQLSite::kOpenSessionTransactionLost);
        return 0;
    }
    if (m_bOpen && !m_bReopenOnDemand)
        return 1;
    _InitCodePageFromZL();
    m_nClientTextCodePage = kCodePage1252;
    if (!CNAFunctionLoader::g_bLoaded() && !_bLoadClientLibrary(pclError))
        return 0;

    // The client would cut a larger number to its low 16 bits and reach
    // another port.
    if (m_nPort < 0 || m_nPort > 65535) {
        RaiseFirst(pclError, MySQLSite::kBadPort, this);
        if (pclError != nullptr) {
            CTString csWhy;
            csWhy.printf(L"Server Port=%d is not a port number", m_nPort);
            pclError->AddDebugMessageNoFormat(csWhy.pszGet());
        }
        return 0;
    }
    // What "SSL Mode" asks is decided before anything is made.
    if (!_bCheckTLSMode(pclError))
        return 0;

    // Each open makes its own handle; one left from before is closed first.
    _bReleaseHandle(nullptr);
    MYSQL* pHandle = nullptr;
    const bool bCalled = bClientCall(MySQLSite::kInit, pclError, this, [&] { pHandle = __mysql_init(nullptr); });
    m_pMySQL = pHandle;
    if (pHandle == nullptr) {
        RaiseFirst(pclError, MySQLSite::kInitFailed, this);
        if (bCalled && pclError != nullptr)
            pclError->AddDebugMessageNoFormat(L"mysql_init returned NULL");
        return 0;
    }

    const wchar_t* pszSSLKey = pszOrNull(m_csSSLKey);
    const wchar_t* pszSSLCert = pszOrNull(m_csSSLCert);
    const wchar_t* pszSSLCA = pszOrNull(m_csSSLCA);
    const wchar_t* pszSSLCAPath = pszOrNull(m_csSSLCAPath);
    const wchar_t* pszSSLCipher = pszOrNull(m_csSSLCipher);
    const int bSSLWanted = bTLSRequested();
    const wchar_t* pszServer = pszGetDataBase();
    const wchar_t* pszUser = pszGetUserName();
    const wchar_t* pszPassword = pszGetPassword();
    const wchar_t* pszDatabase = pszOrNull(pszGetDefaultDataBaseEx());
    const wchar_t* pszSocket = pszOrNull(m_csUnixSocket);

    if (m_nUnicodeSupport != 0 &&
        !_bProcessUnicodeCnxParameters(pclError, bSSLWanted, pszServer, pszUser, pszPassword, pszDatabase,
                                       pszSocket, pszSSLKey, pszSSLCert, pszSSLCA, pszSSLCAPath, pszSSLCipher))
        return _nOpenFailed();
    // The library opens its connections in utf8mb4 on the server: a
    // connection kept in code page 1252 says so before the connect, so that
    // its user name and password already go out as the server reads them.
    if (m_nClientTextCodePage == kCodePage1252 && bHasOptions()) {
        if (!bSetOption(MySQLSite::kLatin1Option, pclError, this, m_pMySQL, MYSQL_SET_CHARSET_NAME, "latin1")) {
            RaiseFirst(pclError, MySQLSite::kLatin1OptionFailed, this);
            if (pclError != nullptr)
                pclError->AddDebugMessageNoFormat(L"mysql_options(MYSQL_SET_CHARSET_NAME, \"latin1\") failed");
            return _nOpenFailed();
        }
    }
    if (!_bSetTimeouts(pclError))
        return _nOpenFailed();
    if (bSSLWanted && !_bSetSSLParameters(pclError, pszSSLKey, pszSSLCert, pszSSLCA, pszSSLCAPath, pszSSLCipher))
        return _nOpenFailed();
    if (!_bOpenCreateDatabase(pclError, bCreate, pszServer, pszUser, pszPassword, pszDatabase, pszSocket))
        return _nOpenFailed();
    if (!_bGetServerVersion(pclError) || !_bSetServerCharacterSet(pclError))
        return _nOpenFailed();
    m_bReopenOnDemand = 0;
    m_bSessionInTransaction = 0;
    return m_bOpen;
}

int CMySQLConnection::_bProcessUnicodeCnxParameters(CNAError* pclError, int bSSLWanted, const wchar_t* pszServer,
                                                    const wchar_t* pszUser, const wchar_t* pszPassword,
                                                    const wchar_t* pszDatabase, const wchar_t* pszSocket,
                                                    const wchar_t* pszSSLKey, const wchar_t* pszSSLCert,
                                                    const wchar_t* pszSSLCA, const wchar_t* pszSSLCAPath,
                                                    const wchar_t* pszSSLCipher)
{
    bool bWithin1252 = bLatin1(pszServer) && bLatin1(pszUser) && bLatin1(pszPassword) && bLatin1(pszDatabase) &&
                       bLatin1(pszSocket);
    if (bSSLWanted)
        bWithin1252 = bWithin1252 && bLatin1(pszSSLKey) && bLatin1(pszSSLCert) && bLatin1(pszSSLCA) &&
                      bLatin1(pszSSLCAPath) && bLatin1(pszSSLCipher);
    if (bWithin1252)
        return 1;
    if (!bHasOptions()) {
        CNAError::g_RaiseSiteError(pclError, MySQLSite::kNoOptions, this, nullptr, nullptr,
                                   m_csClientVersion.pszGet());
        return 0;
    }
    if (!bSetOption(MySQLSite::kUnicodeOption, pclError, this, m_pMySQL, MYSQL_SET_CHARSET_NAME, "utf8")) {
        RaiseFirst(pclError, MySQLSite::kUnicodeOptionFailed, this, m_csClientVersion.pszGet());
        return 0;
    }
    m_nClientTextCodePage = kCodePageUTF8;
    return 1;
}

int CMySQLConnection::_bSetTimeouts(CNAError* pclError)
{
    // Without mysql_options the client waits as it always did: a host that
    // gives a time-out by default must still reach the server.
    if (!bHasOptions())
        return 1;
    const int nCommand = nGetCommandTimeout();
    // A session the driver opens on its own, inside a call of the host's
    // that the command time-out bounds, waits no longer than that.
    const bool bHidden = m_bReopenOnDemand && nTimeoutSeconds(nGetConnectionTimeout()) == 0;
    const int nConnect = bHidden ? nCommand : nGetConnectionTimeout();
    // A client before 4.1 has no read or write time-out: its reads wait as
    // before.
    const bool bReadWrite = bClientVersionGreaterThan4_1();
    const struct
    {
        mysql_option eOption;
        const wchar_t* pszKey;
        int nGiven;
    } timeouts[] = {
        {MYSQL_OPT_CONNECT_TIMEOUT, bHidden ? L"VX Command Timeout" : L"VX Connection Timeout", nConnect},
        {MYSQL_OPT_READ_TIMEOUT, L"VX Command Timeout", bReadWrite ? nCommand : 0},
        {MYSQL_OPT_WRITE_TIMEOUT, L"VX Command Timeout", bReadWrite ? nCommand : 0},
    };
    for (const auto& timeout : timeouts) {
        const unsigned nSeconds = nTimeoutSeconds(timeout.nGiven);
        if (nSeconds == 0)
            continue;
        if (!bSetOption(MySQLSite::kTimeoutOption, pclError, this, m_pMySQL, timeout.eOption, &nSeconds)) {
            CTString csTimeout;
            csTimeout.printf(L"%s=%d", timeout.pszKey, timeout.nGiven);
            RaiseFirst(pclError, MySQLSite::kTimeoutOptionFailed, this, m_csClientVersion.pszGet(),
                       csTimeout.pszGet());
            return 0;
        }
    }
    return 1;
}

int CMySQLConnection::_bSetSSLParameters(CNAError* pclError, const wchar_t* pszSSLKey, const wchar_t* pszSSLCert,
                                         const wchar_t* pszSSLCA, const wchar_t* pszSSLCAPath,
                                         const wchar_t* pszSSLCipher)
{
    if (__mysql_ssl_set == &DefaultError_mysql_ssl_set) {
        CNAError::g_RaiseSiteError(pclError, MySQLSite::kNoSSLSet, this, nullptr, nullptr,
                                   m_csClientVersion.pszGet());
        return 0;
    }
    // The client falls back to clear text when the server offers no TLS:
    // only the cipher after the connect tells, and a client that cannot
    // say is refused before anything goes out.
    if (__mysql_get_ssl_cipher == &DefaultError_mysql_get_ssl_cipher) {
        CNAError::g_RaiseSiteError(pclError, MySQLSite::kNoSSLCipher, this, nullptr, nullptr,
                                   m_csClientVersion.pszGet());
        return 0;
    }
    // A verifying "SSL Mode" has a CA or CA path by now (_bCheckTLSMode).
    const eTLSMode eMode = eGetTLSMode();
    const bool bVerify = pszSSLCA != nullptr || pszSSLCAPath != nullptr || eMode == eTLSMode::VerifyCA ||
                         eMode == eTLSMode::VerifyIdentity;
    if (bVerify && (!bHasOptions() || !CNAFunctionLoader::g_bKnowsVerifyServerCertOption())) {
        CNAError::g_RaiseSiteError(pclError, MySQLSite::kNoVerifyOption, this, nullptr, nullptr,
                                   m_csClientVersion.pszGet());
        return 0;
    }
    const CNACodePageCnvIN key(m_nClientTextCodePage, pszSSLKey);
    const CNACodePageCnvIN cert(m_nClientTextCodePage, pszSSLCert);
    const CNACodePageCnvIN ca(m_nClientTextCodePage, pszSSLCA);
    const CNACodePageCnvIN caPath(m_nClientTextCodePage, pszSSLCAPath);
    const CNACodePageCnvIN cipher(m_nClientTextCodePage, pszSSLCipher);
    if (!bAllConverted(pclError, this, {&key, &cert, &ca, &caPath, &cipher}))
        return 0;
    int nResult = 1;
    // One library answers an int, another a one-byte my_bool: only the low
    // byte is the answer.
    if (!bClientCall(MySQLSite::kSSLSet, pclError, this,
                     [&] {
                         nResult = __mysql_ssl_set(m_pMySQL, key.pszGet(), cert.pszGet(), ca.pszGet(),
                                                   caPath.pszGet(), cipher.pszGet());
                     }) ||
        (nResult & 0xFF) != 0) {
        bInitError(pclError, NA_SRC_DB_CONNECTION, MySQLSite::kRecordSSLError);
        RaiseFirst(pclError, MySQLSite::kSSLFailed, this);
        return 0;
    }
    const unsigned char bOn = 1;
    // The library checks the server's certificate only when asked; a trust
    // anchor given is a request for that check.
    if (bVerify) {
        if (!bSetOption(MySQLSite::kVerifyOption, pclError, this, m_pMySQL, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &bOn)) {
            RaiseFirst(pclError, MySQLSite::kVerifyOptionFailed, this);
            if (pclError != nullptr)
                pclError->AddDebugMessageNoFormat(L"mysql_options(MYSQL_OPT_SSL_VERIFY_SERVER_CERT) failed");
            return 0;
        }
    }
    // A client that has the option is asked to enforce TLS: the 5.7 client
    // then refuses a server without it before the login goes out. Debian's
    // Connector/C (3.3) refuses such a server at the handshake only when it
    // also verifies; with this option alone it sends the login (user,
    // database, authentication answer) in clear text, and has no option
    // that refuses earlier without a check of the certificate
    // (tests/mysql/mysql_connection_tls_login_test.cpp). Its answer is not
    // taken: the cipher check after the connect decides in any case.
    if (bHasOptions() && CNAFunctionLoader::g_bKnowsSSLEnforceOption()) {
        if (!bClientCall(MySQLSite::kEnforceOption, pclError, this,
                         [&] { (void)__mysql_options(m_pMySQL, MYSQL_OPT_SSL_ENFORCE, &bOn); })) {
            RaiseFirst(pclError, MySQLSite::kSSLFailed, this);
            return 0;
        }
    }
    // Unchecked, the certificate proves nothing, and against a server that
    // offers no TLS this library logs in all the same: only the plug-ins
    // that keep the password may run. A Connector/C older than the option
    // refuses it, and the open goes on as before (README).
    if (!bVerify && bHasOptions() && CNAFunctionLoader::g_bKnowsRestrictedAuthOption()) {
        if (!bClientCall(MySQLSite::kRestrictedAuthOption, pclError, this, [&] {
                (void)__mysql_options(m_pMySQL, MARIADB_OPT_RESTRICTED_AUTH, kPlugInsKeepingThePassword);
            })) {
            RaiseFirst(pclError, MySQLSite::kSSLFailed, this);
            return 0;
        }
    }
    return 1;
}

bool CMySQLConnection::bTLSRequested() const
{
    return m_csSSLKey.nTaille() > 0 || m_csSSLCert.nTaille() > 0 || m_csSSLCA.nTaille() > 0 ||
           m_csSSLCAPath.nTaille() > 0 || m_csSSLCipher.nTaille() > 0 || eGetTLSMode() != eTLSMode::NotAsked;
}

CMySQLConnection::eTLSMode CMySQLConnection::eGetTLSMode() const
{
    CTString csMode(m_csSSLMode.pszGet());
    csMode.Trim();
    const wchar_t* pszMode = csMode.pszGet() != nullptr ? csMode.pszGet() : L"";
    const struct
    {
        const wchar_t* pszValue;
        eTLSMode eMode;
    } modes[] = {
        {L"", eTLSMode::NotAsked},
        {L"DISABLED", eTLSMode::NotAsked},
        {L"PREFERRED", eTLSMode::NotAsked},
        {L"REQUIRED", eTLSMode::Required},
        {L"VERIFY_CA", eTLSMode::VerifyCA},
        {L"VERIFY_IDENTITY", eTLSMode::VerifyIdentity},
    };
    for (const auto& mode : modes) {
        if (bEqualsAsciiIgnoringCase(pszMode, mode.pszValue))
            return mode.eMode;
    }
    return eTLSMode::Unknown;
}

int CMySQLConnection::_bCheckTLSMode(CNAError* pclError)
{
    const eTLSMode eMode = eGetTLSMode();
    const wchar_t* pszValue = m_csSSLMode.pszGet() != nullptr ? m_csSSLMode.pszGet() : L"";
    if (eMode == eTLSMode::Unknown) {
        CNAError::g_RaiseSiteError(pclError, MySQLSite::kSSLModeUnknown, this, nullptr, nullptr, pszValue);
        return 0;
    }
    // The check of the certificate needs an authority to lead to.
    if ((eMode == eTLSMode::VerifyCA || eMode == eTLSMode::VerifyIdentity) && m_csSSLCA.nTaille() == 0 &&
        m_csSSLCAPath.nTaille() == 0) {
        CNAError::g_RaiseSiteError(pclError, MySQLSite::kSSLModeWithoutCA, this, nullptr, nullptr, pszValue);
        return 0;
    }
    return 1;
}

int CMySQLConnection::_bCheckEncrypted(CNAError* pclError)
{
    if (!bTLSRequested())
        return 1;
    const wchar_t* pszServer = pszGetDataBase() != nullptr ? pszGetDataBase() : L"";
    const char* pszCipher = nullptr;
    if (bClientCall(MySQLSite::kSSLCipher, pclError, this, [&] { pszCipher = __mysql_get_ssl_cipher(m_pMySQL); }) &&
        pszCipher != nullptr && pszCipher[0] != 0)
        return 1;
    // First also over the refused connect of a database made in create
    // mode.
    RaiseFirst(pclError, MySQLSite::kNotEncrypted, this, pszServer);
    return 0;
}

int CMySQLConnection::_bOpenCreateDatabase(CNAError* pclError, int bCreate, const wchar_t* pszServer,
                                           const wchar_t* pszUser, const wchar_t* pszPassword,
                                           const wchar_t* pszDatabase, const wchar_t* pszSocket)
{
    // Found rows: an UPDATE that writes a record unchanged still counts it,
    // so that the check of a write never takes it for lost.
    unsigned long nFlags = static_cast<uint32_t>(m_nClientFlag) | kClientFoundRows;
    if (bMultipleRecordsetEnabled())
        nFlags |= kClientMultiStatements;
    const CNACodePageCnvIN server(m_nClientTextCodePage, pszServer);
    const CNACodePageCnvIN user(m_nClientTextCodePage, pszUser);
    const CNACodePageCnvIN password(m_nClientTextCodePage, pszPassword);
    const CNACodePageCnvIN database(m_nClientTextCodePage, pszDatabase);
    const CNACodePageCnvIN socket(m_nClientTextCodePage, pszSocket);
    if (!bAllConverted(pclError, this, {&server, &user, &password, &database, &socket}))
        return 0;
    const unsigned nPort = static_cast<unsigned>(m_nPort);
    const auto connect = [&](const stClientCallSite& site, const char* pszDatabaseName) {
        MYSQL* pConnected = nullptr;
        bClientCall(site, pclError, this, [&] {
            pConnected = __mysql_real_connect(m_pMySQL, server.pszGet(), user.pszGet(), password.pszGet(),
                                              pszDatabaseName, nPort, socket.pszGet(), nFlags);
        });
        return pConnected != nullptr;
    };

    // A plug-in refused by the list of _bSetSSLParameters is said in place
    // of the failed connect: after an authentication switch the library's
    // own text names another.
    const auto raisePlugInRefused = [&] {
        RaiseFirst(pclError, MySQLSite::kPlugInRefused, this, pszServer != nullptr ? pszServer : L"",
                   kPlugInsKeepingThePasswordText);
    };

    m_bOpen = connect(MySQLSite::kConnect, database.pszGet()) ? 1 : 0;
    if (m_bOpen)
        return _bCheckEncrypted(pclError);
    unsigned nCode = 0;
    const bool bRead = bInitError(pclError, NA_SRC_DB_CONNECTION, MySQLSite::kRecordConnectError) &&
                       bGetLastError(pclError, &nCode);
    if (bRead && nCode == kClientPlugInNotAllowed) {
        raisePlugInRefused();
        return 0;
    }
    RaiseFirst(pclError, MySQLSite::kConnectFailed, this);
    if (!bRead || !bCreate || pszDatabase == nullptr || nCode != kUnknownDatabase)
        return 0;

    // The database is missing: made on a connection without database, then
    // selected on that same connection (the library refuses a second
    // connect of a connected handle).
    if (!connect(MySQLSite::kConnectWithoutDatabase, nullptr)) {
        if (bInitError(pclError, NA_SRC_DB_CONNECTION, MySQLSite::kRecordConnectWithoutDatabaseError) &&
            bGetLastError(pclError, &nCode) && nCode == kClientPlugInNotAllowed)
            raisePlugInRefused();
        return 0;
    }
    m_bOpen = 1;
    // Nothing goes out on a connection in clear text that asked for TLS.
    if (!_bCheckEncrypted(pclError)) {
        bClose(pclError);
        return 0;
    }
    CTString csName;
    if (!bFormatTableName(pclError, pszDatabase, &csName)) {
        bClose(pclError);
        return 0;
    }
    CTString csCreate(L"CREATE DATABASE ");
    csCreate.Add(csName.pszGet());
    CTString csUse(L"USE ");
    csUse.Add(csName.pszGet());
    if (!bExecuteQueryNoResult(pclError, csCreate.pszGet()) || !bExecuteQueryNoResult(pclError, csUse.pszGet())) {
        bClose(pclError);
        return 0;
    }
    // The refusal of the first connect is no error of an open that made
    // its database.
    if (pclError != nullptr)
        pclError->Reset();
    return 1;
}

int CMySQLConnection::_bGetServerVersion(CNAError* pclError)
{
    const char* pszVersion = nullptr;
    if (!bClientCall(MySQLSite::kServerInfo, pclError, this, [&] { pszVersion = __mysql_get_server_info(m_pMySQL); }))
        return 0;
    const CNACodePageCnvOUTPtr version(m_nClientTextCodePage, pszVersion);
    m_csServerVersion.Set(version.pszGet());
    // Numbers of a server met before go: a piece missing now stays unknown.
    m_nServerMajor = -1;
    m_nServerMinor = 0;
    m_nServerPatch = 0;
    return _bDecomposeServerVersion(pclError);
}

int CMySQLConnection::_bSetServerCharacterSet(CNAError* pclError)
{
    if (m_nUnicodeSupport != 0) {
        if (bServerVersionGreaterThan4_1() && bClientVersionGreaterThan4_1()) {
            // utf8 is utf8mb3 on these servers, which refuses characters
            // above U+FFFF; servers before 5.5.3 know no other. A form the
            // server refuses is no error of the open.
            CNAError refused;
            if (bExecuteQueryNoResult(&refused, L"SET NAMES 'utf8mb4'") ||
                bExecuteQueryNoResult(&refused, L"SET NAMES 'utf8'")) {
                m_nClientTextCodePage = kCodePageUTF8;
                return 1;
            }
        }
        m_nUnicodeSupport = 0;
    }
    // Without the option the server still reads the library's own
    // character set: say latin1 now, where the server knows SET NAMES.
    if (m_nClientTextCodePage == kCodePage1252 && bServerVersionGreaterThan4_1() && !bHasOptions())
        return bExecuteQueryNoResult(pclError, L"SET NAMES 'latin1'");
    return 1;
}
