// The statement's parse-state machine on a result of the run's server: the
// cause for updating the parse and the record save it holds, the block
// state an execution leaves, the row states of modified and deleted rows
// (the last row included), the statement original record, the end of a
// parse and the statement's destruction with everything it holds.
#include "tests/native/access/statement_server_fixture.h"

#include "native/access/statement_sql.h"
#include "native/model/record_cache_position.h"

namespace {

constexpr unsigned kRowChangedElsewhere = 13;

class StatementState : public vxtest::StatementOnServer
{
protected:
    void SetUp() override
    {
        vxtest::StatementOnServer::SetUp();
        m_pclAccess = OpenTable("s", "CREATE TABLE s (id INT PRIMARY KEY, v VARCHAR(10))");
        ASSERT_TRUE(m_client.bExecute("INSERT INTO s VALUES (1,'a'),(2,'b'),(3,'c')")) << m_client.sError();
        m_pclStatement = NewStatement(m_pclAccess);
    }
    // Runs the SELECT of every row (row limit and offset as given).
    void RunSelect(int64_t llLimit = -1, int64_t llOffset = -1)
    {
        CNACommand* pclCommand = NewCommand(m_pclAccess);
        ASSERT_EQ(1, m_pclStatement->bBuildQuery(NA_QUERY_SELECT, pclCommand, 0)) << m_pclError->pszGetError();
        pclCommand->SetLimit(llLimit, llOffset);
        ASSERT_EQ(1, m_pclStatement->bExecute(0, NA_ST_PREPARE_NONE)) << m_pclError->pszGetError();
    }
    // The execution statement moved to its next row.
    void Next() { ASSERT_EQ(1, m_pclStatement->_bFetchSQL()) << m_pclError->pszGetError(); }
    CNARecordCachePosition* Saves() const { return m_pclAccess->pclGetRecordSaveCacheNoRef(); }
    uint32_t Count(int nId) const { return Saves() != nullptr ? Saves()->dwGetRecordSaveCount(nId) : 0; }
    // A new save of the current record with this value, referenced by the
    // test (saves of equal rows are one save).
    int Keep(const char* pszValue)
    {
        const CAny value = Text(pszValue);
        EXPECT_EQ(1, Column(m_pclAccess, L"v")->bSetValue(&value, 0));
        const int nId = m_pclAccess->nKeepCurrentRecordSave();
        EXPECT_GE(nId, 0);
        m_pclAccess->AddRefRecordSave(nId);
        m_kept.push_back(nId);
        return nId;
    }
    void TearDown() override
    {
        for (int nId : m_kept)
            m_pclAccess->nReleaseRecordSave(nId);
        vxtest::StatementOnServer::TearDown();
    }

