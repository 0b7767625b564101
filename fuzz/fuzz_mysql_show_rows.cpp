// The column list and the index list of a table, as a server of today
// (SHOW FULL COLUMNS) or one before 4.1 (SHOW COLUMNS, without Collation)
// could answer them, with arbitrary texts: type texts near the real ones
// and mangled, keys, defaults of every kind, NULLs, rows with fewer columns
// than the reader expects, key rows in any order and naming any column,
// through the MySQL table description. The description is read whole or
// fails with an error code; read whole, it holds one item per column row
// at its physical place, each with a size that fits the record buffer.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_mysql_fake.h"
#include "mysql/mysql_data_source_description.h"

namespace {

using vxfuzz::Check;
using vxfuzz::Input;
using vxfuzz::MySQLOverFake;

const char* const kTypeTexts[] = {
    "int(11)", "int(10) unsigned", "tinyint(1)", "smallint(5) unsigned", "mediumint(8)", "bigint(20)",
    "bigint(20) unsigned", "decimal(10,2)", "decimal(65,30)", "decimal(5,0) unsigned", "float", "double",
    "float(7,3)", "varchar(20)", "varchar(65535)", "char(1)", "char(255)", "text", "longtext", "mediumblob",
    "blob", "longblob", "varbinary(16)", "binary(4)", "date", "datetime", "datetime(6)", "time", "timestamp",
    "year(4)", "bit(1)", "bit(64)", "enum('a','b')", "set('x','y')", "json", "geometry", "decimal(", "int(",
    "varchar(-1)", "varchar(99999999999)", "decimal(10,99)", "decimal(4294967296,2)", "",
};
const char* const kCollations[] = {"utf8mb4_general_ci", "latin1_swedish_ci", "binary", "ucs2_general_ci",
                                   "utf8_bin", ""};
const char* const kKeys[] = {"PRI", "UNI", "MUL", "", "pri", "UNIQUE"};
const char* const kDefaults[] = {"0", "1.5", "abc", "0000-00-00", "2024-02-29", "2024-02-29 23:59:59.999999",
                                 "current_timestamp()", "12:34:56", "-838:59:59", "", "b'1'", "99999999999999999999"};
const char* const kExtras[] = {"auto_increment", "", "on update current_timestamp()", "AUTO_INCREMENT"};
const char* const kKeyNames[] = {"PRIMARY", "k1", "k2", "", "primary"};

// A text from a list, or from the input, sometimes with the input's bytes
// behind it.
std::string Text(Input& in, const char* const* apsz, size_t n)
{
    const uint8_t pick = in.Byte();
    if (pick < 160) {
        std::string s = apsz[pick % n];
        if (pick & 0x80)
            s += in.Bytes(in.Byte() % 8);
        return s;
    }
    return in.Bytes(pick % 40);
}

FakeText Cell(Input& in, const char* const* apsz, size_t n)
{
    if (in.Byte() % 11 == 0)
        return std::nullopt;
    return Text(in, apsz, n);
}

stFakeStatement Result(const std::vector<const char*>& names, size_t nFields, std::vector<FakeRow> rows)
{
    stFakeStatement statement;
    statement.bResultSet = true;
    for (size_t i = 0; i < nFields && i < names.size(); ++i) {
        stFakeField field;
        field.name = names[i];
        field.nType = 253;
        field.nLength = 256;
        field.nCharset = 33;
        statement.fields.push_back(field);
    }
    statement.rows = std::move(rows);
    return statement;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MySQLOverFake& fake = MySQLOverFake::Get();
    Input in(data, size);
    const uint8_t control = in.Byte();
    const bool bOldServer = (control & 8) != 0;
    CMySQLConnection* pclConnection = fake.Connection(3, (control & 4) != 0, bOldServer);

    std::vector<const char*> columnNames = {"Field", "Type", "Collation", "Null", "Key", "Default", "Extra",
                                           "Privileges", "Comment"};
    if (bOldServer)
        columnNames.erase(columnNames.begin() + 2);
    // Now and then fewer columns than the reader reads.
    const size_t nColumnFields = (control & 0x30) == 0 ? in.Byte() % columnNames.size() : columnNames.size();
    std::vector<std::string> fieldNames;
    std::vector<FakeRow> columnRows(in.Byte() % 8);
    for (FakeRow& row : columnRows) {
        std::string name = in.Byte() % 4 == 0 ? in.Bytes(in.Byte() % 12) : "c" + std::to_string(fieldNames.size());
        fieldNames.push_back(name);
        row.push_back(in.Byte() % 16 == 0 ? FakeText() : FakeText(name));
        row.push_back(Cell(in, kTypeTexts, std::size(kTypeTexts)));
        if (!bOldServer)
            row.push_back(Cell(in, kCollations, std::size(kCollations)));
        row.push_back(in.Byte() & 1 ? "YES" : "NO");
        row.push_back(Cell(in, kKeys, std::size(kKeys)));
        row.push_back(Cell(in, kDefaults, std::size(kDefaults)));
        row.push_back(Cell(in, kExtras, std::size(kExtras)));
        row.push_back(std::string("select,insert"));
        row.push_back(std::string(""));
        row.resize(nColumnFields);
    }
    const std::vector<const char*> indexNames = {"Table", "Non_unique", "Key_name", "Seq_in_index", "Column_name"};
    const size_t nIndexFields = (control & 0xC0) == 0 ? in.Byte() % indexNames.size() : indexNames.size();
    std::vector<FakeRow> indexRows(in.Byte() % 8);
    for (FakeRow& row : indexRows) {
        row.push_back(std::string("t"));
        const uint8_t unique = in.Byte();
        row.push_back(unique % 7 == 0 ? FakeText() : FakeText(unique & 1 ? "0" : "1"));
        row.push_back(Cell(in, kKeyNames, std::size(kKeyNames)));
        row.push_back(std::to_string(in.Byte() % 4));
        const uint8_t column = in.Byte();
        if (column % 9 == 0 || fieldNames.empty())
            row.push_back(column % 2 ? FakeText() : FakeText(in.Bytes(column % 10)));
        else
            row.push_back(fieldNames[column % fieldNames.size()]);
        row.resize(nIndexFields);
    }
    fake.State().scripts[bOldServer ? "SHOW COLUMNS FROM `t`" : "SHOW FULL COLUMNS FROM `t`"] = {
        Result(columnNames, nColumnFields, columnRows)};
    fake.State().scripts["SHOW INDEX FROM `t`"] = {Result(indexNames, nIndexFields, indexRows)};

    CNAError* pclError = fake.Error();
    pclError->Reset();
    auto* pclDescription = static_cast<CMySQLDataSourceDescription*>(
        fake.Driver()->pclAllocDataSourceDescription(pclConnection, pclError));
    Check(pclDescription != nullptr);
    pclDescription->AddRef();
    if (pclDescription->bInitDataSourceDescriptionFromDB(L"t", 0)) {
        // One item per column row at its place; composite keys come after.
        Check(pclDescription->nGetNumItems() >= columnRows.size());
        for (unsigned i = 0; i < columnRows.size(); ++i) {
            CNAItemDescription* pclItem = pclDescription->pclGetItemNoRef(i);
            Check(pclItem != nullptr);
            Check(pclItem->nGetPhysicalIndice() == static_cast<int>(i));
            Check(pclItem->nGetOffset(0) + static_cast<int64_t>(pclItem->nGetTotalSize()) <=
                  static_cast<int64_t>(pclDescription->nGetMemoryRecordSize()));
        }
    } else {
        Check(pclError->dwGetErrorId() != 0);
    }
    pclDescription->nRelease();
    pclError->Reset();
    Check(fake.State().nLiveResults == 0);
    return 0;
}
