// The unload of Debian's client library at the MySQL driver's module end,
// under LeakSanitizer: the library's one-time initialisation (made by its
// first mysql_init) is ended before the library is closed, so nothing is
// left that the leak check at exit could report, and no pointer is left
// into the closed library.
#include <gtest/gtest.h>

#include "mysql/client_api.h"
#include "mysql/client_call_guard.h"
#include "tests/mysql/client_test_support.h"
#include "tests/mysql/mysql_driver_with_seams.h"

namespace {

TEST(ClientLibraryUnload, TermLibraryEndsAndClosesTheLibrary)
{
    StartTestDriverModule();
    CMySQLDriverRegistration registration;

    CNAError error;
    ASSERT_EQ(1, CNAFunctionLoader::g_bLoadClientLibrary(&error, nullptr, nullptr));
    MYSQL* pHandle = ClientCallValue<MYSQL*>({NA_SRC_DB_CONNECTION, 6}, &error, nullptr,
                                             [] { return __mysql_init(nullptr); });
    ASSERT_NE(nullptr, pHandle);
    ASSERT_TRUE(bClientCall({NA_SRC_DB_CONNECTION, 8}, &error, nullptr, [&] { __mysql_close(pHandle); }));

    TermLibrary();
    EXPECT_EQ(1, CMySQLDriverRegistration::s_nTermModuleCalls);
    EXPECT_EQ(0, CNAFunctionLoader::g_bLoaded());
    EXPECT_EQ(nullptr, CNAFunctionLoader::g_pclNAFunctionLoader);
    for (const stMySQLClientFunction& function : gastMySQLClientFunctions)
        EXPECT_TRUE(function.pfnIsStub()) << function.pszName;
    EXPECT_EQ(0u, error.dwGetErrorId());
}

}  // namespace
