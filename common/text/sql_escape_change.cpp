// Escaped wildcards rewritten into a database's notation, and the MySQL
// escape of the family.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/text/code_page_text.h"
#include "common/text/sql_escape.h"
#include "common/text/sql_escape_text.h"
#include "common/text/str_work_area.h"

namespace {

constexpr size_t kStackWorkBytes = 2047;

template <class T>
size_t Len(const T* p)
{
    return p ? std::char_traits<T>::length(p) : 0;
}

template <class T>
T* Put(T* out, const T* text)
{
    if (text) {
        for (; *text; ++text)
            *out++ = *text;
    }
    return out;
}

template <class T>
void ChangeEscapeT(const T* src, T* dst, const T* r1, const T* r2, const T* r3, const T* r4, const T* r5,
                   const T* r6, T e)
{
    T* out = dst;
    for (const T* p = src ? src : sqlesc::Empty<T>(); *p;) {
        if (e && *p == e) {
            const T next = p[1];
            if (next == T('%')) {
                out = Put(Put(Put(out, r2), r1), r3);
                p += 2;
            } else if (next == T('_')) {
                out = Put(Put(Put(out, r5), r4), r6);
                p += 2;
            } else if (next == e) {
                *out++ = e;
                p += 2;
            } else {
                *out++ = e;
                ++p;
            }
        } else {
            *out++ = *p++;
        }
    }
    *out = 0;
}

template <class T>
T* PszChangeEscapeT(const T* src, const T* r1, const T* r2, const T* r3, const T* r4, const T* r5, const T* r6,
                    T e)
{
    const size_t nPercent = Len(r1) + Len(r2) + Len(r3);
    const size_t nUnderscore = Len(r4) + Len(r5) + Len(r6);
    const size_t capacity = ChangeEscapeCapacity(Len(src), nPercent, nUnderscore);
    if (capacity == 0)
        return nullptr;
    CStrWorkArea<T, kStackWorkBytes> work;
    if (!work.bReserve(capacity))
        return nullptr;
    ChangeEscapeT(src, work.p(), r1, r2, r3, r4, r5, r6, e);
    return sqlesc::Copie(work.p(), std::char_traits<T>::length(work.p()));
}

template <class T>
T* PszVerrueEscapeMySQLT(const T* src, T e)
{
    T* purged = sqlesc::Copie(src ? src : sqlesc::Empty<T>(), Len(src));
    if (!purged)
        return nullptr;
    PurgeQuote(purged, 1);
    T* escaped = pszEscape(purged, 1, 0, 0, 0, 0, 0, 0, 0, T('\\'), T('\\'));
    std::free(purged);
    if (!escaped)
        return nullptr;
    const size_t len = Len(escaped);
    // Every E may be doubled: 2 x (length + 1) characters always suffice.
    if (len >= SIZE_MAX / (2 * sizeof(T)) - 1) {
        std::free(escaped);
        return nullptr;
    }
    T* result = static_cast<T*>(std::malloc(2 * (len + 1) * sizeof(T)));
    if (!result) {
        std::free(escaped);
        return nullptr;
    }
    // Left to right: an E before _, %, E (or, E being the backslash, a
    // quote) stays with that character; any other E is doubled and the
    // character after it examined afresh.
    T* out = result;
    for (const T* p = escaped; *p;) {
        if (e && *p == e) {
            const T next = p[1];
            if (next == T('_') || next == T('%') || next == e || (next == T('\'') && e == T('\\'))) {
                *out++ = e;
                *out++ = next;
                p += 2;
            } else {
                *out++ = e;
                *out++ = e;
                ++p;
            }
        } else {
            *out++ = *p++;
        }
    }
    *out = 0;
    std::free(escaped);
    return result;
}

}  // namespace

size_t ChangeEscapeCapacity(size_t len, size_t nPercent, size_t nUnderscore)
{
    size_t widest = nPercent > nUnderscore ? nPercent : nUnderscore;
    if (widest < 1)
        widest = 1;
    if (len != 0 && widest > (SIZE_MAX - 1) / len)
        return 0;
    return len * widest + 1;
}

void ChangeEscape(const char* pszSrc, char* pszDst, const char* r1, const char* r2, const char* r3, const char* r4,
                  const char* r5, const char* r6, char cE)
{
    if (pszDst)
        ChangeEscapeT(pszSrc, pszDst, r1, r2, r3, r4, r5, r6, cE);
}

void ChangeEscape(const wchar_t* pszSrc, wchar_t* pszDst, const wchar_t* r1, const wchar_t* r2, const wchar_t* r3,
                  const wchar_t* r4, const wchar_t* r5, const wchar_t* r6, wchar_t cE)
{
    if (pszDst)
        ChangeEscapeT(pszSrc, pszDst, r1, r2, r3, r4, r5, r6, cE);
}

char* pszChangeEscape(const char* pszSrc, const char* r1, const char* r2, const char* r3, const char* r4,
                      const char* r5, const char* r6, char cE)
{
    return PszChangeEscapeT(pszSrc, r1, r2, r3, r4, r5, r6, cE);
}

wchar_t* pszChangeEscape(const wchar_t* pszSrc, const wchar_t* r1, const wchar_t* r2, const wchar_t* r3,
                         const wchar_t* r4, const wchar_t* r5, const wchar_t* r6, wchar_t cE)
{
    return PszChangeEscapeT(pszSrc, r1, r2, r3, r4, r5, r6, cE);
}

char* pszVerrueEscapeMySQL(const char* pszSrc, wchar_t cE)
{
    const char e = cE ? STR_WCharToAChar(cE, 0, 1252) : '\0';
    return PszVerrueEscapeMySQLT(pszSrc, e);
}

wchar_t* pszVerrueEscapeMySQL(const wchar_t* pszSrc, wchar_t cE)
{
    return PszVerrueEscapeMySQLT(pszSrc, cE);
}
