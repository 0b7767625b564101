#pragma once

#include "common/system/export.h"
#include "common/system/module_handle.h"
#include "common/text/decimal_interface.h"
#include "common/text/vm_entry_points.h"

// The virtual machine's conversion entry points and object factory, bound by
// the host through bInitZLConvFromVM and kept for the life of the library.
// All null until bound; a later successful binding replaces them. Callers
// test their pointer: nothing calls through an entry point that is not
// bound.
extern PFN_ConversionDepassementExt gpfnConvDepExt;
extern PFN_FinConversion gpfnFinConv;
extern HINSTANCE ghConvVM;
extern int gnVersionConvVM;
extern int gnVersionCompatConvVM;
extern IVMFactory* gpiVMFactory;

extern "C" {
// Binds the machine hVM when nVersion is 2 or more and nVersionCompat 2 or
// less (otherwise 0, nothing looked up). The two conversion entry points are
// bound together or not at all (0 when either is missing, the previous
// binding kept); then the versions and handle are kept and the factory is
// asked of "pQueryProxy": the result is 1 when it exists, 0 when the module
// lacks it (the conversions stay bound).
VX_EXPORT int bInitZLConvFromVM(HINSTANCE hVM, int nVersion, int nVersionCompat);
}

// "pQueryProxy"(102) into gpiVMFactory; 0 when the module lacks the name.
int bInitFactory(HINSTANCE hVM);
// Hands this library's binding on to another module's bInitZLConvFromVM;
// true when that module has none.
int bInitZLConvFromServeur_OBSOLETE(HINSTANCE hOther);
