// The driver's list, test and answer-only slots, called by position as the
// host calls them: the lists come from the SQL-functions object on the
// opened connection (scripted statements here); without that object the
// table list fails, the link list succeeds with nothing and the column
// types are an empty text; the database list replaces the host's text
// whatever happens; a table exists when its description can be read, and a
// table without columns does not; the provider list and the automatic
// filter are not offered.
#include <gtest/gtest.h>

#include <string>

#include "common/text/xy_string.h"
#include "tests/native/driver/error_checks.h"
#include "tests/native/driver/scripted_driver_fixture.h"

namespace {

constexpr long kSlotTableList = 14;
constexpr long kSlotFormatColumn = 23;
constexpr long kSlotProviderList = 25;
constexpr long kSlotTableExists = 26;
constexpr long kSlotLinkList = 27;
constexpr long kSlotSourceList = 28;
constexpr long kSlotQueryParameters = 29;
constexpr long kSlotFilterAuto = 31;
constexpr long kSlotDatabaseList = 38;

const wchar_t* const kBaseTables =
    L"SELECT TABLE_NAME, TABLE_SCHEMA, TABLE_TYPE FROM INFORMATION_SCHEMA.TABLES WHERE (TABLE_TYPE='BASE TABLE') AND "
    L"TABLE_SCHEMA = SCHEMA() ORDER BY TABLE_SCHEMA, TABLE_NAME";
const wchar_t* const kDatabases = L"SELECT SCHEMA_NAME FROM INFORMATION_SCHEMA.SCHEMATA ORDER BY SCHEMA_NAME";

using vxtest::TextOf;

class SqlOperationsLists : public vxtest::ScriptedDriverTest
{
protected:
    void ChooseMore(CTestDriverChoices& choices) override
    {
        if (m_bNoDriverSQL)
            choices.allocDriverSQL = [](CNADriver*, CNAError*) -> CNADriverSQL* { return nullptr; };
    }

    int nTableList(CAny* pclList, INAConnectionDescription* piHost, unsigned nFlags)
    {
        return m_caller.Call<int>(kSlotTableList, pclList, piHost, nFlags);
    }
    int nDatabaseList(CXYString<wchar_t>* pclList, INAConnectionDescription* piHost, unsigned nFlags)
    {
        return m_caller.Call<int>(kSlotDatabaseList, pclList, piHost, nFlags);
    }
    int nLinkList(CAny* pclList, INAConnectionDescription* piHost)
    {
        return m_caller.Call<int>(kSlotLinkList, pclList, L"CUSTOMER", static_cast<INADataSourceDescription*>(nullptr),
                                  piHost, 32u);
    }

