// The archive's license text. The entry goes through a file of a fresh
// directory that only this user can enter, so that no other user can read
// it, or put a link or a file of their own in its place; the file and the
// directory go away on every way out. The file is opened once, checked,
// written and read back through that one descriptor: what is under its name
// afterwards is never read.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include <zlib.h>

#include "common/system/code_page_conversion.h"
#include "common/system/disk_file.h"
#include "common/system/disk_file_path.h"
#include "common/system/file_name_text.h"
#include "common/system/x_error_module.h"
#include "installer/data_extractor.h"
#include "installer/fd_io.h"
#include "installer/install_messages.h"
#include "installer/install_text_output.h"

namespace {

constexpr wchar_t kLicence[] = L"license.txt";

// A directory "mr" + 6 characters made by mkdtemp in a given directory (mode
// 0700), emptied and removed with the object once it is found to be ours.
// Only this process writes in it, so whatever it holds at the end is ours to
// remove.
class CRepertoirePrive
{
public:
    CRepertoirePrive() = default;
    ~CRepertoirePrive()
    {
        if (m_fd >= 0) {
            _Vide();
            close(m_fd);
        }
        if (!m_sChemin.empty())
            rmdir(m_sChemin.c_str());
    }
    CRepertoirePrive(const CRepertoirePrive&) = delete;
    CRepertoirePrive& operator=(const CRepertoirePrive&) = delete;

    // 0, or the errno of the failure. pszParent ends with a slash.
    int nCree(const wchar_t* pszParent)
    {
        CUTF8Name parent(pszParent);
        if (!parent.bOk())
            return errno;
        std::string s = parent.psz();
        s += "mrXXXXXX";
        if (mkdtemp(s.data()) == nullptr)
            return errno;
        m_sChemin = s;
        m_fd = open(s.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (m_fd < 0)
            return errno;
        // In a temporary directory without the sticky bit another user could
        // have put their own directory in place of ours: one that is not
        // ours is left exactly as found, its entries above all.
        struct stat st;
        int nErr = fstat(m_fd, &st) != 0 ? errno : 0;
        if (nErr == 0 && (st.st_uid != geteuid() || (st.st_mode & 077) != 0))
            nErr = EPERM;
        if (nErr != 0) {
            close(m_fd);
            m_fd = -1;
            m_sChemin.clear();
            return nErr;
        }
        if (!bUTF8NameToWide(s.c_str(), m_szChemin, XFILE_PATH_CHARS))
            return ENAMETOOLONG;
        return 0;
    }
    int fd() const { return m_fd; }
    const wchar_t* pszChemin() const { return m_szChemin; }

private:
    void _Vide() const
    {
        const int fdLecture = openat(m_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fdLecture < 0)
            return;
        DIR* pDir = fdopendir(fdLecture);
        if (pDir == nullptr) {
            close(fdLecture);
            return;
        }
        std::vector<std::string> aNoms;
        while (const dirent* pEntree = readdir(pDir))
            if (std::strcmp(pEntree->d_name, ".") != 0 && std::strcmp(pEntree->d_name, "..") != 0)
                aNoms.emplace_back(pEntree->d_name);
        closedir(pDir);
        for (const std::string& sNom : aNoms)
            unlinkat(m_fd, sNom.c_str(), 0);
    }

    std::string m_sChemin;
    int m_fd = -1;
    wchar_t m_szChemin[XFILE_PATH_CHARS] = {};
};

}  // namespace

int CDataExtractor::_fdExtraitDansTemporaire(unsigned long nPosition, int fdRepertoire, const wchar_t* pszFichier)
{
    const wchar_t* pszBarre = std::wcsrchr(pszFichier, L'/');
    CUTF8Name nom(pszBarre != nullptr ? pszBarre + 1 : pszFichier);
    if (!nom.bOk()) {
        _ShowSystemError(pszFichier, errno);
        return -1;
    }
    // The empty file just made, reached without following a link; another
    // file under its name (a link, one with other names, one with content)
    // is not written to. It stays open for the text to be read back.
    const int fd = openat(fdRepertoire, nom.psz(), O_RDWR | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        _ShowSystemError(pszFichier, errno);
        return -1;
    }
    struct stat st;
    int nErr = fstat(fd, &st) != 0 ? errno : 0;
    if (nErr == 0 && (!S_ISREG(st.st_mode) || st.st_nlink != 1 || st.st_size != 0 || st.st_uid != geteuid()))
        nErr = EEXIST;
    if (nErr != 0) {
        close(fd);
        _ShowSystemError(pszFichier, nErr);
        return -1;
    }
    // The extraction into a descriptor refuses a size that the compressed
    // data cannot produce before it writes anything, and checks the size
    // and the CRC of what it wrote. It leaves the file's mode alone.
    errno = 0;
    const _eVXzipResult eResult = m_clZip.eExtraitEntreeFd(nPosition, fd);
    nErr = errno;
    if (eResult != VXZIP_OK) {
        close(fd);
        _ShowErreurExtraction(kLicence, pszFichier, nErr, eResult);
        return -1;
    }
    return fd;
}

bool CDataExtractor::_bRelitLicence(int fd, const wchar_t* pszFichier, uint64_t oTaille, uint32_t dwCrc,
                                    std::unique_ptr<char[]>& pContenu) const
{
    if (oTaille > MAX_TAILLE_LICENCE) {
        EcritErreurStd(sMessageInstalleur(MSG_LICENCE_TROP_GRANDE, kLicence).pszGet());
        return false;
    }
    // One byte more than the entry's size is asked for, so that a file
    // grown since it was written is seen as well as one cut short.
    const size_t nTaille = static_cast<size_t>(oTaille);
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[nTaille + 1]);
    if (buffer == nullptr) {
        _ShowErrorZIPSiBesoin(kLicence, ENOMEM, VXZIP_ERR_MEMORY);
        return false;
    }
    const ssize_t nLu = lseek(fd, 0, SEEK_SET) != 0 ? -1 : nLitToutFd(fd, buffer.get(), nTaille + 1);
    if (nLu < 0) {
        _ShowSystemError(pszFichier, errno);
        return false;
    }
    if (static_cast<size_t>(nLu) != nTaille ||
        (nTaille > 0 && crc32(0, reinterpret_cast<const Bytef*>(buffer.get()), static_cast<uInt>(nTaille)) != dwCrc)) {
        EcritErreurStd(sMessageInstalleur(MSG_LICENCE_MODIFIEE, pszFichier).pszGet());
        return false;
    }
    pContenu = std::move(buffer);
    return true;
}

