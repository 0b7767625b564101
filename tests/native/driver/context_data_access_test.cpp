// A host context's registry of data accesses: one per data key, the mode
// given by logical name, the finders by database table name and by alias on
// one connection, removal, closing them all, and the end of the context.
#include <gtest/gtest.h>

#include <vector>

#include "tests/native/driver/registry_fixture.h"

namespace {

constexpr unsigned kNoMemoryErrno = 12;

class ContextDataAccess : public vxtest::RegistryTest
{
protected:
    void SetUp() override
    {
        vxtest::RegistryTest::SetUp();
        m_pclConnection = Driver()->_pclGetConnection(&Host(L"FIRST"));
        m_pclOther = Driver()->_pclGetConnection(&Host(L"SECOND"));
        m_pclContext = Driver()->pclGetContext(&m_host, nullptr);
        ASSERT_NE(nullptr, m_pclContext);
    }
    void TearDown() override
    {
        if (m_piDriver != nullptr) {
            if (m_pclContext != nullptr)
                Driver()->nReleaseContext(&m_host, m_pclContext);
            Driver()->nReleaseConnection(m_pclConnection);
            Driver()->nReleaseConnection(m_pclOther);
        }
        vxtest::RegistryTest::TearDown();
    }

    // The data access of a data key on a data source of that name, made
    // when missing; the test's reference is dropped (the context keeps its
    // own).
    CTestDataAccess* DataAccess(unsigned long dwDataID, const wchar_t* pszSource,
                                CNAConnectionDescription* pclConnection = nullptr)
    {
        m_host.SetDataID(dwDataID);
        CNADataAccess* pclDataAccess = m_pclContext->pclGetDataAccess(
            &m_host, pclConnection != nullptr ? pclConnection : m_pclConnection, &Source(pszSource), nullptr);
        EXPECT_NE(nullptr, pclDataAccess);
        pclDataAccess->nRelease();
        return static_cast<CTestDataAccess*>(pclDataAccess);
    }

