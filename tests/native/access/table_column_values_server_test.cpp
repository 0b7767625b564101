// Column values at their edges on the run's private server, one table row
// per MySQL column type and edge value. Each value is made by the raw client
// in row 1 of a table of its own (id, other, c), then:
// - through the table object, as the host works: the row read into the
//   record buffer, added back under id 2 from the buffer, and row 1 read
//   again and modified in its other item only;
// - through the SQL handle: the value read with bGetValue and written back
//   as the parameter of an INSERT under id 3.
// The raw client then reads what the server holds: the value read and
// written back is the one made (or, where a road keeps less than the server
// and the README says so, the value it keeps); a value a road cannot hold is
// refused with an error naming the item, and nothing is stored.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "native/access/statement.h"
#include "native/driver/na_driver_sql.h"
#include "native/model/qf_record.h"
#include "tests/host/db/standin_tab_val_parser.h"
#include "tests/native/access/table_server_fixture.h"
#include "tests/native/driver/error_checks.h"

namespace {

using vxtest::FromUtf8;
using vxtest::Narrow;

enum class Road
{
    kExact,     // read and written back as it was
    kKept,      // written back as the README says the road keeps it
    kRefused,   // refused on read, naming the item
    kTooLarge,  // read; its write is refused, nothing stored, the connection usable after
};

struct Row
{
    std::string sType;   // the column's SQL type
    std::string sValue;  // the value, as an SQL expression
    Road eTable;
    Road eSQL;
    // What the server keeps where a road says kKept, as the raw client reads
    // the compared expression.
    std::string sKept = {};
    // The expression compared: c itself, or a form that shows every bit.
    std::string sCompared = "c";
};

// A cell as a failure message shows it: its size and its first bytes in hex.
std::string Shown(const vxtest::RawCell& cell)
{
    if (!cell)
        return "NULL";
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string s = std::to_string(cell->size()) + " bytes ";
    for (size_t i = 0; i < cell->size() && i < 40; ++i) {
        const auto c = static_cast<unsigned char>((*cell)[i]);
        s += kDigits[c >> 4];
        s += kDigits[c & 15];
    }
    return s + (cell->size() > 40 ? "..." : "");
}

// Every byte value, n times over.
std::string EveryByte(size_t nRepeat)
{
    std::string s;
    for (int i = 0; i < 256; ++i)
        s += static_cast<char>(i);
    return "REPEAT(" + vxtest::HexLiteral(s) + ", " + std::to_string(nRepeat) + ")";
}

// What the client reports of a statement the server dropped because it
// was longer than its max_allowed_packet.
constexpr unsigned kServerGoneAway = 2006;
// The driver's diagnosis of such a query: it names the server's limit.
constexpr unsigned kPacketTooLarge = 320101;

class TableColumnValues : public vxtest::TableOnServer
{
protected:
    // What the server holds in row id of the table, as the raw client reads
    // the row's compared expression; nullopt (shown as NULL) for no row too.
    vxtest::RawCell Held(const std::string& sTable, const Row& row, int nId)
    {
        auto rows =
            m_client.Query("SELECT " + row.sCompared + " FROM " + sTable + " WHERE id = " + std::to_string(nId));
        return rows && rows->size() == 1 ? (*rows)[0][0] : std::nullopt;
    }
    std::string Rows(const std::string& sTable)
    {
        return m_client.Value("SELECT GROUP_CONCAT(id ORDER BY id) FROM " + sTable).value_or("none");
    }
    static std::wstring ErrorText(INAError* piError)
    {
        auto* pclError = dynamic_cast<CNAError*>(piError);
        return pclError != nullptr ? vxtest::ErrorText(*pclError) : L"(no error object)";
    }
    static unsigned DatabaseCode(INAError* piError)
    {
        auto* pclError = dynamic_cast<CNAError*>(piError);
        return pclError != nullptr ? pclError->dwGetDataBaseErrorCode() : 0;
    }
    static unsigned ErrorId(INAError* piError)
    {
        auto* pclError = dynamic_cast<CNAError*>(piError);
        return pclError != nullptr ? pclError->dwGetErrorId() : 0;
    }
    // The item of the table's description, held by the test until its end.
    INAItemDescription* Item(INADataSourceDescription* piSource, const wchar_t* pszName)
    {
        INAItemDescription* piItem = piSource->piNAGetItem(pszName);
        if (piItem != nullptr)
            m_heldItems.push_back(piItem);
        return piItem;
    }
    // The host sets an item of the current record through the record
    // buffer, as it does before a write.
    void SetInBuffer(CNATable* pclTable, INADataSourceDescription* piSource, StandinContext& context,
                     const wchar_t* pszItem, int nValue)
    {
        CNAQFRecord* pclRecord = nullptr;
        ASSERT_EQ(1, pclTable->bGetRecord(&context, &pclRecord));
        CAny value;
        (void)value.SetI4(nValue);
        pclRecord->SetItemValue(Item(piSource, pszItem), &value, 0);
        ASSERT_EQ(1, pclTable->bSetRecord(&context, pclRecord));
    }
    int ReadFirstRow(CNATable* pclTable, StandinContext& context)
    {
        eNA_LOCKTYPE eLock = kLock;
        return pclTable->bHLitxxx(&context, L"id", NADirection::kFirst, 1, kLock, &eLock, 0);
    }

