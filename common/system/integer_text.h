#pragma once

// Integers as text in radix 2 to 36 (digits above 9 are "a" to "z"), most
// significant digit first, no leading zeros, "0" for zero, and a "-" before
// the magnitude of a negative signed value. The destination holds the digits,
// the sign and the terminator: 66 characters at most (a negative 64-bit value
// in radix 2). A radix outside 2 to 36 gives an empty text. Each returns dst.

char* ui64toa(unsigned long nValue, char* pszDst, int nRadix);
char* ultoa(unsigned long nValue, char* pszDst, int nRadix);
char* i64toa(long nValue, char* pszDst, int nRadix);
char* ltoa(long nValue, char* pszDst, int nRadix);
char* itoa(int nValue, char* pszDst, int nRadix);

wchar_t* ui64tow(unsigned long nValue, wchar_t* pszDst, int nRadix);
wchar_t* ultow(unsigned long nValue, wchar_t* pszDst, int nRadix);
wchar_t* i64tow(long nValue, wchar_t* pszDst, int nRadix);
wchar_t* ltow(long nValue, wchar_t* pszDst, int nRadix);
wchar_t* itow(int nValue, wchar_t* pszDst, int nRadix);

// Exactly four characters read as hexadecimal, unchecked: a character below
// '0' + 10 counts as c - '0', any other as its upper case - 55.
unsigned short nGetEntierHexa4(const wchar_t* pszText);

// Hexadecimal digits read while iswxdigit holds, accumulated in 64 bits;
// nDigits receives how many were read (0 when the text starts with none).
unsigned long nGetEntierHexa(const wchar_t* pszText, int& nDigits);
