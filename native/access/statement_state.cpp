// The parse-state machine of a statement: the cause for bringing the parse
// up to date and the record save it comes back to, the row states of its
// result (rows deleted or modified since they were read), the statement
// original record (the row it read last) and the end of a parse.
#include <cstddef>
#include <limits>
#include <new>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/access/statement_sql.h"
#include "native/driver/error_object.h"
#include "native/model/record.h"
#include "native/model/record_id.h"
#include "native/model/record_value.h"

// --- Parse-need-update ------------------------------------------------------

void CNAStatement::_SwapRecordSave(int nRecordSaveID)
{
    if (nRecordSaveID == m_nRecordSaveID)
        return;
    // A save just kept has no reference yet and the next kept row may take
    // its place: it is referenced before anything else is given back.
    if (nRecordSaveID != -1 && m_pclDataAccess != nullptr)
        m_pclDataAccess->AddRefRecordSave(nRecordSaveID);
    const int nFormer = m_nRecordSaveID;
    m_nRecordSaveID = nRecordSaveID;
    if (nFormer != -1 && m_pclDataAccess != nullptr)
        m_pclDataAccess->nReleaseRecordSave(nFormer);
}

int CNAStatement::bSetParseNeedUpdate(ePARSENEEDUPDATECAUSE eCause, int nRecordSaveID)
{
    // A re-positioning never hides a pending re-run.
    if (!(eCause == NA_PNU_REPOSITION && m_eParseNeedUpdate == NA_PNU_REEXECUTE))
        m_eParseNeedUpdate = eCause;
    _SwapRecordSave(nRecordSaveID);
    if (m_eParseNeedUpdate == NA_PNU_REEXECUTE && m_pclStatementSQL != nullptr)
        return _bResetStatementSQL();
    return 1;
}

int CNAStatement::bSetParseNeedUpdate(ePARSENEEDUPDATECAUSE eCause)
{
    if (eCause == NA_PNU_NONE)
        return bSetParseNeedUpdate(NA_PNU_NONE, -1);
    const int nSave = m_pclDataAccess != nullptr ? m_pclDataAccess->nKeepOriginalRecordSave(this) : -1;
    if (nSave == -1)
        return 1;
    return bSetParseNeedUpdate(eCause, nSave);
}

// --- Row states ---------------------------------------------------------------

int CNAStatement::_bAllocRecordSaveTab()
{
    _FreeRecordSaveTab();
    const int64_t llRows = m_pclStatementSQL != nullptr ? m_pclStatementSQL->llGetRowCount() : 0;
    if (llRows < 1)
        return 0;
    if (static_cast<uint64_t>(llRows) > std::numeric_limits<size_t>::max() / sizeof(int32_t)) {
        if (m_pclError != nullptr)
            m_pclError->pclGetXError()->SetErrorNoMemory();
        return 0;
    }
    m_tabRowStates = new (std::nothrow) int32_t[static_cast<size_t>(llRows)];
    if (m_tabRowStates == nullptr) {
        if (m_pclError != nullptr)
            m_pclError->pclGetXError()->SetErrorNoMemory();
        return 0;
    }
    for (int64_t i = 0; i < llRows; ++i)
        m_tabRowStates[i] = -1;
    m_llRowStateCount = llRows;
    return 1;
}

int CNAStatement::_bEnsureRowStates()
{
    return m_tabRowStates != nullptr || _bAllocRecordSaveTab();
}

void CNAStatement::_FreeRecordSaveTab()
{
    int32_t* tabStates = m_tabRowStates;
    const int64_t llCount = m_llRowStateCount;
    m_tabRowStates = nullptr;
    m_llRowStateCount = 0;
    m_nDeletedRows = 0;
    if (tabStates == nullptr)
        return;
    for (int64_t i = 0; i < llCount; ++i)
        if (tabStates[i] >= 0 && m_pclDataAccess != nullptr)
            m_pclDataAccess->nReleaseRecordSave(tabStates[i]);
    delete[] tabStates;
}

void CNAStatement::_ReleaseRowStates()
{
    _FreeRecordSaveTab();
}