    StandinContext m_host{77, 1};
    CNAConnectionDescription* m_pclConnection = nullptr;
    CNAConnectionDescription* m_pclOther = nullptr;
    CNAContext* m_pclContext = nullptr;
};

TEST_F(ContextDataAccess, OnePerDataKey)
{
    StandinDataSourceDescription& source = Source(L"CUSTOMER");
    int bNew = 7;
    m_host.SetDataID(5);
    CNADataAccess* pclFirst = m_pclContext->pclGetDataAccess(&m_host, m_pclConnection, &source, &bNew);
    ASSERT_NE(nullptr, pclFirst);
    EXPECT_EQ(1, bNew);
    EXPECT_EQ(2u, pclFirst->m_dwRefCount) << "the context and the caller";
    EXPECT_EQ(1u, m_pclContext->dwGetNbDataAccess());
    EXPECT_EQ(m_pclContext, pclFirst->pclGetContextNoRef());
    EXPECT_EQ(m_pclConnection, pclFirst->pclGetConnectionNoRef());
    EXPECT_EQ(m_pclContext->pclGetErrorNoRef(), pclFirst->pclGetErrorNoRef());
    EXPECT_EQ(&source, pclFirst->piGetDataSourceNoRef());
    EXPECT_EQ(1, source.Refs().nBalance());
    EXPECT_STREQ(L"CUSTOMER", pclFirst->pszGetLogicalName());
    EXPECT_EQ(0, pclFirst->bIsOpened());

    // The same data key: the same data access, whatever else is given.
    EXPECT_EQ(pclFirst, m_pclContext->pclGetDataAccess(&m_host, m_pclOther, nullptr, &bNew));
    EXPECT_EQ(0, bNew);
    EXPECT_EQ(pclFirst, m_pclContext->pclFindDataAccess(&m_host));
    EXPECT_EQ(4u, pclFirst->m_dwRefCount);
    pclFirst->nRelease();
    pclFirst->nRelease();

    // Keys differing only above bit 31 are two data keys.
    m_host.SetDataID(5 + (1ul << 32));
    EXPECT_EQ(nullptr, m_pclContext->pclFindDataAccess(&m_host));
    CNADataAccess* pclSecond = m_pclContext->pclGetDataAccess(&m_host, m_pclConnection, nullptr, &bNew);
    EXPECT_NE(pclFirst, pclSecond);
    EXPECT_EQ(1, bNew);
    EXPECT_STREQ(L"", pclSecond->pszGetLogicalName()) << "no data source";
    EXPECT_STREQ(L"", pclSecond->pszGetDBTableName());
    pclSecond->nRelease();
    EXPECT_EQ(2u, m_pclContext->dwGetNbDataAccess());
    pclFirst->nRelease();
}

TEST_F(ContextDataAccess, NoMemoryForADataAccess)
{
    Driver()->Choices().allocDataAccess = [](INADataSourceDescription*, CNAConnectionDescription*, CNAError*) {
        return static_cast<CNADataAccess*>(nullptr);
    };
    int bNew = 7;
    EXPECT_EQ(nullptr, m_pclContext->pclGetDataAccess(&m_host, m_pclConnection, nullptr, &bNew));
    EXPECT_EQ(0, bNew);
    CNAError* pclError = m_pclContext->pclGetErrorNoRef();
    EXPECT_EQ(NA_LEVEL_ERROR, pclError->eGetErrorLevel());
    EXPECT_EQ(kNoMemoryErrno, pclError->pclGetXError()->dwGetSystemErrorCode());
    EXPECT_EQ(NA_LEVEL_NOERROR, DriverError()->eGetErrorLevel()) << "the context's error, not the driver's";
}

TEST_F(ContextDataAccess, ModeByLogicalName)
{
    CTestDataAccess* pclUpper = DataAccess(1, L"CUSTOMER");
    CTestDataAccess* pclAccents = DataAccess(2, L"Cüstomer");
    CTestDataAccess* pclOther = DataAccess(3, L"ORDERS");
    const auto mode = static_cast<_eNA_HMODE>(3);
    EXPECT_EQ(1, m_pclContext->bHMode(L"customer", mode));
    EXPECT_EQ(mode, pclUpper->eGetAccessMode());
    EXPECT_EQ(mode, pclAccents->eGetAccessMode());
    EXPECT_EQ(1, static_cast<int>(pclOther->eGetAccessMode()));
    EXPECT_EQ(mode, m_pclContext->eGetDefaultMode());

    // No match: 1, and the default mode still changes.
    const auto other = static_cast<_eNA_HMODE>(4);
    EXPECT_EQ(1, m_pclContext->bHMode(L"NOWHERE", other));
    EXPECT_EQ(other, m_pclContext->eGetDefaultMode());
    EXPECT_EQ(mode, pclUpper->eGetAccessMode());
    m_pclContext->_SetDefaultMode(mode);
    EXPECT_EQ(mode, m_pclContext->eGetDefaultMode());
}

TEST_F(ContextDataAccess, FindersStayOnTheirConnection)
{
    CTestDataAccess* pclOtherConnection = DataAccess(1, L"CUSTOMER", m_pclOther);
    pclOtherConnection->SetAliasName(L"C1");
    EXPECT_EQ(nullptr, m_pclContext->pclFindDataAccessByDBTableName(m_pclConnection, L"CUSTOMER"));
    EXPECT_EQ(nullptr, m_pclContext->pclFindDataAccessByAliasName(m_pclConnection, L"C1"));

    CTestDataAccess* pclMine = DataAccess(2, L"CUSTOMER");
    pclMine->SetAliasName(L"Alias");
    CNADataAccess* pclFound = m_pclContext->pclFindDataAccessByDBTableName(m_pclConnection, L"customer");
    EXPECT_EQ(pclMine, pclFound);
    EXPECT_EQ(2u, pclFound->m_dwRefCount) << "with a reference";
    pclFound->nRelease();
    pclFound = m_pclContext->pclFindDataAccessByAliasName(m_pclConnection, L"ALIAS");
    EXPECT_EQ(pclMine, pclFound);
    pclFound->nRelease();
    EXPECT_EQ(nullptr, m_pclContext->pclFindDataAccessByAliasName(m_pclConnection, L"C1"));
    pclFound = m_pclContext->pclFindDataAccessByDBTableName(m_pclOther, L"CUSTOMER");
    EXPECT_EQ(pclOtherConnection, pclFound);
    pclFound->nRelease();
    EXPECT_EQ(1u, pclMine->m_dwRefCount);
    EXPECT_EQ(1u, pclOtherConnection->m_dwRefCount);
}

TEST_F(ContextDataAccess, RemovalByDataKey)
{
    CTestDataAccess* pclFirst = DataAccess(1, L"A");
    CTestDataAccess* pclSecond = DataAccess(2, L"B");
    pclSecond->m_dwRefCount++;
    // The second argument is not what is removed: the data key decides.
    m_host.SetDataID(2);
    m_pclContext->RemoveDataAccess(&m_host, pclFirst);
    EXPECT_EQ(1u, m_pclContext->dwGetNbDataAccess());
    EXPECT_EQ(nullptr, m_pclContext->pclFindDataAccess(&m_host));
    EXPECT_EQ(1u, pclSecond->m_dwRefCount);
    m_host.SetDataID(1);
    EXPECT_EQ(pclFirst, m_pclContext->pclFindDataAccess(&m_host));
    pclFirst->nRelease();
    m_pclContext->RemoveDataAccess(&m_host, nullptr);
    m_pclContext->RemoveDataAccess(&m_host, nullptr);
    EXPECT_EQ(0u, m_pclContext->dwGetNbDataAccess());
    pclSecond->nRelease();
}

TEST_F(ContextDataAccess, CloseAllClosesTheOpenOnesBeforeLettingGo)
{
    CTestDataAccess* pclOpen = DataAccess(1, L"A");
    CTestDataAccess* pclClosed = DataAccess(2, L"B");
    CTestDataAccess* pclHeld = DataAccess(3, L"C");
    CTestDataAccess* pclGone = DataAccess(4, L"D");
    pclOpen->SetOpened(true);
    pclHeld->SetOpened(true);
    // Other holders (their tables) keep three of them.
    for (CTestDataAccess* p : {pclOpen, pclClosed, pclHeld})
        p->m_dwRefCount++;
    const int nLiveBefore = CTestDataAccess::s_nLive;
    (void)pclGone;

    m_pclContext->CloseAllDataAccess();
    EXPECT_EQ(0u, m_pclContext->dwGetNbDataAccess());
    EXPECT_EQ(nLiveBefore - 1, CTestDataAccess::s_nLive) << "the one only the context held";
    for (CTestDataAccess* p : {pclOpen, pclHeld}) {
        ASSERT_EQ(1u, p->CloseRefCounts().size());
        EXPECT_EQ(2u, p->CloseRefCounts()[0]) << "closed while the context still held it";
        EXPECT_EQ(0, p->bIsOpened());
    }
    EXPECT_TRUE(pclClosed->CloseRefCounts().empty()) << "a closed one is not closed again";
    for (CTestDataAccess* p : {pclOpen, pclClosed, pclHeld}) {
        EXPECT_EQ(1u, p->m_dwRefCount);
        p->nRelease();
    }
    EXPECT_EQ(nLiveBefore - 4, CTestDataAccess::s_nLive);
}

TEST_F(ContextDataAccess, EndOfTheContextReleasesItsDataAccesses)
{
    DataAccess(1, L"A");
    CTestDataAccess* pclHeld = DataAccess(2, L"B");
    pclHeld->m_dwRefCount++;
    CNAError* pclError = m_pclContext->pclGetErrorNoRef();
    EXPECT_EQ(3u, pclError->nGetRef()) << "the context and its two data accesses";
    const int nLiveBefore = CTestDataAccess::s_nLive;
    // Only the registry holds the context now; the data accesses hold the
    // connection.
    m_pclContext->nRelease();
    m_pclContext = nullptr;
    Driver()->nReleaseConnection(m_pclConnection);
    Driver()->nReleaseConnection(m_pclOther);

    // The driver ends: the context goes with the data accesses nobody else
    // holds.
    ReleaseDriver();
    EXPECT_EQ(nLiveBefore - 1, CTestDataAccess::s_nLive);
    EXPECT_EQ(1u, pclError->nGetRef()) << "only the held data access's";
    pclHeld->nRelease();
    EXPECT_EQ(nLiveBefore - 2, CTestDataAccess::s_nLive);
}

}  // namespace
