#include "common/system/main_commun.h"

#include "common/system/base_execution_dll.h"
#include "common/system/dllres.h"
#include "common/text/vx_variant_captions.h"

HINSTANCE CMainCommun::ghModule = nullptr;
uint32_t CMainCommun::gbInitLibraryDone = 0;

int CMainCommun::bInitLibraryCommon(HINSTANCE hModule)
{
    if (gbInitLibraryDone == 0) {
        ghModule = hModule;
        DLLRES_bInit(hModule, 0);
        gbInitLibraryDone = 1;
    }
    return 1;
}

int CMainCommun::bTermLibraryCommon()
{
    if (gbInitLibraryDone != 0) {
        gbInitLibraryDone = 0;
        CVXVariant::FreeQueryDumpRessources();
        CBaseExecutionDLL::s_TermineDLL();
        DLLRES_Term();
    }
    return 1;
}
