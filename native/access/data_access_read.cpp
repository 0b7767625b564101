// The browsing half of the data access: the host's reads (first, last,
// next, previous, a skip by a count, a read by record number) turned into
// the statement of the browse item, opened when the parse starts anew,
// reused while its result still serves, and fetched. This is the host's
// main road: a read of the next row allocates nothing and looks nothing up
// by name beyond the one-entry statement look-up.
#include <cwchar>

#include "common/text/str_compare.h"
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/model/record.h"
#include "native/model/table_cache.h"
#include "native/sql/search.h"

namespace {

bool bStartsParse(eNA_PARSEDIRECTION eDirection)
{
    return eDirection == NADirection::kFirst || eDirection == NADirection::kLast;
}

bool bReadsForward(eNA_PARSEDIRECTION eDirection)
{
    return eDirection == NADirection::kFirst || eDirection == NADirection::kNext;
}

bool bSameName(const wchar_t* pszA, const wchar_t* pszB)
{
    return STR_nCompareW(pszA != nullptr ? pszA : L"", pszB != nullptr ? pszB : L"", 3) == 0;
}

constexpr NA_WRITEPARSEFLAGS kTableCacheRead = 0x2000;
constexpr NA_WRITEPARSEFLAGS kRepositioning = 0x40000;

}  // namespace

