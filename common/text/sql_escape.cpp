// Escaping of SQL literals and LIKE patterns, and the purges that undo it.
#include "common/text/sql_escape.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/text/sql_escape_text.h"
#include "common/text/str_work_area.h"

namespace {

constexpr size_t kStackWorkBytes = 2047;

template <class T>
void EscapeT(const T* src, T* dst, int f1, int f2, int f3, int f4, int f5, int f6, int f7, int f8, T q, T e)
{
    const T quote = T('\''), backslash = T('\\'), percent = T('%'), underscore = T('_');
    const T* p = src ? src : sqlesc::Empty<T>();
    T* out = dst;
    while (*p) {
        const T c = *p;
        if (c == quote) {
            if (f1 && q)
                *out++ = q;
            *out++ = quote;
            ++p;
        } else if (e && c == e) {
            const T next = p[1];
            if (next == percent || next == underscore) {
                const bool again = next == percent ? f6 : f7;
                const bool bare = next == percent ? f4 : f5;
                if (again) {
                    if (f3)
                        *out++ = e;
                    *out++ = e;
                    if (bare)
                        *out++ = e;
                } else {
                    *out++ = e;
                }
                *out++ = next;
                p += 2;
            } else if (next == e) {
                const int n = f8 && f3 ? 4 : 2;
                for (int i = 0; i < n; ++i)
                    *out++ = e;
                p += 2;
            } else {
                *out++ = e;
                if (f3)
                    *out++ = e;
                ++p;
            }
        } else if (c == backslash) {
            *out++ = backslash;
            if (f2)
                *out++ = backslash;
            ++p;
        } else {
            if (((c == percent && f4) || (c == underscore && f5)) && e)
                *out++ = e;
            *out++ = c;
            ++p;
        }
    }
    *out = 0;
}

template <class T>
T* PszEscapeT(const T* src, int f1, int f2, int f3, int f4, int f5, int f6, int f7, int f8, T q, T e)
{
    const size_t len = src ? std::char_traits<T>::length(src) : 0;
    const size_t capacity = EscapeCapacity(len);
    if (capacity == 0)
        return nullptr;
    CStrWorkArea<T, kStackWorkBytes> work;
    if (!work.bReserve(capacity + 1))
        return nullptr;
    EscapeT(src, work.p(), f1, f2, f3, f4, f5, f6, f7, f8, q, e);
    return sqlesc::Copie(work.p(), std::char_traits<T>::length(work.p()));
}

// A quote, and the character before it that PurgeQuote removes.
template <class T>
bool Purgeable(T before, bool bBackslash)
{
    return before == T('\'') || (bBackslash && before == T('\\'));
}

template <class T>
void PurgeQuoteT(T* s, int bBackslash)
{
    if (!s)
        return;
    const size_t len = std::char_traits<T>::length(s);
    if (len == 2 && s[0] == T('\'') && s[1] == T('\''))
        return;
    if (len < 2)
        return;
    // Right to left, the kept characters written from the end: the write
    // position never falls to or below the one being read.
    size_t w = len;
    ptrdiff_t r = static_cast<ptrdiff_t>(len) - 1;
    while (r >= 1) {
        const T c = s[r];
        if (c == T('\'') && Purgeable(s[r - 1], bBackslash != 0)) {
            s[--w] = c;
            r -= 2;
        } else {
            s[--w] = c;
            r -= 1;
        }
    }
    if (r == 0)
        s[--w] = s[0];
    const size_t kept = len - w;
    std::memmove(s, s + w, kept * sizeof(T));
    s[kept] = 0;
}

// Left to right: E followed by one of the given characters is dropped and
// that character kept as it is.
template <class T, class Follows>
void PurgeT(T* s, T e, Follows follows)
{
    if (!s || !e)
        return;
    T* out = s;
    for (const T* p = s; *p;) {
        if (*p == e && p[1] && follows(p[1])) {
            *out++ = p[1];
            p += 2;
        } else {
            *out++ = *p++;
        }
    }
    *out = 0;
}

template <class T>
void PurgeEscapeT(T* s, T e)
{
    PurgeT(s, e, [e](T c) { return c == e || c == T('_') || c == T('%'); });
}

template <class T>
void PurgeEscapeEscapeT(T* s, T e)
{
    PurgeT(s, e, [e](T c) { return c == e; });
}

template <class T>
void PurgeEscapeBackSlashT(T* s)
{
    PurgeEscapeEscapeT(s, T('\\'));
    PurgeQuoteT(s, 1);
}

}  // namespace

size_t EscapeCapacity(size_t n)
{
    if (n > (SIZE_MAX - 1) / 2 - 1)
        return 0;
    return 2 * n + 1;
}

void Escape(const char* pszSrc, char* pszDst, int f1, int f2, int f3, int f4, int f5, int f6, int f7, int f8,
            char cQ, char cE)
{
    if (pszDst)
        EscapeT(pszSrc, pszDst, f1, f2, f3, f4, f5, f6, f7, f8, cQ, cE);
}

void Escape(const wchar_t* pszSrc, wchar_t* pszDst, int f1, int f2, int f3, int f4, int f5, int f6, int f7, int f8,
            wchar_t cQ, wchar_t cE)
{
    if (pszDst)
        EscapeT(pszSrc, pszDst, f1, f2, f3, f4, f5, f6, f7, f8, cQ, cE);
}

char* pszEscape(const char* pszSrc, int f1, int f2, int f3, int f4, int f5, int f6, int f7, int f8, char cQ,
                char cE)
{
    return PszEscapeT(pszSrc, f1, f2, f3, f4, f5, f6, f7, f8, cQ, cE);
}

wchar_t* pszEscape(const wchar_t* pszSrc, int f1, int f2, int f3, int f4, int f5, int f6, int f7, int f8,
                   wchar_t cQ, wchar_t cE)
{
    return PszEscapeT(pszSrc, f1, f2, f3, f4, f5, f6, f7, f8, cQ, cE);
}

void PurgeQuote(char* psz, int bBackslash)
{
    PurgeQuoteT(psz, bBackslash);
}

void PurgeQuote(wchar_t* psz, int bBackslash)
{
    PurgeQuoteT(psz, bBackslash);
}

void PurgeEscape(char* psz, char cE)
{
    PurgeEscapeT(psz, cE);
}

void PurgeEscape(wchar_t* psz, wchar_t cE)
{
    PurgeEscapeT(psz, cE);
}

void PurgeEscapeEscape(char* psz, char cE)
{
    PurgeEscapeEscapeT(psz, cE);
}

void PurgeEscapeEscape(wchar_t* psz, wchar_t cE)
{
    PurgeEscapeEscapeT(psz, cE);
}

void PurgeEscapeBackSlash(char* psz)
{
    PurgeEscapeBackSlashT(psz);
}

void PurgeEscapeBackSlash(wchar_t* psz)
{
    PurgeEscapeBackSlashT(psz);
}
