#include "native/model/mem_btree.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "common/system/xmalloc.h"
#include "native/model/mem_bucket.h"

namespace {

// Orders up to this and items up to 16 MB keep every node size far inside
// 64 bits; larger nodes are refused.
constexpr unsigned long kMaxOrder = 1u << 16;
constexpr unsigned long kMaxItemSize = 1u << 24;
constexpr size_t kMaxNodeSize = size_t{1} << 30;

size_t nAlign8(size_t n)
{
    return (n + 7) & ~size_t{7};
}

}  // namespace

CMemBTree::CMemBTree()
{
    m_clPosition.m_pTree = this;
}

CMemBTree::~CMemBTree()
{
    _FreeAll();
    XMALLOC_Del_(m_pScratch);
}

int CMemBTree::bInit(unsigned long nKeySize, unsigned long nValueSize, PFMEMBTREECOMPARE pfKeyCompare,
                     PFMEMBTREECOMPARE pfValueCompare, int nOrder)
{
    if (m_oInnerPool.has_value() || nOrder < 0 || nOrder == 1 || static_cast<unsigned long>(nOrder) > kMaxOrder)
        return 0;
    if (nKeySize == 0 || nKeySize > kMaxItemSize || nValueSize > kMaxItemSize || pfKeyCompare == nullptr ||
        (nValueSize != 0 && pfValueCompare == nullptr))
        return 0;
    const size_t nKeys = nOrder == 0 ? 32 : static_cast<size_t>(nOrder);
    const size_t nSlot = nValueSize != 0 ? std::max<size_t>(nValueSize, 8) : 0;

    const size_t nInnerKeysOffset = kInnerChildrenOffset + (nKeys + 1) * sizeof(CMemNode*);
    const size_t nInnerSize = nInnerKeysOffset + nKeys * nKeySize;
    const size_t nBitWords = nValueSize != 0 ? (nKeys - 1) / 32 + 1 : 0;
    const size_t nSlotsOffset = nAlign8(sizeof(CMemDataNode) + nBitWords * sizeof(uint32_t));
    const size_t nLeafKeysOffset = nSlotsOffset + nKeys * nSlot;
    const size_t nLeafSize = nLeafKeysOffset + nKeys * nKeySize;
    if (nInnerSize > kMaxNodeSize || nLeafSize > kMaxNodeSize) return 0;

    m_pScratch = static_cast<unsigned char*>(XMALLOC_pNew_(4 * nKeySize + nValueSize));
    if (m_pScratch == nullptr) return 0;

    m_nOrder = static_cast<int>(nKeys);
    m_nMinFill = static_cast<int>(nKeys / 2);
    m_pfKeyCompare = pfKeyCompare;
    m_pfValueCompare = pfValueCompare;
    m_nKeySize = nKeySize;
    m_nValueSize = nValueSize;
    m_nValueSlotSize = nSlot;
    m_nInnerSize = nInnerSize;
    m_nInnerKeysOffset = nInnerKeysOffset;
    m_nLeafSize = nLeafSize;
    m_nLeafSlotsOffset = nSlotsOffset;
    m_nLeafKeysOffset = nLeafKeysOffset;
    m_oInnerPool.emplace(CTObjAlloc::g_nObjPerChunk(nInnerSize), nInnerSize);
    m_oLeafPool.emplace(CTObjAlloc::g_nObjPerChunk(nLeafSize), nLeafSize);
    if (nValueSize != 0) {
        for (int c = 0; c < CMemBucket::kNumClass; ++c) {
            const size_t n = CMemBucket::nGetFullSize(this, c);
            m_aoBucketPools[c].emplace(CTObjAlloc::g_nObjPerChunk(n), n);
        }
    }
    return 1;
}

CMemBTree* CMemBTree::pclCreate(unsigned long nKeySize, unsigned long nValueSize, PFMEMBTREECOMPARE pfKeyCompare,
                                PFMEMBTREECOMPARE pfValueCompare, int nOrder)
{
    auto* p = new (std::nothrow) CMemBTree();
    if (p != nullptr && !p->bInit(nKeySize, nValueSize, pfKeyCompare, pfValueCompare, nOrder)) {
        delete p;
        p = nullptr;
    }
    return p;
}

// ---------------------------------------------------------------------------
// Slots, bits and pools

void CMemBTree::_SetBucketBit(CMemDataNode* p, int i, bool b) const
{
    uint32_t& w = _pBits(p)[i / 32];
    const uint32_t m = 1u << (i % 32);
    w = b ? (w | m) : (w & ~m);
}

CMemBucket* CMemBTree::_pBucket(CMemDataNode* p, int i) const
{
    CMemBucket* pBucket;
    std::memcpy(&pBucket, _pSlot(p, i), sizeof pBucket);
    return pBucket;
}

void CMemBTree::_SetBucket(CMemDataNode* p, int i, CMemBucket* pBucket) const
{
    std::memcpy(_pSlot(p, i), &pBucket, sizeof pBucket);
    _SetBucketBit(p, i, true);
}

