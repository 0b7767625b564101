// Binding the virtual machine's conversion entry points and factory, with
// the stand-in host module and its variants lacking one entry point.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "common/text/vm_binding.h"
#include "tests/host/module/standin_vm_loader.h"

namespace {

const StandinHostModule& Module(const char* path)
{
    // Kept open for the process: the library keeps what it bound.
    static std::map<std::string, std::unique_ptr<StandinHostModule>> modules;
    auto& module = modules[path];
    if (!module)
        module = std::make_unique<StandinHostModule>(path);
    return *module;
}

class VMBinding : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gpfnConvDepExt = nullptr;
        gpfnFinConv = nullptr;
        ghConvVM = nullptr;
        gnVersionConvVM = 0;
        gnVersionCompatConvVM = 0;
        gpiVMFactory = nullptr;
        for (const char* path : {VX_STANDIN_HOST_PATH, VX_STANDIN_VM_NOFIN_PATH, VX_STANDIN_VM_NOPROXY_PATH,
                                 VX_STANDIN_VM_NOMODULO_PATH}) {
            ASSERT_TRUE(Module(path).IsLoaded()) << Module(path).Error();
            StandinVm(Module(path)).Reset();
        }
    }

    static void ExpectUnbound()
    {
        EXPECT_EQ(nullptr, gpfnConvDepExt);
        EXPECT_EQ(nullptr, gpfnFinConv);
        EXPECT_EQ(nullptr, ghConvVM);
        EXPECT_EQ(nullptr, gpiVMFactory);
    }
};

TEST_F(VMBinding, VersionsOutsideTheAcceptedRangeLookNothingUp)
{
    const StandinHostModule& host = Module(VX_STANDIN_HOST_PATH);
    const StandinVm vm(host);
    for (auto [version, compat] : {std::pair{1, 0}, {5, 3}, {2, 3}, {-1, 2}}) {
        EXPECT_EQ(0, bInitZLConvFromVM(host.Handle(), version, compat)) << version << "/" << compat;
        ExpectUnbound();
    }
    EXPECT_EQ(0, vm.Calls(kStandinVmQueryProxy));
    EXPECT_EQ(0, bInitZLConvFromVM(nullptr, 2, 2)) << "no module";
    ExpectUnbound();
}

TEST_F(VMBinding, AFullMachineBindsBothConversionsAndTheFactory)
{
    const StandinHostModule& host = Module(VX_STANDIN_HOST_PATH);
    const StandinVm vm(host);
    for (auto [version, compat] : {std::pair{2, 2}, {7, 0}}) {
        EXPECT_EQ(1, bInitZLConvFromVM(host.Handle(), version, compat));
        EXPECT_EQ(vm.Conversion(), gpfnConvDepExt);
        EXPECT_EQ(vm.Fin(), gpfnFinConv);
        EXPECT_EQ(host.Handle(), ghConvVM);
        EXPECT_EQ(version, gnVersionConvVM);
        EXPECT_EQ(compat, gnVersionCompatConvVM);
        EXPECT_EQ(vm.QueryProxy()(VM_PROXY_FACTORY), static_cast<void*>(gpiVMFactory));
    }
    EXPECT_EQ(2 + 2, vm.Calls(kStandinVmQueryProxy)) << "asked once per binding (and twice here)";
    EXPECT_EQ(0, vm.Calls(kStandinVmConversion));
}

