// The table object and the data accesses of its host contexts: the two
// lookups and the references they hand out, the process-wide cache with two
// contexts taking turns, removal, the host's references on the table and
// its description, and the ends of a context and of a table while the other
// still holds data accesses.
#include <gtest/gtest.h>

#include "tests/host/db/standin_query_parameters.h"
#include "tests/native/access/table_fixture.h"

namespace {

using vxtest::CRecordingDataAccess;

class TableContext : public vxtest::TableTest
{
};

TEST_F(TableContext, LookupsHandOutOneReference)
{
    CNATable* pclTable = HeldTable();
    StandinContext& context = Context(5, 1);
    EXPECT_EQ(nullptr, pclTable->_pclFindDataAccess(&context)) << "the context is not known yet";

    int bNew = 9;
    CNADataAccess* pclMade = pclTable->_pclGetDataAccess(&context, &bNew);
    ASSERT_NE(nullptr, pclMade);
    EXPECT_EQ(1, bNew);
    EXPECT_EQ(3u, pclMade->m_dwRefCount) << "the context, the table and the caller";
    EXPECT_EQ(pclTable, pclMade->pclGetTableNoRef());
    EXPECT_TRUE(pclTable->bHoldsDataAccess(pclMade));
    EXPECT_EQ(nullptr, CNATable::gpclLastDataAccess) << "the lookup with creation leaves the cache alone";

    EXPECT_EQ(pclMade, pclTable->_pclGetDataAccess(&context, &bNew));
    EXPECT_EQ(0, bNew);
    EXPECT_EQ(1u, pclTable->dwGetNbDataAccess());
    EXPECT_EQ(pclMade, pclTable->_pclFindDataAccess(&context));
    EXPECT_EQ(5u, pclMade->m_dwRefCount);
    EXPECT_EQ(pclMade, CNATable::gpclLastDataAccess);
    EXPECT_EQ(5u, CNATable::gdwCtxID);
    EXPECT_EQ(1u, CNATable::gdwDataID);
    // A hit of the cache: the same reference.
    EXPECT_EQ(pclMade, pclTable->_pclFindDataAccess(&context));
    for (int n = 0; n < 4; ++n)
        pclMade->nRelease();
    EXPECT_EQ(2u, pclMade->m_dwRefCount);
    // Another data key of the same context has none.
    context.SetDataID(2);
    EXPECT_EQ(nullptr, pclTable->_pclFindDataAccess(&context));
    EXPECT_EQ(0, Release(pclTable));
}

TEST_F(TableContext, TwoContextsTakeTurns)
{
    CNATable* pclTable = HeldTable();
    StandinContext& first = Context(1, 10);
    StandinContext& second = Context(2, 20);
    CRecordingDataAccess* pclFirst = DataAccessOf(pclTable, &first);
    CRecordingDataAccess* pclSecond = DataAccessOf(pclTable, &second);
    ASSERT_NE(pclFirst, pclSecond);
    eNA_LOCKTYPE eLock{};
    for (long n = 1; n <= 3; ++n) {
        EXPECT_EQ(CRecordingDataAccess::kAnswer, pclTable->bHLit(&first, n, static_cast<eNA_LOCKTYPE>(1), &eLock));
        EXPECT_EQ(pclFirst, CNATable::gpclLastDataAccess);
        EXPECT_EQ(CRecordingDataAccess::kAnswer, pclTable->bHLit(&second, 10 * n, static_cast<eNA_LOCKTYPE>(1), &eLock));
        EXPECT_EQ(pclSecond, CNATable::gpclLastDataAccess);
        EXPECT_EQ(2u, CNATable::gdwCtxID);
        EXPECT_EQ(20u, CNATable::gdwDataID);
    }
    EXPECT_EQ((std::vector<std::string>{"Lit(1,1)", "Lit(2,1)", "Lit(3,1)"}), pclFirst->calls);
    EXPECT_EQ((std::vector<std::string>{"Lit(10,1)", "Lit(20,1)", "Lit(30,1)"}), pclSecond->calls);
    EXPECT_EQ(2u, pclFirst->m_dwRefCount) << "every lookup's reference dropped";
    EXPECT_EQ(2u, pclSecond->m_dwRefCount);
    EXPECT_EQ(0, Release(pclTable));
}

TEST_F(TableContext, RemovalLetsTheContextGo)
{
    CNATable* pclTable = HeldTable();
    StandinContext& context = Context(8, 1);
    CRecordingDataAccess* pclDataAccess = DataAccessOf(pclTable, &context);
    ASSERT_EQ(pclDataAccess, pclTable->_pclFindDataAccess(&context));
    pclDataAccess->nRelease();
    ASSERT_EQ(pclDataAccess, CNATable::gpclLastDataAccess);
    const int nLive = CTestDataAccess::s_nLive;

    pclTable->_RemoveDataAccess(&context, pclDataAccess);
    EXPECT_EQ(nLive - 1, CTestDataAccess::s_nLive) << "the context's and the table's references were the last";
    EXPECT_EQ(nullptr, CNATable::gpclLastDataAccess);
    EXPECT_EQ(0u, pclTable->dwGetNbDataAccess());
    EXPECT_EQ(nullptr, Driver()->pclFindContext(&context)) << "a context left empty goes";
    // Nothing to remove: nothing happens.
    pclTable->_RemoveDataAccess(&context, nullptr);
    EXPECT_EQ(0, Release(pclTable));
}

TEST_F(TableContext, HostReferencesOnTableAndDescription)
{
    StandinConnectionDescription& host = Host();
    StandinDataSourceDescription& source = Source(L"ORDERS");
    auto* pclTable = static_cast<CNATable*>(piTable(&host, &source));
    ASSERT_NE(nullptr, pclTable);
    const std::wstring key = pclTable->pszGetIdentification();
    const int nHeld = source.Refs().nBalance();

    INADataSourceDescription* piDescription = pclTable->piGetDataSourceDescription();
    EXPECT_EQ(&source, piDescription);
    EXPECT_EQ(nHeld + 1, source.Refs().nBalance()) << "one external reference for the caller";
    piDescription->nExternalRelease();
    EXPECT_STREQ(L"ORDERS", pclTable->pszGetLogicalName());

    // An operation in progress holds a second internal reference: the
    // host's last release leaves the table registered.
    pclTable->ExternalAddRef();
    EXPECT_EQ(1, Release(pclTable));
    pclTable->AddRef();
    EXPECT_EQ(0, Release(pclTable));
    EXPECT_EQ(pclTable, RegisteredTableObject(key.c_str()));
    EXPECT_EQ(2u, pclTable->nGetRef());
    EXPECT_EQ(0u, pclTable->nGetExternalRef());
    pclTable->nRelease();

    // Held by the host again, and by the registry alone: the last release
    // takes it out of the registry, which ends it.
    pclTable->ExternalAddRef();
    EXPECT_EQ(0, Release(pclTable));
    EXPECT_EQ(nullptr, RegisteredTableObject(key.c_str()));
    EXPECT_EQ(0, source.Refs().nBalance()) << "the table's reference on its description given back";
}

TEST_F(TableContext, ContextClosedThenItsIdsReused)
{
    CNATable* pclTable = HeldTable();
    StandinContext& context = Context(5, 1);
    CRecordingDataAccess* pclOld = DataAccessOf(pclTable, &context);
    eNA_LOCKTYPE eLock{};
    ASSERT_EQ(CRecordingDataAccess::kAnswer, pclTable->bHLit(&context, 1, static_cast<eNA_LOCKTYPE>(1), &eLock));
    ASSERT_EQ(pclOld, CNATable::gpclLastDataAccess);

    EXPECT_EQ(1, CloseContext(&context));
    // The table still holds the data access; neither the cache nor the
    // data access names the released context any more.
    EXPECT_TRUE(pclTable->bHoldsDataAccess(pclOld));
    EXPECT_EQ(nullptr, CNATable::gpclLastDataAccess);
    EXPECT_EQ(nullptr, pclOld->pclGetContextNoRef());

    // The host works again under the same ids: the closed data access
    // serves nothing.
    StandinContext& reused = Context(5, 1);
    EXPECT_EQ(0, pclTable->bHLit(&reused, 2, static_cast<eNA_LOCKTYPE>(1), &eLock));
    EXPECT_TRUE(vxtest::ErrorAt(*DriverError(), 19, L"6.7"));
    EXPECT_EQ(0, pclTable->bIsOpened(&reused));
    int bNew = 0;
    CRecordingDataAccess* pclNew = DataAccessOf(pclTable, &reused, &bNew);
    EXPECT_EQ(1, bNew);
    EXPECT_NE(pclOld, pclNew);
    EXPECT_EQ(CRecordingDataAccess::kAnswer, pclTable->bHLit(&reused, 3, static_cast<eNA_LOCKTYPE>(1), &eLock));
    EXPECT_EQ((std::vector<std::string>{"Lit(1,1)"}), pclOld->calls);
    EXPECT_EQ((std::vector<std::string>{"Lit(3,1)"}), pclNew->calls);
    EXPECT_EQ(2u, pclTable->dwGetNbDataAccess());
    EXPECT_EQ(0, Release(pclTable));
}

TEST_F(TableContext, TableEndedBeforeItsDataAccesses)
{
    StandinQueryParameters values;
    CNATable* pclFirst = HeldTable(L"CUSTOMER");
    pclFirst->SetQueryBindVariable(&values);
    pclFirst->SetQueryBindVariable(&values);
    EXPECT_EQ(1, values.Refs().nBalance()) << "the same values again change nothing";
    StandinContext& context = Context(3, 1);
    CRecordingDataAccess* pclDataAccess = DataAccessOf(pclFirst, &context);
    const int nLive = CTestDataAccess::s_nLive;

    // The host drops the table without closing it: it ends, the data
    // access lives on in its context and forgets the table.
    EXPECT_EQ(0, Release(pclFirst));
    EXPECT_EQ(0, values.Refs().nBalance());
    EXPECT_EQ(nLive, CTestDataAccess::s_nLive);
    EXPECT_EQ(1u, pclDataAccess->m_dwRefCount) << "the context's";
    EXPECT_EQ(nullptr, pclDataAccess->pclGetTableNoRef());

    // A new table object in the same context takes the data access over.
    CNATable* pclSecond = HeldTable(L"CUSTOMER");
    int bNew = 9;
    EXPECT_EQ(pclDataAccess, DataAccessOf(pclSecond, &context, &bNew));
    EXPECT_EQ(0, bNew);
    EXPECT_EQ(pclSecond, pclDataAccess->pclGetTableNoRef());
    EXPECT_TRUE(pclSecond->bHoldsDataAccess(pclDataAccess));
    EXPECT_EQ(2u, pclDataAccess->m_dwRefCount);
    // A data access of another live table stays with it.
    CNATable* pclOther = HeldTable(L"ORDERS");
    EXPECT_EQ(pclDataAccess, DataAccessOf(pclOther, &context));
    EXPECT_EQ(pclSecond, pclDataAccess->pclGetTableNoRef());
    EXPECT_FALSE(pclOther->bHoldsDataAccess(pclDataAccess));
    EXPECT_EQ(0, Release(pclOther));
    EXPECT_EQ(0, Release(pclSecond));

    // Only its context holds it now: closing the context ends it.
    EXPECT_EQ(1, CloseContext(&context));
    EXPECT_EQ(nLive - 1, CTestDataAccess::s_nLive);
}

TEST_F(TableContext, TableLeftByTheRegistryEndsAtTheHostsLastRelease)
{
    CNATable* pclTable = HeldTable();
    StandinContext& context = Context(4, 1);
    CRecordingDataAccess* pclDataAccess = DataAccessOf(pclTable, &context);
    ASSERT_EQ(1, Driver()->_bReleaseTable(pclTable));
    EXPECT_EQ(0u, pclTable->nGetRef());
    eNA_LOCKTYPE eLock{};
    EXPECT_EQ(CRecordingDataAccess::kAnswer, pclTable->bHLit(&context, 1, static_cast<eNA_LOCKTYPE>(1), &eLock))
        << "the host still works with it";
    EXPECT_EQ(0, Release(pclTable));
    EXPECT_EQ(nullptr, pclDataAccess->pclGetTableNoRef());
    EXPECT_EQ(1u, pclDataAccess->m_dwRefCount);
}

TEST_F(TableContext, ReindexCreatesTheDataAccess)
{
    CNATable* pclTable = HeldTable();
    StandinContext& context = Context(6, 1);
    EXPECT_EQ(CRecordingDataAccess::kAnswer, pclTable->bHReindexe(&context, 5, nullptr));
    auto* pclDataAccess = static_cast<CRecordingDataAccess*>(pclTable->_pclFindDataAccess(&context));
    ASSERT_NE(nullptr, pclDataAccess);
    EXPECT_EQ((std::vector<std::string>{"Reindexe(5)"}), pclDataAccess->calls);
    pclDataAccess->nRelease();

    // None can be made: 0, and the table raises nothing.
    Driver()->Choices().allocDataAccess = [](INADataSourceDescription*, CNAConnectionDescription*, CNAError*) {
        return static_cast<CNADataAccess*>(nullptr);
    };
    StandinContext& other = Context(7, 1);
    DriverError()->Reset();
    EXPECT_EQ(nullptr, pclTable->_pclGetDataAccess(&other, nullptr));
    EXPECT_EQ(0, pclTable->bHReindexe(&other, 5, nullptr));
    EXPECT_EQ(NA_LEVEL_NOERROR, DriverError()->eGetErrorLevel());
    EXPECT_EQ(0, Release(pclTable));
}

}  // namespace
