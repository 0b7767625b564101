#include "common/text/str_search.h"

#include <cstring>
#include <cwchar>
#include <strings.h>

namespace {

template <class T>
size_t Length(const T* text)
{
    size_t n = 0;
    while (text[n]) ++n;
    return n;
}

template <class T>
bool bSameAt(const T* text, const T* pattern, size_t m)
{
    return std::memcmp(text, pattern, m * sizeof(T)) == 0;
}

// Occurrences starting within [0, last], first or last of them.
template <class T, class Eq>
const T* FindForward(const T* text, size_t limit, const T* pattern, Eq eq)
{
    const size_t m = Length(pattern);
    if (m == 0) return text;
    if (limit < m) return nullptr;
    for (size_t i = 0; i + m <= limit; ++i) {
        if (eq(text + i, pattern, m)) return text + i;
    }
    return nullptr;
}

template <class T>
const T* FindBackward(const T* text, long start, const T* pattern)
{
    if (!text || !pattern || start < 0) return nullptr;
    const size_t len = Length(text);
    const size_t m = Length(pattern);
    if (m > len) return nullptr;
    size_t i = static_cast<size_t>(start);
    if (i > len - m) i = len - m;
    for (;; --i) {
        if (bSameAt(text + i, pattern, m)) return text + i;
        if (i == 0) return nullptr;
    }
}

template <class T>
const T* LastOf(const T* text, const T* set)
{
    if (!text || !set || !*set) return nullptr;
    const T* found = nullptr;
    for (const T* p = text; *p; ++p) {
        for (const T* s = set; *s; ++s) {
            if (*p == *s) {
                found = p;
                break;
            }
        }
    }
    return found;
}

template <class T>
const T* LastChar(const T* text, long index, T c)
{
    if (!text || index < 0) return nullptr;
    const size_t len = Length(text);
    size_t i = static_cast<size_t>(index) < len ? static_cast<size_t>(index) : len;
    for (;; --i) {
        if (text[i] == c) return text + i;
        if (i == 0) return nullptr;
    }
}

size_t Clip(const char* text, long n)
{
    return n < 1 ? 0 : strnlen(text, static_cast<size_t>(n));
}

size_t Clip(const wchar_t* text, long n)
{
    return n < 1 ? 0 : wcsnlen(text, static_cast<size_t>(n));
}

}  // namespace

const wchar_t* STR_pszStrnstr(const wchar_t* pszText, const wchar_t* pszPattern, long n)
{
    if (!pszText) return nullptr;
    if (!pszPattern || !*pszPattern) return pszText;
    return FindForward(pszText, Clip(pszText, n), pszPattern, bSameAt<wchar_t>);
}

const wchar_t* STR_StrIStr(const wchar_t* pszText, const wchar_t* pszPattern)
{
    if (!pszText) return nullptr;
    if (!pszPattern) return pszText;
    return FindForward(pszText, std::wcslen(pszText), pszPattern,
                       [](const wchar_t* t, const wchar_t* p, size_t m) { return wcsncasecmp(t, p, m) == 0; });
}

const char* STR_strnistrA(const char* pszText, const char* pszPattern, long n)
{
    if (!pszText) return nullptr;
    if (!pszPattern) return pszText;
    return FindForward(pszText, Clip(pszText, n), pszPattern,
                       [](const char* t, const char* p, size_t m) { return strncasecmp(t, p, m) == 0; });
}

const char* STR_strnstrA(const char* pszText, const char* pszPattern, long n)
{
    if (!pszText) return nullptr;
    if (!pszPattern) return pszText;
    return FindForward(pszText, Clip(pszText, n), pszPattern, bSameAt<char>);
}

const char* STRRSTRA(const char* pszText, long nStart, const char* pszPattern) { return FindBackward(pszText, nStart, pszPattern); }
const wchar_t* STRRSTRW(const wchar_t* pszText, long nStart, const wchar_t* pszPattern) { return FindBackward(pszText, nStart, pszPattern); }

const wchar_t* STRRPBRK(const wchar_t* pszText, const wchar_t* pszSet) { return LastOf(pszText, pszSet); }
const char* STRRPBRK(const char* pszText, const char* pszSet) { return LastOf(pszText, pszSet); }

const char* strrchr(const char* pszText, long nIndex, int c) { return LastChar(pszText, nIndex, static_cast<char>(c)); }
const wchar_t* wcsrchr(const wchar_t* pszText, long nIndex, wchar_t c) { return LastChar(pszText, nIndex, c); }
