#include "common/text/xy_string_convert.h"

#include "common/text/host_code_page.h"

namespace {

constexpr int kUTF8 = 65001;
constexpr wchar_t kHighestWide = static_cast<wchar_t>(0xFFFFFFFF);

int nCodePage(int n)
{
    return n == -1 ? nHostCurrentCodePage() : n;
}

}  // namespace

int nWideVersAnsiAvecMarque(CXYString<char>* pOut, const CXYString<wchar_t>& src, int nCp, int nFlags,
                            const char* pszDefault)
{
    const CXYString<wchar_t> keep(src);  // src may share its block with nothing else
    const int n = keep.nGetLongueur();
    if (n > 0 && keep.bEndMarker() && keep.pszGet()[n - 1] == kHighestWide && nCp != kUTF8) {
        int rc = pOut->__nConversion(keep.pszGet(), n - 1, 1, nCp, nFlags, pszDefault);
        if (rc != 0)
            return rc;
        const char cMarque = static_cast<char>(0xFF);
        rc = pOut->nConcat(&cMarque, 1);
        if (rc != 0)
            return rc;
        pOut->_SetFlagsWord(1);
        return 0;
    }
    return pOut->__nConversion(keep.pszGet(), n, 0, nCp, nFlags, pszDefault);
}

int nAnsiVersWideAvecMarque(CXYString<wchar_t>* pOut, const CXYString<char>& src, int nCp)
{
    const CXYString<char> keep(src);
    const int n = keep.nGetLongueur();
    if (n > 0 && keep.bEndMarker() && static_cast<unsigned char>(keep.pszGet()[n - 1]) == 0xFF && nCp != kUTF8) {
        int rc = pOut->__nConversion(keep.pszGet(), n - 1, 1, nCp, 0, nullptr);
        if (rc != 0)
            return rc;
        rc = pOut->nConcat(&kHighestWide, 1);
        if (rc != 0)
            return rc;
        pOut->_SetFlagsWord(1);
        return 0;
    }
    return pOut->__nConversion(keep.pszGet(), n, 0, nCp, 0, nullptr);
}

CXYString<wchar_t> PCASTR_To_CWString(const char* psz, int nCp, int nLen)
{
    CXYString<wchar_t> r;
    (void)r.__nConversion(psz, nLen, 0, nCodePage(nCp), 0, nullptr);
    return r;
}

CXYString<wchar_t> UTF8_To_CWString(const char* psz)
{
    return UTF8_To_CWString(psz, -1);
}

CXYString<wchar_t> UTF8_To_CWString(const char* psz, int nLen)
{
    CXYString<wchar_t> r;
    (void)r.__nConversion(psz, nLen, 0, kUTF8, 0, nullptr);
    return r;
}

CXYString<char> PCWSTR_To_CAString(const wchar_t* psz, int nCp, int nLen)
{
    CXYString<char> r;
    (void)r.__nConversion(psz, nLen, 0, nCodePage(nCp), 0, nullptr);
    return r;
}

CXYString<char> PCWSTR_To_UTF8(const wchar_t* psz)
{
    return PCWSTR_N_To_UTF8(psz, -1);
}

CXYString<char> PCWSTR_N_To_UTF8(const wchar_t* psz, int nLen)
{
    CXYString<char> r;
    (void)r.__nConversion(psz, nLen, 0, kUTF8, 0, nullptr);
    return r;
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
