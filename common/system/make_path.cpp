#include "common/system/make_path.h"

#include <cwchar>

namespace {

// Appends the text when it fits with the terminator; false otherwise.
bool bAppend(wchar_t* pszPath, size_t nCapacity, size_t& nLen, const wchar_t* pszText)
{
    const size_t n = std::wcslen(pszText);
    if (n >= nCapacity - nLen)
        return false;
    std::wmemcpy(pszPath + nLen, pszText, n + 1);
    nLen += n;
    return true;
}

}  // namespace

void makepath(wchar_t* pszPath, const wchar_t* pszDrive, const wchar_t* pszDir, const wchar_t* pszFName,
              const wchar_t* pszExt, size_t nCapacity)
{
    (void)pszDrive;  // no drives here
    if (pszPath == nullptr || nCapacity == 0)
        return;
    size_t nLen = 0;
    pszPath[0] = 0;
    bool bOk = true;
    if (pszDir != nullptr && pszDir[0] != 0) {
        bOk = bAppend(pszPath, nCapacity, nLen, pszDir);
        if (bOk && pszPath[nLen - 1] != L'/')
            bOk = bAppend(pszPath, nCapacity, nLen, L"/");
    }
    if (bOk && pszFName != nullptr && pszFName[0] != 0) {
        bOk = bAppend(pszPath, nCapacity, nLen, pszFName);
        if (bOk && pszExt != nullptr && pszExt[0] != 0) {
            if (pszExt[0] != L'.')
                bOk = bAppend(pszPath, nCapacity, nLen, L".");
            if (bOk)
                bOk = bAppend(pszPath, nCapacity, nLen, pszExt);
        }
    }
    if (!bOk)
        pszPath[0] = 0;
}
