#include "installer/recup_str.h"

#include <cstdarg>
#include <sys/time.h>

#include "common/system/format_message.h"
#include "common/system/module_info.h"
#include "common/text/ct_string.h"
#include "common/system/dllres.h"

wchar_t* pszRecupStrList(wchar_t* pszBuffer, unsigned int nId, va_list* pArgs, int nArgs)
{
    if (pszBuffer == nullptr)
        return nullptr;
    pszBuffer[0] = 0;
    CTString format;
    if (!DLLRES_bLoadString(&gstMyModuleInfo32, nId, &format))
        return pszBuffer;
    if (FormatMessageW(FORMAT_MESSAGE_FROM_STRING, format.pszGet(), 0, 0, pszBuffer, RECUPSTR_BUFFER_CHARS, pArgs,
                       nArgs) == 0)
        pszBuffer[0] = 0;
    return pszBuffer;
}

void vYield(...)
{
}

unsigned int vResetYield(unsigned int* pT)
{
    timeval now{};
    gettimeofday(&now, nullptr);
    const unsigned int t = static_cast<unsigned int>(now.tv_usec) + 500;
    if (pT != nullptr)
        *pT = t;
    return t;
}