// Without "FinConversion" nothing of the module is bound: a conversion whose
// result cannot be released would leak every text and decimal it made.
TEST_F(VMBinding, AMachineWithoutFinConversionBindsNothing)
{
    const StandinHostModule& nofin = Module(VX_STANDIN_VM_NOFIN_PATH);
    ASSERT_NE(nullptr, StandinVm(nofin).Conversion());
    ASSERT_EQ(nullptr, StandinVm(nofin).Fin());
    EXPECT_EQ(0, bInitZLConvFromVM(nofin.Handle(), 2, 2));
    ExpectUnbound();
    EXPECT_EQ(0, StandinVm(nofin).Calls(kStandinVmQueryProxy));

    // After a good binding, the failed one keeps it whole.
    const StandinHostModule& host = Module(VX_STANDIN_HOST_PATH);
    ASSERT_EQ(1, bInitZLConvFromVM(host.Handle(), 2, 2));
    EXPECT_EQ(0, bInitZLConvFromVM(nofin.Handle(), 3, 1));
    EXPECT_EQ(StandinVm(host).Conversion(), gpfnConvDepExt);
    EXPECT_EQ(StandinVm(host).Fin(), gpfnFinConv);
    EXPECT_EQ(host.Handle(), ghConvVM);
    EXPECT_EQ(2, gnVersionConvVM);
}

// Without "pQueryProxy" the export answers 0, yet the conversions are bound.
TEST_F(VMBinding, AMachineWithoutFactoryStillBindsTheConversions)
{
    const StandinHostModule& noproxy = Module(VX_STANDIN_VM_NOPROXY_PATH);
    const StandinVm vm(noproxy);
    ASSERT_EQ(nullptr, vm.QueryProxy());
    EXPECT_EQ(0, bInitZLConvFromVM(noproxy.Handle(), 2, 2));
    EXPECT_EQ(vm.Conversion(), gpfnConvDepExt);
    EXPECT_EQ(vm.Fin(), gpfnFinConv);
    EXPECT_EQ(noproxy.Handle(), ghConvVM);
    EXPECT_EQ(nullptr, gpiVMFactory);

    // A factory bound before stays.
    const StandinHostModule& host = Module(VX_STANDIN_HOST_PATH);
    ASSERT_EQ(1, bInitZLConvFromVM(host.Handle(), 2, 2));
    IVMFactory* factory = gpiVMFactory;
    EXPECT_EQ(0, bInitZLConvFromVM(noproxy.Handle(), 2, 2));
    EXPECT_EQ(factory, gpiVMFactory);
    EXPECT_EQ(vm.Conversion(), gpfnConvDepExt);
}

// The conversion binding needs none of the calculation entry points.
TEST_F(VMBinding, TheCalculationEntryPointsAreNotItsConcern)
{
    const StandinHostModule& nomodulo = Module(VX_STANDIN_VM_NOMODULO_PATH);
    ASSERT_EQ(nullptr, nomodulo.Symbol("nModuloEx"));
    ASSERT_NE(nullptr, nomodulo.Symbol("nDivisionEx"));
    EXPECT_EQ(1, bInitZLConvFromVM(nomodulo.Handle(), 2, 2));
    EXPECT_EQ(StandinVm(nomodulo).Conversion(), gpfnConvDepExt);
}

// Handing the binding on: a module without the export answers true; the
// driver, which has it, binds the same machine.
TEST_F(VMBinding, HandingTheBindingOnToAnotherModule)
{
    const StandinHostModule& host = Module(VX_STANDIN_HOST_PATH);
    EXPECT_EQ(1, bInitZLConvFromServeur_OBSOLETE(host.Handle()));
    EXPECT_EQ(1, bInitZLConvFromServeur_OBSOLETE(nullptr));

    ASSERT_EQ(1, bInitZLConvFromVM(host.Handle(), 2, 2));
    void* driver = dlopen(VX_DRIVER_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, driver) << dlerror();
    const long before = StandinVm(host).Calls(kStandinVmQueryProxy);
    EXPECT_EQ(1, bInitZLConvFromServeur_OBSOLETE(driver));
    EXPECT_EQ(before + 1, StandinVm(host).Calls(kStandinVmQueryProxy)) << "the driver asked the same machine";
    gnVersionConvVM = 1;
    EXPECT_EQ(0, bInitZLConvFromServeur_OBSOLETE(driver)) << "the driver checks the versions it is handed";
}

}  // namespace
