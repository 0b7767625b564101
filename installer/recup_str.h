#pragma once

#include <cstdarg>

#include "common/system/counted_arguments.h"
#include "common/system/module_handle.h"

// Capacity of the buffers pszRecupStr fills, terminator included.
constexpr unsigned int RECUPSTR_BUFFER_CHARS = 250;

// pszRecupStr with the list of nArgs arguments.
wchar_t* pszRecupStrList(wchar_t* pszBuffer, unsigned int nId, va_list* pArgs, int nArgs);

// The installer module's message id formatted with the arguments into the
// caller's buffer of RECUPSTR_BUFFER_CHARS characters; an empty text when the
// id is unknown or the result does not fit. Returns the buffer. The
// arguments are counted: a conversion of the text past them is written as
// nothing, never read.
template <class... Args>
wchar_t* pszRecupStr(wchar_t* pszBuffer, unsigned int nId, Args... args)
{
    return CallWithCountedArguments([&](va_list* pList, int n) { return pszRecupStrList(pszBuffer, nId, pList, n); },
                                    args...);
}
// The same; the first two arguments are not used.
template <class... Args>
wchar_t* pszRecupStr(void*, HINSTANCE, wchar_t* pszBuffer, unsigned int nId, Args... args)
{
    return pszRecupStr(pszBuffer, nId, args...);
}

// The progress yield of the graphical programs: nothing here.
void vYield(...);
// *pT = the microseconds of the current time plus 500, returned too.
unsigned int vResetYield(unsigned int* pT);
