// Hostile names and values through every path that writes them into SQL on
// the run's private server, under the server's default SQL mode and under
// NO_BACKSLASH_ESCAPES (set for the driver's session): table names (exists,
// the SHOW queries of a description, open, lock, drop, create), the item and
// index names of a created table, the database a creating open makes,
// parameter values, search values, filter bounds, written and modified
// values, and every byte value in a binary memo. The connection runs
// several statements per text, so a name or value that ended its quotes
// early could run SQL of its own.
//
// Each case passes when a canary table is still there and unchanged, the
// driver's session counted only the statements the operation sends
// (information_schema's session status: Questions and the Com_ counters),
// and every value reads back byte for byte as written. One table of hostile
// texts drives all the paths.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "native/access/data_access.h"
#include "native/driver/driver_sql.h"
#include "native/driver/error_object.h"
#include "native/driver/wide_text_value.h"
#include "native/model/column.h"
#include "native/model/record.h"
#include "tests/host/db/standin_tab_val_parser.h"
#include "tests/mysql/mysql_statement_on_server.h"

namespace {

using vxtest::FromUtf8;

vxtest::RawCell Cell(const std::string& s)
{
    return s;
}

constexpr eNA_LOCKTYPE kLock = static_cast<eNA_LOCKTYPE>(1);

// Quotes of every kind, backslashes before quotes and at the end, statement
// separators, the three comment markers, wildcards, a NUL, and characters
// of two, three and four bytes. None ends with a blank: names may not.
const std::vector<std::string> kHostile = {
    "it's",
    "a\"b",
    "back\\slash",
    "\\'; DROP TABLE canary; --",
    "x`; DROP TABLE canary; #",
    "'';/* DROP TABLE canary */ SELECT 1 -- x",
    "tail\\",
    "\\\\'",
    "''",
    "`",
    "%_\\%\\_",
    "\xc3\xa9\xe4\xb8\xad\xc2\xbf'",
    // Four bytes: values only, names hold three at most on this server.
    "\xf0\x9f\x98\x80'",
    std::string("nul\0'; DROP TABLE canary; --", 29),
};

// Whether the text can name a table, an item or a database.
bool bNameable(const std::string& s)
{
    return s.find('\xf0') == std::string::npos;
}

// The text as the runtime holds it: up to its first NUL.
std::string AsHeld(const std::string& s)
{
    return s.substr(0, s.find('\0'));
}

std::string Hex(const std::string& s)
{
    std::string sHex;
    char sz[3];
    for (unsigned char c : s) {
        std::snprintf(sz, sizeof sz, "%02X", c);
        sHex += sz;
    }
    return sHex;
}

CAny Wide(const std::string& s)
{
    CAny value;
    const std::wstring w = FromUtf8(AsHeld(s));
    NA_bSetWideText(&value, 16, w.c_str(), static_cast<long>(w.size()));
    return value;
}

// A change of the counters: "Name=+n" for each that moved, in name order.
using Counts = std::map<std::string, long long>;

class HostileTextBase : public vxtest::MySQLStatementFixture
{
protected:
    void SetUp() override
    {
        vxtest::MySQLStatementFixture::SetUp();
        ASSERT_TRUE(m_client.bExecute("CREATE TABLE canary (id INT PRIMARY KEY, v VARCHAR(20))"));
        ASSERT_TRUE(m_client.bExecute("INSERT INTO canary VALUES (1, 'intact')"));
    }
    void TearDown() override
    {
        EXPECT_EQ(Cell("1:intact"), m_client.Value("SELECT GROUP_CONCAT(id, ':', v) FROM canary"))
            << "the canary table is gone or changed";
        vxtest::MySQLStatementFixture::TearDown();
    }

    void SessionMode(CNAConnectionDescription* pclConnection)
    {
                ASSERT_EQ(1, pclConnection->bExecuteQueryNoResult(
                         m_pclError, L"SET SESSION sql_mode = CONCAT(@@sql_mode, ',NO_BACKSLASH_ESCAPES')"))
            << m_pclError->pszGetError();
    }

