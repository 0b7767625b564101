// The fetch through the statement's record cache: rows read once from the
// result are kept in fetch order and read back from memory when the browse
// returns to them; a last read reads every row first. Also the reading of
// the parse's remaining rows through the data access's browse, and the
// search for the saved row among the cached rows.
#include "common/text/str_copy.h"
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/access/statement_sql.h"
#include "native/driver/error_object.h"
#include "native/model/record.h"
#include "native/model/record_cache.h"
#include "native/model/record_value.h"
#include "native/model/table_cache_index.h"

namespace {

// Room for an item name, as a return to a position writes it back.
constexpr size_t kItemNameRoom = 256;

}  // namespace

int CNAStatement::_bFetchCacheEnabled(eNA_PARSEDIRECTION eDirection, int bUpdate, long nCount, long* pnRemaining,
                                      int* pbOut)
{
    *pbOut = 1;
    if (pnRemaining != nullptr)
        *pnRemaining = 0;
    CNARecordCache* pclCache = m_pclRecordCache;
    if (m_bFetchingNextBlock) {
        // A continuation block goes on after the rows already cached.
        if (eDirection == NADirection::kFirst)
            eDirection = NADirection::kNext;
        else if (eDirection == NADirection::kLast)
            eDirection = NADirection::kPrevious;
        m_llBlockOffset = pclCache->nGetRowCount();
    }
    const bool bToEnd = eDirection == NADirection::kLast && !pclCache->bFetchComplete();
    long nToFetch = 0;
    if (!bToEnd) {
        int nTarget = -1;
        if (m_pclTableCacheIndex != nullptr) {
            unsigned nDuplicate = 0;
            if (!m_pclTableCacheIndex->bGetRecordPosition(eDirection, static_cast<int>(nCount), &nTarget,
                                                          &nDuplicate))
                return 0;
            m_nIndexDuplicate = static_cast<int32_t>(nDuplicate);
        } else {
            nTarget = pclCache->nGetPosition(static_cast<long>(m_llCurrentRecord), eDirection, nCount);
        }
        if (!pclCache->bMustFetch(nTarget)) {
            if (pclCache->bEndehors(nTarget))
                return 1;
            if (!_RestaureRecordFromCache(nTarget))
                return 0;
            *pbOut = 0;
            if (pnRemaining != nullptr)
                *pnRemaining = nCount;
            return 1;
        }
        nToFetch = static_cast<long>(nTarget) + 1 - pclCache->nGetRowCount();
    }
    // The rows up to the target (every row for a last read) are read from
    // the result one by one, each appended to the cache.
    long nFetched = 0;
    while (bToEnd || nFetched < nToFetch) {
        if (!_bFetchAndCache(NADirection::kNext, bUpdate, 1, nullptr, pbOut)) {
            m_bRowAvailable = 0;
            return 0;
        }
        if (*pbOut)
            break;
        ++nFetched;
    }
    if (*pbOut)
        pclCache->SetFetchComplete();
    if (bToEnd) {
        const int nRows = pclCache->nGetRowCount();
        if (nRows < 1)
            return 1;
        if (!_RestaureRecordFromCache(nRows - 1))
            return 0;
        *pbOut = 0;
        m_bRowAvailable = 1;
        if (pnRemaining != nullptr)
            *pnRemaining = nCount;
        return 1;
    }
    m_bRowAvailable = !*pbOut;
    if (pnRemaining != nullptr)
        *pnRemaining = *pbOut ? nFetched : nCount;
    return 1;
}

int CNAStatement::_bFetchAndCache(eNA_PARSEDIRECTION eDirection, int bUpdate, long nCount, long* pnRemaining,
                                  int* pbOut)
{
    if (!_bFetch(eDirection, bUpdate, pbOut, nCount, pnRemaining))
        return 0;
    if (*pbOut)
        return _bContinuesInNextBlock(eDirection) ? _bGoOnInNextBlock(eDirection, bUpdate, nCount, pnRemaining, pbOut)
                                                  : 1;
    if (bUpdate && m_pclCurrentRecord != nullptr) {
        const int64_t llAt = static_cast<int64_t>(m_pclRecordCache->nGetRowCount()) + nCount - 1;
        const int nIndex = llAt >= 0 && llAt <= INT32_MAX
                               ? m_pclRecordCache->Insere(m_pclCurrentRecord->pclGetCurrentRecordValueNoRef(),
                                                          static_cast<unsigned>(llAt))
                               : -1;
        if (nIndex < 0) {
            if (m_pclError != nullptr)
                m_pclError->pclGetXError()->SetErrorNoMemory();
            return 0;
        }
        m_llCurrentRecord = nIndex;
    }
    SetParseStarted();
    return 1;
}

