// Digit texts and binary forms of dates.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/text/ct_string.h"
#include "common/text/date_time_base.h"
#include "common/text/xy_string.h"
#include "common/text/zl_bin.h"
#include "tests/host/support/test_environment.h"

namespace {

CDateTimeBase D(int y, int m, int d, uint32_t ms = 0)
{
    CDateTimeBase r;
    r.Set(y, m, d, 0, 0, 0, 0);
    r.m_dwMilli = ms;
    return r;
}

std::string Show(const CDateTimeBase& d)
{
    char text[CDateTimeBase::LONGUEUR_DATE_HEURE + 1];
    d.VersChaine(text, CDateTimeBase::LONGUEUR_DATE_HEURE);
    return text;
}

std::wstring W(const char* s) { return std::wstring(s, s + std::strlen(s)); }

CZLBIN Bin(const char* s) { return CZLBIN(reinterpret_cast<const unsigned char*>(s), static_cast<int>(std::strlen(s))); }

constexpr uint32_t Ms(int h, int m, int s, int ms) { return static_cast<uint32_t>(h * 3600000 + m * 60000 + s * 1000 + ms); }

TEST(DateText, ReadsFields)
{
    struct Case
    {
        const char* text;
        int pos, len;
        bool partial;
        int result;
    } cases[] = {
        {"20240315", 0, 4, false, 2024}, {"20240315", 4, 2, false, 3},  {"20240315", 6, 2, false, 15},
        {"20240315", 7, 2, false, 0},    {"20240315", 7, 2, true, 50},  {"5", 0, 3, true, 500},
        {"12", 0, 3, true, 120},         {"12", 2, 3, true, 0},         {"12", 5, 1, true, 0},
        {"", 0, 2, true, 0},             {"1a34", 0, 4, false, 1},      {"ab", 0, 2, false, 0},
        {"20240315", -1, 2, false, 0},   {"20240315", 0, 0, false, 0},  {"999999999999999999", 0, 18, false, INT32_MAX},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, CDateTimeBase::nGetPropDateTime(c.text, c.pos, c.len, c.partial))
            << c.text << " " << c.pos << " " << c.len;
        EXPECT_EQ(c.result, CDateTimeBase::nGetPropDateTime(W(c.text).c_str(), c.pos, c.len, c.partial))
            << c.text << " " << c.pos << " " << c.len;
    }
    EXPECT_EQ(0, CDateTimeBase::nGetPropDateTime(static_cast<const char*>(nullptr), 0, 2, true));
}

TEST(DateText, WritesFields)
{
    char buffer[12];
    std::memset(buffer, 'x', sizeof buffer);
    CDateTimeBase::SetPropDateTime(buffer, 2, 3, 7, 8);
    EXPECT_EQ(std::string("xx007xxx"), buffer);
    CDateTimeBase::SetPropDateTime(buffer, 6, 4, 1234, 8);
    EXPECT_EQ(std::string("xx007x00"), buffer) << "a field past the total becomes zeros";
    CDateTimeBase::SetPropDateTime(buffer, 0, 2, 12345, 8);
    EXPECT_EQ(std::string("45007x00"), buffer) << "the field's last digits";
    wchar_t wide[6];
    CDateTimeBase::SetPropDateTime(wide, 0, 5, 42, 5);
    EXPECT_EQ(std::wstring(L"00042"), wide);
}

TEST(DateText, FromStringAndBack)
{
    struct Case
    {
        const char* text;
        const char* result;
    } cases[] = {
        {"20240315", "20240315000000000"},
        {"20240315123045678", "20240315123045678"},
        {"2024031512", "20240315120000000"},
        {"202403151230", "20240315123000000"},
        {"202403151230455", "20240315123045500"},
        {"2024031512304512", "20240315123045120"},
        {"20240315123045678999", "20240315123045678"},
        {"2024", "20240000000000000"},
        {"", "00000000000000000"},
        {"20241399", "20241399000000000"},  // no check
    };
    for (const Case& c : cases) {
        CDateTimeBase d = D(1999, 9, 9, 999);
        d.FromString(c.text);
        EXPECT_EQ(c.result, Show(d)) << c.text;
        CDateTimeBase w = D(1999, 9, 9, 999);
        w.FromString(W(c.text).c_str());
        EXPECT_EQ(c.result, Show(w)) << c.text;
        CDateTimeBase b = D(1999, 9, 9, 999);
        b.DepuisBinaire(&(const CZLBIN&)Bin(c.text));
        EXPECT_EQ(c.result, Show(b)) << c.text;
    }
}

