// The driver's life: the live drivers and s_pclDriver, the external count,
// the error object, the SQL-functions object and the end of the driver.
#include <cstdlib>

#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/driver_sql.h"
#include "native/driver/error_object.h"
#include "native/driver/registry_keys.h"

CNADriver::CNADriver()
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    m_tabConnection.SetCmp(&CNARegistryKeys::nCompare);
    m_tabConnection.SetHashVal(&CNARegistryKeys::dwHashVal);
    m_tabTable.SetCmp(&CNARegistryKeys::nCompare);
    m_tabTable.SetHashVal(&CNARegistryKeys::dwHashVal);
    m_pclOlderDriver = s_pclNewestDriver;
    if (s_pclNewestDriver != nullptr)
        s_pclNewestDriver->m_pclNewerDriver = this;
    s_pclNewestDriver = this;
}

CNADriver::~CNADriver()
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    if (m_pclError != nullptr)
        m_pclError->Reset();
    _Term();
    if (m_pclNewerDriver != nullptr)
        m_pclNewerDriver->m_pclOlderDriver = m_pclOlderDriver;
    else
        s_pclNewestDriver = m_pclOlderDriver;
    if (m_pclOlderDriver != nullptr)
        m_pclOlderDriver->m_pclNewerDriver = m_pclNewerDriver;
    // The older drivers' objects reach the factories and the error object
    // through s_pclDriver: it must never be left null, nor dangling, while a
    // driver lives.
    if (s_pclDriver == this)
        s_pclDriver = s_pclNewestDriver;
}

void CNADriver::ExternalAddRef()
{
    m_dwExternalRefCount.fetch_add(1, std::memory_order_relaxed);
}

unsigned CNADriver::nExternalRelease()
{
    // The host releases without the mutex, possibly from two threads at once:
    // the count never goes below 0 and only the release that takes it from 1
    // to 0 ends the driver.
    uint32_t dwCount = m_dwExternalRefCount.load(std::memory_order_relaxed);
    do {
        if (dwCount == 0)
            return 0;
    } while (!m_dwExternalRefCount.compare_exchange_weak(dwCount, dwCount - 1, std::memory_order_acq_rel,
                                                          std::memory_order_relaxed));
    if (dwCount > 1)
        return dwCount - 1;
    {
        // Ended while the concrete driver is still whole, so that its slots
        // (_BeforeDeath among them) answer; the destructor then finds
        // nothing left to release.
        CNAEntryGuard guard(m_pclError);
        _Term();
    }
    delete this;
    return 0;
}

void CNADriver::AllocError()
{
    if (m_pclError != nullptr) {
        CNAError* pclFormer = m_pclError;
        m_pclError = nullptr;
        pclFormer->nRelease();
    }
    m_pclError = pclAllocError();
    if (m_pclError == nullptr)
        return;
    m_pclError->AddRef();
    // Everything the driver makes holds this object, and the host reads it
    // from any thread once its call has returned: each host thread gets a
    // record of its own behind it.
    m_pclError->SetPerThread();
}

CNADriverSQL* CNADriver::pclGetDriverSQL()
{
    if (m_pclDriverSQL == nullptr)
        _InitDriverSQL();
    return m_pclDriverSQL;
}

void CNADriver::_InitDriverSQL()
{
    m_pclDriverSQL = _pclAllocDriverSQL(m_pclError);
    if (m_pclDriverSQL != nullptr)
        m_pclDriverSQL->AddRef();
}

void* CNADriver::piGetInterface(int nId)
{
    CNAEntryGuard guard(m_pclError);
    if (nId != 1)
        return nullptr;
    CNADriverSQL* pclDriverSQL = pclGetDriverSQL();
    if (pclDriverSQL == nullptr)
        return nullptr;
    pclDriverSQL->ExternalAddRef();
    return static_cast<INADriverSQL*>(pclDriverSQL);
}

void CNADriver::_Term()
{
    // Each member leaves its registry before it is released, so that a
    // member whose end reaches back into the driver finds the registry
    // consistent.
    unsigned int dwCursor = 0;
    CNAContext* pclContext = nullptr;
    while (m_tabContext.bParseTable(&dwCursor, 1, &pclContext, nullptr))
        m_tabContext._Release(pclContext);

    dwCursor = 0;
    CNATable* pclTable = nullptr;
    wchar_t* pszKey = nullptr;
    while (m_tabTable.bParseTable(&dwCursor, 1, &pclTable, &pszKey)) {
        m_tabTable._Release(pclTable);
        std::free(pszKey);
    }

    dwCursor = 0;
    CNAConnectionDescription* pclConnection = nullptr;
    while (m_tabConnection.bParseTable(&dwCursor, 1, &pclConnection, &pszKey)) {
        // Opens the host never closed hold references too: without their
        // release the connection would outlive every holder.
        while (pclConnection->_bDropOpenState())
            pclConnection->nRelease();
        m_tabConnection._Release(pclConnection);
        std::free(pszKey);
    }

    if (m_pclError != nullptr) {
        CNAError* pclError = m_pclError;
        m_pclError = nullptr;
        pclError->nRelease();
    }
    if (m_pclDriverSQL != nullptr) {
        // The host may hold the SQL-functions object longer than the driver.
        CNADriverSQL* pclDriverSQL = m_pclDriverSQL;
        m_pclDriverSQL = nullptr;
        pclDriverSQL->_DetachDriver();
        pclDriverSQL->nRelease();
    }
    _BeforeDeath();
}
