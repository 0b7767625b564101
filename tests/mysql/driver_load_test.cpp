// The built driver, loaded the way the runtime loads it, started and ended
// through its Execution entry against the stand-in host module.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "common/system/execution_startup_record.h"
#include "common/system/information.h"
#include "tests/host/module/standin_host_loader.h"

namespace {

using DriverExecutionFn = int (*)(unsigned int, void*);

TEST(DriverLoad, StartsThroughTheHostAndEnds)
{
    void* driver = dlopen(VX_DRIVER_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, driver) << dlerror();
    auto execution = reinterpret_cast<DriverExecutionFn>(dlsym(driver, "Execution"));
    ASSERT_NE(nullptr, execution);

    StandinHostModule host(VX_STANDIN_HOST_PATH);
    ASSERT_TRUE(host.IsLoaded()) << host.Error();
    host.Reset();
    // The host's own entry is a different function of the same name.
    ASSERT_NE(reinterpret_cast<void*>(execution), host.Symbol("Execution"));

    stExecutionStartup record{sizeof record, host.Handle(), 1, 0, nullptr};
    ASSERT_EQ(1, execution(3985, &record));
    EXPECT_EQ((std::vector<int>{9, 10, 12, 13, 15, 7, 1, 5, 2, 3, 4, 8, 14}), host.Queries());
    // The driver keeps its own copy of the host services: this process's
    // common library saw nothing.
    EXPECT_EQ(nullptr, CInformationModule::ms_piStrMemAlloc);

    const size_t calls = host.Log().size();
    EXPECT_EQ(1, execution(4875, nullptr));
    EXPECT_EQ(1, execution(4875, nullptr));
    EXPECT_EQ(calls, host.Log().size()) << "ending asks the host nothing";
    EXPECT_EQ(0, execution(4000, nullptr));
}

}  // namespace
