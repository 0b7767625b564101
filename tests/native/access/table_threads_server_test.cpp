// Host threads working through the MySQL driver at once, each with a host
// context of its own, on a server of the binary's own: several threads
// opening the first connections of the process together (the client
// library is loaded then), and threads browsing, searching and writing for
// a bounded time on one table or a table each, over one connection or a
// connection each. Every entry takes the driver-wide mutex; what a thread
// does between entries (its record's values, conversions by the stand-in
// machine, blocks of the stand-in allocator) runs unlocked, as in the host.
// Built under ThreadSanitizer too, where any report fails the test.
#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <chrono>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "mysql/function_loader.h"
#include "mysql/mysql_driver.h"
#include "native/access/data_access.h"
#include "native/access/table.h"
#include "native/driver/driver_exports.h"
#include "native/driver/error_object.h"
#include "native/model/column.h"
#include "native/model/na_data_source_description.h"
#include "native/model/na_item_description.h"
#include "native/model/record.h"
#include "tests/common/text/any_vm_fixture.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/db/standin_context.h"
#include "tests/mysql/mysql_server_connection.h"
#include "tests/native/driver/error_checks.h"
#include "tests/support/driver_module.h"
#include "tests/support/mariadb_server.h"
#include "tests/support/raw_client.h"

namespace {

using vxtest::FromUtf8;

constexpr eNA_ACCESS kAccess = static_cast<eNA_ACCESS>(0);
constexpr eNA_LOCKTYPE kLock = static_cast<eNA_LOCKTYPE>(1);
constexpr eNA_PARSEDIRECTION kFirst = static_cast<eNA_PARSEDIRECTION>(0);
constexpr eNA_PARSEDIRECTION kNext = static_cast<eNA_PARSEDIRECTION>(2);
// An add writes the identifier the record holds.
constexpr unsigned kWriteId = 0x100;
constexpr int kThreads = 4;
constexpr int kRows = 50;
constexpr auto kWorkTime = std::chrono::milliseconds(1200);

class DriverThreads : public vxtest::AnyVmTest
{
protected:
    static void SetUpTestSuite()
    {
        AnyVmTest::SetUpTestSuite();
        if (s_server == nullptr)
            s_server = new vxtest::PrivateMariadb;
    }
    static void TearDownTestSuite()
    {
        delete s_server;
        s_server = nullptr;
    }

    void SetUp() override
    {
        AnyVmTest::SetUp();
        ASSERT_TRUE(s_server->bStarted());
        StartTestDriverModule();
        m_former = CNADriver::g_SetFactory({&NewDriver, nullptr});
        m_piDriver = piQueryInterface(0);
        ASSERT_NE(nullptr, m_piDriver);
    }
    void TearDown() override
    {
        for (auto& context : m_contexts)
            m_piDriver->bCloseContext(context.get());
        for (INATable* piTable : m_tables)
            piTable->nExternalRelease();
        for (INADataSourceDescription* piSource : m_descriptions)
            piSource->nExternalRelease();
        for (auto& host : m_hosts)
            m_piDriver->bCloseConnection(host.get());
        if (m_piDriver != nullptr)
            m_piDriver->nExternalRelease();
        CNADriver::g_SetFactory(m_former);
        AnyVmTest::TearDown();
    }

    static CNADriver* NewDriver() { return new (std::nothrow) CMySQLDriver; }
    static const vxtest::MariadbServer& Server() { return s_server->Server(); }
    CNAError* DriverError() const { return static_cast<CNADriver*>(m_piDriver)->pclGetError(); }

