#include "common/text/vm_calc_binding.h"

#include <dlfcn.h>

PFN_CanCompareEx gpfnCompareEx = nullptr;
PFN_GetTypeResultatEx gpfnGetTypeAjouteEx = nullptr;
PFN_GetTypeResultatEx gpfnGetTypeSoustraitEx = nullptr;
PFN_GetTypeResultatEx gpfnGetTypeMultiplieEx = nullptr;
PFN_GetTypeResultatEx gpfnGetTypeDiviseEx = nullptr;
PFN_GetTypeResultatEx gpfnGetTypeModuloEx = nullptr;
PFN_TestEx gpfnComparaisonEx = nullptr;
PFN_TestEx gpfnEgaliteEx = nullptr;
PFN_TestEx gpfnSuperieurEx = nullptr;
PFN_TestEx gpfnInferieurEx = nullptr;
PFN_TestEx gpfnPresqueEgalEx = nullptr;
PFN_TestEx gpfnSoupleEgalEx = nullptr;
PFN_TestEx gpfnCommenceParEx = nullptr;
PFN_TestEx gpfnCommenceParSoupleEx = nullptr;
PFN_TestEx gpfnCommenceParTresSoupleEx = nullptr;
PFN_TestEx gpfnContientEx = nullptr;
PFN_TestEx gpfnContientSoupleEx = nullptr;
PFN_TestEx gpfnContientTresSoupleEx = nullptr;
PFN_TestEx gpfnTermineParEx = nullptr;
PFN_TestEx gpfnTermineParSoupleEx = nullptr;
PFN_TestEx gpfnTermineParTresSoupleEx = nullptr;
PFN_TestEx gpfnETLogiqueEx = nullptr;
PFN_TestEx gpfnOULogiqueEx = nullptr;
PFN_NonLogiqueEx gpfnNONLogiqueEx = nullptr;
PFN_NegationEx gpfnNegationEx = nullptr;
PFN_ArithmetiqueEx gpfnAdditionEx = nullptr;
PFN_ArithmetiqueEx gpfnSoustractionEx = nullptr;
PFN_ArithmetiqueEx gpfnMultiplicationEx = nullptr;
PFN_ArithmetiqueEx gpfnDivisionEx = nullptr;
PFN_ArithmetiqueEx gpfnModuloEx = nullptr;
HINSTANCE ghCalcVM = nullptr;
int gnVersionCalcVM = 0;
int gnVersionCompatCalcVM = 0;

namespace {

using PFN_InitZLCalcFromVM = int (*)(HINSTANCE, int, int);

// Where each name of the binding order is kept.
template <class Fn>
void Garde(void* pv, Fn* ppfn)
{
    *ppfn = reinterpret_cast<Fn>(pv);
}

}  // namespace

extern "C" VX_EXPORT int bInitZLCalcFromVM(HINSTANCE hVM, int nVersion, int nVersionCompat)
{
    // A null handle would make dlsym search the whole process.
    if (nVersionCompat >= 3 || nVersion < 2 || hVM == nullptr)
        return 0;
    for (int i = 0; i < VM_CALCULATION_COUNT; ++i) {
        void* pv = dlsym(hVM, gapszVMCalculationNames[i]);
        if (pv == nullptr)
            return 0;
        switch (i) {
        case 0: Garde(pv, &gpfnCompareEx); break;
        case 1: Garde(pv, &gpfnGetTypeAjouteEx); break;
        case 2: Garde(pv, &gpfnGetTypeSoustraitEx); break;
        case 3: Garde(pv, &gpfnGetTypeMultiplieEx); break;
        case 4: Garde(pv, &gpfnGetTypeDiviseEx); break;
        case 5: Garde(pv, &gpfnGetTypeModuloEx); break;
        case 6: Garde(pv, &gpfnComparaisonEx); break;
        case 7: Garde(pv, &gpfnEgaliteEx); break;
        case 8: Garde(pv, &gpfnSuperieurEx); break;
        case 9: Garde(pv, &gpfnInferieurEx); break;
        case 10: Garde(pv, &gpfnPresqueEgalEx); break;
        case 11: Garde(pv, &gpfnSoupleEgalEx); break;
        case 12: Garde(pv, &gpfnCommenceParEx); break;
        case 13: Garde(pv, &gpfnCommenceParSoupleEx); break;
        case 14: Garde(pv, &gpfnCommenceParTresSoupleEx); break;
        case 15: Garde(pv, &gpfnContientEx); break;
        case 16: Garde(pv, &gpfnContientSoupleEx); break;
        case 17: Garde(pv, &gpfnContientTresSoupleEx); break;
        case 18: Garde(pv, &gpfnTermineParEx); break;
        case 19: Garde(pv, &gpfnTermineParSoupleEx); break;
        case 20: Garde(pv, &gpfnTermineParTresSoupleEx); break;
        case 21: Garde(pv, &gpfnETLogiqueEx); break;
        case 22: Garde(pv, &gpfnOULogiqueEx); break;
        case 23: Garde(pv, &gpfnNONLogiqueEx); break;
        case 24: Garde(pv, &gpfnNegationEx); break;
        case 25: Garde(pv, &gpfnAdditionEx); break;
        case 26: Garde(pv, &gpfnSoustractionEx); break;
        case 27: Garde(pv, &gpfnMultiplicationEx); break;
        case 28: Garde(pv, &gpfnDivisionEx); break;
        case 29: Garde(pv, &gpfnModuloEx); break;
        default: break;
        }
    }
    ghCalcVM = hVM;
    gnVersionCalcVM = nVersion;
    gnVersionCompatCalcVM = nVersionCompat;
    return 1;
}

int bInitZLCalcFromServeur(HINSTANCE hOther)
{
    if (hOther == nullptr)
        return 1;
    auto pfnInit = reinterpret_cast<PFN_InitZLCalcFromVM>(dlsym(hOther, "bInitZLCalcFromVM"));
    if (pfnInit == nullptr)
        return 1;
    return pfnInit(ghCalcVM, gnVersionCalcVM, gnVersionCompatCalcVM);
}
