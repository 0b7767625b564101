#include "common/text/hash_table_bounce.h"

#include <climits>
#include <cstring>
#include <cwchar>

#include "common/system/xmalloc.h"
#include "common/text/str_compare.h"
#include "common/text/str_map.h"

const uint32_t CHashTableBounce::g__ToutPretToutChaud[kNbPremiers] = {
    17,        53,        97,         193,        389,        769,        1543,       3079,
    6151,      12289,     24593,      49157,      98317,      196613,     393241,     786433,
    1572869,   3145739,   6291469,    12582917,   25165843,   50331653,   100663319,  201326611,
    402653189, 805306457, 1610612741, 3221225473, 4294967291,
};

namespace {

uint32_t dwTaillePool(int nIndice)
{
    return CHashTableBounce::g__ToutPretToutChaud[nIndice] / 2;
}

}  // namespace

CHashTableBounce::CHashTableBounce(unsigned int n)
    : m_pPool(nullptr)
    , m_dwTaillePool(0)
    , m_dwTeteLibre(0)
    , m_pBuckets(nullptr)
    , m_dwNbBuckets(0)
    , m_dwNbElement(0)
    , m_nNbParcours(0)
    , m_pfCmp(nullptr)
    , m_pfHash(nullptr)
    , m_nIndiceTaille(-1)
{
    _stELEMENT* pPool;
    uint32_t* pBuckets;
    int nIndice;
    if (_bPrepare(n, &pPool, &pBuckets, &nIndice))
        _Adopte(pPool, pBuckets, nIndice);
    else
        m_nIndiceTaille = nIndice - 1;  // without memory: the first addition grows to the size asked
}

CHashTableBounce::~CHashTableBounce()
{
    XMALLOC_Del_(m_pPool);
    XMALLOC_Del_(m_pBuckets);
}

bool CHashTableBounce::_bPrepare(unsigned int n, _stELEMENT** ppPool, uint32_t** ppBuckets, int* pnIndice) const
{
    int i = 0;
    while (i < kNbPremiers - 1 && dwTaillePool(i) < n) ++i;
    *pnIndice = i;
    *ppPool = static_cast<_stELEMENT*>(XMALLOC_pNew_(sizeof(_stELEMENT) * dwTaillePool(i)));
    *ppBuckets = static_cast<uint32_t*>(XMALLOC_pNew_(sizeof(uint32_t) * g__ToutPretToutChaud[i]));
    if (*ppPool == nullptr || *ppBuckets == nullptr) {
        XMALLOC_Del_(*ppPool);
        XMALLOC_Del_(*ppBuckets);
        return false;
    }
    return true;
}

void CHashTableBounce::_Adopte(_stELEMENT* pPool, uint32_t* pBuckets, int nIndice)
{
    XMALLOC_Del_(m_pPool);
    XMALLOC_Del_(m_pBuckets);
    m_pPool = pPool;
    m_pBuckets = pBuckets;
    m_nIndiceTaille = nIndice;
    m_dwTaillePool = dwTaillePool(nIndice);
    m_dwNbBuckets = g__ToutPretToutChaud[nIndice];
    _Vide();
}

void CHashTableBounce::_Vide()
{
    if (m_dwTaillePool > 0) {
        _ChaineLibres(1, m_dwTaillePool);
        m_pPool[m_dwTaillePool - 1].dwSuivant = 0;
        m_dwTeteLibre = 1;
    } else {
        m_dwTeteLibre = 0;
    }
    if (m_pBuckets != nullptr) std::memset(m_pBuckets, 0, sizeof(uint32_t) * m_dwNbBuckets);
    m_dwNbElement = 0;
}

// Slots dwDe .. dwA become free, each chained to the next; the caller sets
// the last one's successor.
void CHashTableBounce::_ChaineLibres(uint32_t dwDe, uint32_t dwA)
{
    for (uint32_t k = dwDe; k <= dwA; ++k) {
        _stELEMENT& e = _Elem(k);
        e.pCle = nullptr;
        e.pValeur = nullptr;
        e.dwPrecedent = kLibre;
        e.dwSuivant = k + 1;
    }
}

void CHashTableBounce::SetCmp(PFCMP pfCmp)
{
    m_pfCmp = pfCmp;
}

void CHashTableBounce::SetHashVal(PFHASH pfHash)
{
    m_pfHash = pfHash;
}

CHashTableBounce::PFCMP CHashTableBounce::pfGetCmp() const
{
    return m_pfCmp;
}

