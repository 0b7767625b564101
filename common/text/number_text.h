#pragma once

// 64-bit number text of the text layer.

// Digits of an unsigned value in the radix ("0"-"9" then "a"-"z"), most
// significant first; dst holds at most 65 characters with the terminator (66
// for a negative value). A radix outside 2 to 36 gives an empty text. Each
// returns dst.
wchar_t* _ui64towTvk(unsigned long nValue, wchar_t* pszDst, int nRadix);
char* _ui64toaTvk(unsigned long nValue, char* pszDst, int nRadix);
// A "-" and the digits of the magnitude for negative values.
wchar_t* _i64towTvk(long nValue, wchar_t* pszDst, int nRadix);
char* _i64toaTvk(long nValue, char* pszDst, int nRadix);

// The wide text converted to at most 100 bytes of code page 1252, then read
// by strtoll in base 10 / strtod.
long _wtoi64Tvk(const wchar_t* pszText);
double wtof(const wchar_t* pszText);

// The value with nDigits significant digits (at most 17) as gcvt writes it,
// widened into dst, which holds 32 characters.
wchar_t* _wgcvt(double dValue, int nDigits, wchar_t* pszDst);
