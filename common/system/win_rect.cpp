#include "common/system/win_rect.h"

#include <algorithm>

namespace {

int32_t Plus(int32_t n, int32_t d)
{
    return static_cast<int32_t>(static_cast<uint32_t>(n) + static_cast<uint32_t>(d));
}

int32_t Minus(int32_t n, int32_t d)
{
    return static_cast<int32_t>(static_cast<uint32_t>(n) - static_cast<uint32_t>(d));
}

}  // namespace

int CopyRect(RECT* pDst, const RECT* pSrc)
{
    *pDst = *pSrc;
    return 1;
}

int IsRectEmpty(const RECT* r)
{
    return bEmule_IsRectEmpty(r);
}

int PtInRect(const RECT* r, POINT pt)
{
    return r->left <= pt.x && pt.x < r->right && r->top <= pt.y && pt.y < r->bottom;
}

int SetRectEmpty(RECT* r)
{
    *r = RECT{0, 0, 0, 0};
    return 1;
}

int SetRect(RECT* r, int nLeft, int nTop, int nRight, int nBottom)
{
    if (r == nullptr)
        return 0;
    *r = RECT{nLeft, nTop, nRight, nBottom};
    return 1;
}

int EqualRect(const RECT* a, const RECT* b)
{
    return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

int InflateRect(RECT* r, int dx, int dy)
{
    r->left = Minus(r->left, dx);
    r->top = Minus(r->top, dy);
    r->right = Plus(r->right, dx);
    r->bottom = Plus(r->bottom, dy);
    return 1;
}

int OffsetRect(RECT* r, int dx, int dy)
{
    return bEmule_OffsetRect(r, dx, dy);
}

int UnionRect(RECT* pDst, const RECT* a, const RECT* b)
{
    const bool bEmptyA = bEmule_IsRectEmpty(a);
    const bool bEmptyB = bEmule_IsRectEmpty(b);
    if (bEmptyA && bEmptyB)
    {
        *pDst = RECT{0, 0, 0, 0};
        return 0;
    }
    if (bEmptyA || bEmptyB)
    {
        *pDst = bEmptyA ? *b : *a;
        return 1;
    }
    // Computed first: pDst may be a or b.
    const RECT r = {std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                    std::max(a->bottom, b->bottom)};
    *pDst = r;
    return 1;
}

int IntersectRect(RECT* pDst, const RECT* a, const RECT* b)
{
    return bEmule_IntersectRect(pDst, a, b);
}

int SubtractRect(RECT* pDst, const RECT* a, const RECT* b)
{
    if (bEmule_IsRectEmpty(a))
    {
        *pDst = RECT{0, 0, 0, 0};
        return 0;
    }
    RECT r = *a;
    RECT i;
    if (!bEmule_IntersectRect(&i, a, b))
    {
        *pDst = r;
        return 1;
    }
    const bool bFullWidth = i.left == a->left && i.right == a->right;
    const bool bFullHeight = i.top == a->top && i.bottom == a->bottom;
    if (bFullWidth && bFullHeight)
    {
        *pDst = RECT{0, 0, 0, 0};
        return 0;
    }
    if (bFullWidth)
    {
        if (i.top == a->top)
            r.top = i.bottom;
        else if (i.bottom == a->bottom)
            r.bottom = i.top;
    }
    else if (bFullHeight)
    {
        if (i.left == a->left)
            r.left = i.right;
        else if (i.right == a->right)
            r.right = i.left;
    }
    *pDst = r;
    return 1;
}
