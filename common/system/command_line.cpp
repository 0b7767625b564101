#include "common/system/command_line.h"

#include <cwctype>

#include "common/text/utf8_convert.h"
#include "common/text/str_trim.h"
#include "common/text/utf8_scan.h"

std::vector<std::string> __SplitCommandLine(const wchar_t* pszCommandLine)
{
    std::vector<std::string> aArgs;
    if (pszCommandLine == nullptr)
        return aArgs;
    const wchar_t* p = pszCommandLine;
    while (*p != L'\0' && std::iswspace(static_cast<wint_t>(*p)))
        ++p;
    while (*p != L'\0')
    {
        const wchar_t* pStart = p;
        const wchar_t* pOpen = nullptr;
        const wchar_t* pClose = nullptr;
        for (; *p != L'\0'; ++p)
        {
            if (*p == L'"' && (p == pStart || p[-1] != L'\\'))
            {
                if (pOpen == nullptr)
                    pOpen = p;
                else
                    pClose = p;
            }
            else if (std::iswspace(static_cast<wint_t>(*p)) && (pOpen == nullptr || pClose != nullptr))
                break;
        }
        std::wstring sArg(pStart, p);
        if (pOpen != nullptr && pClose != nullptr)
        {
            sArg.erase(static_cast<size_t>(pClose - pStart), 1);
            sArg.erase(static_cast<size_t>(pOpen - pStart), 1);
        }
        STR_SuppressRightSpaces(sArg.data());
        if (sArg[0] != L'\0')
        {
            std::string sUtf8(UTF8ByteLen(sArg.c_str()), '\0');
            WideToUTF8(sUtf8.data(), sArg.c_str());
            aArgs.push_back(std::move(sUtf8));
        }
        if (*p == L'\0')
            break;
        ++p;
    }
    return aArgs;
}
