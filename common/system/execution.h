#pragma once

#include "common/system/export.h"

// The module entry that the host's module manager drives with the commands of
// eEXECUTIONCOMMAND. Answers 1 (or 2 for a type initialisation the module
// could not complete), and 0 for a failed start-up, an unknown command or a
// memory dump that wrote nothing.
extern "C" VX_EXPORT int Execution(unsigned int nCommand, void* pArgument) noexcept;