uint32_t CMemBTree::_nKeyRecords(CMemDataNode* p, int i) const
{
    return _bHasBucket(p, i) ? static_cast<uint32_t>(_pBucket(p, i)->nGetNumKey()) : 1u;
}

CMemIndexNode* CMemBTree::_pclNewInner()
{
    void* pWord = m_oInnerPool->pAllocate();
    if (pWord == nullptr) return nullptr;
    auto* p = new (static_cast<unsigned char*>(pWord) + CTObjAlloc::mg_nSpaceCostPerObj) CMemIndexNode();
    p->m_nType = CMemNode::kInner;
    p->m_nNumKey = 0;
    p->m_nNumRecord = 0;
    return p;
}

CMemDataNode* CMemBTree::_pclNewLeaf()
{
    void* pWord = m_oLeafPool->pAllocate();
    if (pWord == nullptr) return nullptr;
    auto* p = new (static_cast<unsigned char*>(pWord) + CTObjAlloc::mg_nSpaceCostPerObj) CMemDataNode();
    p->m_nType = CMemNode::kLeaf;
    p->m_nNumKey = 0;
    p->m_nNumRecord = 0;
    p->m_pPrev = p->m_pNext = nullptr;
    if (m_nValueSize != 0) std::memset(_pBits(p), 0, static_cast<size_t>((m_nOrder - 1) / 32 + 1) * sizeof(uint32_t));
    return p;
}

void CMemBTree::_FreeNode(CMemNode* p)
{
    if (p->m_nType == CMemNode::kLeaf)
        m_oLeafPool->Free(p);
    else
        m_oInnerPool->Free(p);
}

void* CMemBTree::_pAllocBucket(int nClass)
{
    void* pWord = m_aoBucketPools[nClass]->pAllocate();
    return pWord != nullptr ? static_cast<unsigned char*>(pWord) + CTObjAlloc::mg_nSpaceCostPerObj : nullptr;
}

void CMemBTree::_FreeBucket(CMemBucket* p)
{
    m_aoBucketPools[p->nGetClass()]->Free(p);
}

void CMemBTree::_DestroyBucket(CMemBucket* p)
{
    CMemBucket::g_Destroy(this, p);
}

void CMemBTree::_FreeSubtree(CMemNode* p)
{
    if (p->m_nType == CMemNode::kLeaf) {
        auto* pLeaf = static_cast<CMemDataNode*>(p);
        for (int i = 0; i < static_cast<int>(pLeaf->m_nNumKey); ++i) {
            if (_bHasBucket(pLeaf, i)) _DestroyBucket(_pBucket(pLeaf, i));
        }
    } else {
        auto* pInner = static_cast<CMemIndexNode*>(p);
        for (uint32_t i = 0; i <= pInner->m_nNumKey; ++i) _FreeSubtree(_ppChildren(pInner)[i]);
    }
    _FreeNode(p);
}

void CMemBTree::_FreeAll()
{
    if (m_pRoot != nullptr) _FreeSubtree(m_pRoot);
    m_pRoot = nullptr;
    m_nNumKey = 0;
    _ClearPosition();
}

void CMemBTree::_ClearPosition()
{
    m_clPosition = CIterator();
    m_clPosition.m_pTree = this;
}

void CMemBTree::_CopyKey(void* pDst, const void* pSrc) const
{
    if (pDst != pSrc) std::memcpy(pDst, pSrc, m_nKeySize);
}

// ---------------------------------------------------------------------------
// Reading at the position

void* CMemBTree::pReadKey() const
{
    return _bOnKey(m_clPosition) ? _pKey(m_clPosition.m_pLeaf, m_clPosition.m_nKey) : nullptr;
}

void* CMemBTree::pReadValue() const
{
    const CIterator& it = m_clPosition;
    if (m_nValueSize == 0 || !_bOnKey(it)) return nullptr;
    if (_bHasBucket(it.m_pLeaf, it.m_nKey)) return _pBucket(it.m_pLeaf, it.m_nKey)->pGetValue(this, &it.m_stDup);
    return _pSlot(it.m_pLeaf, it.m_nKey);
}

int CMemBTree::nNumDuplicates() const
{
    return _bOnKey(m_clPosition) ? static_cast<int>(_nKeyRecords(m_clPosition.m_pLeaf, m_clPosition.m_nKey)) : 0;
}

int CMemBTree::__nDumpKeys(void* pBuffer) const
{
    if (m_pRoot == nullptr) return 0;
    auto* pOut = static_cast<unsigned char*>(pBuffer);
    int n = 0;
    for (CMemDataNode* p = _pFirstLeaf(); p != nullptr; p = p->m_pNext) {
        std::memcpy(pOut, _pKey(p, 0), static_cast<size_t>(p->m_nNumKey) * m_nKeySize);
        pOut += static_cast<size_t>(p->m_nNumKey) * m_nKeySize;
        n += static_cast<int>(p->m_nNumKey);
    }
    return n;
}
