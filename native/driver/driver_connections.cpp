// The driver's connection registry: shared connections by identification,
// their open states and the close that follows the last user.
//
// A registered connection is held by the registry (one reference), by one
// reference per open state (each successful bOpenConnection not yet undone
// by a bCloseConnection) and by its users (tables, descriptions, data
// accesses, callers). It closes by itself when a release leaves only the
// registry's reference while no open state and no transaction remain.
// Closes count against the open states, so that a close the host never
// opened for cannot take a reference another holder owns.
#include <cstdlib>
#include <optional>

#include "common/system/x_error.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/error_object.h"
#include "native/driver/host_connection_description.h"

namespace {

void AddNullable(CXYStringConcat<wchar_t>* pclOut, const wchar_t* pszLabel, const wchar_t* pszText)
{
    pclOut->Add(pszLabel);
    pclOut->Add(pszText != nullptr ? pszText : L"NULL");
}

}  // namespace

int CNADriver::bBuildCnxIdentification(CTString* pcsIdentification, INAConnectionDescription* piConnection)
{
    if (pcsIdentification == nullptr || piConnection == nullptr)
        return 0;
    CXYStringConcat<wchar_t> clText;
    AddNullable(&clText, L"Connection=", piConnection->pszGetConnectionName());
    AddNullable(&clText, L";Provider=", piConnection->pszGetProvider());
    AddNullable(&clText, L";ExtendedInformation=", piConnection->pszGetExtendedInfo());
    AddNullable(&clText, L";Data source=", piConnection->pszGetDataBase());
    AddNullable(&clText, L";user id=", piConnection->pszGetUserName());
    AddNullable(&clText, L";password=", piConnection->pszGetPassword());
    clText.Add(L";access=");
    clText.Add(piConnection->eGetAccess() == 1 ? L"R" : L"RW");
    if (clText.bEchec())
        return 0;
    pcsIdentification->Set(clText.pszGet());
    return 1;
}

CNAConnectionDescription* CNADriver::_pclFindConnection(const wchar_t* pszIdentification)
{
    CNAConnectionDescription* pclConnection = nullptr;
    if (pszIdentification == nullptr || !m_tabConnection.bGetElementRef(pszIdentification, &pclConnection))
        return nullptr;
    return pclConnection;
}

CNAConnectionDescription* CNADriver::_pclFindConnection(INAConnectionDescription* piConnection)
{
    CTString csIdentification;
    if (!bBuildCnxIdentification(&csIdentification, piConnection))
        return nullptr;
    return _pclFindConnection(csIdentification.pszGet());
}

CNAConnectionDescription* CNADriver::_pclGetConnection(INAConnectionDescription* piConnection)
{
    CTString csIdentification;
    if (!bBuildCnxIdentification(&csIdentification, piConnection))
        return nullptr;
    CNAConnectionDescription* pclConnection = _pclFindConnection(csIdentification.pszGet());
    if (pclConnection != nullptr)
        return pclConnection;
    pclConnection = _pclAddConnection(csIdentification.pszGet(), piConnection);
    if (pclConnection == nullptr) {
        if (m_pclError != nullptr)
            m_pclError->pclGetXError()->SetErrorNoMemory();
        return nullptr;
    }
    REF_AddRef(pclConnection);
    return pclConnection;
}

CNAConnectionDescription* CNADriver::_pclAddConnection(const wchar_t* pszIdentification,
                                                       INAConnectionDescription* piConnection)
{
    CNAConnectionDescription* pclConnection = _pclAllocConnectionDescription(pszIdentification, piConnection);
    if (pclConnection == nullptr)
        return nullptr;
    if (!m_tabConnection.bAjoute(pclConnection->pszGetIdentification(), pclConnection)) {
        // Never referenced: destroyed by the release of a reference of its
        // own.
        REF_AddRef(pclConnection);
        pclConnection->nRelease();
        return nullptr;
    }
    return pclConnection;
}

namespace {

// Whether the registry holds this very connection under its identification:
// a connection that left it (a failed open) may have been followed by a
// newer one of the same identification.
template <class Registry>
bool bRegistryHolds(Registry& tabConnection, CNAConnectionDescription* pclConnection)
{
    CNAConnectionDescription* pclRegistered = nullptr;
    return tabConnection.bGetElement(pclConnection->pszGetIdentification(), &pclRegistered) &&
           pclRegistered == pclConnection;
}

// Unregisters the connection, freeing its key; the registry's reference
// is the caller's to drop.
template <class Registry>
void Unregister(Registry& tabConnection, CNAConnectionDescription* pclConnection)
{
    CNAConnectionDescription* pclRegistered = nullptr;
    wchar_t* pszKey = nullptr;
    if (tabConnection.bDeleteElement(pclConnection->pszGetIdentification(), &pclRegistered, &pszKey))
        std::free(pszKey);
}

}  // namespace

