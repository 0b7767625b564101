// Browsing tables on the run's private server through the data access: the
// SELECT of a browse with its row limit ("VX Cache Size"), first/next and
// last/previous on every kind of item compared with what a plain SELECT
// gives, skips with a cut count, the re-read of the current row, rows
// marked deleted, reads by record number, and a whole table of 100,000 rows
// browsed both ways.
#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/model/record.h"
#include "native/model/record_value.h"
#include "native/sql/command.h"
#include "tests/native/access/statement_server_fixture.h"

namespace {

using vxtest::FromUtf8;

constexpr eNA_LOCKTYPE kLock = static_cast<eNA_LOCKTYPE>(1);
constexpr unsigned kInvalidRecordNumber = 18;

// Rows 1..N: a unique id, v with duplicates (id mod 7), r a real, n NULL on
// every third row, a composite key (a, c).
std::string TableSQL(const std::string& sTable)
{
    return "CREATE TABLE " + sTable +
           " (id INT PRIMARY KEY, v INT, r DOUBLE, n INT NULL, a INT, c INT, "
           "KEY kv (v), KEY kr (r), KEY kn (n), KEY kac (a, c))";
}
std::string FillSQL(const std::string& sTable, int nRows)
{
    return "INSERT INTO " + sTable +
           " SELECT seq, seq % 7, (seq * 37 % 101) / 4.0, IF(seq % 3 = 0, NULL, seq % 5), seq % 4, -seq FROM seq_1_to_" +
           std::to_string(nRows);
}

class DataAccessRead : public vxtest::StatementOnServer
{
protected:
    void Choose(CMySQLDriverSeams& seams) override
    {
        // The driver's statements, or none at all once a test says so.
        seams.allocStatement = [this](CMySQLDriver& driver, CNADataAccess* pclDataAccess,
                                      CNAError* pclError) -> CNAStatement* {
            return m_bNoStatement ? nullptr : driver.CMySQLDriver::pclAllocStatement(pclDataAccess, nullptr, pclError);
        };
    }
    // A data access on the table (made and filled first when nRows >= 0)
    // over the connection (the test's own by default).
    CNADataAccess* Open(const std::string& sTable, int nRows, CNAConnectionDescription* pclConnection = nullptr)
    {
        if (nRows >= 0) {
            EXPECT_TRUE(m_client.bExecute(TableSQL(sTable))) << m_client.sError();
            if (nRows > 0) {
                EXPECT_TRUE(m_client.bExecute(FillSQL(sTable, nRows))) << m_client.sError();
            }
        }
        CNADataSourceDescription* pclDescription =
            Driver()->pclAllocDataSourceDescription(m_pclConnection, m_pclError);
        pclDescription->AddRef();
        m_descriptions.push_back(pclDescription);
        EXPECT_EQ(1, pclDescription->bInitDataSourceDescriptionFromDB(FromUtf8(sTable).c_str(), 0))
            << m_pclError->pszGetError();
        CNADataAccess* pclAccess = Driver()->pclAllocDataAccess(
            pclDescription, pclConnection != nullptr ? pclConnection : m_pclConnection, m_pclError);
        REF_AddRef(pclAccess);
        m_accesses.push_back(pclAccess);
        EXPECT_EQ(1, pclAccess->bHOuvre(static_cast<eNA_ACCESS>(0), nullptr)) << m_pclError->pszGetError();
        m_pclError->Reset();
        return pclAccess;
    }
    CMySQLConnection* WithCacheSize(const std::string& sSize)
    {
        return OpenServerConnection(m_db.Name(), L"VX Cache Size=" + FromUtf8(sSize));
    }
    // A connection whose host is too old to give a cache size: the driver's
    // default applies.
    CMySQLConnection* WithoutCacheSize()
    {
        Held& held = m_connections.emplace_back();
        held.host = std::make_unique<StandinConnectionDescription>();
        held.host->SetVersion(3);
        held.sServer = L"localhost";
        held.sUser = FromUtf8(vxtest::Mariadb().user.sUser);
        held.sPassword = FromUtf8(vxtest::Mariadb().user.sPassword);
        held.sDatabase = FromUtf8(m_db.Name());
        held.sExtended = L"Unix Socket=" + FromUtf8(vxtest::Mariadb().sSocket);
        held.host->SetDataBase(held.sServer.c_str());
        held.host->SetUserName(held.sUser.c_str());
        held.host->SetPassword(held.sPassword.c_str());
        held.host->SetDefaultDataBase(held.sDatabase.c_str());
        held.host->SetExtendedInfo(held.sExtended.c_str());
        held.pclConnection = new vxtest::CInspectedConnection(L"statement test", held.host.get());
        ++held.pclConnection->m_dwRefCount;
        EXPECT_EQ(-2, held.pclConnection->llGetCacheSize());
        EXPECT_EQ(1, held.pclConnection->bOpen(m_pclError)) << m_pclError->pszGetError();
        return held.pclConnection;
    }

