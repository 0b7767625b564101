#include "installer/install_text_output.h"

#include <cstdio>
#include <cwchar>

void EcritErreurStd(const wchar_t* pszText)
{
    if (pszText != nullptr && pszText[0] != L'\0')
        fwprintf(stderr, L"%ls", pszText);
    fflush(stderr);
}
