#pragma once

// The driver object of the MySQL library: the factory of every MySQL object
// (connections, descriptions, data accesses, statements, the SQL-functions
// object), the table-exists test by SHOW COLUMNS, the host's lock requests
// sent as SQL through the SQL-functions object, and the client version added
// to the error after a crash inside the client library. Everything else is
// the native driver's.
//
// Factories leave the new object with no reference (the caller adds its
// own) and give null when memory runs out.
//
// The lock slots are host entries of their own: they hold the driver-wide
// mutex for the call, release it on every way out, and keep the error
// object as the former call left it until they record an error.
#include "native/driver/driver.h"

class CMySQLDriver : public CNADriver
{
public:
    // Rows one SELECT of a data access asks for when the connection does
    // not say.
    static constexpr int64_t kDefaultCacheSize = 100;

    CMySQLDriver();
    ~CMySQLDriver() override = default;

    int bSQLBloqueTable(INAConnectionDescription* piConnection, const wchar_t* pszTable) override;
    int bSQLBloqueRequete(INAConnectionDescription* piConnection, ISQLParserInformation* piQuery) override;

    CNADataSourceDescription* pclAllocDataSourceDescription(CNAConnectionDescription* pclConnection,
                                                            CNAError* pclError) override;
    CNADataAccess* pclAllocDataAccess(INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection,
                                      CNAError* pclError) override;
    // The statement takes its connection from the data access.
    CNAStatement* pclAllocStatement(CNADataAccess* pclDataAccess, CNAConnectionDescription* pclConnection,
                                    CNAError* pclError) override;
    // Debug message 3355: the oldest client version the driver was made
    // for and the loaded one (empty without a connection).
    void OnFatalErrorAddDebugMessage(CNAError* pclError, CNAConnectionDescription* pclConnection) override;
    CNAConnectionDescription* _pclAllocConnectionDescription(const wchar_t* pszIdentification,
                                                             INAConnectionDescription* piConnection) override;
    CNADriverSQL* _pclAllocDriverSQL(CNAError* pclError) override;
    // SHOW COLUMNS on the quoted name: a table the server does not know
    // (1146) is an answer, not a failure; its error stays recorded until
    // the next host call.
    int _bTableExists(int* pbExists, const wchar_t* pszTable, CNAConnectionDescription* pclConnection) override;

    // The library's module end, run by TermLibrary when no host call is in
    // progress: the client library unloaded, then the native module ended.
    // Always 1.
    static int g_NATermModule();

    // The oldest client library version the driver was written for.
    static constexpr const wchar_t* kOldestClientVersion = L"3.23.52";
};
