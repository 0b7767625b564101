// The connection's own statements: the table and query locks, the internal
// statements that need no result or one value, and the diagnosis this
// driver does not offer.
//
// An internal statement is an execution statement of the driver's
// SQL-functions object, made for the one run: the connection holds it for
// the run and the release that follows deletes it.
#include "common/system/x_error.h"
#include "common/text/any.h"
#include "native/access/statement_sql.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/driver_sql.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"

namespace {

// A new execution statement on the connection, with one reference; null,
// with the no-memory error, when none can be had.
CNAStatementSQL* pclInternalStatement(CNAConnectionDescription* pclConnection, CNAError* pclError)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNADriverSQL* pclDriverSQL = pclDriver != nullptr ? pclDriver->pclGetDriverSQL() : nullptr;
    CNAStatementSQL* pclStatement =
        pclDriverSQL != nullptr ? pclDriverSQL->pclAllocStatementSQL(pclConnection, pclError) : nullptr;
    if (pclStatement == nullptr) {
        if (pclError != nullptr)
            pclError->pclGetXError()->SetErrorNoMemory();
        return nullptr;
    }
    REF_AddRef(pclStatement);
    return pclStatement;
}

}  // namespace

int CNAConnectionDescription::bSQLBloque(CNAError* pclError, const wchar_t* pszTable)
{
    CTString csSQL;
    csSQL.printf(L"LOCK TABLE %s", pszTable != nullptr ? pszTable : L"");
    return bExecuteQueryNoResult(pclError, csSQL.pszGet());
}

int CNAConnectionDescription::bSQLBloqueRequete(CNAError* pclError, const wchar_t* pszQuery)
{
    CTString csSQL;
    csSQL.printf(L"%s FOR UPDATE", pszQuery != nullptr ? pszQuery : L"");
    return bExecuteQueryIgnoreResult(pclError, csSQL.pszGet());
}

int CNAConnectionDescription::bExecuteQueryNoResult(CNAError* pclError, const wchar_t* pszSQL)
{
    CNAStatementSQL* pclStatement = pclInternalStatement(this, pclError);
    if (pclStatement == nullptr)
        return 0;
    const int bDone = pclStatement->bExecuteDirect(pszSQL, nullptr, 0);
    pclStatement->nRelease();
    return bDone;
}

int CNAConnectionDescription::bExecuteQueryIgnoreResult(CNAError* pclError, const wchar_t* pszSQL)
{
    return bExecuteQueryNoResult(pclError, pszSQL);
}

int CNAConnectionDescription::bGetRequestedValue(CNAError* pclError, CAny* pclValue, int nColumn,
                                                 const wchar_t* pszSQL)
{
    CNAStatementSQL* pclStatement = pclInternalStatement(this, pclError);
    if (pclStatement == nullptr)
        return 0;
    const int bDone = pclStatement->bGetRequestedValue(pclValue, nColumn, pszSQL);
    pclStatement->nRelease();
    return bDone;
}

int CNAConnectionDescription::bGetRequestedValueString(CNAError* pclError, CTString* pcsValue, int nColumn,
                                                       const wchar_t* pszSQL)
{
    CAny value;
    const int bDone = bGetRequestedValue(pclError, &value, nColumn, pszSQL);
    // A query without a row leaves the value empty (type 0): nothing was
    // read, and the string keeps what it held.
    if (!bDone || pcsValue == nullptr || value.nGetTypeCode() == ZLTYPE_VIDE)
        return bDone;
    if (value.bIsNull()) {
        pcsValue->Vide();
        return bDone;
    }
    const wchar_t* pszText = nullptr;
    if (value.__nCastToString(&pszText, nullptr) <= 99)
        pcsValue->Set(pszText);
    return bDone;
}

int CNAConnectionDescription::bDiagnose(CNAError* pclError, CAny*, const wchar_t* pszTable, unsigned)
{
    // The message takes no argument: the table goes in as the error's table.
    CNAError::g_RaiseSiteError(pclError, NASite::kDiagnoseNotAvailable, this, pszTable, nullptr);
    return 0;
}
