#pragma once

#include "common/system/profile_scratch.h"

// Section, key and value texts carried between the wide calls and 8-bit
// files, or the 8-bit calls and UTF-16 files: code page 0 (1252), "?" for
// what 1252 cannot hold. A null text stays null. False when the memory for
// the copy cannot be had.
bool bProfileNarrow(const wchar_t* pszText, CProfileScratch<char>& work, const char** ppszOut);
bool bProfileWiden(const char* pszText, CProfileScratch<wchar_t>& work, const wchar_t** ppszOut);