    static int Read(CNADataAccess* pclAccess, const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection)
    {
        eNA_LOCKTYPE eOut = kLock;
        return pclAccess->bHLitxxx(pszItem, eDirection, 1, kLock, &eOut, 0);
    }
    static void Set(CNADataAccess* pclAccess, const wchar_t* pszColumn, const CAny& value)
    {
        ASSERT_EQ(1, Column(pclAccess, pszColumn)->bSetValue(&value, 0));
    }
    static bool bOut(CNADataAccess* pclAccess)
    {
        int bOut = 1;
        pclAccess->pclGetLastStatementNoRef()->HEndehors(&bOut);
        return bOut != 0;
    }
    // The current record's id, "" when it cannot be read.
    static std::string Id(CNADataAccess* pclAccess)
    {
        CAny value;
        if (!Column(pclAccess, L"id")->bGetCurrentValue(&value, 0))
            return "";
        return Utf8(vxtest::TextOf(value).c_str());
    }
    // Every id the browse gives, from the start (first, next...) or from the
    // end (last, previous...).
    std::vector<std::string> Browse(CNADataAccess* pclAccess, const wchar_t* pszItem, bool bBackward)
    {
        std::vector<std::string> ids;
        const eNA_PARSEDIRECTION eStart = bBackward ? NADirection::kLast : NADirection::kFirst;
        const eNA_PARSEDIRECTION eMove = bBackward ? NADirection::kPrevious : NADirection::kNext;
        EXPECT_EQ(1, Read(pclAccess, pszItem, eStart)) << m_pclError->pszGetError();
        while (!bOut(pclAccess)) {
            ids.push_back(Id(pclAccess));
            if (Read(pclAccess, pszItem, eMove) != 1) {
                ADD_FAILURE() << m_pclError->pszGetError();
                break;
            }
        }
        return ids;
    }
    // The ids of a plain SELECT in this order.
    std::vector<std::string> Expected(const std::string& sSelect)
    {
        std::vector<std::string> ids;
        auto rows = m_client.Query(sSelect);
        EXPECT_TRUE(rows.has_value()) << m_client.sError();
        for (const auto& row : rows.value_or(vxtest::RawRows{}))
            ids.push_back(row[0].value_or("(null)"));
        return ids;
    }
    static std::vector<std::string> Reversed(std::vector<std::string> ids)
    {
        return {ids.rbegin(), ids.rend()};
    }

