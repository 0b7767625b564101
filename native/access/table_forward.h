#pragma once

// The forwarding pattern of the table object: how a host operation reaches
// the calling context's data access. Included by the sources that define
// the table's slots.
#include "native/access/data_access.h"
#include "native/access/table.h"
#include "native/access/table_sites.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/error_object.h"

// The lookup's reference, dropped when the scope ends (also when an
// exception passes).
class CNADataAccessLookup
{
public:
    explicit CNADataAccessLookup(CNADataAccess* pclDataAccess) : m_pclDataAccess(pclDataAccess) {}
    ~CNADataAccessLookup()
    {
        if (m_pclDataAccess != nullptr)
            m_pclDataAccess->nRelease();
    }
    CNADataAccessLookup(const CNADataAccessLookup&) = delete;
    CNADataAccessLookup& operator=(const CNADataAccessLookup&) = delete;

    CNADataAccess* operator->() const { return m_pclDataAccess; }
    CNADataAccess* pclGet() const { return m_pclDataAccess; }
    explicit operator bool() const { return m_pclDataAccess != nullptr; }

private:
    CNADataAccess* m_pclDataAccess;
};

template <class F>
int CNATable::_nForward(INAContext* piContext, F f) const
{
    CNAEntryGuard guard(m_pclError);
    CNADataAccessLookup dataAccess(_pclFindDataAccessLocked(piContext));
    if (!dataAccess) {
        CNAError::g_RaiseSiteError(m_pclError, NATableSite::kNotOpenedInContext, nullptr, pszGetLogicalName(), nullptr,
                                   pszGetLogicalName());
        return 0;
    }
    if (CNAError* pclError = dataAccess->pclGetErrorNoRef())
        pclError->Reset();
    return f(dataAccess.pclGet());
}

template <class F>
int CNATable::_nForwardLenient(INAContext* piContext, F f) const
{
    CNAEntryGuard guard(m_pclError);
    CNADataAccessLookup dataAccess(_pclFindDataAccessLocked(piContext));
    if (!dataAccess)
        return 1;
    if (CNAError* pclError = dataAccess->pclGetErrorNoRef())
        pclError->Reset();
    return f(dataAccess.pclGet());
}
