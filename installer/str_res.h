#pragma once

#include <cstdarg>

#include "common/system/counted_arguments.h"
#include "common/text/ct_string.h"

// sGetRES with the list of nArgs arguments.
CTString sGetRESList(unsigned int nId, va_list* pArgs, int nArgs);

// The installer module's message id formatted with the arguments (empty when
// the id is unknown or formats to nothing). The arguments are counted: a
// conversion of the text past them is written as nothing, never read.
template <class... Args>
CTString sGetRES(unsigned int nId, Args... args)
{
    return CallWithCountedArguments([&](va_list* pList, int n) { return sGetRESList(nId, pList, n); }, args...);
}
