// Memory status: the meminfo reader, and the once-a-second cache (process-wide,
// hence in a process of its own).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "common/system/memory_status.h"

namespace {

MEMORYSTATUSEX Read(const char* pszListing)
{
    FILE* p = fmemopen(const_cast<char*>(pszListing), std::strlen(pszListing), "r");
    EXPECT_NE(nullptr, p);
    MEMORYSTATUSEX st;
    std::memset(&st, 0x5A, sizeof st);
    __ReadMemInfo(p, &st);
    std::fclose(p);
    return st;
}

TEST(MemoryStatus, NamedLinesInKiloBytes)
{
    const MEMORYSTATUSEX st = Read(
        "MemTotal:        1000 kB\n"
        "MemFree:          100 kB\n"
        "MemAvailable:     900 kB\n"
        "Buffers:           50 kB\n"
        "Cached:           150 kB\n"
        "SwapCached:       777 kB\n"
        "SwapTotal:       1000 kB\n"
        "SwapFree:         700 kB\n");
    EXPECT_EQ(40u, st.dwLength);
    EXPECT_EQ(1000u * 1024, st.ullTotalPhys);
    EXPECT_EQ(300u * 1024, st.ullAvailPhys) << "free + buffers + cached; SwapCached is no Cached line";
    EXPECT_EQ(1000u * 1024, st.ullTotalPageFile);
    EXPECT_EQ(700u * 1024, st.ullAvailPageFile);
    // (2000 - 1000) / (2000 / 100)
    EXPECT_EQ(50u, st.dwMemoryLoad);
}

TEST(MemoryStatus, OldTableLinesAndEdgeCases)
{
    const MEMORYSTATUSEX st = Read(
        "        total:    used:    free:  shared: buffers:  cached:\n"
        "Mem:  1000 600 400 0 100 200\n"
        "Swap: 500 100 400\n");
    EXPECT_EQ(1000u, st.ullTotalPhys);
    EXPECT_EQ(700u, st.ullAvailPhys);
    EXPECT_EQ(500u, st.ullTotalPageFile);
    EXPECT_EQ(400u, st.ullAvailPageFile);
    EXPECT_EQ(26u, st.dwMemoryLoad);  // 400 / (1500 / 100), truncated

    // Nothing known: load 0, no division by zero.
    EXPECT_EQ(0u, Read("Nothing: here\n").dwMemoryLoad);
    // More free than total: nothing in use rather than a wrapped load.
    EXPECT_EQ(0u, Read("MemTotal: 100 kB\nMemFree: 100 kB\nCached: 50 kB\n").dwMemoryLoad);

    // An overlong line is skipped whole: its tail is no line of its own.
    std::string sLong = "X: " + std::string(300, 'a') + "MemTotal: 5 kB\nMemTotal: 7 kB\n";
    EXPECT_EQ(7u * 1024, Read(sLong.c_str()).ullTotalPhys);
}

TEST(MemoryStatus, MachineAnswerIsCachedWithinOneSecond)
{
    MEMORYSTATUSEX a{}, b{};
    // Start at the beginning of a second so that both calls share it.
    const time_t n = std::time(nullptr);
    while (std::time(nullptr) == n)
    {
    }
    const time_t nSecond = std::time(nullptr);
    ASSERT_EQ(1, GlobalMemoryStatusEx(&a));
    ASSERT_EQ(1, GlobalMemoryStatusEx(&b));
    MEMORYSTATUS s{};
    GlobalMemoryStatus(&s);
    if (std::time(nullptr) != nSecond)
        GTEST_SKIP() << "the second passed between the calls";
    EXPECT_EQ(40u, a.dwLength);
    EXPECT_GT(a.ullTotalPhys, 0u);
    EXPECT_LE(a.ullAvailPhys, a.ullTotalPhys);
    EXPECT_LE(a.dwMemoryLoad, 100u);
    EXPECT_EQ(0, std::memcmp(&a, &b, offsetof(MEMORYSTATUSEX, ullTotalVirtual)));

    EXPECT_EQ(24u, s.dwLength);
    EXPECT_EQ(a.dwMemoryLoad, s.dwMemoryLoad);
    EXPECT_EQ(static_cast<uint32_t>(a.ullTotalPhys), s.dwTotalPhys);
    EXPECT_EQ(static_cast<uint32_t>(a.ullAvailPageFile), s.dwAvailPageFile);
}

}  // namespace
