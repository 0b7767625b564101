// The built driver's database entry points, called as the host calls them
// on the loaded module: start-up, the handshake, bInitLibrary twice, the
// MySQL driver the module registers itself, handed out and released, and
// the end.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "tests/host/db/standin_driver_caller.h"
#include "tests/host/module/standin_host_loader.h"

namespace {

TEST(DriverEntryPoints, TheHostDrivesTheLoadedModule)
{
    void* module = dlopen(VX_DRIVER_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, module) << dlerror();
    const StandinDriverEntryPoints entries = StandinDriverEntryPoints::FromModule(module);
    ASSERT_TRUE(entries.bComplete());
    ASSERT_NE(nullptr, entries.pfnExecution);

    StandinHostModule host(VX_STANDIN_HOST_PATH);
    ASSERT_TRUE(host.IsLoaded()) << host.Error();
    host.Reset();
    StandinDriverCaller caller(entries);
    ASSERT_EQ(1, caller.nStartModule(host.Handle()));
    EXPECT_EQ(1, caller.bInitLibrary(module));
    EXPECT_EQ(1, caller.bInitLibrary(module));

    const StandinDriverCaller::Handshake accepted = caller.stHandshake();
    EXPECT_EQ(1, accepted.bEngine);
    EXPECT_EQ(32u, accepted.nEngineVersion);
    EXPECT_EQ(1, accepted.bSQL);
    EXPECT_EQ(32u, accepted.nSQLVersion);
    const StandinDriverCaller::Handshake refused = caller.stHandshake(31);
    EXPECT_EQ(0, refused.bEngine);
    EXPECT_EQ(32u, refused.nEngineVersion);
    EXPECT_EQ(0, refused.bSQL);
    EXPECT_EQ(32u, refused.nSQLVersion);

    // Each call makes a new driver; the last release destroys it.
    for (int i = 0; i < 2; ++i) {
        EXPECT_NE(nullptr, caller.piOpenDriver());
        EXPECT_EQ(0u, caller.nReleaseDriver());
    }

    // The end tells the host the module is gone, once.
    EXPECT_EQ(0u, host.CountOf(3052));
    caller.TermLibrary();
    EXPECT_EQ(1u, host.CountOf(3052));
    caller.TermLibrary();
    EXPECT_EQ(1u, host.CountOf(3052));
}

}  // namespace
