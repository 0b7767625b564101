#pragma once

#include <cstddef>

// makepath of the Windows-style system layer: path = dir with an end '/'
// (empty for a null or empty dir), then fname when not empty, then, when
// fname was appended and ext is not empty, '.' (unless ext starts with it)
// and ext. The drive is ignored. nCapacity is the size of the buffer in
// characters, terminator included (261 unless the caller gives it). A path
// that does not fit leaves the buffer empty: a cut path would name another
// file.
void makepath(wchar_t* pszPath, const wchar_t* pszDrive, const wchar_t* pszDir, const wchar_t* pszFName,
              const wchar_t* pszExt, size_t nCapacity = 261);