CHashTableBounce::PFHASH CHashTableBounce::pfGetHashVal() const
{
    return m_pfHash;
}

unsigned int CHashTableBounce::dwGetNumElement() const
{
    return m_dwNbElement;
}

uint32_t CHashTableBounce::_dwTrouve(void const* pCle) const
{
    if (m_dwNbElement == 0) return 0;
    for (uint32_t k = m_pBuckets[_dwBucket(pCle)]; k != 0; k = _Elem(k).dwSuivant) {
        if (m_pfCmp(pCle, _Elem(k).pCle) == 0) return k;
    }
    return 0;
}

int CHashTableBounce::bAddElement(void* pCle, void* pValeur)
{
    if (m_dwTeteLibre == 0 && (!__bGrow() || m_dwTeteLibre == 0)) return 0;
    const uint32_t k = m_dwTeteLibre;
    _stELEMENT& e = _Elem(k);
    m_dwTeteLibre = e.dwSuivant;
    const uint32_t b = _dwBucket(pCle);
    e.pCle = pCle;
    e.pValeur = pValeur;
    e.dwPrecedent = 0;
    e.dwSuivant = m_pBuckets[b];
    if (m_pBuckets[b] != 0) _Elem(m_pBuckets[b]).dwPrecedent = k;
    m_pBuckets[b] = k;
    ++m_dwNbElement;
    return 1;
}

void CHashTableBounce::_LibereElement(uint32_t k)
{
    _stELEMENT& e = _Elem(k);
    if (e.dwSuivant != 0) _Elem(e.dwSuivant).dwPrecedent = e.dwPrecedent;
    if (e.dwPrecedent != 0)
        _Elem(e.dwPrecedent).dwSuivant = e.dwSuivant;
    else
        m_pBuckets[_dwBucket(e.pCle)] = e.dwSuivant;
    e.pCle = nullptr;
    e.pValeur = nullptr;
    e.dwPrecedent = kLibre;
    e.dwSuivant = m_dwTeteLibre;
    m_dwTeteLibre = k;
    --m_dwNbElement;
}

int CHashTableBounce::bGetElement(void const* pCle, void** ppValeur, void** ppCleStockee) const
{
    const uint32_t k = _dwTrouve(pCle);
    if (k == 0) return 0;
    if (ppValeur != nullptr) *ppValeur = _Elem(k).pValeur;
    if (ppCleStockee != nullptr) *ppCleStockee = _Elem(k).pCle;
    return 1;
}

void** CHashTableBounce::pGetElement(void const* pCle)
{
    const uint32_t k = _dwTrouve(pCle);
    return k == 0 ? nullptr : &_Elem(k).pValeur;
}

int CHashTableBounce::bDeleteElement(void const* pCle, void** ppValeur, void** ppCleStockee)
{
    const uint32_t k = _dwTrouve(pCle);
    if (k == 0) return 0;
    if (ppValeur != nullptr) *ppValeur = _Elem(k).pValeur;
    if (ppCleStockee != nullptr) *ppCleStockee = _Elem(k).pCle;
    _LibereElement(k);
    // The element is gone whatever the shrink does: a shrink that cannot get
    // its memory leaves the table larger, which is harmless.
    if (m_nNbParcours <= 0 && m_nIndiceTaille > 0 && m_dwNbElement < g__ToutPretToutChaud[m_nIndiceTaille - 1] / 4)
        __bReduce();
    return 1;
}

int CHashTableBounce::bParseTable(unsigned int* pdwCurseur, int bSupprime, void** ppValeur, void** ppCle)
{
    if (*pdwCurseur == kFinParcours) return 0;
    if (*pdwCurseur == 0) {
        if (m_dwNbElement == 0) return 0;
        ++m_nNbParcours;
    }
    for (uint32_t k = *pdwCurseur + 1; k <= m_dwTaillePool; ++k) {
        _stELEMENT& e = _Elem(k);
        if (e.dwPrecedent == kLibre) continue;
        if (ppValeur != nullptr) *ppValeur = e.pValeur;
        if (ppCle != nullptr) *ppCle = e.pCle;
        if (bSupprime) _LibereElement(k);
        *pdwCurseur = k;
        return 1;
    }
    StopParsing();
    *pdwCurseur = kFinParcours;
    return 0;
}

void CHashTableBounce::StopParsing()
{
    if (m_nNbParcours > 0) --m_nNbParcours;
}

