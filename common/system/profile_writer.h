#pragma once

#include <cstdio>

// The profile writer: sets a key of a section (value null: deletes the key;
// key null: deletes the section), from the stream's current position on
// (0, or just after the byte-order mark). The char form writes an 8-bit
// file, the wchar_t form a UTF-16LE file.
//
// Unlike the reader, the writer looks only at column 0: a header is "[" +
// section + "]" there (section without regard to case), a key line starts
// with the key itself (with regard to case) followed by '=', a blank or a
// tab, and lines starting with ':' are not skipped. Only the first matching
// header and key line are touched:
// - no header: a null key writes nothing; otherwise "[section]" LF and the
//   key line are appended at the end of the file;
// - null key: the header line and every line up to the next line starting
//   with '[' are removed;
// - the key's line is replaced by the new key line (removed for a null
//   value); a line starting with LF, CR or '[' met before it gets the key
//   line inserted in front of it; at the end of the file the key line is
//   appended.
//
// Text appended at the end of a file whose last line has no LF starts on a
// line of its own (the LF is added), so that it does not run into that line.
// A null or empty section and an empty key are refused (false, nothing
// written). False also when a write fails or when a line or the kept tail
// of the file cannot be held in memory (the file then unchanged).
bool __WritePrivateProfileString(FILE* pFile, const char* pszSection, const char* pszKey, const char* pszValue);
bool __WritePrivateProfileString(FILE* pFile, const wchar_t* pszSection, const wchar_t* pszKey,
                                 const wchar_t* pszValue);
