#pragma once

// Small operations on runtime values that the value holders share: reading a
// value's data, and setting a value from bytes or text given with a length.
//
// The per-type objects of the common library read a fixed number of bytes
// for the types held in the value itself (an 8-byte integer reads 8 bytes,
// a date text reads up to its terminator), whatever length the caller has.
// These setters never let them read past the length given: such types are
// set from a zero-filled copy.
#include <cstddef>

#include "common/text/any.h"

// The value's data address and byte size; null and 0 when it has none (the
// empty value, a decimal).
const void* NA_pGetAnyData(const CAny& clValue, unsigned long* pnSize);
// The useful bytes of the data (a text without terminator); 0 when none.
unsigned long NA_nGetAnyUtilSize(const CAny& clValue);

// The value's own set-from-bytes, reading at most n bytes; the flags cleared.
// The operation's code.
int NA_nSetAnyBytes(CAny& clValue, const void* p, unsigned long n);
// Wide text of n characters into a value of a wide text code (16, 20, 81,
// 110, 24, 25); the flags cleared.
int NA_nSetAnyWide(CAny& clValue, const wchar_t* psz, size_t nChars);
// 8-bit text of n bytes into a value of an 8-bit text code, taken as it is;
// the flags cleared.
int NA_nSetAnyAnsi(CAny& clValue, const char* psz, size_t nBytes);
// The value emptied and retyped with its own code (its initial value), then
// flagged NULL.
void NA_SetAnyNull(CAny& clValue);
