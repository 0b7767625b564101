#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>

// What root may trust on a machine where other users own files: the
// configuration, the archive, and the directories on the way to the
// runtime's binary directory. A file or directory is trusted when it belongs
// to a trusted owner (root, or the user the installer runs as: root in
// production, themselves in the tests) and no one else may write to it.
// A directory may be passed through on the way to a child when it is trusted,
// or when it is sticky, belongs to a trusted owner and the child does too:
// then no one else can rename or remove that child (as /tmp).
//
// Paths are opened from "/" one component at a time without following a
// link, each one judged from the descriptor that was opened: what was
// checked is what is used, whatever happens to the names afterwards.

bool bProprietaireDeConfiance(uid_t uid);

enum eRefusChemin : int
{
    REFUS_CHEMIN_AUCUN = 0,
    REFUS_CHEMIN_SYSTEME,       // a system call failed (nErrno)
    REFUS_CHEMIN_PROPRIETAIRE,  // it belongs to someone else
    REFUS_CHEMIN_ECRITURE,      // someone else may write to it
    REFUS_CHEMIN_TYPE,          // a link, or not a directory or regular file where one is needed
};

struct stRefusChemin
{
    eRefusChemin eRefus = REFUS_CHEMIN_AUCUN;
    int nErrno = 0;
    std::string sChemin;        // the path concerned, UTF-8
    bool bRepertoire = false;   // whether it is a directory above the target (or the target directory)
};

// Whether a directory may be passed through on the way to that child (see
// above); the refusal names nothing, the caller knows the path.
eRefusChemin eRepertoireSur(const struct stat& stRepertoire, const struct stat& stEnfant);
// Whether root may read the file: regular, a trusted owner, no group or
// other write.
eRefusChemin eFichierSur(const struct stat& st);

// Opens an absolute path free of links, from "/" one component at a time
// with O_NOFOLLOW; every directory above the last component must be safe to
// pass (eRepertoireSur). With bRepertoire the last component must be a
// directory and comes back as an O_PATH descriptor; otherwise it is opened
// read-only, non-blocking (a FIFO never stalls the open) and must be a
// regular file. Its status goes to *pst. -1 and the refusal otherwise.
int fdOuvreSansLien(const std::string& sChemin, bool bRepertoire, struct stat* pst, stRefusChemin& refus);

// Opens a regular file in a directory named by the caller: the directory is
// opened by its name, then the file below it without following a link. The
// directory must be safe to pass to that file, the file safe to read
// (eFichierSur). -1 and the refusal otherwise.
int fdOuvreFichierSur(const std::string& sRepertoire, const std::string& sNom, stRefusChemin& refus);

// Writes the refusal: the system's text for REFUS_CHEMIN_SYSTEME, else the
// message of its reason; nMessageType is the message of a target that is a
// link or not a regular file.
void AfficheRefusChemin(const stRefusChemin& refus, unsigned nMessageType);
