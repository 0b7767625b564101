#pragma once

#include <cstddef>
#include <cstdint>

// Pool of fixed-size objects handed out from chunks of about 4 KB; the
// in-memory B+ tree takes its nodes and its duplicate buckets from such pools.
//
// Every slot is an 8-byte word followed by the object. While the slot is free
// the word links it into its chunk's circular free list; while the object is
// out the word names the owning chunk, so Free needs only the object's address.
// - pAllocate answers the address of the slot's word: the object lies 8 bytes
//   further (8-aligned). It answers null when a new chunk cannot be had.
// - Chunks with free slots are listed apart from full ones; allocations come
//   from the first listed. A chunk that becomes full moves to the front of the
//   full list; a full chunk that gets a slot back moves to the front of the
//   list with free slots. A chunk that becomes entirely free is given back,
//   unless it is the only chunk with free slots.
// - Chunk memory comes through the library's heap wrappers (XMALLOC_), so tests
//   can make it fail.
// - Not thread-safe: a pool belongs to one tree, used under the driver-wide
//   mutex.
class CTObjAlloc
{
public:
    static constexpr int mg_nSpaceCostPerObj = 8;

    // The tree's sizing rule: max(2, 4096 / (object size + 8)) per chunk.
    static unsigned g_nObjPerChunk(size_t nObjSize);
    // Objects handed out and not yet freed, over every pool of the process
    // (leak checks).
    static long g_nGetLiveObjects() { return ms_nLiveObjects; }

    // At least one object per chunk.
    CTObjAlloc(unsigned nObjPerChunk, size_t nObjSize);
    CTObjAlloc(const CTObjAlloc&) = delete;
    CTObjAlloc& operator=(const CTObjAlloc&) = delete;
    // Gives back every chunk; the owner has freed its objects by then.
    ~CTObjAlloc();

    void* pAllocate();
    // Takes the object's address (the slot's word + 8), not the word's.
    void Free(void* pObj);

    unsigned nGetObjPerChunk() const { return m_nObjPerChunk; }
    size_t nGetObjSize() const { return m_nObjSize; }
    unsigned nGetNumChunk() const { return m_nNumChunk; }
    unsigned nGetNumAllocated() const { return m_nNumAllocated; }
    // Chunks in the list with free slots (allocation order) and in the full
    // list.
    unsigned nGetNumFreeListChunk() const;
    unsigned nGetNumFullChunk() const;

private:
    struct CChunk
    {
        uint32_t m_nNumFree;
        void* m_pFreeList;  // a free slot's word; its word holds the next, circularly
        CChunk* m_pNext;
        CChunk* m_pPrev;
        CTObjAlloc* m_pOwner;
    };
    static_assert(sizeof(CChunk) == 40);

    CChunk* _pclNewChunk();
    static void _Unlink(CChunk** ppHead, CChunk* p);
    static void _PushFront(CChunk** ppHead, CChunk* p);
    size_t _nSlotSize() const { return sizeof(void*) + ((m_nObjSize + 7) & ~size_t{7}); }

    static inline long ms_nLiveObjects = 0;

    uint32_t m_nObjPerChunk;
    CChunk* m_pFullChunks = nullptr;
    CChunk* m_pFreeChunks = nullptr;
    uint32_t m_nNumChunk = 0;
    uint32_t m_nNumAllocated = 0;
    size_t m_nObjSize;
};
