// The data access's record counts: answered from what is already in memory
// (the table cache, the browse statement's complete cache or result) when
// that can tell, else by a COUNT on the query statement; counts relative to
// the current record always run a COUNT, with an internal search on the
// current record's value. Also the record-number questions.
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/driver/connection_description.h"
#include "native/model/na_data_source_description.h"
#include "native/model/na_item_description.h"
#include "native/model/record.h"
#include "native/model/record_value.h"
#include "native/model/table_cache.h"
#include "native/sql/filter.h"
#include "native/sql/search.h"

namespace {

constexpr unsigned kCountRecords = 0x10;
constexpr NA_WRITEPARSEFLAGS kKeepFilter = 0x4000;
constexpr eNA_PARSEDIRECTION kWholeSource = static_cast<eNA_PARSEDIRECTION>(-1);

// The query statement's search and filter off for the time of a count.
void SwitchOffConditions(CNAStatement* pclStatement)
{
    pclStatement->DesactivateRechercheUserAndInternal();
    pclStatement->DesactivateFilter();
}

}  // namespace

int CNADataAccess::bHNbEnr(long* pllCount, unsigned nOptions, NA_WRITEPARSEFLAGS nFlags)
{
    return bGetNbEnr(m_pclLastStatement, pllCount, nOptions, kWholeSource, nFlags);
}

int CNADataAccess::_bGetNbEnrOptimized(CNAStatement* pclStatement, long* pllCount, unsigned nOptions,
                                       eNA_PARSEDIRECTION eDirection, NA_WRITEPARSEFLAGS nFlags)
{
    if ((nOptions & kCountRecords) == 0) {
        *pllCount = 0;
        return 1;
    }
    if (bRequeteSansCorrection() && (m_pclTableCache == nullptr || m_pclTableCache->pclGetFullCacheNoRef() == nullptr))
        return 0;
    if (eDirection != kWholeSource)
        return 0;
    // Without sub-queries a query's table cache is the cheapest count there
    // is, complete or not: the COUNT would read every row anyway.
    const bool bCacheCounts =
        m_pclTableCache != nullptr &&
        (m_pclTableCache->pclGetFullCacheNoRef() != nullptr ||
         (m_bQuery && m_pclConnection != nullptr && !m_pclConnection->bSupportSubQuery()));
    if (bCacheCounts && pclStatement != nullptr && !pclStatement->bFilterChanged() &&
        (!pclStatement->bExistFilter() || (nFlags & kKeepFilter) != 0)) {
        // The count reads the cache whole when it is not yet; 0 without a
        // cache at the end is no answer.
        const int64_t llCount = m_pclTableCache->llGetRecordNbrActive();
        if (m_pclTableCache->pclGetFullCacheNoRef() != nullptr) {
            *pllCount = static_cast<long>(llCount);
            return 1;
        }
    }
    if (pclStatement == nullptr)
        return 0;
    return pclStatement->bGetNbEnrCurrentParse(pllCount, nFlags, (nFlags & kKeepFilter) == 0 ? 1 : 0);
}

int CNADataAccess::bGetNbEnr(CNAStatement* pclStatement, long* pllCount, unsigned nOptions,
                             eNA_PARSEDIRECTION eDirection, NA_WRITEPARSEFLAGS nFlags)
{
    long llIgnored = 0;
    if (pllCount == nullptr)
        pllCount = &llIgnored;
    const int32_t bReuse = m_bReuseLastStatement;
    const int bAnswered = _bGetNbEnrOptimized(pclStatement, pllCount, nOptions, eDirection, nFlags);
    m_bReuseLastStatement = bReuse;
    if (bAnswered)
        return 1;

    CNAStatement* pclQuery = _pclGetQueryStatement();
    if (pclQuery == nullptr)
        return 0;
    // Its own filter comes back after the count (the query statement may
    // be a browse of its own).
    CNAFilter* pclOwnFilter = pclQuery->pclGetFilter();
    const int bOwnFilterActive = pclQuery->bExistFilter();
    CNAFilter* pclBrowseFilter = pclStatement != nullptr && (nFlags & kKeepFilter) != 0 && pclStatement->bExistFilter()
                                     ? pclStatement->pclGetFilterNoRef()
                                     : nullptr;
    SwitchOffConditions(pclQuery);
    int bFilterCloned = 0;
    if (pclBrowseFilter != nullptr) {
        CNAFilter* pclClone = pclBrowseFilter->pclCloneFilter();
        if (pclClone != nullptr) {
            pclQuery->_SetFilter(pclClone);
            pclClone->ActivateFilter(1);
            bFilterCloned = 1;
        }
    }

    int bResult = 0;
    if (eDirection == kWholeSource) {
        bResult = pclQuery->bGetNbEnr(pllCount, nOptions, bFilterCloned ? 0 : 1);
    } else {
        bResult = _bGetNbEnrRelative(pclStatement, pclQuery, pllCount, nOptions, eDirection);
    }
    // The clone belongs to this count only.
    pclQuery->_SetFilter(pclOwnFilter);
    if (pclOwnFilter != nullptr) {
        pclOwnFilter->ActivateFilter(bOwnFilterActive);
        REF_Release(pclOwnFilter);
    }
    REF_Release(pclQuery);
    return bResult;
}

