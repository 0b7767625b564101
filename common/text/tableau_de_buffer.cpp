#include "common/text/tableau_de_buffer.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "common/system/xmalloc.h"

namespace {

// An element handed in may lie inside the array's own storage; growth can move
// the storage, so such a source is remembered by offset and found again.
class CSourceGuard
{
public:
    CSourceGuard(const CTableauDeBuffer& t, const void* p) : m_t(t), m_p(static_cast<const unsigned char*>(p))
    {
        const auto a = reinterpret_cast<uintptr_t>(p);
        const auto b = reinterpret_cast<uintptr_t>(t.m_pBuffer);
        const uintptr_t n = static_cast<uintptr_t>(t.m_nNbAlloue) * static_cast<uintptr_t>(t.m_nTailleElement);
        if (t.m_pBuffer != nullptr && a >= b && a < b + n) m_nOffset = static_cast<int64_t>(a - b);
    }
    const unsigned char* p() const { return m_nOffset < 0 ? m_p : m_t.m_pBuffer + m_nOffset; }
    int64_t nOffset() const { return m_nOffset; }

private:
    const CTableauDeBuffer& m_t;
    const unsigned char* m_p;
    int64_t m_nOffset = -1;
};

}  // namespace

CTableauDeBuffer::CTableauDeBuffer(int nTailleElement, int nPas, int nMaxVide)
    : m_nTailleElement(nTailleElement)
    , m_nNbElement(0)
    , m_nNbAlloue(0)
    , m_nPas(nPas)
    , m_nMaxVide(nMaxVide)
    , m_pBuffer(nullptr)
{
}

CTableauDeBuffer::~CTableauDeBuffer()
{
    _Libere();
}

void CTableauDeBuffer::_Libere()
{
    XMALLOC_Del_(m_pBuffer);
    m_pBuffer = nullptr;
    m_nNbElement = 0;
    m_nNbAlloue = 0;
}

int CTableauDeBuffer::Agrandir()
{
    int64_t nCroissance = m_nPas;
    if (nCroissance == 1 && m_nNbAlloue > 100 && m_nTailleElement <= 256) nCroissance = 20;
    if (nCroissance < 1 || m_nTailleElement < 1) return 0;
    const int64_t nNouveau = static_cast<int64_t>(m_nNbAlloue) + nCroissance;
    const int64_t nOctets = nNouveau * m_nTailleElement;
    if (nOctets > INT_MAX) return 0;
    void* p = XMALLOC_pResize_(m_pBuffer, static_cast<size_t>(nOctets));
    if (p == nullptr) return 0;
    m_pBuffer = static_cast<unsigned char*>(p);
    m_nNbAlloue = static_cast<int>(nNouveau);
    return 1;
}

int CTableauDeBuffer::_bAgranditDe(int64_t nDelta)
{
    if (nDelta < 1 || nDelta > INT_MAX) return 0;
    const int nPas = m_nPas;
    m_nPas = static_cast<int>(nDelta);
    const int bOk = Agrandir();
    m_nPas = nPas;
    return bOk;
}

int CTableauDeBuffer::Initialise(void const* pElement, int n)
{
    if (n <= 0) {
        _Libere();
        return 1;
    }
    const int64_t nOctets = static_cast<int64_t>(n) * m_nTailleElement;
    if (m_nTailleElement < 1 || nOctets > INT_MAX) return 0;
    // The new block is filled before the old one goes: the element may lie in it.
    auto* p = static_cast<unsigned char*>(XMALLOC_pNew_(static_cast<size_t>(nOctets)));
    if (p == nullptr) return 0;
    for (int i = 0; i < n; ++i)
        std::memcpy(p + static_cast<int64_t>(i) * m_nTailleElement, pElement, static_cast<size_t>(m_nTailleElement));
    _Libere();
    m_pBuffer = p;
    m_nNbElement = n;
    m_nNbAlloue = n;
    return 1;
}

void CTableauDeBuffer::Compacter()
{
    if (m_nNbElement == 0) {
        _Libere();
        return;
    }
    if (m_nNbAlloue == m_nNbElement) return;
    const size_t nOctets = static_cast<size_t>(m_nNbElement) * static_cast<size_t>(m_nTailleElement);
    void* p = XMALLOC_pResize_(m_pBuffer, nOctets);
    // Without memory the larger block is simply kept.
    if (p == nullptr) return;
    m_pBuffer = static_cast<unsigned char*>(p);
    m_nNbAlloue = m_nNbElement;
}

int CTableauDeBuffer::Ajoute(void const* pElement)
{
    CSourceGuard source(*this, pElement);
    if (m_nNbElement >= m_nNbAlloue && (!Agrandir() || m_nNbElement >= m_nNbAlloue)) return 0;
    std::memcpy(pGetAt(m_nNbElement), source.p(), static_cast<size_t>(m_nTailleElement));
    ++m_nNbElement;
    return 1;
}

