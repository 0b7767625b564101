#include "installer/install_program.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/system/dllres.h"
#include "common/system/file_name_text.h"
#include "common/system/information.h"
#include "common/system/process.h"
#include "common/system/utf8_locale.h"
#include "common/text/ct_string.h"
#include "installer/command_line_record.h"
#include "installer/data_extractor.h"
#include "installer/install_configuration.h"
#include "installer/install_entry_name.h"
#include "installer/install_messages.h"
#include "installer/install_text_output.h"
#include "installer/install_trusted_path.h"
#include "installer/str_mem_alloc.h"

namespace {

void AfficheAcces(const wchar_t* pszNom, int nErrno)
{
    CTString sSysteme;
    sSysteme.SetANSIEx(strerror(nErrno), -1, 65001);  // the system writes UTF-8
    const CTString sTexte = sMessageInstalleur(MSG_ACCES, pszNom, sSysteme.pszGet());
    EcritErreurStd(sTexte.pszGet());
}

void Affiche(unsigned nId, const wchar_t* pszNom)
{
    const CTString sTexte = sMessageInstalleur(nId, pszNom);
    EcritErreurStd(sTexte.pszGet());
}

}  // namespace

void SegVHandler(int)
{
    perror("Internal error ");
    exit(-1);
}

void ChildHandler(int) {}

int bDoInstall()
{
    return bDoInstall(stInstallerPaths{});
}

int bDoInstall(const stInstallerPaths& paths)
{
    std::wstring sRepertoire;
    if (!bLitBinPath(paths.pszConfiguration, sRepertoire))
        return 0;
    if (sRepertoire.empty()) {
        EcritErreurStd(sMessageInstalleur(MSG_PAS_DE_BINPATH).pszGet());
        return 0;
    }
    for (wchar_t& c : sRepertoire)
        if (c == L'\\')
            c = L'/';
    if (sRepertoire.back() != L'/')
        sRepertoire += L'/';
    if (sRepertoire.size() >= PATH_MAX - 1 || sRepertoire.size() + wcslen(INSTALLER_VM_LIBRARY) >= PATH_MAX) {
        AfficheAcces(sRepertoire.c_str(), ENAMETOOLONG);
        return 0;
    }
    // A relative path would be taken from the administrator's working
    // directory, wherever that is.
    if (sRepertoire[0] != L'/') {
        Affiche(MSG_BINPATH_RELATIF, sRepertoire.c_str());
        return 0;
    }

    // Resolved once (a link root placed there on purpose still works), then
    // never looked up by name again: everything below works from the one
    // descriptor opened on the resolved path.
    CUTF8Name nom(sRepertoire.c_str());
    char* pszResolu = nom.bOk() ? realpath(nom.psz(), nullptr) : nullptr;
    if (pszResolu == nullptr) {
        const int nErr = nom.bOk() ? errno : EILSEQ;
        // The library is looked for first: a missing directory is reported
        // as its missing library.
        if (nErr == ENOENT || nErr == ENOTDIR)
            AfficheAcces(INSTALLER_VM_LIBRARY, nErr);
        else
            AfficheAcces(sRepertoire.c_str(), nErr);
        return 0;
    }
    const std::string sResolu = pszResolu;
    std::free(pszResolu);
    std::wstring sCible = sNomLarge(sResolu);
    if (sCible.back() != L'/')
        sCible += L'/';
    if (paths.pfnApresResolution != nullptr)
        paths.pfnApresResolution(paths.pContexte, sCible.c_str());

    stRefusChemin refus;
    struct stat stRepertoire;
    const int fdRepertoire = fdOuvreSansLien(sResolu, true, &stRepertoire, refus);
    if (fdRepertoire < 0) {
        AfficheRefusChemin(refus, 0);
        return 0;
    }
    int bResultat = 0;
    const CUTF8Name modele(INSTALLER_VM_LIBRARY);
    const int fdModele = openat(fdRepertoire, modele.psz(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat stModele;
    if (fdModele < 0) {
        if (errno == ELOOP)
            Affiche(MSG_MODELE_TYPE, (sCible + INSTALLER_VM_LIBRARY).c_str());
        else
            AfficheAcces(INSTALLER_VM_LIBRARY, errno);
    } else if (fstat(fdModele, &stModele) != 0) {
        AfficheAcces(INSTALLER_VM_LIBRARY, errno);
    } else if (!S_ISREG(stModele.st_mode)) {
        Affiche(MSG_MODELE_TYPE, (sCible + INSTALLER_VM_LIBRARY).c_str());
    } else {
        // The model's permission bits, never its set-id or sticky bits, and
        // no write for group or others whatever the model allows.
        const unsigned nMode = stModele.st_mode & 0777 & ~static_cast<unsigned>(S_IWGRP | S_IWOTH);
        CDataExtractor extracteur(0);
        extracteur.SetAvantRenommage(paths.pfnAvantRenommage, paths.pContexte);
        const int bOuvert = paths.pszArchive != nullptr ? extracteur.bOuvre(paths.pszArchive)
                                                         : extracteur.bInit(INSTALLER_ARCHIVE);
        bResultat = bOuvert && extracteur.bInstallDans(fdRepertoire, sCible.c_str(), nMode, stModele.st_uid,
                                                       stModele.st_gid)
                        ? 1
                        : 0;
    }
    if (fdModele >= 0)
        close(fdModele);
    close(fdRepertoire);
    return bResultat;
}

int nInstallerMain(int argc, char** argv, uid_t uidReel, const stInstallerPaths& paths)
{
    DLLRES_bInit(nullptr, 0);
    CStrMemAlloc* pAllocateur = CStrMemAlloc::s_pclInit();
    if (pAllocateur == nullptr) {
        // No runtime string can be made: say it plainly and stop.
        EcritErreurStd(L"Internal error: no memory\n\n");
        DLLRES_Term();
        return -1;
    }
    CInformationModule::ms_piStrMemAlloc = pAllocateur->piGetStrMemAlloc();
    InitAlarmHandler(nullptr);
    signal(SIGCHLD, ChildHandler);
    // A closed reader of the standard error stream must not end the run
    // half-way; the write fails instead.
    signal(SIGPIPE, SIG_IGN);
    // Chosen by name, never from the environment; the usual search when
    // this system lacks it.
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr)
        SetLocaleUTF8();
    SetCommandLine(argc, argv);

    int nStatus = -1;
    {
        // Every string of the run ends inside this scope, before the
        // allocator does.
        CTString sMessage;
        if (uidReel != 0) {
            sMessage = sMessageInstalleur(MSG_PAS_ROOT);
        } else if (bDoInstall(paths)) {
            nStatus = 0;
            sMessage = sMessageInstalleur(MSG_SUCCES);
        } else {
            sMessage = sMessageInstalleur(MSG_ECHEC);
        }
        sMessage.Add(L"\n\n");
        EcritErreurStd(sMessage.pszGet());
    }

    CInformationModule::ms_piStrMemAlloc = nullptr;
    CStrMemAlloc::s_Term();
    DLLRES_Term();
    return nStatus;
}
