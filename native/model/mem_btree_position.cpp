// Searching and moving the position. Moves of one record step through the
// leaf chain; longer moves by records go through record numbers, which cost
// the depth: each inner node counts the records of its subtree.
#include <algorithm>
#include <cstring>

#include "native/model/mem_btree.h"
#include "native/model/mem_bucket.h"

int CMemBTree::g_nBinarySearch(const unsigned char* pItems, int nCount, unsigned long nSize, PFMEMBTREECOMPARE pfCompare,
                               const void* pItem, bool* pbFound)
{
    int nLow = 0;
    int nHigh = nCount;
    while (nLow < nHigh) {
        const int nMid = (nLow + nHigh) / 2;
        const int c = pfCompare(pItems + static_cast<size_t>(nMid) * nSize, pItem, nSize);
        if (c < 0) {
            nLow = nMid + 1;
        } else if (c > 0) {
            nHigh = nMid;
        } else {
            *pbFound = true;
            return nMid;
        }
    }
    *pbFound = false;
    return nLow;
}

int CMemBTree::_nSearch(const unsigned char* pKeys, int nCount, const void* pKey, bool* pbFound) const
{
    return g_nBinarySearch(pKeys, nCount, m_nKeySize, m_pfKeyCompare, pKey, pbFound);
}

int CMemBTree::_nChildIndex(CMemIndexNode* p, const void* pKey) const
{
    bool bFound;
    const int i = _nSearch(_pInnerKey(p, 0), static_cast<int>(p->m_nNumKey), pKey, &bFound);
    return bFound ? i + 1 : i;
}

CMemDataNode* CMemBTree::_pDescend(const void* pKey, SPath* pPath) const
{
    pPath->nDepth = 0;
    pPath->pLeaf = nullptr;
    CMemNode* p = m_pRoot;
    while (p != nullptr && p->m_nType != CMemNode::kLeaf) {
        if (pPath->nDepth == kMaxDepth) return nullptr;
        auto* pInner = static_cast<CMemIndexNode*>(p);
        const int c = _nChildIndex(pInner, pKey);
        pPath->apNode[pPath->nDepth] = pInner;
        pPath->anChild[pPath->nDepth] = c;
        ++pPath->nDepth;
        p = _ppChildren(pInner)[c];
    }
    pPath->pLeaf = static_cast<CMemDataNode*>(p);
    return pPath->pLeaf;
}

CMemDataNode* CMemBTree::_pLocate(const void* pKey, SPath* pPath, int* pnIndex, bool* pbFound) const
{
    CMemDataNode* pLeaf = _pDescend(pKey, pPath);
    if (pLeaf != nullptr) *pnIndex = _nSearch(_pKey(pLeaf, 0), static_cast<int>(pLeaf->m_nNumKey), pKey, pbFound);
    return pLeaf;
}

CMemDataNode* CMemBTree::_pFirstLeaf() const
{
    CMemNode* p = m_pRoot;
    while (p != nullptr && p->m_nType != CMemNode::kLeaf) p = _ppChildren(static_cast<CMemIndexNode*>(p))[0];
    return static_cast<CMemDataNode*>(p);
}

CMemDataNode* CMemBTree::_pLastLeaf() const
{
    CMemNode* p = m_pRoot;
    while (p != nullptr && p->m_nType != CMemNode::kLeaf) {
        auto* pInner = static_cast<CMemIndexNode*>(p);
        p = _ppChildren(pInner)[pInner->m_nNumKey];
    }
    return static_cast<CMemDataNode*>(p);
}

bool CMemBTree::_bAtEnd(const CIterator& it) const
{
    return it.m_pLeaf != nullptr && it.m_nKey == static_cast<int>(it.m_pLeaf->m_nNumKey) &&
           it.m_pLeaf->m_pNext == nullptr;
}

void CMemBTree::_SetDupFirst(CIterator* pIt) const
{
    pIt->m_stDup = SMemBucketPos();
    if (_bOnKey(*pIt) && _bHasBucket(pIt->m_pLeaf, pIt->m_nKey))
        _pBucket(pIt->m_pLeaf, pIt->m_nKey)->GotoFirstRecord(&pIt->m_stDup);
}

