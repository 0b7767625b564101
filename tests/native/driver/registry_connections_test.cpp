// The driver's connection registry: the identification that keys it, the
// connections that descriptions share, opens and closes counted against
// each other, the close that follows the last user, failed opens, closes by
// connection number, and the host's slots 8, 9 and 35.
#include <gtest/gtest.h>

#include <string>

#include "native/driver/registry_keys.h"
#include "tests/native/driver/registry_fixture.h"

namespace {

using vxtest::RegistryTest;

std::wstring Identification(CNADriver* pclDriver, INAConnectionDescription* piHost)
{
    CTString csIdentification;
    EXPECT_EQ(1, pclDriver->bBuildCnxIdentification(&csIdentification, piHost));
    return csIdentification.pszGet();
}

class RegistryConnections : public RegistryTest
{
};

TEST_F(RegistryConnections, Identification)
{
    StandinConnectionDescription& host = Host(L"CNX", L"user", L"secret");
    host.SetExtendedInfo(L"Server Port=3307");
    EXPECT_EQ(L"Connection=CNX;Provider=MySQL;ExtendedInformation=Server Port=3307;Data source=localhost;"
              L"user id=user;password=secret;access=RW",
              Identification(Driver(), &host));

    // Null texts are written NULL; access 1 is read only, any other
    // read-write.
    StandinConnectionDescription& bare = m_hosts.emplace_back();
    bare.SetAccess(1);
    EXPECT_EQ(L"Connection=NULL;Provider=NULL;ExtendedInformation=NULL;Data source=NULL;user id=NULL;"
              L"password=NULL;access=R",
              Identification(Driver(), &bare));
    bare.SetAccess(2);
    EXPECT_EQ(L"Connection=NULL;Provider=NULL;ExtendedInformation=NULL;Data source=NULL;user id=NULL;"
              L"password=NULL;access=RW",
              Identification(Driver(), &bare));

    CTString csIdentification;
    EXPECT_EQ(0, Driver()->bBuildCnxIdentification(&csIdentification, nullptr));

    // The connection is made with it and registered under it.
    ASSERT_EQ(1, nOpen(&host));
    CTestConnection* pclConnection = Registered(&host);
    ASSERT_NE(nullptr, pclConnection);
    EXPECT_EQ(Identification(Driver(), &host), pclConnection->pszGetIdentification());
    EXPECT_EQ(1, nClose(&host));
}

TEST_F(RegistryConnections, DescriptionsShareAConnectionOnlyWhenIdentical)
{
    struct Case
    {
        const wchar_t* name;
        const wchar_t* user;
        const wchar_t* password;
        bool shared;
    };
    const Case cases[] = {
        {L"CNX", L"user", L"secret", true},
        // The server may tell these apart: never one connection.
        {L"CNX", L"user", L"Secret", false},
        {L"CNX", L"user", L"SECRET", false},
        {L"CNX", L"usér", L"secret", false},
        {L"CNX", L"USER", L"secret", false},
        {L"cnx", L"user", L"secret", false},
    };
    StandinConnectionDescription& first = Host(L"CNX", L"user", L"secret");
    ASSERT_EQ(1, nOpen(&first));
    CTestConnection* pclFirst = Registered(&first);
    for (const Case& c : cases) {
        StandinConnectionDescription& other = Host(c.name, c.user, c.password);
        ASSERT_EQ(1, nOpen(&other));
        CTestConnection* pclOther = Registered(&other);
        EXPECT_EQ(c.shared, pclOther == pclFirst) << std::wstring(c.name) << L" " << c.user << L" " << c.password;
        if (!c.shared) {
            EXPECT_EQ(1, pclOther->nOpenCalls());
        }
        EXPECT_EQ(1, nClose(&other));
    }
    EXPECT_EQ(1, nClose(&first));
    EXPECT_EQ(nullptr, Registered(&first));
    EXPECT_EQ(m_nConnectionsBefore, CTestConnection::s_nLive);
}

TEST_F(RegistryConnections, RegistryKeysCompareCodePoints)
{
    const wchar_t* a = L"password=secret";
    const wchar_t* b = L"password=Secret";
    EXPECT_NE(0, CNARegistryKeys::nCompare(a, b));
    EXPECT_EQ(0, CNARegistryKeys::nCompare(a, L"password=secret"));
    EXPECT_EQ(CNARegistryKeys::dwHashVal(a), CNARegistryKeys::dwHashVal(L"password=secret"));
    EXPECT_NE(CNARegistryKeys::dwHashVal(a), CNARegistryKeys::dwHashVal(b));
    EXPECT_EQ(0, CNARegistryKeys::nCompare(nullptr, L""));
}

TEST_F(RegistryConnections, EachCloseUndoesOneOpen)
{
    StandinConnectionDescription& host = Host();
    // Never opened: 1, and nothing registered.
    EXPECT_EQ(1, nClose(&host));
    EXPECT_EQ(nullptr, Registered(&host));
    EXPECT_EQ(m_nConnectionsBefore, CTestConnection::s_nLive);

    ASSERT_EQ(1, nOpen(&host));
    ASSERT_EQ(1, nOpen(&host));
    CTestConnection* pclConnection = Registered(&host);
    // The registry and two open states.
    EXPECT_EQ(3u, pclConnection->m_dwRefCount);
    EXPECT_EQ(2, pclConnection->nOpenCalls());
    EXPECT_EQ(0, pclConnection->bAutoCloseAllowed());

    EXPECT_EQ(1, nClose(&host));
    EXPECT_EQ(pclConnection, Registered(&host));
    EXPECT_EQ(0, pclConnection->nCloseCalls());
    EXPECT_EQ(1, pclConnection->bIsOpen());

    const int nLiveBefore = CTestConnection::s_nLive;
    EXPECT_EQ(1, nClose(&host));
    EXPECT_EQ(nullptr, Registered(&host));
    EXPECT_EQ(nLiveBefore - 1, CTestConnection::s_nLive);

    // Nothing registered: a close finds nothing and makes nothing.
    EXPECT_EQ(1, nClose(&host));
    EXPECT_EQ(nullptr, Registered(&host));
    EXPECT_EQ(nLiveBefore - 1, CTestConnection::s_nLive);
}

TEST_F(RegistryConnections, CloseWithoutOpenLeavesATablesConnectionAlone)
{
    StandinConnectionDescription& host = Host();
    StandinDataSourceDescription& source = Source(L"CUSTOMER");
    INATable* piTable = this->piTable(&host, &source);
    ASSERT_NE(nullptr, piTable);
    CTestConnection* pclConnection = Registered(&host);
    ASSERT_NE(nullptr, pclConnection);
    // The registry and the table.
    EXPECT_EQ(2u, pclConnection->m_dwRefCount);

    // Closes the host never opened for take nothing from the table.
    EXPECT_EQ(1, nClose(&host));
    EXPECT_EQ(1, nClose(&host));
    EXPECT_EQ(pclConnection, Registered(&host));
    EXPECT_EQ(2u, pclConnection->m_dwRefCount);
    EXPECT_EQ(pclConnection, static_cast<CNATable*>(piTable)->pclGetConnectionNoRef());

    // Opened once, closed three times: only the one close counts.
    ASSERT_EQ(1, nOpen(&host));
    EXPECT_EQ(3u, pclConnection->m_dwRefCount);
    EXPECT_EQ(1, nClose(&host));
    EXPECT_EQ(1, nClose(&host));
    EXPECT_EQ(pclConnection, Registered(&host));
    EXPECT_EQ(2u, pclConnection->m_dwRefCount);
    EXPECT_EQ(0, pclConnection->nCloseCalls()) << "the table still works on it";

    // The table was the last user: the connection closes and goes.
    const int nLiveBefore = CTestConnection::s_nLive;
    EXPECT_EQ(0, nReleaseTable(piTable));
    EXPECT_EQ(nLiveBefore - 1, CTestConnection::s_nLive);
    EXPECT_EQ(nullptr, Registered(&host));
}

TEST_F(RegistryConnections, CloseWhileATransactionIsActive)
{
    StandinConnectionDescription& host = Host();
    ASSERT_EQ(1, nOpen(&host));
    CTestConnection* pclConnection = Registered(&host);
    pclConnection->SetTransactionActive(true);

    EXPECT_EQ(1, nClose(&host));
    EXPECT_EQ(pclConnection, Registered(&host));
    EXPECT_EQ(1u, pclConnection->m_dwRefCount) << "only the registry's reference";
    EXPECT_EQ(1, pclConnection->bIsOpen());
    EXPECT_EQ(0, pclConnection->nCloseCalls());
    // A further close has no open state to undo: it takes nothing.
    EXPECT_EQ(1, nClose(&host));
    EXPECT_EQ(pclConnection, Registered(&host));
    EXPECT_EQ(1u, pclConnection->m_dwRefCount);

    // Once the transaction ended, the next release that brings it back to
    // the registry's reference closes it (a commit takes and drops one).
    pclConnection->SetTransactionActive(false);
    EXPECT_EQ(pclConnection, Registered(&host));
    const int nLiveBefore = CTestConnection::s_nLive;
    CNAConnectionDescription* pclGot = Driver()->_pclGetConnection(&host);
    ASSERT_EQ(pclConnection, pclGot);
    EXPECT_EQ(0, Driver()->nReleaseConnection(pclGot));
    EXPECT_EQ(nullptr, Registered(&host));
    EXPECT_EQ(nLiveBefore - 1, CTestConnection::s_nLive);
}

TEST_F(RegistryConnections, AutoCloseClosesOnlyAnOpenConnection)
{
    const int nClosesBefore = CTestConnection::s_nCloseCallsAll;
    const auto nCloses = [nClosesBefore] { return CTestConnection::s_nCloseCallsAll - nClosesBefore; };
    StandinConnectionDescription& host = Host();
    ASSERT_EQ(1, nOpen(&host));
    EXPECT_EQ(1, nClose(&host));
    EXPECT_EQ(1, nCloses());

    // The database connection was lost meanwhile: nothing to close.
    ASSERT_EQ(1, nOpen(&host));
    Registered(&host)->SetIsOpenFails(true);
    EXPECT_EQ(1, nClose(&host));
    EXPECT_EQ(1, nCloses());
    EXPECT_EQ(nullptr, Registered(&host));

    // Never opened.
    CNAConnectionDescription* pclGot = Driver()->_pclGetConnection(&host);
    ASSERT_NE(nullptr, pclGot);
    EXPECT_EQ(0, Driver()->nReleaseConnection(pclGot));
    EXPECT_EQ(1, nCloses());
    EXPECT_EQ(nullptr, Registered(&host));
}

TEST_F(RegistryConnections, FailedOpenForgetsTheConnection)
{
    StandinConnectionDescription& host = Host();
    host.SetDataBase(L"db.example");
    ASSERT_EQ(1, nOpen(&host));
    CTestConnection* pclFormer = Registered(&host);
    pclFormer->SetOpenFails(true);
    const int nLiveBefore = CTestConnection::s_nLive;

    EXPECT_EQ(0, nOpen(&host));
    EXPECT_EQ(CTestConnection::kFailureUserCode, DriverError()->dwGetErrorId());
    EXPECT_EQ(NA_LEVEL_WARNING, DriverError()->eGetErrorLevel());
    // Forgotten with its open state: nothing held it any more.
    EXPECT_EQ(nullptr, Registered(&host));
    EXPECT_EQ(nLiveBefore - 1, CTestConnection::s_nLive);

    // The next open makes a new connection; the error goes with the entry.
    ASSERT_EQ(1, nOpen(&host));
    EXPECT_EQ(NA_LEVEL_NOERROR, DriverError()->eGetErrorLevel());
    EXPECT_EQ(1, Registered(&host)->nOpenCalls());
    EXPECT_EQ(1, nClose(&host));
}

TEST_F(RegistryConnections, FailedOpenWhileTwoTablesHoldTheConnection)
{
    StandinConnectionDescription& host = Host();
    StandinDataSourceDescription& first = Source(L"CUSTOMER");
    StandinDataSourceDescription& second = Source(L"ORDERS");
    INATable* piFirst = piTable(&host, &first);
    INATable* piSecond = piTable(&host, &second);
    ASSERT_NE(nullptr, piFirst);
    ASSERT_NE(nullptr, piSecond);
    CTestConnection* pclFormer = Registered(&host);
    EXPECT_EQ(3u, pclFormer->m_dwRefCount);

    pclFormer->SetOpenFails(true);
    EXPECT_EQ(0, nOpen(&host));
    EXPECT_EQ(nullptr, Registered(&host));
    EXPECT_EQ(2u, pclFormer->m_dwRefCount) << "the two tables";

    // A newer connection of the same identification takes the key.
    ASSERT_EQ(1, nOpen(&host));
    CTestConnection* pclNewer = Registered(&host);
    ASSERT_NE(pclFormer, pclNewer);
    EXPECT_EQ(2u, pclNewer->m_dwRefCount);

    // One table goes: one holder is left on the former connection, which
    // the registry no longer holds: a plain release, which neither closes
    // it nor takes the newer one out of the registry.
    EXPECT_EQ(0, nReleaseTable(piFirst));
    EXPECT_EQ(1u, pclFormer->m_dwRefCount);
    EXPECT_EQ(0, pclFormer->nCloseCalls());
    EXPECT_EQ(pclNewer, Registered(&host));
    EXPECT_EQ(2u, pclNewer->m_dwRefCount);

    const int nLiveBefore = CTestConnection::s_nLive;
    EXPECT_EQ(0, nReleaseTable(piSecond));
    EXPECT_EQ(nLiveBefore - 1, CTestConnection::s_nLive);
    EXPECT_EQ(pclNewer, Registered(&host));
    EXPECT_EQ(0, pclNewer->nCloseCalls());

    EXPECT_EQ(1, nClose(&host));
    EXPECT_EQ(nullptr, Registered(&host));
}

TEST_F(RegistryConnections, ClosesByConnectionNumber)
{
    StandinConnectionDescription& first = Host(L"FIRST");
    StandinConnectionDescription& second = Host(L"SECOND");
    ASSERT_EQ(1, nOpen(&first));
    ASSERT_EQ(1, nOpen(&second));
    ASSERT_EQ(1, nOpen(&second));
    CTestConnection* pclFirst = Registered(&first);
    CTestConnection* pclSecond = Registered(&second);
    const int nSecond = static_cast<int>(pclSecond->nGetConnectionNumber());

    CNAConnectionDescription* pclFound = Driver()->pclGetConnectionByID(nSecond);
    EXPECT_EQ(pclSecond, pclFound);
    EXPECT_EQ(4u, pclSecond->m_dwRefCount) << "the look-up's reference";
    Driver()->nReleaseConnection(pclFound);
    EXPECT_EQ(nullptr, Driver()->pclGetConnectionByID(nSecond + 1000));

    // Each close by number undoes one open, as the host's close does.
    EXPECT_EQ(1, Driver()->_bCloseConnectionById(nSecond));
    EXPECT_EQ(pclSecond, Registered(&second));
    EXPECT_EQ(1, Driver()->_bCloseConnectionById(nSecond));
    EXPECT_EQ(nullptr, Registered(&second));
    EXPECT_EQ(1, Driver()->_bCloseConnectionById(nSecond));
    EXPECT_EQ(1, Driver()->_bCloseConnectionById(-1));
    EXPECT_EQ(pclFirst, Registered(&first));
    EXPECT_EQ(1, Driver()->_bCloseConnectionById(static_cast<int>(pclFirst->nGetConnectionNumber())));
    EXPECT_EQ(nullptr, Registered(&first));
}

TEST_F(RegistryConnections, ReleaseRules)
{
    StandinConnectionDescription& host = Host();
    // Never registered, no reference: 0 and nothing destroyed.
    CTestConnection* pclLoose = new CTestConnection(L"LOOSE", &host);
    EXPECT_EQ(0, Driver()->nReleaseConnection(pclLoose));
    EXPECT_EQ(0, Driver()->nReleaseConnection(nullptr));
    REF_AddRef(pclLoose);
    REF_AddRef(pclLoose);
    EXPECT_EQ(1, Driver()->nReleaseConnection(pclLoose)) << "not registered: a plain release";
    EXPECT_EQ(0, pclLoose->nCloseCalls());
    const int nLiveBefore = CTestConnection::s_nLive;
    EXPECT_EQ(0, Driver()->nReleaseConnection(pclLoose));
    EXPECT_EQ(nLiveBefore - 1, CTestConnection::s_nLive);

    // A connection made by a get and released at once is closed and gone.
    CNAConnectionDescription* pclGot = Driver()->_pclGetConnection(&host);
    ASSERT_NE(nullptr, pclGot);
    EXPECT_EQ(2u, pclGot->m_dwRefCount);
    EXPECT_EQ(0, pclGot->nGetOpenStates());
    EXPECT_EQ(0, Driver()->nReleaseConnection(pclGot));
    EXPECT_EQ(nullptr, Registered(&host));

    // A close with no open state leaves the count alone.
    pclGot = Driver()->_pclGetConnection(&host);
    EXPECT_EQ(1, Driver()->_bCloseConnection(pclGot));
    EXPECT_EQ(2u, pclGot->m_dwRefCount);
    Driver()->nReleaseConnection(pclGot);
}

TEST_F(RegistryConnections, SlotsFollowTheEntryProtocol)
{
    StandinConnectionDescription& host = Host();
    const auto raise = [this] { DriverError()->AddError(NA_ERR_GENERAL, NA_SRC_DB_CONNECTION, 0, nullptr, 15u, L""); };
    raise();
    ASSERT_EQ(1, nOpen(&host));
    EXPECT_EQ(NA_LEVEL_NOERROR, DriverError()->eGetErrorLevel()) << "slot 8 resets the error";
    raise();
    EXPECT_EQ(1, nClose(&host));
    EXPECT_EQ(NA_LEVEL_NOERROR, DriverError()->eGetErrorLevel()) << "slot 9 resets the error";
    raise();
    EXPECT_EQ(1, m_piDriver->bValidConnection(&host));
    EXPECT_EQ(NA_LEVEL_NOERROR, DriverError()->eGetErrorLevel()) << "slot 35 resets the error";
    EXPECT_EQ(nullptr, Registered(&host)) << "slot 35 makes no connection";
    EXPECT_EQ(0, nOpen(nullptr));
    EXPECT_EQ(1, nClose(nullptr));
}

TEST_F(RegistryConnections, DriverEndReleasesWhatTheHostLeftOpen)
{
    StandinConnectionDescription& host = Host();
    ASSERT_EQ(1, nOpen(&host));
    ASSERT_EQ(1, nOpen(&host));
    ASSERT_EQ(1, nOpen(&Host(L"OTHER")));
    const int nLiveBefore = CTestConnection::s_nLive;
    ReleaseDriver();
    EXPECT_EQ(nLiveBefore - 2, CTestConnection::s_nLive);
}

}  // namespace
