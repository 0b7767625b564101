// Copies between streams and files, whole-file loads, appends and times.
#include <cerrno>
#include <cstdlib>
#include <cwchar>

#include "common/system/disk_file.h"
#include "common/system/disk_file_messages.h"
#include "common/system/file_name_text.h"
#include "common/system/file_times.h"
#include "common/system/module_info.h"
#include "common/system/x_error.h"
#include "common/text/zl_bin.h"

namespace {

constexpr unsigned kCopyBlock = 0x10000;

// The largest file loaded whole: the runtime's values stop there.
constexpr int64_t kMaxLoad = 0x7FFFFEFF;

// A malloc'd block freed on every way out.
class CBlock
{
public:
    explicit CBlock(size_t n) : m_p(std::malloc(n)) {}
    ~CBlock() { std::free(m_p); }
    CBlock(const CBlock&) = delete;
    CBlock& operator=(const CBlock&) = delete;
    unsigned char* p() const { return static_cast<unsigned char*>(m_p); }

private:
    void* m_p;
};

// Copies what is left of src to dst's position, nBlock bytes at a time.
bool bCopyRest(CDiskFile& src, CDiskFile& dst, unsigned char* pBlock, unsigned nBlock)
{
    for (;;) {
        unsigned nRead = 0;
        if (!src.bRead(pBlock, nBlock, &nRead))
            return false;
        if (nRead > 0 && !dst.bWrite(pBlock, nRead, nullptr))
            return false;
        if (nRead < nBlock)
            return true;
    }
}

}  // namespace

bool CDiskFile::bExtract(IXStream* pDestination, int64_t oSize)
{
    if (pDestination == nullptr)
        return false;
    if (oSize < 0)
        oSize = oGetSize() - m_oPosition;
    if (oSize == 0)
        return true;
    if (oSize < 0)
        return false;
    CBlock block(kCopyBlock);
    if (block.p() == nullptr)
        return false;
    while (oSize > 0) {
        unsigned nRead = 0;
        if (!bRead(block.p(), kCopyBlock, &nRead))
            return false;
        unsigned nUse = nRead;
        if (static_cast<int64_t>(nRead) > oSize) {
            nUse = static_cast<unsigned>(oSize);
            if (!bSeek(-static_cast<int64_t>(nRead - nUse), XSEEK_CUR))
                return false;
        }
        if (!pDestination->bWrite(block.p(), nUse, nullptr))
            return false;
        oSize -= nUse;
        if (nRead < kCopyBlock)
            break;  // the end of the data
    }
    return true;
}

bool CDiskFile::bExtract(const wchar_t* pszDestination, int64_t oOffset, int64_t oSize)
{
    CSlashName dst(pszDestination);
    if (!dst.bOk() || !bSeek(oOffset, XSEEK_SET))
        return false;
    CDiskFile local;
    if (!local.bOpen(dst.psz(), XACCESS_WRITE, XSHARE_NONE, XCREATE_CREATE_ALWAYS, XFLAG_NONE, nullptr))
        return false;
    if (bExtract(&local, oSize))
        return true;
    local.Close();
    bDelete(dst.psz(), nullptr);
    return false;
}

bool CDiskFile::bExtractFromFile(const wchar_t* pszSource, int64_t oOffset, int64_t oSize)
{
    if (!bSeek(0, XSEEK_END))
        return false;
    CDiskFile local;
    return local.bOpen(pszSource, XACCESS_READ, XSHARE_NONE, XCREATE_EXISTING, XFLAG_NONE, nullptr) &&
           local.bSeek(oOffset, XSEEK_SET) && local.bExtract(this, oSize);
}

bool CDiskFile::bExtract(const wchar_t* pszDestination, const wchar_t* pszSource, int64_t oOffset, int64_t oSize)
{
    CSlashName dst(pszDestination);
    CDiskFile local;
    return dst.bOk() &&
           local.bOpen(pszSource, XACCESS_READ, XSHARE_NONE, XCREATE_OPEN_ALWAYS, XFLAG_NONE, nullptr) &&
           local.bExtract(dst.psz(), oOffset, oSize);
}

bool CDiskFile::_sbCopyUnix(const wchar_t* pszDestination, const wchar_t* pszSource)
{
    CDiskFile src;
    CDiskFile dst;
    if (!src.bOpen(pszSource, XACCESS_READ, XSHARE_NONE, XCREATE_EXISTING, XFLAG_NONE, nullptr) ||
        !dst.bOpen(pszDestination, XACCESS_WRITE, XSHARE_NONE, XCREATE_CREATE_ALWAYS, XFLAG_NONE, nullptr))
        return false;
    unsigned char ab[4096];
    return bCopyRest(src, dst, ab, sizeof ab);
}