    // The session's counters now: Questions and every Com_ counter not 0.
    Counts Snapshot(CNAConnectionDescription* pclConnection = nullptr)
    {
                CTString csText;
        EXPECT_EQ(1, (pclConnection != nullptr ? pclConnection : m_pclConnection)
                         ->bGetRequestedValueString(
                             m_pclError, &csText, 0,
                             L"SELECT GROUP_CONCAT(VARIABLE_NAME, '=', VARIABLE_VALUE SEPARATOR ' ') "
                             L"FROM information_schema.SESSION_STATUS WHERE VARIABLE_NAME = 'QUESTIONS' "
                             L"OR (VARIABLE_NAME LIKE 'COM!_%' ESCAPE '!' AND VARIABLE_VALUE <> '0')"))
            << m_pclError->pszGetError();
        Counts counts;
        std::wstring s = csText.pszGet() != nullptr ? csText.pszGet() : L"";
        size_t at = 0;
        while (at < s.size()) {
            size_t end = s.find(L' ', at);
            if (end == std::wstring::npos)
                end = s.size();
            const std::wstring entry = s.substr(at, end - at);
            const size_t eq = entry.find(L'=');
            if (eq != std::wstring::npos)
                counts[std::string(entry.begin(), entry.begin() + static_cast<long>(eq))] =
                    std::stoll(entry.substr(eq + 1));
            at = end + 1;
        }
        return counts;
    }
    // What moved since the snapshot, without the snapshot's own SELECT.
    std::string Moved(const Counts& before, CNAConnectionDescription* pclConnection = nullptr)
    {
        Counts after = Snapshot(pclConnection);
        after["QUESTIONS"] -= 1;
        after["COM_SELECT"] -= 1;
        std::string s;
        for (const auto& [name, n] : after) {
            const auto it = before.find(name);
            const long long nBefore = it != before.end() ? it->second : 0;
            if (n != nBefore)
                s += (s.empty() ? "" : " ") + name + "=+" + std::to_string(n - nBefore);
        }
        return s;
    }

    std::string Tables()
    {
        std::string s;
        auto rows = m_client.Query("SHOW TABLES WHERE Tables_in_" + m_db.Name() + " <> 'canary'");
        for (const auto& row : rows.value_or(vxtest::RawRows{}))
            s += "[" + row[0].value_or("") + "]";
        return s;
    }
};

// Each case under the default mode and under NO_BACKSLASH_ESCAPES.
class HostileText : public HostileTextBase, public ::testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        HostileTextBase::SetUp();
        if (GetParam())
            SessionMode(m_pclConnection);
    }
};

// The database is made while the connection opens, before a session mode
// could be set: the default mode only (names are not literals anyway).
using HostileDatabase = HostileTextBase;

