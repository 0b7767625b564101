// The Windows-style clock and time conversions, in UTC and in a zone with
// daylight saving time. SetLocalTime is never called: it sets the machine's
// clock.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>

#include "common/system/file_times.h"
#include "common/system/system_time.h"

namespace {

namespace chr = std::chrono;

SYSTEMTIME St(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    SYSTEMTIME st = {};
    st.wYear = static_cast<uint16_t>(y);
    st.wMonth = static_cast<uint16_t>(mo);
    st.wDay = static_cast<uint16_t>(d);
    st.wHour = static_cast<uint16_t>(h);
    st.wMinute = static_cast<uint16_t>(mi);
    st.wSecond = static_cast<uint16_t>(s);
    st.wMilliseconds = static_cast<uint16_t>(ms);
    return st;
}

std::string Show(const SYSTEMTIME& st)
{
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u(%u) %02u:%02u:%02u.%03u", st.wYear, st.wMonth, st.wDay,
                  st.wDayOfWeek, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
    return text;
}

// FILETIME of a UTC civil time from std::chrono, independently of the code.
uint64_t Expected(int y, unsigned mo, unsigned d, int h = 0, int mi = 0, int s = 0)
{
    const chr::sys_days day = chr::year{y} / chr::month{mo} / chr::day{d};
    const int64_t secs = day.time_since_epoch().count() * 86400LL + h * 3600 + mi * 60 + s;
    return static_cast<uint64_t>(secs + 11644473600LL) * 10000000ULL;
}

class ZoneTest : public ::testing::Test
{
protected:
    static void UseZone(const char* tz)
    {
        setenv("TZ", tz, 1);
        tzset();
    }
    void TearDown() override { UseZone("UTC"); }
};

TEST(FileTimeConversion, UnixTimesAndTheEpoch)
{
    FILETIME ft = {1, 2};
    TimeToFileTime(0, &ft);
    EXPECT_EQ(116444736000000000ULL, FileTimeToUInt64(ft));
    TimeToFileTime(1, &ft);
    EXPECT_EQ(116444736010000000ULL, FileTimeToUInt64(ft));
    TimeToFileTime(0, nullptr);  // nothing to fill

    SYSTEMTIME st = St(9, 9, 9, 9, 9, 9, 9);
    ASSERT_TRUE(FileTimeToSystemTime(&(const FILETIME&)UInt64ToFileTime(116444736000000000ULL), &st));
    EXPECT_EQ("1970-01-01(4) 00:00:00.000", Show(st));
}

TEST(FileTimeConversion, SystemTimesBothWays)
{
    struct Case
    {
        SYSTEMTIME st;
        uint64_t ft;
        const char* back;  // the FILETIME read back; null: the conversion fails
    } cases[] = {
        {St(2024, 2, 29, 12, 34, 56, 789), Expected(2024, 2, 29, 12, 34, 56), "2024-02-29(4) 12:34:56.000"},
        {St(2000, 1, 1), Expected(2000, 1, 1), "2000-01-01(6) 00:00:00.000"},
        {St(2038, 1, 19, 3, 14, 8), Expected(2038, 1, 19, 3, 14, 8), "2038-01-19(2) 03:14:08.000"},
        {St(9999, 12, 31, 23, 59, 59, 999), Expected(9999, 12, 31, 23, 59, 59), "9999-12-31(5) 23:59:59.000"},
        // Before 1970 a FILETIME still holds the time exactly.
        {St(1969, 12, 31, 23, 59, 58), Expected(1969, 12, 31, 23, 59, 58), "1969-12-31(3) 23:59:58.000"},
        {St(1601, 1, 1), 0, "1601-01-01(1) 00:00:00.000"},
        // Beyond what a FILETIME holds: refused, not wrapped.
        {St(1600, 12, 31, 23, 59, 59), 0, nullptr},
        {St(60056, 5, 29), 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Show(c.st));
        FILETIME ft = {7, 7};
        if (c.back == nullptr) {
            EXPECT_FALSE(SystemTimeToFileTime(&c.st, &ft));
            continue;
        }
        ASSERT_TRUE(SystemTimeToFileTime(&c.st, &ft));
        EXPECT_EQ(c.ft, FileTimeToUInt64(ft));
        EXPECT_EQ(0u, FileTimeToUInt64(ft) % 10000000) << "whole seconds";
        SYSTEMTIME back = {};
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
        EXPECT_EQ(c.back, Show(back));
    }
    // The latest FILETIME still reads.
    SYSTEMTIME st = {};
    ASSERT_TRUE(FileTimeToSystemTime(&(const FILETIME&)UInt64ToFileTime(~0ULL), &st));
    EXPECT_EQ(60056, st.wYear);
}

TEST(FileTimeConversion, WeekDaysAgreeWithTheCivilCalendar)
{
    for (chr::sys_days day = chr::year{1601} / 1 / 1; day <= chr::sys_days{chr::year{9999} / 12 / 31};
         day += chr::days{97}) {
        const chr::year_month_day ymd{day};
        const uint64_t ft = Expected(static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                                     static_cast<unsigned>(ymd.day()), 13, 5, 7);
        SYSTEMTIME st = {};
        ASSERT_TRUE(FileTimeToSystemTime(&(const FILETIME&)UInt64ToFileTime(ft), &st));
        ASSERT_EQ(static_cast<int>(ymd.year()), st.wYear);
        ASSERT_EQ(static_cast<unsigned>(ymd.month()), st.wMonth);
        ASSERT_EQ(static_cast<unsigned>(ymd.day()), st.wDay);
        ASSERT_EQ(chr::weekday{day}.c_encoding(), st.wDayOfWeek);
        FILETIME back;
        ASSERT_TRUE(SystemTimeToFileTime(&st, &back));
        ASSERT_EQ(ft, FileTimeToUInt64(back));
    }
}

TEST_F(ZoneTest, LocalTimeInUTCIsTheSame)
{
    UseZone("UTC");
    const FILETIME ft = UInt64ToFileTime(Expected(2024, 7, 1, 10, 0, 0) + 1234567);
    FILETIME local, back;
    ASSERT_TRUE(FileTimeToLocalFileTime(&ft, &local));
    EXPECT_EQ(Expected(2024, 7, 1, 10, 0, 0), FileTimeToUInt64(local)) << "whole seconds";
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back));
    EXPECT_EQ(Expected(2024, 7, 1, 10, 0, 0), FileTimeToUInt64(back));
    SYSTEMTIME st = {}, utc = St(2024, 7, 1, 10, 0, 0, 250);
    ASSERT_TRUE(bUTCVersLocal(&utc, &st));
    EXPECT_EQ("2024-07-01(1) 10:00:00.000", Show(st));
    ASSERT_TRUE(bLocalVersUTC(&utc, &st));
    EXPECT_EQ("2024-07-01(1) 10:00:00.250", Show(st));
}

