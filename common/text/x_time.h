#pragma once

#include <cstddef>
#include <ctime>

#include "common/system/time_records.h"

class CDateTimeBase;
class CTString;

// A broken-down date-time: a C `struct tm` plus milliseconds. Reads the
// runtime's digit texts of dates and times (whole, or partial for search
// bounds), writes them back and writes the SQL and ODBC literal forms, and
// converts to and from SYSTEMTIME, FILETIME, Unix time, the 8-byte date-time
// value and the DOS date and time words, in local time or UTC.
//
// Year means tm_year + 1900 and month tm_mon + 1 throughout. The zero
// date-time is year 0, 1 January, 00:00:00.000, with tm_wday and tm_yday -1
// ("not computed") and tm_isdst -1 (the C library decides when the value is
// taken as local time).
//
// Digit texts are read piece by piece as strtol reads them (base 10, a
// non-digit ends a piece's number); nothing is range-checked unless said.
class CXTime
{
public:
    // --- Construction and setting (nIsDst goes to tm_isdst) -----------------
    CXTime() { SetTo0(); }
    CXTime(const CXTime& other) = default;
    CXTime& operator=(const CXTime& other) = default;
    virtual ~CXTime() = default;

    CXTime(int nAnnee, int nMois, int nJour, int nHeure, int nMinute, int nSeconde, int nIsDst)
    {
        SetTime(nAnnee, nMois, nJour, nHeure, nMinute, nSeconde, nIsDst);
    }
    CXTime(const _SYSTEMTIME& st, int nIsDst) { SetTime(st, nIsDst); }
    CXTime(unsigned short wDosDate, unsigned short wDosTime, int nIsDst) { SetTime(wDosDate, wDosTime, nIsDst); }
    explicit CXTime(long nUnixTime) { SetTime(nUnixTime); }
    CXTime(const _FILETIME& ft, int nIsDst) { SetTime(ft, nIsDst); }

    void SetTo0();
    void SetTime(const CXTime& other) { *this = other; }
    // Month 0 or below gives January, day 0 or below gives 1; hour, minute
    // and second are taken as they are; milliseconds 0.
    void SetTime(int nAnnee, int nMois, int nJour, int nHeure, int nMinute, int nSeconde, int nIsDst);
    // Every field of the record (tm_wday from wDayOfWeek); tm_yday -1.
    void SetTime(const _SYSTEMTIME& st, int nIsDst);
    // DOS words: date = (year - 1980) << 9 | month << 5 | day, time = hour
    // << 11 | minute << 5 | second / 2.
    void SetTime(unsigned short wDosDate, unsigned short wDosTime, int nIsDst);
    // The record as it is; milliseconds 0.
    void SetTime(const struct tm& t);
    // The date-time value (month 0 gives January, day 0 gives 1), with its
    // milliseconds.
    void SetTime(const CDateTimeBase& dt);
    // Unix time as local time (localtime_r) or UTC (gmtime_r), milliseconds
    // 0; -1, or a time the C library cannot break down, gives the zero
    // date-time.
    void SetTime(long nUnixTime);
    CXTime& operator=(long nUnixTime)
    {
        SetTime(nUnixTime);
        return *this;
    }
    void SetUTCTime(long nUnixTime);
    // A UTC FILETIME as local time; the zero date-time when it cannot be
    // converted.
    void SetTime(const _FILETIME& ft, int nIsDst);
    // The current time, UTC or local, to the millisecond; tm_isdst and
    // tm_yday -1.
    void SetFromUTCTime();
    void SetFromLocalTime();

    // --- Reading digit texts (non-zero on success) ---------------------------
    // HHMM[SS[cc|mmm]]: fewer than 4 characters fail; exactly 8 read the last
    // two as hundredths, 9 or more the three from 6 as milliseconds.
    int bSetZLTime(const wchar_t* psz);
    // YYYYMMDD exactly (any other length fails); month 0 gives January, day
    // 0 gives 1.
    int bSetZLDate(const wchar_t* psz);
    // YYYYMMDD[ ]HHMMSS then 2 digits of hundredths or 3 of milliseconds; a
    // text of 15 characters or fewer fails; longer texts of other lengths
    // leave the milliseconds 0.
    template <class T>
    int bSetZLDateTime(const T* psz, int nIsDst);