    CNADataAccess* m_pclAccess = nullptr;
    CNAStatement* m_pclStatement = nullptr;
    std::vector<int> m_kept;
};

TEST_F(StatementState, CausesAndTheSaveTheyHold)
{
    RunSelect();
    const int nFirst = Keep("k1");
    const int nSecond = Keep("k2");

    ASSERT_EQ(1, m_pclStatement->bSetParseNeedUpdate(NA_PNU_REEXECUTE, nFirst));
    EXPECT_EQ(NA_PNU_REEXECUTE, m_pclStatement->eParseNeedUpdate());
    EXPECT_EQ(2u, Count(nFirst));
    // A re-run resets the result at once: the next read runs the query again.
    EXPECT_EQ(-1, m_pclStatement->pclGetStatementSQLNoRef()->llGetRowCount());

    // A re-positioning never hides a pending re-run, but the save follows.
    ASSERT_EQ(1, m_pclStatement->bSetParseNeedUpdate(NA_PNU_REPOSITION, nSecond));
    EXPECT_EQ(NA_PNU_REEXECUTE, m_pclStatement->eParseNeedUpdate());
    EXPECT_EQ(nSecond, m_pclStatement->nGetRecordSaveID());
    EXPECT_EQ(1u, Count(nFirst));
    EXPECT_EQ(2u, Count(nSecond));

    // The same save again changes no count.
    ASSERT_EQ(1, m_pclStatement->bSetParseNeedUpdate(NA_PNU_REEXECUTE, nSecond));
    EXPECT_EQ(2u, Count(nSecond));

    ASSERT_EQ(1, m_pclStatement->bSetParseNeedUpdate(NA_PNU_NONE));
    EXPECT_EQ(NA_PNU_NONE, m_pclStatement->eParseNeedUpdate());
    EXPECT_EQ(-1, m_pclStatement->nGetRecordSaveID());
    EXPECT_EQ(1u, Count(nSecond));
}

TEST_F(StatementState, ACauseKeepsTheRowReadAsASave)
{
    RunSelect();
    Next();
    ASSERT_EQ(1, m_pclStatement->_bUpdateNARecordFromDB());
    ASSERT_EQ(1, m_pclStatement->bSetStmtOriginalRecord(NADirection::kFirst));

    ASSERT_EQ(1, m_pclStatement->bSetParseNeedUpdate(NA_PNU_REPOSITION));
    EXPECT_EQ(NA_PNU_REPOSITION, m_pclStatement->eParseNeedUpdate());
    const int nSave = m_pclStatement->nGetRecordSaveID();
    ASSERT_GE(nSave, 0);
    // Referenced at once: the next kept row cannot take its place.
    EXPECT_EQ(1u, Count(nSave));
    const int nOther = Keep("k3");
    EXPECT_NE(nSave, nOther);

    // A deletion of the current row while the parse is to be re-positioned
    // makes it run again, and marks nothing.
    ASSERT_EQ(1, m_pclStatement->bSaveDeletedRecord(-1));
    EXPECT_EQ(NA_PNU_REEXECUTE, m_pclStatement->eParseNeedUpdate());
    EXPECT_EQ(0, m_pclStatement->nGetDeletedRows());
}

TEST_F(StatementState, BlockStateOfAnExecution)
{
    struct
    {
        int64_t llLimit;
        int64_t llOffset;
        int64_t llBlockLimit;
        int bFromFirstRow;
    } cases[] = {
        {-1, -1, -1, 1},  // no limit
        {3, -1, 3, 1},    // the limit filled exactly: more rows may follow
        {4, -1, -1, 1},   // fewer rows than the limit: the result is whole
        {2, 1, 2, 0},     // a continuation block
    };
    for (const auto& c : cases) {
        RunSelect(c.llLimit, c.llOffset);
        EXPECT_EQ(c.llBlockLimit, m_pclStatement->llGetBlockRowLimit()) << c.llLimit << "," << c.llOffset;
        EXPECT_EQ(c.bFromFirstRow, m_pclStatement->bBlockStartsAtFirstRow()) << c.llLimit << "," << c.llOffset;
    }
}

TEST_F(StatementState, RowStatesUpToTheLastRow)
{
    RunSelect();
    const int nSave = Keep("k4");
    // Rows count from 0: row -1 is the row the result stands on, up to the
    // last one, whose entry is the array's last.
    for (int nRow = 0; nRow < 3; ++nRow) {
        Next();
        ASSERT_EQ(1, m_pclStatement->bKeepModifiedRecordSave(-1, nSave));
        EXPECT_EQ(nSave, m_pclStatement->nGetRowState(nRow));
        EXPECT_EQ(-1, m_pclStatement->nGetRowState(nRow + 1));
    }
    EXPECT_EQ(4u, Count(nSave));

    // Rows outside the result have no entry.
    EXPECT_EQ(1, m_pclStatement->bKeepModifiedRecordSave(3, nSave));
    EXPECT_EQ(1, m_pclStatement->bKeepModifiedRecordSave(-2, nSave));
    EXPECT_EQ(1, m_pclStatement->bSaveDeletedRecord(3));
    EXPECT_EQ(4u, Count(nSave));

    // The last row deleted: its save given back, the row marked once.
    ASSERT_EQ(1, m_pclStatement->bSaveDeletedRecord(-1));
    ASSERT_EQ(1, m_pclStatement->bSaveDeletedRecord(2));
    EXPECT_EQ(-2, m_pclStatement->nGetRowState(2));
    EXPECT_EQ(1, m_pclStatement->nGetDeletedRows());
    EXPECT_EQ(1, m_pclStatement->bCurrentRecordDeleted());
    EXPECT_EQ(3u, Count(nSave));

    // Close gives every save back and forgets the rows.
    m_pclStatement->Close();
    EXPECT_EQ(-1, m_pclStatement->nGetRowState(0));
    EXPECT_EQ(0, m_pclStatement->nGetDeletedRows());
    EXPECT_EQ(1u, Count(nSave));
    EXPECT_EQ(-1, m_pclStatement->nGetCurrentRecord());
    EXPECT_EQ(0, m_pclStatement->bParseStarted());
}

TEST_F(StatementState, AnEmptyResultHasNoRowStates)
{
    ASSERT_TRUE(m_client.bExecute("DELETE FROM s"));
    RunSelect();
    const int nSave = Keep("k5");
    EXPECT_EQ(1, m_pclStatement->bKeepModifiedRecordSave(-1, nSave));
    EXPECT_EQ(1, m_pclStatement->bKeepModifiedRecordSave(0, nSave));
    EXPECT_EQ(1u, Count(nSave));
    EXPECT_EQ(0, m_pclStatement->_bAllocRecordSaveTab());
}

TEST_F(StatementState, EqualRankFollowsTheRowsRead)
{
    RunSelect();
    Next();
    ASSERT_EQ(1, m_pclStatement->_bUpdateNARecordFromDB());
    CNARecord* pclRecord = m_pclAccess->pclGetCurrentRecordNoRef();
    struct
    {
        eNA_PARSEDIRECTION eDirection;
        bool bChangeRow;
        int nRank;
    } steps[] = {
        {NADirection::kFirst, false, 0},   {NADirection::kNext, false, 1}, {NADirection::kPrevious, false, 2},
        {NADirection::kNext, true, 0},     {NADirection::kNext, false, 1}, {NADirection::kLast, false, 0},
    };
    int nStep = 0;
    for (const auto& s : steps) {
        if (s.bChangeRow) {
            const CAny value = Text(nStep % 2 == 0 ? "x" : "y");
            ASSERT_EQ(1, Column(m_pclAccess, L"v")->bSetValue(&value, 0));
        }
        ASSERT_EQ(1, m_pclStatement->bSetStmtOriginalRecord(s.eDirection));
        EXPECT_EQ(s.nRank, m_pclStatement->nGetEqualRank()) << "step " << nStep;
        EXPECT_EQ(s.nRank, pclRecord->nGetEqualRank()) << "step " << nStep;
        ++nStep;
    }
}

TEST_F(StatementState, AnUpdateThatChangesNoRowWhileARowIsCurrent)
{
    struct
    {
        const wchar_t* pszSQL;
        int bResult;
    } cases[] = {
        {L"UPDATE s SET v = 'z' WHERE id = 99", 0},
        {L"UPDATE s SET v = 'z' WHERE id = 1", 1},
        // Matched but unchanged still counts as found.
        {L"UPDATE s SET v = 'z' WHERE id = 1", 1},
    };
    for (const auto& c : cases) {
        CNACommand* pclCommand = NewCommand(m_pclAccess);
        pclCommand->bComplete(c.pszSQL, static_cast<unsigned long>(-1));
        pclCommand->SetQueryKind(NA_QUERY_UPDATE);
        m_pclError->Reset();
        EXPECT_EQ(c.bResult, m_pclStatement->bExecuteDirectNewCommand(pclCommand, 0)) << Utf8(c.pszSQL);
        if (!c.bResult) {
            EXPECT_EQ(kRowChangedElsewhere, m_pclError->nGetUserErrorCode());
            EXPECT_EQ(NA_ERR_NO_ROW_CHANGED, m_pclError->eGetErrorType());
        }
    }
}

TEST_F(StatementState, AnEmptyCommandRunsAsNothing)
{
    CNACommand* pclCommand = NewCommand(m_pclAccess);
    // Nothing modified: the UPDATE has no text.
    ASSERT_EQ(1, m_pclStatement->bBuildQuery(NA_QUERY_UPDATE, pclCommand, 0)) << m_pclError->pszGetError();
    EXPECT_EQ(1, pclCommand->bIsEmpty());
    EXPECT_EQ(1, m_pclStatement->bExecute(0, NA_ST_PREPARE_NONE));
    // The execution statement stayed as the build's reset left it.
    EXPECT_EQ(-1, m_pclStatement->pclGetStatementSQLNoRef()->llGetRowCount());
}

TEST_F(StatementState, TheSameCommandSetAgainSurvives)
{
    CNACommand* pclCommand = m_pclAccess->pclAllocCommand(m_pclError);
    m_pclStatement->_SetQuery(pclCommand);
    ASSERT_EQ(1u, pclCommand->m_dwRefCount);
    // Its only holder hands it in again: referenced before the reset lets
    // the former one go.
    m_pclStatement->_SetQuery(pclCommand);
    EXPECT_EQ(pclCommand, m_pclStatement->pclGetCommandNoRef());
    EXPECT_EQ(1u, pclCommand->m_dwRefCount);
    m_pclStatement->ResetQuery();
    EXPECT_EQ(nullptr, m_pclStatement->pclGetCommandNoRef());
}

TEST_F(StatementState, AStatementGoesWithEverythingItHolds)
{
    const uint32_t dwRecordRefs = m_pclAccess->pclGetCurrentRecordNoRef()->m_dwRefCount;
    CNAStatement* pclStatement = new CNAStatement(m_pclAccess, m_pclError);
    REF_AddRef(pclStatement);
    CNACommand* pclCommand = m_pclAccess->pclAllocCommand(m_pclError);
    ASSERT_EQ(1, pclStatement->bBuildQuery(NA_QUERY_SELECT, pclCommand, 0));
    ASSERT_EQ(1, pclStatement->bExecute(0, NA_ST_PREPARE_NONE));
    ASSERT_EQ(1, pclStatement->_bFetchSQL());
    ASSERT_EQ(1, pclStatement->_bUpdateNARecordFromDB());
    ASSERT_EQ(1, pclStatement->bSetStmtOriginalRecord(NADirection::kFirst));
    const int nModified = Keep("k6");
    ASSERT_EQ(1, pclStatement->bKeepModifiedRecordSave(-1, nModified));
    ASSERT_EQ(1, pclStatement->bSetParseNeedUpdate(NA_PNU_REPOSITION));
    const int nHeld = pclStatement->nGetRecordSaveID();
    ASSERT_GE(nHeld, 0);
    pclStatement->EnableCache(1);
    pclStatement->pclActivateFilter();
    EXPECT_EQ(2u, Count(nModified));
    EXPECT_EQ(1u, Count(nHeld));

    pclStatement->nRelease();
    EXPECT_EQ(1u, Count(nModified));
    EXPECT_EQ(0u, Count(nHeld));
    EXPECT_EQ(dwRecordRefs, m_pclAccess->pclGetCurrentRecordNoRef()->m_dwRefCount);
}

}  // namespace

namespace {

TEST_F(StatementState, ExecuteAndFetchReadsTheFirstRow)
{
    // A one-row result: the values read are that row's.
    CNACommand* pclCount = NewCommand(m_pclAccess);
    ASSERT_EQ(1, m_pclStatement->_bBuildQueryCOUNT(pclCount, 0, 1));
    CAny count;
    ASSERT_EQ(1, m_pclStatement->bExecuteAndFetch(&count, 1, NA_ST_PREPARE_NONE)) << m_pclError->pszGetError();
    EXPECT_EQ(L"3", vxtest::TextOf(count));

    // Several rows: the first one's values.
    CNACommand* pclSelect = NewCommand(m_pclAccess);
    ASSERT_EQ(1, m_pclStatement->bBuildQuerySELECT(pclSelect, 0, L"id", 1, nullptr));
    CAny values[2];
    ASSERT_EQ(1, m_pclStatement->bExecuteAndFetch(values, 2, NA_ST_PREPARE_NONE)) << m_pclError->pszGetError();
    EXPECT_EQ(L"1", vxtest::TextOf(values[0]));
    EXPECT_EQ(L"a", vxtest::TextOf(values[1]));
    EXPECT_EQ(0, m_pclStatement->bParseStarted());
}

}  // namespace
