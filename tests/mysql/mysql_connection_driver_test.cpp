// The MySQL connection inside the MySQL driver: the driver's factory makes
// it, its statements whose result is ignored run through the driver's
// SQL-functions object (MySQL execution statements over a fake client
// library here) and release what they get, the table lock names its table
// as one quoted name, and a failure inside the client library without an
// error object goes to the driver's error object and fatal-error hook.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "mysql/mysql_connection.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/support/test_environment.h"
#include "tests/mysql/client_test_support.h"
#include "tests/mysql/fake_client/fake_client.h"
#include "tests/mysql/mysql_connection_support.h"
#include "tests/mysql/mysql_driver_with_seams.h"
#include "tests/mysql/mysql_statement_fakes.h"

namespace {

class MySQLConnectionInADriver : public vxtest::ClientLibraryTest
{
protected:
    void SetUp() override
    {
        StartTestDriverModule();
        CNADriver::s_bGPFCatched = 0;
        m_registration.emplace();
        m_piDriver = piQueryInterface(0);
        ASSERT_NE(nullptr, m_piDriver);
        m_sExtended = L"VX CLIENT LIBRARY=" + vxtest::Wide(m_fake.sPath());
        m_host.SetDataBase(L"fakehost");
        m_host.SetExtendedInfo(m_sExtended.c_str());
        CNAConnectionDescription* pclMade = CNADriver::s_pclDriver->_pclAllocConnectionDescription(L"id", &m_host);
        m_pclConnection = dynamic_cast<CMySQLConnection*>(pclMade);
        ASSERT_NE(nullptr, m_pclConnection) << "the driver makes MySQL connections";
        ++m_pclConnection->m_dwRefCount;
    }
    void TearDown() override
    {
        if (m_pclConnection != nullptr)
            m_pclConnection->nRelease();
        if (m_piDriver != nullptr)
            m_piDriver->nExternalRelease();
        m_registration.reset();
        CNADriver::s_bGPFCatched = 0;
        vxtest::ClientLibraryTest::TearDown();
        EXPECT_EQ(0, m_fake.State().nLiveResults) << "every result freed";
        EXPECT_EQ(0, m_fake.State().nLiveHandles) << "every handle closed";
    }
    // Opens the connection over the fake; what it sent while opening is
    // forgotten.
    void Open(CNAError& error)
    {
        ASSERT_EQ(1, m_pclConnection->bOpen(&error)) << error.pszGetError();
        m_fake.State().queries.clear();
    }

    CFakeClient m_fake{CFakeClient::Path("infov")};
    StandinConnectionDescription m_host;
    std::wstring m_sExtended;
    std::optional<CMySQLDriverRegistration> m_registration;
    INADriver* m_piDriver = nullptr;
    CMySQLConnection* m_pclConnection = nullptr;
};

TEST_F(MySQLConnectionInADriver, TheTableLockNamesItsTableAsOneQuotedName)
{
    const std::string sLock = "SELECT * FROM `my table` FOR UPDATE";
    const std::string sRefused = "SELECT * FROM `t FOR UPDATE; DROP TABLE x; --` FOR UPDATE";
    m_fake.State().scripts[sLock] = {vxtest::FakeResultSet({vxtest::FakeColumn("id")}, {{"1"}})};
    m_fake.State().queryErrors[sRefused] = 1146;
    CNAError error;
    // Held: the statements take and drop references on it.
    error.AddRef();
    Open(error);
    EXPECT_EQ(1, m_pclConnection->bSQLBloque(&error, L"my table")) << error.pszGetError();
    // A name that would end the statement stays a name.
    EXPECT_EQ(0, m_pclConnection->bSQLBloque(&error, L"t FOR UPDATE; DROP TABLE x; --"));
    EXPECT_EQ(1146u, error.dwGetDataBaseErrorCode());
    EXPECT_EQ((std::vector<std::string>{sLock, sRefused}), m_fake.State().queries);
}

TEST_F(MySQLConnectionInADriver, AStatementIgnoringItsResultReleasesIt)
{
    m_fake.State().scripts["SELECT 1"] = {vxtest::FakeResultSet({vxtest::FakeColumn("1")}, {{"1"}})};
    m_fake.State().queryErrors["SELECT 2"] = 1064;
    CNAError error;
    error.AddRef();
    Open(error);
    const unsigned nConnectionRefs = m_pclConnection->m_dwRefCount;
    EXPECT_EQ(1, m_pclConnection->bExecuteQueryIgnoreResult(&error, L"SELECT 1"));
    EXPECT_EQ(1, m_pclConnection->bExecuteQueryIgnoreResult(&error, L"DO 1"));
    EXPECT_EQ(0, m_fake.State().nLiveResults) << "the result freed";
    EXPECT_EQ(nConnectionRefs, m_pclConnection->m_dwRefCount) << "the statements released";
    EXPECT_EQ(0, m_pclConnection->bExecuteQueryIgnoreResult(&error, L"SELECT 2"));
    EXPECT_NE(0u, error.dwGetErrorId());
    EXPECT_EQ(nConnectionRefs, m_pclConnection->m_dwRefCount);
}

TEST_F(MySQLConnectionInADriver, AFailureInTheLibraryWithoutAnErrorObjectGoesToTheDriver)
{
    m_fake.State().throwIn = "mysql_init";
    EXPECT_EQ(0, m_pclConnection->bOpen(nullptr));
    CNAError* pclDriverError = CNADriver::s_pclDriver->pclGetError();
    EXPECT_EQ(23u, pclDriverError->dwGetErrorId()) << pclDriverError->pszGetError();
    // The driver's hook ran once on its own error, with the connection: its
    // message names the loaded client version.
    const std::wstring sLoaded = CNAConnectionDescription::m_csClientVersion.pszGet() != nullptr
                                     ? CNAConnectionDescription::m_csClientVersion.pszGet()
                                     : L"";
    EXPECT_FALSE(sLoaded.empty());
    EXPECT_EQ(std::vector<std::wstring>{sLoaded}, vxtest::FatalHookVersions(*pclDriverError));
    EXPECT_EQ(1, CNADriver::s_bGPFCatched);
    EXPECT_EQ(0, m_fake.State().nLiveHandles);

    // With an error object the failure is the caller's, under user error 78.
    pclDriverError->Reset();
    CNAError error;
    EXPECT_EQ(0, m_pclConnection->bOpen(&error));
    EXPECT_EQ(78u, error.dwGetErrorId()) << error.pszGetError();
    EXPECT_TRUE(vxtest::bDumpHas(error, L"MySQL"));
    EXPECT_EQ(0u, pclDriverError->dwGetErrorId());
    EXPECT_EQ(std::vector<std::wstring>{sLoaded}, vxtest::FatalHookVersions(error));
    EXPECT_TRUE(vxtest::FatalHookVersions(*pclDriverError).empty());
}

TEST(MySQLConnectionWithoutADriver, AStatementIgnoringItsResultHasNoWayToRun)
{
    StandinConnectionDescription host;
    CMySQLConnection connection(L"id", &host);
    CNAError error;
    error.AddRef();
    EXPECT_EQ(0, connection.bExecuteQueryIgnoreResult(&error, L"SELECT 1"));
    EXPECT_EQ(0, connection.bSQLBloque(&error, L"t"));
}

}  // namespace
