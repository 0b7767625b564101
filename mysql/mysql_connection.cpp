// The MySQL connection's life, its keys and versions, its close, the
// statements it runs directly and the client's errors it records.
#include "mysql/mysql_connection.h"

#include "common/system/module_info.h"
#include "mysql/client_call_guard.h"
#include "mysql/code_page_converters.h"
#include "mysql/function_loader.h"
#include "mysql/mysql_error_sites.h"
#include "native/access/statement_sql.h"
#include "native/driver/driver.h"
#include "native/driver/driver_sql.h"
#include "native/driver/error_object.h"

CMySQLConnection::CMySQLConnection(const wchar_t* pszIdentification, INAConnectionDescription* piConnection)
    : CNAConnectionDescription(pszIdentification, piConnection)
{
    m_nDBKind = 5;
    m_csOpeningQuote.Set(L"`");
    m_nOpeningQuoteLen = 1;
    m_csClosingQuote.Set(L"`");
    m_nClosingQuoteLen = 1;
    // Kept for every open of this object: a reopen (after a close, or for a
    // diagnosis) must reach the same server the same way.
    m_nPort = _nReadIntegerKey(L"Server Port");
    m_nClientFlag = _nReadIntegerKey(L"Client Flag");
    _bGetExtendedParameter(&m_csUnixSocket, L"Unix Socket", 1);
}

CMySQLConnection::~CMySQLConnection()
{
    bClose(nullptr);
}

int32_t CMySQLConnection::_nReadIntegerKey(const wchar_t* pszKey)
{
    CTString csValue;
    _bGetExtendedParameter(&csValue, pszKey, 1);
    return g_nReadInt32(csValue);
}

bool CMySQLConnection::bGetUnixSocket(CTString* pcsSocket) const
{
    if (pcsSocket != nullptr)
        pcsSocket->Set(m_csUnixSocket.pszGet());
    return m_csUnixSocket.nTaille() > 0;
}

bool CMySQLConnection::bClientVersionGreaterThan4_1()
{
    return CNAFunctionLoader::g_bClientVersionGreaterThan4_1();
}

bool CMySQLConnection::bMultipleRecordsetEnabled()
{
    return CNAFunctionLoader::g_bMultipleRecordsetEnabled();
}

bool CMySQLConnection::bServerVersionGreaterThan4_1() const
{
    return m_nServerMajor > 4 || (m_nServerMajor == 4 && m_nServerMinor >= 1);
}

bool CMySQLConnection::bServerVersionGreaterThan4_1_2() const
{
    return m_nServerMajor > 4 || (m_nServerMajor == 4 && m_nServerMinor >= 2) ||
           (m_nServerMajor == 4 && m_nServerMinor == 1 && m_nServerPatch >= 2);
}

int CMySQLConnection::_bReleaseHandle(CNAError* pclError)
{
    if (m_pMySQL == nullptr) {
        m_bOpen = 0;
        return 1;
    }
    MYSQL* pHandle = m_pMySQL;
    // Forgotten first: whatever the call does, the handle is never closed
    // twice.
    m_pMySQL = nullptr;
    m_bOpen = 0;
    return bClientCall(MySQLSite::kClose, pclError, this, [&] { __mysql_close(pHandle); }) ? 1 : 0;
}

int CMySQLConnection::bClose(CNAError* pclError)
{
    // The host's close ends a text transaction marked ended (the server
    // rolls back what it held), and what the driver would have replaced on
    // its own.
    ClearTextTransactionEnded();
    m_bReopenOnDemand = 0;
    // Also a handle whose connect failed: each open makes a new one.
    return _bReleaseHandle(pclError);
}

int CMySQLConnection::_nOpenFailed()
{
    _bReleaseHandle(nullptr);
    return 0;
}

eNA_ERRORTYPE CMySQLConnection::eGetNAErrorType(unsigned nCode)
{
    switch (nCode) {
    case 1062: return NA_ERR_DUPLICATE_KEY;
    case 1205: return NA_ERR_LOCK_TIMEOUT;
    case 1048: return NA_ERR_MANDATORY_VALUE;
    default: return NA_ERR_GENERAL;
    }
}

int CMySQLConnection::bGetLastError(CNAError* pclError, unsigned* pnCode)
{
    *pnCode = 0;
    // Nothing was ever asked of a missing handle, and the library does not
    // take a null one.
    if (m_pMySQL == nullptr)
        return 1;
    return bClientCall(MySQLSite::kErrorNumber, pclError, this, [&] { *pnCode = __mysql_errno(m_pMySQL); }) ? 1 : 0;
}

