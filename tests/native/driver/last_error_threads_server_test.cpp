// Host threads reading their last errors while other threads call the
// driver, on the run's private server: 8 threads through the host's
// interfaces by slot, as the stand-in host calls them, each with its own
// host contexts, connection, SQL connection and table. Each makes calls
// that fail in ways of its own (a duplicate of its own key, a search on an
// item its table does not have, a search from its context that never
// opened the table, an SQL text with a syntax error naming the thread)
// between calls that succeed, and reads the error's number, type and text
// right after each failure, through the table's, the SQL interface's and
// the driver's last-error slots, while the others go on: every read is the
// error of the thread's own last call (none, where the call records none),
// and the text it was handed stays readable until its next call. A bounded
// number of rounds; built under ThreadSanitizer too, where any report fails
// the test.
#include <gtest/gtest.h>

#include <barrier>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "native/driver/na_error.h"
#include "tests/host/db/standin_slot_call.h"
#include "tests/host/road/road_slots.h"
#include "tests/host/road/road_table_values.h"
#include "tests/native/access/table_server_fixture.h"
#include "tests/native/driver/error_checks.h"

namespace {

using vxstandin::CallSlot;

constexpr int kThreads = 8;
constexpr int kRounds = 30;
constexpr int kSQLInterface = 1;
constexpr eNA_ERRORTYPE kDuplicate = static_cast<eNA_ERRORTYPE>(3);

// The text that names thread n in everything it sends: its table, its key
// values, the item it searches on, its SQL texts.
std::wstring Marker(int n)
{
    return L"thr" + std::to_wstring(n) + L"x";
}

// A runtime value of wide text, as the host passes key values.
CAny WideText(const std::wstring& s)
{
    CAny value;
    value.__SetType(ZLTYPE_PSTRW, 0);
    (void)value.Objet().SetValue(s.c_str());
    return value;
}

// An error as the host reads it through the INAError slots; the text is
// kept as handed out, to be read again later.
struct ErrorRead
{
    unsigned nId = 0;
    eNA_ERRORTYPE eType = NA_ERR_NONE;
    const wchar_t* pszText = nullptr;
    std::wstring sText;
};

ErrorRead Read(INAError* piError)
{
    ErrorRead read;
    if (piError == nullptr)
        return read;
    read.nId = CallSlot<unsigned>(piError, road::kErrorId);
    read.eType = CallSlot<eNA_ERRORTYPE>(piError, road::kErrorType);
    read.pszText = CallSlot<const wchar_t*>(piError, road::kErrorText);
    read.sText = read.pszText != nullptr ? read.pszText : L"(null)";
    return read;
}

// What a thread works with, made by the main thread: its connection's
// description, table, table object and key item, SQL connection, and two
// host contexts (one never opens the table).
struct ThreadOwn
{
    std::unique_ptr<vxtest::ServerHost> host;
    std::wstring sTable;
    INATable* piTable = nullptr;
    INAItemDescription* piKeyItem = nullptr;
    int nSQLConnection = 0;
    StandinContext* pContext = nullptr;
    StandinContext* pStranger = nullptr;
};

class LastErrorThreads : public vxtest::TableOnServer
{
protected:
    void TearDown() override
    {
        for (int nConnection : m_sqlConnections)
            CallSlot<int>(m_piSQL, road::kSQLCloseConnection, nConnection);
        for (INAItemDescription* piItem : m_items)
            CallSlot<unsigned>(piItem, road::kItemExternalRelease);
        if (m_piSQL != nullptr)
            CallSlot<unsigned>(m_piSQL, road::kSQLExternalRelease);
        TableOnServer::TearDown();
    }

