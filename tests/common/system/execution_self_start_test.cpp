// Start and end of the module without host commands. The first test needs a
// process in which nothing has been fetched yet and so must run first.
#include "common/system/information.h"
#include "common/text/str_mem_alloc.h"
#include "tests/common/system/module_test_host.h"

namespace {

using vxtest::Address;
using vxtest::Host;
using vxtest::NoExecutionHost;

class SelfStart : public vxtest::ModuleTest
{
protected:
    void TearDown() override
    {
        CBaseExecutionDLL::s_TermineMoiMeme();
        ModuleTest::TearDown();
    }
};

TEST_F(SelfStart, WithoutHostEntryFailsKeepsTheObjectAndFetchesNothing)
{
    ASSERT_TRUE(NoExecutionHost().IsLoaded()) << NoExecutionHost().Error();
    EXPECT_EQ(0, CBaseExecutionDLL::s_bInitialiseMoiMeme(NoExecutionHost().Handle()));
    ASSERT_NE(nullptr, gpclExecutionDLL32);
    EXPECT_EQ(NoExecutionHost().Handle(), gpclExecutionDLL32->m_hInstance);
    EXPECT_EQ(nullptr, gpclExecutionDLL32->m_pfnExecution);
    EXPECT_EQ(nullptr, CInformationModule::ms_piStrMemAlloc);
    EXPECT_EQ(nullptr, CInformationDLL::ms_piInfoLocale);
    unsigned char* data = nullptr;
    EXPECT_EQ(100, IStrMemAlloc::nAllocStrMem(&data, 8, 0));

    // The object exists, so a second self-start answers 1 without trying again.
    EXPECT_EQ(1, CBaseExecutionDLL::s_bInitialiseMoiMeme(Host().Handle()));
    EXPECT_TRUE(Host().Log().empty());

    CBaseExecutionDLL::s_TermineMoiMeme();
    EXPECT_EQ(nullptr, gpclExecutionDLL32);
    CBaseExecutionDLL::s_TermineMoiMeme();  // none left: nothing happens
}

TEST_F(SelfStart, AsksOnlyTheServicesAndNeverTellsTheHostItUnloads)
{
    const uint32_t codeBefore = CInformationDLL::ms_nCodeProduitExecution;
    const uint32_t versionBefore = CInformationDLL::ms_dwVersionActive;
    CInformationDLL::ms_piLibShop = nullptr;
    Host().SetAnswer(8, 0x7FFFFFFF);

    ASSERT_EQ(1, CBaseExecutionDLL::s_bInitialiseMoiMeme(Host().Handle()));
    EXPECT_EQ((std::vector<int>{9, 10, 12, 13, 15}), Host().Queries());
    EXPECT_EQ(Host().Answer(13), Address(CInformationModule::ms_piStrMemAlloc));
    EXPECT_EQ(Host().Answer(12), Address(CInformationDLL::ms_piInfoLocale));
    EXPECT_EQ(Host().Answer(9), Address(CInformationDLL::ms_piGlobalFactory));
    EXPECT_EQ(nullptr, CInformationDLL::ms_piLibShop);
    EXPECT_EQ(codeBefore, CInformationDLL::ms_nCodeProduitExecution);
    EXPECT_EQ(versionBefore, CInformationDLL::ms_dwVersionActive);
    ASSERT_NE(nullptr, gpclExecutionDLL32);
    EXPECT_EQ(1u, gpclExecutionDLL32->m_bTermine);
    EXPECT_EQ(0u, CBaseExecutionDLL::ms_nNbInitialisation);
    EXPECT_EQ(Host().Handle(), CBaseExecutionDLL::s_hGetHinstanceVM());

    EXPECT_EQ(1, CBaseExecutionDLL::s_bInitialiseMoiMeme(Host().Handle()));
    EXPECT_EQ(5u, Host().Queries().size());

    // The unload step leaves a self-started object alone.
    CBaseExecutionDLL::s_TermineDLL();
    EXPECT_EQ(0u, Host().CountOf(3052));
    EXPECT_NE(nullptr, gpclExecutionDLL32);
    CBaseExecutionDLL::s_TermineMoiMeme();
    EXPECT_EQ(nullptr, gpclExecutionDLL32);
    EXPECT_EQ(0u, Host().CountOf(3052));
}

TEST_F(SelfStart, WithoutHandleStartsAlone)
{
    ASSERT_EQ(1, CBaseExecutionDLL::s_bInitialiseMoiMeme(nullptr));
    ASSERT_NE(nullptr, gpclExecutionDLL32);
    EXPECT_EQ(1u, gpclExecutionDLL32->m_bTermine);
    EXPECT_EQ(nullptr, CBaseExecutionDLL::s_hGetHinstanceVM());
    EXPECT_TRUE(Host().Log().empty());
}

}  // namespace
