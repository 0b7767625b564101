#include "common/system/win_answers.h"

#include <sys/utsname.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/text/utf8_convert.h"
#include "common/text/utf8_scan.h"

uint16_t GetSystemDefaultLangID()
{
    return 0x800;
}

uint16_t GetUserDefaultLangID()
{
    return 0x800;
}

int GetStdHandle(int nStdHandle)
{
    switch (nStdHandle)
    {
    case STD_INPUT_HANDLE:
        return 0;
    case STD_OUTPUT_HANDLE:
        return 1;
    case STD_ERROR_HANDLE:
        return 2;
    default:
        return -1;
    }
}

int GetVersionEx(OSVERSIONINFO* pInfo)
{
    const uint32_t nSize = pInfo->dwOSVersionInfoSize;
    std::memset(pInfo, 0, sizeof *pInfo);
    pInfo->dwOSVersionInfoSize = nSize;
    pInfo->dwPlatformId = VER_PLATFORM_LINUX;
    utsname st;
    return uname(&st) == 0;
}

void OutputDebugString(const wchar_t* pszText)
{
    if (pszText == nullptr)
        return;
    // As UTF-8 whatever the C library's locale: "%ls" would drop every
    // character outside ASCII under the "C" locale.
    std::string s(UTF8ByteLen(pszText), '\0');
    WideToUTF8(s.data(), pszText);
    std::fputs(s.c_str(), stderr);
}

int LinuxIsCharAlphaNumericA(char c)
{
    return bEmule_IsCharAlphaNumericA(c);
}
