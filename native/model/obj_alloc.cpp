#include "native/model/obj_alloc.h"

#include <algorithm>
#include <cstring>

#include "common/system/xmalloc.h"

namespace {

void* pWordNext(void* pWord)
{
    void* p;
    std::memcpy(&p, pWord, sizeof p);
    return p;
}

void SetWord(void* pWord, const void* pValue)
{
    std::memcpy(pWord, &pValue, sizeof pValue);
}

}  // namespace

unsigned CTObjAlloc::g_nObjPerChunk(size_t nObjSize)
{
    const size_t n = 4096 / (nObjSize + mg_nSpaceCostPerObj);
    return static_cast<unsigned>(std::max<size_t>(2, n));
}

CTObjAlloc::CTObjAlloc(unsigned nObjPerChunk, size_t nObjSize)
    : m_nObjPerChunk(std::max(1u, nObjPerChunk)), m_nObjSize(nObjSize)
{
}

CTObjAlloc::~CTObjAlloc()
{
    for (CChunk** ppList : {&m_pFreeChunks, &m_pFullChunks}) {
        while (*ppList != nullptr) {
            CChunk* p = *ppList;
            *ppList = p->m_pNext;
            XMALLOC_Del_(p);
        }
    }
    // Objects still out stay counted: the owner leaked them.
}

void CTObjAlloc::_Unlink(CChunk** ppHead, CChunk* p)
{
    if (p->m_pPrev != nullptr)
        p->m_pPrev->m_pNext = p->m_pNext;
    else
        *ppHead = p->m_pNext;
    if (p->m_pNext != nullptr) p->m_pNext->m_pPrev = p->m_pPrev;
    p->m_pNext = p->m_pPrev = nullptr;
}

void CTObjAlloc::_PushFront(CChunk** ppHead, CChunk* p)
{
    p->m_pPrev = nullptr;
    p->m_pNext = *ppHead;
    if (*ppHead != nullptr) (*ppHead)->m_pPrev = p;
    *ppHead = p;
}

CTObjAlloc::CChunk* CTObjAlloc::_pclNewChunk()
{
    // Object sizes come from node layouts; a size whose chunk would not fit in
    // memory simply cannot be allocated.
    const size_t nSlot = _nSlotSize();
    if (m_nObjSize > (size_t{1} << 40) || nSlot > ((size_t{1} << 62) - sizeof(CChunk)) / m_nObjPerChunk)
        return nullptr;
    auto* p = static_cast<CChunk*>(XMALLOC_pNew_(sizeof(CChunk) + nSlot * m_nObjPerChunk));
    if (p == nullptr) return nullptr;
    p->m_nNumFree = m_nObjPerChunk;
    p->m_pOwner = this;
    p->m_pNext = p->m_pPrev = nullptr;
    unsigned char* pFirst = reinterpret_cast<unsigned char*>(p + 1);
    for (uint32_t i = 0; i < m_nObjPerChunk; ++i) {
        unsigned char* pNext = i + 1 < m_nObjPerChunk ? pFirst + (i + 1) * nSlot : pFirst;
        SetWord(pFirst + i * nSlot, pNext);
    }
    p->m_pFreeList = pFirst;
    ++m_nNumChunk;
    return p;
}

void* CTObjAlloc::pAllocate()
{
    if (m_pFreeChunks == nullptr) {
        CChunk* p = _pclNewChunk();
        if (p == nullptr) return nullptr;
        _PushFront(&m_pFreeChunks, p);
    }
    CChunk* p = m_pFreeChunks;
    void* pHead = p->m_pFreeList;
    void* pSlot = pWordNext(pHead);
    if (pSlot == pHead)
        p->m_pFreeList = nullptr;
    else
        SetWord(pHead, pWordNext(pSlot));
    SetWord(pSlot, p);
    --p->m_nNumFree;
    ++m_nNumAllocated;
    ++ms_nLiveObjects;
    if (p->m_nNumFree == 0) {
        _Unlink(&m_pFreeChunks, p);
        _PushFront(&m_pFullChunks, p);
    }
    return pSlot;
}

void CTObjAlloc::Free(void* pObj)
{
    if (pObj == nullptr) return;
    void* pSlot = static_cast<unsigned char*>(pObj) - mg_nSpaceCostPerObj;
    auto* p = static_cast<CChunk*>(pWordNext(pSlot));
    if (p->m_pFreeList == nullptr) {
        SetWord(pSlot, pSlot);
    } else {
        SetWord(pSlot, pWordNext(p->m_pFreeList));
        SetWord(p->m_pFreeList, pSlot);
    }
    p->m_pFreeList = pSlot;
    --m_nNumAllocated;
    --ms_nLiveObjects;
    if (p->m_nNumFree++ == 0) {
        _Unlink(&m_pFullChunks, p);
        _PushFront(&m_pFreeChunks, p);
    }
    if (p->m_nNumFree == m_nObjPerChunk && !(p == m_pFreeChunks && p->m_pNext == nullptr)) {
        _Unlink(&m_pFreeChunks, p);
        XMALLOC_Del_(p);
        --m_nNumChunk;
    }
}

unsigned CTObjAlloc::nGetNumFreeListChunk() const
{
    unsigned n = 0;
    for (const CChunk* p = m_pFreeChunks; p != nullptr; p = p->m_pNext) ++n;
    return n;
}

unsigned CTObjAlloc::nGetNumFullChunk() const
{
    unsigned n = 0;
    for (const CChunk* p = m_pFullChunks; p != nullptr; p = p->m_pNext) ++n;
    return n;
}
