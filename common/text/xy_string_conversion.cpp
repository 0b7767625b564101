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

constexpr int kUTF8 = 65001;
// The end marker of either width: the unit with every bit set.
template <class T>
constexpr T kMarque = static_cast<T>(-1);

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

// The start of every form: the value is emptied and the source measured.
// False when there is nothing to convert (no source, or a length below 1):
// the value stays empty and the form answers 0.
template <class T, class S>
bool bMesureSource(CXYString<T>& s, const S* p, int nLen, int64_t& nSrc)
{
    s.ReleaseDynStr();
    if (p == nullptr)
        return false;
    nSrc = nSourceLength(p, nLen);
    return nSrc >= 1;
}

// A fresh block of nCap units, written by fill(buffer, capacity), which
// answers the units it wrote: they become the value's length.
template <class T, class Fill>
int nRemplit(CXYString<T>& s, int64_t nCap, Fill fill)
{
    if (bTooLarge<T>(nCap))
        return STRMEM_ERR_TOO_LARGE;
    const int rc = s.__nNew(static_cast<int>(nCap), nullptr, 0, 0);
    if (rc != 0)
        return rc;
    return s._nSetUtilLength(fill(s.ptGetBuffer(), static_cast<int>(nCap)));
}

// Every form but __nConversion treats an empty result as a failure.
template <class T>
int nAuMoinsUn(CXYString<T>& s, int rc)
{
    if (rc == 0 && s.pbyGetBlock() != nullptr && s.nGetTailleUtile() == 0) {
        s.ReleaseDynStr();
        return STRMEM_ERR_CONVERSION;
    }
    return rc;
}

// UTF-16 or UTF-32 units into a block of the source's count (a unit gives
// at most one character).
template <class U, class Convert>
int nAffecteUnits(CXYString<wchar_t>& s, const U* p, int nLen, Convert convert)
{
    int64_t nSrc = 0;
    if (!bMesureSource(s, p, nLen, nSrc))
        return 0;
    return nAuMoinsUn(s, nRemplit(s, nSrc + 1, [&](wchar_t* pDst, int nCap) {
        return convert(p, static_cast<int>(nSrc), pDst, nCap);
    }));
}

// The text of s in the other width, made by convert(text, units, &out,
// &units out). An end marker kept as the last unit is not converted but
// put back, in the other width, after the converted text; UTF-8 has no
// marker.
template <class From, class To, class Convert>
bool bCreeAutreLargeur(const CXYString<From>& s, To*& psz, int nCodePage, Convert convert)
{
    psz = nullptr;
    const int n = s.nGetLongueur();
    if (n == 0)
        return true;
    const From* p = s.pszGet();
    const bool bMarque = s.bEndMarker() && p[n - 1] == kMarque<From> && nCodePage != kUTF8;
    const int nText = bMarque ? n - 1 : n;
    To* pszConv = nullptr;
    int nConv = 0;
    if (nText > 0 && !convert(p, nText, &pszConv, &nConv))
        return false;
    if (!bMarque) {
        psz = pszConv;
        return true;
    }
    To* pszOut = static_cast<To*>(std::realloc(pszConv, (static_cast<size_t>(nConv) + 2) * sizeof(To)));
    if (pszOut == nullptr) {
        std::free(pszConv);
        return false;
    }
    pszOut[nConv] = kMarque<To>;
    pszOut[nConv + 1] = 0;
    psz = pszOut;
    return true;
}

}  // namespace

// --- Into wide text -------------------------------------------------------

template <class T>
int CXYString<T>::__nConversion(const char* psz, int nLen, int nExtra, int nCodePage, int nFlags, const wchar_t*)
    requires std::is_same_v<T, wchar_t>
{
    int64_t nSrc = 0;
    if (!bMesureSource(*this, psz, nLen, nSrc))
        return 0;
    if (nSrc > STRMEM_MAX_BYTES)
        return STRMEM_ERR_TOO_LARGE;
    const bool bTable = nCodePage == 1252 && nFlags == 0;
    const auto nConvertit = [&](wchar_t* p, int nCap) {
        return bTable ? STR_CP1252ToWideChar(psz, static_cast<int>(nSrc), p, nCap)
                      : MultiByteToWideChar(static_cast<unsigned>(nCodePage), static_cast<unsigned>(nFlags), psz,
                                            static_cast<int>(nSrc), p, nCap);
    };
    const int64_t nConverted = bTable ? nSrc : nConvertit(nullptr, 0);
    // Nothing converted: the value keeps its block, of length 0.
    return nRemplit(*this, nRoom(nConverted, nExtra),
                    [&](wchar_t* p, int nCap) { return nConverted > 0 ? nConvertit(p, nCap) : 0; });
}

