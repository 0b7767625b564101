#pragma once

// Where the statement raises its errors (source 4). The comment gives the
// arguments of the user error, in order; every one also carries the data
// access's logical name and the statement's search item name.
#include "native/driver/error_sites.h"

namespace NAStatementSite {
// A prepared query run with a command of kind 0.
inline constexpr stNAErrorSite kPreparedWithoutKind{NA_SRC_STATEMENT, 5, 2, NA_ERR_GENERAL};
// A write on a query over several tables.
inline constexpr stNAErrorSite kWriteOnJoin{NA_SRC_STATEMENT, 2, 8, NA_ERR_NOT_AVAILABLE};
// Deleting every row of a query source.
inline constexpr stNAErrorSite kDeleteAllOnQuery{NA_SRC_STATEMENT, 3, 8, NA_ERR_NOT_AVAILABLE};
// The logical name: a condition on the row last read while none was read.
inline constexpr stNAErrorSite kNoRowRead{NA_SRC_STATEMENT, 4, 7, NA_ERR_GENERAL};
// The logical name: a condition on a query run as written that cannot take
// one.
inline constexpr stNAErrorSite kNoConditionOnQuery{NA_SRC_STATEMENT, 6, 41, NA_ERR_GENERAL};
// The item name: an ORDER BY item not in the description.
inline constexpr stNAErrorSite kOrderItemUnknown{NA_SRC_STATEMENT, 9, 6, NA_ERR_GENERAL};
// A cached row that cannot be read back.
inline constexpr stNAErrorSite kCachedRowUnreadable{NA_SRC_STATEMENT, 11, 11, NA_ERR_GENERAL};
// The logical name: an UPDATE that changed no row.
inline constexpr stNAErrorSite kUpdateChangedNoRow{NA_SRC_STATEMENT, 12, 13, NA_ERR_NO_ROW_CHANGED};
}  // namespace NAStatementSite
