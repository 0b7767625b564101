#pragma once

#include <cstdint>

// Node of a CListeDeBuffer: one malloc'd block of 16 bytes of links followed
// by the element's bytes.
struct CLinkedElement
{
    CLinkedElement* m_pSuivant;
    CLinkedElement* m_pPrecedent;
    unsigned char* pGetData() { return reinterpret_cast<unsigned char*>(this + 1); }
};
static_assert(sizeof(CLinkedElement) == 16);

// Doubly linked list of fixed-size elements (copied byte for byte) with a
// built-in cursor: the current element and its index. It owns its nodes.
//
// A copy made with the copy constructor is a cursor over the same nodes (as
// ExtraitListe wants): it can move and read, but owns nothing and changes
// nothing; its destruction frees nothing.
class CListeDeBuffer
{
public:
    explicit CListeDeBuffer(int nTailleElement);
    CListeDeBuffer(const CListeDeBuffer& source);
    CListeDeBuffer& operator=(const CListeDeBuffer&) = delete;
    ~CListeDeBuffer();

    // Copies the element into a new node that becomes current. Before the
    // current element (bAvant non-zero; the index stays) or after it (the
    // index goes up by one). With no current element the node goes first
    // (bAvant) or last. Answers 0, changing nothing, when memory is short.
    int Ajoute(void const* pElement, int bAvant);

    void* pCourant() const { return pGetElem(m_pCourant); }
    static void* pGetElem(CLinkedElement* p) { return p == nullptr ? nullptr : p->pGetData(); }

    // Move the cursor; past an end it has no current element.
    void VaSuivant();
    void VaPrecedent();
    // Move only when there is somewhere to go; null otherwise.
    void* pVaSuivant();
    void* pVaPrecedent();
    // Makes element n current by the shortest walk (from the head, the tail or
    // the current element); null when n is not an index of the list.
    void* pVaSurNumero(int n);

    // Frees the current element; the previous one (else the new head) becomes
    // current.
    void SupprimeCourant();
    void SupprimeTout();

    // Moves the nodes from first's current element up to last's (excluded; to
    // the end when last has none) out of source into this empty list. first
    // and last are cursors over source; both end on last's element with
    // source's new shape. Nothing happens when the range is empty or last's
    // element does not lie behind first's.
    void ExtraitListe(CListeDeBuffer& source, CListeDeBuffer& premier, CListeDeBuffer& dernier);

    int nGetNbElement() const { return static_cast<int>(m_nNbElement); }
    int nGetIndiceCourant() const { return m_nIndiceCourant; }
    int nGetTailleElement() const { return m_nTailleElement; }
    CLinkedElement* pGetTete() const { return m_pTete; }
    CLinkedElement* pGetQueue() const { return m_pQueue; }

private:
    void _Recopie(const CListeDeBuffer& source);

    CLinkedElement* m_pTete;
    CLinkedElement* m_pQueue;
    CLinkedElement* m_pCourant;
    int m_nTailleElement;
    uint32_t m_nNbElement;
    int m_nIndiceCourant;
    bool m_bProprietaire;  // false for a cursor copy
};
