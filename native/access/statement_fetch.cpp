// Moving through the result of a parse: the browse step the data access
// calls (directions mirrored for a reversed sort, the parse brought up to
// date first), moves of the execution statement over rows marked deleted,
// reading a row into the current record (a record save of a row this parse
// modified wins over the database's values), continuation blocks, and the
// re-read of the row last read.
//
// This is the host's main road: nothing here allocates or looks a column up
// by name per row.
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/access/statement_sql.h"
#include "native/driver/error_object.h"
#include "native/model/column.h"
#include "native/model/record.h"
#include "native/model/record_cache.h"
#include "native/model/record_value.h"
#include "native/model/table_cache.h"
#include "native/sql/search.h"

namespace {

eNA_PARSEDIRECTION eMirrored(eNA_PARSEDIRECTION eDirection)
{
    switch (static_cast<int>(eDirection)) {
    case 0:
        return NADirection::kLast;
    case 1:
        return NADirection::kFirst;
    case 2:
        return NADirection::kPrevious;
    case 3:
        return NADirection::kNext;
    default:
        return eDirection;
    }
}

}  // namespace

int CNAStatement::bFetch(eNA_PARSEDIRECTION eDirection, int bUpdate, long nCount, long* pnRemaining)
{
    m_bFound = 0;
    if (pnRemaining != nullptr)
        *pnRemaining = 0;
    const bool bReRead = nCount == 0;
    const bool bEnd = eDirection == NADirection::kFirst || eDirection == NADirection::kLast;
    const bool bStep = eDirection == NADirection::kNext || eDirection == NADirection::kPrevious;
    if (m_pclTableCacheIndex == nullptr && bInvertFetch()) {
        eDirection = eMirrored(eDirection);
        if (bEnd)
            m_nEqualRank = 0;
    }

    const wchar_t* pszParseItem = m_csParseItemName.pszGet();
    if (pszParseItem != nullptr && *pszParseItem != 0 && !(m_bParseStarted && m_eParseNeedUpdate == NA_PNU_NONE)) {
        CNATableCache* pclTableCache = m_pclDataAccess != nullptr ? m_pclDataAccess->pclGetTableCacheNoRef() : nullptr;
        if (bEnd) {
            (void)bSetParseNeedUpdate(NA_PNU_NONE, -1);
            if (!m_bParseStarted && pclTableCache != nullptr && !pclTableCache->bIsStatementParse(this) &&
                !bOpenUsingTableCache())
                return 0;
        } else if (bStep && pclTableCache != nullptr) {
            if (!pclTableCache->bIsStatementParse(this)) {
                int bFound = 0;
                int bPastEnd = 0;
                if (!_bRefindInCacheIndex(&bFound, &bPastEnd))
                    return 0;
                // The lost row's neighbour is already under the index: the
                // row after it, or the last row when none follows.
                if (!bFound && nCount > 0 && eDirection == (bPastEnd ? NADirection::kPrevious : NADirection::kNext))
                    --nCount;
            } else if (!bUpdateParsePositionInRecordCache()) {
                return 0;
            }
        }
    }

    m_eLastDirection = eDirection;
    m_bRestoredByPosition = 0;
    m_bRowAvailable = 0;
    m_bHEndehors = 1;
    m_bHTrouve = 0;

    int bOut = 1;
    int bDone = bCacheEnabled() ? _bFetchCacheEnabled(eDirection, bUpdate, nCount, pnRemaining, &bOut)
                                : _bFetchCacheDisabled(eDirection, bUpdate, nCount, pnRemaining, &bOut);
    if (bDone && !bOut) {
        m_bFound = bExistRechercheObject() ? m_pclRecherche->bHTrouve() : 1;
        // A count of 0 re-reads the row: its rank among equal rows stays.
        (void)bSetStmtOriginalRecord(bReRead ? NADirection::kCurrent : eDirection);
        if (m_pclTableCacheIndex != nullptr) {
            m_nEqualRank = m_nIndexDuplicate;
            if (m_pclCurrentRecord != nullptr)
                m_pclCurrentRecord->SetEqualRank(m_nEqualRank);
        }
        if (bUpdate && m_pclDataAccess != nullptr)
            bDone = m_pclDataAccess->bSetCurrentRecordRead(0);
    } else {
        bOut = 1;
        m_bFound = 0;
    }
    m_bHEndehors = bOut;
    // Out of the result nothing is found: the user search would otherwise
    // answer for the record read before, which a browse that went on under
    // its own search (a row limit's next block) still holds.
    m_bHTrouve = bOut ? 0
             : m_bInternalSearch || m_pclTableCacheIndex != nullptr ? m_clUserSearch.bGetHTrouve(m_pclCurrentRecord)
                                                                    : m_bFound;
    SetParseStarted();
    return bDone;
}

