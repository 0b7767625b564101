#pragma once

// Environment variables; names and values are UTF-8 in the process
// environment.

// A null value removes the variable (true); otherwise it is set, replacing
// any value; true on success. A null name fails.
int SetEnvironmentVariable(const char* pszName, const char* pszValue);

// The value of the variable (its name and value converted from and to UTF-8)
// cut to nSize - 1 characters and terminated when nSize > 0. Returns its
// length in characters when it fits, else the size it needs (length + 1);
// 0 when the variable is missing.
unsigned int GetEnvironmentVariableW(const wchar_t* pszName, wchar_t* pszBuffer, unsigned int nSize);
// The same with 8-bit text in the host's current code page.
unsigned int GetEnvironmentVariableA(const char* pszName, char* pszBuffer, unsigned int nSize);
