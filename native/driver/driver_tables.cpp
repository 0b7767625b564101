// The driver's table registry: one table object per database table of a
// connection, and per named query result of a host context, with the
// slots that hand tables and descriptions to the host.
//
// A table lives in the registry from its registration until a release
// leaves only the registry's reference, it is unregistered, or the driver
// ends. Unregistering checks that the registry holds this very table: a
// query table may leave the registry while the host still holds it, and a
// newer table may take its key meanwhile.
#include <cstdlib>

#include "common/system/x_error.h"
#include "native/access/table.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/error_object.h"
#include "native/driver/host_context.h"
#include "native/driver/registry_keys.h"
#include "native/model/data_source_description.h"

CNATable* CNADriver::_pclFindTable(const wchar_t* pszKey)
{
    CNATable* pclTable = nullptr;
    if (pszKey == nullptr || !m_tabTable.bGetElementRef(pszKey, &pclTable))
        return nullptr;
    return pclTable;
}

CNATable* CNADriver::_pclFindTable(INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection,
                                   CTString* pcsKey)
{
    if (piSource == nullptr || pclConnection == nullptr ||
        !CNARegistryKeys::g_bBuildTableKey(pcsKey, piSource->pszGetDBTableName(),
                                           pclConnection->pszGetIdentification()))
        return nullptr;
    return _pclFindTable(pcsKey->pszGet());
}

CNATable* CNADriver::_pclGetTable(INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection)
{
    CTString csKey;
    CNATable* pclTable = _pclFindTable(piSource, pclConnection, &csKey);
    if (pclTable != nullptr || csKey.nTaille() == 0)
        return pclTable;
    pclTable = _pclAllocTable(csKey.pszGet(), piSource, pclConnection, m_pclError);
    if (pclTable == nullptr)
        return nullptr;
    _AddTable(pclTable);
    pclTable->AddRef();
    return pclTable;
}

void CNADriver::_AddTable(CNATable* pclTable)
{
    CNATable* pclRegistered = _pclFindTable(pclTable->pszGetIdentification());
    if (pclRegistered != nullptr) {
        pclRegistered->nRelease();
        return;
    }
    // When memory runs out the table is simply not shared.
    m_tabTable.bAjoute(pclTable->pszGetIdentification(), pclTable);
}

int CNADriver::_bReleaseTable(CNATable* pclTable)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNATable* pclRegistered = nullptr;
    if (pclTable == nullptr || !m_tabTable.bGetElement(pclTable->pszGetIdentification(), &pclRegistered) ||
        pclRegistered != pclTable)
        return 0;
    wchar_t* pszKey = nullptr;
    m_tabTable.bDeleteElement(pclTable->pszGetIdentification(), &pclRegistered, &pszKey);
    // The key first: releasing may destroy the table, whose identification
    // the key was compared with.
    std::free(pszKey);
    pclRegistered->nRelease();
    return 1;
}

int CNADriver::_bReleaseTable(INAContext* piContext, CNATable* pclTable)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    if (pclTable == nullptr)
        return 0;
    pclTable->bHFerme(piContext);
    return _bReleaseTable(pclTable);
}

int CNADriver::nReleaseTable(CNATable* pclTable)
{
    if (pclTable == nullptr)
        return 0;
    const unsigned nLeft = pclTable->nRelease();
    if (nLeft == 1 && _bReleaseTable(pclTable))
        return 0;
    return static_cast<int>(nLeft);
}

CNATable* CNADriver::_pclGetQuery(INAContext* piContext, const wchar_t* pszName,
                                  CNAConnectionDescription* pclConnection, int bCreate)
{
    CTString csKey;
    if (piContext == nullptr || pclConnection == nullptr ||
        !CNARegistryKeys::g_bBuildQueryKey(&csKey, piContext->dwGetCtxID(), pszName,
                                           pclConnection->pszGetIdentification()))
        return nullptr;
    CNATable* pclTable = _pclFindTable(csKey.pszGet());
    if (pclTable != nullptr || !bCreate)
        return pclTable;
    pclTable = _pclAllocTable(csKey.pszGet(), nullptr, pclConnection, m_pclError);
    if (pclTable != nullptr)
        pclTable->AddRef();
    return pclTable;
}

int CNADriver::bHMode(INAContext* piContext, _eNA_HMODE eMode)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    int bResult = 1;
    unsigned int dwCursor = 0;
    CNATable* pclTable = nullptr;
    while (m_tabTable.bParseTable(&dwCursor, 0, &pclTable, nullptr)) {
        // Held for the call: a table that leaves the registry meanwhile
        // lives until it is dropped here.
        pclTable->AddRef();
        if (!pclTable->bHMode(piContext, eMode))
            bResult = 0;
        pclTable->nRelease();
    }
    return bResult;
}

INATable* CNADriver::piGetTable(INAConnectionDescription* piConnection, INADataSourceDescription* piSource)
{
    CNAEntryGuard guard(m_pclError);
    CNAConnectionDescription* pclConnection = _pclGetConnection(piConnection);
    if (pclConnection == nullptr)
        return nullptr;
    CNATable* pclTable = _pclGetTable(piSource, pclConnection);
    nReleaseConnection(pclConnection);
    if (pclTable == nullptr)
        return nullptr;
    pclTable->ExternalAddRef();
    // The table's own release: the driver's would find only the registry's
    // reference and unregister the table the host now holds.
    pclTable->nRelease();
    return pclTable;
}

INADataSourceDescription* CNADriver::piGetTableDesc(const wchar_t* pszName, INAConnectionDescription* piConnection)
{
    CNAEntryGuard guard(m_pclError);
    CNAConnectionDescription* pclConnection = _pclGetConnection(piConnection);
    if (pclConnection == nullptr)
        return nullptr;
    INADataSourceDescription* piSource = nullptr;
    if (pclConnection->bOpen(m_pclError))
        piSource = _piGetTableDesc(pszName, pclConnection);
    nReleaseConnection(pclConnection);
    return piSource;
}

INADataSourceDescription* CNADriver::_piGetTableDesc(const wchar_t* pszName, CNAConnectionDescription* pclConnection)
{
    CNADataSourceDescription* pclSource = _pclGetTableDesc(pszName, pclConnection);
    if (pclSource == nullptr)
        return nullptr;
    pclSource->ExternalAddRef();
    pclSource->nRelease();
    return pclSource;
}

CNADataSourceDescription* CNADriver::_pclGetTableDesc(const wchar_t* pszName, CNAConnectionDescription* pclConnection)
{
    CNADataSourceDescription* pclSource = pclAllocDataSourceDescription(pclConnection, m_pclError);
    if (pclSource == nullptr) {
        if (m_pclError != nullptr)
            m_pclError->pclGetXError()->SetErrorNoMemory();
        return nullptr;
    }
    pclSource->AddRef();
    if (!pclSource->bInitDataSourceDescriptionFromDB(pszName, 0)) {
        pclSource->nRelease();
        return nullptr;
    }
    return pclSource;
}

int CNADriver::bFreeDataSource(INAContext* piContext, const wchar_t* pszName, INAConnectionDescription* piConnection)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNAConnectionDescription* pclConnection = _pclGetConnection(piConnection);
    if (pclConnection == nullptr)
        return 0;
    int bResult = 1;
    CNATable* pclTable = _pclGetQuery(piContext, pszName, pclConnection, 0);
    if (pclTable != nullptr) {
        bResult = pclTable->bHFerme(piContext);
        pclTable->nRelease();
    }
    pclConnection->nRelease();
    return bResult;
}
