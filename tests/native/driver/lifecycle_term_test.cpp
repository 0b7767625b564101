// The module end in-process: TermLibrary runs the registered module end
// once, which ends the common library; a second TermLibrary does nothing,
// and no driver is handed out afterwards.
#include <gtest/gtest.h>

#include "common/system/main_commun.h"
#include "tests/fakes/test_driver.h"
#include "tests/host/support/test_environment.h"

namespace {

TEST(LifecycleTerm, TermLibraryEndsTheModuleOnce)
{
    EXPECT_FALSE(CNADriver::g_bModuleStarted());
    StartTestDriverModule();
    ASSERT_TRUE(CNADriver::g_bModuleStarted());
    ASSERT_EQ(1u, CMainCommun::gbInitLibraryDone);
    CTestDriverRegistration registration;
    INADriver* driver = piQueryInterface(0);
    ASSERT_NE(nullptr, driver);
    EXPECT_EQ(0u, driver->nExternalRelease());

    TermLibrary();
    EXPECT_EQ(1, CTestDriverRegistration::s_nTermModuleCalls);
    EXPECT_EQ(0u, CMainCommun::gbInitLibraryDone) << "the common library is ended";
    TermLibrary();
    EXPECT_EQ(1, CTestDriverRegistration::s_nTermModuleCalls);
    EXPECT_EQ(0u, CMainCommun::gbInitLibraryDone);
    EXPECT_FALSE(CNADriver::g_bModuleStarted());
    EXPECT_EQ(nullptr, piQueryInterface(0)) << "no driver without the module";
    EXPECT_EQ(0, CTestDriver::s_nLive);
}

}  // namespace
