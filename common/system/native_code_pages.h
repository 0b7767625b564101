#pragma once

#include <cstddef>
#include <cstdint>

// Code pages 1252 and UTF-8 converted without iconv. Every text the driver
// reads or sends passes through one of them, so they give exactly what the
// iconv route gives (same characters kept, dropped or refused, same failures)
// at a fraction of its cost; the tests and the fuzz target hold them to it.

enum class NativeCodePage { kNone, kCp1252, kUtf8 };

// The native converter serving a Windows code page, if any (0 and every number
// iconv would read as "CP1252" are code page 1252).
NativeCodePage NativeCodePageOf(int nCodePage);

// Decodes len bytes into wide text. Invalid input is dropped, or fails the
// call when bStrict. A sequence cut by the end of the input fails. With dst
// null, only counts. Returns the characters, or -1 on failure (also when dst
// cannot hold them all).
long NativeDecode(NativeCodePage cp, const unsigned char* src, size_t len, bool bStrict,
                  wchar_t* dst, size_t capacity);

// Encodes n wide characters. A character the code page cannot hold is
// replaced by the defLen bytes of def and sets *pbUsedDefault. With dst null,
// only counts. Returns the bytes, or -1 when dst cannot hold them all.
long NativeEncode(NativeCodePage cp, const wchar_t* src, size_t n, const char* def, size_t defLen,
                  bool* pbUsedDefault, char* dst, size_t capacity);
