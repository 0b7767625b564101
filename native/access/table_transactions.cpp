// The table object's part in the end of a transaction: the driver tells
// every table, and the table tells each of its data accesses.
#include "native/access/data_access.h"
#include "native/access/table.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver_entry_guard.h"

void CNATable::SetTransactionTermined()
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    NA_ForEachHeld<CNADataAccess>(m_tabDataAccess, [](CNADataAccess* pclDataAccess) { pclDataAccess->SetTransactionTermined(); });
}

void CNATable::CancelRecordLock(INAConnectionDescription* piConnection, CNATransaction* pclTransaction)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    NA_ForEachHeld<CNADataAccess>(m_tabDataAccess, [&](CNADataAccess* pclDataAccess) {
        const CNAConnectionDescription* pclConnection = pclDataAccess->pclGetConnectionNoRef();
        if (pclConnection != nullptr && pclConnection->piGetConnectionDescription() == piConnection)
            pclDataAccess->CancelRecordLock(piConnection, pclTransaction);
    });
}
