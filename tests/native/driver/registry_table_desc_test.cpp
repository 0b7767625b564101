// A table's description read from the database through a registered
// connection (slots 15 and 54): the connection opened for the reading, the
// description handed to the host with one external reference, and the
// connection closed when the description, its last user, goes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/model/data_source_description.h"
#include "tests/common/text/any_vm_fixture.h"
#include "tests/fakes/scripted_statement_sql.h"
#include "tests/fakes/test_data_source_description.h"
#include "tests/native/driver/registry_fixture.h"

namespace {

using Row = CScriptedRow;

constexpr auto ColumnsResult = &CTestDataSourceDescription::ColumnsResult;
constexpr auto KeysResult = &CTestDataSourceDescription::KeysResult;

class RegistryTableDesc : public vxtest::RegistryTestOn<vxtest::AnyVmTest>
{
protected:
    void Choose(CTestDriverChoices& choices) override
    {
        m_nDescriptionsBefore = CTestDataSourceDescription::s_nLive;
        choices.allocDataSourceDescription = [](CNAConnectionDescription* pclConnection, CNAError* pclError) {
            return new CTestDataSourceDescription(pclConnection, pclError);
        };
        choices.allocStatementSQL = m_script.Factory();
        m_nClosesBefore = CTestConnection::s_nCloseCallsAll;
        m_script.On(L"COLUMNS OF CUSTOMER", ColumnsResult({{L"ID", L"28", L"4", L"0", L"0", L"NO", L"auto_increment"},
                                                           {L"NAME", L"2", L"51", L"0", L"0", L"YES", L""}}));
        m_script.On(L"KEYS OF CUSTOMER", KeysResult({{L"PRIMARY", L"ID", L"34816"}}));
        m_script.On(L"COLUMNS OF MISSING", ColumnsResult({}));
    }

    void TearDown() override
    {
        vxtest::RegistryTestOn<vxtest::AnyVmTest>::TearDown();
        EXPECT_EQ(m_nDescriptionsBefore, CTestDataSourceDescription::s_nLive) << "descriptions alive";
        EXPECT_EQ(0, m_script.nLive) << "statements alive";
    }

    INADataSourceDescription* piTableDesc(const wchar_t* pszName, INAConnectionDescription* piHost)
    {
        return m_piDriver->piGetTableDesc(pszName, piHost);
    }