template <class T>
int CXYString<T>::nAffecteUTF8(const char* psz, int nLen, int nExtra, int nFlags)
    requires std::is_same_v<T, wchar_t>
{
    return nAuMoinsUn(*this, __nConversion(psz, nLen, nExtra, kUTF8, nFlags, nullptr));
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
    return bCreeAutreLargeur(*this, psz, nCodePage, [&](const wchar_t* p, int n, char** ppszOut, int* pnOut) {
        return STR_WCharToChar_AnyCodepage(p, n, ppszOut, pnOut, static_cast<unsigned>(nCodePage));
    });
}

// --- Into 8-bit text ---------------------------------------------------------

template <class T>
int CXYString<T>::__nConversion(const wchar_t* psz, int nLen, int nExtra, int nCodePage, int nFlags,
                                const char* pszDefault, int* pbUsedDefault) requires std::is_same_v<T, char>
{
    int64_t nSrc = 0;
    if (!bMesureSource(*this, psz, nLen, nSrc))
        return 0;
    if (bTooLarge<wchar_t>(nSrc))
        return STRMEM_ERR_TOO_LARGE;
    int nUsed = 0;
    const auto nConvertit = [&](char* p, int nCap) {
        return WideCharToMultiByte(static_cast<unsigned>(nCodePage), static_cast<unsigned>(nFlags), psz,
                                   static_cast<int>(nSrc), p, nCap, pszDefault, &nUsed);
    };
    const int64_t nConverted = nConvertit(nullptr, 0);
    return nRemplit(*this, nRoom(nConverted, nExtra), [&](char* p, int nCap) {
        nUsed = 0;
        const int nDone = nConverted > 0 ? nConvertit(p, nCap) : 0;
        if (pbUsedDefault)
            *pbUsedDefault = nUsed;
        return nDone;
    });
}

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
    int64_t nSrc = 0;
    if (!bMesureSource(*this, p, nLen, nSrc))
        return 0;
    if (bTooLarge<wchar_t>(nSrc))
        return STRMEM_ERR_TOO_LARGE;
    const auto nConvertit = [&](char* pDst, int nCap) {
        return UTF16ToMultiByte(static_cast<unsigned>(nCodePage), static_cast<unsigned>(nFlags), p,
                                static_cast<int>(nSrc), pDst, nCap, pszDefault, nullptr);
    };
    const int64_t nConverted = nConvertit(nullptr, 0);
    if (nConverted < 1)
        return STRMEM_ERR_CONVERSION;
    return nAuMoinsUn(*this, nRemplit(*this, nConverted + 1, nConvertit));
}

template <class T>
int CXYString<T>::nAffecteUTF8(const char* psz, int nLen, int nCodePage, int nFlags, const char* pszDefault,
                               int* pbUsedDefault) requires std::is_same_v<T, char>
{
    if (nCodePage == kUTF8)
        return nAffecte(psz, nLen);
    int64_t nSrc = 0;
    if (!bMesureSource(*this, psz, nLen, nSrc))
        return 0;
    return nAuMoinsUn(*this, nRemplit(*this, nSrc + 1, [&](char* p, int nCap) {
        return UTF8ToMultiByte(static_cast<unsigned>(nCodePage), psz, static_cast<int>(nSrc), p, nCap,
                               static_cast<unsigned>(nFlags), pszDefault, pbUsedDefault);
    }));
}

template <class T>
int CXYString<T>::nAffecteToUTF8(const char* psz, int nLen, int nCodePage) requires std::is_same_v<T, char>
{
    if (nCodePage == kUTF8)
        return nAffecte(psz, nLen);
    int64_t nSrc = 0;
    if (!bMesureSource(*this, psz, nLen, nSrc))
        return 0;
    // Four bytes a source byte at most, counted in 64 bits.
    return nAuMoinsUn(*this, nRemplit(*this, 4 * nSrc + 1, [&](char* p, int nCap) {
        return MultiByteToUTF8(static_cast<unsigned>(nCodePage), psz, static_cast<int>(nSrc), p, nCap, 0);
    }));
}

template <class T>
bool CXYString<T>::bCreateY(wchar_t*& psz, int nCodePage) const requires std::is_same_v<T, char>
{
    return bCreeAutreLargeur(*this, psz, nCodePage, [&](const char* p, int n, wchar_t** ppszOut, int* pnOut) {
        return STR_CharToWChar_AnyCodepage(p, n, static_cast<unsigned>(nCodePage), ppszOut, pnOut, 0);
    });
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
