// The handle-based SQL interface, called by position as the host's SQL
// functions call it: private connections by number, each a server
// connection of its own that a close by number really closes; executions
// whose result statements are kept by number (scripted statements here);
// fetches that answer 1 only on a row; values and names by 1-based column;
// statement 0, unknown numbers and double frees; transactions under the
// fixed name and locks that need one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/driver/driver_sql.h"
#include "tests/native/driver/error_checks.h"
#include "tests/native/driver/scripted_driver_fixture.h"

namespace {

using Log = std::vector<std::wstring>;

// INADriverSQL slots.
enum : long
{
    kExternalRelease = 6,
    kLastError = 7,
    kOpen = 16,
    kClose = 17,
    kColumnListOfTable = 20,
    kColumnListOfStatement = 21,
    kTableDesc = 22,
    kStatementDesc = 23,
    kColumnTypes = 24,
    kExecute = 25,
    kFree = 26,
    kStatementError = 27,
    kColumnCount = 28,
    kColumnName = 29,
    kFetch = 30,
    kRow = 31,
    kValue = 32,
    kBlobValue = 33,
    kTrsBegin = 34,
    kTrsCommit = 35,
    kTrsRollBack = 36,
    kLockTable = 37,
    kLockQuery = 38,
};

constexpr long kDriverSlotInterface = 7;

using vxtest::TextOf;

class SqlHandles : public vxtest::ScriptedDriverTest
{
protected:
    void ChooseMore(CTestDriverChoices& choices) override
    {
        choices.allocConnectionDescription = [this](const wchar_t* pszId, INAConnectionDescription* piHost) {
            auto* pclConnection = new CTestConnection(pszId, piHost);
            pclConnection->SetOpenFails(m_bOpenFails);
            m_made.push_back(pclConnection);
            return pclConnection;
        };
        m_nClosesBefore = CTestConnection::s_nCloseCallsAll;

        CScriptedResult names;
        names.columns = {ScriptedColumn(L"N"), ScriptedColumn(L"T")};
        names.rows = {{L"1", L"a"}, {L"2", std::nullopt}};
        m_script.On(L"SELECT N, T FROM NAMES", names);
        m_script.On(L"UPDATE NAMES SET T = 'b'", {});
    }
    void SetUp() override
    {
        vxtest::ScriptedDriverTest::SetUp();
        m_piSQL = static_cast<INADriverSQL*>(m_caller.Call<void*>(kDriverSlotInterface, 1));
        ASSERT_NE(nullptr, m_piSQL);
    }
    void TearDown() override
    {
        if (m_piSQL != nullptr)
            Call<unsigned>(kExternalRelease);
        vxtest::ScriptedDriverTest::TearDown();
    }

    template <class R, class... A>
    R Call(long nSlot, A... args)
    {
        return vxstandin::CallSlot<R>(m_piSQL, nSlot, args...);
    }
    int nOpenHandle(INAConnectionDescription* piHost)
    {
        int nConnection = -1;
        EXPECT_EQ(1, Call<int>(kOpen, &nConnection, piHost));
        return nConnection;
    }
    int nExecute(int nConnection, const wchar_t* pszSQL, int* pnStatement)
    {
        return Call<int>(kExecute, pnStatement, nConnection, pszSQL, static_cast<CTabValParser*>(nullptr), 0u);
    }
    int nFetch(int nStatement) { return Call<int>(kFetch, 0, nStatement, 0u); }
    std::wstring Value(int nStatement, unsigned nColumn)
    {
        CAny value;
        if (!Call<int>(kValue, &value, 0, nStatement, nColumn, 0u))
            return L"(failed)";
        return TextOf(value);
    }
    int nCloses() const { return CTestConnection::s_nCloseCallsAll - m_nClosesBefore; }
    CNAError* SQLError() { return static_cast<CNAError*>(Call<INAError*>(kLastError)); }

