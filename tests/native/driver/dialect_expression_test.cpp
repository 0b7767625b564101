// Column expressions in the host's compact date and time texts, compared as
// exact texts: kind 5 for every item size, one line per other kind and
// form, and the rule of the kinds without a fraction function of their own.
#include <gtest/gtest.h>

#include <string>

#include "common/text/string_concat_aw.h"
#include "tests/fakes/fake_item_description.h"
#include "tests/fakes/test_connection.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/support/test_environment.h"

namespace {

constexpr int kHeure = 11;
constexpr int kDate8 = 14;
constexpr int kDateTime = 24;

struct stRow
{
    int nKind;
    int eType;
    int nSize;
    const wchar_t* pszExpected;
    int nResult = 1;
};

class DialectExpression : public ::testing::Test
{
protected:
    // The expression written for a column T.C after "WHERE " (so that a cut
    // is seen to wrap only the expression), without "WHERE ".
    std::wstring Written(const stRow& r, INAItemDescription* piSource, int* pnResult)
    {
        m_connection.SetDBKind(r.nKind);
        CFakeItemDescription item(r.eType);
        item.SetItemSize(r.nSize);
        CTStringConcatAW out(CTStringConcatAW::kMaitreLarge, 1252);
        out.Add(L"WHERE ", -1);
        *pnResult = m_connection.bConvertExpressionToString(nullptr, &out, L"T.C", &item, piSource);
        const std::wstring text = out.pszGetW();
        EXPECT_EQ(0u, text.find(L"WHERE "));
        return text.substr(6);
    }

    void Check(const stRow* rows, size_t n, INAItemDescription* piSource = nullptr)
    {
        for (size_t i = 0; i < n; ++i) {
            const stRow& r = rows[i];
            SCOPED_TRACE(testing::Message() << "kind " << r.nKind << " type " << r.eType << " size " << r.nSize);
            int nResult = -1;
            EXPECT_EQ(r.pszExpected, Written(r, piSource, &nResult));
            EXPECT_EQ(r.nResult, nResult);
        }
    }

