#include "common/text/str_copy.h"

#include <cstring>
#include <cwchar>

namespace {

template <class T>
size_t Length(const T* text, size_t max)
{
    size_t n = 0;
    while (n < max && text[n]) ++n;
    return n;
}

template <class T>
long Copy(T* dst, size_t capacity, const T* src, long n)
{
    if (!dst || capacity == 0) return 0;
    size_t take = 0;
    if (src && (n == -1 || n > 0)) {
        const size_t limit = capacity - 1;
        take = Length(src, n == -1 ? limit : (static_cast<size_t>(n) < limit ? static_cast<size_t>(n) : limit));
    }
    std::memmove(dst, src ? src : dst, take * sizeof(T));
    dst[take] = 0;
    return static_cast<long>(take);
}

template <class T>
long Cat(T* dst, size_t capacity, const T* src, long n)
{
    if (!dst) return 0;
    const size_t present = Length(dst, capacity);
    if (present >= capacity) return 0;
    return Copy(dst + present, capacity - present, src, n);
}

template <class T>
long Cut(T* dst, size_t capacity, const T* src)
{
    return Copy(dst, capacity, src, -1);
}

}  // namespace

long STR_nCopyW(wchar_t* pszDst, size_t nCapacity, const wchar_t* pszSrc, long n) { return Copy(pszDst, nCapacity, pszSrc, n); }
long STR_nCopyA(char* pszDst, size_t nCapacity, const char* pszSrc, long n) { return Copy(pszDst, nCapacity, pszSrc, n); }
long STR_nCatW(wchar_t* pszDst, size_t nCapacity, const wchar_t* pszSrc, long n) { return Cat(pszDst, nCapacity, pszSrc, n); }
long STR_nCatA(char* pszDst, size_t nCapacity, const char* pszSrc, long n) { return Cat(pszDst, nCapacity, pszSrc, n); }
long STR_nCut(wchar_t* pszDst, size_t nCapacity, const wchar_t* pszSrc) { return Cut(pszDst, nCapacity, pszSrc); }
long STR_nCut(char* pszDst, size_t nCapacity, const char* pszSrc) { return Cut(pszDst, nCapacity, pszSrc); }
long STR_nCatCut(wchar_t* pszDst, size_t nCapacity, const wchar_t* pszSrc) { return Cat(pszDst, nCapacity, pszSrc, -1); }

long STR_nLenA(const char* pszText, long nMax)
{
    return (!pszText || nMax < 1) ? 0 : static_cast<long>(strnlen(pszText, static_cast<size_t>(nMax)));
}

long STR_nLenW(const wchar_t* pszText, long nMax)
{
    return (!pszText || nMax < 1) ? 0 : static_cast<long>(wcsnlen(pszText, static_cast<size_t>(nMax)));
}
