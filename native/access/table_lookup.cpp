// The table's way to the calling host context's data access: the lookup
// without creation with its process-wide one-entry cache, the lookup with
// creation, joining and removal.
#include "native/access/data_access.h"
#include "native/access/table.h"
#include "native/driver/context.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/error_object.h"
#include "native/driver/host_context.h"

CNADataAccess* CNATable::_pclFindDataAccess(INAContext* piContext) const
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    return _pclFindDataAccessLocked(piContext);
}

CNADataAccess* CNATable::_pclFindDataAccessLocked(INAContext* piContext) const
{
    if (piContext == nullptr)
        return nullptr;
    // A hit costs two calls to the host context. A data access its context
    // let go may still be cached under ids the host reuses: it is no hit.
    CNADataAccess* pclCached = gpclLastDataAccess;
    if (pclCached != nullptr && pclCached->pclGetContextNoRef() != nullptr && piContext->dwGetCtxID() == gdwCtxID &&
        piContext->dwGetDataID() == gdwDataID) {
        REF_AddRef(pclCached);
        return pclCached;
    }
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNAContext* pclContext = pclDriver != nullptr ? pclDriver->pclFindContext(piContext) : nullptr;
    if (pclContext == nullptr)
        return nullptr;
    CNADataAccess* pclDataAccess = pclContext->pclFindDataAccess(piContext);
    pclContext->nRelease();
    if (pclDataAccess != nullptr) {
        gdwCtxID = piContext->dwGetCtxID();
        gdwDataID = piContext->dwGetDataID();
        gpclLastDataAccess = pclDataAccess;
    }
    return pclDataAccess;
}

CNADataAccess* CNATable::_pclGetDataAccess(INAContext* piContext, int* pbNew)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    int bNew = 0;
    if (pbNew != nullptr)
        *pbNew = 0;
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNAContext* pclContext = pclDriver != nullptr ? pclDriver->pclGetContext(piContext, nullptr) : nullptr;
    if (pclContext == nullptr)
        return nullptr;
    CNADataAccess* pclDataAccess = pclContext->pclGetDataAccess(piContext, m_pclConnection, m_piSource, &bNew);
    // A new data access joins this table; so does one whose table was
    // destroyed under it (it would otherwise work without bind variables
    // for a table that holds some).
    if (pclDataAccess != nullptr && (bNew || pclDataAccess->pclGetTableNoRef() == nullptr)) {
        __AddDataAccess(pclDataAccess);
        pclDataAccess->SetTable(this);
    }
    pclContext->nRelease();
    if (pbNew != nullptr)
        *pbNew = bNew;
    return pclDataAccess;
}

void CNATable::__AddDataAccess(CNADataAccess* pclDataAccess)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    if (pclDataAccess == nullptr)
        return;
    REF_AddRef(pclDataAccess);
    // Already a member: the table keeps the one reference it has.
    if (!m_tabDataAccess.bAddElement(pclDataAccess, pclDataAccess))
        pclDataAccess->nRelease();
}

void CNATable::_RemoveDataAccess(INAContext* piContext, CNADataAccess* pclDataAccess)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNAContext* pclContext = pclDriver != nullptr ? pclDriver->pclFindContext(piContext) : nullptr;
    if (pclContext == nullptr)
        return;
    if (pclDataAccess != nullptr) {
        // Held until the table is done with it: the context's and the
        // table's references may be the last ones.
        REF_AddRef(pclDataAccess);
        pclContext->RemoveDataAccess(piContext, pclDataAccess);
        g_ForgetLastDataAccess(pclDataAccess);
        CNADataAccess* pclMember = nullptr;
        if (m_tabDataAccess.bDeleteElement(pclDataAccess, &pclMember))
            m_tabDataAccess._Release(pclMember);
        pclDataAccess->nRelease();
    }
    pclDriver->nReleaseContext(piContext, pclContext);
}

void CNATable::_SetContextLastNAError(INAContext* piContext, CNAError* pclError) const
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNAContext* pclContext = pclDriver != nullptr ? pclDriver->pclFindContext(piContext) : nullptr;
    if (pclContext == nullptr)
        return;
    if (CNAError* pclContextError = pclContext->pclGetErrorNoRef(); pclContextError != nullptr && pclError != nullptr)
        pclContextError->Copy(pclError);
    pclContext->nRelease();
}

bool CNATable::bHoldsDataAccess(CNADataAccess* pclDataAccess) const
{
    CNADataAccess* pclMember = nullptr;
    return pclDataAccess != nullptr && m_tabDataAccess.bGetElement(pclDataAccess, &pclMember) != 0;
}
