#include "common/text/str_mem_alloc.h"

#include "common/system/information.h"

int IStrMemAlloc::nAllocStrMem(unsigned char** ppData, size_t size, unsigned flags)
{
    IStrMemAlloc* allocator = CInformationModule::ms_piStrMemAlloc;
    if (allocator == nullptr)
        return nNoAllocator;
    if (allocator->vnGetVersionIStrMemAlloc() < 2)
        return allocator->vnAllocStrMem(ppData, size);
    return allocator->vnAllocStrMemEx(ppData, size, flags);
}

int IStrMemAlloc::nReallocStrMem(unsigned char** ppData, size_t size, unsigned flags)
{
    IStrMemAlloc* allocator = CInformationModule::ms_piStrMemAlloc;
    if (allocator == nullptr)
        return nNoAllocator;
    if (allocator->vnGetVersionIStrMemAlloc() < 2)
        return allocator->vnReallocStrMem(ppData, size);
    return allocator->vnReallocStrMemEx(ppData, size, flags);
}

void IStrMemAlloc::ReleaseStrMem(unsigned char* pData)
{
    IStrMemAlloc* allocator = CInformationModule::ms_piStrMemAlloc;
    if (allocator != nullptr && pData != nullptr)
        allocator->vReleaseStrMem(pData);
}