int CHashTableBounce::__bGrow()
{
    const int nIndice = m_nIndiceTaille + 1;
    if (nIndice >= kNbPremiers) return 0;
    const uint32_t dwAncien = m_dwTaillePool;
    const uint32_t dwNouveau = dwTaillePool(nIndice);
    // Both blocks are had before anything changes: a failure leaves the table
    // at its size, with its elements (a pool block that did grow is kept).
    void* pPool = XMALLOC_pResize_(m_pPool, sizeof(_stELEMENT) * dwNouveau);
    if (pPool == nullptr) return 0;
    m_pPool = static_cast<_stELEMENT*>(pPool);
    auto* pBuckets = static_cast<uint32_t*>(XMALLOC_pNew_(sizeof(uint32_t) * g__ToutPretToutChaud[nIndice]));
    if (pBuckets == nullptr) return 0;
    XMALLOC_Del_(m_pBuckets);
    m_pBuckets = pBuckets;
    m_dwNbBuckets = g__ToutPretToutChaud[nIndice];
    m_dwTaillePool = dwNouveau;
    m_nIndiceTaille = nIndice;
    _ChaineLibres(dwAncien + 1, dwNouveau);
    _Elem(dwNouveau).dwSuivant = m_dwTeteLibre;
    m_dwTeteLibre = dwAncien + 1;
    __RehashElement();
    return 1;
}

int CHashTableBounce::__bReduce()
{
    if (m_nIndiceTaille <= 0) return 0;
    int nIndice = m_nIndiceTaille - 1;
    while (nIndice > 0 && m_dwNbElement < dwTaillePool(nIndice - 1)) --nIndice;
    const uint32_t dwNouveau = dwTaillePool(nIndice);
    // The new buckets first: without them the shrink is given up before any
    // element moves.
    auto* pBuckets = static_cast<uint32_t*>(XMALLOC_pNew_(sizeof(uint32_t) * g__ToutPretToutChaud[nIndice]));
    if (pBuckets == nullptr) return 0;
    __Compact(dwNouveau);
    // A pool block that cannot shrink is kept as it is.
    if (void* pPool = XMALLOC_pResize_(m_pPool, sizeof(_stELEMENT) * dwNouveau)) m_pPool = static_cast<_stELEMENT*>(pPool);
    XMALLOC_Del_(m_pBuckets);
    m_pBuckets = pBuckets;
    m_dwNbBuckets = g__ToutPretToutChaud[nIndice];
    m_dwTaillePool = dwNouveau;
    m_nIndiceTaille = nIndice;
    __RehashElement();
    return 1;
}

void CHashTableBounce::__Compact(unsigned int n)
{
    // Used elements at or above slot n + 1 move into the lowest free slots,
    // the top ones first; their chain neighbours follow them.
    uint32_t dwLibre = 1;
    for (uint32_t k = m_dwTaillePool; k > n; --k) {
        if (_Elem(k).dwPrecedent == kLibre) continue;
        while (dwLibre <= n && _Elem(dwLibre).dwPrecedent != kLibre) ++dwLibre;
        if (dwLibre > n) break;
        _stELEMENT& e = _Elem(dwLibre);
        e = _Elem(k);
        if (e.dwPrecedent != 0)
            _Elem(e.dwPrecedent).dwSuivant = dwLibre;
        else
            m_pBuckets[_dwBucket(e.pCle)] = dwLibre;
        if (e.dwSuivant != 0) _Elem(e.dwSuivant).dwPrecedent = dwLibre;
        _Elem(k).dwPrecedent = kLibre;
        ++dwLibre;
    }
    // The free slots below n, the highest first.
    m_dwTeteLibre = 0;
    for (uint32_t k = 1; k <= n && k <= m_dwTaillePool; ++k) {
        if (_Elem(k).dwPrecedent != kLibre) continue;
        _Elem(k).dwSuivant = m_dwTeteLibre;
        m_dwTeteLibre = k;
    }
}

void CHashTableBounce::__RehashElement()
{
    if (m_pBuckets == nullptr) return;
    std::memset(m_pBuckets, 0, sizeof(uint32_t) * m_dwNbBuckets);
    uint32_t dwVus = 0;
    for (uint32_t k = 1; k <= m_dwTaillePool && dwVus < m_dwNbElement; ++k) {
        _stELEMENT& e = _Elem(k);
        if (e.dwPrecedent == kLibre) continue;
        ++dwVus;
        const uint32_t b = _dwBucket(e.pCle);
        e.dwPrecedent = 0;
        e.dwSuivant = m_pBuckets[b];
        if (m_pBuckets[b] != 0) _Elem(m_pBuckets[b]).dwPrecedent = k;
        m_pBuckets[b] = k;
    }
}

