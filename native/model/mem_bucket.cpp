#include "native/model/mem_bucket.h"

#include <algorithm>
#include <cstring>
#include <new>

const CMemBucket::SThreshold CMemBucket::mg_stTabSizeThreshold[7] = {
    {0, 2}, {1, 4}, {2, 8}, {6, 16}, {9, 32}, {18, 64}, {56, 0},
};

namespace {

int nCompareBytes(const void* pA, const void* pB, unsigned long nSize)
{
    return std::memcmp(pA, pB, nSize);
}

}  // namespace

size_t CMemBucket::nGetFullSize(const CMemBTree* pTree, int nClass)
{
    if (nClass == kTreeClass) return kDataOffset + sizeof(CMemBTree);
    return kDataOffset + mg_stTabSizeThreshold[nClass].nMax * pTree->m_nValueSize;
}

int CMemBucket::nGetNumKey() const
{
    return bIsTree() ? pclGetTree()->nGetNumKey() : m_nNumKey;
}

CMemBucket* CMemBucket::_pclNewVector(CMemBTree* pTree, int nClass)
{
    void* p = pTree->_pAllocBucket(nClass);
    if (p == nullptr) return nullptr;
    auto* pBucket = new (p) CMemBucket();
    pBucket->m_nNumKey = 0;
    pBucket->m_nClass = static_cast<uint16_t>(nClass);
    return pBucket;
}

CMemBucket* CMemBucket::g_pclCreatePair(CMemBTree* pTree, const void* pA, const void* pB)
{
    CMemBucket* p = _pclNewVector(pTree, 0);
    if (p == nullptr) return nullptr;
    const unsigned long n = pTree->m_nValueSize;
    const bool bSwap = pTree->m_pfValueCompare(pA, pB, n) > 0;
    std::memcpy(p->_pValues(), bSwap ? pB : pA, n);
    std::memcpy(p->_pValues() + n, bSwap ? pA : pB, n);
    p->m_nNumKey = 2;
    return p;
}

CMemBucket* CMemBucket::_pclNewTree(CMemBTree* pTree, const unsigned char* pFirst, size_t nStride, int n)
{
    void* pMemory = pTree->_pAllocBucket(kTreeClass);
    if (pMemory == nullptr) return nullptr;
    auto* p = new (pMemory) CMemBucket();
    p->m_nNumKey = kTreeCount;
    p->m_nClass = kTreeClass;
    CMemBTree* pNested = new (p->pclGetTree()) CMemBTree();
    if (!pNested->bInit(pTree->m_nValueSize, 0, pTree->m_pfValueCompare, nCompareBytes, pTree->m_nOrder) ||
        !pNested->__bBuildFromVector(pFirst, nStride, n)) {
        g_Destroy(pTree, p);
        return nullptr;
    }
    return p;
}

CMemBucket* CMemBucket::g_pclCreateSorted(CMemBTree* pTree, const unsigned char* pFirst, size_t nStride, int n)
{
    int nClass = 0;
    while (nClass < kTreeClass && mg_stTabSizeThreshold[nClass].nMax < n) ++nClass;
    if (nClass == kTreeClass) return _pclNewTree(pTree, pFirst, nStride, n);
    CMemBucket* p = _pclNewVector(pTree, nClass);
    if (p == nullptr) return nullptr;
    for (int i = 0; i < n; ++i)
        std::memcpy(p->_pValues() + i * pTree->m_nValueSize, pFirst + i * nStride, pTree->m_nValueSize);
    p->m_nNumKey = static_cast<uint16_t>(n);
    return p;
}

void CMemBucket::g_Destroy(CMemBTree* pTree, CMemBucket* p)
{
    if (p->bIsTree()) p->pclGetTree()->~CMemBTree();
    pTree->_FreeBucket(p);
}

int CMemBucket::_nFind(const CMemBTree* pTree, const void* pValue, bool* pbFound) const
{
    return CMemBTree::g_nBinarySearch(_pValues(), m_nNumKey, pTree->m_nValueSize, pTree->m_pfValueCompare, pValue,
                                      pbFound);
}

void CMemBucket::_EnterTree(const SMemBucketPos* pOwnerPos)
{
    CMemBTree* pNested = pclGetTree();
    pNested->_ClearPosition();
    if (pOwnerPos != nullptr) {
        pNested->m_clPosition.m_pLeaf = pOwnerPos->m_pLeaf;
        pNested->m_clPosition.m_nKey = pOwnerPos->m_nIndex;
    }
}

