#include "installer/str_res.h"

#include <cstdarg>

#include "common/system/dllres.h"
#include "common/system/module_info.h"

CTString sGetRESList(unsigned int nId, va_list* pArgs, int nArgs)
{
    CTString text;
    DLLRES_bFormatMessageList(&gstMyModuleInfo32, nId, &text, pArgs, nArgs);
    return text;
}