    INADriverSQL* m_piSQL = nullptr;
    bool m_bOpenFails = false;
    std::vector<CTestConnection*> m_made;
    int m_nClosesBefore = 0;
};

TEST_F(SqlHandles, PrivateConnectionsByNumber)
{
    StandinConnectionDescription& host = Host();
    const int n1 = nOpenHandle(&host);
    const int n2 = nOpenHandle(&host);
    ASSERT_EQ(2u, m_made.size()) << "two connections for one description";
    EXPECT_NE(n1, n2);
    EXPECT_EQ(static_cast<int>(m_made[0]->nGetConnectionNumber()), n1);
    EXPECT_EQ(static_cast<int>(m_made[1]->nGetConnectionNumber()), n2);
    for (CTestConnection* pclConnection : m_made) {
        EXPECT_EQ(1, pclConnection->nOpenCalls());
        EXPECT_EQ(1, pclConnection->bOpenedBySQLFunctions());
        EXPECT_EQ(2u, pclConnection->m_dwRefCount) << "the registry's and the open state's";
        EXPECT_NE(std::wstring::npos, std::wstring(pclConnection->pszGetIdentification()).find(L";SQLConnecte"));
    }
    EXPECT_EQ(nullptr, Registered(&host)) << "never shared with the driver's own connection";
    EXPECT_EQ(SQLError(), Driver()->pclGetError()) << "the driver's error object";

    // A close by number closes the server connection.
    const int nLive = CTestConnection::s_nLive;
    EXPECT_EQ(1, Call<int>(kClose, n1));
    EXPECT_EQ(1, nCloses());
    EXPECT_EQ(nLive - 1, CTestConnection::s_nLive);
    EXPECT_EQ(1, Call<int>(kClose, n1)) << "an unknown number";
    EXPECT_EQ(1, Call<int>(kClose, 0));
    EXPECT_EQ(1, nCloses());

    // A failed open: 0, no number, nothing left.
    m_bOpenFails = true;
    Driver()->Choices().allocConnectionDescription = [](const wchar_t* pszId, INAConnectionDescription* piHost) {
        auto* pclConnection = new CTestConnection(pszId, piHost);
        pclConnection->SetOpenFails(true);
        return pclConnection;
    };
    int nConnection = -1;
    EXPECT_EQ(0, Call<int>(kOpen, &nConnection, static_cast<INAConnectionDescription*>(&host)));
    EXPECT_EQ(0, nConnection);
    EXPECT_EQ(nLive - 1, CTestConnection::s_nLive);
    EXPECT_EQ(CTestConnection::kFailureUserCode, SQLError()->dwGetErrorId());
}

TEST_F(SqlHandles, ConnectionsOfTheDriverAreAddressedByTheirNumbers)
{
    StandinConnectionDescription& host = Host();
    ASSERT_EQ(1, nOpen(&host));
    CTestConnection* pclConnection = Registered(&host);
    int nStatement = -1;
    ASSERT_EQ(1, nExecute(static_cast<int>(pclConnection->nGetConnectionNumber()), L"UPDATE NAMES SET T = 'b'",
                          &nStatement));
    EXPECT_EQ(0, nStatement);
}

TEST_F(SqlHandles, ExecutionsAndTheirStatements)
{
    StandinConnectionDescription& host = Host();
    const int nConnection = nOpenHandle(&host);

    int nStatement = -1;
    ASSERT_EQ(1, nExecute(nConnection, L"UPDATE NAMES SET T = 'b'", &nStatement));
    EXPECT_EQ(0, nStatement) << "no result columns: statement 0";
    EXPECT_EQ(0, m_script.nLive);

    ASSERT_EQ(1, nExecute(nConnection, L"SELECT N, T FROM NAMES", &nStatement));
    ASSERT_GT(nStatement, 0);
    EXPECT_EQ(1, m_script.nLive) << "kept";

    int nColumns = -1;
    ASSERT_EQ(1, Call<int>(kColumnCount, &nColumns, 0, nStatement, 0u));
    EXPECT_EQ(2, nColumns);
    CAny name;
    ASSERT_EQ(1, Call<int>(kColumnName, &name, 0, nStatement, 1u, 0u));
    EXPECT_EQ(L"N", TextOf(name)) << "columns count from 1";
    EXPECT_EQ(0, Call<int>(kColumnName, &name, 0, nStatement, 0u, 0u));
    EXPECT_TRUE(vxtest::ErrorAt(*SQLError(), 51, L"50.2")) << "column 0 reaches the statement as -1";
    CAny list;
    ASSERT_EQ(1, Call<int>(kColumnListOfStatement, &list, 0, nStatement, 0u));
    EXPECT_EQ(L"N\r\nT", TextOf(list));
    EXPECT_EQ(NA_ERR_NONE, SQLError()->eGetErrorType()) << "the next call reset the statement's error";

    ASSERT_EQ(1, nFetch(nStatement));
    EXPECT_EQ(L"1", Value(nStatement, 1));
    EXPECT_EQ(L"a", Value(nStatement, 2));
    EXPECT_EQ(L"(failed)", Value(nStatement, 3));
    CAny row;
    ASSERT_EQ(1, Call<int>(kRow, &row, 0, nStatement, L"|", 0, 0u));
    EXPECT_EQ(L"1|a", TextOf(row));
    ASSERT_EQ(1, Call<int>(kRow, &row, 0, nStatement, L"|", 1, 0u));
    EXPECT_EQ(L"1", TextOf(row)) << "at most one column";
    ASSERT_EQ(1, nFetch(nStatement));
    ASSERT_EQ(1, Call<int>(kRow, &row, 0, nStatement, L"|", 0, 0u));
    EXPECT_EQ(L"2|", TextOf(row)) << "NULL adds nothing";
    CAny blob;
    EXPECT_EQ(0, Call<int>(kBlobValue, &blob, 0, nStatement, 2u, 0u)) << "the base statement has no binary values";
    EXPECT_EQ(0, nFetch(nStatement)) << "past the end";
    EXPECT_EQ(0, nFetch(nStatement));
    EXPECT_EQ(0, Call<int>(kRow, &row, 0, nStatement, L"|", 0, 0u)) << "no current row";
    EXPECT_TRUE(vxtest::ErrorAt(*SQLError(), 7, L"50.3"));

    // The statement's error object, read without a reset.
    INAError* piError = nullptr;
    ASSERT_EQ(1, Call<int>(kStatementError, &piError, 0, nStatement));
    EXPECT_EQ(static_cast<INAError*>(SQLError()), piError);
    EXPECT_EQ(7u, piError->dwGetErrorId());

    ASSERT_EQ(1, Call<int>(kFree, 0, nStatement, 0u));
    EXPECT_EQ(0, m_script.nLive);
    EXPECT_EQ(1, Call<int>(kFree, 0, nStatement, 0u)) << "freed twice";
    EXPECT_EQ(0, nFetch(nStatement)) << "unknown now";
    EXPECT_EQ(NA_ERR_NONE, SQLError()->eGetErrorType()) << "unknown numbers record nothing";

    // A failure: 0, statement 0, the statement's error.
    EXPECT_EQ(0, nExecute(nConnection, L"SELECT * FROM NOWHERE", &nStatement));
    EXPECT_EQ(0, nStatement);
    EXPECT_EQ(12u, SQLError()->dwGetErrorId());
    EXPECT_EQ(0, m_script.nLive);

    // An unknown connection: 0, the out value untouched, no error.
    nStatement = -5;
    EXPECT_EQ(0, nExecute(nConnection + 100, L"SELECT N, T FROM NAMES", &nStatement));
    EXPECT_EQ(-5, nStatement);
    EXPECT_EQ(NA_ERR_NONE, SQLError()->eGetErrorType());
}

TEST_F(SqlHandles, StatementZeroAndUnknownNumbers)
{
    CAny value;
    int nColumns = -1;
    EXPECT_EQ(1, Call<int>(kColumnCount, &nColumns, 0, 0, 0u));
    EXPECT_EQ(0, nColumns);
    EXPECT_EQ(0, Call<int>(kColumnCount, &nColumns, 0, 999999, 0u));
    EXPECT_EQ(0, nFetch(0));
    EXPECT_EQ(0, Call<int>(kValue, &value, 0, 0, 1u, 0u));
    EXPECT_EQ(0, Call<int>(kColumnName, &value, 0, 0, 1u, 0u));
    EXPECT_EQ(0, Call<int>(kColumnListOfStatement, &value, 0, 0, 0u));
    EXPECT_EQ(nullptr, Call<INADataSourceDescription*>(kStatementDesc, 0, 0, 0u));
    INAError* piError = nullptr;
    EXPECT_EQ(0, Call<int>(kStatementError, &piError, 0, 0));
    EXPECT_EQ(1, Call<int>(kFree, 0, 0, 0u));
    EXPECT_EQ(NA_ERR_NONE, SQLError()->eGetErrorType());
}

TEST_F(SqlHandles, KeptStatementsHoldTheirConnectionOpen)
{
    StandinConnectionDescription& host = Host();
    const int nConnection = nOpenHandle(&host);
    int nStatement = 0;
    ASSERT_EQ(1, nExecute(nConnection, L"SELECT N, T FROM NAMES", &nStatement));
    ASSERT_EQ(1, Call<int>(kClose, nConnection));
    EXPECT_EQ(0, nCloses()) << "the kept statement still reads its result";
    ASSERT_EQ(1, nFetch(nStatement));
    EXPECT_EQ(L"1", Value(nStatement, 1));
    ASSERT_EQ(1, Call<int>(kFree, 0, nStatement, 0u));
    EXPECT_EQ(1, nCloses()) << "closed with its last user";
}

TEST_F(SqlHandles, DescriptionsOfTablesAndResults)
{
    StandinConnectionDescription& host = Host();
    m_script.On(CTestDataSourceDescription::ColumnsQuery(L"CUSTOMER"),
                CTestDataSourceDescription::ColumnsResult({{L"ID", L"8", L"4", L"0", L"0", L"NO", L""}}));
    m_script.On(CTestDataSourceDescription::KeysQuery(L"CUSTOMER"), CTestDataSourceDescription::KeysResult({}));
    const int nConnection = nOpenHandle(&host);

    INADataSourceDescription* piTable = Call<INADataSourceDescription*>(kTableDesc, nConnection, L"CUSTOMER", 0u);
    ASSERT_NE(nullptr, piTable);
    EXPECT_EQ(1u, static_cast<CNADataSourceDescription*>(piTable)->nGetExternalRef());
    EXPECT_EQ(1u, piTable->nGetNumItems());
    piTable->nExternalRelease();
    EXPECT_EQ(nullptr, Call<INADataSourceDescription*>(kTableDesc, nConnection + 100, L"CUSTOMER", 0u));

    CAny columns;
    ASSERT_EQ(1, Call<int>(kColumnListOfTable, &columns, nConnection, L"CUSTOMER", 0u));
    EXPECT_EQ(L"ID", TextOf(columns));

    int nStatement = 0;
    ASSERT_EQ(1, nExecute(nConnection, L"SELECT N, T FROM NAMES", &nStatement));
    INADataSourceDescription* piResult = Call<INADataSourceDescription*>(kStatementDesc, 0, nStatement, 0u);
    ASSERT_NE(nullptr, piResult);
    EXPECT_EQ(2u, piResult->nGetNumItems());
    EXPECT_EQ(1u, static_cast<CNADataSourceDescription*>(piResult)->nGetExternalRef());
    piResult->nExternalRelease();
    ASSERT_EQ(1, Call<int>(kFree, 0, nStatement, 0u));

    CAny types;
    types.SetNull();
    EXPECT_EQ(1, Call<int>(kColumnTypes, &types, nConnection, 0u));
    EXPECT_EQ(L"", TextOf(types));
}

TEST_F(SqlHandles, TransactionsAndLocks)
{
    StandinConnectionDescription& host = Host();
    const int nConnection = nOpenHandle(&host);
    CTestConnection* pclConnection = m_made[0];

    EXPECT_EQ(0, Call<int>(kLockTable, nConnection, L"NAMES", 0u));
    EXPECT_TRUE(vxtest::ErrorAt(*SQLError(), 29, L"51.3"));
    EXPECT_EQ(0, Call<int>(kLockQuery, nConnection, L"SELECT * FROM NAMES", 0u));
    EXPECT_TRUE(vxtest::ErrorAt(*SQLError(), 29, L"51.2"));
    EXPECT_EQ(0, Call<int>(kLockTable, nConnection + 100, L"NAMES", 0u)) << "unknown connection";
    EXPECT_EQ(NA_ERR_NONE, SQLError()->eGetErrorType());

    int nTransaction = -7;
    ASSERT_EQ(1, Call<int>(kTrsBegin, &nTransaction, nConnection, 0u));
    EXPECT_EQ(-7, nTransaction) << "never written";
    ASSERT_EQ(1, Call<int>(kLockTable, nConnection, L"NAMES", 0u));
    ASSERT_EQ(1, Call<int>(kLockQuery, nConnection, L"SELECT * FROM NAMES", 0u));
    ASSERT_EQ(1, Call<int>(kTrsBegin, &nTransaction, nConnection, 0u));
    ASSERT_EQ(1, Call<int>(kTrsRollBack, 0, nConnection, 0u)) << "the inner level of the same name";
    ASSERT_EQ(1, Call<int>(kTrsCommit, 0, nConnection, 0u));
    EXPECT_EQ(0, Call<int>(kTrsCommit, 0, nConnection + 100, 0u));
    EXPECT_EQ((Log{L"BEGIN", L"LOCK TABLE NAMES", L"SELECT * FROM NAMES FOR UPDATE", L"SAVEPOINT VXSP1",
                   L"ROLLBACK TO SAVEPOINT VXSP1", L"COMMIT"}),
              pclConnection->Statements());
    EXPECT_EQ(L"SQLTransaction", std::wstring(pclConnection->pclGetTransactionNoRef()->csGetName().pszGet()));
    EXPECT_EQ(0, Call<int>(kLockTable, nConnection, L"NAMES", 0u)) << "the transaction ended";
}

TEST_F(SqlHandles, EntriesResetTheErrorButTheStatementsErrorIsRead)
{
    DriverError()->AddError(NA_ERR_GENERAL, NA_SRC_DB_CONNECTION, 0, nullptr, 15u, L"");
    INAError* piError = nullptr;
    EXPECT_EQ(0, Call<int>(kStatementError, &piError, 0, 1));
    EXPECT_EQ(15u, DriverError()->dwGetErrorId()) << "slot 27 keeps the error";
    int nColumns = 0;
    Call<int>(kColumnCount, &nColumns, 0, 0, 0u);
    EXPECT_EQ(NA_ERR_NONE, DriverError()->eGetErrorType()) << "the shared error object was reset";
}

}  // namespace
