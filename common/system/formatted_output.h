#pragma once

#include <cstdarg>
#include <cstddef>

// Wide formatting with formats written for the Windows C library ("%s" a
// wide text, "%S" or "%hs" a narrow one; see windows_format.h). Every form
// takes the real capacity of its destination: there is no unbounded form.
// The forms that take a va_list read it once; callers that format twice from
// one list make a copy (va_copy) for each pass.

// What vswprintf returns: the characters written without the terminator, or
// -1 when the text does not fit or a character cannot be converted (errno as
// vswprintf left it). After -1 the buffer holds what fitted, terminated.
int vsnwprintfWin(wchar_t* pszBuffer, size_t nCapacity, const wchar_t* pszFormat, va_list args);
int snwprintfWin(wchar_t* pszBuffer, size_t nCapacity, const wchar_t* pszFormat, ...);

// The same into an array, whose size is the capacity.
template <size_t N>
int vswprintfWin(wchar_t (&buffer)[N], const wchar_t* pszFormat, va_list args)
{
    return vsnwprintfWin(buffer, N, pszFormat, args);
}

template <size_t N>
int swprintfWin(wchar_t (&buffer)[N], const wchar_t* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    const int n = vsnwprintfWin(buffer, N, pszFormat, args);
    va_end(args);
    return n;
}

// At most n characters and a terminator right after them (the buffer holds
// n + 1); -1 when the text was cut.
int vsznwprintfWin(wchar_t* pszBuffer, unsigned long n, const wchar_t* pszFormat, va_list args);
int sznwprintfWin(wchar_t* pszBuffer, unsigned long n, const wchar_t* pszFormat, ...);

// Formats into a heap text (malloc) that it allocates or grows with realloc:
// *ppszText may hold an earlier block or null. Returns the length. When a
// character cannot be converted (EILSEQ) the text is the format itself,
// unformatted, and its length is returned. On any other failure the block is
// freed, *ppszText set to null and -1 returned.
int vaswprintf(wchar_t** ppszText, const wchar_t* pszFormat, va_list args);
