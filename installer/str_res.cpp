#include "installer/str_res.h"

#include <cstdarg>

#include "common/system/dllres.h"
#include "common/system/module_info.h"

CTString sGetRESArgs(unsigned int nId, int nArgs, ...)
{
    CTString text;
    va_list args;
    va_start(args, nArgs);
    DLLRES_bFormatMessageList(&gstMyModuleInfo32, nId, &text, &args, nArgs);
    va_end(args);
    return text;
}
