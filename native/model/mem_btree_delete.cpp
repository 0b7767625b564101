// Deletion: a value leaves its bucket, or a key leaves its leaf; a node left
// below the minimum fill merges with its smaller brother when both fit in one
// node, or else borrows a key (right brother first). A leaf that lost its
// first key reports the new one to the separator that bounds it from the
// left. Only a bucket's change of class allocates, and it does so before
// anything changes.
#include <cstring>

#include "native/model/mem_btree.h"
#include "native/model/mem_bucket.h"

int CMemBTree::bDelete(const void* pKey, const void* pValue)
{
    if (m_pRoot == nullptr || pKey == nullptr) return 0;
    _CopyKey(_pCurrentKey(), pKey);
    const bool bOneValue = m_nValueSize != 0 && pValue != nullptr;
    if (bOneValue) std::memmove(_pCurrentValue(), pValue, m_nValueSize);
    return _bDelete(_pCurrentKey(), bOneValue ? _pCurrentValue() : nullptr);
}

int CMemBTree::bDeleteCurrentRecord()
{
    if (!_bOnKey(m_clPosition)) return 0;
    _CopyKey(_pCurrentKey(), pReadKey());
    if (m_nValueSize != 0) std::memcpy(_pCurrentValue(), pReadValue(), m_nValueSize);
    return _bDelete(_pCurrentKey(), m_nValueSize != 0 ? _pCurrentValue() : nullptr);
}

int CMemBTree::_bDelete(const void* pKey, const void* pValue)
{
    SPath path;
    int j;
    bool bFound;
    CMemDataNode* pLeaf = _pLocate(pKey, &path, &j, &bFound);
    if (pLeaf == nullptr || !bFound) return 0;
    const bool bBucket = _bHasBucket(pLeaf, j);
    if (pValue != nullptr && bBucket) return _bDeleteInBucket(path, j, pValue);
    if (pValue != nullptr && m_pfValueCompare(_pSlot(pLeaf, j), pValue, m_nValueSize) != 0) return 0;

    const uint32_t nRemoved = _nKeyRecords(pLeaf, j);
    if (m_clPosition.m_pLeaf == pLeaf && m_clPosition.m_nKey == j) _ToNextKey(&m_clPosition);
    if (bBucket) _DestroyBucket(_pBucket(pLeaf, j));
    _LeafClose(pLeaf, j, 1);
    pLeaf->m_nNumRecord -= nRemoved;
    --m_nNumKey;
    for (int l = 0; l < path.nDepth; ++l) path.apNode[l]->m_nNumRecord -= nRemoved;

    bool bReport = j == 0 && pLeaf->m_nNumKey > 0;
    if (bReport) _CopyKey(_pReportKey(), _pKey(pLeaf, 0));
    CMemNode* pNode = pLeaf;
    bool bShrunk = true;
    for (int l = path.nDepth - 1; l >= 0; --l) {
        CMemIndexNode* pParent = path.apNode[l];
        const int c = path.anChild[l];
        // Written before the parent rebalances: a merge may pull this very
        // separator down.
        if (bReport && c > 0) {
            _CopyKey(_pInnerKey(pParent, c - 1), _pReportKey());
            bReport = false;
        }
        bool bParentShrunk = false;
        if (bShrunk && static_cast<int>(pNode->m_nNumKey) < m_nMinFill)
            bParentShrunk = _bRebalance(pParent, c, pNode->m_nType == CMemNode::kLeaf);
        pNode = pParent;
        bShrunk = bParentShrunk;
    }

    if (m_pRoot->m_nNumRecord == 0) {
        _FreeAll();
        return 1;
    }
    while (m_pRoot->m_nNumKey == 0 && _ppChildren(m_pRoot)[0]->m_nType != CMemNode::kLeaf) {
        auto* pChild = static_cast<CMemIndexNode*>(_ppChildren(m_pRoot)[0]);
        _FreeNode(m_pRoot);
        pChild->m_nType = CMemNode::kRoot;
        m_pRoot = pChild;
    }
    return 1;
}

