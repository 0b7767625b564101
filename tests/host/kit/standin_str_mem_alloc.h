#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "common/text/str_mem_alloc.h"

// The host's string memory allocator as the library expects it, with the
// controls tests need: the interface version, an "always move" realloc that
// poisons and frees the old block (stale pointers then fault under
// AddressSanitizer), failure of the N-th call, and counters.
//
// Block layout from the start of the malloc'd area: a 64-bit guard word the
// library must never touch, then flags, count, capacity, length, the data and
// four zero bytes. The guard is checked on every realloc and release.
class StandinStrMemAlloc final : public IStrMemAlloc
{
public:
    enum Slot { kGetVersion, kAlloc, kRealloc, kRelease, kAllocEx, kReallocEx, kSlotCount };

    StandinStrMemAlloc() = default;
    StandinStrMemAlloc(const StandinStrMemAlloc&) = delete;
    StandinStrMemAlloc& operator=(const StandinStrMemAlloc&) = delete;
    ~StandinStrMemAlloc() = default;

    int vnGetVersionIStrMemAlloc() override;
    int vnAllocStrMem(unsigned char** ppData, size_t size) override;
    int vnReallocStrMem(unsigned char** ppData, size_t size) override;
    void vReleaseStrMem(unsigned char* pData) override;
    int vnAllocStrMemEx(unsigned char** ppData, size_t size, unsigned flags) override;
    int vnReallocStrMemEx(unsigned char** ppData, size_t size, unsigned flags) override;

    // Controls.
    void SetVersion(int version) { m_version = version; }
    void SetAlwaysMove(bool on) { m_alwaysMove = on; }
    // The n-th allocation or reallocation from now (1 = the next) fails with
    // `code`; 0 disarms.
    void FailNth(int n, int code);
    void Reset();  // counters and controls back to their defaults; blocks stay

    // Observations.
    long LiveBlocks() const { return m_live.load(); }
    size_t LargestRequest() const { return m_largest.load(); }
    long Calls(Slot slot) const { return m_calls[slot].load(); }
    long AllocAndReallocCalls() const;
    unsigned LastFlags() const { return m_lastFlags.load(); }

    // Header of a block, for tests that read it directly.
    static uint32_t Flags(const unsigned char* data) { return Word(data, 4); }
    static uint32_t Count(const unsigned char* data) { return Word(data, 3); }
    static uint32_t Capacity(const unsigned char* data) { return Word(data, 2); }
    static uint32_t Length(const unsigned char* data) { return Word(data, 1); }

    static constexpr int kFailureCode = 100;

private:
    static uint32_t Word(const unsigned char* data, int before);
    bool ShouldFail(int* code);
    int Allocate(unsigned char** ppData, size_t size);
    int Reallocate(unsigned char** ppData, size_t size);
    void NoteRequest(size_t size);

    std::atomic<int> m_version{2};
    std::atomic<bool> m_alwaysMove{false};
    std::atomic<long> m_failAt{0};
    std::atomic<int> m_failCode{kFailureCode};
    std::atomic<long> m_requests{0};
    std::atomic<long> m_live{0};
    std::atomic<size_t> m_largest{0};
    std::atomic<unsigned> m_lastFlags{0};
    std::atomic<long> m_calls[kSlotCount]{};
};
