#include "common/system/profile_stream.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "common/system/profile_scratch.h"
#include "common/text/unicode_units.h"

bool bFichierUnicode(FILE* pFile)
{
    if (pFile == nullptr) return false;
    const off_t oWhere = ftello(pFile);
    unsigned char aMark[2] = {0, 0};
    const bool bUnicode = fseeko(pFile, 0, SEEK_SET) == 0 && std::fread(aMark, 1, 2, pFile) == 2 &&
                          aMark[0] == 0xFF && aMark[1] == 0xFE;
    if (!(bUnicode && oWhere == 0)) {
        std::clearerr(pFile);
        fseeko(pFile, oWhere < 0 ? 0 : oWhere, SEEK_SET);
    }
    return bUnicode;
}

bool __bWriteText(FILE* pFile, const char* pszText)
{
    if (pFile == nullptr || pszText == nullptr || pszText[0] == 0) return false;
    const size_t n = std::strlen(pszText);
    return std::fwrite(pszText, 1, n, pFile) == n;
}

bool __bWriteText(FILE* pFile, const wchar_t* pszText)
{
    if (pFile == nullptr || pszText == nullptr || pszText[0] == 0) return false;
    const size_t n = std::wcslen(pszText);
    if (n > SIZE_MAX / 2 || n > INT32_MAX) return false;
    CProfileScratch<unsigned char> bytes;
    unsigned char* p = bytes.pGet(2 * n);
    if (p == nullptr) return false;
    // Little-endian on every host, unit by unit.
    for (size_t i = 0; i < n; ++i) {
        unsigned short nUnit = 0;
        WideCharToUTF16(pszText + i, 1, &nUnit, 1);
        p[2 * i] = static_cast<unsigned char>(nUnit & 0xFF);
        p[2 * i + 1] = static_cast<unsigned char>(nUnit >> 8);
    }
    return std::fwrite(p, 1, 2 * n, pFile) == 2 * n;
}

bool __bWriteChar(FILE* pFile, char c)
{
    return pFile != nullptr && std::fputc(static_cast<unsigned char>(c), pFile) != EOF;
}

bool __bWriteChar(FILE* pFile, wchar_t c)
{
    const wchar_t sz[2] = {c, 0};
    return c != 0 && __bWriteText(pFile, sz);
}

namespace {

template <class T>
bool bSeekToNewLine(FILE* pFile, off_t oStart)
{
    const off_t nUnit = sizeof(T) == 1 ? 1 : 2;
    if (pFile == nullptr || fseeko(pFile, 0, SEEK_END) != 0) return false;
    const off_t oEnd = ftello(pFile);
    if (oEnd < 0) return false;
    if (oEnd - oStart < nUnit) return true;
    unsigned char aLast[2] = {0, 0};
    if (fseeko(pFile, oEnd - nUnit, SEEK_SET) != 0 || std::fread(aLast, 1, nUnit, pFile) != static_cast<size_t>(nUnit))
        return false;
    const bool bEnded = aLast[0] == '\n' && aLast[1] == 0;
    if (fseeko(pFile, 0, SEEK_END) != 0) return false;
    return bEnded || __bWriteChar(pFile, T('\n'));
}

template <class T>
bool bWriteKey(FILE* pFile, const T* pszKey, const T* pszValue)
{
    if (pszValue == nullptr) return true;
    if (!__bWriteText(pFile, pszKey)) return false;
    if (!__bWriteChar(pFile, T(' ')) || !__bWriteChar(pFile, T('=')) || !__bWriteChar(pFile, T(' ')))
        return false;
    if (pszValue[0] != 0 && !__bWriteText(pFile, pszValue)) return false;
    return __bWriteChar(pFile, T('\n'));
}

template <class T>
bool bReplaceWithKey(FILE* pFile, off_t oFrom, off_t oTo, const T* pszKey, const T* pszValue)
{
    if (pFile == nullptr || oFrom < 0 || oTo < oFrom) return false;
    if (fseeko(pFile, 0, SEEK_END) != 0) return false;
    const off_t oEnd = ftello(pFile);
    if (oEnd < 0) return false;

    bool bOk;
    if (oEnd <= oTo) {
        if (fseeko(pFile, oFrom, SEEK_SET) != 0) return false;
        bOk = bWriteKey(pFile, pszKey, pszValue);
    } else {
        const uint64_t nTail = static_cast<uint64_t>(oEnd - oTo);
        if (nTail > SIZE_MAX) return false;
        void* pTail = std::malloc(static_cast<size_t>(nTail));
        if (pTail == nullptr) return false;
        if (fseeko(pFile, oTo, SEEK_SET) != 0 || std::fread(pTail, 1, nTail, pFile) != nTail ||
            fseeko(pFile, oFrom, SEEK_SET) != 0) {
            std::free(pTail);
            return false;
        }
        bOk = bWriteKey(pFile, pszKey, pszValue);
        const bool bTail = std::fwrite(pTail, 1, nTail, pFile) == nTail;
        std::free(pTail);
        bOk = bOk && bTail;
    }
    // The cut goes through the descriptor: what stdio holds goes first.
    if (std::fflush(pFile) != 0) return false;
    const off_t oHere = ftello(pFile);
    if (oHere < 0 || ftruncate64(fileno(pFile), oHere) != 0) return false;
    return bOk;
}

}  // namespace

bool __bSeekToNewLine(FILE* pFile, off_t oStart, char)
{
    return bSeekToNewLine<char>(pFile, oStart);
}

bool __bSeekToNewLine(FILE* pFile, off_t oStart, wchar_t)
{
    return bSeekToNewLine<wchar_t>(pFile, oStart);
}

bool __bWriteKey(FILE* pFile, const char* pszKey, const char* pszValue)
{
    return bWriteKey(pFile, pszKey, pszValue);
}

bool __bWriteKey(FILE* pFile, const wchar_t* pszKey, const wchar_t* pszValue)
{
    return bWriteKey(pFile, pszKey, pszValue);
}

bool __bWriteKey(FILE* pFile, off_t oFrom, off_t oTo, const char* pszKey, const char* pszValue)
{
    return bReplaceWithKey(pFile, oFrom, oTo, pszKey, pszValue);
}

bool __bWriteKey(FILE* pFile, off_t oFrom, off_t oTo, const wchar_t* pszKey, const wchar_t* pszValue)
{
    return bReplaceWithKey(pFile, oFrom, oTo, pszKey, pszValue);
}
