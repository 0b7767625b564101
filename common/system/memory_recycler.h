#pragma once

// A memory recycler keeps blocks of one size that its owner gave back, so
// that the next allocation of that size reuses one instead of asking the
// heap. The held blocks form a singly linked free list threaded through
// their own first bytes; m_nNbBloc counts them and always equals the length
// of that list.
//
// Every recycler links itself into the process-wide chain
// (ms_pclListeRecycleur) when constructed and unlinks itself when destroyed.
// When the module object is destroyed it empties every recycler of the chain
// (s_VideListe), so that nothing a recycler holds outlives the module; the
// recyclers themselves stay in the chain and can be used again.
//
// Blocks come from malloc and go back with free. Nothing here takes a lock:
// a recycler shared between threads is used under its owner's lock, and
// recyclers are made and destroyed while only one thread runs the module.
#include <cstddef>
#include <cstdint>

class CRecycleurMemoire
{
public:
    // Blocks shorter than a pointer are made a pointer long: the free list
    // lives in them.
    explicit CRecycleurMemoire(size_t nTailleBloc);
    // Frees what it still holds and leaves the chain.
    ~CRecycleurMemoire();
    CRecycleurMemoire(const CRecycleurMemoire&) = delete;
    CRecycleurMemoire& operator=(const CRecycleurMemoire&) = delete;

    // A held block when there is one, else a new block of the recycler's
    // size; null when the heap has none.
    void* pAlloue();
    // Keeps a block of the recycler's size (from pAlloue or malloc) for the
    // next pAlloue; null is ignored.
    void Recycle(void* pBloc);
    // Frees every held block.
    void Vide();

    size_t nGetTailleBloc() const { return m_nTailleBloc; }
    uint32_t nGetNbBloc() const { return m_nNbBloc; }

    // Frees the held blocks of every recycler in the chain.
    static void s_VideListe();

    // The first recycler of the process-wide chain; null when none exists.
    static CRecycleurMemoire* ms_pclListeRecycleur;

private:
    void* _pDepile();

    CRecycleurMemoire* m_pclSuivant;   // next in the chain
    void* m_pLibre;                    // first held block, null when none
    uint32_t m_nNbBloc;                // held blocks
    size_t m_nTailleBloc;
};
