#include "common/text/unicode_units.h"

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace {

// Loads and stores through memcpy: the buffers may overlap with another unit
// type, or be unaligned.
template <class T>
inline T Load(const void* p, size_t i)
{
    T v;
    std::memcpy(&v, static_cast<const unsigned char*>(p) + i * sizeof(T), sizeof(T));
    return v;
}

template <class T>
inline void Store(void* p, size_t i, T v)
{
    std::memcpy(static_cast<unsigned char*>(p) + i * sizeof(T), &v, sizeof(T));
}

inline bool bAligned(const void* p)
{
    return (reinterpret_cast<uintptr_t>(p) & (alignof(wchar_t) - 1)) == 0;
}

inline unsigned short Lower(unsigned short u)
{
    return static_cast<unsigned short>(std::towlower(u));
}

// The count a unit copy works on: n, or the length and its terminator for -1;
// -1 when n is invalid.
template <class T>
long CountOf(const T* src, int n)
{
    if (n >= 0) return n;
    if (n != -1 || !src) return -1;
    long len = 0;
    while (src[len]) ++len;
    return len + 1;
}

// The unit copies of every width: each unit converted to the destination's
// type (a narrowing keeps the low bits). A widening copy runs from the last
// unit to the first and a narrowing one from the first, so that the
// destination may be the source buffer itself.
template <class S, class D>
int CopyUnits(const S* pSrc, int n, D* pDst, int nCapacity)
{
    const long count = CountOf(pSrc, n);
    if (count <= 0) return 0;
    if (!pDst || nCapacity <= 0) return static_cast<int>(count);
    const long copy = count < nCapacity ? count : nCapacity;
    const auto one = [&](long i) {
        Store<D>(pDst, static_cast<size_t>(i), static_cast<D>(Load<S>(pSrc, static_cast<size_t>(i))));
    };
    if constexpr (sizeof(D) == sizeof(S)) {
        std::memmove(pDst, pSrc, static_cast<size_t>(copy) * sizeof(D));
    } else if constexpr (sizeof(D) > sizeof(S)) {
        for (long i = copy - 1; i >= 0; --i) one(i);
    } else {
        for (long i = 0; i < copy; ++i) one(i);
    }
    return static_cast<int>(copy);
}

}  // namespace

size_t utf16len(const unsigned short* pText)
{
    if (!pText) return 0;
    size_t n = 0;
    while (pText[n]) ++n;
    return n;
}

size_t utf16nlen(const unsigned short* pText, long nMax)
{
    if (!pText || nMax < 1) return 0;
    size_t n = 0;
    while (n < static_cast<size_t>(nMax) && pText[n]) ++n;
    return n;
}

unsigned short* utf16ncpy(unsigned short* pDst, const unsigned short* pSrc, size_t n)
{
    for (size_t i = 0; i < n && pSrc[i]; ++i) pDst[i] = pSrc[i];
    return pDst;
}

int utf16nicmp(const unsigned short* a, const unsigned short* b, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        const unsigned short la = Lower(a[i]);
        const unsigned short lb = Lower(b[i]);
        if (la != lb) return static_cast<int>(la) - static_cast<int>(lb);
        if (la == 0) return 0;
    }
    return 0;
}

const unsigned short* utf16niutf16(const unsigned short* pText, const unsigned short* pPattern, size_t n)
{
    if (!pText) return nullptr;
    const size_t m = utf16len(pPattern);
    if (m == 0) return pText;
    for (size_t i = 0; i + m <= n && pText[i]; ++i) {
        if (utf16nicmp(pText + i, pPattern, m) == 0) return pText + i;
    }
    return nullptr;
}

int UTF16ToWideChar(const unsigned short* pSrc, int n, wchar_t* pDst, int nCapacity)
{
    return CopyUnits(pSrc, n, pDst, nCapacity);
}

int WideCharToUTF16(const wchar_t* pSrc, int n, unsigned short* pDst, int nCapacity)
{
    return CopyUnits(pSrc, n, pDst, nCapacity);
}

int UTF32ToWideChar(const unsigned int* pSrc, int n, wchar_t* pDst, int nCapacity)
{
    return CopyUnits(pSrc, n, pDst, nCapacity);
}

int WideCharToUTF32(const wchar_t* pSrc, int n, unsigned int* pDst, int nCapacity)
{
    return CopyUnits(pSrc, n, pDst, nCapacity);
}

int WideCharToANSI(char* pszDst, int nCapacity, const wchar_t* pszSrc)
{
    if (!pszDst || nCapacity < 1) return 0;
    int out = 0;
    if (pszSrc) {
        for (; out < nCapacity - 1 && pszSrc[out]; ++out) pszDst[out] = static_cast<char>(pszSrc[out] & 0xFF);
    }
    pszDst[out] = 0;
    return out;
}

int ANSIToWideChar(wchar_t* pszDst, int nCapacity, const char* pszSrc)
{
    if (!pszDst || nCapacity < 1) return 0;
    int out = 0;
    if (pszSrc) {
        for (; out < nCapacity - 1 && pszSrc[out]; ++out) {
            pszDst[out] = static_cast<wchar_t>(static_cast<unsigned char>(pszSrc[out]));
        }
    }
    pszDst[out] = 0;
    return out;
}

size_t __UNALIGNED__UNICODE__STRLEN__(const wchar_t* pszText)
{
    if (!pszText) return 0;
    if (bAligned(pszText)) return std::wcslen(pszText);
    size_t n = 0;
    while (Load<wchar_t>(pszText, n) != 0) ++n;
    return n;
}

wchar_t* __UNALIGNED__UNICODE__STRNCPY__(wchar_t* pszDst, const wchar_t* pszSrc, size_t n)
{
    if (bAligned(pszDst) && bAligned(pszSrc)) return std::wcsncpy(pszDst, pszSrc, n);
    size_t i = 0;
    for (; i < n; ++i) {
        const wchar_t c = Load<wchar_t>(pszSrc, i);
        if (c == 0) break;
        Store<wchar_t>(pszDst, i, c);
    }
    for (; i < n; ++i) Store<wchar_t>(pszDst, i, 0);
    return pszDst;
}
