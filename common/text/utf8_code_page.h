#pragma once

// UTF-8 and UTF-16 beside 8-bit text of a code page. ASCII bytes are copied
// as they are; only runs of other bytes go through the code-page converters.
// The current-charset forms use the host's current code page (1252 until the
// host has published its locale interface).

// Code page to UTF-8 into capacity bytes; n -1 means up to the terminator.
// Capacity 0 writes nothing and gives 0. Code page 65001 copies at most
// min(n, capacity - 1) bytes. Otherwise each run of bytes of 0x80 and more is
// converted as one piece (a multi-byte character is never split; a stateful
// code page converts as one piece); a piece that fails or does not fit makes
// the whole result 0. The rest of the destination is zero-filled; a
// destination filled exactly gets no terminator. Returns the bytes written.
int MultiByteToUTF8(unsigned int nCodePage, const char* pszSrc, int n, char* pszDst, int nCapacity,
                    unsigned int nFlags);
// UTF-8 to the code page, the same way; characters the code page cannot hold
// become pszDefault ("?" when null) and set *pbUsedDefault.
int UTF8ToMultiByte(unsigned int nCodePage, const char* pszSrc, int n, char* pszDst, int nCapacity,
                    unsigned int nFlags, const char* pszDefault, int* pbUsedDefault);
int MultiByteToUTF8_CurrentCharset(const char* pszSrc, int n, char* pszDst, int nCapacity, unsigned int nFlags);
int UTF8ToMultiByte_CurrentCharset(const char* pszSrc, int n, char* pszDst, int nCapacity, unsigned int nFlags);

// Code page to UTF-16 units through wide text (each character narrowed to one
// unit). Capacity 0 gives the units needed; otherwise the units written, 0 on
// failure.
int MultiByteToUTF16(unsigned int nCodePage, unsigned int nFlags, const char* pszSrc, int n,
                     unsigned short* pDst, int nCapacity);
int MultiByteToUTF16_CurrentCharset(unsigned int nFlags, const char* pszSrc, int n, unsigned short* pDst,
                                    int nCapacity);
// UTF-16 units (each widened to one character) to the code page, as
// WideCharToMultiByte.
int UTF16ToMultiByte(unsigned int nCodePage, unsigned int nFlags, const unsigned short* pSrc, int n, char* pszDst,
                     int nCapacity, const char* pszDefault, int* pbUsedDefault);
