// The MySQL SQL-functions object on the run's private server: the table
// list through the catalogue, through SHOW TABLES for a server taken as
// older than 5 and as the fallback of a failed catalogue query, with the
// base, sorted and detailed flags; the databases and the texts of their
// queries before 5; the column list; the fixed column-type list.
#include <gtest/gtest.h>

#include <string>

#include "common/text/string_array.h"
#include "common/text/string_concat_aw.h"
#include "mysql/mysql_driver_sql.h"
#include "tests/mysql/mysql_statement_server.h"

namespace {

using vxtest::FromUtf8;

class MySQLDriverSQLServer : public vxtest::MySQLStatementOnServer
{
protected:
    void SetUp() override
    {
        vxtest::MySQLStatementOnServer::SetUp();
        m_pclConnection = static_cast<vxtest::CInspectedConnection*>(OpenServerConnection(m_db.Name()));
        m_pclSQL = dynamic_cast<CMySQLDriverSQL*>(Driver()->pclGetDriverSQL());
        ASSERT_NE(nullptr, m_pclSQL);
        m_sDatabase = FromUtf8(m_db.Name());
    }
    CNAError* DriverError() { return Driver()->pclGetError(); }

    void MakeTables()
    {
        for (const char* pszSql : {"CREATE TABLE b_t (v INT)", "CREATE TABLE `A.x` (v INT)", "CREATE TABLE c (v INT)"})
            ASSERT_TRUE(m_client.bExecute(pszSql)) << m_client.sError();
    }
    // The table list's text; "(failed)" when the value holds none.
    std::wstring Tables(unsigned nFlags, const wchar_t* pszExtra = nullptr, int* pbDone = nullptr)
    {
        CAny list;
        const int bDone = m_pclSQL->bGetTableList(&list, m_pclConnection, pszExtra, nFlags);
        if (pbDone != nullptr)
            *pbDone = bDone;
        return vxtest::TextOf(list);
    }