int CNAStatement::bKeepModifiedRecordSave(long nRow, int nRecordSaveID)
{
    // Row -1 is the row the execution statement stands on, the one a browse
    // shows (rows count from 0); a row outside the result has no entry.
    if (nRow == -1)
        nRow = m_pclStatementSQL != nullptr ? m_pclStatementSQL->llGetCurrentRow() : -1;
    const int64_t llRows = m_pclStatementSQL != nullptr ? m_pclStatementSQL->llGetRowCount() : 0;
    if (nRow < 0 || nRow >= llRows)
        return 1;
    if (!_bEnsureRowStates() || nRow >= m_llRowStateCount)
        return 0;
    if (nRecordSaveID != -1 && m_pclDataAccess != nullptr)
        m_pclDataAccess->AddRefRecordSave(nRecordSaveID);
    const int32_t nFormer = m_tabRowStates[nRow];
    m_tabRowStates[nRow] = nRecordSaveID;
    if (nFormer >= 0 && m_pclDataAccess != nullptr)
        m_pclDataAccess->nReleaseRecordSave(nFormer);
    else if (nFormer == -2)
        --m_nDeletedRows;
    return 1;
}

int CNAStatement::bSaveDeletedRecord(long nRow)
{
    const int64_t llCurrent = m_pclStatementSQL != nullptr ? m_pclStatementSQL->llGetCurrentRow() : -1;
    if (nRow == -1) {
        // A parse to be re-positioned must run again instead; one that runs
        // again needs nothing more.
        if (m_eParseNeedUpdate == NA_PNU_REPOSITION)
            return bSetParseNeedUpdate(NA_PNU_REEXECUTE);
        if (m_eParseNeedUpdate == NA_PNU_REEXECUTE)
            return 1;
        nRow = llCurrent;
    }
    const int64_t llRows = m_pclStatementSQL != nullptr ? m_pclStatementSQL->llGetRowCount() : 0;
    if (nRow < 0 || nRow >= llRows)
        return 1;
    if (!_bEnsureRowStates() || nRow >= m_llRowStateCount)
        return 0;
    const int32_t nFormer = m_tabRowStates[nRow];
    if (nFormer != -2) {
        m_tabRowStates[nRow] = -2;
        ++m_nDeletedRows;
        if (nFormer >= 0 && m_pclDataAccess != nullptr)
            m_pclDataAccess->nReleaseRecordSave(nFormer);
    }
    if (nRow == llCurrent)
        m_bCurrentRecordDeleted = 1;
    return 1;
}

// --- Statement original record --------------------------------------------

namespace {
// A new row value with a reference, or null with the error object's
// no-memory error.
CNARecordValue* pclNewRowValue(CNAError* pclError)
{
    auto* pclRow = new (std::nothrow) CNARecordValue(pclError);
    if (pclRow == nullptr) {
        if (pclError != nullptr)
            pclError->pclGetXError()->SetErrorNoMemory();
        return nullptr;
    }
    REF_AddRef(pclRow);
    return pclRow;
}
}  // namespace

CNARecordValue* CNAStatement::pclGetStmtOriginalRecord()
{
    if (m_pclStmtOriginalRecord == nullptr) {
        m_pclStmtOriginalRecord = pclNewRowValue(m_pclError);
        if (m_pclStmtOriginalRecord == nullptr)
            return nullptr;
        if (m_nRecordSaveID != -1 && m_pclDataAccess != nullptr)
            (void)m_pclDataAccess->bCopySaveToRecord(m_nRecordSaveID, m_pclStmtOriginalRecord);
    }
    return m_pclStmtOriginalRecord;
}

int CNAStatement::bEqualStmtOriginalRecordId(const CNARecordId* pclId)
{
    if (m_pclStmtOriginalRecord == nullptr || pclId == nullptr)
        return 0;
    const CNARecordId* pclOwn = m_pclStmtOriginalRecord->pclGetRecordIDNoRef();
    return pclOwn != nullptr && pclOwn->bEqualRecordId(pclId);
}

