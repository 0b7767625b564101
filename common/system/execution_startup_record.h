#pragma once

#include <cstddef>
#include <cstdint>

#include "common/system/module_handle.h"

class ILibShop;

// The record the host passes with the start-up command (3985). The host fills
// it; its layout is the host's.
struct stExecutionStartup
{
    uint64_t nSize;             // record size in bytes
    HINSTANCE hVM;              // the host module that exports the host's Execution
    uint32_t nUtilisation1;     // handed to vSetUtilisation
    uint32_t nUtilisation2;
    ILibShop* piLibShop;        // only meaningful when nSize > 15
};

static_assert(sizeof(stExecutionStartup) == 32);
static_assert(offsetof(stExecutionStartup, nSize) == 0);
static_assert(offsetof(stExecutionStartup, hVM) == 8);
static_assert(offsetof(stExecutionStartup, nUtilisation1) == 16);
static_assert(offsetof(stExecutionStartup, nUtilisation2) == 20);
static_assert(offsetof(stExecutionStartup, piLibShop) == 24);

// Smallest size field for which the record's ILibShop is taken.
constexpr uint64_t EXECUTION_STARTUP_LIBSHOP_MIN_SIZE = 16;
