// The host's searches on a data access: a search on an item read in the
// order of a browse item, its cancel, and the found and out-of-range
// questions on an item's browse.
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/model/table_cache.h"

namespace {

// The search reads through the table cache that the query filled.
constexpr NA_WRITEPARSEFLAGS kTableCacheRead = 0x2000;

// The item's statement (one reference for the caller), never made here: an
// item without browse is refused with user error 5 from that site.
CNAStatement* pclBrowsedStatement(CNADataAccess* pclAccess, const wchar_t* pszItem, const stNAErrorSite& site)
{
    CNAStatement* pclStatement = pclAccess->_pclFindStatement(pszItem);
    if (pclStatement == nullptr)
        CNAError::g_RaiseSiteError(pclAccess->pclGetErrorNoRef(), site, pclAccess->pclGetConnectionNoRef(),
                                   pclAccess->pszGetLogicalName(), pszItem, pszItem != nullptr ? pszItem : L"");
    return pclStatement;
}

}  // namespace

int CNADataAccess::bHRecherche(const wchar_t* pszItem, const CAny* pclValue, int bExact, int nFetchOption,
                               eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock, int bForward, NA_WRITEPARSEFLAGS nFlags)
{
    return bHRecherche(pszItem, pszItem, pclValue, bExact, nFetchOption, eLock, peLock, bForward, nFlags);
}

int CNADataAccess::bHRecherche(const wchar_t* pszItem, const wchar_t* pszSearchItem, const CAny* pclValue,
                               int bExact, int nFetchOption, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock, int bForward,
                               NA_WRITEPARSEFLAGS nFlags)
{
    // A query sent as written cannot be wrapped in a sub-query: its result
    // is read once so that the search runs on the table cache it builds.
    if (bRequeteSansCorrection() && (m_pclConnection == nullptr || !m_pclConnection->bSupportSubQuery())) {
        eNA_LOCKTYPE eFirstLock = static_cast<eNA_LOCKTYPE>(1);
        const int bRead = bHLitxxx(pszSearchItem, NADirection::kFirst, 1, static_cast<eNA_LOCKTYPE>(1), &eFirstLock,
                                   nFlags);
        if (!bRead)
            return bRead;
        nFlags |= kTableCacheRead;
    }
    if (m_pclTableCache == nullptr)
        nFlags &= ~kTableCacheRead;

    const eNA_PARSEDIRECTION eDirection = bForward ? NADirection::kFirst : NADirection::kLast;
    CNAStatement* pclStatement = _pclGetNewItemStatement(pszItem, eDirection, nFlags);
    if (pclStatement == nullptr)
        return 0;
    int bResult = 1;
    bool bFlagsSet = false;
    if (m_pclTableCache != nullptr) {
        if ((nFlags & kTableCacheRead) != 0) {
            pclStatement->SetParseFlags(nFlags);
            bFlagsSet = true;
            bResult = pclStatement->bOpenUsingTableCache();
        } else {
            _FreeTableCache();
        }
    }
    if (bResult) {
        if (!bFlagsSet)
            pclStatement->SetParseFlags(nFlags);
        bResult = pclStatement->bSetUserSearch(pszSearchItem, pclValue, eDirection, bExact);
        if (bResult)
            bResult = _bFetch(pclStatement, pszItem, eDirection, 1, nFetchOption, eLock, peLock, nFlags, 0);
    }
    REF_Release(pclStatement);
    return bResult;
}

int CNADataAccess::bHAnnuleRecherche(const wchar_t* pszItem)
{
    CNAStatement* pclStatement = nullptr;
    if (pszItem == nullptr || *pszItem == 0) {
        pclStatement = m_pclLastStatement;
        if (pclStatement != nullptr)
            REF_AddRef(pclStatement);
    } else {
        pclStatement = _pclFindStatement(pszItem);
    }
    if (pclStatement == nullptr)
        return 1;
    pclStatement->AnnuleRecherche();
    REF_Release(pclStatement);
    return 1;
}

int CNADataAccess::bEvalHTrouve(const wchar_t* pszItem, int* pbFound, int* pbInside)
{
    CNAStatement* pclStatement = pclBrowsedStatement(this, pszItem, NASite::kFoundOnItemNotBrowsed);
    if (pclStatement == nullptr)
        return 0;
    int bFound = 0;
    int bInside = 0;
    pclStatement->EvalHTrouve(&bFound, &bInside);
    if (pbFound != nullptr)
        *pbFound = bFound;
    if (pbInside != nullptr)
        *pbInside = bInside;
    REF_Release(pclStatement);
    return 1;
}

int CNADataAccess::bHEndehors(const wchar_t* pszItem, int* pbOut)
{
    CNAStatement* pclStatement = pclBrowsedStatement(this, pszItem, NASite::kOutOnItemNotBrowsed);
    if (pclStatement == nullptr)
        return 0;
    int bOut = 1;
    pclStatement->HEndehors(&bOut);
    if (pbOut != nullptr)
        *pbOut = bOut;
    REF_Release(pclStatement);
    return 1;
}
