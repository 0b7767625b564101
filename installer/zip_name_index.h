#pragma once

#include <cstdint>

// The reader's name index: a chained hash table from an entry name to the
// entry's array index. The names stay in the entries; the index keeps each
// element's hash (djb2 over the upper-cased characters: h = 5381,
// h = h x 33 + c), so that a resize needs no key. Elements are slots of
// {previous, next, hash, value} with a free list through next; buckets hold
// 1-based slot numbers (0 = empty). Sizes follow the prime list of
// CHashTableBounce: 17 buckets and 8 slots at first, then the next prime
// (slots = prime / 2) whenever no slot is free. A new element goes to the
// head of its bucket's chain. Keys of one case-insensitive name share a
// chain; the caller compares the names.
class CZipNameIndex
{
public:
    CZipNameIndex() = default;
    ~CZipNameIndex();
    CZipNameIndex(const CZipNameIndex&) = delete;
    CZipNameIndex& operator=(const CZipNameIndex&) = delete;

    static uint32_t s_dwHash(const wchar_t* pszName);

    // False when memory runs out (the index then unchanged).
    bool bAjoute(const wchar_t* pszName, int nValue);
    // Grows an empty index at once to room for n elements, so that adding
    // them never rehashes. False when memory runs out or the index is not
    // empty.
    bool bReserve(int n);
    void Vide();
    int nGetNbElement() const { return m_nNbElement; }
    int nGetNbBuckets() const { return m_nNbBuckets; }

    // Walks the chain of the name's bucket: every value whose stored hash is
    // the name's, in chain order, until the visitor answers false.
    template <class Visitor>
    void Parcours(const wchar_t* pszName, Visitor visit) const
    {
        if (m_nNbBuckets == 0)
            return;
        const uint32_t h = s_dwHash(pszName);
        for (int s = m_pnBuckets[h % static_cast<uint32_t>(m_nNbBuckets)]; s != 0; s = m_pSlots[s - 1].nNext)
            if (m_pSlots[s - 1].dwHash == h && !visit(m_pSlots[s - 1].nValue))
                return;
    }

private:
    struct Slot
    {
        int nPrev;
        int nNext;
        uint32_t dwHash;
        int nValue;
    };
    bool _bGrow();
    // Puts slot s (its hash set) at the head of its bucket's chain.
    void _Chaine(int s);

    int m_nPrime = -1;      // index in the prime list
    int m_nNbBuckets = 0;
    int m_nNbSlots = 0;
    int m_nNbElement = 0;
    int m_nFree = 0;        // 1-based head of the free list
    int* m_pnBuckets = nullptr;
    Slot* m_pSlots = nullptr;
};
