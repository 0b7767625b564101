#pragma once

#include <cstdarg>

// Estimate of the characters a Windows-style printf format gives with its
// arguments ("%s" takes text of the format's own width, "%S" the other
// width, "hs" 8-bit and "ls" wide text), read once from left to right: text
// conversions count their length cut to the precision and then raised to the
// width (a null text counts 6, as the C library prints "(null)"); characters
// count 2; integers and pointers at least 32; floating values at least 512
// and at least what the value itself formats to. Wide text in an 8-bit
// format counts the longest multibyte form of each character.
//
// The list is read through a copy: the caller's list is not consumed. The
// estimate is no exact bound for every format (conversions the estimate does
// not know count their own characters): callers size a first buffer from it,
// format with the buffer's real capacity and grow when the text does not fit.
template <class T>
long STRG_nCalculeLongueurPrintf(const T* pszFormat, va_list args);

extern template long STRG_nCalculeLongueurPrintf<char>(const char*, va_list);
extern template long STRG_nCalculeLongueurPrintf<wchar_t>(const wchar_t*, va_list);
