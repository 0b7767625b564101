// What a data access looks up for its callers, on tables of the run's
// private server opened in host contexts: its context's identifier, an item
// of its data source by name, the automatic identifier key, and the data
// access of its context on another table of the same connection. Each
// lookup that finds something hands the caller exactly one reference more
// on that very object and on nothing else; the test gives it back and the
// counts are as before.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "native/model/data_source_description.h"
#include "native/model/item_description.h"
#include "tests/native/access/table_server_fixture.h"

namespace {

// A host context id that needs more than 32 bits.
constexpr unsigned long kContextID = 0x123456789AUL;
constexpr unsigned long kOtherContextID = 7;

class DataAccessLookups : public vxtest::TableOnServer
{
protected:
    void TearDown() override
    {
        for (CNADataAccess* pclAccess : m_unregistered)
            pclAccess->nRelease();
        vxtest::TableOnServer::TearDown();
    }

    // The data access of the table opened in the host context.
    CNADataAccess* Opened(CNATable* pclTable, StandinContext& context, const wchar_t* pszLabel)
    {
        EXPECT_EQ(1, pclTable->bHOuvre(&context, kAccess, nullptr)) << DriverError()->pszGetError();
        CNADataAccess* pclAccess = DataAccess(pclTable, &context);
        EXPECT_NE(nullptr, pclAccess);
        m_labels[pclAccess] = pszLabel;
        return pclAccess;
    }
    // A data access of the driver's factory that no host context registers,
    // held by the test.
    CNADataAccess* Unregistered(INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection,
                                const wchar_t* pszLabel)
    {
        CNADataAccess* pclAccess = Driver()->pclAllocDataAccess(piSource, pclConnection, nullptr);
        EXPECT_NE(nullptr, pclAccess);
        if (pclAccess == nullptr)
            return nullptr;
        REF_AddRef(pclAccess);
        m_unregistered.push_back(pclAccess);
        m_labels[pclAccess] = pszLabel;
        return pclAccess;
    }

    // The data access found, by its label; "(none)" for null. It must come
    // with one reference more, the others' counts untouched; given back,
    // every count is as before.
    std::wstring FoundAccess(const std::function<CNADataAccess*()>& lookup)
    {
        std::map<CNADataAccess*, unsigned> before;
        for (const auto& [pclAccess, sLabel] : m_labels)
            before[pclAccess] = pclAccess->m_dwRefCount;
        CNADataAccess* pclFound = lookup();
        for (const auto& [pclAccess, nCount] : before)
            EXPECT_EQ(nCount + (pclAccess == pclFound ? 1 : 0), pclAccess->m_dwRefCount) << m_labels[pclAccess];
        if (pclFound == nullptr)
            return L"(none)";
        const auto it = m_labels.find(pclFound);
        const std::wstring sLabel = it != m_labels.end() ? it->second : L"(a data access the test did not open)";
        pclFound->nRelease();
        for (const auto& [pclAccess, nCount] : before)
            EXPECT_EQ(nCount, pclAccess->m_dwRefCount) << m_labels[pclAccess];
        return sLabel;
    }

    // The item found as "name type"; "(none)" for null. The same rule of
    // references, on the external counts of the data source's items.
    static std::wstring FoundItem(CNADataAccess* pclAccess, const std::function<INAItemDescription*()>& lookup)
    {
        auto* pclSource = dynamic_cast<CNADataSourceDescription*>(pclAccess->piGetDataSourceNoRef());
        std::vector<std::pair<CNAItemDescription*, unsigned>> before;
        for (unsigned i = 0; pclSource != nullptr && i < pclSource->nGetNumItems(); ++i)
            before.emplace_back(pclSource->pclGetItemNoRef(i), pclSource->pclGetItemNoRef(i)->nGetExternalRef());
        INAItemDescription* piFound = lookup();
        for (const auto& [pclItem, nCount] : before)
            EXPECT_EQ(nCount + (pclItem == piFound ? 1 : 0), pclItem->nGetExternalRef()) << pclItem->pszGetName();
        if (piFound == nullptr)
            return L"(none)";
        const std::wstring sFound =
            std::wstring(piFound->pszGetName()) + L" " + std::to_wstring(piFound->eNAGetItemType());
        piFound->nExternalRelease();
        for (const auto& [pclItem, nCount] : before)
            EXPECT_EQ(nCount, pclItem->nGetExternalRef()) << pclItem->pszGetName();
        return sFound;
    }

    std::optional<vxtest::ServerHost> m_byPort;
    std::map<CNADataAccess*, std::wstring> m_labels;
    std::vector<CNADataAccess*> m_unregistered;
};

// One context (an id above 32 bits) holds four data accesses: auto4 and
// plain on the socket connection, auto8 and plain again on the loopback
// port. Another context has auto8 on the socket connection. Two data
// accesses belong to no context, one of them without data source either.
TEST_F(DataAccessLookups, EachLookupFindsItsObjectWithOneReferenceOrNothing)
{
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE auto8 (name VARCHAR(20), id BIGINT AUTO_INCREMENT PRIMARY KEY, "
                                  "UNIQUE (name))"))
        << m_client.sError();
    CNATable* pclAuto4 =
        TableOf("auto4", "CREATE TABLE auto4 (id INT AUTO_INCREMENT PRIMARY KEY, name VARCHAR(20))");
    CNATable* pclPlain = TableOf("plain", "CREATE TABLE plain (id INT PRIMARY KEY, code INT UNIQUE, "
                                          "name VARCHAR(20), INDEX (name))");
    CNATable* pclAuto8 = Table(Describe("auto8"));
    // Outlives the tables, which the fixture releases at its end.
    vxtest::ServerHost& byPort = m_byPort.emplace(std::wstring{}, vxtest::MariadbRoute::Tcp, nullptr, m_db.Name());
    CNATable* pclAuto8ByPort = Table(Describe("auto8"), &byPort.Host());
    CNATable* pclPlainByPort = Table(Describe("plain"), &byPort.Host());
    ASSERT_TRUE(pclAuto4 && pclPlain && pclAuto8 && pclAuto8ByPort && pclPlainByPort);

