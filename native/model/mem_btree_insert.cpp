// Insertion: a new key goes into its leaf; a full node first passes a key to a
// brother that has room (right, then left), and only then splits, the split
// climbing as far as full nodes go. Every node a split may need is taken from
// the pools before anything changes, so a failed allocation leaves the tree as
// it was.
#include <cstring>

#include "native/model/mem_btree.h"
#include "native/model/mem_bucket.h"

struct CMemBTree::SReserve
{
    CMemDataNode* pLeaf = nullptr;
    CMemIndexNode* apInner[kMaxDepth + 1];
    int nInner = 0;

    CMemIndexNode* pTakeInner() { return apInner[--nInner]; }
};

int CMemBTree::_bReserve(const SPath& path, SReserve* pReserve)
{
    int nInner = 0;
    for (int l = path.nDepth - 1; l >= 0 && static_cast<int>(path.apNode[l]->m_nNumKey) == m_nOrder; --l)
        nInner += l == 0 ? 2 : 1;  // a splitting root also needs the new root
    pReserve->pLeaf = _pclNewLeaf();
    bool bOk = pReserve->pLeaf != nullptr;
    while (bOk && pReserve->nInner < nInner) {
        CMemIndexNode* p = _pclNewInner();
        if (p == nullptr)
            bOk = false;
        else
            pReserve->apInner[pReserve->nInner++] = p;
    }
    if (!bOk) _Release(pReserve);
    return bOk;
}

void CMemBTree::_Release(SReserve* pReserve)
{
    if (pReserve->pLeaf != nullptr) _FreeNode(pReserve->pLeaf);
    pReserve->pLeaf = nullptr;
    while (pReserve->nInner > 0) _FreeNode(pReserve->pTakeInner());
}

unsigned char* CMemBTree::_pOtherUpBuffer(const unsigned char* p) const
{
    return p == _pUpKeyA() ? _pUpKeyB() : _pUpKeyA();
}

int CMemBTree::bInsert(const void* pKey, const void* pValue)
{
    if (!m_oInnerPool.has_value() || pKey == nullptr || (m_nValueSize != 0 && pValue == nullptr)) return 0;
    _CopyKey(_pCurrentKey(), pKey);
    const unsigned char* pK = _pCurrentKey();
    const unsigned char* pV = nullptr;
    if (m_nValueSize != 0) {
        std::memmove(_pCurrentValue(), pValue, m_nValueSize);
        pV = _pCurrentValue();
    }

    if (m_pRoot == nullptr) {
        CMemIndexNode* pRoot = _pclNewInner();
        CMemDataNode* pLeaf = pRoot != nullptr ? _pclNewLeaf() : nullptr;
        if (pLeaf == nullptr) {
            if (pRoot != nullptr) _FreeNode(pRoot);
            return 0;
        }
        pRoot->m_nType = CMemNode::kRoot;
        _ppChildren(pRoot)[0] = pLeaf;
        _LeafInsertKey(pLeaf, 0, pK, pV);
        pRoot->m_nNumRecord = 1;
        m_pRoot = pRoot;
        GotoEnd();
        return 1;
    }

    SPath path;
    int ip;
    bool bFound;
    CMemDataNode* pLeaf = _pLocate(pK, &path, &ip, &bFound);
    if (pLeaf == nullptr) return 0;
    if (bFound) return _bInsertExisting(path, ip, pV);

    if (static_cast<int>(pLeaf->m_nNumKey) < m_nOrder) {
        _LeafInsertKey(pLeaf, ip, pK, pV);
        for (int l = 0; l < path.nDepth; ++l) ++path.apNode[l]->m_nNumRecord;
        return 1;
    }
    SReserve reserve;
    if (!_bReserve(path, &reserve)) return 0;
    for (int l = 0; l < path.nDepth; ++l) ++path.apNode[l]->m_nNumRecord;
    const unsigned char* pUpKey = nullptr;
    CMemNode* pUpChild = nullptr;
    _InsertInFullLeaf(path, ip, pK, pV, &reserve, &pUpKey, &pUpChild);
    for (int l = path.nDepth - 1; l >= 0 && pUpChild != nullptr; --l) {
        CMemIndexNode* p = path.apNode[l];
        if (static_cast<int>(p->m_nNumKey) < m_nOrder) {
            _InnerInsert(p, path.anChild[l], pUpKey, pUpChild);
            pUpChild = nullptr;
        } else {
            _InsertInFullInner(path, l, pUpKey, pUpChild, &reserve, &pUpKey, &pUpChild);
        }
    }
    _Release(&reserve);
    return 1;
}

