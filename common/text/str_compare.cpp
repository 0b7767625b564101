#include "common/text/str_compare.h"

#include <climits>
#include <cstring>
#include <cwchar>

namespace {

const wchar_t* Text(const wchar_t* p)
{
    return p ? p : L"";
}

const char* Text(const char* p)
{
    return p ? p : "";
}

// Characters up to the terminator, at most n (n below 0: no limit), kept
// within the interface's int lengths.
template <class T>
int BoundedLength(const T* p, long n)
{
    if (!p)
        return 0;
    const size_t limit = n < 0 || n > INT_MAX ? static_cast<size_t>(INT_MAX) : static_cast<size_t>(n);
    if constexpr (sizeof(T) == 1)
        return static_cast<int>(strnlen(p, limit));
    else
        return static_cast<int>(wcsnlen(p, limit));
}

}  // namespace

int STR_nCompareW(const wchar_t* a, const wchar_t* b, unsigned flags)
{
    IInfoLocale* pi = STR_piGetInfoLocale();
    if (flags & STR_FLAG_CURRENT_LOCALE)
        return pi->nCompareStringW(flags & ~STR_FLAG_CURRENT_LOCALE, Text(a), -1, Text(b), -1);
    return pi->nCompareStringLocaleW(LOCALE_ID_USER_DEFAULT, flags, Text(a), -1, Text(b), -1);
}

int STR_nCompareA(const char* a, const char* b, unsigned flags)
{
    IInfoLocale* pi = STR_piGetInfoLocale();
    flags |= STR_FLAG_COMPARE_ANSI;
    if (flags & STR_FLAG_CURRENT_LOCALE)
        return pi->nCompareStringA(flags & ~STR_FLAG_CURRENT_LOCALE, Text(a), -1, Text(b), -1);
    return pi->nCompareStringLocaleA(LOCALE_ID_USER_DEFAULT, flags, Text(a), -1, Text(b), -1);
}

int STR_nUpCompareW(const wchar_t* a, const wchar_t* b, unsigned flags)
{
    return STR_nCompareW(a, b, flags | LOCALE_FLAG_IGNORE_CASE);
}

int STR_nUpCompareA(const char* a, const char* b, unsigned flags)
{
    return STR_nCompareA(a, b, flags | LOCALE_FLAG_IGNORE_CASE);
}

int STR_nAcCompare(const wchar_t* a, const wchar_t* b, unsigned flags)
{
    return STR_nCompareW(a, b, flags | LOCALE_FLAG_IGNORE_ACCENTS);
}

int STR_nNullCompare(const wchar_t* a, const wchar_t* b, unsigned flags)
{
    if (!a)
        return b ? -1 : 0;
    if (!b)
        return 1;
    return STR_nCompareW(a, b, flags);
}

int STR_nEmptyNullCompare(const wchar_t* a, const wchar_t* b, unsigned flags)
{
    if (!a)
        return !b || !*b ? 0 : -1;
    if (!b)
        return *a ? 1 : 0;
    return STR_nCompareW(a, b, flags);
}

template <class T>
int STR_nNCompare(const T* a, const T* b, long n, unsigned flags)
{
    IInfoLocale* pi = STR_piGetInfoLocale();
    const unsigned lcid = __STR_nLocaleOf(pi, flags, LOCALE_ID_FRENCH);
    const int na = BoundedLength(a, n);
    const int nb = BoundedLength(b, n);
    int answer;
    if constexpr (sizeof(T) == 1)
        answer = pi->nCompareStringLocaleA(lcid, flags, Text(a), na, Text(b), nb);
    else
        answer = pi->nCompareStringLocaleW(lcid, flags, Text(a), na, Text(b), nb);
    return answer == 0 ? 0 : (answer == 1 ? 1 : -1);
}

template int STR_nNCompare<char>(const char*, const char*, long, unsigned);
template int STR_nNCompare<wchar_t>(const wchar_t*, const wchar_t*, long, unsigned);

int STR_nNullNCompare(const wchar_t* a, const wchar_t* b, long n, unsigned flags)
{
    if (!a)
        return b ? -1 : 0;
    if (!b)
        return 1;
    return STR_nNCompare<wchar_t>(a, b, n, flags);
}

bool STR_bDebut(const wchar_t* prefix, const wchar_t* text)
{
    const size_t np = prefix ? std::wcslen(prefix) : 0;
    // Only as much of the text as the prefix needs is measured.
    if (np > static_cast<size_t>(INT_MAX) || wcsnlen(Text(text), np) < np)
        return false;
    return STR_nNCompare<wchar_t>(prefix, text, static_cast<long>(np),
                                  LOCALE_FLAG_IGNORE_CASE | LOCALE_FLAG_IGNORE_ACCENTS) == 0;
}

int STR_nCompareCharLexicoW(wchar_t c1, wchar_t c2, unsigned flags)
{
    return STR_nCompareStringLexicoW(&c1, 1, &c2, 1, flags);
}

int STR_nCompareCharLexicoA(char c1, char c2, unsigned flags)
{
    IInfoLocale* pi = STR_piGetInfoLocale();
    const unsigned lcid = __STR_nLocaleOf(pi, flags, LOCALE_ID_FRENCH);
    return pi->nCompareStringLocaleA(lcid, flags | STR_FLAG_LEXICAL, &c1, 1, &c2, 1);
}

int STR_nCompareStringLexicoW(const wchar_t* a, int na, const wchar_t* b, int nb, unsigned flags)
{
    IInfoLocale* pi = STR_piGetInfoLocale();
    const unsigned lcid = __STR_nLocaleOf(pi, flags, LOCALE_ID_USER_DEFAULT);
    return pi->nCompareStringLocaleW(lcid, flags | STR_FLAG_LEXICAL, Text(a), a ? na : 0, Text(b), b ? nb : 0);
}

int STR_nCompareCharSoupleW(wchar_t c1, wchar_t c2)
{
    return STR_piGetInfoLocale()->nCompareStringLocaleW(LOCALE_ID_USER_DEFAULT,
                                                        LOCALE_FLAG_IGNORE_CASE | LOCALE_FLAG_IGNORE_ACCENTS, &c1, 1,
                                                        &c2, 1);
}

int STR_nCompareCharSoupleA(char c1, char c2)
{
    return STR_piGetInfoLocale()->nCompareStringLocaleA(LOCALE_ID_FRENCH,
                                                        LOCALE_FLAG_IGNORE_CASE | LOCALE_FLAG_IGNORE_ACCENTS, &c1, 1,
                                                        &c2, 1);
}

bool STR_bWhiteCharOrPunctW(wchar_t c)
{
    wchar_t out[2] = {0, 0};
    const int n = STR_piGetInfoLocale()->nMapStringLocaleW(LOCALE_ID_USER_DEFAULT, LOCALE_FLAG_IGNORE_SYMBOLS, out, 2,
                                                           &c, 1);
    return n <= 0 || out[0] == 0;
}

bool STR_bWhiteCharOrPunctA(char c)
{
    char out[2] = {0, 0};
    const int n = STR_piGetInfoLocale()->nMapStringLocaleA(LOCALE_ID_FRENCH, LOCALE_FLAG_IGNORE_SYMBOLS, out, 2, &c, 1);
    return n <= 0 || out[0] == 0;
}
