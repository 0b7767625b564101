#pragma once

#include <cstddef>
#include <cstdint>

#include "common/system/error_table_def.h"
#include "common/system/resource_block.h"

// A module's descriptor: what its errors and resource strings are built
// from. One constant per deliverable, gstMyModuleInfo32, generated with the
// deliverable's error table (so that it is constant-initialised and never
// read half-built): the common library only refers to it.
struct _stMyModuleInfo
{
    const _stErrorDef32* pstErrorDef;       // first row of the error table
    size_t nNbErrorDef;                     // its rows
    uint32_t dwModuleId;
    const wchar_t* pszModuleFileName;
    const wchar_t* pszModuleVersion;
    int (*pfnGetRessource)(STRessourceModule& rec);  // non-zero when found
    void* apReserved[9];                    // null; nothing reads them
};
static_assert(offsetof(_stMyModuleInfo, nNbErrorDef) == 8);
static_assert(offsetof(_stMyModuleInfo, dwModuleId) == 16);
static_assert(offsetof(_stMyModuleInfo, pszModuleFileName) == 24);
static_assert(offsetof(_stMyModuleInfo, pszModuleVersion) == 32);
static_assert(offsetof(_stMyModuleInfo, pfnGetRessource) == 40);
static_assert(offsetof(_stMyModuleInfo, apReserved) == 48);
static_assert(sizeof(_stMyModuleInfo) == 120);

// This deliverable's descriptor (driver: module id 32, "vxmysql.so",
// "20.0.10.0"; installer: 32, "mysql_install", "20.0.1.0"), looking its
// texts up with bGetResAnsi32.
extern const _stMyModuleInfo gstMyModuleInfo32;
