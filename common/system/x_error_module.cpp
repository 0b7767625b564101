#include "common/system/x_error_module.h"

#include <cstdarg>

_CXErrorModule32::_CXErrorModule32(unsigned int nCode, ...) : CXError(&gstMyModuleInfo32)
{
    va_list args;
    va_start(args, nCode);
    SetUserErrorList(&gstMyModuleInfo32, nCode, &args);
    va_end(args);
}
