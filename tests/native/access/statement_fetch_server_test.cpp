// The statement's browse over a result of the run's server: the four
// directions on an ascending and on a descending order (the statement reads
// the reversed SELECT backwards), counts of more than one row and the rows
// moved over when a move leaves the result, the re-read of the current row,
// rows deleted since they were read, a row modified by the parse coming back
// with its saved values, the record cache (a last read completes it, rows
// come back from memory), the parse served by a column index over the
// table's full cache (opened, let go, its row found again, also when that row
// was deleted), the rest of a parse read into its cache through the data
// access's browse and the saved row sought there, and the error of a row
// that cannot be found again.
#include "tests/native/access/statement_server_fixture.h"

#include "native/access/statement_sql.h"
#include "native/model/record_cache.h"
#include "native/model/table_cache.h"
#include "native/model/table_cache_index.h"

namespace {

constexpr unsigned kRecordNotFound = 13;
constexpr int kOut = -1;

class StatementFetch : public vxtest::StatementOnServer
{
protected:
    void SetUp() override
    {
        vxtest::StatementOnServer::SetUp();
        m_pclAccess = OpenTable("f", "CREATE TABLE f (id INT PRIMARY KEY, v VARCHAR(10))");
        m_pclStatement = NewStatement(m_pclAccess);
        m_pclStatement->SetParseItemName(L"id");
        m_pclStatement->SetSearchItemName(L"id");
    }
    void Fill(int nRows)
    {
        ASSERT_TRUE(m_client.bExecute("INSERT INTO f SELECT seq, CONCAT('v', seq) FROM seq_1_to_" +
                                      std::to_string(nRows)))
            << m_client.sError();
    }
    // Runs the SELECT of every row ordered by id: ascending as written, or
    // descending (then read backwards).
    void RunSelect(int bAscending, CNAStatement* pclStatement = nullptr)
    {
        pclStatement = pclStatement != nullptr ? pclStatement : m_pclStatement;
        CNACommand* pclCommand = NewCommand(m_pclAccess);
        ASSERT_EQ(1, pclStatement->bBuildQuerySELECT(pclCommand, 0, L"id", bAscending, nullptr))
            << m_pclError->pszGetError();
        ASSERT_EQ(1, pclStatement->bExecute(0, NA_ST_PREPARE_NONE)) << m_pclError->pszGetError();
    }
    // The id of the row read, or kOut.
    int Fetch(eNA_PARSEDIRECTION eDirection, long nCount = 1, long* pnMoved = nullptr,
              CNAStatement* pclStatement = nullptr)
    {
        pclStatement = pclStatement != nullptr ? pclStatement : m_pclStatement;
        long nMoved = -1;
        EXPECT_EQ(1, pclStatement->bFetch(eDirection, 1, nCount, &nMoved)) << m_pclError->pszGetError();
        if (pnMoved != nullptr)
            *pnMoved = nMoved;
        int bFound = 0;
        int bInside = 0;
        pclStatement->EvalHTrouve(&bFound, &bInside);
        if (!bInside)
            return kOut;
        EXPECT_EQ(1, bFound);
        return Id();
    }
    int Id() const { return IntOf(L"id"); }
    int IntOf(const wchar_t* pszColumn) const
    {
        CAny value;
        int n = 0;
        if (!Column(m_pclAccess, pszColumn)->bGetCurrentValue(&value, 0) || value.bIsNull() || value.nGetINT(&n) > 99)
            return -100;
        return n;
    }
    // The current row's v as 8-bit text, whatever its text kind.
    std::string V() const
    {
        CAny value;
        if (!Column(m_pclAccess, L"v")->bGetCurrentValue(&value, 0) || value.bIsNull())
            return "<none>";
        const char* psz = nullptr;
        if (value.Objet().nGetPCASTR(&psz) && psz != nullptr)
            return psz;
        const wchar_t* pszW = nullptr;
        (void)value.Objet().nGetPCWSTR(&pszW);
        return Utf8(pszW);
    }

