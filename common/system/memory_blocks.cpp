#include "common/system/memory_blocks.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// The header keeps the block aligned as malloc aligns; the size is stored in
// its last 4 bytes, right before the block.
constexpr size_t kHeader = alignof(std::max_align_t);
static_assert(kHeader >= sizeof(uint32_t));

unsigned char* Base(void* pBlock)
{
    return static_cast<unsigned char*>(pBlock) - kHeader;
}

uint32_t StoredSize(const void* pBlock)
{
    uint32_t n;
    std::memcpy(&n, static_cast<const unsigned char*>(pBlock) - sizeof(uint32_t), sizeof n);
    return n;
}

void* Publish(unsigned char* pBase, size_t nSize)
{
    const auto n = static_cast<uint32_t>(nSize);
    std::memcpy(pBase + kHeader - sizeof n, &n, sizeof n);
    return pBase + kHeader;
}

void* Failed(unsigned int nFlags)
{
    if (nFlags & HEAP_GENERATE_EXCEPTIONS)
        throw static_cast<unsigned int>(STATUS_NO_MEMORY);
    return nullptr;
}

}  // namespace

void* GlobalAlloc(unsigned int nFlags, size_t nSize)
{
    if (nFlags & GMEM_ZEROINIT)
        return std::calloc(1, nSize);
    return std::malloc(nSize);
}

void* GlobalReAlloc(void* p, size_t nSize, unsigned int nFlags)
{
    if (nFlags & GMEM_MODIFY)
        return p;
    void* pNew = std::realloc(p, nSize);
    if (pNew != nullptr && (nFlags & GMEM_ZEROINIT))
        std::memset(pNew, 0, nSize);
    return pNew;
}

void* GlobalFree(void* p)
{
    std::free(p);
    return nullptr;
}

void* GlobalLock(void* h)
{
    return h;
}

int GlobalUnlock(void*)
{
    return 1;
}

void* HeapAlloc(void*, unsigned int nFlags, size_t nSize)
{
    if (nSize > UINT32_MAX)
        return Failed(nFlags);
    auto* pBase = static_cast<unsigned char*>(std::malloc(kHeader + nSize));
    if (pBase == nullptr)
        return Failed(nFlags);
    void* pBlock = Publish(pBase, nSize);
    if (nFlags & HEAP_ZERO_MEMORY)
        std::memset(pBlock, 0, nSize);
    return pBlock;
}

void* HeapReAlloc(void*, unsigned int nFlags, void* pBlock, size_t nSize)
{
    if (pBlock == nullptr || nSize > UINT32_MAX)
        return Failed(nFlags);
    const size_t nOld = StoredSize(pBlock);
    auto* pBase = static_cast<unsigned char*>(std::realloc(Base(pBlock), kHeader + nSize));
    if (pBase == nullptr)
        return Failed(nFlags);
    void* pNew = Publish(pBase, nSize);
    if ((nFlags & HEAP_ZERO_MEMORY) && nSize > nOld)
        std::memset(static_cast<unsigned char*>(pNew) + nOld, 0, nSize - nOld);
    return pNew;
}

int HeapFree(void*, unsigned int, void* pBlock)
{
    if (pBlock != nullptr)
        std::free(Base(pBlock));
    return 1;
}

void ZeroMemory(void* p, size_t n)
{
    std::memset(p, 0, n);
}
