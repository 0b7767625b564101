#pragma once

// The benchmark's checksums and its look-up ids, shared by the raw client
// loops and the host program's benchmark mode, so that both sides count
// every value by the same rules.
//
// Raw: per value its length plus its first byte; a NULL counts 1.
// Typed: integers as they are, a decimal truncated to its integer part, a
// date-time as its day of the month plus its second of the minute, a date as
// its day of the month, a text as its length in UTF-8 bytes plus its first
// UTF-8 byte; a NULL counts 1.
#include <cstdint>
#include <cstdio>
#include <ctime>

#include <sys/resource.h>

namespace vxbench {

// The raw rule for one value of the text protocol.
inline uint64_t RawValue(const char* p, unsigned long nLength)
{
    if (p == nullptr)
        return 1;
    return nLength + (nLength != 0 ? static_cast<unsigned char>(p[0]) : 0u);
}

// The typed rule for a text given as UTF-8 bytes.
inline uint64_t Utf8Text(const char* p, unsigned long nLength)
{
    return nLength + (nLength != 0 ? static_cast<unsigned char>(p[0]) : 0u);
}

// The typed rule for a wide text: its UTF-8 length and first UTF-8 byte,
// computed from the code points. A character takes one byte, and one more
// for each of the bounds U+0080, U+0800 and U+10000 it reaches: counted
// without a branch, so that the loop runs over several characters at once.
inline uint64_t WideText(const wchar_t* p, size_t nLength)
{
    if (nLength == 0)
        return 0;
    uint64_t nBytes = nLength;
    // In blocks whose extra bytes fit 32 bits: the loop then adds 32-bit
    // lanes, without widening each count.
    constexpr size_t kBlock = size_t{1} << 30;
    for (size_t nStart = 0; nStart < nLength; nStart += kBlock) {
        const size_t nEnd = nLength - nStart > kBlock ? nStart + kBlock : nLength;
        uint32_t nExtra = 0;
        for (size_t i = nStart; i < nEnd; ++i) {
            const uint32_t c = static_cast<uint32_t>(p[i]);
            nExtra += static_cast<uint32_t>(c >= 0x80) + (c >= 0x800) + (c >= 0x10000);
        }
        nBytes += nExtra;
    }
    const uint32_t c = static_cast<uint32_t>(p[0]);
    const unsigned nFirst = c < 0x80 ? c : c < 0x800 ? 0xC0 | (c >> 6) : c < 0x10000 ? 0xE0 | (c >> 12) : 0xF0 | (c >> 18);
    return nBytes + nFirst;
}

// The look-up ids: the successive values x of the 64-bit xorshift
// (13, 7, 17) from its start value, which itself is not used, each giving
// the id 1 + x mod nRows.
class LookupIds
{
public:
    explicit LookupIds(uint64_t nRows) : m_nRows(nRows) {}
    int nNext()
    {
        m_x ^= m_x << 13;
        m_x ^= m_x >> 7;
        m_x ^= m_x << 17;
        return static_cast<int>(1 + m_x % m_nRows);
    }

private:
    uint64_t m_nRows;
    uint64_t m_x = 0x9E3779B97F4A7C15ull;
};

// The timed window: wall time on the monotonic clock, the process's CPU.
class Window
{
public:
    void Start()
    {
        clock_gettime(CLOCK_MONOTONIC, &m_wall);
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &m_cpu);
    }
    void Stop()
    {
        timespec wall{}, cpu{};
        clock_gettime(CLOCK_MONOTONIC, &wall);
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        m_dWall = dSeconds(m_wall, wall);
        m_dCpu = dSeconds(m_cpu, cpu);
    }
    double dWall() const { return m_dWall; }
    double dCpu() const { return m_dCpu; }

private:
    static double dSeconds(const timespec& a, const timespec& b)
    {
        return static_cast<double>(b.tv_sec - a.tv_sec) + static_cast<double>(b.tv_nsec - a.tv_nsec) / 1e9;
    }
    timespec m_wall{}, m_cpu{};
    double m_dWall = 0, m_dCpu = 0;
};

// The line the harness reads of each run of a measure.
inline void PrintResult(const char* pszName, int nIteration, const Window& window, uint64_t nRows, uint64_t nChecksum)
{
    std::printf("RESULT %s %d %.6f %.6f %llu %llu\n", pszName, nIteration, window.dWall(), window.dCpu(),
                static_cast<unsigned long long>(nRows), static_cast<unsigned long long>(nChecksum));
    std::fflush(stdout);
}

// The process's peak resident memory, in kilobytes.
inline void PrintPeak(const char* pszName)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("PEAK %s %ld\n", pszName, usage.ru_maxrss);
    std::fflush(stdout);
}

}  // namespace vxbench