    CNADataAccess* m_pclAccess = nullptr;
    CNAStatement* m_pclStatement = nullptr;
};

TEST_F(StatementFetch, DirectionsOnBothOrders)
{
    Fill(5);
    struct Step
    {
        eNA_PARSEDIRECTION eDirection;
        long nCount;
        int nId;
        long nMoved;
    };
    const Step steps[] = {
        {NADirection::kFirst, 1, 1, 1},    {NADirection::kNext, 1, 2, 1},     {NADirection::kNext, 2, 4, 2},
        {NADirection::kPrevious, 1, 3, 1}, {NADirection::kNext, 0, 3, 0},     {NADirection::kLast, 1, 5, 1},
        {NADirection::kPrevious, 3, 2, 3}, {NADirection::kFirst, 2, 2, 2},    {NADirection::kLast, 2, 4, 2},
        {NADirection::kNext, 5, kOut, 1},  {NADirection::kNext, 0, 4, 0},     {NADirection::kPrevious, 9, kOut, 3},
        {NADirection::kFirst, 6, kOut, 5}, {NADirection::kLast, 5, 1, 5},     {NADirection::kPrevious, 1, kOut, 0},
    };
    for (int bAscending : {1, 0}) {
        RunSelect(bAscending);
        EXPECT_EQ(!bAscending, m_pclStatement->bInvertFetch());
        int nStep = 0;
        for (const Step& s : steps) {
            long nMoved = -1;
            EXPECT_EQ(s.nId, Fetch(s.eDirection, s.nCount, &nMoved))
                << "ascending " << bAscending << " step " << nStep;
            EXPECT_EQ(s.nMoved, nMoved) << "ascending " << bAscending << " step " << nStep;
            ++nStep;
        }
    }
}

TEST_F(StatementFetch, EmptyAndSingleRowResults)
{
    const eNA_PARSEDIRECTION directions[] = {NADirection::kFirst, NADirection::kLast, NADirection::kNext,
                                             NADirection::kPrevious};
    RunSelect(1);
    for (eNA_PARSEDIRECTION e : directions)
        EXPECT_EQ(kOut, Fetch(e)) << e;
    EXPECT_EQ(kOut, Fetch(NADirection::kFirst, 0));

    Fill(1);
    RunSelect(0);
    EXPECT_EQ(kOut, Fetch(NADirection::kFirst, 0));
    EXPECT_EQ(1, Fetch(NADirection::kLast));
    EXPECT_EQ(kOut, Fetch(NADirection::kNext));
    EXPECT_EQ(kOut, Fetch(NADirection::kPrevious));
    EXPECT_EQ(1, Fetch(NADirection::kFirst));
    EXPECT_EQ(0, m_pclStatement->nGetCurrentRecord());
}

TEST_F(StatementFetch, DeletedRowsAreWalkedOver)
{
    Fill(6);
    RunSelect(1);
    ASSERT_EQ(1, Fetch(NADirection::kFirst));
    // Rows 2, 3 and 6 deleted since they were read (result rows 1, 2, 5).
    for (long nRow : {1L, 2L, 5L})
        ASSERT_EQ(1, m_pclStatement->bSaveDeletedRecord(nRow));
    ASSERT_EQ(3, m_pclStatement->nGetDeletedRows());
    struct
    {
        eNA_PARSEDIRECTION eDirection;
        long nCount;
        int nId;
        long nMoved;
    } steps[] = {
        {NADirection::kNext, 1, 4, 1},  {NADirection::kPrevious, 1, 1, 1}, {NADirection::kFirst, 3, 5, 3},
        {NADirection::kLast, 1, 5, 1},  {NADirection::kLast, 2, 4, 2},     {NADirection::kNext, 5, kOut, 1},
        {NADirection::kFirst, 9, kOut, 3}, {NADirection::kLast, 4, kOut, 3},
    };
    int nStep = 0;
    for (const auto& s : steps) {
        long nMoved = -1;
        EXPECT_EQ(s.nId, Fetch(s.eDirection, s.nCount, &nMoved)) << "step " << nStep;
        EXPECT_EQ(s.nMoved, nMoved) << "step " << nStep;
        ++nStep;
    }
}

TEST_F(StatementFetch, ARowModifiedByTheParseComesBackWithItsSave)
{
    Fill(3);
    RunSelect(1);
    ASSERT_EQ(2, Fetch(NADirection::kFirst, 2));
    const CAny value = Text("changed");
    ASSERT_EQ(1, Column(m_pclAccess, L"v")->bSetValue(&value, 0));
    const int nSave = m_pclAccess->nKeepCurrentRecordSave();
    ASSERT_GE(nSave, 0);
    ASSERT_EQ(1, m_pclStatement->bKeepModifiedRecordSave(-1, nSave));

    EXPECT_EQ(3, Fetch(NADirection::kNext));
    EXPECT_EQ("v3", V());
    EXPECT_EQ(2, Fetch(NADirection::kPrevious));
    EXPECT_EQ("changed", V());
    // The row read from its save is counted once: it differs from row 3.
    EXPECT_EQ(0, m_pclStatement->nGetEqualRank());
    EXPECT_EQ(1, Fetch(NADirection::kPrevious));
    EXPECT_EQ("v1", V());
    // The server still holds the row as it was.
    EXPECT_EQ("v2", m_client.Value("SELECT v FROM f WHERE id = 2").value_or("<none>"));
}

TEST_F(StatementFetch, RecordCacheCompletedByLastAndReadBack)
{
    Fill(5);
    RunSelect(1);
    m_pclStatement->EnableCache(1);
    CNARecordCache* pclCache = m_pclStatement->pclGetRecordCacheNoRef();
    ASSERT_NE(nullptr, pclCache);

    EXPECT_EQ(1, Fetch(NADirection::kFirst));
    EXPECT_EQ(2, Fetch(NADirection::kNext));
    EXPECT_EQ(2, pclCache->nGetRowCount());
    EXPECT_EQ(0, m_pclStatement->bCacheCompleted());

    EXPECT_EQ(5, Fetch(NADirection::kLast));
    EXPECT_EQ(5, pclCache->nGetRowCount());
    EXPECT_EQ(1, m_pclStatement->bCacheCompleted());
    EXPECT_EQ(4, m_pclStatement->nGetCurrentRecord());

    // From now on the rows come from memory: what the server holds since
    // does not show.
    ASSERT_TRUE(m_client.bExecute("UPDATE f SET v = 'new'")) << m_client.sError();
    const struct
    {
        eNA_PARSEDIRECTION eDirection;
        long nCount;
        int nId;
    } steps[] = {
        {NADirection::kPrevious, 1, 4}, {NADirection::kFirst, 1, 1}, {NADirection::kNext, 2, 3},
        {NADirection::kLast, 2, 4},     {NADirection::kNext, 2, kOut},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(s.nId, Fetch(s.eDirection, s.nCount)) << s.eDirection << " " << s.nCount;
        if (s.nId != kOut) {
            EXPECT_EQ("v" + std::to_string(s.nId), V());
            EXPECT_EQ(s.nId - 1, m_pclStatement->nGetCurrentRecord());
            EXPECT_EQ(0, m_pclStatement->bRowAvailable());
        }
    }
    EXPECT_EQ(pclCache, m_pclStatement->pclGetFullRecordCache());

    // Off: the statement's own cache is emptied and disabled, not let go.
    m_pclStatement->EnableCache(0);
    EXPECT_EQ(pclCache, m_pclStatement->pclGetRecordCacheNoRef());
    EXPECT_EQ(0, pclCache->nGetRowCount());
    EXPECT_EQ(0, m_pclStatement->bCacheEnabled());
}

TEST_F(StatementFetch, RecordCacheFetchesUpToTheTarget)
{
    Fill(4);
    RunSelect(1);
    m_pclStatement->EnableCache(1);
    CNARecordCache* pclCache = m_pclStatement->pclGetRecordCacheNoRef();
    EXPECT_EQ(3, Fetch(NADirection::kFirst, 3));
    EXPECT_EQ(3, pclCache->nGetRowCount());
    EXPECT_EQ(1, m_pclStatement->bRowAvailable());
    EXPECT_EQ(kOut, Fetch(NADirection::kNext, 2));
    EXPECT_EQ(1, m_pclStatement->bCacheCompleted());
    EXPECT_EQ(4, pclCache->nGetRowCount());
    EXPECT_EQ(2, Fetch(NADirection::kPrevious, 2));
}

TEST_F(StatementFetch, LastOnAnEmptyCacheIsOut)
{
    RunSelect(1);
    m_pclStatement->EnableCache(1);
    EXPECT_EQ(kOut, Fetch(NADirection::kLast));
    EXPECT_EQ(1, m_pclStatement->bCacheCompleted());
}

TEST_F(StatementFetch, AFullBlockEndsWithTheMoveThatLeftIt)
{
    // The browse goes on past a full block through the data access's
    // re-positioning (a new SELECT after the last row read); where that
    // finds nothing more, the move that left the result stays a success,
    // out of the result.
    Fill(5);
    for (int bCached : {0, 1}) {
        CNACommand* pclCommand = NewCommand(m_pclAccess);
        ASSERT_EQ(1, m_pclStatement->bBuildQuerySELECT(pclCommand, 0, L"id", 1, nullptr));
        pclCommand->SetLimit(3, -1);
        ASSERT_EQ(1, m_pclStatement->bExecute(0, NA_ST_PREPARE_NONE)) << m_pclError->pszGetError();
        ASSERT_EQ(3, m_pclStatement->llGetBlockRowLimit());
        m_pclStatement->EnableCache(bCached);
        EXPECT_EQ(3, Fetch(NADirection::kFirst, 3)) << bCached;
        EXPECT_EQ(4, Fetch(NADirection::kNext)) << bCached;
        EXPECT_EQ(5, Fetch(NADirection::kNext)) << bCached;
        EXPECT_EQ(kOut, Fetch(NADirection::kNext)) << bCached;
        EXPECT_EQ(0, m_pclStatement->bFetchingNextBlock());
        EXPECT_EQ(0, m_pclStatement->bBlockStartsAtFirstRow());
    }
}

TEST_F(StatementFetch, ParseServedByATableCacheIndex)
{
    // v runs against id: ordered by v the rows come as ids 5, 4, 3, 2, 1.
    ASSERT_TRUE(m_client.bExecute("INSERT INTO f SELECT seq, CONCAT('v', 6 - seq) FROM seq_1_to_5"))
        << m_client.sError();
    ASSERT_EQ(1, m_pclAccess->_bCreateNewTableCache(nullptr)) << m_pclError->pszGetError();
    CNATableCache* pclTableCache = m_pclAccess->pclGetTableCacheNoRef();
    // The table cache's reading statement reads every row once.
    CNAStatement* pclReader = NewStatement(m_pclAccess);
    pclReader->SetParseItemName(L"id");
    RunSelect(1, pclReader);
    ASSERT_EQ(1, pclTableCache->bSetStatementParse(pclReader));
    ASSERT_EQ(5, Fetch(NADirection::kLast, 1, nullptr, pclReader));
    CNARecordCache* pclFull = pclTableCache->pclGetFullCache();
    ASSERT_NE(nullptr, pclFull);
    ASSERT_EQ(5, pclFull->nGetRowCount());

    // A browse by v is opened on an index over the full cache: no database.
    CNAStatement* pclByV = NewStatement(m_pclAccess);
    pclByV->SetParseItemName(L"v");
    const struct
    {
        eNA_PARSEDIRECTION eDirection;
        long nCount;
        int nId;
    } steps[] = {
        {NADirection::kFirst, 1, 5}, {NADirection::kNext, 2, 3},     {NADirection::kLast, 1, 1},
        {NADirection::kPrevious, 3, 4}, {NADirection::kNext, 9, kOut}, {NADirection::kFirst, 2, 4},
    };
    for (const auto& s : steps)
        EXPECT_EQ(s.nId, Fetch(s.eDirection, s.nCount, nullptr, pclByV)) << s.eDirection << " " << s.nCount;
    EXPECT_NE(nullptr, pclByV->pclGetTableCacheIndexNoRef());
    EXPECT_EQ(nullptr, pclByV->pclGetStatementSQLNoRef());
    EXPECT_EQ(pclFull, pclByV->pclGetRecordCacheNoRef());
    EXPECT_STREQ(L"v", pclByV->pszGetSearchItemName());

    // Let go of the index while on a row: the row is kept to be found again.
    pclByV->DestroyCacheIndex();
    EXPECT_EQ(nullptr, pclByV->pclGetTableCacheIndexNoRef());
    EXPECT_EQ(nullptr, pclByV->pclGetRecordCacheNoRef());
    EXPECT_EQ(NA_PNU_REPOSITION, pclByV->eParseNeedUpdate());
    EXPECT_EQ(3, Fetch(NADirection::kNext, 1, nullptr, pclByV));
    EXPECT_EQ(NA_PNU_NONE, pclByV->eParseNeedUpdate());

    // The row found again was deleted meanwhile: the index stands on the
    // row after it, so next reads that one and previous the one before.
    const struct
    {
        eNA_PARSEDIRECTION eDirection;
        int nDeletedId;
        int nId;
    } lost[] = {
        {NADirection::kNext, 3, 2},
        {NADirection::kPrevious, 2, 4},
    };
    for (const auto& l : lost) {
        ASSERT_EQ(l.nDeletedId, Id());
        pclByV->DestroyCacheIndex();
        pclFull->SetRecordState(l.nDeletedId - 1, NA_RS_DELETED);
        EXPECT_EQ(l.nId, Fetch(l.eDirection, 1, nullptr, pclByV)) << l.eDirection;
    }
}

TEST_F(StatementFetch, ACurrentRecordNotFound)
{
    Fill(2);
    RunSelect(1);
    ASSERT_EQ(1, Fetch(NADirection::kFirst));
    m_pclError->Reset();
    m_pclStatement->CurrentRecordNotFound(L"id", 4, 8);
    int bFound = 1;
    int bInside = 1;
    m_pclStatement->EvalHTrouve(&bFound, &bInside);
    EXPECT_EQ(0, bFound);
    EXPECT_EQ(0, bInside);
    EXPECT_EQ(kRecordNotFound, m_pclError->nGetUserErrorCode());
    EXPECT_EQ(NA_ERR_GENERAL, m_pclError->eGetErrorType());
    const std::wstring sError = m_pclError->pszGetError();
    EXPECT_NE(std::wstring::npos, sError.find(L"4.8")) << sError;
    // The row as text, among the error's debug lines.
    EXPECT_NE(std::wstring::npos, sError.find(L"v1")) << sError;
}

}  // namespace

