// The MySQL driver's life through the exports, as the plug-in registers it:
// piQueryInterface makes a CMySQLDriver whose factories make the MySQL
// classes, the last external release destroys it, and TermLibrary runs its
// module end, which unloads the client library (checked for leaks at exit).
#include <gtest/gtest.h>

#include <new>

#include "mysql/client_api.h"
#include "mysql/function_loader.h"
#include "mysql/mysql_connection.h"
#include "mysql/mysql_driver.h"
#include "mysql/mysql_driver_sql.h"
#include "native/driver/driver_exports.h"
#include "native/driver/error_object.h"
#include "tests/support/driver_module.h"
#include "tests/host/db/standin_connection_description.h"

namespace {

CNADriver* NewMySQLDriver()
{
    return new (std::nothrow) CMySQLDriver;
}

TEST(MySQLDriverLifeCycle, MadeReleasedAndEndedThroughTheExports)
{
    StartTestDriverModule();
    CNADriver::g_SetFactory({&NewMySQLDriver, &CMySQLDriver::g_NATermModule});

    INADriver* piDriver = piQueryInterface(0);
    auto* pclDriver = dynamic_cast<CMySQLDriver*>(static_cast<CNADriver*>(piDriver));
    ASSERT_NE(nullptr, pclDriver);
    StandinConnectionDescription host;
    CNAConnectionDescription* pclConnection = pclDriver->_pclAllocConnectionDescription(L"id", &host);
    EXPECT_NE(nullptr, dynamic_cast<CMySQLConnection*>(pclConnection));
    ++pclConnection->m_dwRefCount;
    pclConnection->nRelease();
    EXPECT_NE(nullptr, dynamic_cast<CMySQLDriverSQL*>(pclDriver->pclGetDriverSQL()));

    CNAError error;
    ASSERT_EQ(1, CNAFunctionLoader::g_bLoadClientLibrary(&error, nullptr, nullptr));
    EXPECT_EQ(0u, piDriver->nExternalRelease()) << "the last release destroys the driver";

    TermLibrary();
    EXPECT_EQ(0, CNAFunctionLoader::g_bLoaded());
    EXPECT_EQ(nullptr, CNAFunctionLoader::g_pclNAFunctionLoader);
    EXPECT_FALSE(CNADriver::g_bModuleStarted());
}

}  // namespace
