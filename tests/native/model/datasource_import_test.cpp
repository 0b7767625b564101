// Data-source descriptions filled from a statement's result columns and
// from the database through the schema operations (the test description
// reading scripted statements), and the SQL-functions object's execution
// for the driver's own queries.
#include <gtest/gtest.h>

#include <string>

#include "native/driver/driver_sql.h"
#include "native/model/data_source_description.h"
#include "tests/native/model/model_fixture.h"

namespace {

using Row = CScriptedRow;

constexpr auto ColumnsResult = &CTestDataSourceDescription::ColumnsResult;
constexpr auto KeysResult = &CTestDataSourceDescription::KeysResult;

class DataSourceImport : public vxtest::ModelTest
{
protected:
    CNADriverSQL* DriverSQL() const { return Driver()->pclGetDriverSQL(); }
};

TEST_F(DataSourceImport, ExecutionForTheDriversOwnQueries)
{
    CScriptedResult withColumns;
    withColumns.columns = {ScriptedColumn(L"A")};
    m_script.On(L"SELECT A", withColumns);
    m_script.On(L"UPDATE T", CScriptedResult{});
    m_script.Fail(L"BAD");

    CNAStatementSQL* result = reinterpret_cast<CNAStatementSQL*>(1);
    EXPECT_EQ(1, DriverSQL()->bExecute(m_pclError, &result, m_pclConnection, L"SELECT A", nullptr, 0));
    ASSERT_NE(nullptr, result);
    EXPECT_EQ(1u, result->m_dwRefCount);
    EXPECT_EQ(1, m_script.nLive);
    result->nRelease();

    // No result columns: the statement is released at once.
    EXPECT_EQ(1, DriverSQL()->bExecute(m_pclError, &result, m_pclConnection, L"UPDATE T", nullptr, 0));
    EXPECT_EQ(nullptr, result);
    EXPECT_EQ(0, DriverSQL()->bExecute(m_pclError, &result, m_pclConnection, L"BAD", nullptr, 0));
    EXPECT_EQ(nullptr, result);
    EXPECT_EQ(12u, m_pclError->dwGetErrorId());
    m_pclError->Reset();
    EXPECT_EQ(0, m_script.nLive);
    EXPECT_EQ(3, m_script.nMade);

    // Statement numbers follow one another, whatever the connection.
    const uint32_t before = CNAStatementSQL::m_gnStmtGenerator;
    CNAStatementSQL* a = new CNAStatementSQL(m_pclConnection, m_pclError);
    CNAStatementSQL* b = new CNAStatementSQL(nullptr, m_pclError);
    EXPECT_EQ(before + 1, a->nGetStatementID());
    EXPECT_EQ(before + 2, b->nGetStatementID());
    EXPECT_EQ(2u, m_pclConnection->m_dwRefCount);
    EXPECT_EQ(0, a->bExecuteDirect(L"SELECT 1", nullptr, 0)) << "the base statement runs nothing";
    int columns = -1;
    EXPECT_EQ(1, a->bGetColumnNbr(&columns, 0));
    EXPECT_EQ(0, columns);
    EXPECT_EQ(nullptr, a->pclGetNAColumnSQL(0));
    EXPECT_TRUE(ErrorAt(50, L"50.1"));
    m_pclError->Reset();
    EXPECT_EQ(nullptr, a->pclGetNAColumnSQL(-2));
    EXPECT_TRUE(ErrorAt(51, L"50.2"));
    m_pclError->Reset();
    REF_AddRef(a);
    REF_AddRef(b);
    a->nRelease();
    b->nRelease();
}

TEST_F(DataSourceImport, FromAStatement)
{
    CScriptedResult result;
    CScriptedColumn id = ScriptedColumn(L"ID");
    id.eType = NA_IT_I4, id.nSize = 4, id.wKeyFlags = 0x8800, id.table = L"ORDERS", id.nameInTable = L"ORDER_ID";
    id.dbType = L"INT", id.nDBTypeCode = 3;
    CScriptedColumn total = ScriptedColumn(L"TOTAL");
    total.eType = NA_IT_DECIMAL, total.nSize = 6, total.nIntegerDigits = 10, total.nDecimals = 2;
    CScriptedColumn code = ScriptedColumn(L"CODE");
    code.wKeyFlags = 0x2800, code.table = L"ORDERS";
    CScriptedColumn again = ScriptedColumn(L"ID");
    result.columns = {id, total, code, again};
    m_script.On(L"SELECT ...", result);

    CNAStatementSQL* statement = nullptr;
    ASSERT_EQ(1, Driver()->pclGetDriverSQL()->bExecute(m_pclError, &statement, m_pclConnection, L"SELECT ...",
                                                        nullptr, 0));
    CNADataSourceDescription* source = Driver()->pclAllocDataSourceDescription(m_pclConnection, m_pclError);
    source->AddRef();
    ASSERT_EQ(1, source->bInitDataSourceDescriptionFromStatement(statement));

    // Without a name: the statement's number.
    const std::wstring number = std::to_wstring(statement->nGetStatementID());
    EXPECT_EQ(number, source->pszGetLogicalName());
    EXPECT_EQ(number, source->pszGetDBTableName());
    EXPECT_EQ(CNADataSourceDescription::KIND_FROM_QUERY, source->eGetKind());
    ASSERT_EQ(4u, source->nGetNumItems());
    CNAItemDescription* item = source->pclGetItemNoRef(0);
    EXPECT_STREQ(L"ID", item->pszGetName());
    EXPECT_STREQ(L"ORDERS", item->pszGetSourceName());
    EXPECT_STREQ(L"ORDER_ID", item->pszGetNameInSource());
    EXPECT_STREQ(L"INT", item->pszGetDBType());
    EXPECT_EQ(3, item->eNAGetDBTypeCode());
    EXPECT_EQ(0, item->nGetKeyIndice());
    EXPECT_EQ(0, item->nGetOffset(0));
    item = source->pclGetItemNoRef(1);
    EXPECT_EQ(NA_IT_DECIMAL, item->eNAGetItemType());
    EXPECT_EQ(10, item->nGetIntegerPart());
    EXPECT_EQ(2, item->nGetDecimalPart());
    EXPECT_STREQ(number.c_str(), item->pszGetSourceName()) << "no table: the description's name";
    EXPECT_STREQ(L"TOTAL", item->pszGetNameInSource());
    EXPECT_EQ(-1, item->nGetKeyIndice());
    EXPECT_EQ(1, item->nGetPhysicalIndice());
    EXPECT_EQ(4, item->nGetOffset(0));
    EXPECT_EQ(1, source->pclGetItemNoRef(2)->nGetKeyIndice());
    EXPECT_STREQ(L"ID2", source->pclGetItemNoRef(3)->pszGetName());
    EXPECT_EQ(2u, source->nGetNumKeys());
    EXPECT_EQ(4u + 6 + 51 + 51, source->nGetDiskRecordSize());

    // A named description keeps its name.
    CNADataSourceDescription* named = NewDescription(L"REPORT");
    ASSERT_EQ(1, named->bInitDataSourceDescriptionFromStatement(statement));
    EXPECT_STREQ(L"REPORT", named->pszGetLogicalName());
    named->nRelease();
    source->nRelease();
    statement->nRelease();
}

TEST_F(DataSourceImport, FromTheDatabase)
{
    m_script.On(L"COLUMNS OF CUSTOMER",
                ColumnsResult({{L"ID", L"28", L"4", L"0", L"0", L"NO", L"auto_increment"},
                               {L"NAME", L"2", L"51", L"0", L"0", L"YES", std::nullopt},
                               {L"CITY", L"2", L"31", L"0", L"0", L"YES", L""},
                               {L"BALANCE", L"31", L"6", L"10", L"2", L"YES", L""},
                               {L"NOTES", L"15", L"0", L"0", L"0", L"YES", L""}}));
    m_script.On(L"KEYS OF CUSTOMER", KeysResult({{L"PRIMARY", L"ID", L"34816"},
                                                 {L"BY_CITY_NAME", L"CITY", L"10240"},
                                                 {L"BY_CITY_NAME", L"NAME", L"10240"},
                                                 {L"BY_NAME", L"NAME", L"10240"}}));
    CNADataSourceDescription* source = Driver()->pclAllocDataSourceDescription(m_pclConnection, m_pclError);
    source->AddRef();
    ASSERT_EQ(1, source->bInitDataSourceDescriptionFromDB(L"CUSTOMER", 0)) << ErrorText().c_str();
    EXPECT_EQ((std::vector<std::wstring>{L"COLUMNS OF CUSTOMER", L"KEYS OF CUSTOMER"}), m_script.executed);
    EXPECT_EQ(CNADataSourceDescription::KIND_FROM_DATABASE, source->eGetKind());
    EXPECT_STREQ(L"CUSTOMER", source->pszGetDBTableName());

    ASSERT_EQ(6u, source->nGetNumItems());
    EXPECT_EQ(NA_IT_IDAUTO4, source->pclGetItemNoRef(0)->eNAGetItemType());
    EXPECT_EQ(0, source->pclGetItemNoRef(0)->vbConstraintNullAllowed());
    EXPECT_EQ(1u, source->nGetNumMemos());
    CNAItemDescription* composite = source->pclGetItemNoRef(5);
    EXPECT_STREQ(L"BY_CITY_NAME", composite->pszGetName());
    EXPECT_EQ(1, composite->bIsComposedKey());
    EXPECT_EQ(2, composite->nGetNumComponents());
    EXPECT_EQ(80, composite->nGetItemSize());
    EXPECT_EQ(3u, source->nGetNumKeys());
    EXPECT_EQ(0x8800, source->pclGetItemNoRef(0)->wGetKeyFlags());
    EXPECT_EQ(0x2800, source->pclGetItemNoRef(1)->wGetKeyFlags());
    // The offsets were fixed at the end: every item has one.
    EXPECT_EQ(4 + 51 + 31 + 6, source->pclGetItemNoRef(4)->nGetOffset(0));
    EXPECT_EQ(4u + 51 + 31 + 6 + 8, source->nGetDiskRecordSize());
    EXPECT_EQ(4u + 51 + 31 + 6 + 8 + 80, source->nGetMemoryRecordSize());
    INAItemDescription* best = source->piGetBestParseItemDesc();
    EXPECT_STREQ(L"ID", best->pszGetName());
    best->nExternalRelease();
    source->nRelease();
}

TEST_F(DataSourceImport, NoColumnFailsWithError30)
{
    m_script.On(L"COLUMNS OF EMPTY", ColumnsResult({}));
    m_script.On(L"KEYS OF EMPTY", KeysResult({}));
    CNADataSourceDescription* source = Driver()->pclAllocDataSourceDescription(m_pclConnection, m_pclError);
    source->AddRef();
    EXPECT_EQ(0, source->bInitDataSourceDescriptionFromDB(L"EMPTY", 0));
    EXPECT_TRUE(ErrorAt(30, L"8.3"));
    EXPECT_NE(std::wstring::npos, ErrorText().find(L"<EMPTY>"));
    EXPECT_EQ(1u, m_script.executed.size()) << "no index query after the failure";
    m_pclError->Reset();
    source->nRelease();
}

TEST_F(DataSourceImport, FailingSchemaQueries)
{
    struct Case { const char* name; bool columnsFail, keysFail; unsigned error; size_t executed; };
    const Case cases[] = {
        {"columns refused", true, false, 12, 1},
        {"keys refused", false, true, 12, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_script.executed.clear();
        m_script.On(L"COLUMNS OF T", ColumnsResult({{L"A", L"5", L"4", L"0", L"0", L"YES", L""}}));
        m_script.On(L"KEYS OF T", KeysResult({}));
        if (c.columnsFail)
            m_script.Fail(L"COLUMNS OF T");
        if (c.keysFail)
            m_script.Fail(L"KEYS OF T");
        CNADataSourceDescription* source = Driver()->pclAllocDataSourceDescription(m_pclConnection, m_pclError);
        source->AddRef();
        EXPECT_EQ(0, source->bInitDataSourceDescriptionFromDB(L"T", 0));
        EXPECT_EQ(c.error, m_pclError->dwGetErrorId());
        EXPECT_EQ(c.executed, m_script.executed.size());
        m_pclError->Reset();
        source->nRelease();
        EXPECT_EQ(0, m_script.nLive);
    }

    // The base description has no schema queries: nothing is run.
    CNADataSourceDescription plain(m_pclConnection, m_pclError);
    m_script.executed.clear();
    EXPECT_EQ(0, plain.bInitDataSourceDescriptionFromDB(L"T", 0));
    EXPECT_TRUE(m_script.executed.empty());
}

}  // namespace
