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

int CNADriver::_bUnknownConnection(INAConnectionDescription* piConnection, const stNAErrorSite& site)
{
    const wchar_t* pszName = piConnection != nullptr ? piConnection->pszGetConnectionName() : nullptr;
    CNAError::g_RaiseSiteError(m_pclError, site, nullptr, nullptr, nullptr, pszName != nullptr ? pszName : L"");
    return 0;
}

int CNADriver::bTransactionBegin(INAConnectionDescription* piConnection, const wchar_t* pszName)
{
    CNAEntryGuard guard(m_pclError);
    return _WithConnection(piConnection, 0, [&](CNAConnectionDescription* pclConnection) {
        return pclConnection->bTransactionBegin(m_pclError, pszName);
    });
}

int CNADriver::bTransactionCommit(INAConnectionDescription* piConnection, const wchar_t* pszName)
{
    CNAEntryGuard guard(m_pclError);
    return _bOnRegistered(piConnection, NASite::kCommitUnknownConnection, [&](CNAConnectionDescription* pcl) {
        const int bDone = pcl->bTransactionCommit(m_pclError, pszName);
        if (pcl->bTransactionEndCloseParse())
            _SetTransactionTermined(pcl);
        return bDone;
    });
}

int CNADriver::bTransactionRollBack(INAConnectionDescription* piConnection, const wchar_t* pszName)
{
    CNAEntryGuard guard(m_pclError);
    return _bOnRegistered(piConnection, NASite::kRollBackUnknownConnection, [&](CNAConnectionDescription* pcl) {
        // The tables first: their parses end before the rows they read go.
        if (pcl->bTransactionEndCloseParse())
            _SetTransactionTermined(pcl);
        return pcl->bTransactionRollBack(m_pclError, pszName);
    });
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
    return _bOnRegistered(piConnection, NASite::kTableLockUnknownConnection, [&](CNAConnectionDescription* pcl) {
        return pcl->bOpen(m_pclError) && pcl->bSQLBloque(m_pclError, pszTable) ? 1 : 0;
    });
}

int CNADriver::bSQLBloqueRequete(INAConnectionDescription* piConnection, ISQLParserInformation* piQuery)
{
    CNAEntryGuard guard(m_pclError);
    return _bOnRegistered(piConnection, NASite::kQueryLockUnknownConnection, [&](CNAConnectionDescription* pcl) {
        return pcl->bOpen(m_pclError) && pcl->bSQLBloque(m_pclError, piQuery) ? 1 : 0;
    });
}

int CNADriver::bHConnexionDiagnose(CAny* pclResult, INAConnectionDescription* piConnection, const wchar_t* pszText,
                                   unsigned nFlags)
{
    CNAEntryGuard guard(m_pclError);
    return _bOnRegistered(piConnection, NASite::kDiagnoseUnknownConnection, [&](CNAConnectionDescription* pcl) {
        return pcl->bDiagnose(m_pclError, pclResult, pszText, nFlags);
    });
}
