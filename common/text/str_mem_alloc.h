#pragma once

#include <cstddef>

// The string memory allocator through which every runtime string block
// (CXYString<char>, CXYString<wchar_t>, CZLBIN) is allocated and released.
// The host supplies it to the driver; the installer brings its own. The slot
// order is the host's and must not change; there is no destructor slot.
//
// Block contract relied on: at least `size` bytes of data plus four spare
// bytes behind them, preceded by the header words flags, reference count (1),
// capacity and length (0); growth keeps flags, count, length and data.
class IStrMemAlloc
{
public:
    virtual int vnGetVersionIStrMemAlloc() = 0;
    virtual int vnAllocStrMem(unsigned char** ppData, size_t size) = 0;
    virtual int vnReallocStrMem(unsigned char** ppData, size_t size) = 0;
    virtual void vReleaseStrMem(unsigned char* pData) = 0;
    virtual int vnAllocStrMemEx(unsigned char** ppData, size_t size, unsigned flags) = 0;
    virtual int vnReallocStrMemEx(unsigned char** ppData, size_t size, unsigned flags) = 0;

    // Routing steps used by the runtime strings: an allocator of version 1
    // gets the plain slots (flags dropped), version 2 and later the Ex slots.
    // They work on the published allocator; without one they fail with
    // nNoAllocator instead of calling through null.
    static int nAllocStrMem(unsigned char** ppData, size_t size, unsigned flags);
    static int nReallocStrMem(unsigned char** ppData, size_t size, unsigned flags);
    // Hands a block whose count reached zero back to the published allocator;
    // does nothing when none is published.
    static void ReleaseStrMem(unsigned char* pData);

    static constexpr int nNoAllocator = 100;

protected:
    ~IStrMemAlloc() = default;
};

// Allocation flags of the Ex slots.
constexpr unsigned STRMEM_EXACT_SIZE = 0x1;
