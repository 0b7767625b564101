#pragma once

#include "common/system/module_handle.h"

// Capacity of the buffers pszRecupStr fills, terminator included.
constexpr unsigned int RECUPSTR_BUFFER_CHARS = 250;

// The installer module's message id formatted with the arguments into the
// caller's buffer of RECUPSTR_BUFFER_CHARS characters; an empty text when the
// id is unknown or the result does not fit. Returns the buffer.
wchar_t* pszRecupStr(wchar_t* pszBuffer, unsigned int nId, ...);
// The same; the first two arguments are not used.
wchar_t* pszRecupStr(void* pUnused, HINSTANCE hModule, wchar_t* pszBuffer, unsigned int nId, ...);

// The progress yield of the graphical programs: nothing here.
void vYield(...);
// *pT = the microseconds of the current time plus 500, returned too.
unsigned int vResetYield(unsigned int* pT);
