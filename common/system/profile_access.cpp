#include "common/system/profile_access.h"

#include "common/system/code_page_conversion.h"
#include "common/system/profile_convert.h"
#include "common/system/profile_reader.h"
#include "common/system/profile_stream.h"
#include "common/system/profile_writer.h"
#include "common/text/str_copy.h"

#include <climits>

namespace {

template <class T>
bool bHasBuffer(const T* pszBuffer, size_t nSize)
{
    return pszBuffer != nullptr && nSize > 0;
}

int nIntSize(size_t nSize)
{
    return nSize > INT_MAX ? INT_MAX : static_cast<int>(nSize);
}

}  // namespace

long nReadProfileStream(FILE* pFile, const wchar_t* pszSection, const wchar_t* pszKey, wchar_t* pszBuffer,
                        size_t nSize, bool* pbFound)
{
    *pbFound = false;
    nSize = static_cast<size_t>(nIntSize(nSize));
    if (bFichierUnicode(pFile))
        return __ReadPrivateProfileString(pFile, pszSection, pszKey, pszBuffer, nSize, pbFound);

    CProfileScratch<char> section, key, work;
    const char* pszSection8 = nullptr;
    const char* pszKey8 = nullptr;
    char* pszWork = bHasBuffer(pszBuffer, nSize) ? work.pGet(nSize) : nullptr;
    long nResult = 0;
    if ((pszWork != nullptr || !bHasBuffer(pszBuffer, nSize)) && bProfileNarrow(pszSection, section, &pszSection8) &&
        bProfileNarrow(pszKey, key, &pszKey8))
        nResult = __ReadPrivateProfileString(pFile, pszSection8, pszKey8, pszWork, nSize, pbFound);
    if (bHasBuffer(pszBuffer, nSize)) {
        // At most one character per byte: the text and its terminator fit.
        // Bytes that 1252 leaves undefined may be dropped, so the result is
        // what the buffer holds.
        const int nChars = nResult <= 0 ? 0
                                        : MultiByteToWideChar(0, 0, pszWork, static_cast<int>(nResult) + 1,
                                                              pszBuffer, nIntSize(nSize));
        if (nChars <= 0) {
            pszBuffer[0] = 0;
            return 0;
        }
        pszBuffer[nChars - 1] = 0;
        return nChars - 1;
    }
    return nResult;
}

long nReadProfileStream(FILE* pFile, const char* pszSection, const char* pszKey, char* pszBuffer, size_t nSize,
                        bool* pbFound)
{
    *pbFound = false;
    nSize = static_cast<size_t>(nIntSize(nSize));
    if (!bFichierUnicode(pFile))
        return __ReadPrivateProfileString(pFile, pszSection, pszKey, pszBuffer, nSize, pbFound);

    CProfileScratch<wchar_t> section, key, work;
    const wchar_t* pszSectionW = nullptr;
    const wchar_t* pszKeyW = nullptr;
    wchar_t* pszWork = bHasBuffer(pszBuffer, nSize) ? work.pGet(nSize) : nullptr;
    long nResult = 0;
    if ((pszWork != nullptr || !bHasBuffer(pszBuffer, nSize)) && bProfileWiden(pszSection, section, &pszSectionW) &&
        bProfileWiden(pszKey, key, &pszKeyW))
        nResult = __ReadPrivateProfileString(pFile, pszSectionW, pszKeyW, pszWork, nSize, pbFound);
    if (bHasBuffer(pszBuffer, nSize)) {
        const int nBytes = nResult <= 0 ? 0
                                        : WideCharToMultiByte(0, 0, pszWork, static_cast<int>(nResult) + 1,
                                                              pszBuffer, nIntSize(nSize), nullptr, nullptr);
        if (nBytes <= 0) {
            pszBuffer[0] = 0;
            return 0;
        }
        pszBuffer[nBytes - 1] = 0;
        return nBytes - 1;
    }
    return nResult;
}

namespace {

template <class T>
unsigned int nResultOrDefault(long nResult, bool bFound, const T* pszDefault, T* pszBuffer, size_t nSize)
{
    if (nResult > 0) return static_cast<unsigned int>(nResult);
    if (bFound || pszDefault == nullptr) return 0;
    return static_cast<unsigned int>(STR_nCut(pszBuffer, nSize, pszDefault));
}

}  // namespace

unsigned int nProfileReadResult(long nResult, bool bFound, const wchar_t* pszDefault, wchar_t* pszBuffer,
                                size_t nSize)
{
    return nResultOrDefault(nResult, bFound, pszDefault, pszBuffer, nSize);
}

unsigned int nProfileReadResult(long nResult, bool bFound, const char* pszDefault, char* pszBuffer, size_t nSize)
{
    return nResultOrDefault(nResult, bFound, pszDefault, pszBuffer, nSize);
}

bool bWriteProfileStream(FILE* pFile, const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszValue)
{
    if (bFichierUnicode(pFile)) return __WritePrivateProfileString(pFile, pszSection, pszKey, pszValue);
    CProfileScratch<char> section, key, value;
    const char* psz[3];
    if (!bProfileNarrow(pszSection, section, &psz[0]) || !bProfileNarrow(pszKey, key, &psz[1]) ||
        !bProfileNarrow(pszValue, value, &psz[2]))
        return false;
    return __WritePrivateProfileString(pFile, psz[0], psz[1], psz[2]);
}

bool bWriteProfileStream(FILE* pFile, const char* pszSection, const char* pszKey, const char* pszValue)
{
    if (!bFichierUnicode(pFile)) return __WritePrivateProfileString(pFile, pszSection, pszKey, pszValue);
    CProfileScratch<wchar_t> section, key, value;
    const wchar_t* psz[3];
    if (!bProfileWiden(pszSection, section, &psz[0]) || !bProfileWiden(pszKey, key, &psz[1]) ||
        !bProfileWiden(pszValue, value, &psz[2]))
        return false;
    return __WritePrivateProfileString(pFile, psz[0], psz[1], psz[2]);
}
