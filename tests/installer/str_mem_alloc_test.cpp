#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "common/system/information.h"
#include "common/text/str_mem_alloc.h"
#include "installer/str_mem_alloc.h"

namespace {

uint32_t HeaderWord(const unsigned char* data, size_t offset)
{
    uint32_t value;
    std::memcpy(&value, data - CStrMemAlloc::nHeaderSize + offset, 4);
    return value;
}

void SetHeaderWord(unsigned char* data, size_t offset, uint32_t value)
{
    std::memcpy(data - CStrMemAlloc::nHeaderSize + offset, &value, 4);
}

uint32_t Capacity(const unsigned char* data) { return HeaderWord(data, CStrMemAlloc::nCapacityOffset); }

// Releases the way the runtime strings do: the count has dropped to 0 first.
void Drop(IStrMemAlloc* allocator, unsigned char* data)
{
    SetHeaderWord(data, CStrMemAlloc::nCountOffset, 0);
    allocator->vReleaseStrMem(data);
}

class InstallerAllocator : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pcl = CStrMemAlloc::s_pclInit();
        ASSERT_NE(nullptr, m_pcl);
        m_pi = m_pcl->piGetStrMemAlloc();
    }
    void TearDown() override { CStrMemAlloc::s_Term(); }

    unsigned char* Alloc(size_t size, unsigned flags = 0)
    {
        unsigned char* data = nullptr;
        EXPECT_EQ(0, m_pi->vnAllocStrMemEx(&data, size, flags));
        return data;
    }

    CStrMemAlloc* m_pcl = nullptr;
    IStrMemAlloc* m_pi = nullptr;
};

TEST_F(InstallerAllocator, NewBlockHeaderAndTerminators)
{
    EXPECT_EQ(2, m_pi->vnGetVersionIStrMemAlloc());
    struct Case { size_t request; unsigned flags; uint32_t capacity; };
    const Case cases[] = {
        {0, 0, 100}, {1, 0, 100}, {100, 0, 100}, {101, 0, 996}, {996, 0, 996},
        {997, 0, 1994}, {2000, 0, 4000},
        {0, STRMEM_EXACT_SIZE, 0}, {7, STRMEM_EXACT_SIZE, 7}, {2000, STRMEM_EXACT_SIZE, 2000},
    };
    for (const Case& c : cases) {
        unsigned char* data = Alloc(c.request, c.flags);
        ASSERT_NE(nullptr, data);
        EXPECT_EQ(c.capacity, Capacity(data)) << c.request;
        // Header, text area and four spare bytes, all from one heap block.
        const size_t usable = malloc_usable_size(data - CStrMemAlloc::nHeaderSize);
#if defined(__SANITIZE_ADDRESS__)
        EXPECT_EQ(c.capacity + 28u, usable);
#else
        EXPECT_GE(usable, c.capacity + 28u);
#endif
        EXPECT_EQ(0u, HeaderWord(data, CStrMemAlloc::nFlagsOffset));
        EXPECT_EQ(1u, HeaderWord(data, CStrMemAlloc::nCountOffset));
        EXPECT_EQ(0u, HeaderWord(data, CStrMemAlloc::nLengthOffset));
        // The text starts empty and a full area is still terminated.
        uint32_t head, tail;
        std::memcpy(&head, data, 4);
        std::memcpy(&tail, data + c.capacity, 4);
        EXPECT_EQ(0u, head);
        EXPECT_EQ(0u, tail);
        std::memset(data, 'x', c.capacity);  // the whole area is writable
        Drop(m_pi, data);
    }
}

TEST_F(InstallerAllocator, CacheReusesBlocksLastInFirstOut)
{
    unsigned char* a = Alloc(1);
    Drop(m_pi, a);
    unsigned char* again = Alloc(50);
    EXPECT_EQ(a, again);

    unsigned char* b = Alloc(500);
    unsigned char* c = Alloc(996);
    Drop(m_pi, b);
    Drop(m_pi, c);
    EXPECT_EQ(c, Alloc(200));
    EXPECT_EQ(b, Alloc(900));

    // An exact request of a cached size never takes from the cache, but its
    // block is cached when given back.
    unsigned char* exact = Alloc(100, STRMEM_EXACT_SIZE);
    Drop(m_pi, again);
    unsigned char* exact2 = Alloc(100, STRMEM_EXACT_SIZE);
    EXPECT_NE(again, exact2);
    Drop(m_pi, exact);
    EXPECT_EQ(exact, Alloc(10));
    EXPECT_EQ(again, Alloc(10));
    for (unsigned char* p : {again, b, c, exact, exact2})
        Drop(m_pi, p);
}

