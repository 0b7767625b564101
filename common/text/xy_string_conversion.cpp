// Runtime strings filled from other encodings: code pages, UTF-8, UTF-16
// and UTF-32.
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "common/system/code_page_conversion.h"
#include "common/text/code_page_text.h"
#include "common/text/cp1252.h"
#include "common/text/unicode_units.h"
#include "common/text/utf8_code_page.h"
#include "common/text/xy_string.h"

namespace {

constexpr int kErrConversion = 105;
constexpr int kUTF8 = 65001;
constexpr wchar_t kHighestWide = static_cast<wchar_t>(0xFFFFFFFF);

// Units asked for: the converted ones, the reserve and the terminator's.
int64_t nRoom(int64_t nConverted, int nExtra)
{
    return nConverted + (nExtra > 0 ? nExtra : 0) + 1;
}

template <class T>
bool bTooLarge(int64_t nUnits)
{
    return nUnits * static_cast<int64_t>(sizeof(T)) > STRMEM_MAX_BYTES;
}

// The source length: -1 measures up to the terminator (before the rule
// that a length below 1 leaves the value empty).
int64_t nSourceLength(const char* psz, int nLen)
{
    return nLen == -1 ? static_cast<int64_t>(std::strlen(psz)) : nLen;
}
int64_t nSourceLength(const wchar_t* psz, int nLen)
{
    return nLen == -1 ? static_cast<int64_t>(std::wcslen(psz)) : nLen;
}
int64_t nSourceLength(const unsigned short* p, int nLen)
{
    return nLen == -1 ? static_cast<int64_t>(utf16len(p)) : nLen;
}

// UTF-16 or UTF-32 units into a fresh block of the source's count (a unit
// gives at most one character); nothing converted is a failure.
template <class U, class Convert>
int nAffecteUnits(CXYString<wchar_t>& s, const U* p, int nLen, Convert convert)
{
    s.ReleaseDynStr();
    if (p == nullptr)
        return 0;
    const int64_t nSrc = nSourceLength(p, nLen);
    if (nSrc < 1)
        return 0;
    if (bTooLarge<wchar_t>(nSrc + 1))
        return STRMEM_ERR_TOO_LARGE;
    const int rc = s.__nNew(static_cast<int>(nSrc + 1), nullptr, 0, 0);
    if (rc != 0)
        return rc;
    const int nDone = convert(p, static_cast<int>(nSrc), s.ptGetBuffer(), static_cast<int>(nSrc + 1));
    if (nDone < 1) {
        s.ReleaseDynStr();
        return kErrConversion;
    }
    return s._nSetUtilLength(nDone);
}

}  // namespace

// --- Into wide text -------------------------------------------------------

template <class T>
int CXYString<T>::__nConversion(const char* psz, int nLen, int nExtra, int nCodePage, int nFlags, const wchar_t*)
    requires std::is_same_v<T, wchar_t>
{
    _Release();
    if (psz == nullptr)
        return 0;
    const int64_t nSrc = nSourceLength(psz, nLen);
    if (nSrc < 1)
        return 0;
    if (nSrc > STRMEM_MAX_BYTES)
        return STRMEM_ERR_TOO_LARGE;
    const bool bTable = nCodePage == 1252 && nFlags == 0;
    const int64_t nConverted =
        bTable ? nSrc
               : MultiByteToWideChar(static_cast<unsigned>(nCodePage), static_cast<unsigned>(nFlags), psz,
                                     static_cast<int>(nSrc), nullptr, 0);
    const int64_t nCap = nRoom(nConverted, nExtra);
    if (bTooLarge<wchar_t>(nCap))
        return STRMEM_ERR_TOO_LARGE;
    int rc = __nNew(static_cast<int>(nCap), nullptr, 0, 0);
    if (rc != 0)
        return rc;
    int nDone = 0;
    if (nConverted > 0) {
        wchar_t* p = ptGetBuffer();
        nDone = bTable ? STR_CP1252ToWideChar(psz, static_cast<int>(nSrc), p, static_cast<int>(nCap))
                       : MultiByteToWideChar(static_cast<unsigned>(nCodePage), static_cast<unsigned>(nFlags), psz,
                                             static_cast<int>(nSrc), p, static_cast<int>(nCap));
    }
    // Nothing converted: the value keeps its block, of length 0.
    return _nSetUtilLength(nDone);
}

template <class T>
int CXYString<T>::nAffecteUTF8(const char* psz, int nLen, int nExtra, int nFlags)
    requires std::is_same_v<T, wchar_t>
{
    const int rc = __nConversion(psz, nLen, nExtra, kUTF8, nFlags, nullptr);
    if (rc == 0 && m_pbyData != nullptr && _nLength() == 0) {
        _Release();
        return kErrConversion;
    }
    return rc;
}

template <class T>
int CXYString<T>::nAffecteUTF16(const unsigned short* p, int nLen) requires std::is_same_v<T, wchar_t>
{
    return nAffecteUnits(*this, p, nLen, [](const unsigned short* src, int n, wchar_t* dst, int cap) {
        return UTF16ToWideChar(src, n, dst, cap);
    });
}

