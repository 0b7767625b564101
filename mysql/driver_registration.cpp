// The MySQL driver registered with the factory hook when the plug-in is
// loaded: piQueryInterface makes a CMySQLDriver, and TermLibrary runs its
// module end. Only the plug-in holds this file; test executables register
// the driver they want themselves.
#include <new>

#include "mysql/mysql_driver.h"

namespace {

CNADriver* NewMySQLDriver()
{
    return new (std::nothrow) CMySQLDriver;
}

const bool kRegistered = (CNADriver::g_SetFactory({&NewMySQLDriver, &CMySQLDriver::g_NATermModule}), true);

}  // namespace
