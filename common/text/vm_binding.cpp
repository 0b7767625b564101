#include "common/text/vm_binding.h"

#include <dlfcn.h>

PFN_ConversionDepassementExt gpfnConvDepExt = nullptr;
PFN_FinConversion gpfnFinConv = nullptr;
HINSTANCE ghConvVM = nullptr;
int gnVersionConvVM = 0;
int gnVersionCompatConvVM = 0;
IVMFactory* gpiVMFactory = nullptr;

namespace {

using PFN_InitZLConvFromVM = int (*)(HINSTANCE, int, int);

template <class Fn>
Fn Cherche(HINSTANCE h, const char* pszNom)
{
    return reinterpret_cast<Fn>(dlsym(h, pszNom));
}

}  // namespace

extern "C" VX_EXPORT int bInitZLConvFromVM(HINSTANCE hVM, int nVersion, int nVersionCompat)
{
    // A null handle would make dlsym search the whole process.
    if (nVersionCompat >= 3 || nVersion < 2 || hVM == nullptr)
        return 0;
    auto pfnConv = Cherche<PFN_ConversionDepassementExt>(hVM, VM_NAME_CONVERSION);
    auto pfnFin = Cherche<PFN_FinConversion>(hVM, VM_NAME_FIN_CONVERSION);
    // A conversion whose copy cannot be released is never bound.
    if (pfnConv == nullptr || pfnFin == nullptr)
        return 0;
    gpfnConvDepExt = pfnConv;
    gpfnFinConv = pfnFin;
    ghConvVM = hVM;
    gnVersionConvVM = nVersion;
    gnVersionCompatConvVM = nVersionCompat;
    return bInitFactory(hVM);
}

int bInitFactory(HINSTANCE hVM)
{
    auto pfnProxy = Cherche<PFN_QueryProxy>(hVM, VM_NAME_QUERY_PROXY);
    if (pfnProxy == nullptr)
        return 0;
    gpiVMFactory = static_cast<IVMFactory*>(pfnProxy(VM_PROXY_FACTORY));
    return 1;
}

int bInitZLConvFromServeur_OBSOLETE(HINSTANCE hOther)
{
    if (hOther == nullptr)
        return 1;
    auto pfnInit = Cherche<PFN_InitZLConvFromVM>(hOther, "bInitZLConvFromVM");
    if (pfnInit == nullptr)
        return 1;
    return pfnInit(ghConvVM, gnVersionConvVM, gnVersionCompatConvVM);
}
