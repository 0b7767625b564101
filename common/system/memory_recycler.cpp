#include "common/system/memory_recycler.h"

#include <cstdlib>

CRecycleurMemoire* CRecycleurMemoire::ms_pclListeRecycleur = nullptr;

namespace {

// The link to the next held block lies in the block's first bytes.
void*& Suivant(void* pBloc)
{
    return *static_cast<void**>(pBloc);
}

}  // namespace

CRecycleurMemoire::CRecycleurMemoire(size_t nTailleBloc)
    : m_pclSuivant(ms_pclListeRecycleur),
      m_pLibre(nullptr),
      m_nNbBloc(0),
      m_nTailleBloc(nTailleBloc < sizeof(void*) ? sizeof(void*) : nTailleBloc)
{
    ms_pclListeRecycleur = this;
}

CRecycleurMemoire::~CRecycleurMemoire()
{
    Vide();
    for (CRecycleurMemoire** ppcl = &ms_pclListeRecycleur; *ppcl != nullptr; ppcl = &(*ppcl)->m_pclSuivant) {
        if (*ppcl == this) {
            *ppcl = m_pclSuivant;
            break;
        }
    }
}

void* CRecycleurMemoire::_pDepile()
{
    void* pBloc = m_pLibre;
    m_pLibre = Suivant(pBloc);
    --m_nNbBloc;
    return pBloc;
}

void* CRecycleurMemoire::pAlloue()
{
    if (m_pLibre != nullptr)
        return _pDepile();
    return malloc(m_nTailleBloc);
}

void CRecycleurMemoire::Recycle(void* pBloc)
{
    if (pBloc == nullptr)
        return;
    Suivant(pBloc) = m_pLibre;
    m_pLibre = pBloc;
    ++m_nNbBloc;
}

void CRecycleurMemoire::Vide()
{
    // The count equals the length of the list: this frees as many blocks as
    // the count says, and never pops past the end.
    while (m_pLibre != nullptr)
        free(_pDepile());
}

void CRecycleurMemoire::s_VideListe()
{
    for (CRecycleurMemoire* pcl = ms_pclListeRecycleur; pcl != nullptr; pcl = pcl->m_pclSuivant)
        pcl->Vide();
}
