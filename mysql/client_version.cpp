// The rules that turn a client library's version into what the driver uses.
#include "mysql/client_version.h"

namespace {

// n * 10 + d, stopping at INT32_MAX: a version text comes from the library.
int nAddDigit(int n, wchar_t c)
{
    const int d = static_cast<int>(c - L'0');
    return n > (INT32_MAX - d) / 10 ? INT32_MAX : n * 10 + d;
}

bool bDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

}  // namespace

void CMySQLClientVersion::g_ParseText(const wchar_t* pszText, int* pnMajor, int* pnMinor)
{
    *pnMajor = 0;
    *pnMinor = 0;
    if (pszText == nullptr)
        return;
    const wchar_t* p = pszText;
    for (; bDigit(*p); ++p)
        *pnMajor = nAddDigit(*pnMajor, *p);
    if (*p == 0)
        return;
    for (++p; bDigit(*p); ++p)
        *pnMinor = nAddDigit(*pnMinor, *p);
}

void CMySQLClientVersion::g_DecodeNumber(uint64_t nVersion, int* pnMajor, int* pnMinor)
{
    const uint64_t nMajor = nVersion / 10000;
    *pnMajor = nMajor > INT32_MAX ? INT32_MAX : static_cast<int>(nMajor);
    *pnMinor = static_cast<int>(nVersion / 100 % 100);
}

eMySQLFieldLayout CMySQLClientVersion::g_eLayoutOfVersion(int nMajor, int nMinor)
{
    if (!g_bAtLeast(nMajor, nMinor, 4, 0))
        return eMySQLFieldLayout::Client3;
    if (!g_bAtLeast(nMajor, nMinor, 4, 1))
        return eMySQLFieldLayout::Client40;
    if (!g_bAtLeast(nMajor, nMinor, 5, 1))
        return eMySQLFieldLayout::Client41;
    return eMySQLFieldLayout::Client51;
}

eMySQLFieldLayout CMySQLClientVersion::g_eLayoutOfText(const wchar_t* pszText)
{
    const wchar_t cFirst = pszText != nullptr ? pszText[0] : 0;
    // The third character exists only when the first two do.
    const wchar_t cThird = cFirst != 0 && pszText[1] != 0 ? pszText[2] : 0;
    if (cFirst <= L'3')
        return eMySQLFieldLayout::Client3;
    if (cFirst == L'4')
        return cThird == L'0' ? eMySQLFieldLayout::Client40 : eMySQLFieldLayout::Client41;
    if (cFirst == L'5')
        return cThird == L'0' ? eMySQLFieldLayout::Client41 : eMySQLFieldLayout::Client51;
    return eMySQLFieldLayout::Client51;
}
