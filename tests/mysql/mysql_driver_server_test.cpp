// The MySQL driver object made by piQueryInterface, on the run's private
// server: its factories, the table-exists test, the host's table and query
// locks (quoting, unknown connections, the mutex and the error object
// around them), the client-version message and the data access's count.
#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <optional>
#include <string>

#include "mysql/mysql_connection.h"
#include "mysql/mysql_data_access.h"
#include "mysql/mysql_data_source_description.h"
#include "mysql/mysql_driver.h"
#include "mysql/mysql_driver_sql.h"
#include "mysql/mysql_statement.h"
#include "native/driver/driver_exports.h"
#include "native/driver/error_object.h"
#include "tests/common/text/any_vm_fixture.h"
#include "tests/support/driver_module.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/db/standin_parsed_query.h"
#include "tests/mysql/mysql_server_connection.h"
#include "tests/native/driver/error_checks.h"
#include "tests/support/raw_client.h"
#include "tests/support/scratch_database.h"

namespace {

using vxtest::FromUtf8;

CNADriver* NewMySQLDriver()
{
    return new (std::nothrow) CMySQLDriver;
}

class MySQLDriverServer : public vxtest::AnyVmTest
{
protected:
    void SetUp() override
    {
        AnyVmTest::SetUp();
        StartTestDriverModule();
        m_former = CNADriver::g_SetFactory({&NewMySQLDriver, nullptr});
        m_piDriver = piQueryInterface(0);
        ASSERT_NE(nullptr, m_piDriver);
        ASSERT_FALSE(m_db.Name().empty());
        m_client = vxtest::ConnectAsTestUser(m_db.Name());
        m_server.emplace(std::wstring{}, vxtest::MariadbRoute::Socket, nullptr, m_db.Name());
        Host().SetConnectionName(L"the host's connection");
    }
    void TearDown() override
    {
        if (m_piDriver != nullptr)
            m_piDriver->nExternalRelease();
        CNADriver::g_SetFactory(m_former);
        AnyVmTest::TearDown();
    }

    StandinConnectionDescription& Host() { return m_server->Host(); }
    CMySQLDriver* Driver() const { return static_cast<CMySQLDriver*>(static_cast<CNADriver*>(m_piDriver)); }
    CNAError* Error() const { return Driver()->pclGetError(); }
    // The session counter of the driver's registered connection.
    long Counter(const char* pszName)
    {
        CNAConnectionDescription* pclConnection = Driver()->_pclFindConnection(&Host());
        EXPECT_NE(nullptr, pclConnection);
        if (pclConnection == nullptr)
            return -1;
        auto rows = vxtest::QueryOnHandle(*static_cast<CMySQLConnection*>(pclConnection),
                                          std::string("SHOW SESSION STATUS LIKE '") + pszName + "'");
        Driver()->nReleaseConnection(pclConnection);
        return rows && !rows->empty() && (*rows)[0][1] ? std::stol(*(*rows)[0][1]) : -1;
    }

