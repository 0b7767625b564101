#include "common/text/liste_de_buffer.h"

#include <cstdlib>
#include <initializer_list>
#include <cstring>

#include "common/system/xmalloc.h"

CListeDeBuffer::CListeDeBuffer(int nTailleElement)
    : m_pTete(nullptr)
    , m_pQueue(nullptr)
    , m_pCourant(nullptr)
    , m_nTailleElement(nTailleElement)
    , m_nNbElement(0)
    , m_nIndiceCourant(-1)
    , m_bProprietaire(true)
{
}

CListeDeBuffer::CListeDeBuffer(const CListeDeBuffer& source)
    : m_pTete(source.m_pTete)
    , m_pQueue(source.m_pQueue)
    , m_pCourant(source.m_pCourant)
    , m_nTailleElement(source.m_nTailleElement)
    , m_nNbElement(source.m_nNbElement)
    , m_nIndiceCourant(source.m_nIndiceCourant)
    , m_bProprietaire(false)
{
}

CListeDeBuffer::~CListeDeBuffer()
{
    SupprimeTout();
}

int CListeDeBuffer::Ajoute(void const* pElement, int bAvant)
{
    if (!m_bProprietaire || m_nTailleElement < 0) return 0;
    auto* pNoeud = static_cast<CLinkedElement*>(XMALLOC_pNew_(sizeof(CLinkedElement) + static_cast<size_t>(m_nTailleElement)));
    if (pNoeud == nullptr) return 0;
    std::memcpy(pNoeud->pGetData(), pElement, static_cast<size_t>(m_nTailleElement));
    pNoeud->m_pSuivant = nullptr;
    pNoeud->m_pPrecedent = nullptr;

    if (m_nNbElement == 0) {
        m_pTete = m_pQueue = pNoeud;
        m_nIndiceCourant = 0;
    } else if (m_pCourant == nullptr) {
        // The cursor went past an end: before everything or after everything.
        if (bAvant) {
            pNoeud->m_pSuivant = m_pTete;
            m_pTete->m_pPrecedent = pNoeud;
            m_pTete = pNoeud;
            m_nIndiceCourant = 0;
        } else {
            pNoeud->m_pPrecedent = m_pQueue;
            m_pQueue->m_pSuivant = pNoeud;
            m_pQueue = pNoeud;
            m_nIndiceCourant = static_cast<int>(m_nNbElement);
        }
    } else if (bAvant) {
        pNoeud->m_pPrecedent = m_pCourant->m_pPrecedent;
        pNoeud->m_pSuivant = m_pCourant;
        if (m_pCourant->m_pPrecedent != nullptr)
            m_pCourant->m_pPrecedent->m_pSuivant = pNoeud;
        else
            m_pTete = pNoeud;
        m_pCourant->m_pPrecedent = pNoeud;
    } else {
        pNoeud->m_pSuivant = m_pCourant->m_pSuivant;
        pNoeud->m_pPrecedent = m_pCourant;
        if (m_pCourant->m_pSuivant != nullptr)
            m_pCourant->m_pSuivant->m_pPrecedent = pNoeud;
        else
            m_pQueue = pNoeud;
        m_pCourant->m_pSuivant = pNoeud;
        ++m_nIndiceCourant;
    }
    m_pCourant = pNoeud;
    ++m_nNbElement;
    return 1;
}

void CListeDeBuffer::VaSuivant()
{
    if (m_pCourant == nullptr) return;
    m_pCourant = m_pCourant->m_pSuivant;
    ++m_nIndiceCourant;
}

void CListeDeBuffer::VaPrecedent()
{
    if (m_pCourant == nullptr) return;
    m_pCourant = m_pCourant->m_pPrecedent;
    --m_nIndiceCourant;
}

void* CListeDeBuffer::pVaSuivant()
{
    if (m_pCourant == nullptr || m_pCourant->m_pSuivant == nullptr) return nullptr;
    m_pCourant = m_pCourant->m_pSuivant;
    ++m_nIndiceCourant;
    return m_pCourant->pGetData();
}

void* CListeDeBuffer::pVaPrecedent()
{
    if (m_pCourant == nullptr || m_pCourant->m_pPrecedent == nullptr) return nullptr;
    m_pCourant = m_pCourant->m_pPrecedent;
    --m_nIndiceCourant;
    return m_pCourant->pGetData();
}