int CMemBTree::_bDeleteInBucket(const SPath& path, int i, const void* pValue)
{
    CMemDataNode* pLeaf = path.pLeaf;
    CMemBucket* pOld = _pBucket(pLeaf, i);
    CIterator& it = m_clPosition;
    const CIterator saved = it;
    bool bPositionHere = it.m_pLeaf == pLeaf && it.m_nKey == i;
    // The position on the very value that goes, when it is the bucket's
    // last, passes to the next key: the bucket only moves it inside itself.
    if (bPositionHere && m_pfValueCompare(pOld->pGetValue(this, &it.m_stDup), pValue, m_nValueSize) == 0) {
        SMemBucketPos probe = it.m_stDup;
        if (pOld->nMoveForward(&probe, 1) == 0) {
            _ToNextKey(&it);
            bPositionHere = false;
        }
    }
    CMemBucket* pNew = pOld->pclDelete(this, pValue, bPositionHere ? &it.m_stDup : nullptr);
    if (pNew == nullptr) {
        it = saved;
        return 0;
    }
    if (pNew != pOld) {
        _DestroyBucket(pOld);
        _SetBucket(pLeaf, i, pNew);
    }
    if (pNew->nGetNumKey() == 1) {
        std::memcpy(_pSlot(pLeaf, i), pNew->pGetOnlyKey(), m_nValueSize);
        _SetBucketBit(pLeaf, i, false);
        _DestroyBucket(pNew);
        if (bPositionHere) it.m_stDup = SMemBucketPos();
    }
    --pLeaf->m_nNumRecord;
    for (int l = 0; l < path.nDepth; ++l) --path.apNode[l]->m_nNumRecord;
    return 1;
}

// Child c of the parent fell below the minimum fill. Answers whether the
// parent lost a key (a merge).
bool CMemBTree::_bRebalance(CMemIndexNode* pParent, int c, bool bLeaf)
{
    CMemNode** ppChildren = _ppChildren(pParent);
    CMemNode* pNode = ppChildren[c];
    CMemNode* pLeft = c > 0 ? ppChildren[c - 1] : nullptr;
    CMemNode* pRight = c < static_cast<int>(pParent->m_nNumKey) ? ppChildren[c + 1] : nullptr;
    if (pLeft == nullptr && pRight == nullptr) return false;
    const bool bIntoLeft = pRight == nullptr || (pLeft != nullptr && pLeft->m_nNumKey < pRight->m_nNumKey);
    CMemNode* pOther = bIntoLeft ? pLeft : pRight;
    // Two inner nodes also take the separator between them.
    const uint32_t nMerged = pNode->m_nNumKey + pOther->m_nNumKey + (bLeaf ? 0 : 1);
    if (static_cast<int>(nMerged) <= m_nOrder) {
        _Merge(pParent, bIntoLeft ? c - 1 : c, bLeaf);
        return true;
    }
    if (pRight != nullptr && static_cast<int>(pRight->m_nNumKey) > m_nMinFill)
        _BorrowFromRight(pParent, c, bLeaf);
    else if (pLeft != nullptr && static_cast<int>(pLeft->m_nNumKey) > m_nMinFill)
        _BorrowFromLeft(pParent, c, bLeaf);
    return false;
}

