#pragma once

#include <strings.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "common/system/profile_line_reader.h"
#include "common/text/str_copy.h"
#include "common/text/str_trim.h"

// The text operations the profile parser and writer need, by width: char
// for 8-bit (code page 1252) files, wchar_t for UTF-16 files, whose lines
// come in unit by unit.
template <class T>
struct CProfileText;

template <>
struct CProfileText<char>
{
    static size_t nLen(const char* s) { return std::strlen(s); }
    static int nCaseCompare(const char* a, const char* b, size_t n) { return strncasecmp(a, b, n); }
    static int nCompare(const char* a, const char* b, size_t n) { return std::strncmp(a, b, n); }
    static char* pszFind(char* s, char c) { return std::strchr(s, c); }
    static long nCat(char* dst, size_t capacity, const char* src, long n) { return STR_nCatA(dst, capacity, src, n); }
    static long nCut(char* dst, size_t capacity, const char* src) { return STR_nCut(dst, capacity, src); }
    static void TrimLeft(char* s) { STR_SuppressLeftSpaces(s); }
    static void TrimRight(char* s) { STR_SuppressRightSpaces(s); }
    static int nGetLine(char** pp, size_t* pn, FILE* f) { return __STRG_nGetLine<char, char>(pp, pn, f); }
};

template <>
struct CProfileText<wchar_t>
{
    static size_t nLen(const wchar_t* s) { return std::wcslen(s); }
    static int nCaseCompare(const wchar_t* a, const wchar_t* b, size_t n) { return wcsncasecmp(a, b, n); }
    static int nCompare(const wchar_t* a, const wchar_t* b, size_t n) { return std::wcsncmp(a, b, n); }
    static wchar_t* pszFind(wchar_t* s, wchar_t c) { return std::wcschr(s, c); }
    static long nCat(wchar_t* dst, size_t capacity, const wchar_t* src, long n)
    {
        return STR_nCatW(dst, capacity, src, n);
    }
    static long nCut(wchar_t* dst, size_t capacity, const wchar_t* src) { return STR_nCut(dst, capacity, src); }
    static void TrimLeft(wchar_t* s) { STR_SuppressLeftSpaces(s); }
    static void TrimRight(wchar_t* s) { STR_SuppressRightSpaces(s); }
    static int nGetLine(wchar_t** pp, size_t* pn, FILE* f)
    {
        return __STRG_nGetLine<wchar_t, unsigned short>(pp, pn, f);
    }
};

// The line buffer of one parse, owned for its whole length.
template <class T>
struct CProfileLine
{
    T* m_psz = nullptr;
    size_t m_nCapacity = 0;

    CProfileLine() = default;
    CProfileLine(const CProfileLine&) = delete;
    CProfileLine& operator=(const CProfileLine&) = delete;
    ~CProfileLine() { std::free(m_psz); }

    int nRead(FILE* pFile) { return CProfileText<T>::nGetLine(&m_psz, &m_nCapacity, pFile); }
};

// A section header "[" + name + "]" at the start of the text, the name
// compared without regard to case over its length.
template <class T>
bool bIsSectionHeader(const T* pszLine, const T* pszSection, size_t nSectionLen)
{
    return pszLine[0] == '[' && CProfileText<T>::nCaseCompare(pszLine + 1, pszSection, nSectionLen) == 0 &&
           pszLine[1 + nSectionLen] == ']';
}

// What may follow a key name on its line.
template <class T>
bool bEndsKeyName(T c)
{
    return c == '=' || c == ' ' || c == '\t';
}
