#pragma once

#include "common/text/ct_string.h"

// The variadic form behind sGetRES: nArgs arguments follow.
CTString sGetRESArgs(unsigned int nId, int nArgs, ...);

// The installer module's message id formatted with the arguments (empty when
// the id is unknown or formats to nothing). The arguments are counted: a
// conversion of the text past them is written as nothing, never read.
template <class... Args>
CTString sGetRES(unsigned int nId, Args... args)
{
    return sGetRESArgs(nId, static_cast<int>(sizeof...(Args)), args...);
}
