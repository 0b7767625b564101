// The date-time value set from and converted to the other time records, in
// local time and UTC.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "common/text/date_time_base.h"
#include "tests/common/text/x_time_fixture.h"

namespace {

using vxtest::Texte;

class XTime : public vxtest::ZoneTest
{
};

INSTANTIATE_TEST_SUITE_P(Zones, XTime, ::testing::Values("UTC", "Europe/Paris"));

// 14 July 2024 12:00:00 UTC (14:00 summer time in Paris) and 15 January
// 2024 12:00:00 UTC (13:00 in Paris).
constexpr long kJuillet = 1720958400;
constexpr long kJanvier = 1705320000;

TEST_P(XTime, ZeroDateTimeAndSetters)
{
    CXTime zero;
    const struct tm* t = zero.nGetTimeTm();
    EXPECT_EQ(-1900, t->tm_year);
    EXPECT_EQ(0, t->tm_mon);
    EXPECT_EQ(1, t->tm_mday);
    EXPECT_EQ(-1, t->tm_wday);
    EXPECT_EQ(-1, t->tm_yday);
    EXPECT_EQ(0, zero.nGetMilliseconds());

    struct Case
    {
        int y, m, d, h, mi, s;
        const wchar_t* value;
    } cases[] = {
        {2024, 3, 5, 7, 8, 9, L"20240305070809000"},
        {2024, 0, 0, 0, 0, 0, L"20240101000000000"},
        {2024, -3, -1, 25, 61, 62, L"20240101256162000"},  // hour, minute, second unchecked
    };
    for (const Case& c : cases) {
        CXTime x(c.y, c.m, c.d, c.h, c.mi, c.s, 1);
        EXPECT_EQ(c.value, Texte(x));
        EXPECT_EQ(1, x.nGetTimeTm()->tm_isdst);
        EXPECT_EQ(-1, x.nGetTimeTm()->tm_wday);
    }

    // DOS words: 0x5865 is 5 March 2024, 0x6000 is 12:00:00; seconds count
    // in pairs.
    EXPECT_EQ(L"20240305120000000", Texte(CXTime(0x5865, 0x6000, 0)));
    EXPECT_EQ(L"20240305120846000", Texte(CXTime(0x5865, 0x6117, 0)));

    // Copies take every field.
    CXTime a(2024, 3, 5, 7, 8, 9, 1), b;
    b.SetTime(a);
    EXPECT_EQ(Texte(a), Texte(b));
    EXPECT_EQ(1, b.nGetTimeTm()->tm_isdst);
}

TEST_P(XTime, SystemTimeAndDateTimeValueRoundTrip)
{
    const SYSTEMTIME st{2024, 7, 0, 14, 12, 34, 56, 789};
    CXTime x(st, 0);
    EXPECT_EQ(L"20240714123456789", Texte(x));
    EXPECT_EQ(0, x.nGetTimeTm()->tm_wday);
    EXPECT_EQ(-1, x.nGetTimeTm()->tm_yday);
    SYSTEMTIME back{};
    EXPECT_TRUE(x.bGetAsSystemTime(back));
    EXPECT_EQ(0, memcmp(&st, &back, sizeof st));

    CDateTimeBase dt;
    ASSERT_TRUE(x.GetZLDateTime(&dt));
    EXPECT_EQ(2024, dt.m_wAnnee);
    EXPECT_EQ(7, dt.m_byMois);
    EXPECT_EQ(14, dt.m_byJour);
    EXPECT_EQ(static_cast<uint32_t>(12 * 3600000 + 34 * 60000 + 56 * 1000 + 789), dt.m_dwMilli);
    CXTime y;
    y.SetTime(dt);
    EXPECT_EQ(Texte(x), Texte(y));

    // The empty date-time value: month and day 0 read as 1 January.
    CDateTimeBase vide;
    vide.InitDate();
    y.SetTime(vide);
    EXPECT_EQ(L"00000101000000000", Texte(y));
    // A value the date type refuses (13th month) is reported.
    CXTime bad(2024, 13, 1, 0, 0, 0, 0);
    EXPECT_FALSE(bad.GetZLDateTime(&dt));
}

TEST_P(XTime, UnixTimesLocalAndUtc)
{
    CXTime x(kJuillet);
    EXPECT_EQ(bParis() ? L"20240714140000000" : L"20240714120000000", Texte(x));
    EXPECT_EQ(bParis() ? 1 : 0, x.nGetTimeTm()->tm_isdst);
    x.SetUTCTime(kJuillet);
    EXPECT_EQ(L"20240714120000000", Texte(x));
    x = kJanvier;
    EXPECT_EQ(bParis() ? L"20240115130000000" : L"20240115120000000", Texte(x));

    // -1 is no time at all.
    x.SetTime(-1L);
    EXPECT_EQ(L"00000101000000000", Texte(x));
    x.SetUTCTime(-1);
    EXPECT_EQ(L"00000101000000000", Texte(x));

    // Local broken-down time back to Unix time.
    CXTime local(2024, 7, 14, bParis() ? 14 : 12, 0, 0, -1);
    EXPECT_EQ(kJuillet, local.nGetTime32_t());
    struct tm t = *local.nGetTimeTm();
    EXPECT_EQ(kJuillet, CXTime::s_nGetTime_t(t));
}

// The fields read as UTC whatever the zone and whatever tm_isdst says: a
// July value with tm_isdst -1 or 1 must not come out an hour early in Paris.
TEST_P(XTime, UtcReadingIgnoresSummerTime)
{
    for (int isdst : {-1, 0, 1}) {
        CXTime juillet(2024, 7, 14, 12, 0, 0, isdst);
        EXPECT_EQ(kJuillet, juillet.nGetTime32_t_UTC()) << isdst;
        // The member form leaves the value as it was, tm_isdst included.
        EXPECT_EQ(isdst, juillet.nGetTimeTm()->tm_isdst);
        EXPECT_EQ(-1, juillet.nGetTimeTm()->tm_wday);
        struct tm t = *juillet.nGetTimeTm();
        EXPECT_EQ(kJuillet, CXTime::s_nGetTime_t_UTC(t)) << isdst;
        CXTime janvier(2024, 1, 15, 12, 0, 0, isdst);
        EXPECT_EQ(kJanvier, janvier.nGetTime32_t_UTC()) << isdst;
    }
    // The zero date-time: 1 January of year 0 (a leap year, 366 days before
    // year 1).
    EXPECT_EQ(-62167219200L, CXTime().nGetTime32_t_UTC());
    EXPECT_EQ(bParis() ? 3600 : 0, CXTime::__s_nGetOffsetMkTime());
}

TEST_P(XTime, LocalAndUtcBrokenDownTimes)
{
    const int dh = bParis() ? 2 : 0;
    const CXTime localJuillet(2024, 7, 14, 12 + dh, 0, 0, -1);
    const struct tm before = *localJuillet.nGetTimeTm();
    struct tm utc{}, local{};
    ASSERT_TRUE(CXTime::Local2UTC(*localJuillet.nGetTimeTm(), utc));
    EXPECT_EQ(12, utc.tm_hour);
    EXPECT_EQ(14, utc.tm_mday);
    // The source is not normalised in place.
    EXPECT_EQ(0, memcmp(&before, localJuillet.nGetTimeTm(), sizeof before));

    const CXTime utcJanvier(2024, 1, 15, 12, 0, 0, -1);
    ASSERT_TRUE(CXTime::UTC2Local(*utcJanvier.nGetTimeTm(), local));
    EXPECT_EQ(bParis() ? 13 : 12, local.tm_hour);
    EXPECT_EQ(-1, utcJanvier.nGetTimeTm()->tm_wday);

    // The value as local time to a UTC FILETIME.
    FILETIME ft{1, 1};
    ASSERT_TRUE(localJuillet.bGetAsFileTime(ft));
    EXPECT_EQ(kJuillet, CXTime::FileTimeToUnixTime(ft));
    // A month 0 is refused by the UTC conversion; ft is left as it was.
    SYSTEMTIME st{2024, 0, 0, 1, 0, 0, 0, 0};
    const FILETIME keep = ft;
    EXPECT_FALSE(CXTime(st, -1).bGetAsFileTime(ft));
    EXPECT_EQ(0, memcmp(&keep, &ft, sizeof ft));

    // A UTC FILETIME as local time.
    const CXTime fromFile(CXTime::UnixTimeToFileTime(kJuillet), 1);
    EXPECT_EQ(bParis() ? L"20240714140000000" : L"20240714120000000", Texte(fromFile));
    EXPECT_EQ(1, fromFile.nGetTimeTm()->tm_isdst);
}

TEST(XTimeRecords, UnixFileAndSystemTimes)
{
    struct Case
    {
        long unix;
        uint64_t filetime;
    } cases[] = {
        {0, 116444736000000000ULL},
        {-1, 116444736000000000ULL - 10000000ULL},
        {kJuillet, 116444736000000000ULL + 17209584000000000ULL},
        {-11644473600L, 0},  // 1 January 1601
    };
    for (const Case& c : cases) {
        const FILETIME ft = CXTime::UnixTimeToFileTime(c.unix);
        EXPECT_EQ(c.filetime, FileTimeToUInt64(ft)) << c.unix;
        EXPECT_EQ(c.unix, CXTime::FileTimeToUnixTime(ft)) << c.unix;
    }
    // Outside what a FILETIME holds.
    EXPECT_EQ(0u, FileTimeToUInt64(CXTime::UnixTimeToFileTime(-11644473601L)));
    EXPECT_EQ(0u, FileTimeToUInt64(CXTime::UnixTimeToFileTime(LONG_MAX)));
    // The way back truncates towards zero.
    EXPECT_EQ(0, CXTime::FileTimeToUnixTime(UInt64ToFileTime(116444736000000000ULL + 9999999)));
    EXPECT_EQ(0, CXTime::FileTimeToUnixTime(UInt64ToFileTime(116444736000000000ULL - 9999999)));

    const SYSTEMTIME st{2024, 7, 0, 14, 12, 0, 0, 0};
    EXPECT_EQ(kJuillet, CXTime::SystemTimeToUnixTime(st));
    const SYSTEMTIME back = CXTime::UnixTimeToSystemTime(kJuillet);
    EXPECT_EQ(0, memcmp(&st, &back, sizeof st));
    const SYSTEMTIME none = CXTime::UnixTimeToSystemTime(LONG_MIN);
    EXPECT_EQ(0, none.wYear);
}

TEST(XTimeCalendar, CompareLeapYearsAndMonthLengths)
{
    struct Order
    {
        CXTime a, b;
        int sign;
    } orders[] = {
        {CXTime(2024, 3, 5, 7, 8, 9, 0), CXTime(2024, 3, 5, 7, 8, 9, 0), 0},
        {CXTime(2024, 3, 5, 7, 8, 10, 0), CXTime(2024, 3, 5, 7, 8, 9, 0), 1},
        {CXTime(2023, 12, 31, 23, 59, 59, 0), CXTime(2024, 1, 1, 0, 0, 0, 0), -1},
        {CXTime(2024, 2, 1, 0, 0, 0, 0), CXTime(2024, 1, 31, 0, 0, 0, 0), 1},
    };
    for (const Order& o : orders) {
        const int n = CXTime::snCompare(o.a.nGetTimeTm(), o.b.nGetTimeTm());
        EXPECT_EQ(o.sign, (n > 0) - (n < 0));
        EXPECT_EQ(o.sign > 0, o.a > o.b);
        EXPECT_EQ(o.sign >= 0, o.a >= o.b);
    }
    // Milliseconds decide last.
    SYSTEMTIME s1{2024, 1, 0, 1, 0, 0, 0, 1}, s2{2024, 1, 0, 1, 0, 0, 0, 2};
    EXPECT_TRUE(CXTime(s2, 0) > CXTime(s1, 0));
    EXPECT_FALSE(CXTime(s1, 0) >= CXTime(s2, 0));
    // Extreme fields compare without overflow.
    struct tm lo{}, hi{};
    lo.tm_year = INT32_MIN;
    hi.tm_year = INT32_MAX;
    EXPECT_LT(CXTime::snCompare(&lo, &hi), 0);
    EXPECT_GT(CXTime::snCompare(&hi, &lo), 0);

    struct Leap
    {
        int year;
        bool leap;
    } leaps[] = {{2024, true}, {2023, false}, {1900, false}, {2000, true}, {0, true}, {1600, true}};
    for (const Leap& l : leaps)
        EXPECT_EQ(l.leap, CXTime::bBissextile(l.year)) << l.year;
    EXPECT_TRUE(CXTime::bBissextile(L"2024"));
    EXPECT_TRUE(CXTime::bBissextile(L"2"));  // 2000
    EXPECT_FALSE(CXTime::bBissextile(L"19"));

    EXPECT_EQ(29, CXTime::nGetDayInMonth(2024, 2));
    EXPECT_EQ(28, CXTime::nGetDayInMonth(1900, 2));
    EXPECT_EQ(30, CXTime::nGetDayInMonth(2024, 4));
    EXPECT_EQ(-1, CXTime::nGetDayInMonth(2024, 13));
    EXPECT_EQ(-1, CXTime::nGetDayInMonth(2024, 0));
    EXPECT_EQ(29, CXTime::nGetDayInMonth(L"202402"));
    EXPECT_EQ(31, CXTime::nGetDayInMonth(L"202400"));  // month 0 counts as January
    EXPECT_EQ(31, CXTime::nGetDayInMonth(L"20241"));   // October
    EXPECT_EQ(31, CXTime::nGetDayInMonth(L"2024"));
}

}  // namespace