    CStatementScript m_script;
    // Closes asked of the test's connections.
    int nCloses() const { return CTestConnection::s_nCloseCallsAll - m_nClosesBefore; }
    int m_nClosesBefore = 0;
    int m_nDescriptionsBefore = 0;
};

TEST_F(RegistryTableDesc, DescriptionHeldByTheHostKeepsItsConnectionOpen)
{
    StandinConnectionDescription& host = Host();
    DriverError()->AddError(NA_ERR_GENERAL, NA_SRC_DB_CONNECTION, 0, nullptr, 15u, L"");
    INADataSourceDescription* piSource = piTableDesc(L"CUSTOMER", &host);
    ASSERT_NE(nullptr, piSource);
    EXPECT_EQ(NA_LEVEL_NOERROR, DriverError()->eGetErrorLevel()) << "the entry resets the error";
    EXPECT_EQ((std::vector<std::wstring>{L"COLUMNS OF CUSTOMER", L"KEYS OF CUSTOMER"}), m_script.executed);
    EXPECT_STREQ(L"CUSTOMER", piSource->pszGetDBTableName());
    EXPECT_EQ(2u, piSource->nGetNumItems());
    auto* pclSource = static_cast<CNADataSourceDescription*>(piSource);
    EXPECT_EQ(0u, pclSource->nGetRef());
    EXPECT_EQ(1u, pclSource->nGetExternalRef());

    // Opened for the reading, registered, held by the description.
    CTestConnection* pclConnection = Registered(&host);
    ASSERT_NE(nullptr, pclConnection);
    EXPECT_EQ(1, pclConnection->nOpenCalls());
    EXPECT_EQ(1, pclConnection->bIsOpen());
    EXPECT_EQ(2u, pclConnection->m_dwRefCount);
    EXPECT_EQ(0, nCloses());

    // A second description shares the connection, and opens it again.
    INADataSourceDescription* piAgain = piTableDesc(L"CUSTOMER", &host);
    ASSERT_NE(nullptr, piAgain);
    EXPECT_NE(piSource, piAgain);
    EXPECT_EQ(pclConnection, Registered(&host));
    EXPECT_EQ(3u, pclConnection->m_dwRefCount);
    EXPECT_EQ(0u, piAgain->nExternalRelease());
    EXPECT_EQ(0, nCloses());

    // The host lets the last description go: its connection had no other
    // user and closes.
    const int nLiveBefore = CTestConnection::s_nLive;
    EXPECT_EQ(0u, piSource->nExternalRelease());
    EXPECT_EQ(1, nCloses());
    EXPECT_EQ(nLiveBefore - 1, CTestConnection::s_nLive);
    EXPECT_EQ(nullptr, Registered(&host));
}

TEST_F(RegistryTableDesc, DescriptionOfAnOpenedConnection)
{
    StandinConnectionDescription& host = Host();
    ASSERT_EQ(1, nOpen(&host));
    INADataSourceDescription* piSource = piTableDesc(L"CUSTOMER", &host);
    ASSERT_NE(nullptr, piSource);
    EXPECT_EQ(0u, piSource->nExternalRelease());
    EXPECT_EQ(0, nCloses()) << "the host's open still holds it";
    EXPECT_NE(nullptr, Registered(&host));
    EXPECT_EQ(1, nClose(&host));
    EXPECT_EQ(1, nCloses());
}

TEST_F(RegistryTableDesc, NoDescriptionWhenTheReadingFails)
{
    StandinConnectionDescription& host = Host();
    // The table does not exist: no item.
    EXPECT_EQ(nullptr, piTableDesc(L"MISSING", &host));
    EXPECT_EQ(30u, DriverError()->dwGetErrorId());
    EXPECT_EQ(1, nCloses()) << "opened for the reading, closed after it";
    EXPECT_EQ(nullptr, Registered(&host));

    // The schema query fails.
    m_script.Fail(L"COLUMNS OF CUSTOMER");
    EXPECT_EQ(nullptr, piTableDesc(L"CUSTOMER", &host));
    EXPECT_EQ(12u, DriverError()->dwGetErrorId());
    EXPECT_EQ(2, nCloses());

    // The connection does not open: nothing is read.
    const size_t nExecuted = m_script.executed.size();
    Driver()->Choices().allocConnectionDescription = [](const wchar_t* pszId, INAConnectionDescription* piHost) {
        auto* pclConnection = new CTestConnection(pszId, piHost);
        pclConnection->SetOpenFails(true);
        return pclConnection;
    };
    EXPECT_EQ(nullptr, piTableDesc(L"CUSTOMER", &host));
    EXPECT_EQ(CTestConnection::kFailureUserCode, DriverError()->dwGetErrorId());
    EXPECT_EQ(nExecuted, m_script.executed.size());
    EXPECT_EQ(nullptr, Registered(&host));
}

TEST_F(RegistryTableDesc, DriversOwnReading)
{
    StandinConnectionDescription& host = Host();
    CNAConnectionDescription* pclConnection = Driver()->_pclGetConnection(&host);
    CNADataSourceDescription* pclSource = Driver()->_pclGetTableDesc(L"CUSTOMER", pclConnection);
    ASSERT_NE(nullptr, pclSource);
    EXPECT_EQ(1u, pclSource->nGetRef()) << "one internal reference for the caller";
    EXPECT_EQ(0u, pclSource->nGetExternalRef());
    EXPECT_EQ(nullptr, Driver()->_pclGetTableDesc(L"MISSING", pclConnection));
    pclSource->nRelease();
    Driver()->nReleaseConnection(pclConnection);
}

}  // namespace