    // Thread n's table (an automatic id, a unique key of text, a value) and
    // what goes with it.
    void Prepare(int n, ThreadOwn& own)
    {
        own.sTable = L"errs_" + Marker(n);
        const std::string sTable(own.sTable.begin(), own.sTable.end());
        ASSERT_TRUE(m_client.bExecute("CREATE TABLE " + sTable +
                                      " (id INT AUTO_INCREMENT PRIMARY KEY, k VARCHAR(40) NOT NULL UNIQUE,"
                                      " v INT NOT NULL DEFAULT 0)"))
            << m_client.sError();
        own.host = std::make_unique<vxtest::ServerHost>(std::wstring{}, vxtest::MariadbRoute::Socket, nullptr,
                                                        m_db.Name());
        own.host->Host().SetConnectionName((L"cnx_" + Marker(n)).c_str());
        INAConnectionDescription* piHost = &own.host->Host();
        auto* piSource =
            CallSlot<INADataSourceDescription*>(m_piDriver, road::kDriverGetTableDesc, own.sTable.c_str(), piHost);
        ASSERT_NE(nullptr, piSource);
        m_descriptions.push_back(piSource);
        own.piTable = CallSlot<INATable*>(m_piDriver, road::kDriverGetTable, piHost, piSource);
        ASSERT_NE(nullptr, own.piTable);
        m_tables.push_back(own.piTable);
        const unsigned nItems = CallSlot<unsigned>(piSource, road::kDescriptionItemCount);
        for (unsigned i = 0; i < nItems; ++i) {
            auto* piItem = CallSlot<INAItemDescription*>(piSource, road::kDescriptionItem, i);
            ASSERT_NE(nullptr, piItem);
            m_items.push_back(piItem);
            if (std::wstring(CallSlot<const wchar_t*>(piItem, road::kItemName)) == L"k")
                own.piKeyItem = piItem;
        }
        ASSERT_NE(nullptr, own.piKeyItem);
        ASSERT_EQ(1, CallSlot<int>(m_piSQL, road::kSQLOpenConnection, &own.nSQLConnection, piHost));
        m_sqlConnections.push_back(own.nSQLConnection);
        own.pContext = &Context(1000 + n, 1);
        own.pStranger = &Context(2000 + n, 1);
    }

    INADriverSQL* m_piSQL = nullptr;
    std::vector<int> m_sqlConnections;
    // Outlives the driver, which holds the host's descriptions.
    std::vector<ThreadOwn> m_owns;
    std::vector<INAItemDescription*> m_items;
};

// One thread's rounds. Each failure is read at once through the road that
// reports it, and through the driver's last error; the text handed out is
// read again after a pause, before the thread's next call.
class Worker
{
public:
    Worker(int n, INADriver* piDriver, INADriverSQL* piSQL, const ThreadOwn& own)
        : m_n(n), m_piDriver(piDriver), m_piSQL(piSQL), m_piTable(own.piTable), m_piKeyItem(own.piKeyItem),
          m_nSQLConnection(own.nSQLConnection), m_piContext(own.pContext), m_piStranger(own.pStranger),
          m_sTable(own.sTable)
    {
    }

    // What went wrong, the first few; empty when every read was right.
    std::vector<std::string> m_failures;
    int m_nFailedCalls = 0;

