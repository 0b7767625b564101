// Formatting resource texts: load first, then expand printf-style with the
// caller's arguments ("%s" a wide text). The forms with nArgs cut the text
// to the arguments given (see format_message.h).
#include <cstdlib>

#include "common/system/dllres.h"
#include "common/system/format_message.h"
#include "common/text/ct_string.h"

namespace {

constexpr unsigned int kAllocateFromString = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_STRING;

}  // namespace

unsigned int DLLRES_dwFormatMessage(const wchar_t* pszFormat, wchar_t** ppszOut, va_list* pArgs, int nArgs)
{
    if (ppszOut == nullptr)
        return 0;
    *ppszOut = nullptr;
    if (pszFormat == nullptr)
        return 0;
    const unsigned int n = FormatMessageW(kAllocateFromString, pszFormat, 0, 0, reinterpret_cast<wchar_t*>(ppszOut), 0,
                                          pArgs, nArgs);
    if (n == 0) {
        std::free(*ppszOut);
        *ppszOut = nullptr;
    }
    return n;
}

unsigned int DLLRES_dwFormatMessage(const wchar_t* pszFormat, CTString* pOut, va_list* pArgs, int nArgs)
{
    wchar_t* text = nullptr;
    const unsigned int n = DLLRES_dwFormatMessage(pszFormat, &text, pArgs, nArgs);
    if (pOut != nullptr) {
        if (n > 0)
            pOut->SetBuffer(text);
        else
            pOut->Vide();
    }
    if (pOut == nullptr || n == 0)
        std::free(text);
    return n;
}

int DLLRES_bFormatMessageList(const _stMyModuleInfo* info, unsigned int nId, CTString* pOut, va_list* pArgs,
                              int nArgs)
{
    CTString format;
    if (!DLLRES_bLoadString(info, nId, &format))
        return 0;
    return DLLRES_dwFormatMessage(format.pszGet(), pOut, pArgs, nArgs) != 0 ? 1 : 0;
}

unsigned int DLLRES_nFormatMessageList(const _stMyModuleInfo* info, unsigned int nId, wchar_t** ppszOut,
                                       va_list* pArgs, int nArgs)
{
    if (ppszOut != nullptr)
        *ppszOut = nullptr;
    CTString format;
    if (!DLLRES_bLoadString(info, nId, &format))
        return 0;
    return DLLRES_dwFormatMessage(format.pszGet(), ppszOut, pArgs, nArgs);
}

int DLLRES_bFormatMessageSingulierPlurielList(const _stMyModuleInfo* info, int nForme, unsigned int nId,
                                              CTString* pOut, va_list* pArgs, int nArgs)
{
    CTString text;
    if (!DLLRES_bLoadString(info, nId, &text))
        return 0;
    CTString form;
    if (!text.bExtraitChaine(static_cast<long>(nForme), DLLRES_SEPARATEUR_SINGULIER_PLURIEL, &form))
        return 0;
    return DLLRES_dwFormatMessage(form.pszGet(), pOut, pArgs, nArgs) != 0 ? 1 : 0;
}
