// Record counts of a data access on the run's private server: answered
// from what memory holds (the browse's complete result, a query's table
// cache) without a COUNT, by a COUNT when nothing cheaper can tell, with
// and without the browse's filter, relative to the current record, not at
// all without the count option; a COUNT that fails. Also the SQL that a
// statement of a query source builds, and the record-number questions.
#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/model/data_source_description.h"
#include "native/model/record.h"
#include "native/model/table_cache.h"
#include "native/sql/command.h"
#include "tests/host/db/standin_parsed_query.h"
#include "tests/native/access/statement_server_fixture.h"

namespace {

using vxstandin::Span;

constexpr eNA_LOCKTYPE kLock = static_cast<eNA_LOCKTYPE>(1);
constexpr unsigned kCount = 0x10;
constexpr NA_WRITEPARSEFLAGS kWithFilter = 0x4000;
constexpr eNA_PARSEDIRECTION kWhole = static_cast<eNA_PARSEDIRECTION>(-1);

class DataAccessCount : public vxtest::StatementOnServer
{
protected:
    // Rows 1..N: id unique, v = id mod 3 (0, 1 or 2, with an index).
    // Over a connection of its own when one is given.
    CNADataAccess* Table(const std::string& sName, int nRows, CNAConnectionDescription* pclConnection = nullptr)
    {
        CNADataAccess* pclAccess =
            OpenTable(sName, "CREATE TABLE " + sName + " (id INT PRIMARY KEY, v INT, KEY kv (v))");
        EXPECT_TRUE(m_client.bExecute("INSERT INTO " + sName + " SELECT seq, seq % 3 FROM seq_1_to_" +
                                      std::to_string(nRows)))
            << m_client.sError();
        if (pclConnection == nullptr)
            return pclAccess;
        CNADataAccess* pclOther =
            Driver()->pclAllocDataAccess(pclAccess->piGetDataSourceNoRef(), pclConnection, m_pclError);
        REF_AddRef(pclOther);
        m_accesses.push_back(pclOther);
        EXPECT_EQ(1, pclOther->bHOuvre(static_cast<eNA_ACCESS>(0), nullptr)) << m_pclError->pszGetError();
        return pclOther;
    }
    static int Read(CNADataAccess* pclAccess, const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection)
    {
        eNA_LOCKTYPE eOut = kLock;
        return pclAccess->bHLitxxx(pszItem, eDirection, 1, kLock, &eOut, 0);
    }
    // Reads the item's browse to its end.
    static void ReadAll(CNADataAccess* pclAccess, const wchar_t* pszItem)
    {
        ASSERT_EQ(1, Read(pclAccess, pszItem, NADirection::kFirst));
        int bOut = 0;
        for (int n = 0; n < 1000 && !bOut; ++n) {
            ASSERT_EQ(1, Read(pclAccess, pszItem, NADirection::kNext));
            pclAccess->pclGetLastStatementNoRef()->HEndehors(&bOut);
        }
    }
    // Whether a count ran a COUNT: only that makes the query statement.
    static bool bCounted(CNADataAccess* pclAccess)
    {
        CNAStatement* pclQuery = pclAccess->_pclFindStatement(L"");
        if (pclQuery == nullptr)
            return false;
        REF_Release(pclQuery);
        return true;
    }
    void ForgetQueryStatement(CNADataAccess* pclAccess)
    {
        CNAStatement* pclQuery = pclAccess->_pclFindStatement(L"");
        if (pclQuery != nullptr) {
            REF_Release(pclQuery);
            (void)pclAccess->_bChangeStatementKey(L"old query statement", L"", nullptr);
        }
    }
    long Count(CNADataAccess* pclAccess, CNAStatement* pclBrowse, NA_WRITEPARSEFLAGS nFlags,
               eNA_PARSEDIRECTION eDirection = kWhole, unsigned nOptions = kCount, int* pbDone = nullptr)
    {
        long llCount = -99;
        m_pclError->Reset();
        const int bDone = pclAccess->bGetNbEnr(pclBrowse, &llCount, nOptions, eDirection, nFlags);
        if (pbDone != nullptr)
            *pbDone = bDone;
        else
            EXPECT_EQ(1, bDone) << m_pclError->pszGetError();
        return llCount;
    }
};

// Without the count option the count is 0 and nothing runs.
TEST_F(DataAccessCount, WithoutTheCountOptionNothingIsCounted)
{
    CNADataAccess* pclAccess = Table("c0", 5);
    for (unsigned nOptions : {0u, 0x20u, 0xFFFFFFEFu}) {
        long llCount = -1;
        EXPECT_EQ(1, pclAccess->bHNbEnr(&llCount, nOptions, 0));
        EXPECT_EQ(0, llCount);
        EXPECT_EQ(0u, pclAccess->nGetStatementCount());
        EXPECT_EQ(0, Count(pclAccess, nullptr, 0, NADirection::kNext, nOptions));
        EXPECT_EQ(0u, pclAccess->nGetStatementCount());
    }
}

// What a count answers, and whether it ran a COUNT for it.
TEST_F(DataAccessCount, ACountRunsOnlyWhenNothingCheaperTells)
{
    CNADataAccess* pclAccess = Table("c1", 10);
    // No browse: a COUNT.
    long llCount = -1;
    ASSERT_EQ(1, pclAccess->bHNbEnr(&llCount, kCount, 0)) << m_pclError->pszGetError();
    EXPECT_EQ(10, llCount);
    EXPECT_TRUE(bCounted(pclAccess));
    ForgetQueryStatement(pclAccess);

    // A browse whose result holds every row from the first answers itself.
    ReadAll(pclAccess, L"id");
    CNAStatement* pclBrowse = pclAccess->pclGetLastStatementNoRef();
    EXPECT_EQ(10, Count(pclAccess, pclBrowse, 0));
    EXPECT_EQ(10, Count(pclAccess, pclBrowse, kWithFilter));
    EXPECT_FALSE(bCounted(pclAccess));

    // A filter on a browse read in blocks (which cannot count itself):
    // counted with it only when asked, through a clone of it on the query
    // statement; the browse's own filter untouched.
    CNADataAccess* pclBlocks = Table("c1b", 10, OpenServerConnection(m_db.Name(), L"VX Cache Size=3"));
    CAny low = Int(1);
    CAny high = Int(1);
    ASSERT_EQ(1, pclBlocks->bHFiltre(L"id", &low, 1, &high, 0, nullptr)) << m_pclError->pszGetError();
    ASSERT_EQ(1, pclBlocks->bHFiltre(L"v", &low, 1, &high, 1, nullptr)) << m_pclError->pszGetError();
    ASSERT_EQ(1, Read(pclBlocks, L"v", NADirection::kFirst)) << m_pclError->pszGetError();
    pclBrowse = pclBlocks->pclGetLastStatementNoRef();
    CNAFilter* pclFilter = pclBrowse->pclGetFilterNoRef();
    ASSERT_NE(nullptr, pclFilter);
    struct Case
    {
        NA_WRITEPARSEFLAGS nFlags;
        long llExpected;
    };
    for (const Case& c : {Case{kWithFilter, 4}, Case{0, 10}}) {
        SCOPED_TRACE(c.nFlags);
        EXPECT_EQ(c.llExpected, Count(pclBlocks, pclBrowse, c.nFlags));
        EXPECT_EQ(pclFilter, pclBrowse->pclGetFilterNoRef());
        EXPECT_EQ(1, pclBrowse->bExistFilter());
        CNAStatement* pclQuery = pclBlocks->_pclFindStatement(L"");
        ASSERT_NE(nullptr, pclQuery) << "a COUNT ran";
        EXPECT_EQ(0, pclQuery->bExistFilter()) << "the clone went with the count";
        REF_Release(pclQuery);
    }
    // The filter of the query statement itself comes back after a count.
    CAny two = Int(2);
    CNAStatement* pclQuery = pclBlocks->_pclFindStatement(L"");
    ASSERT_NE(nullptr, pclQuery);
    ASSERT_EQ(1, pclQuery->bSetFilter(L"v", &two, 1, &two, 1, nullptr));
    ASSERT_NE(nullptr, pclQuery->pclActivateFilter());
    EXPECT_EQ(4, Count(pclBlocks, pclBrowse, kWithFilter));
    EXPECT_EQ(1, pclQuery->bExistFilter());
    REF_Release(pclQuery);
}

// Counts from the current record's value of the browse item: the rows equal
// to it, after it and before it; a browse counts from the row it read even
// when the application changed the values since.
TEST_F(DataAccessCount, CountsRelativeToTheCurrentRecord)
{
    CNADataAccess* pclAccess = Table("c2", 10);
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kFirst));
    for (int n = 0; n < 3; ++n)
        ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kNext));
    CNAStatement* pclBrowse = pclAccess->pclGetLastStatementNoRef();
    struct Case
    {
        CNAStatement* pclStatement;
        eNA_PARSEDIRECTION eDirection;
        long llExpected;
    };
    const Case cases[] = {
        {pclBrowse, NADirection::kCurrent, 1},
        {pclBrowse, NADirection::kNext, 6},
        {pclBrowse, NADirection::kPrevious, 3},
        // Without a browse: the best item, the current record as it is.
        {nullptr, NADirection::kNext, 6},
    };
    CAny changed = Int(8);
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.eDirection));
        EXPECT_EQ(c.llExpected, Count(pclAccess, c.pclStatement, 0, c.eDirection));
        EXPECT_TRUE(bCounted(pclAccess)) << "always a COUNT";
    }
    // The application's change is not what a browse counts from, and comes
    // back after the count.
    ASSERT_EQ(1, Column(pclAccess, L"id")->bSetValue(&changed, 0));
    EXPECT_EQ(6, Count(pclAccess, pclBrowse, 0, NADirection::kNext));
    EXPECT_EQ(2, Count(pclAccess, nullptr, 0, NADirection::kNext));
    CAny value;
    ASSERT_EQ(1, Column(pclAccess, L"id")->bGetCurrentValue(&value, 0));
    EXPECT_EQ(L"8", vxtest::TextOf(value));

    // On a browse item with duplicates (v = id mod 3, ties by id), from
    // its second row, id 6: the record itself, the rows after it in the
    // browse's order and before it.
    ASSERT_EQ(1, Read(pclAccess, L"v", NADirection::kFirst));
    ASSERT_EQ(1, Read(pclAccess, L"v", NADirection::kNext));
    CNAStatement* pclByV = pclAccess->pclGetLastStatementNoRef();
    EXPECT_EQ(1, Count(pclAccess, pclByV, 0, NADirection::kCurrent));
    EXPECT_EQ(8, Count(pclAccess, pclByV, 0, NADirection::kNext));
    EXPECT_EQ(1, Count(pclAccess, pclByV, 0, NADirection::kPrevious));
}

