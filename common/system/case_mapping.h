#pragma once

#include <cstddef>

// In-place case mapping up to the terminator; each returns the text.
wchar_t* my_struprW(wchar_t* pszText);
wchar_t* my_strlwrW(wchar_t* pszText);
// 8-bit forms map each byte in the current C locale.
char* my_struprA(char* pszText);
char* my_strlwrA(char* pszText);

// Sets every character before the terminator to c / at most n of them.
wchar_t* wcsset(wchar_t* pszText, wchar_t c);
wchar_t* wcsnset(wchar_t* pszText, wchar_t c, size_t n);
