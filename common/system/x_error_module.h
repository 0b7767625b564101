#pragma once

#include "common/system/module_info.h"
#include "common/system/x_error.h"

// A CXError bound to this module's descriptor: the form every error site
// builds on the stack.
class _CXErrorModule32 : public CXError
{
public:
    _CXErrorModule32() : CXError(&gstMyModuleInfo32) {}
    // SetUserError with this module's table.
    template <class... Args>
    explicit _CXErrorModule32(unsigned int nCode, Args... args) : CXError(&gstMyModuleInfo32)
    {
        SetUserError(&gstMyModuleInfo32, nCode, args...);
    }
};

static_assert(sizeof(_CXErrorModule32) == sizeof(CXError));
