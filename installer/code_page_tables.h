#pragma once

// The installer's own single-byte code pages 437 (OEM) and 1252 (ANSI):
// tables compiled in, so that archive names convert without the C library's
// conversion modules. UTF-16 is held in unsigned short units.

// A single-byte code page: 256 code points by byte, and the way back in two
// levels: the high byte of a unit selects an offset into the low table, the
// low byte indexes from there (offset 0 is a page of default bytes).
struct cptable
{
    unsigned int nCodePage;
    unsigned char byDefault;
    const unsigned short* pCp2Uni;
    const unsigned short* pUni2CpHigh;
    const unsigned char* pUni2CpLow;
};

extern const cptable gstCpTable437;
extern const cptable gstCpTable1252;

// The table of a Windows-style code page number: 1 and 437 give 437, any
// other value 1252.
const cptable* pGetCpTable(unsigned int nCodePage);

// UTF-16 to the code page: converts min(n, size) units and returns n, or -1
// (nothing converted) when size is smaller than n. A unit the code page
// lacks becomes the default byte (pszDefault's first byte when given) and
// sets *pbUsedDefault. The flags are not used.
int cp_wcstombs(const cptable* pTable, int nFlags, const unsigned short* pIn, int n, char* pOut, int nSize,
                const char* pszDefault, int* pbUsedDefault);
// The code page to UTF-16, with the same counting.
int cp_mbstowcs(const cptable* pTable, int nFlags, const char* pIn, int n, unsigned short* pOut, int nSize);

// The Windows-style calls over those two (code page 1: 437, anything else:
// 1252). A length of -1 counts up to and including the terminator; a size of
// 0 asks for the count. 0 on failure: a missing buffer (errno -1 then) or a
// destination too small.
int WideCharToMultiByteWin(unsigned int nCodePage, unsigned int nFlags, const unsigned short* pIn, int n,
                           char* pOut, int nSize, const char* pszDefault, int* pbUsedDefault);
int MultiByteToWideCharWin(unsigned int nCodePage, unsigned int nFlags, const char* pIn, int n,
                           unsigned short* pOut, int nSize);

// n bytes from 1252 to 437 and back, through UTF-16; in and out may be the
// same buffer. Always 1.
int CharToOemBuffA(const char* pIn, char* pOut, unsigned long n);
int OemToCharBuffA(const char* pIn, char* pOut, unsigned long n);
