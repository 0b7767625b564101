// Auto-increment values on the run's private server: the object the
// driver's slot 53 makes asks the server for the next value and the current
// maximum of a table's column and of a query's column, fails with the
// server's error (the next value with its own message in front), and fails
// with user error 59 when its query answers no row at all.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/text/xy_string_concat.h"
#include "native/access/data_access.h"
#include "native/access/id_auto.h"
#include "native/driver/error_object.h"
#include "native/model/record.h"
#include "tests/host/db/standin_parsed_query.h"
#include "tests/native/access/statement_server_fixture.h"

namespace {

using vxstandin::Span;

constexpr unsigned kNoSuchTable = 1146;
constexpr unsigned kMaxWithoutRow = 59;
constexpr const wchar_t* kNextValuePrefix =
    L"Impossible de calculer la valeur automatique suivante de <ai>, rubrique <id>.";

// Both questions asked with a query that answers no row.
class CNoRowIDAuto : public CNAIDAuto
{
public:
    int _bBuildQueryGetNextValue(CXYStringConcat<wchar_t>* pclText, CNADataAccess*, CNAColumn*) override
    {
        pclText->Add(L"SELECT id FROM ai WHERE id < 0");
        return 1;
    }
    int _bBuildQueryGetMaxCurrentValue(CXYStringConcat<wchar_t>* pclText, CNADataAccess* pclAccess,
                                       CNAColumn* pclColumn) override
    {
        return _bBuildQueryGetNextValue(pclText, pclAccess, pclColumn);
    }
};

class IDAutoOnServer : public vxtest::StatementOnServer
{
protected:
    void SetUp() override
    {
        vxtest::StatementOnServer::SetUp();
        m_pclAccess = OpenTable("ai", "CREATE TABLE ai (id INT AUTO_INCREMENT PRIMARY KEY, v INT)");
        m_pclIDAuto = Driver()->pclAllocIDAuto();
        ASSERT_NE(nullptr, m_pclIDAuto);
        EXPECT_EQ(0u, m_pclIDAuto->m_dwRefCount);
        REF_AddRef(m_pclIDAuto);
    }
    void TearDown() override
    {
        if (m_pclIDAuto != nullptr)
            REF_Release(m_pclIDAuto);
        vxtest::StatementOnServer::TearDown();
    }

    struct Answer
    {
        int bDone;
        std::wstring sValue;
        unsigned short nType;
    };
    // One question, its query closed after it.
    Answer Ask(bool bNext, CNAIDAuto* pclIDAuto, CNADataAccess* pclAccess, const wchar_t* pszColumn)
    {
        m_pclError->Reset();
        CAny value;
        CNAColumn* pclColumn = Column(pclAccess, pszColumn);
        const int bDone = bNext ? pclIDAuto->bGetNextValue(pclAccess, pclColumn, m_pclError, &value)
                                : pclIDAuto->bGetMaxCurrentValue(pclAccess, pclColumn, m_pclError, &value);
        const CNAInternalParse* pclHeld =
            bNext ? pclIDAuto->pclGetNextValueQueryNoRef() : pclIDAuto->pclGetMaxCurrentValueQueryNoRef();
        EXPECT_EQ(nullptr, pclHeld) << "the query outlived its question";
        const unsigned short nType = value.nGetTypeCode();
        return {bDone, vxtest::TextOf(value), nType};
    }
    Answer NextValue(CNAIDAuto* pclIDAuto, CNADataAccess* pclAccess, const wchar_t* pszColumn)
    {
        return Ask(true, pclIDAuto, pclAccess, pszColumn);
    }
    Answer MaxValue(CNAIDAuto* pclIDAuto, CNADataAccess* pclAccess, const wchar_t* pszColumn)
    {
        return Ask(false, pclIDAuto, pclAccess, pszColumn);
    }
    std::wstring Error() { return m_pclError->pszGetError(); }

