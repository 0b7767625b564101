#include "installer/str_res.h"

#include <cstdarg>

#include "common/system/dllres.h"
#include "common/system/module_info.h"

CTString sGetRES(unsigned int nId, ...)
{
    CTString text;
    va_list args;
    va_start(args, nId);
    DLLRES_bFormatMessageList(&gstMyModuleInfo32, nId, &text, &args);
    va_end(args);
    return text;
}
