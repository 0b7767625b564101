#pragma once

// The error sites of the MySQL driver's sources (numbers in
// native/driver/error_sites.h). Sites that raise a user error of their own
// are stNAErrorSite; the sites of client calls are stClientCallSite, whose
// user error the guard chooses (client_call_guard.h). Numbers are never
// reused.
#include "mysql/client_call_guard.h"
#include "native/driver/error_sites.h"

namespace MySQLSite {
// The client-library loader.
inline constexpr stNAErrorSite kLibraryNotLoaded{NA_SRC_LOADER, 1, 27, NA_ERR_GENERAL};         // "MySQL", name, 64
inline constexpr stNAErrorSite kRequiredFunctionMissing{NA_SRC_LOADER, 2, 37, NA_ERR_GENERAL};  // function
inline constexpr stClientCallSite kIdentifyLibrary{NA_SRC_LOADER, 3};
inline constexpr stClientCallSite kUnloadLibrary{NA_SRC_LOADER, 4};
// The connection.
inline constexpr stClientCallSite kClientVersion{NA_SRC_DB_CONNECTION, 7};
}  // namespace MySQLSite
