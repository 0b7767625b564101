#include "installer/dllres_runtime_string.h"

#include <cstdlib>

#include "common/system/dllres.h"
#include "common/system/format_message.h"
#include "common/text/ct_string.h"

int DLLRES_bLoadString(const _stMyModuleInfo* info, unsigned int nId, CXYString<wchar_t>* pOut)
{
    if (pOut == nullptr)
        return 0;
    CTString text;
    if (!DLLRES_bLoadString(info, nId, &text))
        return 0;
    pOut->Set(text.pszGet());
    return 1;
}

unsigned int DLLRES_dwFormatMessage(const wchar_t* pszFormat, CXYString<wchar_t>* pOut, va_list* pArgs, int nArgs)
{
    wchar_t* text = nullptr;
    unsigned int n = DLLRES_dwFormatMessage(pszFormat, &text, pArgs, nArgs);
    if (pOut != nullptr) {
        // A text the runtime string cannot take is a failed format.
        if (n == 0 || pOut->nAffecte(text, static_cast<int>(n)) != 0) {
            pOut->Vide();
            n = 0;
        }
    }
    std::free(text);
    return n;
}

int DLLRES_bFormatMessageList(const _stMyModuleInfo* info, unsigned int nId, CXYString<wchar_t>* pOut,
                              va_list* pArgs, int nArgs)
{
    CTString format;
    if (!DLLRES_bLoadString(info, nId, &format))
        return 0;
    return DLLRES_dwFormatMessage(format.pszGet(), pOut, pArgs, nArgs) != 0 ? 1 : 0;
}