// Table, item and index names: the driver asks whether the table exists,
// describes it (its item and index read back by name), opens it, locks it,
// drops it and makes it again from the description.
TEST_P(HostileText, TableItemAndIndexNames)
{
    for (const std::string& sRaw : kHostile) {
        if (!bNameable(sRaw))
            continue;
        const std::string sName = AsHeld(sRaw);
        SCOPED_TRACE("name [" + sName + "]");
        const std::string sTable = vxtest::QuoteIdentifier(sName);
        ASSERT_TRUE(m_client.bExecute("CREATE TABLE " + sTable + " (id INT PRIMARY KEY, " + sTable +
                                      " VARCHAR(100), KEY " + sTable + " (" + sTable + "))"))
            << m_client.sError();
        const std::wstring wName = FromUtf8(sRaw.find('\0') != std::string::npos ? sName : sRaw);

        Counts before = Snapshot();
        int bExists = -1;
        ASSERT_EQ(1, Driver()->_bTableExists(&bExists, wName.c_str(), m_pclConnection));
        EXPECT_EQ(1, bExists);
        const std::wstring wOther = wName + L"2";
        ASSERT_EQ(1, Driver()->_bTableExists(&bExists, wOther.c_str(), m_pclConnection))
            << Driver()->pclGetError()->pszGetError();
        EXPECT_EQ(0, bExists);
        EXPECT_EQ("COM_SHOW_FIELDS=+2 QUESTIONS=+2", Moved(before));

        // The driver's lists of the table's columns and links.
        before = Snapshot();
        CNADriverSQL* pclSQL = Driver()->pclGetDriverSQL();
        ASSERT_NE(nullptr, pclSQL);
        CAny list;
        ASSERT_EQ(1, pclSQL->bGetColumnList(&list, m_pclConnection, wName.c_str(), 0))
            << Driver()->pclGetError()->pszGetError();
        EXPECT_EQ(L"id\r\n" + wName, vxtest::TextOf(list));
        ASSERT_EQ(1, pclSQL->bGetLinkList(&list, m_pclConnection, wName.c_str(), nullptr, 0))
            << Driver()->pclGetError()->pszGetError();
        EXPECT_EQ("COM_SHOW_CREATE_TABLE=+1 COM_SHOW_FIELDS=+1 QUESTIONS=+2", Moved(before));

        before = Snapshot();
        CNADataSourceDescription* pclDescription = Described(sName);
        EXPECT_EQ("COM_SHOW_FIELDS=+1 COM_SHOW_KEYS=+1 QUESTIONS=+2", Moved(before));
        INAItemDescription* piItem = pclDescription->piNAGetItem(wName.c_str());
        ASSERT_NE(nullptr, piItem) << "the item named so";
        piItem->nExternalRelease();

        before = Snapshot();
        CNADataAccess* pclAccess = Access(pclDescription);
        m_pclError->Reset();
        ASSERT_EQ(1, pclAccess->bHOuvre(static_cast<eNA_ACCESS>(0), nullptr)) << m_pclError->pszGetError();
                EXPECT_EQ(1, m_pclConnection->bSQLBloque(m_pclError, wName.c_str())) << m_pclError->pszGetError();
        CAny value = Wide(sRaw);
        CAny one = Int(1);
        ASSERT_EQ(1, Column(pclAccess, L"id")->bSetValue(&one, 0));
        ASSERT_EQ(1, Column(pclAccess, wName.c_str())->bSetValue(&value, 0));
        ASSERT_EQ(1, pclAccess->bHAjoute(0, kLock)) << m_pclError->pszGetError();
        EXPECT_EQ(Cell(Hex(sName)), m_client.Value("SELECT HEX(" + sTable + ") FROM " + sTable));
        EXPECT_EQ("COM_INSERT=+1 COM_SELECT=+1 COM_SHOW_FIELDS=+1 COM_SHOW_KEYS=+1 QUESTIONS=+4", Moved(before))
            << "open (its description), lock, add";

        before = Snapshot();
        ASSERT_EQ(1, pclAccess->bSupprimeFichier()) << m_pclError->pszGetError();
        EXPECT_EQ("", Tables());
        EXPECT_EQ("COM_DROP_TABLE=+1 QUESTIONS=+1", Moved(before));

        before = Snapshot();
        m_pclError->Reset();
        ASSERT_EQ(1, pclAccess->bHCreation(nullptr, 1)) << m_pclError->pszGetError();
        EXPECT_EQ("[" + sName + "]", Tables());
        auto rows = m_client.Query("SELECT COLUMN_NAME FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = "
                                   "DATABASE() AND TABLE_NAME = X'" + Hex(sName) + "' ORDER BY COLUMN_NAME <> 'id'");
        ASSERT_TRUE(rows.has_value()) << m_client.sError();
        std::string sIndexed;
        for (const auto& row : *rows)
            sIndexed += "[" + row[0].value_or("") + "]";
        EXPECT_EQ("[id][" + sName + "]", sIndexed);
        EXPECT_EQ("COM_CREATE_INDEX=+1 COM_CREATE_TABLE=+1 COM_DROP_TABLE=+1 QUESTIONS=+3", Moved(before));
        ASSERT_TRUE(m_client.bExecute("DROP TABLE " + sTable));
    }
}