bool CDiskFile::bCopy(const wchar_t* pszDestination, const wchar_t* pszSource, CXError* pclError)
{
    CSlashName dst(pszDestination);
    CSlashName src(pszSource);
    bool bOk = dst.bOk() && src.bOk();
    if (bOk) {
        struct stat stDst;
        struct stat stSrc;
        if (std::wcscmp(dst.psz(), src.psz()) == 0 ||
            (Unix_stat(dst.psz(), &stDst) == 0 && Unix_stat(src.psz(), &stSrc) == 0 && stDst.st_dev == stSrc.st_dev &&
             stDst.st_ino == stSrc.st_ino)) {
            // Opening the destination would empty the source.
            errno = EINVAL;
            bOk = false;
        } else {
            bOk = _sbCopyUnix(dst.psz(), src.psz());
        }
    }
    if (_bOnError(bOk, pclError))
        _AddStaticMessage(pclError, XFILE_MSG_COPY, pszSource, pszDestination, pszDestination, pszSource);
    return bOk;
}

bool CDiskFile::bConcat(const wchar_t* pszDestination, const wchar_t* pszSource)
{
    CDiskFile src;
    CDiskFile dst;
    if (!src.bOpen(pszSource, XACCESS_READ, XSHARE_NONE, XCREATE_OPEN_ALWAYS, XFLAG_NONE, nullptr) ||
        !dst.bOpen(pszDestination, XACCESS_WRITE, XSHARE_NONE, XCREATE_OPEN_ALWAYS, XFLAG_NONE, nullptr))
        return false;
    // A file appended to itself would grow for as long as it is read.
    struct stat stSrc;
    struct stat stDst;
    if (fstat(src.m_fd, &stSrc) != 0 || fstat(dst.m_fd, &stDst) != 0 ||
        (stSrc.st_dev == stDst.st_dev && stSrc.st_ino == stDst.st_ino)) {
        errno = EINVAL;
        return false;
    }
    if (!dst.bSeek(0, XSEEK_END))
        return false;
    CBlock block(kCopyBlock);
    return block.p() != nullptr && bCopyRest(src, dst, block.p(), kCopyBlock);
}

bool CDiskFile::bChargeFichier(CZLBIN& buffer, const wchar_t* pszName, CXError* pclError)
{
    CDiskFile file;
    bool bOk = file.bOpen(pszName, XACCESS_READ, XSHARE_NONE, XCREATE_EXISTING, XFLAG_NONE, nullptr);
    if (bOk) {
        // The size is checked whole before anything is sized from it.
        const int64_t oSize = file.oGetSize();
        if (oSize < 0 || oSize > kMaxLoad) {
            const int nError = oSize < 0 ? errno : EFBIG;
            file._ResetError();
            file._Report(XFILE_MSG_READ, static_cast<unsigned>(nError), nullptr, nullptr, file.m_pszErrorName);
            bOk = false;
        } else if (buffer.nSetSize(static_cast<int>(oSize)) != 0) {
            file.m_pclError->SetErrorNoMemory();
            bOk = false;
        } else if (oSize > 0) {
            bOk = file.bRead(buffer.pbyGetBuffer(), static_cast<unsigned>(oSize), nullptr);
        }
    }
    if (!bOk && pclError != nullptr)
        pclError->LightCopy(file.m_pclError);
    return bOk;
}

bool CDiskFile::bGetTime(_stXFILETIME* pCreation, _stXFILETIME* pAccess, _stXFILETIME* pWrite)
{
    FILETIME ftCreation, ftAccess, ftWrite;
    if (!GetFileTime(m_fd, &ftCreation, &ftAccess, &ftWrite))
        return false;
    return (pCreation == nullptr || bFileTimeToSystemTime(&ftCreation, pCreation)) &&
           (pAccess == nullptr || bFileTimeToSystemTime(&ftAccess, pAccess)) &&
           (pWrite == nullptr || bFileTimeToSystemTime(&ftWrite, pWrite));
}

bool CDiskFile::bSetTime(const FILETIME* pCreation, const FILETIME* pAccess, const FILETIME* pWrite)
{
    return SetFileTime(m_szName, pCreation, pAccess, pWrite);
}

bool CDiskFile::bSetTime(const _stXFILETIME* pCreation, const _stXFILETIME* pAccess, const _stXFILETIME* pWrite)
{
    (void)pCreation;  // the file system keeps none to set
    FILETIME ftAccess, ftWrite;
    if (pAccess != nullptr && !bSystemTimeToFileTime(pAccess, &ftAccess))
        return false;
    if (pWrite != nullptr && !bSystemTimeToFileTime(pWrite, &ftWrite))
        return false;
    return SetFileTime(m_szName, nullptr, pAccess ? &ftAccess : nullptr, pWrite ? &ftWrite : nullptr);
}
