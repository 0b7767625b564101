#pragma once

#include <cstdint>

#include "common/system/emule_rect.h"

// Rectangle arithmetic of the Windows interface over tagRECT. A rectangle is
// empty when it has no width or no height. Edges move with 32-bit wrapping.
// IsRectEmpty, OffsetRect and IntersectRect are the bEmule_ functions.

struct tagPOINT
{
    int32_t x;
    int32_t y;
};
using POINT = tagPOINT;
static_assert(sizeof(tagPOINT) == 8);

int CopyRect(RECT* pDst, const RECT* pSrc);
int IsRectEmpty(const RECT* r);
// left <= x < right and top <= y < bottom.
int PtInRect(const RECT* r, POINT pt);
int SetRectEmpty(RECT* r);
// False for a null rectangle.
int SetRect(RECT* r, int nLeft, int nTop, int nRight, int nBottom);
int EqualRect(const RECT* a, const RECT* b);
// Moves left and top out by -dx, -dy and right and bottom by dx, dy.
int InflateRect(RECT* r, int dx, int dy);
int OffsetRect(RECT* r, int dx, int dy);
// The bounding rectangle of the non-empty ones; both empty: all 0 and false.
int UnionRect(RECT* pDst, const RECT* a, const RECT* b);
int IntersectRect(RECT* pDst, const RECT* a, const RECT* b);
// a without b, when what is left is a rectangle (b covers a whole side of
// a); otherwise a itself. a empty, or wholly covered: all 0 and false.
int SubtractRect(RECT* pDst, const RECT* a, const RECT* b);
