#include "common/system/profile_writer.h"

#include "common/system/profile_stream.h"
#include "common/system/profile_text.h"

namespace {

template <class T>
bool bWrite(FILE* pFile, const T* pszSection, const T* pszKey, const T* pszValue)
{
    using Text = CProfileText<T>;
    // An empty name would leave a broken header or an orphan " = value" line.
    if (pFile == nullptr || pszSection == nullptr || pszSection[0] == 0) return false;
    if (pszKey != nullptr && pszKey[0] == 0) return false;

    CProfileLine<T> line;
    const off_t oStart = ftello(pFile);
    if (oStart < 0) return false;
    const size_t nSectionLen = Text::nLen(pszSection);
    off_t oHeader = -1;
    for (;;) {
        const off_t oLine = ftello(pFile);
        const int n = line.nRead(pFile);
        if (n == STRG_LINE_NO_MEMORY) return false;
        if (n < 0) break;
        if (bIsSectionHeader(line.m_psz, pszSection, nSectionLen)) {
            oHeader = oLine;
            break;
        }
    }

    if (oHeader < 0) {
        if (pszKey == nullptr) return true;
        if (!__bSeekToNewLine(pFile, oStart, T())) return false;
        if (!__bWriteChar(pFile, T('[')) || !__bWriteText(pFile, pszSection) || !__bWriteChar(pFile, T(']')) ||
            !__bWriteChar(pFile, T('\n')))
            return false;
        const bool bOk = __bWriteKey(pFile, pszKey, pszValue);
        return std::fflush(pFile) == 0 && bOk;
    }

    if (pszKey == nullptr) {
        for (;;) {
            const off_t oLine = ftello(pFile);
            const int n = line.nRead(pFile);
            if (n == STRG_LINE_NO_MEMORY) return false;
            if (n < 0 || line.m_psz[0] == '[') return __bWriteKey(pFile, oHeader, oLine, pszKey, pszValue);
        }
    }

    const size_t nKeyLen = Text::nLen(pszKey);
    for (;;) {
        const off_t oLine = ftello(pFile);
        const int n = line.nRead(pFile);
        if (n == STRG_LINE_NO_MEMORY) return false;
        if (n < 0) {
            if (pszValue == nullptr) return true;
            if (!__bSeekToNewLine(pFile, oStart, T())) return false;
            const bool bOk = __bWriteKey(pFile, pszKey, pszValue);
            return std::fflush(pFile) == 0 && bOk;
        }
        const T* psz = line.m_psz;
        if (Text::nCompare(psz, pszKey, nKeyLen) == 0 && bEndsKeyName(psz[nKeyLen]))
            return __bWriteKey(pFile, oLine, oLine + n, pszKey, pszValue);
        if (psz[0] == '\n' || psz[0] == '\r' || psz[0] == '[') {
            if (pszValue == nullptr) return true;
            return __bWriteKey(pFile, oLine, oLine, pszKey, pszValue);
        }
    }
}

}  // namespace

bool __WritePrivateProfileString(FILE* pFile, const char* pszSection, const char* pszKey, const char* pszValue)
{
    return bWrite(pFile, pszSection, pszKey, pszValue);
}

bool __WritePrivateProfileString(FILE* pFile, const wchar_t* pszSection, const wchar_t* pszKey,
                                 const wchar_t* pszValue)
{
    return bWrite(pFile, pszSection, pszKey, pszValue);
}
