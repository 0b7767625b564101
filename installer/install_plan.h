#pragma once

#include <memory>
#include <string>
#include <vector>

class CRepertoire;

// The set of final paths an archive would install below a target directory,
// built from its whole directory and checked before anything is written, so
// that an archive that cannot install entirely installs nothing.
//
// Refused, each with the entry (and the other entry) concerned: a name that
// could leave the target (install_entry_name.h), a component longer than a
// file name may be (NAME_MAX bytes), a path too long for the system, two
// entries of one path (the second would silently win), a file where another
// entry needs a directory ("x" and "x/y": half an install), two paths that
// differ only by case, and the runtime's own virtual-machine library at the
// top of the archive (it would replace the model of every installed file).
// Case is folded as the archive's name look-ups fold it (towupper).
class CPlanInstallation
{
public:
    enum eRefus : int
    {
        PLAN_OK = 0,
        PLAN_NOM_REFUSE,
        PLAN_COMPOSANT_LONG,
        PLAN_CHEMIN_LONG,
        PLAN_DOUBLON,
        PLAN_FICHIER_REPERTOIRE,
        PLAN_CASSE,
        PLAN_MODELE,
    };

    // One file to install: its position in the directory and its path's
    // components in UTF-8, the last one the file.
    struct stFichier
    {
        unsigned long nPosition;
        std::vector<std::string> aComposants;
    };

    CPlanInstallation();
    ~CPlanInstallation();
    CPlanInstallation(const CPlanInstallation&) = delete;
    CPlanInstallation& operator=(const CPlanInstallation&) = delete;

    // Every file entry of the directory (placeholders left out), in
    // directory order, below a target whose UTF-8 path with its final slash
    // takes nLongueurCible bytes. Stops at the first refusal.
    eRefus eConstruit(const CRepertoire& rep, size_t nLongueurCible);

    const std::vector<stFichier>& aFichiers() const { return m_aFichiers; }
    // The entry refused, and for a collision the entry it collides with.
    const std::wstring& sNom() const { return m_sNom; }
    const std::wstring& sAutreNom() const { return m_sAutreNom; }

private:
    struct stNoeud;
    eRefus _eAjoute(const CRepertoire& rep, long nPosition, const wchar_t* pszNom);

    std::unique_ptr<stNoeud> m_pRacine;
    std::vector<stFichier> m_aFichiers;
    size_t m_nLongueurCible = 0;
    std::wstring m_sNom;
    std::wstring m_sAutreNom;
};