int CNADataAccess::bHLitxxx(const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection, int nFetchOption,
                            eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock, NA_WRITEPARSEFLAGS nFlags)
{
    CNAStatement* pclStatement = nullptr;
    if (m_bReuseLastStatement) {
        CNAStatement* pclLast = m_pclLastStatement;
        if (m_pclLatestFilter == nullptr && pclLast != nullptr && !pclLast->bExistRechercheObject()) {
            // The result of the query just run is read again through the
            // table cache it filled.
            if (bRequeteSansCorrection() || (nFlags & NAParseFlag::kQueryOrder) != 0 ||
                (bSameName(pszItem, pclLast->pszGetSearchItemName()) &&
                 (pclLast->nGetParseFlags() & NAParseFlag::kQueryOrder) == 0)) {
                nFlags |= kTableCacheRead;
                if ((nFlags & NAParseFlag::kForwardOnly) != 0) {
                    pclLast->EnableCache(0);
                    _FreeTableCache();
                }
            }
        }
        if ((nFlags & NAParseFlag::kContinueLastQuery) != 0 && pclLast != nullptr &&
            bSameName(pclLast->pszGetParseItemName(), pszItem)) {
            REF_AddRef(pclLast);
            pclStatement = pclLast;
            pclStatement->SetParseStarted();
        }
    }
    m_bReuseLastStatement = 0;
    if (pclStatement == nullptr)
        pclStatement = _pclGetNewItemStatement(pszItem, eDirection, nFlags);
    if (pclStatement == nullptr)
        return 0;

    const bool bStart = bStartsParse(eDirection);
    int bRestart = 0;
    int bResult = 0;
    bool bFailed = false;
    if (!bStart) {
        if (pclStatement->bFilterChanged() && !pclStatement->bSetParseNeedUpdate(NA_PNU_REPOSITION))
            bFailed = true;
    } else {
        if ((nFlags & kTableCacheRead) != 0 && pclStatement->bParseStarted() &&
            (nFlags & NAParseFlag::kQueryOrder) != (pclStatement->nGetParseFlags() & NAParseFlag::kQueryOrder) &&
            m_pclTableCache == nullptr)
            nFlags &= ~kTableCacheRead;
        bRestart = pclStatement->bFilterChanged();
        if ((nFlags & kTableCacheRead) != 0 && (nFlags & NAParseFlag::kContinueLastQuery) != 0 && !m_bQuery) {
            // Against the natural order the whole result must be there.
            const bool bAgainst = pclStatement->bInvertFetch() ? eDirection == NADirection::kFirst
                                                                : eDirection == NADirection::kLast;
            if (bAgainst && !(!pclStatement->bExistRechercheObject() && pclStatement->llGetBlockRowLimit() < 0 &&
                              pclStatement->bBlockStartsAtFirstRow() && pclStatement->bCacheCompleted()))
                bRestart = 1;
        }
        if (pclStatement->bExistRechercheObject() &&
            !(m_pclTableCache != nullptr && !bRestart && (nFlags & kTableCacheRead) != 0)) {
            pclStatement->DesactivateRechercheUserAndInternal();
            bRestart = 1;
        }
        pclStatement->AnnuleRechercheUser();
        pclStatement->SetParseFlags(nFlags);
        const wchar_t* pszSearchItem =
            (nFlags & NAParseFlag::kQueryOrder) != 0 ? _pszGetDefaultParseItem() : (pszItem != nullptr ? pszItem : L"");
        if (wcscmp(pszSearchItem, pclStatement->pszGetSearchItemName()) != 0)
            pclStatement->SetSearchItemName(pszSearchItem);
        if (bRestart || (nFlags & kTableCacheRead) == 0)
            _FreeTableCache();

        // The table cache of a query source.
        if (m_bQuery &&
            ((nFlags & NAParseFlag::kContinueLastQuery) != 0 || bRequeteSansCorrection() || bQueryResultsetLimited()) &&
            (nFlags & (NAParseFlag::kNoRecordCache | NAParseFlag::kForwardOnly)) == 0) {
            if (bRestart || (nFlags & kTableCacheRead) == 0) {
                bFailed = !_bCreateNewTableCache(pclStatement);
                bRestart = 1;
            } else if (m_pclTableCache == nullptr) {
                bFailed = !_bCreateNewTableCache(pclStatement);
                // The open result already holds every row from the first:
                // the table cache takes them.
                if (!bFailed && pclStatement->bCacheEnabled() && !pclStatement->bFilterChanged() &&
                    !pclStatement->bExistRechercheObject() && pclStatement->eParseNeedUpdate() == NA_PNU_NONE &&
                    pclStatement->llGetBlockRowLimit() < 0 && pclStatement->bBlockStartsAtFirstRow())
                    bFailed = !m_pclTableCache->bSetStatementParse(pclStatement);
                else
                    bRestart = 1;
            } else {
                const bool bDefaultItem = (nFlags & NAParseFlag::kQueryOrder) != 0;
                const bool bIncomplete = !m_pclTableCache->bCacheCompleted();
                const bool bNormalFetch =
                    (bDefaultItem && bRequeteSansCorrection()) ||
                    (bIncomplete && m_csTableCacheItemName.nTaille() > 0 &&
                     bSameName(m_csTableCacheItemName.pszGet(), pszItem)) ||
                    (bIncomplete && bDefaultItem) ||
                    (m_pclConnection != nullptr && m_pclConnection->bOpenedBySQLFunctions());
                if (!bNormalFetch)
                    bFailed = !pclStatement->bOpenUsingTableCache();
            }
        } else if (m_pclConnection != nullptr && m_pclConnection->bOpenedBySQLFunctions() &&
                   (nFlags & NAParseFlag::kNoRecordCache) != 0 && (nFlags & kTableCacheRead) == 0) {
            pclStatement->EnableCache(0);
        }
    }

    if (!bFailed)
        bResult = _bFetch(pclStatement, pszItem, eDirection, 1, nFetchOption, eLock, peLock, nFlags, bRestart);
    if (!bResult) {
        bResult = _bRepriseErreurParcours(pclStatement, pszItem, eDirection, eLock, peLock, nFlags);
        if (!bResult && m_pclTableCache != nullptr &&
            (m_pclTableCache->bInitDone() || m_pclTableCache->bIsStatementParse(pclStatement)))
            _FreeTableCache();
    }
    REF_Release(pclStatement);

    // A query sent as written is read once more through the table cache
    // that the first pass built.
    if (bResult && bStart && bRequeteSansCorrection() &&
        (nFlags & (NAParseFlag::kQueryOrder | kTableCacheRead)) == 0)
        return bHLitxxx(pszItem, eDirection, nFetchOption, eLock, peLock, nFlags | kTableCacheRead);
    return bResult;
}