int CTableauDeBuffer::Insere(void const* pElement, int nIndice)
{
    if (nIndice < 0 || nIndice > m_nNbElement) return 0;
    CSourceGuard source(*this, pElement);
    if (m_nNbElement >= m_nNbAlloue && (!Agrandir() || m_nNbElement >= m_nNbAlloue)) return 0;
    const size_t nTaille = static_cast<size_t>(m_nTailleElement);
    std::memmove(pGetAt(nIndice + 1), pGetAt(nIndice), static_cast<size_t>(m_nNbElement - nIndice) * nTaille);
    const unsigned char* pSource = source.p();
    // A source inside the moved range moved up with it.
    if (source.nOffset() >= static_cast<int64_t>(nIndice) * m_nTailleElement) pSource += nTaille;
    std::memcpy(pGetAt(nIndice), pSource, nTaille);
    ++m_nNbElement;
    return 1;
}

void CTableauDeBuffer::SetAt(void const* pElement, int nIndice)
{
    if (nIndice < 0 || nIndice >= m_nNbElement) return;
    std::memmove(pGetAt(nIndice), pElement, static_cast<size_t>(m_nTailleElement));
}

int CTableauDeBuffer::Etend(int nIndice, void const* pElement, void const* pRemplissage)
{
    if (nIndice < 0) return 0;
    if (nIndice < m_nNbElement) {
        SetAt(pElement, nIndice);
        return 1;
    }
    if (nIndice == m_nNbElement) return Ajoute(pElement);
    CSourceGuard element(*this, pElement);
    CSourceGuard remplissage(*this, pRemplissage);
    if (nIndice >= m_nNbAlloue) {
        if (!_bAgranditDe(static_cast<int64_t>(nIndice) + m_nPas - m_nNbAlloue) || nIndice >= m_nNbAlloue) return 0;
    }
    const size_t nTaille = static_cast<size_t>(m_nTailleElement);
    std::memcpy(pGetAt(nIndice), element.p(), nTaille);
    for (int i = m_nNbElement; i < nIndice; ++i) std::memcpy(pGetAt(i), remplissage.p(), nTaille);
    m_nNbElement = nIndice + 1;
    return 1;
}

void CTableauDeBuffer::Supprime(int nIndice, int n)
{
    if (n <= 0 || nIndice < 0 || static_cast<int64_t>(nIndice) + n > m_nNbElement) return;
    if (nIndice + n < m_nNbElement) {
        std::memmove(pGetAt(nIndice), pGetAt(nIndice + n),
                     static_cast<size_t>(m_nNbElement - nIndice - n) * static_cast<size_t>(m_nTailleElement));
    }
    m_nNbElement -= n;
}

void CTableauDeBuffer::SupprimeDernier(int n)
{
    if (n <= 0 || n > m_nNbElement) return;
    m_nNbElement -= n;
}

void CTableauDeBuffer::SupprimeCompacte(int nIndice)
{
    Supprime(nIndice, 1);
    if (m_nNbAlloue - m_nNbElement > m_nMaxVide) Compacter();
}

void CTableauDeBuffer::SupprimeToutEtLibere()
{
    if (m_pBuffer == nullptr) return;
    _Libere();
}

int CTableauDeBuffer::AlloueMemoire(int n)
{
    if (m_nNbAlloue >= n) return 1;
    return _bAgranditDe(static_cast<int64_t>(n) - m_nNbAlloue);
}

int CTableauDeBuffer::AgranditMemoire(int n)
{
    const int64_t nManque = static_cast<int64_t>(m_nNbElement) + n - m_nNbAlloue;
    if (nManque <= 0) return 1;
    if (m_nPas < 1) return 0;
    return _bAgranditDe((nManque + m_nPas - 1) / m_nPas * m_nPas);
}

int CTableauDeBuffer::_Duplique(const CTableauDeBuffer& source)
{
    if (&source == this) return 1;
    if (source.m_nTailleElement != m_nTailleElement) return 0;
    _Libere();
    if (source.m_nNbElement == 0) return 1;
    const size_t nOctets = static_cast<size_t>(source.m_nNbElement) * static_cast<size_t>(m_nTailleElement);
    void* p = XMALLOC_pNew_(nOctets);
    if (p == nullptr) return 0;
    std::memcpy(p, source.m_pBuffer, nOctets);
    m_pBuffer = static_cast<unsigned char*>(p);
    m_nNbElement = source.m_nNbElement;
    m_nNbAlloue = source.m_nNbElement;
    return 1;
}

