// The driver's context registry: one CNAContext per host context, keyed by
// the host context's 64-bit id, living from its first get until a release
// finds it without data access.
#include <new>

#include "common/system/x_error.h"
#include "native/driver/context.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/error_object.h"
#include "native/driver/host_context.h"

CNAContext* CNADriver::pclAllocContext()
{
    return new (std::nothrow) CNAContext;
}

CNAContext* CNADriver::pclFindContext(INAContext* piContext)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNAContext* pclContext = nullptr;
    if (piContext == nullptr || !m_tabContext.bGetElementRef(piContext->dwGetCtxID(), &pclContext))
        return nullptr;
    return pclContext;
}

CNAContext* CNADriver::pclGetContext(INAContext* piContext, int* pbNew)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    if (pbNew != nullptr)
        *pbNew = 0;
    if (piContext == nullptr)
        return nullptr;
    CNAContext* pclContext = pclFindContext(piContext);
    if (pclContext != nullptr)
        return pclContext;
    pclContext = pclAllocContext();
    if (pclContext != nullptr) {
        const unsigned long dwID = piContext->dwGetCtxID();
        pclContext->SetContextID(dwID);
        if (m_tabContext.bAddElement(dwID, pclContext)) {
            m_tabContext._AddRef(pclContext);
            REF_AddRef(pclContext);
            if (pbNew != nullptr)
                *pbNew = 1;
            return pclContext;
        }
        REF_AddRef(pclContext);
        pclContext->nRelease();
    }
    if (m_pclError != nullptr)
        m_pclError->pclGetXError()->SetErrorNoMemory();
    return nullptr;
}

int CNADriver::nReleaseContext(INAContext* piContext, CNAContext* pclContext)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    if (pclContext == nullptr)
        return 0;
    // Read while the caller's reference still keeps the context alive.
    const bool bEmpty = pclContext->dwGetNbDataAccess() == 0;
    const unsigned nLeft = pclContext->nRelease();
    if (!bEmpty || piContext == nullptr)
        return static_cast<int>(nLeft);
    // The pointer is only compared: the context may be gone already when
    // the registry did not hold it.
    const unsigned long dwID = piContext->dwGetCtxID();
    CNAContext* pclRegistered = nullptr;
    if (m_tabContext.bGetElement(dwID, &pclRegistered) && pclRegistered == pclContext) {
        m_tabContext.bDeleteElement(dwID, &pclRegistered);
        m_tabContext._Release(pclRegistered);
    }
    return 0;
}

int CNADriver::bCopyContext(INACopyCtx*, INAContext*, INAContext*, unsigned)
{
    return 0;
}

int CNADriver::bCloseContext(INAContext* piContext)
{
    CNAEntryGuard guard(m_pclError);
    CNAContext* pclContext = pclFindContext(piContext);
    if (pclContext == nullptr)
        return 0;
    pclContext->CloseAllDataAccess();
    nReleaseContext(piContext, pclContext);
    return 1;
}

void CNADriver::SetNextLogicalName(INAContext* piContext, const wchar_t* pszName)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    int bNew = 0;
    CNAContext* pclContext = pclGetContext(piContext, &bNew);
    if (pclContext == nullptr)
        return;
    pclContext->SetNextLogicalName(pszName);
    // Plainly: the context has no data access yet, and a release through
    // nReleaseContext would unregister it with the name just given.
    pclContext->nRelease();
}
