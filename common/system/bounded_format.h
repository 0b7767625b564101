#pragma once

#include <cstdarg>

// Bounded printf into a destination of n + 1 characters: at most n
// characters are written and dst[n] always receives a terminator. The result
// is the length of the whole formatted text when it fits in n characters,
// else -1 (the text was cut).
int sznprintf(char* pszDst, unsigned long n, const char* pszFormat, ...) __attribute__((format(printf, 3, 4)));
int vsznprintf(char* pszDst, unsigned long n, const char* pszFormat, va_list args);

// The same with a wide format in the Windows convention (formatted_output.h).
int sznwprintf(wchar_t* pszDst, unsigned long n, const wchar_t* pszFormat, ...);
int vsznwprintf(wchar_t* pszDst, unsigned long n, const wchar_t* pszFormat, va_list args);
