// Buffered wide line reads of the disk file.
#include <cstdlib>
#include <cwchar>

#include "common/system/disk_file.h"
#include "common/text/ct_string.h"
#include "common/text/str_copy.h"

namespace {

constexpr unsigned kBlockBytes = 0x10000;
constexpr size_t kBufferChars = 0x40004 / sizeof(wchar_t);  // 65,537 characters

}  // namespace

const wchar_t* CDiskFile::pszReadLine(wchar_t* pszBuffer, unsigned nSize, CTString* pLongLine,
                                      const wchar_t* pszSeparator)
{
    if (pszBuffer != nullptr && nSize > 0)
        pszBuffer[0] = 0;
    // Reads the next block at the position into the line buffer; the
    // bytes of a character cut at the block's end are read again with the
    // next block. False when the read fails.
    const auto bFill = [this](unsigned& nChars) {
        unsigned nBytes = 0;
        const int64_t oStart = m_oPosition;
        if (!bRead(m_pLineBuffer, kBlockBytes, &nBytes))
            return false;
        nChars = nBytes / sizeof(wchar_t);
        if (nBytes % sizeof(wchar_t) != 0 && !bSeek(oStart + nChars * sizeof(wchar_t), XSEEK_SET))
            return false;
        m_pLineBuffer[nChars] = 0;
        m_pLineCursor = m_pLineBuffer;
        return true;
    };
    if (m_pLineBuffer == nullptr) {
        m_pLineBuffer = static_cast<wchar_t*>(std::malloc(kBufferChars * sizeof(wchar_t)));
        if (m_pLineBuffer == nullptr)
            return nullptr;
        unsigned nChars = 0;
        if (!bFill(nChars) || nChars == 0) {
            std::free(m_pLineBuffer);
            m_pLineBuffer = nullptr;
            m_pLineCursor = nullptr;
            return nullptr;
        }
    }
    if (*m_pLineCursor == 0 && m_oPosition >= oGetSize())
        return nullptr;

    const wchar_t* pszResult = pszBuffer;
    bool bLong = false;  // the pieces go into the long-line string
    size_t nLen = 0;     // characters in the caller's buffer
    const auto Append = [&](const wchar_t* pPiece) {
        const size_t nPiece = std::wcslen(pPiece);
        if (!bLong && pszBuffer != nullptr && nLen + nPiece < nSize) {
            STR_nCat(pszBuffer, nSize, pPiece, -1);
            nLen += nPiece;
            return;
        }
        if (pLongLine == nullptr) {
            // Nowhere to keep a long line: the buffer keeps what fits.
            if (pszBuffer != nullptr && nSize > 0)
                nLen += static_cast<size_t>(STR_nCat(pszBuffer, nSize, pPiece, -1));
            return;
        }
        if (!bLong) {
            pLongLine->Set(pszBuffer != nullptr ? pszBuffer : L"");
            bLong = true;
        }
        pLongLine->Add(pPiece);
        pszResult = pLongLine->pszGet();
    };

    for (;;) {
        wchar_t* p = m_pLineCursor;
        wchar_t* pEnd = nullptr;
        size_t nEndLength = 0;
        if (pszSeparator != nullptr && pszSeparator[0] != 0) {
            pEnd = std::wcsstr(p, pszSeparator);
            nEndLength = std::wcslen(pszSeparator);
        } else if ((pEnd = std::wcspbrk(p, L"\r\n")) != nullptr) {
            // Whichever of CR and LF comes first: mixed line ends must not
            // run lines together.
            nEndLength = pEnd[0] == L'\r' && pEnd[1] == L'\n' ? 2 : 1;
        }
        if (pEnd != nullptr) {
            *pEnd = 0;
            Append(p);
            m_pLineCursor = pEnd + nEndLength;
            return pszResult;
        }
        Append(p);
        unsigned nChars = 0;
        if (!bFill(nChars))
            return nullptr;
        if (nChars == 0)
            return pszResult;
    }
}