int CDataExtractor::bLoadLicense(CXYString<wchar_t>& sText)
{
    if (!m_clZip.bEstOuvert()) {
        _ShowErrorZIPSiBesoin(kLicence, 0, VXZIP_ERR_NOT_OPEN);
        return 0;
    }
    const long nRang = m_clZip.lRangFichier(kLicence);
    if (nRang < 0) {
        _ShowErrorZIPSiBesoin(kLicence, ENOENT, VXZIP_ERR_OPEN);
        return 0;
    }
    const unsigned long nPosition = static_cast<unsigned long>(nRang);
    // The declared size, whole, before anything is made for it.
    const uint64_t oTaille = m_clZip.dwTailleOriginale(nPosition);
    if (oTaille > MAX_TAILLE_LICENCE) {
        EcritErreurStd(sMessageInstalleur(MSG_LICENCE_TROP_GRANDE, kLicence).pszGet());
        return 0;
    }

    _CXErrorModule32 error;
    wchar_t szTemp[XFILE_PATH_CHARS];
    if (!CDiskFile::bGetTempDirectory(szTemp, &error)) {
        _ShowError(nullptr, error.dwGetSystemErrorCode(), error);
        return 0;
    }
    CRepertoirePrive repertoire;
    if (const int nErr = repertoire.nCree(szTemp); nErr != 0) {
        _ShowSystemError(szTemp, nErr);
        return 0;
    }
    wchar_t szFichier[XFILE_PATH_CHARS];
    if (!CDiskFile::bGetTempName(szFichier, repertoire.pszChemin(), L"mr", &error)) {
        _ShowError(repertoire.pszChemin(), error.dwGetSystemErrorCode(), error);
        return 0;
    }
    if (m_pfnAvantExtractionLicence != nullptr)
        m_pfnAvantExtractionLicence(m_pContexteLicence, szFichier);
    const CFd fichier(_fdExtraitDansTemporaire(nPosition, repertoire.fd(), szFichier));
    if (fichier.Get() < 0)
        return 0;
    if (m_pfnAvantRelectureLicence != nullptr)
        m_pfnAvantRelectureLicence(m_pContexteRelecture, szFichier);

    // The entry was extracted whole, so the reader knows it.
    const CRepEntree* pEntree = m_clZip.clGetRepertoire().pclGetEntree(nRang);
    const _stFICZIP* pZip =
        pEntree != nullptr ? m_clZip.clGetZip().pstGetFichier(static_cast<int>(pEntree->m_nNumeroZip) - 1) : nullptr;
    if (pZip == nullptr) {
        _ShowErrorZIPSiBesoin(kLicence, 0, VXZIP_ERR_FORMAT);
        return 0;
    }
    std::unique_ptr<char[]> pContenu;
    if (!_bRelitLicence(fichier.Get(), szFichier, oTaille, static_cast<uint32_t>(pZip->dwCrc), pContenu))
        return 0;
    const int nTaille = static_cast<int>(oTaille);
    // Strict decoding: a byte that is not well-formed UTF-8 fails the whole
    // text rather than being dropped or replaced.
    CXYString<wchar_t> sLu;
    if (nTaille > 0) {
        const int rc = sLu.nAffecteUTF8(pContenu.get(), nTaille, 0, static_cast<int>(MB_ERR_INVALID_CHARS));
        if (rc == STRMEM_ERR_CONVERSION) {
            EcritErreurStd(sMessageInstalleur(MSG_LICENCE_UTF8, kLicence).pszGet());
            return 0;
        }
        if (rc != 0) {
            _ShowErrorZIPSiBesoin(kLicence, ENOMEM, VXZIP_ERR_MEMORY);
            return 0;
        }
    }
    sText = std::move(sLu);
    return 1;
}
