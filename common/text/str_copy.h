#pragma once

#include <cstddef>

// Bounded copies of zero-terminated texts. Capacities count characters of the
// destination, terminator included; a count n of -1 means the whole source.
// Nothing is ever written at or beyond the capacity.

// Capacity 0: nothing written, result 0. Otherwise copies the whole source
// (n -1) or at most n characters of it, up to its terminator (n 0 or below
// other than -1: none), at most capacity - 1 of them, and a terminator after
// them. Returns the number copied.
long STR_nCopyW(wchar_t* pszDst, size_t nCapacity, const wchar_t* pszSrc, long n);
long STR_nCopyA(char* pszDst, size_t nCapacity, const char* pszSrc, long n);
inline long STR_nCopy(wchar_t* pszDst, size_t nCapacity, const wchar_t* pszSrc, long n)
{
    return STR_nCopyW(pszDst, nCapacity, pszSrc, n);
}

// STR_nCopy at the end of the text already in the destination with the
// capacity left; nothing when that text already reaches the capacity.
// Returns the number appended.
long STR_nCatW(wchar_t* pszDst, size_t nCapacity, const wchar_t* pszSrc, long n);
long STR_nCatA(char* pszDst, size_t nCapacity, const char* pszSrc, long n);
inline long STR_nCat(wchar_t* pszDst, size_t nCapacity, const wchar_t* pszSrc, long n)
{
    return STR_nCatW(pszDst, nCapacity, pszSrc, n);
}

// The whole source when it fits with its terminator (result its length),
// else capacity - 1 characters and a terminator (result capacity - 1).
long STR_nCut(wchar_t* pszDst, size_t nCapacity, const wchar_t* pszSrc);
long STR_nCut(char* pszDst, size_t nCapacity, const char* pszSrc);
// STR_nCut at the end of the present text with the capacity left.
long STR_nCatCut(wchar_t* pszDst, size_t nCapacity, const wchar_t* pszSrc);

// Characters before the terminator, at most max; max below 1 gives 0.
long STR_nLenA(const char* pszText, long nMax);
long STR_nLenW(const wchar_t* pszText, long nMax);
inline long STR_nLen(const wchar_t* pszText, long nMax)
{
    return STR_nLenW(pszText, nMax);
}