int CNAStatement::_bFetch(eNA_PARSEDIRECTION eDirection, int, int* pbOut, long nCount, long* pnRemaining)
{
    *pbOut = 1;
    if (pnRemaining != nullptr)
        *pnRemaining = 0;
    if (m_pclStatementSQL == nullptr)
        return 0;
    const int64_t llRows = m_pclStatementSQL->llGetRowCount();
    if (llRows < 1)
        return 1;
    const long nCurrent = m_pclStatementSQL->llGetCurrentRow();
    long nFrom = nCurrent;
    long nStep = nCount;
    if (nCount == 0) {
        eDirection = NADirection::kCurrent;
        if (nCurrent < 0)
            return 1;
    } else if (eDirection == NADirection::kFirst) {
        nFrom = -1;
    } else if (eDirection == NADirection::kLast) {
        nFrom = static_cast<long>(llRows);
        nStep = -nCount;
    } else if (eDirection == NADirection::kPrevious) {
        nStep = -nCount;
    }
    if (!_bMove(nFrom, nStep, pbOut, pnRemaining))
        return 0;
    m_llCurrentRecord = m_llBlockOffset + m_pclStatementSQL->llGetCurrentRow();
    m_bCurrentRecordDeleted = 0;
    if (*pbOut)
        return 1;
    return _bUpdateNARecord(eDirection);
}

long CNAStatement::_llUpdateStep(long nFrom, long nStep, int* pbOut, long* pnRemaining)
{
    *pbOut = 0;
    const int64_t llRows = m_pclStatementSQL != nullptr ? m_pclStatementSQL->llGetRowCount() : 0;
    const int64_t llWanted = nStep < 0 ? -static_cast<int64_t>(nStep) : nStep;
    if (m_nDeletedRows == 0 || m_tabRowStates == nullptr) {
        const int64_t llTarget = static_cast<int64_t>(nFrom) + nStep;
        int64_t llMoved = llWanted;
        if (llTarget < 0 || llTarget >= llRows) {
            *pbOut = 1;
            llMoved = nStep > 0 ? llRows - nFrom - 1 : nFrom;
            llMoved = llMoved < 0 ? 0 : (llMoved > llRows ? llRows : llMoved);
        }
        if (pnRemaining != nullptr)
            *pnRemaining = static_cast<long>(llMoved);
        return nStep;
    }
    // Rows deleted since they were read are walked over one by one: only
    // live rows count.
    const int64_t llDelta = nStep < 0 ? -1 : 1;
    int64_t llAt = nFrom;
    int64_t llPassed = 0;
    while (llPassed < llWanted) {
        llAt += llDelta;
        if (llAt < 0 || llAt >= llRows) {
            *pbOut = 1;
            break;
        }
        if (nGetRowState(static_cast<long>(llAt)) != -2)
            ++llPassed;
    }
    if (pnRemaining != nullptr)
        *pnRemaining = static_cast<long>(llPassed);
    return static_cast<long>(llAt - nFrom);
}

