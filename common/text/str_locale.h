#pragma once

#include "common/text/info_locale.h"

// Library flags that travel with the comparison and map flags of the locale
// interface. FLAG_CURRENT_LOCALE is taken off before the flags go on.
constexpr unsigned STR_FLAG_CURRENT_LOCALE = 0x10000000;  // current locale in place of the default
constexpr unsigned STR_FLAG_LEXICAL = 0x20000000;         // lexical comparison
constexpr unsigned STR_FLAG_COMPARE_ANSI = 0x40000000;    // added to 8-bit whole-text comparisons

// The host's locale interface as published at start-up, or, while the host
// has given none, the library's own stand-in for it: comparison in code-point
// order (after towupper / accent removal of the Latin letters when the flags
// ask for it) and mapping with towupper / towlower. Never null, so every text
// function can call through it.
IInfoLocale* STR_piGetInfoLocale();
// Whether the host has published its locale interface.
bool STR_bHasInfoLocale();

// Current character set of the host language; 127 is reported as 0.
int STR_nGetCurrentChangeCharset();
// The same without the 127 -> 0 translation.
int STR_nGetCurrentChangeCharsetInterne();
// Current 8-bit code page; 0 when the host gave no locale interface.
int STR_nGetCurrentCodePage();
unsigned STR_nGetCurrentLCID();
unsigned STR_nGetSafeCurrentLCID();

// The locale a call goes to: the current one when flags carry
// STR_FLAG_CURRENT_LOCALE (the flag is taken off), otherwise lcidDefault.
inline unsigned __STR_nLocaleOf(IInfoLocale* pi, unsigned& flags, unsigned lcidDefault)
{
    if (flags & STR_FLAG_CURRENT_LOCALE) {
        flags &= ~STR_FLAG_CURRENT_LOCALE;
        return pi->nGetCurrentLCID();
    }
    return lcidDefault;
}
