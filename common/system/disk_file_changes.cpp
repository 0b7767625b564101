// Attributes, owners, delete, rename, move and directories by name.
#include <unistd.h>

#include <cerrno>
#include <cwchar>

#include "common/system/disk_file_messages.h"
#include "common/system/disk_file_system.h"
#include "common/system/file_name_text.h"

bool CDiskFileSystem::bSetFileAttributes(const wchar_t* pszName, int nAttributes, CXError* pclError)
{
    const bool bReadOnly = (static_cast<uint32_t>(nAttributes) & ~1u) == 0xFFFFFFFEu;
    return bSetFileAttributesUnix(pszName, bReadOnly ? 0444 : 0666, pclError);
}

bool CDiskFileSystem::bSetFileAttributesUnix(const wchar_t* pszName, mode_t nMode, CXError* pclError)
{
    CSlashName name(pszName);
    const bool bOk = name.bOk() && Unix_chmod(name.psz(), nMode) == 0;
    if (_bOnError(bOk, pclError))
        _AddStaticMessage(pclError, XFILE_MSG_ATTRIBUTES, nullptr, nullptr, static_cast<int>(nMode), pszName);
    return bOk;
}

bool CDiskFileSystem::bSetFileOwnerUnix(const wchar_t* pszName, uid_t nUid, gid_t nGid, CXError* pclError)
{
    CSlashName name(pszName);
    const bool bOk = name.bOk() && __Unix_chown(name.psz(), nUid, nGid) == 0;
    if (_bOnError(bOk, pclError))
        _AddStaticMessage(pclError, XFILE_MSG_OWNER, nullptr, nullptr, static_cast<unsigned>(nUid),
                          static_cast<unsigned>(nGid), pszName);
    return bOk;
}

bool CDiskFileSystem::bSetFileOwnerAttributes(const wchar_t* pszName, mode_t nMode, uid_t nUid, gid_t nGid,
                                              CXError* pclError)
{
    return bSetFileOwnerUnix(pszName, nUid, nGid, pclError) && bSetFileAttributesUnix(pszName, nMode, pclError);
}

bool CDiskFileSystem::bDelete(const wchar_t* pszName, CXError* pclError)
{
    CSlashName name(pszName);
    const bool bOk = name.bOk() && Unix_unlink(name.psz()) == 0;
    if (_bOnError(bOk, pclError))
        _AddStaticMessage(pclError, XFILE_MSG_DELETE, nullptr, nullptr, pszName);
    return bOk;
}

bool CDiskFileSystem::bForceDelete(const wchar_t* pszName, CXError* pclError)
{
    CSlashName name(pszName);
    const bool bOk = name.bOk() && Unix_unlink(name.psz()) == 0;
    (void)_bOnError(bOk, pclError);  // level and errno only: no message
    return bOk;
}

int CDiskFileSystem::__bForceDeleteOnTree(const wchar_t* pszName, void* pData)
{
    return bForceDelete(pszName, static_cast<CXError*>(pData)) ? 1 : 0;
}

bool CDiskFileSystem::bRename(const wchar_t* pszDestination, const wchar_t* pszSource, CXError* pclError)
{
    CSlashName dst(pszDestination);
    CSlashName src(pszSource);
    bool bOk = dst.bOk() && src.bOk();
    if (bOk) {
        // Anything at the destination, a dangling link included, is kept.
        struct stat st;
        if (Unix_lstat(dst.psz(), &st) == 0) {
            errno = EEXIST;
            bOk = false;
        } else {
            bOk = __Unix_rename(src.psz(), dst.psz()) == 0;
        }
    }
    if (_bOnError(bOk, pclError))
        _AddStaticMessage(pclError, XFILE_MSG_RENAME, pszSource, pszDestination, pszDestination, pszSource);
    return bOk;
}

