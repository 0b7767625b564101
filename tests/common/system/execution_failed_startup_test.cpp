// Start-ups that reach no host: a host module without the "Execution" entry,
// and a record without a host module. Nothing is fetched, and runtime strings
// then fail with "no memory" instead of calling through a null allocator.
// No test in this process ever starts up successfully.
#include "common/system/information.h"
#include "common/text/str_mem_alloc.h"
#include "common/text/xy_string.h"
#include "tests/common/system/module_test_host.h"

namespace {

using vxtest::NoExecutionHost;
using vxtest::StartUp;

void ExpectNothingFetched()
{
    EXPECT_EQ(nullptr, CInformationModule::ms_piStrMemAlloc);
    EXPECT_EQ(nullptr, CInformationDLL::ms_piInfoLocale);
    EXPECT_EQ(nullptr, CInformationDLL::ms_piGlobalFactory);
    EXPECT_EQ(nullptr, CInformationDLL::ms_piLibShop);
    EXPECT_EQ(0u, CInformationDLL::ms_nCodeProduitExecution);
    EXPECT_EQ(20u, CInformationDLL::ms_dwVersionActive);
    unsigned char* data = nullptr;
    EXPECT_EQ(100, IStrMemAlloc::nAllocStrMem(&data, 8, 0));
    EXPECT_EQ(100, IStrMemAlloc::nReallocStrMem(&data, 8, 0));
    EXPECT_EQ(nullptr, data);
    CXYString<wchar_t> wide;
    EXPECT_EQ(100, wide.nAffecte(L"text"));
    EXPECT_STREQ(L"", wide.pszGet());
    CXYString<char> narrow;
    EXPECT_EQ(100, narrow.nConcat("text"));
    EXPECT_STREQ("", narrow.pszGet());
}

class FailedStartup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(NoExecutionHost().IsLoaded()) << NoExecutionHost().Error();
        vxtest::EndAll();
    }
    void TearDown() override { vxtest::EndAll(); }
};

TEST_F(FailedStartup, HostWithoutExecutionAnswersZeroAndKeepsTheObjectUncounted)
{
    static char libShop;
    EXPECT_EQ(0, StartUp(NoExecutionHost().Handle(), 32, reinterpret_cast<ILibShop*>(&libShop)));
    ASSERT_NE(nullptr, gpclExecutionDLL32);
    EXPECT_EQ(NoExecutionHost().Handle(), gpclExecutionDLL32->m_hInstance);
    EXPECT_EQ(nullptr, gpclExecutionDLL32->m_pfnExecution);
    EXPECT_EQ(0u, CBaseExecutionDLL::ms_nNbInitialisation);
    ExpectNothingFetched();

    // An end at count 0 still frees the object.
    EXPECT_EQ(1, Execution(4875, nullptr));
    EXPECT_EQ(nullptr, gpclExecutionDLL32);
}

TEST_F(FailedStartup, LaterStartupOnlyCountsEvenWithAWorkingHost)
{
    ASSERT_EQ(0, StartUp(NoExecutionHost().Handle()));
    ASSERT_TRUE(vxtest::Host().IsLoaded());
    vxtest::Host().Reset();
    EXPECT_EQ(1, StartUp(vxtest::Host().Handle()));
    EXPECT_EQ(1u, CBaseExecutionDLL::ms_nNbInitialisation);
    EXPECT_TRUE(vxtest::Host().Log().empty()) << "the internal start-up is not tried again";
    ExpectNothingFetched();
    // The object never reached the host, so unloading tells it nothing.
    CBaseExecutionDLL::s_TermineDLL();
    EXPECT_NE(nullptr, gpclExecutionDLL32);
    EXPECT_EQ(1, Execution(4875, nullptr));
    EXPECT_EQ(nullptr, gpclExecutionDLL32);
}

TEST_F(FailedStartup, RecordWithoutHostModuleStartsButFetchesNothing)
{
    static char libShop;
    EXPECT_EQ(1, StartUp(nullptr, 32, reinterpret_cast<ILibShop*>(&libShop)));
    EXPECT_EQ(1u, CBaseExecutionDLL::ms_nNbInitialisation);
    EXPECT_EQ(nullptr, CBaseExecutionDLL::s_hGetHinstanceVM());
    ExpectNothingFetched();
    EXPECT_EQ(0, CBaseExecutionDLL::s_eGetModeSmartphone());
    wchar_t buffer[4];
    EXPECT_EQ(0, CBaseExecutionDLL::s_bRemplitPileC(0, buffer, 4, 0));
    EXPECT_EQ(1, Execution(4963, nullptr)) << "no factory";
}

TEST_F(FailedStartup, MissingRecordIsRefused)
{
    EXPECT_EQ(0, Execution(3985, nullptr));
    EXPECT_EQ(nullptr, gpclExecutionDLL32);
    EXPECT_EQ(0u, CBaseExecutionDLL::ms_nNbInitialisation);
}

}  // namespace
