// Date, time and date-time literals by database kind: the plain forms, the
// escape forms of kinds 7 and 8, kind 11's functions, kind 2's year 0, the
// zero date and date-time of kind 5, an empty text as NULL, and the time of
// a date-time written for a time column.
#include <gtest/gtest.h>

#include <string>

#include "common/text/string_concat_aw.h"
#include "native/driver/connection_description.h"
#include "tests/native/model/variant_fixture.h"

namespace {

class DateLiterals : public vxtest::VariantTest
{
protected:
    std::wstring Literal(int kind, const CAny& v, eNA_ITEMTYPE eType = NA_IT_EMPTY)
    {
        Connection().SetDBKind(kind);
        CTStringConcatAW out(CTStringConcatAW::kMaitreLarge, 1252);
        EXPECT_EQ(1, m_pclConnection->bConvertValueToString(m_pclError, &out, &v, eType, NA_IT_EMPTY));
        return out.pszGetW();
    }
};

TEST_F(DateLiterals, FormsByKind)
{
    const CAny date = Make(ZLTYPE_DATEA, L"20240131");
    const CAny dateW = Make(ZLTYPE_DATEW, L"20240131");
    const CAny time = Make(ZLTYPE_TIMEW, L"134559123");
    const CAny timeA = Make(ZLTYPE_TIMEA, L"0705");
    const CAny dateTime = Make(ZLTYPE_DATETIME, L"20240131134559123");
    struct Case
    {
        int kind;
        const CAny* value;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {5, &date, L"'2024-01-31'"},
        {5, &dateW, L"'2024-01-31'"},
        {5, &time, L"'13:45:59.123'"},
        {5, &timeA, L"'07:05:00.000'"},
        {5, &dateTime, L"'2024-01-31 13:45:59.123'"},
        {7, &date, L"{d '2024-01-31'}"},
        {7, &time, L"{t '13:45:59'}"},
        {7, &dateTime, L"{ts '2024-01-31 13:45:59.123'}"},
        {8, &date, L"{d '2024-01-31'}"},
        {8, &time, L"{t '13:45:59'}"},
        {8, &dateTime, L"{ts '2024-01-31 13:45:59.123'}"},
        {11, &date, L"MDY(01,31,2024)"},
        {11, &time, L"DATETIME(13:45) HOUR TO MINUTE"},
        {11, &dateTime, L"DATETIME(2024-01-31 13:45:59.123) YEAR TO FRACTION"},
        {2, &date, L"'2024-01-31'"},
        {2, &dateTime, L"'2024-01-31 13:45:59.123'"},
        {3, &time, L"'13:45:59.123'"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, Literal(c.kind, *c.value)) << "kind " << c.kind;
    EXPECT_TRUE(NoError());
}

TEST_F(DateLiterals, ZeroDatesOfKindFiveAndYearZeroOfKindTwo)
{
    const CAny zeroDate = Make(ZLTYPE_DATEA, L"00000000");
    const CAny zeroDateTime = Make(ZLTYPE_DATETIME, L"00000000134559007");
    // The server's zero date-time, as written: five zeros in the year.
    EXPECT_EQ(L"'0000-00-00'", Literal(5, zeroDate));
    EXPECT_EQ(L"'00000-00-00 13:45:59.007'", Literal(5, zeroDateTime));
    // Other kinds read the date as its first instant (month and day 0 are
    // January and the first).
    EXPECT_EQ(L"'0000-01-01'", Literal(3, zeroDate));
    EXPECT_EQ(L"'1900-01-01 13:45:59.007'", Literal(2, zeroDateTime));
    EXPECT_EQ(L"{ts '0000-01-01 13:45:59.007'}", Literal(7, zeroDateTime));
}

TEST_F(DateLiterals, EmptyTextIsNullAndHeureTargetsTakeTheTime)
{
    CAny emptyDate;
    emptyDate.SetDATEA("");
    EXPECT_EQ(L"NULL", Literal(5, emptyDate));
    CAny emptyTime;
    emptyTime.SetTIMEW(L"");
    EXPECT_EQ(L"NULL", Literal(7, emptyTime));
    const CAny dateTime = Make(ZLTYPE_DATETIME, L"20240131134559123");
    EXPECT_EQ(L"'13:45:59.123'", Literal(5, dateTime, NA_IT_HEURE));
    EXPECT_EQ(L"{t '13:45:59'}", Literal(8, dateTime, NA_IT_HEURE));
    // Through the strict cast, a date text for a DATETIME column.
    const CAny text = Make(ZLTYPE_DSTRW, L"20240131");
    EXPECT_EQ(L"'2024-01-31 00:00:00.000'", Literal(5, text, NA_IT_DATETIME));
}

TEST_F(DateLiterals, AppendedPiecesLeaveWhatTheBuilderHeld)
{
    // The date piece appends: what the builder held stays in front.
    CTStringConcatAW out(CTStringConcatAW::kMaitreLarge, 1252);
    out.Add(L"x = ", -1);
    const CAny date = Make(ZLTYPE_DATEA, L"20240131");
    ASSERT_EQ(1, m_pclConnection->_bDateToString(m_pclError, &out, &date, NA_IT_EMPTY));
    EXPECT_STREQ(L"x = '2024-01-31'", out.pszGetW());
    // Any other type: nothing, and success.
    CAny n;
    n.SetI4(1);
    ASSERT_EQ(1, m_pclConnection->_bDateToString(m_pclError, &out, &n, NA_IT_EMPTY));
    EXPECT_STREQ(L"x = '2024-01-31'", out.pszGetW());
    ASSERT_EQ(1, m_pclConnection->_bBoolToString(m_pclError, &out, 0));
    EXPECT_STREQ(L"x = '2024-01-31'0", out.pszGetW());
}

}  // namespace
