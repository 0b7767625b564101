// Directory search: bFindFirst, bFindNext, bFindClose and CFindFile.
#include <cerrno>
#include <cstring>
#include <cwchar>

#include "common/system/disk_file_messages.h"
#include "common/system/disk_file_system.h"
#include "common/system/file_name_text.h"
#include "common/system/find_file.h"

bool CDiskFileSystem::bFindFirst(const wchar_t* pszPattern, _stXFINDDATA* pFind, uint32_t dwRequired,
                                 uint32_t dwExcluded, CXError* pclError)
{
    if (pFind == nullptr)
        return false;
    CSlashName pattern(pszPattern);
    if (!pattern.bOk()) {
        (void)_bOnError(true, pclError);
        return false;
    }
    pFind->hDir = nullptr;
    pFind->dwRequired = dwRequired;
    pFind->dwExcluded = dwExcluded;
    const wchar_t* p = pattern.psz();
    const wchar_t* pSlash = std::wcsrchr(p, L'/');
    const wchar_t* pName = pSlash != nullptr ? pSlash + 1 : p;
    const size_t nName = std::wcslen(pName);
    if (pSlash != nullptr) {
        const size_t nDir = static_cast<size_t>(pName - p);
        if (nDir >= XFILE_PATH_CHARS) {
            errno = ENAMETOOLONG;
            if (_bOnError(false, pclError))
                _AddStaticMessage(pclError, XFILE_MSG_FIND_FIRST, p, nullptr);
            return false;
        }
        std::wmemcpy(pFind->szDirectory, p, nDir);
        pFind->szDirectory[nDir] = 0;
    } else {
        if (!Unix_getcwd(pFind->szDirectory, XFILE_PATH_CHARS)) {
            (void)_bOnError(true, pclError);
            return false;
        }
        DirectoryWithEndSlash(pFind->szDirectory, XFILE_PATH_CHARS);
    }
    if (nName >= XFILE_PATH_CHARS) {
        errno = ENAMETOOLONG;
        if (_bOnError(false, pclError))
            _AddStaticMessage(pclError, XFILE_MSG_FIND_FIRST, p, nullptr);
        return false;
    }
    std::wmemcpy(pFind->szPattern, pName, nName + 1);
    pFind->hDir = __Unix_opendir(pFind->szDirectory);
    if (pFind->hDir == nullptr) {
        // A missing directory holds nothing: no error.
        const bool bMissing = errno == ENOENT;
        if (_bOnError(bMissing, pclError))
            _AddStaticMessage(pclError, XFILE_MSG_FIND_FIRST, pFind->szDirectory, nullptr);
        return false;
    }
    return bFindNext(pFind, pclError);
}

bool CDiskFileSystem::bFindNext(_stXFINDDATA* pFind, CXError* pclError)
{
    if (pFind == nullptr || pFind->hDir == nullptr)
        return false;
    const size_t nDir = std::wcslen(pFind->szDirectory);
    for (;;) {
        errno = 0;
        const struct dirent* pEntry = readdir(pFind->hDir);
        if (pEntry == nullptr) {
            if (errno == EBADF) {
                if (_bOnError(false, pclError))
                    _AddStaticMessage(pclError, XFILE_MSG_FIND_NEXT, pFind->szDirectory, nullptr);
                bFindClose(pFind, nullptr);
            } else {
                (void)_bOnError(true, pclError);
                bFindClose(pFind, nullptr);
            }
            return false;
        }
        wchar_t szName[XFILE_PATH_CHARS];
        if (!bUTF8NameToWide(pEntry->d_name, szName, XFILE_PATH_CHARS))
            continue;  // a name this layer cannot spell
        if (bIsAVirtualDirectory(szName) || !_bFiltreFileName(szName, pFind->szPattern))
            continue;
        const size_t nName = std::wcslen(szName);
        if (nDir + nName >= XFILE_PATH_CHARS)
            continue;  // its full name would not fit the search's buffers
        wchar_t szFull[XFILE_PATH_CHARS];
        std::wmemcpy(szFull, pFind->szDirectory, nDir);
        std::wmemcpy(szFull + nDir, szName, nName + 1);
        int nAttributes = 0;
        int64_t oSize = 0;
        FILETIME ft;
        unsigned nError;
        if (!__bGetFileAttributesAndSize(&nAttributes, &oSize, &ft, szFull, nError, pclError))
            continue;
        const uint32_t dwAttributes = static_cast<uint32_t>(nAttributes);
        if ((dwAttributes & pFind->dwRequired) != pFind->dwRequired || (dwAttributes & pFind->dwExcluded) != 0)
            continue;
        std::wmemcpy(pFind->szName, szName, nName + 1);
        pFind->dwAttributes = dwAttributes;
        pFind->oSize = oSize;
        if (!bFileTimeToSystemTime(&ft, &pFind->stTime))
            std::memset(&pFind->stTime, 0, sizeof pFind->stTime);
        return true;
    }
}

bool CDiskFileSystem::bFindClose(_stXFINDDATA* pFind, CXError* pclError)
{
    if (pFind == nullptr || pFind->hDir == nullptr)
        return true;
    DIR* hDir = pFind->hDir;
    pFind->hDir = nullptr;
    const bool bOk = closedir(hDir) == 0;
    if (_bOnError(bOk, pclError))
        _AddStaticMessage(pclError, XFILE_MSG_FIND_CLOSE, pFind->szDirectory, nullptr);
    return bOk;
}

CFindFile::CFindFile()
{
    std::memset(&m_stFind, 0, sizeof m_stFind);
}

CFindFile::~CFindFile()
{
    CDiskFileSystem::bFindClose(&m_stFind, nullptr);
}

bool CFindFile::bFindFirst(const wchar_t* pszPattern, uint32_t dwRequired, uint32_t dwExcluded, CXError* pclError)
{
    CDiskFileSystem::bFindClose(&m_stFind, nullptr);  // a search left open is not lost
    return CDiskFileSystem::bFindFirst(pszPattern, &m_stFind, dwRequired, dwExcluded, pclError);
}

bool CFindFile::bFindNext(CXError* pclError)
{
    return CDiskFileSystem::bFindNext(&m_stFind, pclError);
}

bool CFindFile::bFindClose(CXError* pclError)
{
    return CDiskFileSystem::bFindClose(&m_stFind, pclError);
}

void CFindFile::TransfertTo(CFindFile& other)
{
    if (&other == this)
        return;
    CDiskFileSystem::bFindClose(&other.m_stFind, nullptr);
    std::memcpy(&other.m_stFind, &m_stFind, sizeof m_stFind);
    std::memset(&m_stFind, 0, sizeof m_stFind);
}
