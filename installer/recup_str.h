#pragma once

#include "common/system/module_handle.h"

// Capacity of the buffers pszRecupStr fills, terminator included.
constexpr unsigned int RECUPSTR_BUFFER_CHARS = 250;

// The variadic form behind pszRecupStr: nArgs arguments follow.
wchar_t* pszRecupStrArgs(wchar_t* pszBuffer, unsigned int nId, int nArgs, ...);

// The installer module's message id formatted with the arguments into the
// caller's buffer of RECUPSTR_BUFFER_CHARS characters; an empty text when the
// id is unknown or the result does not fit. Returns the buffer. The
// arguments are counted: a conversion of the text past them is written as
// nothing, never read.
template <class... Args>
wchar_t* pszRecupStr(wchar_t* pszBuffer, unsigned int nId, Args... args)
{
    return pszRecupStrArgs(pszBuffer, nId, static_cast<int>(sizeof...(Args)), args...);
}
// The same; the first two arguments are not used.
template <class... Args>
wchar_t* pszRecupStr(void*, HINSTANCE, wchar_t* pszBuffer, unsigned int nId, Args... args)
{
    return pszRecupStrArgs(pszBuffer, nId, static_cast<int>(sizeof...(Args)), args...);
}

// The progress yield of the graphical programs: nothing here.
void vYield(...);
// *pT = the microseconds of the current time plus 500, returned too.
unsigned int vResetYield(unsigned int* pT);