TEST(DateText, PartsOfTheDigitText)
{
    const CDateTimeBase d = D(2024, 3, 5, Ms(7, 8, 9, 12));
    char text[20];
    wchar_t wide[20];
    struct Case
    {
        unsigned long n;
        const char* result;
    } cases[] = {{17, "20240305070809012"}, {8, "20240305"}, {4, "2024"}, {10, "2024030507"}, {30, "20240305070809012"}, {0, ""}};
    for (const Case& c : cases) {
        d.VersChaine(text, c.n);
        EXPECT_EQ(std::string(c.result), text) << c.n;
        d.VersChaine(wide, c.n);
        EXPECT_EQ(W(c.result), wide) << c.n;
    }
    EXPECT_EQ(0, d.nVersDate(text, 6));
    EXPECT_EQ(std::string("202403"), text);
    EXPECT_EQ(0, d.nVersDate(wide, 99));
    EXPECT_EQ(std::wstring(L"20240305"), wide);
    EXPECT_EQ(0, d.nVersHeure(text, 4));
    EXPECT_EQ(std::string("0708"), text);
    EXPECT_EQ(0, d.nVersHeure(wide, 99));
    EXPECT_EQ(std::wstring(L"070809012"), wide);
    EXPECT_EQ(0, d.nVersHeure(text, -3));
    EXPECT_EQ(std::string(""), text);
}

TEST(DateText, ValidatedBinaryForms)
{
    struct Case
    {
        const char* text;
        int rc;
        const char* result;  // on success
    } cases[] = {
        {"2024030512", 0, "20240305120000000"},
        {"20240305123", 111, nullptr},
        {"202403051230", 0, "20240305123000000"},
        {"2024030512304", 111, nullptr},
        {"202403051230455", 0, "20240305123045500"},
        {"2024030512304512", 0, "20240305123045120"},
        {"20240305123045X", 0, "20240305123045000"},
        {"2024030512X045", 111, nullptr},
        {"20240305246000", 111, nullptr},
        {"20240305126000", 111, nullptr},
        {"20240305125960", 111, nullptr},
        {"20240305235959999", 0, "20240305235959999"},
        {"20240305", 0, "20240305000000000"},
        {"20240230", 110, nullptr},
        {"00000101", 0, "00000101000000000"},
        {"2024013", 110, nullptr},
        {"2024a101", 110, nullptr},
        {"20241301", 110, nullptr},
        {"", 110, nullptr},
    };
    for (const Case& c : cases) {
        CDateTimeBase d = D(1999, 9, 9, 999);
        EXPECT_EQ(c.rc, d.nDepuisBinaireValide(&(const CZLBIN&)Bin(c.text))) << c.text;
        EXPECT_EQ(c.result ? c.result : "19990909000000999", Show(d)) << c.text << ": a failure changes nothing";
    }
    CDateTimeBase midnight = D(2000, 1, 1, 77);
    EXPECT_TRUE(midnight.__bSetPartieHeureValide("", 0));
    EXPECT_EQ(0u, midnight.m_dwMilli);
}

TEST(DateText, RuntimeStringAndBinary)
{
    const CDateTimeBase d = D(2024, 12, 31, Ms(23, 59, 59, 999));
    CXYString<wchar_t> s;
    ASSERT_EQ(0, d.nVersChaine(&s));
    EXPECT_EQ(std::wstring(L"20241231235959999"), s.pszGet());
    CZLBIN b;
    ASSERT_EQ(0, d.nVersBinaire(&b));
    EXPECT_EQ(17, b.nGetTailleUtile());
    EXPECT_EQ(0, std::memcmp("20241231235959999", b.pbyGet(), 17)) << "no terminator of its own";
    CDateTimeBase back;
    back.InitDate();
    EXPECT_EQ(0, back.nDepuisBinaireValide(&b));
    EXPECT_EQ(0, CDateTimeBase::nCompare(&d, &back));
}

