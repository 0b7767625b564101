// Text files with byte-order marks, decoded into wide runtime strings.
#include <cerrno>

#include "common/system/code_page_conversion.h"
#include "common/system/disk_file.h"
#include "common/text/simple_buffer.h"
#include "common/text/utf8_scan.h"

namespace {

// The largest text decoded: the runtime's strings stop there.
constexpr int64_t kMaxText = 0x7FFFFEFF;

}  // namespace

bool CDiskFile::bChargeTexteBOMFromBuffer(CXYString<wchar_t>& text, unsigned char* pData, unsigned nSize,
                                          unsigned nCodePage, etxType* peType)
{
    unsigned nSkip = 0;
    etxType eType = TXT_CODEPAGE;
    bool bMark = false;
    if (pData != nullptr && nSize >= 2) {
        if (pData[0] == 0xFE && pData[1] == 0xFF) {
            // Big-endian UTF-16 becomes little-endian in place.
            for (unsigned i = 0; i + 1 < nSize; i += 2) {
                const unsigned char b = pData[i];
                pData[i] = pData[i + 1];
                pData[i + 1] = b;
            }
            nSkip = 2;
            eType = TXT_UTF16;
            bMark = true;
        } else if (pData[0] == 0xFF && pData[1] == 0xFE) {
            nSkip = 2;
            eType = TXT_UTF16;
            bMark = true;
        } else if (nSize >= 3 && pData[0] == 0xEF && pData[1] == 0xBB && pData[2] == 0xBF) {
            nSkip = 3;
            eType = TXT_UTF8;
            nCodePage = CP_UTF8;
            bMark = true;
        }
    }
    if (!bMark) {
        if (pData != nullptr && UTF8Valide(reinterpret_cast<const char*>(pData), static_cast<int>(nSize)) &&
            nSize <= kMaxText) {
            eType = TXT_UTF8;
            nCodePage = CP_UTF8;
        } else {
            eType = TXT_CODEPAGE;
        }
    }
    if (peType != nullptr)
        *peType = eType;
    text.Vide();
    const unsigned nRest = pData != nullptr ? nSize - nSkip : 0;
    if (nRest == 0)
        return true;
    if (nRest > kMaxText)
        return false;  // more than a string holds
    if (eType == TXT_UTF16) {
        const int nUnits = static_cast<int>(nRest / 2);
        if (nUnits == 0 || text.__nNew(nUnits, nullptr, 0, 0) != 0)
            return nUnits == 0;
        wchar_t* p = text.ptGetBuffer();
        const unsigned char* q = pData + nSkip;
        for (int i = 0; i < nUnits; ++i)
            p[i] = static_cast<wchar_t>(q[2 * i] | (q[2 * i + 1] << 8));
        text._nSetUtilLength(nUnits);
        return true;
    }
    const char* pszSrc = reinterpret_cast<const char*>(pData + nSkip);
    const int nChars = MultiByteToWideChar(nCodePage, 0, pszSrc, static_cast<int>(nRest), nullptr, 0);
    if (nChars <= 0 || text.__nNew(nChars, nullptr, 0, 0) != 0)
        return true;
    const int nDone = MultiByteToWideChar(nCodePage, 0, pszSrc, static_cast<int>(nRest), text.ptGetBuffer(), nChars);
    text._nSetUtilLength(nDone > 0 ? nDone : 0);
    return true;
}

bool CDiskFile::bChargeTexteBOM(CXYString<wchar_t>& text, const wchar_t* pszName, unsigned nCodePage,
                                etxType* peType)
{
    text.Vide();
    if (peType != nullptr)
        *peType = TXT_CODEPAGE;
    CDiskFile file;
    if (!file.bOpen(pszName, XACCESS_READ, XSHARE_NONE, XCREATE_EXISTING, XFLAG_NONE, nullptr))
        return false;
    const int64_t oSize = file.oGetSize();
    if (oSize < 0 || oSize > kMaxText) {
        // The whole 64-bit size is checked before a buffer is sized.
        if (oSize >= 0)
            errno = EFBIG;
        return false;
    }
    if (oSize == 0)
        return true;
    CSimpleBuffer buffer;
    if (!buffer.SetSize(static_cast<unsigned long>(oSize)) ||
        !file.bRead(buffer.pGetData(), static_cast<unsigned>(oSize), nullptr))
        return false;
    return bChargeTexteBOMFromBuffer(text, static_cast<unsigned char*>(buffer.pGetData()),
                                     static_cast<unsigned>(oSize), nCodePage, peType);
}