namespace {

class StatementCacheThroughAccess : public StatementFetch
{
protected:
    // Statements whose parses keep their rows: the data access turns its
    // cache on when it opens a browse.
    void Choose(CMySQLDriverSeams& seams) override
    {
        seams.allocStatement = [](CMySQLDriver&, CNADataAccess* pclDataAccess, CNAError* pclError) -> CNAStatement* {
            return new (std::nothrow) CCachingMySQLStatement(pclDataAccess, pclError);
        };
    }
    int Read(eNA_PARSEDIRECTION eDirection)
    {
        eNA_LOCKTYPE eLock = static_cast<eNA_LOCKTYPE>(1);
        EXPECT_EQ(1, m_pclAccess->bHLitxxx(L"id", eDirection, 1, eLock, &eLock, 0)) << m_pclError->pszGetError();
        return Id();
    }
    // The browse item's statement, held by the test.
    CNAStatement* Browse()
    {
        CNAStatement* pclStatement = m_pclAccess->_pclFindStatement(L"id");
        if (pclStatement != nullptr)
            m_statements.push_back(pclStatement);
        return pclStatement;
    }
    // The row of this id (as the table holds it) kept as a record save, the
    // parse to come back to it.
    void KeepRowToFind(CNAStatement* pclStatement, int nId)
    {
        const CAny id = Int(nId);
        const CAny v = Text(("v" + std::to_string(nId)).c_str());
        ASSERT_EQ(1, Column(m_pclAccess, L"id")->bSetValue(&id, 0));
        ASSERT_EQ(1, Column(m_pclAccess, L"v")->bSetValue(&v, 0));
        const int nSave = m_pclAccess->nKeepCurrentRecordSave();
        ASSERT_GE(nSave, 0);
        ASSERT_EQ(1, pclStatement->bSetParseNeedUpdate(NA_PNU_REPOSITION, nSave));
    }
};

TEST_F(StatementCacheThroughAccess, TheRestOfTheParseReadIntoTheCache)
{
    Fill(6);
    ASSERT_EQ(1, Read(NADirection::kFirst));
    ASSERT_EQ(2, Read(NADirection::kNext));
    CNAStatement* pclStatement = Browse();
    ASSERT_NE(nullptr, pclStatement);
    ASSERT_EQ(1, pclStatement->bCacheEnabled());
    CNARecordCache* pclCache = pclStatement->pclGetRecordCacheNoRef();
    EXPECT_EQ(2, pclCache->nGetRowCount());

    EXPECT_EQ(pclCache, pclStatement->pclGetFullRecordCache()) << m_pclError->pszGetError();
    EXPECT_EQ(6, pclCache->nGetRowCount());
    EXPECT_EQ(1, pclStatement->bCacheCompleted());

    // The saved row is found among the cached rows; the browse goes on
    // from it.
    KeepRowToFind(pclStatement, 4);
    ASSERT_EQ(1, pclStatement->bUpdateParsePositionInRecordCache()) << m_pclError->pszGetError();
    EXPECT_EQ(NA_PNU_NONE, pclStatement->eParseNeedUpdate());
    EXPECT_EQ(-1, pclStatement->nGetRecordSaveID());
    EXPECT_EQ(3, pclStatement->nGetCurrentRecord());
    EXPECT_EQ(5, Fetch(NADirection::kNext, 1, nullptr, pclStatement));
}

TEST_F(StatementCacheThroughAccess, ASavedRowMissingFromTheCache)
{
    // Sought in the rows cached so far, then in the whole parse read in:
    // a row that is nowhere is lost.
    Fill(4);
    ASSERT_EQ(1, Read(NADirection::kFirst));
    CNAStatement* pclStatement = Browse();
    ASSERT_NE(nullptr, pclStatement);
    KeepRowToFind(pclStatement, 99);
    m_pclError->Reset();
    EXPECT_EQ(0, pclStatement->bUpdateParsePositionInRecordCache());
    EXPECT_EQ(1, pclStatement->bCacheCompleted());
    EXPECT_EQ(4, pclStatement->pclGetRecordCacheNoRef()->nGetRowCount());
    EXPECT_EQ(kRecordNotFound, m_pclError->nGetUserErrorCode());
    const std::wstring sError = m_pclError->pszGetError();
    EXPECT_NE(std::wstring::npos, sError.find(L"4.8")) << sError;
    int bInside = 1;
    pclStatement->EvalHTrouve(nullptr, &bInside);
    EXPECT_EQ(0, bInside);
}

}  // namespace