int CMemBTree::_bInsertExisting(const SPath& path, int i, const void* pValue)
{
    if (m_nValueSize == 0) return 0;
    CMemDataNode* pLeaf = path.pLeaf;
    CIterator& it = m_clPosition;
    const bool bPositionHere = it.m_pLeaf == pLeaf && it.m_nKey == i;
    if (!_bHasBucket(pLeaf, i)) {
        const void* pOld = _pSlot(pLeaf, i);
        const int nCompare = m_pfValueCompare(pValue, pOld, m_nValueSize);
        if (nCompare == 0) return 0;
        CMemBucket* pBucket = CMemBucket::g_pclCreatePair(this, pOld, pValue);
        if (pBucket == nullptr) return 0;
        if (bPositionHere) it.m_stDup = SMemBucketPos{nullptr, nCompare < 0 ? 1 : 0};
        _SetBucket(pLeaf, i, pBucket);
    } else {
        CMemBucket* pOld = _pBucket(pLeaf, i);
        CMemBucket* pNew = pOld->pclInsert(this, pValue, bPositionHere ? &it.m_stDup : nullptr);
        if (pNew == nullptr) return 0;
        if (pNew != pOld) {
            _DestroyBucket(pOld);
            _SetBucket(pLeaf, i, pNew);
        }
    }
    ++pLeaf->m_nNumRecord;
    for (int l = 0; l < path.nDepth; ++l) ++path.apNode[l]->m_nNumRecord;
    return 1;
}

void CMemBTree::_InsertInFullLeaf(const SPath& path, int ip, const void* pKey, const void* pValue,
                                  SReserve* pReserve, const unsigned char** ppUpKey, CMemNode** ppUpChild)
{
    CMemDataNode* pLeaf = path.pLeaf;
    CMemIndexNode* pParent = path.apNode[path.nDepth - 1];
    const int c = path.anChild[path.nDepth - 1];
    CMemNode** ppBrothers = _ppChildren(pParent);
    auto* pRight = c < static_cast<int>(pParent->m_nNumKey) ? static_cast<CMemDataNode*>(ppBrothers[c + 1]) : nullptr;
    auto* pLeft = c > 0 ? static_cast<CMemDataNode*>(ppBrothers[c - 1]) : nullptr;

    if (pRight != nullptr && static_cast<int>(pRight->m_nNumKey) < m_nOrder) {
        if (ip == m_nOrder) {
            _LeafInsertKey(pRight, 0, pKey, pValue);
        } else {
            _LeafMove(pRight, 0, pLeaf, m_nOrder - 1, 1);
            _LeafInsertKey(pLeaf, ip, pKey, pValue);
        }
        _CopyKey(_pInnerKey(pParent, c), _pKey(pRight, 0));
        return;
    }
    if (pLeft != nullptr && static_cast<int>(pLeft->m_nNumKey) < m_nOrder) {
        // A new key below the leaf's first goes to the end of the left brother
        // itself (the leaf's first key then stays).
        if (ip == 0) {
            _LeafInsertKey(pLeft, static_cast<int>(pLeft->m_nNumKey), pKey, pValue);
        } else {
            _LeafMove(pLeft, static_cast<int>(pLeft->m_nNumKey), pLeaf, 0, 1);
            _LeafInsertKey(pLeaf, ip - 1, pKey, pValue);
        }
        _CopyKey(_pInnerKey(pParent, c - 1), _pKey(pLeaf, 0));
        return;
    }

    CMemDataNode* pNew = pReserve->pLeaf;
    pReserve->pLeaf = nullptr;
    pNew->m_pPrev = pLeaf;
    pNew->m_pNext = pLeaf->m_pNext;
    if (pLeaf->m_pNext != nullptr) pLeaf->m_pNext->m_pPrev = pNew;
    pLeaf->m_pNext = pNew;
    const int nKeep = (m_nOrder + 1) / 2;
    _LeafMove(pNew, 0, pLeaf, nKeep, m_nOrder - nKeep);
    if (ip < nKeep)
        _LeafInsertKey(pLeaf, ip, pKey, pValue);
    else
        _LeafInsertKey(pNew, ip - nKeep, pKey, pValue);
    _CopyKey(_pUpKeyA(), _pKey(pNew, 0));
    *ppUpKey = _pUpKeyA();
    *ppUpChild = pNew;
}