    bool m_bNoStatement = false;
};

// The row limit of a browse's SELECT: the connection's cache size, a long
// move cut to land in the last rows of a block, none on a floating-point
// item or behind one.
TEST_F(DataAccessRead, TheRowLimitOfABrowse)
{
    EXPECT_TRUE(m_client.bExecute(TableSQL("t"))) << m_client.sError();
    EXPECT_TRUE(m_client.bExecute("CREATE TABLE f (r DOUBLE, id INT PRIMARY KEY, v INT, KEY kv (v))"))
        << m_client.sError();
    struct Case
    {
        const char* pszName;
        std::string sCacheSize;  // "" for none given
        std::string sTable;
        const wchar_t* pszItem;
        long llCount;
        int64_t llLimit;
        int64_t llOffset;
        long llCountAfter;
        const char* pszLimitText;  // the end of the SQL sent, "" for no LIMIT
    };
    ASSERT_EQ(100, Driver()->llGetDefaultCacheSize());
    const Case cases[] = {
        {"long move, the driver's default size", "", "t", L"id", 1000, 100, 990, 10, " LIMIT 990, 100"},
        {"long move on a unique item", "100", "t", L"id", 1000, 100, 990, 10, " LIMIT 990, 100"},
        {"cut to a third of a small size", "15", "t", L"id", 15, 15, 9, 6, " LIMIT 9, 15"},
        {"a move shorter than the size", "15", "t", L"id", 14, 15, -1, 14, " LIMIT 15"},
        {"one row", "15", "t", L"id", 1, 15, -1, 1, " LIMIT 15"},
        {"size 0 reads the whole table", "0", "t", L"id", 1000, 0, -1, 1000, ""},
        {"a real item takes none", "100", "t", L"r", 1000, -1, -1, 1000, ""},
        {"duplicates behind a unique best item", "100", "t", L"v", 1, 100, -1, 1, " LIMIT 100"},
        {"the best item when none is given", "100", "t", L"", 1, 100, -1, 1, " LIMIT 100"},
        {"duplicates behind a real item", "100", "f", L"v", 1, -1, -1, 1, ""},
        {"64-bit size and offset", "5000000000", "t", L"id", 6000000000L, 5000000000LL, 5999999990LL, 10,
         " LIMIT 5999999990, 5000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        CNADataAccess* pclAccess =
            Open(c.sTable, -1, c.sCacheSize.empty() ? WithoutCacheSize() : WithCacheSize(c.sCacheSize));
        CNAStatement* pclStatement = pclAccess->_pclGetNewItemStatement(c.pszItem, NADirection::kFirst, 0);
        ASSERT_NE(nullptr, pclStatement);
        CNACommand* pclCommand = NewCommand(pclAccess);
        long llCount = c.llCount;
        ASSERT_EQ(1, pclAccess->bBuildSelect(pclCommand, pclStatement, c.pszItem, 1, 0, &llCount))
            << m_pclError->pszGetError();
        EXPECT_EQ(c.llLimit, pclCommand->llGetLimit());
        EXPECT_EQ(c.llOffset, pclCommand->llGetOffset());
        EXPECT_EQ(c.llCountAfter, llCount);
        const std::string sSent = Sent(pclCommand);
        const std::string sTail = c.pszLimitText;
        if (sTail.empty()) {
            EXPECT_EQ(std::string::npos, sSent.find("LIMIT")) << sSent;
        } else {
            EXPECT_EQ(sTail, sSent.substr(sSent.size() - std::min(sSent.size(), sTail.size()))) << sSent;
        }
        pclStatement->nRelease();
    }
}

// Out of the table nothing is found, also when the browse went on block by
// block under a row limit (each block finds its place by a search of its
// own, which would otherwise answer for the row read last).
TEST_F(DataAccessRead, PastEitherEndNothingIsFound)
{
    EXPECT_TRUE(m_client.bExecute(TableSQL("e"))) << m_client.sError();
    EXPECT_TRUE(m_client.bExecute(FillSQL("e", 5))) << m_client.sError();
    for (const char* pszCacheSize : {"0", "2"}) {
        CNADataAccess* pclAccess = Open("e", -1, WithCacheSize(pszCacheSize));
        for (bool bBackward : {false, true}) {
            SCOPED_TRACE(std::string("cache size ") + pszCacheSize + (bBackward ? ", backward" : ", forward"));
            EXPECT_EQ(5u, Browse(pclAccess, L"id", bBackward).size());
            int bFound = -1;
            int bInside = -1;
            ASSERT_EQ(1, pclAccess->bEvalHTrouve(L"id", &bFound, &bInside)) << m_pclError->pszGetError();
            EXPECT_EQ(0, bFound);
            EXPECT_EQ(0, bInside);
        }
    }
}

TEST_F(DataAccessRead, ARecordNumberOtherThanZeroIsRefused)
{
    CNADataAccess* pclAccess = Open("t", 3);
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kFirst));
    const unsigned nStatements = pclAccess->nGetStatementCount();
    eNA_LOCKTYPE eOut = kLock;
    m_pclError->Reset();
    EXPECT_EQ(0, pclAccess->bHLit(2, kLock, &eOut));
    EXPECT_EQ(kInvalidRecordNumber, m_pclError->nGetUserErrorCode());
    EXPECT_STREQ(L"t", m_pclError->pszGetLogicalTableName());
    EXPECT_EQ(nStatements, pclAccess->nGetStatementCount()) << "no statement touched";
    EXPECT_EQ("1", Id(pclAccess));
}

