#include "native/driver/driver_exports.h"

#include "native/driver/driver.h"

int32_t gnNbInitialisation = 0;

extern "C" VX_EXPORT int bInitLibrary(void* hModule)
{
    // Counting stops short of overflow rather than wrapping back to a first
    // call.
    if (gnNbInitialisation < INT32_MAX && ++gnNbInitialisation == 1)
        CNADriver::g_NAInitModule(hModule);
    return 1;
}

extern "C" VX_EXPORT int bDLLCompatible(int nModule, unsigned nHostVersion, unsigned* pnMyVersion)
{
    if (nModule == 7)
        CNADriver::s_nID_VXQF = nHostVersion;
    else if (nModule == 28)
        CNADriver::s_nID_VXSQL = nHostVersion;
    else
        return 0;
    if (pnMyVersion != nullptr)
        *pnMyVersion = kNADriverDLLVersion;
    return nHostVersion >= kNADriverDLLVersion ? 1 : 0;
}

extern "C" VX_EXPORT INADriver* piQueryInterface(int)
{
    return CNADriver::g_pclQueryInterface();
}

extern "C" VX_EXPORT void TermLibrary()
{
    CNADriver::g_TermLibrary();
}
