#include "common/system/commande_composante.h"

#include "common/system/dllres.h"
#include "common/system/module_info.h"

long CommandeComposante(long nCommande, long nArgument) noexcept
{
    switch (nCommande) {
    case COMMANDE_COMPOSANTE_SET_LOADSTRING:
        gpfnLoadStringVXM = reinterpret_cast<PFNLOADSTRINGVXM>(nArgument);
        return 1;
    case COMMANDE_COMPOSANTE_LOADSTRING: {
        auto* pRecord = reinterpret_cast<stCommandeLoadString*>(nArgument);
        if (pRecord == nullptr || pRecord->dwSize < sizeof(stCommandeLoadString))
            return 0;
        pRecord->nResult =
            DLLRES_nLoadString(&gstMyModuleInfo32, pRecord->nId, pRecord->pszBuffer, pRecord->nCapacity);
        return pRecord->nResult;
    }
    case COMMANDE_COMPOSANTE_GET_UTILISATION:
        return DLLRES_nGetUtilisation(&gstMyModuleInfo32, static_cast<unsigned int>(nArgument));
    default:
        return 0;
    }
}

void* DLLRES_pLoadResourceModule(const _stMyModuleInfo*, unsigned int, const wchar_t*, unsigned int*) noexcept
{
    return nullptr;
}
