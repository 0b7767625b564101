// Calendar arithmetic of the date-time value, checked day by day against
// std::chrono's civil calendar from the Gregorian reform to 31 December 9999
// and against the Julian calendar's own rules before it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "common/text/date_time_base.h"
#include "common/text/duree_base.h"

namespace {

namespace chr = std::chrono;

CDateTimeBase D(int y, int m, int d, uint32_t ms = 0)
{
    CDateTimeBase r;
    r.InitDate();
    r.m_wAnnee = static_cast<uint16_t>(y);
    r.m_byMois = static_cast<uint8_t>(m);
    r.m_byJour = static_cast<uint8_t>(d);
    r.m_dwMilli = ms;
    return r;
}

std::string Show(const CDateTimeBase& d)
{
    char text[CDateTimeBase::LONGUEUR_DATE_HEURE + 1];
    d.VersChaine(text, CDateTimeBase::LONGUEUR_DATE_HEURE);
    return text;
}

// Day number of a civil date from std::chrono: days since 31 December 1799.
int64_t ChronoDayNumber(chr::sys_days day)
{
    return (day - chr::sys_days{chr::year{1799} / 12 / 31}).count();
}

TEST(DateLayout, FirstWordComparesAsADate)
{
    const CDateTimeBase d = D(2024, 3, 17, 5);
    uint32_t word;
    std::memcpy(&word, &d, 4);
    EXPECT_EQ(2024u * 65536 + 3 * 256 + 17, word);
    CDateTimeBase empty;
    std::memset(&empty, 0x5A, sizeof empty);
    empty.InitDate();
    EXPECT_TRUE(empty.bEstVide());
    for (unsigned char b : reinterpret_cast<unsigned char(&)[8]>(empty))
        EXPECT_EQ(0, b);
}

bool Same(const CDateTimeBase& d, const chr::year_month_day& ymd)
{
    return d.m_wAnnee == static_cast<int>(ymd.year()) && d.m_byMois == static_cast<unsigned>(ymd.month()) &&
           d.m_byJour == static_cast<unsigned>(ymd.day());
}

// One day of the walk below; an empty result when everything agrees. Plain
// comparisons keep the three million days fast under the sanitizers.
std::string CheckGregorianDay(chr::sys_days day, int k, int mk)
{
    const chr::sys_days first = chr::year{1582} / 10 / 15, last = chr::year{9999} / 12 / 31;
    const chr::year_month_day ymd{day};
    const int y = static_cast<int>(ymd.year());
    const CDateTimeBase d = D(y, static_cast<int>(static_cast<unsigned>(ymd.month())),
                              static_cast<int>(static_cast<unsigned>(ymd.day())), 1234);
    const int64_t expected = ChronoDayNumber(day);
    if (CDateTimeBase::s_nDateVersEntier(d.m_byJour, d.m_byMois, d.m_wAnnee) != expected)
        return "day number";
    CDateTimeBase back = D(1, 1, 1, 1234);
    if (!back.bDepuisEntier(expected) || CDateTimeBase::nCompare(&d, &back) != 0)
        return "date of the day number: " + Show(back);

    const chr::weekday wd{day};
    if (d.nGetJourDeLaSemaine() != static_cast<int>(wd.c_encoding()))
        return "week day";
    // Days of the year and ISO weeks of 1582 count without the ten days the
    // reform skipped: only later years compare with the proleptic calendar.
    if (y >= 1583 && d.nGetJourDansAnnee() != (day - chr::sys_days{ymd.year() / 1 / 1}).count() + 1)
        return "day of the year";
    const int iso = static_cast<int>(wd.iso_encoding());
    const chr::sys_days thursday = day + chr::days{4 - iso};
    const chr::year_month_day thu{thursday};
    int isoYear = 0, week = 0, isoDay = 0;
    const bool bIso = d.VersISO8601YWD(isoYear, week, isoDay);
    if (thu.year() > chr::year{9999}) {
        if (bIso)
            return "ISO week of a Thursday after 9999";
    } else if (thu.year() < chr::year{1583}) {
        if (!bIso || isoYear != 1582)
            return "ISO week in 1582";
    } else if (!bIso || isoYear != static_cast<int>(thu.year()) || isoDay != iso ||
               week != (thursday - chr::sys_days{thu.year() / 1 / 1}).count() / 7 + 1) {
        return "ISO week " + std::to_string(isoYear) + "-" + std::to_string(week) + "-" + std::to_string(isoDay);
    }

    // A shift by k days.
    const chr::sys_days target = day + chr::days{k};
    CDateTimeBase s = d;
    if (target >= first && target <= last) {
        if (!s.bDecaleJour(k) || !Same(s, chr::year_month_day{target}) || s.m_dwMilli != 1234)
            return "shift by " + std::to_string(k) + " days: " + Show(s);
    }

    // A shift by mk months, the day cut to the new month.
    const chr::year_month ym = ymd.year() / ymd.month() + chr::months{mk};
    if (ym.year() >= chr::year{1583} && ym.year() <= chr::year{9999}) {
        const chr::year_month_day_last end{ym / chr::last};
        const chr::day cut = std::min(ymd.day(), end.day());
        s = d;
        if (!s.bDecaleMois(mk) || !Same(s, chr::year_month_day{ym / cut}))
            return "shift by " + std::to_string(mk) + " months: " + Show(s);
    }
    return "";
}

// Every day from 15 October 1582 to 31 December 9999: day numbers both
// ways, week days, days of the year, ISO weeks, and shifts by days and
// months, all against the civil calendar. The three million days are split
// over a few threads to stay quick under the sanitizers.
TEST(DateCalendar, AgreesWithTheCivilCalendarOnEveryGregorianDay)
{
    const chr::sys_days first = chr::year{1582} / 10 / 15, last = chr::year{9999} / 12 / 31;
    constexpr int kThreads = 4;
    const int64_t span = (last - first).count() + 1;
    std::vector<std::string> failures(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            uint32_t seed = 12345u + static_cast<uint32_t>(t);
            auto next = [&seed] {
                seed = seed * 1103515245u + 12345u;
                return seed >> 8;
            };
            const chr::sys_days from = first + chr::days{span * t / kThreads};
            const chr::sys_days to = first + chr::days{span * (t + 1) / kThreads};
            for (chr::sys_days day = from; day < to; day += chr::days{1}) {
                const int k = static_cast<int>(next() % 22000) - 11000;  // up to about 30 years
                const int mk = static_cast<int>(next() % 2000) - 1000;
                std::string failure = CheckGregorianDay(day, k, mk);
                if (!failure.empty()) {
                    const chr::year_month_day ymd{day};
                    failures[t] = std::to_string(static_cast<int>(ymd.year())) + "-" +
                                  std::to_string(static_cast<unsigned>(ymd.month())) + "-" +
                                  std::to_string(static_cast<unsigned>(ymd.day())) + ": " + failure;
                    return;
                }
            }
        });
    }
    for (std::thread& th : threads)
        th.join();
    for (const std::string& f : failures)
        EXPECT_EQ("", f);
}