void CMemBTree::_SetDupLast(CIterator* pIt) const
{
    pIt->m_stDup = SMemBucketPos();
    if (_bOnKey(*pIt) && _bHasBucket(pIt->m_pLeaf, pIt->m_nKey))
        _pBucket(pIt->m_pLeaf, pIt->m_nKey)->GotoLastRecord(&pIt->m_stDup);
}

void CMemBTree::_ToNextKey(CIterator* pIt) const
{
    ++pIt->m_nKey;
    if (pIt->m_nKey >= static_cast<int>(pIt->m_pLeaf->m_nNumKey) && pIt->m_pLeaf->m_pNext != nullptr) {
        pIt->m_pLeaf = pIt->m_pLeaf->m_pNext;
        pIt->m_nKey = 0;
    }
    _SetDupFirst(pIt);
}

// ---------------------------------------------------------------------------
// Searches

void* CMemBTree::pSearch(const void* pKey, int nFlags)
{
    if (m_pRoot == nullptr || pKey == nullptr) return nullptr;
    SPath path;
    int i;
    bool bFound;
    CMemDataNode* pLeaf = _pLocate(pKey, &path, &i, &bFound);
    if (pLeaf == nullptr) return nullptr;
    if (!bFound && (nFlags & kSearchExact) != 0) return nullptr;
    const bool bLast = (nFlags & kSearchLast) != 0;
    if (!bFound && !bLast && i == static_cast<int>(pLeaf->m_nNumKey)) {
        // The next greater key opens the next leaf.
        if (pLeaf->m_pNext == nullptr) return nullptr;
        pLeaf = pLeaf->m_pNext;
        i = 0;
    } else if (!bFound && bLast) {
        // The greatest smaller key: before the insertion point.
        if (i == 0) {
            if (pLeaf->m_pPrev == nullptr) return nullptr;
            pLeaf = pLeaf->m_pPrev;
            i = static_cast<int>(pLeaf->m_nNumKey);
        }
        --i;
    }
    m_clPosition.m_pLeaf = pLeaf;
    m_clPosition.m_nKey = i;
    if (bLast)
        _SetDupLast(&m_clPosition);
    else
        _SetDupFirst(&m_clPosition);
    return pReadValue();
}

int CMemBTree::bFindRecord(const void* pKey, const void* pValue)
{
    if (m_pRoot == nullptr || pKey == nullptr) return 0;
    SPath path;
    int i;
    bool bFound;
    CMemDataNode* pLeaf = _pLocate(pKey, &path, &i, &bFound);
    if (pLeaf == nullptr || !bFound) return 0;
    CIterator it = m_clPosition;
    it.m_pLeaf = pLeaf;
    it.m_nKey = i;
    _SetDupFirst(&it);
    if (m_nValueSize != 0 && pValue != nullptr) {
        if (_bHasBucket(pLeaf, i)) {
            if (!_pBucket(pLeaf, i)->bSearch(this, &it.m_stDup, pValue)) return 0;
        } else if (m_pfValueCompare(_pSlot(pLeaf, i), pValue, m_nValueSize) != 0) {
            return 0;
        }
    }
    m_clPosition = it;
    return 1;
}

// ---------------------------------------------------------------------------
// Positioning

void CMemBTree::GotoFirstRecord()
{
    if (m_pRoot == nullptr) {
        _ClearPosition();
        return;
    }
    m_clPosition.m_pLeaf = _pFirstLeaf();
    m_clPosition.m_nKey = 0;
    _SetDupFirst(&m_clPosition);
}

void CMemBTree::GotoEnd()
{
    if (m_pRoot == nullptr) {
        _ClearPosition();
        return;
    }
    m_clPosition.m_pLeaf = _pLastLeaf();
    m_clPosition.m_nKey = static_cast<int>(m_clPosition.m_pLeaf->m_nNumKey);
    m_clPosition.m_stDup = SMemBucketPos();
}

void CMemBTree::MoveTo(int n)
{
    if (m_pRoot == nullptr) {
        _ClearPosition();
        return;
    }
    _LocateRank(std::max(n, 0), &m_clPosition);
}

