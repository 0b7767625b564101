#pragma once

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/types.h>
#include <utime.h>

#include <cstdint>
#include <cstdio>

#include "common/system/counted_arguments.h"
#include "common/system/disk_file_path.h"
#include "common/system/time_records.h"

class CTString;
class CXError;

// File-system operations by name: the UTF-8 wrappers of the POSIX calls,
// existence and kind tests, attributes emulated from the file mode, owners
// and permissions, file times, delete, rename, move, directories, temporary
// files, disk space, directory search and tree walks. A base of CDiskFile,
// so that every one is called as CDiskFile::Name.
//
// Names are wide and reach the system as UTF-8 (a name holding a value
// that is no Unicode scalar does not convert: the call fails with EILSEQ).
// Backslashes are read as slashes. The operations that take a CXError*
// report into it only when it is given (reset on success, level 3 with
// errno and a resource message on failure); the others leave the detail in
// errno. Operations that take two names take the destination first.
class CDiskFileSystem : public CDiskFilePath
{
public:
    // A local calendar time.
    struct _stXFILETIME
    {
        uint16_t wYear;
        uint16_t wMonth;  // 1-12
        uint16_t wDay;
        uint16_t wHour;
        uint16_t wMinute;
        uint16_t wSecond;
        uint16_t wMilliseconds;
    };
    static_assert(sizeof(_stXFILETIME) == 14);

    // One directory search (see bFindFirst).
    struct _stXFINDDATA
    {
        DIR* hDir;                                // null when no search is open
        wchar_t szPattern[XFILE_PATH_CHARS];      // the name part of the pattern
        wchar_t szDirectory[XFILE_PATH_CHARS];    // with its end slash
        uint32_t dwRequired;                      // every bit must be set
        uint32_t dwExcluded;                      // no bit may be set
        wchar_t szName[XFILE_PATH_CHARS];         // what was found
        uint32_t dwAttributes;
        int64_t oSize;
        _stXFILETIME stTime;
    };

    // Bits of the attribute word: the stat mode masked with 0xE1FF (type
    // and permission bits), plus bit 31 for a name starting with '.'.
    static constexpr uint32_t XFILE_ATTRIBUTE_MASK = 0xE1FF;
    static constexpr uint32_t XFILE_ATTRIBUTE_DIRECTORY = 0x4000;
    static constexpr uint32_t XFILE_ATTRIBUTE_FILE = 0x8000;
    static constexpr uint32_t XFILE_ATTRIBUTE_HIDDEN = 0x80000000;

    // --- UTF-8 wrappers: the call's own result, errno from the call (or
    // EILSEQ / ENOMEM when the name does not convert).
    static int Unix_system(const wchar_t* pszCommand);
    static int Unix_chdir(const wchar_t* pszPath);
    static DIR* __Unix_opendir(const wchar_t* pszPath);
    static int __Unix_statfs(const wchar_t* pszPath, struct statfs* pStat);
    // errno is also stored in *pnError when given.
    static int Unix_access(const wchar_t* pszPath, int nMode, unsigned* pnError = nullptr);
    static int __Unix_chown(const wchar_t* pszPath, uid_t nUid, gid_t nGid);
    static int Unix_chmod(const wchar_t* pszPath, mode_t nMode);
    static int Unix_lstat(const wchar_t* pszPath, struct stat* pStat);
    static int Unix_utime(const wchar_t* pszPath, const struct utimbuf* pTimes);
    static int Unix_stat(const wchar_t* pszPath, struct stat* pStat, unsigned* pnError = nullptr);
    static int __Unix_rename(const wchar_t* pszFrom, const wchar_t* pszTo);
    static int Unix_mkfifo(const wchar_t* pszPath, mode_t nMode);
    static int Unix_unlink(const wchar_t* pszPath);
    static int __Unix_rmdir(const wchar_t* pszPath);
    static int Unix_ropen(const wchar_t* pszPath, int nFlags, mode_t nMode);
    static int Unix_open(const wchar_t* pszPath, int nFlags, mode_t nMode);
    static int Unix_open(const wchar_t* pszPath, int nFlags);
    static FILE* Unix_fopen(const wchar_t* pszPath, const char* pszMode);
    static int __Unix_mkdir(const wchar_t* pszPath, mode_t nMode);
    // The current directory in out of size characters (getcwd of size
    // bytes, decoded from UTF-8). False, errno kept, when getcwd fails;
    // false with ERANGE when the decoded text does not fit either.
    static bool Unix_getcwd(wchar_t* pszOut, size_t nSize);
    // $HOME, else the password-database home of the real user, decoded
    // from UTF-8; "." when there is neither (or it does not fit).
    static bool Unix_gethomedir(wchar_t* pszOut, size_t nSize);
    static void GetHomeDir(CTString* pOut);

