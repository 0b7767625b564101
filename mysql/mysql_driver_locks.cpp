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

namespace {

// f(SQL-functions object, connection) on the registered connection of the
// host's description, held for the call; without one, user error 14 at the
// site and 0.
template <class F>
int nLockOnRegistered(CMySQLDriver* pclDriver, INAConnectionDescription* piConnection, const stNAErrorSite& site,
                      F f)
{
    CNAConnectionDescription* pclConnection = pclDriver->_pclFindConnection(piConnection);
    if (pclConnection == nullptr) {
        const wchar_t* pszName = piConnection != nullptr ? piConnection->pszGetConnectionName() : nullptr;
        CNAError::g_RaiseSiteError(pclDriver->pclGetError(), site, nullptr, nullptr, nullptr,
                                   pszName != nullptr ? pszName : L"");
        return 0;
    }
    CNADriverSQL* pclSQL = pclDriver->pclGetDriverSQL();
    const int bDone = pclSQL != nullptr ? f(pclSQL, pclConnection) : 0;
    pclDriver->nReleaseConnection(pclConnection);
    return bDone;
}

}  // namespace

int CMySQLDriver::bSQLBloqueTable(INAConnectionDescription* piConnection, const wchar_t* pszTable)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    return nLockOnRegistered(this, piConnection, MySQLSite::kDriverTableLockUnknownConnection,
                             [&](CNADriverSQL* pclSQL, CNAConnectionDescription* pclConnection) {
                                 return pclSQL->bSQLBloqueTable(m_pclError, pclConnection, pszTable, 0);
                             });
}

int CMySQLDriver::bSQLBloqueRequete(INAConnectionDescription* piConnection, ISQLParserInformation* piQuery)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    return nLockOnRegistered(this, piConnection, MySQLSite::kDriverQueryLockUnknownConnection,
                             [&](CNADriverSQL* pclSQL, CNAConnectionDescription* pclConnection) {
                                 const wchar_t* pszSQL = piQuery != nullptr ? piQuery->pszGetRequete() : nullptr;
                                 return pclSQL->bSQLBloqueRequete(pclConnection, pszSQL != nullptr ? pszSQL : L"", 0);
                             });
}
