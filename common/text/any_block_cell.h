#pragma once

#include <cstring>

#include "common/text/str_mem_block.h"

// A runtime string or binary value that lives as a bare pointer in a value's
// storage (or in any other cell that may not be aligned for it). The cell's
// reference is borrowed for the life of this object, which works on it as an
// ordinary CXYString / CZLBIN, and handed back (whatever the block is then)
// when it ends. Nothing is counted on the way in or out.
template <class S>
class TAnyBlocEmprunte final : public S
{
public:
    explicit TAnyBlocEmprunte(void* pCell) : m_pCell(pCell) { std::memcpy(&this->m_pbyData, pCell, sizeof(void*)); }
    ~TAnyBlocEmprunte()
    {
        std::memcpy(m_pCell, &this->m_pbyData, sizeof(void*));
        this->m_pbyData = nullptr;
    }
    TAnyBlocEmprunte(const TAnyBlocEmprunte&) = delete;
    TAnyBlocEmprunte& operator=(const TAnyBlocEmprunte&) = delete;

private:
    void* m_pCell;
};

// Block pointers kept in cells.
inline unsigned char* pbyLitBloc(const void* pCell)
{
    unsigned char* p;
    std::memcpy(&p, pCell, sizeof p);
    return p;
}

inline void EcritBloc(void* pCell, unsigned char* p) { std::memcpy(pCell, &p, sizeof p); }

// The cell at pTarget shares the block of the cell at pSource (one more
// reference), its old block dropped afterwards; nothing when both are the
// same cell. A null source empties the target.
inline void PartageBloc(void* pTarget, const void* pSource)
{
    if (pTarget == pSource)
        return;
    unsigned char* pNew = pSource ? pbyLitBloc(pSource) : nullptr;
    unsigned char* pOld = pbyLitBloc(pTarget);
    CBaseStrMem::s_AddRef(pNew);
    EcritBloc(pTarget, pNew);
    CBaseStrMem::s_ReleaseStrMem(pOld);
}

// Drops the cell's reference; the cell becomes null.
inline void LibereBloc(void* pCell)
{
    unsigned char* p = pbyLitBloc(pCell);
    EcritBloc(pCell, nullptr);
    CBaseStrMem::s_ReleaseStrMem(p);
}
