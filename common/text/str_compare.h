#pragma once

#include "common/text/str_locale.h"

// Comparisons that follow a language, handed to the host's locale interface
// (see str_locale.h). Flags are the interface's: 1 ignores case, 2 accents,
// 4 symbols; STR_FLAG_CURRENT_LOCALE takes the current locale in place of
// the default and is removed before the call. A null text reads as empty.

// Whole texts, result as the interface gives it (0 equal, 1 first greater,
// another value first smaller). With STR_FLAG_CURRENT_LOCALE the current
// locale's operation, otherwise locale 1024. The registries of the driver
// compare names with flags 3.
int STR_nCompareW(const wchar_t* a, const wchar_t* b, unsigned flags);
// 8-bit form; the flags gain STR_FLAG_COMPARE_ANSI.
int STR_nCompareA(const char* a, const char* b, unsigned flags);
// The same ignoring case (flag 1 added).
int STR_nUpCompareW(const wchar_t* a, const wchar_t* b, unsigned flags);
int STR_nUpCompareA(const char* a, const char* b, unsigned flags);
// STR_nCompareW ignoring accents (flag 2 added).
int STR_nAcCompare(const wchar_t* a, const wchar_t* b, unsigned flags);
// Null sorts first: both null 0, a null -1, b null 1, else STR_nCompareW.
int STR_nNullCompare(const wchar_t* a, const wchar_t* b, unsigned flags);
// Null equals empty: a null gives 0 against null or empty, else -1; b null
// gives 1 against a non-empty a, else 0; else STR_nCompareW.
int STR_nEmptyNullCompare(const wchar_t* a, const wchar_t* b, unsigned flags);

// At most n characters of each text (up to its terminator; n below 0: no
// limit), compared in locale 1036 or the current one; the answer normalised
// to 0, 1 or -1. Instantiated for char and wchar_t.
template <class T>
int STR_nNCompare(const T* a, const T* b, long n, unsigned flags);
// The null rules of STR_nNullCompare, then the bounded wide comparison.
int STR_nNullNCompare(const wchar_t* a, const wchar_t* b, long n, unsigned flags);
// Whether text starts with prefix, ignoring case and accents; false without
// asking the interface when the prefix is the longer.
bool STR_bDebut(const wchar_t* prefix, const wchar_t* text);

// Lexical comparison of one character or of two pieces: wide in locale 1024,
// 8-bit in 1036 (the current one with STR_FLAG_CURRENT_LOCALE); the flags
// gain STR_FLAG_LEXICAL. Answers as the interface gives them.
int STR_nCompareCharLexicoW(wchar_t c1, wchar_t c2, unsigned flags);
int STR_nCompareCharLexicoA(char c1, char c2, unsigned flags);
int STR_nCompareStringLexicoW(const wchar_t* a, int na, const wchar_t* b, int nb, unsigned flags);
// One character against another ignoring case and accents (flags 3).
int STR_nCompareCharSoupleW(wchar_t c1, wchar_t c2);
int STR_nCompareCharSoupleA(char c1, char c2);
// Whether the character is white space or punctuation: the symbol-dropping
// map (flag 4) leaves nothing of it, or maps it to 0.
bool STR_bWhiteCharOrPunctW(wchar_t c);
bool STR_bWhiteCharOrPunctA(char c);