    INADriver* m_piDriver = nullptr;
    CNADriver::stFactory m_former{};
    vxtest::ScratchDatabase m_db;
    vxtest::RawClient m_client;
    std::optional<vxtest::ServerHost> m_server;
};

TEST_F(MySQLDriverServer, FactoriesMakeTheMySQLClassesAtCountZero)
{
    EXPECT_EQ(CMySQLDriver::kDefaultCacheSize, Driver()->llGetDefaultCacheSize());
    CNAConnectionDescription* pclConnection = Driver()->_pclAllocConnectionDescription(L"id", &Host());
    ASSERT_NE(nullptr, dynamic_cast<CMySQLConnection*>(pclConnection));
    EXPECT_EQ(0u, pclConnection->m_dwRefCount);
    ++pclConnection->m_dwRefCount;

    CNADataSourceDescription* pclDescription = Driver()->pclAllocDataSourceDescription(pclConnection, Error());
    ASSERT_NE(nullptr, dynamic_cast<CMySQLDataSourceDescription*>(pclDescription));
    EXPECT_EQ(0u, pclDescription->nGetRef());
    pclDescription->AddRef();

    CNADataAccess* pclAccess = Driver()->pclAllocDataAccess(nullptr, pclConnection, Error());
    ASSERT_NE(nullptr, dynamic_cast<CMySQLDataAccess*>(pclAccess));
    REF_AddRef(pclAccess);
    CNAStatement* pclStatement = Driver()->pclAllocStatement(pclAccess, nullptr, Error());
    ASSERT_NE(nullptr, dynamic_cast<CMySQLStatement*>(pclStatement));
    REF_AddRef(pclStatement);
    EXPECT_NE(nullptr, dynamic_cast<CMySQLDriverSQL*>(Driver()->pclGetDriverSQL()));

    pclStatement->nRelease();
    pclAccess->nRelease();
    pclDescription->nRelease();
    pclConnection->nRelease();
}

TEST_F(MySQLDriverServer, TableExists)
{
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE `t w` (v INT)")) << m_client.sError();
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE `b``q` (v INT)")) << m_client.sError();
    const struct
    {
        const wchar_t* pszTable;
        int bExists;
    } kCases[] = {{L"t w", 1}, {L"b`q", 1}, {L"missing", 0}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(vxtest::Narrow(c.pszTable));
        int bExists = -1;
        EXPECT_EQ(1, m_piDriver->bTableExists(&bExists, c.pszTable, &Host())) << Error()->pszGetError();
        EXPECT_EQ(c.bExists, bExists);
        EXPECT_EQ(c.bExists ? 0u : 1146u, Error()->dwGetDataBaseErrorCode()) << "a missing table's error stays";
    }
}

TEST_F(MySQLDriverServer, LocksOnAConnectionTheDriverDoesNotHold)
{
    const std::wstring text = L"SELECT v FROM t";
    StandinParsedQuery query({.text = text});
    struct
    {
        const wchar_t* pszSite;
        std::function<int()> lock;
    } kCases[] = {
        {L"103.1", [&] { return m_piDriver->bSQLBloqueTable(&Host(), L"t"); }},
        {L"103.2", [&] { return m_piDriver->bSQLBloqueRequete(&Host(), &query); }},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(vxtest::Narrow(c.pszSite));
        Error()->Reset();
        EXPECT_EQ(0, c.lock());
        EXPECT_TRUE(vxtest::ErrorAt(*Error(), 14, c.pszSite));
        EXPECT_TRUE(vxtest::ErrorHas(*Error(), L"the host's connection"));
        EXPECT_EQ(NA_ERR_GENERAL, Error()->eGetErrorType());
        EXPECT_TRUE(bDriverMutexFreeForOtherThreads());
        EXPECT_EQ(nullptr, Driver()->_pclFindConnection(&Host())) << "no connection made";
    }
}

TEST_F(MySQLDriverServer, LocksSendOneStatementAndKeepTheError)
{
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE `t w` (v INT)")) << m_client.sError();
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE `x``; DROP TABLE y` (v INT)")) << m_client.sError();
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE y (v INT)")) << m_client.sError();
    ASSERT_EQ(1, m_piDriver->bTransactionBegin(&Host(), nullptr)) << Error()->pszGetError();

    for (const wchar_t* pszTable : {L"t w", L"x`; DROP TABLE y"}) {
        SCOPED_TRACE(vxtest::Narrow(pszTable));
        const long nBefore = Counter("Questions");
        // User error 15's text names what could not be opened.
        Error()->AddError(NA_ERR_GENERAL, NA_SRC_DB_DRIVER, 9, nullptr, 15u, pszTable);
        EXPECT_EQ(1, m_piDriver->bSQLBloqueTable(&Host(), pszTable)) << Error()->pszGetError();
        EXPECT_EQ(15u, Error()->dwGetErrorId()) << "the lock does not reset the error";
        EXPECT_TRUE(bDriverMutexFreeForOtherThreads());
        // The counter query itself is one more.
        EXPECT_EQ(nBefore + 2, Counter("Questions"));
    }
    EXPECT_TRUE(m_client.Query("SELECT COUNT(*) FROM y").has_value()) << "y is still there";

    const std::wstring text = L"SELECT v FROM `t w`";
    StandinParsedQuery query({.text = text});
    const long nSelects = Counter("Com_select");
    EXPECT_EQ(1, m_piDriver->bSQLBloqueRequete(&Host(), &query)) << Error()->pszGetError();
    EXPECT_EQ(nSelects + 1, Counter("Com_select"));
    EXPECT_TRUE(bDriverMutexFreeForOtherThreads());

    StandinParsedQuery bad({.text = L"SELECT v FROM missing"});
    Error()->Reset();
    EXPECT_EQ(0, m_piDriver->bSQLBloqueRequete(&Host(), &bad));
    EXPECT_EQ(1146u, Error()->dwGetDataBaseErrorCode());
    EXPECT_TRUE(bDriverMutexFreeForOtherThreads());
    EXPECT_EQ(1, m_piDriver->bTransactionRollBack(&Host(), nullptr)) << Error()->pszGetError();
}

TEST_F(MySQLDriverServer, ClientVersionMessage)
{
    Error()->Reset();
    Error()->AddError(NA_ERR_GENERAL, NA_SRC_DB_DRIVER, 9, nullptr, 15u, L"client");
    Driver()->OnFatalErrorAddDebugMessage(Error(), nullptr);
    EXPECT_TRUE(vxtest::ErrorHas(*Error(), L"3.23.52"));
    EXPECT_TRUE(vxtest::ErrorHas(*Error(), L"<>"));

    int bExists = 0;
    ASSERT_EQ(1, m_piDriver->bTableExists(&bExists, L"missing", &Host()));
    CNAConnectionDescription* pclConnection = Driver()->_pclAllocConnectionDescription(L"id", &Host());
    ++pclConnection->m_dwRefCount;
    Error()->Reset();
    Error()->AddError(NA_ERR_GENERAL, NA_SRC_DB_DRIVER, 9, nullptr, 15u, L"client");
    Driver()->OnFatalErrorAddDebugMessage(Error(), pclConnection);
    const std::wstring sVersion = CNAConnectionDescription::m_csClientVersion.pszGet();
    EXPECT_FALSE(sVersion.empty());
    EXPECT_TRUE(vxtest::ErrorHas(*Error(), L"<" + sVersion + L">"));
    pclConnection->nRelease();
}

class QueryAccess : public CMySQLDataAccess
{
public:
    using CMySQLDataAccess::CMySQLDataAccess;
    void SetQuery() { m_bQuery = 1; }
};

TEST_F(MySQLDriverServer, CountingATableNeedsNoParse)
{
    auto* pclAccess = new QueryAccess(nullptr, nullptr, Error());
    REF_AddRef(pclAccess);
    int bNeedParse = -1;
    EXPECT_EQ(1, pclAccess->bNbEnrNeedParse(&bNeedParse, L"v"));
    EXPECT_EQ(0, bNeedParse);
    pclAccess->SetQuery();
    EXPECT_EQ(1, pclAccess->bNbEnrNeedParse(&bNeedParse, L"v"));
    EXPECT_EQ(1, bNeedParse);
    pclAccess->nRelease();
}

}  // namespace
