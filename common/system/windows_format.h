#pragma once

#include <cstddef>

// Formats written for the Windows C library, where in a wide format "%s" and
// "%c" take wide text and characters and "%S", "%hs", "%C" and "%hc" narrow
// ones, rewritten for this C library's wide printf, where the plain forms are
// narrow. Each conversion is read whole (position "n$", flags, width,
// precision, size), so "%-10s" and "%.*s" take wide text like "%s"; "%ls"
// and "%lc" stay wide; "I64" becomes "ll" and "I32" goes. "%%" stays.

// Writes the converted format and a terminator into output (size characters);
// returns the characters written without the terminator, or -1 when size is
// too small.
int _ConvertFormatWindowsToUnix(const wchar_t* pszFormat, wchar_t* pszOutput, size_t nSize);

// Characters the converted format needs, terminator included.
size_t _nCalculeTailleChaineFormattageUnix(const wchar_t* pszFormat);
