#pragma once

#include <cstdint>

#include "common/text/xy_string_concat.h"
#include "native/driver/na_forward.h"
#include "native/model/interf.h"
#include "native/model/item_type.h"

class CNAColumnSQL;

// The execution of one SQL statement on a connection: it runs the text,
// keeps the description of the result's columns and the current row, and
// hands column values to the layers above. The database driver's subclass
// fills the client-dependent operations; here they fail (answer 0).
//
// Counted through CInterf, plainly, under the driver-wide lock, and deleted
// when the last reference goes; the SQL-functions object keeps the
// statements the host addresses by handle in a table that holds one
// reference on each. A statement holds a reference on its connection, which
// it hands back through the driver (the last user closes it), and on its
// error object, into which every failure goes.
//
// Each statement made in the process gets the next number of
// m_gnStmtGenerator (the first is 1); numbers are never reused.
//
// Result columns are m_nColumnCount descriptions in m_tabColumns, one array
// made with new[] (null until the result is described); column numbers
// count from 0.
//
// Texts with parameters are completed on the client: each placeholder of the
// host's table (start and length in characters of the text) is replaced by
// the value's SQL literal, which the connection writes. A placeholder that
// does not lie inside the text stops the execution before anything is sent.
// Values are read through one conversion value of the statement, made on
// the first read and held until the statement goes.
class CNAStatementSQL : public CInterf
{
public:
    CNAStatementSQL(CNAConnectionDescription* pclConnection, CNAError* pclError);

    // Slots 0-1; slot 2 is CInterf's _NotToBeCalled.
    ~CNAStatementSQL() override;
    virtual int bPrepareSQL(CTStringConcatAW* pclQuery);                                              // 3
    virtual int bExecutePreparedQuery(unsigned nFlags);                                               // 4
    virtual int bExecuteDirect(const wchar_t* pszSQL, CTabValParser* pstValues, unsigned nFlags);     // 5
    virtual int bGetAffected_rows(unsigned long* pnRows);                                             // 6
    virtual int bFetch(unsigned nFlags);                                                              // 7
    virtual int bDataSeek(long nRow);                                                                 // 8
    virtual int bGetValue(CNAConvertVariant* pclValue, unsigned nColumn, unsigned nFlags);            // 9
    virtual int bGetValue(CAny* pclValue, unsigned nColumn, unsigned nFlags);                         // 10
    virtual int bGetBLOBValue(CAny* pclValue, unsigned nColumn, unsigned nFlags);                     // 11
    // Back to no result: the columns dropped, no row, no count. 1.
    virtual int bReset();                                                                             // 12
    virtual int _bCloseParse();                                                                       // 13
    virtual int _bInitTabNAColumn();                                                                  // 14
    virtual int _bInitLastError(unsigned nFile, unsigned nSite);                                      // 15
    virtual void _InitExecuteError(unsigned nFile, unsigned nSite, const wchar_t* pszSQL, long nLength,
                                   unsigned nFlags);                                                  // 16
    virtual int _bAddParameter(CTStringConcatAW* pclQuery, unsigned nIndex, const CAny* pclValue);    // 17
    virtual int _bExecuteDirect(CTStringConcatAW* pclQuery, CTabValParser* pstValues, unsigned nFlags);  // 18
    virtual int _bExecuteDirect(const wchar_t* pszSQL, CTabValParser* pstValues, unsigned nFlags);    // 19
    virtual int _bExecuteDirect(const char* pszSQL, CTabValParser* pstValues, unsigned nFlags);       // 20

