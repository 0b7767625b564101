#pragma once

// Searches in zero-terminated texts. Results point into the text, or are
// null. Every index and count is clipped to the text's length first, so no
// search reads beyond the terminator.

// First occurrence of the pattern starting within the first
// n - length(pattern) + 1 positions; a null or empty pattern gives the text;
// n shorter than the pattern gives null.
const wchar_t* STR_pszStrnstr(const wchar_t* pszText, const wchar_t* pszPattern, long n);
// First occurrence compared without regard to case (wcsncasecmp); an empty
// pattern gives the text.
const wchar_t* STR_StrIStr(const wchar_t* pszText, const wchar_t* pszPattern);
// Within the first n bytes, without regard to case / exactly; an empty
// pattern gives the text.
const char* STR_strnistrA(const char* pszText, const char* pszPattern, long n);
const char* STR_strnstrA(const char* pszText, const char* pszPattern, long n);

// Last occurrence beginning at index start or before, searched backwards;
// start below 0 gives null.
const char* STRRSTRA(const char* pszText, long nStart, const char* pszPattern);
const wchar_t* STRRSTRW(const wchar_t* pszText, long nStart, const wchar_t* pszPattern);
inline const wchar_t* STRRSTR(const wchar_t* pszText, long nStart, const wchar_t* pszPattern)
{
    return STRRSTRW(pszText, nStart, pszPattern);
}

// Last character of the text that is in the set; an empty set or text gives
// null.
const wchar_t* STRRPBRK(const wchar_t* pszText, const wchar_t* pszSet);
const char* STRRPBRK(const char* pszText, const char* pszSet);

// Last c at or before the index; an index below 0 gives null.
const char* strrchr(const char* pszText, long nIndex, int c);
const wchar_t* wcsrchr(const wchar_t* pszText, long nIndex, wchar_t c);
