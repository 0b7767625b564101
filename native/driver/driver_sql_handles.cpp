// The SQL-functions object's connection handles: private connections opened
// and closed by number, execution with the table of result statements,
// descriptions, transactions and locks.
#include "common/system/x_error.h"
#include "native/access/statement_sql.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/driver_sql.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"

namespace {

// The fixed name of the transactions of this interface; its transaction
// handles are not used.
constexpr const wchar_t* kTransactionName = L"SQLTransaction";

}  // namespace

int CNADriverSQL::bOpenConnection(int* pnConnection, INAConnectionDescription* piConnection)
{
    CNAEntryGuard guard(m_pclError);
    if (pnConnection != nullptr)
        *pnConnection = 0;
    if (m_pclDriver == nullptr)
        return 0;
    // A key of its own: the connection is shared neither with the driver's
    // other connections nor with another handle.
    CTString csIdentification;
    if (!m_pclDriver->bBuildCnxIdentification(&csIdentification, piConnection))
        return 0;
    CTString csKey;
    csKey.printf(L"%s;SQLConnecte%u", csIdentification.pszGet(), ++m_gnCnxNameGenerator);
    CNAConnectionDescription* pclConnection = m_pclDriver->_pclAddConnection(csKey.pszGet(), piConnection);
    if (pclConnection == nullptr) {
        if (m_pclError != nullptr)
            m_pclError->pclGetXError()->SetErrorNoMemory();
        return 0;
    }
    pclConnection->SetOpenedBySQLFunctions();
    // Held across the open, which unregisters and releases the connection
    // when it fails; afterwards the registry's reference and the open
    // state's are all that hold it, so that a close by number closes it.
    REF_AddRef(pclConnection);
    const int bOpened = m_pclDriver->_bOpenConnection(pclConnection);
    if (bOpened && pnConnection != nullptr)
        *pnConnection = static_cast<int>(pclConnection->nGetConnectionNumber());
    pclConnection->nRelease();
    return bOpened;
}

int CNADriverSQL::bCloseConnection(int nConnection)
{
    CNAEntryGuard guard(m_pclError);
    if (m_pclDriver == nullptr)
        return 0;
    return m_pclDriver->_bCloseConnectionById(nConnection);
}

INADataSourceDescription* CNADriverSQL::piGetTableDesc(int nConnection, const wchar_t* pszTable, unsigned)
{
    CNAEntryGuard guard(m_pclError);
    return _WithConnection(nConnection, static_cast<INADataSourceDescription*>(nullptr),
                           [&](CNAConnectionDescription* pclConnection) {
                               return m_pclDriver->_piGetTableDesc(pszTable, pclConnection);
                           });
}

int CNADriverSQL::bExecute(int* pnStatement, int nConnection, const wchar_t* pszSQL, CTabValParser* pstValues,
                           unsigned nFlags)
{
    CNAEntryGuard guard(m_pclError);
    return _WithConnection(nConnection, 0, [&](CNAConnectionDescription* pclConnection) {
        return _bExecuteKept(pnStatement, pclConnection, pszSQL, pstValues, nFlags);
    });
}

int CNADriverSQL::_bExecuteKept(int* pnStatement, CNAConnectionDescription* pclConnection, const wchar_t* pszSQL,
                                CTabValParser* pstValues, unsigned nFlags)
{
    CNAStatementSQL* pclStatement = nullptr;
    int bDone = bExecute(m_pclError, &pclStatement, pclConnection, pszSQL, pstValues, nFlags);
    int nStatement = 0;
    if (pclStatement != nullptr) {
        // The table takes its own reference; the execution's goes.
        nStatement = static_cast<int>(pclStatement->nGetStatementID());
        REF_AddRef(pclStatement);
        if (!m_tabStatement.bAddElement(nStatement, pclStatement)) {
            pclStatement->nRelease();
            nStatement = 0;
            bDone = 0;
            if (m_pclError != nullptr)
                m_pclError->pclGetXError()->SetErrorNoMemory();
        }
        pclStatement->nRelease();
    }
    if (pnStatement != nullptr)
        *pnStatement = nStatement;
    return bDone;
}

int CNADriverSQL::bFreeStmt(int, int nStatement, unsigned)
{
    CNAEntryGuard guard(m_pclError);
    CNAStatementSQL* pclStatement = nullptr;
    if (nStatement != 0 && m_tabStatement.bDeleteElement(nStatement, &pclStatement))
        pclStatement->nRelease();
    return 1;
}

int CNADriverSQL::bTrsBegin(int*, int nConnection, unsigned)
{
    CNAEntryGuard guard(m_pclError);
    return _WithConnection(nConnection, 0, [this](CNAConnectionDescription* pclConnection) {
        return pclConnection->bTransactionBegin(m_pclError, kTransactionName);
    });
}

int CNADriverSQL::bTrsCommit(int, int nConnection, unsigned)
{
    CNAEntryGuard guard(m_pclError);
    return _WithConnection(nConnection, 0, [this](CNAConnectionDescription* pclConnection) {
        return pclConnection->bTransactionCommit(m_pclError, kTransactionName);
    });
}

int CNADriverSQL::bTrsRollBack(int, int nConnection, unsigned)
{
    CNAEntryGuard guard(m_pclError);
    return _WithConnection(nConnection, 0, [this](CNAConnectionDescription* pclConnection) {
        return pclConnection->bTransactionRollBack(m_pclError, kTransactionName);
    });
}

int CNADriverSQL::bSQLBloqueTable(int nConnection, const wchar_t* pszTable, unsigned nFlags)
{
    CNAEntryGuard guard(m_pclError);
    return _WithConnection(nConnection, 0, [&](CNAConnectionDescription* pclConnection) {
        if (!_bInTransaction(pclConnection, NASite::kTableLockOutsideTransaction))
            return 0;
        return bSQLBloqueTable(m_pclError, pclConnection, pszTable, nFlags);
    });
}

int CNADriverSQL::bSQLBloqueRequete(int nConnection, const wchar_t* pszSQL, unsigned nFlags)
{
    CNAEntryGuard guard(m_pclError);
    return _WithConnection(nConnection, 0, [&](CNAConnectionDescription* pclConnection) {
        if (!_bInTransaction(pclConnection, NASite::kQueryLockOutsideTransaction))
            return 0;
        return bSQLBloqueRequete(pclConnection, pszSQL, nFlags);
    });
}

// A lock holds only inside a transaction: otherwise user error 29 at the
// site.
int CNADriverSQL::_bInTransaction(CNAConnectionDescription* pclConnection, const stNAErrorSite& site)
{
    if (pclConnection->_bTransactionOpened())
        return 1;
    CNAError::g_RaiseSiteError(m_pclError, site, pclConnection, nullptr, nullptr);
    return 0;
}

// The flags are not passed on: the connection's locks take none.
int CNADriverSQL::bSQLBloqueTable(CNAError* pclError, CNAConnectionDescription* pclConnection,
                                  const wchar_t* pszTable, unsigned)
{
    if (!pclConnection->bOpen(pclError))
        return 0;
    return pclConnection->bSQLBloque(pclError, pszTable);
}

int CNADriverSQL::bSQLBloqueRequete(CNAConnectionDescription* pclConnection, const wchar_t* pszSQL, unsigned)
{
    if (!pclConnection->bOpen(m_pclError))
        return 0;
    return pclConnection->bSQLBloqueRequete(m_pclError, pszSQL);
}
