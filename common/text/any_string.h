#pragma once

// Diagnostic texts of runtime values, for error details and value dumps.
#include "common/text/any.h"

class CTString;

// pOut gets the prefix (null or empty: nothing) followed by the value:
// "<Empty>" for the empty value; with bDetail "Type=%d, Len=%d, Value="
// (type code and data size); "<NULL>" for a NULL value; otherwise the
// value's text (a copy of the value cast to wide heap text) and, with
// bDetail, ", Value(binary)=" and its data bytes in hexadecimal (at most 500,
// announced by "(first 500 bytes only) "). A failed cast appends "<ERROR>"
// and gives its code (103 for a NULL copy, 105 for a copy of another type);
// otherwise 0.
int nGetString(CXYString<wchar_t>* pOut, const CAny& v, const wchar_t* pszPrefix, int bDetail);
// A null value gives the prefix followed by "<NULL>" and 0.
int nGetString(CXYString<wchar_t>* pOut, const CAny* pv, const wchar_t* pszPrefix, int bDetail);
int nGetString(CTString* pOut, const CAny& v, const wchar_t* pszPrefix, int bDetail);
int nGetString(CTString* pOut, const CAny* pv, const wchar_t* pszPrefix, int bDetail);
