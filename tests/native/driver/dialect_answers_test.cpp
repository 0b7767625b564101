// The dialect's answers by database kind, its type names, and the splitting
// of qualified table names.
#include <gtest/gtest.h>

#include <climits>

#include "tests/fakes/test_connection.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/support/test_environment.h"

namespace {

struct stKindRow
{
    int nKind;
    int bSubQuery;
    int bLimitOrTop;
    int bTreat0000DateAsNULL;
    int nVarCharMaxLen;
    int nNVarCharMaxLen;
    int nOrderByMax;
    const wchar_t* pszVarChar;
    const wchar_t* pszNVarChar;
};

class DialectAnswers : public ::testing::Test
{
protected:
    StandinConnectionDescription m_host;
    CTestConnection m_connection{L"id", &m_host};
};

TEST_F(DialectAnswers, ByKind)
{
    const stKindRow rows[] = {
        {0, 0, 0, 0, -1, -1, INT_MAX, L"VARCHAR", L"NVARCHAR"},
        {1, 1, 1, 0, 4000, 2000, INT_MAX, L"VARCHAR2", L"NVARCHAR2"},
        {2, 1, 1, 1, 8000, 4000, INT_MAX, L"VARCHAR", L"NVARCHAR"},
        {3, 0, 1, 0, -1, -1, INT_MAX, L"VARCHAR", L"NVARCHAR"},
        {4, 1, 0, 0, -1, -1, 31, L"VARCHAR", L"NVARCHAR"},
        {5, 0, 1, 0, 255, 255, INT_MAX, L"VARCHAR", L"NVARCHAR"},
        {6, 0, 1, 0, -1, -1, INT_MAX, L"VARCHAR", L"NVARCHAR"},
        {7, 1, 0, 0, -1, -1, INT_MAX, L"VARCHAR", L"NVARCHAR"},
        {8, 0, 0, 0, -1, -1, INT_MAX, L"VARCHAR", L"NVARCHAR"},
        {9, 1, 0, 0, -1, -1, INT_MAX, L"VARCHAR", L"NVARCHAR"},
        {10, 0, 0, 0, -1, -1, INT_MAX, L"VARCHAR", L"NVARCHAR"},
        {11, 0, 0, 0, -1, -1, INT_MAX, L"VARCHAR", L"NVARCHAR"},
        {12, 1, 0, 0, -1, -1, INT_MAX, L"VARCHAR", L"NVARCHAR"},
        {13, 1, 0, 0, -1, -1, INT_MAX, L"VARCHAR", L"NVARCHAR"},
        {14, 0, 0, 0, -1, -1, INT_MAX, L"VARCHAR", L"NVARCHAR"},
        {-3, 0, 0, 0, -1, -1, INT_MAX, L"VARCHAR", L"NVARCHAR"},
    };
    for (const stKindRow& r : rows) {
        SCOPED_TRACE(r.nKind);
        m_connection.SetDBKind(r.nKind);
        EXPECT_EQ(r.bSubQuery, m_connection.bSupportSubQuery());
        EXPECT_EQ(r.bLimitOrTop, m_connection.bSupportLimitOrTop());
        EXPECT_EQ(r.bTreat0000DateAsNULL, m_connection.bTreat0000DateAsNULL());
        EXPECT_EQ(r.nVarCharMaxLen, m_connection.nGetVarCharMaxLen());
        EXPECT_EQ(r.nNVarCharMaxLen, m_connection.nGetNVarCharMaxLen());
        EXPECT_EQ(r.nOrderByMax, m_connection.nGetOrderByMaxExpressionNbr());
        EXPECT_STREQ(r.pszVarChar, m_connection.pszGetVarCharType());
        EXPECT_STREQ(r.pszNVarChar, m_connection.pszGetNVarCharType());
    }
}

TEST_F(DialectAnswers, LargeTextTypes)
{
    struct stRow
    {
        int nKind;
        int nMajor;
        const wchar_t* pszCLOB;
        const wchar_t* pszNCLOB;
    };
    const stRow rows[] = {
        {5, -1, L"LONGBLOB", L"LONGBLOB"},  // server version not read yet
        {5, 3, L"LONGBLOB", L"LONGBLOB"},
        {5, 4, L"LONGTEXT", L"LONGTEXT CHARACTER SET ucs2"},
        {5, 10, L"LONGTEXT", L"LONGTEXT CHARACTER SET ucs2"},
        {1, 3, L"CLOB", L"NCLOB"},
        {0, 10, L"CLOB", L"NCLOB"},
    };
    for (const stRow& r : rows) {
        SCOPED_TRACE(testing::Message() << r.nKind << " " << r.nMajor);
        m_connection.SetDBKind(r.nKind);
        m_connection.SetServerVersion(L"", r.nMajor);
        EXPECT_STREQ(r.pszCLOB, m_connection.pszGetCLOBType());
        EXPECT_STREQ(r.pszNCLOB, m_connection.pszGetNCLOBType());
    }
}

TEST_F(DialectAnswers, RecordLockHintAndCursorNames)
{
    StandinConnectionDescription host;
    host.SetExtendedInfo(L"VX RECORD LOCK=WITH (UPDLOCK)");
    CTestConnection connection(L"id", &host);
    EXPECT_STREQ(L"WITH (UPDLOCK)", connection.pszGetNoLockHint());
    EXPECT_STREQ(L"Default", CNAConnectionDescription::s_pszGetCursorLocation(NA_CURSOR_DEFAULT));
    EXPECT_STREQ(L"Client", CNAConnectionDescription::s_pszGetCursorLocation(NA_CURSOR_CLIENT));
    EXPECT_STREQ(L"Server", CNAConnectionDescription::s_pszGetCursorLocation(NA_CURSOR_SERVER));
    EXPECT_STREQ(L"Unknown", CNAConnectionDescription::s_pszGetCursorLocation(static_cast<eCURSORLOCATION>(3)));
}

TEST(DialectNames, DecomposeTableName)
{
    struct stRow
    {
        const wchar_t* pszName;
        const wchar_t* pszDataBase;
        const wchar_t* pszOwner;
        const wchar_t* pszTable;
    };
    const stRow rows[] = {
        {L"T", L"", L"", L"T"},
        {L"own.T", L"", L"own", L"T"},
        {L"db.own.T", L"db", L"own", L"T"},
        {L"db.own.T.x", L"db", L"own", L"T.x"},
        {L"db  .own  .T  ", L"db", L"own", L"T"},
        {L"..", L"", L"", L""},
        {L"", L"", L"", L""},
    };
    for (const stRow& r : rows) {
        SCOPED_TRACE(testing::Message() << "name <" << CTString(r.pszName).pszGet() << ">");
        CTString db(L"old"), owner(L"old"), table(L"old");
        CNAConnectionDescription::DecomposeTableName(&db, &owner, &table, r.pszName);
        EXPECT_EQ(CTString(r.pszDataBase), db);
        EXPECT_EQ(CTString(r.pszOwner), owner);
        EXPECT_EQ(CTString(r.pszTable), table);
    }
    // The name may be an output's own text.
    CTString name(L"a.b.c");
    CNAConnectionDescription::DecomposeTableName(nullptr, nullptr, &name, name.pszGet());
    EXPECT_EQ(CTString(L"c"), name);
}

TEST(DialectNames, ExtractOwner)
{
    struct stRow
    {
        const wchar_t* pszOwner;
        const wchar_t* pszName;
        const wchar_t* pszOwnerBefore;
        const wchar_t* pszOwnerAfter;
        const wchar_t* pszTableAfter;
    };
    const stRow rows[] = {
        {L"", L"own.T.x", L"", L"own", L"T.x"},
        {nullptr, L"T", L"", L"", L"T"},
        {L"given", L"own.T", L"", L"given", L"own.T"},
        {L"", L"own.T", L"kept", L"kept", L"own.T"},
        {L"given", L"", L"kept", L"kept", L"unchanged"},
        {L"given", nullptr, L"", L"", L"unchanged"},
    };
    for (const stRow& r : rows) {
        SCOPED_TRACE(testing::Message() << "row " << (&r - rows));
        CTString owner(r.pszOwnerBefore), table(L"unchanged");
        EXPECT_EQ(1, CNAConnectionDescription::bExtractOwner(r.pszOwner, r.pszName, &owner, &table));
        EXPECT_EQ(CTString(r.pszOwnerAfter), owner);
        EXPECT_EQ(CTString(r.pszTableAfter), table);
    }
}

TEST(DialectNames, ReservedWord)
{
    EXPECT_TRUE(CNAConnectionDescription::s_bReservedSQLWord(L"GROUP"));
    EXPECT_TRUE(CNAConnectionDescription::s_bReservedSQLWord(L"group"));
    EXPECT_FALSE(CNAConnectionDescription::s_bReservedSQLWord(L"ORDER"));
    EXPECT_FALSE(CNAConnectionDescription::s_bReservedSQLWord(L"GROUPS"));
    EXPECT_FALSE(CNAConnectionDescription::s_bReservedSQLWord(nullptr));
}

}  // namespace
