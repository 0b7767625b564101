#pragma once

#include <cstddef>
#include <cstdio>

#include "common/system/export.h"

// Text functions the module exports to the host, which calls them by their
// C++ names:
//   wchar_t* STRG_pszCreate<wchar_t>(int)
//   char* STRG_pszCreate<char>(int)
//   int STRG_nGetChar<char, char>(_IO_FILE*)
//   int STRG_nGetChar<wchar_t, wchar_t>(_IO_FILE*)
//   int STRG_nGetChar<wchar_t, unsigned short>(_IO_FILE*)
//   int STRG_nGetLine<char>(char**, unsigned long*, _IO_FILE*)
//   int STRG_nGetLine<wchar_t>(wchar_t**, unsigned long*, _IO_FILE*)

// An uninitialised heap block (released with free) for n characters and a
// terminator; null for a negative n or when memory runs out.
template <class T>
VX_EXPORT T* STRG_pszCreate(int n);

// The next character of a file as an int, -1 at the end: T is the width of
// the text read, U the unit in the file. <char, char> reads a byte (fgetc),
// <wchar_t, wchar_t> a wide character (fgetwc), <wchar_t, unsigned short> one
// UTF-16 little-endian unit widened to one character (-1 when fewer than two
// bytes are left).
template <class T, class U>
VX_EXPORT int STRG_nGetChar(FILE* pFile);

// The next line of a file into the caller's heap buffer (null at first,
// released with free) whose capacity in bytes the caller keeps beside it:
// <char> reads bytes, <wchar_t> wide characters (fgetwc). Returns the bytes
// of the file the line took, -1 at the end of the file, 12 when memory runs
// out (see profile_line_reader.h).
template <class T>
VX_EXPORT int STRG_nGetLine(T** ppBuffer, size_t* pnSize, FILE* pFile);

template <>
VX_EXPORT wchar_t* STRG_pszCreate<wchar_t>(int n);
template <>
VX_EXPORT char* STRG_pszCreate<char>(int n);
template <>
VX_EXPORT int STRG_nGetChar<char, char>(FILE* pFile);
template <>
VX_EXPORT int STRG_nGetChar<wchar_t, wchar_t>(FILE* pFile);
template <>
VX_EXPORT int STRG_nGetChar<wchar_t, unsigned short>(FILE* pFile);
template <>
VX_EXPORT int STRG_nGetLine<char>(char** ppBuffer, size_t* pnSize, FILE* pFile);
template <>
VX_EXPORT int STRG_nGetLine<wchar_t>(wchar_t** ppBuffer, size_t* pnSize, FILE* pFile);
