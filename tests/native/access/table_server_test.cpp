// The table object on the run's private server, made by the MySQL driver as
// the host gets it (piGetTableDesc, piGetTable): reading through it from one
// context and from two taking turns, the record buffer handed to the host
// and back, and the two ends that leave data accesses behind: the host
// closing a context and working again under its ids, and the host dropping
// the table without closing it, then reading through a new one.
#include <gtest/gtest.h>

#include <deque>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "mysql/mysql_driver.h"
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/access/table.h"
#include "native/driver/driver_exports.h"
#include "native/driver/error_object.h"
#include "native/model/column.h"
#include "native/model/qf_record.h"
#include "native/model/record.h"
#include "tests/common/text/any_vm_fixture.h"
#include "tests/fakes/test_driver.h"
#include "tests/host/db/standin_context.h"
#include "tests/mysql/mysql_server_connection.h"
#include "tests/mysql/mysql_statement_support.h"
#include "tests/native/driver/error_checks.h"
#include "tests/support/raw_client.h"
#include "tests/support/scratch_database.h"

namespace {

constexpr eNA_LOCKTYPE kLock = static_cast<eNA_LOCKTYPE>(1);

CNADriver* NewMySQLDriver()
{
    return new (std::nothrow) CMySQLDriver;
}

class TableOnServer : public vxtest::AnyVmTest
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
        ASSERT_TRUE(m_client.bExecute("CREATE TABLE t (id INT PRIMARY KEY, v VARCHAR(10))")) << m_client.sError();
        ASSERT_TRUE(m_client.bExecute("INSERT INTO t VALUES (1,'a'),(2,'b'),(3,'c'),(4,'d'),(5,'e')"))
            << m_client.sError();
        CNATable::gpclLastDataAccess = nullptr;
    }
    void TearDown() override
    {
        if (m_piDriver != nullptr)
            m_piDriver->nExternalRelease();
        CNADriver::g_SetFactory(m_former);
        AnyVmTest::TearDown();
    }

    CNAError* Error() const { return static_cast<CNADriver*>(m_piDriver)->pclGetError(); }

    // The table t as the host gets it, with one external reference.
    CNATable* Table()
    {
        INADataSourceDescription* piSource = m_piDriver->piGetTableDesc(L"t", &m_server->Host());
        EXPECT_NE(nullptr, piSource) << Error()->pszGetError();
        INATable* piTable = m_piDriver->piGetTable(&m_server->Host(), piSource);
        EXPECT_NE(nullptr, piTable) << Error()->pszGetError();
        if (piSource != nullptr)
            piSource->nExternalRelease();
        return static_cast<CNATable*>(piTable);
    }
    // The context's data access on the table, made and opened.
    CNADataAccess* Open(CNATable* pclTable, INAContext* piContext)
    {
        CNADataAccess* pclDataAccess = pclTable->_pclGetDataAccess(piContext, nullptr);
        EXPECT_NE(nullptr, pclDataAccess);
        if (pclDataAccess == nullptr)
            return nullptr;
        EXPECT_EQ(1, pclDataAccess->bHOuvre(static_cast<eNA_ACCESS>(0), nullptr))
            << pclDataAccess->pclGetErrorNoRef()->pszGetError();
        pclDataAccess->nRelease();
        return pclDataAccess;
    }
    StandinContext& Context(unsigned long dwCtxID, unsigned long dwDataID)
    {
        return m_contexts.emplace_back(dwCtxID, dwDataID);
    }
    // A read by the item id through the table; then the id read, "out" when
    // outside the file, "failed" when the read failed.
    static std::string Read(CNATable* pclTable, INAContext* piContext, eNA_PARSEDIRECTION eDirection)
    {
        eNA_LOCKTYPE eOut = kLock;
        if (pclTable->bHLitxxx(piContext, L"id", eDirection, 1, kLock, &eOut, 0) != 1)
            return "failed";
        int bOut = 1;
        if (pclTable->bHEnDehors(piContext, L"id", &bOut) != 1 || bOut)
            return "out";
        CNADataAccess* pclDataAccess = pclTable->_pclFindDataAccess(piContext);
        CAny value;
        std::string s = "unreadable";
        if (pclDataAccess->pclGetCurrentRecordNoRef()->pclGetColumnNoRef(L"id")->bGetCurrentValue(&value, 0))
            s = vxtest::Narrow(vxtest::TextOf(value));
        pclDataAccess->nRelease();
        return s;
    }

    INADriver* m_piDriver = nullptr;
    CNADriver::stFactory m_former{};
    vxtest::ScratchDatabase m_db;
    vxtest::RawClient m_client;
    std::optional<vxtest::ServerHost> m_server;
    std::deque<StandinContext> m_contexts;
};

