// The values of a MySQL result's row handed to conversion values, over the
// fake client library: dates lose their dashes, date-times and times of any
// fraction length reach the converter in a form it reads (three fraction
// digits), a year becomes a date when a date reads it, decimals pass as
// they are, BLOB values go by the items that read them, and NULL is NULL.
// Each value is read into a record slot of the item type, as a record read
// stores it, and checked in the slot's form.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "native/model/convert_variant.h"
#include "native/model/item_type.h"
#include "tests/mysql/mysql_statement_fakes.h"

namespace {

using vxtest::FakeColumn;
using vxtest::FakeResultSet;

class MySQLStatementValues : public vxtest::MySQLStatementOverFake
{
protected:
    // One row of one column of that native type and text, executed and
    // fetched on a new statement.
    CMySQLStatementSQL* RowOf(int nType, const FakeText& value, unsigned nCharset = 63, unsigned nFlags = 0)
    {
        const std::string sText = "SELECT " + std::to_string(m_nQueries++);
        State().scripts[sText] = {FakeResultSet({FakeColumn("v", nType, 20, nFlags, 0, nCharset)}, {{value}})};
        CMySQLStatementSQL* pclStatement = NewStatement(m_pclConnection);
        EXPECT_EQ(1, pclStatement->bExecuteDirect(vxtest::Wide(sText).c_str(), nullptr, 0));
        EXPECT_EQ(1, pclStatement->bFetch(0));
        return pclStatement;
    }
    // The slot form of a value of that native type read into an item.
    std::string Read(int nType, const FakeText& value, eNA_ITEMTYPE eItem, unsigned nSize)
    {
        CMySQLStatementSQL* pclStatement = RowOf(nType, value);
        CNAConvertVariant* pclVariant = SlotVariant(m_pclConnection, eItem, nSize);
        EXPECT_EQ(1, pclStatement->bGetValue(pclVariant, 0, 0)) << m_pclError->pszGetError();
        return SlotForm(pclVariant);
    }

