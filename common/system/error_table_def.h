#pragma once

#include <cstddef>
#include <cstdint>

// One row of a module's error table: a user error code, the resource id of
// its message, the detail id reported with it and its error level. Rows are
// searched in order and the first row of a code wins.
struct _stErrorDef32
{
    uint32_t dwCode;
    uint32_t dwMessageId;
    uint32_t dwDetailId;
    int32_t nLevel;
};
static_assert(sizeof(_stErrorDef32) == 16);
static_assert(offsetof(_stErrorDef32, dwMessageId) == 4);
static_assert(offsetof(_stErrorDef32, dwDetailId) == 8);
static_assert(offsetof(_stErrorDef32, nLevel) == 12);

// Supplied by each deliverable (generated from its error table), never by
// the common library: the rows and the module identity that its descriptor
// carries. All are constant-initialised.
extern const _stErrorDef32 gstErrorDef32[];
extern const size_t gnNbErrorDef32;          // rows of gstErrorDef32
extern const uint32_t gdwModuleId32;         // module id
extern const wchar_t gszModuleFileName32[];  // module file name
extern const wchar_t gszModuleVersion32[];   // module version
