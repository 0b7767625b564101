// Bulk build from sorted records: leaves share the distinct keys evenly (the
// first ones take one more), then each inner level shares the nodes below
// evenly, until one node remains: the root. The input is checked and every
// node is taken from the pools before anything is filled, so a build that
// fails gives everything back and leaves the tree as it was.
#include <cstring>

#include "common/system/xmalloc.h"
#include "native/model/mem_btree.h"
#include "native/model/mem_bucket.h"

namespace {

// Records are range-checked against this before any buffer is sized.
constexpr size_t kMaxBytes = size_t{1} << 62;

}  // namespace

int CMemBTree::_nCompareRecord(const unsigned char* pA, const unsigned char* pB) const
{
    const int c = m_pfKeyCompare(pA, pB, m_nKeySize);
    if (c != 0 || m_nValueSize == 0) return c;
    return m_pfValueCompare(pA + m_nKeySize, pB + m_nKeySize, m_nValueSize);
}

// Quicksort of n records of nRecord bytes: median of three, a partition that
// stops on equal records (so runs of equal keys split evenly), the smaller
// part sorted first so the stack stays logarithmic, and ranges of at most 8
// finished by repeatedly moving the largest record to the end.
void CMemBTree::_QuickSort(unsigned char* pBase, size_t n, size_t nRecord, unsigned char* pPivot,
                           unsigned char* pSwap) const
{
    auto at = [&](unsigned char* p, size_t i) { return p + i * nRecord; };
    auto swap = [&](unsigned char* a, unsigned char* b) {
        if (a == b) return;
        std::memcpy(pSwap, a, nRecord);
        std::memcpy(a, b, nRecord);
        std::memcpy(b, pSwap, nRecord);
    };
    while (n > 8) {
        unsigned char* pFirst = pBase;
        unsigned char* pMid = at(pBase, n / 2);
        unsigned char* pLast = at(pBase, n - 1);
        if (_nCompareRecord(pMid, pFirst) < 0) swap(pMid, pFirst);
        if (_nCompareRecord(pLast, pMid) < 0) {
            swap(pLast, pMid);
            if (_nCompareRecord(pMid, pFirst) < 0) swap(pMid, pFirst);
        }
        std::memcpy(pPivot, pMid, nRecord);
        // The first and last records bound both scans.
        size_t i = 0;
        size_t j = n - 1;
        for (;;) {
            do ++i;
            while (_nCompareRecord(at(pBase, i), pPivot) < 0);
            do --j;
            while (_nCompareRecord(at(pBase, j), pPivot) > 0);
            if (i >= j) break;
            swap(at(pBase, i), at(pBase, j));
        }
        const size_t nLeft = j + 1;
        const size_t nRight = n - nLeft;
        if (nLeft < nRight) {
            _QuickSort(pBase, nLeft, nRecord, pPivot, pSwap);
            pBase = at(pBase, nLeft);
            n = nRight;
        } else {
            _QuickSort(at(pBase, nLeft), nRight, nRecord, pPivot, pSwap);
            n = nLeft;
        }
    }
    for (size_t nEnd = n; nEnd > 1; --nEnd) {
        size_t nMax = 0;
        for (size_t k = 1; k < nEnd; ++k) {
            if (_nCompareRecord(at(pBase, k), at(pBase, nMax)) > 0) nMax = k;
        }
        swap(at(pBase, nMax), at(pBase, nEnd - 1));
    }
}

int CMemBTree::bLoadBulk(const void* pKeys, const void* pValues, int n)
{
    if (!m_oInnerPool.has_value() || n < 0) return 0;
    if (n == 0) {
        _FreeAll();
        return 1;
    }
    if (pKeys == nullptr || (m_nValueSize != 0 && pValues == nullptr)) return 0;
    const size_t nRecord = m_nKeySize + m_nValueSize;
    const size_t nCount = static_cast<size_t>(n) + 2;  // two more: the pivot and the swap area
    if (nRecord > kMaxBytes / nCount) return 0;
    auto* pBuffer = static_cast<unsigned char*>(XMALLOC_pNew_(nCount * nRecord));
    if (pBuffer == nullptr) return 0;
    for (size_t i = 0; i < static_cast<size_t>(n); ++i) {
        std::memcpy(pBuffer + i * nRecord, static_cast<const unsigned char*>(pKeys) + i * m_nKeySize, m_nKeySize);
        if (m_nValueSize != 0) {
            std::memcpy(pBuffer + i * nRecord + m_nKeySize, static_cast<const unsigned char*>(pValues) + i * m_nValueSize,
                        m_nValueSize);
        }
    }
    const size_t nSize = static_cast<size_t>(n);
    _QuickSort(pBuffer, nSize, nRecord, pBuffer + nSize * nRecord, pBuffer + (nSize + 1) * nRecord);
    const int bOk = __bBuildFromVector(pBuffer, nRecord, n);
    XMALLOC_Del_(pBuffer);
    return bOk;
}

const unsigned char* CMemBTree::_pSubtreeMinKey(CMemNode* p)
{
    while (p->m_nType != CMemNode::kLeaf) p = _ppChildren(static_cast<CMemIndexNode*>(p))[0];
    return _pKey(static_cast<CMemDataNode*>(p), 0);
}

