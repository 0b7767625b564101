#pragma once

// The Windows-style code-page conversions, through the C library's iconv.
// Wide text is UTF-32. Counts are characters on the wide side and bytes on
// the 8-bit side; a source length of -1 means up to and including the
// terminator. Every call returns 0 on failure and raises nothing.

// Flag of MultiByteToWideChar: invalid input fails the call instead of being
// dropped. (Bit 0x1, "precomposed", is accepted and has no effect.)
constexpr unsigned int MB_PRECOMPOSED = 0x1;
constexpr unsigned int MB_ERR_INVALID_CHARS = 0x8;

constexpr unsigned int CP_UTF8 = 65001;

// Converts from the code page. With a destination (dst non-null and
// dstChars above 0): one conversion, the characters written, 0 when they do
// not all fit. Without: the characters the whole source gives.
int MultiByteToWideChar(unsigned int nCodePage, unsigned int nFlags, const char* pszSrc, int nSrcLen,
                        wchar_t* pszDst, int nDstChars);

// Converts into the code page; flags are not used. Each character the code
// page cannot hold is replaced by pszDefault ("?" when null) and sets
// *pbUsedDefault (which starts at 0). With a destination: the bytes written,
// 0 when they do not all fit (replacements included). Without: the bytes the
// whole source gives.
int WideCharToMultiByte(unsigned int nCodePage, unsigned int nFlags, const wchar_t* pszSrc, int nSrcChars,
                        char* pszDst, int nDstBytes, const char* pszDefault, int* pbUsedDefault);

// Converts between two code pages; invalid input fails, nothing is replaced.
// nSrcLen 0xFFFFFFFFFFFFFFFF means up to and including the terminator.
unsigned long MultiByteToMultiByte(unsigned int nFromCodePage, const char* pszSrc, unsigned long nSrcLen,
                                   unsigned int nToCodePage, char* pszDst, unsigned long nDstBytes);

// UTF-8 size of a wide text in bytes, terminator included.
int nGetUTF8Len(const wchar_t* pszText);
