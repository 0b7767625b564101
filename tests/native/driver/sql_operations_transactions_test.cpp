// The driver's transaction, lock and diagnosis slots, called by position as
// the host calls them: begin makes the connection, every other slot needs a
// registered one and, without it, reports user error 14 with the name of
// the host's connection record and makes none; the tables are told about
// the end of a transaction after a commit and before a roll-back; the
// record locks are cancelled table by table.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "native/driver/transaction.h"
#include "tests/native/driver/error_checks.h"
#include "tests/native/driver/registry_fixture.h"

namespace {

using Log = std::vector<std::wstring>;

constexpr long kSlotBegin = 18;
constexpr long kSlotCommit = 19;
constexpr long kSlotRollBack = 20;
constexpr long kSlotLockTable = 21;
constexpr long kSlotLockQuery = 22;
constexpr long kSlotDiagnose = 24;

class SqlOperationsTransactions : public vxtest::RegistryTest
{
protected:
    int nBegin(INAConnectionDescription* piHost, const wchar_t* pszName)
    {
        return m_caller.Call<int>(kSlotBegin, piHost, pszName);
    }
    int nCommit(INAConnectionDescription* piHost, const wchar_t* pszName)
    {
        return m_caller.Call<int>(kSlotCommit, piHost, pszName);
    }
    int nRollBack(INAConnectionDescription* piHost, const wchar_t* pszName)
    {
        return m_caller.Call<int>(kSlotRollBack, piHost, pszName);
    }
    int nLockTable(INAConnectionDescription* piHost, const wchar_t* pszTable)
    {
        return m_caller.Call<int>(kSlotLockTable, piHost, pszTable);
    }
    int nLockQuery(INAConnectionDescription* piHost)
    {
        return m_caller.Call<int>(kSlotLockQuery, piHost, static_cast<ISQLParserInformation*>(nullptr));
    }
    int nDiagnose(INAConnectionDescription* piHost, CAny* pclResult)
    {
        return m_caller.Call<int>(kSlotDiagnose, pclResult, piHost, L"CUSTOMER", 0u);
    }
};

TEST_F(SqlOperationsTransactions, WithoutARegisteredConnection)
{
    StandinConnectionDescription& host = Host(L"Shop Connection");
    CAny result;
    const struct
    {
        const char* pszSlot;
        std::function<int()> call;
        const wchar_t* pszSite;
    } cases[] = {
        {"commit", [&] { return nCommit(&host, L"T"); }, L"5.4"},
        {"roll-back", [&] { return nRollBack(&host, nullptr); }, L"5.5"},
        {"table lock", [&] { return nLockTable(&host, L"CUSTOMER"); }, L"5.1"},
        {"query lock", [&] { return nLockQuery(&host); }, L"5.2"},
        {"diagnosis", [&] { return nDiagnose(&host, &result); }, L"5.3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszSlot);
        DriverError()->AddError(NA_ERR_GENERAL, NA_SRC_DB_CONNECTION, 0, nullptr, 15u, L"");
        EXPECT_EQ(0, c.call());
        EXPECT_TRUE(vxtest::ErrorAt(*DriverError(), 14, c.pszSite)) << "the entry reset the earlier error";
        EXPECT_TRUE(vxtest::ErrorHas(*DriverError(), L"Shop Connection"));
        EXPECT_EQ(NA_ERR_GENERAL, DriverError()->eGetErrorType());
        EXPECT_EQ(nullptr, Registered(&host)) << "no connection made";
    }
}

TEST_F(SqlOperationsTransactions, BeginCommitAndRollBackOnTheConnection)
{
    StandinConnectionDescription& host = Host();
    ASSERT_EQ(1, nBegin(&host, L"A"));
    CTestConnection* pclConnection = Registered(&host);
    ASSERT_NE(nullptr, pclConnection) << "made, opened and kept while the transaction is active";
    EXPECT_EQ(1, pclConnection->nOpenCalls());
    EXPECT_EQ(1u, pclConnection->m_dwRefCount) << "the registry's";
    ASSERT_EQ(1, nBegin(&host, L"B"));
    ASSERT_EQ(1, nRollBack(&host, L"B"));
    ASSERT_EQ(1, nCommit(&host, nullptr));
    EXPECT_EQ(nullptr, Registered(&host)) << "closed by the commit's release, as the last user";
    EXPECT_EQ(NA_ERR_NONE, DriverError()->eGetErrorType());

    // Held open by the host: the statements it saw.
    ASSERT_EQ(1, nOpen(&host));
    pclConnection = Registered(&host);
    ASSERT_EQ(1, nBegin(&host, nullptr));
    ASSERT_EQ(1, nBegin(&host, nullptr));
    ASSERT_EQ(1, nCommit(&host, nullptr));
    ASSERT_EQ(1, nRollBack(&host, nullptr));
    EXPECT_EQ((Log{L"BEGIN", L"SAVEPOINT VXSP1", L"RELEASE SAVEPOINT VXSP1", L"ROLLBACK"}), pclConnection->Statements());
    EXPECT_EQ(0, nRollBack(&host, L"Unknown")) << "a name no level carries";
    EXPECT_TRUE(vxtest::ErrorAt(*DriverError(), 9, L"2.2"));

    // A begin that cannot open: 0, the connection's error.
    pclConnection->SetOpenFails(true);
    EXPECT_EQ(0, nBegin(&host, nullptr));
    EXPECT_EQ(CTestConnection::kFailureUserCode, DriverError()->dwGetErrorId());
}

TEST_F(SqlOperationsTransactions, TablesAreToldAfterACommitAndBeforeARollBack)
{
    StandinConnectionDescription& host = Host();
    ASSERT_EQ(1, nOpen(&host));
    CTestConnection* pclConnection = Registered(&host);
    ASSERT_EQ(1, nBegin(&host, nullptr));
    ASSERT_EQ(1, nCommit(&host, nullptr));
    EXPECT_EQ((Log{L"BEGIN", L"COMMIT"}), pclConnection->Statements()) << "the connection tells no table";

    pclConnection->SetTransactionEndCloseParse(true);
    pclConnection->ClearStatements();
    ASSERT_EQ(1, nBegin(&host, nullptr));
    ASSERT_EQ(1, nCommit(&host, nullptr));
    ASSERT_EQ(1, nBegin(&host, nullptr));
    ASSERT_EQ(1, nRollBack(&host, nullptr));
    const std::wstring told = CTestConnection::kEndCloseParseAsked;
    EXPECT_EQ((Log{L"BEGIN", L"COMMIT", told, L"BEGIN", told, L"ROLLBACK"}), pclConnection->Statements());

    // Told also after a failed commit.
    pclConnection->ClearStatements();
    ASSERT_EQ(1, nBegin(&host, nullptr));
    pclConnection->SetStatementFails(L"COMMIT");
    EXPECT_EQ(0, nCommit(&host, nullptr));
    EXPECT_EQ((Log{L"BEGIN", L"COMMIT", told}), pclConnection->Statements());
}

TEST_F(SqlOperationsTransactions, LocksAndDiagnosis)
{
    StandinConnectionDescription& host = Host();
    ASSERT_EQ(1, nOpen(&host));
    CTestConnection* pclConnection = Registered(&host);
    ASSERT_EQ(1, nLockTable(&host, L"CUSTOMER"));
    EXPECT_EQ(2, pclConnection->nOpenCalls()) << "opened for the lock";
    EXPECT_EQ(0, nLockQuery(&host)) << "a parsed query is not locked";
    EXPECT_EQ(3, pclConnection->nOpenCalls()) << "opened all the same";
    EXPECT_EQ((Log{L"LOCK TABLE CUSTOMER"}), pclConnection->Statements());

    pclConnection->SetOpenFails(true);
    EXPECT_EQ(0, nLockTable(&host, L"CUSTOMER"));
    EXPECT_EQ((Log{L"LOCK TABLE CUSTOMER"}), pclConnection->Statements()) << "nothing without an open connection";

    CAny result;
    EXPECT_EQ(0, nDiagnose(&host, &result));
    EXPECT_TRUE(vxtest::ErrorAt(*DriverError(), 8, L"1.3"));
    EXPECT_EQ(NA_ERR_NOT_AVAILABLE, DriverError()->eGetErrorType());
    EXPECT_STREQ(L"CUSTOMER", DriverError()->pszGetLogicalTableName());
    EXPECT_EQ(4, pclConnection->nOpenCalls()) << "diagnosis opens nothing";
}

TEST_F(SqlOperationsTransactions, RecordLocksAreCancelledTableByTable)
{
    StandinConnectionDescription& host = Host();
    StandinConnectionDescription& other = Host(L"OTHER");
    ASSERT_EQ(1, nOpen(&host));
    ASSERT_EQ(1, nOpen(&other));
    StandinDataSourceDescription& customer = Source(L"CUSTOMER");
    StandinDataSourceDescription& orders = Source(L"ORDERS");
    INATable* piCustomer = piTable(&host, &customer);
    INATable* piOrders = piTable(&other, &orders);
    auto* pclCustomer = static_cast<CTestTable*>(static_cast<CNATable*>(piCustomer));
    auto* pclOrders = static_cast<CTestTable*>(static_cast<CNATable*>(piOrders));

    // A data access of each connection in the first table, one in the second.
    CTestDataAccess* pclMine = new CTestDataAccess(&customer, Registered(&host), DriverError());
    CTestDataAccess* pclTheirs = new CTestDataAccess(&customer, Registered(&other), DriverError());
    CTestDataAccess* pclOrdersAccess = new CTestDataAccess(&orders, Registered(&other), DriverError());
    pclCustomer->AddDataAccess(pclMine);
    pclCustomer->AddDataAccess(pclTheirs);
    pclOrders->AddDataAccess(pclOrdersAccess);

    DriverError()->AddError(NA_ERR_GENERAL, NA_SRC_DB_CONNECTION, 0, nullptr, 15u, L"");
    CNATransaction transaction(Registered(&host));
    Driver()->CancelRecordLock(&host, &transaction);
    EXPECT_EQ(15u, DriverError()->dwGetErrorId()) << "the error is not reset";
    ASSERT_EQ(1u, pclMine->CancelRecordLocks().size());
    EXPECT_EQ(static_cast<INAConnectionDescription*>(&host), pclMine->CancelRecordLocks()[0].piConnection);
    EXPECT_EQ(&transaction, pclMine->CancelRecordLocks()[0].pclTransaction);
    EXPECT_TRUE(pclTheirs->CancelRecordLocks().empty()) << "another connection's data access";
    EXPECT_TRUE(pclOrdersAccess->CancelRecordLocks().empty());
    EXPECT_EQ(1u, pclMine->m_dwRefCount) << "the visit's reference was given back";

    EXPECT_EQ(0, nReleaseTable(piCustomer));
    EXPECT_EQ(0, nReleaseTable(piOrders));
}

}  // namespace