void CMemBTree::_LocateRank(int64_t n, CIterator* pIt) const
{
    if (n >= static_cast<int64_t>(m_pRoot->m_nNumRecord)) {
        pIt->m_pLeaf = _pLastLeaf();
        pIt->m_nKey = static_cast<int>(pIt->m_pLeaf->m_nNumKey);
        pIt->m_stDup = SMemBucketPos();
        return;
    }
    CMemNode* p = m_pRoot;
    while (p->m_nType != CMemNode::kLeaf) {
        auto* pInner = static_cast<CMemIndexNode*>(p);
        CMemNode** ppChildren = _ppChildren(pInner);
        uint32_t c = 0;
        while (c < pInner->m_nNumKey && n >= static_cast<int64_t>(ppChildren[c]->m_nNumRecord)) {
            n -= ppChildren[c]->m_nNumRecord;
            ++c;
        }
        p = ppChildren[c];
    }
    auto* pLeaf = static_cast<CMemDataNode*>(p);
    int i = 0;
    while (i + 1 < static_cast<int>(pLeaf->m_nNumKey) && n >= static_cast<int64_t>(_nKeyRecords(pLeaf, i))) {
        n -= _nKeyRecords(pLeaf, i);
        ++i;
    }
    pIt->m_pLeaf = pLeaf;
    pIt->m_nKey = i;
    pIt->m_stDup = SMemBucketPos();
    if (_bHasBucket(pLeaf, i)) _pBucket(pLeaf, i)->GotoRecord(&pIt->m_stDup, static_cast<int>(n));
}

int64_t CMemBTree::_nRankOf(const CIterator& it) const
{
    if (m_pRoot == nullptr || it.m_pLeaf == nullptr) return -1;
    if (!_bOnKey(it)) return m_pRoot->m_nNumRecord;
    const unsigned char* pKey = _pKey(it.m_pLeaf, it.m_nKey);
    int64_t n = 0;
    CMemNode* p = m_pRoot;
    while (p->m_nType != CMemNode::kLeaf) {
        auto* pInner = static_cast<CMemIndexNode*>(p);
        const int c = _nChildIndex(pInner, pKey);
        for (int k = 0; k < c; ++k) n += _ppChildren(pInner)[k]->m_nNumRecord;
        p = _ppChildren(pInner)[c];
    }
    for (int k = 0; k < it.m_nKey; ++k) n += _nKeyRecords(it.m_pLeaf, k);
    if (_bHasBucket(it.m_pLeaf, it.m_nKey)) n += _pBucket(it.m_pLeaf, it.m_nKey)->nRank(&it.m_stDup);
    return n;
}

// ---------------------------------------------------------------------------
// Advancing

int CMemBTree::bAdvance(int nCount, int* pnMoved, int nFlags)
{
    int nMoved = 0;
    int bOk;
    CIterator it = m_clPosition;
    if (m_pRoot == nullptr || it.m_pLeaf == nullptr) {
        bOk = 0;
    } else if (nCount == 0) {
        bOk = _bOnKey(it) || ((nFlags & kAdvanceAllowEnd) != 0 && _bAtEnd(it));
    } else if (nCount == 1 || nCount == -1) {
        bOk = _bStepOne(&it, nCount > 0, nFlags);
        if (bOk) {
            nMoved = nCount;
            m_clPosition = it;
        }
    } else if ((nFlags & kAdvanceByKey) == 0 || m_nValueSize == 0) {
        bOk = _bAdvanceByRank(it, nCount, &nMoved, nFlags);
    } else {
        bOk = _bAdvanceByKey(it, nCount, &nMoved, nFlags);
    }
    if (pnMoved != nullptr) *pnMoved = nMoved;
    return bOk;
}