    void Run()
    {
        if (CallSlot<int>(m_piTable, road::kTableOpen, m_piContext, road::kAccess,
                          static_cast<const wchar_t*>(nullptr)) != 1)
            return Fail("open", Table());
        for (int nRound = 0; nRound < kRounds; ++nRound)
            Round(nRound);
        if (CallSlot<int>(m_piTable, road::kTableClose, m_piContext) != 1)
            Fail("close", Table());
        CallSlot<int>(m_piDriver, road::kDriverCloseContext, m_piContext);
    }

private:
    void Round(int nRound)
    {
        const std::wstring sKey = Marker(m_n) + L"-" + std::to_wstring(nRound);
        // A new row of its own key, then the same key again.
        if (!bAdd(sKey))
            return Fail("add of " + Narrow(sKey), Table());
        Expect("after the add", Table(), 0, NA_ERR_NONE, {});
        if (bAdd(sKey))
            return Fail("the duplicate add of " + Narrow(sKey) + " passed", Table());
        ++m_nFailedCalls;
        Expect("the duplicate key", Table(), kDatabaseError, kDuplicate, sKey);
        Expect("the driver's error after the duplicate key", Driver(), 0, NA_ERR_NONE, {});

        // A search that finds the row; one on an item the table lacks,
        // which fails and records no error; one from the thread's context
        // that never opened the table, whose error names the table.
        if (!bSearch(m_piContext, L"k", sKey))
            return Fail("search of " + Narrow(sKey), Table());
        const std::wstring sMissing = L"nosuch_" + Marker(m_n);
        if (bSearch(m_piContext, sMissing.c_str(), sKey))
            return Fail("the search on a missing item passed", Table());
        ++m_nFailedCalls;
        Expect("the missing item", Table(), 0, NA_ERR_NONE, {});
        Expect("the driver's error after the missing item", Driver(), 0, NA_ERR_NONE, {});
        if (bSearch(m_piStranger, L"k", sKey))
            return Fail("the search in a context without the table passed", Table(m_piStranger));
        ++m_nFailedCalls;
        Expect("the search without the table", Table(m_piStranger), kNotOpenedInContext, NA_ERR_GENERAL, m_sTable);
        Expect("the driver's error after the search without the table", Driver(), kNotOpenedInContext,
               NA_ERR_GENERAL, m_sTable);

        // A SELECT of the row through the SQL interface, then a text the
        // server cannot parse.
        int nStatement = 0;
        const std::wstring sSelect = L"SELECT v FROM " + m_sTable + L" WHERE k = '" + sKey + L"'";
        if (CallSlot<int>(m_piSQL, road::kSQLExecute, &nStatement, m_nSQLConnection, sSelect.c_str(),
                          static_cast<CTabValParser*>(nullptr), 0u) != 1)
            return Fail("the SELECT", SQL());
        const int bFetched = CallSlot<int>(m_piSQL, road::kSQLFetch, m_nSQLConnection, nStatement, 0u);
        const int bFreed = CallSlot<int>(m_piSQL, road::kSQLFreeStmt, m_nSQLConnection, nStatement, 0u);
        if (bFetched != 1 || bFreed != 1)
            return Fail("the SELECT's row", SQL());
        Expect("after the SELECT", SQL(), 0, NA_ERR_NONE, {});
        const std::wstring sWrong = L"SELEC " + Marker(m_n) + L"_" + std::to_wstring(nRound) + L" FROM nowhere";
        if (CallSlot<int>(m_piSQL, road::kSQLExecute, &nStatement, m_nSQLConnection, sWrong.c_str(),
                          static_cast<CTabValParser*>(nullptr), 0u) != 0)
            return Fail("the wrong SQL passed", SQL());
        ++m_nFailedCalls;
        const std::wstring sNear = Marker(m_n) + L"_" + std::to_wstring(nRound);
        Expect("the syntax error", SQL(), kDatabaseError, NA_ERR_GENERAL, sNear);
        Expect("the driver's error after the syntax error", Driver(), kDatabaseError, NA_ERR_GENERAL, sNear);
    }

    bool bAdd(const std::wstring& sKey)
    {
        CNAQFRecord* pclRecord = nullptr;
        if (CallSlot<int>(m_piTable, road::kTableGetRecord, m_piContext, &pclRecord) != 1 || pclRecord == nullptr)
            return false;
        const CAny key = WideText(sKey);
        CallSlot<void>(pclRecord, road::kRecordSetValue, static_cast<const INAItemDescription*>(m_piKeyItem), &key,
                       0u);
        if (CallSlot<int>(m_piTable, road::kTableSetRecord, m_piContext, pclRecord) != 1)
            return false;
        return CallSlot<int>(m_piTable, road::kTableAdd, m_piContext, road::kNoFlags, road::kLock) == 1;
    }

    bool bSearch(INAContext* piContext, const wchar_t* pszItem, const std::wstring& sKey)
    {
        const CAny key = WideText(sKey);
        eNA_LOCKTYPE eLock = road::kLock;
        if (CallSlot<int>(m_piTable, road::kTableSearch, piContext, pszItem, &key, 1, road::kFetchOne, road::kLock,
                          &eLock, 1, road::kNoFlags) != 1)
            return false;
        int bFound = 0;
        int bValid = 0;
        return CallSlot<int>(m_piTable, road::kTableFound, piContext, pszItem, &bFound, &bValid) == 1 && bFound;
    }