    void ThroughTheTable(const std::string& sTable, const Row& row, unsigned long dwContext,
                         const vxtest::RawCell& made)
    {
        SCOPED_TRACE("through the table object");
        INADataSourceDescription* piSource = Describe(sTable.c_str());
        ASSERT_NE(nullptr, piSource);
        CNATable* pclTable = Table(piSource);
        ASSERT_NE(nullptr, pclTable);
        StandinContext& context = Context(dwContext);
        ASSERT_EQ(1, pclTable->bHOuvre(&context, kAccess, nullptr))
            << Narrow(ErrorText(pclTable->piGetLastError(&context)));
        const int bRead = ReadFirstRow(pclTable, context);
        if (row.eTable == Road::kRefused) {
            EXPECT_EQ(0, bRead);
            INAError* piError = pclTable->piGetLastError(&context);
            ASSERT_NE(nullptr, piError);
            const wchar_t* pszItem = piError->pszGetItemName();
            EXPECT_EQ(std::wstring(L"c"), pszItem != nullptr ? pszItem : L"(none)") << Narrow(ErrorText(piError));
            EXPECT_EQ("1", Rows(sTable));
            return;
        }
        ASSERT_EQ(1, bRead) << Narrow(ErrorText(pclTable->piGetLastError(&context)));

        // The row read, added under another identifier.
        SetInBuffer(pclTable, piSource, context, L"id", 2);
        const int bAdded = pclTable->bHAjoute(&context, 0, kLock);
        if (row.eTable == Road::kTooLarge) {
            EXPECT_EQ(0, bAdded);
            EXPECT_EQ(kServerGoneAway, DatabaseCode(pclTable->piGetLastError(&context)));
            EXPECT_EQ(kPacketTooLarge, ErrorId(pclTable->piGetLastError(&context)));
            EXPECT_EQ("1", Rows(sTable));
            EXPECT_EQ(1, ReadFirstRow(pclTable, context)) << "usable after";
            return;
        }
        EXPECT_EQ(1, bAdded) << Narrow(ErrorText(pclTable->piGetLastError(&context)));
        EXPECT_EQ(Shown(row.eTable == Road::kKept ? vxtest::RawCell(row.sKept) : made), Shown(Held(sTable, row, 2)))
            << "added";

        // Row 1 again, its other item modified: c stays as it was.
        ASSERT_EQ(1, ReadFirstRow(pclTable, context)) << Narrow(ErrorText(pclTable->piGetLastError(&context)));
        SetInBuffer(pclTable, piSource, context, L"other", 1);
        EXPECT_EQ(1, pclTable->bHModifie(&context, 0, 0, kLock))
            << Narrow(ErrorText(pclTable->piGetLastError(&context)));
        EXPECT_EQ(vxtest::RawCell("1"), m_client.Value("SELECT other FROM " + sTable + " WHERE id = 1"));
        EXPECT_EQ(Shown(made), Shown(Held(sTable, row, 1))) << "modified";
    }