    // The host's description of a connection to the server's socket; the
    // name tells connections apart.
    StandinConnectionDescription& Host(const std::wstring& sName)
    {
        auto host = std::make_unique<StandinConnectionDescription>();
        host->SetConnectionName(sName.c_str());
        host->SetDataBase(L"localhost");
        host->SetUserName(FromUtf8(Server().user.sUser).c_str());
        host->SetPassword(FromUtf8(Server().user.sPassword).c_str());
        host->SetDefaultDataBase(FromUtf8(Server().sDatabase).c_str());
        host->SetExtendedInfo((L"Unix Socket=" + FromUtf8(Server().sSocket)).c_str());
        m_hosts.push_back(std::move(host));
        return *m_hosts.back();
    }
    StandinContext& Context(unsigned long dwCtxID)
    {
        m_contexts.push_back(std::make_unique<StandinContext>(dwCtxID, 1));
        return *m_contexts.back();
    }
    // The table of that name on the host's connection, held by the test.
    CNATable* Table(const std::string& sName, StandinConnectionDescription& host)
    {
        INADataSourceDescription* piSource = m_piDriver->piGetTableDesc(FromUtf8(sName).c_str(), &host);
        EXPECT_NE(nullptr, piSource) << DriverError()->pszGetError();
        if (piSource == nullptr)
            return nullptr;
        m_descriptions.push_back(piSource);
        INATable* piTable = m_piDriver->piGetTable(&host, piSource);
        EXPECT_NE(nullptr, piTable) << DriverError()->pszGetError();
        if (piTable == nullptr)
            return nullptr;
        m_tables.push_back(piTable);
        return static_cast<CNATable*>(piTable);
    }
    // A table of kRows rows (ids 1..kRows, v = 10 * id, a text "née<id>")
    // made by a raw client.
    static void MakeTable(vxtest::RawClient& client, const std::string& sName)
    {
        ASSERT_TRUE(client.bExecute("DROP TABLE IF EXISTS " + sName)) << client.sError();
        ASSERT_TRUE(client.bExecute("CREATE TABLE " + sName +
                                    " (id INT PRIMARY KEY, v INT NOT NULL, name VARCHAR(20) NOT NULL DEFAULT '')"))
            << client.sError();
        std::string sInsert = "INSERT INTO " + sName + " VALUES ";
        for (int n = 1; n <= kRows; ++n)
            sInsert += (n > 1 ? ",(" : "(") + std::to_string(n) + "," + std::to_string(10 * n) + ",'n\xC3\xA9" "e" +
                       std::to_string(n) + "')";
        ASSERT_TRUE(client.bExecute(sInsert)) << client.sError();
    }

