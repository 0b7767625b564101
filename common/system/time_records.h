#pragma once

#include <cstddef>
#include <cstdint>

// The time records that the date types, the file layer and the system layer
// exchange, laid out as the code written against the Windows calls expects.

// A count of 100-nanosecond intervals since 1601-01-01 00:00 UTC, as two
// 32-bit halves.
struct _FILETIME
{
    uint32_t dwLowDateTime;
    uint32_t dwHighDateTime;
};
using FILETIME = _FILETIME;

static_assert(sizeof(FILETIME) == 8 && offsetof(FILETIME, dwHighDateTime) == 4, "two 32-bit halves, low first");

// A broken-down date and time; day of week 0 = Sunday.
struct _SYSTEMTIME
{
    uint16_t wYear;
    uint16_t wMonth;
    uint16_t wDayOfWeek;
    uint16_t wDay;
    uint16_t wHour;
    uint16_t wMinute;
    uint16_t wSecond;
    uint16_t wMilliseconds;
};
using SYSTEMTIME = _SYSTEMTIME;

static_assert(sizeof(SYSTEMTIME) == 16 && offsetof(SYSTEMTIME, wDayOfWeek) == 4 && offsetof(SYSTEMTIME, wDay) == 6 &&
                  offsetof(SYSTEMTIME, wMilliseconds) == 14,
              "eight 16-bit fields");

// The FILETIME of 1970-01-01 00:00 UTC, and the intervals of one second.
constexpr uint64_t FILETIME_UNIX_EPOCH = 116444736000000000ULL;
constexpr uint64_t FILETIME_PER_SECOND = 10000000ULL;

inline uint64_t FileTimeToUInt64(const FILETIME& ft)
{
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

inline FILETIME UInt64ToFileTime(uint64_t n)
{
    return FILETIME{static_cast<uint32_t>(n), static_cast<uint32_t>(n >> 32)};
}

// Whole seconds since 1970 of a FILETIME (those before 1970 negative); exact
// for every FILETIME.
inline int64_t nFileTimeToUnixSeconds(const FILETIME& ft)
{
    return static_cast<int64_t>(FileTimeToUInt64(ft) / FILETIME_PER_SECOND) -
           static_cast<int64_t>(FILETIME_UNIX_EPOCH / FILETIME_PER_SECOND);
}
