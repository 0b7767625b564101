#pragma once

#include <cstddef>

// Options of a cast between 8-bit and wide text, passed through to the host's
// virtual machine unchanged; the library itself reads and writes only the
// code page.
struct STOCAW
{
    unsigned int nCodePage;
    unsigned int nMode;
};

static_assert(offsetof(STOCAW, nCodePage) == 0, "the code page opens the record");
static_assert(sizeof(STOCAW) == 8);
