#pragma once

class CAny;

// Two small tests used where SQL text is written or read.

// SQL white space: tab, line feed, carriage return and space only (vertical
// tab and form feed are not).
int s_bEspaceSQL(wchar_t c);

// Whether a runtime value is the smallest or the largest value of its type,
// so that a key search may drop an open bound. A NULL value, and a type
// without such bounds, is neither.
enum eNACHECKVALUE : int
{
    NA_CHECKVALUE_NONE = 0,
    NA_CHECKVALUE_MIN = 1,
    NA_CHECKVALUE_MAX = 2,
};
eNACHECKVALUE eCheckValue(const CAny* pclValue);