// Every item browsed from the start and from the end gives the rows of a
// plain SELECT in that order: tables of 0, 1, a few and a few thousand
// rows, with the whole table as one result and with a row limit that keeps
// it in one block.
TEST_F(DataAccessRead, BrowsesEveryItemBothWaysInTheOrderOfAPlainSelect)
{
    struct Item
    {
        const wchar_t* pszItem;
        const char* pszOrder;
    };
    const Item items[] = {
        {L"id", "id"},         // unique
        {L"v", "v, id"},       // with duplicates
        {L"r", "r, id"},       // a real, never limited
        {L"n", "n, id"},       // NULLs first
        {L"kac", "a, c, id"},  // a composite key
    };
    const std::pair<const char*, int> tables[] = {{"t0", 0}, {"t1", 1}, {"t5", 5}, {"t3k", 3000}};
    for (const auto& [pszTable, nRows] : tables) {
        EXPECT_TRUE(m_client.bExecute(TableSQL(pszTable))) << m_client.sError();
        if (nRows > 0) {
            EXPECT_TRUE(m_client.bExecute(FillSQL(pszTable, nRows))) << m_client.sError();
        }
    }
    for (const char* pszCacheSize : {"0", "5000"}) {
        CMySQLConnection* pclConnection = WithCacheSize(pszCacheSize);
        for (const auto& [pszTable, nRows] : tables) {
            CNADataAccess* pclAccess = Open(pszTable, -1, pclConnection);
            for (const Item& item : items) {
                SCOPED_TRACE(std::string(pszTable) + " by " + Utf8(item.pszItem) + ", cache size " + pszCacheSize);
                const std::vector<std::string> expected =
                    Expected(std::string("SELECT id FROM ") + pszTable + " ORDER BY " + item.pszOrder);
                ASSERT_EQ(static_cast<size_t>(nRows), expected.size());
                EXPECT_EQ(expected, Browse(pclAccess, item.pszItem, false));
                EXPECT_EQ(Reversed(expected), Browse(pclAccess, item.pszItem, true));
            }
        }
    }
}

// A skip by a count: a long move opens the SELECT at a row offset and
// moves the rest; short moves stay in the result read.
TEST_F(DataAccessRead, SkipsByACount)
{
    EXPECT_TRUE(m_client.bExecute(TableSQL("h"))) << m_client.sError();
    EXPECT_TRUE(m_client.bExecute(FillSQL("h", 100))) << m_client.sError();
    struct Case
    {
        const char* pszName;
        const char* pszCacheSize;
        eNA_PARSEDIRECTION eDirection;
        long llCount;
        const char* pszId;       // "" when the move ends out of the table
        int64_t llOffset;        // of the SELECT that the move opened
    };
    const Case cases[] = {
        {"first 20 through a cut count", "15", NADirection::kFirst, 20, "20", 14},
        {"first 100, the last row", "15", NADirection::kFirst, 100, "100", 94},
        {"first 30 with room in the block", "100", NADirection::kFirst, 30, "30", -1},
        {"first 70 without limit", "0", NADirection::kFirst, 70, "70", -1},
        {"last 3", "15", NADirection::kLast, 3, "98", -1},
        {"first past the end", "0", NADirection::kFirst, 101, "", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        CNADataAccess* pclAccess = Open("h", -1, WithCacheSize(c.pszCacheSize));
        eNA_LOCKTYPE eOut = kLock;
        ASSERT_EQ(1, pclAccess->bSkipRecord(L"id", c.eDirection, c.llCount, 1, kLock, &eOut, 0))
            << m_pclError->pszGetError();
        EXPECT_EQ(c.pszId[0] == 0, bOut(pclAccess));
        if (c.pszId[0] != 0) {
            EXPECT_EQ(c.pszId, Id(pclAccess));
        }
        EXPECT_EQ(c.llOffset, pclAccess->pclGetLastStatementNoRef()->pclGetCommandNoRef()->llGetOffset());
    }

    // Moves within the result read: next by 2, back by 1, a count of 0
    // reads the current row again.
    CNADataAccess* pclAccess = Open("h", -1);
    eNA_LOCKTYPE eOut = kLock;
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kFirst));
    ASSERT_EQ(1, pclAccess->bSkipRecord(L"id", NADirection::kNext, 2, 1, kLock, &eOut, 0));
    EXPECT_EQ("3", Id(pclAccess));
    ASSERT_EQ(1, pclAccess->bSkipRecord(L"id", NADirection::kPrevious, 1, 1, kLock, &eOut, 0));
    EXPECT_EQ("2", Id(pclAccess));
    Set(pclAccess, L"id", Int(77));
    ASSERT_EQ(1, pclAccess->bSkipRecord(L"id", NADirection::kNext, 0, 1, kLock, &eOut, 0));
    EXPECT_FALSE(bOut(pclAccess));
    EXPECT_EQ("2", Id(pclAccess)) << "the row read again";

    // Without fetch option a count of 0 only opens: the record stays.
    Set(pclAccess, L"id", Int(77));
    ASSERT_EQ(1, pclAccess->bSkipRecord(L"id", NADirection::kFirst, 0, 0, kLock, &eOut, 0));
    EXPECT_EQ("77", Id(pclAccess));
}