int CNAStatement::bSetStmtOriginalRecord(eNA_PARSEDIRECTION eDirection)
{
    if (m_eParseNeedUpdate == NA_PNU_REPOSITION)
        (void)bSetParseNeedUpdate(NA_PNU_NONE, -1);
    if (eDirection == NADirection::kCurrent && m_nRecordSaveID != -1) {
        // A refresh of the row held in a save: the save follows the row.
        if (m_pclDataAccess != nullptr)
            _SwapRecordSave(m_pclDataAccess->nKeepCurrentRecordSave());
        return 1;
    }
    if (m_pclCurrentRecord == nullptr)
        return 0;
    if (m_pclStmtOriginalRecord == nullptr) {
        m_pclStmtOriginalRecord = pclNewRowValue(m_pclError);
        if (m_pclStmtOriginalRecord == nullptr)
            return 0;
    } else if (eDirection == NADirection::kFirst || eDirection == NADirection::kLast) {
        m_nEqualRank = 0;
    } else if (eDirection == NADirection::kNext || eDirection == NADirection::kPrevious) {
        m_nEqualRank = m_pclCurrentRecord->bEquals(m_pclStmtOriginalRecord, 0) ? m_nEqualRank + 1 : 0;
    }
    const int bCopied = m_pclStmtOriginalRecord->bCopyRecordValue(m_pclCurrentRecord->pclGetCurrentRecordValueNoRef(),
                                                                  CNARecordValue::COPY_ALL);
    m_pclCurrentRecord->SetEqualRank(m_nEqualRank);
    return bCopied;
}

int CNAStatement::bUpdateChangedTypeInCurrentRecord()
{
    CNARecordValue* pclFormer = m_pclStmtOriginalRecord;
    m_pclStmtOriginalRecord = nullptr;
    if (pclFormer != nullptr)
        REF_Release(pclFormer);
    m_nEqualRank = 0;
    m_pclStmtOriginalRecord = pclNewRowValue(m_pclError);
    return m_pclStmtOriginalRecord != nullptr;
}

int CNAStatement::bCopyOriginalRecordToCurrentRecord()
{
    return m_pclDataAccess != nullptr && m_pclDataAccess->bCopyOriginalRecordToCurrentRecord();
}

int CNAStatement::_bRestaureOriginalRecord()
{
    // The row this statement read last becomes the row as read again.
    if (m_pclCurrentRecord == nullptr || m_pclStmtOriginalRecord == nullptr)
        return 0;
    CNARecordValue* pclOriginal = m_pclCurrentRecord->pclGetOriginalRecordValueNoRef();
    return pclOriginal != nullptr && pclOriginal->bCopyRecordValue(m_pclStmtOriginalRecord, CNARecordValue::COPY_ALL);
}

// --- End of a parse -------------------------------------------------------

void CNAStatement::SetParseStarted()
{
    m_bParseStarted = 1;
    m_clSavedFilter.SetFilter(m_pclFilter);
}

void CNAStatement::Close()
{
    _FreeRecordSaveTab();
    if (!m_bFetchingNextBlock) {
        m_clSavedFilter.SetFilter(nullptr);
        if (m_pclDataAccess != nullptr)
            m_pclDataAccess->ClosingStatement(this);
        m_bParseStarted = 0;
        m_bCurrentRecordDeleted = 0;
        m_llBlockOffset = 0;
        m_llCurrentRecord = -1;
        EnableCache(0);
    }
    // During a continuation block the rows keep their numbers unless the
    // table cache no longer follows them.
    if (!m_bFetchingNextBlock || m_pclDataAccess == nullptr || m_pclDataAccess->pclGetTableCacheNoRef() == nullptr)
        _InvalidatePositionRowIds();
    (void)bSetParseNeedUpdate(NA_PNU_NONE, -1);
    m_bBlockStartsAtFirstRow = 1;
    m_bCurrentRecordDeleted = 0;
    m_nWord11 = 0;
    if (m_pclStatementSQL != nullptr)
        (void)m_pclStatementSQL->bReset();
}

void CNAStatement::_InvalidatePositionRowIds()
{
    unsigned int dwCursor = 0;
    CNAPosition* pclPosition = nullptr;
    int nId = 0;
    while (m_tabSavedPositions.bParseTable(&dwCursor, 0, &pclPosition, &nId))
        if (pclPosition != nullptr)
            pclPosition->InvalidateRowID();
}
