// The driver's table registry: table and query keys, one table per logical
// name, the table object's two counts and the host's last release, tables
// leaving the registry while the host holds them, the mode given to every
// table (slot 12), the table handed to the host (slot 13) and the query
// table freed for a context (slot 34).
#include <gtest/gtest.h>

#include <string>

#include "native/driver/registry_keys.h"
#include "tests/native/abi_slots.h"
#include "tests/native/driver/registry_fixture.h"

namespace {

using vxtest::RegistryTest;

class RegistryTables : public RegistryTest
{
protected:
    std::wstring Identification(INAConnectionDescription* piHost)
    {
        CTString cs;
        Driver()->bBuildCnxIdentification(&cs, piHost);
        return cs.pszGet();
    }
    CTestTable* AsTest(INATable* pi) { return static_cast<CTestTable*>(static_cast<CNATable*>(pi)); }

    // A query table of the context made, registered and handed to the host
    // as the query execution does; the caller's reference is dropped.
    CTestTable* HostHeldQuery(INAContext* piContext, const wchar_t* pszName, CNAConnectionDescription* pclConnection)
    {
        CNATable* pclTable = Driver()->_pclGetQuery(piContext, pszName, pclConnection, 1);
        EXPECT_NE(nullptr, pclTable);
        Driver()->_AddTable(pclTable);
        pclTable->ExternalAddRef();
        pclTable->nRelease();
        return static_cast<CTestTable*>(pclTable);
    }
};

TEST(RegistryTableSlots, Order)
{
    vxtest::ExpectSlots("CNATable", {
        VX_SLOT(CNATable, ExternalAddRef, 5),
        VX_SLOT(CNATable, nExternalRelease, 6),
        VX_SLOT(CNATable, bSupprimeFichier, 79),
        VX_SLOT(CNATable, bExecuteQuery, 82),
    });
    EXPECT_EQ(83, VX_SLOT_COUNT(CNATable));
    CTestTable table(L"key", nullptr, nullptr, nullptr);
    EXPECT_EQ(11, vxtest::CallSlot<int>(static_cast<INATable*>(&table), 0));
    EXPECT_EQ(8, vxtest::CallSlot<int>(static_cast<INATable*>(&table), 1));
    EXPECT_EQ(-1, vxtest::CallSlot<int>(static_cast<INATable*>(&table), 2));
    EXPECT_EQ(-1, vxtest::CallSlot<int>(static_cast<INATable*>(&table), 3));
}

TEST_F(RegistryTables, KeysMapNamesAndWriteTheWholeContextId)
{
    CTString key;
    ASSERT_TRUE(CNARegistryKeys::g_bBuildTableKey(&key, L"Café", L"Connection=C;password=pw"));
    EXPECT_STREQ(L"Table=CAFE;Connection=C;password=pw", key.pszGet());
    ASSERT_TRUE(CNARegistryKeys::g_bBuildTableKey(&key, nullptr, L"ID"));
    EXPECT_STREQ(L"Table=NULL;ID", key.pszGet());
    ASSERT_TRUE(CNARegistryKeys::g_bBuildTableKey(&key, L"", L"ID"));
    EXPECT_STREQ(L"Table=;ID", key.pszGet());

    struct Case
    {
        uint64_t id;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {0, L"CTX=0;Table=QUERY;ID"},
        {7, L"CTX=7;Table=QUERY;ID"},
        {0xFFFFFFFFu, L"CTX=4294967295;Table=QUERY;ID"},
        {0x100000007ull, L"CTX=4294967303;Table=QUERY;ID"},
        {UINT64_MAX, L"CTX=18446744073709551615;Table=QUERY;ID"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(CNARegistryKeys::g_bBuildQueryKey(&key, c.id, L"Query", L"ID"));
        EXPECT_STREQ(c.expected, key.pszGet());
    }
}

TEST_F(RegistryTables, OneTablePerLogicalName)
{
    StandinConnectionDescription& host = Host();
    StandinDataSourceDescription& upper = Source(L"CUSTOMER");
    StandinDataSourceDescription& lower = Source(L"customer");
    StandinDataSourceDescription& accents = Source(L"Cüstomer");
    StandinDataSourceDescription& other = Source(L"ORDERS");

    INATable* piFirst = piTable(&host, &upper);
    ASSERT_NE(nullptr, piFirst);
    EXPECT_EQ(piFirst, piTable(&host, &upper)) << "the same source twice";
    EXPECT_EQ(piFirst, piTable(&host, &lower));
    EXPECT_EQ(piFirst, piTable(&host, &accents));
    INATable* piOther = piTable(&host, &other);
    EXPECT_NE(piFirst, piOther);

    CTestTable* pclFirst = AsTest(piFirst);
    EXPECT_EQ(4u, pclFirst->nGetExternalRef());
    EXPECT_EQ(1u, pclFirst->nGetRef()) << "the registry's reference only";
    const std::wstring key = L"Table=CUSTOMER;" + Identification(&host);
    EXPECT_EQ(key, pclFirst->pszGetIdentification());
    EXPECT_EQ(pclFirst, RegisteredTable(key.c_str()));
    EXPECT_EQ(&upper, pclFirst->piGetDataSourceNoRef()) << "made with the first description";
    EXPECT_EQ(1, upper.Refs().nBalance());

    // Not opened by handing tables out; the registry, and each table.
    CTestConnection* pclConnection = Registered(&host);
    EXPECT_EQ(0, pclConnection->nOpenCalls());
    EXPECT_EQ(3u, pclConnection->m_dwRefCount);

    // The host's releases: the last one unregisters and destroys it.
    EXPECT_EQ(3, nReleaseTable(piFirst));
    EXPECT_EQ(2, nReleaseTable(piFirst));
    EXPECT_EQ(1, nReleaseTable(piFirst));
    const int nLiveBefore = CTestTable::s_nLive;
    EXPECT_EQ(0, nReleaseTable(piFirst));
    EXPECT_EQ(nLiveBefore - 1, CTestTable::s_nLive);
    EXPECT_EQ(nullptr, RegisteredTable(key.c_str()));
    EXPECT_EQ(2u, pclConnection->m_dwRefCount);

    // A table of another connection is another table.
    StandinConnectionDescription& otherHost = Host(L"OTHER");
    INATable* piElsewhere = piTable(&otherHost, &other);
    EXPECT_NE(piOther, piElsewhere);
    EXPECT_EQ(0, nReleaseTable(piElsewhere));
    EXPECT_EQ(0, nReleaseTable(piOther));
    EXPECT_EQ(nullptr, Registered(&host)) << "the last table closed the connection";
}

TEST_F(RegistryTables, TheDriversOwnReleaseAfterTheHostsLetGo)
{
    StandinConnectionDescription& host = Host();
    StandinDataSourceDescription& source = Source(L"CUSTOMER");
    INATable* piTable = this->piTable(&host, &source);
    CTestTable* pclTable = AsTest(piTable);
    const std::wstring key = pclTable->pszGetIdentification();

    // An operation in progress holds it: the host's release only counts.
    pclTable->AddRef();
    EXPECT_EQ(0, nReleaseTable(piTable));
    EXPECT_EQ(pclTable, RegisteredTable(key.c_str()));
    EXPECT_EQ(2u, pclTable->nGetRef());
    // The operation ends with the table's own release: it stays registered
    // and is handed out again.
    EXPECT_EQ(1u, pclTable->nRelease());
    EXPECT_EQ(pclTable, RegisteredTable(key.c_str()));
    EXPECT_EQ(piTable, this->piTable(&host, &source));

    // The driver's release that leaves only the registry's reference
    // unregisters the table; the host still holds it.
    pclTable->AddRef();
    EXPECT_EQ(0, Driver()->nReleaseTable(pclTable));
    EXPECT_EQ(nullptr, RegisteredTable(key.c_str()));
    EXPECT_EQ(0u, pclTable->nGetRef());
    EXPECT_EQ(1u, pclTable->nGetExternalRef());
    const int nLiveBefore = CTestTable::s_nLive;
    EXPECT_EQ(0, nReleaseTable(piTable));
    EXPECT_EQ(nLiveBefore - 1, CTestTable::s_nLive);
}

TEST_F(RegistryTables, AddingAnIdentificationTwiceChangesNothing)
{
    StandinConnectionDescription& host = Host();
    StandinDataSourceDescription& source = Source(L"CUSTOMER");
    INATable* piTable = this->piTable(&host, &source);
    CTestTable* pclRegistered = AsTest(piTable);
    CNAConnectionDescription* pclConnection = Registered(&host);

    CNATable* pclDuplicate =
        Driver()->_pclAllocTable(pclRegistered->pszGetIdentification(), &source, pclConnection, DriverError());
    pclDuplicate->AddRef();
    Driver()->_AddTable(pclDuplicate);
    EXPECT_EQ(pclRegistered, RegisteredTable(pclRegistered->pszGetIdentification()));
    EXPECT_EQ(1u, pclDuplicate->nGetRef());
    EXPECT_EQ(1u, pclRegistered->nGetRef());
    const int nLiveBefore = CTestTable::s_nLive;
    pclDuplicate->nRelease();
    EXPECT_EQ(nLiveBefore - 1, CTestTable::s_nLive);
    EXPECT_EQ(0, nReleaseTable(piTable));
}

TEST_F(RegistryTables, QueriesByContextAndName)
{
    StandinConnectionDescription& host = Host();
    CNAConnectionDescription* pclConnection = Driver()->_pclGetConnection(&host);
    StandinContext low(0x100000005ull);
    StandinContext high(0x200000005ull);
    StandinContext same(0x100000005ull, 99);

    EXPECT_EQ(nullptr, Driver()->_pclGetQuery(&low, L"Q", pclConnection, 0));
    // Made, not registered.
    CNATable* pclMade = Driver()->_pclGetQuery(&low, L"Q", pclConnection, 1);
    ASSERT_NE(nullptr, pclMade);
    EXPECT_EQ(nullptr, Driver()->_pclGetQuery(&low, L"Q", pclConnection, 0));
    EXPECT_EQ(nullptr, pclMade->piGetDataSourceNoRef());
    EXPECT_EQ(L"CTX=4294967301;Table=Q;" + Identification(&host), pclMade->pszGetIdentification());
    Driver()->_AddTable(pclMade);

    // Names differing only in case are one query; contexts whose ids differ
    // only above bit 31 are two; the data key plays no part.
    CNATable* pclFound = Driver()->_pclGetQuery(&same, L"q", pclConnection, 0);
    EXPECT_EQ(pclMade, pclFound);
    pclFound->nRelease();
    EXPECT_EQ(nullptr, Driver()->_pclGetQuery(&high, L"Q", pclConnection, 0));
    CNATable* pclHigh = Driver()->_pclGetQuery(&high, L"Q", pclConnection, 1);
    EXPECT_NE(pclMade, pclHigh);
    pclHigh->nRelease();

    EXPECT_EQ(1, Driver()->_bReleaseTable(pclMade));
    EXPECT_EQ(0, Driver()->_bReleaseTable(pclMade)) << "no longer registered";
    pclMade->nRelease();
    Driver()->nReleaseConnection(pclConnection);
}

TEST_F(RegistryTables, HostHeldQueryLeavesTheRegistryAndANewOneTakesItsKey)
{
    StandinConnectionDescription& host = Host();
    StandinContext context(7);
    CNAConnectionDescription* pclConnection = Driver()->_pclGetConnection(&host);
    CTestTable* pclFormer = HostHeldQuery(&context, L"Q", pclConnection);
    const std::wstring key = pclFormer->pszGetIdentification();

    // Closed for the context and unregistered while the host holds it.
    EXPECT_EQ(1, Driver()->_bReleaseTable(&context, pclFormer));
    ASSERT_EQ(1u, pclFormer->CloseCalls().size());
    EXPECT_EQ(&context, pclFormer->CloseCalls()[0]);
    EXPECT_EQ(0u, pclFormer->nGetRef());
    EXPECT_EQ(1u, pclFormer->nGetExternalRef());

    CTestTable* pclNewer = HostHeldQuery(&context, L"Q", pclConnection);
    ASSERT_NE(pclFormer, pclNewer);
    EXPECT_EQ(pclNewer, RegisteredTable(key.c_str()));
    // The former one's key is the newer one's now: not the former's to take.
    EXPECT_EQ(0, Driver()->_bReleaseTable(pclFormer));
    EXPECT_EQ(0, Driver()->nReleaseTable(pclFormer));
    EXPECT_EQ(pclNewer, RegisteredTable(key.c_str()));

    // The host lets the former one go: nothing holds it, it is destroyed
    // (the leak checker would find it otherwise) and the newer one stays.
    const int nLiveBefore = CTestTable::s_nLive;
    EXPECT_EQ(0, nReleaseTable(pclFormer));
    EXPECT_EQ(nLiveBefore - 1, CTestTable::s_nLive);
    EXPECT_EQ(pclNewer, RegisteredTable(key.c_str()));
    EXPECT_EQ(1u, pclNewer->nGetRef());

    EXPECT_EQ(0, nReleaseTable(pclNewer));
    EXPECT_EQ(nullptr, RegisteredTable(key.c_str()));
    EXPECT_EQ(nLiveBefore - 2, CTestTable::s_nLive);
    Driver()->nReleaseConnection(pclConnection);
}

TEST_F(RegistryTables, TablesOutliveTheDriverWhileTheHostHoldsThem)
{
    StandinConnectionDescription& host = Host();
    StandinDataSourceDescription& source = Source(L"CUSTOMER");
    ASSERT_EQ(1, nOpen(&host));
    INATable* piTable = this->piTable(&host, &source);
    const int nConnectionsBefore = CTestConnection::s_nLive;
    ReleaseDriver();
    // The table keeps its connection, and the driver's error object.
    EXPECT_EQ(nConnectionsBefore, CTestConnection::s_nLive);
    EXPECT_NE(nullptr, AsTest(piTable)->piGetLastError());
    EXPECT_EQ(0u, AsTest(piTable)->nGetRef());
    EXPECT_EQ(0, nReleaseTable(piTable));
    EXPECT_EQ(nConnectionsBefore - 1, CTestConnection::s_nLive);
}

TEST_F(RegistryTables, ModeForEveryTable)
{
    StandinContext context(3);
    const auto mode = static_cast<_eNA_HMODE>(2);
    // Without tables: 1, and the error is left as it was.
    DriverError()->AddError(NA_ERR_GENERAL, NA_SRC_DB_CONNECTION, 0, nullptr, 15u, L"");
    EXPECT_EQ(1, m_caller.Call<int>(kSlotHMode, static_cast<INAContext*>(&context), mode));
    EXPECT_EQ(15u, DriverError()->dwGetErrorId());

    StandinConnectionDescription& host = Host();
    INATable* apiTables[3];
    const wchar_t* names[3] = {L"A", L"B", L"C"};
    for (int i = 0; i < 3; ++i)
        apiTables[i] = piTable(&host, &Source(names[i]));
    // One refuses: 0, and every table is still asked.
    AsTest(apiTables[0])->SetHModeAnswer(0);
    EXPECT_EQ(0, m_caller.Call<int>(kSlotHMode, static_cast<INAContext*>(&context), mode));
    for (INATable* pi : apiTables) {
        ASSERT_EQ(1u, AsTest(pi)->ModeCalls().size());
        EXPECT_EQ(&context, AsTest(pi)->ModeCalls()[0].piContext);
        EXPECT_EQ(mode, AsTest(pi)->ModeCalls()[0].eMode);
    }
    AsTest(apiTables[0])->SetHModeAnswer(1);
    EXPECT_EQ(1, m_caller.Call<int>(kSlotHMode, static_cast<INAContext*>(&context), mode));

    // A table that leaves the registry while it is asked, and that the host
    // let go of meanwhile, lives until the walk is done with it.
    CTestTable* pclLeaving = AsTest(apiTables[1]);
    pclLeaving->OnHMode([this](CTestTable* pclTable) {
        EXPECT_EQ(1, Driver()->_bReleaseTable(pclTable));
        EXPECT_EQ(0, nReleaseTable(pclTable));
        EXPECT_EQ(1u, pclTable->nGetRef()) << "the walk's reference";
    });
    const int nLiveBefore = CTestTable::s_nLive;
    EXPECT_EQ(1, m_caller.Call<int>(kSlotHMode, static_cast<INAContext*>(&context), mode));
    EXPECT_EQ(nLiveBefore - 1, CTestTable::s_nLive);
    EXPECT_EQ(3u, AsTest(apiTables[2])->ModeCalls().size());
    EXPECT_EQ(0, nReleaseTable(apiTables[0]));
    EXPECT_EQ(0, nReleaseTable(apiTables[2]));
}

TEST_F(RegistryTables, TableSlotWithoutWhatItNeeds)
{
    StandinConnectionDescription& host = Host();
    EXPECT_EQ(nullptr, piTable(&host, nullptr));
    EXPECT_EQ(nullptr, Registered(&host)) << "the connection made for it is gone";
    EXPECT_EQ(nullptr, piTable(nullptr, &Source(L"CUSTOMER")));
    // A table factory that makes none (no memory): null, nothing left.
    Driver()->Choices().allocTable = [](const wchar_t*, INADataSourceDescription*, CNAConnectionDescription*,
                                        CNAError*) { return static_cast<CNATable*>(nullptr); };
    EXPECT_EQ(nullptr, piTable(&host, &Source(L"CUSTOMER")));
    EXPECT_EQ(nullptr, Registered(&host));
}

TEST_F(RegistryTables, FreeDataSourceClosesTheContextsQuery)
{
    StandinConnectionDescription& host = Host();
    StandinContext context(4);
    StandinContext other(5);
    CNAConnectionDescription* pclConnection = Driver()->_pclGetConnection(&host);
    CTestTable* pclQuery = HostHeldQuery(&context, L"Q", pclConnection);
    Driver()->nReleaseConnection(pclConnection);

    DriverError()->AddError(NA_ERR_GENERAL, NA_SRC_DB_CONNECTION, 0, nullptr, 15u, L"");
    pclQuery->SetHFermeAnswer(0);
    EXPECT_EQ(0, m_piDriver->bFreeDataSource(&context, L"q", &host));
    ASSERT_EQ(1u, pclQuery->CloseCalls().size());
    EXPECT_EQ(&context, pclQuery->CloseCalls()[0]);
    EXPECT_EQ(1u, pclQuery->nGetRef()) << "the look-up's reference dropped";
    EXPECT_EQ(15u, DriverError()->dwGetErrorId()) << "no reset";
    // Another context has no such query.
    EXPECT_EQ(1, m_piDriver->bFreeDataSource(&other, L"Q", &host));
    EXPECT_EQ(1u, pclQuery->CloseCalls().size());
    EXPECT_EQ(0, nReleaseTable(pclQuery));
}

}  // namespace
