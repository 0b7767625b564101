#pragma once

#include "common/system/information.h"
#include "common/text/info_locale.h"

// The host's current 8-bit code page; 0 (which reads as 1252) until the host
// has published its locale interface.
inline int nHostCurrentCodePage()
{
    IInfoLocale* piLocale = CInformationDLL::ms_piInfoLocale;
    return piLocale ? piLocale->nGetCurrentCodePage() : 0;
}
