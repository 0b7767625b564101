// The date-time value out to the other time records: SYSTEMTIME, FILETIME,
// Unix time and the 8-byte date-time, in local time or UTC.
#include <cstdint>

#include "common/system/system_time.h"
#include "common/text/date_time_base.h"
#include "common/text/x_time.h"

bool CXTime::bGetAsSystemTime(_SYSTEMTIME& st) const
{
    GetAsSystemTime(st, m_tm);
    st.wMilliseconds = static_cast<uint16_t>(m_nMilli);
    return true;
}

void CXTime::GetAsSystemTime(_SYSTEMTIME& st, const struct tm& t)
{
    st.wYear = static_cast<uint16_t>(t.tm_year + 1900);
    st.wMonth = static_cast<uint16_t>(t.tm_mon + 1);
    st.wDayOfWeek = static_cast<uint16_t>(t.tm_wday);
    st.wDay = static_cast<uint16_t>(t.tm_mday);
    st.wHour = static_cast<uint16_t>(t.tm_hour);
    st.wMinute = static_cast<uint16_t>(t.tm_min);
    st.wSecond = static_cast<uint16_t>(t.tm_sec);
    st.wMilliseconds = 0;
}

bool CXTime::GetZLDateTime(CDateTimeBase* pdt) const
{
    SYSTEMTIME st;
    bGetAsSystemTime(st);
    return pdt->InitDate(&st);
}

bool CXTime::bGetAsFileTime(_FILETIME& ft) const
{
    SYSTEMTIME local, utc;
    bGetAsSystemTime(local);
    FILETIME resultat;
    if (!bLocalVersUTC(&local, &utc) || !SystemTimeToFileTime(&utc, &resultat))
        return false;
    ft = resultat;
    return true;
}

long CXTime::nGetTime32_t()
{
    return s_nGetTime_t(m_tm);
}

long CXTime::s_nGetTime_t(struct tm& t)
{
    return mktime(&t);
}

// timegm, not mktime plus an offset: mktime would read the value's own
// tm_isdst and move summer values by an hour.
long CXTime::nGetTime32_t_UTC() const
{
    struct tm t = m_tm;
    return timegm(&t);
}

long CXTime::s_nGetTime_t_UTC(struct tm& t)
{
    return timegm(&t);
}

// Both C calls normalise their argument: they work on copies.
bool CXTime::Local2UTC(const struct tm& local, struct tm& utc)
{
    struct tm t = local;
    const time_t n = mktime(&t);
    return gmtime_r(&n, &utc) != nullptr;
}

bool CXTime::UTC2Local(const struct tm& utc, struct tm& local)
{
    struct tm t = utc;
    const time_t n = timegm(&t);
    return localtime_r(&n, &local) != nullptr;
}

namespace {

// Seconds from 1970 x 10,000,000 + the FILETIME of 1970, when a 64-bit count
// of 100 ns from 1601 holds it.
bool bUnixVersFileTime(long nUnixTime, FILETIME& ft)
{
    constexpr int64_t nDebut = -static_cast<int64_t>(FILETIME_UNIX_EPOCH / FILETIME_PER_SECOND);
    constexpr int64_t nFin = static_cast<int64_t>((UINT64_MAX - FILETIME_UNIX_EPOCH) / FILETIME_PER_SECOND);
    if (nUnixTime < nDebut || nUnixTime > nFin)
        return false;
    ft = UInt64ToFileTime(static_cast<uint64_t>(nUnixTime - nDebut) * FILETIME_PER_SECOND);
    return true;
}

}  // namespace

_FILETIME CXTime::UnixTimeToFileTime(long nUnixTime)
{
    FILETIME ft{0, 0};
    bUnixVersFileTime(nUnixTime, ft);
    return ft;
}

long CXTime::FileTimeToUnixTime(const _FILETIME& ft)
{
    const uint64_t n = FileTimeToUInt64(ft);
    if (n >= FILETIME_UNIX_EPOCH)
        return static_cast<long>((n - FILETIME_UNIX_EPOCH) / FILETIME_PER_SECOND);
    return -static_cast<long>((FILETIME_UNIX_EPOCH - n) / FILETIME_PER_SECOND);
}

long CXTime::SystemTimeToUnixTime(const _SYSTEMTIME& st)
{
    FILETIME ft;
    if (!SystemTimeToFileTime(&st, &ft))
        return -1;
    return FileTimeToUnixTime(ft);
}

_SYSTEMTIME CXTime::UnixTimeToSystemTime(long nUnixTime)
{
    FILETIME ft;
    SYSTEMTIME st{};
    if (!bUnixVersFileTime(nUnixTime, ft) || !FileTimeToSystemTime(&ft, &st))
        st = SYSTEMTIME{};
    return st;
}

long CXTime::nGetCurrentTime()
{
    return time(nullptr);
}

void CXTime::nGetCurrentTime(_SYSTEMTIME* pst)
{
    ::GetSystemTime(pst);
}

void CXTime::GetLocalTime(_SYSTEMTIME* pst)
{
    ::GetLocalTime(pst);
}

bool CXTime::bInitLocalTime() const
{
    SYSTEMTIME st;
    bGetAsSystemTime(st);
    st.wMilliseconds = 0;
    return SetLocalTime(&st);
}

bool CXTime::bSetLocalTime(_SYSTEMTIME* pst)
{
    return SetLocalTime(pst);
}

long CXTime::__s_nGetOffsetMkTime()
{
    const time_t t = time(nullptr);
    struct tm utc;
    if (gmtime_r(&t, &utc) == nullptr)
        return 0;
    utc.tm_isdst = 0;
    return static_cast<long>(t - mktime(&utc));
}
