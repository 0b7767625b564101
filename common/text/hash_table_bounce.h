#pragma once

#include <cstdint>

// Open hash table from an opaque pointer-size key to an opaque pointer-size
// value, with pluggable comparison (0 = equal) and hash functions. Elements
// live in one pool and are chained per bucket through 1-based pool indexes;
// bucket counts come from a list of 29 primes and the pool holds half the
// current prime, so the load never exceeds one half.
//
// - bAddElement never looks for an equal key: duplicates are kept, the newest
//   first in its chain until the next rehash (which rebuilds every chain in
//   ascending pool order, so the higher pool slot then comes first).
// - Look-ups, removals and walks hand back the VALUE in their first
//   out-parameter and the KEY in their second; either may be null.
// - A walk starts with cursor 0 and lasts until bParseTable answers 0 or
//   StopParsing is called. While a walk is open the table never shrinks
//   (shrinking moves elements); growth never moves them, so a walk survives
//   additions (added elements may or may not be visited).
// - Memory comes from the process heap. When growth fails bAddElement answers
//   0 and the table stays as it was; when a shrink cannot get its memory the
//   table simply stays larger.
class CHashTableBounce
{
public:
    using PFCMP = int (*)(void const* pCle, void const* pCleStockee);
    using PFHASH = unsigned int (*)(void const* pCle);

    struct _stELEMENT
    {
        void* pCle;
        void* pValeur;
        uint32_t dwPrecedent;  // 1-based; 0 at the chain head; kLibre while free
        uint32_t dwSuivant;    // 1-based next in the chain, or next free; 0 at the end
    };
    static_assert(sizeof(_stELEMENT) == 24);

    static constexpr uint32_t kLibre = 0xFFFFFFFFu;
    // Cursor value after a walk's end: asking again answers 0 without closing
    // the walk a second time.
    static constexpr uint32_t kFinParcours = 0xFFFFFFFFu;
    static constexpr int kNbPremiers = 29;
    static const uint32_t g__ToutPretToutChaud[kNbPremiers];

    // Functions null (the owning template installs its pair right after),
    // sized for n elements: the smallest prime whose half holds n.
    explicit CHashTableBounce(unsigned int n);
    CHashTableBounce(const CHashTableBounce&) = delete;
    CHashTableBounce& operator=(const CHashTableBounce&) = delete;

    // Virtual slots, in order.
    virtual ~CHashTableBounce();
    virtual void SetCmp(PFCMP pfCmp);
    virtual void SetHashVal(PFHASH pfHash);
    virtual unsigned int dwGetNumElement() const;
    // 1, or 0 when the pool was full and could not grow.
    virtual int bAddElement(void* pCle, void* pValeur);
    // 0 when absent; else 1 after the element is removed (the table may
    // shrink when no walk is open).
    virtual int bDeleteElement(void const* pCle, void** ppValeur, void** ppCleStockee);
    virtual int bGetElement(void const* pCle, void** ppValeur, void** ppCleStockee) const;
    // Hands back the next element from *pdwCurseur on (0 starts a walk) and
    // sets the cursor to its 1-based position; removes it when bSupprime is
    // non-zero (never shrinking). 0 at the end, which closes the walk.
    virtual int bParseTable(unsigned int* pdwCurseur, int bSupprime, void** ppValeur, void** ppCle);
    // Closes a walk left before its end.
    virtual void StopParsing();
    // Address of the stored value of the key, or null; valid until the next
    // addition or removal (growth and shrinking move the pool).
    virtual void** pGetElement(void const* pCle);
    virtual int __bGrow();
    virtual int __bReduce();
    virtual void __RehashElement();
    virtual void __Compact(unsigned int n);
    virtual PFCMP pfGetCmp() const;
    virtual PFHASH pfGetHashVal() const;
    // Empties the table and sizes it afresh for n elements (7 for 0); nothing
    // when it is already empty.
    virtual void DeleteAll(unsigned int n);
    // Replace the value (key) of the element at a 1-based position (the
    // cursor of a walk), handing back the old one; 0 when no element is
    // there. A new key must hash to the same bucket.
    virtual int bParseSetElement(unsigned int dwPosition, void* pValeur, void** ppAncienneValeur);
    virtual int bParseSetKey(unsigned int dwPosition, void* pCle, void** ppAncienneCle);

    // The loose pair of the tables keyed by names (wide texts): equal
    // without regard to case or accents (STR_nCompareW with flags 3), and the
    // 32-bit sum of the flags-3 map of the text, so that texts equal under
    // the comparison hash alike (when the host's map agrees with its
    // comparison, as the locale interface promises).
    static int nStringLogiqueCompare(void const* pCle, void const* pCleStockee);
    static unsigned int dwStringLogiqueHashVal(void const* pCle);

    // Shape, for owners and tests.
    unsigned int dwGetNbBuckets() const { return m_dwNbBuckets; }
    unsigned int dwGetTaillePool() const { return m_dwTaillePool; }
    int nGetIndiceTaille() const { return m_nIndiceTaille; }
    int nGetNbParcours() const { return m_nNbParcours; }

protected:
    // Pool and buckets for n elements, free list and heads ready; false when
    // the memory could not be had.
    bool _bPrepare(unsigned int n, _stELEMENT** ppPool, uint32_t** ppBuckets, int* pnIndice) const;
    void _Adopte(_stELEMENT* pPool, uint32_t* pBuckets, int nIndice);
    void _Vide();
    uint32_t _dwBucket(void const* pCle) const { return m_pfHash(pCle) % m_dwNbBuckets; }
    // 1-based index of the element of the key, 0 when absent.
    uint32_t _dwTrouve(void const* pCle) const;
    void _LibereElement(uint32_t dwIndice);
    void _ChaineLibres(uint32_t dwDe, uint32_t dwA);
    _stELEMENT& _Elem(uint32_t dwIndice) const { return m_pPool[dwIndice - 1]; }

    _stELEMENT* m_pPool;
    uint32_t m_dwTaillePool;
    uint32_t m_dwTeteLibre;
    uint32_t* m_pBuckets;
    uint32_t m_dwNbBuckets;
    uint32_t m_dwNbElement;
    int32_t m_nNbParcours;
    PFCMP m_pfCmp;
    PFHASH m_pfHash;
    int32_t m_nIndiceTaille;
};
