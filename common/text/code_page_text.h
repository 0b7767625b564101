#pragma once

// Text converted between a code page and wide text. Results are malloc
// blocks released with free. A count of -1 means the whole text. The
// current-charset forms use the host's current code page (1252 until the host
// has published its locale interface).

// One character to one byte; "?" when the code page needs other than exactly
// one byte for it.
char STR_WCharToAChar(wchar_t c, int nFlags, unsigned int nCodePage);
// One byte to one character; "?" when it gives other than exactly one.
wchar_t STR_CharToWChar(char c, int nFlags, unsigned int nCodePage);
wchar_t STR_CharToWChar_CurrentCharset(char c, int nFlags);

// n characters (-1: the whole text) to a new terminated 8-bit text in the
// code page (flags 0). True with the result and its length in bytes
// (terminator excluded); an empty conversion gives a null result and false; a
// failure releases the block and gives null, length 0 and false. pnLength may
// be null.
bool __STR_WCharToChar(const wchar_t* pszText, int n, char** ppszResult, int* pnLength, unsigned int nCodePage);
bool STR_WCharToChar_AnyCodepage(const wchar_t* pszText, int n, char** ppszResult, int* pnLength,
                                 unsigned int nCodePage);
bool STR_WCharToChar_CurrentCharset(char** ppszResult, const wchar_t* pszText, int n);

// n bytes (-1: the whole text) to a new terminated wide text, with the same
// results (length in characters).
bool __STR_CharToWChar(const char* pszText, int n, unsigned int nCodePage, wchar_t** ppszResult, int* pnLength,
                       unsigned int nFlags);
// Adds "precomposed" unless the code page is 65001.
bool STR_CharToWChar_AnyCodepage(const char* pszText, int n, unsigned int nCodePage, wchar_t** ppszResult,
                                 int* pnLength, unsigned int nFlags);
// A null text gives a null result and true.
bool STR_CharToWChar_CurrentCharset(wchar_t** ppszResult, const char* pszText, unsigned int nFlags, int n);
// Code page 1252, the whole text, invalid bytes failing.
bool STR_CharToWChar(wchar_t** ppszResult, const char* pszText);

// n bytes from one code page to a new 8-bit text in another: a plain copy
// when both are the same code page, else through wide text.
bool STR_CharToChar_AnyCodepage(const char* pszText, int n, unsigned int nFromCodePage, char** ppszResult,
                                int* pnLength, unsigned int nToCodePage);

// New wide text from n bytes (-1: the whole text; null or empty gives an
// empty text; a failed conversion too). Null only when memory runs out.
wchar_t* pszCSTR2XSTR(const char* pszText, int n, unsigned int nCodePage);
// New zero-filled 8-bit block of n + 1 bytes (-1: the whole text) holding the
// text in code page 1252. Null only when memory runs out.
char* pszXSTR2CSTR(const wchar_t* pszText, int n);
// Copy of the whole text (n below 1) or of its first n characters.
wchar_t* pszWSTR2XSTR(const wchar_t* pszText, int n);
wchar_t* pszXSTR2WSTR(const wchar_t* pszText, int n);
