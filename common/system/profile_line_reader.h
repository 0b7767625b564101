#pragma once

#include <cstddef>
#include <cstdio>

// The line reader under the profile files and the STRG_nGetLine exports.
//
// The caller owns a heap buffer (null at first, released with free) and its
// capacity in bytes, and passes both again for every line. The reader
// allocates 64 bytes (8-bit) or 256 bytes (wide) on first use and grows the
// buffer, doubling it, whenever fewer than 2 bytes (8-bit) or 8 bytes (wide)
// remain. It stores the characters up to and including the LF and a
// terminator; a CR stays in the line. A read error ends the line like the end
// of the file.
//
// Result: the bytes of the file the line took (so 2 per unit in a UTF-16
// file), STRG_LINE_END when nothing was read before the end of the file, or
// STRG_LINE_NO_MEMORY when the buffer cannot be had (the buffer then still
// belongs to the caller and holds what was read, terminated). Lines are
// limited to STRG_LINE_MAX_BYTES of buffer; a longer one also gives
// STRG_LINE_NO_MEMORY.
//
// Forms, as STRG_nGetChar: <char, char> bytes; <wchar_t, wchar_t> wide
// characters through fgetwc; <wchar_t, unsigned short> UTF-16 little-endian
// units, each widened to one character.

constexpr int STRG_LINE_END = -1;
constexpr int STRG_LINE_NO_MEMORY = -2;
constexpr size_t STRG_LINE_MAX_BYTES = 0x7FFFFFFF;

template <class T, class U>
int __STRG_nGetLine(T** ppBuffer, size_t* pnCapacity, FILE* pFile);

template <>
int __STRG_nGetLine<char, char>(char** ppBuffer, size_t* pnCapacity, FILE* pFile);
template <>
int __STRG_nGetLine<wchar_t, wchar_t>(wchar_t** ppBuffer, size_t* pnCapacity, FILE* pFile);
template <>
int __STRG_nGetLine<wchar_t, unsigned short>(wchar_t** ppBuffer, size_t* pnCapacity, FILE* pFile);
