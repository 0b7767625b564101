#pragma once

#include "common/system/export.h"
#include "common/system/module_handle.h"
#include "common/text/vm_entry_points.h"

// The virtual machine's 30 calculation entry points, bound by the host
// through bInitZLCalcFromVM and kept for the life of the library. All null
// until bound. Each operation tests its own entry point: nothing calls
// through one that is not bound.
extern PFN_CanCompareEx gpfnCompareEx;
extern PFN_GetTypeResultatEx gpfnGetTypeAjouteEx;
extern PFN_GetTypeResultatEx gpfnGetTypeSoustraitEx;
extern PFN_GetTypeResultatEx gpfnGetTypeMultiplieEx;
extern PFN_GetTypeResultatEx gpfnGetTypeDiviseEx;
extern PFN_GetTypeResultatEx gpfnGetTypeModuloEx;
extern PFN_TestEx gpfnComparaisonEx;
extern PFN_TestEx gpfnEgaliteEx;
extern PFN_TestEx gpfnSuperieurEx;
extern PFN_TestEx gpfnInferieurEx;
extern PFN_TestEx gpfnPresqueEgalEx;
extern PFN_TestEx gpfnSoupleEgalEx;
extern PFN_TestEx gpfnCommenceParEx;
extern PFN_TestEx gpfnCommenceParSoupleEx;
extern PFN_TestEx gpfnCommenceParTresSoupleEx;
extern PFN_TestEx gpfnContientEx;
extern PFN_TestEx gpfnContientSoupleEx;
extern PFN_TestEx gpfnContientTresSoupleEx;
extern PFN_TestEx gpfnTermineParEx;
extern PFN_TestEx gpfnTermineParSoupleEx;
extern PFN_TestEx gpfnTermineParTresSoupleEx;
extern PFN_TestEx gpfnETLogiqueEx;
extern PFN_TestEx gpfnOULogiqueEx;
extern PFN_NonLogiqueEx gpfnNONLogiqueEx;
extern PFN_NegationEx gpfnNegationEx;
extern PFN_ArithmetiqueEx gpfnAdditionEx;
extern PFN_ArithmetiqueEx gpfnSoustractionEx;
extern PFN_ArithmetiqueEx gpfnMultiplicationEx;
extern PFN_ArithmetiqueEx gpfnDivisionEx;
extern PFN_ArithmetiqueEx gpfnModuloEx;
extern HINSTANCE ghCalcVM;
extern int gnVersionCalcVM;
extern int gnVersionCompatCalcVM;

extern "C" {
// Binds the machine hVM when nVersion is 2 or more and nVersionCompat 2 or
// less (otherwise 0, nothing looked up): the 30 names in their order, each
// kept as it is found; the first missing one gives 0 (those before it stay
// bound). When all are found the handle and versions are kept: 1.
VX_EXPORT int bInitZLCalcFromVM(HINSTANCE hVM, int nVersion, int nVersionCompat);
}

// Hands this library's binding on to another module's bInitZLCalcFromVM;
// true when that module has none.
int bInitZLCalcFromServeur(HINSTANCE hOther);
