// The MySQL execution statement's runs: the text sent, its results taken
// buffered or unbuffered, rows fetched and positioned, the affected-row
// count, and the close that leaves the handle ready for the next statement.
#include "mysql/mysql_statement_sql.h"

#include <cstring>

#include "mysql/client_call_guard.h"
#include "mysql/code_page_converters.h"
#include "mysql/mysql_connection.h"
#include "mysql/mysql_error_sites.h"
#include "native/driver/error_object.h"

namespace {

stClientCallSite StatementSite(int nSite)
{
    return {NA_SRC_DB_STATEMENTSQL, nSite};
}

}  // namespace

CMySQLStatementSQL::CMySQLStatementSQL(CNAConnectionDescription* pclConnection, CNAError* pclError)
    : CNAStatementSQL(pclConnection, pclError)
{
}

CMySQLStatementSQL::~CMySQLStatementSQL()
{
    if (m_bParseOpened || m_pResult != nullptr || m_bFurtherResultsPending)
        (void)_bCloseParse();
}

CMySQLConnection* CMySQLStatementSQL::_pclMySQLConnection() const
{
    // Made only by the MySQL driver, for MySQL connections.
    return static_cast<CMySQLConnection*>(m_pclConnection);
}

MYSQL* CMySQLStatementSQL::_pGetMySQL() const
{
    return m_pclConnection != nullptr ? _pclMySQLConnection()->pGetMySQL() : nullptr;
}

int CMySQLStatementSQL::_bExecuteDirect(const char* pszSQL, CTabValParser*, unsigned nFlags)
{
    if (m_pclConnection != nullptr && !_pclMySQLConnection()->_bBeforeStatement(m_pclError, pszSQL))
        return 0;
    MYSQL* pMySQL = _pGetMySQL();
    if (pMySQL == nullptr) {
        CNAError::g_RaiseSiteError(m_pclError, MySQLSite::kNoHandle, m_pclConnection, nullptr, nullptr);
        return 0;
    }
    const char* pszText = pszSQL != nullptr ? pszSQL : "";
    const unsigned long nLength = std::strlen(pszText);
    int nQuery = 1;
    const bool bCalled = bClientCall(MySQLSite::kStmtQuery, m_pclError, m_pclConnection,
                                     [&] { nQuery = __mysql_real_query(pMySQL, pszText, nLength); });
    if (!bCalled || nQuery != 0) {
        const CNACodePageCnvOUT text(_pclMySQLConnection()->nGetCodePage(), pszText, static_cast<int64_t>(nLength));
        const wchar_t* pszWide = text.pszGet();
        m_nSentBytes = static_cast<int64_t>(nLength);
        _InitExecuteError(NA_SRC_DB_STATEMENTSQL, MySQLSite::kRecordExecuteError, pszWide,
                          static_cast<long>(std::wcslen(pszWide)), nFlags);
        m_nSentBytes = 0;
        return 0;
    }
    int bDone = m_bStoreResult ? _bGetStoreResult() : _bGetUseResult();
    // A failure was weighed where its error was recorded.
    if (bDone)
        _pclMySQLConnection()->_AfterStatement(0, nullptr);
    // A failure of a later statement of the text fails the execution, also
    // when an earlier one gave the result set.
    if (bDone && m_nColumnCount != 0)
        bDone = _bInitTabNAColumn();
    return bDone;
}

int CMySQLStatementSQL::_nNextResult(int nSite, bool* pbGuardFailed)
{
    MYSQL* pMySQL = _pGetMySQL();
    if (pMySQL == nullptr)
        return -1;
    if (__mysql_more_results != &DefaultError_mysql_more_results) {
        unsigned char bMore = 0;
        if (!bClientCall(MySQLSite::kStmtMoreResults, m_pclError, m_pclConnection,
                         [&] { bMore = __mysql_more_results(pMySQL); })) {
            *pbGuardFailed = true;
            return -1;
        }
        if (bMore == 0)
            return -1;
    }
    int nNext = -1;
    if (!bClientCall(StatementSite(nSite), m_pclError, m_pclConnection,
                     [&] { nNext = __mysql_next_result(pMySQL); })) {
        *pbGuardFailed = true;
        return -1;
    }
    // The error of a later statement: the statements after it never ran,
    // and a success reported now would hide it.
    if (nNext > 0)
        (void)_bInitLastError(NA_SRC_DB_STATEMENTSQL, static_cast<unsigned>(nSite));
    return nNext;
}

