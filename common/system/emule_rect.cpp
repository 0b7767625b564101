#include "common/system/emule_rect.h"

#include <algorithm>

bool bEmule_IsRectEmpty(const tagRECT* r)
{
    return r->left >= r->right || r->top >= r->bottom;
}

bool bEmule_OffsetRect(tagRECT* r, int dx, int dy)
{
    // Wrapping like the 32-bit original, without signed overflow.
    r->left = static_cast<int32_t>(static_cast<uint32_t>(r->left) + static_cast<uint32_t>(dx));
    r->right = static_cast<int32_t>(static_cast<uint32_t>(r->right) + static_cast<uint32_t>(dx));
    r->top = static_cast<int32_t>(static_cast<uint32_t>(r->top) + static_cast<uint32_t>(dy));
    r->bottom = static_cast<int32_t>(static_cast<uint32_t>(r->bottom) + static_cast<uint32_t>(dy));
    return true;
}

bool bEmule_IntersectRect(tagRECT* dst, const tagRECT* a, const tagRECT* b)
{
    if (!bEmule_IsRectEmpty(a) && !bEmule_IsRectEmpty(b) && a->left < b->right && a->right > b->left
        && a->top < b->bottom && a->bottom > b->top) {
        // Computed first: dst may be a or b.
        const tagRECT r = {std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
                           std::min(a->bottom, b->bottom)};
        *dst = r;
        return true;
    }
    *dst = tagRECT{0, 0, 0, 0};
    return false;
}