// A COUNT the server refuses stores -1.
TEST_F(DataAccessCount, AFailedCountStoresMinusOne)
{
    CNADataAccess* pclAccess = Table("c3", 3);
    ASSERT_TRUE(m_client.bExecute("DROP TABLE c3")) << m_client.sError();
    int bDone = 1;
    EXPECT_EQ(-1, Count(pclAccess, nullptr, 0, kWhole, kCount, &bDone));
    EXPECT_EQ(0, bDone);
    EXPECT_NE(NA_LEVEL_NOERROR, m_pclError->eGetErrorLevel());
}

// The record-number questions: only 0, the current record.
TEST_F(DataAccessCount, RecordNumberQuestions)
{
    CNADataAccess* pclAccess = Table("c4", 3);
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kFirst));
    EXPECT_EQ(0, pclAccess->llGetRecNum());
    int bNeed = 0;
    EXPECT_EQ(1, pclAccess->bNbEnrNeedParse(&bNeed, L"id"));
    EXPECT_EQ(0, bNeed) << "the MySQL data access counts a table without a parse";
    unsigned nState = 99;
    EXPECT_EQ(1, pclAccess->bGetRecNumState(0, &nState));
    EXPECT_EQ(0u, nState);
    m_pclError->Reset();
    EXPECT_EQ(0, pclAccess->bGetRecNumState(1, &nState));
    EXPECT_EQ(18u, m_pclError->nGetUserErrorCode());
}

}  // namespace
