#include "common/text/hash_base.h"

#include <new>

#include "common/system/xmalloc.h"
#include "common/system/xmath.h"

CListeDeBuffer* CHashBase::_pCreeBuckets(int n)
{
    if (n <= 0) return nullptr;
    auto* p = static_cast<CListeDeBuffer*>(XMALLOC_pNew_(sizeof(CListeDeBuffer) * static_cast<size_t>(n)));
    if (p == nullptr) return nullptr;
    for (int i = 0; i < n; ++i) new (p + i) CListeDeBuffer(static_cast<int>(sizeof(_stPAIRE)));
    return p;
}

void CHashBase::_DetruitBuckets(CListeDeBuffer* pBuckets, int n)
{
    if (pBuckets == nullptr) return;
    for (int i = 0; i < n; ++i) pBuckets[i].~CListeDeBuffer();
    XMALLOC_Del_(pBuckets);
}

CHashBase::CHashBase(int n)
    : m_nNiveauAgrandir(3)
    , m_nNiveauReduire(1)
    , m_nNbBuckets(0)
    , m_pBuckets(nullptr)
    , m_nNbElement(0)
{
    m_pBuckets = _pCreeBuckets(n);
    // Without memory the table starts with no bucket and grows on the first
    // addition.
    if (m_pBuckets != nullptr) m_nNbBuckets = n;
}

CHashBase::~CHashBase()
{
    _DetruitBuckets(m_pBuckets, m_nNbBuckets);
}

void CHashBase::SetNiveau(int nAgrandir, int nReduire)
{
    m_nNiveauAgrandir = nAgrandir;
    m_nNiveauReduire = nReduire;
}

int CHashBase::AjouteDYN(void* pCle, void* pValeur)
{
    if (static_cast<int64_t>(m_nNbElement) >= static_cast<int64_t>(m_nNiveauAgrandir) * m_nNbBuckets) {
        unsigned long n = static_cast<unsigned long>(m_nNbBuckets) * 2;
        while (!CXMath::bEstPremier(n)) ++n;
        if (n <= 0x7FFFFFFF) RedimensionneTable(static_cast<int>(n));
    }
    if (m_nNbBuckets <= 0) return 0;
    const _stPAIRE paire = {pCle, pValeur};
    if (!m_pBuckets[_nBucket(pCle, m_nNbBuckets)].Ajoute(&paire, 1)) return 0;
    ++m_nNbElement;
    return 1;
}

bool CHashBase::bRecherche(void* pCle, void** ppValeur, void** ppCleStockee)
{
    if (m_nNbBuckets <= 0) return false;
    CListeDeBuffer& liste = m_pBuckets[_nBucket(pCle, m_nNbBuckets)];
    for (auto* p = static_cast<_stPAIRE*>(liste.pVaSurNumero(0)); p != nullptr; liste.VaSuivant(),
               p = static_cast<_stPAIRE*>(liste.pCourant())) {
        if (bCleEgales(p->pCle, pCle)) {
            if (ppValeur != nullptr) *ppValeur = p->pValeur;
            if (ppCleStockee != nullptr) *ppCleStockee = p->pCle;
            return true;
        }
    }
    return false;
}

bool CHashBase::bRechercheConst(void* pCle, void** ppValeur, void** ppCleStockee) const
{
    if (m_nNbBuckets <= 0) return false;
    const CListeDeBuffer& liste = m_pBuckets[_nBucket(pCle, m_nNbBuckets)];
    for (CLinkedElement* pNoeud = liste.pGetTete(); pNoeud != nullptr; pNoeud = pNoeud->m_pSuivant) {
        const auto* p = reinterpret_cast<const _stPAIRE*>(pNoeud->pGetData());
        if (bCleEgales(p->pCle, pCle)) {
            if (ppValeur != nullptr) *ppValeur = p->pValeur;
            if (ppCleStockee != nullptr) *ppCleStockee = p->pCle;
            return true;
        }
    }
    return false;
}

bool CHashBase::bSupprime(void* pCle)
{
    if (!bRecherche(pCle, nullptr, nullptr)) return false;
    m_pBuckets[_nBucket(pCle, m_nNbBuckets)].SupprimeCourant();
    --m_nNbElement;
    return true;
}

bool CHashBase::bSupprimeDYN(void* pCle)
{
    if (!bSupprime(pCle)) return false;
    if (static_cast<int64_t>(m_nNbElement) < static_cast<int64_t>(m_nNiveauReduire) * m_nNbBuckets) {
        unsigned long n = static_cast<unsigned long>(m_nNbBuckets) / 2;
        while (!CXMath::bEstPremier(n)) ++n;
        if (n < 43) n = 43;
        RedimensionneTable(static_cast<int>(n));
    }
    return true;
}

void CHashBase::SupprimeCourant(int* pnBucket, void** ppValeur, void** ppCle)
{
    if (*pnBucket < 0) *pnBucket = 0;
    for (; *pnBucket < m_nNbBuckets; ++*pnBucket) {
        CListeDeBuffer& liste = m_pBuckets[*pnBucket];
        const auto* p = static_cast<const _stPAIRE*>(liste.pVaSurNumero(0));
        if (p == nullptr) continue;
        *ppValeur = p->pValeur;
        if (ppCle != nullptr) *ppCle = p->pCle;
        liste.SupprimeCourant();
        --m_nNbElement;
        return;
    }
    *ppValeur = nullptr;
}

void CHashBase::RedimensionneTable(int n)
{
    if (n < 1 || n == m_nNbBuckets) return;
    CListeDeBuffer* pNouveaux = _pCreeBuckets(n);
    if (pNouveaux == nullptr) return;
    // Every pair is copied into the new buckets before the old ones go, in
    // the order they would be taken out one by one (bucket by bucket, head
    // first), so that a node that cannot be had loses nothing.
    for (int b = 0; b < m_nNbBuckets; ++b) {
        for (CLinkedElement* pNoeud = m_pBuckets[b].pGetTete(); pNoeud != nullptr; pNoeud = pNoeud->m_pSuivant) {
            const auto* p = reinterpret_cast<const _stPAIRE*>(pNoeud->pGetData());
            if (!pNouveaux[_nBucket(p->pCle, n)].Ajoute(p, 1)) {
                _DetruitBuckets(pNouveaux, n);
                return;
            }
        }
    }
    _DetruitBuckets(m_pBuckets, m_nNbBuckets);
    m_pBuckets = pNouveaux;
    m_nNbBuckets = n;
}

void CHashBase::SupprimeTout()
{
    if (m_nNbElement == 0) return;
    for (int b = 0; b < m_nNbBuckets; ++b) m_pBuckets[b].SupprimeTout();
    m_nNbElement = 0;
}
