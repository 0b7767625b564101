#pragma once

#include "common/system/x_error.h"

// What the 8-byte value of an info item holds, by type, and the item's dump
// line. Shared by the info items and the dump.
enum class eXErrorInfoKind
{
    None,      // never stored: 0, 34, 35, above 39
    Text,      // owned wide text
    Number64,
    Number32,
    Unknown,   // counted CVXUnknown (21)
    Host,      // counted host object (38)
    Pointer,   // plain pointer, not owned (29)
};

eXErrorInfoKind XERR_eInfoKind(CXError::eERRORINFOTYPE eType);
// The dump format of the type ("%s" a wide text, "%lld", "%d" or "%p" by
// kind); null for the types that are never dumped.
const wchar_t* XERR_pszInfoDumpFormat(CXError::eERRORINFOTYPE eType);
