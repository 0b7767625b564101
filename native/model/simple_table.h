#pragma once

// A block table: elements of varying length stored one after the other in
// large heap blocks, with one entry per element giving its place (offset in
// its block, block index). The row cache keeps its record buffers and its
// serialized identities in two of them.
//
// - A stored element is a 64-bit length L, then L bytes, at block base +
//   offset. An entry whose offset has all bits set is reserved: it holds no
//   element (a row not fetched).
// - Elements never move: a block is filled from its start and never grown
//   or compacted, and blocks are freed only by Vide and the destructor.
//   Whoever keeps an element's address (the identity hash of the row cache)
//   may rely on it until then. Removing an entry leaves its bytes in place.
// - A new block holds the smaller of the block size and the grow count x
//   the need (never less than the need). When the sixth block is made the
//   block size and the grow count are doubled (each when not 0), once in the
//   table's life.
// - Memory comes through the library's heap wrappers. An element whose
//   block cannot be had is not stored and nothing changes; entries are added
//   only after bReserveEntry made room for them, so that adding one never
//   fails halfway through a row.
//
// The typed layer CTSimpleTable<T> stores and reads elements through three
// members of T (its size, its writing and its reading), which
// CSimpleTableHooks<T> names for record buffers and identities
// (buffer_table.h).
#include <cstdint>

#include "common/text/tableau.h"

class CSimpleTableBlocks
{
public:
    struct stENTRY
    {
        uint64_t llOffset;  // kReserved: no element
        int32_t nBlock;
        int32_t nUnused;
    };
    struct stBUFFERINFO
    {
        unsigned char* pbyBase;
        uint64_t llUsed;
        uint64_t llCapacity;
    };
    static constexpr uint64_t kReserved = ~uint64_t{0};
    static constexpr stENTRY kReservedEntry{kReserved, -1, 0};
    // The length word before each element.
    static constexpr uint64_t kLengthSize = sizeof(uint64_t);

    CSimpleTableBlocks(int nGrowCount, uint64_t llBlockSize);
    ~CSimpleTableBlocks();
    CSimpleTableBlocks(const CSimpleTableBlocks&) = delete;
    CSimpleTableBlocks& operator=(const CSimpleTableBlocks&) = delete;

    int nGetCount() const { return m_tabEntries.nGetNbElement(); }
    // Reserved, or outside the entries.
    bool bReserved(int n) const { return n < 0 || n >= nGetCount() || m_tabEntries[n].llOffset == kReserved; }
    // The address of element n's bytes (after its length word); null for a
    // reserved entry or outside.
    unsigned char* pbyGetElement(int n) const;
    // The same with the element's length.
    unsigned char* pbyGetElement(int n, uint64_t* pllLength) const;
    uint64_t llGetElementLength(int n) const;

    // Room for one more entry, so that the next append or insert of an
    // entry cannot fail. 0 when it cannot be had.
    int bReserveEntry() { return m_tabEntries.AgranditMemoire(1); }
    // Entries; the caller made room first.
    void AppendEntry(const stENTRY& stEntry) { (void)m_tabEntries.Ajoute(stEntry); }
    void InsertEntry(const stENTRY& stEntry, int n) { (void)m_tabEntries.Insere(stEntry, n); }
    void SetEntry(int n, const stENTRY& stEntry) { m_tabEntries.SetAt(stEntry, n); }
    void SetReserved(int n) { SetEntry(n, kReservedEntry); }
    // The entry goes; its element's bytes stay in their block.
    void RemoveEntry(int n) { m_tabEntries.Supprime(n, 1); }

    // Frees every block and empties the entries; the settings stay.
    void Vide();

    // A non-zero count becomes the grow count (and the entries' growth
    // step), a non-zero size the block size.
    void SetGrowStep(int nCount, uint64_t llBlockSize);
    int nGetGrowCount() const { return m_nGrowCount; }
    uint64_t llGetBlockSize() const { return m_llBlockSize; }
    int nGetNbBlocks() const { return m_tabBlocks.nGetNbElement(); }
    const stBUFFERINFO& GetBlock(int n) const { return m_tabBlocks[n]; }

protected:
    // Space for an element of L bytes, its length word written; the
    // address of its bytes and its entry, or null when no block can be had
    // (nothing changed).
    unsigned char* _pbyAllocElement(uint64_t llLength, stENTRY* pstEntry);
    // Element n's bytes when it holds at least L bytes, its length word
    // set to L; null otherwise.
    unsigned char* _pbyReuseElement(int n, uint64_t llLength);

private:
    bool _bNewBlock(uint64_t llNeed);

    CTTableau<stENTRY> m_tabEntries;
    CTTableau<stBUFFERINFO> m_tabBlocks;
    int m_nGrowCount;
    uint64_t m_llBlockSize;
    bool m_bDoubled = false;
};

// The members of T a block table of T calls: pfSize, the bytes an element
// takes; pfSave, writing it into exactly that many bytes; pfLoad, reading it
// back from its stored bytes (0 when they cannot be taken).
template <class T>
struct CSimpleTableHooks;

template <class T>
class CTSimpleTable : public CSimpleTableBlocks
{
    using Hooks = CSimpleTableHooks<T>;
    static_assert(sizeof(unsigned long) == sizeof(uint64_t), "element lengths pass as unsigned long");

public:
    using CSimpleTableBlocks::CSimpleTableBlocks;

    static uint64_t _nGetDataSize(const T& element) { return (element.*Hooks::pfSize)(); }
    static int _bSaveData(const T& element, unsigned char* pbyOut, uint64_t llLength)
    {
        return (element.*Hooks::pfSave)(pbyOut, llLength);
    }
    static int _bLoadData(T& element, const unsigned char* pbyIn, uint64_t llLength)
    {
        return (element.*Hooks::pfLoad)(pbyIn, llLength);
    }

    // Stores the element anew; its entry and the address of its bytes, or
    // null when it cannot be stored (nothing changed).
    unsigned char* pbyStore(const T& element, stENTRY* pstEntry)
    {
        const uint64_t llLength = _nGetDataSize(element);
        unsigned char* pbyData = _pbyAllocElement(llLength, pstEntry);
        return pbyData != nullptr && _bSaveData(element, pbyData, llLength) ? pbyData : nullptr;
    }
    // Writes the element over element n when it fits there, else stores it
    // anew and points entry n at it; the address of its bytes, or null
    // (entry n then holds no whole element: the caller reserves it).
    unsigned char* pbyWrite(int n, const T& element)
    {
        const uint64_t llLength = _nGetDataSize(element);
        if (unsigned char* pbyData = _pbyReuseElement(n, llLength)) {
            if (_bSaveData(element, pbyData, llLength))
                return pbyData;
        }
        stENTRY stEntry;
        unsigned char* pbyData = pbyStore(element, &stEntry);
        if (pbyData != nullptr)
            SetEntry(n, stEntry);
        return pbyData;
    }
    // Element n read back; 0 for a reserved entry.
    int bRead(int n, T& element) const
    {
        uint64_t llLength = 0;
        const unsigned char* pbyData = pbyGetElement(n, &llLength);
        return pbyData != nullptr && _bLoadData(element, pbyData, llLength);
    }
};
