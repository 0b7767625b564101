// What the client-call guard records when a call did not return.
#include "mysql/client_call_guard.h"

#include "native/driver/driver.h"
#include "native/driver/error_object.h"

namespace {

constexpr unsigned kFunctionMissing = 37;
constexpr unsigned kFailureInLibrary = 23;

}  // namespace

void _OnClientCallStub(const stClientCallSite& site, CNAError* pclError, CNAConnectionDescription* pclConnection,
                       const CTString& csFunction, const wchar_t* pszTable, const wchar_t* pszItem)
{
    CNAError::g_RaiseSiteError(pclError, {site.nSource, site.nSite, kFunctionMissing, NA_ERR_GENERAL},
                               pclConnection, pszTable, pszItem, csFunction.pszGet());
}

void _OnClientCallFailure(const stClientCallSite& site, CNAError* pclError, CNAConnectionDescription* pclConnection,
                          const wchar_t* pszTable, const wchar_t* pszItem)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    if (pclError == nullptr && pclDriver != nullptr)
        pclError = pclDriver->pclGetError();
    if (pclError != nullptr) {
        CNAError::g_RaiseSiteError(pclError, {site.nSource, site.nSite, kFailureInLibrary, NA_ERR_GENERAL},
                                   pclConnection, pszTable, pszItem, L"MySQL");
        if (pclDriver != nullptr)
            pclDriver->OnFatalErrorAddDebugMessage(pclError, pclConnection);
    }
    // The library's state is unknown after this, with or without a record.
    CNADriver::s_bGPFCatched = 1;
}
