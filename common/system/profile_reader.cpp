#include "common/system/profile_reader.h"

#include "common/system/profile_text.h"

namespace {

template <class T>
long nBufferLen(const T* pszBuffer, size_t nSize)
{
    if (pszBuffer == nullptr || nSize == 0) return 0;
    size_t n = 0;
    while (n < nSize && pszBuffer[n] != 0) ++n;
    return static_cast<long>(n);
}

// Appends a name and "\r\n", each bounded by the buffer size.
template <class T>
void AppendName(T* pszBuffer, size_t nSize, const T* pszName, long nLen)
{
    if (pszBuffer == nullptr || nSize == 0) return;
    static const T szLineEnd[] = {'\r', '\n', 0};
    CProfileText<T>::nCat(pszBuffer, nSize, pszName, nLen);
    CProfileText<T>::nCat(pszBuffer, nSize, szLineEnd, 2);
}

template <class T>
long nRead(FILE* pFile, const T* pszSection, const T* pszKey, T* pszBuffer, size_t nSize, bool* pbFound)
{
    using Text = CProfileText<T>;
    if (pbFound != nullptr) *pbFound = false;
    if (pszBuffer != nullptr && nSize > 0) pszBuffer[0] = 0;
    long nResult = 0;
    if (pFile == nullptr) return nResult;

    CProfileLine<T> line;
    const bool bListSections = pszSection == nullptr || pszSection[0] == 0;
    const size_t nSectionLen = bListSections ? 0 : Text::nLen(pszSection);

    // The section.
    for (;;) {
        if (line.nRead(pFile) < 0) return nResult;
        T* psz = line.m_psz;
        Text::TrimLeft(psz);
        if (!bListSections) {
            if (bIsSectionHeader(psz, pszSection, nSectionLen)) break;
        } else if (psz[0] == '[') {
            if (const T* pszClose = Text::pszFind(psz, ']'))
                AppendName(pszBuffer, nSize, psz + 1, static_cast<long>(pszClose - (psz + 1)));
        }
        nResult = nBufferLen(pszBuffer, nSize);
    }

    // Its keys.
    const size_t nKeyLen = (pszKey == nullptr || pszKey[0] == 0) ? 0 : Text::nLen(pszKey);
    for (;;) {
        if (line.nRead(pFile) < 0) return nResult;
        T* psz = line.m_psz;
        Text::TrimLeft(psz);
        if (psz[0] == '[' && Text::pszFind(psz, ']') != nullptr) return nResult;
        if (psz[0] == ':') continue;
        if (nKeyLen > 0 && (Text::nCaseCompare(psz, pszKey, nKeyLen) != 0 || !bEndsKeyName(psz[nKeyLen])))
            continue;
        const size_t nLineLen = Text::nLen(psz);
        if (nLineLen == 0 || nLineLen <= nKeyLen) continue;
        T* pszEqual = psz[nKeyLen] == '=' ? psz + nKeyLen : Text::pszFind(psz + nKeyLen, '=');
        if (pszEqual == nullptr) continue;
        // The line proper ends at its first CR or LF; an '=' beyond it does
        // not belong to the line.
        T* pszEnd = psz;
        while (*pszEnd != 0 && *pszEnd != '\r' && *pszEnd != '\n') ++pszEnd;
        *pszEnd = 0;
        if (pszEqual >= pszEnd) continue;

        if (nKeyLen > 0) {
            const T* pszValue = pszEqual + 1;
            while (*pszValue == ' ' || *pszValue == '\t') ++pszValue;
            const long nCopied = (pszBuffer != nullptr && nSize > 0) ? Text::nCut(pszBuffer, nSize, pszValue) : 0;
            if (pbFound != nullptr) *pbFound = true;
            return nCopied;
        }
        if (pszBuffer == nullptr || nSize <= static_cast<size_t>(nResult) + 1) return nResult;
        *pszEqual = 0;
        Text::TrimRight(psz);
        AppendName(pszBuffer, nSize, psz, -1);
        nResult = nBufferLen(pszBuffer, nSize);
    }
}

}  // namespace

long __ReadPrivateProfileString(FILE* pFile, const char* pszSection, const char* pszKey, char* pszBuffer,
                                size_t nSize, bool* pbFound)
{
    return nRead(pFile, pszSection, pszKey, pszBuffer, nSize, pbFound);
}

long __ReadPrivateProfileString(FILE* pFile, const wchar_t* pszSection, const wchar_t* pszKey,
                                wchar_t* pszBuffer, size_t nSize, bool* pbFound)
{
    return nRead(pFile, pszSection, pszKey, pszBuffer, nSize, pbFound);
}
