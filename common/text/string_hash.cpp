#include "common/text/string_hash.h"

#include <cctype>
#include <cwctype>

uint32_t dwHashValT(wchar_t const* psz)
{
    uint32_t dw = 0;
    if (psz != nullptr)
        for (; *psz != 0; ++psz) dw += static_cast<uint32_t>(*psz);
    return dw;
}

uint32_t dwHashValTA(char const* psz)
{
    uint32_t dw = 0;
    if (psz != nullptr)
        for (; *psz != 0; ++psz) dw += static_cast<uint32_t>(static_cast<int>(static_cast<signed char>(*psz)));
    return dw;
}

uint32_t dwHashValTi(wchar_t const* psz)
{
    uint32_t dw = 0;
    if (psz != nullptr)
        for (; *psz != 0; ++psz) dw += static_cast<uint32_t>(std::towupper(static_cast<wint_t>(*psz)));
    return dw;
}

uint32_t dwHashValTiA(char const* psz)
{
    uint32_t dw = 0;
    if (psz != nullptr)
        for (; *psz != 0; ++psz) dw += static_cast<uint32_t>(std::toupper(static_cast<signed char>(*psz)));
    return dw;
}
