// Text converted into binary values: wide text to the bytes of a code page,
// and 8-bit text to wide text held as bytes.
#include <cstring>
#include <cwchar>

#include "common/system/code_page_conversion.h"
#include "common/text/zl_bin.h"

namespace {

constexpr int kUTF8 = 65001;
constexpr wchar_t kHighestWide = static_cast<wchar_t>(0xFFFFFFFF);

}  // namespace

int CZLBIN::nAffecteToANSI(const wchar_t* psz, int nLen, int nCodePage, int nFlags, const char* pszDefault,
                           int* pbUsedDefault, int nExtra)
{
    _Release();
    if (pbUsedDefault)
        *pbUsedDefault = 0;
    if (psz == nullptr)
        return 0;
    const int64_t nSrc = nLen == -1 ? static_cast<int64_t>(std::wcslen(psz)) : nLen;
    if (nSrc < 1)
        return 0;
    if (nSrc * static_cast<int64_t>(sizeof(wchar_t)) > STRMEM_MAX_BYTES)
        return STRMEM_ERR_TOO_LARGE;
    const int64_t nConverted = WideCharToMultiByte(static_cast<unsigned>(nCodePage), static_cast<unsigned>(nFlags),
                                                   psz, static_cast<int>(nSrc), nullptr, 0, pszDefault, nullptr);
    if (nConverted < 1)
        return STRMEM_ERR_CONVERSION;
    const int64_t nCap = nConverted + (nExtra > 0 ? nExtra : 0);
    if (nCap > STRMEM_MAX_BYTES)
        return STRMEM_ERR_TOO_LARGE;
    int rc = _nNewBlock(nCap, nullptr, 0, 0);
    if (rc != 0)
        return rc;
    const int nDone = WideCharToMultiByte(static_cast<unsigned>(nCodePage), static_cast<unsigned>(nFlags), psz,
                                          static_cast<int>(nSrc), reinterpret_cast<char*>(m_pbyData),
                                          static_cast<int>(nCap), pszDefault, pbUsedDefault);
    if (nDone < 1) {
        _Release();
        return STRMEM_ERR_CONVERSION;
    }
    _SetLength(static_cast<uint32_t>(nDone));
    return 0;
}

int CZLBIN::nAffecteToANSI(const CZLBIN* pWide, int nCodePage, int nFlags, const char* pszDefault,
                           int* pbUsedDefault)
{
    // Read through our own reference: the source may be this value.
    const CZLBIN wide(*pWide);
    const int n = wide.nGetTailleUtile() / static_cast<int>(sizeof(wchar_t));
    const wchar_t* p = reinterpret_cast<const wchar_t*>(wide.pbyGet());
    if (n > 0 && wide.bEndMarker() && p[n - 1] == kHighestWide && nCodePage != kUTF8) {
        int rc = 0;
        if (n > 1)
            rc = nAffecteToANSI(p, n - 1, nCodePage, nFlags, pszDefault, pbUsedDefault, 1);
        else
            _Release();
        if (rc != 0)
            return rc;
        const unsigned char byMarque = 0xFF;
        rc = nConcat(&byMarque, 1);
        if (rc != 0)
            return rc;
        _SetFlagsWord(1);
        return 0;
    }
    return nAffecteToANSI(p, n, nCodePage, nFlags, pszDefault, pbUsedDefault, 0);
}

int CZLBIN::nAffecteToUNICODE(const char* psz, int nLen, int nCodePage, int nFlags)
{
    _Release();
    if (psz == nullptr)
        return 0;
    const int64_t nSrc = nLen == -1 ? static_cast<int64_t>(std::strlen(psz)) : nLen;
    if (nSrc < 1)
        return 0;
    if (nSrc > STRMEM_MAX_BYTES)
        return STRMEM_ERR_TOO_LARGE;
    const int64_t nConverted = MultiByteToWideChar(static_cast<unsigned>(nCodePage), static_cast<unsigned>(nFlags),
                                                   psz, static_cast<int>(nSrc), nullptr, 0);
    if (nConverted < 1)
        return STRMEM_ERR_CONVERSION;
    const int64_t nBytes = nConverted * static_cast<int64_t>(sizeof(wchar_t));
    if (nBytes > STRMEM_MAX_BYTES)
        return STRMEM_ERR_TOO_LARGE;
    int rc = _nNewBlock(nBytes, nullptr, 0, 0);
    if (rc != 0)
        return rc;
    const int nDone = MultiByteToWideChar(static_cast<unsigned>(nCodePage), static_cast<unsigned>(nFlags), psz,
                                          static_cast<int>(nSrc), reinterpret_cast<wchar_t*>(m_pbyData),
                                          static_cast<int>(nConverted));
    if (nDone < 1) {
        _Release();
        return STRMEM_ERR_CONVERSION;
    }
    _SetLength(static_cast<uint32_t>(nDone * static_cast<int64_t>(sizeof(wchar_t))));
    return 0;
}
