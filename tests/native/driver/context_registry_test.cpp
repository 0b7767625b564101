// The driver's context registry: one context per host context id (all 64
// bits), made on first demand and unregistered by the release that finds it
// without data access, and the host's slots 10, 17 and 32.
#include <gtest/gtest.h>

#include "tests/native/abi_slots.h"
#include "tests/native/driver/registry_fixture.h"

namespace {

using vxtest::RegistryTest;

constexpr unsigned kNoMemoryErrno = 12;

class ContextRegistry : public RegistryTest
{
protected:
    // The registered context of the host context, without a reference.
    CNAContext* Registered(INAContext* piContext)
    {
        CNAContext* pclContext = Driver()->pclFindContext(piContext);
        if (pclContext != nullptr)
            pclContext->nRelease();
        return pclContext;
    }
    int nCloseContext(INAContext* piContext) { return m_caller.Call<int>(kSlotCloseContext, piContext); }
    void RaiseError() { DriverError()->AddError(NA_ERR_GENERAL, NA_SRC_DB_CONNECTION, 0, nullptr, 15u, L""); }
};

TEST(ContextSlots, Order)
{
    vxtest::ExpectSlots("CNAContext", {
        VX_SLOT(CNAContext, nGetVersion, 3),
        VX_SLOT(CNAContext, nGetCompatSince, 4),
        VX_SLOT(CNAContext, _pclAllocDataAccess, 5),
    });
    EXPECT_EQ(6, VX_SLOT_COUNT(CNAContext));
}

TEST_F(ContextRegistry, MadeOnceFoundAgainAndLetGoWithoutDataAccess)
{
    StandinContext host(0x123456789ull);
    EXPECT_EQ(nullptr, Driver()->pclFindContext(&host));
    int bNew = 7;
    CNAContext* pclContext = Driver()->pclGetContext(&host, &bNew);
    ASSERT_NE(nullptr, pclContext);
    EXPECT_EQ(1, bNew);
    EXPECT_EQ(0x123456789ull, pclContext->llGetContextID());
    EXPECT_EQ(2u, pclContext->m_dwRefCount) << "the registry and the caller";
    EXPECT_EQ(2, pclContext->nGetVersion());
    EXPECT_EQ(2, pclContext->nGetCompatSince());
    EXPECT_EQ(1, static_cast<int>(pclContext->eGetDefaultMode()));
    EXPECT_STREQ(L"", pclContext->pszGetNextLogicalName());
    // Its own error object, from the driver.
    ASSERT_NE(nullptr, pclContext->pclGetErrorNoRef());
    EXPECT_NE(DriverError(), pclContext->pclGetErrorNoRef());
    EXPECT_EQ(1u, pclContext->pclGetErrorNoRef()->nGetRef());

    EXPECT_EQ(pclContext, Driver()->pclGetContext(&host, &bNew));
    EXPECT_EQ(0, bNew);
    EXPECT_EQ(pclContext, Driver()->pclFindContext(&host));
    EXPECT_EQ(4u, pclContext->m_dwRefCount);

    // The data key plays no part; the whole 64-bit id does.
    StandinContext sameId(0x123456789ull, 42);
    StandinContext lowBitsOnly(0x23456789ull);
    EXPECT_EQ(pclContext, Registered(&sameId));
    EXPECT_EQ(nullptr, Registered(&lowBitsOnly));

    // Without data access, a release through the driver unregisters it.
    EXPECT_EQ(0, Driver()->nReleaseContext(&host, pclContext));
    EXPECT_EQ(nullptr, Registered(&host));
    EXPECT_EQ(2u, pclContext->m_dwRefCount);
    EXPECT_EQ(0, Driver()->nReleaseContext(&host, pclContext)) << "no longer registered";
    EXPECT_EQ(1u, pclContext->m_dwRefCount);
    pclContext->nRelease();

    // A new context is unregistered until the driver registers it.
    CNAContext* pclLoose = Driver()->pclAllocContext();
    EXPECT_EQ(UINT64_MAX, pclLoose->llGetContextID());
    REF_AddRef(pclLoose);
    pclLoose->nRelease();
}

TEST_F(ContextRegistry, ContextWithDataAccessesStaysRegistered)
{
    StandinContext host(9, 100);
    CNAConnectionDescription* pclConnection = Driver()->_pclGetConnection(&Host());
    CNAContext* pclContext = Driver()->pclGetContext(&host, nullptr);
    int bNew = 0;
    CNADataAccess* pclDataAccess = pclContext->pclGetDataAccess(&host, pclConnection, nullptr, &bNew);
    ASSERT_NE(nullptr, pclDataAccess);
    pclDataAccess->nRelease();

    EXPECT_EQ(1, Driver()->nReleaseContext(&host, pclContext)) << "the registry's reference is left";
    EXPECT_EQ(pclContext, Registered(&host));

    // The host closes the context: its data accesses are closed and it goes.
    static_cast<CTestDataAccess*>(pclDataAccess)->SetOpened(true);
    const int nDataAccessesBefore = CTestDataAccess::s_nLive;
    RaiseError();
    EXPECT_EQ(1, nCloseContext(&host));
    EXPECT_EQ(NA_LEVEL_NOERROR, DriverError()->eGetErrorLevel()) << "slot 17 resets the error";
    EXPECT_EQ(nullptr, Registered(&host));
    EXPECT_EQ(nDataAccessesBefore - 1, CTestDataAccess::s_nLive);

    // Nothing registered for it now.
    EXPECT_EQ(0, nCloseContext(&host));
    Driver()->nReleaseConnection(pclConnection);
}

TEST_F(ContextRegistry, NoMemoryForAContext)
{
    Driver()->Choices().allocContext = [] { return static_cast<CNAContext*>(nullptr); };
    StandinContext host(3);
    int bNew = 7;
    EXPECT_EQ(nullptr, Driver()->pclGetContext(&host, &bNew));
    EXPECT_EQ(0, bNew);
    EXPECT_EQ(NA_LEVEL_ERROR, DriverError()->eGetErrorLevel());
    EXPECT_EQ(kNoMemoryErrno, DriverError()->pclGetXError()->dwGetSystemErrorCode());
    EXPECT_EQ(nullptr, Driver()->pclGetContext(nullptr, &bNew));
}

TEST_F(ContextRegistry, NextLogicalNameOnANewContextStays)
{
    StandinContext host(21);
    RaiseError();
    m_piDriver->SetNextLogicalName(&host, L"ALIAS");
    EXPECT_EQ(15u, DriverError()->dwGetErrorId()) << "no reset";
    // Made for the name, registered, and kept with it although it has no
    // data access.
    CNAContext* pclContext = Registered(&host);
    ASSERT_NE(nullptr, pclContext);
    EXPECT_STREQ(L"ALIAS", pclContext->pszGetNextLogicalName());
    EXPECT_EQ(1u, pclContext->m_dwRefCount);

    m_piDriver->SetNextLogicalName(&host, L"OTHER");
    EXPECT_EQ(pclContext, Registered(&host));
    EXPECT_STREQ(L"OTHER", pclContext->pszGetNextLogicalName());
    EXPECT_EQ(1, nCloseContext(&host));
    EXPECT_EQ(nullptr, Registered(&host));
}

TEST_F(ContextRegistry, CopyContextIsNotDone)
{
    StandinContext from(1);
    StandinContext to(2);
    RaiseError();
    EXPECT_EQ(0, m_caller.Call<int>(kSlotCopyContext, static_cast<INACopyCtx*>(nullptr),
                                    static_cast<INAContext*>(&from), static_cast<INAContext*>(&to), 0u));
    EXPECT_EQ(15u, DriverError()->dwGetErrorId()) << "nothing recorded, nothing reset";
    EXPECT_EQ(nullptr, Registered(&from));
    EXPECT_EQ(nullptr, Registered(&to));
}

TEST_F(ContextRegistry, DriverEndReleasesContextsAndTheirDataAccesses)
{
    StandinContext first(1);
    StandinContext second(2);
    CNAConnectionDescription* pclConnection = Driver()->_pclGetConnection(&Host());
    for (StandinContext* pHost : {&first, &second}) {
        CNAContext* pclContext = Driver()->pclGetContext(pHost, nullptr);
        CNADataAccess* pclDataAccess = pclContext->pclGetDataAccess(pHost, pclConnection, nullptr, nullptr);
        pclDataAccess->nRelease();
        pclContext->nRelease();
    }
    Driver()->nReleaseConnection(pclConnection);
    EXPECT_EQ(m_nDataAccessesBefore + 2, CTestDataAccess::s_nLive);
    ReleaseDriver();
    EXPECT_EQ(m_nDataAccessesBefore, CTestDataAccess::s_nLive);
}

}  // namespace