    StandinConnectionDescription m_host;
    CTestConnection m_connection{L"id", &m_host};
};

TEST_F(DialectExpression, KindFiveEverySize)
{
    const stRow rows[] = {
        {5, kDate8, 9, L"DATE_FORMAT(T.C,'%Y%m%d')"},
        {5, kDateTime, 8, L"SUBSTR(DATE_FORMAT(T.C,'%Y%m%d%H%i%S%f'), 1, 17)"},
        {5, kHeure, 4, L"T.C", 0},
        {5, kHeure, 5, L"TIME_FORMAT(T.C,'%H%i')"},
        {5, kHeure, 6, L"SUBSTR(TIME_FORMAT(T.C,'%H%i%S'), 1, 5)"},
        {5, kHeure, 7, L"TIME_FORMAT(T.C,'%H%i%S')"},
        {5, kHeure, 8, L"SUBSTR(TIME_FORMAT(T.C,'%H%i%S%f'), 1, 7)"},
        {5, kHeure, 9, L"SUBSTR(TIME_FORMAT(T.C,'%H%i%S%f'), 1, 8)"},
        // The fraction has six digits: cut to 9 too.
        {5, kHeure, 10, L"SUBSTR(TIME_FORMAT(T.C,'%H%i%S%f'), 1, 9)"},
        {5, kHeure, 11, L"T.C", 0},
        {5, 2, 20, L"T.C", 0},
        {5, 10, 6, L"T.C", 0},
    };
    Check(rows, std::size(rows));
}

TEST_F(DialectExpression, Date8ByKind)
{
    const stRow rows[] = {
        {2, kDate8, 9, L"REPLACE(CONVERT(varchar(10),T.C,20),'-','')"},
        {3, kDate8, 9, L"FORMAT(T.C,'YYYYMMdd')"},
        {4, kDate8, 9, L"CONVERT(VARCHAR(8),T.C,112)"},
        {7, kDate8, 9, L"REPLACE(CHAR(DATE(T.C)), '-', '')"},
        {11, kDate8, 9, L"TO_CHAR(T.C,'%Y%m%d')"},
        {13, kDate8, 9, L"strftime('%Y%m%d',T.C)"},
        {1, kDate8, 9, L"TO_CHAR(T.C,'YYYYMMDD')"},
        {0, kDate8, 9, L"TO_CHAR(T.C,'YYYYMMDD')"},
    };
    Check(rows, std::size(rows));
}

TEST_F(DialectExpression, TimeOfFourAndSixDigitsByKind)
{
    const stRow rows[] = {
        // Kind 2 has no four-digit form: its six-digit one, cut.
        {2, kHeure, 5, L"SUBSTRING(REPLACE(CONVERT(varchar(8),T.C,108),':',''), 1, 4)"},
        {3, kHeure, 5, L"FORMAT(T.C,'HHmm')"},
        {4, kHeure, 5, L"STUFF(CONVERT(VARCHAR(5),T.C,108), 3, 1, NULL)"},
        {7, kHeure, 5, L"SUBSTR(REPLACE(CHAR(TIME(T.C)), '.', ''), 1, 4)"},
        {11, kHeure, 5, L"TO_CHAR(T.C,'%H%M')"},
        {13, kHeure, 5, L"strftime('%H%M',T.C)"},
        {1, kHeure, 5, L"TO_CHAR(T.C,'HH24MI')"},
        {2, kHeure, 7, L"REPLACE(CONVERT(varchar(8),T.C,108),':','')"},
        {3, kHeure, 7, L"FORMAT(T.C,'HHmmss')"},
        {4, kHeure, 7, L"STUFF(STUFF(CONVERT(VARCHAR(8),T.C,108), 3, 1, NULL), 5, 1, NULL)"},
        {7, kHeure, 7, L"REPLACE(CHAR(TIME(T.C)), '.', '')"},
        {11, kHeure, 7, L"TO_CHAR(T.C,'%H%M%S')"},
        {13, kHeure, 7, L"strftime('%H%M%S',T.C)"},
        {1, kHeure, 7, L"TO_CHAR(T.C,'HH24MISS')"},
        {3, kHeure, 6, L"SUBSTRING(FORMAT(T.C,'HHmmss'), 1, 5)"},
        {7, kHeure, 6, L"SUBSTR(REPLACE(CHAR(TIME(T.C)), '.', ''), 1, 5)"},
    };
    Check(rows, std::size(rows));
}

TEST_F(DialectExpression, TimeWithMillisecondsByKind)
{
    const stRow rows[] = {
        {2, kHeure, 10, L"REPLACE(REPLACE(CONVERT(varchar(12),T.C,114),':',''),'.','')"},
        {2, kHeure, 8, L"SUBSTRING(REPLACE(REPLACE(CONVERT(varchar(12),T.C,114),':',''),'.',''), 1, 7)"},
        // Kind 3 pads instead of cutting.
        {3, kHeure, 8, L"(FORMAT(T.C,'HHmmss') + '0')"},
        {3, kHeure, 9, L"(FORMAT(T.C,'HHmmss') + '00')"},
        {3, kHeure, 10, L"(FORMAT(T.C,'HHmmss') + '000')"},
        {4, kHeure, 10,
         L"STUFF(STUFF(CONVERT(VARCHAR(8),T.C,108), 3, 1, NULL), 5, 1, NULL)"
         L"+SUBSTRING(CONVERT(CHAR(4), 1000+DATEPART(ms,T.C)),2,4)"},
        {4, kHeure, 9,
         L"SUBSTRING(STUFF(STUFF(CONVERT(VARCHAR(8),T.C,108), 3, 1, NULL), 5, 1, NULL)"
         L"+SUBSTRING(CONVERT(CHAR(4), 1000+DATEPART(ms,T.C)),2,4), 1, 8)"},
        {6, kHeure, 10, L"TO_CHAR(T.C,'HH24MISSMS')"},
        {7, kHeure, 10, L"SUBSTR(REPLACE(REPLACE(CHAR(TIMESTAMP_ISO(T.C)), '-', ''), '.', ''),9,9)"},
        {8, kHeure, 10, L"TO_CHAR(T.C,'HH24MISSMLS')"},
        {11, kHeure, 10, L"TO_CHAR(T.C,'%H%M%S%F3')"},
        {11, kHeure, 8, L"SUBSTR(TO_CHAR(T.C,'%H%M%S%F1'), 1, 7)"},
        {13, kHeure, 10, L"REPLACE(strftime('%H%M%f',T.C),'.','')"},
        {13, kHeure, 9, L"SUBSTR(REPLACE(strftime('%H%M%f',T.C),'.',''), 1, 8)"},
    };
    Check(rows, std::size(rows));
}

TEST_F(DialectExpression, DateTimeByKind)
{
    const stRow rows[] = {
        {2, kDateTime, 8,
         L"REPLACE(REPLACE(REPLACE(REPLACE(CONVERT(varchar(10),T.C,20),'-',''),' ',''),':',''),'.','')"},
        {3, kDateTime, 8, L"(FORMAT(T.C,'YYYYMMddHHmmss') + '000')"},
        {4, kDateTime, 8,
         L"(CONVERT(VARCHAR(8),T.C,112)+STUFF(STUFF(CONVERT(VARCHAR(8),T.C,108), 3, 1, NULL), 5, 1, NULL)"
         L"+SUBSTRING(CONVERT(CHAR(4), 1000+DATEPART(ms,T.C)),2,4))"},
        {6, kDateTime, 8, L"TO_CHAR(T.C,'YYYYMMDDHH24MISSMS')"},
        {7, kDateTime, 8, L"SUBSTR(REPLACE(REPLACE(CHAR(TIMESTAMP_ISO(T.C)), '-', ''), '.', ''),1,17)"},
        {8, kDateTime, 8, L"TO_CHAR(T.C,'YYYYMMDDHH24MISSMLS')"},
        {11, kDateTime, 8, L"TO_CHAR(T.C,'%Y%m%d%H%M%S%F3')"},
        {13, kDateTime, 8, L"REPLACE(strftime('%Y%m%d%H%M%f',T.C),'.','')"},
    };
    Check(rows, std::size(rows));
}

// Kinds without a fraction function: by the source column's database type
// and the server version.
TEST_F(DialectExpression, OtherKindsReadTheSourceColumn)
{
    struct stSourceCase
    {
        const char* name;
        const wchar_t* pszDBType;  // null: no source item
        bool bSourceItem;
        int nMajor;
        const wchar_t* pszTime;
        const wchar_t* pszDateTime;
    };
    const stSourceCase cases[] = {
        {"timestamp column", L"timestamp", true, 8, L"TO_CHAR(T.C,'HH24MISSFF3')",
         L"TO_CHAR(T.C,'YYYYMMDDHH24MISSFF3')"},
        {"date column, server 9", L"DATE", true, 9, L"TO_CHAR( CAST(T.C AS TIMESTAMP),'HH24MISSFF3')",
         L"TO_CHAR( CAST(T.C AS TIMESTAMP),'YYYYMMDDHH24MISSFF3')"},
        {"no source, server 9", nullptr, false, 9, L"TO_CHAR( CAST(T.C AS TIMESTAMP),'HH24MISSFF3')",
         L"TO_CHAR( CAST(T.C AS TIMESTAMP),'YYYYMMDDHH24MISSFF3')"},
        {"source without type, server 9", nullptr, true, 9, L"TO_CHAR( CAST(T.C AS TIMESTAMP),'HH24MISSFF3')",
         L"TO_CHAR( CAST(T.C AS TIMESTAMP),'YYYYMMDDHH24MISSFF3')"},
        {"date column, server 8", L"DATE", true, 8, L"(TO_CHAR(T.C,'HH24MISS')+'000')",
         L"(TO_CHAR(T.C,'YYYYMMDDHH24MISS')+'000')"},
        {"version not read", nullptr, false, -1, L"(TO_CHAR(T.C,'HH24MISS')+'000')",
         L"(TO_CHAR(T.C,'YYYYMMDDHH24MISS')+'000')"},
        {"another type, server 9", L"VARCHAR2", true, 9, L"(TO_CHAR(T.C,'HH24MISS')+'000')",
         L"(TO_CHAR(T.C,'YYYYMMDDHH24MISS')+'000')"},
    };
    for (const stSourceCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_connection.SetServerVersion(L"", c.nMajor);
        CFakeItemDescription source(kDateTime);
        source.SetDBType(c.pszDBType);
        INAItemDescription* piSource = c.bSourceItem ? &source : nullptr;
        // Size 10: the time is not cut; size 9 adds the cut to 8.
        const stRow rows[] = {
            {1, kHeure, 10, c.pszTime},
            {14, kDateTime, 8, c.pszDateTime},
        };
        Check(rows, std::size(rows), piSource);
        const std::wstring cutTime = L"SUBSTR(" + std::wstring(c.pszTime) + L", 1, 8)";
        const stRow cut[] = {{12, kHeure, 9, cutTime.c_str()}};
        Check(cut, std::size(cut), piSource);
    }
}

}  // namespace
