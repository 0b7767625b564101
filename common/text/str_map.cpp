#include "common/text/str_map.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "common/text/charset.h"
#include "common/text/str_work_area.h"

namespace {

template <class T>
int MapLocale(IInfoLocale* pi, unsigned lcid, unsigned flags, T* dst, int capacity, const T* src, int length)
{
    if constexpr (sizeof(T) == 1)
        return pi->nMapStringLocaleA(lcid, flags, dst, capacity, src, length);
    else
        return pi->nMapStringLocaleW(lcid, flags, dst, capacity, src, length);
}

template <class T>
const T* Text(const T* p)
{
    if constexpr (sizeof(T) == 1)
        return p ? p : "";
    else
        return p ? p : L"";
}

template <class T>
int MapStringEx(unsigned flags, T* dst, int capacity, const T* src, int length)
{
    IInfoLocale* pi = STR_piGetInfoLocale();
    const unsigned lcid = __STR_nLocaleOf(pi, flags, LOCALE_ID_FRENCH);
    return MapLocale(pi, lcid, flags, dst, capacity, Text(src), src ? length : 0);
}

// The language id of a character set, or the mapping functions' default.
unsigned CharsetLocale(int nCharset)
{
    const unsigned short language = wGetLanguageID(nCharset);
    return language ? language : LOCALE_ID_FRENCH;
}

template <class T>
int CreateMapString(unsigned flags, T** result, const T* src)
{
    *result = nullptr;
    const int size = STR_nGetMapStringLenEx(flags, src, -1);
    if (size <= 0)
        return 0;
    T* block = static_cast<T*>(std::malloc(static_cast<size_t>(size) * sizeof(T)));
    if (!block)
        return 0;
    const int n = MapStringEx(flags, block, size, src, -1);
    *result = block;
    return n;
}

// One character at a time: wide text through the current locale's map,
// 8-bit text through locale 1024.
template <class T>
void MapCase(unsigned flags, T* text, long n)
{
    if (!text)
        return;
    IInfoLocale* pi = STR_piGetInfoLocale();
    for (long i = 0; n < 0 ? text[i] != 0 : i < n; ++i) {
        T area[2] = {0, 0};
        int written;
        if constexpr (sizeof(T) == 1)
            written = pi->nMapStringLocaleA(LOCALE_ID_USER_DEFAULT, flags, area, 2, &text[i], 1);
        else
            written = pi->nMapStringW(flags, area, 2, &text[i], 1);
        if (written > 0 && area[0] != 0)
            text[i] = area[0];
    }
}

}  // namespace

int STR_nGetMapStringLenEx(unsigned flags, const wchar_t* text, int length)
{
    return STR_piGetInfoLocale()->nMapStringLocaleW(LOCALE_ID_FRENCH, flags, nullptr, 0, Text(text),
                                                    text ? length : 0) + 1;
}

int STR_nGetMapStringLenEx(unsigned flags, const char* text, int length)
{
    return STR_piGetInfoLocale()->nMapStringLocaleA(LOCALE_ID_FRENCH, flags, nullptr, 0, Text(text),
                                                    text ? length : 0) + 1;
}

int STR_nMapStringEx(unsigned flags, wchar_t* dst, int capacity, const wchar_t* src, int length)
{
    return MapStringEx(flags, dst, capacity, src, length);
}

int STR_nMapStringEx(unsigned flags, char* dst, int capacity, const char* src, int length)
{
    return MapStringEx(flags, dst, capacity, src, length);
}

template <class T>
int __T_STR_nMapCharEx(unsigned flags, T* out, T c)
{
    T area[2] = {0, 0};
    const int n = MapStringEx(flags, area, 2, &c, 1);
    if (out)
        *out = area[0];
    return n;
}

template int __T_STR_nMapCharEx<char>(unsigned, char*, char);
template int __T_STR_nMapCharEx<wchar_t>(unsigned, wchar_t*, wchar_t);

int STR_nMapCharEx(unsigned flags, wchar_t* out, wchar_t c)
{
    return __T_STR_nMapCharEx<wchar_t>(flags, out, c);
}

int STR_nMapCharEx(unsigned flags, char* out, char c)
{
    return __T_STR_nMapCharEx<char>(flags, out, c);
}

int STR_nMapCharExANSI(unsigned flags, char* out, char c)
{
    return __T_STR_nMapCharEx<char>(flags, out, c);
}

int STR_nMapCharIgnoreCaseAccent(wchar_t* out, wchar_t c)
{
    wchar_t area[2] = {0, 0};
    const int n = STR_piGetInfoLocale()->nMapStringLocaleW(
        LOCALE_ID_FRENCH, LOCALE_FLAG_IGNORE_CASE | LOCALE_FLAG_IGNORE_ACCENTS, area, 2, &c, 1);
    if (!out)
        return n;
    *out = area[0];
    return area[0];
}

