// Existence, kind, status, attributes and modification time by name.
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "common/system/disk_file_messages.h"
#include "common/system/disk_file_system.h"
#include "common/system/file_name_text.h"
#include "common/system/system_time.h"

bool CDiskFileSystem::bExist(const wchar_t* pszName, unsigned& nError, CXError* pclError)
{
    (void)pclError;  // existence is a question, not a failure
    CSlashName name(pszName);
    if (!name.bOk()) {
        nError = static_cast<unsigned>(errno);
        return false;
    }
    return Unix_access(name.psz(), F_OK, &nError) == 0;
}

bool CDiskFileSystem::bExist(const wchar_t* pszName, CXError* pclError)
{
    unsigned nError;
    return bExist(pszName, nError, pclError);
}

bool CDiskFileSystem::bIsADirectory(const wchar_t* pszName, CXError* pclError)
{
    (void)pclError;
    CSlashName name(pszName);
    struct stat st;
    return name.bOk() && Unix_stat(name.psz(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CDiskFileSystem::bIsAFile(const wchar_t* pszName, CXError* pclError)
{
    (void)pclError;
    CSlashName name(pszName);
    struct stat st;
    return name.bOk() && Unix_stat(name.psz(), &st) == 0 && S_ISREG(st.st_mode);
}

bool CDiskFileSystem::bGetFileStatus(const wchar_t* pszName, struct stat* pStat, CXError* pclError)
{
    if (!bExist(pszName))
        return false;
    CSlashName name(pszName);
    const bool bOk = name.bOk() && Unix_stat(name.psz(), pStat) == 0;
    if (_bOnError(bOk, pclError))
        _AddStaticMessage(pclError, XFILE_MSG_STATUS, nullptr, nullptr, pszName);
    return bOk;
}

int64_t CDiskFileSystem::s_oGetSize(const wchar_t* pszName, CXError* pclError)
{
    struct stat st;
    if (!bGetFileStatus(pszName, &st, pclError) || !S_ISREG(st.st_mode))
        return -1;
    return static_cast<int64_t>(st.st_size);
}

bool CDiskFileSystem::__bGetFileAttributesAndSize(int* pnAttributes, int64_t* poSize, FILETIME* pTime,
                                                  const wchar_t* pszName, unsigned& nError, CXError* pclError)
{
    CSlashName name(pszName);
    struct stat st;
    const bool bOk = name.bOk() && Unix_stat(name.psz(), &st, &nError) == 0;
    if (!name.bOk())
        nError = static_cast<unsigned>(errno);
    if (_bOnError(bOk, pclError))
        _AddStaticMessage(pclError, XFILE_MSG_ATTRIBUTES, nullptr, nullptr, pnAttributes ? *pnAttributes : 0,
                          pszName);
    if (!bOk)
        return false;
    uint32_t dwAttributes = static_cast<uint32_t>(st.st_mode) & XFILE_ATTRIBUTE_MASK;
    if (pszGetPtrToFileName(name.psz())[0] == L'.')
        dwAttributes |= XFILE_ATTRIBUTE_HIDDEN;
    if (pnAttributes != nullptr)
        *pnAttributes = static_cast<int>(dwAttributes);
    if (poSize != nullptr)
        *poSize = static_cast<int64_t>(st.st_size);
    TimeToFileTime(st.st_mtime, pTime);
    return true;
}

bool CDiskFileSystem::bGetFileAttributes(const wchar_t* pszName, int& nAttributes, unsigned& nError,
                                         CXError* pclError)
{
    return __bGetFileAttributesAndSize(&nAttributes, nullptr, nullptr, pszName, nError, pclError);
}

bool CDiskFileSystem::bGetFileAttributes(int* pnAttributes, const wchar_t* pszName, CXError* pclError)
{
    unsigned nError;
    return __bGetFileAttributesAndSize(pnAttributes, nullptr, nullptr, pszName, nError, pclError);
}

bool CDiskFileSystem::bGetLastModificationTime(const wchar_t* pszName, _stXFILETIME* pTime, CXError* pclError)
{
    struct stat st;
    if (!bGetFileStatus(pszName, &st, pclError))
        return false;
    if (st.st_mtime < 0) {
        errno = EOVERFLOW;
        if (_bOnError(false, pclError))
            _AddStaticMessage(pclError, XFILE_MSG_STATUS, pszName, nullptr, pszName);
        return false;
    }
    struct tm tmLocal;
    const time_t t = st.st_mtime;
    const bool bOk = localtime_r(&t, &tmLocal) != nullptr;
    if (_bOnError(bOk, pclError))
        _AddStaticMessage(pclError, XFILE_MSG_MODIFICATION_TIME, pszName, nullptr, pszName);
    if (!bOk)
        return false;
    pTime->wYear = static_cast<uint16_t>(tmLocal.tm_year + 1900);
    pTime->wMonth = static_cast<uint16_t>(tmLocal.tm_mon + 1);
    pTime->wDay = static_cast<uint16_t>(tmLocal.tm_mday);
    pTime->wHour = static_cast<uint16_t>(tmLocal.tm_hour);
    pTime->wMinute = static_cast<uint16_t>(tmLocal.tm_min);
    pTime->wSecond = static_cast<uint16_t>(tmLocal.tm_sec);
    pTime->wMilliseconds = 0;
    return true;
}
