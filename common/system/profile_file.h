#pragma once

// The Windows profile calls: keys of sectioned text files ("ini" files) and
// of the per-user file home directory + "/.TVK.conf".
//
// A file is UTF-16LE when it starts with FF FE, else 8-bit text in code page
// 1252; the mark is only recognised, never written, so a file these calls
// create is 8-bit. Texts cross between the two widths through code page
// 1252. File names hold at most 260 characters; a name without '/' or '\\'
// is taken in the home directory (see profile_names.h), backslashes are read
// as slashes. Buffer sizes count characters of the buffer's type. Nothing is
// locked: two writers at the same time can lose each other's changes. No
// error object is raised; the result is all that is reported.
//
// See profile_reader.h and profile_writer.h for the file format the reader
// accepts and the writer produces.

// Reads a key into the buffer, cut to size - 1 characters; with a null or
// empty key, lists the section's keys; with a null or empty section, lists
// the sections (each name followed by "\r\n", the last one too). Returns the
// characters placed in the buffer without the terminator. A key present with
// an empty value gives 0 and an empty buffer. Otherwise (file not opened,
// section or key missing, empty listing) the default is copied, cut to
// size - 1, and its length returned; a null default gives 0 and leaves the
// buffer untouched when the file did not open, empty otherwise.
unsigned int GetPrivateProfileStringW(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszDefault,
                                      wchar_t* pszBuffer, unsigned int nSize, const wchar_t* pszFileName);
unsigned int GetPrivateProfileString(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszDefault,
                                     wchar_t* pszBuffer, unsigned int nSize, const wchar_t* pszFileName);
unsigned int GetPrivateProfileStringA(const char* pszSection, const char* pszKey, const char* pszDefault,
                                      char* pszBuffer, unsigned int nSize, const char* pszFileName);

// The key's value read as a decimal integer (wcstol; "12abc" gives 12, "abc"
// gives 0); the default when the key is missing.
int GetPrivateProfileInt(const wchar_t* pszSection, const wchar_t* pszKey, int nDefault, const wchar_t* pszFileName);

// Sets a key (written "key = value" LF); a null value deletes the key, a
// null key deletes the section. A missing file is created. True on success;
// false when the file cannot be opened or created, a write fails, or memory
// runs out (the file is then unchanged). A null or empty section and an
// empty key are refused.
int WritePrivateProfileStringW(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszValue,
                               const wchar_t* pszFileName);
int WritePrivateProfileString(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszValue,
                              const wchar_t* pszFileName);
int WritePrivateProfileStringA(const char* pszSection, const char* pszKey, const char* pszValue,
                               const char* pszFileName);

// The same on the per-user file. Without a home directory the reads give
// the default and the write fails.
unsigned int GetProfileString(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszDefault,
                              wchar_t* pszBuffer, unsigned int nSize);
int GetProfileInt(const wchar_t* pszSection, const wchar_t* pszKey, int nDefault);
int WriteProfileString(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszValue);
