// The node pool: chunk sizing, the slot word before each object, the lists of
// full chunks and chunks with free slots, giving emptied chunks back, and
// allocation failures.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "native/model/obj_alloc.h"
#include "tests/common/xmalloc_failures.h"
#include "tests/native/model/btree_fixture.h"

namespace {

using PoolTest = vxtest::BTreeTest;

void* Object(void* pWord)
{
    return static_cast<unsigned char*>(pWord) + CTObjAlloc::mg_nSpaceCostPerObj;
}

TEST_F(PoolTest, ObjectsPerChunk)
{
    struct Case { size_t size; unsigned perChunk; };
    const Case cases[] = {
        {100, 37},   // 4096 / 108
        {1, 455},
        {2040, 2},   // 4096 / 2048
        {2041, 2},   // would be 1: never fewer than 2
        {100000, 2},
    };
    for (const Case& c : cases) EXPECT_EQ(c.perChunk, CTObjAlloc::g_nObjPerChunk(c.size)) << c.size;
}

TEST_F(PoolTest, ObjectLiesAfterItsWordAndKeepsItsBytes)
{
    CTObjAlloc pool(CTObjAlloc::g_nObjPerChunk(100), 100);
    std::vector<void*> objects;
    for (int i = 0; i < 100; ++i) {
        void* pWord = pool.pAllocate();
        ASSERT_NE(nullptr, pWord);
        void* p = Object(pWord);
        EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(p) % 8);
        std::memset(p, i, 100);
        objects.push_back(p);
    }
    EXPECT_EQ(100u, pool.nGetNumAllocated());
    EXPECT_EQ(3u, pool.nGetNumChunk());  // 37 per chunk
    for (int i = 0; i < 100; ++i) {
        const auto* p = static_cast<const unsigned char*>(objects[i]);
        for (int b = 0; b < 100; ++b) ASSERT_EQ(static_cast<unsigned char>(i), p[b]) << "object " << i;
    }
    for (void* p : objects) pool.Free(p);
    EXPECT_EQ(0u, pool.nGetNumAllocated());
    EXPECT_EQ(1u, pool.nGetNumChunk());
}

TEST_F(PoolTest, ChunkListsFollowFillAndRelease)
{
    CTObjAlloc pool(4, 16);
    void* a[4];
    for (void*& p : a) p = Object(pool.pAllocate());
    EXPECT_EQ(1u, pool.nGetNumFullChunk());
    EXPECT_EQ(0u, pool.nGetNumFreeListChunk());

    void* b[2];
    for (void*& p : b) p = Object(pool.pAllocate());
    EXPECT_EQ(2u, pool.nGetNumChunk());
    EXPECT_EQ(1u, pool.nGetNumFreeListChunk());

    // A full chunk that gets a slot back goes to the front: the next
    // allocation takes that very slot.
    pool.Free(a[2]);
    EXPECT_EQ(0u, pool.nGetNumFullChunk());
    EXPECT_EQ(2u, pool.nGetNumFreeListChunk());
    EXPECT_EQ(a[2], Object(pool.pAllocate()));
    pool.Free(a[2]);

    // The second chunk empties while another has free slots: it is given back.
    for (void* p : b) pool.Free(p);
    EXPECT_EQ(1u, pool.nGetNumChunk());

    // The last chunk with free slots is kept even when entirely free.
    for (int i : {0, 1, 3}) pool.Free(a[i]);
    EXPECT_EQ(1u, pool.nGetNumChunk());
    EXPECT_EQ(0u, pool.nGetNumAllocated());
    void* c = Object(pool.pAllocate());
    EXPECT_EQ(1u, pool.nGetNumChunk());
    pool.Free(c);
}

TEST_F(PoolTest, NoChunkNoObject)
{
    CTObjAlloc pool(2, 3000);
    vxtest::XmallocFailures failures;
    failures.FailAll(true);
    EXPECT_EQ(nullptr, pool.pAllocate());
    EXPECT_EQ(0u, pool.nGetNumChunk());
    failures.FailAll(false);
    void* a = Object(pool.pAllocate());
    ASSERT_NE(nullptr, a);
    // The chunk's second slot needs no memory; a third object needs a chunk.
    failures.FailAll(true);
    void* b = pool.pAllocate();
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(nullptr, pool.pAllocate());
    EXPECT_EQ(2u, pool.nGetNumAllocated());
    pool.Free(a);
    pool.Free(Object(b));
}

}  // namespace
