#include "common/system/dllres.h"

// The start mark and the host's loader. The strings themselves live in the
// module's packed block; nothing else is kept here.
uint32_t gbInitialise = 0;
PFNLOADSTRINGVXM gpfnLoadStringVXM = nullptr;

int DLLRES_bInit(HINSTANCE, int)
{
    gbInitialise = 1;
    return 1;
}

void DLLRES_Term()
{
    gbInitialise = 0;
}

int DLLRES_bUtiliseDLLRes()
{
    return 0;
}

HINSTANCE ghGetRessourceHandle()
{
    return nullptr;
}

void DLLRES_SetFichierVXM(const wchar_t*) {}