TEST(DateText, HeapText)
{
    const CDateTimeBase d = D(2024, 12, 31, Ms(23, 59, 59, 999));
    wchar_t* psz = d.pszCreeChaine();
    ASSERT_NE(nullptr, psz);
    EXPECT_EQ(std::wstring(L"20241231235959999"), psz);
    std::free(psz);
}

TEST(DateText, WideStrings)
{
    const CDateTimeBase d = D(2024, 3, 5, Ms(7, 8, 9, 12));
    CTString s(L"old");
    d.VersChaine(&s);
    EXPECT_EQ(std::wstring(L"20240305070809012"), s.pszGet());
    EXPECT_EQ(std::wstring(L"20240305070809012"), d.VersChaine().pszGet());
    EXPECT_EQ(std::wstring(L"2024-3-5 7:8:9,12"), d.VersChaineFormate().pszGet());
    CDateTimeBase odd;
    odd.Set(65535, 255, 255, 0, 0, 0, 0);
    odd.m_dwMilli = 0xFFFFFFFFu;
    EXPECT_EQ(std::wstring(L"65535-255-255 1193:2:47,295"), odd.VersChaineFormate().pszGet());
}

TEST(DateText, ComparesTexts)
{
    struct Case
    {
        const wchar_t* a;
        const wchar_t* b;
        int result;
    } cases[] = {
        {L"20240101", L"20240101120000000", 0}, {L"20240102", L"20240101999", 1}, {L"", L"", 0},
        {nullptr, L"", 0},                      {L"", L"1", -1},                  {L"1", L"", 1},
        {L"1200", L"1159", 1},                  {L"0930", L"09301", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, CDateTimeBase::nCompareDate(c.a, c.b));
        EXPECT_EQ(c.result, CDateTimeBase::nCompareHeure(c.a, c.b));
    }
    const CDateTimeBase d = D(2024, 1, 1, Ms(12, 0, 0, 0));
    EXPECT_EQ(0, CDateTimeBase::nCompare(&d, L"20240101"));
    EXPECT_EQ(1, CDateTimeBase::nCompare(&d, L"2024010111"));
    EXPECT_EQ(-1, CDateTimeBase::nCompare(&d, L"2024010113"));
    EXPECT_EQ(1, CDateTimeBase::nCompare(&d, L""));
}

TEST(DateText, SystemRecords)
{
    SYSTEMTIME st;
    std::memset(&st, 0x11, sizeof st);
    const CDateTimeBase d = D(2024, 2, 29, Ms(13, 14, 15, 16));
    EXPECT_EQ(0, d.nVersSysteme(&st));
    EXPECT_EQ(2024, st.wYear);
    EXPECT_EQ(2, st.wMonth);
    EXPECT_EQ(29, st.wDay);
    EXPECT_EQ(13, st.wHour);
    EXPECT_EQ(14, st.wMinute);
    EXPECT_EQ(15, st.wSecond);
    EXPECT_EQ(16, st.wMilliseconds);
    EXPECT_EQ(0x1111, st.wDayOfWeek) << "not touched";

    EXPECT_EQ(0, CDateTimeBase::nDateVersSysteme(L"20231130", &st));
    EXPECT_EQ(2023, st.wYear);
    EXPECT_EQ(11, st.wMonth);
    EXPECT_EQ(30, st.wDay);
    EXPECT_EQ(0, st.wHour + st.wMinute + st.wSecond + st.wMilliseconds);

    EXPECT_EQ(0, CDateTimeBase::nHeureVersSysteme(L"2359595", &st));
    EXPECT_EQ(0, st.wYear + st.wMonth + st.wDay);
    EXPECT_EQ(23, st.wHour);
    EXPECT_EQ(59, st.wMinute);
    EXPECT_EQ(59, st.wSecond);
    EXPECT_EQ(500, st.wMilliseconds);
    EXPECT_EQ(0x1111, st.wDayOfWeek);
    EXPECT_EQ(std::wstring(L"0000"), CDateTimeBase::ms_pcszValeurInitTime);
    EXPECT_EQ(std::wstring(L""), CDateTimeBase::ms_pcszValeurInitDate);
}

}  // namespace
