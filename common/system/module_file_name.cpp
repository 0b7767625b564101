#include "common/system/module_file_name.h"

#include <unistd.h>

#include <climits>
#include <cstring>

#include "common/text/utf8_convert.h"

namespace {

constexpr const char* kSelfLink = "/proc/self/exe";
constexpr const char* kSelfMaps = "/proc/self/maps";

// Copies at most nSize - 1 bytes and terminates.
void CopyBounded(char* pszDst, unsigned int nSize, const char* pszSrc, size_t nLength)
{
    const size_t n = nLength < nSize - 1 ? nLength : nSize - 1;
    std::memcpy(pszDst, pszSrc, n);
    pszDst[n] = '\0';
}

}  // namespace

int __bModulePathFromMaps(FILE* pMaps, char* pszBuffer, unsigned int nSize)
{
    char szLine[360];
    if (nSize == 0 || std::fgets(szLine, sizeof szLine, pMaps) == nullptr)
        return 0;
    const char* pszPath = std::strchr(szLine, '/');
    if (pszPath == nullptr)
        return 0;
    CopyBounded(pszBuffer, nSize, pszPath, std::strcspn(pszPath, "\r\n"));
    return 1;
}

unsigned int GetModuleFileNameA(HINSTANCE, char* pszBuffer, unsigned int nSize)
{
    if (pszBuffer == nullptr || nSize == 0)
        return 0;
    // Read whole, then cut: a buffer of one byte still gets its terminator.
    char szLink[PATH_MAX];
    const ssize_t n = readlink(kSelfLink, szLink, sizeof szLink);
    if (n >= 0)
    {
        CopyBounded(pszBuffer, nSize, szLink, static_cast<size_t>(n));
        return 1;
    }
    FILE* pMaps = std::fopen(kSelfMaps, "r");
    if (pMaps == nullptr)
        return 0;
    const int bFound = __bModulePathFromMaps(pMaps, pszBuffer, nSize);
    std::fclose(pMaps);
    return bFound ? 1 : 0;
}

unsigned int GetModuleFileNameW(HINSTANCE, wchar_t* pszBuffer, unsigned int nSize)
{
    if (pszBuffer == nullptr || nSize == 0)
        return 0;
    // The whole link is decoded and then cut to the buffer, so that a
    // character is never split between bytes.
    char szPath[PATH_MAX];
    const ssize_t n = readlink(kSelfLink, szPath, sizeof szPath - 1);
    if (n >= 0)
        szPath[n] = '\0';
    else
    {
        FILE* pMaps = std::fopen(kSelfMaps, "r");
        if (pMaps == nullptr)
            return 0;
        const int bFound = __bModulePathFromMaps(pMaps, szPath, sizeof szPath);
        std::fclose(pMaps);
        if (!bFound)
            return 0;
    }
    const int nCapacity = nSize > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(nSize);
    UTF8ToWide(pszBuffer, nCapacity, szPath);
    return 1;
}
