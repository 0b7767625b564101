#pragma once

#include <pthread.h>

#include <cstddef>
#include <cstdint>

#include "common/text/str_mem_alloc.h"
#include "installer/str_mem_cache.h"

// The installer's own string memory allocator: the program has no host to
// give it one, so it publishes this in CInformationModule::ms_piStrMemAlloc
// before the first runtime string is made and withdraws it last.
//
// A block, from the start of its heap area: link to the next cached block
// (8 bytes, used only while cached), flags, reference count, capacity and
// length (32 bits each), then the text area of `capacity` bytes and four zero
// bytes behind it. Callers hold the address of the text area, so the count
// lies 12 bytes before it as the runtime strings expect.
class CStrMemAlloc : public CStrMemCache, public IStrMemAlloc
{
public:
    static constexpr size_t nLinkOffset = 0;
    static constexpr size_t nFlagsOffset = 8;
    static constexpr size_t nCountOffset = 12;
    static constexpr size_t nCapacityOffset = 16;
    static constexpr size_t nLengthOffset = 20;
    static constexpr size_t nHeaderSize = 24;
    static constexpr size_t nBlockOverhead = nHeaderSize + 4;
    // The capacity is kept in a 32-bit header word.
    static constexpr uint64_t llMaxCapacity = UINT32_MAX;
    static constexpr int nNoMemory = 100;

    // Creates the allocator and records it in ms_pclAllocateur; while one is
    // recorded, returns that one. Null when it cannot be created.
    static CStrMemAlloc* s_pclInit();
    // Destroys the recorded allocator, if any, after withdrawing it from
    // CInformationModule::ms_piStrMemAlloc when it is the one published
    // there. Blocks still held by strings are not tracked.
    static void s_Term();
    static CStrMemAlloc* ms_pclAllocateur;

    // The side to publish as the process's string allocator. It is not the
    // object's first base, so it is reached by a real conversion.
    IStrMemAlloc* piGetStrMemAlloc() { return static_cast<IStrMemAlloc*>(this); }

    ~CStrMemAlloc() override;

    int vnAllocStrMem(unsigned char** ppData, size_t size) override;
    int vnAllocStrMemEx(unsigned char** ppData, size_t size, unsigned flags) override;
    int vnReallocStrMem(unsigned char** ppData, size_t size) override;
    int vnReallocStrMemEx(unsigned char** ppData, size_t size, unsigned flags) override;
    void vReleaseStrMem(unsigned char* pData) override;
    int vnGetVersionIStrMemAlloc() override;

    // Capacity given to a new block and to a grown one (flags bit 0 clear),
    // computed in 64 bits; above llMaxCapacity the request fails.
    static uint64_t s_llNewCapacity(uint64_t llRequest);
    static uint64_t s_llGrownCapacity(uint64_t llRequest, uint64_t llCapacity);

private:
    CStrMemAlloc() = default;
    bool _bInitMutex();

    unsigned char* _pbyTakeCached(uint64_t llCapacity);

    pthread_mutex_t m_mutex;
    bool m_bMutexReady = false;
};
