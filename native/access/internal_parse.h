#pragma once

// An SQL text run for the driver's own use, outside any table the host
// opened: a private data access without data source is made on a
// connection, the text runs there as the query "$VXInternal" (sent as
// written, without row cache nor table cache), and the rows are walked
// either value by value into runtime values or whole rows into a text.
//
// Counted through CVXUnknown (atomically); s_pclGetNAInternalParse hands it
// out at count 0 and the caller takes the first reference; the last release
// destroys it, releasing the statement, then the private data access. The
// error object and the connection are named without a reference: both
// outlive it.
#include "common/system/vx_unknown.h"
#include "native/driver/na_forward.h"

class CAny;
class CNARecord;
template <class T>
class CXYStringConcat;

class CNAInternalParse : public CVXUnknown
{
public:
    // The object, its data access made and the text run; null (the reason
    // in the error object) when any of it fails.
    static CNAInternalParse* s_pclGetNAInternalParse(const wchar_t* pszText, CNAError* pclError,
                                                     CNAConnectionDescription* pclConnection);
    // Runs the text and appends its whole result to the text builder, rows
    // and columns separated as given. 1; 0 when the text cannot run or a
    // row cannot be read (what was appended until then stays).
    static int s_bDoInternalParse(const wchar_t* pszText, CNAError* pclError, CNAConnectionDescription* pclConnection,
                                  CXYStringConcat<wchar_t>* pclText, const wchar_t* pszRowSeparator,
                                  const wchar_t* pszColumnSeparator);

    ~CNAInternalParse() override;

    // Runs the statement's query again.
    int bReExecute();
    // Moves to a row; *pbOut tells whether the move left the result. No
    // statement (a text without result): out, and success.
    int bFetch(eNA_PARSEDIRECTION eDirection, int* pbOut);
    // Moves to a row and reads its first nCount values.
    int bFetchData(eNA_PARSEDIRECTION eDirection, int* pbOut, CAny* pclValues, int nCount);
    // Moves to a row and appends it to the text (the row separator first
    // when the text holds something already; a NULL value is nothing
    // between two separators). Nothing is appended when the move fails or
    // leaves the result.
    int bFetchData(eNA_PARSEDIRECTION eDirection, int* pbOut, CXYStringConcat<wchar_t>* pclText,
                   const wchar_t* pszRowSeparator, const wchar_t* pszColumnSeparator);
    // Appends every row. 1 (also for a result without rows); 0 without a
    // statement or when a read fails, its error already recorded.
    int bFetchAll(CXYStringConcat<wchar_t>* pclText, const wchar_t* pszRowSeparator,
                  const wchar_t* pszColumnSeparator);

    // The result's columns: 0 without statement, else those of the data
    // access's current record; a column by index or by name, without
    // reference (null when absent).
    int nGetColumnNbr() const;
    CNAColumn* pclGetColumnNoRef(int nColumn) const;
    CNAColumn* pclGetColumnNoRef(const wchar_t* pszName) const;

    CNADataAccess* pclGetDataAccessNoRef() const { return m_pclDataAccess; }
    CNAStatement* pclGetStatementNoRef() const { return m_pclStatement; }

private:
    CNAInternalParse(CNAError* pclError, CNAConnectionDescription* pclConnection);
    // The private data access made and the text run on it.
    int _bExecute(const wchar_t* pszText);
    // The current record's columns, or null without statement.
    CNARecord* _pclGetRecordNoRef() const;

    CNAError* m_pclError;
    CNAConnectionDescription* m_pclConnection;
    CNADataAccess* m_pclDataAccess = nullptr;
    CNAStatement* m_pclStatement = nullptr;
};

static_assert(sizeof(CNAInternalParse) == sizeof(CVXUnknown) + 4 * sizeof(void*));