TEST_F(InstallerAllocator, AtMostTwentyBlocksCachedPerSize)
{
    for (size_t size : {size_t{100}, size_t{996}}) {
        std::vector<unsigned char*> blocks;
        for (int i = 0; i < 21; ++i)
            blocks.push_back(Alloc(size));
        for (unsigned char* p : blocks)
            Drop(m_pi, p);
        // The 21st was freed (LeakSanitizer would report it otherwise).
        EXPECT_EQ(20u, m_pcl->dwGetCachedCount(static_cast<uint32_t>(size)));
    }
    unsigned char* other = Alloc(3000);
    Drop(m_pi, other);
    EXPECT_EQ(0u, m_pcl->dwGetCachedCount(6000));
}

TEST(InstallerAllocatorCapacity, GrowthSteps)
{
    struct Case { uint64_t request, capacity, grown; };
    const Case cases[] = {
        {1050, 1000, 1200}, {1150, 1000, 1500}, {1400, 1000, 2000}, {3000, 1000, 6000},
        {1000, 1000, 1200},      // same size: the first step
        {1500, 2000, 3000},      // below the capacity: twice the request
        {50, 4000, 100}, {500, 4000, 996},
        {1050, 100, 2100},
        // 64-bit arithmetic: no wrap of the doubled sizes.
        {0x80000000ull, 1000, 0x100000000ull},
        {0xF0000000ull, 0xE0000000ull, 0x10CCCCCCCull},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.grown, CStrMemAlloc::s_llGrownCapacity(c.request, c.capacity))
            << c.request << " from " << c.capacity;
    EXPECT_EQ(0x100000000ull, CStrMemAlloc::s_llNewCapacity(0x80000000ull));
    EXPECT_EQ(UINT64_MAX, CStrMemAlloc::s_llNewCapacity(UINT64_MAX));
}

TEST_F(InstallerAllocator, SizesThatDoNotFitFailWithoutTouchingTheBlock)
{
    unsigned char* untouched = reinterpret_cast<unsigned char*>(this);
    unsigned char* data = untouched;
    EXPECT_EQ(100, m_pi->vnAllocStrMemEx(&data, 0x80000000ull, 0));
    EXPECT_EQ(100, m_pi->vnAllocStrMemEx(&data, 0x100000000ull, STRMEM_EXACT_SIZE));
    EXPECT_EQ(100, m_pi->vnAllocStrMem(&data, SIZE_MAX));
    EXPECT_EQ(untouched, data);

    data = Alloc(1000);
    std::memcpy(data, "kept", 5);
    unsigned char* before = data;
    EXPECT_EQ(100, m_pi->vnReallocStrMemEx(&data, 0x80000000ull, 0));
    EXPECT_EQ(100, m_pi->vnReallocStrMemEx(&data, 0x100000000ull, STRMEM_EXACT_SIZE));
    EXPECT_EQ(before, data);
    EXPECT_EQ(2000u, Capacity(data));
    EXPECT_STREQ("kept", reinterpret_cast<char*>(data));
    Drop(m_pi, data);
}