    INAError* Table(INAContext* piContext = nullptr)
    {
        return CallSlot<INAError*>(m_piTable, road::kTableLastError, piContext != nullptr ? piContext : m_piContext);
    }
    INAError* SQL() { return CallSlot<INAError*>(m_piSQL, road::kSQLLastError); }
    INAError* Driver() { return CallSlot<INAError*>(m_piDriver, road::kDriverLastError); }

    // The error read through the road is exactly the one of this thread's
    // last call: its number and type, its own marker and no other
    // thread's; the text handed out is unchanged after a pause.
    void Expect(const char* pszWhat, INAError* piError, unsigned nId, eNA_ERRORTYPE eType,
                const std::wstring& sPiece)
    {
        const ErrorRead read = Read(piError);
        std::string sWrong;
        if (read.nId != nId || read.eType != eType)
            sWrong = "error " + std::to_string(read.nId) + " of type " + std::to_string(read.eType);
        else if (!sPiece.empty() && read.sText.find(sPiece) == std::wstring::npos)
            sWrong = "no " + Narrow(sPiece);
        for (int m = 0; m < kThreads && sWrong.empty(); ++m)
            if (m != m_n && read.sText.find(Marker(m)) != std::wstring::npos)
                sWrong = "thread " + std::to_string(m) + "'s error";
        if (sPiece.empty() && sWrong.empty() && read.sText.find(Marker(m_n)) != std::wstring::npos)
            sWrong = "an earlier error";
        std::this_thread::yield();
        if (sWrong.empty() && (read.pszText == nullptr || read.sText != read.pszText))
            sWrong = "its text changed before the thread's next call";
        if (!sWrong.empty())
            Fail(std::string(pszWhat) + ": " + sWrong + " in " + Narrow(read.sText), nullptr);
    }

    void Fail(const std::string& sWhat, INAError* piError)
    {
        if (m_failures.size() < 5)
            m_failures.push_back(sWhat + (piError != nullptr ? " (" + Narrow(Read(piError).sText) + ")" : ""));
    }
    static std::string Narrow(const std::wstring& s) { return vxtest::Narrow(s); }

    // The user errors: a database error for the server's refusals, and a
    // record operation of a context that did not open the table.
    static constexpr unsigned kDatabaseError = 22;
    static constexpr unsigned kNotOpenedInContext = 19;

    int m_n;
    INADriver* m_piDriver;
    INADriverSQL* m_piSQL;
    INATable* m_piTable;
    INAItemDescription* m_piKeyItem;
    int m_nSQLConnection;
    INAContext* m_piContext;
    // A context of the thread that never opens the table.
    INAContext* m_piStranger;
    std::wstring m_sTable;
};

TEST_F(LastErrorThreads, EachThreadReadsItsOwnCallsErrorWhileOthersCall)
{
    m_piSQL = static_cast<INADriverSQL*>(CallSlot<void*>(m_piDriver, road::kDriverGetInterface, kSQLInterface));
    ASSERT_NE(nullptr, m_piSQL);
    m_owns.resize(kThreads);
    std::vector<std::unique_ptr<Worker>> workers;
    for (int n = 0; n < kThreads; ++n) {
        SCOPED_TRACE("thread " + std::to_string(n));
        ASSERT_NO_FATAL_FAILURE(Prepare(n, m_owns[n]));
        workers.push_back(std::make_unique<Worker>(n, m_piDriver, m_piSQL, m_owns[n]));
    }
    std::barrier start(kThreads);
    std::vector<std::thread> threads;
    for (int n = 0; n < kThreads; ++n)
        threads.emplace_back([&, n] {
            start.arrive_and_wait();
            workers[n]->Run();
        });
    for (std::thread& thread : threads)
        thread.join();
    for (int n = 0; n < kThreads; ++n) {
        SCOPED_TRACE("thread " + std::to_string(n));
        EXPECT_EQ(std::vector<std::string>{}, workers[n]->m_failures);
        EXPECT_EQ(4 * kRounds, workers[n]->m_nFailedCalls);
        const std::string sTable(m_owns[n].sTable.begin(), m_owns[n].sTable.end());
        EXPECT_EQ(std::to_string(kRounds), Count(sTable)) << "one row per round, none twice";
    }
}

}  // namespace
