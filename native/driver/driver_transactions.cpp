// The driver's transaction, lock and diagnosis slots, and the end of a
// transaction told to the tables.
//
// Begin makes the connection when it is new; every other slot here needs a
// registered connection and, without one, reports user error 14 with the
// name of the host's connection record and makes none.
#include "native/access/table.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/driver/host_connection_description.h"

namespace {

// The registered connection of the host's description, with a reference;
// null, with user error 14 at the site, when there is none.
CNAConnectionDescription* pclRegistered(CNADriver* pclDriver, INAConnectionDescription* piConnection,
                                        const stNAErrorSite& site)
{
    CNAConnectionDescription* pclConnection = pclDriver->_pclFindConnection(piConnection);
    if (pclConnection == nullptr) {
        const wchar_t* pszName = piConnection != nullptr ? piConnection->pszGetConnectionName() : nullptr;
        CNAError::g_RaiseSiteError(pclDriver->pclGetError(), site, nullptr, nullptr, nullptr,
                                   pszName != nullptr ? pszName : L"");
    }
    return pclConnection;
}

}  // namespace

int CNADriver::bTransactionBegin(INAConnectionDescription* piConnection, const wchar_t* pszName)
{
    CNAEntryGuard guard(m_pclError);
    CNAConnectionDescription* pclConnection = _pclGetConnection(piConnection);
    if (pclConnection == nullptr)
        return 0;
    const int bDone = pclConnection->bTransactionBegin(m_pclError, pszName);
    nReleaseConnection(pclConnection);
    return bDone;
}

int CNADriver::bTransactionCommit(INAConnectionDescription* piConnection, const wchar_t* pszName)
{
    CNAEntryGuard guard(m_pclError);
    CNAConnectionDescription* pclConnection = pclRegistered(this, piConnection, NASite::kCommitUnknownConnection);
    if (pclConnection == nullptr)
        return 0;
    const int bDone = pclConnection->bTransactionCommit(m_pclError, pszName);
    if (pclConnection->bTransactionEndCloseParse())
        _SetTransactionTermined(pclConnection);
    nReleaseConnection(pclConnection);
    return bDone;
}

int CNADriver::bTransactionRollBack(INAConnectionDescription* piConnection, const wchar_t* pszName)
{
    CNAEntryGuard guard(m_pclError);
    CNAConnectionDescription* pclConnection = pclRegistered(this, piConnection, NASite::kRollBackUnknownConnection);
    if (pclConnection == nullptr)
        return 0;
    // The tables first: their parses end before the rows they read go.
    if (pclConnection->bTransactionEndCloseParse())
        _SetTransactionTermined(pclConnection);
    const int bDone = pclConnection->bTransactionRollBack(m_pclError, pszName);
    nReleaseConnection(pclConnection);
    return bDone;
}

void CNADriver::_SetTransactionTermined(CNAConnectionDescription* pclConnection)
{
    NA_ForEachHeld<CNATable>(m_tabTable, [pclConnection](CNATable* pclTable) {
        if (pclTable->pclGetConnectionNoRef() == pclConnection)
            pclTable->SetTransactionTermined();
    });
}

void CNADriver::CancelRecordLock(INAConnectionDescription* piConnection, CNATransaction* pclTransaction)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    NA_ForEachHeld<CNATable>(m_tabTable, [&](CNATable* pclTable) { pclTable->CancelRecordLock(piConnection, pclTransaction); });
}

int CNADriver::bSQLBloqueTable(INAConnectionDescription* piConnection, const wchar_t* pszTable)
{
    CNAEntryGuard guard(m_pclError);
    CNAConnectionDescription* pclConnection = pclRegistered(this, piConnection, NASite::kTableLockUnknownConnection);
    if (pclConnection == nullptr)
        return 0;
    const int bDone = pclConnection->bOpen(m_pclError) && pclConnection->bSQLBloque(m_pclError, pszTable);
    nReleaseConnection(pclConnection);
    return bDone ? 1 : 0;
}

int CNADriver::bSQLBloqueRequete(INAConnectionDescription* piConnection, ISQLParserInformation* piQuery)
{
    CNAEntryGuard guard(m_pclError);
    CNAConnectionDescription* pclConnection = pclRegistered(this, piConnection, NASite::kQueryLockUnknownConnection);
    if (pclConnection == nullptr)
        return 0;
    const int bDone = pclConnection->bOpen(m_pclError) && pclConnection->bSQLBloque(m_pclError, piQuery);
    nReleaseConnection(pclConnection);
    return bDone ? 1 : 0;
}

int CNADriver::bHConnexionDiagnose(CAny* pclResult, INAConnectionDescription* piConnection, const wchar_t* pszText,
                                   unsigned nFlags)
{
    CNAEntryGuard guard(m_pclError);
    CNAConnectionDescription* pclConnection = pclRegistered(this, piConnection, NASite::kDiagnoseUnknownConnection);
    if (pclConnection == nullptr)
        return 0;
    const int bDone = pclConnection->bDiagnose(m_pclError, pclResult, pszText, nFlags);
    nReleaseConnection(pclConnection);
    return bDone;
}