    CMySQLConnection* m_pclConnection = nullptr;
    int m_nQueries = 0;
};

constexpr int kTimestamp = 7;
constexpr int kDate = 10;
constexpr int kTime = 11;
constexpr int kDateTime = 12;
constexpr int kYear = 13;
constexpr int kNewDecimal = 246;
constexpr int kBlob = 252;

TEST_F(MySQLStatementValues, DatesAndTimesOfEveryFractionLength)
{
    Fake();
    m_pclConnection = OpenConnection();
    const struct
    {
        int nType;
        const char* pszText;
        eNA_ITEMTYPE eItem;
        unsigned nSize;
        const char* pszExpected;
    } aCases[] = {
        {kDate, "2009-03-14", NA_IT_DATE8, 9, "20090314"},
        {kDate, "2009-03-14", NA_IT_DATETIME, 8, "20090314000000000"},
        {kDate, "0000-00-00", NA_IT_DATE8, 9, "00000000"},
        {kDateTime, "0000-00-00 00:00:00", NA_IT_DATETIME, 8, "00000000000000000"},
        {kDateTime, "2009-03-14 10:20:30", NA_IT_DATETIME, 8, "20090314102030000"},
        {kDateTime, "2009-03-14 10:20:30", NA_IT_DATE8, 9, "20090314"},
        {kDateTime, "2009-03-14 10:20:30.1", NA_IT_DATETIME, 8, "20090314102030100"},
        {kDateTime, "2009-03-14 10:20:30.12", NA_IT_DATETIME, 8, "20090314102030120"},
        {kDateTime, "2009-03-14 10:20:30.123", NA_IT_DATETIME, 8, "20090314102030123"},
        {kDateTime, "2009-03-14 10:20:30.1234", NA_IT_DATETIME, 8, "20090314102030123"},
        {kDateTime, "2009-03-14 10:20:30.12345", NA_IT_DATETIME, 8, "20090314102030123"},
        {kDateTime, "2009-03-14 10:20:30.123456", NA_IT_DATETIME, 8, "20090314102030123"},
        {kDateTime, "2009-03-14 10:20:30.123", NA_IT_DATE8, 9, "20090314"},
        {kTimestamp, "2009-03-14 10:20:30", NA_IT_DATETIME, 8, "20090314102030000"},
        {kTimestamp, "2009-03-14 10:20:30.1", NA_IT_DATETIME, 8, "20090314102030100"},
        {kTimestamp, "2009-03-14 10:20:30.1234", NA_IT_DATETIME, 8, "20090314102030123"},
        {kTimestamp, "2009-03-14 10:20:30.12345", NA_IT_DATETIME, 8, "20090314102030123"},
        {kTimestamp, "2009-03-14 10:20:30.123456", NA_IT_DATETIME, 8, "20090314102030123"},
        {kTime, "10:20:30", NA_IT_HEURE, 10, "102030000"},
        {kTime, "10:20:30.1", NA_IT_HEURE, 10, "102030100"},
        {kTime, "10:20:30.12", NA_IT_HEURE, 10, "102030120"},
        {kTime, "10:20:30.123", NA_IT_HEURE, 10, "102030123"},
        {kTime, "10:20:30.1234", NA_IT_HEURE, 10, "102030123"},
        {kTime, "10:20:30.12345", NA_IT_HEURE, 10, "102030123"},
        {kTime, "10:20:30.123456", NA_IT_HEURE, 10, "102030123"},
        // A result's TIME column is a date-time item.
        {kTime, "10:20:30.12", NA_IT_DATETIME, 8, "00000000102030120"},
        {kTime, "10:20:30.123456", NA_IT_DATETIME, 8, "00000000102030123"},
        // A year is the first of January when a date reads it.
        {kYear, "2009", NA_IT_DATETIME, 8, "20090101000000000"},
        {kYear, "2009", NA_IT_DATE8, 9, "20090101"},
        {kYear, "0000", NA_IT_DATE8, 9, "00000000"},
        {kYear, "0000", NA_IT_DATETIME, 8, "00000000000000000"},
        {kYear, "2009", NA_IT_I2, 2, "2009"},
        {kYear, "2009", NA_IT_TEXTE, 10, "2009"},
        // Decimals as the server writes them.
        {kNewDecimal, "-12.50", NA_IT_TEXTE, 10, "-12.50"},
        {kNewDecimal, "0.125", NA_IT_TEXTE, 10, "0.125"},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(std::to_string(c.nType) + " " + c.pszText + " item " + std::to_string(c.eItem));
        EXPECT_EQ(c.pszExpected, Read(c.nType, std::string(c.pszText), c.eItem, c.nSize));
    }
}

TEST_F(MySQLStatementValues, TheTextsTheDateConverterIsGiven)
{
    const struct
    {
        int nType;
        const char* pszText;
        const char* pszGiven;  // nullptr: as it came
    } aCases[] = {
        {kDate, "2009-03-14", "20090314"},
        {kDateTime, "2009-03-14 10:20:30", "20090314 10:20:30"},
        {kDateTime, "0000-00-00 00:00:00", "00000000 00:00:00"},
        {kDate, "----------", ""},
        {kDate, "", ""},
        {kDateTime, "2009-03-14 10:20:30.1", "2009-03-14 10:20:30.100"},
        {kDateTime, "2009-03-14 10:20:30.123456", "2009-03-14 10:20:30.123"},
        {kTimestamp, "2009-03-14 10:20:30", nullptr},
        {kTimestamp, "2009-03-14 10:20:30.12345", "2009-03-14 10:20:30.123"},
        {kTime, "10:20:30", nullptr},
        {kTime, "10:20:30.12", "10:20:30.120"},
        {kTime, "-838:59:59.000000", "-838:59:59.000"},
        {kTimestamp, "", nullptr},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszText);
        char acOut[32];
        const long n = CMySQLStatementSQL::s_nPrepareTemporalText(static_cast<uint32_t>(c.nType), c.pszText,
                                                                   static_cast<long>(std::strlen(c.pszText)), acOut);
        if (c.pszGiven == nullptr)
            EXPECT_EQ(-1, n);
        else
            EXPECT_EQ(c.pszGiven, std::string(acOut, static_cast<size_t>(n < 0 ? 0 : n)));
    }
}

TEST_F(MySQLStatementValues, NullOfEveryTypeIsNull)
{
    Fake();
    m_pclConnection = OpenConnection();
    for (int nType : {kDate, kDateTime, kTime, kYear, kNewDecimal, kBlob, 253, 3}) {
        SCOPED_TRACE(nType);
        EXPECT_EQ("(null)", Read(nType, std::nullopt, NA_IT_TEXTE, 10));
        CMySQLStatementSQL* pclStatement = RowOf(nType, std::nullopt);
        EXPECT_EQ(L"(null)", Value(pclStatement, 0));
    }
}

