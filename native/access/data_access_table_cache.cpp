// The data access's full table cache (made, replaced, dropped) and the end
// of a transaction, which marks the started browses to run again.
#include <new>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/driver/error_object.h"
#include "native/model/table_cache.h"

CNATableCache* CNADataAccess::_AllocTableCache()
{
    m_pclTableCache = new (std::nothrow) CNATableCache(m_pclError, this);
    return m_pclTableCache;
}

int CNADataAccess::_bCreateNewTableCache(CNAStatement*)
{
    _FreeTableCache();
    if (_AllocTableCache() == nullptr) {
        if (m_pclError != nullptr)
            m_pclError->pclGetXError()->SetErrorNoMemory();
        return 0;
    }
    m_pclTableCache->dwAddRef();
    return 1;
}

void CNADataAccess::_FreeTableCache()
{
    if (m_pclTableCache == nullptr)
        return;
    // The statements' column indexes and record caches lie over the cache:
    // they go before it.
    NA_ForEachHeld<CNAStatement>(m_tabStatement, [](CNAStatement* pclStatement) { pclStatement->DestroyCacheIndex(); });
    CNATableCache* pclCache = m_pclTableCache;
    m_pclTableCache = nullptr;
    pclCache->dwRelease();
}

int CNADataAccess::bFreeCache()
{
    _FreeTableCache();
    return 1;
}

void CNADataAccess::SetTransactionTermined()
{
    NA_ForEachHeld<CNAStatement>(m_tabStatement,
                                 [this](CNAStatement* pclStatement) { _SetTransactionTermined(pclStatement); });
}

void CNADataAccess::_SetTransactionTermined(CNAStatement* pclStatement)
{
    // A pending cause already decides the next read; a statement that never
    // browsed has nothing to run again.
    if (pclStatement == nullptr || !pclStatement->bParseStarted() || pclStatement->eParseNeedUpdate() != NA_PNU_NONE)
        return;
    // The row last read is kept to come back to; a browse that read no row
    // has none to keep, and runs again all the same.
    (void)pclStatement->bSetParseNeedUpdate(NA_PNU_REEXECUTE);
    if (pclStatement->eParseNeedUpdate() == NA_PNU_NONE)
        (void)pclStatement->bSetParseNeedUpdate(NA_PNU_REEXECUTE, -1);
}
