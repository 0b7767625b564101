// The driver's query slots, called by position as the host calls them: a
// named query of a host context runs in its query table (slots 16 and 33);
// a result set registers the table and hands it to the host with one
// external reference; a query without one closes its table for the context
// and forgets it, unless the mode keeps it (bit 0x10) or its query has
// bound variables; a failure leaves the table's error with the driver. And
// the drop of a table (slot 37), which holds no reference it took.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "native/driver/registry_keys.h"
#include "tests/host/db/standin_query_parameters.h"
#include "tests/native/driver/error_checks.h"
#include "tests/native/driver/registry_fixture.h"

namespace {

constexpr long kSlotExecute = 16;
constexpr long kSlotExecuteEx = 33;
constexpr long kSlotDropTable = 37;

class SqlOperationsQueries : public vxtest::RegistryTest
{
protected:
    void Choose(CTestDriverChoices& choices) override
    {
        choices.allocTable = [this](const wchar_t* pszKey, INADataSourceDescription* piSource,
                                    CNAConnectionDescription* pclConnection, CNAError* pclError) -> CNATable* {
            auto* pclTable = new CTestTable(pszKey, piSource, pclConnection, pclError);
            if (m_configure)
                m_configure(pclTable);
            return pclTable;
        };
    }

    int nExecute(INATable** ppiTable, INAContext* piContext, const wchar_t* pszName,
                 INAConnectionDescription* piHost, unsigned nMode, const INAQueryExecution* piExecution = nullptr)
    {
        return m_caller.Call<int>(kSlotExecuteEx, ppiTable, piContext, pszName, piHost,
                                  static_cast<ISQLParserInformation*>(nullptr), nMode, piExecution);
    }
    // The key of a query table of the context.
    std::wstring QueryKey(INAContext* piContext, const wchar_t* pszName, INAConnectionDescription* piHost)
    {
        CTString csIdentification, csKey;
        Driver()->bBuildCnxIdentification(&csIdentification, piHost);
        CNARegistryKeys::g_bBuildQueryKey(&csKey, piContext->dwGetCtxID(), pszName, csIdentification.pszGet());
        return csKey.pszGet();
    }
    static CTestTable* AsTest(INATable* pi) { return static_cast<CTestTable*>(static_cast<CNATable*>(pi)); }