    // The number of result columns. 1.
    int bGetColumnNbr(int* pnColumns, unsigned nFlags) const;
    // Resets, then runs an 8-bit text of the connection's code page as it
    // is (the path of a statement whose command is already formatted).
    int bExecuteDirect(const char* pszSQL, unsigned nFlags);
    // The item type of column n; 0 (NA_IT_EMPTY) when it cannot be had.
    eNA_ITEMTYPE _eGetColumnType(unsigned nColumn);
    // The statement's conversion value, made by the driver on first use;
    // null when the driver gives none.
    CNAConvertVariant* _pclGetVariant();
    // Parameter nIndex of the table: the placeholder's start and length,
    // and its value (the named file's content for a file parameter, as
    // binary or, with the text flag, as 8-bit text). 0 with the error when
    // the file cannot be read.
    int _bGetParameter(CAny* pclValue, int* pnStart, int* pnLength, CTabValParser* pstValues, int nIndex);
    // Two debug lines on the most recent error: the connection's database,
    // default database and user (message 28588), then the query as it is,
    // cut to its first 5000 characters. The 8-bit text is in the
    // connection's code page, its length in bytes.
    void _DumpQueryInError(CTStringConcatAW* pclQuery, unsigned nFlags);
    void _DumpQueryInError(const char* pszSQL, long nLength, unsigned nFlags);
    void _DumpQueryInError(const wchar_t* pszSQL, long nLength, unsigned nFlags);
    // The error object, without a reference. 1.
    int bGetStmtLastError(INAError** ppiError) const;
    // Resets the error object.
    void ResetLastError();
    // Whether a fetched row is current (the end flag clear).
    int bHasCurrentRow() const { return m_bNoCurrentRow == 0; }
    // The result's row count, the current row (-1 before the first), the
    // end-of-result flag and the longest row seen.
    int64_t llGetRowCount() const { return m_nRowCount; }
    int64_t llGetCurrentRow() const { return m_nCurrentRow; }
    int bNoCurrentRow() const { return m_bNoCurrentRow != 0; }
    uint64_t nGetTotalMaxLength() const { return m_nTotalMaxLength; }

    // --- Results as text (statement_sql_text.cpp).
    // The name of column n, or null when the column cannot be had.
    const wchar_t* _pszGetColumnName(unsigned nColumn);
    // The name of column n as a wide text of its own (110). 0 when the
    // column cannot be had (user error 50 or 51).
    int bGetColumnName(CAny* pclName, unsigned nColumn, unsigned nFlags);
    // The column names, in order, separated by "\r\n" (a runtime string);
    // without columns 1 and the value as it was.
    int bGetColumnList(CAny* pclList, unsigned nFlags);
    // The current row's values as text, each followed by the separator but
    // the last; NULL and empty values add nothing. At most nColumns columns
    // when above 0. Without a current row, user error 7 and 0. The builder
    // is emptied first; the CAny form sets its value (110) also after a
    // failure.
    int bGetRow(CXYStringConcat<wchar_t>* pclRow, const wchar_t* pszSeparator, int nColumns, unsigned nFlags);
    int bGetRow(CAny* pclRow, const wchar_t* pszSeparator, int nColumns, unsigned nFlags);
    // Runs the text and puts the column's value of its first row into the
    // value (untouched when no row comes); the statement is reset in every
    // case. The result of the last step run.
    int bGetRequestedValue(CAny* pclValue, int nColumn, const wchar_t* pszSQL);
    // Column n of the result, described first when needed; null with user
    // error 50 (n past the columns) or 51 (n negative).
    CNAColumnSQL* pclGetNAColumnSQL(int nColumn);
    uint32_t nGetStatementID() const { return m_nStatementID; }
    CNAError* pclGetErrorNoRef() const { return m_pclError; }
    CNAConnectionDescription* pclGetConnectionNoRef() const { return m_pclConnection; }

    static uint32_t m_gnStmtGenerator;

protected:
    // Column n into the value through the conversion value retyped to
    // nType; 0 without a conversion value.
    int _bGetValueAs(CAny* pclValue, unsigned short nType, unsigned nColumn, unsigned nFlags);
    // The result's column descriptions destroyed, last to first, and the
    // spare ones too.
    void _FreeColumns();
    // The result's column descriptions set aside for the next result: a
    // statement run again and again mostly gets the same columns back.
    void _SpareColumns();
    // An array of n descriptions for a new result (none kept in m_tabColumns):
    // the spare one when it has n, else a new one (null without memory).
    // *pbReused tells which: a reused description holds what the last result
    // wrote into it, and every field must be written again or compared.
    CNAColumnSQL* _pclMakeColumns(uint32_t nColumns, bool* pbReused);

    CNAError* m_pclError;
    CNAConnectionDescription* m_pclConnection;
    uint32_t m_bParseOpened = 0;
    int64_t m_nRowCount = 0;
    int64_t m_nCurrentRow = -1;
    uint32_t m_nColumnCount = 0;
    CNAColumnSQL* m_tabColumns = nullptr;
    uint32_t m_bNoCurrentRow = 1;
    uint64_t m_nTotalMaxLength = 0;
    uint32_t m_nStatementID;
    CNAConvertVariant* m_pclVariant = nullptr;
    // The descriptions of an earlier result and their number.
    CNAColumnSQL* m_tabSpareColumns = nullptr;
    uint32_t m_nSpareColumns = 0;
    // The number of descriptions in m_tabColumns.
    uint32_t m_nColumnsMade = 0;
};
