// The stream interface's default bodies, formatted writes and line reads.
#include "common/system/x_stream.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "common/system/formatted_output.h"
#include "common/system/x_error.h"

IXStream::~IXStream()
{
    if (m_pclError != nullptr) {
        CXError* p = m_pclError;
        m_pclError = nullptr;
        p->dwRelease();
    }
}

bool IXStream::bOpen(const wchar_t*, eACCESS, eSHARE, eCREATE, eFLAG, int*)
{
    return true;
}

bool IXStream::bReopen(eACCESS, eSHARE, eCREATE, eFLAG)
{
    return true;
}

bool IXStream::bWrite(int64_t oOffset, const void* pBuffer, unsigned nSize, unsigned* pnWritten)
{
    if (oGetOffset() != oOffset && !bSeek(oOffset, XSEEK_SET))
        return false;
    return bWrite(pBuffer, nSize, pnWritten);
}

bool IXStream::bRead(int64_t oOffset, void* pBuffer, unsigned nSize, unsigned* pnRead)
{
    if (oGetOffset() != oOffset && !bSeek(oOffset, XSEEK_SET))
        return false;
    return bRead(pBuffer, nSize, pnRead);
}

bool IXStream::bWrite(const void*, unsigned, unsigned*)
{
    return true;
}

bool IXStream::bRead(void*, unsigned, unsigned*)
{
    return true;
}

bool IXStream::bSeek(int64_t, eSEEK)
{
    return true;
}

int64_t IXStream::oGetSize()
{
    return 0;
}

int64_t IXStream::oGetSizeFast()
{
    return 0;
}

bool IXStream::bFlush()
{
    return true;
}

bool IXStream::bSetSize(int64_t, eGROW)
{
    return true;
}

bool IXStream::bIncreaseSize(int64_t)
{
    return true;
}

namespace {

// Formatted output is cut at this many characters.
constexpr size_t kFormattedChars = 1024;

}  // namespace

bool IXStream::bWriteString(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    const bool b = bWriteStringList(pszFormat, args);
    va_end(args);
    return b;
}

bool IXStream::bWriteStringList(const char* pszFormat, va_list args)
{
    char sz[kFormattedChars + 1];
    sz[0] = 0;
    if (vsnprintf(sz, sizeof sz, pszFormat, args) < 0)
        sz[0] = 0;
    return bWrite(sz, static_cast<unsigned>(std::strlen(sz)), nullptr);
}

bool IXStream::bWriteString(const wchar_t* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    const bool b = bWriteStringList(pszFormat, args);
    va_end(args);
    return b;
}

bool IXStream::bWriteStringList(const wchar_t* pszFormat, va_list args)
{
    wchar_t sz[kFormattedChars + 1];
    sz[0] = 0;
    vsnwprintfWin(sz, kFormattedChars + 1, pszFormat, args);  // what fitted, terminated
    return bWrite(sz, static_cast<unsigned>(std::wcslen(sz) * sizeof(wchar_t)), nullptr);
}

bool IXStream::bReadLine(char* pszBuffer, unsigned nSize, int* pbTruncated, unsigned nFlags)
{
    return _bReadLine(pszBuffer, nSize, pbTruncated, nFlags);
}

bool IXStream::bReadLine(wchar_t* pszBuffer, unsigned nSize, int* pbTruncated, unsigned nFlags)
{
    return _bReadLine(pszBuffer, nSize, pbTruncated, nFlags);
}

