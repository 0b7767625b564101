#pragma once

#include <cstdint>

#include "common/system/module_handle.h"

// The one-time start and end of the common library, run by the driver's
// first bInitLibrary and by its TermLibrary.
class CMainCommun
{
public:
    // Keeps the module handle and starts the resource strings on the first
    // call (the first since the last end); later calls only answer 1.
    static int bInitLibraryCommon(HINSTANCE hModule);
    // After a start: frees the value-dump captions, unloads the module object
    // (telling the host unless it already ended it) and ends the resource
    // strings, in that order. Otherwise nothing. Always 1.
    static int bTermLibraryCommon();

    static HINSTANCE ghModule;          // this library's own handle
    static uint32_t gbInitLibraryDone;
};
