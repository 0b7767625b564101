#include "tests/host/kit/standin_str_mem_alloc.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint64_t kGuard = 0x5354524D454D4B31ull;  // "STRMEMK1"
constexpr size_t kPrefix = 8 + 16;                  // guard, then four header words
constexpr size_t kLimit = 0x7FFFFEFFull;            // the library never asks more

unsigned char* BaseOf(unsigned char* data) { return data - kPrefix; }

void CheckGuard(unsigned char* data)
{
    uint64_t guard;
    std::memcpy(&guard, BaseOf(data), sizeof guard);
    if (guard != kGuard) {
        std::fprintf(stderr, "standin allocator: header before the flags word was overwritten\n");
        std::abort();
    }
}

void SetWord(unsigned char* data, int before, uint32_t value)
{
    std::memcpy(data - 4 * before, &value, 4);
}

}  // namespace

uint32_t StandinStrMemAlloc::Word(const unsigned char* data, int before)
{
    uint32_t value;
    std::memcpy(&value, data - 4 * before, 4);
    return value;
}

void StandinStrMemAlloc::FailNth(int n, int code)
{
    m_failCode = code;
    m_failAt = n <= 0 ? 0 : m_requests.load() + n;
}

void StandinStrMemAlloc::Reset()
{
    m_version = 2;
    m_alwaysMove = false;
    m_failAt = 0;
    m_failCode = kFailureCode;
    m_largest = 0;
    m_lastFlags = 0;
    for (auto& c : m_calls)
        c = 0;
}

long StandinStrMemAlloc::AllocAndReallocCalls() const
{
    return Calls(kAlloc) + Calls(kRealloc) + Calls(kAllocEx) + Calls(kReallocEx);
}

bool StandinStrMemAlloc::ShouldFail(int* code)
{
    long n = ++m_requests;
    long at = m_failAt.load();
    if (at != 0 && n == at) {
        m_failAt = 0;
        *code = m_failCode.load();
        return true;
    }
    return false;
}

void StandinStrMemAlloc::NoteRequest(size_t size)
{
    size_t seen = m_largest.load();
    while (size > seen && !m_largest.compare_exchange_weak(seen, size)) {
    }
}

int StandinStrMemAlloc::Allocate(unsigned char** ppData, size_t size)
{
    NoteRequest(size);
    int code;
    if (ShouldFail(&code))
        return code;
    if (size > kLimit)
        return kFailureCode;
    auto* base = static_cast<unsigned char*>(std::malloc(kPrefix + size + 4));
    if (base == nullptr)
        return kFailureCode;
    std::memcpy(base, &kGuard, sizeof kGuard);
    unsigned char* data = base + kPrefix;
    SetWord(data, 4, 0);
    SetWord(data, 3, 1);
    SetWord(data, 2, static_cast<uint32_t>(size));
    SetWord(data, 1, 0);
    std::memset(data + size, 0, 4);
    *ppData = data;
    ++m_live;
    return 0;
}

int StandinStrMemAlloc::Reallocate(unsigned char** ppData, size_t size)
{
    NoteRequest(size);
    unsigned char* old = *ppData;
    CheckGuard(old);
    int code;
    if (ShouldFail(&code))
        return code;
    if (size > kLimit)
        return kFailureCode;
    uint32_t capacity = Capacity(old);
    unsigned char* data;
    if (m_alwaysMove) {
        auto* base = static_cast<unsigned char*>(std::malloc(kPrefix + size + 4));
        if (base == nullptr)
            return kFailureCode;
        size_t keep = size < capacity ? size : capacity;
        std::memcpy(base, BaseOf(old), kPrefix + keep);
        std::memset(BaseOf(old), 0xA5, kPrefix + capacity + 4);
        std::free(BaseOf(old));
        data = base + kPrefix;
    } else {
        auto* base = static_cast<unsigned char*>(std::realloc(BaseOf(old), kPrefix + size + 4));
        if (base == nullptr)
            return kFailureCode;
        data = base + kPrefix;
    }
    SetWord(data, 2, static_cast<uint32_t>(size));
    std::memset(data + size, 0, 4);
    *ppData = data;
    return 0;
}

int StandinStrMemAlloc::vnGetVersionIStrMemAlloc()
{
    ++m_calls[kGetVersion];
    return m_version;
}

int StandinStrMemAlloc::vnAllocStrMem(unsigned char** ppData, size_t size)
{
    ++m_calls[kAlloc];
    return Allocate(ppData, size);
}

int StandinStrMemAlloc::vnReallocStrMem(unsigned char** ppData, size_t size)
{
    ++m_calls[kRealloc];
    return Reallocate(ppData, size);
}

void StandinStrMemAlloc::vReleaseStrMem(unsigned char* pData)
{
    ++m_calls[kRelease];
    if (pData == nullptr)
        return;
    CheckGuard(pData);
    if (Count(pData) != 0) {
        std::fprintf(stderr, "standin allocator: block released with count %u\n", Count(pData));
        std::abort();
    }
    std::memset(BaseOf(pData), 0xDD, kPrefix + Capacity(pData) + 4);
    std::free(BaseOf(pData));
    --m_live;
}

int StandinStrMemAlloc::vnAllocStrMemEx(unsigned char** ppData, size_t size, unsigned flags)
{
    ++m_calls[kAllocEx];
    m_lastFlags = flags;
    return Allocate(ppData, size);
}

int StandinStrMemAlloc::vnReallocStrMemEx(unsigned char** ppData, size_t size, unsigned flags)
{
    ++m_calls[kReallocEx];
    m_lastFlags = flags;
    return Reallocate(ppData, size);
}
