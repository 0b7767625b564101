// Global and Heap style blocks.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "common/system/memory_blocks.h"

namespace {

uint32_t StoredSize(const void* p)
{
    uint32_t n;
    std::memcpy(&n, static_cast<const unsigned char*>(p) - 4, 4);
    return n;
}

TEST(MemoryBlocks, GlobalZeroesOnlyWhenAsked)
{
    auto* p = static_cast<unsigned char*>(GlobalAlloc(GMEM_ZEROINIT, 64));
    ASSERT_NE(nullptr, p);
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(0, p[i]);
    std::memset(p, 0xAB, 64);
    EXPECT_EQ(p, GlobalReAlloc(p, 128, GMEM_MODIFY)) << "modify leaves the block alone";
    EXPECT_EQ(0xAB, p[63]);
    p = static_cast<unsigned char*>(GlobalReAlloc(p, 128, GMEM_ZEROINIT));
    ASSERT_NE(nullptr, p);
    for (int i = 0; i < 128; ++i)
        ASSERT_EQ(0, p[i]) << "the whole new block is zeroed, old bytes too";
    p = static_cast<unsigned char*>(GlobalReAlloc(p, 256, 0));
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(p, GlobalLock(p));
    EXPECT_EQ(1, GlobalUnlock(p));
    EXPECT_EQ(nullptr, GlobalFree(p));
    EXPECT_EQ(nullptr, GlobalFree(nullptr));
}

TEST(MemoryBlocks, HeapBlockCarriesItsSizeAndIsAligned)
{
    void* p = HeapAlloc(nullptr, 0, 10);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(10u, StoredSize(p));
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(p) % alignof(std::max_align_t))
        << "wider types may be stored in the block";
    std::memset(p, 0xCD, 10);

    // Growing with zeroing clears bytes 10-19 only.
    auto* q = static_cast<unsigned char*>(HeapReAlloc(nullptr, HEAP_ZERO_MEMORY, p, 20));
    ASSERT_NE(nullptr, q);
    EXPECT_EQ(20u, StoredSize(q));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(0xCD, q[i]);
    for (int i = 10; i < 20; ++i)
        EXPECT_EQ(0, q[i]);

    // Shrinking keeps the front.
    q = static_cast<unsigned char*>(HeapReAlloc(nullptr, HEAP_ZERO_MEMORY, q, 4));
    ASSERT_NE(nullptr, q);
    EXPECT_EQ(4u, StoredSize(q));
    EXPECT_EQ(0xCD, q[3]);
    EXPECT_EQ(1, HeapFree(nullptr, 0, q));
    EXPECT_EQ(1, HeapFree(nullptr, 0, nullptr));

    auto* z = static_cast<unsigned char*>(HeapAlloc(nullptr, HEAP_ZERO_MEMORY, 33));
    ASSERT_NE(nullptr, z);
    for (int i = 0; i < 33; ++i)
        EXPECT_EQ(0, z[i]);
    HeapFree(nullptr, 0, z);
}

TEST(MemoryBlocks, HeapFailureReturnsNullOrThrowsWhenAsked)
{
    // A size the 32-bit header cannot hold fails like a short heap.
    const size_t nHuge = size_t{1} << 33;
    EXPECT_EQ(nullptr, HeapAlloc(nullptr, 0, nHuge));
    try
    {
        HeapAlloc(nullptr, HEAP_GENERATE_EXCEPTIONS, nHuge);
        ADD_FAILURE() << "no exception";
    }
    catch (unsigned int n)
    {
        EXPECT_EQ(0xC0000017u, n);
    }

    // A failed reallocation leaves the old block valid.
    auto* p = static_cast<unsigned char*>(HeapAlloc(nullptr, 0, 8));
    ASSERT_NE(nullptr, p);
    p[7] = 42;
    EXPECT_EQ(nullptr, HeapReAlloc(nullptr, 0, p, nHuge));
    EXPECT_THROW(HeapReAlloc(nullptr, HEAP_GENERATE_EXCEPTIONS, p, nHuge), unsigned int);
    EXPECT_EQ(42, p[7]);
    EXPECT_EQ(8u, StoredSize(p));
    HeapFree(nullptr, 0, p);
}

}  // namespace
