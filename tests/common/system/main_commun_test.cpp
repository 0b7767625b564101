// The one-time start and end of the common library around the module object.
#include "common/system/dllres.h"
#include "common/system/information.h"
#include "common/system/main_commun.h"
#include "tests/common/system/module_test_host.h"

namespace {

using vxtest::Address;
using vxtest::Host;
using vxtest::StartUp;

class MainCommun : public vxtest::ModuleTest
{
protected:
    void TearDown() override
    {
        CMainCommun::bTermLibraryCommon();
        ModuleTest::TearDown();
    }
};

TEST_F(MainCommun, EndWithoutStartDoesNothing)
{
    ASSERT_EQ(0u, CMainCommun::gbInitLibraryDone);
    ASSERT_EQ(1, StartUp());
    EXPECT_EQ(1, CMainCommun::bTermLibraryCommon());
    EXPECT_EQ(0u, Host().CountOf(3052));
    EXPECT_NE(nullptr, gpclExecutionDLL32);
}

TEST_F(MainCommun, StartsOnceAndEndsInOrderOnce)
{
    static char first, second;
    EXPECT_EQ(1, CMainCommun::bInitLibraryCommon(&first));
    EXPECT_EQ(1, CMainCommun::bInitLibraryCommon(&second));
    EXPECT_EQ(&first, CMainCommun::ghModule);
    EXPECT_EQ(1u, CMainCommun::gbInitLibraryDone);
    EXPECT_EQ(1u, gbInitialise);

    ASSERT_EQ(1, StartUp());
    Host().WatchOnUnload(0, &CMainCommun::gbInitLibraryDone);
    Host().WatchOnUnload(1, &gbInitialise);
    EXPECT_EQ(1, CMainCommun::bTermLibraryCommon());
    EXPECT_EQ(1u, Host().CountOf(3052));
    EXPECT_EQ(0, Host().UnloadWatch(0)) << "the start mark is cleared before the host is told";
    EXPECT_EQ(1, Host().UnloadWatch(1)) << "the resource strings end after the host is told";
    EXPECT_EQ(0u, gbInitialise);
    EXPECT_EQ(0u, CMainCommun::gbInitLibraryDone);
    EXPECT_EQ(nullptr, gpclExecutionDLL32);
    // The fetched services outlive the end.
    EXPECT_EQ(Host().Answer(13), Address(CInformationModule::ms_piStrMemAlloc));

    // A second end does nothing, even with a module object to unload.
    ASSERT_EQ(1, StartUp());
    EXPECT_EQ(1, CMainCommun::bTermLibraryCommon());
    EXPECT_EQ(1u, Host().CountOf(3052));
    EXPECT_NE(nullptr, gpclExecutionDLL32);

    // After an end, the next start is a first start again.
    EXPECT_EQ(1, CMainCommun::bInitLibraryCommon(&second));
    EXPECT_EQ(&second, CMainCommun::ghModule);
    EXPECT_EQ(1u, gbInitialise);
}

TEST_F(MainCommun, EndAfterTheHostEndedTheModuleTellsTheHostNothing)
{
    ASSERT_EQ(1, CMainCommun::bInitLibraryCommon(nullptr));
    ASSERT_EQ(1, StartUp());
    ASSERT_EQ(1, Execution(4875, nullptr));
    EXPECT_EQ(1, CMainCommun::bTermLibraryCommon());
    EXPECT_EQ(0u, Host().CountOf(3052));
    EXPECT_EQ(0u, gbInitialise);
}

}  // namespace