void CTableauDeBuffer::Recupere(CTableauDeBuffer& source)
{
    _RecupereDonnees(&source);
}

void CTableauDeBuffer::_RecupereDonnees(CTableauDeBuffer* pSource)
{
    if (pSource == this) return;
    _Libere();
    m_pBuffer = pSource->m_pBuffer;
    m_nNbElement = pSource->m_nNbElement;
    m_nNbAlloue = pSource->m_nNbAlloue;
    pSource->m_pBuffer = nullptr;
    pSource->m_nNbElement = 0;
    pSource->m_nNbAlloue = 0;
}

void CTableauDeBuffer::EchangeTableau(CTableauDeBuffer* pA, CTableauDeBuffer* pB)
{
    std::swap(pA->m_nTailleElement, pB->m_nTailleElement);
    std::swap(pA->m_nNbElement, pB->m_nNbElement);
    std::swap(pA->m_nNbAlloue, pB->m_nNbAlloue);
    std::swap(pA->m_nPas, pB->m_nPas);
    std::swap(pA->m_nMaxVide, pB->m_nMaxVide);
    std::swap(pA->m_pBuffer, pB->m_pBuffer);
}

void CTableauDeBuffer::Swap(int i, int j)
{
    if (i < 0 || j < 0 || i >= m_nNbElement || j >= m_nNbElement || i == j) return;
    std::swap_ranges(static_cast<unsigned char*>(pGetAt(i)), static_cast<unsigned char*>(pGetAt(i)) + m_nTailleElement,
                     static_cast<unsigned char*>(pGetAt(j)));
}

void CTableauDeBuffer::Deplace(int nDe, int nVers)
{
    if (nDe == nVers || nDe < 0 || nVers < 0 || nDe >= m_nNbElement || nVers >= m_nNbElement) return;
    auto* p = static_cast<unsigned char*>(pGetAt(0));
    const int64_t t = m_nTailleElement;
    if (nDe < nVers)
        std::rotate(p + nDe * t, p + (nDe + 1) * t, p + (nVers + 1) * t);
    else
        std::rotate(p + nVers * t, p + nDe * t, p + (nDe + 1) * t);
}

int CTableauDeBuffer::PermuteMultiple(int n, _STBlocATrier* pBlocs, unsigned long nBlocs)
{
    if (m_nNbAlloue == 0) return 1;
    const int64_t t = m_nTailleElement;
    auto* pNouveau = static_cast<unsigned char*>(XMALLOC_pNew_(static_cast<size_t>(m_nNbAlloue * t)));
    if (pNouveau == nullptr) return 0;
    int64_t nSortie = 0;
    auto copie = [&](int64_t nDebut, int64_t nNombre) {
        if (nDebut < 0 || nNombre <= 0 || nDebut >= m_nNbElement) return;
        nNombre = std::min({nNombre, m_nNbElement - nDebut, m_nNbAlloue - nSortie});
        if (nNombre <= 0) return;
        std::memcpy(pNouveau + nSortie * t, m_pBuffer + nDebut * t, static_cast<size_t>(nNombre * t));
        nSortie += nNombre;
    };
    int64_t nDebut = 0;
    int64_t nNombre = n;
    for (unsigned long i = 0; i < nBlocs; ++i) {
        if (pBlocs[i].nDebut == nDebut + nNombre) {
            nNombre += pBlocs[i].nNombre;
        } else {
            copie(nDebut, nNombre);
            nDebut = pBlocs[i].nDebut;
            nNombre = pBlocs[i].nNombre;
        }
    }
    copie(nDebut, nNombre);
    if (nSortie < m_nNbElement) {
        std::memcpy(pNouveau + nSortie * t, m_pBuffer + nSortie * t, static_cast<size_t>((m_nNbElement - nSortie) * t));
    }
    XMALLOC_Del_(m_pBuffer);
    m_pBuffer = pNouveau;
    return 1;
}

int CTableauDeBuffer::nRechercheLineaireCriterePointeur(long nCle, int (*pfCritere)(long, void const*)) const
{
    if (m_nTailleElement != static_cast<int>(sizeof(void*))) return -1;
    for (int i = 0; i < m_nNbElement; ++i) {
        void* p;
        std::memcpy(&p, pGetAt(i), sizeof p);
        if (pfCritere(nCle, p) == 0) return i;
    }
    return -1;
}

void* CTableauDeBuffer::pRechercheLineaireCriterePointeur(long nCle, int (*pfCritere)(long, void const*)) const
{
    const int i = nRechercheLineaireCriterePointeur(nCle, pfCritere);
    if (i < 0) return nullptr;
    void* p;
    std::memcpy(&p, pGetAt(i), sizeof p);
    return p;
}
