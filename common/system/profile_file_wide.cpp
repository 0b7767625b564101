// The wide profile calls: names reach the system as UTF-8 through the file
// layer.
#include <unistd.h>

#include <cstdio>
#include <cwchar>

#include "common/system/disk_file.h"
#include "common/system/integer_text.h"
#include "common/system/profile_access.h"
#include "common/system/profile_file.h"
#include "common/system/profile_names.h"

unsigned int GetPrivateProfileStringW(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszDefault,
                                      wchar_t* pszBuffer, unsigned int nSize, const wchar_t* pszFileName)
{
    wchar_t szName[PROFILE_PATH_CHARS];
    FILE* pFile = __PrivateProfilePatchName(pszFileName, szName) ? CDiskFile::Unix_fopen(szName, "r") : nullptr;
    long nResult = 0;
    bool bFound = false;
    if (pFile != nullptr) {
        nResult = nReadProfileStream(pFile, pszSection, pszKey, pszBuffer, nSize, &bFound);
        std::fclose(pFile);
    }
    return nProfileReadResult(nResult, bFound, pszDefault, pszBuffer, nSize);
}

unsigned int GetPrivateProfileString(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszDefault,
                                     wchar_t* pszBuffer, unsigned int nSize, const wchar_t* pszFileName)
{
    return GetPrivateProfileStringW(pszSection, pszKey, pszDefault, pszBuffer, nSize, pszFileName);
}

int GetPrivateProfileInt(const wchar_t* pszSection, const wchar_t* pszKey, int nDefault, const wchar_t* pszFileName)
{
    wchar_t szDefault[16];
    wchar_t szValue[20];
    itow(nDefault, szDefault, 10);
    GetPrivateProfileStringW(pszSection, pszKey, szDefault, szValue, 20, pszFileName);
    return static_cast<int>(std::wcstol(szValue, nullptr, 10));
}

int WritePrivateProfileStringW(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszValue,
                               const wchar_t* pszFileName)
{
    wchar_t szName[PROFILE_PATH_CHARS];
    if (!__PrivateProfilePatchName(pszFileName, szName)) return false;
    FILE* pFile = CDiskFile::Unix_fopen(szName, CDiskFile::Unix_access(szName, F_OK) != 0 ? "w+t" : "r+t");
    if (pFile == nullptr) return false;
    const bool bOk = bWriteProfileStream(pFile, pszSection, pszKey, pszValue);
    return std::fclose(pFile) == 0 && bOk;
}

int WritePrivateProfileString(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszValue,
                              const wchar_t* pszFileName)
{
    return WritePrivateProfileStringW(pszSection, pszKey, pszValue, pszFileName);
}

unsigned int GetProfileString(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszDefault,
                              wchar_t* pszBuffer, unsigned int nSize)
{
    wchar_t szPath[PROFILE_PATH_CHARS];
    if (!bGetTVKCONFPath(szPath)) return nProfileReadResult(0, false, pszDefault, pszBuffer, nSize);
    return GetPrivateProfileStringW(pszSection, pszKey, pszDefault, pszBuffer, nSize, szPath);
}

int GetProfileInt(const wchar_t* pszSection, const wchar_t* pszKey, int nDefault)
{
    wchar_t szPath[PROFILE_PATH_CHARS];
    if (!bGetTVKCONFPath(szPath)) return nDefault;
    return GetPrivateProfileInt(pszSection, pszKey, nDefault, szPath);
}

int WriteProfileString(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszValue)
{
    wchar_t szPath[PROFILE_PATH_CHARS];
    if (!bGetTVKCONFPath(szPath)) return false;
    return WritePrivateProfileStringW(pszSection, pszKey, pszValue, szPath);
}
