// A statement's saved positions: filling a position with the row the parse
// stands on, going back to it (by its row while the row is known and
// alive, else by search on the record save that holds its values), and the
// list of the positions that refer to this statement.
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/access/statement_sites.h"
#include "native/access/statement_sql.h"
#include "native/driver/error_object.h"
#include "native/model/record.h"
#include "native/model/record_cache.h"
#include "native/model/record_value.h"
#include "native/sql/filter.h"

int CNAStatement::bGetPosition(CNAPosition* pclPosition, eNAPOSITION)
{
    if (pclPosition == nullptr || m_pclDataAccess == nullptr)
        return 0;
    pclPosition->SetStatement(this);
    (void)pclPosition->bKeepFilter(!bFilterChanged() ? m_pclFilter : m_pclDataAccess->pclGetLatestFilterNoRef());
    if (m_bParseStarted && m_eParseNeedUpdate == NA_PNU_NONE && m_llCurrentRecord >= 0 &&
        !m_bCurrentRecordDeleted) {
        // A row number out of 32 bits is no row number: the search finds it.
        const int nRow = m_llCurrentRecord <= INT32_MAX ? static_cast<int>(m_llCurrentRecord) : -1;
        (void)pclPosition->bSetParameters(nRow, m_pclDataAccess->nKeepOriginalRecordSave(this), m_clUserSearch,
                                          m_nEqualRank);
        return _bSetPositionParametersEx(pclPosition);
    }
    // No row to go back to by its number: what holds the record's values.
    if (m_nRecordSaveID != -1) {
        (void)pclPosition->bSetParameters(-1, m_nRecordSaveID, m_clUserSearch, m_nEqualRank);
    } else if (m_pclStmtOriginalRecord != nullptr) {
        (void)pclPosition->bSetParameters(-1, m_pclDataAccess->nKeepOriginalRecordSave(this), m_clUserSearch,
                                          m_nEqualRank);
    } else if (m_pclDataAccess->nGetCurrentRecordSaveID() != -1) {
        (void)pclPosition->bSetParameters(-1, m_pclDataAccess->nGetCurrentRecordSaveID(), m_clUserSearch,
                                          m_nEqualRank);
    } else {
        (void)pclPosition->bSetParameters(-1, m_pclDataAccess->nKeepOriginalRecordSave(nullptr), m_clUserSearch,
                                          m_nEqualRank);
        pclPosition->ClearParametersSet();
    }
    return 1;
}

int CNAStatement::bSetPosition(CNAPosition* pclPosition, eNAPOSITION eMode)
{
    if (pclPosition == nullptr || m_pclDataAccess == nullptr)
        return 0;
    const int nSave = pclPosition->nGetRecordSaveID();
    if (nSave != -1) {
        const bool bByRow = pclPosition->bParametersSet() && !m_pclDataAccess->bRecordDeleted(nSave) &&
                            !pclPosition->bRowDeleted() && pclPosition->nGetRowID() != -1 &&
                            m_eParseNeedUpdate != NA_PNU_REEXECUTE;
        const int bDone =
            bByRow ? _bGoToRowId(pclPosition->nGetRowID(), pclPosition) : _bSetPositionBySearch(pclPosition);
        if (!bDone)
            return 0;
    }
    m_clUserSearch.Copy(pclPosition->clGetUserSearch());
    m_bInternalSearch = 1;
    m_bHEndehors = 0;
    m_bHTrouve = m_clUserSearch.bGetHTrouve(m_pclCurrentRecord);
    if ((static_cast<int32_t>(eMode) & 1) != 0) {
        _SetFilter(pclPosition->pclGetFilterSave());
        m_pclDataAccess->SetLatestFilter(m_pclFilter);
    }
    return 1;
}

int CNAStatement::bSetPositionInitParcours(CNAPosition* pclPosition, eNAPOSITION eMode)
{
    return bSetPosition(pclPosition, eMode);
}

int CNAStatement::_bSetPositionBySearch(CNAPosition* pclPosition)
{
    const bool bRerunPending = m_eParseNeedUpdate == NA_PNU_REEXECUTE;
    const int nSave = pclPosition->nGetRecordSaveID();
    if (!bSetParseNeedUpdate(NA_PNU_REPOSITION, nSave))
        return 0;
    if (!m_pclDataAccess->bRestoreOriginalRecordSave(nSave) || !m_pclDataAccess->bCopyOriginalRecordToCurrentRecord())
        return 0;
    // The parse stands on the saved row: whatever marks it for an update
    // before its next read keeps that row, not the one read before.
    CNARecordValue* pclOriginal = pclGetStmtOriginalRecord();
    if (pclOriginal == nullptr || !m_pclDataAccess->bCopySaveToRecord(nSave, pclOriginal))
        return 0;
    m_bRestoredByPosition = 1;
    m_bRowAvailable = 0;
    m_nEqualRank = pclPosition->nGetEqualRank();
    m_pclCurrentRecord->SetEqualRank(m_nEqualRank);
    // The cached rows serve only the parse they were read for.
    if (bRerunPending || pclPosition->bRowDeleted() || !bCacheEnabled() || m_pclTableCacheIndex != nullptr ||
        !pclPosition->pclGetFilterSave()->bFilterEquals(m_pclFilter))
        return 1;
    const CNARecordValue* pclSaved = m_pclCurrentRecord->pclGetOriginalRecordValueNoRef();
    const int nRow = pclSaved != nullptr ? m_pclRecordCache->nGetRecordIndice(pclSaved->pclGetRecordIDNoRef()) : -1;
    return nRow >= 0 ? _bGoToRowId(nRow, pclPosition) : 1;
}

