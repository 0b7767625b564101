// Reading the row cache: rows into row values, identities into indexes,
// comparisons of cached rows, memo sets restored.
#include "native/model/record_cache.h"

#include "common/system/xmalloc.h"

int CNARecordCache::nGetRecordIndice(const CNARecordId* pclId)
{
    if (pclId == nullptr || m_eRecordIdType == NA_RECORDID_NONE || pclId->eGetRecordIdType() != m_eRecordIdType)
        return -1;
    const unsigned long nSize = pclId->nGetSerializedSize();
    if (nSize > m_nScratchSize) {
        auto* pbyScratch = static_cast<unsigned char*>(XMALLOC_pResize_(m_pbyScratch, nSize));
        if (pbyScratch == nullptr)
            return -1;
        m_pbyScratch = pbyScratch;
        m_nScratchSize = nSize;
    }
    if (!pclId->Serialize(m_pbyScratch, m_nScratchSize))
        return -1;
    void* pValue = nullptr;
    if (!m_clHash.bGetElement(m_pbyScratch, &pValue, nullptr))
        return -1;
    return static_cast<int>(reinterpret_cast<intptr_t>(pValue));
}

int CNARecordCache::nGetRecordIndice(const CNARecordValue* pclRow)
{
    return pclRow != nullptr ? nGetRecordIndice(pclRow->pclGetRecordIDNoRef()) : -1;
}

int CNARecordCache::bGetAt(CNARecordValue* pclRow, unsigned n)
{
    if (pclRow == nullptr || n >= static_cast<unsigned>(nGetRowCount()))
        return 0;
    const int i = static_cast<int>(n);
    if (pclRow->pclGetNAQFRecordNoRef() == nullptr &&
        (m_pclTemplate == nullptr ||
         !pclRow->bCopyRecordValue(m_pclTemplate, static_cast<CNARecordValue::eCOPYFLAGS>(5))))
        return 0;
    CNAQFRecord* pclRecord = pclRow->pclGetNAQFRecordNoRef();
    if (pclRecord == nullptr || !m_clRecords.bRead(i, *pclRecord))
        return 0;
    // A row value without an identity of the cache's kind takes one from
    // the template before anything is read into it.
    const CNARecordId* pclTemplateId = m_pclTemplate != nullptr ? m_pclTemplate->pclGetRecordIDNoRef() : nullptr;
    const CNARecordId* pclOwn = pclRow->pclGetRecordIDNoRef();
    if ((pclOwn == nullptr || pclOwn->eGetRecordIdType() != m_eRecordIdType) && pclTemplateId != nullptr &&
        pclTemplateId->eGetRecordIdType() == m_eRecordIdType && !pclRow->bCopyRecordID(pclTemplateId))
        return 0;
    CNARecordId* pclId = pclRow->pclGetRecordIDNoRef();
    if (pclId != nullptr && pclId->eGetRecordIdType() != NA_RECORDID_VALUES && !m_clIds.bRead(i, *pclId))
        return 0;
    // A row without cached memo values reads as a set without entries; no
    // empty set is made for it (browsing a large cache would make one per
    // row).
    return pclRow->bCopyTabMemoValue(m_tabMemo.pclGet(i));
}

int CNARecordCache::bGetAt(CNARecordValue* pclRow, const CNARecordId* pclId)
{
    const int n = nGetRecordIndice(pclId);
    return n >= 0 && bGetAt(pclRow, static_cast<unsigned>(n));
}

int CNARecordCache::bEquals(int n, const CNARecordValue* pclRow, int bMemo)
{
    if (n < 0 || m_pclTemplate == nullptr || !bGetAt(m_pclTemplate, static_cast<unsigned>(n)))
        return 0;
    return m_pclTemplate->bEquals(pclRow, bMemo);
}

int CNARecordCache::bEquals(int a, int b, int bMemo)
{
    if (a < 0 || b < 0 || m_pclTemplate == nullptr || !bGetAt(m_pclTemplate, static_cast<unsigned>(a)))
        return 0;
    CNARecordValue* pclA = m_pclTemplate->pclGetClone(CNARecordValue::COPY_ALL);
    if (pclA == nullptr)
        return 0;
    REF_AddRef(pclA);
    const int bEqual = bGetAt(m_pclTemplate, static_cast<unsigned>(b)) && pclA->bEquals(m_pclTemplate, bMemo);
    pclA->nRelease();
    return bEqual;
}

void CNARecordCache::RestaureMemo(int n, CNARecordMemo* pclMemo)
{
    if (pclMemo == nullptr || pclMemo->nGetCount() < 1)
        return;
    if (const CNARecordMemo* pclCached = m_tabMemo.pclGet(n))
        (void)pclMemo->bCopyRecordMemo(pclCached);
}
