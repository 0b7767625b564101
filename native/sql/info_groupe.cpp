// The driver's copy of a GROUP BY element.
#include "native/sql/info_groupe.h"

namespace {

// The copies answer an empty text, never null, for a missing part.
const wchar_t* pszOrEmpty(const wchar_t* psz)
{
    return psz != nullptr ? psz : L"";
}

}  // namespace

CInfoGroupe::CInfoGroupe(const IInfoGroupe* piSource)
{
    if (piSource == nullptr)
        return;
    m_csAlias.Set(piSource->pszGetAlias());
    m_bAvecTable = piSource->bIsAvecTable();
    m_csNomTable.Set(piSource->pszGetNomTable());
    m_csNomRubrique.Set(piSource->pszGetNomRubrique());
    m_stPosition = piSource->stGetPosition();
    m_csNomFichier.Set(piSource->pszGetNomFichier());
    m_csNomRubriqueAlias.Set(piSource->pszGetNomRubriqueAlias());
}

const wchar_t* CInfoGroupe::pszGetAlias() const
{
    return pszOrEmpty(m_csAlias.pszGet());
}

const wchar_t* CInfoGroupe::pszGetNomTable() const
{
    return pszOrEmpty(m_csNomTable.pszGet());
}

const wchar_t* CInfoGroupe::pszGetNomRubrique() const
{
    return pszOrEmpty(m_csNomRubrique.pszGet());
}

const wchar_t* CInfoGroupe::pszGetNomFichier() const
{
    return pszOrEmpty(m_csNomFichier.pszGet());
}

const wchar_t* CInfoGroupe::pszGetNomRubriqueAlias() const
{
    return pszOrEmpty(m_csNomRubriqueAlias.pszGet());
}

unsigned CInfoGroupe::nRelease()
{
    if (m_dwRefCount == 0)
        return 0;
    const unsigned nNew = --m_dwRefCount;
    if (nNew == 0)
        delete this;
    return nNew;
}
