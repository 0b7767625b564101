#pragma once

#include <cstdint>

// Commands of the module interface, in both directions.

// Sent by the host's module manager to this module's Execution entry.
enum eEXECUTIONCOMMAND : uint32_t
{
    EXECUTION_STARTUP = 3985,           // argument: stExecutionStartup*
    EXECUTION_END = 4875,
    EXECUTION_SET_LOCALE = 4878,        // argument: IInfoLocale*
    EXECUTION_CHANGE_LANGUAGE = 4879,
    EXECUTION_INIT_TYPES = 4963,        // argument: CXError*
    EXECUTION_DUMP_MEMORY = 5238,       // argument: IDumpMemoire*
    EXECUTION_DEACTIVATE = 5684,
    EXECUTION_REACTIVATE = 5864,
};

// Sent by this module to the host's own Execution entry.
enum eHOSTCOMMAND : uint32_t
{
    HOST_UNLOADING = 3052,              // argument: 0
    HOST_QUERY_SERVICE = 3053,          // argument: an eHOSTSERVICE index
    HOST_FILL_C_STACK = 3184,           // argument: stRemplitPileC*
};

// Indexes of the host's services and values (HOST_QUERY_SERVICE).
enum eHOSTSERVICE : int
{
    HOST_SERVICE_PRODUCT_CODE = 1,
    HOST_SERVICE_INTERNAL_LANGUAGE = 2,
    HOST_SERVICE_PRODUCT_NAME = 3,
    HOST_SERVICE_OPTIONS = 4,
    HOST_SERVICE_REAL_PRODUCT_CODE = 5,
    HOST_SERVICE_USES_NET = 6,
    HOST_SERVICE_LIBSHOP = 7,
    HOST_SERVICE_ACTIVE_VERSION = 8,
    HOST_SERVICE_GLOBAL_FACTORY = 9,
    HOST_SERVICE_TOPOLOGY_COLLECTOR = 10,
    HOST_SERVICE_SMARTPHONE_MODE = 11,
    HOST_SERVICE_INFO_LOCALE = 12,
    HOST_SERVICE_STR_MEM_ALLOC = 13,
    HOST_SERVICE_MULTITHREAD_FLAG = 14,
    HOST_SERVICE_COMPONENT_INFORMATION = 15,
};

// The host's own Execution entry, found by name in the host module.
using PFNHOSTEXECUTION = int64_t (*)(uint32_t command, intptr_t argument);
