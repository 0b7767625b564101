// The table's operations on the host context as a whole: its access mode
// for every data access of the table's logical name, its last error, and
// the operations this driver does not offer.
#include "native/access/table.h"
#include "native/access/table_sites.h"
#include "native/driver/context.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/error_object.h"

int CNATable::bHMode(INAContext* piContext, _eNA_HMODE eMode)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    int bNew = 0;
    CNAContext* pclContext = pclDriver != nullptr ? pclDriver->pclGetContext(piContext, &bNew) : nullptr;
    if (pclContext == nullptr)
        return 1;
    const int bResult = pclContext->bHMode(pszGetLogicalName(), eMode);
    // Plainly: the context stays registered, without data access, to give
    // the mode to the data accesses it makes later.
    pclContext->nRelease();
    return bResult;
}

INAError* CNATable::piGetLastError(INAContext* piContext)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNAContext* pclContext = pclDriver != nullptr ? pclDriver->pclFindContext(piContext) : nullptr;
    if (pclContext == nullptr)
        return m_pclError;
    CNAError* pclError = pclContext->pclGetErrorNoRef();
    // The registry still holds the context.
    pclContext->nRelease();
    // A context made without error object: the host still gets one to read.
    return pclError != nullptr ? pclError : m_pclError;
}

int CNATable::_bNotAvailable(INAContext* piContext, const stNAErrorSite& site) const
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNAError::g_RaiseSiteError(m_pclError, site, m_pclConnection, pszGetLogicalName(), nullptr);
    // The host reads the error through the context too.
    if (m_pclError != nullptr)
        _SetContextLastNAError(piContext, m_pclError);
    return 0;
}

int CNATable::FreeMemory(INAContext* piContext, void**) const
{
    return _bNotAvailable(piContext, NATableSite::kFreeMemoryNotAvailable);
}

int CNATable::bHInterditModif(INAContext* piContext)
{
    return _bNotAvailable(piContext, NATableSite::kForbidModifNotAvailable);
}

int CNATable::bHFinInterditModif(INAContext* piContext)
{
    return _bNotAvailable(piContext, NATableSite::kEndForbidModifNotAvailable);
}

int CNATable::bCalculateKeyValue(INAContext* piContext, const wchar_t*, void**, const void*, unsigned*,
                                 unsigned short, int)
{
    return _bNotAvailable(piContext, NATableSite::kCalculateKeyNotAvailable);
}
