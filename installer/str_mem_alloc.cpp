#include "installer/str_mem_alloc.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "common/system/information.h"
#include "installer/recursive_lock.h"

CStrMemAlloc* CStrMemAlloc::ms_pclAllocateur = nullptr;

namespace {

uint32_t Word(const unsigned char* pbyBlock, size_t offset)
{
    uint32_t value;
    std::memcpy(&value, pbyBlock + offset, 4);
    return value;
}

void SetWord(unsigned char* pbyBlock, size_t offset, uint32_t value)
{
    std::memcpy(pbyBlock + offset, &value, 4);
}

unsigned char* BlockOf(unsigned char* pData)
{
    return pData - CStrMemAlloc::nHeaderSize;
}

unsigned char* TextOf(unsigned char* pbyBlock)
{
    return pbyBlock + CStrMemAlloc::nHeaderSize;
}

void ZeroTail(unsigned char* pbyBlock, uint32_t dwCapacity)
{
    std::memset(TextOf(pbyBlock) + dwCapacity, 0, 4);
}
}  // namespace

CStrMemAlloc* CStrMemAlloc::s_pclInit()
{
    if (ms_pclAllocateur != nullptr)
        return ms_pclAllocateur;
    auto* allocator = new (std::nothrow) CStrMemAlloc();
    if (allocator == nullptr)
        return nullptr;
    if (!allocator->_bInitMutex()) {
        delete allocator;
        return nullptr;
    }
    ms_pclAllocateur = allocator;
    return allocator;
}

void CStrMemAlloc::s_Term()
{
    CStrMemAlloc* allocator = ms_pclAllocateur;
    if (allocator == nullptr)
        return;
    if (CInformationModule::ms_piStrMemAlloc == allocator->piGetStrMemAlloc())
        CInformationModule::ms_piStrMemAlloc = nullptr;
    ms_pclAllocateur = nullptr;
    delete allocator;
}

bool CStrMemAlloc::_bInitMutex()
{
    m_bMutexReady = bInitRecursiveMutex(&m_mutex);
    return m_bMutexReady;
}

CStrMemAlloc::~CStrMemAlloc()
{
    if (m_bMutexReady) {
        {
            CRecursiveLock lock(&m_mutex);
            _FreeAll();
        }
        pthread_mutex_destroy(&m_mutex);
    }
}

uint64_t CStrMemAlloc::s_llNewCapacity(uint64_t llRequest)
{
    if (llRequest <= dwSmallCapacity)
        return dwSmallCapacity;
    if (llRequest <= dwLargeCapacity)
        return dwLargeCapacity;
    // Saturates rather than wraps; anything that large fails the limit.
    return llRequest > UINT64_MAX / 2 ? UINT64_MAX : 2 * llRequest;
}

uint64_t CStrMemAlloc::s_llGrownCapacity(uint64_t llRequest, uint64_t llCapacity)
{
    if (llRequest <= dwLargeCapacity)
        return s_llNewCapacity(llRequest);
    // A request below the current capacity wraps the difference around and
    // so takes the last branch: twice the request.
    const uint64_t growth = llRequest - llCapacity;
    if (growth < llCapacity / 10)
        return llCapacity + llCapacity / 5;
    if (growth < llCapacity / 5)
        return llCapacity + llCapacity / 2;
    if (growth < llCapacity / 2)
        return 2 * llCapacity;
    return s_llNewCapacity(llRequest);
}

unsigned char* CStrMemAlloc::_pbyTakeCached(uint64_t llCapacity)
{
    if (llCapacity != dwSmallCapacity && llCapacity != dwLargeCapacity)
        return nullptr;
    CRecursiveLock lock(&m_mutex);
    return _pbyTake(llCapacity);
}

int CStrMemAlloc::vnAllocStrMem(unsigned char** ppData, size_t size)
{
    return vnAllocStrMemEx(ppData, size, 0);
}

int CStrMemAlloc::vnAllocStrMemEx(unsigned char** ppData, size_t size, unsigned flags)
{
    if (ppData == nullptr)
        return nNoMemory;
    const bool exact = (flags & STRMEM_EXACT_SIZE) != 0;
    const uint64_t capacity = exact ? size : s_llNewCapacity(size);
    if (capacity > llMaxCapacity)
        return nNoMemory;

    unsigned char* block = exact ? nullptr : _pbyTakeCached(capacity);
    if (block == nullptr) {
        block = static_cast<unsigned char*>(std::malloc(capacity + nBlockOverhead));
        if (block == nullptr)
            return nNoMemory;
        SetWord(block, nCapacityOffset, static_cast<uint32_t>(capacity));
    }
    SetWord(block, nFlagsOffset, 0);
    SetWord(block, nCountOffset, 1);
    SetWord(block, nLengthOffset, 0);
    std::memset(TextOf(block), 0, 4);
    ZeroTail(block, static_cast<uint32_t>(capacity));
    *ppData = TextOf(block);
    return 0;
}

int CStrMemAlloc::vnReallocStrMem(unsigned char** ppData, size_t size)
{
    return vnReallocStrMemEx(ppData, size, 0);
}

int CStrMemAlloc::vnReallocStrMemEx(unsigned char** ppData, size_t size, unsigned flags)
{
    if (ppData == nullptr)
        return nNoMemory;
    if (*ppData == nullptr)
        return vnAllocStrMemEx(ppData, size, flags);

    unsigned char* old = BlockOf(*ppData);
    const uint32_t oldCapacity = Word(old, nCapacityOffset);
    const bool exact = (flags & STRMEM_EXACT_SIZE) != 0;
    const uint64_t capacity = exact ? size : s_llGrownCapacity(size, oldCapacity);
    if (capacity > llMaxCapacity)
        return nNoMemory;
    if (capacity == oldCapacity) {
        ZeroTail(old, oldCapacity);
        return 0;
    }

    if (!exact) {
        if (unsigned char* block = _pbyTakeCached(capacity)) {
            // Whatever a heap reallocation would have kept is kept here too:
            // the header words and the common part of the text areas, with
            // the zero bytes behind a smaller old area.
            const size_t keep = oldCapacity < capacity ? oldCapacity + size_t{4} : capacity;
            SetWord(block, nFlagsOffset, Word(old, nFlagsOffset));
            SetWord(block, nCountOffset, 1);
            SetWord(block, nLengthOffset, Word(old, nLengthOffset));
            std::memcpy(TextOf(block), TextOf(old), keep);
            ZeroTail(block, static_cast<uint32_t>(capacity));
            SetWord(old, nCountOffset, 0);
            vReleaseStrMem(TextOf(old));
            *ppData = TextOf(block);
            return 0;
        }
    }

    auto* block = static_cast<unsigned char*>(std::realloc(old, capacity + nBlockOverhead));
    if (block == nullptr)
        return nNoMemory;
    SetWord(block, nCapacityOffset, static_cast<uint32_t>(capacity));
    ZeroTail(block, static_cast<uint32_t>(capacity));
    *ppData = TextOf(block);
    return 0;
}

void CStrMemAlloc::vReleaseStrMem(unsigned char* pData)
{
    if (pData == nullptr)
        return;
    unsigned char* block = BlockOf(pData);
    const uint32_t capacity = Word(block, nCapacityOffset);
    if (capacity == dwSmallCapacity || capacity == dwLargeCapacity) {
        CRecursiveLock lock(&m_mutex);
        if (_bGive(block, capacity))
            return;
    }
    std::free(block);
}

int CStrMemAlloc::vnGetVersionIStrMemAlloc()
{
    return 2;
}