    // Search bounds of partial texts (prefixes of YYYYMMDD[ ]HHMMSSmmm or of
    // HHMMSSmmm). The Min forms give the first instant the text denotes,
    // characters missing from a field counting as '0' ("2" is the year
    // 2000, "1" the hour 10); the Max forms give the first instant after
    // it (the exclusive upper bound): the text incremented at its last
    // digit with carries, then read as a Min form.
    //
    // bSetZLTimeMin sets only the fields the text covers (the hour always);
    // start from the zero date-time. Always succeeds.
    int bSetZLTimeMin(const wchar_t* psz, int nIsDst);
    // An absent or empty text is the zero date-time (success).
    int bSetZLDateTimeMin(const wchar_t* psz, int nIsDst);
    // Fails for an empty text, one longer than 9 characters, or when the
    // increment runs past 23 hours.
    int bSetZLTimeMax(const wchar_t* psz, int nIsDst);
    // Fails for an empty text, one longer than 17 characters (a blank at
    // position 8 not counted), or when the increment runs past the year 9999.
    int bSetZLDateTimeMax(const wchar_t* psz, int nIsDst);

    // --- Writing texts ----------------------------------------------------------
    // Fixed forms with every field zero-padded to its width ("%04d" for the
    // year); fields out of their ranges are written in full.
    void Format(const wchar_t* pszFormat, CTString& str) const;  // wcsftime; empty on failure
    void GetZLTimeAAAAMMJJ_HHMMSS(CTString& str) const;          // YYYYMMDD HHMMSS
    void GetZLTimeHHMMSS(CTString& str) const;                   // HHMMSS
    void GetZLTimeHHMM(CTString& str) const;                     // HHMM
    void GetZLDate(CTString& str) const;                         // YYYYMMDD
    void GetZLTimeHHMMSSCCm(CTString& str) const;                // HHMMSSmmm
    void GetZLTimeAAAAMMJJHHMMSSCCm(CTString& str) const;        // YYYYMMDDHHMMSSmmm
    void GetZLTimeReadable(CTString& str) const;                 // DD/MM/YYYY HH:MM:SS,mmm
    void GetZLTimeReadableSS(CTString& str) const;               // DD/MM/YYYY HH:MM:SS
    void FormatToOdbcTimeStamp(CTString& str) const;             // {ts 'YYYY-MM-DD HH:MM:SS.mmm'}
    void FormatToOdbcDate(CTString& str) const;                  // {d 'YYYY-MM-DD'}
    void FormatToOdbcTime(CTString& str) const;                  // {t 'HH:MM:SS.mmm'}

    // The same into a caller's buffer of nCapacity characters (terminator
    // included): a text that does not fit is cut, always terminated. The
    // sizes below hold the text of in-range fields. The array forms check
    // the size at compile time.
    static constexpr size_t TAILLE_FORMAT = 256;
    static constexpr size_t TAILLE_ZLTIME = 10;           // HHMMSSmmm
    static constexpr size_t TAILLE_ZLDATE = 9;            // YYYYMMDD
    static constexpr size_t TAILLE_SQLSERVER = 22;        // YYYYMMDD HH:MM:SS.mmm
    static constexpr size_t TAILLE_ODBC_TIMESTAMP = 31;
    static constexpr size_t TAILLE_ODBC_DATE = 17;
    static constexpr size_t TAILLE_ODBC_TIME = 19;

    void Format(const wchar_t* pszFormat, wchar_t* pszBuffer, size_t nCapacity) const;
    void GetZLTime(wchar_t* psz, size_t nCapacity) const;
    void GetZLTime(char* psz, size_t nCapacity) const;
    void GetZLDate(wchar_t* psz, size_t nCapacity) const;
    void GetZLDate(char* psz, size_t nCapacity) const;
    void FormatToSQLServerTimeStamp(wchar_t* psz, size_t nCapacity) const;
    void FormatToOdbcTimeStamp(wchar_t* psz, size_t nCapacity) const;
    void FormatToOdbcDate(wchar_t* psz, size_t nCapacity) const;
    void FormatToOdbcTime(wchar_t* psz, size_t nCapacity) const;

