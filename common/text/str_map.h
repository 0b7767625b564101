#pragma once

#include "common/text/str_locale.h"

// Case, accent and symbol mapping through the host's locale interface (see
// str_locale.h). Map flags: 1 upper case, 0x100 lower case, 2 accents
// removed, 4 white space and punctuation dropped. Locale 1036 unless the
// flags carry STR_FLAG_CURRENT_LOCALE (taken off before the call). Lengths
// of -1 mean up to the terminator; capacities count units, terminator
// included; answers are the interface's (units written, terminator
// excluded).

// Units the map of text needs, terminator included (the flags go on as
// given).
int STR_nGetMapStringLenEx(unsigned flags, const wchar_t* text, int length);
int STR_nGetMapStringLenEx(unsigned flags, const char* text, int length);
// Maps src into dst.
int STR_nMapStringEx(unsigned flags, wchar_t* dst, int capacity, const wchar_t* src, int length);
int STR_nMapStringEx(unsigned flags, char* dst, int capacity, const char* src, int length);
// Maps one character into a two-unit area; its first unit goes to *out when
// out is given. The answer is the interface's.
template <class T>
int __T_STR_nMapCharEx(unsigned flags, T* out, T c);
int STR_nMapCharEx(unsigned flags, wchar_t* out, wchar_t c);
int STR_nMapCharEx(unsigned flags, char* out, char c);
int STR_nMapCharExANSI(unsigned flags, char* out, char c);
// c without case and accents (flags 3, locale 1036): stored through out and
// returned; without out the interface's answer is returned.
int STR_nMapCharIgnoreCaseAccent(wchar_t* out, wchar_t c);
// 8-bit sort key of src in locale 1036, or the current one when bCurrent.
int STR_MapStringSortEx(char* dst, int capacity, const char* src, int length, int bCurrent);
// The same with the locale of a character set (its language id; the
// default 1036 for a character set without one). STR_FLAG_CURRENT_LOCALE
// has no effect here and is taken off.
int STR_nMapStringEx_Charset(int nCharset, unsigned flags, wchar_t* dst, int capacity, const wchar_t* src, int length);
int STR_nMapStringEx_Charset(int nCharset, unsigned flags, char* dst, int capacity, const char* src, int length);
int STR_MapStringSortEx_Charset(int nCharset, char* dst, int capacity, const char* src, int length);
// *result = a new malloc'd map of src (null when memory runs out, with 0).
int STR_nCreateMapString(unsigned flags, wchar_t** result, const wchar_t* src);
int STR_nCreateMapString(unsigned flags, char** result, const char* src);
// A new malloc'd text: text without case and accents (flags 3), the
// standard form of a name; null for a null text or when memory runs out.
wchar_t* STR_pszCreateStandard(const wchar_t* text);

// Case of a text in place, one character at a time; each character becomes
// the first unit of its map (kept when the map gives nothing). Wide text
// goes through the current locale's map, 8-bit text through locale 1024.
// Up to the terminator, or the first n units (the Buff forms).
wchar_t* STR_ToUpper(wchar_t* text);
char* STR_ToUpper(char* text);
wchar_t* STR_ToLower(wchar_t* text);
char* STR_ToLower(char* text);
wchar_t* STR_ToUpperBuff(wchar_t* text, long n);
char* STR_ToUpperBuff(char* text, long n);
wchar_t* STR_ToLowerBuff(wchar_t* text, long n);
char* STR_ToLowerBuff(char* text, long n);

// First position in text where every character of pattern equals the
// text's after both went through STR_nMapCharEx with flag 1 (upper case, in
// locale 1036); null when none. An empty pattern is found at the start.
const wchar_t* STR_pszUpStrstr(const wchar_t* text, const wchar_t* pattern);
