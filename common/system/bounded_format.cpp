#include "common/system/bounded_format.h"

#include <cstdio>

#include "common/system/formatted_output.h"

int vsznprintf(char* pszDst, unsigned long n, const char* pszFormat, va_list args)
{
    if (!pszDst || n == static_cast<unsigned long>(-1)) return -1;
    const int r = std::vsnprintf(pszDst, n + 1, pszFormat, args);
    pszDst[n] = 0;
    return (r >= 0 && static_cast<unsigned long>(r) <= n) ? r : -1;
}

int sznprintf(char* pszDst, unsigned long n, const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    const int r = vsznprintf(pszDst, n, pszFormat, args);
    va_end(args);
    return r;
}

int vsznwprintf(wchar_t* pszDst, unsigned long n, const wchar_t* pszFormat, va_list args)
{
    if (!pszDst || n == static_cast<unsigned long>(-1)) return -1;
    const int r = vsnwprintfWin(pszDst, n + 1, pszFormat, args);
    pszDst[n] = 0;
    return (r >= 0 && static_cast<unsigned long>(r) <= n) ? r : -1;
}

int sznwprintf(wchar_t* pszDst, unsigned long n, const wchar_t* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    const int r = vsznwprintf(pszDst, n, pszFormat, args);
    va_end(args);
    return r;
}
