// Binding the virtual machine's 30 calculation entry points, and what the
// operations do while an entry point is not bound.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "common/text/any_calcul.h"
#include "common/text/vm_calc_binding.h"
#include "tests/host/module/standin_vm_loader.h"
#include "tests/host/support/test_environment.h"

namespace {

PFN_TestEx* const kTests[] = {
    &gpfnComparaisonEx,       &gpfnEgaliteEx,        &gpfnSuperieurEx,          &gpfnInferieurEx,
    &gpfnPresqueEgalEx,       &gpfnSoupleEgalEx,     &gpfnCommenceParEx,        &gpfnCommenceParSoupleEx,
    &gpfnCommenceParTresSoupleEx, &gpfnContientEx,   &gpfnContientSoupleEx,     &gpfnContientTresSoupleEx,
    &gpfnTermineParEx,        &gpfnTermineParSoupleEx, &gpfnTermineParTresSoupleEx, &gpfnETLogiqueEx,
    &gpfnOULogiqueEx};
PFN_GetTypeResultatEx* const kTypes[] = {&gpfnGetTypeAjouteEx, &gpfnGetTypeSoustraitEx, &gpfnGetTypeMultiplieEx,
                                         &gpfnGetTypeDiviseEx, &gpfnGetTypeModuloEx};
PFN_ArithmetiqueEx* const kArithmetic[] = {&gpfnAdditionEx, &gpfnSoustractionEx, &gpfnMultiplicationEx,
                                           &gpfnDivisionEx, &gpfnModuloEx};

void Unbind()
{
    gpfnCompareEx = nullptr;
    gpfnNONLogiqueEx = nullptr;
    gpfnNegationEx = nullptr;
    for (auto* p : kTests)
        *p = nullptr;
    for (auto* p : kArithmetic)
        *p = nullptr;
    for (auto* p : kTypes)
        *p = nullptr;
    ghCalcVM = nullptr;
    gnVersionCalcVM = 0;
}

class VMCalcBinding : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_host = new StandinHostModule(VX_STANDIN_HOST_PATH);
        s_nomodulo = new StandinHostModule(VX_STANDIN_VM_NOMODULO_PATH);
        ASSERT_TRUE(s_host->IsLoaded() && s_nomodulo->IsLoaded());
    }
    void SetUp() override
    {
        Unbind();
        StandinVm(*s_host).Reset();
        StandinVm(*s_nomodulo).Reset();
    }

    static StandinHostModule* s_host;
    static StandinHostModule* s_nomodulo;
};

StandinHostModule* VMCalcBinding::s_host = nullptr;
StandinHostModule* VMCalcBinding::s_nomodulo = nullptr;

TEST_F(VMCalcBinding, VersionsAndAFullMachine)
{
    for (auto [version, compat] : {std::pair{1, 0}, {5, 3}}) {
        EXPECT_EQ(0, bInitZLCalcFromVM(s_host->Handle(), version, compat));
        EXPECT_EQ(nullptr, gpfnCompareEx);
    }
    EXPECT_EQ(1, bInitZLCalcFromVM(s_host->Handle(), 2, 2));
    EXPECT_EQ(s_host->Symbol("bCanCompareEx"), reinterpret_cast<void*>(gpfnCompareEx));
    EXPECT_EQ(s_host->Symbol("nEgaliteEx"), reinterpret_cast<void*>(gpfnEgaliteEx));
    EXPECT_EQ(s_host->Symbol("nModuloEx"), reinterpret_cast<void*>(gpfnModuloEx));
    EXPECT_EQ(s_host->Handle(), ghCalcVM);
    EXPECT_EQ(2, gnVersionCalcVM);
    EXPECT_EQ(2, gnVersionCompatCalcVM);
    // The six result-type entry points are bound, never called.
    CAny a, b, r;
    a.SetI4(1);
    b.SetI4(2);
    EXPECT_EQ(0, nAjoute(a, b, &r, 0));
    int n = 0;
    EXPECT_EQ(0, nCompare(a, b, &n, 0));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(0, StandinVm(*s_host).Calls(kStandinVmCalculation + i)) << gapszVMCalculationNames[i];
}

