// The table object on the run's private server, made by the MySQL driver as
// the host gets it (piGetTableDesc, piGetTable): reading through it from one
// context and from two taking turns, the record buffer handed to the host
// and back, and the two ends that leave data accesses behind: the host
// closing a context and working again under its ids, and the host dropping
// the table without closing it, then reading through a new one.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "native/access/statement.h"
#include "native/model/column.h"
#include "native/model/qf_record.h"
#include "native/model/record.h"
#include "tests/mysql/mysql_statement_support.h"
#include "tests/native/access/table_server_fixture.h"
#include "tests/native/driver/error_checks.h"

namespace {

class TableReading : public vxtest::TableOnServer
{
protected:
    void SetUp() override
    {
        vxtest::TableOnServer::SetUp();
        CNATable::gpclLastDataAccess = nullptr;
    }
    // The table t with ids 1 to 5, as the host gets it.
    CNATable* Table5()
    {
        return TableOf("t", "CREATE TABLE t (id INT PRIMARY KEY, v VARCHAR(10))") != nullptr &&
                       m_client.bExecute("INSERT INTO t VALUES (1,'a'),(2,'b'),(3,'c'),(4,'d'),(5,'e')")
                   ? static_cast<CNATable*>(m_tables.back())
                   : nullptr;
    }
    // The host opens the table in the context; its data access.
    CNADataAccess* Open(CNATable* pclTable, INAContext* piContext)
    {
        EXPECT_EQ(1, pclTable->bHOuvre(piContext, kAccess, nullptr)) << DriverError()->pszGetError();
        return DataAccess(pclTable, piContext);
    }
    // The host lets the table go, before the test's end.
    void Drop(CNATable* pclTable)
    {
        m_tables.erase(std::find(m_tables.begin(), m_tables.end(), static_cast<INATable*>(pclTable)));
        EXPECT_EQ(0, pclTable->nExternalRelease());
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
        CNADataAccess* pclDataAccess = DataAccess(pclTable, piContext);
        CAny value;
        if (!pclDataAccess->pclGetCurrentRecordNoRef()->pclGetColumnNoRef(L"id")->bGetCurrentValue(&value, 0))
            return "unreadable";
        return vxtest::Narrow(vxtest::TextOf(value));
    }
};

TEST_F(TableReading, ReadsThroughTheTable)
{
    CNATable* pclTable = Table5();
    ASSERT_NE(nullptr, pclTable);
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
}

TEST_F(TableReading, TwoContextsTakeTurns)
{
    CNATable* pclTable = Table5();
    ASSERT_NE(nullptr, pclTable);
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
}

TEST_F(TableReading, ContextClosedThenItsIdsReused)
{
    CNATable* pclTable = Table5();
    ASSERT_NE(nullptr, pclTable);
    StandinContext& context = Context(7, 1);
    Open(pclTable, &context);
    ASSERT_EQ("1", Read(pclTable, &context, NADirection::kFirst));
    ASSERT_EQ("2", Read(pclTable, &context, NADirection::kNext));
    EXPECT_EQ(1, m_piDriver->bCloseContext(&context));

    // The same ids again: nothing is open for them.
    StandinContext& reused = Context(7, 1);
    EXPECT_EQ(0, pclTable->bIsOpened(&reused));
    EXPECT_EQ("failed", Read(pclTable, &reused, NADirection::kNext));
    EXPECT_TRUE(vxtest::ErrorAt(*DriverError(), 19, L"6.7"));
    EXPECT_TRUE(vxtest::ErrorHas(*DriverError(), L"<t>"));
    // Opened again, it reads from the start.
    Open(pclTable, &reused);
    EXPECT_EQ("1", Read(pclTable, &reused, NADirection::kFirst));
}

TEST_F(TableReading, TableDroppedWithoutClosingThenANewOne)
{
    CNATable* pclFirst = Table5();
    ASSERT_NE(nullptr, pclFirst);
    StandinContext& context = Context(3, 1);
    CNADataAccess* pclDataAccess = Open(pclFirst, &context);
    ASSERT_EQ("1", Read(pclFirst, &context, NADirection::kFirst));
    // The host lets the table go without closing it: the data access lives
    // on in its context, open, and forgets the table.
    Drop(pclFirst);
    EXPECT_EQ(nullptr, pclDataAccess->pclGetTableNoRef());
    EXPECT_EQ(1, pclDataAccess->bIsOpened());

    CNATable* pclSecond = Table(Describe("t"));
    ASSERT_NE(nullptr, pclSecond);
    EXPECT_EQ(1, pclSecond->bIsOpened(&context));
    EXPECT_EQ("2", Read(pclSecond, &context, NADirection::kNext)) << "the browse goes on";
    int bNew = 9;
    CNADataAccess* pclFound = pclSecond->_pclGetDataAccess(&context, &bNew);
    EXPECT_EQ(pclDataAccess, pclFound);
    EXPECT_EQ(0, bNew);
    EXPECT_EQ(pclSecond, pclDataAccess->pclGetTableNoRef());
    pclFound->nRelease();
    EXPECT_EQ("3", Read(pclSecond, &context, NADirection::kNext));
}

}  // namespace
