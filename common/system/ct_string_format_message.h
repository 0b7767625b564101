#pragma once

#include <cstdarg>

#include "common/system/counted_arguments.h"
#include "common/system/dllres.h"
#include "common/text/ct_string.h"

// Message formats expanded as the resource texts are (printf-style, "%s" a
// wide text), with the number of arguments the caller gave carried beside
// the list: a conversion past them is written as nothing and never read
// (see format_message.h; the counted DLLRES_ forms are in dllres.h).

// A CTString built from a message format and its arguments; empty when
// formatting fails. Adds no member: it is a CTString.
class CTStringFormatMessage : public CTString
{
public:
    template <class... Args>
    explicit CTStringFormatMessage(const wchar_t* pszFormat, Args... args)
    {
        CallWithCountedArguments([&](va_list* pList, int n) { DLLRES_dwFormatMessage(pszFormat, this, pList, n); },
                                 args...);
    }
};

static_assert(sizeof(CTStringFormatMessage) == sizeof(CTString));