int CMySQLStatementSQL::_bDrainFurtherResults(int nNextSite, int nStoreSite, int nFreeSite)
{
    MYSQL* pMySQL = _pGetMySQL();
    bool bGuardFailed = false;
    int nNext = 0;
    while (pMySQL != nullptr && (nNext = _nNextResult(nNextSite, &bGuardFailed)) == 0) {
        MYSQL_RES* pFurther = nullptr;
        if (!bClientCall(StatementSite(nStoreSite), m_pclError, m_pclConnection,
                         [&] { pFurther = __mysql_store_result(pMySQL); }))
            bGuardFailed = true;
        if (pFurther != nullptr &&
            !bClientCall(StatementSite(nFreeSite), m_pclError, m_pclConnection,
                         [&] { __mysql_free_result(pFurther); }))
            bGuardFailed = true;
    }
    return nNext > 0 || bGuardFailed ? 0 : 1;
}

int CMySQLStatementSQL::_bGetStoreResult()
{
    MYSQL* pMySQL = _pGetMySQL();
    const bool bMultiple = CMySQLConnection::bMultipleRecordsetEnabled();
    int bDone = 1;
    for (;;) {
        m_pResult = nullptr;
        if (!bClientCall(MySQLSite::kStmtStoreResult, m_pclError, m_pclConnection,
                         [&] { m_pResult = __mysql_store_result(pMySQL); }))
            bDone = 0;
        m_bParseOpened = 1;
        if (m_pResult != nullptr) {
            my_ulonglong nRows = 0;
            if (!bClientCall(MySQLSite::kStmtNumRows, m_pclError, m_pclConnection,
                             [&] { nRows = __mysql_num_rows(m_pResult); }))
                bDone = 0;
            m_nRowCount = static_cast<int64_t>(nRows);
            unsigned nFields = 0;
            if (!bClientCall(MySQLSite::kStmtNumFields, m_pclError, m_pclConnection,
                             [&] { nFields = __mysql_num_fields(m_pResult); }))
                bDone = 0;
            m_nColumnCount = nFields;
            // The first result set is the statement's; the others are read
            // and thrown away so that the handle can run the next text.
            if (bMultiple && !_bDrainFurtherResults(MySQLSite::kStmtFurtherNext, MySQLSite::kStmtFurtherStore,
                                                    MySQLSite::kStmtFurtherFree))
                bDone = 0;
            return bDone;
        }
        unsigned nErrno = 0;
        if (!bClientCall(MySQLSite::kStmtStoreErrno, m_pclError, m_pclConnection,
                         [&] { nErrno = __mysql_errno(pMySQL); }))
            bDone = 0;
        if (nErrno != 0) {
            (void)_bInitLastError(NA_SRC_DB_STATEMENTSQL, MySQLSite::kRecordStoreError);
            return 0;
        }
        if (bMultiple) {
            // Statements without a result set at the head of the text are
            // passed over: the first real result set is the one kept.
            bool bGuardFailed = false;
            const int nNext = _nNextResult(MySQLSite::kStmtNextAfterNoResult, &bGuardFailed);
            if (bGuardFailed)
                bDone = 0;
            if (nNext == 0)
                continue;
            if (nNext > 0)
                bDone = 0;
        }
        m_nRowCount = 0;
        m_nColumnCount = 0;
        return bDone;
    }
}

int CMySQLStatementSQL::_bGetUseResult()
{
    MYSQL* pMySQL = _pGetMySQL();
    m_pResult = nullptr;
    const bool bCalled = bClientCall(MySQLSite::kStmtUseResult, m_pclError, m_pclConnection,
                                     [&] { m_pResult = __mysql_use_result(pMySQL); });
    m_bParseOpened = 1;
    // The text's further results stay on the handle until the close takes
    // them.
    m_bFurtherResultsPending = CMySQLConnection::bMultipleRecordsetEnabled() ? 1 : 0;
    if (m_pResult != nullptr) {
        m_bUnbufferedPending = 1;
        m_nRowCount = -1;
        unsigned nFields = 0;
        const bool bFields = bClientCall(MySQLSite::kStmtUseNumFields, m_pclError, m_pclConnection,
                                         [&] { nFields = __mysql_num_fields(m_pResult); });
        m_nColumnCount = nFields;
        return bCalled && bFields ? 1 : 0;
    }
    m_nRowCount = 0;
    m_nColumnCount = 0;
    unsigned nErrno = 0;
    if (!bClientCall(MySQLSite::kStmtUseErrno, m_pclError, m_pclConnection, [&] { nErrno = __mysql_errno(pMySQL); }))
        return 0;
    if (nErrno != 0) {
        (void)_bInitLastError(NA_SRC_DB_STATEMENTSQL, MySQLSite::kRecordUseError);
        return 0;
    }
    return bCalled ? 1 : 0;
}