int CNAStatement::_bGoToRowId(long nRow, CNAPosition* pclPosition)
{
    if (m_pclCurrentRecord == nullptr)
        return 0;
    const int nRank = pclPosition != nullptr ? pclPosition->nGetEqualRank() : 0;
    if (bCacheEnabled()) {
        if (!_RestaureRecordFromCache(nRow)) {
            CNAError::g_RaiseSiteError(m_pclError, NAStatementSite::kCachedRowUnreadable, pclGetConnectionNoRef(),
                                       _pszLogicalName(), pszGetSearchItemName());
            return 0;
        }
        m_nEqualRank = nRank;
        m_pclCurrentRecord->SetEqualRank(nRank);
        if (m_pclTableCacheIndex != nullptr) {
            // The index finds the row again at the next move.
            (void)bSetParseNeedUpdate(NA_PNU_REPOSITION, pclPosition != nullptr ? pclPosition->nGetRecordSaveID() : -1);
        } else {
            (void)bSetParseNeedUpdate(NA_PNU_NONE, -1);
            (void)bSetStmtOriginalRecord(NADirection::kCurrent);
        }
        return 1;
    }
    (void)bSetParseNeedUpdate(NA_PNU_NONE, -1);
    if (m_pclStatementSQL == nullptr)
        return 0;
    const int64_t llRow = static_cast<int64_t>(nRow) - m_llBlockOffset;
    int bOut = 1;
    if (llRow == m_pclStatementSQL->llGetCurrentRow() && m_pclStatementSQL->bHasCurrentRow()) {
        if (!_bUpdateNARecord(NADirection::kCurrent))
            return 0;
        bOut = 0;
    } else if (llRow >= 0 && llRow < m_pclStatementSQL->llGetRowCount()) {
        if (!m_pclStatementSQL->bDataSeek(static_cast<long>(llRow))) {
            _CopyStatementSQLError();
            return 0;
        }
        if (!_bFetch(NADirection::kNext, 1, &bOut, 1, nullptr))
            return 0;
    }
    m_nEqualRank = nRank;
    m_pclCurrentRecord->SetEqualRank(nRank);
    if (bOut)
        // The row is no longer in the result as it was read: its values
        // find it.
        return pclPosition != nullptr && _bSetPositionBySearch(pclPosition);
    m_bHEndehors = 0;
    m_bRowAvailable = 1;
    m_bCurrentRecordDeleted = 0;
    m_llCurrentRecord = nRow;
    if (!m_pclCurrentRecord->bCopyCurrentRecordToOriginalRecord())
        return 0;
    (void)bSetStmtOriginalRecord(NADirection::kCurrent);
    m_nEqualRank = nRank;
    m_pclCurrentRecord->SetEqualRank(nRank);
    return 1;
}

// --- The positions that refer to this statement -------------------------------

CNAPosition* CNAStatement::pclGetSavedPosition(int nId)
{
    CNAPosition* pclPosition = nullptr;
    return m_tabSavedPositions.bGetElementRef(nId, &pclPosition) ? pclPosition : nullptr;
}

int CNAStatement::bAddSavedPosition(int nId, CNAPosition* pclPosition)
{
    if (pclPosition == nullptr)
        return 0;
    REF_AddRef(pclPosition);
    if (!m_tabSavedPositions.bAddElement(nId, pclPosition)) {
        REF_Release(pclPosition);
        return 0;
    }
    return 1;
}

int CNAStatement::bRemoveSavedPosition(int nId)
{
    CNAPosition* pclPosition = nullptr;
    if (!m_tabSavedPositions.bDeleteElement(nId, &pclPosition))
        return 0;
    if (pclPosition != nullptr)
        REF_Release(pclPosition);
    return 1;
}

void CNAStatement::_UpdateSavedPositionAfterDelete(const CNARecordId* pclId)
{
    if (m_pclRecordCache == nullptr || pclId == nullptr)
        return;
    const int nRow = m_pclRecordCache->nGetRecordIndice(pclId);
    if (nRow < 0)
        return;
    if (nRow == m_llCurrentRecord)
        m_bCurrentRecordDeleted = 1;
    unsigned int dwCursor = 0;
    CNAPosition* pclPosition = nullptr;
    int nId = 0;
    while (m_tabSavedPositions.bParseTable(&dwCursor, 0, &pclPosition, &nId))
        if (pclPosition != nullptr && pclPosition->nGetRowID() == nRow)
            pclPosition->SetRowDeleted(1);
}
