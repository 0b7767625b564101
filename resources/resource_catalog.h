#pragma once

#include <cstddef>
#include <cstdint>

// Every resource text of a deliverable as its message files give it, for the
// tests: the id, the usage class, the argument kinds its callers pass
// (comma-separated: s, S, hs, d, u, x, X, lld, llu, p, f; empty for none) and
// the UTF-8 text. Generated next to the deliverable's block; sorted by id.
struct _stResourceCatalog32
{
    uint32_t dwId;
    uint32_t nUsage;
    const char* pszArgs;
    const char* pszText;
};

extern const _stResourceCatalog32 gstResourceCatalog32[];
extern const size_t gnNbResourceCatalog32;
