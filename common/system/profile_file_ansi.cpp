// The 8-bit profile calls: 8-bit names opened as they are.
#include <unistd.h>

#include <cstdio>

#include "common/system/profile_access.h"
#include "common/system/profile_file.h"
#include "common/system/profile_names.h"

unsigned int GetPrivateProfileStringA(const char* pszSection, const char* pszKey, const char* pszDefault,
                                      char* pszBuffer, unsigned int nSize, const char* pszFileName)
{
    char szName[PROFILE_PATH_CHARS];
    FILE* pFile = __PrivateProfilePatchName(pszFileName, szName) ? fopen64(szName, "r") : nullptr;
    long nResult = 0;
    bool bFound = false;
    if (pFile != nullptr) {
        nResult = nReadProfileStream(pFile, pszSection, pszKey, pszBuffer, nSize, &bFound);
        std::fclose(pFile);
    }
    return nProfileReadResult(nResult, bFound, pszDefault, pszBuffer, nSize);
}

int WritePrivateProfileStringA(const char* pszSection, const char* pszKey, const char* pszValue,
                               const char* pszFileName)
{
    char szName[PROFILE_PATH_CHARS];
    if (!__PrivateProfilePatchName(pszFileName, szName)) return false;
    FILE* pFile = fopen64(szName, access(szName, F_OK) != 0 ? "w+t" : "r+t");
    if (pFile == nullptr) return false;
    const bool bOk = bWriteProfileStream(pFile, pszSection, pszKey, pszValue);
    return std::fclose(pFile) == 0 && bOk;
}