template <class T>
int CXYString<T>::nAffecteUTF32(const wchar_t* p, int nLen) requires std::is_same_v<T, wchar_t>
{
    return nAffecteUnits(*this, p, nLen, [](const wchar_t* src, int n, wchar_t* dst, int cap) {
        return UTF32ToWideChar(reinterpret_cast<const unsigned int*>(src), n, dst, cap);
    });
}

template <class T>
bool CXYString<T>::bCreateY(char*& psz, int nCodePage) const requires std::is_same_v<T, wchar_t>
{
    psz = nullptr;
    const int n = nGetLongueur();
    if (n == 0)
        return true;
    const wchar_t* p = pszGet();
    const bool bMarque = bEndMarker() && p[n - 1] == kHighestWide && nCodePage != kUTF8;
    const int nText = bMarque ? n - 1 : n;
    char* pszConv = nullptr;
    int nConv = 0;
    if (nText > 0 && !STR_WCharToChar_AnyCodepage(p, nText, &pszConv, &nConv, static_cast<unsigned>(nCodePage)))
        return false;
    if (!bMarque) {
        psz = pszConv;
        return true;
    }
    char* pszOut = static_cast<char*>(std::realloc(pszConv, static_cast<size_t>(nConv) + 2));
    if (pszOut == nullptr) {
        std::free(pszConv);
        return false;
    }
    pszOut[nConv] = static_cast<char>(0xFF);
    pszOut[nConv + 1] = 0;
    psz = pszOut;
    return true;
}

// --- Into 8-bit text ---------------------------------------------------------

template <class T>
int CXYString<T>::__nConversion(const wchar_t* psz, int nLen, int nExtra, int nCodePage, int nFlags,
                                const char* pszDefault, int* pbUsedDefault) requires std::is_same_v<T, char>
{
    _Release();
    if (psz == nullptr)
        return 0;
    const int64_t nSrc = nSourceLength(psz, nLen);
    if (nSrc < 1)
        return 0;
    if (bTooLarge<wchar_t>(nSrc))
        return STRMEM_ERR_TOO_LARGE;
    int nUsed = 0;
    const int64_t nConverted = WideCharToMultiByte(static_cast<unsigned>(nCodePage), static_cast<unsigned>(nFlags),
                                                   psz, static_cast<int>(nSrc), nullptr, 0, pszDefault, &nUsed);
    const int64_t nCap = nRoom(nConverted, nExtra);
    if (bTooLarge<char>(nCap))
        return STRMEM_ERR_TOO_LARGE;
    int rc = __nNew(static_cast<int>(nCap), nullptr, 0, 0);
    if (rc != 0)
        return rc;
    int nDone = 0;
    nUsed = 0;
    if (nConverted > 0)
        nDone = WideCharToMultiByte(static_cast<unsigned>(nCodePage), static_cast<unsigned>(nFlags), psz,
                                    static_cast<int>(nSrc), ptGetBuffer(), static_cast<int>(nCap), pszDefault, &nUsed);
    if (pbUsedDefault)
        *pbUsedDefault = nUsed;
    return _nSetUtilLength(nDone);
}

namespace {

// The forms other than __nConversion treat an empty result as a failure.
template <class T>
int nAuMoinsUn(CXYString<T>& s, int rc)
{
    if (rc == 0 && s.pbyGetBlock() != nullptr && s.nGetTailleUtile() == 0) {
        s.ReleaseDynStr();
        return kErrConversion;
    }
    return rc;
}

}  // namespace

template <class T>
int CXYString<T>::nAffecteToUTF8(const wchar_t* psz, int nLen, int nExtra) requires std::is_same_v<T, char>
{
    return nAuMoinsUn(*this, __nConversion(psz, nLen, nExtra, kUTF8, 0, nullptr));
}

template <class T>
int CXYString<T>::nAffecteUTF32(const wchar_t* psz, int nLen, int nCodePage, int nFlags, const char* pszDefault)
    requires std::is_same_v<T, char>
{
    return nAuMoinsUn(*this, __nConversion(psz, nLen, 0, nCodePage, nFlags, pszDefault));
}

template <class T>
int CXYString<T>::nAffecteUTF16(const unsigned short* p, int nLen, int nCodePage, int nFlags, const char* pszDefault)
    requires std::is_same_v<T, char>
{
    _Release();
    if (p == nullptr)
        return 0;
    const int64_t nSrc = nSourceLength(p, nLen);
    if (nSrc < 1)
        return 0;
    if (bTooLarge<wchar_t>(nSrc))
        return STRMEM_ERR_TOO_LARGE;
    const int64_t nConverted = UTF16ToMultiByte(static_cast<unsigned>(nCodePage), static_cast<unsigned>(nFlags), p,
                                                static_cast<int>(nSrc), nullptr, 0, pszDefault, nullptr);
    if (nConverted < 1)
        return kErrConversion;
    if (bTooLarge<char>(nConverted + 1))
        return STRMEM_ERR_TOO_LARGE;
    int rc = __nNew(static_cast<int>(nConverted + 1), nullptr, 0, 0);
    if (rc != 0)
        return rc;
    const int nDone = UTF16ToMultiByte(static_cast<unsigned>(nCodePage), static_cast<unsigned>(nFlags), p,
                                       static_cast<int>(nSrc), ptGetBuffer(), static_cast<int>(nConverted + 1),
                                       pszDefault, nullptr);
    return nAuMoinsUn(*this, _nSetUtilLength(nDone));
}

