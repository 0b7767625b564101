// Internal queries on the run's private server: texts run on a private data
// access and read row by row or as a whole text (separators, NULL values,
// a result without rows, a text without result), a text the server refuses,
// a read that fails in the middle of the whole result, the moves and
// values, the columns, and the query run again.
#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "common/text/xy_string_concat.h"
#include "mysql/mysql_statement.h"
#include "native/access/internal_parse.h"
#include "native/access/statement.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/model/column.h"
#include "native/model/convert_variant.h"
#include "tests/native/access/statement_server_fixture.h"

namespace {

constexpr unsigned kSyntaxError = 1064;
constexpr unsigned kConversionFailed = 53;

// A statement whose reads fail on one value, as a value that cannot be
// converted fails them: the error is recorded and the read gives 0.
class CUnreadableValueStatement : public CMySQLStatement
{
public:
    CUnreadableValueStatement(CNADataAccess* pclDataAccess, CNAError* pclError)
        : CMySQLStatement(pclDataAccess, pclError), m_pclErrorTarget(pclError)
    {
    }
    int bGetSQLColumnValue(CNAConvertVariant* pclValue, unsigned nColumn) override
    {
        if (!CMySQLStatement::bGetSQLColumnValue(pclValue, nColumn))
            return 0;
        CAny value;
        if (!pclValue->bGetValue(&value) || vxtest::TextOf(value) != L"unreadable")
            return 1;
        CNAError::g_RaiseSiteError(m_pclErrorTarget, NASite::kConversionFailed, nullptr, L"$VXInternal", L"v", 110, 0,
                                   L"unreadable");
        return 0;
    }
    using CMySQLStatement::bGetSQLColumnValue;

private:
    CNAError* m_pclErrorTarget;
};

struct ReleaseParse
{
    void operator()(CNAInternalParse* pclParse) const { pclParse->dwRelease(); }
};
using HeldParse = std::unique_ptr<CNAInternalParse, ReleaseParse>;

class InternalParse : public vxtest::StatementOnServer
{
protected:
    void Choose(CMySQLDriverSeams& seams) override
    {
        seams.allocStatement = [](CMySQLDriver&, CNADataAccess* pclDataAccess, CNAError* pclError) -> CNAStatement* {
            return new (std::nothrow) CUnreadableValueStatement(pclDataAccess, pclError);
        };
    }
    void SetUp() override
    {
        vxtest::StatementOnServer::SetUp();
        ASSERT_TRUE(m_client.bExecute("CREATE TABLE ip (id INT PRIMARY KEY, name VARCHAR(20), v VARCHAR(20))"))
            << m_client.sError();
        ASSERT_TRUE(m_client.bExecute("INSERT INTO ip VALUES (1, 'one', 'a'), (2, NULL, 'b'), (3, 'three', NULL)"))
            << m_client.sError();
    }

