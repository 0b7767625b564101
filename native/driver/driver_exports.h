#pragma once

#include <cstdint>

#include "common/system/export.h"
#include "native/driver/na_forward.h"

// The driver's entry points for the host's database layer, looked up by
// name. The host calls bInitLibrary before anything else (its first call
// starts the module; the count is never lowered, so the module starts once
// per load), answers the version handshake for its engine side (module 7)
// and its SQL side (module 28), takes drivers from piQueryInterface, and
// calls TermLibrary once, last.

// bInitLibrary calls so far.
extern int32_t gnNbInitialisation;

// The driver's version written back by the handshake.
constexpr unsigned kNADriverDLLVersion = 32;

extern "C" {
// Always 1.
VX_EXPORT int bInitLibrary(void* hModule);
// Modules 7 and 28: the host version kept, the driver's version written
// (also on refusal), 1 when the host is 32 or newer. Other modules: 0, the
// version left alone.
VX_EXPORT int bDLLCompatible(int nModule, unsigned nHostVersion, unsigned* pnMyVersion);
// The argument is not used.
VX_EXPORT INADriver* piQueryInterface(int nUnused);
VX_EXPORT void TermLibrary();
}