    void ThroughTheSQLHandle(const std::string& sTable, const Row& row, const vxtest::RawCell& made)
    {
        SCOPED_TRACE("through the SQL handle");
        INADriverSQL* piSQL = SQL();
        ASSERT_NE(nullptr, piSQL);
        int nConnection = 0;
        ASSERT_EQ(1, piSQL->bOpenConnection(&nConnection, &Host())) << Narrow(ErrorText(piSQL->piGetLastError()));
        const std::wstring sTableW = FromUtf8(sTable);
        int nStatement = 0;
        CAny value;
        const std::wstring sSelect = L"SELECT c FROM " + sTableW + L" WHERE id = 1";
        ASSERT_EQ(1, piSQL->bExecute(&nStatement, nConnection, sSelect.c_str(), nullptr, 0))
            << Narrow(ErrorText(piSQL->piGetLastError()));
        EXPECT_EQ(1, piSQL->bFetch(nConnection, nStatement, 0));
        EXPECT_EQ(1, piSQL->bGetValue(&value, nConnection, nStatement, 1, 0))
            << Narrow(ErrorText(piSQL->piGetLastError()));
        EXPECT_EQ(1, piSQL->bFreeStmt(nConnection, nStatement, 0));

        const std::wstring sInsert = L"INSERT INTO " + sTableW + L" (id, other, c) VALUES (3, 0, ?)";
        StandinTabValParser values;
        values.Add(value, static_cast<int>(sInsert.find(L'?')), 1);
        const int bWritten = piSQL->bExecute(&nStatement, nConnection, sInsert.c_str(), values.pstGet(), 0);
        if (row.eSQL == Road::kTooLarge) {
            EXPECT_EQ(0, bWritten);
            EXPECT_EQ(kServerGoneAway, DatabaseCode(piSQL->piGetLastError()));
            EXPECT_EQ(kPacketTooLarge, ErrorId(piSQL->piGetLastError()));
            EXPECT_EQ("1", Rows(sTable));
            EXPECT_EQ(1, piSQL->bExecute(&nStatement, nConnection, L"DO 1", nullptr, 0)) << "usable after";
        } else {
            EXPECT_EQ(1, bWritten) << Narrow(ErrorText(piSQL->piGetLastError()));
            EXPECT_EQ(Shown(row.eSQL == Road::kKept ? vxtest::RawCell(row.sKept) : made), Shown(Held(sTable, row, 3)))
                << "written as a parameter";
        }
        EXPECT_EQ(1, piSQL->bCloseConnection(nConnection));
    }

    // The driver's SQL handle interface, held by the test until its end.
    INADriverSQL* SQL()
    {
        if (m_piSQL == nullptr)
            m_piSQL = static_cast<INADriverSQL*>(m_piDriver->piGetInterface(1));
        return m_piSQL;
    }

    void TearDown() override
    {
        for (INAItemDescription* piItem : m_heldItems)
            piItem->nExternalRelease();
        if (m_piSQL != nullptr)
            m_piSQL->nExternalRelease();
        vxtest::TableOnServer::TearDown();
    }

