#include <gtest/gtest.h>

#include <cstring>

#include "common/system/information.h"
#include "common/text/str_mem_alloc.h"
#include "tests/host/kit/standin_str_mem_alloc.h"

namespace {

class StrMemRouting : public ::testing::Test
{
protected:
    void SetUp() override { CInformationModule::ms_piStrMemAlloc = &m_alloc; }
    void TearDown() override { CInformationModule::ms_piStrMemAlloc = nullptr; }
    StandinStrMemAlloc m_alloc;
};

TEST_F(StrMemRouting, VersionSelectsPlainOrExSlots)
{
    struct Case { int version; StandinStrMemAlloc::Slot alloc, realloc; bool flagsSeen; };
    const Case cases[] = {
        {1, StandinStrMemAlloc::kAlloc, StandinStrMemAlloc::kRealloc, false},
        {2, StandinStrMemAlloc::kAllocEx, StandinStrMemAlloc::kReallocEx, true},
        {3, StandinStrMemAlloc::kAllocEx, StandinStrMemAlloc::kReallocEx, true},
    };
    for (const Case& c : cases) {
        m_alloc.Reset();
        m_alloc.SetVersion(c.version);
        unsigned char* data = nullptr;
        ASSERT_EQ(0, IStrMemAlloc::nAllocStrMem(&data, 8, STRMEM_EXACT_SIZE));
        ASSERT_EQ(0, IStrMemAlloc::nReallocStrMem(&data, 32, STRMEM_EXACT_SIZE));
        EXPECT_EQ(1, m_alloc.Calls(c.alloc)) << "version " << c.version;
        EXPECT_EQ(1, m_alloc.Calls(c.realloc)) << "version " << c.version;
        EXPECT_EQ(2, m_alloc.AllocAndReallocCalls());
        EXPECT_EQ(c.flagsSeen ? STRMEM_EXACT_SIZE : 0u, m_alloc.LastFlags());
        EXPECT_EQ(32u, StandinStrMemAlloc::Capacity(data));
        // The caller has dropped the last reference before handing it back.
        uint32_t zero = 0;
        std::memcpy(data - 12, &zero, 4);
        IStrMemAlloc::ReleaseStrMem(data);
        EXPECT_EQ(0, m_alloc.LiveBlocks());
    }
}

TEST(StrMemNoAllocator, FailsWithNoMemoryInsteadOfCallingThroughNull)
{
    CInformationModule::ms_piStrMemAlloc = nullptr;
    unsigned char* data = nullptr;
    EXPECT_EQ(IStrMemAlloc::nNoAllocator, IStrMemAlloc::nAllocStrMem(&data, 8, 0));
    EXPECT_EQ(IStrMemAlloc::nNoAllocator, IStrMemAlloc::nReallocStrMem(&data, 8, 0));
    EXPECT_EQ(nullptr, data);
    unsigned char dummy[32] = {};
    IStrMemAlloc::ReleaseStrMem(dummy + 16);  // must do nothing
}

}  // namespace
