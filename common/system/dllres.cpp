#include "common/system/dllres.h"

// Only the started mark exists so far; the resource-string layer grows these
// with its loader and its packed-block index.
uint32_t gbInitialise = 0;

int DLLRES_bInit(HINSTANCE, int)
{
    gbInitialise = 1;
    return 1;
}

void DLLRES_Term()
{
    gbInitialise = 0;
}
