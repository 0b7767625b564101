#include "installer/install_plan.h"

#include <climits>
#include <cwctype>
#include <unordered_map>

#include "installer/install_entry_name.h"
#include "installer/install_program.h"
#include "installer/repertoire.h"

namespace {

std::wstring sReplie(const std::wstring& s)
{
    std::wstring r = s;
    for (wchar_t& c : r)
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return r;
}

}  // namespace

// A component of the tree of final paths, keyed by its folded form.
struct CPlanInstallation::stNoeud
{
    std::wstring sExact;  // as the entry that made it writes it
    long nEntree = -1;    // that entry's position
    bool bFichier = false;
    std::unordered_map<std::wstring, std::unique_ptr<stNoeud>> enfants;
};

CPlanInstallation::CPlanInstallation() = default;
CPlanInstallation::~CPlanInstallation() = default;

CPlanInstallation::eRefus CPlanInstallation::eConstruit(const CRepertoire& rep, size_t nLongueurCible)
{
    m_pRacine = std::make_unique<stNoeud>();
    m_aFichiers.clear();
    m_nLongueurCible = nLongueurCible;
    m_sNom.clear();
    m_sAutreNom.clear();
    for (long i = 0; i < rep.nGetNbEntrees(); ++i) {
        const CRepEntree* pEntry = rep.pclGetEntree(i);
        if (pEntry == nullptr || pEntry->bEstUnFichierFactice())
            continue;
        const eRefus e = _eAjoute(rep, i, pEntry->pszNom());
        if (e != PLAN_OK) {
            m_sNom = pEntry->pszNom();
            return e;
        }
    }
    return PLAN_OK;
}

CPlanInstallation::eRefus CPlanInstallation::_eAjoute(const CRepertoire& rep, long nPosition, const wchar_t* pszNom)
{
    stFichier fichier{static_cast<unsigned long>(nPosition), {}};
    if (!bDecoupeNomEntree(pszNom, fichier.aComposants))
        return PLAN_NOM_REFUSE;
    size_t nTotal = m_nLongueurCible;
    for (const std::string& s : fichier.aComposants) {
        if (s.size() > NAME_MAX)
            return PLAN_COMPOSANT_LONG;
        nTotal += s.size() + 1;
    }
    if (nTotal >= PATH_MAX)
        return PLAN_CHEMIN_LONG;

    // The same components in wide text: the name passed the check above, so
    // every separator bounds a non-empty component.
    std::vector<std::wstring> aLarges(1);
    for (const wchar_t* p = pszNom; *p != 0; ++p) {
        if (*p == L'/' || *p == L'\\')
            aLarges.emplace_back();
        else
            aLarges.back() += *p;
    }
    if (sReplie(aLarges.front()) == sReplie(INSTALLER_VM_LIBRARY))
        return PLAN_MODELE;

    stNoeud* pNoeud = m_pRacine.get();
    for (size_t i = 0; i < aLarges.size(); ++i) {
        const bool bFichier = i + 1 == aLarges.size();
        auto [it, bNouveau] = pNoeud->enfants.try_emplace(sReplie(aLarges[i]));
        stNoeud& enfant = *(bNouveau ? (it->second = std::make_unique<stNoeud>()) : it->second);
        if (bNouveau) {
            enfant.sExact = aLarges[i];
            enfant.nEntree = nPosition;
            enfant.bFichier = bFichier;
        } else {
            const CRepEntree* pAutre = rep.pclGetEntree(enfant.nEntree);
            m_sAutreNom = pAutre != nullptr ? pAutre->pszNom() : L"";
            if (enfant.bFichier && bFichier)
                return enfant.sExact == aLarges[i] ? PLAN_DOUBLON : PLAN_CASSE;
            if (enfant.bFichier || bFichier)
                return PLAN_FICHIER_REPERTOIRE;
            if (enfant.sExact != aLarges[i])
                return PLAN_CASSE;
            m_sAutreNom.clear();
        }
        pNoeud = &enfant;
    }
    m_aFichiers.push_back(std::move(fichier));
    return PLAN_OK;
}