    CNADataAccess* m_pclAccess = nullptr;
    CNAIDAuto* m_pclIDAuto = nullptr;
    std::unique_ptr<StandinParsedQuery> m_parsed;
};

// An empty table: the next value is the 64-bit integer 1, the current
// maximum NULL (the MAX query still answers one row). Then the largest value
// plus one; the data access's own statements are not touched.
TEST_F(IDAutoOnServer, NextValueAndCurrentMaximum)
{
    const unsigned nStatements = m_pclAccess->nGetStatementCount();
    const struct
    {
        const char* pszInsert;
        const wchar_t* pszNext;
        const wchar_t* pszMax;
    } cases[] = {
        {nullptr, L"1", L"(null)"},
        {"INSERT INTO ai VALUES (7, 1), (41, 2)", L"42", L"41"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszNext);
        if (c.pszInsert != nullptr) {
            ASSERT_TRUE(m_client.bExecute(c.pszInsert)) << m_client.sError();
        }
        const Answer next = NextValue(m_pclIDAuto, m_pclAccess, L"id");
        EXPECT_EQ(1, next.bDone) << Error();
        EXPECT_EQ(c.pszNext, next.sValue);
        EXPECT_EQ(ZLTYPE_I8, next.nType);
        const Answer max = MaxValue(m_pclIDAuto, m_pclAccess, L"id");
        EXPECT_EQ(1, max.bDone) << Error();
        EXPECT_EQ(c.pszMax, max.sValue);
    }
    EXPECT_EQ(nStatements, m_pclAccess->nGetStatementCount());
}

// A question the server cannot answer fails with its error; the next value
// puts its own message in front of it, the current maximum does not.
TEST_F(IDAutoOnServer, AQuestionTheServerCannotAnswer)
{
    ASSERT_TRUE(m_client.bExecute("DROP TABLE ai")) << m_client.sError();
    const Answer next = NextValue(m_pclIDAuto, m_pclAccess, L"id");
    EXPECT_EQ(0, next.bDone);
    EXPECT_EQ(kNoSuchTable, m_pclError->dwGetDataBaseErrorCode()) << Error();
    const std::wstring sNextError = Error();
    const size_t nPrefix = sNextError.find(kNextValuePrefix);
    EXPECT_NE(std::wstring::npos, nPrefix) << sNextError;
    EXPECT_LT(nPrefix, sNextError.find(L"doesn't exist")) << sNextError;

    const Answer max = MaxValue(m_pclIDAuto, m_pclAccess, L"id");
    EXPECT_EQ(0, max.bDone);
    EXPECT_EQ(kNoSuchTable, m_pclError->dwGetDataBaseErrorCode()) << Error();
    EXPECT_EQ(std::wstring::npos, Error().find(L"Impossible de calculer")) << Error();
}

// A query answering no row at all: user error 59 at site 14.1 with the
// logical name and the column's name; the next value with its message in
// front.
TEST_F(IDAutoOnServer, AQueryAnsweringNoRowAtAll)
{
    CNoRowIDAuto noRow;
    const Answer max = MaxValue(&noRow, m_pclAccess, L"id");
    EXPECT_EQ(0, max.bDone);
    EXPECT_EQ(kMaxWithoutRow, m_pclError->nGetUserErrorCode()) << Error();
    EXPECT_STREQ(L"ai", m_pclError->pszGetLogicalTableName());
    EXPECT_STREQ(L"id", m_pclError->pszGetItemName());
    EXPECT_NE(std::wstring::npos, Error().find(L"IEZODIRA=14.1\r\n")) << Error();
    EXPECT_NE(std::wstring::npos, Error().find(L"<ai>, rubrique <id>")) << Error();
    EXPECT_EQ(std::wstring::npos, Error().find(L"Impossible de calculer")) << Error();

    const Answer next = NextValue(&noRow, m_pclAccess, L"id");
    EXPECT_EQ(0, next.bDone);
    EXPECT_EQ(kMaxWithoutRow, m_pclError->nGetUserErrorCode()) << Error();
    EXPECT_NE(std::wstring::npos, Error().find(kNextValuePrefix)) << Error();
}

// The texts asked: the table's formatted names; for a query source the
// item's name in its source and its source table, formatted by the
// connection, whatever the query calls them.
TEST_F(IDAutoOnServer, TheQueriesOfATableAndOfAQuery)
{
    ASSERT_TRUE(m_client.bExecute("INSERT INTO ai VALUES (41, 5)")) << m_client.sError();
    CNADataSourceDescription* pclTable = Driver()->pclAllocDataSourceDescription(m_pclConnection, m_pclError);
    pclTable->AddRef();
    m_descriptions.push_back(pclTable);
    ASSERT_EQ(1, pclTable->bInitDataSourceDescriptionFromDB(L"ai", 0)) << m_pclError->pszGetError();
    const std::wstring text = L"SELECT id AS k, v FROM ai";
    vxstandin::ParsedQuerySpec spec{.text = text};
    spec.from = {{.name = L"ai", .position = Span(text, L"ai"), .description = pclTable}};
    spec.items = {{.alias = L"k", .item = L"id", .table = L"ai", .description = pclTable->pclNAGetItemNoRef(L"id", 0)},
                  {.item = L"v", .table = L"ai", .description = pclTable->pclNAGetItemNoRef(L"v", 0)}};
    // The parse outlives the data access, which the fixture releases.
    m_parsed = std::make_unique<StandinParsedQuery>(spec);
    CNADataAccess* pclQuery = Access(nullptr);
    int bHasResult = 0;
    m_pclError->Reset();
    ASSERT_EQ(1, pclQuery->bExecuteQuery(&bHasResult, L"QK", m_parsed.get(), 0, nullptr)) << Error();
    ASSERT_EQ(1, pclQuery->bIsQuery());
    EXPECT_STREQ(L"k", Column(pclQuery, L"k")->pszGetName());

    const struct
    {
        CNADataAccess* pclAccess;
        const wchar_t* pszColumn;
        const wchar_t* pszNextText;
        const wchar_t* pszMaxText;
    } cases[] = {
        {m_pclAccess, L"id", L"SELECT MAX(`id`)+1 FROM `ai`", L"SELECT MAX(`id`) FROM `ai`"},
        {pclQuery, L"k", L"SELECT MAX(`id`)+1 FROM `ai`", L"SELECT MAX(`id`) FROM `ai`"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.pszColumn));
        CXYStringConcat<wchar_t> next;
        ASSERT_EQ(1, m_pclIDAuto->_bBuildQueryGetNextValue(&next, c.pclAccess, Column(c.pclAccess, c.pszColumn)));
        EXPECT_STREQ(c.pszNextText, next.pszGet());
        CXYStringConcat<wchar_t> max;
        ASSERT_EQ(1, m_pclIDAuto->_bBuildQueryGetMaxCurrentValue(&max, c.pclAccess, Column(c.pclAccess, c.pszColumn)));
        EXPECT_STREQ(c.pszMaxText, max.pszGet());
        EXPECT_EQ(L"42", NextValue(m_pclIDAuto, c.pclAccess, c.pszColumn).sValue) << Error();
        EXPECT_EQ(L"41", MaxValue(m_pclIDAuto, c.pclAccess, c.pszColumn).sValue) << Error();
    }
}

}  // namespace
