// Adding, modifying, writing and deleting through the data access on the
// run's private server, with MySQL statements: adds with each flag on a
// table whose key the server numbers, one whose key it does not number and
// one without key (the identifier read back); a modification or a delete of
// record number 0 after an add works on the row as added; modifications
// after a read; a row deleted here and then modified comes back; emptying
// a query source row by row. The rows are read back through a raw client.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/driver/error_object.h"
#include "native/model/column.h"
#include "native/model/record.h"
#include "native/model/record_value.h"
#include "tests/host/db/standin_parsed_query.h"
#include "tests/mysql/mysql_statement_on_server.h"

namespace {

using vxstandin::Span;

constexpr eNA_LOCKTYPE kLock = static_cast<eNA_LOCKTYPE>(1);
constexpr eNA_PARSEDIRECTION kFirst = static_cast<eNA_PARSEDIRECTION>(0);
constexpr eNA_PARSEDIRECTION kNext = static_cast<eNA_PARSEDIRECTION>(2);
constexpr NA_WRITEPARSEFLAGS kKeepsRead = 0x40;

using Values = std::vector<std::string>;

class DataAccessWrite : public vxtest::MySQLStatementFixture
{
protected:
    void Set(CNADataAccess* pclAccess, const wchar_t* pszColumn, int nValue)
    {
        CAny value = Int(nValue);
        ASSERT_EQ(1, Column(pclAccess, pszColumn)->bSetValue(&value, 0));
    }
    std::wstring Get(CNADataAccess* pclAccess, const wchar_t* pszColumn)
    {
        CAny value;
        EXPECT_EQ(1, Column(pclAccess, pszColumn)->bGetCurrentValue(&value, 0));
        return vxtest::TextOf(value);
    }
    int Read(CNADataAccess* pclAccess, eNA_PARSEDIRECTION eDirection)
    {
        eNA_LOCKTYPE eOut = kLock;
        m_pclError->Reset();
        return pclAccess->bHLitxxx(L"id", eDirection, 1, kLock, &eOut, 0);
    }
    // Every row as "id:v" in id order.
    std::vector<std::string> Rows(const std::string& sTable, const std::string& sColumns = "CONCAT(id, ':', v)")
    {
        return FirstColumn("SELECT " + sColumns + " FROM " + sTable + " ORDER BY id");
    }
    // The identifier the server gave the one row that meets the condition,
    // read on the test's own connection (0 when there is no such row). A
    // server may step its numbering by more than 1 and start it at any
    // offset (as the nodes of a cluster do): only it knows the identifier.
    long long ServerId(const std::string& sTable, const std::string& sWhere)
    {
        const std::vector<std::string> ids = FirstColumn("SELECT id FROM " + sTable + " WHERE " + sWhere);
        EXPECT_EQ(1u, ids.size()) << sWhere;
        return ids.size() == 1 ? std::strtoll(ids[0].c_str(), nullptr, 10) : 0;
    }
    CNADataAccess* TwoRows(const std::string& sTable)
    {
        CNADataAccess* pclAccess =
            OpenTable(sTable, "CREATE TABLE " + sTable + " (id INT AUTO_INCREMENT PRIMARY KEY, v INT)");
        EXPECT_TRUE(m_client.bExecute("INSERT INTO " + sTable + " VALUES (1, 10), (2, 20)")) << m_client.sError();
        return pclAccess;
    }

