// Browse re-positioning: when something changed under a browse (a filter,
// a search, a write, the end of a transaction, a change of browse item, a
// block of rows read to its end), the next read does not go on in the old
// result: it opens the parse again on the record the browse stood on and
// moves from there. The record stays as it was when that read fails or
// leaves the result, and the statement is marked to try again.
#include "native/access/data_access.h"
#include "native/access/equal_keys.h"
#include "native/access/statement.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/model/column.h"
#include "native/model/na_data_source_description.h"
#include "native/model/na_item_description.h"
#include "native/model/record.h"
#include "native/model/record_value.h"
#include "native/sql/search.h"

namespace {

constexpr NA_WRITEPARSEFLAGS kRepositioning = 0x40000;
constexpr unsigned kCountOnCurrentKey = 0x10;

// A copy of the row value with one reference, or null.
CNARecordValue* pclKeep(const CNARecordValue* pclRow)
{
    CNARecordValue* pclKept = pclRow != nullptr ? pclRow->pclGetClone(CNARecordValue::COPY_ALL) : nullptr;
    if (pclKept != nullptr)
        REF_AddRef(pclKept);
    return pclKept;
}

void GiveBack(CNARecordValue* pclRow, CNARecordValue* pclKept)
{
    if (pclRow != nullptr && pclKept != nullptr)
        (void)pclRow->bCopyRecordValue(pclKept, CNARecordValue::COPY_ALL);
}

int bOutOfRange(const CNAStatement* pclStatement)
{
    int bOut = 0;
    pclStatement->HEndehors(&bOut);
    return bOut;
}

}  // namespace

int CNADataAccess::bHChangeCle(const wchar_t* pszItem, NA_WRITEPARSEFLAGS nFlags)
{
    CNAStatement* pclLast = _pclGetLastStatement();
    if (pclLast == nullptr)
        return 0;
    CNAStatement* pclNew = _pclGetNewItemStatement(pszItem, NADirection::kCurrent, nFlags);
    if (pclNew == nullptr) {
        REF_Release(pclLast);
        return 0;
    }
    int bResult = 1;
    if (m_nCurrentRecordSaveID != -1) {
        // The record was written since it was read: the new browse runs its
        // query again from the saved row.
        bResult = pclNew->bSetParseNeedUpdate(NA_PNU_REEXECUTE, m_nCurrentRecordSaveID);
        if (!bSetCurrentRecordRead(1))
            bResult = 0;
    } else if (pclNew != pclLast) {
        if (pclLast->eParseNeedUpdate() == NA_PNU_NONE) {
            bResult = pclNew->bSetParseNeedUpdate(NA_PNU_REPOSITION, nKeepOriginalRecordSave(nullptr));
        } else {
            // The last browse had not found its row again yet: the new one
            // starts from the same row, which becomes the current record.
            const int nSave = pclLast->nGetRecordSaveID();
            bResult = pclNew->bSetParseNeedUpdate(NA_PNU_REPOSITION, nSave);
            if (nSave != -1)
                bResult = bRestoreOriginalRecordSave(nSave) && bCopyOriginalRecordToCurrentRecord();
        }
    }
    REF_Release(pclNew);
    REF_Release(pclLast);
    return bResult;
}

int CNADataAccess::_bUpdateParse(int bRestore, CNAStatement* pclStatement, int nFetchOption,
                                 eNA_PARSEDIRECTION eDirection, long llCount)
{
    if (pclStatement == nullptr)
        return 0;
    if ((pclStatement->nGetParseFlags() & NAParseFlag::kForwardOnly) != 0) {
        CNAError::g_RaiseSiteError(m_pclError, NASite::kParseCannotRunAgain, m_pclConnection, pszGetLogicalName(),
                                   pclStatement->pszGetSearchItemName(), pszGetLogicalName(),
                                   pclStatement->pszGetSearchItemName());
        return 0;
    }
    // Without a save of its own the statement moves from the record the
    // data access stands on.
    const int nSave = pclStatement->nGetRecordSaveID();
    if (nSave != -1 && !bRestoreOriginalRecordSave(nSave))
        return 0;
    return bGoToOriginalRecord(bRestore, pclStatement, nFetchOption, eDirection, llCount);
}

