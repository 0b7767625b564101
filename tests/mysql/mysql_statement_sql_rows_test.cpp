// A MySQL execution statement's row and column names as text, and the one
// value of a query, over the fake client library: NULL and empty values
// leave empty places between separators, a column limit of 0 or below
// means every column, a row asked without a current row is user error 7,
// a result without columns leaves a column list as it was, and a query
// without row leaves the value untouched and the statement reset.
#include <gtest/gtest.h>

#include <string>

#include "common/text/xy_string_concat.h"
#include "tests/mysql/mysql_statement_fakes.h"

namespace {

using vxtest::bDumpHas;
using vxtest::FakeColumn;
using vxtest::FakeNoResult;
using vxtest::FakeResultSet;
using vxtest::SiteLine;
using vxtest::TextOf;

class MySQLStatementRows : public vxtest::MySQLStatementOverFake
{
protected:
    void SetUp() override
    {
        vxtest::MySQLStatementOverFake::SetUp();
        Fake().scripts = {
            {"SELECT a, b, c, d FROM t",
             {FakeResultSet({FakeColumn("a"), FakeColumn("b"), FakeColumn("c"), FakeColumn("d")},
                            {{std::string("x"), std::nullopt, std::string(""), std::string("é")}})}},
            {"SELECT v FROM none", {FakeResultSet({FakeColumn("v")}, {})}},
            {"SELECT v FROM one", {FakeResultSet({FakeColumn("k"), FakeColumn("v")}, {{std::string("1"), std::string("42")}})}},
            {"DELETE FROM t", {FakeNoResult(3)}},
        };
    }
};

TEST_F(MySQLStatementRows, ARowAsText)
{
    CMySQLStatementSQL* pclStatement = OpenStatement();
    CXYStringConcat<wchar_t> clRow(1024);
    ASSERT_EQ(1, pclStatement->bExecuteDirect(L"SELECT a, b, c, d FROM t", nullptr, 0));
    EXPECT_EQ(0, pclStatement->bGetRow(&clRow, L";", 0, 0)) << "no current row before the fetch";
    EXPECT_EQ(7u, m_pclError->dwGetErrorId());
    EXPECT_TRUE(bDumpHas(*m_pclError, SiteLine(50, 3)));
    m_pclError->Reset();

    ASSERT_EQ(1, pclStatement->bFetch(0));
    const struct
    {
        int nLimit;
        const wchar_t* pszExpected;
    } aCases[] = {{0, L"x;;;é"}, {-3, L"x;;;é"}, {2, L"x;"}, {1, L"x"}, {4, L"x;;;é"}, {9, L"x;;;é"}};
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.nLimit);
        clRow.Add(L"left over");
        EXPECT_EQ(1, pclStatement->bGetRow(&clRow, L";", c.nLimit, 0));
        EXPECT_STREQ(c.pszExpected, clRow.pszGet());
    }
    CAny row;
    EXPECT_EQ(1, pclStatement->bGetRow(&row, L" | ", 0, 0));
    EXPECT_EQ(L"x |  |  | é", TextOf(row));

    // At the end of data there is no current row again; the value is set
    // all the same, to the empty text.
    ASSERT_EQ(1, pclStatement->bFetch(0));
    EXPECT_EQ(0, pclStatement->bGetRow(&row, L";", 0, 0));
    EXPECT_EQ(7u, m_pclError->dwGetErrorId());
    EXPECT_EQ(ZLTYPE_PSTRW, row.nGetTypeCode());
    EXPECT_EQ(L"", TextOf(row));
}

TEST_F(MySQLStatementRows, ColumnNamesOfAResultWithoutColumns)
{
    CMySQLStatementSQL* pclStatement = OpenStatement();
    ASSERT_EQ(1, pclStatement->bExecuteDirect(L"DELETE FROM t", nullptr, 0));
    CAny list;
    NA_bSetWideText(&list, ZLTYPE_DSTRW, L"as it was");
    EXPECT_EQ(1, pclStatement->bGetColumnList(&list, 0));
    EXPECT_EQ(L"as it was", TextOf(list));
    ASSERT_EQ(1, pclStatement->bExecuteDirect(L"SELECT a, b, c, d FROM t", nullptr, 0));
    EXPECT_EQ(1, pclStatement->bGetColumnList(&list, 0));
    EXPECT_EQ(L"a\r\nb\r\nc\r\nd", TextOf(list));
}

TEST_F(MySQLStatementRows, TheOneValueOfAQuery)
{
    CMySQLStatementSQL* pclStatement = OpenStatement();
    CAny value;
    ASSERT_EQ(1, pclStatement->bGetRequestedValue(&value, 1, L"SELECT v FROM one"));
    EXPECT_EQ(L"42", TextOf(value));
    int nColumns = -1;
    pclStatement->bGetColumnNbr(&nColumns, 0);
    EXPECT_EQ(0, nColumns) << "reset after the read";
    EXPECT_EQ(0, State().nLiveResults);

    NA_bSetWideText(&value, ZLTYPE_DSTRW, L"untouched");
    EXPECT_EQ(1, pclStatement->bGetRequestedValue(&value, 0, L"SELECT v FROM none"));
    EXPECT_EQ(L"untouched", TextOf(value));
    EXPECT_EQ(0, pclStatement->bParseOpened());

    State().queryErrors["SELECT v FROM gone"] = 1146;
    EXPECT_EQ(0, pclStatement->bGetRequestedValue(&value, 0, L"SELECT v FROM gone"));
    EXPECT_EQ(L"untouched", TextOf(value));
    EXPECT_EQ(1146u, m_pclError->dwGetDataBaseErrorCode());
}

}  // namespace
