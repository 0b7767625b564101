// The full-table cache: its statement, its complete cache read on demand,
// its counts and its column indexes.
#include "native/model/table_cache.h"

#include <new>

#include "common/system/x_error.h"
#include "common/text/str_copy.h"
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/driver/error_object.h"
#include "native/model/record_cache.h"
#include "native/model/table_cache_index.h"

namespace {

// Room for an item name, as a return to a position writes it back.
constexpr size_t kItemNameRoom = 256;

}  // namespace

CNATableCache::CNATableCache(CNAError* pclError, CNADataAccess* pclDataAccess)
    : m_pclError(pclError), m_pclDataAccess(pclDataAccess)
{
    if (m_pclError != nullptr)
        m_pclError->AddRef();
}

CNATableCache::~CNATableCache()
{
    if (m_pclStatement != nullptr)
        REF_Release(m_pclStatement);
    if (m_pclFullCache != nullptr)
        REF_Release(m_pclFullCache);
    if (m_pclError != nullptr)
        m_pclError->nRelease();
}

int CNATableCache::_bSetStatementParse(CNAStatement* pclStatement)
{
    if (pclStatement == nullptr)
        return 0;
    REF_AddRef(pclStatement);
    if (m_pclStatement != nullptr)
        REF_Release(m_pclStatement);
    m_pclStatement = pclStatement;
    m_clFilterSave.SetFilter(pclStatement->pclGetFilterNoRef());
    return 1;
}

int CNATableCache::bInitDone() const
{
    return m_pclStatement == nullptr && m_pclFullCache == nullptr;
}

int CNATableCache::bSetStatementParse(CNAStatement* pclStatement)
{
    if (pclStatement == nullptr)
        return 1;
    // Once complete, the cache has no reader to take.
    if (bInitDone())
        (void)_bSetStatementParse(pclStatement);
    pclStatement->EnableCache(1);
    return 1;
}

int CNATableCache::bIsStatementParse(const CNAStatement* pclStatement) const
{
    return pclStatement != nullptr && pclStatement == m_pclStatement;
}

int CNATableCache::bIsRecordCache(const CNARecordCache* pclCache) const
{
    if (pclCache == nullptr)
        return 0;
    if (m_pclFullCache != nullptr)
        return pclCache == m_pclFullCache;
    return m_pclStatement != nullptr && pclCache == m_pclStatement->pclGetRecordCacheNoRef();
}

int CNATableCache::bFilterEquals(const CNAFilter* pclFilter) const
{
    return m_clFilterSave.bFilterEquals(pclFilter);
}

int CNATableCache::bIsEmpty() const
{
    return m_pclFullCache == nullptr || m_pclFullCache->nGetRowCount() == 0;
}

int CNATableCache::bCacheCompleted() const
{
    return m_pclStatement == nullptr || m_pclStatement->bCacheCompleted();
}

void CNATableCache::_RestorePosition(int nPosition)
{
    wchar_t szItem[kItemNameRoom];
    (void)STR_nCopy(szItem, kItemNameRoom, m_pclStatement->pszGetParseItemName(), -1);
    if (!m_pclDataAccess->bHRetourPosition(nPosition, szItem, 0, static_cast<eNAPOSITION>(0)))
        (void)m_pclDataAccess->bHLiberePosition(nPosition);
}

CNARecordCache* CNATableCache::pclGetFullCache()
{
    if (m_pclFullCache != nullptr)
        return m_pclFullCache;
    if (m_pclStatement == nullptr)
        return nullptr;
    // The statement's read moves the data access; when another statement
    // holds its current record, that place is kept and returned to.
    int nPosition = -1;
    const bool bSaved = m_pclDataAccess != nullptr && m_pclDataAccess->pclGetLastStatementNoRef() != m_pclStatement &&
                        m_pclDataAccess->bHSauvePosition(&nPosition, m_pclStatement->pszGetParseItemName(),
                                                         static_cast<eNAPOSITION>(0));
    // The read may end in a release of this table cache.
    dwAddRef();
    CNARecordCache* pclCache = m_pclStatement->pclGetFullRecordCache();
    if (pclCache != nullptr) {
        REF_AddRef(pclCache);
        m_pclFullCache = pclCache;
    }
    // Returned to on every path: left saved, the position would outlive the
    // read until the data access closes, and the data access would stay
    // where a failed read stopped. The read's error stays the one reported:
    // what the return adds comes after it.
    if (bSaved)
        _RestorePosition(nPosition);
    if (pclCache != nullptr) {
        CNAStatement* pclStatement = m_pclStatement;
        m_pclStatement = nullptr;
        REF_Release(pclStatement);
    }
    dwRelease();
    return pclCache;
}

int64_t CNATableCache::llGetRecordNbr()
{
    const CNARecordCache* pclCache = pclGetFullCache();
    return pclCache != nullptr ? pclCache->nGetRowCount() : 0;
}

int64_t CNATableCache::llGetRecordNbrActive()
{
    const CNARecordCache* pclCache = pclGetFullCache();
    return pclCache != nullptr ? static_cast<int64_t>(pclCache->nGetRowCount()) - pclCache->nGetDeletedCount() : 0;
}

CNATableCacheIndex* CNATableCache::pclGetCacheIndex(CNAStatement* pclStatement, CNAColumn* pclColumn)
{
    CNARecordCache* pclCache = pclGetFullCache();
    if (pclCache == nullptr || pclColumn == nullptr)
        return nullptr;
    auto* pclIndex = new (std::nothrow) CNATableCacheIndex(m_pclError, pclCache, pclColumn, pclStatement);
    if (pclIndex == nullptr) {
        if (m_pclError != nullptr)
            m_pclError->pclGetXError()->SetErrorNoMemory();
        return nullptr;
    }
    if (!pclIndex->bInit()) {
        delete pclIndex;
        return nullptr;
    }
    return pclIndex;
}