void CHashTableBounce::DeleteAll(unsigned int n)
{
    if (m_dwNbElement == 0) return;
    _stELEMENT* pPool;
    uint32_t* pBuckets;
    int nIndice;
    if (_bPrepare(n == 0 ? 7 : n, &pPool, &pBuckets, &nIndice))
        _Adopte(pPool, pBuckets, nIndice);
    else
        _Vide();  // without memory for the new size the table is emptied at its own
}

int CHashTableBounce::bParseSetElement(unsigned int dwPosition, void* pValeur, void** ppAncienneValeur)
{
    if (dwPosition == 0 || dwPosition > m_dwTaillePool || _Elem(dwPosition).dwPrecedent == kLibre) return 0;
    if (ppAncienneValeur != nullptr) *ppAncienneValeur = _Elem(dwPosition).pValeur;
    _Elem(dwPosition).pValeur = pValeur;
    return 1;
}

int CHashTableBounce::bParseSetKey(unsigned int dwPosition, void* pCle, void** ppAncienneCle)
{
    if (dwPosition == 0 || dwPosition > m_dwTaillePool || _Elem(dwPosition).dwPrecedent == kLibre) return 0;
    if (ppAncienneCle != nullptr) *ppAncienneCle = _Elem(dwPosition).pCle;
    _Elem(dwPosition).pCle = pCle;
    return 1;
}

int CHashTableBounce::nStringLogiqueCompare(void const* pCle, void const* pCleStockee)
{
    return STR_nCompareW(static_cast<const wchar_t*>(pCle), static_cast<const wchar_t*>(pCleStockee),
                         LOCALE_FLAG_IGNORE_CASE | LOCALE_FLAG_IGNORE_ACCENTS);
}

namespace {

constexpr unsigned kMapLogique = LOCALE_FLAG_IGNORE_CASE | LOCALE_FLAG_IGNORE_ACCENTS;
// Keys whose (length + 1) x 4 bytes stay below this are mapped on the stack.
constexpr size_t kPileOctets = 1024;
// Pieces mapped one at a time when no heap area can be had: a quarter of
// the stack area, so that a map that lengthens its text still fits.
constexpr int kMorceau = static_cast<int>(kPileOctets / sizeof(wchar_t) / 4);

unsigned int Somme(const wchar_t* p, int n)
{
    unsigned int sum = 0;
    for (int i = 0; i < n; ++i) sum += static_cast<unsigned int>(p[i]);
    return sum;
}

}  // namespace

unsigned int CHashTableBounce::dwStringLogiqueHashVal(void const* pCle)
{
    const wchar_t* key = static_cast<const wchar_t*>(pCle);
    const size_t len = key ? std::wcslen(key) : 0;
    if (len == 0) return 0;
    const int n = len > static_cast<size_t>(INT_MAX / 4) ? INT_MAX / 4 : static_cast<int>(len);
    wchar_t pile[kPileOctets / sizeof(wchar_t)];
    if ((len + 1) * sizeof(wchar_t) < kPileOctets) {
        const int capacity = static_cast<int>(sizeof pile / sizeof pile[0]);
        const int written = STR_nMapStringEx(kMapLogique, pile, capacity, key, n);
        // A map that filled the area may have been cut: measured below.
        if (written < capacity - 1) return Somme(pile, written);
    }
    // The map's own measure, with room for a map longer than its text.
    int capacity = STR_nGetMapStringLenEx(kMapLogique, key, n);
    if (capacity < 2 * n + 2) capacity = 2 * n + 2;
    auto* area = static_cast<wchar_t*>(XMALLOC_pNew_(static_cast<size_t>(capacity) * sizeof(wchar_t)));
    if (area != nullptr) {
        const int written = STR_nMapStringEx(kMapLogique, area, capacity, key, n);
        const unsigned int sum = Somme(area, written);
        XMALLOC_Del_(area);
        return sum;
    }
    // Without memory: the same sum, piece by piece on the stack.
    unsigned int sum = 0;
    for (int at = 0; at < n; at += kMorceau) {
        const int piece = n - at < kMorceau ? n - at : kMorceau;
        sum += Somme(pile, STR_nMapStringEx(kMapLogique, pile, static_cast<int>(sizeof pile / sizeof pile[0]),
                                            key + at, piece));
    }
    return sum;
}