TEST_F(TableOnServer, ReadsThroughTheTable)
{
    CNATable* pclTable = Table();
    StandinContext& context = Context(1, 1);
    EXPECT_EQ(0, pclTable->bIsOpened(&context));
    CNADataAccess* pclDataAccess = Open(pclTable, &context);
    EXPECT_EQ(1, pclTable->bIsOpened(&context));

    std::vector<std::string> ids{Read(pclTable, &context, NADirection::kFirst)};
    while (ids.back() != "out" && ids.back() != "failed" && ids.size() < 10)
        ids.push_back(Read(pclTable, &context, NADirection::kNext));
    EXPECT_EQ((std::vector<std::string>{"1", "2", "3", "4", "5", "out"}), ids);
    EXPECT_EQ("5", Read(pclTable, &context, NADirection::kLast));
    EXPECT_EQ("4", Read(pclTable, &context, NADirection::kPrevious));
    long llCount = -1;
    EXPECT_EQ(1, pclTable->bHNbEnr(&context, &llCount, 0x10, 0));
    EXPECT_EQ(5, llCount);

    // The host gets the current row's own buffer with one reference, and
    // hands it back.
    CNAQFRecord* pclBuffer = nullptr;
    ASSERT_EQ(1, pclTable->bGetRecord(&context, &pclBuffer));
    EXPECT_EQ(pclDataAccess->pclGetCurrentRecordNoRef()->pclGetNAQFRecord(), pclBuffer);
    EXPECT_EQ(1u, pclBuffer->nGetExternalRef());
    EXPECT_EQ(1, pclTable->bSetRecord(&context, pclBuffer));
    EXPECT_EQ(0u, pclBuffer->nGetExternalRef());
    EXPECT_EQ(0, pclTable->nExternalRelease());
}

TEST_F(TableOnServer, TwoContextsTakeTurns)
{
    CNATable* pclTable = Table();
    StandinContext& first = Context(1, 1);
    StandinContext& second = Context(2, 1);
    Open(pclTable, &first);
    Open(pclTable, &second);
    std::vector<std::string> forward{Read(pclTable, &first, NADirection::kFirst)};
    std::vector<std::string> backward{Read(pclTable, &second, NADirection::kLast)};
    for (int n = 0; n < 2; ++n) {
        forward.push_back(Read(pclTable, &first, NADirection::kNext));
        backward.push_back(Read(pclTable, &second, NADirection::kPrevious));
    }
    EXPECT_EQ((std::vector<std::string>{"1", "2", "3"}), forward);
    EXPECT_EQ((std::vector<std::string>{"5", "4", "3"}), backward);
    EXPECT_EQ(0, pclTable->nExternalRelease());
}

TEST_F(TableOnServer, ContextClosedThenItsIdsReused)
{
    CNATable* pclTable = Table();
    StandinContext& context = Context(7, 1);
    Open(pclTable, &context);
    ASSERT_EQ("1", Read(pclTable, &context, NADirection::kFirst));
    ASSERT_EQ("2", Read(pclTable, &context, NADirection::kNext));
    EXPECT_EQ(1, m_piDriver->bCloseContext(&context));

    // The same ids again: nothing is open for them.
    StandinContext& reused = Context(7, 1);
    EXPECT_EQ(0, pclTable->bIsOpened(&reused));
    EXPECT_EQ("failed", Read(pclTable, &reused, NADirection::kNext));
    EXPECT_TRUE(vxtest::ErrorAt(*Error(), 19, L"6.7"));
    EXPECT_TRUE(vxtest::ErrorHas(*Error(), L"<t>"));
    // Opened again, it reads from the start.
    Open(pclTable, &reused);
    EXPECT_EQ("1", Read(pclTable, &reused, NADirection::kFirst));
    EXPECT_EQ(0, pclTable->nExternalRelease());
}

TEST_F(TableOnServer, TableDroppedWithoutClosingThenANewOne)
{
    CNATable* pclFirst = Table();
    StandinContext& context = Context(3, 1);
    CNADataAccess* pclDataAccess = Open(pclFirst, &context);
    ASSERT_EQ("1", Read(pclFirst, &context, NADirection::kFirst));
    // The host lets the table go without closing it: the data access lives
    // on in its context, open, and forgets the table.
    EXPECT_EQ(0, pclFirst->nExternalRelease());
    EXPECT_EQ(nullptr, pclDataAccess->pclGetTableNoRef());
    EXPECT_EQ(1, pclDataAccess->bIsOpened());

    CNATable* pclSecond = Table();
    EXPECT_EQ(1, pclSecond->bIsOpened(&context));
    EXPECT_EQ("2", Read(pclSecond, &context, NADirection::kNext)) << "the browse goes on";
    int bNew = 9;
    CNADataAccess* pclFound = pclSecond->_pclGetDataAccess(&context, &bNew);
    EXPECT_EQ(pclDataAccess, pclFound);
    EXPECT_EQ(0, bNew);
    EXPECT_EQ(pclSecond, pclDataAccess->pclGetTableNoRef());
    pclFound->nRelease();
    EXPECT_EQ("3", Read(pclSecond, &context, NADirection::kNext));
    EXPECT_EQ(0, pclSecond->nExternalRelease());
    EXPECT_EQ(1, m_piDriver->bCloseContext(&context));
}

}  // namespace