// Rows this parse marked deleted are walked over in both directions.
TEST_F(DataAccessRead, RowsMarkedDeletedAreSkipped)
{
    CNADataAccess* pclAccess = Open("d", 6);
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kFirst));
    CNAStatement* pclStatement = pclAccess->pclGetLastStatementNoRef();
    ASSERT_EQ(1, pclStatement->bSaveDeletedRecord(1));
    ASSERT_EQ(1, pclStatement->bSaveDeletedRecord(2));
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kNext));
    EXPECT_EQ("4", Id(pclAccess));
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kPrevious));
    EXPECT_EQ("1", Id(pclAccess));
    eNA_LOCKTYPE eOut = kLock;
    ASSERT_EQ(1, pclAccess->bSkipRecord(L"id", NADirection::kNext, 2, 1, kLock, &eOut, 0));
    EXPECT_EQ("5", Id(pclAccess));
}

// Record number 0 reads the current record again from the server; once the
// row is gone the record keeps its values, marked deleted.
TEST_F(DataAccessRead, RecordNumberZeroReadsTheCurrentRecordAgain)
{
    CNADataAccess* pclAccess = Open("t", 3);
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kFirst));
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kNext));
    ASSERT_TRUE(m_client.bExecute("UPDATE t SET v = 42 WHERE id = 2")) << m_client.sError();
    eNA_LOCKTYPE eOut = kLock;
    ASSERT_EQ(1, pclAccess->bHLit(0, kLock, &eOut)) << m_pclError->pszGetError();
    CAny value;
    ASSERT_EQ(1, Column(pclAccess, L"v")->bGetCurrentValue(&value, 0));
    EXPECT_EQ(L"42", vxtest::TextOf(value));
    EXPECT_EQ("2", Id(pclAccess));
    CNARecordValue* pclCurrent = pclAccess->pclGetCurrentRecordNoRef()->pclGetCurrentRecordValueNoRef();
    EXPECT_EQ(0, static_cast<int>(pclCurrent->eGetRecordState()));

    ASSERT_TRUE(m_client.bExecute("DELETE FROM t WHERE id = 2")) << m_client.sError();
    Set(pclAccess, L"v", Int(5));
    pclAccess->bHLit(0, kLock, &eOut);
    EXPECT_EQ(NA_RS_DELETED, pclCurrent->eGetRecordState());
    ASSERT_EQ(1, Column(pclAccess, L"v")->bGetCurrentValue(&value, 0));
    EXPECT_EQ(L"42", vxtest::TextOf(value)) << "the values as last read";
}

// A whole table of 100,000 rows read as one result, first to last and back.
TEST_F(DataAccessRead, AHundredThousandRowsBothWays)
{
    CNADataAccess* pclAccess = Open("big", 100000, WithCacheSize("0"));
    const std::vector<std::string> expected = Expected("SELECT id FROM big ORDER BY v, id");
    ASSERT_EQ(100000u, expected.size());
    EXPECT_EQ(expected, Browse(pclAccess, L"v", false));
    EXPECT_EQ(Reversed(expected), Browse(pclAccess, L"v", true));
}

