#include "common/system/xmalloc.h"

#include <cstdlib>

namespace {
PFXMALLOC_FAILURE gpfFailureHook = nullptr;
}

void XMALLOC_SetFailureHook(PFXMALLOC_FAILURE pfHook)
{
    gpfFailureHook = pfHook;
}

void* XMALLOC_pNew_(size_t n)
{
    if (gpfFailureHook != nullptr && gpfFailureHook(n)) return nullptr;
    return std::malloc(n);
}

void* XMALLOC_pResize_(void* p, size_t n)
{
    if (p == nullptr) return XMALLOC_pNew_(n);
    if (gpfFailureHook != nullptr && gpfFailureHook(n)) return nullptr;
    return std::realloc(p, n);
}

void XMALLOC_Del_(void* p)
{
    if (p != nullptr) std::free(p);
}