template <class T>
int CXYString<T>::nAffecteUTF8(const char* psz, int nLen, int nCodePage, int nFlags, const char* pszDefault,
                               int* pbUsedDefault) requires std::is_same_v<T, char>
{
    if (nCodePage == kUTF8)
        return nAffecte(psz, nLen);
    _Release();
    if (psz == nullptr)
        return 0;
    const int64_t nSrc = nSourceLength(psz, nLen);
    if (nSrc < 1)
        return 0;
    if (nSrc + 1 > STRMEM_MAX_BYTES)
        return STRMEM_ERR_TOO_LARGE;
    int rc = __nNew(static_cast<int>(nSrc + 1), nullptr, 0, 0);
    if (rc != 0)
        return rc;
    const int nDone = UTF8ToMultiByte(static_cast<unsigned>(nCodePage), psz, static_cast<int>(nSrc), ptGetBuffer(),
                                      static_cast<int>(nSrc + 1), static_cast<unsigned>(nFlags), pszDefault,
                                      pbUsedDefault);
    return nAuMoinsUn(*this, _nSetUtilLength(nDone));
}

template <class T>
int CXYString<T>::nAffecteToUTF8(const char* psz, int nLen, int nCodePage) requires std::is_same_v<T, char>
{
    if (nCodePage == kUTF8)
        return nAffecte(psz, nLen);
    _Release();
    if (psz == nullptr)
        return 0;
    const int64_t nSrc = nSourceLength(psz, nLen);
    if (nSrc < 1)
        return 0;
    // Four bytes a source byte at most, counted in 64 bits.
    const int64_t nCap = 4 * nSrc + 1;
    if (nCap > STRMEM_MAX_BYTES)
        return STRMEM_ERR_TOO_LARGE;
    int rc = __nNew(static_cast<int>(nCap), nullptr, 0, 0);
    if (rc != 0)
        return rc;
    const int nDone =
        MultiByteToUTF8(static_cast<unsigned>(nCodePage), psz, static_cast<int>(nSrc), ptGetBuffer(), static_cast<int>(nCap), 0);
    return nAuMoinsUn(*this, _nSetUtilLength(nDone));
}

template <class T>
bool CXYString<T>::bCreateY(wchar_t*& psz, int nCodePage) const requires std::is_same_v<T, char>
{
    psz = nullptr;
    const int n = nGetLongueur();
    if (n == 0)
        return true;
    const char* p = pszGet();
    const bool bMarque = bEndMarker() && static_cast<unsigned char>(p[n - 1]) == 0xFF && nCodePage != kUTF8;
    const int nText = bMarque ? n - 1 : n;
    wchar_t* pszConv = nullptr;
    int nConv = 0;
    if (nText > 0 &&
        !STR_CharToWChar_AnyCodepage(p, nText, static_cast<unsigned>(nCodePage), &pszConv, &nConv, 0))
        return false;
    if (!bMarque) {
        psz = pszConv;
        return true;
    }
    wchar_t* pszOut = static_cast<wchar_t*>(std::realloc(pszConv, (static_cast<size_t>(nConv) + 2) * sizeof(wchar_t)));
    if (pszOut == nullptr) {
        std::free(pszConv);
        return false;
    }
    pszOut[nConv] = kHighestWide;
    pszOut[nConv + 1] = 0;
    psz = pszOut;
    return true;
}

template int CXYString<wchar_t>::__nConversion(const char*, int, int, int, int, const wchar_t*);
template int CXYString<wchar_t>::nAffecteUTF8(const char*, int, int, int);
template int CXYString<wchar_t>::nAffecteUTF16(const unsigned short*, int);
template int CXYString<wchar_t>::nAffecteUTF32(const wchar_t*, int);
template bool CXYString<wchar_t>::bCreateY(char*&, int) const;
template int CXYString<char>::__nConversion(const wchar_t*, int, int, int, int, const char*, int*);
template int CXYString<char>::nAffecteToUTF8(const wchar_t*, int, int);
template int CXYString<char>::nAffecteUTF32(const wchar_t*, int, int, int, const char*);
template int CXYString<char>::nAffecteUTF16(const unsigned short*, int, int, int, const char*);
template int CXYString<char>::nAffecteUTF8(const char*, int, int, int, const char*, int*);
template int CXYString<char>::nAffecteToUTF8(const char*, int, int);
template bool CXYString<char>::bCreateY(wchar_t*&, int) const;
