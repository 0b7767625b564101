#pragma once

#include <cstddef>

// UTF-16 units (unsigned short) and UTF-32 units (unsigned int) beside the
// module's wide text, converted unit by unit: UTF-16 is used only at
// interfaces that ask for it, and surrogates are not paired.

// Units before the terminator (at most max; max below 1 gives 0).
size_t utf16len(const unsigned short* pText);
size_t utf16nlen(const unsigned short* pText, long nMax);
// Copies units until the terminator or n units; writes no terminator and
// leaves the rest of the destination as it was. Returns dst.
unsigned short* utf16ncpy(unsigned short* pDst, const unsigned short* pSrc, size_t n);
// Compares at most n units after towlower; two terminators end as equal. The
// result is the difference of the lowered units.
int utf16nicmp(const unsigned short* a, const unsigned short* b, size_t n);
// First position within the first n units where the pattern matches by
// utf16nicmp; an empty pattern gives the text.
const unsigned short* utf16niutf16(const unsigned short* pText, const unsigned short* pPattern, size_t n);

// Unit copies. n -1 counts through the terminator. Capacity 0 (or no
// destination) returns the count needed; otherwise the smaller of the two
// counts is copied and returned.
// UTF16ToWideChar copies from the last unit to the first, so that the
// destination may be the source buffer itself.
int UTF16ToWideChar(const unsigned short* pSrc, int n, wchar_t* pDst, int nCapacity);
// Each character narrowed to its low 16 bits.
int WideCharToUTF16(const wchar_t* pSrc, int n, unsigned short* pDst, int nCapacity);
int UTF32ToWideChar(const unsigned int* pSrc, int n, wchar_t* pDst, int nCapacity);
int WideCharToUTF32(const wchar_t* pSrc, int n, unsigned int* pDst, int nCapacity);

// The low byte of each character / each byte as the code point of its
// unsigned value: at most capacity - 1, then a terminator. Return the
// characters written.
int WideCharToANSI(char* pszDst, int nCapacity, const wchar_t* pszSrc);
int ANSIToWideChar(wchar_t* pszDst, int nCapacity, const char* pszSrc);

// wcslen and wcsncpy (the rest up to n characters zero-filled) for wide texts
// that may lie at addresses not aligned to 4 bytes.
size_t __UNALIGNED__UNICODE__STRLEN__(const wchar_t* pszText);
wchar_t* __UNALIGNED__UNICODE__STRNCPY__(wchar_t* pszDst, const wchar_t* pszSrc, size_t n);