int CMySQLConnection::bInitError(CNAError* pclError, unsigned nFile, unsigned nSite)
{
    unsigned nCode = 0;
    int r = bGetLastError(pclError, &nCode);
    if (nCode == 0)
        return r;
    const char* pszMessage = nullptr;
    if (!bClientCall(MySQLSite::kErrorText, pclError, this, [&] { pszMessage = __mysql_error(m_pMySQL); })) {
        pszMessage = nullptr;
        r = 0;
    }
    const CNACodePageCnvOUTPtr message(m_nClientTextCodePage, pszMessage);
    if (pclError != nullptr) {
        const wchar_t* pszServer = pszGetDataBase();
        _CXErrorModule32 error;
        const stNAErrorSite site{static_cast<eNA_ERRORSOURCE>(nFile), static_cast<int>(nSite), 22, NA_ERR_GENERAL};
        CNAError::g_SetSiteError(&error, site, nullptr, nullptr, pszServer != nullptr ? pszServer : L"", nCode);
        if (message.pszGet()[0] != 0)
            error.AddUserMessageNoFormat(message.pszGet());
        const uint32_t dwCode = nCode;
        error.AddInfo(CXError::EIT_BASECODE, &dwCode);
        pclError->AddError(NA_ERR_GENERAL, &error, this);
    }
    // Last: weighing the transaction may run a statement, which replaces
    // the client's error just recorded.
    _AfterStatement(nCode, message.pszGet());
    return r;
}

int CMySQLConnection::bExecuteQueryNoResult(CNAError* pclError, const wchar_t* pszSQL)
{
    if (m_pMySQL == nullptr) {
        CNAError::g_RaiseSiteError(pclError, MySQLSite::kNoHandle, this, nullptr, nullptr);
        return 0;
    }
    const CNACodePageCnvIN text(m_nClientTextCodePage, pszSQL);
    if (text.bFailed()) {
        CNAError::g_RaiseSiteError(pclError, MySQLSite::kTextNotConverted, this, nullptr, nullptr);
        return 0;
    }
    // The driver's own text is never the host's roll-back.
    m_bRunningRollBackText = 0;
    // The length in bytes: a UTF-8 text is longer than its characters.
    int nResult = 1;
    if (!bClientCall(MySQLSite::kQuery, pclError, this,
                     [&] { nResult = __mysql_real_query(m_pMySQL, text.pszGet(), text.nGetLength()); }) ||
        nResult != 0) {
        bInitError(pclError, NA_SRC_DB_CONNECTION, MySQLSite::kRecordQueryError);
        return 0;
    }
    const int bDone = _bDiscardResults(pclError);
    if (bDone)
        _AfterStatement(0, nullptr);
    return bDone;
}

int CMySQLConnection::_bDiscardResults(CNAError* pclError)
{
    // A result left unread puts the handle out of step with the server (the
    // next statement is refused), and with several statements in one text
    // the error of a later one shows only when its turn comes.
    for (;;) {
        MYSQL_RES* pResult = nullptr;
        if (!bClientCall(MySQLSite::kStoreResult, pclError, this,
                         [&] { pResult = __mysql_store_result(m_pMySQL); }))
            return 0;
        if (pResult != nullptr) {
            bClientCall(MySQLSite::kFreeResult, pclError, this, [&] { __mysql_free_result(pResult); });
        } else {
            unsigned nCode = 0;
            if (!bGetLastError(pclError, &nCode))
                return 0;
            if (nCode != 0) {
                bInitError(pclError, NA_SRC_DB_CONNECTION, MySQLSite::kRecordQueryError);
                return 0;
            }
        }
        if (!bMultipleRecordsetEnabled())
            return 1;
        // Asked first where the library can say: the count of rows the
        // statement changed must survive for the caller.
        if (__mysql_more_results != &DefaultError_mysql_more_results) {
            unsigned char bMore = 0;
            if (!bClientCall(MySQLSite::kMoreResults, pclError, this, [&] { bMore = __mysql_more_results(m_pMySQL); }))
                return 0;
            if (bMore == 0)
                return 1;
        }
        int nNext = -1;
        if (!bClientCall(MySQLSite::kNextResult, pclError, this, [&] { nNext = __mysql_next_result(m_pMySQL); }))
            return 0;
        if (nNext < 0)
            return 1;
        if (nNext > 0) {
            bInitError(pclError, NA_SRC_DB_CONNECTION, MySQLSite::kRecordLaterStatementError);
            return 0;
        }
    }
}

int CMySQLConnection::bExecuteQueryIgnoreResult(CNAError* pclError, const wchar_t* pszSQL)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNADriverSQL* pclDriverSQL = pclDriver != nullptr ? pclDriver->pclGetDriverSQL() : nullptr;
    if (pclDriverSQL == nullptr)
        return 0;
    CNAStatementSQL* pclResult = nullptr;
    const int bExecuted = pclDriverSQL->bExecute(pclError, &pclResult, this, pszSQL, nullptr, 0);
    if (pclResult != nullptr)
        pclResult->nRelease();
    return bExecuted;
}

int CMySQLConnection::bSQLBloque(CNAError* pclError, const wchar_t* pszTable)
{
    // Written as a table name: a name with a blank or a reserved word still
    // reads as one name, and no text of it can end the statement.
    CTString csTable;
    if (!bFormatTableName(pclError, pszTable != nullptr ? pszTable : L"", &csTable))
        return 0;
    CTString csSQL(L"SELECT * FROM ");
    csSQL.Add(csTable.pszGet());
    csSQL.Add(L" FOR UPDATE");
    return bExecuteQueryIgnoreResult(pclError, csSQL.pszGet());
}
