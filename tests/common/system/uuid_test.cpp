// UUIDs: the generator's state is process-wide, so it has a process of its own.
#include <gtest/gtest.h>
#include <sys/time.h>

#include <cstdint>
#include <cstring>
#include <set>

#include "common/system/uuid.h"

namespace {

const unsigned char* Bytes(const UUID& u)
{
    return reinterpret_cast<const unsigned char*>(&u);
}

uint64_t Timestamp(const UUID& u)
{
    const unsigned char* p = Bytes(u);
    return (uint64_t{p[6] & 0x0Fu} << 56) | (uint64_t{p[7]} << 48) | (uint64_t{p[4]} << 40) |
           (uint64_t{p[5]} << 32) | (uint64_t{p[0]} << 24) | (uint64_t{p[1]} << 16) | (uint64_t{p[2]} << 8) | p[3];
}

TEST(Uuid, VersionOneFromTheClock)
{
    timeval stBefore;
    gettimeofday(&stBefore, nullptr);
    UUID a;
    EXPECT_EQ(RPC_S_UUID_LOCAL_ONLY, UuidCreate(&a)) << "first call of the process";
    timeval stAfter;
    gettimeofday(&stAfter, nullptr);

    const unsigned char* p = Bytes(a);
    EXPECT_EQ(0x10, p[6] & 0xF0) << "version 1";
    EXPECT_EQ(0x80, p[8] & 0xE0) << "variant, 13-bit sequence";
    EXPECT_EQ(0x80, p[10] & 0x80) << "node bytes are not an address";

    const uint64_t nBase = 0x01B21DD213814000ULL;
    const auto At = [&](const timeval& t) { return t.tv_sec * 10000000ULL + t.tv_usec * 10ULL + nBase; };
    EXPECT_GE(Timestamp(a), At(stBefore));
    EXPECT_LE(Timestamp(a), At(stAfter) + 10);

    UUID b;
    EXPECT_EQ(0, UuidCreate(&b));
    EXPECT_FALSE(IsEqualGUID(a, b));
    EXPECT_TRUE(IsEqualGUID(a, a));
    EXPECT_EQ(0, std::memcmp(p + 8, Bytes(b) + 8, 8)) << "same sequence and node";
}

TEST(Uuid, ManyQuickCallsGiveDistinctIncreasingTimestamps)
{
    // Calls within one microsecond are told apart by the adjustment.
    std::set<uint64_t> seen;
    uint64_t nLast = 0;
    for (int i = 0; i < 2000; ++i)
    {
        UUID u;
        ASSERT_EQ(0, UuidCreate(&u));
        const uint64_t n = Timestamp(u);
        EXPECT_GT(n, nLast);
        EXPECT_TRUE(seen.insert(n).second);
        nLast = n;
    }
}

}  // namespace
