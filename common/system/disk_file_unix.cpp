// The UTF-8 wrappers of the POSIX calls, the current and the home directory.
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/system/disk_file_system.h"
#include "common/system/file_name_text.h"
#include "common/text/ct_string.h"

// A name that does not convert fails the call with the errno the
// conversion left.
#define VX_UTF8_OR_FAIL(var, name, failure) \
    CUTF8Name var(name);                    \
    if (!var.bOk())                         \
        return failure;

int CDiskFileSystem::Unix_system(const wchar_t* pszCommand)
{
    VX_UTF8_OR_FAIL(command, pszCommand, -1);
    return std::system(command.psz());
}

int CDiskFileSystem::Unix_chdir(const wchar_t* pszPath)
{
    VX_UTF8_OR_FAIL(path, pszPath, -1);
    return chdir(path.psz());
}

DIR* CDiskFileSystem::__Unix_opendir(const wchar_t* pszPath)
{
    VX_UTF8_OR_FAIL(path, pszPath, nullptr);
    return opendir(path.psz());
}

int CDiskFileSystem::__Unix_statfs(const wchar_t* pszPath, struct statfs* pStat)
{
    VX_UTF8_OR_FAIL(path, pszPath, -1);
    return statfs(path.psz(), pStat);
}

int CDiskFileSystem::Unix_access(const wchar_t* pszPath, int nMode, unsigned* pnError)
{
    CUTF8Name path(pszPath);
    const int n = path.bOk() ? access(path.psz(), nMode) : -1;
    if (pnError != nullptr)
        *pnError = static_cast<unsigned>(errno);
    return n;
}

int CDiskFileSystem::__Unix_chown(const wchar_t* pszPath, uid_t nUid, gid_t nGid)
{
    VX_UTF8_OR_FAIL(path, pszPath, -1);
    return chown(path.psz(), nUid, nGid);
}

int CDiskFileSystem::Unix_chmod(const wchar_t* pszPath, mode_t nMode)
{
    VX_UTF8_OR_FAIL(path, pszPath, -1);
    return chmod(path.psz(), nMode);
}

int CDiskFileSystem::Unix_lstat(const wchar_t* pszPath, struct stat* pStat)
{
    VX_UTF8_OR_FAIL(path, pszPath, -1);
    return lstat(path.psz(), pStat);
}

int CDiskFileSystem::Unix_utime(const wchar_t* pszPath, const struct utimbuf* pTimes)
{
    VX_UTF8_OR_FAIL(path, pszPath, -1);
    return utime(path.psz(), pTimes);
}

int CDiskFileSystem::Unix_stat(const wchar_t* pszPath, struct stat* pStat, unsigned* pnError)
{
    CUTF8Name path(pszPath);
    const int n = path.bOk() ? stat(path.psz(), pStat) : -1;
    if (pnError != nullptr)
        *pnError = static_cast<unsigned>(errno);
    return n;
}

int CDiskFileSystem::__Unix_rename(const wchar_t* pszFrom, const wchar_t* pszTo)
{
    VX_UTF8_OR_FAIL(from, pszFrom, -1);
    VX_UTF8_OR_FAIL(to, pszTo, -1);
    return rename(from.psz(), to.psz());
}

int CDiskFileSystem::Unix_mkfifo(const wchar_t* pszPath, mode_t nMode)
{
    VX_UTF8_OR_FAIL(path, pszPath, -1);
    return mkfifo(path.psz(), nMode);
}

int CDiskFileSystem::Unix_unlink(const wchar_t* pszPath)
{
    VX_UTF8_OR_FAIL(path, pszPath, -1);
    return unlink(path.psz());
}

int CDiskFileSystem::__Unix_rmdir(const wchar_t* pszPath)
{
    VX_UTF8_OR_FAIL(path, pszPath, -1);
    return rmdir(path.psz());
}

int CDiskFileSystem::Unix_ropen(const wchar_t* pszPath, int nFlags, mode_t nMode)
{
    VX_UTF8_OR_FAIL(path, pszPath, -1);
    return open(path.psz(), nFlags, nMode);
}

int CDiskFileSystem::Unix_open(const wchar_t* pszPath, int nFlags, mode_t nMode)
{
    return Unix_ropen(pszPath, nFlags, nMode);
}

int CDiskFileSystem::Unix_open(const wchar_t* pszPath, int nFlags)
{
    VX_UTF8_OR_FAIL(path, pszPath, -1);
    return open(path.psz(), nFlags);
}

FILE* CDiskFileSystem::Unix_fopen(const wchar_t* pszPath, const char* pszMode)
{
    VX_UTF8_OR_FAIL(path, pszPath, nullptr);
    return std::fopen(path.psz(), pszMode);
}

int CDiskFileSystem::__Unix_mkdir(const wchar_t* pszPath, mode_t nMode)
{
    VX_UTF8_OR_FAIL(path, pszPath, -1);
    return mkdir(path.psz(), nMode);
}

bool CDiskFileSystem::Unix_getcwd(wchar_t* pszOut, size_t nSize)
{
    if (pszOut == nullptr || nSize == 0) {
        errno = ERANGE;
        return false;
    }
    char* pBuffer = static_cast<char*>(std::malloc(nSize));
    if (pBuffer == nullptr) {
        errno = ENOMEM;
        return false;
    }
    bool bOk = getcwd(pBuffer, nSize) != nullptr;
    if (bOk && !bUTF8NameToWide(pBuffer, pszOut, nSize)) {
        // Not well-formed, or more characters than the bytes allowed for.
        errno = nUTF8NameLength(pBuffer) < 0 ? EILSEQ : ERANGE;
        bOk = false;
    }
    std::free(pBuffer);
    return bOk;
}

bool CDiskFileSystem::Unix_gethomedir(wchar_t* pszOut, size_t nSize)
{
    if (pszOut == nullptr || nSize == 0)
        return false;
    const char* pszHome = std::getenv("HOME");
    if (pszHome == nullptr || pszHome[0] == 0) {
        const struct passwd* pw = getpwuid(getuid());
        pszHome = pw != nullptr ? pw->pw_dir : nullptr;
    }
    if (pszHome != nullptr && bUTF8NameToWide(pszHome, pszOut, nSize))
        return true;
    if (nSize >= 2) {
        pszOut[0] = L'.';
        pszOut[1] = 0;
    } else {
        pszOut[0] = 0;
    }
    return true;
}

void CDiskFileSystem::GetHomeDir(CTString* pOut)
{
    if (pOut == nullptr)
        return;
    wchar_t szHome[4097];
    Unix_gethomedir(szHome, sizeof szHome / sizeof szHome[0]);
    pOut->Set(szHome);
}