    inline static vxtest::PrivateMariadb* s_server = nullptr;
    INADriver* m_piDriver = nullptr;
    CNADriver::stFactory m_former{};
    std::vector<std::unique_ptr<StandinConnectionDescription>> m_hosts;
    std::vector<std::unique_ptr<StandinContext>> m_contexts;
    std::vector<INATable*> m_tables;
    std::vector<INADataSourceDescription*> m_descriptions;
};

// Runs each body on a thread of its own, all starting together.
void RunTogether(int nThreads, const std::function<void(int)>& body)
{
    std::barrier start(nThreads);
    std::vector<std::thread> threads;
    for (int n = 0; n < nThreads; ++n)
        threads.emplace_back([&, n] {
            start.arrive_and_wait();
            body(n);
        });
    for (std::thread& thread : threads)
        thread.join();
}

// First in the binary: nothing has loaded the client library before these
// threads open their connections together, each its own.
TEST_F(DriverThreads, FirstConnectionsOfTheProcessAtOnce)
{
    ASSERT_EQ(0, CNAFunctionLoader::g_bLoaded()) << "the client library must not be loaded before this test";
    std::vector<StandinConnectionDescription*> hosts;
    for (int n = 0; n < kThreads; ++n)
        hosts.push_back(&Host(L"first" + std::to_wstring(n)));
    std::atomic<int> nOpened{0};
    RunTogether(kThreads, [&](int n) {
        if (m_piDriver->bOpenConnection(hosts[n]) == 1)
            ++nOpened;
    });
    EXPECT_EQ(kThreads, nOpened.load()) << DriverError()->pszGetError();
    EXPECT_EQ(1, CNAFunctionLoader::g_bLoaded());
    // Each connection works: a description read through it.
    for (StandinConnectionDescription* pHost : hosts) {
        INADataSourceDescription* piSource = m_piDriver->piGetTableDesc(L"missing", pHost);
        if (piSource != nullptr)
            piSource->nExternalRelease();
    }
    EXPECT_EQ(1, m_piDriver->bValidConnection(hosts[0]));

    // Then together again, each on its own connection: closed, opened anew
    // and asked for a description, a few times over.
    std::atomic<int> nCycles{0};
    RunTogether(kThreads, [&](int n) {
        for (int nRound = 0; nRound < 3; ++nRound) {
            if (m_piDriver->bCloseConnection(hosts[n]) != 1 || m_piDriver->bOpenConnection(hosts[n]) != 1)
                return;
            INADataSourceDescription* piSource = m_piDriver->piGetTableDesc(L"missing", hosts[n]);
            if (piSource != nullptr)
                piSource->nExternalRelease();
        }
        ++nCycles;
    });
    EXPECT_EQ(kThreads, nCycles.load()) << DriverError()->pszGetError();
}

// What one thread did; each thread counts its own.
struct Work
{
    int nBrowses = 0;
    int nSearches = 0;
    int nAdds = 0;
    int nDeletes = 0;
    std::vector<std::string> failures;
};

// Threads browse, search and write at once for a bounded time, each in its
// context, on one table or a table each, over one connection or one each.
// Except where one table object is handed to all, each thread gets the
// table's description and its table itself, and at its end closes its
// context and lets both go, while others still work. Each thread writes ids
// of its own range (and deletes every second row it added): at the end the
// server holds exactly the rows the threads report.
TEST_F(DriverThreads, BrowseSearchAndWriteAtOnce)
{
    const struct
    {
        const char* pszName;
        bool bOneTable;
        bool bOneConnection;
        bool bOneObject;  // the test hands every thread the same table object
    } cases[] = {
        {"one table object", true, true, true},
        {"one table, one connection", true, true, false},
        {"a table each, one connection", false, true, false},
        {"one table, a connection each", true, false, false},
        {"a table each, a connection each", false, false, false},
    };
    vxtest::RawClient client;
    ASSERT_TRUE(client.bConnect(Server(), Server().user, vxtest::MariadbRoute::Socket, Server().sDatabase))
        << client.sError();
    unsigned long dwNextContext = 100;
    int nCase = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        ++nCase;
        std::vector<std::string> names;
        for (int n = 0; n < (c.bOneTable ? 1 : kThreads); ++n) {
            names.push_back("c" + std::to_string(nCase) + "_t" + std::to_string(n));
            MakeTable(client, names.back());
        }
        std::vector<StandinConnectionDescription*> hosts;
        std::vector<StandinContext*> contexts;
        for (int n = 0; n < kThreads; ++n) {
            hosts.push_back(
                &Host(L"c" + std::to_wstring(nCase) + (c.bOneConnection ? L"" : L"_" + std::to_wstring(n))));
            contexts.push_back(&Context(dwNextContext++));
        }
        CNATable* pclShared = c.bOneObject ? Table(names[0], *hosts[0]) : nullptr;
        ASSERT_TRUE(!c.bOneObject || pclShared != nullptr);

        std::vector<Work> work(kThreads);
        RunTogether(kThreads, [&](int n) {
            StandinContext* pContext = contexts[n];
            Work& done = work[n];
            auto fail = [&](const std::string& sWhat) {
                if (done.failures.size() < 5)
                    done.failures.push_back(sWhat);
            };
            // The thread's own description and table, let go at its end.
            INADataSourceDescription* piSource = nullptr;
            INATable* piTable = pclShared;
            if (!c.bOneObject) {
                piSource = m_piDriver->piGetTableDesc(FromUtf8(names[c.bOneTable ? 0 : n]).c_str(), hosts[n]);
                piTable = piSource != nullptr ? m_piDriver->piGetTable(hosts[n], piSource) : nullptr;
            }
            std::unique_ptr<INADataSourceDescription, void (*)(INADataSourceDescription*)> heldSource(
                piSource, [](INADataSourceDescription* p) { p->nExternalRelease(); });
            std::unique_ptr<INATable, void (*)(INATable*)> heldTable(c.bOneObject ? nullptr : piTable,
                                                                    [](INATable* p) { p->nExternalRelease(); });
            if (piTable == nullptr)
                return fail("no table");
            CNATable* pclTable = static_cast<CNATable*>(piTable);
            if (pclTable->bHOuvre(pContext, kAccess, nullptr) != 1)
                return fail("open");
            CNADataAccess* pclAccess = pclTable->_pclFindDataAccess(pContext);
            if (pclAccess == nullptr)
                return fail("no data access");
            pclAccess->nRelease();
            // The current record's value of an item, as text through the
            // stand-in machine.
            auto value = [&](const wchar_t* pszItem) {
                CAny clValue;
                CNAColumn* pclColumn = pclAccess->pclGetCurrentRecordNoRef()->pclGetColumnNoRef(pszItem);
                if (pclColumn == nullptr || !pclColumn->bGetCurrentValue(&clValue, 0))
                    return std::wstring(L"(unread)");
                return Text(clValue);
            };
            auto set = [&](const wchar_t* pszItem, int nValue) {
                CAny clValue;
                clValue.SetI4(nValue);
                CNAColumn* pclColumn = pclAccess->pclGetCurrentRecordNoRef()->pclGetColumnNoRef(pszItem);
                return pclColumn != nullptr && pclColumn->bSetValue(&clValue, 0) == 1;
            };
            const int nOwnIds = 1000000 * (n + 1);
            unsigned nSeed = 12345u + static_cast<unsigned>(n);
            const auto end = std::chrono::steady_clock::now() + kWorkTime;
            for (int nRound = 0; std::chrono::steady_clock::now() < end; ++nRound) {
                // A browse from the first row to the end: the original
                // rows in order, then whatever was added.
                eNA_LOCKTYPE eOut = kLock;
                int nRead = 0;
                int bOut = 0;
                for (int bOk = pclTable->bHLitxxx(pContext, L"id", kFirst, 1, kLock, &eOut, 0); bOk == 1;
                     bOk = pclTable->bHLitxxx(pContext, L"id", kNext, 1, kLock, &eOut, 0)) {
                    if (pclTable->bHEnDehors(pContext, L"id", &bOut) != 1 || bOut)
                        break;
                    if (++nRead <= kRows && (value(L"id") != std::to_wstring(nRead) ||
                                             value(L"name") != L"n\u00e9e" + std::to_wstring(nRead)))
                        fail("browse read " + vxtest::Narrow(value(L"id")) + " " + vxtest::Narrow(value(L"name")) +
                             " as row " + std::to_string(nRead));
                    CNAQFRecord* pclBuffer = nullptr;
                    if (pclTable->bGetRecord(pContext, &pclBuffer) != 1 ||
                        pclTable->bSetRecord(pContext, pclBuffer) != 1)
                        fail("record buffer");
                }
                if (nRead < kRows)
                    fail("browse ended after " + std::to_string(nRead) + " rows");
                // The host looks at an item of its description and lets it go.
                if (piSource != nullptr) {
                    INAItemDescription* piItem = piSource->piNAGetItem(L"v");
                    if (piItem == nullptr)
                        fail("item v");
                    else
                        piItem->nExternalRelease();
                }
                ++done.nBrowses;

                // An exact search of an original row.
                nSeed = nSeed * 1103515245u + 12345u;
                const int nId = 1 + static_cast<int>((nSeed >> 8) % kRows);
                CAny clKey;
                clKey.SetI4(nId);
                int bFound = 0;
                int bValid = 0;
                if (pclTable->bHRecherche(pContext, L"id", &clKey, 1, 1, kLock, &eOut, 1, 0) != 1 ||
                    pclTable->bEvalHTrouve(pContext, L"id", &bFound, &bValid) != 1 || !bFound)
                    fail("search of " + std::to_string(nId));
                else if (value(L"v") != std::to_wstring(10 * nId))
                    fail("search of " + std::to_string(nId) + " read v=" + vxtest::Narrow(value(L"v")));
                ++done.nSearches;

                // A row of the thread's own added; every second one deleted
                // again.
                const int nNewId = nOwnIds + nRound;
                if (!set(L"id", nNewId) || !set(L"v", nRound) || pclTable->bHAjoute(pContext, kWriteId, kLock) != 1) {
                    fail("add of " + std::to_string(nNewId));
                    continue;
                }
                ++done.nAdds;
                if (nRound % 2 == 1) {
                    if (pclTable->bHSupprime(pContext, 0, kLock) != 1)
                        fail("delete of " + std::to_string(nNewId));
                    else
                        ++done.nDeletes;
                }
            }
            if (pclTable->bHFerme(pContext) != 1)
                fail("close");
            m_piDriver->bCloseContext(pContext);
        });

        for (int n = 0; n < kThreads; ++n) {
            SCOPED_TRACE("thread " + std::to_string(n));
            EXPECT_EQ(std::vector<std::string>{}, work[n].failures);
            EXPECT_GT(work[n].nBrowses, 0);
            EXPECT_GT(work[n].nAdds, 1);
            const std::string& sTable = names[c.bOneTable ? 0 : n];
            const int nOwnIds = 1000000 * (n + 1);
            EXPECT_EQ(std::to_string(work[n].nAdds - work[n].nDeletes),
                      client.Value("SELECT COUNT(*) FROM " + sTable + " WHERE id BETWEEN " +
                                   std::to_string(nOwnIds) + " AND " + std::to_string(nOwnIds + 999999))
                          .value_or("(failed)"));
        }
        for (const std::string& sTable : names)
            EXPECT_EQ(std::to_string(kRows), client.Value("SELECT COUNT(*) FROM " + sTable + " WHERE id <= " +
                                                          std::to_string(kRows))
                                                 .value_or("(failed)"));
    }
}

}  // namespace