int CNADataAccess::_bGetNbEnrRelative(CNAStatement* pclStatement, CNAStatement* pclQuery, long* pllCount,
                                      unsigned nOptions, eNA_PARSEDIRECTION eDirection)
{
    CNARecord* pclRecord = m_pclCurrentRecord;
    if (pclRecord == nullptr || m_piSource == nullptr) {
        *pllCount = 0;
        return 0;
    }
    // A browse counts from the row it read itself, not from values the
    // application may have changed since.
    int nSaved = -1;
    CNARecordValue* pclOriginal = pclStatement != nullptr ? pclStatement->pclGetStmtOriginalRecord() : nullptr;
    CNARecordValue* pclCurrent = pclRecord->pclGetCurrentRecordValueNoRef();
    if (pclOriginal != nullptr && pclCurrent != nullptr) {
        nSaved = nKeepCurrentRecordSave();
        if (nSaved >= 0)
            (void)pclCurrent->bCopyRecordValue(pclOriginal, CNARecordValue::COPY_ALL);
    }
    INAItemDescription* piItem = nullptr;
    if (pclStatement != nullptr && pclStatement->pszGetParseItemName()[0] != 0)
        piItem = m_piSource->piNAGetItem(pclStatement->pszGetParseItemName());
    else
        piItem = piGetBestParseItemDesc();

    int bResult = 0;
    *pllCount = 0;
    CNARecherche* pclSearch = piItem != nullptr ? pclQuery->pclGetRecherche() : nullptr;
    if (pclSearch != nullptr) {
        int bSet = pclSearch->bRechercheEnreg(pclRecord, piItem, NADirection::kFirst, 0, nullptr) &&
                   pclSearch->nGetState() != 0;
        // The search's continuations: forward (0) past the value, backward
        // (1) before it; the current record keeps the equality.
        if (bSet && eDirection != NADirection::kCurrent)
            bSet = pclSearch->bSetContinueParcours(eDirection == NADirection::kNext ? 0 : 1);
        if (bSet) {
            pclQuery->PrepareInternalSearch();
            bResult = pclQuery->bGetNbEnr(pllCount, nOptions, 0);
        }
        pclQuery->DesactivateRechercheUserAndInternal();
        REF_Release(pclSearch);
    }
    if (piItem != nullptr)
        piItem->nExternalRelease();
    if (nSaved >= 0) {
        (void)bCopySaveToRecord(nSaved, pclCurrent);
        (void)nReleaseRecordSave(nSaved);
    }
    return bResult;
}

int CNADataAccess::bNbEnrNeedParse(int* pbNeedParse, const wchar_t*)
{
    if (pbNeedParse != nullptr)
        *pbNeedParse = 1;
    return 1;
}

int CNADataAccess::bGetRecNumState(long llRecord, unsigned* pnState)
{
    if (!_bIsValidRecordNumber(llRecord))
        return 0;
    const CNARecordValue* pclRow =
        m_pclCurrentRecord != nullptr ? m_pclCurrentRecord->pclGetCurrentRecordValueNoRef() : nullptr;
    if (pnState != nullptr)
        *pnState = pclRow != nullptr ? static_cast<unsigned>(pclRow->eGetRecordState()) : 0u;
    return 1;
}