// A machine without "nModuloEx": the 29 names before it stay bound, the
// export answers 0 and keeps the handle it had.
TEST_F(VMCalcBinding, AMissingNameKeepsThoseFoundBeforeIt)
{
    EXPECT_EQ(0, bInitZLCalcFromVM(s_nomodulo->Handle(), 2, 2));
    EXPECT_EQ(s_nomodulo->Symbol("nDivisionEx"), reinterpret_cast<void*>(gpfnDivisionEx));
    EXPECT_EQ(nullptr, gpfnModuloEx);
    EXPECT_EQ(nullptr, ghCalcVM);
    CAny a, b, r;
    a.SetI4(7);
    b.SetI4(2);
    r.SetI4(-1);
    EXPECT_EQ(ANY_ERR_VM_NON_LIE, nModulo(a, b, &r, 0)) << "nothing calls through an unbound entry point";
    EXPECT_EQ(ZLTYPE_I4, r.wGetType());
    EXPECT_EQ(0, nDivise(a, b, &r, 0));
    EXPECT_EQ(ZLTYPE_R8, r.wGetType());

    // Over a full binding, the failed one leaves the old modulo in place.
    ASSERT_EQ(1, bInitZLCalcFromVM(s_host->Handle(), 2, 2));
    EXPECT_EQ(0, bInitZLCalcFromVM(s_nomodulo->Handle(), 3, 1));
    EXPECT_EQ(s_host->Symbol("nModuloEx"), reinterpret_cast<void*>(gpfnModuloEx));
    EXPECT_EQ(s_nomodulo->Symbol("nEgaliteEx"), reinterpret_cast<void*>(gpfnEgaliteEx));
    EXPECT_EQ(s_host->Handle(), ghCalcVM);
    EXPECT_EQ(2, gnVersionCalcVM);
    EXPECT_EQ(0, nModulo(a, b, &r, 0));
    EXPECT_EQ(ZLTYPE_I4, r.wGetType());
}

TEST_F(VMCalcBinding, UnboundOperationsFailWithoutCallingAnything)
{
    CAny a, b, r;
    a.SetI4(1);
    b.SetI4(1);
    int n = 0;
    EXPECT_EQ(ANY_ERR_VM_NON_LIE, nEgalite(a, b, &n, 0));
    EXPECT_EQ(0, n);
    EXPECT_EQ(ANY_ERR_VM_NON_LIE, nDifferent(a, b, &n, 0));
    EXPECT_EQ(1, n) << "as after any failure of the equality";
    EXPECT_EQ(ANY_ERR_VM_NON_LIE, nContient(a, b, &r, 0));
    EXPECT_EQ(ZLTYPE_BOOL, r.wGetType()) << "the BOOL is stored all the same";
    EXPECT_EQ(ANY_ERR_VM_NON_LIE, nNot(a, &n, 0));
    EXPECT_EQ(ANY_ERR_VM_NON_LIE, nCompare(a, b, &r));
    r.SetR8(2);
    EXPECT_EQ(ANY_ERR_VM_NON_LIE, nAjoute(a, b, &r, 0));
    EXPECT_EQ(ANY_ERR_VM_NON_LIE, nNegatif(a, &r, 0));
    EXPECT_EQ(ANY_ERR_VM_NON_LIE, nIncrementeNumerique(&r, a));
    EXPECT_EQ(ZLTYPE_R8, r.wGetType());
    EXPECT_EQ(0, nPositif(a, &r, 0)) << "a copy needs no machine";
    EXPECT_EQ(ZLTYPE_I4, r.wGetType());
    for (int i = 0; i < VM_CALCULATION_COUNT; ++i)
        EXPECT_EQ(0, StandinVm(*s_host).Calls(kStandinVmCalculation + i));
}

TEST_F(VMCalcBinding, HandingTheBindingOn)
{
    EXPECT_EQ(1, bInitZLCalcFromServeur(s_host->Handle())) << "a module without the export";
    ASSERT_EQ(1, bInitZLCalcFromVM(s_host->Handle(), 2, 2));
    void* driver = dlopen(VX_DRIVER_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, driver) << dlerror();
    EXPECT_EQ(1, bInitZLCalcFromServeur(driver));
    gnVersionCalcVM = 1;
    EXPECT_EQ(0, bInitZLCalcFromServeur(driver));
}

}  // namespace