    // The text run, the object held by the test with the first reference.
    HeldParse Parse(const wchar_t* pszText)
    {
        m_pclError->Reset();
        CNAInternalParse* pclParse = CNAInternalParse::s_pclGetNAInternalParse(pszText, m_pclError, m_pclConnection);
        if (pclParse != nullptr) {
            EXPECT_EQ(0u, pclParse->dwGetRefCount());
            pclParse->dwAddRef();
        }
        return HeldParse(pclParse);
    }
    // The one-shot form's answer and the text it left.
    std::pair<int, std::wstring> AllAsText(const wchar_t* pszText, const wchar_t* pszRow, const wchar_t* pszColumn,
                                           const wchar_t* pszBefore = L"")
    {
        m_pclError->Reset();
        CXYStringConcat<wchar_t> text;
        text.Add(pszBefore);
        const int bDone =
            CNAInternalParse::s_bDoInternalParse(pszText, m_pclError, m_pclConnection, &text, pszRow, pszColumn);
        return {bDone, text.pszGet()};
    }
};

// Rows joined by the row separator, columns by the column separator; a NULL
// value is nothing between two separators (or nothing at the end of a row).
TEST_F(InternalParse, TheWholeResultAsText)
{
    const struct
    {
        const wchar_t* pszText;
        const wchar_t* pszRow;
        const wchar_t* pszColumn;
        const wchar_t* pszBefore;
        const wchar_t* pszExpected;
    } cases[] = {
        {L"SELECT 1, 2, 3 UNION ALL SELECT 4, 5, 6", L"R", L"C", L"", L"1C2C3R4C5C6"},
        {L"SELECT id, name, v FROM ip ORDER BY id", L"\r\n", L"\t", L"", L"1\tone\ta\r\n2\t\tb\r\n3\tthree\t"},
        {L"SELECT NULL, NULL", L"|", L",", L"", L","},
        {L"SELECT name FROM ip ORDER BY id", L"|", L",", L"", L"one||three"},
        // A text that holds something already gets the row separator first.
        {L"SELECT id FROM ip WHERE id < 3 ORDER BY id", L"|", L",", L"head", L"head|1|2"},
        // No row: nothing appended, and success.
        {L"SELECT id, name FROM ip WHERE id > 100", L"|", L",", L"", L""},
        {L"SELECT id, name FROM ip WHERE id > 100", L"|", L",", L"head", L"head"},
        // A text without result: nothing to append, and success.
        {L"DO 1", L"|", L",", L"head", L"head"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(vxtest::StatementOnServer::Utf8(c.pszText));
        const auto [bDone, text] = AllAsText(c.pszText, c.pszRow, c.pszColumn, c.pszBefore);
        EXPECT_EQ(1, bDone) << m_pclError->pszGetError();
        EXPECT_EQ(std::wstring(c.pszExpected), text);
    }
}

// A text the server refuses makes no object; its error stays in the error
// object, and the one-shot form appends nothing.
TEST_F(InternalParse, ATextTheServerRefuses)
{
    EXPECT_EQ(nullptr, Parse(L"SELEC id FROM ip"));
    EXPECT_EQ(kSyntaxError, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
    const auto [bDone, text] = AllAsText(L"SELECT id FROM missing_table", L"|", L",", L"head");
    EXPECT_EQ(0, bDone);
    EXPECT_EQ(L"head", text);
    EXPECT_EQ(1146u, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
}

// A read that fails in the middle of the whole result fails it: the rows
// before it stay in the text, the read's error in the error object.
TEST_F(InternalParse, AReadFailingInTheMiddleFailsTheWholeResult)
{
    ASSERT_TRUE(m_client.bExecute("INSERT INTO ip VALUES (4, 'four', 'unreadable'), (5, 'five', 'e')"))
        << m_client.sError();
    HeldParse parse = Parse(L"SELECT id, v FROM ip ORDER BY id");
    ASSERT_NE(nullptr, parse) << m_pclError->pszGetError();
    CXYStringConcat<wchar_t> text;
    EXPECT_EQ(0, parse->bFetchAll(&text, L"|", L","));
    EXPECT_EQ(std::wstring(L"1,a|2,b|3,"), text.pszGet());
    EXPECT_EQ(kConversionFailed, m_pclError->nGetUserErrorCode()) << m_pclError->pszGetError();

    const auto [bDone, oneShot] = AllAsText(L"SELECT v FROM ip ORDER BY id", L"|", L",");
    EXPECT_EQ(0, bDone);
    EXPECT_EQ(L"a|b|", oneShot);
    EXPECT_EQ(kConversionFailed, m_pclError->nGetUserErrorCode()) << m_pclError->pszGetError();
    // A failing first row fails too.
    EXPECT_EQ(0, AllAsText(L"SELECT v FROM ip WHERE id = 4", L"|", L",").first);
}

// Moving row by row, values read into runtime values, the result's columns,
// and the query run again: it reads the server's rows anew.
TEST_F(InternalParse, MovesValuesColumnsAndRunningAgain)
{
    HeldParse parse = Parse(L"SELECT id, name FROM ip ORDER BY id");
    ASSERT_NE(nullptr, parse) << m_pclError->pszGetError();
    EXPECT_EQ(2, parse->nGetColumnNbr());
    ASSERT_NE(nullptr, parse->pclGetColumnNoRef(1));
    EXPECT_STREQ(L"name", parse->pclGetColumnNoRef(1)->pszGetName());
    EXPECT_EQ(parse->pclGetColumnNoRef(0), parse->pclGetColumnNoRef(L"id"));
    EXPECT_EQ(nullptr, parse->pclGetColumnNoRef(2));
    EXPECT_EQ(nullptr, parse->pclGetColumnNoRef(-1));
    EXPECT_EQ(nullptr, parse->pclGetColumnNoRef(L"missing"));

    auto ReadAll = [&]() {
        std::vector<std::wstring> rows;
        int bOut = 0;
        CAny values[2];
        for (eNA_PARSEDIRECTION eDirection = NADirection::kFirst; rows.size() < 10; eDirection = NADirection::kNext) {
            if (!parse->bFetchData(eDirection, &bOut, values, 2)) {
                rows.push_back(L"(failed)");
                break;
            }
            if (bOut)
                break;
            rows.push_back(vxtest::TextOf(values[0]) + L"=" + vxtest::TextOf(values[1]));
        }
        return rows;
    };
    EXPECT_EQ((std::vector<std::wstring>{L"1=one", L"2=(null)", L"3=three"}), ReadAll()) << m_pclError->pszGetError();
    // Out of the result, moving stays out.
    int bOut = 0;
    EXPECT_EQ(1, parse->bFetch(NADirection::kNext, &bOut));
    EXPECT_EQ(1, bOut);
    // Moves alone, with the column's value.
    ASSERT_EQ(1, parse->bFetch(NADirection::kFirst, &bOut)) << m_pclError->pszGetError();
    EXPECT_EQ(0, bOut);
    ASSERT_EQ(1, parse->bFetch(NADirection::kNext, &bOut)) << m_pclError->pszGetError();
    CAny value;
    ASSERT_EQ(1, parse->pclGetColumnNoRef(L"id")->bGetCurrentValue(&value, 0));
    EXPECT_EQ(L"2", vxtest::TextOf(value));

    ASSERT_TRUE(m_client.bExecute("INSERT INTO ip VALUES (4, 'four', 'd')")) << m_client.sError();
    ASSERT_EQ(1, parse->bReExecute()) << m_pclError->pszGetError();
    EXPECT_EQ((std::vector<std::wstring>{L"1=one", L"2=(null)", L"3=three", L"4=four"}), ReadAll())
        << m_pclError->pszGetError();
}

// A text without result makes an object without statement: no columns,
// moves leave at once, reads have nothing to read.
TEST_F(InternalParse, ATextWithoutResult)
{
    HeldParse parse = Parse(L"DO 1");
    ASSERT_NE(nullptr, parse) << m_pclError->pszGetError();
    EXPECT_EQ(0, parse->nGetColumnNbr());
    EXPECT_EQ(nullptr, parse->pclGetColumnNoRef(0));
    int bOut = 0;
    EXPECT_EQ(1, parse->bFetch(NADirection::kFirst, &bOut));
    EXPECT_EQ(1, bOut);
    CAny value;
    EXPECT_EQ(0, parse->bFetchData(NADirection::kFirst, &bOut, &value, 1));
    CXYStringConcat<wchar_t> text;
    EXPECT_EQ(0, parse->bFetchData(NADirection::kFirst, &bOut, &text, L"|", L","));
    EXPECT_EQ(0, parse->bFetchAll(&text, L"|", L","));
    EXPECT_EQ(0, parse->bReExecute());
    EXPECT_EQ(0, text.nGetLongueur());
}

}  // namespace
