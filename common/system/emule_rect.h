#pragma once

#include <cstdint>

// The Windows-style rectangle: signed 32-bit edges, right and bottom excluded.
struct tagRECT
{
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};
using RECT = tagRECT;
static_assert(sizeof(tagRECT) == 16);

// Empty when it has no width or no height.
bool bEmule_IsRectEmpty(const tagRECT* r);
bool bEmule_OffsetRect(tagRECT* r, int dx, int dy);
// The overlap of a and b in dst; (0, 0, 0, 0) and false when either is empty
// or they do not overlap (touching edges do not).
bool bEmule_IntersectRect(tagRECT* dst, const tagRECT* a, const tagRECT* b);
