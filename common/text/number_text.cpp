#include "common/text/number_text.h"

#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "common/system/code_page_engine.h"
#include "common/system/integer_text.h"
#include "common/text/cp1252.h"

wchar_t* _ui64towTvk(unsigned long nValue, wchar_t* pszDst, int nRadix) { return ui64tow(nValue, pszDst, nRadix); }
char* _ui64toaTvk(unsigned long nValue, char* pszDst, int nRadix) { return ui64toa(nValue, pszDst, nRadix); }
wchar_t* _i64towTvk(long nValue, wchar_t* pszDst, int nRadix) { return i64tow(nValue, pszDst, nRadix); }
char* _i64toaTvk(long nValue, char* pszDst, int nRadix) { return i64toa(nValue, pszDst, nRadix); }

namespace {

// At most 100 bytes of the text in code page 1252, terminated.
void ToNarrow(const wchar_t* text, char (&out)[101])
{
    out[0] = 0;
    if (!text) return;
    const size_t n = wcsnlen(text, 100);
    const long bytes = nWideToMultiByte(1252, text, n, nullptr, nullptr, out, 100);
    out[bytes > 0 ? bytes : 0] = 0;
}

}  // namespace

long _wtoi64Tvk(const wchar_t* pszText)
{
    char narrow[101];
    ToNarrow(pszText, narrow);
    return std::strtoll(narrow, nullptr, 10);
}

double wtof(const wchar_t* pszText)
{
    char narrow[101];
    ToNarrow(pszText, narrow);
    return std::strtod(narrow, nullptr);
}

wchar_t* _wgcvt(double dValue, int nDigits, wchar_t* pszDst)
{
    // The C library's gcvt is "%.*g" with at most 17 digits: a sign, the
    // digits, a point and an exponent of up to "e+308" fit in 32 bytes.
    if (nDigits > 17) nDigits = 17;
    if (nDigits < 0) nDigits = 6;
    char narrow[32];
    std::snprintf(narrow, sizeof narrow, "%.*g", nDigits, dValue);
    STR_CP1252ToWideChar(narrow, -1, pszDst, 32);
    return pszDst;
}
