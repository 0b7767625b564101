#include "common/system/profile_names.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "common/system/code_page_conversion.h"

namespace {

const char* pszHomeBytes()
{
    const char* pszHome = std::getenv("HOME");
    if (pszHome != nullptr && pszHome[0] != 0) return pszHome;
    const struct passwd* pw = getpwuid(getuid());
    return (pw != nullptr && pw->pw_dir != nullptr && pw->pw_dir[0] != 0) ? pw->pw_dir : nullptr;
}

size_t nLen(const char* s) { return std::strlen(s); }
size_t nLen(const wchar_t* s) { return std::wcslen(s); }

template <class T>
bool bHasSeparator(const T* pszName)
{
    for (const T* p = pszName; *p != 0; ++p)
        if (*p == '/' || *p == '\\') return true;
    return false;
}

template <class T>
bool bPatch(const T* pszName, T* pszBuffer)
{
    if (pszName == nullptr || pszBuffer == nullptr) return false;
    T szHome[PROFILE_PATH_CHARS];
    size_t nHome = 0;
    const bool bInHome = !bHasSeparator(pszName);
    if (bInHome) {
        if (!bGetHomeDirectory(szHome, PROFILE_PATH_CHARS)) return false;
        nHome = nLen(szHome);
    }
    const size_t nName = nLen(pszName);
    const size_t nTotal = bInHome ? nHome + 1 + nName : nName;
    if (nTotal >= PROFILE_PATH_CHARS) return false;
    T* p = pszBuffer;
    if (bInHome) {
        std::memcpy(p, szHome, nHome * sizeof(T));
        p += nHome;
        *p++ = '/';
    }
    std::memcpy(p, pszName, nName * sizeof(T));
    pszBuffer[nTotal] = 0;
    for (T* q = pszBuffer; *q != 0; ++q)
        if (*q == '\\') *q = '/';
    return true;
}

}  // namespace

bool bGetHomeDirectory(char* pszOut, size_t nCapacity)
{
    const char* pszHome = pszHomeBytes();
    if (pszHome == nullptr || pszOut == nullptr) return false;
    const size_t n = std::strlen(pszHome);
    if (n >= nCapacity) return false;
    std::memcpy(pszOut, pszHome, n + 1);
    return true;
}

bool bGetHomeDirectory(wchar_t* pszOut, size_t nCapacity)
{
    const char* pszHome = pszHomeBytes();
    if (pszHome == nullptr || pszOut == nullptr || nCapacity == 0) return false;
    const int nNeeded = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, pszHome, -1, nullptr, 0);
    if (nNeeded <= 0 || static_cast<size_t>(nNeeded) > nCapacity) return false;
    std::wstring work(static_cast<size_t>(nNeeded), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, pszHome, -1, work.data(), nNeeded) != nNeeded)
        return false;
    std::wmemcpy(pszOut, work.data(), static_cast<size_t>(nNeeded));
    return true;
}

bool bGetTVKCONFPath(wchar_t* pszPath)
{
    static const wchar_t szFile[] = L"/.TVK.conf";
    const size_t nFile = sizeof szFile / sizeof szFile[0] - 1;
    wchar_t szHome[PROFILE_PATH_CHARS];
    if (pszPath == nullptr || !bGetHomeDirectory(szHome, PROFILE_PATH_CHARS)) return false;
    const size_t nHome = std::wcslen(szHome);
    if (nHome + nFile >= PROFILE_PATH_CHARS) return false;
    std::wmemcpy(pszPath, szHome, nHome);
    std::wmemcpy(pszPath + nHome, szFile, nFile + 1);
    return true;
}

bool __PrivateProfilePatchName(const wchar_t* pszName, wchar_t* pszBuffer)
{
    return bPatch(pszName, pszBuffer);
}

bool __PrivateProfilePatchName(const char* pszName, char* pszBuffer)
{
    return bPatch(pszName, pszBuffer);
}
