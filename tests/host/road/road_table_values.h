#pragma once

// The host's values for the road's table calls: shared access, an immediate
// lock type, a fetch of one row, no flags, the reading directions, and the
// demonstration table's two keys.
#include "native/driver/na_forward.h"

namespace road {

inline constexpr eNA_ACCESS kAccess = static_cast<eNA_ACCESS>(0);
inline constexpr eNA_LOCKTYPE kLock = static_cast<eNA_LOCKTYPE>(1);
inline constexpr int kFetchOne = 1;
inline constexpr unsigned kNoFlags = 0;
inline constexpr eNA_PARSEDIRECTION kFirst = static_cast<eNA_PARSEDIRECTION>(0);
inline constexpr eNA_PARSEDIRECTION kLast = static_cast<eNA_PARSEDIRECTION>(1);
inline constexpr eNA_PARSEDIRECTION kNext = static_cast<eNA_PARSEDIRECTION>(2);
inline constexpr eNA_PARSEDIRECTION kPrevious = static_cast<eNA_PARSEDIRECTION>(3);

inline constexpr const wchar_t* kKey = L"id";
inline constexpr const wchar_t* kNameKey = L"name";

}  // namespace road
