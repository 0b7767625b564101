// A connection built from the host's description: the driver's extended keys
// read and cut out of the extended information, their defaults from the
// host, the connection string, the initial catalog and the application name,
// and what the connection holds and gives back.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <string>

#include "native/driver/transaction.h"
#include "tests/fakes/test_connection.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/support/test_environment.h"

namespace {

// The host's values when a case does not change them.
constexpr int kHostConnectionTimeout = 42;
constexpr int kHostCommandTimeout = 43;
constexpr int64_t kHostCacheSize = 500;

struct stExpected
{
    int nConnectionTimeout = kHostConnectionTimeout;
    int nCommandTimeout = kHostCommandTimeout;
    int nLockTimeout = -1;
    int64_t llCacheSize = kHostCacheSize;
    int eCursorLocation = 0;
    int nUnicodeSupport = 1;
    std::wstring remaining;
};

struct stKeyCase
{
    const char* name;
    const wchar_t* pszExtendedInfo;
    std::function<void(StandinConnectionDescription&)> host;
    stExpected expected;
};

void PrepareHost(StandinConnectionDescription& host)
{
    host.SetConnectionTimeout(kHostConnectionTimeout);
    host.SetCommandTimeout(kHostCommandTimeout);
    host.SetDefaultCacheSize(kHostCacheSize);
}

TEST(ConnectionKeys, NumbersCursorAndRemainingText)
{
    const auto noChange = [](StandinConnectionDescription&) {};
    const stKeyCase cases[] = {
        {"no extended information", nullptr, noChange, {}},
        {"lock time-out, client cursor with blanks and lower case, another key kept",
         L"VX Lock Timeout=15;VX Cursor Location = client;Other=1", noChange,
         {.nLockTimeout = 15, .eCursorLocation = 1, .remaining = L"Other=1"}},
        {"keys in any case", L"vx connection timeout=7;VX COMMAND TIMEOUT=8", noChange,
         {.nConnectionTimeout = 7, .nCommandTimeout = 8}},
        {"server cursor", L"VX Cursor Location=SERVER", noChange, {.eCursorLocation = 2}},
        {"an unknown cursor location is 0 whatever the host's options", L"VX Cursor Location=keyset",
         [](StandinConnectionDescription& h) { h.SetCursorOptions(1); }, {.eCursorLocation = 0}},
        {"host options: bit 0 gives server", nullptr, [](StandinConnectionDescription& h) { h.SetCursorOptions(3); },
         {.eCursorLocation = 2}},
        {"host options: bit 1 gives client", nullptr, [](StandinConnectionDescription& h) { h.SetCursorOptions(2); },
         {.eCursorLocation = 1}},
        {"an empty value takes the host's default", L"VX Connection Timeout=;VX Cursor Location=",
         [](StandinConnectionDescription& h) { h.SetCursorOptions(1); }, {.eCursorLocation = 2}},
        {"a number followed by letters", L"VX Connection Timeout=30sec", noChange, {.nConnectionTimeout = 30}},
        {"letters only", L"VX Connection Timeout=abc", noChange, {.nConnectionTimeout = 0}},
        {"a sign", L"VX Lock Timeout=-5", noChange, {.nLockTimeout = -5}},
        {"too large for 32 bits is clamped", L"VX Lock Timeout=99999999999", noChange, {.nLockTimeout = INT32_MAX}},
        {"too small for 32 bits is clamped", L"VX Command Timeout=-99999999999", noChange,
         {.nCommandTimeout = INT32_MIN}},
        {"a 64-bit cache size", L"VX Cache Size=123456789012", noChange, {.llCacheSize = 123456789012}},
        {"host interface 3 gives no cache size", nullptr, [](StandinConnectionDescription& h) { h.SetVersion(3); },
         {.llCacheSize = -2}},
        {"host interface 3 with the key", L"VX Cache Size=9", [](StandinConnectionDescription& h) { h.SetVersion(3); },
         {.llCacheSize = 9}},
        {"Unicode support off", L"VX Unicode Support=0", noChange, {.nUnicodeSupport = 0}},
        {"a removed last entry leaves the separator before it", L"A=1;VX Lock Timeout=3", noChange,
         {.nLockTimeout = 3, .remaining = L"A=1;"}},
        {"the separators after a removed entry go with it", L"VX Lock Timeout=3;  A=1", noChange,
         {.nLockTimeout = 3, .remaining = L"A=1"}},
        {"a key without = is not read", L"VX Lock Timeout;B=2", noChange, {.remaining = L"VX Lock Timeout;B=2"}},
        // Keys are found as substrings: a host key ending with a driver key's
        // name is taken for it and cut from there on.
        {"a key that ends with a driver key", L"MY SSL CA=x;B=2", noChange, {.remaining = L"MYB=2"}},
        {"every text key is removed",
         L"VX RECORD LOCK=NOWAIT;VX CLIENT VERSION=8;VX CLIENT LIBRARY=libx.so;Application Name=App;"
         L"SSL Mode=REQUIRED;SSL Key=k;SSL Cert=c;SSL CAPath=/p;SSL CA=/a;SSL Cipher=AES;Initial Catalog=db",
         noChange, {.remaining = L"Initial Catalog=db"}},
    };
    for (const stKeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        StandinConnectionDescription host;
        PrepareHost(host);
        host.SetExtendedInfo(c.pszExtendedInfo);
        c.host(host);
        CTestConnection connection(L"id", &host);
        EXPECT_EQ(c.expected.nConnectionTimeout, connection.nGetConnectionTimeout());
        EXPECT_EQ(c.expected.nCommandTimeout, connection.nGetCommandTimeout());
        EXPECT_EQ(c.expected.nLockTimeout, connection.nGetLockTimeout());
        EXPECT_EQ(c.expected.llCacheSize, connection.llGetCacheSize());
        EXPECT_EQ(c.expected.eCursorLocation, connection.eGetCursorLocation());
        EXPECT_EQ(c.expected.nUnicodeSupport, connection.nGetUnicodeSupport());
        EXPECT_EQ(c.expected.remaining, connection.pszGetExtendedInfo());
    }
}

TEST(ConnectionKeys, TextKeys)
{
    StandinConnectionDescription host;
    host.SetExtendedInfo(
        L"VX RECORD LOCK = NOWAIT ;VX CLIENT VERSION=8.0;VX CLIENT LIBRARY=/opt/libx.so;Application Name=Ventes;"
        L"SSL Mode=REQUIRED;SSL Key=/k.pem;SSL Cert=/c.pem;SSL CAPath=/ca;SSL CA=/ca.pem;SSL Cipher=AES256");
    CTestConnection connection(L"id", &host);
    EXPECT_STREQ(L"NOWAIT", connection.pszGetNoLockHint());
    EXPECT_EQ(CTString(L"8.0"), connection.csGetClientVersionWanted());
    EXPECT_EQ(CTString(L"/opt/libx.so"), connection.csGetClientLibraryWanted());
    EXPECT_STREQ(L"Ventes", connection.pszGetApplicationName());
    EXPECT_EQ(CTString(L"REQUIRED"), connection.csGetSSLMode());
    EXPECT_EQ(CTString(L"/k.pem"), connection.csGetSSLKey());
    EXPECT_EQ(CTString(L"/c.pem"), connection.csGetSSLCert());
    // "SSL CA" is read first and is not taken from "SSL CAPath=".
    EXPECT_EQ(CTString(L"/ca.pem"), connection.csGetSSLCA());
    EXPECT_EQ(CTString(L"/ca"), connection.csGetSSLCAPath());
    EXPECT_EQ(CTString(L"AES256"), connection.csGetSSLCipher());
    EXPECT_STREQ(L"", connection.pszGetExtendedInfo());
}

TEST(ConnectionKeys, ConnectionStringHoldsTheHostsFullTexts)
{
    StandinConnectionDescription host;
    host.SetProvider(L"Prov");
    host.SetExtendedInfo(L"VX Lock Timeout=15;Other=1");
    host.SetDataBase(L"srv");
    host.SetUserName(L"bob");
    host.SetPassword(L"pw");
    CTestConnection connection(L"id", &host);
    EXPECT_STREQ(L"Provider=Prov;ExtendedInformation=VX Lock Timeout=15;Other=1;Data source=srv;user id=bob;"
                 L"password=pw",
                 connection.pszGetConnectionString());

    StandinConnectionDescription nulls;
    CTestConnection withNulls(L"id", &nulls);
    EXPECT_STREQ(L"Provider=NULL;ExtendedInformation=NULL;Data source=NULL;user id=NULL;password=NULL",
                 withNulls.pszGetConnectionString());
}

TEST(ConnectionKeys, ExtendedParameterReadAndRemoved)
{
    StandinConnectionDescription host;
    host.SetExtendedInfo(L"A=1;Mine = two words ;B=2");
    CTestConnection connection(L"id", &host);
    CTString value;
    int bFound = -1;
    EXPECT_EQ(1, connection._bGetExtendedParameter(&value, L"mine", 0, &bFound));
    EXPECT_EQ(1, bFound);
    EXPECT_EQ(CTString(L"two words"), value);
    EXPECT_STREQ(L"A=1;Mine = two words ;B=2", connection.pszGetExtendedInfo());
    EXPECT_EQ(1, connection._bGetExtendedParameter(&value, L"Mine", 1));
    EXPECT_STREQ(L"A=1;B=2", connection.pszGetExtendedInfo());
    EXPECT_EQ(1, connection._bGetExtendedParameter(&value, L"Mine", 0, &bFound));
    EXPECT_EQ(0, bFound);
    EXPECT_EQ(0, value.nTaille());
}

TEST(ConnectionKeys, InitialCatalogLookUpAndCache)
{
    struct stCase
    {
        const char* name;
        const wchar_t* pszExtendedInfo;
        const wchar_t* pszProvider;
        const wchar_t* pszDefault;
        const wchar_t* pszExpected;
    };
    const stCase cases[] = {
        {"extended information first", L"Initial Catalog=ext", L"Initial Catalog=prov", L"host", L"ext"},
        {"then the provider text", L"X=1", L"MySQL;Initial Catalog = prov", L"host", L"prov"},
        {"then the host's default database", L"Initial Catalog=", nullptr, L"host", L"host"},
        {"none", nullptr, nullptr, nullptr, L""},
    };
    for (const stCase& c : cases) {
        SCOPED_TRACE(c.name);
        StandinConnectionDescription host;
        host.SetExtendedInfo(c.pszExtendedInfo);
        host.SetProvider(c.pszProvider);
        host.SetDefaultDataBase(c.pszDefault);
        CTestConnection connection(L"id", &host);
        EXPECT_STREQ(c.pszExpected, connection.pszGetDefaultDataBaseEx());
        // The key stays in the extended information.
        EXPECT_STREQ(c.pszExtendedInfo != nullptr ? c.pszExtendedInfo : L"", connection.pszGetExtendedInfo());
    }

    StandinConnectionDescription host;
    host.SetDefaultDataBase(L"first");
    CTestConnection connection(L"id", &host);
    EXPECT_STREQ(L"first", connection.pszGetDefaultDataBaseEx());
    host.SetDefaultDataBase(L"second");
    EXPECT_STREQ(L"first", connection.pszGetDefaultDataBaseEx());

    // Nothing found is not cached.
    StandinConnectionDescription later;
    CTestConnection lateConnection(L"id", &later);
    EXPECT_STREQ(L"", lateConnection.pszGetDefaultDataBaseEx());
    later.SetDefaultDataBase(L"now");
    EXPECT_STREQ(L"now", lateConnection.pszGetDefaultDataBaseEx());
}

TEST(ConnectionKeys, ApplicationNameFallsBackToTheExecutable)
{
    StandinConnectionDescription host;
    CTestConnection connection(L"id", &host);
    EXPECT_STREQ(L"native_driver_connection_keys_test", connection.pszGetApplicationName());
    CTString name;
    ASSERT_EQ(1, CNAConnectionDescription::g_bGetExeName(&name));
    EXPECT_EQ(CTString(L"native_driver_connection_keys_test"), name);
}

TEST(ConnectionKeys, CodePageOfTheRuntimesCharacterSet)
{
    StandinConnectionDescription host;
    {
        CTestConnection connection(L"id", &host);
        EXPECT_EQ(1252, connection.nGetRuntimeCodePage());
        EXPECT_EQ(-1, connection.nGetClientTextCodePage());
    }
    vxtest::Locale().SetCharset(204);
    CTestConnection cyrillic(L"id", &host);
    vxtest::Locale().SetCharset(StandinInfoLocale::kDefaultCharset);
    EXPECT_EQ(1251, cyrillic.nGetRuntimeCodePage());
}

TEST(ConnectionKeys, NumbersIdentificationAndHostReference)
{
    StandinConnectionDescription host;
    host.SetUserName(L"bob");
    host.SetConnectionName(L"CNX");
    {
        CTestConnection first(L"Connection=A", &host);
        CTestConnection second(L"Connection=B", &host);
        EXPECT_EQ(first.nGetConnectionNumber() + 1, second.nGetConnectionNumber());
        EXPECT_EQ(CNAConnectionDescription::m_gnCnxGenerator, second.nGetConnectionNumber());
        EXPECT_STREQ(L"Connection=A", first.pszGetIdentification());
        EXPECT_STREQ(L"bob", first.pszGetUserName());
        EXPECT_STREQ(L"CNX", first.pszGetConnectionName());
        EXPECT_EQ(&host, first.piGetConnectionDescription());
        EXPECT_EQ(2, host.Refs().nBalance());
    }
    EXPECT_EQ(0, host.Refs().nBalance());
    EXPECT_EQ(2, host.Refs().nTaken());
}

// A level whose active flag the test sets, and which counts its ends.
class CFlagTransaction : public CNATransaction
{
public:
    explicit CFlagTransaction(CNAConnectionDescription* pclConnection) : CNATransaction(pclConnection) {}
    ~CFlagTransaction() override { ++s_nDestroyed; }
    void SetActiveFlag(int b) { m_bActive = b; }
    static inline int s_nDestroyed = 0;
};

class CConnectionWithTransaction : public CTestConnection
{
public:
    using CTestConnection::CTestConnection;
    void Hold(CNATransaction* pclTransaction)
    {
        ++pclTransaction->m_dwRefCount;
        m_pclTransaction = pclTransaction;
    }
};

TEST(ConnectionKeys, AutoCloseFollowsTheFlagAndTheActiveTransaction)
{
    StandinConnectionDescription host;
    CFlagTransaction::s_nDestroyed = 0;
    {
        CConnectionWithTransaction connection(L"id", &host);
        EXPECT_EQ(1, connection.bAutoCloseEnabled());
        connection.SetAutoCloseAllowed(0);
        EXPECT_EQ(0, connection.bAutoCloseEnabled());
        connection.SetAutoCloseAllowed(1);

        auto* pclTransaction = new CFlagTransaction(&connection);
        connection.Hold(pclTransaction);
        EXPECT_EQ(1, connection.bAutoCloseEnabled());
        EXPECT_EQ(0, connection._bTransactionOpened());
        pclTransaction->SetActiveFlag(1);
        EXPECT_EQ(0, connection.bAutoCloseEnabled());
        EXPECT_EQ(1, connection._bTransactionOpened());
        pclTransaction->SetActiveFlag(0);
        EXPECT_EQ(1, connection.bAutoCloseEnabled());
    }
    // The connection's end drops the last reference on its transaction.
    EXPECT_EQ(1, CFlagTransaction::s_nDestroyed);
}

TEST(ConnectionKeys, TransactionLevelsReleaseTheirInnerLevel)
{
    StandinConnectionDescription host;
    CTestConnection connection(L"id", &host);
    CFlagTransaction::s_nDestroyed = 0;
    CNATransaction* pclOuter = connection.pclAllocTransaction();
    ASSERT_NE(nullptr, pclOuter);
    EXPECT_EQ(&connection, pclOuter->pclGetConnectionNoRef());
    EXPECT_EQ(0, pclOuter->bActive());
    EXPECT_EQ(0, pclOuter->bInternal());
    EXPECT_EQ(nullptr, pclOuter->pclGetInnerNoRef());
    // Two references on the inner level: the outer level's end drops one.
    struct COuter : CNATransaction
    {
        using CNATransaction::CNATransaction;
        void SetInner(CNATransaction* p)
        {
            ++p->m_dwRefCount;
            m_pclInner = p;
        }
    };
    auto* pclInner = new CFlagTransaction(&connection);
    ++pclInner->m_dwRefCount;
    auto* pclHolder = new COuter(&connection);
    pclHolder->SetInner(pclInner);
    ++pclHolder->m_dwRefCount;
    pclHolder->nRelease();
    EXPECT_EQ(0, CFlagTransaction::s_nDestroyed);
    EXPECT_EQ(1u, pclInner->m_dwRefCount);
    pclInner->nRelease();
    EXPECT_EQ(1, CFlagTransaction::s_nDestroyed);
    ++pclOuter->m_dwRefCount;
    pclOuter->nRelease();
}

}  // namespace
