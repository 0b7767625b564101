#include "common/text/xy_string_convert.h"

#include "common/text/host_code_page.h"

namespace {

constexpr int kUTF8 = 65001;
// The end marker of either width: the unit with every bit set.
template <class T>
constexpr T kMarque = static_cast<T>(-1);

int nCodePage(int n)
{
    return n == -1 ? nHostCurrentCodePage() : n;
}

// src into *pOut through convert(text, units, reserve). An end marker kept
// as the last unit is not converted but put back, in the other width, after
// the converted text; UTF-8 has no marker.
template <class To, class From, class Convert>
int nConvertitAvecMarque(CXYString<To>* pOut, const CXYString<From>& src, int nCp, Convert convert)
{
    const CXYString<From> keep(src);  // src may share its block with nothing else
    const int n = keep.nGetLongueur();
    if (n > 0 && keep.bEndMarker() && keep.pszGet()[n - 1] == kMarque<From> && nCp != kUTF8) {
        int rc = convert(keep.pszGet(), n - 1, 1);
        if (rc != 0)
            return rc;
        rc = pOut->nConcat(&kMarque<To>, 1);
        if (rc != 0)
            return rc;
        pOut->_SetFlagsWord(1);
        return 0;
    }
    return convert(keep.pszGet(), n, 0);
}

// A new value of nLen units of psz in the other width (failures leave it
// empty).
template <class To, class From>
CXYString<To> Converti(const From* psz, int nLen, int nCp)
{
    CXYString<To> r;
    (void)r.__nConversion(psz, nLen, 0, nCp, 0, nullptr);
    return r;
}

}  // namespace

int nWideVersAnsiAvecMarque(CXYString<char>* pOut, const CXYString<wchar_t>& src, int nCp, int nFlags,
                            const char* pszDefault)
{
    return nConvertitAvecMarque(pOut, src, nCp, [&](const wchar_t* p, int n, int nExtra) {
        return pOut->__nConversion(p, n, nExtra, nCp, nFlags, pszDefault);
    });
}

int nAnsiVersWideAvecMarque(CXYString<wchar_t>* pOut, const CXYString<char>& src, int nCp)
{
    return nConvertitAvecMarque(pOut, src, nCp, [&](const char* p, int n, int nExtra) {
        return pOut->__nConversion(p, n, nExtra, nCp, 0, nullptr);
    });
}

CXYString<wchar_t> PCASTR_To_CWString(const char* psz, int nCp, int nLen)
{
    return Converti<wchar_t>(psz, nLen, nCodePage(nCp));
}

CXYString<wchar_t> UTF8_To_CWString(const char* psz)
{
    return UTF8_To_CWString(psz, -1);
}

CXYString<wchar_t> UTF8_To_CWString(const char* psz, int nLen)
{
    return Converti<wchar_t>(psz, nLen, kUTF8);
}

CXYString<char> PCWSTR_To_CAString(const wchar_t* psz, int nCp, int nLen)
{
    return Converti<char>(psz, nLen, nCodePage(nCp));
}

CXYString<char> PCWSTR_To_UTF8(const wchar_t* psz)
{
    return PCWSTR_N_To_UTF8(psz, -1);
}

CXYString<char> PCWSTR_N_To_UTF8(const wchar_t* psz, int nLen)
{
    return Converti<char>(psz, nLen, kUTF8);
}

CXYString<char> CWString_To_UTF8(const CXYString<wchar_t>& s)
{
    CXYString<char> r;
    (void)nWideVersAnsiAvecMarque(&r, s, kUTF8);
    return r;
}

CXYString<char> PCASTR_To_UTF8(const char* psz, int nCp)
{
    return PCASTR_N_To_UTF8(psz, -1, nCp);
}

CXYString<char> PCASTR_N_To_UTF8(const char* psz, int nLen, int nCp)
{
    nCp = nCodePage(nCp);
    if (nCp == kUTF8) {
        CXYString<char> r;
        (void)r.nAffecte(psz, nLen);
        return r;
    }
    return CWString_To_UTF8(PCASTR_To_CWString(psz, nCp, nLen));
}

CXYString<char> UTF8_To_CAString(const char* psz, int nCp)
{
    return UTF8_To_CAString(psz, -1, nCp);
}

CXYString<char> UTF8_To_CAString(const char* psz, int nLen, int nCp)
{
    nCp = nCodePage(nCp);
    CXYString<char> r;
    if (nCp == kUTF8) {
        (void)r.nAffecte(psz, nLen);
        return r;
    }
    (void)nWideVersAnsiAvecMarque(&r, UTF8_To_CWString(psz, nLen), nCp);
    return r;
}

CXYString<char> CAString_To_UTF8(const CXYString<char>& s, int nCp)
{
    nCp = nCodePage(nCp);
    if (nCp == kUTF8)
        return s;  // shares the block
    CXYString<wchar_t> wide;
    if (nAnsiVersWideAvecMarque(&wide, s, nCp) != 0)
        return CXYString<char>();
    return CWString_To_UTF8(wide);
}
