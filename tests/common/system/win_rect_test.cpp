// Rectangle arithmetic of the Windows interface.
#include <gtest/gtest.h>

#include <climits>

#include "common/system/win_rect.h"

namespace {

::testing::AssertionResult Is(const RECT& r, int l, int t, int rr, int b)
{
    if (r.left == l && r.top == t && r.right == rr && r.bottom == b)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

TEST(WinRect, SubtractLeavesWhatIsStillARectangle)
{
    const RECT a = {0, 0, 10, 10};
    struct Case
    {
        RECT b;
        int bResult;
        RECT r;
    } aCases[] = {
        {{0, 0, 10, 4}, 1, {0, 4, 10, 10}},      // top band
        {{0, 6, 10, 12}, 1, {0, 0, 10, 6}},      // bottom band, reaching out
        {{-5, -5, 3, 20}, 1, {3, 0, 10, 10}},    // left band
        {{7, 0, 10, 10}, 1, {0, 0, 7, 10}},      // right band
        {{2, 2, 4, 4}, 1, {0, 0, 10, 10}},       // a hole: a itself
        {{0, 3, 10, 6}, 1, {0, 0, 10, 10}},      // a middle band: a itself
        {{-1, -1, 11, 11}, 0, {0, 0, 0, 0}},     // covered
        {{10, 0, 20, 10}, 1, {0, 0, 10, 10}},    // touching only
    };
    for (const Case& c : aCases)
    {
        RECT r = {9, 9, 9, 9};
        EXPECT_EQ(c.bResult, SubtractRect(&r, &a, &c.b));
        EXPECT_TRUE(Is(r, c.r.left, c.r.top, c.r.right, c.r.bottom))
            << c.b.left << "," << c.b.top << "," << c.b.right << "," << c.b.bottom;
    }
    const RECT e = {5, 5, 5, 9};
    RECT r = {9, 9, 9, 9};
    EXPECT_EQ(0, SubtractRect(&r, &e, &a));
    EXPECT_TRUE(Is(r, 0, 0, 0, 0));
}

TEST(WinRect, UnionTakesOnlyNonEmptyRectangles)
{
    const RECT a = {0, 0, 2, 2}, b = {5, -1, 6, 1}, e = {3, 3, 3, 8};
    RECT r;
    EXPECT_EQ(1, UnionRect(&r, &a, &b));
    EXPECT_TRUE(Is(r, 0, -1, 6, 2));
    EXPECT_EQ(1, UnionRect(&r, &e, &b));
    EXPECT_TRUE(Is(r, 5, -1, 6, 1));
    EXPECT_EQ(1, UnionRect(&r, &a, &e));
    EXPECT_TRUE(Is(r, 0, 0, 2, 2));
    EXPECT_EQ(0, UnionRect(&r, &e, &e));
    EXPECT_TRUE(Is(r, 0, 0, 0, 0));
    RECT self = a;
    EXPECT_EQ(1, UnionRect(&self, &self, &b)) << "the destination may be a source";
    EXPECT_TRUE(Is(self, 0, -1, 6, 2));
}

TEST(WinRect, SmallOperations)
{
    RECT r;
    EXPECT_EQ(0, SetRect(nullptr, 1, 2, 3, 4));
    EXPECT_EQ(1, SetRect(&r, 1, 2, 5, 7));
    EXPECT_EQ(1, PtInRect(&r, POINT{1, 2}));
    EXPECT_EQ(0, PtInRect(&r, POINT{5, 2})) << "right excluded";
    EXPECT_EQ(0, PtInRect(&r, POINT{1, 7})) << "bottom excluded";
    RECT c;
    EXPECT_EQ(1, CopyRect(&c, &r));
    EXPECT_EQ(1, EqualRect(&c, &r));
    EXPECT_EQ(1, InflateRect(&c, 2, -1));
    EXPECT_TRUE(Is(c, -1, 3, 7, 6));
    EXPECT_EQ(0, EqualRect(&c, &r));
    EXPECT_EQ(1, OffsetRect(&c, 1, 1));
    EXPECT_TRUE(Is(c, 0, 4, 8, 7));
    RECT i;
    EXPECT_EQ(1, IntersectRect(&i, &c, &r));
    EXPECT_TRUE(Is(i, 1, 4, 5, 7));
    EXPECT_EQ(0, IsRectEmpty(&c));
    EXPECT_EQ(1, SetRectEmpty(&c));
    EXPECT_EQ(1, IsRectEmpty(&c));

    // Edges far apart are no empty rectangle, and inflating wraps.
    RECT w = {INT_MIN, 0, INT_MAX, 1};
    EXPECT_EQ(0, IsRectEmpty(&w));
    EXPECT_EQ(1, InflateRect(&w, 1, 0));
    EXPECT_TRUE(Is(w, INT_MAX, 0, INT_MIN, 1));
}

}  // namespace