// The full inner node at level nLevel takes pKey and pChild after its child
// anChild[nLevel]: through a brother, or by splitting (the middle of the
// order + 1 keys moves up; the left part keeps (order + 1) / 2 of them).
void CMemBTree::_InsertInFullInner(const SPath& path, int nLevel, const unsigned char* pKey, CMemNode* pChild,
                                   SReserve* pReserve, const unsigned char** ppUpKey, CMemNode** ppUpChild)
{
    CMemIndexNode* pNode = path.apNode[nLevel];
    const int p = path.anChild[nLevel];
    CMemNode** ppChildren = _ppChildren(pNode);
    *ppUpChild = nullptr;

    if (nLevel > 0) {
        CMemIndexNode* pParent = path.apNode[nLevel - 1];
        const int c = path.anChild[nLevel - 1];
        CMemNode** ppBrothers = _ppChildren(pParent);
        auto* pRight =
            c < static_cast<int>(pParent->m_nNumKey) ? static_cast<CMemIndexNode*>(ppBrothers[c + 1]) : nullptr;
        auto* pLeft = c > 0 ? static_cast<CMemIndexNode*>(ppBrothers[c - 1]) : nullptr;
        if (pRight != nullptr && static_cast<int>(pRight->m_nNumKey) < m_nOrder) {
            CMemNode* pMoved;
            if (p == m_nOrder) {
                pMoved = pChild;
                _InnerInsertFront(pRight, _pInnerKey(pParent, c), pChild);
                _CopyKey(_pInnerKey(pParent, c), pKey);
            } else {
                pMoved = ppChildren[m_nOrder];
                _InnerInsertFront(pRight, _pInnerKey(pParent, c), pMoved);
                _CopyKey(_pInnerKey(pParent, c), _pInnerKey(pNode, m_nOrder - 1));
                --pNode->m_nNumKey;
                _InnerInsert(pNode, p, pKey, pChild);
            }
            pNode->m_nNumRecord -= pMoved->m_nNumRecord;
            pRight->m_nNumRecord += pMoved->m_nNumRecord;
            return;
        }
        if (pLeft != nullptr && static_cast<int>(pLeft->m_nNumKey) < m_nOrder) {
            CMemNode* pMoved = ppChildren[0];
            _InnerInsert(pLeft, static_cast<int>(pLeft->m_nNumKey), _pInnerKey(pParent, c - 1), pMoved);
            pNode->m_nNumRecord -= pMoved->m_nNumRecord;
            pLeft->m_nNumRecord += pMoved->m_nNumRecord;
            if (p == 0) {
                // The child that split went left; its new half takes its place.
                _CopyKey(_pInnerKey(pParent, c - 1), pKey);
                ppChildren[0] = pChild;
            } else {
                _CopyKey(_pInnerKey(pParent, c - 1), _pInnerKey(pNode, 0));
                _InnerRemoveFront(pNode);
                _InnerInsert(pNode, p - 1, pKey, pChild);
            }
            return;
        }
    }

    CMemIndexNode* pNew = pReserve->pTakeInner();
    CMemNode** ppNew = _ppChildren(pNew);
    const int nKeep = (m_nOrder + 1) / 2;
    const unsigned char* pUp;
    if (p < nKeep) {
        const int nMove = m_nOrder - nKeep;
        std::memcpy(_pInnerKey(pNew, 0), _pInnerKey(pNode, nKeep), static_cast<size_t>(nMove) * m_nKeySize);
        std::memcpy(ppNew, ppChildren + nKeep, static_cast<size_t>(nMove + 1) * sizeof(CMemNode*));
        pNew->m_nNumKey = static_cast<uint32_t>(nMove);
        unsigned char* pBuffer = _pOtherUpBuffer(pKey);
        _CopyKey(pBuffer, _pInnerKey(pNode, nKeep - 1));
        pUp = pBuffer;
        pNode->m_nNumKey = static_cast<uint32_t>(nKeep - 1);
        _InnerInsert(pNode, p, pKey, pChild);
    } else if (p == nKeep) {
        const int nMove = m_nOrder - nKeep;
        std::memcpy(_pInnerKey(pNew, 0), _pInnerKey(pNode, nKeep), static_cast<size_t>(nMove) * m_nKeySize);
        ppNew[0] = pChild;
        std::memcpy(ppNew + 1, ppChildren + nKeep + 1, static_cast<size_t>(nMove) * sizeof(CMemNode*));
        pNew->m_nNumKey = static_cast<uint32_t>(nMove);
        pNode->m_nNumKey = static_cast<uint32_t>(nKeep);
        pUp = pKey;
    } else {
        const int nMove = m_nOrder - nKeep - 1;
        std::memcpy(_pInnerKey(pNew, 0), _pInnerKey(pNode, nKeep + 1), static_cast<size_t>(nMove) * m_nKeySize);
        std::memcpy(ppNew, ppChildren + nKeep + 1, static_cast<size_t>(nMove + 1) * sizeof(CMemNode*));
        pNew->m_nNumKey = static_cast<uint32_t>(nMove);
        unsigned char* pBuffer = _pOtherUpBuffer(pKey);
        _CopyKey(pBuffer, _pInnerKey(pNode, nKeep));
        pUp = pBuffer;
        pNode->m_nNumKey = static_cast<uint32_t>(nKeep);
        _InnerInsert(pNew, p - nKeep - 1, pKey, pChild);
    }
    pNew->m_nNumRecord = _nSumChildren(pNew);
    pNode->m_nNumRecord -= pNew->m_nNumRecord;

    if (nLevel == 0) {
        CMemIndexNode* pRoot = pReserve->pTakeInner();
        pRoot->m_nType = CMemNode::kRoot;
        pNode->m_nType = CMemNode::kInner;
        _CopyKey(_pInnerKey(pRoot, 0), pUp);
        _ppChildren(pRoot)[0] = pNode;
        _ppChildren(pRoot)[1] = pNew;
        pRoot->m_nNumKey = 1;
        pRoot->m_nNumRecord = pNode->m_nNumRecord + pNew->m_nNumRecord;
        m_pRoot = pRoot;
        return;
    }
    *ppUpKey = pUp;
    *ppUpChild = pNew;
}
