#include "common/system/memory_status.h"

#include <sys/sysinfo.h>

#include <cstring>
#include <ctime>

namespace {

constexpr uint32_t kFilledLength = 40;
constexpr uint64_t kUnknownAmount = 16 * 1024 * 1024;

// The last answer and the second it was computed in.
bool gbCached = false;
time_t gnCachedSecond = 0;
MEMORYSTATUSEX gstCached;

bool StartsWith(const char* pszLine, const char* pszPrefix)
{
    return std::strncmp(pszLine, pszPrefix, std::strlen(pszPrefix)) == 0;
}

// A "Name:   value kB" line: the value in bytes.
bool KiloBytes(const char* pszLine, const char* pszName, uint64_t* pn)
{
    if (!StartsWith(pszLine, pszName))
        return false;
    unsigned long long n = 0;
    if (std::sscanf(pszLine + std::strlen(pszName), "%llu", &n) != 1)
        return false;
    *pn = n > UINT64_MAX / 1024 ? UINT64_MAX : static_cast<uint64_t>(n) * 1024;
    return true;
}

void SetLoad(MEMORYSTATUSEX* p)
{
    const uint64_t nTotal = p->ullTotalPhys + p->ullTotalPageFile;
    const uint64_t nAvail = p->ullAvailPhys + p->ullAvailPageFile;
    const uint64_t nDivisor = nTotal / 100;
    // A listing whose free amounts exceed its totals has nothing in use.
    p->dwMemoryLoad = (nDivisor == 0 || nAvail >= nTotal) ? 0 : static_cast<uint32_t>((nTotal - nAvail) / nDivisor);
}

void FromSysinfo(MEMORYSTATUSEX* p)
{
    struct sysinfo st;
    if (sysinfo(&st) == 0)
    {
        const uint64_t nUnit = st.mem_unit == 0 ? 1 : st.mem_unit;
        p->ullTotalPhys = st.totalram * nUnit;
        p->ullAvailPhys = st.freeram * nUnit;
        p->ullTotalPageFile = st.totalswap * nUnit;
        p->ullAvailPageFile = st.freeswap * nUnit;
    }
    else
    {
        p->ullTotalPhys = p->ullAvailPhys = p->ullTotalPageFile = p->ullAvailPageFile = kUnknownAmount;
    }
    p->dwMemoryLoad = 0;
}

// The five words that an answer consists of.
void CopyAnswer(MEMORYSTATUSEX* pDst, const MEMORYSTATUSEX& src)
{
    std::memcpy(pDst, &src, offsetof(MEMORYSTATUSEX, ullTotalVirtual));
}

}  // namespace

void __ReadMemInfo(FILE* pFile, MEMORYSTATUSEX* p)
{
    p->dwLength = kFilledLength;
    p->ullTotalPhys = p->ullAvailPhys = p->ullTotalPageFile = p->ullAvailPageFile = 0;
    char szLine[256];
    while (std::fgets(szLine, sizeof szLine, pFile) != nullptr)
    {
        if (std::strchr(szLine, '\n') == nullptr)
        {
            // The rest of an overlong line is no line of its own.
            int c;
            while ((c = std::fgetc(pFile)) != EOF && c != '\n')
            {
            }
        }
        unsigned long long a[6];
        uint64_t n;
        if (std::sscanf(szLine, "Mem: %llu %llu %llu %llu %llu %llu", &a[0], &a[1], &a[2], &a[3], &a[4], &a[5]) == 6)
        {
            p->ullTotalPhys += a[0];
            p->ullAvailPhys += a[2] + a[4] + a[5];
        }
        else if (std::sscanf(szLine, "Swap: %llu %llu %llu", &a[0], &a[1], &a[2]) == 3)
        {
            p->ullTotalPageFile += a[0];
            p->ullAvailPageFile += a[2];
        }
        else if (KiloBytes(szLine, "MemTotal:", &n))
            p->ullTotalPhys = n;
        else if (KiloBytes(szLine, "MemFree:", &n))
            p->ullAvailPhys = n;
        else if (KiloBytes(szLine, "SwapTotal:", &n))
            p->ullTotalPageFile = n;
        else if (KiloBytes(szLine, "SwapFree:", &n))
            p->ullAvailPageFile = n;
        else if (KiloBytes(szLine, "Buffers:", &n) || KiloBytes(szLine, "Cached:", &n))
            p->ullAvailPhys += n;
    }
    SetLoad(p);
}

int GlobalMemoryStatusEx(MEMORYSTATUSEX* pStatus)
{
    const time_t nNow = std::time(nullptr);
    if (gbCached && nNow == gnCachedSecond)
    {
        CopyAnswer(pStatus, gstCached);
        return 1;
    }
    MEMORYSTATUSEX st{};
    if (FILE* pFile = std::fopen("/proc/meminfo", "r"))
    {
        __ReadMemInfo(pFile, &st);
        std::fclose(pFile);
    }
    else
    {
        st.dwLength = kFilledLength;
        FromSysinfo(&st);
    }
    gstCached = st;
    gnCachedSecond = nNow;
    gbCached = true;
    CopyAnswer(pStatus, st);
    return 1;
}

void GlobalMemoryStatus(MEMORYSTATUS* pStatus)
{
    MEMORYSTATUSEX st{};
    GlobalMemoryStatusEx(&st);
    pStatus->dwLength = sizeof(MEMORYSTATUS);
    pStatus->dwMemoryLoad = st.dwMemoryLoad;
    pStatus->dwTotalPhys = static_cast<uint32_t>(st.ullTotalPhys);
    pStatus->dwAvailPhys = static_cast<uint32_t>(st.ullAvailPhys);
    pStatus->dwTotalPageFile = static_cast<uint32_t>(st.ullTotalPageFile);
    pStatus->dwAvailPageFile = static_cast<uint32_t>(st.ullAvailPageFile);
}