int CNADriver::_bOpenConnection(CNAConnectionDescription* pclConnection)
{
    const int bOpened = pclConnection->bOpen(m_pclError);
    if (bOpened) {
        REF_AddRef(pclConnection);
        pclConnection->_AddOpenState();
        pclConnection->SetAutoCloseAllowed(0);
        return bOpened;
    }
    // The connection is forgotten: the host's next open makes a new one.
    // Its open states go with it, since no close can find it any more; the
    // caller's reference keeps it alive meanwhile.
    while (pclConnection->_bDropOpenState())
        pclConnection->nRelease();
    if (bRegistryHolds(m_tabConnection, pclConnection)) {
        Unregister(m_tabConnection, pclConnection);
        pclConnection->nRelease();
    }
    if (m_pclError != nullptr)
        m_pclError->SetErrorLevel(NA_LEVEL_WARNING);
    return bOpened;
}

int CNADriver::nReleaseConnection(CNAConnectionDescription* pclConnection)
{
    if (pclConnection == nullptr || pclConnection->m_dwRefCount == 0)
        return 0;
    const unsigned nLeft = pclConnection->nRelease();
    if (nLeft != 1 || !pclConnection->bAutoCloseEnabled() || !bRegistryHolds(m_tabConnection, pclConnection))
        return static_cast<int>(nLeft);
    if (pclConnection->bIsOpen())
        pclConnection->bClose(m_pclError);
    Unregister(m_tabConnection, pclConnection);
    pclConnection->nRelease();
    return 0;
}

int CNADriver::_bCloseConnection(CNAConnectionDescription* pclConnection)
{
    if (pclConnection->_bDropOpenState()) {
        pclConnection->SetAutoCloseAllowed(1);
        nReleaseConnection(pclConnection);
    }
    return 1;
}

CNAConnectionDescription* CNADriver::pclGetConnectionByID(int nNumber)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    unsigned int dwCursor = 0;
    CNAConnectionDescription* pclConnection = nullptr;
    while (m_tabConnection.bParseTable(&dwCursor, 0, &pclConnection, nullptr)) {
        if (pclConnection->nGetConnectionNumber() == static_cast<unsigned>(nNumber)) {
            m_tabConnection.StopParsing();
            REF_AddRef(pclConnection);
            return pclConnection;
        }
    }
    return nullptr;
}

namespace {

// The close of slot 9 and of a close by number, on a found connection: the
// look-up's reference, then one open state.
void CloseFound(CNADriver* pclDriver, CNAConnectionDescription* pclConnection)
{
    if (pclDriver->nReleaseConnection(pclConnection) >= 1)
        pclDriver->_bCloseConnection(pclConnection);
}

}  // namespace

int CNADriver::_bCloseConnectionById(int nNumber)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNAConnectionDescription* pclConnection = pclGetConnectionByID(nNumber);
    if (pclConnection != nullptr)
        CloseFound(this, pclConnection);
    return 1;
}

int CNADriver::g_nReleaseConnection(CNAConnectionDescription* pclConnection)
{
    if (pclConnection == nullptr)
        return 0;
    // A description the host lets go of ends outside any entry of the
    // driver, and the release may change the registry.
    std::optional<CNAEntryGuard> guard;
    if (g_bModuleStarted())
        guard.emplace(CNAEntryGuard::NoReset);
    if (s_pclDriver != nullptr)
        return s_pclDriver->nReleaseConnection(pclConnection);
    return static_cast<int>(pclConnection->nRelease());
}

int CNADriver::bOpenConnection(INAConnectionDescription* piConnection)
{
    CNAEntryGuard guard(m_pclError);
    CNAConnectionDescription* pclConnection = _pclGetConnection(piConnection);
    if (pclConnection == nullptr)
        return 0;
    const int bOpened = _bOpenConnection(pclConnection);
    pclConnection->nRelease();
    return bOpened;
}

int CNADriver::bCloseConnection(INAConnectionDescription* piConnection)
{
    CNAEntryGuard guard(m_pclError);
    CNAConnectionDescription* pclConnection = _pclFindConnection(piConnection);
    if (pclConnection != nullptr)
        CloseFound(this, pclConnection);
    return 1;
}

int CNADriver::bValidConnection(INAConnectionDescription*)
{
    CNAEntryGuard guard(m_pclError);
    return 1;
}
