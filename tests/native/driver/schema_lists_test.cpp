// The schema lists of the SQL-functions object over scripted statements:
// the catalogue queries written for every combination of the type flags,
// with the type condition between parentheses before the schema test (else
// the schema test binds to its last part only); the lines of the table
// list, detailed and sorted; the column list up to the composite keys; the
// database list with and without the tables of each database, where a
// database is left out only when it has no table of the asked types; and
// the row runner's column limit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text/string_concat_aw.h"
#include "common/text/xy_string.h"
#include "native/driver/driver_sql.h"
#include "tests/native/driver/error_checks.h"
#include "tests/native/driver/scripted_driver_fixture.h"

namespace {

using Log = std::vector<std::wstring>;

const std::wstring kTablesHead = L"SELECT TABLE_NAME, TABLE_SCHEMA, TABLE_TYPE FROM INFORMATION_SCHEMA.TABLES WHERE ";
const std::wstring kTablesTail = L"TABLE_SCHEMA = SCHEMA() ORDER BY TABLE_SCHEMA, TABLE_NAME";
const std::wstring kDatabases = L"SELECT SCHEMA_NAME FROM INFORMATION_SCHEMA.SCHEMATA ORDER BY SCHEMA_NAME";

std::wstring TablesQuery(const std::wstring& condition)
{
    return kTablesHead + L"(" + condition + L") AND " + kTablesTail;
}

std::wstring DatabaseTablesQuery(const std::wstring& condition, const std::wstring& database)
{
    return L"SELECT TABLE_NAME FROM INFORMATION_SCHEMA.TABLES WHERE (" + condition + L") AND TABLE_SCHEMA = '" +
           database + L"' ORDER BY TABLE_NAME";
}

using vxtest::TextOf;

CScriptedResult Names(std::vector<CScriptedRow> rows)
{
    return ScriptedRows({L"NAME"}, std::move(rows));
}

class SchemaLists : public vxtest::ScriptedDriverTest
{
protected:
    void SetUp() override
    {
        vxtest::ScriptedDriverTest::SetUp();
        StandinConnectionDescription& host = Host();
        ASSERT_EQ(1, nOpen(&host));
        m_pclConnection = Registered(&host);
        m_pclSQL = Driver()->pclGetDriverSQL();
    }
    std::wstring DatabaseList(unsigned nFlags, int* pnResult = nullptr)
    {
        CXYString<wchar_t> list;
        list.Set(L"replaced");
        const int nResult = m_pclSQL->bGetDatabaseList(&list, m_pclConnection, nFlags);
        if (pnResult != nullptr)
            *pnResult = nResult;
        return list.pszGet();
    }

