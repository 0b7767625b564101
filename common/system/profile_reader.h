#pragma once

#include <cstddef>
#include <cstdio>

// The profile parser: reads a key of a section, or lists the keys of a
// section (key null or empty) or the sections (section null or empty), from
// the stream's current position on. The char form reads an 8-bit file, the
// wchar_t form a UTF-16LE file (positioned after its byte-order mark).
//
// Lines are taken with their leading white space removed. A section starts
// at the first line "[" + name + "]" (name without regard to case); inside
// it, lines starting with ':' are skipped, and a line "[...]" ends it. A key
// line starts with the key (without regard to case) followed by '=', a blank
// or a tab; its value is the text after the '=' up to the first CR or LF,
// leading blanks and tabs skipped, trailing blanks kept, cut to size - 1
// characters. Listings append each name and "\r\n", bounded by the size.
//
// A buffer with a size above 0 is emptied first. Returns the characters in
// the buffer (the value's copied length, or the listing's length); *pbFound
// is set when the key's line was found. When the line buffer cannot be had
// the parse stops as at the end of the file.
long __ReadPrivateProfileString(FILE* pFile, const char* pszSection, const char* pszKey, char* pszBuffer,
                                size_t nSize, bool* pbFound);
long __ReadPrivateProfileString(FILE* pFile, const wchar_t* pszSection, const wchar_t* pszKey,
                                wchar_t* pszBuffer, size_t nSize, bool* pbFound);
