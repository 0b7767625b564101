#include "common/system/profile_convert.h"

#include "common/system/code_page_conversion.h"

bool bProfileNarrow(const wchar_t* pszText, CProfileScratch<char>& work, const char** ppszOut)
{
    *ppszOut = nullptr;
    if (pszText == nullptr) return true;
    const int nBytes = WideCharToMultiByte(0, 0, pszText, -1, nullptr, 0, nullptr, nullptr);
    if (nBytes <= 0) return false;
    char* p = work.pGet(static_cast<size_t>(nBytes));
    if (p == nullptr || WideCharToMultiByte(0, 0, pszText, -1, p, nBytes, nullptr, nullptr) != nBytes) return false;
    *ppszOut = p;
    return true;
}

bool bProfileWiden(const char* pszText, CProfileScratch<wchar_t>& work, const wchar_t** ppszOut)
{
    *ppszOut = nullptr;
    if (pszText == nullptr) return true;
    const int nChars = MultiByteToWideChar(0, 0, pszText, -1, nullptr, 0);
    if (nChars <= 0) return false;
    wchar_t* p = work.pGet(static_cast<size_t>(nChars));
    if (p == nullptr || MultiByteToWideChar(0, 0, pszText, -1, p, nChars) != nChars) return false;
    *ppszOut = p;
    return true;
}
