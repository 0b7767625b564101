// Start-up by the host (command 3985): the queries, their order and what is
// kept of each answer. The first test needs the process's initial values and
// so must run first; the others do not depend on their order.
#include <cstring>
#include <cwchar>

#include "common/system/information.h"
#include "common/text/str_mem_alloc.h"
#include "tests/common/system/module_test_host.h"
#include "tests/host/kit/standin_str_mem_alloc.h"

namespace {

using vxtest::Address;
using vxtest::Host;
using vxtest::StartUp;

class ExecutionStartup : public vxtest::ModuleTest
{
};

TEST_F(ExecutionStartup, FreshProcessHoldsInitialValuesAndKeepsVersion20AgainstALowerAnswer)
{
    EXPECT_EQ(nullptr, CInformationModule::ms_piStrMemAlloc);
    EXPECT_EQ(nullptr, CInformationDLL::ms_piInfoLocale);
    EXPECT_EQ(nullptr, CInformationDLL::ms_piLibShop);
    EXPECT_EQ(nullptr, CInformationDLL::ms_piGlobalFactory);
    EXPECT_EQ(0u, CInformationDLL::ms_nCodeProduitExecution);
    EXPECT_EQ(0u, CInformationDLL::ms_nCodeProduitReel);
    EXPECT_EQ(12u, CInformationDLL::ms_nLangueInterne);
    EXPECT_STREQ(L"Quilan", CInformationDLL::ms_pszNomProduit);
    EXPECT_EQ(0u, CInformationDLL::ms_dwOptions);
    EXPECT_EQ(20u, CInformationDLL::ms_dwVersionActive);
    EXPECT_EQ(0u, CBaseExecutionDLL::ms_nNbInitialisation);

    // An end with no start-up before it touches nothing.
    EXPECT_EQ(1, Execution(4875, nullptr));
    EXPECT_TRUE(Host().Log().empty());

    Host().SetAnswer(8, 19);
    ASSERT_EQ(1, StartUp());
    EXPECT_EQ(20u, CInformationDLL::ms_dwVersionActive);
}

TEST_F(ExecutionStartup, AsksInOrderAndKeepsEachAnswerAtItsWidth)
{
    Host().SetAnswer(1, 0x7FFFFFFF00000065ll);
    Host().SetAnswer(2, 0x0000000100000007ll);
    Host().SetAnswer(5, static_cast<int64_t>(0xFFFFFFFF00000069ull));
    Host().SetAnswer(4, static_cast<int64_t>(0x8877665544332211ull));

    ASSERT_EQ(1, StartUp());
    EXPECT_EQ(vxtest::kFullStartupQueries, Host().Queries());
    EXPECT_EQ(Host().Log().size(), Host().Queries().size()) << "only 3053 queries at start-up";
    EXPECT_EQ(1u, CBaseExecutionDLL::ms_nNbInitialisation);

    EXPECT_EQ(0x65u, CInformationDLL::ms_nCodeProduitExecution);
    EXPECT_EQ(7u, CInformationDLL::ms_nLangueInterne);
    EXPECT_EQ(0x69u, CInformationDLL::ms_nCodeProduitReel);
    EXPECT_EQ(0x8877665544332211ull, CInformationDLL::ms_dwOptions);
    EXPECT_EQ(Host().Answer(3), Address(CInformationDLL::ms_pszNomProduit));
    EXPECT_STREQ(L"Standin", CInformationDLL::ms_pszNomProduit);
    EXPECT_EQ(Host().Answer(7), Address(CInformationDLL::ms_piLibShop));
    EXPECT_EQ(Host().Answer(9), Address(CInformationDLL::ms_piGlobalFactory));
    EXPECT_EQ(Host().Answer(10), Address(CInformationDLL::ms_piCollecteurTopo));
    EXPECT_EQ(Host().Answer(12), Address(CInformationDLL::ms_piInfoLocale));
    EXPECT_EQ(Host().Answer(14), Address(CInformationDLL::ms_pbMultithread));
    EXPECT_EQ(Host().Answer(15), Address(CInformationDLL::ms_piInformationComposante));
    EXPECT_EQ(Host().Answer(13), Address(CInformationModule::ms_piStrMemAlloc));
    EXPECT_EQ(Host().Handle(), CBaseExecutionDLL::s_hGetHinstanceVM());

    // Runtime strings now take their blocks from the host's allocator.
    unsigned char* data = nullptr;
    ASSERT_EQ(0, IStrMemAlloc::nAllocStrMem(&data, 16, 0));
    EXPECT_EQ(1, Host().Allocator()->LiveBlocks());
    uint32_t zero = 0;
    std::memcpy(data - 12, &zero, 4);  // the last reference is gone
    IStrMemAlloc::ReleaseStrMem(data);
    EXPECT_EQ(0, Host().Allocator()->LiveBlocks());
}

TEST_F(ExecutionStartup, LibShopComesFromTheRecordOnlyWhenItsSizeCoversIt)
{
    static char recordLibShop;
    auto* const fromRecord = reinterpret_cast<ILibShop*>(&recordLibShop);
    struct Case { uint64_t size; ILibShop* inRecord; bool asksHost; };
    const Case cases[] = {
        {32, fromRecord, false},
        {16, fromRecord, false},
        {15, fromRecord, true},
        {0, fromRecord, true},
        {32, nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "size " << c.size << (c.inRecord ? " with" : " without")
                                        << " ILibShop in the record");
        vxtest::EndAll();
        Host().Reset();
        CInformationDLL::ms_piLibShop = nullptr;
        ASSERT_EQ(1, StartUp(Host().Handle(), c.size, c.inRecord));
        std::vector<int> expected = vxtest::kFullStartupQueries;
        if (!c.asksHost)
            expected.erase(expected.begin() + 5);  // no 7
        EXPECT_EQ(expected, Host().Queries());
        EXPECT_EQ(c.asksHost ? Host().Answer(7) : Address(fromRecord), Address(CInformationDLL::ms_piLibShop));
    }
}

TEST_F(ExecutionStartup, ActiveVersionKeepsTheLargerUnsignedValue)
{
    const uint32_t start = CInformationDLL::ms_dwVersionActive;
    ASSERT_LT(start, 0x7FFFFFF0u);
    struct Step { int64_t answer; uint32_t kept; };
    const Step steps[] = {
        {start - 1, start},
        {start + 6, start + 6},
        {(int64_t{1} << 32) + 5, start + 6},   // compared after truncation
        {0x80000000ll, 0x80000000u},            // larger as unsigned
        {0x7FFFFFFFll, 0x80000000u},
        {-1, 0xFFFFFFFFu},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "answer " << s.answer);
        vxtest::EndAll();
        Host().SetAnswer(8, s.answer);
        ASSERT_EQ(1, StartUp());
        EXPECT_EQ(s.kept, CInformationDLL::ms_dwVersionActive);
    }
}

}  // namespace