// Before the reform: the Julian calendar, every fourth year a leap year, the
// Julian Day Number by its Julian formula, and day numbers running on without
// a gap into 15 October 1582.
TEST(DateCalendar, FollowsTheJulianCalendarBeforeTheReform)
{
    static const int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int64_t expected = CDateTimeBase::JOUR_MIN;
    int y = 1, m = 1, d = 1;
    for (;;) {
        const CDateTimeBase date = D(y, m, d);
        ASSERT_EQ(expected, CDateTimeBase::s_nDateVersEntier(d, m, y)) << Show(date);
        const int64_t a = (14 - m) / 12, yy = y + 4800 - a, mm = m + 12 * a - 3;
        const int64_t jdn = d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - 32083;
        ASSERT_EQ(jdn, date.nVersJourJulien()) << Show(date);
        ASSERT_EQ(jdn, expected + 2378496);
        CDateTimeBase back = D(9, 9, 9);
        ASSERT_TRUE(back.bDepuisEntier(expected));
        ASSERT_EQ(0, CDateTimeBase::nCompare(&date, &back)) << Show(date) << " " << Show(back);
        ASSERT_EQ(static_cast<int>((jdn + 1) % 7), date.nGetJourDeLaSemaine()) << Show(date);
        if (y == 1582 && m == 10 && d == 4)
            break;
        const int len = kLengths[m - 1] + (m == 2 && y % 4 == 0 ? 1 : 0);
        ASSERT_EQ(len, CDateTimeBase::s_nGetNbJourMois(m, y));
        ++expected;
        if (++d > len) {
            d = 1;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
    }
    EXPECT_EQ(expected + 1, CDateTimeBase::s_nDateVersEntier(15, 10, 1582)) << "no gap across the reform";
    EXPECT_EQ(4, D(1582, 10, 4).nGetJourDeLaSemaine()) << "Thursday 4 October";
    EXPECT_EQ(5, D(1582, 10, 15).nGetJourDeLaSemaine()) << "was followed by Friday 15 October";
    EXPECT_TRUE(CDateTimeBase::s_bDateValide(29, 2, 1500)) << "1500 is a leap year of the Julian calendar";
    EXPECT_FALSE(CDateTimeBase::s_bDateValide(29, 2, 1700));
}

TEST(DateCalendar, DayNumbersJulianDaysAndISOWeeksOfKnownDates)
{
    EXPECT_EQ(1, CDateTimeBase::s_nDateVersEntier(1, 1, 1800));
    EXPECT_EQ(0, CDateTimeBase::s_nDateVersEntier(31, 12, 1799));
    EXPECT_EQ(73049, CDateTimeBase::s_nDateVersEntier(1, 1, 2000));
    EXPECT_EQ(6, D(2000, 1, 1).nGetJourDeLaSemaine());
    EXPECT_EQ(2994988, CDateTimeBase::s_nDateVersEntier(31, 12, 9999));
    EXPECT_EQ(CDateTimeBase::JOUR_MIN, CDateTimeBase::s_nDateVersEntier(1, 1, 1));
    EXPECT_EQ(0, CDateTimeBase::s_nDateVersEntier(30, 2, 2024)) << "invalid";
    EXPECT_EQ(0, CDateTimeBase::s_nDateVersEntier(1, 13, 2024));
    EXPECT_EQ(0, CDateTimeBase::s_nDateVersEntier(1, 1, 10000));

    EXPECT_EQ(2299161, D(1582, 10, 15).nVersJourJulien());
    EXPECT_EQ(2299160, D(1582, 10, 4).nVersJourJulien());
    EXPECT_EQ(2299161, D(1582, 10, 10).nVersJourJulien()) << "the skipped days count as the 15th";
    EXPECT_EQ(2451545, D(2000, 1, 1).nVersJourJulien());

    int y, w, wd;
    ASSERT_TRUE(D(2021, 1, 7).VersISO8601YWD(y, w, wd));
    EXPECT_EQ(2021, y);
    EXPECT_EQ(1, w);
    EXPECT_EQ(4, wd);
    ASSERT_TRUE(D(2021, 1, 1).VersISO8601YWD(y, w, wd));
    EXPECT_EQ(2020, y);
    EXPECT_EQ(53, w);
    EXPECT_EQ(5, wd);
    EXPECT_FALSE(D(2021, 2, 30).VersISO8601YWD(y, w, wd));
    EXPECT_EQ(-1, D(2021, 2, 30).nGetJourDeLaSemaine()) << "no week day for an invalid date";
    EXPECT_EQ(0, D(0, 0, 0).nGetJourDansAnnee());

    int n = 7;
    EXPECT_EQ(CDateTimeBase::ERR_DATE_INVALIDE, D(2023, 2, 29).nVersEntier(&n));
    EXPECT_EQ(7, n);
}

TEST(DateCalendar, ShiftsByMonthsAndYearsCutTheDay)
{
    struct Case
    {
        CDateTimeBase from;
        char unit;  // 'j' days, 'm' months, 'a' years
        int by;
        const char* to;  // null: fails and the value stays
    } cases[] = {
        {D(2023, 1, 31), 'm', 1, "20230228000000000"},
        {D(2024, 1, 31), 'm', 1, "20240229000000000"},
        {D(2024, 2, 29), 'a', 1, "20250228000000000"},
        {D(2024, 1, 15), 'm', -1, "20231215000000000"},
        {D(2024, 1, 15), 'm', -13, "20221215000000000"},
        {D(2024, 12, 15), 'm', 1, "20250115000000000"},
        {D(2024, 3, 31), 'm', -25, "20220228000000000"},
        {D(1, 1, 1), 'a', -2, nullptr},
        {D(9999, 1, 1), 'a', 1, nullptr},
        {D(9999, 12, 1), 'm', 1, nullptr},
        {D(1, 1, 31), 'm', -1, nullptr},
        {D(9999, 12, 31), 'j', 1, nullptr},
        {D(1, 1, 1), 'j', -1, nullptr},
        {D(1, 1, 1), 'j', 0x7FFFFFFF, nullptr},
        {D(9999, 12, 31), 'j', -0x7FFFFFFF - 1, nullptr},
        {D(9999, 12, 31), 'j', -3652060, "00010101000000000"},
        {D(9999, 12, 31), 'j', -3652061, nullptr},
        {D(1, 1, 1), 'j', 3652060, "99991231000000000"},
        {D(1, 1, 1), 'j', 3652061, nullptr},
        {D(1582, 10, 4), 'j', 1, "15821015000000000"},
        {D(1582, 10, 15), 'j', -1, "15821004000000000"},
        {D(1582, 10, 10), 'j', 0, "15821015000000000"},  // a skipped day reads as the 15th
        {D(1500, 2, 28), 'j', 1, "15000229000000000"},
        {D(1500, 2, 29), 'a', 1, "15010228000000000"},
        {D(2024, 2, 30), 'j', 1, nullptr},
        {D(2024, 0, 10), 'm', 1, nullptr},
        {D(0, 5, 10), 'a', 1, nullptr},
        {D(0, 5, 10), 'm', 1, nullptr},
        {D(0, 0, 0), 'j', 100000, "00000000000000000"},
        {D(0, 2, 31), 'a', 0, nullptr},
        {D(2023, 0, 31), 'a', 1, "20240031000000000"},  // the cut leaves a month of 0 alone
        {D(2023, 2, 0), 'm', 0, "20230200000000000"},   // and a day of 0
    };
    for (const Case& c : cases) {
        CDateTimeBase d = c.from;
        SCOPED_TRACE(Show(d) + " " + c.unit + std::to_string(c.by));
        const bool ok = c.unit == 'j' ? d.bDecaleJour(c.by) : c.unit == 'm' ? d.bDecaleMois(c.by) : d.bDecaleAnnee(c.by);
        if (c.to == nullptr) {
            EXPECT_FALSE(ok);
            EXPECT_EQ(Show(c.from), Show(d));
        } else {
            EXPECT_TRUE(ok);
            EXPECT_EQ(c.to, Show(d));
        }
    }
}

TEST(DateCalendar, DayNumbersOutsideTheSupportedYearsFail)
{
    CDateTimeBase d = D(2000, 6, 6, 77);
    for (int64_t n : {static_cast<int64_t>(CDateTimeBase::JOUR_MIN) - 1, static_cast<int64_t>(CDateTimeBase::JOUR_MAX) + 1,
                      int64_t{2994989}, int64_t{-657434}, int64_t{-657073}, INT64_MIN, INT64_MAX}) {
        EXPECT_FALSE(d.bDepuisEntier(n)) << n;
        EXPECT_EQ("20000606000000077", Show(d));
    }
    ASSERT_TRUE(d.bDepuisEntier(CDateTimeBase::JOUR_MIN));
    EXPECT_EQ("00010101000000077", Show(d));
    ASSERT_TRUE(d.bDepuisEntier(CDateTimeBase::JOUR_MAX));
    EXPECT_EQ("99991231000000077", Show(d));
}

TEST(DateCalendar, MillisecondShiftsCarryIntoDays)
{
    struct Case
    {
        CDateTimeBase from;
        long by;
        const char* to;  // null: fails, nothing changes
    } cases[] = {
        {D(2024, 3, 1, 0), -1, "20240229235959999"},
        {D(2024, 2, 29, 86399999), 1, "20240301000000000"},
        {D(2024, 2, 29, 43200000), 86400000L * 366, "20250301120000000"},
        {D(2024, 2, 29, 43200000), -86400000L * 366 - 43200001, "20230227235959999"},
        {D(2024, 2, 29, 1000), 500, "20240229000001500"},
        {D(9999, 12, 31, 86399999), 1, nullptr},
        {D(1, 1, 1, 0), -1, nullptr},
        {D(2024, 1, 1, 0), 0x7FFFFFFFFFFFFFFFL, nullptr},
        {D(2024, 1, 1, 0), -0x7FFFFFFFFFFFFFFFL - 1, nullptr},
        {D(2024, 2, 30, 0), 86400000, nullptr},
        {D(2024, 2, 30, 0), 1000, "20240230000001000"},  // no day shift: the date is not looked at
        {D(0, 0, 0, 0), 86400000L * 3 + 5, "00000000000000005"},  // the empty date stays empty
    };
    for (const Case& c : cases) {
        CDateTimeBase d = c.from;
        SCOPED_TRACE(Show(d) + " " + std::to_string(c.by));
        const bool ok = d.bDecaleMilli(c.by);
        if (c.to == nullptr) {
            EXPECT_FALSE(ok);
            EXPECT_EQ(Show(c.from), Show(d)) << "neither time nor date may change";
        } else {
            EXPECT_TRUE(ok);
            EXPECT_EQ(c.to, Show(d));
        }
    }
}

TEST(DateCalendar, EmptyDateShiftedByDaysStaysEmpty)
{
    CDateTimeBase d;
    d.InitDate();
    for (int k : {1, -1, 1000000, -0x7FFFFFFF - 1}) {
        EXPECT_TRUE(d.bDecaleJour(k));
        EXPECT_TRUE(d.bEstVide());
    }
}

TEST(DateCalendar, DurationsAndDayDifferences)
{
    CDureeBase dur{123};
    const CDateTimeBase a = D(2024, 3, 1, 1000), b = D(2024, 2, 28, 2000);
    EXPECT_EQ(0, CDateTimeBase::nCalculeDuree(&a, &b, &dur));
    EXPECT_EQ(2 * 86400000LL - 1000, dur.m_llDuree);
    EXPECT_EQ(0, CDateTimeBase::nCalculeDuree(&b, &a, &dur));
    EXPECT_EQ(-2 * 86400000LL + 1000, dur.m_llDuree);
    const CDateTimeBase first = D(1, 1, 1), lastDay = D(9999, 12, 31, 86399999);
    EXPECT_EQ(0, CDateTimeBase::nCalculeDuree(&lastDay, &first, &dur));
    EXPECT_EQ((2994988LL + 657072) * 86400000 + 86399999, dur.m_llDuree);
    const CDateTimeBase bad = D(2023, 2, 29);
    dur.m_llDuree = 5;
    EXPECT_EQ(CDateTimeBase::ERR_DATE_INVALIDE, CDateTimeBase::nCalculeDuree(&a, &bad, &dur));
    EXPECT_EQ(5, dur.m_llDuree);
    int n = 0;
    EXPECT_TRUE(CDateTimeBase::bCalculeDiffJour(&a, &b, &n));
    EXPECT_EQ(2, n);
    EXPECT_FALSE(CDateTimeBase::bCalculeDiffJour(&bad, &b, &n));
}

TEST(DateCalendar, ComparesDateWordThenMilliseconds)
{
    const CDateTimeBase a = D(2024, 1, 2, 5), b = D(2024, 1, 2, 6), c = D(2024, 2, 1, 0), e = D(2023, 12, 31, 99);
    EXPECT_EQ(-1, CDateTimeBase::nCompare(&a, &b));
    EXPECT_EQ(1, CDateTimeBase::nCompare(&c, &b));
    EXPECT_EQ(1, CDateTimeBase::nCompare(&a, &e));
    EXPECT_EQ(0, CDateTimeBase::nCompare(&a, &a));
    EXPECT_EQ(0, CDateTimeBase::s_nCompareDateSeule(&a, &b));
    EXPECT_EQ(-1, CDateTimeBase::s_nCompareDateSeule(&b, &c));
    const CDateTimeBase big = D(2024, 1, 2, 0x80000000u);
    EXPECT_EQ(1, CDateTimeBase::nCompare(&big, &b)) << "milliseconds compare unsigned";
}

TEST(DateSetters, CheckTheirRangeAndCutTheDay)
{
    CDateTimeBase d = D(2024, 1, 31, 12 * 3600000 + 34 * 60000 + 56 * 1000 + 789);
    EXPECT_TRUE(d.bModifieMois(2));
    EXPECT_EQ("20240229123456789", Show(d));
    EXPECT_TRUE(d.bModifieAnnee(2023));
    EXPECT_EQ("20230228123456789", Show(d));
    EXPECT_TRUE(d.bModifieJour(31));
    EXPECT_EQ("20230228123456789", Show(d));
    EXPECT_TRUE(d.bModifieHeure(23));
    EXPECT_TRUE(d.bModifieMinute(0));
    EXPECT_TRUE(d.bModifieSeconde(59));
    EXPECT_EQ("20230228230059789", Show(d));
    for (auto [setter, value] : std::initializer_list<std::pair<bool (CDateTimeBase::*)(int), int>>{
             {&CDateTimeBase::bModifieHeure, 24},
             {&CDateTimeBase::bModifieHeure, -1},
             {&CDateTimeBase::bModifieMinute, 60},
             {&CDateTimeBase::bModifieSeconde, 60},
             {&CDateTimeBase::bModifieJour, 0},
             {&CDateTimeBase::bModifieJour, 32},
             {&CDateTimeBase::bModifieMois, 0},
             {&CDateTimeBase::bModifieMois, 13},
             {&CDateTimeBase::bModifieAnnee, 0},
             {&CDateTimeBase::bModifieAnnee, 10000}}) {
        EXPECT_FALSE((d.*setter)(value)) << value;
        EXPECT_EQ("20230228230059789", Show(d));
    }
    d.Set(2024, 13, 40, 25, 61, 61, 1000);
    EXPECT_EQ(40, d.m_byJour);
    EXPECT_EQ(13, d.m_byMois);
    EXPECT_EQ(25u * 3600000 + 61 * 60000 + 61 * 1000 + 1000, d.m_dwMilli) << "stored without a check";
}

TEST(DateSetters, InitDateFromASystemTimeRefusesAnyBadField)
{
    struct Case
    {
        SYSTEMTIME st;
        bool ok;
        const char* date;
    } cases[] = {
        {{2024, 2, 0, 29, 13, 14, 15, 999}, true, "20240229131415999"},
        {{2023, 2, 0, 29, 13, 14, 15, 0}, true, "20230228131415000"},  // the day is cut
        {{2024, 13, 0, 10, 1, 2, 3, 4}, false, "20240010010203004"},
        {{0, 1, 0, 10, 1, 2, 3, 4}, false, "00000110010203004"},
        {{2024, 1, 0, 0, 1, 2, 3, 4}, false, "20240100010203004"},
        {{2024, 1, 0, 10, 24, 2, 3, 4}, false, "20240110000203004"},
        {{2024, 1, 0, 10, 1, 60, 3, 4}, false, "20240110010003004"},
        {{2024, 1, 0, 10, 1, 2, 60, 4}, false, "20240110010200004"},
        {{2024, 1, 0, 10, 1, 2, 3, 1000}, false, "20240110010203000"},
    };
    for (const Case& c : cases) {
        CDateTimeBase d;
        std::memset(&d, 0xA5, sizeof d);  // whatever was there before
        EXPECT_EQ(c.ok, d.InitDate(&c.st)) << c.date;
        EXPECT_EQ(c.date, Show(d));
    }
    CDateTimeBase now;
    EXPECT_TRUE(now.InitDateCourante());
    EXPECT_TRUE(now.bDateValide());
    EXPECT_TRUE(now.InitDateCouranteUTC());
    EXPECT_GE(now.m_wAnnee, 2024);
}

}  // namespace
