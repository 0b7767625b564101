// A column index over a complete row cache: its making, its answers and the
// writes it follows.
#include "native/model/table_cache_index.h"

#include <new>

#include "common/system/x_error.h"
#include "common/text/any.h"
#include "common/text/any_calcul.h"
#include "native/driver/error_object.h"
#include "native/model/cache_index_fixed_size.h"
#include "native/model/cache_index_memo.h"
#include "native/model/column.h"
#include "native/model/record.h"
#include "native/model/record_cache.h"

CNATableCacheIndex::CNATableCacheIndex(CNAError* pclError, CNARecordCache* pclCache, CNAColumn* pclColumn,
                                       CNAStatement* pclStatement)
    : m_pclError(pclError), m_pclCache(pclCache), m_pclColumn(pclColumn), m_pclStatement(pclStatement)
{
    if (m_pclError != nullptr)
        m_pclError->AddRef();
    if (m_pclCache != nullptr)
        REF_AddRef(m_pclCache);
    if (m_pclColumn != nullptr)
        REF_AddRef(m_pclColumn);
}

CNATableCacheIndex::~CNATableCacheIndex()
{
    // The index reads the cache and the column: it goes first.
    delete m_pclIndex;
    if (m_pclColumn != nullptr)
        REF_Release(m_pclColumn);
    if (m_pclCache != nullptr)
        REF_Release(m_pclCache);
    if (m_pclError != nullptr)
        m_pclError->nRelease();
}

int CNATableCacheIndex::bInit()
{
    if (m_pclIndex != nullptr)
        return 1;
    if (m_pclColumn == nullptr || m_pclCache == nullptr)
        return 0;
    if (m_pclColumn->bIsMemo())
        m_pclIndex = new (std::nothrow) CIndexMemo(m_pclError, m_pclCache, m_pclColumn, m_pclStatement);
    else
        m_pclIndex = new (std::nothrow) CIndexFixedSizeItem(m_pclError, m_pclCache, m_pclColumn, m_pclStatement);
    if (m_pclIndex == nullptr) {
        if (m_pclError != nullptr)
            m_pclError->pclGetXError()->SetErrorNoMemory();
        return 0;
    }
    return m_pclIndex->bInit();
}

int CNATableCacheIndex::bGetRecordPosition(eNA_PARSEDIRECTION eDirection, int nCount, int* pnRow,
                                           unsigned* pnDuplicateIndex)
{
    if (m_pclIndex != nullptr)
        return m_pclIndex->bGetRecordPosition(eDirection, nCount, pnRow, pnDuplicateIndex);
    if (pnRow != nullptr)
        *pnRow = -1;
    if (pnDuplicateIndex != nullptr)
        *pnDuplicateIndex = 0;
    return 0;
}

int CNATableCacheIndex::nGetCurrentRecordId()
{
    return m_pclIndex != nullptr ? m_pclIndex->nGetCurrentRecordId() : -1;
}

int CNATableCacheIndex::nGetRecordNbr()
{
    return m_pclIndex != nullptr ? m_pclIndex->nGetRecordNbr() : 0;
}

int CNATableCacheIndex::nGetPreviousRecordNbr()
{
    return m_pclIndex != nullptr ? m_pclIndex->nGetPreviousRecordNbr() : 0;
}

int CNATableCacheIndex::bSetCurrentPos(int nRow, int nSkip, int* pbFound)
{
    if (m_pclIndex != nullptr)
        return m_pclIndex->bSetCurrentPos(nRow, nSkip, pbFound);
    if (pbFound != nullptr)
        *pbFound = 0;
    return 0;
}

void CNATableCacheIndex::OnNotifyOperation(int eOperation, int nRow, unsigned)
{
    constexpr int kUpdate = 2, kInsert = 3, kDelete = 4;
    if (m_pclIndex == nullptr || (eOperation != kUpdate && eOperation != kInsert && eOperation != kDelete))
        return;
    const bool bLeaves = eOperation != kInsert;
    const bool bComes = eOperation != kDelete;
    CAny clOld;
    CAny clNew;
    if (bLeaves) {
        CNARecord* pclRecord = m_pclColumn->pclGetRecordNoRef();
        const CNARecordValue* pclOriginal = pclRecord != nullptr ? pclRecord->pclGetOriginalRecordValueNoRef() : nullptr;
        if (pclOriginal == nullptr || !m_pclColumn->bGetRowValue(&clOld, pclOriginal))
            return;
    }
    if (bComes && !m_pclColumn->bGetCurrentValue(&clNew, 0))
        return;
    if (eOperation == kUpdate) {
        int bEqual = 0;
        if (nEgalite(clNew, clOld, &bEqual, 0) <= 99 && bEqual != 0)
            return;
    }
    if (bLeaves)
        (void)m_pclIndex->bDeleteRecord(nRow, &clOld);
    if (bComes)
        (void)m_pclIndex->bInsertRecord(nRow, &clNew);
}
