#pragma once

// The MySQL execution statement: the client-dependent steps of the native
// execution statement over the client library. It sends a text with
// mysql_real_query, takes the first result set of the text buffered
// (mysql_store_result, the normal case) or unbuffered (mysql_use_result,
// while rows are counted), fetches rows with their lengths, positions a
// buffered result, gives the affected-row count, closes the result, and
// records execution errors, with a diagnosis of a query larger than the
// server accepts. It describes the result's columns from the client's field
// records (mysql_statement_sql_columns.cpp) and hands each value to a
// conversion value in the form that value reads
// (mysql_statement_sql_values.cpp).
//
// Invariants a reader must keep:
// - Every client call goes through the guard with this statement's source
//   number (100) and the site of the call; the library does not take a null
//   result, so the result pointer is tested before each call that takes one.
// - One client handle serves every statement of the connection: before the
//   connection runs anything else, an unbuffered result is read to its end
//   and every further result of the text is taken and freed (the close does
//   both). A buffered execution takes and frees the further results itself.
// - m_pLengths belongs to the row in m_pRow: both are cleared together, and
//   a row whose lengths could not be had is no current row.
// - The end of a buffered result is the null row itself; the handle's last
//   error, which every statement of the connection shares, is asked only
//   for an unbuffered result, where it still belongs to this statement.
// - Each execution runs on a reset statement (the native layer resets
//   first), so a statement never holds two results.
#include <cstdint>

#include "mysql/client_api.h"
#include "native/access/statement_sql.h"

class CMySQLConnection;

class CMySQLStatementSQL : public CNAStatementSQL
{
public:
    CMySQLStatementSQL(CNAConnectionDescription* pclConnection, CNAError* pclError);
    // Closes an opened parse first.
    ~CMySQLStatementSQL() override;

    // The native slots MySQL replaces, in slot order.
    // The statement's row count when it has no result set; the held result
    // pointer is dropped without being freed: call it only when no result
    // set is held.
    int bGetAffected_rows(unsigned long* pnRows) override;
    // 1 without fetching while fewer than one row is known (an empty or an
    // unbuffered result); otherwise the next row (_bFetch).
    int bFetch(unsigned nFlags) override;
    // The next fetch gives row nRow (counted from 0) of a buffered result.
    int bDataSeek(long nRow) override;
    int bGetValue(CNAConvertVariant* pclValue, unsigned nColumn, unsigned nFlags) override;
    using CNAStatementSQL::bGetValue;
    int _bCloseParse() override;
    int _bInitTabNAColumn() override;
    void _InitExecuteError(unsigned nFile, unsigned nSite, const wchar_t* pszSQL, long nLength,
                           unsigned nFlags) override;
    int _bExecuteDirect(const char* pszSQL, CTabValParser* pstValues, unsigned nFlags) override;
    using CNAStatementSQL::_bExecuteDirect;

    // The value of a column of the current row as the client holds it: its
    // bytes and their count cut to 32 bits. 0 without a current row.
    int bGetValue(unsigned char** ppbyValue, unsigned* pnLength, unsigned nColumn) const;

    // A temporal value's text (TIMESTAMP, DATE, TIME, DATETIME) as the date
    // converter reads it by length, into acOut (room for 32 characters): its
    // length, or -1 to pass the text as it came. A fraction becomes exactly
    // three digits, cut or padded with zeros (23 characters for a date and
    // time, 12 for a time), separators kept; the dashes go only from a plain
    // date (10 characters) or date and time (19) of DATE and DATETIME; a
    // text of dashes alone is empty.
    static long s_nPrepareTemporalText(uint32_t nNativeType, const char* pszText, long nLength, char* acOut);

    // Rows and results.
    // The next row of the result (null at its end, without a result, and
    // after a guard failure); the only reader of unbuffered rows.
    MYSQL_ROW __pFetchRow();
    // The next row with its lengths (Algorithms of the fetch); 1 at the end
    // of data.
    int _bFetch();
    int _bGetStoreResult();
    int _bGetUseResult();

    // 1 (the default): results are taken buffered; 0: unbuffered, for a
    // count that reads its rows with __pFetchRow and then closes.
    void SetStoreResult(int bStore) { m_bStoreResult = bStore ? 1 : 0; }
    int bGetStoreResult() const { return m_bStoreResult; }
    int bUnbufferedPending() const { return m_bUnbufferedPending; }
    // A reader of an unbuffered result through __pFetchRow says it has read
    // the last row, so that the close does not read on.
    void EndUnbufferedRows() { m_bUnbufferedPending = 0; }
    int64_t nGetRowCount() const { return m_nRowCount; }
    int64_t nGetCurrentRow() const { return m_nCurrentRow; }
    int bParseOpened() const { return m_bParseOpened; }

protected:
    CMySQLConnection* _pclMySQLConnection() const;
    MYSQL* _pGetMySQL() const;
    // Whether another result of the text follows, by mysql_next_result
    // (asked through mysql_more_results first where the library has it: a
    // mysql_next_result without a further result clears the count of rows
    // the last statement changed). 0 a further result, -1 none, above 0 the
    // error of a later statement, which is then recorded at nSite. -1 after
    // a guard failure, with *pbGuardFailed set.
    int _nNextResult(int nSite, bool* pbGuardFailed);
    // Takes and frees every further result of the text (sites: next result,
    // store, free); 0 with the error of a later statement.
    int _bDrainFurtherResults(int nNextSite, int nStoreSite, int nFreeSite);
    // The packet-size diagnosis of a query the server dropped (2006), of
    // nLength bytes or characters, whichever is more.
    void _DiagnosePacketSize(const wchar_t* pszSQL, int64_t nLength);

    MYSQL_RES* m_pResult = nullptr;
    MYSQL_ROW m_pRow = nullptr;
    int32_t m_bUnbufferedPending = 0;
    unsigned long* m_pLengths = nullptr;
    int32_t m_bStoreResult = 1;
    // An unbuffered execution leaves the text's further results on the
    // handle: the close takes them.
    int32_t m_bFurtherResultsPending = 0;
    // The bytes of the text whose failure is being recorded: a text with
    // binary values converts to fewer characters than it sent.
    int64_t m_nSentBytes = 0;
};