bool CMemBTree::_bFillLeaf(CMemDataNode* p, const unsigned char** ppRecord, const unsigned char* pEnd, size_t nStride,
                           int nKeys)
{
    const unsigned char* pRecord = *ppRecord;
    for (int q = 0; q < nKeys; ++q) {
        int nRun = 1;
        while (pRecord + nRun * nStride < pEnd && m_pfKeyCompare(pRecord, pRecord + nRun * nStride, m_nKeySize) == 0)
            ++nRun;
        _CopyKey(_pKey(p, q), pRecord);
        if (m_nValueSize != 0) {
            if (nRun == 1) {
                std::memcpy(_pSlot(p, q), pRecord + m_nKeySize, m_nValueSize);
                _SetBucketBit(p, q, false);
            } else {
                CMemBucket* pBucket = CMemBucket::g_pclCreateSorted(this, pRecord + m_nKeySize, nStride, nRun);
                if (pBucket == nullptr) return false;
                _SetBucket(p, q, pBucket);
            }
        }
        p->m_nNumKey = static_cast<uint32_t>(q + 1);
        p->m_nNumRecord += static_cast<uint32_t>(nRun);
        pRecord += nRun * nStride;
    }
    *ppRecord = pRecord;
    return true;
}

int CMemBTree::__bBuildFromVector(const unsigned char* pFirstKey, size_t nStride, int n)
{
    if (!m_oInnerPool.has_value() || n <= 0) return 0;
    // Distinct keys; equal keys without values, a repeated record, or records
    // out of order fail before anything is taken.
    int64_t nKeys = 1;
    for (int i = 1; i < n; ++i) {
        const unsigned char* pA = pFirstKey + (i - 1) * nStride;
        const unsigned char* pB = pA + nStride;
        const int c = m_pfKeyCompare(pA, pB, m_nKeySize);
        if (c > 0) return 0;
        if (c < 0) {
            ++nKeys;
        } else if (m_nValueSize == 0 || m_pfValueCompare(pA + m_nKeySize, pB + m_nKeySize, m_nValueSize) >= 0) {
            return 0;
        }
    }
    const int64_t nLeaves = (nKeys - 1) / m_nOrder + 1;
    const int64_t nFanOut = m_nOrder < 3 ? m_nOrder + 1 : m_nOrder;
    int64_t nNodes = nLeaves;
    for (int64_t c = nLeaves; c > 1 || nNodes == nLeaves;) {
        c = (c - 1) / nFanOut + 1;
        nNodes += c;
    }
    auto** ppNodes = static_cast<CMemNode**>(XMALLOC_pNew_(static_cast<size_t>(nNodes) * sizeof(CMemNode*)));
    if (ppNodes == nullptr) return 0;
    int64_t nMade = 0;
    for (; nMade < nNodes; ++nMade) {
        CMemNode* p = nMade < nLeaves ? static_cast<CMemNode*>(_pclNewLeaf()) : _pclNewInner();
        if (p == nullptr) break;
        ppNodes[nMade] = p;
    }
    bool bOk = nMade == nNodes;

    const unsigned char* pRecord = pFirstKey;
    const unsigned char* pEnd = pFirstKey + static_cast<size_t>(n) * nStride;
    for (int64_t k = 0; bOk && k < nLeaves; ++k) {
        auto* pLeaf = static_cast<CMemDataNode*>(ppNodes[k]);
        pLeaf->m_pPrev = k > 0 ? static_cast<CMemDataNode*>(ppNodes[k - 1]) : nullptr;
        pLeaf->m_pNext = k + 1 < nLeaves ? static_cast<CMemDataNode*>(ppNodes[k + 1]) : nullptr;
        const int nShare = static_cast<int>(nKeys / nLeaves + (k < nKeys % nLeaves ? 1 : 0));
        bOk = _bFillLeaf(pLeaf, &pRecord, pEnd, nStride, nShare);
    }
    if (!bOk) {
        for (int64_t k = 0; k < nMade; ++k) {
            if (k < nLeaves) {
                auto* pLeaf = static_cast<CMemDataNode*>(ppNodes[k]);
                for (int i = 0; i < static_cast<int>(pLeaf->m_nNumKey); ++i) {
                    if (_bHasBucket(pLeaf, i)) _DestroyBucket(_pBucket(pLeaf, i));
                }
            }
            _FreeNode(ppNodes[k]);
        }
        XMALLOC_Del_(ppNodes);
        return 0;
    }

    int64_t nLevelStart = 0;
    int64_t nLevelCount = nLeaves;
    int64_t nNext = nLeaves;
    do {
        const int64_t nParents = (nLevelCount - 1) / nFanOut + 1;
        int64_t nChild = nLevelStart;
        for (int64_t q = 0; q < nParents; ++q) {
            auto* pInner = static_cast<CMemIndexNode*>(ppNodes[nNext + q]);
            const int nTake = static_cast<int>(nLevelCount / nParents + (q < nLevelCount % nParents ? 1 : 0));
            CMemNode** ppChildren = _ppChildren(pInner);
            for (int i = 0; i < nTake; ++i) {
                ppChildren[i] = ppNodes[nChild + i];
                pInner->m_nNumRecord += ppChildren[i]->m_nNumRecord;
                if (i > 0) _CopyKey(_pInnerKey(pInner, i - 1), _pSubtreeMinKey(ppChildren[i]));
            }
            pInner->m_nNumKey = static_cast<uint32_t>(nTake - 1);
            nChild += nTake;
        }
        nLevelStart = nNext;
        nLevelCount = nParents;
        nNext += nParents;
    } while (nLevelCount > 1);
    auto* pRoot = static_cast<CMemIndexNode*>(ppNodes[nLevelStart]);
    pRoot->m_nType = CMemNode::kRoot;
    XMALLOC_Del_(ppNodes);

    _FreeAll();
    m_pRoot = pRoot;
    m_nNumKey = static_cast<uint32_t>(nKeys);
    GotoEnd();
    return 1;
}
