#pragma once

#include <cstdint>

// Freed string blocks of the two common capacities (100 and 996 bytes), kept
// for reuse so that most short strings are made and dropped without a heap
// call. Blocks are chained through the link word at the start of their
// header; the most recently given block is taken first. Not locked: the
// allocator that owns the cache holds its lock around every call.
class CStrMemCache
{
public:
    static constexpr uint32_t dwSmallCapacity = 100;
    static constexpr uint32_t dwLargeCapacity = 996;
    static constexpr uint32_t dwMaxCachedPerSize = 20;

    CStrMemCache() = default;
    CStrMemCache(const CStrMemCache&) = delete;
    CStrMemCache& operator=(const CStrMemCache&) = delete;
    // Frees every cached block.
    virtual ~CStrMemCache();

    // Start of a cached block of exactly this capacity, taken off its list;
    // null when none is cached (or the capacity is not a cached one).
    unsigned char* _pbyTake(uint64_t llCapacity);
    // Keeps the block whose header starts at pbyBlock when its capacity is a
    // cached one and its list has room; false when the caller must free it.
    bool _bGive(unsigned char* pbyBlock, uint32_t dwCapacity);

    uint32_t dwGetCachedCount(uint32_t dwCapacity) const;

protected:
    void _FreeAll();

private:
    // The list and count of a cached capacity; false for any other.
    bool _bListe(uint64_t llCapacity, unsigned char**& head, uint32_t*& count);

    unsigned char* m_pbyHead100 = nullptr;
    unsigned char* m_pbyHead996 = nullptr;
    uint32_t m_dwCount100 = 0;
    uint32_t m_dwCount996 = 0;
};