void CMemBucket::_LeaveTree(SMemBucketPos* pOwnerPos)
{
    if (pOwnerPos == nullptr) return;
    pOwnerPos->m_pLeaf = pclGetTree()->m_clPosition.m_pLeaf;
    pOwnerPos->m_nIndex = pclGetTree()->m_clPosition.m_nKey;
}

// ---------------------------------------------------------------------------
// Insertion and removal

CMemBucket* CMemBucket::pclInsert(CMemBTree* pTree, const void* pValue, SMemBucketPos* pOwnerPos)
{
    if (bIsTree()) {
        _EnterTree(pOwnerPos);
        const int bOk = pclGetTree()->bInsert(pValue, nullptr);
        _LeaveTree(pOwnerPos);
        return bOk ? this : nullptr;
    }
    bool bFound;
    const int i = _nFind(pTree, pValue, &bFound);
    if (bFound) return nullptr;
    const int n = m_nNumKey;
    if (m_nClass == kTreeClass - 1 && n == mg_stTabSizeThreshold[m_nClass].nMax)
        return _pclGrowToTree(pTree, pValue, pOwnerPos);
    const size_t nSize = pTree->m_nValueSize;
    CMemBucket* p = this;
    if (n == mg_stTabSizeThreshold[m_nClass].nMax) {
        p = _pclNewVector(pTree, m_nClass + 1);
        if (p == nullptr) return nullptr;
        std::memcpy(p->_pValues(), _pValues(), static_cast<size_t>(i) * nSize);
    }
    std::memmove(p->_pValues() + (i + 1) * nSize, _pValues() + i * nSize, static_cast<size_t>(n - i) * nSize);
    std::memcpy(p->_pValues() + i * nSize, pValue, nSize);
    p->m_nNumKey = static_cast<uint16_t>(n + 1);
    if (pOwnerPos != nullptr && pOwnerPos->m_nIndex >= i) ++pOwnerPos->m_nIndex;
    return p;
}

CMemBucket* CMemBucket::_pclGrowToTree(CMemBTree* pTree, const void* pValue, SMemBucketPos* pOwnerPos)
{
    CMemBucket* p = _pclNewTree(pTree, _pValues(), pTree->m_nValueSize, m_nNumKey);
    if (p == nullptr) return nullptr;
    CMemBTree* pNested = p->pclGetTree();
    if (!pNested->bInsert(pValue, nullptr)) {
        g_Destroy(pTree, p);
        return nullptr;
    }
    if (pOwnerPos != nullptr) {
        pNested->bFindRecord(_pValues() + static_cast<size_t>(pOwnerPos->m_nIndex) * pTree->m_nValueSize, nullptr);
        pOwnerPos->m_pLeaf = pNested->m_clPosition.m_pLeaf;
        pOwnerPos->m_nIndex = pNested->m_clPosition.m_nKey;
    }
    return p;
}

CMemBucket* CMemBucket::pclDelete(CMemBTree* pTree, const void* pValue, SMemBucketPos* pOwnerPos)
{
    if (bIsTree()) {
        if (pclGetTree()->nGetNumKey() <= kTreeMin) return _pclShrinkToVector(pTree, pValue, pOwnerPos);
        _EnterTree(pOwnerPos);
        const int bOk = pclGetTree()->bDelete(pValue, nullptr);
        _LeaveTree(pOwnerPos);
        return bOk ? this : nullptr;
    }
    bool bFound;
    const int i = _nFind(pTree, pValue, &bFound);
    if (!bFound) return nullptr;
    const int n = m_nNumKey;
    const size_t nSize = pTree->m_nValueSize;
    CMemBucket* p = this;
    // Down to one value the owner takes the value back into its leaf slot, so
    // a smaller bucket would only be made to be freed.
    if (n > 2 && n <= mg_stTabSizeThreshold[m_nClass].nMin) {
        p = _pclNewVector(pTree, m_nClass - 1);
        if (p == nullptr) return nullptr;
        std::memcpy(p->_pValues(), _pValues(), static_cast<size_t>(i) * nSize);
    }
    std::memmove(p->_pValues() + i * nSize, _pValues() + (i + 1) * nSize, static_cast<size_t>(n - i - 1) * nSize);
    p->m_nNumKey = static_cast<uint16_t>(n - 1);
    if (pOwnerPos != nullptr && pOwnerPos->m_nIndex > i) --pOwnerPos->m_nIndex;
    return p;
}

