#pragma once

#include "common/text/xy_string.h"

// New runtime strings converted from a text. A code page of -1 is the host's
// current one; 65001 is UTF-8. A conversion that fails gives the empty value
// (or a value of length 0); the results never hold a partial text.

CXYString<wchar_t> PCASTR_To_CWString(const char* psz, int nCodePage, int nLen = -1);
CXYString<wchar_t> UTF8_To_CWString(const char* psz);
CXYString<wchar_t> UTF8_To_CWString(const char* psz, int nLen);
CXYString<char> PCWSTR_To_CAString(const wchar_t* psz, int nCodePage, int nLen = -1);
CXYString<char> PCWSTR_To_UTF8(const wchar_t* psz);
CXYString<char> PCWSTR_N_To_UTF8(const wchar_t* psz, int nLen);
CXYString<char> CWString_To_UTF8(const CXYString<wchar_t>& s);
// Through wide text; code page 65001 copies.
CXYString<char> PCASTR_To_UTF8(const char* psz, int nCodePage);
CXYString<char> PCASTR_N_To_UTF8(const char* psz, int nLen, int nCodePage);
// Through wide text with the end marker kept; code page 65001 copies.
CXYString<char> UTF8_To_CAString(const char* psz, int nCodePage);
CXYString<char> UTF8_To_CAString(const char* psz, int nLen, int nCodePage);
// Code page 65001 shares the source's block; a flagged last byte 0xFF
// stands for the highest character on the way.
CXYString<char> CAString_To_UTF8(const CXYString<char>& s, int nCodePage);

// Wide value to 8-bit text keeping the end marker: a flagged value ending
// with 0xFFFFFFFF (not for UTF-8) is converted without that character, the
// byte 0xFF appended and the result's flags word set to 1; otherwise a plain
// conversion. The codes of CXYString<char>::__nConversion.
int nWideVersAnsiAvecMarque(CXYString<char>* pOut, const CXYString<wchar_t>& src, int nCodePage, int nFlags = 0,
                            const char* pszDefault = nullptr);
// The reverse, for an 8-bit value: a flagged last byte 0xFF (not for UTF-8)
// becomes the character 0xFFFFFFFF with the flags word set to 1.
int nAnsiVersWideAvecMarque(CXYString<wchar_t>* pOut, const CXYString<char>& src, int nCodePage);
