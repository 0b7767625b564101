// The MySQL connection inside a driver: the test driver's factory choice
// makes it, its statements whose result is ignored run through the driver's
// SQL-functions object (a scripted statement here) and release what they
// get, the table lock names its table as one quoted name, and a failure
// inside the client library without an error object goes to the driver's
// error object and fatal-error hook.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "mysql/mysql_connection.h"
#include "tests/fakes/scripted_statement_sql.h"
#include "tests/fakes/test_driver.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/support/test_environment.h"
#include "tests/mysql/client_test_support.h"
#include "tests/mysql/fake_client/fake_client.h"
#include "tests/mysql/mysql_connection_support.h"

namespace {

class MySQLConnectionInADriver : public vxtest::ClientLibraryTest
{
protected:
    void SetUp() override
    {
        StartTestDriverModule();
        CNADriver::s_bGPFCatched = 0;
        CTestDriverChoices choices;
        choices.allocConnectionDescription = vxtest::MySQLConnectionFactory();
        choices.allocStatementSQL = m_script.Factory();
        choices.onFatalError = [this](CNAError* pclError, CNAConnectionDescription* pclConnection) {
            m_hookCalls.emplace_back(pclError, pclConnection);
        };
        m_registration.emplace(std::move(choices));
        m_piDriver = piQueryInterface(0);
        ASSERT_NE(nullptr, m_piDriver);
        m_sExtended = L"VX CLIENT LIBRARY=" + vxtest::Wide(m_fake.sPath());
        m_host.SetDataBase(L"fakehost");
        m_host.SetExtendedInfo(m_sExtended.c_str());
        CNAConnectionDescription* pclMade = CNADriver::s_pclDriver->_pclAllocConnectionDescription(L"id", &m_host);
        m_pclConnection = dynamic_cast<CMySQLConnection*>(pclMade);
        ASSERT_NE(nullptr, m_pclConnection) << "the factory choice makes MySQL connections";
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
        EXPECT_EQ(0, m_script.nLive) << "every statement released";
    }

    CFakeClient m_fake{CFakeClient::Path("infov")};
    CStatementScript m_script;
    StandinConnectionDescription m_host;
    std::wstring m_sExtended;
    std::optional<CTestDriverRegistration> m_registration;
    INADriver* m_piDriver = nullptr;
    CMySQLConnection* m_pclConnection = nullptr;
    std::vector<std::pair<CNAError*, CNAConnectionDescription*>> m_hookCalls;
};

TEST_F(MySQLConnectionInADriver, TheTableLockNamesItsTableAsOneQuotedName)
{
    m_script.On(L"SELECT * FROM `my table` FOR UPDATE", {{ScriptedColumn(L"id")}, {{L"1"}}});
    CNAError error;
    // Held: the statements take and drop references on it.
    error.AddRef();
    EXPECT_EQ(1, m_pclConnection->bSQLBloque(&error, L"my table")) << error.pszGetError();
    // A name that would end the statement stays a name.
    EXPECT_EQ(0, m_pclConnection->bSQLBloque(&error, L"t FOR UPDATE; DROP TABLE x; --"));
    EXPECT_EQ((std::vector<std::wstring>{L"SELECT * FROM `my table` FOR UPDATE",
                                         L"SELECT * FROM `t FOR UPDATE; DROP TABLE x; --` FOR UPDATE"}),
              m_script.executed);
}

TEST_F(MySQLConnectionInADriver, AStatementIgnoringItsResultReleasesIt)
{
    m_script.On(L"SELECT 1", {{ScriptedColumn(L"1")}, {{L"1"}}});
    m_script.On(L"DO 1", {});
    CNAError error;
    error.AddRef();
    EXPECT_EQ(1, m_pclConnection->bExecuteQueryIgnoreResult(&error, L"SELECT 1"));
    EXPECT_EQ(1, m_pclConnection->bExecuteQueryIgnoreResult(&error, L"DO 1"));
    EXPECT_EQ(0, m_script.nLive);
    m_script.Fail(L"SELECT 2");
    EXPECT_EQ(0, m_pclConnection->bExecuteQueryIgnoreResult(&error, L"SELECT 2"));
    EXPECT_NE(0u, error.dwGetErrorId());
}

TEST_F(MySQLConnectionInADriver, AFailureInTheLibraryWithoutAnErrorObjectGoesToTheDriver)
{
    m_fake.State().throwIn = "mysql_init";
    EXPECT_EQ(0, m_pclConnection->bOpen(nullptr));
    CNAError* pclDriverError = CNADriver::s_pclDriver->pclGetError();
    EXPECT_EQ(23u, pclDriverError->dwGetErrorId()) << pclDriverError->pszGetError();
    ASSERT_EQ(1u, m_hookCalls.size());
    EXPECT_EQ(pclDriverError, m_hookCalls[0].first);
    EXPECT_EQ(m_pclConnection, m_hookCalls[0].second);
    EXPECT_EQ(1, CNADriver::s_bGPFCatched);
    EXPECT_EQ(0, m_fake.State().nLiveHandles);

    // With an error object the failure is the caller's, under user error 78.
    m_hookCalls.clear();
    pclDriverError->Reset();
    CNAError error;
    EXPECT_EQ(0, m_pclConnection->bOpen(&error));
    EXPECT_EQ(78u, error.dwGetErrorId()) << error.pszGetError();
    EXPECT_TRUE(vxtest::bDumpHas(error, L"MySQL"));
    EXPECT_EQ(0u, pclDriverError->dwGetErrorId());
    ASSERT_EQ(1u, m_hookCalls.size());
    EXPECT_EQ(&error, m_hookCalls[0].first);
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
