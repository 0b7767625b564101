#include "mysql/mysql_driver.h"

#include <new>

#include "common/text/ct_string.h"
#include "mysql/function_loader.h"
#include "mysql/mysql_connection.h"
#include "mysql/mysql_data_access.h"
#include "mysql/mysql_data_source_description.h"
#include "mysql/mysql_driver_sql.h"
#include "mysql/mysql_statement.h"
#include "native/access/statement_sql.h"
#include "native/driver/driver_sql.h"
#include "native/driver/error_object.h"

namespace {

constexpr unsigned kNoSuchTable = 1146;
constexpr unsigned kClientVersionMessage = 3355;

}  // namespace

CMySQLDriver::CMySQLDriver()
{
    m_llDefaultCacheSize = kDefaultCacheSize;
}

CNADataSourceDescription* CMySQLDriver::pclAllocDataSourceDescription(CNAConnectionDescription* pclConnection,
                                                                      CNAError* pclError)
{
    return new (std::nothrow) CMySQLDataSourceDescription(pclConnection, pclError);
}

CNADataAccess* CMySQLDriver::pclAllocDataAccess(INADataSourceDescription* piSource,
                                                CNAConnectionDescription* pclConnection, CNAError* pclError)
{
    return new (std::nothrow) CMySQLDataAccess(piSource, pclConnection, pclError);
}

CNAStatement* CMySQLDriver::pclAllocStatement(CNADataAccess* pclDataAccess, CNAConnectionDescription*,
                                              CNAError* pclError)
{
    return new (std::nothrow) CMySQLStatement(pclDataAccess, pclError);
}

CNAConnectionDescription* CMySQLDriver::_pclAllocConnectionDescription(const wchar_t* pszIdentification,
                                                                       INAConnectionDescription* piConnection)
{
    return new (std::nothrow) CMySQLConnection(pszIdentification, piConnection);
}

CNADriverSQL* CMySQLDriver::_pclAllocDriverSQL(CNAError* pclError)
{
    return new (std::nothrow) CMySQLDriverSQL(this, pclError);
}

void CMySQLDriver::OnFatalErrorAddDebugMessage(CNAError* pclError, CNAConnectionDescription* pclConnection)
{
    if (pclError == nullptr)
        return;
    const wchar_t* pszLoaded = L"";
    if (pclConnection != nullptr && CNAConnectionDescription::m_csClientVersion.pszGet() != nullptr)
        pszLoaded = CNAConnectionDescription::m_csClientVersion.pszGet();
    pclError->AddDebugMessage(kClientVersionMessage, kOldestClientVersion, pszLoaded);
}

int CMySQLDriver::_bTableExists(int* pbExists, const wchar_t* pszTable, CNAConnectionDescription* pclConnection)
{
    CNADriverSQL* pclSQL = pclGetDriverSQL();
    CTString csName;
    if (pclSQL == nullptr ||
        !pclConnection->bFormatTableName(m_pclError, pszTable != nullptr ? pszTable : L"", &csName))
        return 0;
    CTString csQuery(L"SHOW COLUMNS FROM ");
    csQuery.Add(csName.pszGet());
    CNAStatementSQL* pclResult = nullptr;
    const int bDone = pclSQL->bExecute(m_pclError, &pclResult, pclConnection, csQuery.pszGet(), nullptr, 0);
    if (pclResult != nullptr)
        pclResult->nRelease();
    *pbExists = bDone ? 1 : 0;
    return bDone || m_pclError->dwGetDataBaseErrorCode() == kNoSuchTable ? 1 : 0;
}

int CMySQLDriver::g_NATermModule()
{
    CMySQLConnection::g_TermNativeLibrary();
    CNAFunctionLoader::g_Term();
    CNADriver::g_NATermModule();
    return 1;
}
