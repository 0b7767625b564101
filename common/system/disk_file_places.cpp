// The current and the temporary directory, temporary files, disk space and
// full paths.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "common/system/disk_file_messages.h"
#include "common/system/disk_file_system.h"
#include "common/system/file_name_text.h"

bool CDiskFileSystem::bGetCurrentDirectory(wchar_t* pszOut, CXError* pclError)
{
    const bool bOk = Unix_getcwd(pszOut, XFILE_PATH_CHARS);
    if (_bOnError(bOk, pclError))
        _AddStaticMessage(pclError, XFILE_MSG_CURRENT_DIRECTORY, nullptr, nullptr);
    return bOk;
}

bool CDiskFileSystem::bGetTempDirectory(wchar_t* pszOut, CXError* pclError)
{
    // The directory the C library's temporary names use: $TMPDIR when it
    // names a directory, else /tmp. Its end slashes are cut to one.
    const char* pszDir = secure_getenv("TMPDIR");
    struct stat st;
    if (pszDir == nullptr || pszDir[0] == 0 || stat(pszDir, &st) != 0 || !S_ISDIR(st.st_mode))
        pszDir = "/tmp";
    size_t n = std::strlen(pszDir);
    while (n > 1 && pszDir[n - 1] == '/')
        --n;
    char* pszCopy = static_cast<char*>(std::malloc(n + 2));
    bool bOk = pszCopy != nullptr;
    if (bOk) {
        std::memcpy(pszCopy, pszDir, n);
        if (pszCopy[n - 1] != '/')
            pszCopy[n++] = '/';
        pszCopy[n] = 0;
        // Names are UTF-8 on the way in and out alike.
        bOk = bUTF8NameToWide(pszCopy, pszOut, XFILE_PATH_CHARS);
        if (!bOk)
            errno = nUTF8NameLength(pszCopy) < 0 ? EILSEQ : ENAMETOOLONG;
        std::free(pszCopy);
    } else {
        errno = ENOMEM;
    }
    if (_bOnError(bOk, pclError))
        _AddStaticMessage(pclError, XFILE_MSG_TEMP_DIRECTORY, nullptr, nullptr);
    return bOk;
}

bool CDiskFileSystem::bGetTempName(wchar_t* pszOut, const wchar_t* pszDirectory, const wchar_t* pszPrefix,
                                   CXError* pclError)
{
    CSlashName dir(pszDirectory);
    CSlashName prefix(pszPrefix);
    bool bOk = dir.bOk() && prefix.bOk();
    if (bOk) {
        const bool bSlash = dir.nLen() > 0 && dir.psz()[dir.nLen() - 1] != L'/';
        const size_t nLen = dir.nLen() + (bSlash ? 1 : 0) + prefix.nLen() + 6;
        if (nLen >= XFILE_PATH_CHARS) {
            errno = ENAMETOOLONG;
            bOk = false;
        } else {
            wchar_t szTemplate[XFILE_PATH_CHARS];
            std::wmemcpy(szTemplate, dir.psz(), dir.nLen());
            size_t i = dir.nLen();
            if (bSlash)
                szTemplate[i++] = L'/';
            std::wmemcpy(szTemplate + i, prefix.psz(), prefix.nLen());
            i += prefix.nLen();
            std::wmemcpy(szTemplate + i, L"XXXXXX", 7);
            CUTF8Name utf8(szTemplate);
            bOk = utf8.bOk();
            if (bOk) {
                // mkstemp fills the template in place: the name is ours.
                const size_t nBytes = std::strlen(utf8.psz());
                char* pszName = static_cast<char*>(std::malloc(nBytes + 1));
                bOk = pszName != nullptr;
                if (bOk) {
                    std::memcpy(pszName, utf8.psz(), nBytes + 1);
                    const int fd = mkstemp(pszName);
                    bOk = fd >= 0;
                    if (bOk) {
                        close(fd);
                        bOk = bUTF8NameToWide(pszName, pszOut, XFILE_PATH_CHARS);
                    }
                    std::free(pszName);
                } else {
                    errno = ENOMEM;
                }
            }
        }
    }
    if (_bOnError(bOk, pclError))
        _AddStaticMessage(pclError, XFILE_MSG_TEMP_NAME, nullptr, nullptr, pszDirectory ? pszDirectory : L"",
                          pszPrefix ? pszPrefix : L"");
    return bOk;
}

bool CDiskFileSystem::bGetTempName(wchar_t* pszOut, const wchar_t* pszPrefix, CXError* pclError)
{
    wchar_t szDir[XFILE_PATH_CHARS];
    if (!bGetTempDirectory(szDir, pclError))
        return false;
    if (!bExist(szDir) && !bCreateDirectory(szDir, pclError))
        return false;
    return bGetTempName(pszOut, szDir, pszPrefix, pclError);
}

bool CDiskFileSystem::bGetDiskSpace(const wchar_t* pszPath, int64_t* poTotal, int64_t* poFree, CXError* pclError)
{
    CSlashName path(pszPath != nullptr ? pszPath : L".");
    struct statfs st;
    const bool bOk = path.bOk() && __Unix_statfs(path.psz(), &st) == 0;
    if (_bOnError(bOk, pclError))
        _AddStaticMessage(pclError, XFILE_MSG_DISK_SPACE, path.psz(), nullptr, path.bOk() ? path.psz() : L"");
    if (!bOk)
        return false;
    if (poTotal != nullptr)
        *poTotal = static_cast<int64_t>(st.f_bsize) * static_cast<int64_t>(st.f_blocks);
    if (poFree != nullptr)
        *poFree = static_cast<int64_t>(st.f_bsize) * static_cast<int64_t>(st.f_bavail);
    return true;
}

bool CDiskFileSystem::bGetDiskFreeSpace(const wchar_t* pszPath, int64_t* poFree, CXError* pclError)
{
    return bGetDiskSpace(pszPath, nullptr, poFree, pclError);
}

bool CDiskFileSystem::bGetFullPath(wchar_t* pszOut, unsigned nSize, const wchar_t* pszName, unsigned* pnLength,
                                   CXError* pclError)
{
    const unsigned n = GetFullPathName(pszName, nSize, pszOut, nullptr);
    if (pnLength != nullptr)
        *pnLength = n;
    if (_bOnError(n != 0, pclError))
        _AddStaticMessage(pclError, XFILE_MSG_FULL_PATH, pszName, nullptr, pszName ? pszName : L"");
    if (n == 0 || n >= nSize)
        return false;
    if (pnLength != nullptr)
        *pnLength = n + 1;
    return true;
}
