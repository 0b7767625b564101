#include "common/system/ct_string_format_message.h"

void CTStringFormatMessage::_Format(const wchar_t* pszFormat, int nArgs, ...)
{
    va_list args;
    va_start(args, nArgs);
    DLLRES_dwFormatMessage(pszFormat, this, &args, nArgs);
    va_end(args);
}
