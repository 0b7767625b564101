#pragma once

#include <cstdio>

#include "common/system/module_handle.h"

// The running executable's full path, whatever the module handle (also when
// asked from inside this plug-in): the link "/proc/self/exe", else the first
// path in "/proc/self/maps". At most nSize - 1 characters and a terminator
// are written; true (1), or 0 when no path could be had or nSize is 0.
unsigned int GetModuleFileNameW(HINSTANCE hModule, wchar_t* pszBuffer, unsigned int nSize);
unsigned int GetModuleFileNameA(HINSTANCE hModule, char* pszBuffer, unsigned int nSize);

// The fallback: the path of the first line of a maps listing (from its first
// '/' to the line end, read as at most 359 characters) into at most
// nSize - 1 bytes and a terminator; false when the line holds no '/'.
int __bModulePathFromMaps(FILE* pMaps, char* pszBuffer, unsigned int nSize);
