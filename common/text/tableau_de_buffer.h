#pragma once

#include <cstdint>

// One block of a reordering done by CTableauDeBuffer::PermuteMultiple: a run
// of nNombre elements starting at index nDebut.
struct _STBlocATrier
{
    int nDebut;
    int nNombre;
};

// The one array type of the library: a contiguous malloc'd block of
// fixed-size elements copied in and out byte for byte (never constructed or
// destroyed), with a count, a capacity and a growth step. The typed arrays
// (CTTableau, CTTableauPtr, CRefArray, CNARefArray) are thin templates over
// it.
//
// Growth is by the fixed step, never by doubling: the driver has many small
// arrays. An array made with step 1 switches to steps of 20 once its capacity
// passes 100 elements (elements of at most 256 bytes), and only
// SupprimeCompacte gives memory back, when more than the slack limit of slots
// are free.
//
// Sizes are 32-bit signed: capacity x element size stays below 2^31; a growth
// that would pass it fails like an allocation failure. Operations that may
// grow answer 1, or 0 when the memory could not be had; the array is then left
// exactly as it was. Indexes out of range make an operation do nothing (and
// answer 0 where it answers).
//
// The driver reads the count, the element size and the storage directly (for
// qsort, lfind, bsearch and index loops).
class CTableauDeBuffer
{
public:
    CTableauDeBuffer(int nTailleElement, int nPas, int nMaxVide);
    CTableauDeBuffer(const CTableauDeBuffer&) = delete;
    CTableauDeBuffer& operator=(const CTableauDeBuffer&) = delete;

    // Virtual slots, in order.
    // Grows the storage by one step (the growth rule above).
    virtual int Agrandir();
    virtual ~CTableauDeBuffer();
    // Storage for exactly n elements, each a copy of pElement, in place of
    // the earlier storage. n <= 0 leaves the array empty without storage.
    virtual int Initialise(void const* pElement, int n);
    // Storage cut to exactly the count (freed when the array is empty).
    virtual void Compacter();

    int Ajoute(void const* pElement);
    // Inserts at nIndice (0 .. count); later elements move up.
    int Insere(void const* pElement, int nIndice);
    void SetAt(void const* pElement, int nIndice);
    // Sets element nIndice, first extending the array when nIndice >= count:
    // the new slots before nIndice become copies of pRemplissage.
    int Etend(int nIndice, void const* pElement, void const* pRemplissage);
    // Removes n elements from nIndice; later elements move down.
    void Supprime(int nIndice, int n);
    void SupprimeDernier(int n);
    // Supprime(nIndice, 1), then Compacter when more than the slack limit of
    // slots are free.
    void SupprimeCompacte(int nIndice);
    void SupprimeToutEtLibere();
    // Room for n elements in all.
    int AlloueMemoire(int n);
    // Room for n more elements, grown by whole steps.
    int AgranditMemoire(int n);

    // Copies source's elements (same element size) over this array's.
    int _Duplique(const CTableauDeBuffer& source);
    // Takes over source's storage; source is left empty without storage.
    void Recupere(CTableauDeBuffer& source);
    void _RecupereDonnees(CTableauDeBuffer* pSource);
    // Exchanges the whole state of two arrays of the same class.
    static void EchangeTableau(CTableauDeBuffer* pA, CTableauDeBuffer* pB);

    void Swap(int i, int j);
    // Moves element nDe to nVers; the elements between shift by one.
    void Deplace(int nDe, int nVers);
    // Rebuilds the storage in a new order: the run (0, n), then the given
    // blocks (adjacent blocks merge into one run), then every element not yet
    // copied at its own index. Reads stay below the count and writes below the
    // capacity whatever the blocks say.
    int PermuteMultiple(int n, _STBlocATrier* pBlocs, unsigned long nBlocs);

    // For arrays of pointers: the first element e in index order with
    // pfCritere(nCle, e) == 0, or null; its index, or -1.
    void* pRechercheLineaireCriterePointeur(long nCle, int (*pfCritere)(long, void const*)) const;
    int nRechercheLineaireCriterePointeur(long nCle, int (*pfCritere)(long, void const*)) const;

    void* pGetAt(int nIndice) const { return m_pBuffer + static_cast<int64_t>(nIndice) * m_nTailleElement; }
    int nGetNbElement() const { return m_nNbElement; }
    int nGetNbAlloue() const { return m_nNbAlloue; }
    int nGetTailleElement() const { return m_nTailleElement; }
    int nGetPas() const { return m_nPas; }
    void* pGetBuffer() const { return m_pBuffer; }

    int m_nTailleElement;   // bytes per element
    int m_nNbElement;       // elements in use
    int m_nNbAlloue;        // elements the storage holds
    int m_nPas;             // elements added by one growth
    int m_nMaxVide;         // free slots SupprimeCompacte tolerates
    unsigned char* m_pBuffer;

protected:
    // Grows by exactly nDelta elements (then the step rule still applies).
    int _bAgranditDe(int64_t nDelta);
    void _Libere();
};
