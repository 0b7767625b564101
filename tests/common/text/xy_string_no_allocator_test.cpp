// Runtime strings in a process where no string allocator was published (a
// failed start-up): every allocation answers 100, releases do nothing, and
// nothing calls through a null interface. Its own process: the allocator
// static stays null here.
#include <gtest/gtest.h>

#include "common/system/information.h"
#include "common/text/manip_aub.h"
#include "common/text/xy_string.h"
#include "tests/host/kit/standin_str_mem_alloc.h"

namespace {

TEST(XYStringWithoutAllocator, AllocationsFailWith100AndValuesStayEmpty)
{
    ASSERT_EQ(nullptr, CInformationModule::ms_piStrMemAlloc);
    constexpr int kNoMemory = 100;

    CXYString<wchar_t> w(L"abc");
    EXPECT_EQ(nullptr, w.pbyGetBlock());
    EXPECT_STREQ(L"", w.pszGet());
    EXPECT_EQ(kNoMemory, w.nAffecte(L"abc"));
    EXPECT_EQ(kNoMemory, w.nConcat(L"abc"));
    EXPECT_EQ(kNoMemory, w.__nNew(3, L"abc", 3, 0));
    EXPECT_EQ(kNoMemory, w.nSetLength(4));
    EXPECT_EQ(0, w.nUnshare());
    w.Set(L"abc");
    w.Add(L'x');
    EXPECT_EQ(nullptr, w.pbyGetBlock());
    // The size limit is still checked first.
    EXPECT_EQ(STRMEM_ERR_TOO_LARGE, w.nSetLength(0x1FFFFFC0));

    CXYString<char> a("abc");
    EXPECT_EQ(kNoMemory, a.nAffecte("abc", 2));
    CXYString<char> copy(a);
    EXPECT_EQ(0, copy.nConcat(a));  // empty source: nothing to do
    EXPECT_EQ(nullptr, copy.pbyGetBlock());
    EXPECT_EQ(0, STManipAUB(a).nGetLongueur());
}

TEST(XYStringWithoutAllocator, ReleaseWithoutAllocatorCallsNothing)
{
    StandinStrMemAlloc alloc;
    CInformationModule::ms_piStrMemAlloc = &alloc;
    auto* s = new CXYString<char>("abc");
    unsigned char* block = s->pbyGetBlock();
    CInformationModule::ms_piStrMemAlloc = nullptr;

    delete s;  // the count drops to 0, the block cannot go back anywhere
    EXPECT_EQ(0u, StandinStrMemAlloc::Count(block));
    EXPECT_EQ(0, alloc.Calls(StandinStrMemAlloc::kRelease));

    alloc.vReleaseStrMem(block);  // hand it back ourselves
    EXPECT_EQ(0, alloc.LiveBlocks());
}

}  // namespace