    CTestConnection* m_pclConnection = nullptr;
    CNADriverSQL* m_pclSQL = nullptr;
};

TEST_F(SchemaLists, TableQueriesForEveryTypeCombination)
{
    const struct
    {
        unsigned nFlags;
        const wchar_t* pszFilter;
        const wchar_t* pszCondition;
    } cases[] = {
        {1, nullptr, L"TABLE_TYPE='BASE TABLE'"},
        {2, nullptr, L"TABLE_TYPE='VIEW'"},
        {4, nullptr, L"TABLE_TYPE='SYSTEM TABLE'"},
        {1 | 2, nullptr, L"TABLE_TYPE='BASE TABLE' OR TABLE_TYPE='VIEW'"},
        {1 | 4, nullptr, L"TABLE_TYPE='BASE TABLE' OR TABLE_TYPE='SYSTEM TABLE'"},
        {2 | 4, nullptr, L"TABLE_TYPE='SYSTEM TABLE' OR TABLE_TYPE='VIEW'"},
        {1 | 2 | 4 | 16 | 32, nullptr,
         L"TABLE_TYPE='BASE TABLE' OR TABLE_TYPE='SYSTEM TABLE' OR TABLE_TYPE='VIEW'"},
        {1 | 2, L"AND TABLE_NAME LIKE 'C%'", L"TABLE_TYPE='BASE TABLE' OR TABLE_TYPE='VIEW' AND TABLE_NAME LIKE 'C%'"},
        {2, L"", L"TABLE_TYPE='VIEW'"},
    };
    for (const auto& c : cases) {
        m_script.executed.clear();
        CAny list;
        list.SetNull();
        EXPECT_EQ(0, m_pclSQL->bGetTableList(&list, m_pclConnection, c.pszFilter, c.nFlags)) << "not scripted";
        EXPECT_EQ((Log{TablesQuery(c.pszCondition)}), m_script.executed) << "flags " << c.nFlags;
        EXPECT_TRUE(list.bIsNull()) << "a failed list leaves the value untouched";
    }

    // Without a type flag: an empty text, no query.
    m_script.executed.clear();
    for (unsigned nFlags : {0u, 16u, 32u, 8u | 16u | 32u}) {
        CAny list;
        list.SetNull();
        EXPECT_EQ(1, m_pclSQL->bGetTableList(&list, m_pclConnection, L"AND 1=1", nFlags));
        EXPECT_EQ(ZLTYPE_DSTRW, list.wGetType());
        EXPECT_EQ(L"", TextOf(list));
    }
    EXPECT_TRUE(m_script.executed.empty());
}

TEST_F(SchemaLists, TableLines)
{
    m_script.On(TablesQuery(L"TABLE_TYPE='BASE TABLE' OR TABLE_TYPE='VIEW'"),
                ScriptedRows({L"TABLE_NAME", L"TABLE_SCHEMA", L"TABLE_TYPE"}, {{L"orders", L"shop", L"BASE TABLE"},
                                                                      {L"Customer", L"shop", L"base table"},
                                                                      {L"all_orders", L"shop", L"VIEW"},
                                                                      {L"T", std::nullopt, L"SYSTEM VIEW"}}));
    const struct
    {
        unsigned nFlags;
        const wchar_t* pszExpected;
    } cases[] = {
        {1 | 2, L"orders\r\nCustomer\r\nall_orders\r\nT"},
        {1 | 2 | 16, L"all_orders\r\nCustomer\r\norders\r\nT"},
        {1 | 2 | 32,
         L"orders\tshop\t\tTABLE\r\nCustomer\tshop\t\tTABLE\r\nall_orders\tshop\t\tVIEW\r\nT\t\t\tSYSTEM VIEW"},
        {1 | 2 | 16 | 32,
         L"all_orders\tshop\t\tVIEW\r\nCustomer\tshop\t\tTABLE\r\norders\tshop\t\tTABLE\r\nT\t\t\tSYSTEM VIEW"},
    };
    for (const auto& c : cases) {
        CAny list;
        list.SetNull();
        ASSERT_EQ(1, m_pclSQL->bGetTableList(&list, m_pclConnection, nullptr, c.nFlags));
        EXPECT_EQ(c.pszExpected, TextOf(list)) << "flags " << c.nFlags;
        EXPECT_EQ(ZLTYPE_DSTRW, list.wGetType()) << "a wide text, the state bits cleared";
    }

    // No table: an empty text.
    m_script.On(TablesQuery(L"TABLE_TYPE='VIEW'"), ScriptedRows({L"TABLE_NAME", L"TABLE_SCHEMA", L"TABLE_TYPE"}, {}));
    CAny list;
    ASSERT_EQ(1, m_pclSQL->bGetTableList(&list, m_pclConnection, nullptr, 2 | 32));
    EXPECT_EQ(L"", TextOf(list));

    // Through the handle slot: the connection by its number.
    ASSERT_EQ(1, m_pclSQL->bGetTableList(&list, static_cast<int>(m_pclConnection->nGetConnectionNumber()), nullptr,
                                         1u | 2u));
    EXPECT_EQ(L"orders\r\nCustomer\r\nall_orders\r\nT", TextOf(list));
    EXPECT_EQ(0, m_pclSQL->bGetTableList(&list, 0, nullptr, 1u | 2u)) << "connection 0";
}

TEST_F(SchemaLists, ColumnsUpToTheCompositeKeys)
{
    m_script.On(CTestDataSourceDescription::ColumnsQuery(L"LINES"),
                CTestDataSourceDescription::ColumnsResult({{L"ORDER_ID", L"8", L"4", L"0", L"0", L"NO", L""},
                                                           {L"LINE_NO", L"8", L"4", L"0", L"0", L"NO", L""},
                                                           {L"TEXT", L"2", L"51", L"0", L"0", L"YES", L""}}));
    m_script.On(CTestDataSourceDescription::KeysQuery(L"LINES"),
                CTestDataSourceDescription::KeysResult({{L"PK", L"ORDER_ID", L"49152"}, {L"PK", L"LINE_NO", L"49152"}}));
    CAny list;
    ASSERT_EQ(1, m_pclSQL->bGetColumnList(&list, m_pclConnection, L"LINES", 0));
    EXPECT_EQ(L"ORDER_ID\r\nLINE_NO\r\nTEXT", TextOf(list)) << "the composite key PK comes last and is left out";

    list.SetNull();
    list.__SetType(ZLTYPE_DSTRW, 0);
    EXPECT_EQ(0, m_pclSQL->bGetColumnList(&list, m_pclConnection, L"MISSING", 0));
    EXPECT_TRUE(list.bIsNull());
}

TEST_F(SchemaLists, RowsOfAListUpToAColumnLimit)
{
    m_script.On(L"Q", ScriptedRows({L"A", L"B", L"C"}, {{L"a1", L"b1", L"c1"}, {L"a2", std::nullopt, L"c2"}}));
    const struct
    {
        unsigned nColumns;
        const wchar_t* pszExpected;
    } cases[] = {
        {0, L"a1\tb1\tc1|a2\t\tc2"},
        {1, L"a1|a2"},
        {2, L"a1\tb1|a2\t"},
        {5, L"a1\tb1\tc1|a2\t\tc2"},
    };
    for (const auto& c : cases) {
        CXYStringConcat<wchar_t> clList;
        ASSERT_EQ(1, m_pclSQL->_bGetList(&clList, m_pclConnection, L"Q", c.nColumns, 0, L"|"));
        EXPECT_STREQ(c.pszExpected, clList.pszGet()) << c.nColumns << " columns";
    }
    CAny list;
    ASSERT_EQ(1, m_pclSQL->_bGetList(&list, m_pclConnection, L"Q", 1, 0));
    EXPECT_EQ(L"a1\r\na2", TextOf(list));
    list.SetNull();
    EXPECT_EQ(0, m_pclSQL->_bGetList(&list, m_pclConnection, L"NOT SCRIPTED", 1, 0));
    EXPECT_TRUE(list.bIsNull());
}

TEST_F(SchemaLists, DatabaseNamesAlone)
{
    m_script.On(kDatabases, Names({{L"shop"}, {L"Archive"}, {L"test"}}));
    EXPECT_EQ(L"shop\tArchive\ttest", DatabaseList(0));
    EXPECT_EQ(L"shop\tArchive\ttest", DatabaseList(16 | 32)) << "no type flag: no tables, one line";
    EXPECT_EQ((Log{kDatabases, kDatabases}), m_script.executed);

    m_script.Fail(kDatabases);
    int nResult = -1;
    EXPECT_EQ(L"", DatabaseList(1, &nResult));
    EXPECT_EQ(0, nResult);
}

TEST_F(SchemaLists, DatabasesWithTheirTables)
{
    m_script.On(kDatabases, Names({{L"shop"}, {L"Archive"}, {L"empty"}, {L"one"}}));
    const std::wstring base = L"TABLE_TYPE='BASE TABLE'";
    m_script.On(DatabaseTablesQuery(base, L"shop"), Names({{L"orders"}, {L"Customer"}}));
    m_script.On(DatabaseTablesQuery(base, L"Archive"), Names({{L"old"}}));
    m_script.On(DatabaseTablesQuery(base, L"empty"), Names({}));
    m_script.On(DatabaseTablesQuery(base, L"one"), Names({{L"t"}}));

    int nResult = -1;
    EXPECT_EQ(L"shop\torders\r\nshop\tCustomer\r\nArchive\told\r\none\tt", DatabaseList(1, &nResult));
    EXPECT_EQ(1, nResult);
    EXPECT_EQ((Log{kDatabases, DatabaseTablesQuery(base, L"shop"), DatabaseTablesQuery(base, L"Archive"),
                   DatabaseTablesQuery(base, L"empty"), DatabaseTablesQuery(base, L"one")}),
              m_script.executed);

    // Sorted: the databases first, then every line.
    m_script.executed.clear();
    EXPECT_EQ(L"Archive\told\r\none\tt\r\nshop\tCustomer\r\nshop\torders", DatabaseList(1 | 16));
    ASSERT_LE(2u, m_script.executed.size());
    EXPECT_EQ(DatabaseTablesQuery(base, L"Archive"), m_script.executed[1]) << "the databases in sorted order";

    // Both types: the condition between parentheses.
    const std::wstring both = L"TABLE_TYPE='BASE TABLE' OR TABLE_TYPE='VIEW'";
    m_script.On(DatabaseTablesQuery(both, L"shop"), Names({{L"orders"}, {L"v_orders"}}));
    m_script.On(DatabaseTablesQuery(both, L"Archive"), Names({}));
    m_script.On(DatabaseTablesQuery(both, L"empty"), Names({}));
    m_script.On(DatabaseTablesQuery(both, L"one"), Names({}));
    EXPECT_EQ(L"shop\torders\r\nshop\tv_orders", DatabaseList(1 | 2));

    // A database whose query fails ends the list with what it holds.
    m_script.Fail(DatabaseTablesQuery(base, L"one"));
    EXPECT_EQ(L"shop\torders\r\nshop\tCustomer\r\nArchive\told", DatabaseList(1, &nResult));
    EXPECT_EQ(0, nResult);
    EXPECT_EQ(L"Archive\told", DatabaseList(1 | 16, &nResult)) << "the databases sorted: one comes before shop";
    EXPECT_EQ(0, nResult);
}

TEST_F(SchemaLists, DatabaseNamesAreLiteralsOfTheConnection)
{
    CTStringConcatAW clQuery(CTStringConcatAW::kMaitreLarge);
    ASSERT_EQ(1, m_pclSQL->_bGetDatabaseTableListQuery(&clQuery, L"it's", m_pclConnection, 2));
    EXPECT_STREQ(L"SELECT TABLE_NAME FROM INFORMATION_SCHEMA.TABLES WHERE (TABLE_TYPE='VIEW') AND TABLE_SCHEMA = "
                 L"'it''s' ORDER BY TABLE_NAME",
                 clQuery.pszGetW());
    ASSERT_EQ(1, m_pclSQL->_bGetDatabaseTableListQuery(&clQuery, L"shop", m_pclConnection, 0));
    EXPECT_STREQ(L"SELECT TABLE_NAME FROM INFORMATION_SCHEMA.TABLES WHERE TABLE_SCHEMA = 'shop' ORDER BY TABLE_NAME",
                 clQuery.pszGetW())
        << "without a type condition, the schema test alone";
    ASSERT_EQ(1, m_pclSQL->_bGetDatabaseListQuery(&clQuery, m_pclConnection, 1));
    EXPECT_EQ(kDatabases, clQuery.pszGetW());
}

}  // namespace