// Values written by an add, found by an exact and a generic search, kept
// between filter bounds, and sent as parameter values: each reads back
// exactly as written, the NUL's text up to the NUL.
TEST_P(HostileText, WrittenSearchedFilteredAndParameterValues)
{
    CNADataAccess* pclAccess =
        OpenTable("v", "CREATE TABLE v (id INT AUTO_INCREMENT PRIMARY KEY, w VARCHAR(100), KEY kw (w))");
    std::string sLastId = "0";
    for (const std::string& sRaw : kHostile) {
        const std::string sValue = AsHeld(sRaw);
        SCOPED_TRACE("value [" + sValue + "]");
        CAny value = Wide(sRaw);

        Counts before = Snapshot();
        ASSERT_EQ(1, Column(pclAccess, L"w")->bSetValue(&value, 0));
        m_pclError->Reset();
        ASSERT_EQ(1, pclAccess->bHAjoute(0, kLock)) << m_pclError->pszGetError();
        EXPECT_EQ("COM_INSERT=+1 QUESTIONS=+1", Moved(before));
        // The one row added, by the identifier the server gave it (a server
        // may step its numbering by more than 1, as a cluster's nodes do).
        const auto added = m_client.Query("SELECT id FROM v WHERE id > " + sLastId);
        ASSERT_TRUE(added.has_value()) << m_client.sError();
        ASSERT_EQ(1u, added->size());
        const std::string sId = (*added)[0][0].value_or("?");
        sLastId = sId;
        EXPECT_EQ(Cell(Hex(sValue)), m_client.Value("SELECT HEX(w) FROM v WHERE id = " + sId));

        // Modified to another hostile text and back: the row as added is
        // found by what it held.
        for (const std::string& sNext : {sValue + "'\\", sValue}) {
            CAny next = Wide(sNext);
            ASSERT_EQ(1, Column(pclAccess, L"w")->bSetValue(&next, 0));
            before = Snapshot();
            m_pclError->Reset();
            ASSERT_EQ(1, pclAccess->bHModifie(0, 0, kLock)) << m_pclError->pszGetError();
            EXPECT_EQ(Cell(Hex(sNext)), m_client.Value("SELECT HEX(w) FROM v WHERE id = " + sId));
            EXPECT_EQ("COM_UPDATE=+1 QUESTIONS=+1", Moved(before));
        }

        for (const int bExact : {1, 0}) {
            SCOPED_TRACE(bExact ? "exact" : "generic");
            before = Snapshot();
            eNA_LOCKTYPE eOut = kLock;
            m_pclError->Reset();
            ASSERT_EQ(1, pclAccess->bHRecherche(L"w", L"w", &value, bExact, 1, kLock, &eOut, 1, 0))
                << m_pclError->pszGetError();
            int bFound = 0, bInside = 0;
            ASSERT_EQ(1, pclAccess->bEvalHTrouve(L"w", &bFound, &bInside));
            EXPECT_EQ(1, bFound);
            CAny read;
            ASSERT_EQ(1, Column(pclAccess, L"w")->bGetCurrentValue(&read, 0));
            EXPECT_EQ(FromUtf8(sValue), vxtest::TextOf(read));
            EXPECT_EQ("COM_SELECT=+1 QUESTIONS=+1", Moved(before));
        }

        before = Snapshot();
        m_pclError->Reset();
        ASSERT_EQ(1, pclAccess->bHFiltre(L"w", &value, 1, &value, 1, nullptr)) << m_pclError->pszGetError();
        eNA_LOCKTYPE eOut = kLock;
        ASSERT_EQ(1, pclAccess->bHLitxxx(L"w", static_cast<eNA_PARSEDIRECTION>(0), 1, kLock, &eOut, 0))
            << m_pclError->pszGetError();
        CAny read;
        ASSERT_EQ(1, Column(pclAccess, L"id")->bGetCurrentValue(&read, 0));
        EXPECT_EQ(FromUtf8(sId), vxtest::TextOf(read));
        ASSERT_EQ(1, pclAccess->bHLitxxx(L"w", static_cast<eNA_PARSEDIRECTION>(2), 1, kLock, &eOut, 0));
        int bOut = 0;
        ASSERT_EQ(1, pclAccess->bHEndehors(L"w", &bOut));
        EXPECT_EQ(1, bOut) << "only the one row between the bounds";
        ASSERT_EQ(1, pclAccess->bHFiltre(L"w", nullptr, 0, nullptr, 0, nullptr));
        EXPECT_EQ("COM_SELECT=+1 QUESTIONS=+1", Moved(before));

        // A parameter value: written by an UPDATE, then compared by a SELECT.
        CMySQLStatementSQL* pclStatement = MySQLStatementTest::NewStatement(m_pclConnection);
        const std::wstring sUpdate = L"UPDATE v SET w = ? WHERE id = " + FromUtf8(sId);
        StandinTabValParser values;
        values.Add(value, static_cast<int>(sUpdate.find(L'?')), 1);
        before = Snapshot();
        m_pclError->Reset();
        ASSERT_EQ(1, pclStatement->bExecuteDirect(sUpdate.c_str(), values.pstGet(), 0)) << m_pclError->pszGetError();
        const std::wstring sSelect = L"SELECT COUNT(*) FROM v WHERE w = ? AND id = " + FromUtf8(sId);
        StandinTabValParser same;
        same.Add(value, static_cast<int>(sSelect.find(L'?')), 1);
        ASSERT_EQ(1, pclStatement->bExecuteDirect(sSelect.c_str(), same.pstGet(), 0)) << m_pclError->pszGetError();
        ASSERT_EQ(1, pclStatement->bFetch(0));
        EXPECT_EQ("COM_SELECT=+1 COM_UPDATE=+1 QUESTIONS=+2", Moved(before));
        EXPECT_EQ(Cell(Hex(sValue)), m_client.Value("SELECT HEX(w) FROM v WHERE id = " + sId));
    }
}

