// Digit texts of the date-time value read and written, and its literal forms.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/common/text/x_time_fixture.h"

namespace {

using vxtest::Texte;

class XTimeText : public vxtest::ZoneTest
{
};

INSTANTIATE_TEST_SUITE_P(Zones, XTimeText, ::testing::Values("UTC", "Europe/Paris"));

std::string Narrow(const std::wstring& w)
{
    return std::string(w.begin(), w.end());
}

TEST_P(XTimeText, ReadsTimeDateAndDateTime)
{
    struct Case
    {
        const wchar_t* text;
        int ok;
        const wchar_t* value;  // YYYYMMDDHHMMSSmmm after the read
    };
    const Case times[] = {
        {L"1234", 1, L"00000101123400000"},      {L"12345", 1, L"00000101123400000"},
        {L"123456", 1, L"00000101123456000"},    {L"1234567", 1, L"00000101123456000"},
        {L"12345678", 1, L"00000101123456780"},  {L"123456789", 1, L"00000101123456789"},
        {L"123", 0, L"00000101000000000"},       {nullptr, 0, L"00000101000000000"},
    };
    for (const Case& c : times) {
        CXTime t(2024, 3, 5, 7, 8, 9, 0);
        EXPECT_EQ(c.ok, t.bSetZLTime(c.text)) << (c.text ? Narrow(c.text) : "null");
        EXPECT_EQ(c.value, Texte(t)) << (c.text ? Narrow(c.text) : "null");
    }
    const Case dates[] = {
        {L"20240305", 1, L"20240305000000000"}, {L"20240005", 1, L"20240105000000000"},
        {L"20240300", 1, L"20240301000000000"}, {L"09000101", 1, L"09000101000000000"},
        {L"2024030", 0, L"00000101000000000"},  {L"202403051", 0, L"00000101000000000"},
    };
    for (const Case& c : dates) {
        CXTime t(2024, 3, 5, 7, 8, 9, 0);
        EXPECT_EQ(c.ok, t.bSetZLDate(c.text)) << Narrow(c.text);
        EXPECT_EQ(c.value, Texte(t)) << Narrow(c.text);
    }
    const Case dateTimes[] = {
        {L"20240305070809010", 1, L"20240305070809010"},  {L"2024030507080901", 1, L"20240305070809010"},
        {L"20240305 070809010", 1, L"20240305070809010"}, {L"20240305 07080901", 1, L"20240305070809010"},
        {L"202403050708090123", 1, L"20240305070809000"},
        // Without a fraction the text is refused, with or without the blank.
        {L"20240305070809", 0, L"00000101000000000"},     {L"20240305 070809", 0, L"00000101000000000"},
        {L"202403050708090", 0, L"00000101000000000"},    {L"", 0, L"00000101000000000"},
    };
    for (const Case& c : dateTimes) {
        CXTime w, a;
        EXPECT_EQ(c.ok, w.bSetZLDateTime(c.text, 1)) << Narrow(c.text);
        EXPECT_EQ(c.value, Texte(w)) << Narrow(c.text);
        EXPECT_EQ(1, w.nGetTimeTm()->tm_isdst);
        const std::string narrow = Narrow(c.text);
        EXPECT_EQ(c.ok, a.bSetZLDateTime(narrow.c_str(), 0)) << narrow;
        EXPECT_EQ(c.value, Texte(a)) << narrow;
    }
}

TEST_P(XTimeText, WritesEveryFormWithFieldsPadded)
{
    CXTime t(2024, 3, 5, 7, 8, 9, -1);
    SYSTEMTIME st;
    t.bGetAsSystemTime(st);
    st.wMilliseconds = 10;
    t.SetTime(st, -1);

    struct Form
    {
        void (CXTime::*pfn)(CTString&) const;
        const wchar_t* expected;
    } forms[] = {
        {&CXTime::GetZLTimeAAAAMMJJ_HHMMSS, L"20240305 070809"},
        {&CXTime::GetZLTimeHHMMSS, L"070809"},
        {&CXTime::GetZLTimeHHMM, L"0708"},
        {&CXTime::GetZLDate, L"20240305"},
        {&CXTime::GetZLTimeHHMMSSCCm, L"070809010"},
        {&CXTime::GetZLTimeAAAAMMJJHHMMSSCCm, L"20240305070809010"},
        {&CXTime::GetZLTimeReadable, L"05/03/2024 07:08:09,010"},
        {&CXTime::GetZLTimeReadableSS, L"05/03/2024 07:08:09"},
        {&CXTime::FormatToOdbcTimeStamp, L"{ts '2024-03-05 07:08:09.010'}"},
        {&CXTime::FormatToOdbcDate, L"{d '2024-03-05'}"},
        {&CXTime::FormatToOdbcTime, L"{t '07:08:09.010'}"},
    };
    for (const Form& f : forms) {
        CTString s;
        (t.*f.pfn)(s);
        EXPECT_STREQ(f.expected, s.pszGet());
    }

    wchar_t sqlServer[CXTime::TAILLE_SQLSERVER], odbc[CXTime::TAILLE_ODBC_TIMESTAMP];
    wchar_t odbcDate[CXTime::TAILLE_ODBC_DATE], odbcTime[CXTime::TAILLE_ODBC_TIME];
    t.FormatToSQLServerTimeStamp(sqlServer);
    t.FormatToOdbcTimeStamp(odbc);
    t.FormatToOdbcDate(odbcDate);
    t.FormatToOdbcTime(odbcTime);
    EXPECT_STREQ(L"20240305 07:08:09.010", sqlServer);
    EXPECT_STREQ(L"{ts '2024-03-05 07:08:09.010'}", odbc);
    EXPECT_STREQ(L"{d '2024-03-05'}", odbcDate);
    EXPECT_STREQ(L"{t '07:08:09.010'}", odbcTime);

    wchar_t wTime[CXTime::TAILLE_ZLTIME], wDate[CXTime::TAILLE_ZLDATE];
    char aTime[CXTime::TAILLE_ZLTIME], aDate[CXTime::TAILLE_ZLDATE];
    t.GetZLTime(wTime);
    t.GetZLDate(wDate);
    t.GetZLTime(aTime);
    t.GetZLDate(aDate);
    EXPECT_STREQ(L"070809010", wTime);
    EXPECT_STREQ(L"20240305", wDate);
    EXPECT_STREQ("070809010", aTime);
    EXPECT_STREQ("20240305", aDate);

    wchar_t format[CXTime::TAILLE_FORMAT];
    t.Format(L"%Y-%m-%d %H.%M.%S", format);
    EXPECT_STREQ(L"2024-03-05 07.08.09", format);
}

// The year is written on four digits however small, so that what is written
// reads back: year 900 is not "9000101", year 0 not "00101".
TEST_P(XTimeText, SmallYearsAreZeroPaddedAndReadBack)
{
    struct Case
    {
        int year;
        const wchar_t* date;
        const wchar_t* dateTime;
    } cases[] = {
        {900, L"09000101", L"09000101 000000"},
        {0, L"00000101", L"00000101 000000"},
        {5, L"00050101", L"00050101 000000"},
        {2024, L"20240101", L"20240101 000000"},
    };
    for (const Case& c : cases) {
        CXTime t(c.year, 1, 1, 0, 0, 0, -1);
        CTString date, dateTime, full;
        t.GetZLDate(date);
        t.GetZLTimeAAAAMMJJ_HHMMSS(dateTime);
        t.GetZLTimeAAAAMMJJHHMMSSCCm(full);
        EXPECT_STREQ(c.date, date.pszGet());
        EXPECT_STREQ(c.dateTime, dateTime.pszGet());
        CXTime back;
        ASSERT_TRUE(back.bSetZLDate(date.pszGet()));
        EXPECT_EQ(c.year, back.nGetTimeTm()->tm_year + 1900);
        ASSERT_TRUE(back.bSetZLDateTime(full.pszGet(), -1));
        EXPECT_EQ(c.year, back.nGetTimeTm()->tm_year + 1900);
    }
    CXTime zero;
    EXPECT_EQ(L"00000101000000000", Texte(zero));
}

TEST_P(XTimeText, BuffersAreNeverOverrun)
{
    // Fields out of range are written in full where there is room and cut,
    // terminated, where there is not.
    struct tm t{};
    t.tm_year = 123456 - 1900;
    t.tm_mon = 0;
    t.tm_mday = 1;
    t.tm_hour = 123;
    CXTime x;
    x.SetTime(t);
    wchar_t sentinel[16];
    wmemset(sentinel, L'#', 16);
    x.GetZLTime(sentinel, 5);
    EXPECT_STREQ(L"1230", sentinel);
    EXPECT_EQ(L'#', sentinel[5]);
    char a[16];
    memset(a, '#', sizeof a);
    x.GetZLDate(a, 9);
    EXPECT_STREQ("12345601", a);
    EXPECT_EQ('#', a[9]);

    CTString s;
    x.GetZLDate(s);
    EXPECT_STREQ(L"1234560101", s.pszGet());
    x.GetZLTimeAAAAMMJJHHMMSSCCm(s);
    EXPECT_STREQ(L"12345601011230000000", s.pszGet());

    // wcsftime: a text longer than the buffer, and no format, give empty.
    wchar_t small[4] = L"xyz";
    x.Format(L"%Y-%m-%d", small, 4);
    EXPECT_STREQ(L"", small);
    s = L"old";
    x.Format(nullptr, s);
    EXPECT_STREQ(L"", s.pszGet());
}

}  // namespace