    template <size_t N>
    void Format(const wchar_t* pszFormat, wchar_t (&buffer)[N]) const
    {
        static_assert(N >= TAILLE_FORMAT);
        Format(pszFormat, buffer, N);
    }
    template <class T, size_t N>
    void GetZLTime(T (&buffer)[N]) const
    {
        static_assert(N >= TAILLE_ZLTIME);
        GetZLTime(buffer, N);
    }
    template <class T, size_t N>
    void GetZLDate(T (&buffer)[N]) const
    {
        static_assert(N >= TAILLE_ZLDATE);
        GetZLDate(buffer, N);
    }
    template <size_t N>
    void FormatToSQLServerTimeStamp(wchar_t (&buffer)[N]) const
    {
        static_assert(N >= TAILLE_SQLSERVER);
        FormatToSQLServerTimeStamp(buffer, N);
    }
    template <size_t N>
    void FormatToOdbcTimeStamp(wchar_t (&buffer)[N]) const
    {
        static_assert(N >= TAILLE_ODBC_TIMESTAMP);
        FormatToOdbcTimeStamp(buffer, N);
    }
    template <size_t N>
    void FormatToOdbcDate(wchar_t (&buffer)[N]) const
    {
        static_assert(N >= TAILLE_ODBC_DATE);
        FormatToOdbcDate(buffer, N);
    }
    template <size_t N>
    void FormatToOdbcTime(wchar_t (&buffer)[N]) const
    {
        static_assert(N >= TAILLE_ODBC_TIME);
        FormatToOdbcTime(buffer, N);
    }

    // --- Conversions out ---------------------------------------------------------
    struct tm* nGetTimeTm() { return &m_tm; }
    const struct tm* nGetTimeTm() const { return &m_tm; }
    int nGetMilliseconds() const { return m_nMilli; }
    // Every field (wDayOfWeek from tm_wday); true.
    bool bGetAsSystemTime(_SYSTEMTIME& st) const;
    static void GetAsSystemTime(_SYSTEMTIME& st, const struct tm& t);  // milliseconds 0
    // Through a SYSTEMTIME into the date-time value's checked setter; false
    // when it refuses a field.
    bool GetZLDateTime(CDateTimeBase* pdt) const;
    // The value taken as local time, as a UTC FILETIME; false when it cannot
    // be converted (ft unchanged).
    bool bGetAsFileTime(_FILETIME& ft) const;
    // The value as local time (mktime; the fields are normalised in place).
    long nGetTime32_t();
    static long s_nGetTime_t(struct tm& t);
    // The fields read as UTC (timegm). The member form leaves the value as
    // it is; the static one normalises its argument.
    long nGetTime32_t_UTC() const;
    static long s_nGetTime_t_UTC(struct tm& t);
    // Local broken-down time to UTC and back; the source is not touched.
    // False when the C library cannot convert.
    static bool Local2UTC(const struct tm& local, struct tm& utc);
    static bool UTC2Local(const struct tm& utc, struct tm& local);
    // FILETIME = Unix seconds x 10,000,000 + FILETIME_UNIX_EPOCH. A Unix time
    // outside what a FILETIME holds gives {0, 0}; the way back truncates
    // towards zero.
    static _FILETIME UnixTimeToFileTime(long nUnixTime);
    static long FileTimeToUnixTime(const _FILETIME& ft);
    // Through a FILETIME; -1, and a zeroed record, when it cannot convert.
    static long SystemTimeToUnixTime(const _SYSTEMTIME& st);
    static _SYSTEMTIME UnixTimeToSystemTime(long nUnixTime);
    static long nGetCurrentTime();
    static void nGetCurrentTime(_SYSTEMTIME* pst);  // UTC
    static void GetLocalTime(_SYSTEMTIME* pst);
    // Sets the machine's clock (whole seconds); needs the privilege.
    bool bInitLocalTime() const;
    static bool bSetLocalTime(_SYSTEMTIME* pst);
    // The zone's standard offset east of UTC, in seconds, as mktime reads a
    // broken-down time whose tm_isdst is 0.
    static long __s_nGetOffsetMkTime();

    // --- Comparison and calendar -------------------------------------------------
    // The difference of the first differing field: year, month, day, hour,
    // minute, second.
    static int snCompare(const struct tm* a, const struct tm* b);
    bool operator>(const CXTime& other) const;
    bool operator>=(const CXTime& other) const;
    // Gregorian rule.
    static bool bBissextile(int nAnnee);
    // The year in the first 4 characters, missing ones counting as '0'.
    static bool bBissextile(const wchar_t* psz);
    // 28-31; -1 for a month outside 1-12.
    static int nGetDayInMonth(int nAnnee, int nMois);
    // The year in characters 0-3 and the month in 4-5 of a partial text,
    // missing characters counting as '0'; month 0 counts as January.
    static int nGetDayInMonth(const wchar_t* psz);

private:
    struct tm m_tm;
    int m_nMilli;
};