int CNADataAccess::_bFetch(CNAStatement* pclStatement, const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection,
                           long llCount, int nFetchOption, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock,
                           NA_WRITEPARSEFLAGS nFlags, int bRestart)
{
    if (pclStatement == nullptr || !pclStatement->bSetLockType(eLock))
        return 0;
    eNA_ST_PREPARE ePrepare = NA_ST_PREPARE_UPDATE;
    const auto eRestartPrepare = [this] {
        return bHPrepareRequeteCalled() ? static_cast<eNA_ST_PREPARE>(3) : NA_ST_PREPARE_UPDATE;
    };
    if (!bRestart) {
        if (bStartsParse(eDirection)) {
            if ((nFlags & kTableCacheRead) == 0) {
                bRestart = 1;
                ePrepare = eRestartPrepare();
            } else if (m_pclTableCache != nullptr) {
                if (!m_pclTableCache->bIsStatementParse(pclStatement) && m_pclTableCache->pclGetFullCacheNoRef() == nullptr)
                    return 0;
            } else {
                // The open result serves when it holds the end asked for.
                const int64_t llBlockLimit = pclStatement->llGetBlockRowLimit();
                bool bReuse = pclStatement->bParseStarted() && pclStatement->eParseNeedUpdate() == NA_PNU_NONE &&
                              (llBlockLimit < 0 || llBlockLimit >= llCount);
                if (bReuse) {
                    const bool bWantsFirstRow = (eDirection == NADirection::kFirst) != (pclStatement->bInvertFetch() != 0);
                    bReuse = bWantsFirstRow ? pclStatement->bBlockStartsAtFirstRow() != 0 : llBlockLimit < 0;
                }
                if (!bReuse) {
                    bRestart = 1;
                    ePrepare = eRestartPrepare();
                }
            }
        } else {
            if (pclStatement->bRecordLost())
                return 1;
            const bool bOpen = pclStatement->bParseStarted() && pclStatement->eParseNeedUpdate() == NA_PNU_NONE;
            if (bOpen && !pclStatement->bCanFetchBackward() && !pclStatement->bCacheEnabled() &&
                m_pclTableCache == nullptr) {
                const bool bAgainst = pclStatement->bInvertFetch() ? eDirection == NADirection::kNext
                                                                    : eDirection == NADirection::kPrevious;
                if (bAgainst) {
                    if (!pclStatement->bCanUpdateParse()) {
                        CNAError::g_RaiseSiteError(m_pclError, NASite::kBackwardNotPossible, m_pclConnection,
                                                   pszGetLogicalName(), pszItem, pszGetLogicalName(),
                                                   pszItem != nullptr ? pszItem : L"");
                        return 0;
                    }
                    if (!pclStatement->bSetParseNeedUpdate(NA_PNU_REPOSITION))
                        return 0;
                }
            }
            if ((pclStatement->eParseNeedUpdate() != NA_PNU_NONE || !pclStatement->bParseStarted()) &&
                m_pclTableCache == nullptr)
                return _bUpdateParse(0, pclStatement, nFetchOption, eDirection, llCount);
        }
    }
    if (bRestart) {
        pclStatement->SetRecordLost(0);
        (void)pclStatement->bSetParseNeedUpdate(NA_PNU_NONE, -1);
        if (bRequeteSansCorrection() && pclStatement->bExistFilter()) {
            CNAError::g_RaiseSiteError(m_pclError, NASite::kFilterOnQueryAsWritten, m_pclConnection,
                                       pszGetLogicalName(), pszItem);
            return 0;
        }
        const int bForward = bReadsForward(eDirection) ? 1 : bRequeteSansCorrection();
        if (!_bOpenStatement(pclStatement, pszItem, bForward, nFlags, &llCount, ePrepare))
            return 0;
    }
    if (nFetchOption == 0 && llCount == 0)
        return 1;

    // A read that locks keeps the place it left, to come back to when the
    // lock fails.
    CNAPosition* pclPosition = nullptr;
    if (eLock == static_cast<eNA_LOCKTYPE>(2) || eLock == static_cast<eNA_LOCKTYPE>(3)) {
        pclPosition = pclAllocPosition();
        if (pclPosition != nullptr) {
            REF_AddRef(pclPosition);
            if (!pclStatement->bGetPosition(pclPosition, static_cast<eNAPOSITION>(0))) {
                REF_Release(pclPosition);
                pclPosition = nullptr;
            }
        }
    }
    long llMoved = 0;
    int bResult = pclStatement->bFetch(eDirection, nFetchOption, llCount, &llMoved);
    int bOut = 1;
    if (bResult) {
        pclStatement->HEndehors(&bOut);
        if (!bOut && !bLockUnlockRecord(eLock) && pclPosition != nullptr)
            (void)pclStatement->bSetPosition(pclPosition, static_cast<eNAPOSITION>(0));
    }

    // A search that ran out of its rows goes on with its continuation
    // condition for the rows still to move.
    if (bResult && bOut &&
        !(m_pclTableCache != nullptr && m_pclTableCache->pclGetFullCacheNoRef() != nullptr) &&
        pclStatement->bExistRechercheObject() && (nFlags & kRepositioning) == 0 &&
        (pclStatement->nGetParseFlags() & kRepositioning) == 0 && llCount - llMoved > 0) {
        const eNA_PARSEDIRECTION eContinue = bReadsForward(eDirection) ? NADirection::kFirst : NADirection::kLast;
        CNARecherche* pclSearch = pclStatement->pclGetRecherche();
        if (pclSearch != nullptr && pclSearch->bPeutContinuerParcours(eContinue)) {
            const int nNoted = pclSearch->nGetDirection();
            (void)pclStatement->bSetContinueParcours(eContinue);
            CNAStatement* pclNext = _pclGetNewItemStatement(pszItem, eContinue, nFlags);
            int bNext = 0;
            if (pclNext != nullptr) {
                if (pclNext != pclStatement)
                    pclNext->_SetRecherche(pclSearch);
                bNext = _bFetch(pclNext, pszItem, eContinue, llCount - llMoved, nFetchOption,
                                static_cast<eNA_LOCKTYPE>(1), peLock, nFlags, 1);
                int bNextOut = 0;
                pclNext->HEndehors(&bNextOut);
                if (bNext && bNextOut)
                    (void)pclSearch->bReviensParcoursPrecedent(nNoted);
                REF_Release(pclNext);
            }
            bResult = bResult && bNext;
        }
        if (pclSearch != nullptr)
            REF_Release(pclSearch);
    }
    if (pclPosition != nullptr)
        REF_Release(pclPosition);
    return bResult;
}