// A first or last read through 0x2000 keeps the open result when it holds
// the end asked for; otherwise, and without the flag, the SELECT runs again.
TEST_F(DataAccessRead, AFirstOrLastReadKeepsTheResultThatHoldsItsEnd)
{
    EXPECT_TRUE(m_client.bExecute(TableSQL("k"))) << m_client.sError();
    EXPECT_TRUE(m_client.bExecute(FillSQL("k", 20))) << m_client.sError();
    constexpr NA_WRITEPARSEFLAGS kCached = 0x2000;
    struct Step
    {
        eNA_PARSEDIRECTION eDirection;
        NA_WRITEPARSEFLAGS nFlags;
        bool bRunsAgain;
        const char* pszId;
    };
    struct Case
    {
        const char* pszName;
        const char* pszCacheSize;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"the whole table in one result", "0",
         {{NADirection::kFirst, 0, true, "1"},
          {NADirection::kFirst, kCached, false, "1"},
          {NADirection::kLast, kCached, false, "20"},
          {NADirection::kFirst, 0, true, "1"}}},
        {"a first block that filled its limit", "10",
         {{NADirection::kFirst, 0, true, "1"},
          {NADirection::kFirst, kCached, false, "1"},
          {NADirection::kLast, kCached, true, "20"},
          // Read from the end: the first row is not in it.
          {NADirection::kLast, kCached, false, "20"},
          {NADirection::kFirst, kCached, true, "1"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        CNADataAccess* pclAccess = Open("k", -1, WithCacheSize(c.pszCacheSize));
        const CNACommand* pclBefore = nullptr;
        int nStep = 0;
        for (const Step& step : c.steps) {
            SCOPED_TRACE(++nStep);
            eNA_LOCKTYPE eOut = kLock;
            ASSERT_EQ(1, pclAccess->bHLitxxx(L"id", step.eDirection, 1, kLock, &eOut, step.nFlags))
                << m_pclError->pszGetError();
            EXPECT_EQ(step.pszId, Id(pclAccess));
            const CNACommand* pclCommand = pclAccess->pclGetLastStatementNoRef()->pclGetCommandNoRef();
            EXPECT_EQ(step.bRunsAgain, pclCommand != pclBefore);
            pclBefore = pclCommand;
        }
    }
}

// Without a statement for the item a skip or a read by number fails and
// leaves the current record as it was.
TEST_F(DataAccessRead, NoStatementNoRead)
{
    CNADataAccess* pclAccess = Open("t", 3);
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kFirst));
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kNext));
    m_bNoStatement = true;
    eNA_LOCKTYPE eOut = kLock;
    EXPECT_EQ(0, pclAccess->bSkipRecord(L"v", NADirection::kFirst, 1, 1, kLock, &eOut, 0));
    EXPECT_EQ(0, pclAccess->bHLit(0, kLock, &eOut));
    EXPECT_EQ(0, Read(pclAccess, L"n", NADirection::kFirst));
    EXPECT_EQ("2", Id(pclAccess));
}

// A search that runs out of its rows goes on past them with its
// continuation condition: the rows after the match, then the end.
TEST_F(DataAccessRead, ASearchGoesOnPastItsRows)
{
    CNADataAccess* pclAccess = Open("t", 8);
    CNAStatement* pclStatement = pclAccess->_pclGetNewItemStatement(L"id", NADirection::kFirst, 0);
    ASSERT_NE(nullptr, pclStatement);
    const CAny five = Int(5);
    ASSERT_EQ(1, pclStatement->bSetUserSearch(L"id", &five, NADirection::kFirst, 1));
    eNA_LOCKTYPE eOut = kLock;
    ASSERT_EQ(1, pclAccess->_bFetch(pclStatement, L"id", NADirection::kFirst, 1, 1, kLock, &eOut, 0, 1))
        << m_pclError->pszGetError();
    EXPECT_EQ("5", Id(pclAccess));
    ASSERT_EQ(1, pclAccess->_bFetch(pclStatement, L"id", NADirection::kNext, 2, 1, kLock, &eOut, 0, 0))
        << m_pclError->pszGetError();
    EXPECT_FALSE(bOut(pclAccess));
    EXPECT_EQ("7", Id(pclAccess)) << "two rows on, the first of them beyond the match";
    ASSERT_EQ(1, pclAccess->_bFetch(pclStatement, L"id", NADirection::kNext, 5, 1, kLock, &eOut, 0, 0));
    EXPECT_TRUE(bOut(pclAccess));
    pclStatement->nRelease();
}
}  // namespace
