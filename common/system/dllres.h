#pragma once

#include <cstdint>

#include "common/system/module_handle.h"

// Start and end of the resource-string layer. The arguments are not used.
int DLLRES_bInit(HINSTANCE hModule, int nOption);
void DLLRES_Term();

// Set between DLLRES_bInit and DLLRES_Term.
extern uint32_t gbInitialise;