    // The host's parse of a query source; it outlives the data accesses.
    std::unique_ptr<StandinParsedQuery> m_parsed;
};

// One add per flag and kind of key, each on a table of its own: the row the
// server holds, the identifier the record holds afterwards, and whether a
// record save was kept.
TEST_F(DataAccessWrite, AddsWithEachFlagOnEachKindOfKey)
{
    // The identifier the server numbers: the first from 41 on that its
    // step and offset allow (41 itself where they are 1).
    constexpr const char* kNumbered = nullptr;
    const struct
    {
        const char* pszKey;
        NA_WRITEPARSEFLAGS nFlags;
        const char* pszRow;
        const wchar_t* pszRecordId;
    } cases[] = {
        // The server numbers the key: it is not written, and is read back.
        {"numbered", 0, kNumbered, nullptr},
        {"numbered", kKeepsRead, kNumbered, nullptr},
        // Written with the value the record holds.
        {"numbered", 0x100, "7:5", L"7"},
        {"numbered", 0x400, "7:5", L"7"},
        // Computed on the client from the largest value in use (none: 1).
        {"numbered", 0x200, "1:5", L"1"},
        // A key the server does not number is always written.
        {"plain", 0, "7:5", L"7"},
        {"plain", kKeepsRead, "7:5", L"7"},
        {"plain", 0x100, "7:5", L"7"},
        {"plain", 0x400, "7:5", L"7"},
        {"plain", 0x200, "7:5", L"7"},
        {"none", 0, "7:5", L"7"},
        {"none", kKeepsRead, "7:5", L"7"},
        {"none", 0x100, "7:5", L"7"},
        {"none", 0x400, "7:5", L"7"},
        {"none", 0x200, "7:5", L"7"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string sTable = std::string("t") + std::to_string(n++);
        SCOPED_TRACE(std::string(c.pszKey) + " flags " + std::to_string(c.nFlags));
        const std::string sKey = std::string(c.pszKey) == "numbered" ? "id INT AUTO_INCREMENT PRIMARY KEY"
                                 : std::string(c.pszKey) == "plain" ? "id INT PRIMARY KEY"
                                                                    : "id INT";
        CNADataAccess* pclAccess =
            OpenTable(sTable, "CREATE TABLE " + sTable + " (" + sKey + ", v INT) AUTO_INCREMENT=41");
        Set(pclAccess, L"id", 7);
        Set(pclAccess, L"v", 5);
        m_pclError->Reset();
        ASSERT_EQ(1, pclAccess->bHAjoute(c.nFlags, kLock)) << m_pclError->pszGetError();
        if (c.pszRow == kNumbered) {
            const long long nId = ServerId(sTable, "v = 5");
            EXPECT_GE(nId, 41);
            EXPECT_EQ(Values{std::to_string(nId) + ":5"}, Rows(sTable));
            EXPECT_EQ(std::to_wstring(nId), Get(pclAccess, L"id"));
        } else {
            EXPECT_EQ(Values{c.pszRow}, Rows(sTable));
            EXPECT_EQ(c.pszRecordId, Get(pclAccess, L"id"));
        }
        CNARecord* pclRecord = pclAccess->pclGetCurrentRecordNoRef();
        EXPECT_EQ(1, pclRecord->bOriginalSet()) << "the record is marked read";
        EXPECT_EQ((c.nFlags & kKeepsRead) != 0, pclAccess->nGetCurrentRecordSaveID() == -1);
    }
}

// After an add, record number 0 means the row as added, even when the
// original row was another one (read before) and the current row changed
// since; with 0x40 no save is kept and the record as read is the row.
TEST_F(DataAccessWrite, RecordZeroAfterAnAddIsTheRowAsAdded)
{
    CNADataAccess* pclAccess = TwoRows("r");
    ASSERT_EQ(1, Read(pclAccess, kFirst));
    ASSERT_EQ(L"1", Get(pclAccess, L"id"));

    // Added while row 1 is the row as read.
    Set(pclAccess, L"id", 3);
    Set(pclAccess, L"v", 30);
    ASSERT_EQ(1, pclAccess->bHAjoute(0x100, kLock)) << m_pclError->pszGetError();
    Set(pclAccess, L"v", 31);
    m_pclError->Reset();
    ASSERT_EQ(1, pclAccess->bHModifie(0, 0, kLock)) << m_pclError->pszGetError();
    EXPECT_EQ((Values{"1:10", "2:20", "3:31"}), Rows("r"));

    // Added again, then changed without writing: the delete takes the row
    // as added.
    Set(pclAccess, L"id", 4);
    Set(pclAccess, L"v", 40);
    ASSERT_EQ(1, pclAccess->bHAjoute(0x100, kLock)) << m_pclError->pszGetError();
    Set(pclAccess, L"id", 2);
    Set(pclAccess, L"v", 20);
    m_pclError->Reset();
    ASSERT_EQ(1, pclAccess->bHSupprime(0, kLock)) << m_pclError->pszGetError();
    EXPECT_EQ((Values{"1:10", "2:20", "3:31"}), Rows("r"));
    EXPECT_EQ(NA_RS_DELETED, pclAccess->pclGetCurrentRecordNoRef()->pclGetCurrentRecordValueNoRef()->eGetRecordState());

    // With 0x40 the row written is the row read.
    Set(pclAccess, L"id", 5);
    Set(pclAccess, L"v", 50);
    ASSERT_EQ(1, pclAccess->bHAjoute(0x100 | kKeepsRead, kLock)) << m_pclError->pszGetError();
    EXPECT_EQ(-1, pclAccess->nGetCurrentRecordSaveID());
    Set(pclAccess, L"v", 51);
    ASSERT_EQ(1, pclAccess->bHModifie(0, 0, kLock)) << m_pclError->pszGetError();
    EXPECT_EQ((Values{"1:10", "2:20", "3:31", "5:51"}), Rows("r"));

    // The server-numbered identifier read back identifies the row added:
    // the one the server gave it, after the largest written so far.
    Set(pclAccess, L"v", 60);
    ASSERT_EQ(1, pclAccess->bHAjoute(0, kLock)) << m_pclError->pszGetError();
    const long long nId = ServerId("r", "v = 60");
    ASSERT_GT(nId, 5);
    EXPECT_EQ(std::to_wstring(nId), Get(pclAccess, L"id"));
    Set(pclAccess, L"v", 61);
    ASSERT_EQ(1, pclAccess->bHEcrit(0, 0, kLock)) << m_pclError->pszGetError();
    const std::string sId = std::to_string(nId);
    EXPECT_EQ((Values{"1:10", "2:20", "3:31", "5:51", sId + ":61"}), Rows("r"));

    // Computed on the client: the largest identifier in use plus one.
    Set(pclAccess, L"id", 0);
    Set(pclAccess, L"v", 70);
    ASSERT_EQ(1, pclAccess->bHAjoute(0x200, kLock)) << m_pclError->pszGetError();
    EXPECT_EQ(std::to_wstring(nId + 1), Get(pclAccess, L"id"));
    EXPECT_EQ((Values{"1:10", "2:20", "3:31", "5:51", sId + ":61", std::to_string(nId + 1) + ":70"}), Rows("r"));
}

// A modification or a write after a read changes the row read, and the
// next one starts from the values written.
TEST_F(DataAccessWrite, ModifyAndWriteAfterARead)
{
    CNADataAccess* pclAccess = TwoRows("m");
    ASSERT_EQ(1, Read(pclAccess, kFirst));
    ASSERT_EQ(1, Read(pclAccess, kNext));
    Set(pclAccess, L"v", 21);
    ASSERT_EQ(1, pclAccess->bHModifie(0, 0, kLock)) << m_pclError->pszGetError();
    Set(pclAccess, L"v", 22);
    ASSERT_EQ(1, pclAccess->bHEcrit(0, 0, kLock)) << m_pclError->pszGetError();
    EXPECT_EQ((Values{"1:10", "2:22"}), Rows("m"));
    // The identifier the server numbers is written only with 0x100; the
    // row is found by its values as read.
    Set(pclAccess, L"id", 9);
    Set(pclAccess, L"v", 23);
    ASSERT_EQ(1, pclAccess->bHModifie(0, 0, kLock)) << m_pclError->pszGetError();
    EXPECT_EQ((Values{"1:10", "2:23"}), Rows("m"));
    Set(pclAccess, L"id", 9);
    ASSERT_EQ(1, pclAccess->bHModifie(0, 0x100, kLock)) << m_pclError->pszGetError();
    EXPECT_EQ((Values{"1:10", "9:23"}), Rows("m"));
    // Only record number 0 is known.
    EXPECT_EQ(0, pclAccess->bHModifie(1, 0, kLock));
    EXPECT_EQ(0, pclAccess->bHSupprime(1, kLock));
    EXPECT_EQ((Values{"1:10", "9:23"}), Rows("m"));
}

// A row deleted here and then modified is put back by an INSERT, its
// identifier written as held; the record is then the row as read.
TEST_F(DataAccessWrite, ADeletedRowModifiedComesBack)
{
    CNADataAccess* pclAccess = TwoRows("d");
    ASSERT_EQ(1, Read(pclAccess, kFirst));
    ASSERT_EQ(1, pclAccess->bHSupprime(0, kLock)) << m_pclError->pszGetError();
    EXPECT_EQ((Values{"2:20"}), Rows("d"));
    CNARecordValue* pclCurrent = pclAccess->pclGetCurrentRecordNoRef()->pclGetCurrentRecordValueNoRef();
    EXPECT_EQ(NA_RS_DELETED, pclCurrent->eGetRecordState());

    Set(pclAccess, L"v", 11);
    m_pclError->Reset();
    ASSERT_EQ(1, pclAccess->bHModifie(0, 0, kLock)) << m_pclError->pszGetError();
    EXPECT_EQ((Values{"1:11", "2:20"}), Rows("d"));
    EXPECT_EQ(0, static_cast<int>(pclCurrent->eGetRecordState()));
    // Marked read: the next modification finds the row put back.
    Set(pclAccess, L"v", 12);
    ASSERT_EQ(1, pclAccess->bHModifie(0, 0, kLock)) << m_pclError->pszGetError();
    EXPECT_EQ((Values{"1:12", "2:20"}), Rows("d"));
}

// A row read and added again under another key: its memos go with the
// copy.
TEST_F(DataAccessWrite, AnAddedCopyTakesTheMemos)
{
    CNADataAccess* pclAccess =
        OpenTable("c", "CREATE TABLE c (id INT PRIMARY KEY, v INT, note TEXT, data LONGBLOB)");
    ASSERT_TRUE(m_client.bExecute("INSERT INTO c VALUES (1, 10, 'a note', 'some bytes')")) << m_client.sError();
    ASSERT_EQ(1, Read(pclAccess, kFirst));
    Set(pclAccess, L"id", 2);
    ASSERT_EQ(1, pclAccess->bHAjoute(0, kLock)) << m_pclError->pszGetError();
    EXPECT_EQ((Values{"1:10:a note:some bytes", "2:10:a note:some bytes"}),
              Rows("c", "CONCAT_WS(':', id, v, note, data)"));
}

// A row another connection deleted meanwhile: the UPDATE changes nothing,
// user error 13 with error type 9, and nothing is inserted.
TEST_F(DataAccessWrite, ARowDeletedByAnotherConnection)
{
    CNADataAccess* pclAccess = TwoRows("o");
    ASSERT_EQ(1, Read(pclAccess, kFirst));
    ASSERT_TRUE(m_client.bExecute("DELETE FROM o WHERE id = 1")) << m_client.sError();
    Set(pclAccess, L"v", 11);
    m_pclError->Reset();
    EXPECT_EQ(0, pclAccess->bHModifie(0, 0, kLock));
    EXPECT_EQ(13u, m_pclError->nGetUserErrorCode());
    EXPECT_EQ(NA_ERR_NO_ROW_CHANGED, m_pclError->eGetErrorType());
    EXPECT_EQ(NA_ERR_NO_ROW_CHANGED, pclAccess->eGetNAErrorType());
    EXPECT_EQ((Values{"2:20"}), Rows("o"));
}

// Emptying a query source deletes its rows one by one through the query
// and ends at the end of the browse, leaving it closed.
TEST_F(DataAccessWrite, EmptyingAQuerySourceRowByRow)
{
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE q (id INT PRIMARY KEY, v INT)")) << m_client.sError();
    ASSERT_TRUE(m_client.bExecute("INSERT INTO q SELECT seq, seq % 2 FROM seq_1_to_7")) << m_client.sError();
    CNADataSourceDescription* pclTable = Described("q");
    const std::wstring text = L"SELECT id, v FROM q";
    vxstandin::ParsedQuerySpec spec{.text = text};
    spec.from = {{.name = L"q", .position = Span(text, L"q"), .description = pclTable}};
    for (const wchar_t* pszItem : {L"id", L"v"})
        spec.items.push_back({.item = pszItem, .table = L"q", .description = pclTable->pclNAGetItemNoRef(pszItem, 0)});
    m_parsed = std::make_unique<StandinParsedQuery>(spec);
    CNADataAccess* pclAccess = Access(nullptr);
    int bHasResult = 0;
    m_pclError->Reset();
    ASSERT_EQ(1, pclAccess->bExecuteQuery(&bHasResult, L"Q", m_parsed.get(), 0, nullptr)) << m_pclError->pszGetError();
    ASSERT_EQ(1, pclAccess->bIsQuery());
    m_pclError->Reset();
    EXPECT_EQ(1, pclAccess->bSupprimeTout()) << m_pclError->pszGetError();
    EXPECT_EQ("0", m_client.Value("SELECT COUNT(*) FROM q").value_or("?"));
    EXPECT_EQ(0, pclAccess->bIsOpened());
}

}  // namespace
