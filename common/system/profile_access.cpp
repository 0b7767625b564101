#include "common/system/profile_access.h"

#include "common/system/code_page_conversion.h"
#include "common/system/profile_convert.h"
#include "common/system/profile_reader.h"
#include "common/system/profile_stream.h"
#include "common/system/profile_writer.h"
#include "common/text/str_copy.h"

#include <climits>

#include <type_traits>

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

// A file's texts have the width of its encoding; a caller of the other
// width is served through code page 1252 both ways.
template <class T>
using Autre = std::conditional_t<std::is_same_v<T, char>, wchar_t, char>;

template <class T>
bool bMemeLargeur(FILE* pFile)
{
    return bFichierUnicode(pFile) == std::is_same_v<T, wchar_t>;
}

bool bVersAutre(const wchar_t* pszText, CProfileScratch<char>& work, const char** ppszOut)
{
    return bProfileNarrow(pszText, work, ppszOut);
}

bool bVersAutre(const char* pszText, CProfileScratch<wchar_t>& work, const wchar_t** ppszOut)
{
    return bProfileWiden(pszText, work, ppszOut);
}

int nDepuisAutre(const char* pszSrc, int n, wchar_t* pszDst, int nCapacity)
{
    return MultiByteToWideChar(0, 0, pszSrc, n, pszDst, nCapacity);
}

int nDepuisAutre(const wchar_t* pszSrc, int n, char* pszDst, int nCapacity)
{
    return WideCharToMultiByte(0, 0, pszSrc, n, pszDst, nCapacity, nullptr, nullptr);
}

template <class T>
long nReadIn(FILE* pFile, const T* pszSection, const T* pszKey, T* pszBuffer, size_t nSize, bool* pbFound)
{
    *pbFound = false;
    nSize = static_cast<size_t>(nIntSize(nSize));
    if (bMemeLargeur<T>(pFile))
        return __ReadPrivateProfileString(pFile, pszSection, pszKey, pszBuffer, nSize, pbFound);

    CProfileScratch<Autre<T>> section, key, work;
    const Autre<T>* pszSectionF = nullptr;
    const Autre<T>* pszKeyF = nullptr;
    Autre<T>* pszWork = bHasBuffer(pszBuffer, nSize) ? work.pGet(nSize) : nullptr;
    long nResult = 0;
    if ((pszWork != nullptr || !bHasBuffer(pszBuffer, nSize)) && bVersAutre(pszSection, section, &pszSectionF) &&
        bVersAutre(pszKey, key, &pszKeyF))
        nResult = __ReadPrivateProfileString(pFile, pszSectionF, pszKeyF, pszWork, nSize, pbFound);
    if (bHasBuffer(pszBuffer, nSize)) {
        // In 1252 a byte is one character: the text and its terminator fit.
        // Bytes that 1252 leaves undefined may be dropped, so the result is
        // what the buffer holds.
        const int nUnits = nResult <= 0 ? 0
                                        : nDepuisAutre(pszWork, static_cast<int>(nResult) + 1, pszBuffer,
                                                       nIntSize(nSize));
        if (nUnits <= 0) {
            pszBuffer[0] = 0;
            return 0;
        }
        pszBuffer[nUnits - 1] = 0;
        return nUnits - 1;
    }
    return nResult;
}

template <class T>
unsigned int nResultOrDefault(long nResult, bool bFound, const T* pszDefault, T* pszBuffer, size_t nSize)
{
    if (nResult > 0) return static_cast<unsigned int>(nResult);
    if (bFound || pszDefault == nullptr) return 0;
    return static_cast<unsigned int>(STR_nCut(pszBuffer, nSize, pszDefault));
}

template <class T>
bool bWriteIn(FILE* pFile, const T* pszSection, const T* pszKey, const T* pszValue)
{
    if (bMemeLargeur<T>(pFile)) return __WritePrivateProfileString(pFile, pszSection, pszKey, pszValue);
    CProfileScratch<Autre<T>> section, key, value;
    const Autre<T>* psz[3];
    if (!bVersAutre(pszSection, section, &psz[0]) || !bVersAutre(pszKey, key, &psz[1]) ||
        !bVersAutre(pszValue, value, &psz[2]))
        return false;
    return __WritePrivateProfileString(pFile, psz[0], psz[1], psz[2]);
}

}  // namespace

long nReadProfileStream(FILE* pFile, const wchar_t* pszSection, const wchar_t* pszKey, wchar_t* pszBuffer,
                        size_t nSize, bool* pbFound)
{
    return nReadIn(pFile, pszSection, pszKey, pszBuffer, nSize, pbFound);
}

long nReadProfileStream(FILE* pFile, const char* pszSection, const char* pszKey, char* pszBuffer, size_t nSize,
                        bool* pbFound)
{
    return nReadIn(pFile, pszSection, pszKey, pszBuffer, nSize, pbFound);
}

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
    return bWriteIn(pFile, pszSection, pszKey, pszValue);
}

bool bWriteProfileStream(FILE* pFile, const char* pszSection, const char* pszKey, const char* pszValue)
{
    return bWriteIn(pFile, pszSection, pszKey, pszValue);
}
