#include "installer/vx_zip_base.h"

#include "installer/recursive_lock.h"

namespace {

// A field of the entry at a position, or the field's zero for a position
// the directory does not hold.
template <class T>
T ChampEntree(const CRepertoire& rep, unsigned long nPosition, T CRepEntree::*pChamp)
{
    const CRepEntree* e = rep.pclGetEntree(static_cast<long>(nPosition));
    return e != nullptr ? e->*pChamp : T{};
}

}  // namespace

CVXZipBase::CVXZipBase()
{
    bInitRecursiveMutex(&m_mutex);
}

CVXZipBase::~CVXZipBase()
{
    pthread_mutex_destroy(&m_mutex);
}

int CVXZipBase::bDebutSectionCritique()
{
    return pthread_mutex_lock(&m_mutex) == 0;
}

void CVXZipBase::FinSectionCritique()
{
    pthread_mutex_unlock(&m_mutex);
}

unsigned long CVXZipBase::dwNombreFichier()
{
    return static_cast<unsigned long>(m_clRepertoire.nGetNbFichiers());
}

int CVXZipBase::nTypeZip()
{
    return m_nTypeArchive;
}

void CVXZipBase::ForceRepVideAlaFin()
{
    m_clRepertoire.ForceRepVideAlaFin();
}

const wchar_t* CVXZipBase::pszNomFichier(unsigned long nPosition)
{
    const CRepEntree* e = m_clRepertoire.pclGetEntree(static_cast<long>(nPosition));
    return e != nullptr ? e->pszNom() : L"";
}

uint64_t CVXZipBase::dwTailleOriginale(unsigned long nPosition)
{
    return ChampEntree(m_clRepertoire, nPosition, &CRepEntree::m_oTailleOriginale);
}

uint64_t CVXZipBase::dwTailleCompresse(unsigned long nPosition)
{
    return ChampEntree(m_clRepertoire, nPosition, &CRepEntree::m_oTailleCompresse);
}

CVXZipBase::_stXFILETIME CVXZipBase::stftLitFtCreation(unsigned long nPosition)
{
    return ChampEntree(m_clRepertoire, nPosition, &CRepEntree::m_stCreation);
}

CVXZipBase::_stXFILETIME CVXZipBase::stftLitFtAcces(unsigned long nPosition)
{
    return ChampEntree(m_clRepertoire, nPosition, &CRepEntree::m_stAcces);
}

CVXZipBase::_stXFILETIME CVXZipBase::stftLitFtModif(unsigned long nPosition)
{
    return ChampEntree(m_clRepertoire, nPosition, &CRepEntree::m_stModification);
}

uint32_t CVXZipBase::dwLitAttribut(unsigned long nPosition)
{
    return ChampEntree(m_clRepertoire, nPosition, &CRepEntree::m_dwAttributs);
}

int CVXZipBase::bCrypte(unsigned long nPosition)
{
    return ChampEntree(m_clRepertoire, nPosition, &CRepEntree::m_bCrypte);
}

long CVXZipBase::lRangFichier(const wchar_t* pszName)
{
    return m_clRepertoire.lRang(pszName);
}

void CVXZipBase::SetPourcentGlobal(int nPercent)
{
    m_nPourcentGlobal = nPercent;
}

int CVXZipBase::eGetInfoFichier(unsigned long nPosition, CTString& sLine)
{
    const CRepEntree* e = m_clRepertoire.pclGetEntree(static_cast<long>(nPosition));
    if (e == nullptr)
        return 1;
    sLine = e->pszNom();
    auto size = [&](uint64_t n) {
        sLine.Add(L"\t");
        if (n != 0)
            sLine.AddPrintf(L"%llu", static_cast<unsigned long long>(n));
    };
    size(e->m_oTailleOriginale);
    size(e->m_oTailleCompresse);
    for (const _stXFILETIME* t : {&e->m_stCreation, &e->m_stModification, &e->m_stAcces})
        sLine.AddPrintf(L"\t%04u-%02u-%02u %02u:%02u:%02u", t->wYear, t->wMonth, t->wDay, t->wHour, t->wMinute,
                        t->wSecond);
    sLine.Add(L"\t");
    if (e->m_dwAttributs & 0x80000000u)
        sLine.Add(L"H");
    sLine.Add(L"\t");
    sLine.Add(e->m_bCrypte ? L"+" : L"N");
    return 0;
}
