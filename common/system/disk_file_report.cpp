// Error reports of the static file-system operations.
#include <cerrno>
#include <cstdarg>

#include "common/system/disk_file_system.h"
#include "common/system/module_info.h"
#include "common/system/x_error.h"

bool CDiskFileSystem::_bOnError(bool bSuccess, CXError* pclError)
{
    if (pclError == nullptr)
        return false;
    const int nSaved = errno;
    pclError->RAZ();
    if (!bSuccess) {
        pclError->SetErrorLevel(CXError::EL_ERROR);
        pclError->SetSystemErrorParam(static_cast<unsigned>(nSaved));
    }
    errno = nSaved;
    return !bSuccess;
}

void CDiskFileSystem::_AddStaticMessageList(CXError* pclError, unsigned nResourceId, const wchar_t* pszSrcFile,
                                            const wchar_t* pszDstFile, va_list* pArgs, int nArgs)
{
    if (pclError == nullptr)
        return;
    const int nSaved = errno;
    pclError->InitModInfo(&gstMyModuleInfo32, 1);
    pclError->AddUserMessageList(&gstMyModuleInfo32, nResourceId, pArgs, nArgs);
    if (pszSrcFile != nullptr)
        pclError->AddInfo(CXError::EIT_SRCFILE, pszSrcFile);
    if (pszDstFile != nullptr)
        pclError->AddInfo(CXError::EIT_DSTFILE, pszDstFile);
    errno = nSaved;
}

void CDiskFileSystem::_OnMemoryError(CXError* pclError)
{
    if (pclError == nullptr)
        return;
    const int nSaved = errno;
    pclError->RAZ();
    pclError->SetErrorLevel(CXError::EL_ERROR);
    pclError->InitModInfo(&gstMyModuleInfo32, 1);
    pclError->AddDebugMessageNoFormat(L"##MemoryException##");
    errno = nSaved;
}
