// Resources of other modules, reached through their exports.
#include <dlfcn.h>

#include "common/system/commande_composante.h"
#include "common/system/dllres.h"

namespace {

typedef void* (*PFNLOADRESOURCEMODULE)(const _stMyModuleInfo*, unsigned int, const wchar_t*, unsigned int*);

}  // namespace

void* DLLRES_pLoadResource(const _stMyModuleInfo* info, HINSTANCE hModule, unsigned int nId, const wchar_t* pszName,
                           unsigned int* pnSize)
{
    // A null handle would search every loaded module.
    if (hModule == nullptr)
        return nullptr;
    auto pfn = reinterpret_cast<PFNLOADRESOURCEMODULE>(dlsym(hModule, "DLLRES_pLoadResourceModule"));
    if (pfn == nullptr)
        return nullptr;
    return pfn(info, nId, pszName, pnSize);
}

int DLLRES_bForceInitRessource(long (*pfnCommande)(long, long))
{
    if (pfnCommande == nullptr)
        return 0;
    stCommandeLoadString record = {sizeof(stCommandeLoadString), 0, nullptr, 0, 0};
    pfnCommande(COMMANDE_COMPOSANTE_LOADSTRING, reinterpret_cast<long>(&record));
    return 1;
}