TEST_F(InstallerAllocator, ReallocationKeepsHeaderAndText)
{
    // Through the cache (a 996 block is waiting), through the heap, and
    // shrinking back into a cached size: flags, length and text survive.
    unsigned char* spare = Alloc(996);
    Drop(m_pi, spare);

    unsigned char* data = Alloc(20);
    std::memcpy(data, "abcdefghijklmnopqrs", 20);
    SetHeaderWord(data, CStrMemAlloc::nFlagsOffset, 1);
    SetHeaderWord(data, CStrMemAlloc::nLengthOffset, 19);

    struct Step { size_t request; unsigned flags; uint32_t capacity; bool fromCache; };
    const Step steps[] = {
        {300, 0, 996, true},
        {1500, 0, 3000, false},
        {5000, STRMEM_EXACT_SIZE, 5000, false},
        {60, 0, 100, true},  // the 100 block given back at the first step
        {80, 0, 100, false}, // same capacity: stays where it is
    };
    for (const Step& s : steps) {
        unsigned char* old = data;
        ASSERT_EQ(0, m_pi->vnReallocStrMemEx(&data, s.request, s.flags)) << s.request;
        EXPECT_EQ(s.capacity, Capacity(data)) << s.request;
        if (s.fromCache) {
            EXPECT_NE(old, data);
        }
        if (s.request == 80) {
            EXPECT_EQ(old, data);
        }
        EXPECT_EQ(1u, HeaderWord(data, CStrMemAlloc::nFlagsOffset));
        EXPECT_EQ(1u, HeaderWord(data, CStrMemAlloc::nCountOffset));
        EXPECT_EQ(19u, HeaderWord(data, CStrMemAlloc::nLengthOffset));
        EXPECT_STREQ("abcdefghijklmnopqrs", reinterpret_cast<char*>(data));
        uint32_t tail;
        std::memcpy(&tail, data + s.capacity, 4);
        EXPECT_EQ(0u, tail);
    }
    Drop(m_pi, data);

    // A null block is simply allocated.
    unsigned char* fresh = nullptr;
    ASSERT_EQ(0, m_pi->vnReallocStrMem(&fresh, 10));
    EXPECT_EQ(100u, Capacity(fresh));
    Drop(m_pi, fresh);
}

TEST(InstallerAllocatorLife, PublishedSideServesTheRuntimeStrings)
{
    ASSERT_EQ(nullptr, CStrMemAlloc::ms_pclAllocateur);
    CStrMemAlloc* allocator = CStrMemAlloc::s_pclInit();
    ASSERT_NE(nullptr, allocator);
    EXPECT_EQ(allocator, CStrMemAlloc::ms_pclAllocateur);
    EXPECT_EQ(allocator, CStrMemAlloc::s_pclInit());  // one instance

    // The interface side is not at the start of the object: publishing the
    // object's address as-is would call into the cache's table.
    IStrMemAlloc* side = allocator->piGetStrMemAlloc();
    EXPECT_NE(static_cast<void*>(allocator), static_cast<void*>(side));
    CInformationModule::ms_piStrMemAlloc = side;

    unsigned char* data = nullptr;
    ASSERT_EQ(0, IStrMemAlloc::nAllocStrMem(&data, 30, 0));
    EXPECT_EQ(100u, Capacity(data));
    ASSERT_EQ(0, IStrMemAlloc::nReallocStrMem(&data, 40, STRMEM_EXACT_SIZE));
    EXPECT_EQ(40u, Capacity(data));
    SetHeaderWord(data, CStrMemAlloc::nCountOffset, 0);
    IStrMemAlloc::ReleaseStrMem(data);

    CStrMemAlloc::s_Term();
    EXPECT_EQ(nullptr, CStrMemAlloc::ms_pclAllocateur);
    EXPECT_EQ(nullptr, CInformationModule::ms_piStrMemAlloc);
    CStrMemAlloc::s_Term();  // nothing left: does nothing
}

TEST_F(InstallerAllocator, ConcurrentUseKeepsTheCacheConsistent)
{
    auto work = [this](unsigned seed) {
        std::vector<unsigned char*> held;
        for (int i = 0; i < 20000; ++i) {
            seed = seed * 1103515245u + 12345u;
            if (held.size() < 8 && (seed >> 16) % 3 != 0) {
                unsigned char* data = nullptr;
                size_t size = (seed >> 8) % 2 ? 50 : 700;
                ASSERT_EQ(0, m_pi->vnAllocStrMemEx(&data, size, 0));
                std::memset(data, static_cast<int>(seed), size);
                held.push_back(data);
            } else if (!held.empty()) {
                unsigned char* data = held.back();
                held.pop_back();
                if ((seed >> 20) % 2) {
                    ASSERT_EQ(0, m_pi->vnReallocStrMemEx(&data, 900, 0));
                }
                Drop(m_pi, data);
            }
        }
        for (unsigned char* data : held)
            Drop(m_pi, data);
    };
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < 4; ++t)
        threads.emplace_back(work, t + 1);
    for (auto& t : threads)
        t.join();
    EXPECT_LE(m_pcl->dwGetCachedCount(100), 20u);
    EXPECT_LE(m_pcl->dwGetCachedCount(996), 20u);
}

}  // namespace
