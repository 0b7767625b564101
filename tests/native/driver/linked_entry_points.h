#pragma once

// The driver's exported entry points as linked into the test, for the
// host's stand-in caller (tests/host/db/standin_driver_caller.h).
#include "native/driver/driver_exports.h"
#include "tests/host/db/standin_driver_caller.h"

namespace vxtest {

inline StandinDriverEntryPoints LinkedDriverEntryPoints()
{
    StandinDriverEntryPoints entries;
    entries.pfnInitLibrary = &bInitLibrary;
    entries.pfnDLLCompatible = &bDLLCompatible;
    entries.pfnQueryInterface = &piQueryInterface;
    entries.pfnTermLibrary = &TermLibrary;
    return entries;
}

}  // namespace vxtest