    bool m_bNoDriverSQL = false;
};

TEST_F(SqlOperationsLists, TablesAndDatabasesOnTheOpenedConnection)
{
    StandinConnectionDescription& host = Host();
    m_script.On(kBaseTables, ScriptedRows({L"TABLE_NAME", L"TABLE_SCHEMA", L"TABLE_TYPE"},
                                  {{L"CUSTOMER", L"shop", L"BASE TABLE"}, {L"orders", L"shop", L"BASE TABLE"}}));
    m_script.On(kDatabases, ScriptedRows({L"SCHEMA_NAME"}, {{L"shop"}, {L"test"}}));
    CAny list;
    list.SetNull();
    ASSERT_EQ(1, nTableList(&list, &host, 1));
    EXPECT_EQ(L"CUSTOMER\r\norders", TextOf(list));
    EXPECT_FALSE(list.bIsNull());
    CTestConnection* pclConnection = Registered(&host);
    EXPECT_EQ(nullptr, pclConnection) << "opened for the list and closed after it, as its last user";

    CXYString<wchar_t> databases;
    databases.Set(L"old");
    ASSERT_EQ(1, nDatabaseList(&databases, &host, 0));
    EXPECT_STREQ(L"shop\ttest", databases.pszGet());

    // A failing list replaces the host's text all the same.
    m_script.Fail(kDatabases);
    databases.Set(L"old");
    EXPECT_EQ(0, nDatabaseList(&databases, &host, 0));
    EXPECT_STREQ(L"", databases.pszGet());
    EXPECT_EQ(12u, DriverError()->dwGetErrorId());

    // An open that fails: its result, no query.
    ASSERT_EQ(1, nOpen(&host));
    Registered(&host)->SetOpenFails(true);
    const size_t nRun = m_script.executed.size();
    EXPECT_EQ(0, nTableList(&list, &host, 1));
    EXPECT_EQ(0, nDatabaseList(&databases, &host, 0));
    EXPECT_EQ(nRun, m_script.executed.size());
    EXPECT_EQ(CTestConnection::kFailureUserCode, DriverError()->dwGetErrorId());
}

TEST_F(SqlOperationsLists, LinkListKeepsTheError)
{
    StandinConnectionDescription& host = Host();
    m_script.On(L"SHOW CREATE TABLE `CUSTOMER`",
                ScriptedRows({L"Table", L"Create Table"},
                     {{L"CUSTOMER", L"CREATE TABLE `CUSTOMER` (\n  `ID` int,\n  CONSTRAINT `fk` FOREIGN KEY (`ID`) "
                                    L"REFERENCES `ORDERS` (`ID`)\n)"}}));
    DriverError()->AddError(NA_ERR_GENERAL, NA_SRC_DB_CONNECTION, 0, nullptr, 15u, L"");
    CAny list;
    ASSERT_EQ(1, nLinkList(&list, &host));
    EXPECT_EQ(L"fk\tORDERS\tID\t0,N\tCUSTOMER\tID\t0,1\t2021\t2021", TextOf(list));
    EXPECT_EQ(15u, DriverError()->dwGetErrorId()) << "the link list does not reset the error";
}

TEST_F(SqlOperationsLists, TableExistence)
{
    StandinConnectionDescription& host = Host();
    m_script.On(CTestDataSourceDescription::ColumnsQuery(L"CUSTOMER"),
                CTestDataSourceDescription::ColumnsResult({{L"ID", L"8", L"4", L"0", L"0", L"NO", L""}}));
    m_script.On(CTestDataSourceDescription::KeysQuery(L"CUSTOMER"), CTestDataSourceDescription::KeysResult({}));
    m_script.On(CTestDataSourceDescription::ColumnsQuery(L"MISSING"), CTestDataSourceDescription::ColumnsResult({}));
    const struct
    {
        const wchar_t* pszTable;
        int nResult;
        int bExists;
    } cases[] = {
        {L"CUSTOMER", 1, 1},
        {L"MISSING", 1, 0},  // no column: the table does not exist
        {L"BROKEN", 0, 0},   // the description fails otherwise
    };
    for (const auto& c : cases) {
        int bExists = -1;
        EXPECT_EQ(c.nResult, m_caller.Call<int>(kSlotTableExists, &bExists, c.pszTable,
                                                static_cast<INAConnectionDescription*>(&host)))
            << vxtest::Narrow(c.pszTable);
        EXPECT_EQ(c.bExists, bExists) << vxtest::Narrow(c.pszTable);
    }
}

TEST_F(SqlOperationsLists, AnswersAndOperationsNotOffered)
{
    StandinConnectionDescription& host = Host();
    CAny list;
    list.SetNull();
    EXPECT_EQ(1, m_caller.Call<int>(kSlotSourceList, &list, 0));
    EXPECT_EQ(ZLTYPE_PSTRW, list.wGetType()) << "an empty wide text, both state bits cleared";
    EXPECT_EQ(L"", TextOf(list));

    list.SetNull();
    DriverError()->AddError(NA_ERR_GENERAL, NA_SRC_DB_CONNECTION, 0, nullptr, 15u, L"");
    EXPECT_EQ(1, m_caller.Call<int>(kSlotFormatColumn, static_cast<INAConnectionDescription*>(&host), &list));
    EXPECT_EQ(ZLTYPE_PSTRW, list.wGetType());

    DriverError()->AddError(NA_ERR_GENERAL, NA_SRC_DB_CONNECTION, 0, nullptr, 15u, L"");
    EXPECT_EQ(1, m_caller.Call<int>(kSlotQueryParameters, static_cast<INAContext*>(nullptr),
                                    static_cast<INAConnectionDescription*>(&host),
                                    static_cast<INAQueryParametersValue*>(nullptr)));
    EXPECT_EQ(NA_ERR_NONE, DriverError()->eGetErrorType()) << "slot 29 resets the error";

    // Not offered, without resetting the error: on an empty object the main
    // error, otherwise a sub-error under the earlier one.
    EXPECT_EQ(0, m_caller.Call<int>(kSlotProviderList, &list));
    EXPECT_TRUE(vxtest::ErrorAt(*DriverError(), 8, L"5.6"));
    EXPECT_EQ(NA_ERR_NOT_AVAILABLE, DriverError()->eGetErrorType());
    EXPECT_EQ(0, m_caller.Call<int>(kSlotFilterAuto, static_cast<INAContext*>(nullptr),
                                    static_cast<INAConnectionDescription*>(&host), 0, L"A",
                                    static_cast<INADataSourceDescription*>(nullptr), L"B",
                                    static_cast<INADataSourceDescription*>(nullptr)));
    EXPECT_TRUE(vxtest::ErrorAt(*DriverError(), 8, L"5.6")) << "the first error stays the main one";
    EXPECT_TRUE(vxtest::ErrorHas(*DriverError(), L"IEZODIRA=5.7"));
    EXPECT_TRUE(m_script.executed.empty());
}

class SqlOperationsListsWithoutSQLFunctions : public SqlOperationsLists
{
protected:
    void SetUp() override
    {
        m_bNoDriverSQL = true;
        SqlOperationsLists::SetUp();
    }
};

TEST_F(SqlOperationsListsWithoutSQLFunctions, ListsAnswerWithoutMakingIt)
{
    StandinConnectionDescription& host = Host();
    CAny list;
    EXPECT_EQ(0, nTableList(&list, &host, 1));
    CXYString<wchar_t> databases;
    EXPECT_EQ(0, nDatabaseList(&databases, &host, 0));
    list.SetNull();
    EXPECT_EQ(1, nLinkList(&list, &host)) << "success with nothing";
    EXPECT_TRUE(list.bIsNull()) << "untouched";
    EXPECT_EQ(1, m_caller.Call<int>(kSlotFormatColumn, static_cast<INAConnectionDescription*>(&host), &list));
    EXPECT_EQ(ZLTYPE_PSTRW, list.wGetType());
    EXPECT_EQ(L"", TextOf(list));
    EXPECT_TRUE(m_script.executed.empty());
}

}  // namespace