// Child i + 1 goes into child i.
void CMemBTree::_Merge(CMemIndexNode* pParent, int i, bool bLeaf)
{
    CMemNode** ppChildren = _ppChildren(pParent);
    CMemNode* pA = ppChildren[i];
    CMemNode* pB = ppChildren[i + 1];
    if (bLeaf) {
        auto* pLeafA = static_cast<CMemDataNode*>(pA);
        auto* pLeafB = static_cast<CMemDataNode*>(pB);
        _LeafMove(pLeafA, static_cast<int>(pLeafA->m_nNumKey), pLeafB, 0, static_cast<int>(pLeafB->m_nNumKey));
        _Unchain(pLeafB);
    } else {
        auto* pInnerA = static_cast<CMemIndexNode*>(pA);
        auto* pInnerB = static_cast<CMemIndexNode*>(pB);
        const int nA = static_cast<int>(pInnerA->m_nNumKey);
        const int nB = static_cast<int>(pInnerB->m_nNumKey);
        _InnerInsert(pInnerA, nA, _pInnerKey(pParent, i), _ppChildren(pInnerB)[0]);
        std::memcpy(_pInnerKey(pInnerA, nA + 1), _pInnerKey(pInnerB, 0), static_cast<size_t>(nB) * m_nKeySize);
        std::memcpy(_ppChildren(pInnerA) + nA + 2, _ppChildren(pInnerB) + 1, static_cast<size_t>(nB) * sizeof(CMemNode*));
        pInnerA->m_nNumKey += static_cast<uint32_t>(nB);
        pInnerA->m_nNumRecord += pInnerB->m_nNumRecord;
    }
    _InnerRemove(pParent, i);
    _FreeNode(pB);
}

void CMemBTree::_BorrowFromRight(CMemIndexNode* pParent, int c, bool bLeaf)
{
    CMemNode** ppChildren = _ppChildren(pParent);
    if (bLeaf) {
        auto* pNode = static_cast<CMemDataNode*>(ppChildren[c]);
        auto* pRight = static_cast<CMemDataNode*>(ppChildren[c + 1]);
        _LeafMove(pNode, static_cast<int>(pNode->m_nNumKey), pRight, 0, 1);
        _CopyKey(_pInnerKey(pParent, c), _pKey(pRight, 0));
        return;
    }
    auto* pNode = static_cast<CMemIndexNode*>(ppChildren[c]);
    auto* pRight = static_cast<CMemIndexNode*>(ppChildren[c + 1]);
    CMemNode* pMoved = _ppChildren(pRight)[0];
    _InnerInsert(pNode, static_cast<int>(pNode->m_nNumKey), _pInnerKey(pParent, c), pMoved);
    _CopyKey(_pInnerKey(pParent, c), _pInnerKey(pRight, 0));
    _InnerRemoveFront(pRight);
    pNode->m_nNumRecord += pMoved->m_nNumRecord;
    pRight->m_nNumRecord -= pMoved->m_nNumRecord;
}

void CMemBTree::_BorrowFromLeft(CMemIndexNode* pParent, int c, bool bLeaf)
{
    CMemNode** ppChildren = _ppChildren(pParent);
    if (bLeaf) {
        auto* pNode = static_cast<CMemDataNode*>(ppChildren[c]);
        auto* pLeft = static_cast<CMemDataNode*>(ppChildren[c - 1]);
        _LeafMove(pNode, 0, pLeft, static_cast<int>(pLeft->m_nNumKey) - 1, 1);
        _CopyKey(_pInnerKey(pParent, c - 1), _pKey(pNode, 0));
        return;
    }
    auto* pNode = static_cast<CMemIndexNode*>(ppChildren[c]);
    auto* pLeft = static_cast<CMemIndexNode*>(ppChildren[c - 1]);
    const int nLeft = static_cast<int>(pLeft->m_nNumKey);
    CMemNode* pMoved = _ppChildren(pLeft)[nLeft];
    _InnerInsertFront(pNode, _pInnerKey(pParent, c - 1), pMoved);
    _CopyKey(_pInnerKey(pParent, c - 1), _pInnerKey(pLeft, nLeft - 1));
    --pLeft->m_nNumKey;
    pNode->m_nNumRecord += pMoved->m_nNumRecord;
    pLeft->m_nNumRecord -= pMoved->m_nNumRecord;
}