    std::vector<INAItemDescription*> m_heldItems;
    INADriverSQL* m_piSQL = nullptr;
};

TEST_F(TableColumnValues, EachTypeAtItsEdgesReadAndWrittenBack)
{
    const auto nPacket = std::stoull(m_client.Value("SELECT @@max_allowed_packet").value_or("0"));
    ASSERT_GT(nPacket, 1u << 20);
    // A blob whose escaped INSERT fits in the server's packet, and one whose
    // INSERT cannot.
    const size_t nFits = nPacket * 3 / 4 / 256, nTooLarge = (nPacket - 65536) / 256;
    std::string sLatin1;
    for (int c = 0x20; c <= 0xFF; ++c)
        if (c != 0x7F && c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D)
            sLatin1 += static_cast<char>(c);
    const std::string sBinary16 = std::string("\x00\xFF\x00\x01\x7F\x80\x00\x00\xFE\x27\x5C\x00\x0A\x0D\x1A\x00", 16);
    using R = Road;
    const std::vector<Row> rows = {
        {"TINYINT", "-128", R::kExact, R::kExact},
        {"TINYINT UNSIGNED", "255", R::kExact, R::kExact},
        {"SMALLINT UNSIGNED", "65535", R::kExact, R::kExact},
        {"MEDIUMINT", "-8388608", R::kExact, R::kExact},
        {"INT", "-2147483648", R::kExact, R::kExact},
        {"INT UNSIGNED", "4294967295", R::kExact, R::kExact},
        {"BIGINT", "-9223372036854775808", R::kExact, R::kExact},
        {"BIGINT", "9223372036854775807", R::kExact, R::kExact},
        {"BIGINT UNSIGNED", "18446744073709551615", R::kExact, R::kExact},
        // A FLOAT comes as the server's text of 6 significant digits: its
        // edges as they are written so.
        {"FLOAT", "3.40282e38", R::kExact, R::kExact, "", "CAST(c AS DOUBLE)"},
        {"FLOAT", "-1.17549e-38", R::kExact, R::kExact, "", "CAST(c AS DOUBLE)"},
        {"DOUBLE", "1.7976931348623157e308", R::kExact, R::kExact},
        {"DOUBLE", "4.9406564584124654e-324", R::kExact, R::kExact},
        {"DOUBLE", "0.1", R::kExact, R::kExact},
        {"DECIMAL(10,2)", "-99999999.99", R::kExact, R::kExact},
        {"DECIMAL(20,6)", "-99999999999999.999999", R::kExact, R::kExact},
        {"DECIMAL(38,10)", "9999999999999999999999999999.9999999999", R::kExact, R::kExact},
        {"DECIMAL(65,30)", "'12345678901234567890123456789012345.123456789012345678901234567890'", R::kKept,
         R::kExact, "12345678901234570000000000000000000." + std::string(30, '0')},
        {"DATE", "'1000-01-01'", R::kExact, R::kExact},
        {"DATE", "'9999-12-31'", R::kExact, R::kExact},
        {"DATE", "'0000-00-00'", R::kExact, R::kExact},
        {"DATETIME", "'9999-12-31 23:59:59'", R::kExact, R::kExact},
        {"DATETIME(6)", "'2009-03-14 10:20:30.123456'", R::kKept, R::kExact, "2009-03-14 10:20:30.123000"},
        {"TIMESTAMP NULL", "'2038-01-19 03:14:07'", R::kExact, R::kExact},
        {"TIME", "'12:34:56'", R::kExact, R::kExact},
        {"TIME", "'00:00:00'", R::kExact, R::kExact},
        {"TIME(3)", "'23:59:59.999'", R::kExact, R::kExact},
        {"TIME(6)", "'12:34:56.123456'", R::kKept, R::kExact, "12:34:56.123000"},
        {"TIME", "'838:59:59'", R::kRefused, R::kExact},
        {"TIME", "'-838:59:59'", R::kRefused, R::kExact},
        {"YEAR", "2009", R::kExact, R::kExact},
        {"YEAR", "1901", R::kExact, R::kExact},
        {"YEAR", "0", R::kExact, R::kExact},
        {"ENUM('a','b,c','x')", "'b,c'", R::kExact, R::kExact},
        {"ENUM('a','\xC3\xA9') CHARACTER SET latin1", "'\xC3\xA9'", R::kExact, R::kExact},
        {"SET('a','b','c')", "'a,c'", R::kExact, R::kExact},
        {"SET('a','b','c')", "''", R::kExact, R::kExact},
        {"VARCHAR(20)", "'a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80'", R::kExact, R::kExact},
        {"VARCHAR(4)", "'\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80'", R::kExact, R::kExact},
        {"VARCHAR(255) CHARACTER SET latin1", "_latin1 " + vxtest::HexLiteral(sLatin1), R::kExact, R::kExact},
        {"VARCHAR(10) CHARACTER SET latin1", "_latin1 X'818D8F909D'", R::kKept, R::kExact, "?????"},
        {"BINARY(16)", vxtest::HexLiteral(sBinary16), R::kExact, R::kExact},
        {"VARBINARY(300)", EveryByte(1), R::kExact, R::kExact},
        {"BIT(64)", "b'" + std::string(64, '1') + "'", R::kExact, R::kExact},
        {"BIT(5)", "b'10101'", R::kExact, R::kExact},
        {"GEOMETRY", "ST_GeomFromText('POINT(1 2)')", R::kExact, R::kExact},
        {"POLYGON", "ST_GeomFromText('POLYGON((0 0, 1 0, 1 1, 0 0))')", R::kExact, R::kExact},
        {"JSON", "'{\"a\": [1, \"\xC3\xA9\"]}'", R::kExact, R::kExact},
        {"LONGTEXT", "REPEAT('a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80', 419430)", R::kExact, R::kExact},
        {"LONGBLOB", EveryByte(nFits), R::kExact, R::kExact},
        {"LONGBLOB", EveryByte(nTooLarge), R::kTooLarge, R::kTooLarge},
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.sType + " " + row.sValue.substr(0, 60));
        const std::string sTable = "v" + std::to_string(i);
        ASSERT_TRUE(
            m_client.bExecute("CREATE TABLE " + sTable + " (id INT PRIMARY KEY, other INT, c " + row.sType + ")"))
            << m_client.sError();
        ASSERT_TRUE(m_client.bExecute("INSERT INTO " + sTable + " VALUES (1, 0, " + row.sValue + ")"))
            << m_client.sError();
        const vxtest::RawCell made = Held(sTable, row, 1);
        ASSERT_TRUE(made.has_value());
        ThroughTheTable(sTable, row, static_cast<unsigned long>(i + 1), made);
        ThroughTheSQLHandle(sTable, row, made);
    }
}

}  // namespace