int CNAStatement::_bMove(long nFrom, long nStep, int* pbOut, long* pnRemaining)
{
    const long nRaw = _llUpdateStep(nFrom, nStep, pbOut, pnRemaining);
    if (*pbOut)
        return 1;
    const int64_t llTarget = static_cast<int64_t>(nFrom) + nRaw;
    const int64_t llCurrent = m_pclStatementSQL->llGetCurrentRow();
    if (llTarget == llCurrent && m_pclStatementSQL->bHasCurrentRow())
        return 1;
    if (llTarget != llCurrent + 1 && !m_pclStatementSQL->bDataSeek(static_cast<long>(llTarget))) {
        _CopyStatementSQLError();
        return 0;
    }
    if (!_bFetchSQL())
        return 0;
    *pbOut = m_pclStatementSQL->bNoCurrentRow() ? 1 : 0;
    return 1;
}

int CNAStatement::_bUpdateNARecord(eNA_PARSEDIRECTION)
{
    // A row this parse modified comes back with its new values. The
    // statement original record follows in the fetch, once per read.
    const int nState = m_tabRowStates != nullptr && m_pclStatementSQL != nullptr
                           ? nGetRowState(static_cast<long>(m_pclStatementSQL->llGetCurrentRow()))
                           : -1;
    if (nState >= 0) {
        return m_pclDataAccess != nullptr && m_pclDataAccess->bRestoreOriginalRecordSave(nState) &&
               m_pclDataAccess->bCopyOriginalRecordToCurrentRecord();
    }
    return _bUpdateNARecordFromDB();
}

int CNAStatement::_bUpdateNARecordFromDB()
{
    // Each column up to the first composed key reads its value from the
    // execution statement's current row; the first failure stops the walk.
    if (m_pclCurrentRecord == nullptr)
        return 0;
    const int nColumns = m_pclCurrentRecord->nGetNbColumn();
    for (int i = 0; i < nColumns; ++i) {
        CNAColumn* pclColumn = m_pclCurrentRecord->pclGetColumnNoRef(i);
        if (pclColumn->bIsComposedKey())
            break;
        if (!_bSetColumnValueFromDB(pclColumn))
            return 0;
    }
    return 1;
}

int CNAStatement::_bSetColumnValueFromDB(CNAColumn* pclColumn)
{
    return pclColumn->bSetValueFromDB(this, 0);
}

// --- Continuation blocks ----------------------------------------------------

int CNAStatement::_bContinuesInNextBlock(eNA_PARSEDIRECTION eDirection) const
{
    if (m_bFetchingNextBlock)
        return 0;
    if (m_llBlockRowLimit > 0 && !bCacheCompleted())
        return 1;
    return !m_bBlockStartsAtFirstRow && eDirection == NADirection::kPrevious;
}

int CNAStatement::_bFetchCacheDisabled(eNA_PARSEDIRECTION eDirection, int bUpdate, long nCount, long* pnRemaining,
                                       int* pbOut)
{
    const int bDone = _bFetch(eDirection, bUpdate, pbOut, nCount, pnRemaining);
    // The continuation only tells whether a row came: the move's own result
    // stands.
    if (bDone && *pbOut && _bContinuesInNextBlock(eDirection))
        (void)_bFetchNextBloc(eDirection, bUpdate, nCount, pnRemaining, pbOut);
    m_bRowAvailable = bDone && !*pbOut;
    return bDone;
}

