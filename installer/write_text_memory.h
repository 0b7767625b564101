#pragma once

#include <cstdio>

// Writes n characters of wide text to the file as units of TUnit (the
// installer's form: wchar_t to UTF-16, each character narrowed to one unit),
// through a stack buffer for short texts and the heap otherwise. True when
// something was written.
template <class TChar, class TUnit>
bool __bWriteTextMemoire(FILE* pFile, const TChar* pszText, unsigned long n);

extern template bool __bWriteTextMemoire<wchar_t, unsigned short>(FILE*, const wchar_t*, unsigned long);
