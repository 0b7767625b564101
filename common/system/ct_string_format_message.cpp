#include "common/system/ct_string_format_message.h"

#include <cstdarg>

#include "common/system/dllres.h"

CTStringFormatMessage::CTStringFormatMessage(const wchar_t* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    DLLRES_dwFormatMessage(pszFormat, this, &args);
    va_end(args);
}
