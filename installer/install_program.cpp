#include "installer/install_program.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/system/disk_file.h"
#include "common/system/dllres.h"
#include "common/system/information.h"
#include "common/system/module_info.h"
#include "common/system/process.h"
#include "common/system/profile_file.h"
#include "common/system/utf8_locale.h"
#include "common/text/ct_string.h"
#include "installer/command_line_record.h"
#include "installer/data_extractor.h"
#include "installer/install_text_output.h"
#include "installer/str_mem_alloc.h"

namespace {

constexpr unsigned MSG_PAS_ROOT = 4219;
constexpr unsigned MSG_PAS_DE_BINPATH = 4976;
constexpr unsigned MSG_ACCES = 4977;
constexpr unsigned MSG_SUCCES = 4978;
constexpr unsigned MSG_ECHEC = 4979;

void AfficheAcces(const wchar_t* pszNom, int nErrno)
{
    CTString sSysteme;
    sSysteme.SetANSIEx(strerror(nErrno), -1, 65001);  // the system writes UTF-8
    CTString sTexte;
    DLLRES_bFormatMessage(&gstMyModuleInfo32, MSG_ACCES, &sTexte, pszNom, sSysteme.pszGet());
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
    // Room for any path the system accepts, and one character more to tell a
    // longer value from one that fits.
    std::vector<wchar_t> buffer(PATH_MAX + 1, L'\0');
    const unsigned nLen = GetPrivateProfileString(L"DEFAULT", L"BINPATH", L"", buffer.data(),
                                                  static_cast<unsigned>(buffer.size()), paths.pszConfiguration);
    if (buffer[0] == L'\0') {
        CTString sTexte;
        DLLRES_bFormatMessage(&gstMyModuleInfo32, MSG_PAS_DE_BINPATH, &sTexte);
        EcritErreurStd(sTexte.pszGet());
        return 0;
    }
    std::wstring sRepertoire = buffer.data();
    for (wchar_t& c : sRepertoire)
        if (c == L'\\')
            c = L'/';
    if (sRepertoire.back() != L'/')
        sRepertoire += L'/';
    if (nLen >= PATH_MAX - 1 || sRepertoire.size() + wcslen(INSTALLER_VM_LIBRARY) >= PATH_MAX) {
        AfficheAcces(sRepertoire.c_str(), ENAMETOOLONG);
        return 0;
    }

    const std::wstring sBibliotheque = sRepertoire + INSTALLER_VM_LIBRARY;
    struct stat stBibliotheque;
    struct stat stRepertoire;
    unsigned nErreur = 0;
    if (CDiskFile::Unix_stat(sBibliotheque.c_str(), &stBibliotheque, &nErreur) != 0) {
        AfficheAcces(INSTALLER_VM_LIBRARY, static_cast<int>(nErreur));
        return 0;
    }
    if (CDiskFile::Unix_stat(sRepertoire.c_str(), &stRepertoire, &nErreur) != 0) {
        AfficheAcces(sRepertoire.c_str(), static_cast<int>(nErreur));
        return 0;
    }

    CDataExtractor extracteur(0);
    const int bOuvert =
        paths.pszArchive != nullptr ? extracteur.bOuvre(paths.pszArchive) : extracteur.bInit(INSTALLER_ARCHIVE);
    if (!bOuvert)
        return 0;
    return extracteur.bInstall(sRepertoire.c_str(), stRepertoire.st_mode, stRepertoire.st_uid, stRepertoire.st_gid,
                               stBibliotheque.st_mode, stBibliotheque.st_uid, stBibliotheque.st_gid)
               ? 1
               : 0;
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
    SetLocaleUTF8();
    SetCommandLine(argc, argv);

    int nStatus = -1;
    {
        // Every string of the run ends inside this scope, before the
        // allocator does.
        CTString sMessage;
        if (uidReel != 0) {
            DLLRES_bFormatMessage(&gstMyModuleInfo32, MSG_PAS_ROOT, &sMessage);
        } else if (bDoInstall(paths)) {
            nStatus = 0;
            DLLRES_bFormatMessage(&gstMyModuleInfo32, MSG_SUCCES, &sMessage);
        } else {
            DLLRES_bFormatMessage(&gstMyModuleInfo32, MSG_ECHEC, &sMessage);
        }
        sMessage.Add(L"\n\n");
        EcritErreurStd(sMessage.pszGet());
    }

    CInformationModule::ms_piStrMemAlloc = nullptr;
    CStrMemAlloc::s_Term();
    DLLRES_Term();
    return nStatus;
}
