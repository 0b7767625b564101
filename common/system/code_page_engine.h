#pragma once

#include <cstddef>

// The counting core of the code-page conversions, for the converters of the
// text layer that must tell an empty result from a failure. Counts are as
// MultiByteToWideChar and WideCharToMultiByte count them, without their int
// range; -1 is a failure. A null destination only counts.

// Native converter or iconv, as MultiByteToWideChar.
long nMultiByteToWide(unsigned int nCodePage, unsigned int nFlags, const char* pszSrc, size_t nLen,
                      wchar_t* pszDst, size_t nDstChars);
// Native converter or iconv, as WideCharToMultiByte; *pbUsedDefault is set
// when a replacement was written (left alone otherwise).
long nWideToMultiByte(unsigned int nCodePage, const wchar_t* pszSrc, size_t nChars, const char* pszDefault,
                      bool* pbUsedDefault, char* pszDst, size_t nDstBytes);

// The iconv route alone, also for code pages that have a native converter:
// the native converters are held to agree with it.
long nMultiByteToWideCharIconv(unsigned int nCodePage, unsigned int nFlags, const char* pszSrc, size_t nLen,
                               wchar_t* pszDst, size_t nDstChars);
long nWideCharToMultiByteIconv(unsigned int nCodePage, const wchar_t* pszSrc, size_t nChars,
                               const char* pszDefault, bool* pbUsedDefault, char* pszDst, size_t nDstBytes);
