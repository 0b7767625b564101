// Memory recyclers: reuse of held blocks, and the module object's end, which
// frees what every recycler of the process-wide chain holds. Under the
// sanitizers a freed block is poisoned, and LeakSanitizer would report any
// held block that nothing frees.
#include "common/system/memory_recycler.h"

#include <memory>
#include <vector>

#include "tests/common/system/module_test_host.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace {

// Whether every block went back to the heap; unknowable without the
// sanitizers, where the counts alone are checked.
::testing::AssertionResult AllFreed(const std::vector<void*>& blocks)
{
#if defined(__SANITIZE_ADDRESS__)
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (__asan_address_is_poisoned(blocks[i]) == 0)
            return ::testing::AssertionFailure() << "block " << i << " of " << blocks.size() << " is still held";
    }
#else
    (void)blocks;
#endif
    return ::testing::AssertionSuccess();
}

// Hands n new blocks to the recycler and returns them.
std::vector<void*> Hold(CRecycleurMemoire& recycler, int n)
{
    std::vector<void*> blocks;
    for (int i = 0; i < n; ++i) {
        void* block = malloc(recycler.nGetTailleBloc());
        blocks.push_back(block);
        recycler.Recycle(block);
    }
    return blocks;
}

TEST(MemoryRecycler, ReusesHeldBlocksLastGivenFirst)
{
    CRecycleurMemoire recycler(3);
    EXPECT_EQ(sizeof(void*), recycler.nGetTailleBloc()) << "the free list lives in the blocks";
    EXPECT_EQ(&recycler, CRecycleurMemoire::ms_pclListeRecycleur);

    void* first = recycler.pAlloue();
    void* second = recycler.pAlloue();
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    recycler.Recycle(first);
    recycler.Recycle(second);
    recycler.Recycle(nullptr);
    EXPECT_EQ(2u, recycler.nGetNbBloc());

    EXPECT_EQ(second, recycler.pAlloue());
    EXPECT_EQ(first, recycler.pAlloue());
    EXPECT_EQ(0u, recycler.nGetNbBloc());
    free(first);
    free(second);
}

class RecyclerChain : public vxtest::ModuleTest
{
};

TEST_F(RecyclerChain, EveryEndOfTheModuleObjectFreesWhatEachRecyclerHolds)
{
    struct Case { const char* name; int (*start)(); void (*end)(); };
    const Case cases[] = {
        {"end command", [] { return vxtest::StartUp(); }, [] { Execution(4875, nullptr); }},
        {"unload", [] { return vxtest::StartUp(); }, [] { CBaseExecutionDLL::s_TermineDLL(); }},
        {"self-start", [] { return CBaseExecutionDLL::s_bInitialiseMoiMeme(nullptr); },
         [] { CBaseExecutionDLL::s_TermineMoiMeme(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRecycleurMemoire small(16);
        CRecycleurMemoire large(4096);
        CRecycleurMemoire empty(64);
        const std::vector<void*> smallBlocks = Hold(small, 5);
        const std::vector<void*> largeBlocks = Hold(large, 2);

        ASSERT_EQ(1, c.start());
        ASSERT_NE(nullptr, gpclExecutionDLL32);
        EXPECT_EQ(5u, small.nGetNbBloc()) << "the start takes nothing";
        c.end();
        ASSERT_EQ(nullptr, gpclExecutionDLL32);

        EXPECT_EQ(0u, small.nGetNbBloc());
        EXPECT_EQ(0u, large.nGetNbBloc());
        EXPECT_EQ(0u, empty.nGetNbBloc());
        EXPECT_TRUE(AllFreed(smallBlocks));
        EXPECT_TRUE(AllFreed(largeBlocks));

        // The recyclers stay in the chain and serve again from the heap.
        EXPECT_EQ(&empty, CRecycleurMemoire::ms_pclListeRecycleur);
        void* fresh = small.pAlloue();
        ASSERT_NE(nullptr, fresh);
        small.Recycle(fresh);
        EXPECT_EQ(1u, small.nGetNbBloc());
    }
    EXPECT_EQ(nullptr, CRecycleurMemoire::ms_pclListeRecycleur);
}

TEST_F(RecyclerChain, ARecyclerDestroyedFirstLeavesTheChainAndFreesItsOwnBlocks)
{
    CRecycleurMemoire first(32);
    auto middle = std::make_unique<CRecycleurMemoire>(32);
    CRecycleurMemoire last(32);
    const std::vector<void*> firstBlocks = Hold(first, 3);
    const std::vector<void*> middleBlocks = Hold(*middle, 3);
    const std::vector<void*> lastBlocks = Hold(last, 3);

    middle.reset();
    EXPECT_TRUE(AllFreed(middleBlocks));
    EXPECT_EQ(&last, CRecycleurMemoire::ms_pclListeRecycleur);

    // The walk of the chain must not reach the destroyed recycler (the
    // sanitizers would report the read of freed memory).
    ASSERT_EQ(1, vxtest::StartUp());
    ASSERT_EQ(1, Execution(4875, nullptr));
    EXPECT_EQ(0u, first.nGetNbBloc());
    EXPECT_EQ(0u, last.nGetNbBloc());
    EXPECT_TRUE(AllFreed(firstBlocks));
    EXPECT_TRUE(AllFreed(lastBlocks));
}

}  // namespace
