#pragma once

// Where the table object raises its errors (source 6). The comment gives the
// arguments of the user error, in order. Every site but the two of the
// version check carries the table's logical name as its table name.
#include "native/driver/error_sites.h"

namespace NATableSite {
// The host's SQL module: its handshake failed ("vxmysql.so",
// "vx200sql64.so"), or it is too old ("vx200sql64.so", "vxmysql.so"). Both
// with the table's connection.
inline constexpr stNAErrorSite kModuleHandshakeFailed{NA_SRC_TABLE, 1, 16, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kModuleTooOld{NA_SRC_TABLE, 2, 16, NA_ERR_GENERAL};
// Operations not offered, each with the table's connection.
inline constexpr stNAErrorSite kForbidModifNotAvailable{NA_SRC_TABLE, 3, 8, NA_ERR_NOT_AVAILABLE};
inline constexpr stNAErrorSite kEndForbidModifNotAvailable{NA_SRC_TABLE, 4, 8, NA_ERR_NOT_AVAILABLE};
inline constexpr stNAErrorSite kCalculateKeyNotAvailable{NA_SRC_TABLE, 5, 8, NA_ERR_NOT_AVAILABLE};
inline constexpr stNAErrorSite kFreeMemoryNotAvailable{NA_SRC_TABLE, 6, 8, NA_ERR_NOT_AVAILABLE};
// The logical name: the calling context has no data access on the table; a
// forwarded operation (no connection), the record number (with the
// table's connection).
inline constexpr stNAErrorSite kNotOpenedInContext{NA_SRC_TABLE, 7, 19, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kRecNumNotOpenedInContext{NA_SRC_TABLE, 8, 19, NA_ERR_GENERAL};
}  // namespace NATableSite