template <class T>
bool IXStream::_bReadLine(T* pszBuffer, unsigned nSize, int* pbTruncated, unsigned nFlags)
{
    constexpr unsigned kChunk = 80;
    constexpr int64_t kUnit = sizeof(T);
    if (pbTruncated != nullptr)
        *pbTruncated = 0;
    if (pszBuffer == nullptr || nSize == 0) {
        // Nothing fits: reading on would give the same answer for ever.
        errno = EINVAL;
        return false;
    }
    pszBuffer[0] = 0;
    unsigned nLen = 0;
    bool bAny = false;  // a character of the line was read
    for (;;) {
        const int64_t oStart = oGetOffset();
        T aChunk[kChunk + 1];
        unsigned nBytes = 0;
        if (!bRead(aChunk, kChunk * sizeof(T), &nBytes))
            return false;
        unsigned n = nBytes / sizeof(T);
        if (nBytes % sizeof(T) != 0 && !bSeek(oStart + n * kUnit, XSEEK_SET))
            return false;  // a cut character is read again with the rest
        if (n == 0)
            return bAny;
        const bool bEndOfData = n < kChunk;
        unsigned nEnd = n;        // where the line's text stops
        unsigned nEndLength = 0;  // characters of the line end; 0: none in the chunk
        unsigned nGiveBack = 0;   // characters read but not used
        if (nFlags & 1) {
            for (unsigned i = 0; i < n; ++i) {
                if (aChunk[i] != T('\r'))
                    continue;
                if (i + 1 < n) {
                    if (aChunk[i + 1] == T('\n')) {
                        nEnd = i;
                        nEndLength = 2;
                        break;
                    }
                } else if (!bEndOfData) {
                    // A CR closing a full chunk: one more character decides.
                    unsigned nMore = 0;
                    if (!bRead(&aChunk[n], sizeof(T), &nMore))
                        return false;
                    if (nMore == sizeof(T) && aChunk[n] == T('\n')) {
                        nEnd = i;
                        nEndLength = 2;
                    } else if (nMore != 0) {
                        nGiveBack = 1;
                    }
                }
            }
        } else {
            // The first CR or LF ends the line, whichever comes first: a
            // file mixing line ends must not have lines run together.
            unsigned i = 0;
            while (i < n && aChunk[i] != T('\r') && aChunk[i] != T('\n'))
                ++i;
            if (i < n && aChunk[i] == T('\n')) {
                nEnd = i;
                nEndLength = 1;
            } else if (i < n) {
                if (i + 1 < n) {
                    nEnd = i;
                    nEndLength = aChunk[i + 1] == T('\n') ? 2 : 1;
                } else if (bEndOfData) {
                    nEnd = i;
                    nEndLength = 1;
                } else {
                    nEnd = i;  // given back: the next chunk starts with it
                    nGiveBack = 1;
                }
            }
        }
        bAny = true;
        if (static_cast<uint64_t>(nLen) + nEnd >= nSize) {
            const unsigned nFits = nSize - 1 - nLen;
            std::memcpy(pszBuffer + nLen, aChunk, nFits * sizeof(T));
            pszBuffer[nLen + nFits] = 0;
            if (pbTruncated != nullptr)
                *pbTruncated = 1;
            return bSeek(oStart + nFits * kUnit, XSEEK_SET);
        }
        std::memcpy(pszBuffer + nLen, aChunk, nEnd * sizeof(T));
        nLen += nEnd;
        pszBuffer[nLen] = 0;
        if (nEndLength != 0)
            return bSeek(oStart + (nEnd + nEndLength) * kUnit, XSEEK_SET);
        if (nGiveBack != 0 && !bSeek(oStart + nEnd * kUnit, XSEEK_SET))
            return false;
        if (bEndOfData)
            return true;
    }
}

template bool IXStream::_bReadLine<char>(char*, unsigned, int*, unsigned);
template bool IXStream::_bReadLine<wchar_t>(wchar_t*, unsigned, int*, unsigned);

bool IXStream::bExtract(IXStream*, int64_t)
{
    return true;
}

bool IXStream::bLockFile(int64_t, int64_t)
{
    return true;
}

bool IXStream::bUnlockFile(int64_t, int64_t)
{
    return true;
}

bool IXStream::bLock(int64_t, int64_t)
{
    return true;
}

bool IXStream::bUnlock(int64_t, int64_t)
{
    return true;
}

const wchar_t* IXStream::pszGetName()
{
    return nullptr;
}

int64_t IXStream::oGetOffset()
{
    return -1;
}

bool IXStream::bIsOpen()
{
    return true;
}

CXError* IXStream::pclGetXError()
{
    return m_pclError;
}

CXError* IXStream::_pclGetXError()
{
    return m_pclError;
}

bool IXStream::vbSetNameForError(const wchar_t*)
{
    return true;
}

bool IXStream::bGetVFSFileName(wchar_t*)
{
    return false;
}

bool IXStream::bLockFileEx(int, int)
{
    return true;
}

const wchar_t* IXStream::pszReadLine(wchar_t*, unsigned, CTString*, const wchar_t*)
{
    return nullptr;
}

bool IXStream::bExtendFile(int64_t)
{
    return true;
}