int CNADataAccess::bGoToOriginalRecord(int bRestore, CNAStatement* pclStatement, int nFetchOption,
                                       eNA_PARSEDIRECTION eDirection, long llCount)
{
    if (pclStatement == nullptr || m_piSource == nullptr)
        return 0;
    INAItemDescription* piItem = m_piSource->piNAGetItem(pclStatement->pszGetSearchItemName());
    if (piItem == nullptr)
        return 1;
    const int bResult = _bGoToOriginalRecord(bRestore, pclStatement, piItem, nFetchOption, eDirection, llCount);
    piItem->nExternalRelease();
    return bResult;
}

int CNADataAccess::bGoToStmtOriginalRecord(int bRestore, CNAStatement* pclStatement, int nFetchOption,
                                           eNA_PARSEDIRECTION eDirection, long llCount)
{
    if (pclStatement == nullptr || m_pclCurrentRecord == nullptr)
        return 0;
    CNARecordValue* pclOriginal = m_pclCurrentRecord->pclGetOriginalRecordValueNoRef();
    CNARecordValue* pclKept = pclKeep(pclOriginal);
    if (pclKept == nullptr)
        return 0;
    int bResult = pclStatement->pclGetStmtOriginalRecord() != nullptr && pclStatement->_bRestaureOriginalRecord();
    if (bResult) {
        m_pclCurrentRecord->SetEqualRank(pclStatement->nGetEqualRank());
        bResult = bGoToOriginalRecord(bRestore, pclStatement, nFetchOption, eDirection, llCount);
    }
    if (!bResult || bRestore || bOutOfRange(pclStatement))
        GiveBack(pclOriginal, pclKept);
    REF_Release(pclKept);
    return bResult;
}

int CNADataAccess::_bGoToOriginalRecord(int bRestore, CNAStatement* pclStatement, INAItemDescription* piItem,
                                        int nFetchOption, eNA_PARSEDIRECTION eDirection, long llCount)
{
    if (m_pclCurrentRecord == nullptr)
        return 0;
    CNARecordValue* pclCurrent = m_pclCurrentRecord->pclGetCurrentRecordValueNoRef();
    CNARecordValue* pclOriginal = m_pclCurrentRecord->pclGetOriginalRecordValueNoRef();
    CNARecordValue* pclKeptCurrent = pclKeep(pclCurrent);
    CNARecordValue* pclKeptOriginal = pclKeep(pclOriginal);
    int bResult = 0;
    if (pclKeptCurrent != nullptr && pclKeptOriginal != nullptr && bCopyOriginalRecordToCurrentRecord())
        bResult = _bGoToCurrentRecord(pclStatement, piItem, nFetchOption, eDirection, llCount);
    const int bOut = bOutOfRange(pclStatement);
    if (!bResult || bRestore || bOut) {
        GiveBack(pclCurrent, pclKeptCurrent);
        GiveBack(pclOriginal, pclKeptOriginal);
        // The next read tries again from the same row.
        if (!bResult || bOut)
            (void)pclStatement->bSetParseNeedUpdate(NA_PNU_REPOSITION, nKeepOriginalRecordSave(nullptr));
    }
    if (pclKeptCurrent != nullptr)
        REF_Release(pclKeptCurrent);
    if (pclKeptOriginal != nullptr)
        REF_Release(pclKeptOriginal);
    return bResult;
}

