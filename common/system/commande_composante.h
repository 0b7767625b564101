#pragma once

#include <cstddef>
#include <cstdint>

#include "common/system/export.h"

struct _stMyModuleInfo;

// The component entry that the host's module manager calls for this
// module's resource strings.
enum eCOMMANDECOMPOSANTE : long
{
    COMMANDE_COMPOSANTE_SET_LOADSTRING = 2,    // argument: the host's string loader
    COMMANDE_COMPOSANTE_LOADSTRING = 3,        // argument: stCommandeLoadString*
    COMMANDE_COMPOSANTE_GET_UTILISATION = 4,   // argument: the resource id itself
};

// Request record of command 3, shared with the host (little-endian, 64-bit).
struct stCommandeLoadString
{
    uint32_t dwSize;      // the record's size: at least 24
    uint32_t nId;         // resource id
    wchar_t* pszBuffer;   // receives the text
    int32_t nCapacity;    // in wide characters, terminator included
    int32_t nResult;      // written by this module: DLLRES_nLoadString's answer
};
static_assert(offsetof(stCommandeLoadString, dwSize) == 0);
static_assert(offsetof(stCommandeLoadString, nId) == 4);
static_assert(offsetof(stCommandeLoadString, pszBuffer) == 8);
static_assert(offsetof(stCommandeLoadString, nCapacity) == 16);
static_assert(offsetof(stCommandeLoadString, nResult) == 20);
static_assert(sizeof(stCommandeLoadString) == 24);

// Command 2: installs the loader (every later load asks it first); 1.
// Command 3: result = DLLRES_nLoadString(this module, id, buffer, capacity),
// written into the record and returned; a null record, or one whose size is
// below 24, gives 0 and is not touched. A capacity of 0 writes nothing into
// the buffer and answers 0.
// Command 4: the usage class of the text (0 to 3), -1 when there is none.
// Any other command: 0.
extern "C" VX_EXPORT long CommandeComposante(long nCommande, long nArgument) noexcept;

// This module keeps its strings inside itself: no resource module, null.
extern "C" VX_EXPORT void* DLLRES_pLoadResourceModule(const _stMyModuleInfo* info, unsigned int nId,
                                                      const wchar_t* pszName, unsigned int* pnSize) noexcept;
