// The driver's export that binds the virtual machine, called as the host
// calls it on the loaded driver.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "common/system/execution_startup_record.h"
#include "tests/host/module/standin_vm_loader.h"

namespace {

using DriverExecutionFn = int (*)(unsigned int, void*);
using InitConvFn = int (*)(void*, int, int);

TEST(DriverVMBinding, TheHostBindsItsMachineThroughTheDriversExport)
{
    void* driver = dlopen(VX_DRIVER_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, driver) << dlerror();
    auto execution = reinterpret_cast<DriverExecutionFn>(dlsym(driver, "Execution"));
    auto init = reinterpret_cast<InitConvFn>(dlsym(driver, "bInitZLConvFromVM"));
    ASSERT_NE(nullptr, execution);
    ASSERT_NE(nullptr, init);

    StandinHostModule host(VX_STANDIN_HOST_PATH);
    ASSERT_TRUE(host.IsLoaded()) << host.Error();
    host.Reset();
    const StandinVm vm(host);
    vm.Reset();
    stExecutionStartup record{sizeof record, host.Handle(), 1, 0, nullptr};
    ASSERT_EQ(1, execution(3985, &record));

    EXPECT_EQ(0, init(host.Handle(), 1, 0));
    EXPECT_EQ(0, vm.Calls(kStandinVmQueryProxy));
    EXPECT_EQ(1, init(host.Handle(), 2, 2));
    EXPECT_EQ(1, vm.Calls(kStandinVmQueryProxy));

    StandinHostModule nofin(VX_STANDIN_VM_NOFIN_PATH);
    ASSERT_TRUE(nofin.IsLoaded()) << nofin.Error();
    EXPECT_EQ(0, init(nofin.Handle(), 2, 2));

    EXPECT_EQ(1, execution(4875, nullptr));
}

}  // namespace
