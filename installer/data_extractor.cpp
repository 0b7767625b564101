#include "installer/data_extractor.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>

#include "common/system/disk_file.h"
#include "common/system/dllres.h"
#include "common/system/file_name_text.h"
#include "common/system/module_file_name.h"
#include "common/system/module_info.h"
#include "common/system/time_records.h"
#include "common/system/x_error_module.h"
#include "common/text/ct_string.h"
#include "installer/install_entry_name.h"
#include "installer/install_text_output.h"

namespace {

constexpr unsigned MSG_FICHIER = 4903;
constexpr unsigned MSG_NOM_REFUSE = 4980;

// Closes a descriptor at the end of its scope.
class CFd
{
public:
    explicit CFd(int fd = -1) : m_fd(fd) {}
    ~CFd()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    void Reset(int fd)
    {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = fd;
    }
    int Get() const { return m_fd; }
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

std::wstring sWide(const std::string& s)
{
    std::vector<wchar_t> buffer(s.size() + 1);
    if (!bUTF8NameToWide(s.c_str(), buffer.data(), buffer.size()))
        return L"?";
    return buffer.data();
}

std::wstring sSystemText(int nErrno)
{
    CTString s;
    s.SetANSIEx(strerror(nErrno), -1, 65001);
    return s.pszGet();
}

timespec stTemps(const CDiskFile::_stXFILETIME& st)
{
    FILETIME ft;
    timespec ts{};
    if (!CDiskFile::bSystemTimeToFileTime(&st, &ft)) {
        ts.tv_nsec = UTIME_OMIT;
        return ts;
    }
    ts.tv_sec = static_cast<time_t>(nFileTimeToUnixSeconds(ft));
    return ts;
}

}  // namespace

std::wstring CDataExtractor::s_sRepertoireDe(const wchar_t* pszPath)
{
    std::wstring s = pszPath != nullptr ? pszPath : L"";
    for (wchar_t& c : s)
        if (c == L'\\')
            c = L'/';
    const size_t nPos = s.rfind(L'/');
    return nPos == std::wstring::npos ? std::wstring() : s.substr(0, nPos + 1);
}

int CDataExtractor::bInit(const wchar_t* pszName)
{
    // The whole path: a cut one would look for the archive elsewhere.
    std::vector<wchar_t> exe(PATH_MAX + 2, L'\0');
    if (!GetModuleFileNameW(nullptr, exe.data(), static_cast<unsigned>(exe.size())) ||
        wcslen(exe.data()) > PATH_MAX) {
        _ShowSystemError(nullptr, ENAMETOOLONG);
        return 0;
    }
    std::wstring sPath = s_sRepertoireDe(exe.data());
    sPath += pszName;
    sPath += L".zip";
    return bOuvre(sPath.c_str());
}

int CDataExtractor::bOuvre(const wchar_t* pszArchive)
{
    errno = 0;
    const _eVXzipResult eResult = m_clZip.eOuvreArchive(pszArchive, 0, 0);
    _ShowErrorZIPSiBesoin(pszArchive, static_cast<unsigned>(errno), eResult);
    return eResult == VXZIP_OK ? 1 : 0;
}

int CDataExtractor::bInstall(const wchar_t* pszDirectory, unsigned nDirMode, unsigned nDirUid, unsigned nDirGid,
                             unsigned nFileMode, unsigned nFileUid, unsigned nFileGid)
{
    std::wstring sCible = pszDirectory != nullptr ? pszDirectory : L"";
    for (wchar_t& c : sCible)
        if (c == L'\\')
            c = L'/';
    if (sCible.empty() || sCible.back() != L'/')
        sCible += L'/';

    // Every name is checked before the first byte is written.
    const CRepertoire& rep = m_clZip.clGetRepertoire();
    std::vector<std::pair<unsigned long, std::vector<std::string>>> aFichiers;
    CUTF8Name cibleUtf8(sCible.c_str());
    if (!cibleUtf8.bOk() || strlen(cibleUtf8.psz()) >= PATH_MAX) {
        _ShowSystemError(sCible.c_str(), cibleUtf8.bOk() ? ENAMETOOLONG : EILSEQ);
        return 0;
    }
    for (long i = 0; i < rep.nGetNbEntrees(); ++i) {
        const CRepEntree* pEntry = rep.pclGetEntree(i);
        if (pEntry == nullptr || pEntry->bEstUnFichierFactice())
            continue;
        std::vector<std::string> aComposants;
        if (!bDecoupeNomEntree(pEntry->pszNom(), aComposants)) {
            CTString sTexte;
            DLLRES_bFormatMessage(&gstMyModuleInfo32, MSG_FICHIER, &sTexte, pEntry->pszNom());
            CTString sRefus;
            DLLRES_bFormatMessage(&gstMyModuleInfo32, MSG_NOM_REFUSE, &sRefus);
            sTexte.Add(L"\r\n");
            sTexte.Add(sRefus.pszGet());
            EcritErreurStd(sTexte.pszGet());
            return 0;
        }
        size_t nTotal = strlen(cibleUtf8.psz());
        for (const std::string& s : aComposants)
            nTotal += s.size() + 1;
        if (nTotal >= PATH_MAX) {
            _ShowSystemError(pEntry->pszNom(), ENAMETOOLONG);
            return 0;
        }
        aFichiers.emplace_back(static_cast<unsigned long>(i), std::move(aComposants));
    }

    // The target directory itself comes from root's configuration.
    _CXErrorModule32 error;
    if (!CDiskFile::bCreateDirectory(sCible.c_str(), &error)) {
        _ShowError(sCible.c_str(), error.dwGetSystemErrorCode(), error);
        return 0;
    }
    CFd fdCible(open(cibleUtf8.psz(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fdCible.Get() < 0 || fchown(fdCible.Get(), nDirUid, nDirGid) != 0 ||
        fchmod(fdCible.Get(), nDirMode & 07777) != 0) {
        _ShowSystemError(sCible.c_str(), errno);
        return 0;
    }

    for (const auto& [nPosition, aComposants] : aFichiers) {
        if (!_bInstalFichier(fdCible.Get(), sCible, nPosition, aComposants, nFileMode, nFileUid, nFileGid))
            return 0;
    }
    return 1;
}

int CDataExtractor::_fdSousRepertoire(int fdParent, const char* pszNom)
{
    const int nFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = openat(fdParent, pszNom, nFlags);
    if (fd >= 0 || errno != ENOENT)
        return fd;
    // Created private, then given exactly 0755 whatever the umask.
    if (mkdirat(fdParent, pszNom, 0700) != 0 && errno != EEXIST)
        return -1;
    fd = openat(fdParent, pszNom, nFlags);
    if (fd < 0)
        return -1;
    if (fchmod(fd, 0755) != 0) {
        const int nErr = errno;
        close(fd);
        errno = nErr;
        return -1;
    }
    return fd;
}

int CDataExtractor::_bInstalFichier(int fdCible, const std::wstring& sCible, unsigned long nPosition,
                                    const std::vector<std::string>& aComposants, unsigned nMode, unsigned nUid,
                                    unsigned nGid)
{
    std::wstring sChemin = sCible;
    CFd fdParent(dup(fdCible));
    if (fdParent.Get() < 0) {
        _ShowSystemError(sChemin.c_str(), errno);
        return 0;
    }
    for (size_t i = 0; i + 1 < aComposants.size(); ++i) {
        sChemin += sWide(aComposants[i]);
        sChemin += L'/';
        const int fd = _fdSousRepertoire(fdParent.Get(), aComposants[i].c_str());
        if (fd < 0) {
            // A link planted in place of a directory lands here (ELOOP or
            // ENOTDIR): the install stops, the link's target untouched.
            _ShowSystemError(sChemin.c_str(), errno);
            return 0;
        }
        fdParent.Reset(fd);
    }
    const std::string& sNom = aComposants.back();
    sChemin += sWide(sNom);

    const CRepEntree* pEntry = m_clZip.clGetRepertoire().pclGetEntree(static_cast<long>(nPosition));
    if (pEntry != nullptr && pEntry->m_oTailleOriginale == 0) {
        // An empty entry keeps an existing file's content; only a regular
        // file reached without a link counts.
        CFd fd(openat(fdParent.Get(), sNom.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (fd.Get() >= 0) {
            struct stat st;
            if (fstat(fd.Get(), &st) != 0) {
                _ShowSystemError(sChemin.c_str(), errno);
                return 0;
            }
            if (!S_ISREG(st.st_mode)) {
                _ShowSystemError(sChemin.c_str(), EISDIR);
                return 0;
            }
            if (!_bAppliqueAttributs(fd.Get(), nPosition, nMode, nUid, nGid)) {
                _ShowSystemError(sChemin.c_str(), errno);
                return 0;
            }
            return 1;
        }
        // Missing: created empty. A link in its place: replaced by an empty
        // file, the link's target left alone.
        if (errno != ENOENT && errno != ELOOP) {
            _ShowSystemError(sChemin.c_str(), errno);
            return 0;
        }
    }
    return _bEcritParTemporaire(fdParent.Get(), sNom.c_str(), sChemin, nPosition, nMode, nUid, nGid);
}

bool CDataExtractor::_bAppliqueAttributs(int fd, unsigned long nPosition, unsigned nMode, unsigned nUid,
                                         unsigned nGid)
{
    if (fchown(fd, nUid, nGid) != 0 || fchmod(fd, nMode & 07777) != 0)
        return false;
    const CRepEntree* pEntry = m_clZip.clGetRepertoire().pclGetEntree(static_cast<long>(nPosition));
    if (pEntry == nullptr)
        return true;
    const timespec aTemps[2] = {stTemps(pEntry->m_stAcces), stTemps(pEntry->m_stModification)};
    return futimens(fd, aTemps) == 0;
}

int CDataExtractor::_bEcritParTemporaire(int fdParent, const char* pszNom, const std::wstring& sCible,
                                         unsigned long nPosition, unsigned nMode, unsigned nUid, unsigned nGid)
{
    std::string sTemp;
    CFd fd;
    for (int nEssai = 0; nEssai < 100 && fd.Get() < 0; ++nEssai) {
        unsigned char aby[8] = {};
        if (getrandom(aby, sizeof aby, 0) != static_cast<ssize_t>(sizeof aby)) {
            for (unsigned char& b : aby)
                b = static_cast<unsigned char>(rand());
        }
        static const char kHex[] = "0123456789abcdef";
        sTemp = ".vxsetup-";
        for (unsigned char b : aby) {
            sTemp += kHex[b >> 4];
            sTemp += kHex[b & 15];
        }
        fd.Reset(openat(fdParent, sTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd.Get() < 0 && errno != EEXIST)
            break;
    }
    if (fd.Get() < 0) {
        _ShowSystemError(sCible.c_str(), errno);
        return 0;
    }

    // Size and CRC are checked by the extraction before anything is renamed.
    errno = 0;
    const _eVXzipResult eResult = m_clZip.eExtraitEntreeFd(nPosition, fd.Get());
    if (eResult != VXZIP_OK) {
        const int nErr = errno;
        unlinkat(fdParent, sTemp.c_str(), 0);
        if (m_bLog) {
            const time_t now = time(nullptr);
            CTString sHeure;
            sHeure.SetANSIEx(ctime(&now), -1, 65001);
            EcritErreurStd(sHeure.pszGet());
            CTString sLigne;
            sLigne.printf(L"Unzipping files failed whith error %d\r\n", static_cast<int>(eResult));
            EcritErreurStd(sLigne.pszGet());
        }
        const wchar_t* pszEntree = m_clZip.pszNomFichier(nPosition);
        // A write failure (a full disk) is worth naming even when the table
        // does not list the archive result.
        if (nErr == ENOSPC || nErr == EDQUOT || nErr == EIO || nErr == EFBIG)
            _ShowSystemError(sCible.c_str(), nErr);
        else
            _ShowErrorZIPSiBesoin(pszEntree, static_cast<unsigned>(nErr), eResult);
        return 0;
    }
    if (!_bAppliqueAttributs(fd.Get(), nPosition, nMode, nUid, nGid) || fsync(fd.Get()) != 0 ||
        close(fd.Release()) != 0 || renameat(fdParent, sTemp.c_str(), fdParent, pszNom) != 0) {
        const int nErr = errno;
        unlinkat(fdParent, sTemp.c_str(), 0);
        _ShowSystemError(sCible.c_str(), nErr);
        return 0;
    }
    return 1;
}

void CDataExtractor::_ShowError(const wchar_t* pszPath, unsigned nSystemCode, const CXError& error) const
{
    CTString sTexte;
    if (pszPath != nullptr)
        DLLRES_bFormatMessage(&gstMyModuleInfo32, MSG_FICHIER, &sTexte, pszPath);
    sTexte.Add(L"\r\n");
    if (!error.bIsError()) {
        sTexte.Add(sSystemText(static_cast<int>(nSystemCode)).c_str());
    } else {
        sTexte.Add(error.pszGetSystemErrorMessage());
        sTexte.Add(L"\r\n");
        sTexte.Add(error.pszGetUserMessage());
    }
    EcritErreurStd(sTexte.pszGet());
}

void CDataExtractor::_ShowSystemError(const wchar_t* pszPath, int nErrno) const
{
    _CXErrorModule32 error;
    _ShowError(pszPath, static_cast<unsigned>(nErrno), error);
}

void CDataExtractor::_ShowErrorZIPSiBesoin(const wchar_t* pszName, unsigned nSystemCode, _eVXzipResult eResult) const
{
    if (eResult == VXZIP_OK)
        return;
    _CXErrorModule32 error;
    error.SetUserError(&gstMyModuleInfo32, static_cast<unsigned>(eResult));
    if (error.nGetUserErrorCode() != 0)
        _ShowError(pszName, nSystemCode, error);
}
