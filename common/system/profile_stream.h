#pragma once

#include <sys/types.h>

#include <cstdio>

// Stream steps of the profile files. The char forms write 8-bit text, the
// wchar_t forms UTF-16LE units (each character narrowed to one unit). The
// stream is opened for update ("r+t" or "w+t"): every switch between
// reading and writing goes through a seek.

// True when the file starts with FF FE. When true and the stream was at
// offset 0 it is left at offset 2, just after the mark; otherwise it is put
// back where it was.
bool bFichierUnicode(FILE* pFile);

// Writes the text; an empty or null text counts as a failed write.
bool __bWriteText(FILE* pFile, const char* pszText);
bool __bWriteText(FILE* pFile, const wchar_t* pszText);
bool __bWriteChar(FILE* pFile, char c);
bool __bWriteChar(FILE* pFile, wchar_t c);

// Moves to the end of the file, first ending its last line with an LF when
// it has none, so that what is appended starts a line of its own. oStart is
// where the lines begin (0, or 2 after a byte-order mark).
bool __bSeekToNewLine(FILE* pFile, off_t oStart, char);
bool __bSeekToNewLine(FILE* pFile, off_t oStart, wchar_t);

// Writes the key line key, " = ", value, LF at the current position. A null
// value writes nothing and succeeds; an empty key fails; an empty value
// gives key, " = ", LF.
bool __bWriteKey(FILE* pFile, const char* pszKey, const char* pszValue);
bool __bWriteKey(FILE* pFile, const wchar_t* pszKey, const wchar_t* pszValue);

// Replaces the bytes [from, to) of the file by the key line (nothing with a
// null value) and keeps the rest of the file after it, then cuts the file
// at the end of what was written. When the memory for the kept tail cannot
// be had, or the tail cannot be read, the file is left unchanged and the
// result is false.
bool __bWriteKey(FILE* pFile, off_t oFrom, off_t oTo, const char* pszKey, const char* pszValue);
bool __bWriteKey(FILE* pFile, off_t oFrom, off_t oTo, const wchar_t* pszKey, const wchar_t* pszValue);
