#pragma once

#include <cstdint>

// Local atoms: small numbers standing for names, compared without regard to
// case. The table is process-wide and unguarded: callers on several threads
// serialise.
typedef uint16_t ATOM;

// One name of the table.
struct CAtom
{
    uint32_t m_nRef;
    ATOM m_nAtom;
    CAtom* m_pclNext;
    wchar_t* m_pszName;  // wcsdup copy

    // The next number to hand out; starts at 1. Numbers are never reused.
    static uint32_t gnId;
};

// The singly linked list of atoms; its destructor (at unload) frees them all.
class CAtomList
{
public:
    ~CAtomList();
    static CAtom* ms_pclHead;
};

// An existing name gains a reference and keeps its number; a new one is
// appended with the next number. 0 for a null name or when no memory is left.
ATOM AddAtom(const wchar_t* pszName);
// The number of the name, 0 when there is none.
ATOM FindAtom(const wchar_t* pszName);
// Copies at most nSize - 1 characters of the atom's name and a terminator;
// returns the characters copied, 0 when the atom is unknown or nSize < 1.
unsigned int GetAtomName(ATOM nAtom, wchar_t* pszBuffer, int nSize);
// Drops one reference (the last one removes the atom); 0, or the atom itself
// when it is unknown.
ATOM DeleteAtom(ATOM nAtom);
