#pragma once

// Tables of the MySQL driver on the run's private server, reached the way
// the host reaches them: the driver made by piQueryInterface, a host
// connection description to a scratch database of the test's own, table
// descriptions (piGetTableDesc) and tables (piGetTable) held by external
// references, and host contexts stood in for. What the server holds is
// read back through a raw client. At the end every context is closed and
// every reference the test took given back before the driver goes.
#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "mysql/mysql_driver.h"
#include "native/access/data_access.h"
#include "native/access/table.h"
#include "native/driver/context.h"
#include "native/driver/driver_exports.h"
#include "native/driver/error_object.h"
#include "native/driver/wide_text_value.h"
#include "native/model/column.h"
#include "native/model/record.h"
#include "native/model/na_data_source_description.h"
#include "tests/common/text/any_vm_fixture.h"
#include "tests/fakes/test_driver.h"
#include "tests/host/db/standin_context.h"
#include "tests/mysql/mysql_server_connection.h"
#include "tests/support/raw_client.h"
#include "tests/support/scratch_database.h"

namespace vxtest {

class TableOnServer : public AnyVmTest
{
protected:
    static constexpr eNA_ACCESS kAccess = static_cast<eNA_ACCESS>(0);
    static constexpr eNA_LOCKTYPE kLock = static_cast<eNA_LOCKTYPE>(1);

    void SetUp() override
    {
        AnyVmTest::SetUp();
        StartTestDriverModule();
        m_former = CNADriver::g_SetFactory({DriverFactory(), nullptr});
        m_piDriver = piQueryInterface(0);
        ASSERT_NE(nullptr, m_piDriver);
        ASSERT_FALSE(m_db.Name().empty());
        m_client = ConnectAsTestUser(m_db.Name());
        m_server.emplace(std::wstring{}, MariadbRoute::Socket, nullptr, m_db.Name());
    }
    void TearDown() override
    {
        for (StandinContext* pContext : m_contexts)
            m_piDriver->bCloseContext(pContext);
        for (INATable* piTable : m_tables)
            piTable->nExternalRelease();
        for (INADataSourceDescription* piSource : m_descriptions)
            piSource->nExternalRelease();
        if (m_piDriver != nullptr)
            m_piDriver->nExternalRelease();
        CNADriver::g_SetFactory(m_former);
        AnyVmTest::TearDown();
    }

    static CNADriver* NewDriver() { return new (std::nothrow) CMySQLDriver; }
    // How the driver is made: a test may give a MySQL driver of its own.
    virtual CNADriver* (*DriverFactory())() { return &NewDriver; }

    StandinConnectionDescription& Host() { return m_server->Host(); }
    CNADriver* Driver() const { return static_cast<CNADriver*>(m_piDriver); }
    CNAError* DriverError() const { return Driver()->pclGetError(); }

    // The driver's description of a table the database holds, held by the
    // test; the test fails when there is none.
    INADataSourceDescription* Describe(const char* pszTable)
    {
        INADataSourceDescription* piSource = m_piDriver->piGetTableDesc(FromUtf8(pszTable).c_str(), &Host());
        EXPECT_NE(nullptr, piSource) << DriverError()->pszGetError();
        if (piSource != nullptr)
            m_descriptions.push_back(piSource);
        return piSource;
    }
    // The driver's table of the description on the host's connection (the
    // test's by default), held by the test.
    CNATable* Table(INADataSourceDescription* piSource, INAConnectionDescription* piConnection = nullptr)
    {
        INATable* piTable = m_piDriver->piGetTable(piConnection != nullptr ? piConnection : &Host(), piSource);
        EXPECT_NE(nullptr, piTable) << DriverError()->pszGetError();
        if (piTable == nullptr)
            return nullptr;
        m_tables.push_back(piTable);
        return static_cast<CNATable*>(piTable);
    }
    // The table made by this SQL, described and handed out.
    CNATable* TableOf(const char* pszTable, const std::string& sCreate)
    {
        EXPECT_TRUE(m_client.bExecute(sCreate)) << m_client.sError();
        INADataSourceDescription* piSource = Describe(pszTable);
        return piSource != nullptr ? Table(piSource) : nullptr;
    }
    // A host context (its id, its data key), closed with the driver at the
    // end.
    StandinContext& Context(unsigned long dwCtxID, unsigned long dwDataID = 1)
    {
        m_ownedContexts.push_back(std::make_unique<StandinContext>(dwCtxID, dwDataID));
        m_contexts.push_back(m_ownedContexts.back().get());
        return *m_ownedContexts.back();
    }
    // The driver's context of the host context, without a reference; null
    // when it keeps none.
    CNAContext* DriverContext(INAContext* piContext)
    {
        CNAContext* pclContext = Driver()->pclFindContext(piContext);
        if (pclContext != nullptr)
            pclContext->nRelease();
        return pclContext;
    }
    // The data access of the context on the table, without a reference;
    // null when it has none.
    static CNADataAccess* DataAccess(CNATable* pclTable, INAContext* piContext)
    {
        CNADataAccess* pclDataAccess = pclTable->_pclFindDataAccess(piContext);
        if (pclDataAccess != nullptr)
            pclDataAccess->nRelease();
        return pclDataAccess;
    }
    // Reads the first record by the item; 1 when one was read.
    static int ReadFirst(CNATable* pclTable, INAContext* piContext, const wchar_t* pszItem)
    {
        eNA_LOCKTYPE eLock = kLock;
        return pclTable->bHLitxxx(piContext, pszItem, static_cast<eNA_PARSEDIRECTION>(0), 1, kLock, &eLock, 0);
    }
    // The value of the column in the context's current record, as text;
    // "(none)" when there is none.
    static std::wstring Current(CNATable* pclTable, INAContext* piContext, const wchar_t* pszColumn)
    {
        CNADataAccess* pclDataAccess = DataAccess(pclTable, piContext);
        CNARecord* pclRecord = pclDataAccess != nullptr ? pclDataAccess->pclGetCurrentRecordNoRef() : nullptr;
        CNAColumn* pclColumn = pclRecord != nullptr ? pclRecord->pclGetColumnNoRef(pszColumn) : nullptr;
        CAny value;
        if (pclColumn == nullptr || !pclColumn->bGetCurrentValue(&value, 0))
            return L"(none)";
        const wchar_t* pszValue = NA_pszWideTextOf(&value);
        return pszValue != nullptr ? pszValue : L"(none)";
    }
    bool bTableExists(const std::string& sTable)
    {
        auto rows = m_client.Query("SHOW TABLES LIKE '" + sTable + "'");
        return rows.has_value() && !rows->empty();
    }
    std::string Count(const std::string& sTable)
    {
        auto rows = m_client.Query("SELECT COUNT(*) FROM `" + sTable + "`");
        return rows && !rows->empty() && (*rows)[0][0] ? *(*rows)[0][0] : "(failed)";
    }

    INADriver* m_piDriver = nullptr;
    CNADriver::stFactory m_former{};
    ScratchDatabase m_db;
    RawClient m_client;
    std::optional<ServerHost> m_server;
    std::vector<INATable*> m_tables;
    std::vector<INADataSourceDescription*> m_descriptions;
    std::vector<std::unique_ptr<StandinContext>> m_ownedContexts;
    std::vector<StandinContext*> m_contexts;
};

}  // namespace vxtest
