#pragma once

#include <cstdint>
#include <ctime>

#include "common/system/time_records.h"

// The Windows-style clock and time conversions on Linux. FILETIMEs are UTC;
// every conversion between a FILETIME and a SYSTEMTIME keeps whole seconds
// (milliseconds become 0). The calls return false on failure and leave the
// detail in errno; they raise no error object. They use the reentrant C
// library calls, as the host calls from several threads.

// seconds x 10,000,000 + the FILETIME of 1970; nothing when ft is null.
void TimeToFileTime(time_t t, FILETIME* ft);

// The UTC broken-down time of a FILETIME (day of week set, milliseconds 0).
bool FileTimeToSystemTime(const FILETIME* ft, SYSTEMTIME* st);
// The FILETIME of a UTC SYSTEMTIME (day of week and milliseconds ignored).
// False when the C library refuses the fields or the time lies outside what
// a FILETIME can hold.
bool SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* ft);
// Moves a FILETIME by the zone offset in force at that instant (UTC to
// local) and back (local to UTC, the offset chosen by the C library for that
// local time).
bool FileTimeToLocalFileTime(const FILETIME* ft, FILETIME* local);
bool LocalFileTimeToFileTime(const FILETIME* local, FILETIME* ft);

// UTC SYSTEMTIME to local (milliseconds 0) and local to UTC (milliseconds
// copied); false when the year or the month is 0 or a conversion fails.
bool bUTCVersLocal(const SYSTEMTIME* utc, SYSTEMTIME* local);
bool bLocalVersUTC(const SYSTEMTIME* local, SYSTEMTIME* utc);

// The current time, UTC or local, to the millisecond; the record is left as
// it was when the clock cannot be read.
void GetSystemTime(SYSTEMTIME* st);
void GetLocalTime(SYSTEMTIME* st);
// The current time as a FILETIME with full 100-ns precision (microseconds).
void GetSystemTimeAsFileTime(FILETIME* ft);
// Sets the machine's clock from a local SYSTEMTIME (whole seconds); needs
// the privilege to do so.
bool SetLocalTime(const SYSTEMTIME* st);
// Wall-clock milliseconds since 1970. Callers use the low 32 bits as an
// unsigned count; it moves backwards when the clock is set back.
uint64_t GetTickCount();
