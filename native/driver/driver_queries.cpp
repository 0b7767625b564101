// The driver's slots that run the host's SQL: a named query of a host
// context, whose table the host reads when it yields rows, and the drop of
// a table.
#include "native/access/table.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/error_object.h"
#include "native/driver/host_query_parameters.h"

namespace {

// A query table without a result set stays for the host only while its
// query has bound variables (the host runs it again with new values).
bool bKeepQueryTable(CNATable* pclTable, unsigned nMode)
{
    if (nMode & 0x10)
        return true;
    const INAQueryParametersValue* piValues = pclTable->piGetQueryBindVariableNoRef();
    return piValues != nullptr && piValues->bHasBindVariables() != 0;
}

}  // namespace

int CNADriver::bHExecuteRequeteSQL(INATable** ppiTable, INAContext* piContext, const wchar_t* pszName,
                                   INAConnectionDescription* piConnection, ISQLParserInformation* piQuery,
                                   unsigned nMode)
{
    return bHExecuteRequeteSQLEx(ppiTable, piContext, pszName, piConnection, piQuery, nMode, nullptr);
}

int CNADriver::bHExecuteRequeteSQLEx(INATable** ppiTable, INAContext* piContext, const wchar_t* pszName,
                                     INAConnectionDescription* piConnection, ISQLParserInformation* piQuery,
                                     unsigned nMode, const INAQueryExecution* piExecution)
{
    CNAEntryGuard guard(m_pclError);
    // Null unless a result set is handed out, so that a failure leaves no
    // stale table with the host.
    if (ppiTable != nullptr)
        *ppiTable = nullptr;
    CNAConnectionDescription* pclConnection = _pclGetConnection(piConnection);
    if (pclConnection == nullptr)
        return 0;
    CNATable* pclTable = _pclGetQuery(piContext, pszName, pclConnection, 1);
    if (pclTable == nullptr) {
        nReleaseConnection(pclConnection);
        return 0;
    }
    int bHasResult = 0;
    const int bDone = pclTable->bExecuteQuery(&bHasResult, piContext, pszName, piQuery, nMode, piExecution);
    if (!bDone && m_pclError != nullptr)
        m_pclError->Copy(pclTable->piGetLastError());
    if (bDone && bHasResult) {
        _AddTable(pclTable);
        if (ppiTable != nullptr) {
            pclTable->ExternalAddRef();
            *ppiTable = pclTable;
        }
    } else if (!bKeepQueryTable(pclTable, nMode)) {
        _bReleaseTable(piContext, pclTable);
    }
    // The look-up's own reference: the driver's release would take the
    // table out of the registry while the host reads it.
    pclTable->nRelease();
    nReleaseConnection(pclConnection);
    return bDone;
}

int CNADriver::bSupprimeFichier(INAContext* piContext, INAConnectionDescription* piConnection,
                                 const wchar_t* pszTable, INADataSourceDescription* piSource)
{
    CNAEntryGuard guard(m_pclError);
    // 1 in every case: what failed is in the error object.
    _WithConnection(piConnection, 1, [&](CNAConnectionDescription* pclConnection) {
        if (!pclConnection->bOpen(m_pclError))
            return 1;
        if (piSource == nullptr) {
            // Without a description nothing is deleted: the name is only
            // written as SQL, which reports a name it cannot write.
            CTString csName;
            pclConnection->bFormatTableName(m_pclError, pszTable, &csName);
            return 1;
        }
        CNATable* pclTable = _pclGetTable(piSource, pclConnection);
        if (pclTable != nullptr) {
            pclTable->bSupprimeFichier(piContext);
            // The registry keeps the table, as after piGetTable.
            pclTable->nRelease();
        }
        return 1;
    });
    return 1;
}
