// The MySQL statement's record count of an SQL query that the driver
// corrects: the query's SELECT is run unbuffered and its rows are read one
// by one, none kept; only the running count remains.
#include "mysql/mysql_connection.h"
#include "mysql/mysql_error_sites.h"
#include "mysql/mysql_statement.h"
#include "mysql/mysql_statement_sql.h"
#include "native/access/data_access.h"
#include "native/sql/command.h"

int CMySQLStatement::bGetNbEnr(long* pnCount, NA_WRITEPARSEFLAGS nFlags, int bNoCondition)
{
    if (m_pclDataAccess != nullptr && m_pclDataAccess->bIsQuery() && !m_pclDataAccess->bRequeteSansCorrection())
        return _bGetNbEnrByReading(pnCount);
    return CNAStatement::bGetNbEnr(pnCount, nFlags, bNoCondition);
}

int CMySQLStatement::_bGetNbEnrByReading(long* pnCount)
{
    ResetQuery();
    EnableCache(0);
    CNACommand* pclCommand = m_pclDataAccess->pclAllocCommand(m_pclError);
    if (pclCommand == nullptr)
        return 0;
    REF_AddRef(pclCommand);
    // The execution statement exists before the run so that it can be
    // switched to unbuffered results.
    int bDone = m_pclStatementSQL != nullptr || _bAllocStatementSQL();
    CMySQLStatementSQL* pclSQL = _pclMySQLStatementSQL();
    if (bDone) {
        bDone = m_pclDataAccess->bBuildSelect(pclCommand, this, nullptr, 1, 0, nullptr);
        // Every row counts: no block of rows.
        pclCommand->SetLimit(-1);
    }
    if (bDone) {
        pclSQL->SetStoreResult(0);
        bDone = bExecuteDirectNewCommand(pclCommand, 0);
    }
    if (bDone) {
        long nCount = 0;
        while (pclSQL->__pFetchRow() != nullptr)
            ++nCount;
        pclSQL->EndUnbufferedRows();
        // The result is unbuffered: the handle's error is this result's. A
        // read that ended on an error (a query killed, a server lost) gives
        // no count, never a short one.
        unsigned nCode = 0;
        if (!_pclMySQLConnection()->bGetLastError(m_pclError, &nCode))
            bDone = 0;
        else if (nCode != 0) {
            (void)pclSQL->_bInitLastError(NA_SRC_DB_STATEMENTSQL, MySQLSite::kRecordFetchError);
            bDone = 0;
        }
        if (bDone && pnCount != nullptr)
            *pnCount = nCount;
    }
    // The connection runs the next statement at once: the count's result
    // and any further result of the text are taken now.
    if (pclSQL != nullptr) {
        (void)pclSQL->bReset();
        pclSQL->SetStoreResult(1);
    }
    ResetQuery();
    REF_Release(pclCommand);
    return bDone;
}
