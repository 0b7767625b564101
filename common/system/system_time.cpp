#include "common/system/system_time.h"

#include <sys/time.h>

#include <cerrno>
#include <limits>

namespace {

// Seconds between 1601-01-01 and 1970-01-01.
constexpr int64_t kEpochSeconds = static_cast<int64_t>(FILETIME_UNIX_EPOCH / FILETIME_PER_SECOND);
// Latest second a FILETIME can hold, counted from 1970.
constexpr int64_t kLastSecond = static_cast<int64_t>(std::numeric_limits<uint64_t>::max() / FILETIME_PER_SECOND) -
                                kEpochSeconds;

time_t nUnixSeconds(const FILETIME& ft)
{
    return static_cast<time_t>(nFileTimeToUnixSeconds(ft));
}

// The FILETIME of whole seconds since 1970; false when a FILETIME cannot
// hold them (before 1601, or beyond its 64 bits).
bool bFromUnixSeconds(int64_t t, FILETIME* ft)
{
    if (t < -kEpochSeconds || t > kLastSecond) {
        errno = EOVERFLOW;
        return false;
    }
    *ft = UInt64ToFileTime(static_cast<uint64_t>(t + kEpochSeconds) * FILETIME_PER_SECOND);
    return true;
}

void ToSystemTime(const struct tm& tm, unsigned nMilli, SYSTEMTIME* st)
{
    st->wYear = static_cast<uint16_t>(tm.tm_year + 1900);
    st->wMonth = static_cast<uint16_t>(tm.tm_mon + 1);
    st->wDayOfWeek = static_cast<uint16_t>(tm.tm_wday);
    st->wDay = static_cast<uint16_t>(tm.tm_mday);
    st->wHour = static_cast<uint16_t>(tm.tm_hour);
    st->wMinute = static_cast<uint16_t>(tm.tm_min);
    st->wSecond = static_cast<uint16_t>(tm.tm_sec);
    st->wMilliseconds = static_cast<uint16_t>(nMilli);
}

struct tm ToTm(const SYSTEMTIME& st)
{
    struct tm tm = {};
    tm.tm_year = static_cast<int>(st.wYear) - 1900;
    tm.tm_mon = static_cast<int>(st.wMonth) - 1;
    tm.tm_mday = st.wDay;
    tm.tm_hour = st.wHour;
    tm.tm_min = st.wMinute;
    tm.tm_sec = st.wSecond;
    tm.tm_isdst = -1;
    return tm;
}

}  // namespace

void TimeToFileTime(time_t t, FILETIME* ft)
{
    if (ft == nullptr)
        return;
    // Unsigned, as the file layer expects: only times from 1970 on are meant.
    *ft = UInt64ToFileTime(static_cast<uint64_t>(t) * FILETIME_PER_SECOND + FILETIME_UNIX_EPOCH);
}

bool FileTimeToSystemTime(const FILETIME* ft, SYSTEMTIME* st)
{
    const time_t t = nUnixSeconds(*ft);
    struct tm tm;
    if (gmtime_r(&t, &tm) == nullptr)
        return false;
    ToSystemTime(tm, 0, st);
    return true;
}

bool SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* ft)
{
    struct tm tm = ToTm(*st);
    const time_t t = timegm(&tm);
    if (t == static_cast<time_t>(-1))
        return false;
    return bFromUnixSeconds(t, ft);
}

bool FileTimeToLocalFileTime(const FILETIME* ft, FILETIME* local)
{
    const time_t t = nUnixSeconds(*ft);
    struct tm tm;
    if (localtime_r(&t, &tm) == nullptr)
        return false;
    const time_t shifted = timegm(&tm);
    if (shifted == static_cast<time_t>(-1))
        return false;
    return bFromUnixSeconds(shifted, local);
}

bool LocalFileTimeToFileTime(const FILETIME* local, FILETIME* ft)
{
    const time_t t = nUnixSeconds(*local);
    struct tm tm;
    if (gmtime_r(&t, &tm) == nullptr)
        return false;
    tm.tm_isdst = -1;
    const time_t utc = mktime(&tm);
    if (utc == static_cast<time_t>(-1))
        return false;
    return bFromUnixSeconds(utc, ft);
}

bool bUTCVersLocal(const SYSTEMTIME* utc, SYSTEMTIME* local)
{
    if (utc->wYear == 0 || utc->wMonth == 0)
        return false;
    FILETIME ft, lft;
    return SystemTimeToFileTime(utc, &ft) && FileTimeToLocalFileTime(&ft, &lft) && FileTimeToSystemTime(&lft, local);
}

bool bLocalVersUTC(const SYSTEMTIME* local, SYSTEMTIME* utc)
{
    if (local->wYear == 0 || local->wMonth == 0)
        return false;
    struct tm tm = ToTm(*local);
    const time_t t = mktime(&tm);
    if (t == static_cast<time_t>(-1))
        return false;
    struct tm out;
    if (gmtime_r(&t, &out) == nullptr)
        return false;
    ToSystemTime(out, local->wMilliseconds, utc);
    return true;
}

void GetSystemTime(SYSTEMTIME* st)
{
    struct timeval tv;
    struct tm tm;
    if (gettimeofday(&tv, nullptr) != 0 || gmtime_r(&tv.tv_sec, &tm) == nullptr)
        return;
    ToSystemTime(tm, static_cast<unsigned>(tv.tv_usec / 1000), st);
}

void GetLocalTime(SYSTEMTIME* st)
{
    struct timeval tv;
    struct tm tm;
    if (gettimeofday(&tv, nullptr) != 0 || localtime_r(&tv.tv_sec, &tm) == nullptr)
        return;
    ToSystemTime(tm, static_cast<unsigned>(tv.tv_usec / 1000), st);
}

void GetSystemTimeAsFileTime(FILETIME* ft)
{
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    *ft = UInt64ToFileTime(static_cast<uint64_t>(tv.tv_sec) * FILETIME_PER_SECOND +
                           static_cast<uint64_t>(tv.tv_usec) * 10 + FILETIME_UNIX_EPOCH);
}

bool SetLocalTime(const SYSTEMTIME* st)
{
    struct tm tm = ToTm(*st);
    struct timeval tv;
    tv.tv_sec = mktime(&tm);
    tv.tv_usec = 0;
    if (tv.tv_sec == static_cast<time_t>(-1))
        return false;
    return settimeofday(&tv, nullptr) == 0;
}

uint64_t GetTickCount()
{
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    return static_cast<uint64_t>(tv.tv_sec) * 1000 + static_cast<uint64_t>(tv.tv_usec) / 1000;
}
