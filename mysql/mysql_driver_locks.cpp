// The host's lock requests on the MySQL driver. Both go through the
// SQL-functions object: the table lock as the connection's lock statement,
// the query lock as the parsed query's text followed by " FOR UPDATE" (the
// native connection cannot lock from the parsed query itself). A host
// connection the driver does not hold sends nothing.
#include "mysql/mysql_driver.h"
#include "mysql/mysql_error_sites.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/driver_sql.h"
#include "native/driver/error_object.h"
#include "native/driver/host_connection_description.h"
#include "native/sql/host_sql_parser_information.h"

int CMySQLDriver::bSQLBloqueTable(INAConnectionDescription* piConnection, const wchar_t* pszTable)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    return _bOnRegistered(piConnection, MySQLSite::kDriverTableLockUnknownConnection,
                          [&](CNAConnectionDescription* pclConnection) {
                              CNADriverSQL* pclSQL = pclGetDriverSQL();
                              return pclSQL != nullptr ? pclSQL->bSQLBloqueTable(m_pclError, pclConnection, pszTable, 0)
                                                       : 0;
                          });
}

int CMySQLDriver::bSQLBloqueRequete(INAConnectionDescription* piConnection, ISQLParserInformation* piQuery)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    return _bOnRegistered(piConnection, MySQLSite::kDriverQueryLockUnknownConnection,
                          [&](CNAConnectionDescription* pclConnection) {
                              CNADriverSQL* pclSQL = pclGetDriverSQL();
                              const wchar_t* pszSQL = piQuery != nullptr ? piQuery->pszGetRequete() : nullptr;
                              return pclSQL != nullptr
                                         ? pclSQL->bSQLBloqueRequete(pclConnection, pszSQL != nullptr ? pszSQL : L"", 0)
                                         : 0;
                          });
}