    vxtest::CInspectedConnection* m_pclConnection = nullptr;
    CMySQLDriverSQL* m_pclSQL = nullptr;
    std::wstring m_sDatabase;
};

TEST_F(MySQLDriverSQLServer, TablesByShowTablesBefore5)
{
    MakeTables();
    m_pclConnection->SetServerVersion(L"4.1.22");
    const std::wstring d = m_sDatabase;
    const struct
    {
        unsigned nFlags;
        std::wstring sExpected;  // sorted lines where the flags do not sort
    } kCases[] = {
        {0, L""},
        {16, L""},
        {32, L""},
        {1, L"A.x\r\nb_t\r\nc"},
        {1 | 16, L"A.x\r\nb_t\r\nc"},
        {1 | 32, L"A.x\t" + d + L"\tA\tTABLE\r\nb_t\t" + d + L"\t\tTABLE\r\nc\t" + d + L"\t\tTABLE"},
        {1 | 16 | 32, L"A.x\t" + d + L"\tA\tTABLE\r\nb_t\t" + d + L"\t\tTABLE\r\nc\t" + d + L"\t\tTABLE"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.nFlags);
        int bDone = 0;
        std::wstring sList = Tables(c.nFlags, nullptr, &bDone);
        EXPECT_EQ(1, bDone) << DriverError()->pszGetError();
        if (!(c.nFlags & 16)) {
            CTString csSorted;
            CTStringArray::g_bTrieCroissantI(&csSorted, sList.c_str(), L"\r\n");
            sList = csSorted.pszGet();
        }
        EXPECT_EQ(c.sExpected, sList);
    }
    // The extra text follows one blank.
    EXPECT_EQ(L"b_t", Tables(1, L"LIKE 'b%'"));
}

TEST_F(MySQLDriverSQLServer, SortingRunsAfterAFailedShowTables)
{
    m_pclConnection->SetServerVersion(L"4.1.22");
    CAny list;
    NA_bSetWideText(&list, ZLTYPE_DSTRW, L"z\r\nA\r\nm");
    EXPECT_EQ(0, m_pclSQL->bGetTableList(&list, m_pclConnection, L"LIKE", 1 | 16));
    EXPECT_EQ(1064u, DriverError()->dwGetDataBaseErrorCode());
    EXPECT_EQ(L"A\r\nm\r\nz", vxtest::TextOf(list));
}

TEST_F(MySQLDriverSQLServer, CatalogueFirstThenShowTablesKeepingItsError)
{
    MakeTables();
    ASSERT_GE(m_pclConnection->nGetServerMajor(), 5);
    EXPECT_EQ(L"A.x\t" + m_sDatabase + L"\t\tTABLE\r\nb_t\t" + m_sDatabase + L"\t\tTABLE\r\nc\t" + m_sDatabase +
                  L"\t\tTABLE",
              Tables(1 | 16 | 32));

    // An extra text the catalogue query cannot take but SHOW TABLES can.
    DriverError()->Reset();
    int bDone = 0;
    const std::wstring sList = Tables(1 | 16, (L"FROM `" + m_sDatabase + L"`").c_str(), &bDone);
    EXPECT_EQ(1, bDone);
    EXPECT_EQ(L"A.x\r\nb_t\r\nc", sList);
    EXPECT_EQ(1064u, DriverError()->dwGetDataBaseErrorCode()) << "the catalogue's error stays recorded";
}

TEST_F(MySQLDriverSQLServer, DatabasesAndTheirQueriesBefore5)
{
    MakeTables();
    CTStringConcatAW clQuery(CTStringConcatAW::kMaitreLarge);
    ASSERT_EQ(1, m_pclSQL->_bGetDatabaseListQuery(&clQuery, m_pclConnection, 0));
    EXPECT_EQ(std::wstring(L"SELECT SCHEMA_NAME FROM INFORMATION_SCHEMA.SCHEMATA ORDER BY SCHEMA_NAME"),
              clQuery.pszGetW());

    m_pclConnection->SetServerVersion(L"4.1.22");
    ASSERT_EQ(1, m_pclSQL->_bGetDatabaseListQuery(&clQuery, m_pclConnection, 0));
    EXPECT_EQ(std::wstring(L"SHOW DATABASES"), clQuery.pszGetW());
    ASSERT_EQ(1, m_pclSQL->_bGetDatabaseTableListQuery(&clQuery, L"my db", m_pclConnection, 1));
    EXPECT_EQ(std::wstring(L"SHOW TABLES FROM `my db`"), clQuery.pszGetW());

    CXYString<wchar_t> clList;
    ASSERT_EQ(1, m_pclSQL->bGetDatabaseList(&clList, m_pclConnection, 0)) << DriverError()->pszGetError();
    EXPECT_NE(std::wstring::npos, (L"\t" + std::wstring(clList.pszGet()) + L"\t").find(L"\t" + m_sDatabase + L"\t"));
    ASSERT_EQ(1, m_pclSQL->bGetDatabaseList(&clList, m_pclConnection, 1 | 16)) << DriverError()->pszGetError();
    const std::wstring sLines = clList.pszGet();
    EXPECT_NE(std::wstring::npos,
              sLines.find(m_sDatabase + L"\tA.x\r\n" + m_sDatabase + L"\tb_t\r\n" + m_sDatabase + L"\tc"));
}

TEST_F(MySQLDriverSQLServer, ColumnsInTheTablesOrder)
{
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE `t w` (b INT, a INT, `x y` INT)")) << m_client.sError();
    CAny list;
    ASSERT_EQ(1, m_pclSQL->bGetColumnList(&list, m_pclConnection, L"t w", 0)) << DriverError()->pszGetError();
    EXPECT_EQ(L"b\r\na\r\nx y", vxtest::TextOf(list));
    EXPECT_EQ(0, list.wGetType() & 0x500);

    EXPECT_EQ(0, m_pclSQL->bGetColumnList(&list, m_pclConnection, L"missing", 0));
    EXPECT_EQ(1146u, DriverError()->dwGetDataBaseErrorCode());
}

TEST_F(MySQLDriverSQLServer, ColumnTypesNeedNoConnectionAndKeepTheError)
{
    // User error 15's text names what could not be opened.
    DriverError()->AddError(NA_ERR_GENERAL, NA_SRC_DB_CONNECTION, 0, nullptr, 15u, L"types");
    CAny list;
    INADriverSQL* piSQL = m_pclSQL;
    ASSERT_EQ(1, piSQL->bGetColumnTypeList(&list, 0, 0));
    EXPECT_EQ(15u, DriverError()->dwGetErrorId()) << "the error object is not reset";
    const std::wstring sList = vxtest::TextOf(list);
    EXPECT_EQ(442u, sList.size());
    EXPECT_EQ(0, sList.compare(0, 7, L"bit\t1\r\n"));
    EXPECT_EQ(L"\r\ntimestamp\t19", sList.substr(sList.size() - 14));
    size_t nLines = 1;
    for (size_t i = sList.find(L"\r\n"); i != std::wstring::npos; i = sList.find(L"\r\n", i + 2))
        ++nLines;
    EXPECT_EQ(35u, nLines);
    EXPECT_EQ(ZLTYPE_DSTRW, list.nGetTypeCode());
    EXPECT_EQ(0, list.wGetType() & 0x500);
}

}  // namespace
