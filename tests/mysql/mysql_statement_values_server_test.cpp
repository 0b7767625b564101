// Values of MySQL result columns on the run's private server, read into
// record slots of the item types the result's description gives, as a
// record read stores them: unsigned integers at the top of their range,
// decimals with all their integer digits, date-times, timestamps and times
// with fractions, years as dates; what the server does with a year written
// back as the date it was read as; and BLOB columns written through the
// literal writer and read back by the items the read side names, on a
// code-page-1252 and a UTF-8 connection.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text/string_concat_aw.h"
#include "native/model/column_sql.h"
#include "tests/host/db/standin_tab_val_parser.h"
#include "tests/mysql/mysql_statement_server.h"

namespace {

using Cell = std::optional<std::string>;

class MySQLValuesServer : public vxtest::MySQLStatementOnServer
{
protected:
    // The slot form of column n of the statement's current row read into a
    // slot of the column's own item type and size.
    std::string ReadAsDescribed(CMySQLConnection* pclConnection, CMySQLStatementSQL* pclStatement, int nColumn)
    {
        const CNAColumnSQL* pclColumn = pclStatement->pclGetNAColumnSQL(nColumn);
        if (pclColumn == nullptr)
            return "(no column)";
        CNAConvertVariant* pclVariant = SlotVariant(pclConnection, pclColumn->m_eItemType, pclColumn->m_nSize,
                                                    pclColumn->m_nIntegerDigits, static_cast<int>(pclColumn->m_nDecimals));
        if (!pclStatement->bGetValue(pclVariant, static_cast<unsigned>(nColumn), 0))
            return "(failed)";
        return SlotForm(pclVariant);
    }

};

TEST_F(MySQLValuesServer, ValuesFitTheItemsTheirColumnsDescribe)
{
    ASSERT_TRUE(m_client.bExecute(
        "CREATE TABLE v (tiny TINYINT UNSIGNED, i INT UNSIGNED, big BIGINT UNSIGNED, d5 DECIMAL(5,0), "
        "d10 DECIMAL(10,0), du DECIMAL(10,2) UNSIGNED, dt DATETIME(6), ts TIMESTAMP(4) NULL, tm TIME(5), y YEAR, "
        "y0 YEAR, d DATE)"))
        << m_client.sError();
    ASSERT_TRUE(m_client.bExecute(
        "INSERT INTO v VALUES (200, 4000000000, 18446744073709551615, 99999, 9999999999, 12345678.91, "
        "'2009-03-14 10:20:30.123456', '2009-03-14 10:20:30.1234', '10:20:30.12345', 2009, 0, '2009-03-14')"))
        << m_client.sError();
    CMySQLConnection* pclConnection = OpenServerConnection(m_db.Name());
    CMySQLStatementSQL* pclStatement = NewStatement(pclConnection);
    Run(pclStatement, L"SELECT * FROM v");
    ASSERT_EQ(1, pclStatement->bFetch(0));
    const struct
    {
        const char* pszColumn;
        eNA_ITEMTYPE eType;
        const char* pszValue;
    } aExpected[] = {
        {"tiny", NA_IT_UI1, "200"},
        {"i", NA_IT_UI4, "4000000000"},
        {"big", NA_IT_UI8, "18446744073709551615"},
        {"d5", NA_IT_EMPTY, "99999"},
        {"d10", NA_IT_EMPTY, "9999999999"},
        {"du", NA_IT_EMPTY, "12345678.91"},
        {"dt", NA_IT_DATETIME, "20090314102030123"},
        {"ts", NA_IT_DATETIME, "20090314102030123"},
        {"tm", NA_IT_DATETIME, "00000000102030123"},
        {"y", NA_IT_DATETIME, "20090101000000000"},
        {"y0", NA_IT_DATETIME, "00000000000000000"},
        {"d", NA_IT_DATE8, "20090314"},
    };
    for (int i = 0; i < static_cast<int>(std::size(aExpected)); ++i) {
        SCOPED_TRACE(aExpected[i].pszColumn);
        EXPECT_STREQ(vxtest::FromUtf8(aExpected[i].pszColumn).c_str(), pclStatement->_pszGetColumnName(i));
        if (aExpected[i].eType != NA_IT_EMPTY) {
            EXPECT_EQ(aExpected[i].eType, pclStatement->_eGetColumnType(i));
        }
        EXPECT_EQ(aExpected[i].pszValue, ReadAsDescribed(pclConnection, pclStatement, i));
    }
}

// The driver reads a YEAR into a date as the first of January of the year;
// written back, the date's literal is refused in the server's default strict
// mode ("Data truncated", 1265) and the row stays as it was; without strict
// mode the server keeps the year of the text.
TEST_F(MySQLValuesServer, AYearWrittenBackAsTheDateItWasRead)
{
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE y (id INT PRIMARY KEY, y YEAR)")) << m_client.sError();
    ASSERT_TRUE(m_client.bExecute("INSERT INTO y VALUES (1, 2009)"));
    CMySQLConnection* pclConnection = OpenServerConnection(m_db.Name());
    CMySQLStatementSQL* pclStatement = NewStatement(pclConnection);
    const std::wstring sUpdate = L"UPDATE y SET y = 1901 WHERE id = 1; UPDATE y SET y = ? WHERE id = 1";
    const struct
    {
        eNA_ITEMTYPE eItem;
        const wchar_t* pszLiteral;
    } aItems[] = {{NA_IT_DATE8, L"'2009-01-01'"}, {NA_IT_DATETIME, L"'2009-01-01 00:00:00.000'"}};
    for (const bool bStrict : {true, false}) {
        Run(pclStatement, bStrict ? L"SET SESSION sql_mode = 'STRICT_TRANS_TABLES'" : L"SET SESSION sql_mode = ''");
        for (const auto& item : aItems) {
            SCOPED_TRACE(std::to_string(item.eItem) + (bStrict ? " strict" : " not strict"));
            Run(pclStatement, L"SELECT y FROM y WHERE id = 1");
            ASSERT_EQ(1, pclStatement->bFetch(0));
            CNAConvertVariant* pclVariant = ItemVariant(pclConnection, item.eItem, item.eItem);
            ASSERT_EQ(1, pclStatement->bGetValue(pclVariant, 0, 0));
            CAny read;
            ASSERT_EQ(1, pclVariant->bGetValue(&read));
            CTStringConcatAW clLiteral(65001, 1252);
            ASSERT_EQ(1, pclConnection->bConvertValueToString(m_pclError, &clLiteral, &read, item.eItem, item.eItem));
            EXPECT_STREQ(item.pszLiteral, clLiteral.pszGetW());

            StandinTabValParser values;
            values.Add(read, static_cast<int>(sUpdate.find(L'?')), 1);
            m_pclError->Reset();
            const int bWritten = pclStatement->bExecuteDirect(sUpdate.c_str(), values.pstGet(), 0);
            if (bStrict) {
                EXPECT_EQ(0, bWritten);
                EXPECT_EQ(1265u, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
                EXPECT_EQ(Cell("1901"), m_client.Value("SELECT y FROM y WHERE id = 1"));
            } else {
                EXPECT_EQ(1, bWritten) << m_pclError->pszGetError();
                EXPECT_EQ(Cell("2009"), m_client.Value("SELECT y FROM y WHERE id = 1"));
            }
            ASSERT_TRUE(m_client.bExecute("UPDATE y SET y = 2009 WHERE id = 1"));
        }
    }
}

// Text written into a BLOB column goes through the escape in the
// connection's code page (UTF-8 on a Unicode connection); the read side
// takes a text item's bytes from a binary column in the runtime's code page
// and a Unicode item's as 4-byte characters. Only a text memo on a
// code-page-1252 connection comes back as it was written; every other case
// comes back changed. The cases that differ are kept here so that a change
// of either side shows.
TEST_F(MySQLValuesServer, TextKeptInABlobColumnWrittenAndReadBack)
{
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE b (id INT PRIMARY KEY, bl BLOB)")) << m_client.sError();
    const std::wstring sText = L"été €";
    const struct
    {
        bool bUtf8;
        eNA_ITEMTYPE eItem;
        const char* pszStored;  // hexadecimal
        bool bSame;
    } aCases[] = {
        {false, NA_IT_MEMOTEXTE, "E974E92080", true},
        {false, NA_IT_MEMOUNICODE, "E974E92080", false},
        {false, NA_IT_UNICODE, "E974E92080", false},
        {true, NA_IT_MEMOTEXTE, "C3A974C3A920E282AC", false},
        {true, NA_IT_MEMOUNICODE, "C3A974C3A920E282AC", false},
        {true, NA_IT_UNICODE, "C3A974C3A920E282AC", false},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(std::to_string(c.eItem) + (c.bUtf8 ? " UTF-8" : " 1252"));
        CMySQLConnection* pclConnection = OpenServerConnection(m_db.Name(), c.bUtf8 ? L"" : L"VX Unicode Support=0");
        CMySQLStatementSQL* pclStatement = NewStatement(pclConnection);
        CAny value;
        NA_bSetWideText(&value, ZLTYPE_DSTRW, sText.c_str());
        ASSERT_LE(value.__nCastTo(ConverteItemToZLType(c.eItem), nullptr, 0), 99);
        StandinTabValParser values;
        values.Add(value, 25, 1);
        Run(pclStatement, L"DELETE FROM b");
        m_pclError->Reset();
        ASSERT_EQ(1, pclStatement->bExecuteDirect(L"INSERT INTO b VALUES (1, ?)", values.pstGet(), 0))
            << m_pclError->pszGetError();
        EXPECT_EQ(Cell(c.pszStored), m_client.Value("SELECT HEX(bl) FROM b"));

        Run(pclStatement, L"SELECT bl FROM b");
        ASSERT_EQ(1, pclStatement->bFetch(0));
        CNAConvertVariant* pclVariant = ItemVariant(pclConnection, c.eItem, NA_IT_MEMOBINAIRE);
        ASSERT_EQ(1, pclStatement->bGetValue(pclVariant, 0, 0));
        CAny read;
        ASSERT_EQ(1, pclVariant->bGetValue(&read));
        if (c.bSame)
            EXPECT_EQ(sText, vxtest::TextOf(read));
        else
            EXPECT_NE(sText, vxtest::TextOf(read));
    }
}

}  // namespace
