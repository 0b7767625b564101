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

void CDiskFileSystem::_AddStaticMessageArgs(CXError* pclError, unsigned nResourceId, const wchar_t* pszSrcFile,
                                            const wchar_t* pszDstFile, int nArgs, ...)
{
    if (pclError == nullptr)
        return;
    const int nSaved = errno;
    pclError->InitModInfo(&gstMyModuleInfo32, 1);
    va_list args;
    va_start(args, nArgs);
    pclError->AddUserMessageList(&gstMyModuleInfo32, nResourceId, &args, nArgs);
    va_end(args);
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
