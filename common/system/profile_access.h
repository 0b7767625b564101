#pragma once

#include <cstddef>
#include <cstdio>

// One profile call on a stream already opened (at offset 0), whatever the
// file's encoding: the byte-order mark is looked for, and the texts are
// carried into the file's width through code page 1252 when the caller's
// width differs.

// The parse into the caller's buffer; *pbFound as __ReadPrivateProfileString.
// A result of 0 leaves an empty buffer (when there is one).
long nReadProfileStream(FILE* pFile, const wchar_t* pszSection, const wchar_t* pszKey, wchar_t* pszBuffer,
                        size_t nSize, bool* pbFound);
long nReadProfileStream(FILE* pFile, const char* pszSection, const char* pszKey, char* pszBuffer, size_t nSize,
                        bool* pbFound);

// The end of every read: a result above 0 is returned; 0 with the key found
// gives 0; otherwise the default (null: 0, buffer untouched), cut to
// size - 1.
unsigned int nProfileReadResult(long nResult, bool bFound, const wchar_t* pszDefault, wchar_t* pszBuffer,
                                size_t nSize);
unsigned int nProfileReadResult(long nResult, bool bFound, const char* pszDefault, char* pszBuffer, size_t nSize);

// The writer on the stream.
bool bWriteProfileStream(FILE* pFile, const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszValue);
bool bWriteProfileStream(FILE* pFile, const char* pszSection, const char* pszKey, const char* pszValue);