int CNADataAccess::bSkipRecord(const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection, long llCount,
                               int nFetchOption, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock, NA_WRITEPARSEFLAGS nFlags)
{
    CNAStatement* pclStatement = _pclGetNewItemStatement(pszItem, eDirection, nFlags);
    if (pclStatement == nullptr)
        return 0;
    int bResult = _bFetch(pclStatement, pszItem, eDirection, llCount, nFetchOption, eLock, peLock, nFlags, 0);
    if (!bResult)
        bResult = _bRepriseErreurParcours(pclStatement, pszItem, eDirection, eLock, peLock, nFlags);
    REF_Release(pclStatement);
    return bResult;
}

int CNADataAccess::bHLit(long llRecord, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock)
{
    const int nSave = m_nCurrentRecordSaveID;
    if (nSave == -1)
        return bMove(llRecord, 1, eLock, peLock);
    // The record save of the current record outlives the read, which lets
    // it go, and stays the current one.
    AddRefRecordSave(nSave);
    (void)bSetCurrentRecordRead(1);
    const int bResult = bMove(llRecord, 1, eLock, peLock);
    if (m_nCurrentRecordSaveID == nSave) {
        (void)nReleaseRecordSave(nSave);
    } else {
        if (m_nCurrentRecordSaveID != -1)
            (void)nReleaseRecordSave(m_nCurrentRecordSaveID);
        m_nCurrentRecordSaveID = nSave;
    }
    return bResult;
}

int CNADataAccess::bMove(long llRecord, int nOption, eNA_LOCKTYPE eLock, eNA_LOCKTYPE*)
{
    if (!_bIsValidRecordNumber(llRecord))
        return 0;
    CNAStatement* pclStatement = _pclGetQueryStatement();
    if (pclStatement == nullptr)
        return 0;
    const int bResult = bLockRecord(eLock) && _bMove(llRecord, nOption);
    if (pclStatement->eGetLockType() == static_cast<eNA_LOCKTYPE>(1))
        (void)pclStatement->ResetStatement();
    REF_Release(pclStatement);
    return bResult;
}

int CNADataAccess::_bMove(long llRecord, int nOption)
{
    CNAStatement* pclStatement = _pclGetQueryStatement();
    if (pclStatement == nullptr)
        return 0;
    const int bResult = pclStatement->bMove(llRecord, nOption);
    int bOut = 0;
    pclStatement->HEndehors(&bOut);
    if (bOut && m_pclCurrentRecord != nullptr) {
        // The record is no longer in the table: the host keeps its values,
        // marked deleted.
        (void)m_pclCurrentRecord->bCopyOriginalRecordToCurrentRecord();
        m_pclCurrentRecord->SetDeleted();
    }
    (void)pclStatement->ResetStatement();
    REF_Release(pclStatement);
    return bResult;
}

int CNADataAccess::_bIsValidRecordNumber(long llRecord)
{
    if (llRecord == 0)
        return 1;
    CNAError::g_RaiseSiteError(m_pclError, NASite::kInvalidRecordNumber, m_pclConnection, pszGetLogicalName(),
                               nullptr);
    return 0;
}