TEST_F(ZoneTest, LocalTimeInParisFollowsDaylightSaving)
{
    ASSERT_EQ(0, access("/usr/share/zoneinfo/Europe/Paris", R_OK)) << "the zone data (tzdata) is needed";
    UseZone("Europe/Paris");
    struct Case
    {
        SYSTEMTIME utc;
        const char* local;
        int64_t offset;  // seconds
        bool ambiguous = false;  // the local time names two instants
    } cases[] = {
        {St(2024, 1, 15, 12, 0, 0, 999), "2024-01-15(1) 13:00:00.000", 3600},
        {St(2024, 7, 15, 12, 0, 0), "2024-07-15(1) 14:00:00.000", 7200},
        {St(2024, 3, 31, 0, 59, 59), "2024-03-31(0) 01:59:59.000", 3600},  // last second of winter time
        {St(2024, 3, 31, 1, 0, 0), "2024-03-31(0) 03:00:00.000", 7200},    // first of summer time
        {St(2024, 10, 27, 1, 30, 0), "2024-10-27(0) 02:30:00.000", 3600, true},  // the repeated hour
        {St(2024, 12, 31, 23, 30, 0), "2025-01-01(3) 00:30:00.000", 3600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Show(c.utc));
        SYSTEMTIME local = {};
        ASSERT_TRUE(bUTCVersLocal(&c.utc, &local));
        EXPECT_EQ(c.local, Show(local));
        SYSTEMTIME back = {};
        local.wMilliseconds = 321;
        ASSERT_TRUE(bLocalVersUTC(&local, &back));
        SYSTEMTIME expected = c.utc;
        FILETIME ft;
        ASSERT_TRUE(SystemTimeToFileTime(&expected, &ft));
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &expected));  // day of week filled
        expected.wMilliseconds = 321;
        if (c.ambiguous) {
            // Either reading of the repeated hour; the C library chooses.
            SYSTEMTIME other = expected;
            other.wHour = static_cast<uint16_t>(other.wHour - 1);
            EXPECT_TRUE(Show(back) == Show(expected) || Show(back) == Show(other)) << Show(back);
        } else {
            EXPECT_EQ(Show(expected), Show(back)) << "milliseconds copied from the local time";
        }

        FILETIME lft, utcBack;
        ASSERT_TRUE(FileTimeToLocalFileTime(&ft, &lft));
        const int64_t shift = static_cast<int64_t>(FileTimeToUInt64(lft) - FileTimeToUInt64(ft)) / 10000000;
        EXPECT_EQ(c.offset, shift);
        ASSERT_TRUE(LocalFileTimeToFileTime(&lft, &utcBack));
        const uint64_t diff = FileTimeToUInt64(ft) - FileTimeToUInt64(utcBack);
        EXPECT_TRUE(diff == 0 || (c.ambiguous && diff == 3600ULL * 10000000)) << diff;
    }
}

TEST_F(ZoneTest, YearOrMonthZeroIsRefused)
{
    UseZone("Europe/Paris");
    SYSTEMTIME out = St(1, 1, 1);
    const SYSTEMTIME before = out;
    for (const SYSTEMTIME& in : {St(0, 1, 1), St(2024, 0, 1)}) {
        EXPECT_FALSE(bUTCVersLocal(&in, &out));
        EXPECT_FALSE(bLocalVersUTC(&in, &out));
    }
    EXPECT_EQ(Show(before), Show(out));
}

