#include "installer/install_configuration.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/system/file_name_text.h"
#include "common/system/profile_access.h"
#include "installer/install_messages.h"
#include "installer/install_trusted_path.h"

int bLitBinPath(const wchar_t* pszConfiguration, std::wstring& sValeur)
{
    sValeur.clear();
    CUTF8Name nom(pszConfiguration);
    if (!nom.bOk())
        return 1;
    // Resolved once, so that a link root placed on the way still works;
    // what it resolves to is then opened without following anything.
    char* pszResolu = realpath(nom.psz(), nullptr);
    if (pszResolu == nullptr)
        return 1;
    const std::string sResolu = pszResolu;
    std::free(pszResolu);

    stRefusChemin refus;
    struct stat st;
    const int fd = fdOuvreSansLien(sResolu, false, &st, refus);
    if (fd < 0) {
        if (refus.eRefus == REFUS_CHEMIN_SYSTEME && refus.nErrno == ENOENT)
            return 1;
        AfficheRefusChemin(refus, MSG_CONFIGURATION_TYPE);
        return 0;
    }
    FILE* pFile = fdopen(fd, "r");
    if (pFile == nullptr) {
        close(fd);
        return 1;
    }
    // Room for any path the system accepts, and one character more to tell
    // a longer value from one that fits.
    std::vector<wchar_t> buffer(PATH_MAX + 1, L'\0');
    bool bTrouve = false;
    const long nLu = nReadProfileStream(pFile, L"DEFAULT", L"BINPATH", buffer.data(), buffer.size(), &bTrouve);
    std::fclose(pFile);
    nProfileReadResult(nLu, bTrouve, L"", buffer.data(), buffer.size());
    sValeur = buffer.data();
    return 1;
}
