#pragma once

// The Windows-style calls that change the current directory. Both return 1
// on success and 0 on failure (errno from chdir, or EILSEQ / ENOMEM when
// the name does not convert).

// The wide name reaches the system as UTF-8.
int SetCurrentDirectoryW(const wchar_t* pszPath);
// The 8-bit name is in the code page of the host's current character set.
int SetCurrentDirectoryA(const char* pszPath);