    // Applied to each table the driver makes.
    std::function<void(CTestTable*)> m_configure;
};

TEST_F(SqlOperationsQueries, AResultSetIsRegisteredAndHandedToTheHost)
{
    StandinConnectionDescription& host = Host();
    StandinContext context(42);
    m_configure = [](CTestTable* pclTable) { pclTable->SetExecuteQueryAnswer(1, 1); };
    DriverError()->AddError(NA_ERR_GENERAL, NA_SRC_DRIVER, 0, nullptr, 15u, L"");

    INATable* piTable = nullptr;
    const auto* piExecution = reinterpret_cast<const INAQueryExecution*>(&context);
    ASSERT_EQ(1, nExecute(&piTable, &context, L"Q1", &host, 4, piExecution));
    ASSERT_NE(nullptr, piTable);
    EXPECT_EQ(NA_ERR_NONE, DriverError()->eGetErrorType()) << "the entry resets the error";
    CTestTable* pclTable = AsTest(piTable);
    EXPECT_EQ(1u, pclTable->nGetExternalRef()) << "the host's reference";
    EXPECT_EQ(1u, pclTable->nGetRef()) << "the registry's; the look-up's went";
    EXPECT_EQ(pclTable, RegisteredTable(QueryKey(&context, L"Q1", &host).c_str()));
    ASSERT_EQ(1u, pclTable->QueryCalls().size());
    EXPECT_EQ(&context, pclTable->QueryCalls()[0].piContext);
    EXPECT_EQ(L"Q1", pclTable->QueryCalls()[0].name);
    EXPECT_EQ(4u, pclTable->QueryCalls()[0].nMode);
    EXPECT_EQ(piExecution, pclTable->QueryCalls()[0].piExecution);
    EXPECT_TRUE(pclTable->CloseCalls().empty());

    // Run again: the same table, a second host reference.
    INATable* piAgain = nullptr;
    ASSERT_EQ(1, m_caller.Call<int>(kSlotExecute, &piAgain, static_cast<INAContext*>(&context), L"Q1",
                                    static_cast<INAConnectionDescription*>(&host),
                                    static_cast<ISQLParserInformation*>(nullptr), 0u));
    EXPECT_EQ(piTable, piAgain);
    EXPECT_EQ(2u, pclTable->nGetExternalRef());
    EXPECT_EQ(nullptr, pclTable->QueryCalls()[1].piExecution) << "slot 16 passes no execution";
    EXPECT_EQ(1, nReleaseTable(piTable));
    EXPECT_EQ(0, nReleaseTable(piTable)) << "the host's last release unregisters it";
    EXPECT_EQ(nullptr, RegisteredTable(QueryKey(&context, L"Q1", &host).c_str()));

    // Without a place to put it, the table is registered all the same.
    const int nLive = CTestTable::s_nLive;
    ASSERT_EQ(1, nExecute(nullptr, &context, L"Q2", &host, 0));
    CTestTable* pclKept = RegisteredTable(QueryKey(&context, L"Q2", &host).c_str());
    ASSERT_NE(nullptr, pclKept);
    EXPECT_EQ(1u, pclKept->nGetRef());
    EXPECT_EQ(nLive + 1, CTestTable::s_nLive);
}

TEST_F(SqlOperationsQueries, WithoutAResultSetTheTableIsClosedAndForgotten)
{
    StandinConnectionDescription& host = Host();
    StandinContext context(7);
    std::vector<CTestTable*> made;
    std::vector<std::vector<INAContext*>> closes;
    m_configure = [&](CTestTable* pclTable) {
        pclTable->OnHFerme([&](CTestTable* pcl) { closes.push_back(pcl->CloseCalls()); });
        made.push_back(pclTable);
    };
    const int nLive = CTestTable::s_nLive;
    INATable* piTable = reinterpret_cast<INATable*>(&context);
    ASSERT_EQ(1, nExecute(&piTable, &context, L"UPDATE", &host, 0));
    EXPECT_EQ(nullptr, piTable);
    ASSERT_EQ(1u, made.size());
    ASSERT_EQ(1u, closes.size()) << "closed for the context";
    EXPECT_EQ(std::vector<INAContext*>{&context}, closes[0]);
    EXPECT_EQ(nullptr, RegisteredTable(QueryKey(&context, L"UPDATE", &host).c_str()));
    EXPECT_EQ(nLive, CTestTable::s_nLive) << "destroyed";
}

TEST_F(SqlOperationsQueries, ModeBitAndBoundVariablesKeepTheTable)
{
    StandinConnectionDescription& host = Host();
    StandinContext context(7);
    m_configure = [](CTestTable* pclTable) { pclTable->SetExecuteQueryAnswer(1, 1); };
    ASSERT_EQ(1, nExecute(nullptr, &context, L"Q", &host, 0));
    CTestTable* pclTable = RegisteredTable(QueryKey(&context, L"Q", &host).c_str());
    ASSERT_NE(nullptr, pclTable);

    // Run again without a result set.
    pclTable->SetExecuteQueryAnswer(1, 0);
    ASSERT_EQ(1, nExecute(nullptr, &context, L"Q", &host, 0x10));
    EXPECT_EQ(pclTable, RegisteredTable(QueryKey(&context, L"Q", &host).c_str())) << "mode bit 0x10";
    EXPECT_TRUE(pclTable->CloseCalls().empty());

    StandinQueryParameters values;
    values.SetHasBindVariables(1);
    pclTable->SetQueryBindVariable(&values);
    ASSERT_EQ(1, nExecute(nullptr, &context, L"Q", &host, 0));
    EXPECT_EQ(pclTable, RegisteredTable(QueryKey(&context, L"Q", &host).c_str())) << "bound variables";
    EXPECT_TRUE(pclTable->CloseCalls().empty());

    // Variables whose object says there are none.
    values.SetHasBindVariables(0);
    const int nLive = CTestTable::s_nLive;
    ASSERT_EQ(1, nExecute(nullptr, &context, L"Q", &host, 0));
    EXPECT_EQ(nullptr, RegisteredTable(QueryKey(&context, L"Q", &host).c_str()));
    EXPECT_EQ(nLive - 1, CTestTable::s_nLive);
    EXPECT_EQ(0, values.Refs().nBalance()) << "the table gave its reference back";
}

TEST_F(SqlOperationsQueries, AFailureLeavesTheTablesErrorAndForgetsTheTable)
{
    StandinConnectionDescription& host = Host();
    StandinContext context(7);
    m_configure = [](CTestTable* pclTable) {
        pclTable->SetExecuteQueryAnswer(0, 1);
        pclTable->SetExecuteQueryError(21);
    };
    const int nLive = CTestTable::s_nLive;
    INATable* piTable = reinterpret_cast<INATable*>(&context);
    EXPECT_EQ(0, nExecute(&piTable, &context, L"BAD", &host, 0));
    EXPECT_EQ(nullptr, piTable) << "no table for the host after a failure";
    EXPECT_EQ(21u, DriverError()->dwGetErrorId());
    EXPECT_EQ(nullptr, RegisteredTable(QueryKey(&context, L"BAD", &host).c_str()));
    EXPECT_EQ(nLive, CTestTable::s_nLive);

    // Failing with mode bit 0x10: not closed, and, never registered, gone
    // with the look-up's reference.
    EXPECT_EQ(0, nExecute(nullptr, &context, L"BAD", &host, 0x10));
    EXPECT_EQ(nLive, CTestTable::s_nLive);
}

TEST_F(SqlOperationsQueries, DropOfATable)
{
    StandinConnectionDescription& host = Host();
    StandinDataSourceDescription& source = Source(L"CUSTOMER");
    StandinContext context(3);
    // Held open by the host, so that it outlives the tables of the test.
    ASSERT_EQ(1, nOpen(&host));

    EXPECT_EQ(1, m_caller.Call<int>(kSlotDropTable, static_cast<INAContext*>(&context),
                                    static_cast<INAConnectionDescription*>(&host), L"CUSTOMER",
                                    static_cast<INADataSourceDescription*>(&source)));
    CTestConnection* pclConnection = Registered(&host);
    ASSERT_NE(nullptr, pclConnection);
    EXPECT_EQ(2, pclConnection->nOpenCalls()) << "opened for the drop";
    CTString csKey;
    CNATable* pclFound = Driver()->_pclFindTable(&source, pclConnection, &csKey);
    ASSERT_NE(nullptr, pclFound);
    CTestTable* pclTable = static_cast<CTestTable*>(pclFound);
    pclTable->nRelease();
    EXPECT_EQ(std::vector<INAContext*>{&context}, pclTable->DropCalls());
    EXPECT_EQ(1u, pclTable->nGetRef()) << "the registry's alone: the look-up's reference was dropped";

    // A table the host holds: dropped, and still the host's.
    INATable* piHeld = piTable(&host, &source);
    ASSERT_EQ(static_cast<INATable*>(pclTable), piHeld);
    EXPECT_EQ(1, m_caller.Call<int>(kSlotDropTable, static_cast<INAContext*>(&context),
                                    static_cast<INAConnectionDescription*>(&host), L"CUSTOMER",
                                    static_cast<INADataSourceDescription*>(&source)));
    EXPECT_EQ(2u, pclTable->DropCalls().size());
    EXPECT_EQ(1u, pclTable->nGetRef());
    EXPECT_EQ(1u, pclTable->nGetExternalRef());
    const int nLive = CTestTable::s_nLive;
    EXPECT_EQ(0, nReleaseTable(piHeld));
    EXPECT_EQ(nLive - 1, CTestTable::s_nLive) << "nothing else held it";

    // Without a description nothing is dropped; an open that fails drops
    // nothing either; both answer 1.
    EXPECT_EQ(1, m_caller.Call<int>(kSlotDropTable, static_cast<INAContext*>(&context),
                                    static_cast<INAConnectionDescription*>(&host), L"OTHER",
                                    static_cast<INADataSourceDescription*>(nullptr)));
    pclConnection->SetOpenFails(true);
    StandinDataSourceDescription& second = Source(L"ORDERS");
    EXPECT_EQ(1, m_caller.Call<int>(kSlotDropTable, static_cast<INAContext*>(&context),
                                    static_cast<INAConnectionDescription*>(&host), L"ORDERS",
                                    static_cast<INADataSourceDescription*>(&second)));
    EXPECT_EQ(CTestConnection::kFailureUserCode, DriverError()->dwGetErrorId());
    EXPECT_EQ(nullptr, Driver()->_pclFindTable(&second, pclConnection, &csKey));
}

}  // namespace
