#pragma once

#include <cstddef>
#include <cstdint>

// The record passed with the host command 3184, asking the host to write a
// C call-stack text into the buffer. The layout is the host's.
struct stRemplitPileC
{
    int32_t nParam1;
    int32_t nPadding;
    wchar_t* pszBuffer;
    int32_t nParam3;
    int32_t nParam4;
};

static_assert(sizeof(stRemplitPileC) == 24);
static_assert(offsetof(stRemplitPileC, nParam1) == 0);
static_assert(offsetof(stRemplitPileC, pszBuffer) == 8);
static_assert(offsetof(stRemplitPileC, nParam3) == 16);
static_assert(offsetof(stRemplitPileC, nParam4) == 20);
