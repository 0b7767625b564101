#include "common/text/str_locale.h"

#include "common/system/information.h"
#include "common/text/info_locale_fallback.h"

namespace {

constexpr int kCharsetNone = 127;

}  // namespace

IInfoLocale* STR_piGetInfoLocale()
{
    static CInfoLocaleFallback s_fallback;
    IInfoLocale* pi = CInformationDLL::ms_piInfoLocale;
    return pi ? pi : &s_fallback;
}

bool STR_bHasInfoLocale()
{
    return CInformationDLL::ms_piInfoLocale != nullptr;
}

int STR_nGetCurrentChangeCharset()
{
    const int charset = STR_piGetInfoLocale()->nGetCurrentCharset();
    return charset == kCharsetNone ? 0 : charset;
}

int STR_nGetCurrentChangeCharsetInterne()
{
    return STR_piGetInfoLocale()->nGetCurrentCharset();
}

int STR_nGetCurrentCodePage()
{
    return STR_piGetInfoLocale()->nGetCurrentCodePage();
}

unsigned STR_nGetCurrentLCID()
{
    return STR_piGetInfoLocale()->nGetCurrentLCID();
}

unsigned STR_nGetSafeCurrentLCID()
{
    return STR_piGetInfoLocale()->nGetSafeCurrentLCID();
}
