#include "installer/install_text_output.h"

#include <unistd.h>

#include <cstdint>
#include <cwchar>

#include "common/system/dllres.h"
#include "common/system/module_info.h"
#include "common/text/utf8_convert.h"
#include "common/text/utf8_scan.h"
#include "installer/fd_io.h"

namespace {

bool bCommandeBidi(uint32_t c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

std::wstring sTexteAffichable(const wchar_t* pszTexte)
{
    std::wstring s;
    if (pszTexte == nullptr)
        return s;
    for (const wchar_t* p = pszTexte; *p != 0; ++p) {
        const uint32_t c = static_cast<uint32_t>(*p);
        wchar_t szEchappe[16];
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            swprintf(szEchappe, 16, L"\\x%02X", c);
        else if (bCommandeBidi(c) || (c >= 0xD800 && c <= 0xDFFF))
            swprintf(szEchappe, 16, L"\\u%04X", c);
        else if (c > 0x10FFFF)
            swprintf(szEchappe, 16, L"\\U%08X", c);
        else {
            s += *p;
            continue;
        }
        s += szEchappe;
    }
    return s;
}

CTString sMessageInstalleur(unsigned nId)
{
    CTString s;
    DLLRES_bFormatMessage(&gstMyModuleInfo32, nId, &s);
    return s;
}

CTString sMessageInstalleur(unsigned nId, const wchar_t* pszParam1)
{
    const std::wstring s1 = sTexteAffichable(pszParam1);
    CTString s;
    DLLRES_bFormatMessage(&gstMyModuleInfo32, nId, &s, s1.c_str());
    return s;
}

CTString sMessageInstalleur(unsigned nId, const wchar_t* pszParam1, const wchar_t* pszParam2)
{
    const std::wstring s1 = sTexteAffichable(pszParam1);
    const std::wstring s2 = sTexteAffichable(pszParam2);
    CTString s;
    DLLRES_bFormatMessage(&gstMyModuleInfo32, nId, &s, s1.c_str(), s2.c_str());
    return s;
}

void EcritErreurStd(const wchar_t* pszText)
{
    if (pszText == nullptr || pszText[0] == L'\0')
        return;
    std::string sUtf8(UTF8ByteLen(pszText) + 1, '\0');
    const size_t n = static_cast<size_t>(WideToUTF8(sUtf8.data(), pszText));
    // A closed or full stream is not worth failing the run for.
    bEcritToutFd(STDERR_FILENO, sUtf8.data(), n);
}
