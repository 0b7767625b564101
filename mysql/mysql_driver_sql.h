#pragma once

// The MySQL form of the driver's SQL-functions object: it makes MySQL
// execution statements, answers the column types with a fixed list, lists
// columns with SHOW COLUMNS, and lists databases and tables with SHOW
// statements on servers before 5 (tables also when the catalogue query of
// a later server fails).
//
// The type list needs no connection: it takes no lock and leaves the error
// object as it is, since the host may ask for it at any time.
#include "native/driver/driver_sql.h"

class CMySQLDriverSQL : public CNADriverSQL
{
public:
    CMySQLDriverSQL(CNADriver* pclDriver, CNAError* pclError) : CNADriverSQL(pclDriver, pclError) {}

    int bGetColumnTypeList(CAny* pclList, int nConnection, unsigned nFlags) override;

    using CNADriverSQL::bGetColumnList;
    using CNADriverSQL::bGetTableList;
    int bGetTableList(CAny* pclList, CNAConnectionDescription* pclConnection, const wchar_t* pszExtra,
                      unsigned nFlags) override;
    int bGetColumnList(CAny* pclList, CNAConnectionDescription* pclConnection, const wchar_t* pszTable,
                       unsigned nFlags) override;
    CNAStatementSQL* pclAllocStatementSQL(CNAConnectionDescription* pclConnection, CNAError* pclError) override;
    int _bGetDatabaseListQuery(CTStringConcatAW* pclQuery, CNAConnectionDescription* pclConnection,
                               unsigned nFlags) override;
    int _bGetDatabaseTableListQuery(CTStringConcatAW* pclQuery, const wchar_t* pszDatabase,
                                    CNAConnectionDescription* pclConnection, unsigned nFlags) override;

    // The text of the column-type list: a type name, a tab and the type's
    // code in the host's list of SQL column types, lines joined by CR LF.
    static const wchar_t* const s_pszColumnTypeList;

private:
    // SHOW TABLES, its detailed lines and its sort.
    int _bShowTables(CAny* pclList, CNAConnectionDescription* pclConnection, const wchar_t* pszExtra,
                     unsigned nFlags);
};