    // --- Tests and status.
    // access(F_OK) succeeds; errno in nError. The error object is not
    // written.
    static bool bExist(const wchar_t* pszName, unsigned& nError, CXError* pclError = nullptr);
    static bool bExist(const wchar_t* pszName, CXError* pclError = nullptr);
    // stat succeeds and names a directory / a regular file.
    static bool bIsADirectory(const wchar_t* pszName, CXError* pclError = nullptr);
    static bool bIsAFile(const wchar_t* pszName, CXError* pclError = nullptr);
    // A missing name: false without report; a failing stat: report 28128.
    static bool bGetFileStatus(const wchar_t* pszName, struct stat* pStat, CXError* pclError = nullptr);
    // The size of a regular file, else -1.
    static int64_t s_oGetSize(const wchar_t* pszName, CXError* pclError = nullptr);
    // The attribute word (and the size and the modification time when
    // asked); failure: report 28130.
    static bool __bGetFileAttributesAndSize(int* pnAttributes, int64_t* poSize, FILETIME* pTime,
                                            const wchar_t* pszName, unsigned& nError, CXError* pclError);
    static bool bGetFileAttributes(const wchar_t* pszName, int& nAttributes, unsigned& nError,
                                   CXError* pclError = nullptr);
    static bool bGetFileAttributes(int* pnAttributes, const wchar_t* pszName, CXError* pclError = nullptr);
    // Local time of the last modification; reports 28128 (status) or 28129
    // (time conversion).
    static bool bGetLastModificationTime(const wchar_t* pszName, _stXFILETIME* pTime, CXError* pclError = nullptr);

    // --- Changes.
    // Mode 0444 for the attribute values -1 and -2, else 0666.
    static bool bSetFileAttributes(const wchar_t* pszName, int nAttributes, CXError* pclError = nullptr);
    static bool bSetFileAttributesUnix(const wchar_t* pszName, mode_t nMode, CXError* pclError = nullptr);
    static bool bSetFileOwnerUnix(const wchar_t* pszName, uid_t nUid, gid_t nGid, CXError* pclError = nullptr);
    // Owner first, then mode.
    static bool bSetFileOwnerAttributes(const wchar_t* pszName, mode_t nMode, uid_t nUid, gid_t nGid,
                                        CXError* pclError = nullptr);
    static bool bDelete(const wchar_t* pszName, CXError* pclError = nullptr);
    static bool bForceDelete(const wchar_t* pszName, CXError* pclError = nullptr);
    // Tree callback form: the data is the error object (or null).
    static int __bForceDeleteOnTree(const wchar_t* pszName, void* pData);
    // Fails with EEXIST when the destination exists.
    static bool bRename(const wchar_t* pszDestination, const wchar_t* pszSource, CXError* pclError = nullptr);
    // The same file reached twice (same device and inode, links followed):
    // true, nothing done. Otherwise rename(2), which replaces an existing
    // destination atomically; only where it cannot (a directory in the
    // way) is the destination removed first.
    static bool bMove(const wchar_t* pszDestination, const wchar_t* pszSource, CXError* pclError = nullptr);
    // Creates every missing level with mode 0777; an existing directory is
    // success. A name over 260 characters fails with ENAMETOOLONG. Report
    // 28126 with the path that failed.
    static bool bCreateDirectory(const wchar_t* pszName, CXError* pclError = nullptr);
    static bool bDeleteDirectory(const wchar_t* pszName, CXError* pclError = nullptr);

    // --- Places.
    static bool bGetCurrentDirectory(wchar_t* pszOut, CXError* pclError = nullptr);
    // The temporary directory with its end slash ($TMPDIR when it is a
    // writable directory, else /tmp), in XFILE_PATH_CHARS characters.
    static bool bGetTempDirectory(wchar_t* pszOut, CXError* pclError = nullptr);
    // Creates an empty file directory + prefix + 6 characters (mkstemp) and
    // gives its name (XFILE_PATH_CHARS characters).
    static bool bGetTempName(wchar_t* pszOut, const wchar_t* pszDirectory, const wchar_t* pszPrefix,
                             CXError* pclError = nullptr);
    // In the temporary directory, created when missing.
    static bool bGetTempName(wchar_t* pszOut, const wchar_t* pszPrefix, CXError* pclError = nullptr);
    // Of the path, or of the current directory for null; outputs optional.
    static bool bGetDiskSpace(const wchar_t* pszPath, int64_t* poTotal, int64_t* poFree,
                              CXError* pclError = nullptr);
    static bool bGetDiskFreeSpace(const wchar_t* pszPath, int64_t* poFree, CXError* pclError = nullptr);
    // GetFullPathName; the length (when given) receives its result, plus 1
    // on success. Result 0: report 28131; a result that does not fit: false
    // without report.
    static bool bGetFullPath(wchar_t* pszOut, unsigned nSize, const wchar_t* pszName, unsigned* pnLength,
                             CXError* pclError = nullptr);
    static bool sbIsBadNetworkFile(const wchar_t*) { return false; }
    static bool bSystemSupportHugeFile(CXError* = nullptr) { return true; }