int CNADataAccess::_bGoToCurrentRecord(CNAStatement* pclStatement, INAItemDescription* piItem, int nFetchOption,
                                       eNA_PARSEDIRECTION eDirection, long llCount)
{
    if (pclStatement == nullptr || piItem == nullptr || m_pclCurrentRecord == nullptr)
        return 0;
    // Rows with the same key as the record are told apart by their rank,
    // unless a unique best item of the record names it alone.
    bool bDuplicates = true;
    INAItemDescription* piBest = piGetBestParseItemDesc();
    if (piBest != nullptr) {
        CNAColumn* pclBest = m_pclCurrentRecord->pclGetColumnNoRef(piBest);
        bDuplicates = !(piBest->bUnique() && pclBest != nullptr && pclBest->bValueDefined(0));
        piBest->nExternalRelease();
    }
    CNARecherche* pclSearch = pclStatement->pclGetRecherche();
    if (pclSearch == nullptr)
        return 0;
    pclStatement->PrepareInternalSearch();
    int bResult = pclSearch->bRechercheEnreg(m_pclCurrentRecord, piItem, NADirection::kFirst, 0, nullptr);
    if (bResult && bDuplicates)
        bResult = _bGotoCurrentRecord_DuplicateProcess(m_pclCurrentRecord->nGetEqualRank(), &eDirection, &llCount);
    if (bResult) {
        const wchar_t* pszItem = pclStatement->pszGetSearchItemName();
        const NA_WRITEPARSEFLAGS nFlags = pclStatement->nGetParseFlags() | kRepositioning;
        const auto eNoLock = static_cast<eNA_LOCKTYPE>(0);
        eNA_LOCKTYPE eLock = eNoLock;
        if (eDirection == NADirection::kFirst || eDirection == NADirection::kNext) {
            (void)pclSearch->bSetContinueParcours(0);
            bResult = _bFetch(pclStatement, pszItem, NADirection::kFirst, llCount, nFetchOption, eNoLock, &eLock,
                              nFlags, 1);
        } else if (eDirection == NADirection::kLast || eDirection == NADirection::kPrevious) {
            (void)pclSearch->bSetContinueParcours(1);
            bResult = _bFetch(pclStatement, pszItem, NADirection::kLast, llCount, nFetchOption, eNoLock, &eLock,
                              nFlags, 1);
        } else if (eDirection == NADirection::kCurrent) {
            bResult = _bFetch(pclStatement, pszItem, NADirection::kFirst, llCount != 0 ? llCount : 1, nFetchOption,
                              eNoLock, &eLock, nFlags, 1);
            if (bResult && bOutOfRange(pclStatement)) {
                pclStatement->CurrentRecordNotFound(pszItem, NA_SRC_DATAACCESS, NASite::kRepositionRecordLostSite);
                bResult = 0;
            }
        } else {
            bResult = 0;
        }
    }
    pclStatement->AnnuleRecherche();
    REF_Release(pclSearch);
    return bResult;
}

int CNADataAccess::_bGotoCurrentRecord_DuplicateProcess(int nRank, eNA_PARSEDIRECTION* peDirection, long* pllCount)
{
    long llEqual = 0;
    if (!bGetNbEnr(nullptr, &llEqual, kCountOnCurrentKey, NADirection::kCurrent, 0))
        return 0;
    const stNAEqualKeysMove move = NA_EqualKeysMove(nRank, *peDirection, *pllCount, llEqual);
    *peDirection = move.eDirection;
    *pllCount = move.llCount;
    return 1;
}

int CNADataAccess::_bRelanceParcoursSurErreur(CNAStatement* pclStatement, const wchar_t*,
                                              eNA_PARSEDIRECTION eDirection, eNA_LOCKTYPE, eNA_LOCKTYPE*,
                                              NA_WRITEPARSEFLAGS nFlags)
{
    if (pclStatement == nullptr)
        return 0;
    int bResult = pclStatement->bSetParseNeedUpdate(NA_PNU_REEXECUTE, nKeepOriginalRecordSave(pclStatement));
    if (m_bQuery) {
        pclStatement->SetParseFlags(nFlags);
        if ((nFlags & NAParseFlag::kContinueLastQuery) != 0 && m_pclTableCache == nullptr &&
            !_bCreateNewTableCache(pclStatement))
            bResult = 0;
    }
    if (bResult && eDirection != NADirection::kCurrent)
        bResult = _bUpdateParse(0, pclStatement, 1, eDirection, 1);
    pclStatement->SetRecordLost(0);
    return bResult;
}

int CNADataAccess::_bUpdateCurrentParsePosition(int bRestore, CNAStatement* pclStatement)
{
    if (pclStatement == nullptr)
        return 0;
    if (m_pclTableCache == nullptr)
        return _bUpdateParse(bRestore, pclStatement, 1, NADirection::kCurrent, 0);
    int bFound = 0;
    if (!pclStatement->bUpdateParsePositionInCacheIndex(&bFound))
        return 0;
    if (!bFound) {
        pclStatement->CurrentRecordNotFound(pclStatement->pszGetSearchItemName(), NA_SRC_DATAACCESS,
                                            NASite::kRepositionRecordLostSite);
        return 0;
    }
    return 1;
}