    CNADataAccess* pclA4 = Opened(pclAuto4, Context(kContextID, 1), L"auto4");
    CNADataAccess* pclP = Opened(pclPlain, Context(kContextID, 2), L"plain");
    CNADataAccess* pclA8Port = Opened(pclAuto8ByPort, Context(kContextID, 3), L"auto8 by port");
    CNADataAccess* pclPPort = Opened(pclPlainByPort, Context(kContextID, 4), L"plain by port");
    CNADataAccess* pclA8Other = Opened(pclAuto8, Context(kOtherContextID, 1), L"auto8 in the other context");
    ASSERT_TRUE(pclA4 && pclP && pclA8Port && pclPPort && pclA8Other);
    ASSERT_NE(pclA4->pclGetConnectionNoRef(), pclA8Port->pclGetConnectionNoRef());
    ASSERT_EQ(pclA4->pclGetConnectionNoRef(), pclA8Other->pclGetConnectionNoRef());
    CNADataAccess* pclLoose =
        Unregistered(pclA4->piGetDataSourceNoRef(), pclA4->pclGetConnectionNoRef(), L"auto4 without context");
    CNADataAccess* pclBare = Unregistered(nullptr, nullptr, L"bare");
    ASSERT_TRUE(pclLoose && pclBare);

    auto item = [](CNADataAccess* p, const wchar_t* pszName) {
        return FoundItem(p, [=] { return p->piGetItemDescription(pszName); });
    };
    auto idAuto = [](CNADataAccess* p) { return FoundItem(p, [=] { return p->pclGetIdAutoItem(); }); };
    auto find = [this](CNADataAccess* p, const wchar_t* pszTable) {
        return FoundAccess([=] { return p->pclFindDataAccessByDBTableName(pszTable); });
    };
    auto contextID = [](CNADataAccess* p) { return std::to_wstring(p->dwGetContextID()); };
    const struct
    {
        const char* pszWhat;
        std::function<std::wstring()> lookup;
        std::wstring sExpected;
    } cases[] = {
        {"item that exists", [&] { return item(pclP, L"code"); }, L"code 5"},
        {"item in other case", [&] { return item(pclP, L"CODE"); }, L"code 5"},
        {"item of another table", [&] { return item(pclA4, L"code"); }, L"(none)"},
        {"item without name", [&] { return item(pclA4, nullptr); }, L"(none)"},
        {"item without context", [&] { return item(pclLoose, L"id"); }, L"id 28"},
        {"item without data source", [&] { return item(pclBare, L"name"); }, L"(none)"},
        {"INT auto-increment key", [&] { return idAuto(pclA4); }, L"id 28"},
        {"BIGINT auto-increment key beside a unique key", [&] { return idAuto(pclA8Port); }, L"id 1"},
        {"keys none of which is automatic", [&] { return idAuto(pclP); }, L"(none)"},
        {"automatic key without context", [&] { return idAuto(pclLoose); }, L"id 28"},
        {"automatic key without data source", [&] { return idAuto(pclBare); }, L"(none)"},
        {"another table of the connection", [&] { return find(pclA4, L"plain"); }, L"plain"},
        {"in other case", [&] { return find(pclA4, L"PLAIN"); }, L"plain"},
        {"its own table", [&] { return find(pclA4, L"auto4"); }, L"auto4"},
        {"the same name on the other connection", [&] { return find(pclPPort, L"plain"); }, L"plain by port"},
        {"a table open on the other connection and in the other context only",
         [&] { return find(pclA4, L"auto8"); },
         L"(none)"},
        {"on the other connection, its other table", [&] { return find(pclPPort, L"auto8"); }, L"auto8 by port"},
        {"a table no data access works on", [&] { return find(pclA4, L"missing"); }, L"(none)"},
        {"table of a data access without context", [&] { return find(pclLoose, L"auto4"); }, L"(none)"},
        {"table of a bare data access", [&] { return find(pclBare, L""); }, L"(none)"},
        {"context id", [&] { return contextID(pclA4); }, std::to_wstring(kContextID)},
        {"context id by port", [&] { return contextID(pclPPort); }, std::to_wstring(kContextID)},
        {"id of the other context", [&] { return contextID(pclA8Other); }, std::to_wstring(kOtherContextID)},
        {"context id without context", [&] { return contextID(pclLoose); }, L"0"},
        {"context id of a bare data access", [&] { return contextID(pclBare); }, L"0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        EXPECT_EQ(c.sExpected, c.lookup());
    }
}

}  // namespace