    // --- Directory search. The pattern is a directory (up to its last '/',
    // else the current directory) and a name pattern (_bFiltreFileName).
    // Entries are classified with stat (links followed); "." and ".." are
    // skipped. A missing directory is no error (the error only reset).
    static bool bFindFirst(const wchar_t* pszPattern, _stXFINDDATA* pFind, uint32_t dwRequired,
                           uint32_t dwExcluded, CXError* pclError = nullptr);
    static bool bFindNext(_stXFINDDATA* pFind, CXError* pclError = nullptr);
    static bool bFindClose(_stXFINDDATA* pFind, CXError* pclError = nullptr);

    // --- Tree walks. The callback gets (full name, data) and answers 0 to
    // stop. The root is given with its end slash. Entries are classified
    // with lstat: a symbolic link is handed to the callback as a file (never
    // as a directory) and never descended into. A walk whose root + pattern
    // (or root + name of an entry) passes 260 characters fails (ENAMETOOLONG)
    // rather than work on a cut name.
    using PFNTREECALLBACK = int (*)(const wchar_t* pszName, void* pData);
    static bool bDoOnFileTree(const wchar_t* pszRoot, const wchar_t* pszPattern, PFNTREECALLBACK pfn, void* pData,
                              int bIncludeDirectories, int bRecurse);
    static bool bDoOnDirectoryTree(const wchar_t* pszRoot, const wchar_t* pszPattern, PFNTREECALLBACK pfn,
                                   void* pData, int bIncludeDirectories, int bRecurse);
    // Unlinks every matching file (and link), in subdirectories too with
    // bRecurse.
    static bool bForceDeleteOnFileTree(const wchar_t* pszRoot, const wchar_t* pszPattern, int bRecurse,
                                       CXError* pclError = nullptr);
    // Empties the directory (links are unlinked, never followed); the
    // directory itself stays.
    static bool _bDeltree(const wchar_t* pszDirectory, CXError* pclError = nullptr);
    static bool bPurgeTree(const wchar_t* pszDirectory, CXError* pclError = nullptr);
    static bool bForcePurgeTree(const wchar_t* pszDirectory, CXError* pclError = nullptr);
    // Empties, then removes the directory.
    static bool bDeleteTree(const wchar_t* pszDirectory, CXError* pclError = nullptr);
    static bool bForceDeleteTree(const wchar_t* pszDirectory, CXError* pclError = nullptr);
    static bool bDeleteTreeEvenReadOnly(const wchar_t* pszDirectory, CXError* pclError = nullptr);

    // --- Time conversions (FILETIMEs are UTC, _stXFILETIME local).
    static bool bFileTimeToSystemTime(const FILETIME* pFileTime, _stXFILETIME* pTime);
    static bool bSystemTimeToFileTime(const _stXFILETIME* pTime, FILETIME* pFileTime);
    // b's first differing field minus a's (positive when a is earlier).
    static int nCompareSystemTime(const _stXFILETIME* a, const _stXFILETIME* b);
    static bool bSystemTimeToDosFileTime(const _stXFILETIME* pTime, unsigned* pnDos);
    static bool bDosFileTimeToSystemTime(unsigned nDos, _stXFILETIME* pTime);

protected:
    // errno saved; without an error object nothing. With one: reset; on
    // failure level 3 and the saved errno as system error. True when the
    // caller must add its message. errno keeps its value.
    static bool _bOnError(bool bSuccess, CXError* pclError);
    // Completes the report of a failed static operation after _bOnError:
    // the module descriptor, the resource message with its printf
    // arguments, and the source and destination names as info items (each
    // when not null). The arguments are counted, so that the message never
    // reads one its caller did not pass.
    template <class... Args>
    static void _AddStaticMessage(CXError* pclError, unsigned nResourceId, const wchar_t* pszSrcFile,
                                  const wchar_t* pszDstFile, Args... args)
    {
        CallWithCountedArguments(
            [&](va_list* pList, int n) {
                _AddStaticMessageList(pclError, nResourceId, pszSrcFile, pszDstFile, pList, n);
            },
            args...);
    }
    // The same with the list of nArgs arguments.
    static void _AddStaticMessageList(CXError* pclError, unsigned nResourceId, const wchar_t* pszSrcFile,
                                      const wchar_t* pszDstFile, va_list* pArgs, int nArgs);
    // Reset, level 3, the module descriptor and "##MemoryException##".
    static void _OnMemoryError(CXError* pclError);
};
