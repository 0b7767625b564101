// A statement's counts and the position of a browse in per mille, on the
// run's private server: the COUNT of a parse and its row-by-row count, what
// an open result can count without the server, and the per mille of the
// current row (rounded up) and of a move, on plain and inverted orders.
#include <gtest/gtest.h>

#include <string>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "tests/native/access/browse_server_fixture.h"

namespace {

using vxtest::FromUtf8;

constexpr unsigned kNoCurrentRecord = 7;
constexpr eNA_PRECISION kPrecision = static_cast<eNA_PRECISION>(0);

class StatementCount : public vxtest::BrowseOnServer
{
protected:
    int PerMille(CNADataAccess* pclAccess, const wchar_t* pszItem)
    {
        int nPerMille = -2;
        EXPECT_EQ(1, pclAccess->bHPositionCourante(&nPerMille, pszItem, kPrecision))
            << Utf8(m_pclError->pszGetError());
        return nPerMille;
    }
};

// The per mille of each row, read from the start and from the end (an
// inverted command counts from its end): rounded up, the last row 1000.
TEST_F(StatementCount, PerMilleOfTheCurrentRowOnBothOrders)
{
    CNADataAccess* pclAccess = OpenRows(3);
    const int expected[] = {334, 667, 1000};
    Read(pclAccess, L"id", NADirection::kFirst);
    EXPECT_EQ(0, StatementOf(pclAccess, L"id")->bInvertFetch());
    for (int nRow = 1; nRow <= 3; ++nRow) {
        ASSERT_EQ(nRow, Id(pclAccess));
        EXPECT_EQ(expected[nRow - 1], PerMille(pclAccess, L"id")) << "forward, row " << nRow;
        Read(pclAccess, L"id", NADirection::kNext);
    }
    Read(pclAccess, L"id", NADirection::kLast);
    EXPECT_EQ(1, StatementOf(pclAccess, L"id")->bInvertFetch());
    for (int nRow = 3; nRow >= 1; --nRow) {
        ASSERT_EQ(nRow, Id(pclAccess));
        EXPECT_EQ(expected[nRow - 1], PerMille(pclAccess, L"id")) << "inverted, row " << nRow;
        Read(pclAccess, L"id", NADirection::kPrevious);
    }
}

// A move to a per mille of 10 rows: the row is per mille times the count
// divided by 1000, at least the first; the same rows on an inverted
// command.
TEST_F(StatementCount, MoveToAPerMille)
{
    CNADataAccess* pclAccess = OpenRows(10);
    struct Case
    {
        unsigned nPerMille;
        int nRow;
    };
    const Case cases[] = {{0, 1}, {1, 1}, {99, 1}, {100, 1}, {199, 1}, {200, 2}, {500, 5}, {999, 9}, {1000, 10}};
    for (eNA_PARSEDIRECTION eStart : {NADirection::kFirst, NADirection::kLast}) {
        Read(pclAccess, L"v", eStart);
        for (const Case& c : cases) {
            ASSERT_EQ(1, pclAccess->bHPositionne(L"v", c.nPerMille, kPrecision, 0)) << Utf8(m_pclError->pszGetError());
            EXPECT_EQ(c.nRow, Id(pclAccess)) << c.nPerMille << " from " << static_cast<int>(eStart);
            EXPECT_EQ(c.nRow * 10, IntOf(pclAccess, L"v"));
        }
    }
}

// An item never browsed: no per mille (-1, user error 7), and a move to a
// per mille does nothing and succeeds.
TEST_F(StatementCount, AnItemNeverBrowsed)
{
    CNADataAccess* pclAccess = OpenRows(4);
    int nPerMille = 5;
    m_pclError->Reset();
    EXPECT_EQ(0, pclAccess->bHPositionCourante(&nPerMille, L"v", kPrecision));
    EXPECT_EQ(-1, nPerMille);
    EXPECT_EQ(kNoCurrentRecord, m_pclError->nGetUserErrorCode());
    const unsigned nStatements = pclAccess->nGetStatementCount();
    EXPECT_EQ(1, pclAccess->bHPositionne(L"v", 500, kPrecision, 0));
    EXPECT_EQ(nStatements, pclAccess->nGetStatementCount());
}

// The COUNT of a statement's parse and the count of its rows read one by
// one agree, with and without the parse's condition; what the open
// result can count alone.
TEST_F(StatementCount, CountsOfAParse)
{
    CNADataAccess* pclAccess = OpenRows(12);
    const CAny low = Int(30);
    const CAny high = Int(80);
    ASSERT_EQ(1, pclAccess->bHFiltre(L"v", &low, 1, &high, 0, nullptr)) << Utf8(m_pclError->pszGetError());
    Read(pclAccess, L"v", NADirection::kFirst);
    CNAStatement* pclStatement = StatementOf(pclAccess, L"v");
    long nCount = -2;
    ASSERT_EQ(1, pclStatement->bGetNbEnrCurrentParse(&nCount, 0, 0)) << "the open result holds the parse";
    EXPECT_EQ(5, nCount);
    EXPECT_EQ(0, pclStatement->bGetNbEnrCurrentParse(&nCount, 0, 1)) << "asked without the filter in force";

    struct Case
    {
        int bNoCondition;
        long nCount;
    };
    for (const Case& c : {Case{0, 5}, Case{1, 12}}) {
        nCount = -2;
        EXPECT_EQ(1, pclStatement->bGetNbEnr(&nCount, 0, c.bNoCondition)) << Utf8(m_pclError->pszGetError());
        EXPECT_EQ(c.nCount, nCount) << "COUNT, no condition " << c.bNoCondition;
    }
    nCount = -2;
    EXPECT_EQ(1, pclStatement->_bGetNbEnr_NoSubQuery(&nCount, 0, 0)) << Utf8(m_pclError->pszGetError());
    EXPECT_EQ(5, nCount) << "row by row";
    EXPECT_EQ(0, pclStatement->bGetNbEnrCurrentParse(&nCount, 0, 0)) << "no parse open any more";
}

// A result that filled its block of rows cannot count the parse.
TEST_F(StatementCount, ABlockOfRowsCannotCountTheParse)
{
    m_pclConnection = OpenServerConnection(m_db.Name(), L"VX Cache Size=4");
    CNADataAccess* pclAccess = OpenRows(9);
    Read(pclAccess, L"id", NADirection::kFirst);
    long nCount = -2;
    EXPECT_EQ(0, StatementOf(pclAccess, L"id")->bGetNbEnrCurrentParse(&nCount, 0, 0));
    EXPECT_EQ(-2, nCount);
    EXPECT_EQ(112, PerMille(pclAccess, L"id")) << "row 1 of 9: the count comes from the server";
}

}  // namespace
