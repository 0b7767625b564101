#include "common/system/case_mapping.h"

#include <cctype>
#include <cwctype>

wchar_t* my_struprW(wchar_t* pszText)
{
    if (!pszText) return pszText;
    for (wchar_t* p = pszText; *p; ++p) *p = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(*p)));
    return pszText;
}

wchar_t* my_strlwrW(wchar_t* pszText)
{
    if (!pszText) return pszText;
    for (wchar_t* p = pszText; *p; ++p) *p = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(*p)));
    return pszText;
}

// The C library's classification takes the byte as unsigned; on this C
// library a negative char maps the same way, so the result does not change.
char* my_struprA(char* pszText)
{
    if (!pszText) return pszText;
    for (char* p = pszText; *p; ++p) *p = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    return pszText;
}

char* my_strlwrA(char* pszText)
{
    if (!pszText) return pszText;
    for (char* p = pszText; *p; ++p) *p = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    return pszText;
}

wchar_t* wcsset(wchar_t* pszText, wchar_t c)
{
    if (!pszText) return pszText;
    for (wchar_t* p = pszText; *p; ++p) *p = c;
    return pszText;
}

wchar_t* wcsnset(wchar_t* pszText, wchar_t c, size_t n)
{
    if (!pszText) return pszText;
    for (size_t i = 0; i < n && pszText[i]; ++i) pszText[i] = c;
    return pszText;
}
