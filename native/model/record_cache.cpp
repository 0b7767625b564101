// The row cache's life, settings, flags, states and positions.
#include "native/model/record_cache.h"

#include <algorithm>

#include "common/system/xmalloc.h"

namespace {

// Before an identity kind is fixed no element is keyed, but the table must
// never be without functions.
int nCompareAddresses(const void* a, const void* b)
{
    return a == b ? 0 : 1;
}

// Row indexes are 32-bit; moves are computed in 64 bits and clamped.
int nClampIndex(int64_t n)
{
    return n < 0 ? -1 : static_cast<int>(std::min<int64_t>(n, INT32_MAX));
}

}  // namespace

CNARecordCache::CNARecordCache() : m_tabStates(100), m_clHash(7)
{
    m_clHash.SetCmp(&nCompareAddresses);
    m_clHash.SetHashVal(&CNARecordId::g_dwPtrHashVal);
}

CNARecordCache::~CNARecordCache()
{
    XMALLOC_Del_(m_pbyScratch);
    if (m_pclTemplate != nullptr)
        m_pclTemplate->nRelease();
    // The hash keys point into the blocks: the table goes before them.
    m_clHash.DeleteAll(7);
    m_clRecords.Vide();
    m_clIds.Vide();
    m_tabMemo.SupprimeTout();
}

void CNARecordCache::SetGrowStep(int nCount, int nBytes)
{
    const uint64_t llBytes = nBytes > 0 ? static_cast<uint64_t>(nBytes) : 0;
    m_clRecords.SetGrowStep(nCount, llBytes);
    m_clIds.SetGrowStep(nCount, llBytes);
    if (nCount > 0)
        m_tabMemo.m_nPas = nCount;
}

void CNARecordCache::SetEnabled(int bEnabled)
{
    if (bEnabled)
        m_dwFlags |= kEnabled;
    else
        m_dwFlags &= ~kEnabled;
}

void CNARecordCache::SetFetchComplete()
{
    if ((m_dwFlags & kEnabled) != 0)
        m_dwFlags |= kFetchComplete;
}

eNA_RECORDSTATE CNARecordCache::eGetRecordState(int n) const
{
    return n >= 0 && n < m_tabStates.nGetNbElement() ? m_tabStates[n] : NA_RS_DELETED;
}

void CNARecordCache::SetRecordState(int n, eNA_RECORDSTATE eState)
{
    if (n < 0 || n >= m_tabStates.nGetNbElement())
        return;
    const eNA_RECORDSTATE eFormer = m_tabStates[n];
    if (eState == NA_RS_DELETED && eFormer != NA_RS_DELETED)
        ++m_nDeleted;
    else if (eFormer == NA_RS_DELETED && eState != NA_RS_DELETED)
        --m_nDeleted;
    m_tabStates[n] = eState;
}

int CNARecordCache::bMustFetch(int n) const
{
    if (!bEnabled())
        return 1;
    if (n < 0)
        return 0;
    if (n >= nGetRowCount())
        return !bFetchComplete();
    return m_clRecords.bReserved(n);
}

int CNARecordCache::nGetPosition(long nFrom, eNA_PARSEDIRECTION eDirection, long nCount) const
{
    // Positions and counts come from the host: far beyond any row they
    // saturate, so that no sum below overflows.
    constexpr int64_t kFar = INT64_C(1) << 40;
    nFrom = std::clamp<int64_t>(nFrom, -kFar, kFar);
    nCount = std::clamp<int64_t>(nCount, -kFar, kFar);
    const int64_t nRows = nGetRowCount();
    int64_t nStart;
    bool bForward;
    switch (static_cast<int>(eDirection)) {
    case 1:
        nStart = nRows;
        bForward = false;
        break;
    case 2:
        nStart = nFrom;
        bForward = true;
        break;
    case 3:
        nStart = nFrom;
        bForward = false;
        break;
    default:
        nStart = -1;
        bForward = true;
        break;
    }
    if (m_nDeleted <= 0) {
        return nClampIndex(bForward ? nStart + nCount : nStart - nCount);
    }
    if (nCount <= 0)
        return nClampIndex(nStart);
    if (!bForward && nStart < 0)
        return -1;
    int64_t nLeft = nCount;
    int64_t n = nStart;
    if (bForward) {
        // Every step onto a row that is not deleted counts, and so does
        // every step beyond the last row.
        while (n + 1 < nRows) {
            ++n;
            if (!_bRecordDeleted(static_cast<int>(n)) && --nLeft == 0)
                return nClampIndex(n);
        }
        n = std::max(n, nRows - 1);
        return nClampIndex(n + nLeft);
    }
    // Backward: the positions beyond the rows count as rows; only the rows
    // are stepped over one by one.
    if (n > nRows) {
        const int64_t nBeyond = n - nRows;
        if (nLeft <= nBeyond)
            return nClampIndex(n - nLeft);
        nLeft -= nBeyond;
        n = nRows;
    }
    while (n > 0) {
        --n;
        if (!_bRecordDeleted(static_cast<int>(n)) && --nLeft == 0)
            return nClampIndex(n);
    }
    return -1;
}
