#include "installer/data_extractor.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>

#include "common/system/disk_file.h"
#include "common/system/file_name_text.h"
#include "common/system/module_file_name.h"
#include "common/system/module_info.h"
#include "common/system/time_records.h"
#include "common/system/x_error_module.h"
#include "common/text/ct_string.h"
#include "installer/fd_io.h"
#include "installer/install_entry_name.h"
#include "installer/install_messages.h"
#include "installer/install_plan.h"
#include "installer/install_text_output.h"
#include "installer/install_trusted_path.h"

namespace {

// The signals that ask the installer to stop.
constexpr int kSignauxArret[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT};

// Holds the stop signals for its lifetime. One that is still pending at the
// end came once nothing could be stopped any more: it is taken here, for
// restoring the mask would otherwise end the process before it reports.
class CArretDiffere
{
public:
    CArretDiffere()
    {
        sigemptyset(&m_signaux);
        for (int n : kSignauxArret)
            sigaddset(&m_signaux, n);
        pthread_sigmask(SIG_BLOCK, &m_signaux, &m_ancien);
    }
    ~CArretDiffere()
    {
        sigset_t pris;
        sigemptyset(&pris);
        for (int n : kSignauxArret)
            if (!sigismember(&m_ancien, n))
                sigaddset(&pris, n);
        const timespec zero{};
        while (sigtimedwait(&pris, nullptr, &zero) > 0) {
        }
        pthread_sigmask(SIG_SETMASK, &m_ancien, nullptr);
    }
    CArretDiffere(const CArretDiffere&) = delete;
    CArretDiffere& operator=(const CArretDiffere&) = delete;

private:
    sigset_t m_signaux;
    sigset_t m_ancien;
};

// The stop signal waiting, or 0.
int nSignalArret()
{
    sigset_t attente;
    if (sigpending(&attente) != 0)
        return 0;
    for (int n : kSignauxArret)
        if (sigismember(&attente, n))
            return n;
    return 0;
}

const wchar_t* pszNomSignal(int n)
{
    switch (n) {
    case SIGTERM:
        return L"SIGTERM";
    case SIGHUP:
        return L"SIGHUP";
    case SIGINT:
        return L"SIGINT";
    default:
        return L"SIGQUIT";
    }
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

CDataExtractor::CDataExtractor(int bLog) : m_bLog(bLog)
{
    // The installer's archive never holds one name twice: the second would
    // silently win.
    m_clZip.clGetZip().SetNomsUniques(1);
    m_clZip.clGetZip().SetMaxEntrees(MAX_ENTREES);
}

CDataExtractor::~CDataExtractor() = default;

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
    return _bOuvreSur(sPath.c_str());
}

int CDataExtractor::bOuvre(const wchar_t* pszArchive)
{
    errno = 0;
    const _eVXzipResult eResult = m_clZip.eOuvreArchive(pszArchive, 0, 0);
    return _bResultatOuverture(pszArchive, static_cast<unsigned>(errno), eResult);
}

int CDataExtractor::_bResultatOuverture(const wchar_t* pszArchive, unsigned nSystemCode, _eVXzipResult eResult) const
{
    if (eResult == VXZIP_ERR_TOO_MANY || eResult == VXZIP_ERR_DUPLICATE) {
        const CTString sTexte = sMessageInstalleur(eResult == VXZIP_ERR_TOO_MANY ? MSG_TROP_D_ENTREES : MSG_NOMS_EN_DOUBLE,
                                                   pszArchive);
        EcritErreurStd(sTexte.pszGet());
    } else {
        _ShowErrorZIPSiBesoin(pszArchive, nSystemCode, eResult);
    }
    return eResult == VXZIP_OK ? 1 : 0;
}

int CDataExtractor::_bOuvreSur(const wchar_t* pszArchive)
{
    std::wstring sPath = pszArchive != nullptr ? pszArchive : L"";
    for (wchar_t& c : sPath)
        if (c == L'\\')
            c = L'/';
    const std::wstring sRepertoire = s_sRepertoireDe(sPath.c_str());
    const std::wstring sNom = sPath.substr(sRepertoire.size());
    CUTF8Name repertoire(sRepertoire.empty() ? L"." : sRepertoire.c_str());
    CUTF8Name nom(sNom.c_str());
    if (!repertoire.bOk() || !nom.bOk() || sNom.empty()) {
        _ShowErrorZIPSiBesoin(pszArchive, sNom.empty() ? ENOENT : EILSEQ, VXZIP_ERR_OPEN);
        return 0;
    }
    stRefusChemin refus;
    CFd fd(fdOuvreFichierSur(repertoire.psz(), nom.psz(), refus));
    if (fd.Get() < 0) {
        if (refus.eRefus == REFUS_CHEMIN_SYSTEME)
            _ShowErrorZIPSiBesoin(pszArchive, static_cast<unsigned>(refus.nErrno), VXZIP_ERR_OPEN);
        else
            AfficheRefusChemin(refus, MSG_ARCHIVE_TYPE);
        return 0;
    }
    errno = 0;
    const _eVXzipResult eResult = m_clZip.eOuvreArchiveFd(fd.Get(), pszArchive);
    return _bResultatOuverture(pszArchive, static_cast<unsigned>(errno), eResult);
}

bool CDataExtractor::_bPlanifie(const wchar_t* pszDirectory, std::wstring& sCible, CPlanInstallation& plan) const
{
    sCible = pszDirectory != nullptr ? pszDirectory : L"";
    for (wchar_t& c : sCible)
        if (c == L'\\')
            c = L'/';
    if (sCible.empty() || sCible.back() != L'/')
        sCible += L'/';
    CUTF8Name cibleUtf8(sCible.c_str());
    if (!cibleUtf8.bOk() || strlen(cibleUtf8.psz()) >= PATH_MAX) {
        _ShowSystemError(sCible.c_str(), cibleUtf8.bOk() ? ENAMETOOLONG : EILSEQ);
        return false;
    }
    const int eRefus = plan.eConstruit(m_clZip.clGetRepertoire(), strlen(cibleUtf8.psz()));
    if (eRefus == CPlanInstallation::PLAN_OK)
        return true;
    _ShowPlanRefuse(plan, eRefus);
    return false;
}

int CDataExtractor::bInstall(const wchar_t* pszDirectory, unsigned nDirMode, unsigned nDirUid, unsigned nDirGid,
                             unsigned nFileMode, unsigned nFileUid, unsigned nFileGid)
{
    // Every name is checked before the first byte is written.
    std::wstring sCible;
    CPlanInstallation plan;
    if (!_bPlanifie(pszDirectory, sCible, plan))
        return 0;

    // The target directory itself comes from the caller.
    _CXErrorModule32 error;
    if (!CDiskFile::bCreateDirectory(sCible.c_str(), &error)) {
        _ShowError(sCible.c_str(), error.dwGetSystemErrorCode(), error);
        return 0;
    }
    CUTF8Name cibleUtf8(sCible.c_str());
    CFd fdCible(open(cibleUtf8.psz(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fdCible.Get() < 0 || fchown(fdCible.Get(), nDirUid, nDirGid) != 0 ||
        fchmod(fdCible.Get(), nDirMode & 07777) != 0) {
        _ShowSystemError(sCible.c_str(), errno);
        return 0;
    }
    return _bInstallePlan(fdCible.Get(), sCible, plan, nFileMode, nFileUid, nFileGid);
}

int CDataExtractor::bInstallDans(int fdDirectory, const wchar_t* pszDirectory, unsigned nFileMode, unsigned nFileUid,
                                 unsigned nFileGid)
{
    std::wstring sCible;
    CPlanInstallation plan;
    if (!_bPlanifie(pszDirectory, sCible, plan))
        return 0;
    return _bInstallePlan(fdDirectory, sCible, plan, nFileMode, nFileUid, nFileGid);
}

int CDataExtractor::_bInstallePlan(int fdCible, const std::wstring& sCible, const CPlanInstallation& plan,
                                   unsigned nMode, unsigned nUid, unsigned nGid)
{
    const CArretDiffere arret;
    for (const CPlanInstallation::stFichier& fichier : plan.aFichiers()) {
        std::wstring sChemin = sCible;
        for (size_t i = 0; i < fichier.aComposants.size(); ++i)
            sChemin += (i > 0 ? L"/" : L"") + sNomLarge(fichier.aComposants[i]);
        if (_bArretDemande(sChemin.c_str()))
            return 0;
        if (!_bInstalFichier(fdCible, sCible, fichier.nPosition, fichier.aComposants, nMode, nUid, nGid))
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
    CFd fdParent(fcntl(fdCible, F_DUPFD_CLOEXEC, 0));
    if (fdParent.Get() < 0) {
        _ShowSystemError(sChemin.c_str(), errno);
        return 0;
    }
    for (size_t i = 0; i + 1 < aComposants.size(); ++i) {
        sChemin += sNomLarge(aComposants[i]);
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
    sChemin += sNomLarge(sNom);
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

bool CDataExtractor::_bCopieContenuExistant(int fdParent, const char* pszNom, int fdTemp,
                                            const std::wstring& sCible) const
{
    // Only a regular file reached without a link counts; a link in its
    // place is replaced by an empty file, its target left alone.
    CFd fd(openat(fdParent, pszNom, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.Get() < 0) {
        if (errno == ENOENT || errno == ELOOP)
            return true;
        _ShowSystemError(sCible.c_str(), errno);
        return false;
    }
    struct stat st;
    if (fstat(fd.Get(), &st) != 0) {
        _ShowSystemError(sCible.c_str(), errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        _ShowSystemError(sCible.c_str(), EISDIR);
        return false;
    }
    // Another name of the same inode may be any file of the machine that
    // its owner hard-linked here: its content is not for the model's owner.
    if (st.st_nlink > 1) {
        const CTString sTexte = sMessageInstalleur(MSG_LIENS_PHYSIQUES, sCible.c_str());
        EcritErreurStd(sTexte.pszGet());
        return false;
    }
    char buffer[32768];
    for (;;) {
        const ssize_t n = read(fd.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || (n > 0 && !bEcritToutFd(fdTemp, buffer, static_cast<size_t>(n)))) {
            _ShowSystemError(sCible.c_str(), errno);
            return false;
        }
        if (n == 0)
            return true;
    }
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

    const CRepEntree* pEntry = m_clZip.clGetRepertoire().pclGetEntree(static_cast<long>(nPosition));
    if (pEntry != nullptr && pEntry->m_oTailleOriginale == 0) {
        // An empty entry keeps an existing file's content, in a new file
        // like any other: the old inode is never changed.
        if (!_bCopieContenuExistant(fdParent, pszNom, fd.Get(), sCible)) {
            unlinkat(fdParent, sTemp.c_str(), 0);
            return 0;
        }
    } else {
        // Size and CRC are checked by the extraction before anything is
        // renamed.
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
            _ShowErreurExtraction(m_clZip.pszNomFichier(nPosition), sCible.c_str(), nErr, eResult);
            return 0;
        }
    }
    if (!_bAppliqueAttributs(fd.Get(), nPosition, nMode, nUid, nGid) || fsync(fd.Get()) != 0 ||
        close(fd.Release()) != 0) {
        const int nErr = errno;
        unlinkat(fdParent, sTemp.c_str(), 0);
        _ShowSystemError(sCible.c_str(), nErr);
        return 0;
    }
    if (m_pfnAvantRenommage != nullptr)
        m_pfnAvantRenommage(m_pContexte, sCible.c_str());
    // A stop asked while the file was written leaves the old one in place.
    if (_bArretDemande(sCible.c_str())) {
        unlinkat(fdParent, sTemp.c_str(), 0);
        return 0;
    }
    if (renameat(fdParent, sTemp.c_str(), fdParent, pszNom) != 0) {
        const int nErr = errno;
        unlinkat(fdParent, sTemp.c_str(), 0);
        _ShowSystemError(sCible.c_str(), nErr);
        return 0;
    }
    return 1;
}

bool CDataExtractor::_bArretDemande(const wchar_t* pszCible) const
{
    const int nSignal = nSignalArret();
    if (nSignal == 0)
        return false;
    const CTString sTexte = sMessageInstalleur(MSG_INTERROMPU, pszNomSignal(nSignal), pszCible);
    EcritErreurStd(sTexte.pszGet());
    return true;
}

void CDataExtractor::_ShowPlanRefuse(const CPlanInstallation& plan, int eRefus) const
{
    const wchar_t* pszNom = plan.sNom().c_str();
    const wchar_t* pszAutre = plan.sAutreNom().c_str();
    CTString sTexte;
    switch (eRefus) {
    case CPlanInstallation::PLAN_NOM_REFUSE:
        sTexte = sMessageInstalleur(MSG_FICHIER, pszNom);
        sTexte.Add(L"\r\n");
        sTexte.Add(sMessageInstalleur(MSG_NOM_REFUSE).pszGet());
        break;
    case CPlanInstallation::PLAN_CHEMIN_LONG:
        _ShowSystemError(pszNom, ENAMETOOLONG);
        return;
    case CPlanInstallation::PLAN_COMPOSANT_LONG:
        sTexte = sMessageInstalleur(MSG_COMPOSANT_LONG, pszNom);
        break;
    case CPlanInstallation::PLAN_DOUBLON:
        sTexte = sMessageInstalleur(MSG_DOUBLON, pszNom);
        break;
    case CPlanInstallation::PLAN_FICHIER_REPERTOIRE:
        sTexte = sMessageInstalleur(MSG_FICHIER_REPERTOIRE, pszAutre, pszNom);
        break;
    case CPlanInstallation::PLAN_CASSE:
        sTexte = sMessageInstalleur(MSG_CASSE, pszAutre, pszNom);
        break;
    default:
        sTexte = sMessageInstalleur(MSG_NOM_MODELE, pszNom);
        break;
    }
    EcritErreurStd(sTexte.pszGet());
}

void CDataExtractor::_ShowError(const wchar_t* pszPath, unsigned nSystemCode, const CXError& error) const
{
    CTString sTexte;
    if (pszPath != nullptr)
        sTexte = sMessageInstalleur(MSG_FICHIER, pszPath);
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

void CDataExtractor::_ShowErreurExtraction(const wchar_t* pszEntree, const wchar_t* pszCible, int nErrno,
                                           _eVXzipResult eResult) const
{
    // A write failure is worth naming even when the table does not list the
    // archive result.
    if (nErrno == ENOSPC || nErrno == EDQUOT || nErrno == EIO || nErrno == EFBIG)
        _ShowSystemError(pszCible, nErrno);
    else
        _ShowErrorZIPSiBesoin(pszEntree, static_cast<unsigned>(nErrno), eResult);
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
