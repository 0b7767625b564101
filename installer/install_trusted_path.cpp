#include "installer/install_trusted_path.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "common/system/file_name_text.h"
#include "common/text/ct_string.h"
#include "installer/install_entry_name.h"
#include "installer/install_messages.h"
#include "installer/install_text_output.h"

namespace {

int nRefuse(stRefusChemin& refus, eRefusChemin e, const std::string& sChemin, bool bRepertoire, int nErrno = 0)
{
    refus.eRefus = e;
    refus.nErrno = nErrno;
    refus.sChemin = sChemin;
    refus.bRepertoire = bRepertoire;
    return -1;
}

}  // namespace

bool bProprietaireDeConfiance(uid_t uid)
{
    return uid == 0 || uid == geteuid();
}

eRefusChemin eRepertoireSur(const struct stat& stRepertoire, const struct stat& stEnfant)
{
    if (!bProprietaireDeConfiance(stRepertoire.st_uid))
        return REFUS_CHEMIN_PROPRIETAIRE;
    if ((stRepertoire.st_mode & (S_IWGRP | S_IWOTH)) != 0 &&
        ((stRepertoire.st_mode & S_ISVTX) == 0 || !bProprietaireDeConfiance(stEnfant.st_uid)))
        return REFUS_CHEMIN_ECRITURE;
    return REFUS_CHEMIN_AUCUN;
}

eRefusChemin eFichierSur(const struct stat& st)
{
    if (!S_ISREG(st.st_mode))
        return REFUS_CHEMIN_TYPE;
    if (!bProprietaireDeConfiance(st.st_uid))
        return REFUS_CHEMIN_PROPRIETAIRE;
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return REFUS_CHEMIN_ECRITURE;
    return REFUS_CHEMIN_AUCUN;
}