int CMySQLStatementSQL::bFetch(unsigned)
{
    if (m_nRowCount < 1)
        return 1;
    return _bFetch();
}

MYSQL_ROW CMySQLStatementSQL::__pFetchRow()
{
    if (m_pResult == nullptr)
        return nullptr;
    return ClientCallValue<MYSQL_ROW>(MySQLSite::kStmtFetchRow, m_pclError, m_pclConnection,
                                      [&] { return __mysql_fetch_row(m_pResult); });
}

int CMySQLStatementSQL::_bFetch()
{
    m_pRow = nullptr;
    m_pLengths = nullptr;
    bool bRowCalled = true;
    if (m_pResult != nullptr)
        bRowCalled = bClientCall(MySQLSite::kStmtFetchRow, m_pclError, m_pclConnection,
                                 [&] { m_pRow = __mysql_fetch_row(m_pResult); });
    if (m_pRow != nullptr) {
        ++m_nCurrentRow;
        unsigned long* pnLengths = nullptr;
        (void)bClientCall(MySQLSite::kStmtFetchLengths, m_pclError, m_pclConnection,
                          [&] { pnLengths = __mysql_fetch_lengths(m_pResult); });
        if (pnLengths == nullptr) {
            // Values are never read with another row's lengths: without its
            // own the row is no current row.
            m_pRow = nullptr;
            m_bNoCurrentRow = 1;
            return 0;
        }
        m_pLengths = pnLengths;
        m_bNoCurrentRow = 0;
        return 1;
    }
    const int bUnbuffered = m_bUnbufferedPending;
    m_bNoCurrentRow = 1;
    m_bUnbufferedPending = 0;
    if (!bRowCalled)
        return 0;
    // A buffered result ends at its null row. The handle's last error is
    // that of whatever the connection ran since, and may be another
    // statement's failure.
    if (!bUnbuffered)
        return 1;
    unsigned nCode = 0;
    if (_pclMySQLConnection()->bGetLastError(m_pclError, &nCode) && nCode == 0)
        return 1;
    (void)_bInitLastError(NA_SRC_DB_STATEMENTSQL, MySQLSite::kRecordFetchError);
    return 0;
}

int CMySQLStatementSQL::bDataSeek(long nRow)
{
    // Computed in 32 bits and widened with its sign.
    m_nCurrentRow = static_cast<int32_t>(static_cast<uint32_t>(nRow) - 1u);
    m_pRow = nullptr;
    m_pLengths = nullptr;
    if (m_pResult == nullptr)
        return 0;
    const my_ulonglong nTarget = static_cast<my_ulonglong>(m_nCurrentRow + 1);
    return bClientCall(MySQLSite::kStmtDataSeek, m_pclError, m_pclConnection,
                       [&] { __mysql_data_seek(m_pResult, nTarget); })
               ? 1
               : 0;
}

int CMySQLStatementSQL::bGetAffected_rows(unsigned long* pnRows)
{
    m_pResult = nullptr;
    MYSQL* pMySQL = _pGetMySQL();
    if (pMySQL == nullptr)
        return 0;
    my_ulonglong nRows = 0;
    if (!bClientCall(MySQLSite::kStmtAffectedRows, m_pclError, m_pclConnection,
                     [&] { nRows = __mysql_affected_rows(pMySQL); }))
        return 0;
    if (pnRows != nullptr)
        *pnRows = static_cast<unsigned long>(nRows);
    return 1;
}

int CMySQLStatementSQL::_bCloseParse()
{
    int bDone = 1;
    if (m_pResult != nullptr) {
        // The rest of an unbuffered result must be read before the handle
        // can run anything else.
        if (m_bUnbufferedPending) {
            while (__pFetchRow() != nullptr) {
            }
        }
        MYSQL_RES* pResult = m_pResult;
        // Forgotten first: whatever the guard says, a result is never freed
        // twice.
        m_pResult = nullptr;
        if (!bClientCall(MySQLSite::kStmtFreeResult, m_pclError, m_pclConnection,
                         [&] { __mysql_free_result(pResult); }))
            bDone = 0;
        m_pRow = nullptr;
        m_nRowCount = 0;
        m_nColumnCount = 0;
        m_nCurrentRow = -1;
        m_pLengths = nullptr;
    }
    m_bUnbufferedPending = 0;
    if (m_bFurtherResultsPending) {
        m_bFurtherResultsPending = 0;
        if (!_bDrainFurtherResults(MySQLSite::kStmtCloseNext, MySQLSite::kStmtCloseStore, MySQLSite::kStmtCloseFree))
            bDone = 0;
    }
    m_bParseOpened = 0;
    return bDone;
}