// Binary data with every byte value, the hostile texts among them: a
// binary memo is written whole, NULs and all, and reads back unchanged.
TEST_P(HostileText, EveryByteOfABinaryMemo)
{
    std::string sData;
    for (int c = 0; c < 256; ++c)
        sData += static_cast<char>(c);
    for (const std::string& s : kHostile)
        sData += s;
    CNADataAccess* pclAccess = OpenTable("m", "CREATE TABLE m (id INT PRIMARY KEY, d LONGBLOB)");
    CAny one = Int(1);
    ASSERT_EQ(1, Column(pclAccess, L"id")->bSetValue(&one, 0));
    CAny data;
    ASSERT_EQ(0, data.SetBIN(reinterpret_cast<const unsigned char*>(sData.data()), sData.size()));
    m_pclError->Reset();
    ASSERT_EQ(1, pclAccess->bSetBLOB(0, &data)) << m_pclError->pszGetError();
    const Counts before = Snapshot();
    ASSERT_EQ(1, pclAccess->bHAjoute(0, kLock)) << m_pclError->pszGetError();
    EXPECT_EQ("COM_INSERT=+1 QUESTIONS=+1", Moved(before));
    EXPECT_EQ(Cell(Hex(sData)), m_client.Value("SELECT HEX(d) FROM m WHERE id = 1"));
}

// The database a creating open makes when it is missing: named by the host,
// made and selected on the connection, nothing else run.
TEST_F(HostileDatabase, OfACreatingOpen)
{
    const vxtest::MariadbServer& server = vxtest::Mariadb();
    for (const std::string& sRaw : kHostile) {
        if (!bNameable(sRaw))
            continue;
        const std::string sName = AsHeld(server.sPrefix + "h" + sRaw);
        SCOPED_TRACE("database [" + sName + "]");
        CMySQLConnection* pclConnection = NewConnection(L"localhost", FromUtf8(server.user.sUser),
                                                        FromUtf8(server.user.sPassword), FromUtf8(sName),
                                                        L"Unix Socket=" + FromUtf8(server.sSocket));
        m_pclError->Reset();
        const bool bMade = pclConnection->bOpenCreate(m_pclError) == 1;
        EXPECT_TRUE(bMade) << m_pclError->pszGetError();
        auto rows = m_client.Query("SELECT SCHEMA_NAME FROM information_schema.SCHEMATA WHERE SCHEMA_NAME = X'" +
                                   Hex(sName) + "'");
        ASSERT_TRUE(rows.has_value()) << m_client.sError();
        EXPECT_EQ(1u, rows->size());
        if (bMade) {
            CTString csCurrent;
                        EXPECT_EQ(1, pclConnection->bGetRequestedValueString(m_pclError, &csCurrent, 0, L"SELECT DATABASE()"));
            EXPECT_EQ(FromUtf8(sName), std::wstring(csCurrent.pszGet() != nullptr ? csCurrent.pszGet() : L""));
            EXPECT_EQ("COM_CHANGE_DB=+1 COM_CREATE_DB=+1 COM_SELECT=+1 COM_SET_OPTION=+1 QUESTIONS=+4",
                      Moved({}, pclConnection))
                << "the character set, the database made and selected, the SELECT above";

            // The driver's list of the database's tables names it as a
            // literal, under either mode.
            ASSERT_TRUE(m_client.bExecute("CREATE TABLE " + vxtest::QuoteIdentifier(sName) + ".t (id INT)"));
            for (const bool bNoBackslashEscapes : {false, true}) {
                SCOPED_TRACE(bNoBackslashEscapes ? "NO_BACKSLASH_ESCAPES" : "default mode");
                if (bNoBackslashEscapes)
                    SessionMode(pclConnection);
                CNADriverSQL* pclSQL = Driver()->pclGetDriverSQL();
                CTStringConcatAW clQuery(CTStringConcatAW::kMaitreLarge);
                ASSERT_EQ(1, pclSQL->_bGetDatabaseTableListQuery(&clQuery, FromUtf8(sName).c_str(), pclConnection,
                                                                 CNADriverSQL::NA_LIST_BASE_TABLES));
                const Counts before = Snapshot(pclConnection);
                CAny list;
                ASSERT_EQ(1, pclSQL->_bGetList(&list, pclConnection, clQuery.pszGetW(), 1, 0))
                    << Driver()->pclGetError()->pszGetError();
                EXPECT_EQ(L"t", vxtest::TextOf(list));
                EXPECT_EQ("COM_SELECT=+1 QUESTIONS=+1", Moved(before, pclConnection));
            }
        }
        if (!rows->empty())
            EXPECT_TRUE(m_client.bExecute("DROP DATABASE " + vxtest::QuoteIdentifier(sName)));
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, HostileText, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("NoBackslashEscapes") : std::string("DefaultMode");
                         });

}  // namespace