int CNAStatement::_RestaureRecordFromCache(long nRow)
{
    if (m_pclRecordCache == nullptr || m_pclCurrentRecord == nullptr || nRow < 0 || nRow > INT32_MAX)
        return 0;
    CNARecordValue* pclOriginal = m_pclCurrentRecord->pclGetOriginalRecordValueNoRef();
    if (pclOriginal == nullptr || !m_pclRecordCache->bGetAt(pclOriginal, static_cast<unsigned>(nRow)))
        return 0;
    if (!m_pclCurrentRecord->bCopyOriginalRecordToCurrentRecord())
        return 0;
    m_bRestoredByPosition = 1;
    m_bRowAvailable = 0;
    m_bCurrentRecordDeleted = 0;
    m_llCurrentRecord = nRow;
    return 1;
}

int CNAStatement::_bCompleteCache()
{
    if (m_pclRecordCache == nullptr || m_pclDataAccess == nullptr)
        return 0;
    const eNA_PARSEDIRECTION eDirection =
        m_pclTableCacheIndex == nullptr && bInvertFetch() ? NADirection::kPrevious : NADirection::kNext;
    if (m_pclStatementSQL != nullptr && m_pclStatementSQL->llGetRowCount() < 0 && !bExecutePreparedQuery(0, 0))
        return 0;
    const wchar_t* pszItem = pszGetParseItemName();
    int nPosition = -1;
    const int bSaved = m_pclDataAccess->bHSauvePosition(&nPosition, pszItem, static_cast<eNAPOSITION>(0));
    const int nRows = m_pclRecordCache->nGetRowCount();
    m_llCurrentRecord = m_llBlockRowLimit > 0 && nRows > 0 ? nRows - 2 : nRows - 1;
    // The reads below must neither re-position the parse nor give its save
    // back: both are set aside, with the save's reference.
    const int nSaveID = m_nRecordSaveID;
    const ePARSENEEDUPDATECAUSE eCause = m_eParseNeedUpdate;
    m_nRecordSaveID = -1;
    m_eParseNeedUpdate = NA_PNU_NONE;
    int bDone = 1;
    for (;;) {
        eNA_LOCKTYPE eLock = static_cast<eNA_LOCKTYPE>(1);
        if (!m_pclDataAccess->bHLitxxx(pszItem, eDirection, 1, static_cast<eNA_LOCKTYPE>(1), &eLock,
                                       m_nParseFlags)) {
            bDone = 0;
            break;
        }
        // The browse read this statement, the parse item's: its out flag is
        // the data access's answer for the item.
        if (m_bHEndehors)
            break;
    }
    if (bSaved) {
        wchar_t szItem[kItemNameRoom];
        (void)STR_nCopy(szItem, kItemNameRoom, pszItem, -1);
        if (!m_pclDataAccess->bHRetourPosition(nPosition, szItem, 0, static_cast<eNAPOSITION>(0)))
            (void)m_pclDataAccess->bHLiberePosition(nPosition);
    }
    _SwapRecordSave(-1);
    m_nRecordSaveID = nSaveID;
    m_eParseNeedUpdate = eCause;
    return bDone;
}

CNARecordCache* CNAStatement::pclGetFullRecordCache()
{
    if (bCacheCompleted())
        return m_pclRecordCache;
    if (!bCacheEnabled() || !_bCompleteCache())
        return nullptr;
    return bCacheCompleted() ? m_pclRecordCache : nullptr;
}

int CNAStatement::bUpdateParsePositionInRecordCache()
{
    while (m_nRecordSaveID != -1) {
        if (m_pclRecordCache == nullptr || m_pclDataAccess == nullptr || m_pclCurrentRecord == nullptr ||
            !m_pclDataAccess->bRestoreOriginalRecordSave(m_nRecordSaveID))
            return 0;
        const CNARecordValue* pclSaved = m_pclCurrentRecord->pclGetOriginalRecordValueNoRef();
        const int nRow = pclSaved != nullptr ? m_pclRecordCache->nGetRecordIndice(pclSaved->pclGetRecordIDNoRef()) : -1;
        if (nRow >= 0) {
            m_llCurrentRecord = nRow;
            break;
        }
        // A read that ends without completing the cache would search for
        // ever: the row is then lost too.
        if (bCacheCompleted() || !_bCompleteCache() || !bCacheCompleted()) {
            if (bCacheCompleted())
                CurrentRecordNotFound(pszGetSearchItemName(), 4, 8);
            return 0;
        }
    }
    return bSetParseNeedUpdate(NA_PNU_NONE, -1);
}
