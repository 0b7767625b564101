#pragma once

#include "common/text/liste_de_buffer.h"

// Chained hash table: an array of buckets, each a CListeDeBuffer of 16-byte
// {key, value} pairs, whose prime bucket count doubles when the table holds
// more than grow level x buckets pairs and halves (to no fewer than 43
// buckets) when it holds fewer than shrink level x buckets. A derived class
// supplies the hash and the key equality; note that the equality answers
// non-zero when the keys are EQUAL (the opposite sense of CHashTableBounce's
// comparison).
//
// Memory comes from the process heap. A resize that cannot get its memory is
// given up (the table keeps its buckets and pairs); an addition that cannot
// get a node answers 0 and changes nothing.
class CHashBase
{
public:
    struct _stPAIRE
    {
        void* pCle;
        void* pValeur;
    };
    static_assert(sizeof(_stPAIRE) == 16);

    explicit CHashBase(int n);
    CHashBase(const CHashBase&) = delete;
    CHashBase& operator=(const CHashBase&) = delete;

    // Virtual slots, in order.
    virtual ~CHashBase();
    virtual unsigned int dwVHashVal(void* pCle) const = 0;
    virtual int bCleEgales(void* pCleStockee, void* pCle) const = 0;

    void SetNiveau(int nAgrandir, int nReduire);

    // Grows first when needed, then puts the pair in front of the current
    // element of the key's bucket (first when the bucket has none). No look-up
    // of an equal key. 1, or 0 when memory is short.
    int AjouteDYN(void* pCle, void* pValeur);
    // Appends the pair at the end of its key's bucket, without growing the
    // table and without a look-up; the new pair (the bucket's current
    // element), or null when memory is short. Installer's member.
    _stPAIRE* Ajoute(void* pCle, void* pValeur);
    // The VALUE goes to the first out-parameter and the stored KEY to the
    // second (either may be null); the bucket's cursor stays on the match.
    bool bRecherche(void* pCle, void** ppValeur, void** ppCleStockee);
    bool bRechercheConst(void* pCle, void** ppValeur, void** ppCleStockee) const;
    bool bSupprime(void* pCle);
    // bSupprime, then shrinks when the table became sparse.
    bool bSupprimeDYN(void* pCle);
    // From bucket *pnBucket on, removes the head of the first non-empty bucket
    // (advancing *pnBucket) and hands back its value and key; *ppValeur = 0
    // and *pnBucket = the bucket count when nothing is left.
    void SupprimeCourant(int* pnBucket, void** ppValeur, void** ppCle);
    // Moves every pair into n new buckets; nothing for n < 1 or n equal to
    // the bucket count.
    void RedimensionneTable(int n);
    void SupprimeTout();

    int nGetNbBuckets() const { return m_nNbBuckets; }
    int nGetNbElement() const { return m_nNbElement; }
    int nGetNiveauAgrandir() const { return m_nNiveauAgrandir; }
    int nGetNiveauReduire() const { return m_nNiveauReduire; }

private:
    static CListeDeBuffer* _pCreeBuckets(int n);
    static void _DetruitBuckets(CListeDeBuffer* pBuckets, int n);
    int _nBucket(void* pCle, int nNbBuckets) const
    {
        return static_cast<int>(dwVHashVal(pCle) % static_cast<unsigned int>(nNbBuckets));
    }

    int m_nNiveauAgrandir;
    int m_nNiveauReduire;
    int m_nNbBuckets;
    CListeDeBuffer* m_pBuckets;
    int m_nNbElement;
};