// A tree bucket going below the tree class's minimum becomes the highest
// vector class whose range holds what is left.
CMemBucket* CMemBucket::_pclShrinkToVector(CMemBTree* pTree, const void* pValue, SMemBucketPos* pOwnerPos)
{
    CMemBTree* pNested = pclGetTree();
    if (!pNested->bFindRecord(pValue, nullptr)) return nullptr;
    const int n = pNested->nGetNumKey();
    const int nLeft = n - 1;
    int nClass = kTreeClass - 1;
    while (nClass > 0 &&
           !(mg_stTabSizeThreshold[nClass].nMin < nLeft && mg_stTabSizeThreshold[nClass].nMax >= nLeft))
        --nClass;
    // The keys are dumped whole before the value is taken out.
    while (nClass < kTreeClass - 1 && mg_stTabSizeThreshold[nClass].nMax < n) ++nClass;
    CMemBucket* p = _pclNewVector(pTree, nClass);
    if (p == nullptr) return nullptr;
    pNested->__nDumpKeys(p->_pValues());
    p->m_nNumKey = static_cast<uint16_t>(n);
    bool bFound;
    const int i = p->_nFind(pTree, pValue, &bFound);
    const size_t nSize = pTree->m_nValueSize;
    std::memmove(p->_pValues() + i * nSize, p->_pValues() + (i + 1) * nSize, static_cast<size_t>(n - i - 1) * nSize);
    p->m_nNumKey = static_cast<uint16_t>(nLeft);
    if (pOwnerPos != nullptr) {
        SMemBucketPos place;
        p->bSearch(pTree, &place, pNested->_pKey(pOwnerPos->m_pLeaf, pOwnerPos->m_nIndex));
        *pOwnerPos = place;
    }
    return p;
}

// ---------------------------------------------------------------------------
// Places inside the bucket

int CMemBucket::bSearch(const CMemBTree* pTree, SMemBucketPos* pPos, const void* pValue)
{
    if (!bIsTree()) {
        bool bFound;
        *pPos = SMemBucketPos{nullptr, _nFind(pTree, pValue, &bFound)};
        return bFound;
    }
    CMemBTree* pNested = pclGetTree();
    _EnterTree(nullptr);
    const int bFound = pNested->bFindRecord(pValue, nullptr);
    if (bFound) _LeaveTree(pPos);
    return bFound;
}

void* CMemBucket::pGetValue(const CMemBTree* pTree, const SMemBucketPos* pPos)
{
    if (bIsTree()) return pclGetTree()->_pKey(pPos->m_pLeaf, pPos->m_nIndex);
    return _pValues() + static_cast<size_t>(pPos->m_nIndex) * pTree->m_nValueSize;
}

void CMemBucket::GotoFirstRecord(SMemBucketPos* pPos)
{
    GotoRecord(pPos, 0);
}

void CMemBucket::GotoLastRecord(SMemBucketPos* pPos)
{
    GotoRecord(pPos, nGetNumKey() - 1);
}

void CMemBucket::GotoRecord(SMemBucketPos* pPos, int n)
{
    n = std::clamp(n, 0, nGetNumKey() - 1);
    if (!bIsTree()) {
        *pPos = SMemBucketPos{nullptr, n};
        return;
    }
    _EnterTree(nullptr);
    pclGetTree()->MoveTo(n);
    _LeaveTree(pPos);
}

int CMemBucket::nMoveForward(SMemBucketPos* pPos, int n)
{
    if (!bIsTree()) {
        const int m = std::min(n, m_nNumKey - 1 - pPos->m_nIndex);
        pPos->m_nIndex += m;
        return m;
    }
    // Never onto the nested end: a bucket position is always on a value.
    int nMoved = 0;
    _EnterTree(pPos);
    pclGetTree()->bAdvance(n, &nMoved, CMemBTree::kAdvanceByKey | CMemBTree::kAdvancePartial);
    _LeaveTree(pPos);
    return nMoved;
}

int CMemBucket::nMoveBackward(SMemBucketPos* pPos, int n)
{
    if (!bIsTree()) {
        const int m = std::min(n, pPos->m_nIndex);
        pPos->m_nIndex -= m;
        return m;
    }
    int nMoved = 0;
    _EnterTree(pPos);
    pclGetTree()->bAdvance(-n, &nMoved, CMemBTree::kAdvanceByKey | CMemBTree::kAdvancePartial);
    _LeaveTree(pPos);
    return -nMoved;
}

int64_t CMemBucket::nRank(const SMemBucketPos* pPos)
{
    if (!bIsTree()) return pPos->m_nIndex;
    CMemBTree::CIterator it;
    it.m_pTree = pclGetTree();
    it.m_pLeaf = pPos->m_pLeaf;
    it.m_nKey = pPos->m_nIndex;
    return pclGetTree()->_nRankOf(it);
}
