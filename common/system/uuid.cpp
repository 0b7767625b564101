#include "common/system/uuid.h"

#include <sys/random.h>
#include <sys/time.h>

#include <cstdlib>
#include <cstring>

namespace {

// Intervals of 100 ns from 1582-10-15 (the UUID time base) to 1970-01-01.
constexpr uint64_t kUuidEpochTo1970 = 0x01B21DD213814000ULL;

bool gbStarted = false;
unsigned char gabyNode[6];
uint16_t gnClockSequence = 0;
timeval gstLastTime;
unsigned int gnAdjustment = 0;

// Random bytes from the kernel, so that two processes started alike do not
// draw the same node and sequence; rand() only when the kernel has none.
void RandomBytes(unsigned char* p, size_t n)
{
    ssize_t nGot = getrandom(p, n, GRND_NONBLOCK);
    for (size_t i = nGot < 0 ? 0 : static_cast<size_t>(nGot); i < n; ++i)
        p[i] = static_cast<unsigned char>(std::rand());
}

int Compare(const timeval& a, const timeval& b)
{
    if (a.tv_sec != b.tv_sec)
        return a.tv_sec < b.tv_sec ? -1 : 1;
    if (a.tv_usec != b.tv_usec)
        return a.tv_usec < b.tv_usec ? -1 : 1;
    return 0;
}

}  // namespace

int IsEqualGUID(const GUID& a, const GUID& b)
{
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

int UuidCreate(UUID* pUuid)
{
    int nResult = 0;
    timeval stNow;
    gettimeofday(&stNow, nullptr);
    if (!gbStarted)
    {
        RandomBytes(gabyNode, sizeof gabyNode);
        gabyNode[0] |= 0x80;
        unsigned char aby[2];
        RandomBytes(aby, sizeof aby);
        gnClockSequence = static_cast<uint16_t>((aby[0] << 8 | aby[1]) & 0x1FFF);
        gstLastTime = stNow;
        gstLastTime.tv_sec -= 1;
        gbStarted = true;
        nResult = RPC_S_UUID_LOCAL_ONLY;
    }

    const int nOrder = Compare(stNow, gstLastTime);
    if (nOrder < 0)
    {
        gnClockSequence = static_cast<uint16_t>((gnClockSequence + 1) & 0x1FFF);
        gnAdjustment = 0;
    }
    else if (nOrder == 0)
    {
        // Nine at most: ten would equal the next microsecond's first stamp.
        if (gnAdjustment < 9)
            ++gnAdjustment;
        else
        {
            do
                gettimeofday(&stNow, nullptr);
            while (Compare(stNow, gstLastTime) == 0);
            gnAdjustment = 0;
        }
    }
    else
        gnAdjustment = 0;
    gstLastTime = stNow;

    const uint64_t nTime = static_cast<uint64_t>(stNow.tv_sec) * 10000000ULL +
                           static_cast<uint64_t>(stNow.tv_usec) * 10ULL + gnAdjustment + kUuidEpochTo1970;
    const uint16_t nSequence = static_cast<uint16_t>(gnClockSequence | 0x8000);
    unsigned char aby[16] = {
        static_cast<unsigned char>(nTime >> 24),
        static_cast<unsigned char>(nTime >> 16),
        static_cast<unsigned char>(nTime >> 8),
        static_cast<unsigned char>(nTime),
        static_cast<unsigned char>(nTime >> 40),
        static_cast<unsigned char>(nTime >> 32),
        static_cast<unsigned char>(((nTime >> 56) & 0x0F) | 0x10),
        static_cast<unsigned char>(nTime >> 48),
        static_cast<unsigned char>(nSequence >> 8),
        static_cast<unsigned char>(nSequence),
    };
    std::memcpy(aby + 10, gabyNode, sizeof gabyNode);
    std::memcpy(pUuid, aby, sizeof aby);
    return nResult;
}
