// The date-time value: setting from the various time records, comparison
// and the calendar.
#include "common/text/x_time.h"

#include <cstdint>

#include "common/system/system_time.h"
#include "common/text/date_time_base.h"

namespace {

// A fresh record: every member zero (the platform's extra ones included),
// then the "not computed" markers.
struct tm tmVide()
{
    struct tm t{};
    t.tm_wday = -1;
    t.tm_yday = -1;
    t.tm_isdst = -1;
    return t;
}

}  // namespace

void CXTime::SetTo0()
{
    m_tm = tmVide();
    m_tm.tm_year = -1900;
    m_tm.tm_mday = 1;
    m_nMilli = 0;
}

void CXTime::SetTime(int nAnnee, int nMois, int nJour, int nHeure, int nMinute, int nSeconde, int nIsDst)
{
    m_tm = tmVide();
    m_tm.tm_year = nAnnee - 1900;
    m_tm.tm_mon = nMois > 0 ? nMois - 1 : 0;
    m_tm.tm_mday = nJour > 0 ? nJour : 1;
    m_tm.tm_hour = nHeure;
    m_tm.tm_min = nMinute;
    m_tm.tm_sec = nSeconde;
    m_tm.tm_isdst = nIsDst;
    m_nMilli = 0;
}

void CXTime::SetTime(const _SYSTEMTIME& st, int nIsDst)
{
    m_tm = tmVide();
    m_tm.tm_year = st.wYear - 1900;
    m_tm.tm_mon = st.wMonth - 1;
    m_tm.tm_mday = st.wDay;
    m_tm.tm_hour = st.wHour;
    m_tm.tm_min = st.wMinute;
    m_tm.tm_sec = st.wSecond;
    m_tm.tm_wday = st.wDayOfWeek;
    m_tm.tm_isdst = nIsDst;
    m_nMilli = st.wMilliseconds;
}

void CXTime::SetTime(unsigned short wDosDate, unsigned short wDosTime, int nIsDst)
{
    m_tm = tmVide();
    m_tm.tm_sec = (wDosTime & 31) * 2;
    m_tm.tm_min = (wDosTime >> 5) & 63;
    m_tm.tm_hour = wDosTime >> 11;
    m_tm.tm_mday = wDosDate & 31;
    m_tm.tm_mon = ((wDosDate >> 5) & 15) - 1;
    m_tm.tm_year = (wDosDate >> 9) + 80;
    m_tm.tm_isdst = nIsDst;
    m_nMilli = 0;
}

void CXTime::SetTime(const struct tm& t)
{
    m_tm = t;
    m_nMilli = 0;
}

void CXTime::SetTime(const CDateTimeBase& dt)
{
    SetTo0();
    m_tm.tm_year = dt.m_wAnnee - 1900;
    m_tm.tm_mon = dt.m_byMois > 0 ? dt.m_byMois - 1 : 0;
    m_tm.tm_mday = dt.m_byJour > 0 ? dt.m_byJour : 1;
    m_tm.tm_hour = dt.nGetHeure();
    m_tm.tm_min = dt.nGetMinute();
    m_tm.tm_sec = dt.nGetSeconde();
    m_nMilli = dt.nGetMilliseconde();
}

void CXTime::SetTime(long nUnixTime)
{
    const time_t t = nUnixTime;
    if (nUnixTime == -1 || localtime_r(&t, &m_tm) == nullptr) {
        SetTo0();
        return;
    }
    m_nMilli = 0;
}

void CXTime::SetUTCTime(long nUnixTime)
{
    const time_t t = nUnixTime;
    if (nUnixTime == -1 || gmtime_r(&t, &m_tm) == nullptr) {
        SetTo0();
        return;
    }
    m_nMilli = 0;
}

void CXTime::SetTime(const _FILETIME& ft, int nIsDst)
{
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&ft, &local) || !FileTimeToSystemTime(&local, &st)) {
        SetTo0();
        return;
    }
    SetTime(st, nIsDst);
}

void CXTime::SetFromUTCTime()
{
    SYSTEMTIME st{};
    ::GetSystemTime(&st);
    SetTime(st, -1);
}

void CXTime::SetFromLocalTime()
{
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    SetTime(st, -1);
}

int CXTime::snCompare(const struct tm* a, const struct tm* b)
{
    const int tm::* const ordre[] = {&tm::tm_year, &tm::tm_mon, &tm::tm_mday, &tm::tm_hour, &tm::tm_min, &tm::tm_sec};
    for (const int tm::* champ : ordre) {
        if (a->*champ != b->*champ) {
            // Fields may hold any int: the difference is taken in 64 bits and
            // kept within an int, sign intact.
            const long long d = static_cast<long long>(a->*champ) - b->*champ;
            return d > INT32_MAX ? INT32_MAX : (d < INT32_MIN ? INT32_MIN : static_cast<int>(d));
        }
    }
    return 0;
}

bool CXTime::operator>(const CXTime& other) const
{
    const int n = snCompare(&m_tm, &other.m_tm);
    return n != 0 ? n > 0 : m_nMilli > other.m_nMilli;
}

bool CXTime::operator>=(const CXTime& other) const
{
    const int n = snCompare(&m_tm, &other.m_tm);
    return n != 0 ? n > 0 : m_nMilli >= other.m_nMilli;
}

bool CXTime::bBissextile(int nAnnee)
{
    return (nAnnee % 4 == 0 && nAnnee % 100 != 0) || nAnnee % 400 == 0;
}

bool CXTime::bBissextile(const wchar_t* psz)
{
    return bBissextile(CDateTimeBase::nGetPropDateTime(psz, 0, 4, true));
}

int CXTime::nGetDayInMonth(int nAnnee, int nMois)
{
    static const int s_anJours[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (nMois < 1 || nMois > 12)
        return -1;
    return nMois == 2 && bBissextile(nAnnee) ? 29 : s_anJours[nMois - 1];
}

int CXTime::nGetDayInMonth(const wchar_t* psz)
{
    const int nMois = CDateTimeBase::nGetPropDateTime(psz, 4, 2, true);
    return nGetDayInMonth(CDateTimeBase::nGetPropDateTime(psz, 0, 4, true), nMois == 0 ? 1 : nMois);
}
