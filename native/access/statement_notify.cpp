// A write made through the data access, told to each of its statements:
// the other statements' record caches and table-cache indexes follow the
// row written, and every statement that has started a parse either keeps
// the row's new values where it stands or is marked to run its query again
// (no cache) or to re-position (a cache) at its next read. A notification
// never moves a browse itself.
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/model/column.h"
#include "native/model/record.h"
#include "native/model/record_cache.h"
#include "native/model/record_value.h"
#include "native/model/table_cache.h"
#include "native/model/table_cache_index.h"

namespace {

// The record written stays the record read: statements refresh the row
// they read from it.
constexpr NA_WRITEPARSEFLAGS kWrittenStaysRead = 0x40;

// The data access's row as read when it was written (the deleted row).
const CNARecordId* pclWrittenRowId(const CNARecord* pclRecord)
{
    const CNARecordValue* pclRow = pclRecord != nullptr ? pclRecord->pclGetOriginalRecordValueNoRef() : nullptr;
    return pclRow != nullptr ? pclRow->pclGetRecordIDNoRef() : nullptr;
}

}  // namespace

int CNAStatement::OnNotifyOperation(eNAQUERYTYPE eKind, long nRow, CNAStatement* pclSource, NA_WRITEPARSEFLAGS nFlags,
                                    CNARecordValue* pclPreviousRow)
{
    if (m_pclDataAccess == nullptr)
        return 1;
    if (pclSource != this) {
        CNATableCache* pclTableCache = m_pclDataAccess->pclGetTableCacheNoRef();
        const bool bTableFullCache = pclTableCache != nullptr && pclTableCache->bCacheCompleted() &&
                                     pclTableCache->bIsRecordCache(m_pclRecordCache);
        if (m_pclTableCacheIndex != nullptr) {
            m_pclTableCacheIndex->OnNotifyOperation(static_cast<int>(eKind), static_cast<int>(nRow), nFlags);
        } else if (!bTableFullCache) {
            if (eKind == NA_QUERY_INSERT)
                OnNotifyInsertOperation(nRow, nFlags);
            else if (eKind == NA_QUERY_DELETE)
                OnNotifyDeleteOperation(nRow, nFlags);
            else if (eKind == NA_QUERY_UPDATE)
                OnNotifyUpdateOperation(nRow, nFlags);
        }
    }
    if (!m_bParseStarted || (eKind != NA_QUERY_INSERT && m_llCurrentRecord < 0))
        return 1;

    bool bNeedUpdate = true;
    if (eKind == NA_QUERY_UPDATE && pclPreviousRow != nullptr &&
        bEqualStmtOriginalRecordId(pclPreviousRow->pclGetRecordIDNoRef())) {
        // The row this parse stands on: while its sort value stays, the
        // browse stays and shows the new values.
        const wchar_t* pszItem = pszGetSearchItemName();
        if (pszItem == nullptr || *pszItem == 0)
            pszItem = m_pclDataAccess->pszGetBestParseItemName();
        CNAColumn* pclColumn = m_pclCurrentRecord != nullptr ? m_pclCurrentRecord->pclGetColumnNoRef(pszItem) : nullptr;
        CAny clFormer;
        if (pclColumn != nullptr && pclPreviousRow->bGetItemValue(&clFormer, pclColumn->piGetItemNoRef()) &&
            pclColumn->bSameValue(&clFormer, 0)) {
            bNeedUpdate = false;
            // A record cache was told of the new values already; the rows
            // of the result keep them as a record save.
            if (!bCacheEnabled())
                (void)bKeepModifiedRecordSave(-1, m_pclDataAccess->nKeepCurrentRecordSave());
        }
    } else if (eKind == NA_QUERY_DELETE) {
        const CNARecordId* pclId = pclWrittenRowId(m_pclCurrentRecord);
        if (m_eParseNeedUpdate == NA_PNU_REEXECUTE)
            bNeedUpdate = false;
        else if (bCacheEnabled())
            bNeedUpdate = pclId == nullptr || m_pclRecordCache->nGetRecordIndice(pclId) < 0;
        else
            bNeedUpdate = !bEqualStmtOriginalRecordId(pclId);
    }
    if ((nFlags & kWrittenStaysRead) != 0)
        (void)bSetStmtOriginalRecord(NADirection::kCurrent);
    if (bNeedUpdate)
        (void)bSetParseNeedUpdate(m_pclTableCacheIndex == nullptr && !bCacheEnabled() ? NA_PNU_REEXECUTE
                                                                                        : NA_PNU_REPOSITION);
    return 1;
}

void CNAStatement::OnNotifyInsertOperation(long, NA_WRITEPARSEFLAGS nFlags)
{
    const bool bFromCache = (m_nParseFlags & NAParseFlag::kContinueLastQuery) != 0;
    const bool bStaysRead = (nFlags & kWrittenStaysRead) != 0;
    if (!(bFromCache || bStaysRead) || !bCacheEnabled() || m_pclCurrentRecord == nullptr)
        return;
    const CNARecordValue* pclNew = m_pclCurrentRecord->pclGetCurrentRecordValueNoRef();
    if (pclNew == nullptr)
        return;
    const bool bAtFront = m_pclTableCacheIndex == nullptr && bInvertFetch();
    const int nIndex =
        m_pclRecordCache->nOnNotifyOperation(NA_QUERY_INSERT, pclNew, nullptr, nFlags, bAtFront ? 1 : 0);
    if (nIndex < 0)
        return;
    if (bCacheCompleted() || (bFromCache && bStaysRead)) {
        m_llCurrentRecord = bAtFront ? 0 : m_pclRecordCache->nGetRowCount() - 1;
        m_bCurrentRecordDeleted = 0;
    }
}

void CNAStatement::OnNotifyUpdateOperation(long, NA_WRITEPARSEFLAGS nFlags)
{
    if (bCacheEnabled())
        (void)m_pclDataAccess->nUpdateRecordInCache(nFlags, m_pclRecordCache);
}

void CNAStatement::OnNotifyDeleteOperation(long, NA_WRITEPARSEFLAGS)
{
    const CNARecordId* pclId = pclWrittenRowId(m_pclCurrentRecord);
    if (pclId == nullptr)
        return;
    if (m_pclRecordCache != nullptr) {
        _UpdateSavedPositionAfterDelete(pclId);
        const int nIndex = m_pclRecordCache->nGetRecordIndice(pclId);
        if (nIndex >= 0)
            m_pclRecordCache->SetRecordState(nIndex, NA_RS_DELETED);
    }
    if (!bEqualStmtOriginalRecordId(pclId))
        return;
    if (!bCacheEnabled()) {
        // The row states mark the result's row.
        (void)bSaveDeletedRecord(-1);
        return;
    }
    // The cache marks its row: the parse only learns that it stands on it.
    if (m_eParseNeedUpdate == NA_PNU_REPOSITION)
        (void)bSetParseNeedUpdate(NA_PNU_REEXECUTE);
    else if (m_eParseNeedUpdate == NA_PNU_NONE)
        m_bCurrentRecordDeleted = 1;
}