void* CListeDeBuffer::pVaSurNumero(int n)
{
    if (n < 0 || static_cast<uint32_t>(n) >= m_nNbElement) return nullptr;
    const int64_t nDepuisTete = n;
    const int64_t nDepuisQueue = static_cast<int64_t>(m_nNbElement) - 1 - n;
    const int64_t nDepuisCourant = m_pCourant == nullptr ? INT64_MAX : std::llabs(static_cast<int64_t>(n) - m_nIndiceCourant);
    CLinkedElement* p;
    if (nDepuisTete <= nDepuisCourant && nDepuisTete <= nDepuisQueue) {
        p = m_pTete;
        for (int64_t i = 0; i < nDepuisTete; ++i) p = p->m_pSuivant;
    } else if (nDepuisQueue <= nDepuisCourant) {
        p = m_pQueue;
        for (int64_t i = 0; i < nDepuisQueue; ++i) p = p->m_pPrecedent;
    } else {
        p = m_pCourant;
        if (n > m_nIndiceCourant)
            for (int64_t i = 0; i < nDepuisCourant; ++i) p = p->m_pSuivant;
        else
            for (int64_t i = 0; i < nDepuisCourant; ++i) p = p->m_pPrecedent;
    }
    m_pCourant = p;
    m_nIndiceCourant = n;
    return p->pGetData();
}

void CListeDeBuffer::SupprimeCourant()
{
    if (!m_bProprietaire || m_pCourant == nullptr) return;
    CLinkedElement* pPrecedent = m_pCourant->m_pPrecedent;
    CLinkedElement* pSuivant = m_pCourant->m_pSuivant;
    if (pPrecedent != nullptr)
        pPrecedent->m_pSuivant = pSuivant;
    else
        m_pTete = pSuivant;
    if (pSuivant != nullptr)
        pSuivant->m_pPrecedent = pPrecedent;
    else
        m_pQueue = pPrecedent;
    XMALLOC_Del_(m_pCourant);
    --m_nNbElement;
    if (pPrecedent != nullptr) {
        m_pCourant = pPrecedent;
        --m_nIndiceCourant;
    } else {
        m_pCourant = m_pTete;
        if (m_nNbElement == 0) m_nIndiceCourant = -1;
    }
}

void CListeDeBuffer::SupprimeTout()
{
    if (!m_bProprietaire || m_nNbElement == 0) return;
    for (CLinkedElement* p = m_pTete; p != nullptr;) {
        CLinkedElement* pSuivant = p->m_pSuivant;
        XMALLOC_Del_(p);
        p = pSuivant;
    }
    m_pTete = m_pQueue = m_pCourant = nullptr;
    m_nNbElement = 0;
    m_nIndiceCourant = -1;
}

void CListeDeBuffer::ExtraitListe(CListeDeBuffer& source, CListeDeBuffer& premier, CListeDeBuffer& dernier)
{
    if (!m_bProprietaire || !source.m_bProprietaire || m_nNbElement != 0 || m_nTailleElement != source.m_nTailleElement)
        return;
    CLinkedElement* pDebut = premier.m_pCourant;
    CLinkedElement* pFin = dernier.m_pCourant;
    if (pDebut == nullptr || pDebut == pFin) return;

    // Count the range, making sure last's element lies behind first's.
    uint32_t n = 0;
    bool bCourantDedans = false;
    CLinkedElement* pDernierNoeud = nullptr;
    for (CLinkedElement* p = pDebut; p != pFin; p = p->m_pSuivant) {
        if (p == nullptr) return;
        if (p == source.m_pCourant) bCourantDedans = true;
        pDernierNoeud = p;
        ++n;
    }
    const int nIndiceDebut = premier.m_nIndiceCourant;

    CLinkedElement* pAvant = pDebut->m_pPrecedent;
    if (pAvant != nullptr)
        pAvant->m_pSuivant = pFin;
    else
        source.m_pTete = pFin;
    if (pFin != nullptr)
        pFin->m_pPrecedent = pAvant;
    else
        source.m_pQueue = pAvant;
    source.m_nNbElement -= n;
    if (bCourantDedans) {
        source.m_pCourant = pFin;
        source.m_nIndiceCourant = nIndiceDebut;
    } else if (source.m_nIndiceCourant > nIndiceDebut) {
        source.m_nIndiceCourant -= static_cast<int>(n);
    }
    if (source.m_nNbElement == 0) {
        source.m_pCourant = nullptr;
        source.m_nIndiceCourant = -1;
    }

    pDebut->m_pPrecedent = nullptr;
    pDernierNoeud->m_pSuivant = nullptr;
    m_pTete = m_pCourant = pDebut;
    m_pQueue = pDernierNoeud;
    m_nNbElement = n;
    m_nIndiceCourant = 0;

    // Last's element now sits where the range began.
    for (CListeDeBuffer* pCurseur : {&premier, &dernier}) {
        pCurseur->m_pTete = source.m_pTete;
        pCurseur->m_pQueue = source.m_pQueue;
        pCurseur->m_nNbElement = source.m_nNbElement;
        pCurseur->m_pCourant = pFin;
        pCurseur->m_nIndiceCourant = nIndiceDebut;
    }
}