int STR_nMapStringEx_Charset(int nCharset, unsigned flags, wchar_t* dst, int capacity, const wchar_t* src, int length)
{
    return MapLocale(STR_piGetInfoLocale(), CharsetLocale(nCharset), flags & ~STR_FLAG_CURRENT_LOCALE, dst, capacity,
                     Text(src), src ? length : 0);
}

int STR_nMapStringEx_Charset(int nCharset, unsigned flags, char* dst, int capacity, const char* src, int length)
{
    return MapLocale(STR_piGetInfoLocale(), CharsetLocale(nCharset), flags & ~STR_FLAG_CURRENT_LOCALE, dst, capacity,
                     Text(src), src ? length : 0);
}

int STR_MapStringSortEx_Charset(int nCharset, char* dst, int capacity, const char* src, int length)
{
    return STR_piGetInfoLocale()->nMapSortKeyA(CharsetLocale(nCharset), dst, capacity, Text(src), src ? length : 0);
}

int STR_MapStringSortEx(char* dst, int capacity, const char* src, int length, int bCurrent)
{
    IInfoLocale* pi = STR_piGetInfoLocale();
    const unsigned lcid = bCurrent ? pi->nGetCurrentLCID() : LOCALE_ID_FRENCH;
    return pi->nMapSortKeyA(lcid, dst, capacity, Text(src), src ? length : 0);
}

int STR_nCreateMapString(unsigned flags, wchar_t** result, const wchar_t* src)
{
    return CreateMapString(flags, result, src);
}

int STR_nCreateMapString(unsigned flags, char** result, const char* src)
{
    return CreateMapString(flags, result, src);
}

wchar_t* STR_pszCreateStandard(const wchar_t* text)
{
    if (!text)
        return nullptr;
    const size_t length = std::wcslen(text);
    if (length >= static_cast<size_t>(INT_MAX))
        return nullptr;
    auto* block = static_cast<wchar_t*>(std::malloc((length + 1) * sizeof(wchar_t)));
    if (!block)
        return nullptr;
    STR_nMapStringEx(LOCALE_FLAG_IGNORE_CASE | LOCALE_FLAG_IGNORE_ACCENTS, block, static_cast<int>(length + 1), text,
                     static_cast<int>(length));
    return block;
}

wchar_t* STR_ToUpper(wchar_t* text)
{
    MapCase(LOCALE_FLAG_IGNORE_CASE, text, -1);
    return text;
}

char* STR_ToUpper(char* text)
{
    MapCase(LOCALE_FLAG_IGNORE_CASE, text, -1);
    return text;
}

wchar_t* STR_ToLower(wchar_t* text)
{
    MapCase(LOCALE_FLAG_LOWER_CASE, text, -1);
    return text;
}

char* STR_ToLower(char* text)
{
    MapCase(LOCALE_FLAG_LOWER_CASE, text, -1);
    return text;
}

wchar_t* STR_ToUpperBuff(wchar_t* text, long n)
{
    if (n > 0)
        MapCase(LOCALE_FLAG_IGNORE_CASE, text, n);
    return text;
}

char* STR_ToUpperBuff(char* text, long n)
{
    if (n > 0)
        MapCase(LOCALE_FLAG_IGNORE_CASE, text, n);
    return text;
}

wchar_t* STR_ToLowerBuff(wchar_t* text, long n)
{
    if (n > 0)
        MapCase(LOCALE_FLAG_LOWER_CASE, text, n);
    return text;
}

char* STR_ToLowerBuff(char* text, long n)
{
    if (n > 0)
        MapCase(LOCALE_FLAG_LOWER_CASE, text, n);
    return text;
}

const wchar_t* STR_pszUpStrstr(const wchar_t* text, const wchar_t* pattern)
{
    if (!text)
        return nullptr;
    if (!pattern || !*pattern)
        return text;
    const size_t nText = std::wcslen(text);
    const size_t nPattern = std::wcslen(pattern);
    if (nPattern > nText)
        return nullptr;
    // Each character goes through the interface once: the pattern up front,
    // the text as far as the search reads it.
    CStrWorkArea<wchar_t, 1024> upPattern, upText;
    if (!upPattern.bReserve(nPattern) || !upText.bReserve(nText))
        return nullptr;
    for (size_t j = 0; j < nPattern; ++j)
        STR_nMapCharEx(LOCALE_FLAG_IGNORE_CASE, &upPattern.p()[j], pattern[j]);
    size_t mapped = 0;
    for (size_t i = 0; i + nPattern <= nText; ++i) {
        size_t j = 0;
        for (; j < nPattern; ++j) {
            for (; mapped <= i + j; ++mapped)
                STR_nMapCharEx(LOCALE_FLAG_IGNORE_CASE, &upText.p()[mapped], text[mapped]);
            if (upText.p()[i + j] != upPattern.p()[j])
                break;
        }
        if (j == nPattern)
            return text + i;
    }
    return nullptr;
}
