#include "common/system/vx_mfile.h"

#include <cstdlib>
#include <cstring>

#include "common/system/code_page_conversion.h"
#include "common/text/ct_string.h"

namespace {

// Reads exactly n bytes at the offset, in pieces the stream can take.
bool bReadAt(CXFile& file, int64_t oOffset, void* pBuffer, uint64_t n)
{
    constexpr uint64_t kPiece = uint64_t{1} << 30;
    unsigned char* p = static_cast<unsigned char*>(pBuffer);
    while (n > 0) {
        const unsigned nPiece = static_cast<unsigned>(n < kPiece ? n : kPiece);
        unsigned nRead = 0;
        if (!file.bRead(oOffset, p, nPiece, &nRead) || nRead != nPiece) return false;
        p += nPiece;
        oOffset += nPiece;
        n -= nPiece;
    }
    return true;
}

// True when n bytes starting at the offset lie inside a file of the size.
bool bFits(int64_t oOffset, uint64_t n, int64_t oFileSize)
{
    return oOffset >= 0 && oFileSize >= 0 && oOffset <= oFileSize && n <= static_cast<uint64_t>(oFileSize - oOffset);
}

int nCompareIds(const void* pKey, const void* pEntry)
{
    const uint32_t dwKey = *static_cast<const uint32_t*>(pKey);
    uint32_t dwEntry;
    std::memcpy(&dwEntry, pEntry, sizeof dwEntry);
    return dwKey < dwEntry ? -1 : (dwKey > dwEntry ? 1 : 0);
}

}  // namespace

CVXMFile::~CVXMFile()
{
    std::free(m_pIndex);
}

void CVXMFile::Purge()
{
    std::free(m_pIndex);
    m_pIndex = nullptr;
    m_nNbEntries = 0;
    m_dwVersion = 0;
    m_dwTailleBloc = 0;
    m_oIndexBase = 0;
    m_nIndexState = 0;
}

bool CVXMFile::bReadHeader(int64_t* poOffset)
{
    Purge();
    if (!CVXFile::bReadHeader(poOffset)) return false;
    uint32_t aValues[2];
    for (uint32_t& dw : aValues) {
        unsigned nRead = 0;
        if (!bRead(*poOffset, &dw, sizeof dw, &nRead) || nRead != sizeof dw) return false;
        *poOffset += sizeof dw;
    }
    m_dwVersion = aValues[0];
    m_dwTailleBloc = aValues[1];
    // Each file says its own code page, also when the object read another.
    m_nCodePage = m_dwVersion < 2 ? 1252 : 65001;
    m_oIndexBase = *poOffset + m_dwTailleBloc;
    return true;
}

bool CVXMFile::bVerifieFormat(const wchar_t* pszName)
{
    const bool bOk = bOpen(pszName, XFORMAT_DEFAULT, IXStream::XACCESS_READ, IXStream::XSHARE_NONE,
                           IXStream::XCREATE_EXISTING, IXStream::XFLAG_NONE) &&
                     _bChargeIndex();
    Close();
    return bOk;
}

bool CVXMFile::_bChargeIndex()
{
    if (m_nIndexState == 2) return true;
    if (m_nIndexState == 1) return false;
    m_nIndexState = 1;

    uint32_t nCount = 0;
    const int64_t oFileSize = oGetSize();
    if (!bFits(m_oIndexBase, sizeof nCount, oFileSize) || !bReadAt(*this, m_oIndexBase, &nCount, sizeof nCount))
        return false;
    const int64_t oEntries = m_oIndexBase + static_cast<int64_t>(sizeof nCount);
    const uint64_t nBytes = uint64_t{nCount} * sizeof(_stMFILE_INDEX);
    if (!bFits(oEntries, nBytes, oFileSize)) return false;

    _stMFILE_INDEX* pIndex = nullptr;
    if (nCount > 0) {
        pIndex = static_cast<_stMFILE_INDEX*>(std::malloc(static_cast<size_t>(nBytes)));
        if (pIndex == nullptr) return false;
        if (!bReadAt(*this, oEntries, pIndex, nBytes)) {
            std::free(pIndex);
            return false;
        }
    }
    m_pIndex = pIndex;
    m_nNbEntries = nCount;
    m_oIndexBase = oEntries + static_cast<int64_t>(nBytes);
    m_nIndexState = 2;
    return true;
}

bool CVXMFile::_bReadRecord(uint32_t dwId, char** ppText, uint32_t* pnLen)
{
    if (!_bChargeIndex() || m_nNbEntries == 0) return false;
    const void* pFound = std::bsearch(&dwId, m_pIndex, m_nNbEntries, sizeof(_stMFILE_INDEX), nCompareIds);
    if (pFound == nullptr) return false;
    _stMFILE_INDEX stEntry;
    std::memcpy(&stEntry, pFound, sizeof stEntry);

    // The record's first byte is skipped; then its length and its text.
    const int64_t oFileSize = oGetSize();
    if (oFileSize < 0 || m_oIndexBase > oFileSize || stEntry.oOffset >= static_cast<uint64_t>(oFileSize - m_oIndexBase))
        return false;
    const int64_t oLength = m_oIndexBase + static_cast<int64_t>(stEntry.oOffset) + 1;
    uint32_t nLen = 0;
    if (!bFits(oLength, sizeof nLen, oFileSize) || !bReadAt(*this, oLength, &nLen, sizeof nLen)) return false;
    const int64_t oText = oLength + static_cast<int64_t>(sizeof nLen);
    if (!bFits(oText, nLen, oFileSize)) return false;
    char* pText = static_cast<char*>(std::malloc(size_t{nLen} + 1));
    if (pText == nullptr) return false;
    if (!bReadAt(*this, oText, pText, nLen)) {
        std::free(pText);
        return false;
    }
    pText[nLen] = 0;
    *ppText = pText;
    *pnLen = nLen;
    return true;
}

bool CVXMFile::bLoadString(uint32_t dwId, CTString& text)
{
    char* pText = nullptr;
    uint32_t nLen = 0;
    if (!_bReadRecord(dwId, &pText, &nLen)) return false;
    text.SetANSIEx(pText, -1, m_nCodePage);
    std::free(pText);
    return true;
}

unsigned CVXMFile::nLoadString(uint32_t dwId, wchar_t* pszBuffer, unsigned nSize)
{
    char* pText = nullptr;
    uint32_t nLen = 0;
    if (!_bReadRecord(dwId, &pText, &nLen)) return 0;
    if (pszBuffer != nullptr && nSize > 0) {
        // The whole text is converted, then as much as the buffer holds is
        // kept.
        const int nSrc = nLen > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(nLen);
        const int nChars = nSrc > 0 ? MultiByteToWideChar(m_nCodePage, 0, pText, nSrc, nullptr, 0) : 0;
        wchar_t* pWide = nChars > 0 ? static_cast<wchar_t*>(std::malloc(sizeof(wchar_t) * size_t(nChars))) : nullptr;
        size_t nKept = 0;
        if (pWide != nullptr) {
            const int nDone = MultiByteToWideChar(m_nCodePage, 0, pText, nSrc, pWide, nChars);
            nKept = nDone > 0 ? static_cast<size_t>(nDone) : 0;
            if (nKept > nSize - 1) nKept = nSize - 1;
            std::memcpy(pszBuffer, pWide, nKept * sizeof(wchar_t));
            std::free(pWide);
        }
        pszBuffer[nKept] = 0;
    }
    std::free(pText);
    return nLen;
}