TEST_F(MySQLStatementValues, BlobValuesGoByTheItemsThatReadThem)
{
    Fake();
    m_pclConnection = OpenConnection();
    ASSERT_EQ(65001, m_pclConnection->nGetClientTextCodePage());
    ASSERT_EQ(1252, m_pclConnection->nGetRuntimeCodePage());
    const std::string sLatin1 = "\xE9t\xE9";        // "été" in code page 1252
    const std::string sUtf8 = "\xC3\xA9t\xC3\xA9";  // "été" in UTF-8
    const std::wstring sWide = L"été";
    const std::string sWideBytes(reinterpret_cast<const char*>(sWide.data()), sWide.size() * sizeof(wchar_t));

    // Read as binary: the bytes as they are.
    for (eNA_ITEMTYPE eAnalyse : {NA_IT_MEMOBINAIRE, NA_IT_BINAIRE}) {
        CMySQLStatementSQL* pclStatement = RowOf(kBlob, sUtf8);
        CNAConvertVariant* pclVariant = ItemVariant(m_pclConnection, eAnalyse, NA_IT_MEMOBINAIRE);
        ASSERT_EQ(1, pclStatement->bGetValue(pclVariant, 0, 0));
        const auto* p = static_cast<const char*>(pclVariant->pGetData());
        ASSERT_NE(nullptr, p);
        EXPECT_EQ(sUtf8, std::string(p, pclVariant->nGetUtilDataSize())) << eAnalyse;
    }
    const struct
    {
        const char* pszCase;
        std::string sBytes;
        unsigned nCharset;
        eNA_ITEMTYPE eAnalyse;
        eNA_ITEMTYPE eDatabase;
        std::wstring sExpected;
    } aCases[] = {
        {"text from a binary column: the runtime's code page", sLatin1, 63, NA_IT_MEMOTEXTE, NA_IT_MEMOBINAIRE, sWide},
        {"Unicode from a binary column: 4-byte characters", sWideBytes, 63, NA_IT_MEMOUNICODE, NA_IT_MEMOBINAIRE,
         sWide},
        {"Unicode from a binary item", sWideBytes, 63, NA_IT_UNICODE, NA_IT_BINAIRE, sWide},
        {"a text column: the connection's code page", sUtf8, 45, NA_IT_MEMOTEXTE, NA_IT_MEMOTEXTE, sWide},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszCase);
        CMySQLStatementSQL* pclStatement = RowOf(kBlob, c.sBytes, c.nCharset);
        CNAConvertVariant* pclVariant = ItemVariant(m_pclConnection, c.eAnalyse, c.eDatabase);
        ASSERT_EQ(1, pclStatement->bGetValue(pclVariant, 0, 0)) << m_pclError->pszGetError();
        CAny value;
        ASSERT_EQ(1, pclVariant->bGetValue(&value));
        EXPECT_EQ(c.sExpected, vxtest::TextOf(value));
    }
    // No item: a binary column's text from the runtime's code page.
    CMySQLStatementSQL* pclStatement = RowOf(kBlob, sLatin1, 63);
    EXPECT_EQ(sWide, Value(pclStatement, 0));
}

TEST_F(MySQLStatementValues, WideCharactersAtAnyByteOfTheRow)
{
    Fake();
    m_pclConnection = OpenConnection();
    // A row's values lie one after the other, each with its terminator, from
    // an aligned start: behind "x" the characters start 2 bytes on, off the
    // alignment of wide characters; behind "xyz" 4 bytes on, on it.
    const std::wstring sWide = L"ab€";
    const std::string sBytes(reinterpret_cast<const char*>(sWide.data()), sWide.size() * sizeof(wchar_t));
    State().scripts["SELECT x, w"] = {FakeResultSet({FakeColumn("x", 253, 1), FakeColumn("w", kBlob, 65535, 0, 0, 63)},
                                                    {{std::string("x"), sBytes}, {std::string("xyz"), sBytes}})};
    CMySQLStatementSQL* pclStatement = NewStatement(m_pclConnection);
    ASSERT_EQ(1, pclStatement->bExecuteDirect(L"SELECT x, w", nullptr, 0));
    for (int nRow = 0; nRow < 2; ++nRow) {
        ASSERT_EQ(1, pclStatement->bFetch(0));
        CNAConvertVariant* pclVariant = ItemVariant(m_pclConnection, NA_IT_MEMOUNICODE, NA_IT_MEMOBINAIRE);
        ASSERT_EQ(1, pclStatement->bGetValue(pclVariant, 1, 0));
        CAny value;
        ASSERT_EQ(1, pclVariant->bGetValue(&value));
        EXPECT_EQ(sWide, vxtest::TextOf(value)) << nRow;
    }
}

}  // namespace