TEST_F(ZoneTest, TheClockReadingsAgree)
{
    UseZone("Europe/Paris");
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    SYSTEMTIME utc = {}, local = {};
    GetSystemTime(&utc);
    GetLocalTime(&local);
    const uint64_t tick = GetTickCount();

    FILETIME fromUtc, fromLocal;
    ASSERT_TRUE(SystemTimeToFileTime(&utc, &fromUtc));
    SYSTEMTIME localAsUtc = {};
    ASSERT_TRUE(bLocalVersUTC(&local, &localAsUtc));
    ASSERT_TRUE(SystemTimeToFileTime(&localAsUtc, &fromLocal));
    const uint64_t n = FileTimeToUInt64(now);
    // Read within moments of each other; allow a few seconds for slow runs.
    EXPECT_LE(n / 10000000, FileTimeToUInt64(fromUtc) / 10000000 + 1);
    EXPECT_LE(FileTimeToUInt64(fromUtc) / 10000000, n / 10000000 + 5);
    EXPECT_LE(std::llabs(static_cast<long long>(FileTimeToUInt64(fromUtc) - FileTimeToUInt64(fromLocal))), 50000000LL)
        << "local and UTC readings name the same instant";
    const uint64_t nowMs = (n - FILETIME_UNIX_EPOCH) / 10000;
    EXPECT_LE(nowMs, tick);
    EXPECT_LE(tick, nowMs + 5000);
    EXPECT_LT(utc.wMilliseconds, 1000);
}

TEST(FileTimes, FromAnOpenDescriptor)
{
    char path[] = "/tmp/vx_file_times_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const struct timespec times[2] = {{1000000000, 0}, {1200000000, 500000000}};
    ASSERT_EQ(0, futimens(fd, times));
    FILETIME creation = {}, access = {}, write = {};
    ASSERT_TRUE(GetFileTime(fd, &creation, &access, &write));
    EXPECT_EQ(1000000000ULL * 10000000 + FILETIME_UNIX_EPOCH, FileTimeToUInt64(access));
    EXPECT_EQ(1200000000ULL * 10000000 + FILETIME_UNIX_EPOCH, FileTimeToUInt64(write)) << "whole seconds";
    EXPECT_GT(FileTimeToUInt64(creation), FileTimeToUInt64(write)) << "the status change is recent";
    FILETIME onlyWrite = {};
    EXPECT_TRUE(GetFileTime(fd, nullptr, nullptr, &onlyWrite));
    EXPECT_EQ(FileTimeToUInt64(write), FileTimeToUInt64(onlyWrite));
    close(fd);
    unlink(path);
    EXPECT_FALSE(GetFileTime(fd, &creation, &access, &write));
}

TEST(FileTimes, SetOnANamedFile)
{
    char path[] = "/tmp/vx_set_file_time_XXXXXX\xC3\xA9";
    // mkstemps keeps the two UTF-8 bytes of the suffix.
    const int fd = mkstemps(path, 2);
    ASSERT_GE(fd, 0);
    close(fd);
    std::wstring wide;
    for (const char* p = path; *p; ++p)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    wide.replace(wide.size() - 2, 2, L"\xE9");  // the same name as wide text

    const struct timespec start[2] = {{1000000000, 0}, {1100000000, 0}};
    ASSERT_EQ(0, utimensat(AT_FDCWD, path, start, 0));
    auto times = [&path](time_t* a, time_t* m) {
        struct stat st;
        ASSERT_EQ(0, stat(path, &st));
        *a = st.st_atime;
        *m = st.st_mtime;
    };
    FILETIME access, write;
    TimeToFileTime(1200000000, &access);
    TimeToFileTime(1300000000, &write);
    time_t a = 0, m = 0;

    EXPECT_TRUE(SetFileTime(wide.c_str(), nullptr, nullptr, nullptr)) << "nothing to do";
    times(&a, &m);
    EXPECT_EQ(1000000000, a);
    EXPECT_EQ(1100000000, m);

    EXPECT_TRUE(SetFileTime(wide.c_str(), nullptr, &access, nullptr));
    times(&a, &m);
    EXPECT_EQ(1200000000, a);
    EXPECT_EQ(1100000000, m) << "the other time is kept";

    EXPECT_TRUE(SetFileTime(wide.c_str(), &access, nullptr, &write));
    times(&a, &m);
    EXPECT_EQ(1200000000, a);
    EXPECT_EQ(1300000000, m);

    const FILETIME early = UInt64ToFileTime(Expected(1960, 6, 1));
    EXPECT_TRUE(SetFileTime(wide.c_str(), nullptr, &early, &early)) << "before 1970, still exact";
    times(&a, &m);
    EXPECT_EQ(-302486400, a);

    unlink(path);
    EXPECT_FALSE(SetFileTime(wide.c_str(), nullptr, &access, nullptr)) << "no file to read the other time from";
    EXPECT_FALSE(SetFileTime(wide.c_str(), nullptr, &access, &write));
}

}  // namespace