int CMemBTree::_bStepOne(CIterator* pIt, bool bForward, int nFlags) const
{
    const bool bByKey = (nFlags & kAdvanceByKey) != 0;
    if (bForward) {
        if (!_bOnKey(*pIt)) return 0;
        if (!bByKey && _bHasBucket(pIt->m_pLeaf, pIt->m_nKey) &&
            _pBucket(pIt->m_pLeaf, pIt->m_nKey)->nMoveForward(&pIt->m_stDup, 1) == 1)
            return 1;
        _ToNextKey(pIt);
        return _bOnKey(*pIt) || (nFlags & kAdvanceAllowEnd) != 0;
    }
    if (_bOnKey(*pIt) && !bByKey && _bHasBucket(pIt->m_pLeaf, pIt->m_nKey) &&
        _pBucket(pIt->m_pLeaf, pIt->m_nKey)->nMoveBackward(&pIt->m_stDup, 1) == 1)
        return 1;
    if (pIt->m_nKey > 0) {
        --pIt->m_nKey;
    } else if (pIt->m_pLeaf->m_pPrev != nullptr) {
        pIt->m_pLeaf = pIt->m_pLeaf->m_pPrev;
        pIt->m_nKey = static_cast<int>(pIt->m_pLeaf->m_nNumKey) - 1;
    } else {
        return 0;
    }
    if (bByKey)
        _SetDupFirst(pIt);
    else
        _SetDupLast(pIt);
    return 1;
}

// The walk one by one, done by record numbers: forward it stops at the end
// (and steps back from it without kAdvanceAllowEnd), backward at the first
// record.
int CMemBTree::_bAdvanceByRank(const CIterator& it, int nCount, int* pnMoved, int nFlags)
{
    const int64_t nRecords = m_pRoot->m_nNumRecord;
    const int64_t nFrom = _nRankOf(it);
    int64_t nSteps;
    if (nCount > 0) {
        nSteps = std::min<int64_t>(nCount, nRecords - nFrom);
        if (nFrom + nSteps == nRecords && (nFlags & kAdvanceAllowEnd) == 0 && nSteps > 0) --nSteps;
    } else {
        nSteps = -std::min<int64_t>(-static_cast<int64_t>(nCount), nFrom);
    }
    *pnMoved = static_cast<int>(nSteps);
    const bool bOk = nSteps == nCount || ((nFlags & kAdvancePartial) != 0 && nSteps != 0);
    if (bOk) _LocateRank(nFrom + nSteps, &m_clPosition);
    return bOk;
}

// By keys in a tree with buckets: inner nodes count records, not keys, so the
// walk goes leaf by leaf, skipping each by its key count.
int CMemBTree::_bAdvanceByKey(const CIterator& from, int nCount, int* pnMoved, int nFlags)
{
    CIterator it = from;
    int64_t nSteps = 0;
    if (nCount > 0) {
        int64_t nNeed = nCount;
        while (nNeed > 0 && !_bAtEnd(it)) {
            const int64_t nAvail = static_cast<int64_t>(it.m_pLeaf->m_nNumKey) - it.m_nKey;
            if (nNeed < nAvail) {
                it.m_nKey += static_cast<int>(nNeed);
                nSteps += nNeed;
                nNeed = 0;
            } else {
                nSteps += nAvail;
                nNeed -= nAvail;
                if (it.m_pLeaf->m_pNext != nullptr) {
                    it.m_pLeaf = it.m_pLeaf->m_pNext;
                    it.m_nKey = 0;
                } else {
                    it.m_nKey = static_cast<int>(it.m_pLeaf->m_nNumKey);
                }
            }
        }
        if (_bAtEnd(it) && (nFlags & kAdvanceAllowEnd) == 0 && nSteps > 0) {
            --it.m_nKey;
            --nSteps;
        }
    } else {
        int64_t nNeed = -static_cast<int64_t>(nCount);
        while (nNeed > 0) {
            if (nNeed <= it.m_nKey) {
                it.m_nKey -= static_cast<int>(nNeed);
                nSteps += nNeed;
                nNeed = 0;
            } else {
                nSteps += it.m_nKey;
                nNeed -= it.m_nKey;
                it.m_nKey = 0;
                if (it.m_pLeaf->m_pPrev == nullptr) break;
                it.m_pLeaf = it.m_pLeaf->m_pPrev;
                it.m_nKey = static_cast<int>(it.m_pLeaf->m_nNumKey);
            }
        }
        nSteps = -nSteps;
    }
    *pnMoved = static_cast<int>(nSteps);
    const bool bOk = nSteps == nCount || ((nFlags & kAdvancePartial) != 0 && nSteps != 0);
    if (bOk) {
        _SetDupFirst(&it);
        m_clPosition = it;
    }
    return bOk;
}
