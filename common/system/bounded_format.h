#pragma once

#include <cstdarg>

// Bounded printf into a destination of n + 1 characters: at most n
// characters are written and dst[n] always receives a terminator. The result
// is the length of the whole formatted text when it fits in n characters,
// else -1 (the text was cut).
int sznprintf(char* pszDst, unsigned long n, const char* pszFormat, ...) __attribute__((format(printf, 3, 4)));
int vsznprintf(char* pszDst, unsigned long n, const char* pszFormat, va_list args);