int fdOuvreSansLien(const std::string& sChemin, bool bRepertoire, struct stat* pst, stRefusChemin& refus)
{
    refus = stRefusChemin{};
    if (sChemin.empty() || sChemin[0] != '/')
        return nRefuse(refus, REFUS_CHEMIN_SYSTEME, sChemin, bRepertoire, EINVAL);
    int fd = open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) {
        const int nErr = errno;
        if (fd >= 0)
            close(fd);
        return nRefuse(refus, REFUS_CHEMIN_SYSTEME, "/", true, nErr);
    }
    std::string sParcouru = "/";
    size_t nDebut = 1;
    for (;;) {
        while (nDebut < sChemin.size() && sChemin[nDebut] == '/')
            ++nDebut;
        const size_t nFin = sChemin.find('/', nDebut);
        const std::string sNom = sChemin.substr(nDebut, nFin == std::string::npos ? std::string::npos : nFin - nDebut);
        size_t nSuite = nFin == std::string::npos ? sChemin.size() : nFin;
        while (nSuite < sChemin.size() && sChemin[nSuite] == '/')
            ++nSuite;
        const bool bDernier = nSuite >= sChemin.size();
        if (sNom.empty()) {
            // "/" itself: nothing above it to judge.
            if (!bRepertoire) {
                close(fd);
                return nRefuse(refus, REFUS_CHEMIN_TYPE, "/", false);
            }
            *pst = st;
            return fd;
        }
        const std::string sCourant = sParcouru + sNom;
        // O_PATH with O_NOFOLLOW opens a link itself: it is seen, never
        // followed.
        const int fdEnfant = openat(fd, sNom.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        struct stat stEnfant;
        if (fdEnfant < 0 || fstat(fdEnfant, &stEnfant) != 0) {
            const int nErr = errno;
            if (fdEnfant >= 0)
                close(fdEnfant);
            close(fd);
            return nRefuse(refus, REFUS_CHEMIN_SYSTEME, sCourant, !bDernier || bRepertoire, nErr);
        }
        const eRefusChemin eParent = eRepertoireSur(st, stEnfant);
        if (eParent != REFUS_CHEMIN_AUCUN) {
            close(fdEnfant);
            close(fd);
            return nRefuse(refus, eParent, sParcouru, true);
        }
        if (!bDernier || bRepertoire) {
            if (!S_ISDIR(stEnfant.st_mode)) {
                close(fdEnfant);
                close(fd);
                return nRefuse(refus, REFUS_CHEMIN_TYPE, sCourant, true);
            }
            close(fd);
            fd = fdEnfant;
            st = stEnfant;
            if (bDernier) {
                *pst = st;
                return fd;
            }
            sParcouru = sCourant + "/";
            nDebut = nSuite;
            continue;
        }
        // The file itself, read through a descriptor of its own: the same
        // inode as the one judged, in a directory no one else can change.
        close(fdEnfant);
        if (!S_ISREG(stEnfant.st_mode)) {
            close(fd);
            return nRefuse(refus, REFUS_CHEMIN_TYPE, sCourant, false);
        }
        const int fdFichier = openat(fd, sNom.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
        const int nErr = errno;
        close(fd);
        if (fdFichier < 0)
            return nRefuse(refus, REFUS_CHEMIN_SYSTEME, sCourant, false, nErr);
        struct stat stFichier;
        if (fstat(fdFichier, &stFichier) != 0 || stFichier.st_dev != stEnfant.st_dev ||
            stFichier.st_ino != stEnfant.st_ino) {
            close(fdFichier);
            return nRefuse(refus, REFUS_CHEMIN_TYPE, sCourant, false);
        }
        const eRefusChemin eFichier = eFichierSur(stFichier);
        if (eFichier != REFUS_CHEMIN_AUCUN) {
            close(fdFichier);
            return nRefuse(refus, eFichier, sCourant, false);
        }
        *pst = stFichier;
        return fdFichier;
    }
}

int fdOuvreFichierSur(const std::string& sRepertoire, const std::string& sNom, stRefusChemin& refus)
{
    refus = stRefusChemin{};
    const std::string sChemin = sRepertoire.empty() || sRepertoire.back() == '/' ? sRepertoire + sNom
                                                                                 : sRepertoire + "/" + sNom;
    const int fdRepertoire = open(sRepertoire.empty() ? "." : sRepertoire.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    struct stat stRepertoire;
    if (fdRepertoire < 0 || fstat(fdRepertoire, &stRepertoire) != 0) {
        const int nErr = errno;
        if (fdRepertoire >= 0)
            close(fdRepertoire);
        return nRefuse(refus, REFUS_CHEMIN_SYSTEME, sChemin, false, nErr);
    }
    const int fd = openat(fdRepertoire, sNom.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
    const int nErr = errno;
    if (fd < 0) {
        // A link in its place is a refusal of its own, not a missing file.
        struct stat stLien;
        const bool bLien = nErr == ELOOP && fstatat(fdRepertoire, sNom.c_str(), &stLien, AT_SYMLINK_NOFOLLOW) == 0 &&
                           S_ISLNK(stLien.st_mode);
        close(fdRepertoire);
        return bLien ? nRefuse(refus, REFUS_CHEMIN_TYPE, sChemin, false)
                     : nRefuse(refus, REFUS_CHEMIN_SYSTEME, sChemin, false, nErr);
    }
    close(fdRepertoire);
    struct stat st;
    if (fstat(fd, &st) != 0) {
        const int nErrStat = errno;
        close(fd);
        return nRefuse(refus, REFUS_CHEMIN_SYSTEME, sChemin, false, nErrStat);
    }
    eRefusChemin e = eFichierSur(st);
    if (e == REFUS_CHEMIN_AUCUN) {
        e = eRepertoireSur(stRepertoire, st);
        if (e != REFUS_CHEMIN_AUCUN) {
            close(fd);
            return nRefuse(refus, e, sRepertoire, true);
        }
        return fd;
    }
    close(fd);
    return nRefuse(refus, e, sChemin, false);
}

void AfficheRefusChemin(const stRefusChemin& refus, unsigned nMessageType)
{
    const std::wstring sChemin = sNomLarge(refus.sChemin);
    CTString sTexte;
    switch (refus.eRefus) {
    case REFUS_CHEMIN_AUCUN:
        return;
    case REFUS_CHEMIN_SYSTEME: {
        CTString sSysteme;
        sSysteme.SetANSIEx(strerror(refus.nErrno), -1, 65001);
        sTexte = sMessageInstalleur(MSG_ACCES, sChemin.c_str(), sSysteme.pszGet());
        break;
    }
    case REFUS_CHEMIN_PROPRIETAIRE:
        sTexte = sMessageInstalleur(refus.bRepertoire ? MSG_REPERTOIRE_PROPRIETAIRE : MSG_FICHIER_PROPRIETAIRE,
                                    sChemin.c_str());
        break;
    case REFUS_CHEMIN_ECRITURE:
        sTexte = sMessageInstalleur(refus.bRepertoire ? MSG_REPERTOIRE_ECRITURE : MSG_FICHIER_ECRITURE,
                                    sChemin.c_str());
        break;
    case REFUS_CHEMIN_TYPE:
        sTexte = sMessageInstalleur(refus.bRepertoire ? MSG_REPERTOIRE_TYPE : nMessageType, sChemin.c_str());
        break;
    }
    EcritErreurStd(sTexte.pszGet());
}
