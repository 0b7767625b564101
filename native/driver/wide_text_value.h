#pragma once

// Runtime values that carry the driver's texts to the host: lists, names and
// rows handed over in a CAny as wide text, and the text read back out of a
// value a statement gave. A value set here holds its own text, with its NULL
// and further state bits cleared.
#include "common/text/any.h"

// Sets the value to nLen characters of the text (-1: up to its terminator)
// as a runtime string (type 16) or a heap text (110). 0 when memory runs
// out; the value is then an empty text of that type.
int NA_bSetWideText(CAny* pclValue, unsigned short nType, const wchar_t* pszText, long nLen = -1);

// The value's wide text, cast to text when it holds another type; null for
// a NULL value, an empty value (type 0) or one that has no text. The text
// lives as long as the value is neither changed nor destroyed.
const wchar_t* NA_pszWideTextOf(CAny* pclValue);
