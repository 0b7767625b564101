#pragma once

#include <cstdarg>

#include "common/text/ct_string.h"

struct _stMyModuleInfo;

// Message formats expanded as the resource texts are (printf-style, "%s" a
// wide text), with the number of arguments the caller gave carried beside
// the list: a conversion past them is written as nothing and never read
// (see format_message.h).

// DLLRES_dwFormatMessage and DLLRES_bFormatMessageList with nArgs, the
// number of arguments in the list (kFormatArgsUnknown: the format tells).
unsigned int DLLRES_dwFormatMessage(const wchar_t* pszFormat, CTString* pOut, va_list* pArgs, int nArgs);
int DLLRES_bFormatMessageList(const _stMyModuleInfo* info, unsigned int nId, CTString* pOut, va_list* pArgs,
                              int nArgs);

// A CTString built from a message format and its arguments; empty when
// formatting fails. Adds no member: it is a CTString.
class CTStringFormatMessage : public CTString
{
public:
    template <class... Args>
    explicit CTStringFormatMessage(const wchar_t* pszFormat, Args... args)
    {
        _Format(pszFormat, static_cast<int>(sizeof...(Args)), args...);
    }

private:
    void _Format(const wchar_t* pszFormat, int nArgs, ...);
};

static_assert(sizeof(CTStringFormatMessage) == sizeof(CTString));
