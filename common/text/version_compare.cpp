#include "common/text/version_compare.h"

#include "common/text/str_compare_numeric.h"
#include "common/text/str_locale.h"

int nCompareVersionModuleA(const char* a, const char* b)
{
    if (a == nullptr)
        a = "";
    if (b == nullptr)
        b = "";
    return STR_nCompareRespecteNumeriqueA(a, -1, b, -1, STR_FLAG_LEXICAL);
}

int nCompareVersionModule(const wchar_t* a, const wchar_t* b)
{
    if (a == nullptr)
        a = L"";
    if (b == nullptr)
        b = L"";
    return STR_nCompareRespecteNumeriqueW(a, -1, b, -1, STR_FLAG_LEXICAL);
}