int CNAStatement::_bFetchNextBloc(eNA_PARSEDIRECTION eDirection, int bUpdate, long nCount, long*, int* pbOut)
{
    m_bFetchingNextBlock = 1;
    if (eDirection == NADirection::kFirst)
        eDirection = NADirection::kNext;
    else if (eDirection == NADirection::kLast)
        eDirection = NADirection::kPrevious;
    // The data access's browse mirrors it back.
    if (m_pclTableCacheIndex == nullptr && bInvertFetch())
        eDirection = eMirrored(eDirection);
    int bDone = 0;
    if (m_pclDataAccess != nullptr) {
        if (bCacheEnabled() && m_pclRecordCache->nGetRowCount() > 0) {
            // The parse runs again after the last cached row; the row read
            // last comes back when nothing follows.
            CNARecordValue* pclOriginal = pclGetStmtOriginalRecord();
            CNARecordValue* pclKept =
                pclOriginal != nullptr ? pclOriginal->pclGetClone(CNARecordValue::COPY_ALL) : nullptr;
            if (pclKept != nullptr)
                REF_AddRef(pclKept);
            if (pclKept != nullptr &&
                m_pclRecordCache->bGetAt(pclOriginal, static_cast<unsigned>(m_pclRecordCache->nGetRowCount() - 1)))
                bDone = m_pclDataAccess->bGoToStmtOriginalRecord(0, this, bUpdate, eDirection, nCount);
            if (pclKept != nullptr) {
                if (!bDone || m_bHEndehors)
                    (void)pclOriginal->bCopyRecordValue(pclKept, CNARecordValue::COPY_ALL);
                REF_Release(pclKept);
            }
        } else {
            bDone = m_pclDataAccess->bGoToStmtOriginalRecord(0, this, bUpdate, eDirection, nCount);
        }
    }
    *pbOut = m_bHEndehors;
    m_bFetchingNextBlock = 0;
    m_bBlockStartsAtFirstRow = 0;
    return bDone;
}

// --- Reads of the row last read ----------------------------------------------

int CNAStatement::bMove(long, int bUpdate)
{
    ResetQuery();
    EnableCache(0);
    if (m_pclDataAccess == nullptr)
        return 0;
    CNACommand* pclWhere = m_pclDataAccess->pclAllocCommand(m_pclError);
    CNACommand* pclCommand = m_pclDataAccess->pclAllocCommand(m_pclError);
    if (pclWhere != nullptr)
        REF_AddRef(pclWhere);
    if (pclCommand != nullptr)
        REF_AddRef(pclCommand);
    const int bDone = pclWhere != nullptr && pclCommand != nullptr && _bAddWHERELatestRead(pclWhere, 0, nullptr) &&
                      bBuildQuerySELECT(pclCommand, 0, nullptr, 1, pclWhere) &&
                      bExecute(0, bUpdate ? NA_ST_PREPARE_UPDATE : NA_ST_PREPARE_NONE) &&
                      bFetch(NADirection::kFirst, bUpdate, 1, nullptr);
    if (pclCommand != nullptr)
        REF_Release(pclCommand);
    if (pclWhere != nullptr)
        REF_Release(pclWhere);
    return bDone;
}

int CNAStatement::bFetchData(eNA_PARSEDIRECTION eDirection, int* pbOut, CAny* pclValues, int nCount)
{
    int bDone = bFetch(eDirection, 1, 1, nullptr);
    if (bDone && m_bFound && m_pclCurrentRecord != nullptr) {
        const int nColumns = nCount < m_pclCurrentRecord->nGetNbColumn() ? nCount : m_pclCurrentRecord->nGetNbColumn();
        for (int i = 0; i < nColumns && bDone; ++i)
            bDone = m_pclCurrentRecord->pclGetColumnNoRef(i)->bGetCurrentValue(&pclValues[i], 0);
    }
    if (pbOut != nullptr)
        *pbOut = m_bHEndehors;
    return bDone;
}

// --- A row that cannot be found again -----------------------------------------

void CNAStatement::CurrentRecordNotFound(const wchar_t* pszItem, unsigned nFile, int nSite)
{
    m_bRecordLost = 1;
    m_bHEndehors = 1;
    m_bHTrouve = 0;
    constexpr unsigned kRecordNotFound = 13;
    const stNAErrorSite site{static_cast<eNA_ERRORSOURCE>(nFile), nSite, kRecordNotFound, NA_ERR_GENERAL};
    CNAError::g_RaiseSiteError(m_pclError, site, pclGetConnectionNoRef(), _pszLogicalName(), pszItem,
                               _pszLogicalName());
    // Written as the UPDATE check writes it: the row as text, as a debug
    // message of the error.
    if (m_pclError != nullptr && m_pclCurrentRecord != nullptr) {
        CXYStringConcat<wchar_t> clRecord;
        m_pclCurrentRecord->CurrentRecordToString(&clRecord);
        m_pclError->AddDebugMessageNoFormat(clRecord.pszGet());
    }
}