bool CDiskFileSystem::bMove(const wchar_t* pszDestination, const wchar_t* pszSource, CXError* pclError)
{
    CSlashName dst(pszDestination);
    CSlashName src(pszSource);
    bool bOk = dst.bOk() && src.bOk();
    if (bOk) {
        // One file under two spellings, or reached through a link: moving
        // it onto itself must not remove its only copy.
        struct stat stDst;
        struct stat stSrc;
        if (Unix_stat(dst.psz(), &stDst) == 0 && Unix_stat(src.psz(), &stSrc) == 0 && stDst.st_dev == stSrc.st_dev &&
            stDst.st_ino == stSrc.st_ino) {
            (void)_bOnError(true, pclError);
            return true;
        }
        // rename(2) replaces an existing destination atomically, and when it
        // fails (another device, a missing source) the destination is intact.
        bOk = __Unix_rename(src.psz(), dst.psz()) == 0;
        if (!bOk && errno == ENOTDIR) {
            // A directory onto a file: the one case rename leaves to us.
            struct stat stLink;
            if (Unix_lstat(dst.psz(), &stLink) == 0 && !S_ISDIR(stLink.st_mode) && Unix_lstat(src.psz(), &stSrc) == 0 &&
                S_ISDIR(stSrc.st_mode) && Unix_unlink(dst.psz()) == 0)
                bOk = __Unix_rename(src.psz(), dst.psz()) == 0;
            else
                errno = ENOTDIR;
        }
    }
    if (_bOnError(bOk, pclError))
        _AddStaticMessage(pclError, XFILE_MSG_RENAME, pszSource, pszDestination, pszDestination, pszSource);
    return bOk;
}

namespace {

// mkdir of one level; an existing directory counts as made.
bool bMakeLevel(const wchar_t* pszPath)
{
    if (CDiskFileSystem::__Unix_mkdir(pszPath, 0777) == 0)
        return true;
    if (errno != EEXIST)
        return false;
    struct stat st;
    if (CDiskFileSystem::Unix_stat(pszPath, &st) == 0 && S_ISDIR(st.st_mode))
        return true;
    errno = EEXIST;
    return false;
}

}  // namespace

bool CDiskFileSystem::bCreateDirectory(const wchar_t* pszName, CXError* pclError)
{
    CSlashName name(pszName);
    if (!name.bOk() || name.nLen() == 0) {
        if (name.bOk())
            errno = ENOENT;
        if (_bOnError(false, pclError))
            _AddStaticMessage(pclError, XFILE_MSG_CREATE_DIRECTORY, pszName, nullptr, pszName ? pszName : L"");
        return false;
    }
    // A longer name is refused whole: creating a cut prefix would report
    // success for a directory that was not asked for.
    if (name.nLen() >= XFILE_PATH_CHARS) {
        errno = ENAMETOOLONG;
        if (_bOnError(false, pclError))
            _AddStaticMessage(pclError, XFILE_MSG_CREATE_DIRECTORY, name.psz(), nullptr, name.psz());
        return false;
    }
    wchar_t* p = name.psz();
    size_t n = name.nLen();
    while (n > 1 && p[n - 1] == L'/')
        p[--n] = 0;
    bool bOk = true;
    for (size_t i = 1; i < n && bOk; ++i) {
        if (p[i] != L'/' || p[i - 1] == L'/')
            continue;
        p[i] = 0;
        if (!bExist(p))
            bOk = bMakeLevel(p);
        if (bOk)
            p[i] = L'/';
    }
    if (bOk)
        bOk = bMakeLevel(p);
    if (_bOnError(bOk, pclError))
        _AddStaticMessage(pclError, XFILE_MSG_CREATE_DIRECTORY, p, nullptr, p);
    return bOk;
}

bool CDiskFileSystem::bDeleteDirectory(const wchar_t* pszName, CXError* pclError)
{
    CSlashName name(pszName);
    const bool bOk = name.bOk() && __Unix_rmdir(name.psz()) == 0;
    if (_bOnError(bOk, pclError))
        _AddStaticMessage(pclError, XFILE_MSG_DELETE_DIRECTORY, nullptr, nullptr, pszName);
    return bOk;
}
