#pragma once

// The object that computes a data access's auto-increment values on the
// client, by asking the server for the largest value in use: the next value
// to give a new row (that largest value plus one) and the current maximum
// (the value an insert just received). Counted through CInterf, plainly,
// under the driver-wide lock; the database driver's factory (the driver's
// slot 53) makes it and the data access holds it with one reference.
//
// Every question builds, runs and closes an internal query of its own: a
// held query lives only during one question. The next value is read, not
// reserved on the server: two writers may be given the same one.
//
// The virtual slots follow CInterf's three in their fixed order.
#include "native/driver/na_forward.h"
#include "native/model/interf.h"

class CAny;
class CNAInternalParse;
template <class T>
class CXYStringConcat;

class CNAIDAuto : public CInterf
{
public:
    CNAIDAuto() = default;
    // Closes both queries.
    ~CNAIDAuto() override;

    // The next value for the column (the largest in use plus one; an empty
    // table gives the 64-bit integer 1) into the value. 1; 0 with the error
    // filled and message 28576 (logical name, column name) in front of it.
    virtual int bGetNextValue(CNADataAccess* pclDataAccess, CNAColumn* pclColumn, CNAError* pclError,
                              CAny* pclValue);                                                   // 3
    // The largest value of the column in use (NULL for an empty table) into
    // the value. 1; 0 with the query's error, or user error 59 when the
    // server answered no row at all.
    virtual int bGetMaxCurrentValue(CNADataAccess* pclDataAccess, CNAColumn* pclColumn, CNAError* pclError,
                                    CAny* pclValue);                                             // 4
    // The SQL texts of the two questions; 1.
    virtual int _bBuildQueryGetNextValue(CXYStringConcat<wchar_t>* pclText, CNADataAccess* pclDataAccess,
                                         CNAColumn* pclColumn);                                  // 5
    virtual int _bBuildQueryGetMaxCurrentValue(CXYStringConcat<wchar_t>* pclText, CNADataAccess* pclDataAccess,
                                               CNAColumn* pclColumn);                            // 6
    // Message 28576 (the data access's logical name, the column's name) in
    // front of the error's user messages.
    virtual void _PrefixMessageErreur(CNAError* pclError, CNADataAccess* pclDataAccess,
                                      CNAColumn* pclColumn);                                     // 7

    // "SELECT MAX(<item>)[+1] FROM <table>": the formatted original name
    // and the data access's table for a table source; for a query source
    // the item's name in its source and its source table, each formatted
    // by the connection. 1; 0 when a name cannot be formatted.
    int _bBuildQueryGetMax(CXYStringConcat<wchar_t>* pclText, CNADataAccess* pclDataAccess, CNAColumn* pclColumn,
                           int bNextValue);
    // Release the query of that question and forget it.
    void _CloseInternalParseNextValue();
    void _CloseInternalParseMaxCurrentValue();

    CNAInternalParse* pclGetNextValueQueryNoRef() const { return m_pclNextValueQuery; }
    CNAInternalParse* pclGetMaxCurrentValueQueryNoRef() const { return m_pclMaxCurrentValueQuery; }

private:
    // The question's held query run again, or its text (the next value's
    // when bNextValue) started as an internal query and held; then the
    // first row's value read. *pbNoRow tells whether there was no row.
    int _bAsk(CNAInternalParse** ppclQuery, int bNextValue, CNADataAccess* pclDataAccess, CNAColumn* pclColumn,
              CNAError* pclError, CAny* pclValue, int* pbNoRow);
    // User error 59 (logical name, column name) at site 14.1.
    static void _RaiseNoRow(CNAError* pclError, CNADataAccess* pclDataAccess, CNAColumn* pclColumn);

    CNAInternalParse* m_pclNextValueQuery = nullptr;
    CNAInternalParse* m_pclMaxCurrentValueQuery = nullptr;
};

static_assert(sizeof(CNAIDAuto) == sizeof(CInterf) + 2 * sizeof(void*));
