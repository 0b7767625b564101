// Name tests, wildcard matching and name comparisons.
#include <cwchar>

#include "common/system/disk_file_path.h"
#include "common/system/file_name_text.h"
#include "common/text/str_trim.h"

namespace {

bool bIsLetter(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

// A standardised copy: slashes, no trailing white space.
class CStandardName : public CSlashName
{
public:
    explicit CStandardName(const wchar_t* pszName) : CSlashName(pszName)
    {
        if (bOk())
            STR_SuppressRightSpaces(psz());
    }
    void RemoveOneEndSlash()
    {
        const size_t n = std::wcslen(psz());
        if (n > 0 && psz()[n - 1] == L'/')
            psz()[n - 1] = 0;
    }
};

}  // namespace

bool CDiskFilePath::bIsRelativePath(const wchar_t* pszPath)
{
    return pszPath != nullptr && pszPath[0] == L'.';
}

bool CDiskFilePath::bIsRelativeFileName(const wchar_t* pszPath)
{
    return pszPath == nullptr || pszPath[0] != L'/';
}

bool CDiskFilePath::bIsRelativeFileName_WIN32(const wchar_t* pszPath)
{
    if (pszPath == nullptr || pszPath[0] == 0)
        return true;
    if (pszPath[0] == L'\\' || (bIsLetter(pszPath[0]) && pszPath[1] == L':'))
        return false;
    return pszPath[std::wcslen(pszPath) - 1] != L':';
}

bool CDiskFilePath::bUNCName(const wchar_t* pszPath)
{
    return pszPath != nullptr && pszPath[0] == L'\\' && pszPath[1] == L'\\' &&
           std::wcschr(pszPath + 2, L'\\') != nullptr;
}

bool CDiskFilePath::bUNCNameA(const char* pszPath)
{
    if (pszPath == nullptr || pszPath[0] != '\\' || pszPath[1] != '\\')
        return false;
    for (const char* p = pszPath + 2; *p; ++p)
        if (*p == '\\')
            return true;
    return false;
}

bool CDiskFilePath::bIsAVirtualDirectory(const wchar_t* pszName)
{
    return pszName != nullptr && pszName[0] == L'.' &&
           (pszName[1] == 0 || (pszName[1] == L'.' && pszName[2] == 0));
}

bool CDiskFilePath::bValidName(const wchar_t* pszName)
{
    return pszName != nullptr && std::wcspbrk(pszName, L"\\/:*?\"<>|") == nullptr;
}

bool CDiskFilePath::_bFiltreFileName(const wchar_t* pszName, const wchar_t* pszPattern)
{
    if (pszName == nullptr || pszPattern == nullptr)
        return false;
    const wchar_t* n = pszName;
    const wchar_t* p = pszPattern;
    const wchar_t* pAfterStar = nullptr;  // the pattern after the last '*' seen
    const wchar_t* pRetry = nullptr;      // where that '*' resumes in the name
    while (*n) {
        if (*p == L'*') {
            while (*p == L'*')
                ++p;
            if (*p == 0)
                return true;
            pAfterStar = p;
            pRetry = n;
        } else if (*p != 0 && (*p == L'?' || *p == *n)) {
            ++p;
            ++n;
        } else if (pAfterStar != nullptr) {
            p = pAfterStar;
            n = ++pRetry;
        } else {
            return false;
        }
    }
    while (*p == L'*')
        ++p;
    return *p == 0;
}

bool CDiskFilePath::bSameFileName(const wchar_t* a, const wchar_t* b)
{
    CStandardName sa(a);
    CStandardName sb(b);
    return sa.bOk() && sb.bOk() && std::wcscmp(sa.psz(), sb.psz()) == 0;
}

bool CDiskFilePath::bSameDirectoryName(const wchar_t* a, const wchar_t* b)
{
    CStandardName sa(a);
    CStandardName sb(b);
    if (!sa.bOk() || !sb.bOk())
        return false;
    sa.RemoveOneEndSlash();
    sb.RemoveOneEndSlash();
    return std::wcscmp(sa.psz(), sb.psz()) == 0;
}

bool CDiskFilePath::bSameDirectoryNameEx(const wchar_t* a, int bAExists, const wchar_t* b, int bBExists)
{
    wchar_t szFullA[XFILE_PATH_CHARS];
    wchar_t szFullB[XFILE_PATH_CHARS];
    // A name that cannot be made full names nothing to compare.
    if (bAExists) {
        const unsigned n = bStandardizeExistingFileName(szFullA, XFILE_PATH_CHARS, a);
        if (n == 0 || n >= XFILE_PATH_CHARS)
            return false;
    }
    if (bBExists) {
        const unsigned n = bStandardizeExistingFileName(szFullB, XFILE_PATH_CHARS, b);
        if (n == 0 || n >= XFILE_PATH_CHARS)
            return false;
    }
    CStandardName sa(bAExists ? szFullA : a);
    CStandardName sb(bBExists ? szFullB : b);
    if (!sa.bOk() || !sb.bOk())
        return false;
    sa.RemoveOneEndSlash();
    sb.RemoveOneEndSlash();
    return std::wcscmp(sa.psz(), sb.psz()) == 0;
}
