#pragma once

#include "common/text/ct_string.h"

// A CTString built from a message format and its arguments, expanded as the
// resource texts are (DLLRES_dwFormatMessage: printf-style, "%s" a wide
// text); empty when formatting fails. Adds no member: it is a CTString.
class CTStringFormatMessage : public CTString
{
public:
    explicit CTStringFormatMessage(const wchar_t* pszFormat, ...);
};

static_assert(sizeof(CTStringFormatMessage) == sizeof(CTString));
