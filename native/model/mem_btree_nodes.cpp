// Edits of single leaves and inner nodes. The leaf edits keep the tree's
// position on its record: a key that moves takes the position with it, and the
// end position (last leaf, index = key count) stays the end.
#include <cstring>

#include "native/model/mem_btree.h"

void CMemBTree::_MoveBits(uint32_t* pDst, int d, const uint32_t* pSrc, int s, int n)
{
    auto get = [](const uint32_t* p, int i) { return (p[i / 32] >> (i % 32)) & 1u; };
    auto set = [](uint32_t* p, int i, uint32_t b) {
        p[i / 32] = (p[i / 32] & ~(1u << (i % 32))) | (b << (i % 32));
    };
    // Overlapping moves inside one leaf go from the far end.
    if (pDst == pSrc && d > s) {
        for (int k = n - 1; k >= 0; --k) set(pDst, d + k, get(pSrc, s + k));
    } else {
        for (int k = 0; k < n; ++k) set(pDst, d + k, get(pSrc, s + k));
    }
}

void CMemBTree::_LeafOpen(CMemDataNode* p, int i, int n)
{
    const int nTail = static_cast<int>(p->m_nNumKey) - i;
    if (nTail > 0) {
        std::memmove(_pKey(p, i + n), _pKey(p, i), static_cast<size_t>(nTail) * m_nKeySize);
        if (m_nValueSize != 0) {
            std::memmove(_pSlot(p, i + n), _pSlot(p, i), static_cast<size_t>(nTail) * m_nValueSlotSize);
            _MoveBits(_pBits(p), i + n, _pBits(p), i, nTail);
        }
    }
    p->m_nNumKey += static_cast<uint32_t>(n);
    if (m_clPosition.m_pLeaf == p && m_clPosition.m_nKey >= i) m_clPosition.m_nKey += n;
}

void CMemBTree::_LeafClose(CMemDataNode* p, int i, int n)
{
    const int nTail = static_cast<int>(p->m_nNumKey) - i - n;
    if (nTail > 0) {
        std::memmove(_pKey(p, i), _pKey(p, i + n), static_cast<size_t>(nTail) * m_nKeySize);
        if (m_nValueSize != 0) {
            std::memmove(_pSlot(p, i), _pSlot(p, i + n), static_cast<size_t>(nTail) * m_nValueSlotSize);
            _MoveBits(_pBits(p), i, _pBits(p), i + n, nTail);
        }
    }
    p->m_nNumKey -= static_cast<uint32_t>(n);
    if (m_clPosition.m_pLeaf == p && m_clPosition.m_nKey >= i + n) m_clPosition.m_nKey -= n;
}

void CMemBTree::_LeafMove(CMemDataNode* pDst, int d, CMemDataNode* pSrc, int s, int n)
{
    uint32_t nRecords = 0;
    for (int k = s; k < s + n; ++k) nRecords += _nKeyRecords(pSrc, k);
    const int nSrcCount = static_cast<int>(pSrc->m_nNumKey);
    _LeafOpen(pDst, d, n);
    std::memcpy(_pKey(pDst, d), _pKey(pSrc, s), static_cast<size_t>(n) * m_nKeySize);
    if (m_nValueSize != 0) {
        std::memcpy(_pSlot(pDst, d), _pSlot(pSrc, s), static_cast<size_t>(n) * m_nValueSlotSize);
        _MoveBits(_pBits(pDst), d, _pBits(pSrc), s, n);
    }
    // A tail that leaves its leaf takes the end position along: moved keys
    // only ever go to the leaf that then ends the chain.
    CIterator& it = m_clPosition;
    if (it.m_pLeaf == pSrc && ((it.m_nKey >= s && it.m_nKey < s + n) || (it.m_nKey == nSrcCount && s + n == nSrcCount))) {
        it.m_pLeaf = pDst;
        it.m_nKey = d + it.m_nKey - s;
    }
    _LeafClose(pSrc, s, n);
    pSrc->m_nNumRecord -= nRecords;
    pDst->m_nNumRecord += nRecords;
}

void CMemBTree::_LeafInsertKey(CMemDataNode* p, int i, const void* pKey, const void* pValue)
{
    _LeafOpen(p, i, 1);
    _CopyKey(_pKey(p, i), pKey);
    if (m_nValueSize != 0) {
        std::memcpy(_pSlot(p, i), pValue, m_nValueSize);
        _SetBucketBit(p, i, false);
    }
    ++p->m_nNumRecord;
    ++m_nNumKey;
}

void CMemBTree::_Unchain(CMemDataNode* p)
{
    if (p->m_pPrev != nullptr) p->m_pPrev->m_pNext = p->m_pNext;
    if (p->m_pNext != nullptr) p->m_pNext->m_pPrev = p->m_pPrev;
    p->m_pPrev = p->m_pNext = nullptr;
}

void CMemBTree::_InnerInsert(CMemIndexNode* p, int i, const void* pKey, CMemNode* pChild)
{
    const int n = static_cast<int>(p->m_nNumKey);
    std::memmove(_pInnerKey(p, i + 1), _pInnerKey(p, i), static_cast<size_t>(n - i) * m_nKeySize);
    CMemNode** ppChildren = _ppChildren(p);
    std::memmove(ppChildren + i + 2, ppChildren + i + 1, static_cast<size_t>(n - i) * sizeof(CMemNode*));
    _CopyKey(_pInnerKey(p, i), pKey);
    ppChildren[i + 1] = pChild;
    ++p->m_nNumKey;
}

void CMemBTree::_InnerInsertFront(CMemIndexNode* p, const void* pKey, CMemNode* pChild)
{
    const int n = static_cast<int>(p->m_nNumKey);
    std::memmove(_pInnerKey(p, 1), _pInnerKey(p, 0), static_cast<size_t>(n) * m_nKeySize);
    CMemNode** ppChildren = _ppChildren(p);
    std::memmove(ppChildren + 1, ppChildren, static_cast<size_t>(n + 1) * sizeof(CMemNode*));
    _CopyKey(_pInnerKey(p, 0), pKey);
    ppChildren[0] = pChild;
    ++p->m_nNumKey;
}

void CMemBTree::_InnerRemove(CMemIndexNode* p, int i)
{
    const int n = static_cast<int>(p->m_nNumKey);
    std::memmove(_pInnerKey(p, i), _pInnerKey(p, i + 1), static_cast<size_t>(n - i - 1) * m_nKeySize);
    CMemNode** ppChildren = _ppChildren(p);
    std::memmove(ppChildren + i + 1, ppChildren + i + 2, static_cast<size_t>(n - i - 1) * sizeof(CMemNode*));
    --p->m_nNumKey;
}

void CMemBTree::_InnerRemoveFront(CMemIndexNode* p)
{
    const int n = static_cast<int>(p->m_nNumKey);
    std::memmove(_pInnerKey(p, 0), _pInnerKey(p, 1), static_cast<size_t>(n - 1) * m_nKeySize);
    CMemNode** ppChildren = _ppChildren(p);
    std::memmove(ppChildren, ppChildren + 1, static_cast<size_t>(n) * sizeof(CMemNode*));
    --p->m_nNumKey;
}

uint32_t CMemBTree::_nSumChildren(CMemIndexNode* p) const
{
    uint32_t n = 0;
    for (uint32_t i = 0; i <= p->m_nNumKey; ++i) n += _ppChildren(p)[i]->m_nNumRecord;
    return n;
}
