// What a connection asks about loaded modules: the executable's name (the
// default application name) and whether the client library a connection
// wants is the one the process has loaded.
#include <cwchar>

#include "common/system/disk_file_path.h"
#include "common/system/module_file_name.h"
#include "common/text/str_compare.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"

namespace {

constexpr unsigned kModuleNameChars = 1044;

// The file part of a path: after its last "/".
const wchar_t* pszFilePart(const wchar_t* pszPath)
{
    const wchar_t* pszSlash = std::wcsrchr(pszPath, L'/');
    return pszSlash != nullptr ? pszSlash + 1 : pszPath;
}

bool bSameIgnoringCase(const wchar_t* a, const wchar_t* b)
{
    return STR_nUpCompareW(a, b, 0) == 0;
}

}  // namespace

int CNAConnectionDescription::g_bGetModuleFileName(void* hModule, CTString* pcsName)
{
    // One character more than the names accepted, so that a name cut to the
    // buffer is told from a whole one and refused.
    wchar_t szName[kModuleNameChars + 1];
    szName[0] = 0;
    if (GetModuleFileNameW(hModule, szName, kModuleNameChars + 1) == 0)
        return 0;
    const size_t n = wcsnlen(szName, kModuleNameChars + 1);
    if (n == 0 || n >= kModuleNameChars)
        return 0;
    pcsName->Set(szName);
    return 1;
}

int CNAConnectionDescription::g_bGetExeName(CTString* pcsName)
{
    CTString csPath;
    if (!g_bGetModuleFileName(nullptr, &csPath))
        return 0;
    wchar_t szName[XFILE_PATH_CHARS];
    szName[0] = 0;
    CDiskFilePath::__SplitPath<wchar_t>(csPath.pszGet(), nullptr, szName, nullptr);
    if (szName[0] == 0)
        return 0;
    pcsName->Set(szName);
    return 1;
}

int CNAConnectionDescription::_bCheckClientLibraryWanted(CNAError* pclError) const
{
    const wchar_t* pszWanted = m_csClientLibraryWanted.pszGet();
    const wchar_t* pszLoaded = m_csClientLibrary.pszGet();
    if (pszWanted[0] == 0 || bSameIgnoringCase(pszWanted, pszLoaded))
        return 1;
    if (std::wcschr(pszWanted, L'/') == nullptr && bSameIgnoringCase(pszWanted, pszFilePart(pszLoaded)))
        return 1;
    CNAError::g_RaiseSiteError(pclError, NASite::kOtherClientLibraryLoaded, const_cast<CNAConnectionDescription*>(this),
                               nullptr, nullptr, L"MySQL", pszLoaded, pszWanted);
    return 0;
}
