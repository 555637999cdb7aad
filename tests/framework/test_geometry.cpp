// CPoint, CSize and CRect arithmetic with the Win32 rectangle rules.
#include "framework/core.h"

#include <gtest/gtest.h>

namespace
{
::testing::AssertionResult Is(const CRect& r, int l, int t, int rr, int b)
{
    if (r == CRect(l, t, rr, b))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}
} // namespace

TEST(CRect, IntersectAndUnionFollowWin32)
{
    struct Case {
        const char* what;
        CRect a, b;
        BOOL intersects;
        CRect inter;
        BOOL unites;
        CRect uni;
    };
    const Case cases[] = {
        {"overlap", {0, 0, 10, 10}, {5, 5, 15, 15}, TRUE, {5, 5, 10, 10}, TRUE, {0, 0, 15, 15}},
        {"inside", {0, 0, 10, 10}, {2, 3, 4, 5}, TRUE, {2, 3, 4, 5}, TRUE, {0, 0, 10, 10}},
        {"touching edges", {0, 0, 10, 10}, {10, 0, 20, 10}, FALSE, {}, TRUE, {0, 0, 20, 10}},
        {"apart", {0, 0, 1, 1}, {5, 5, 6, 6}, FALSE, {}, TRUE, {0, 0, 6, 6}},
        {"one empty", {3, 3, 3, 9}, {0, 0, 2, 2}, FALSE, {}, TRUE, {0, 0, 2, 2}},
        {"both empty", {1, 1, 1, 1}, {4, 4, 2, 2}, FALSE, {}, FALSE, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CRect r(99, 99, 99, 99);
        EXPECT_EQ(r.IntersectRect(&c.a, &c.b), c.intersects);
        EXPECT_EQ(r, c.inter);
        EXPECT_EQ(c.a & c.b, c.inter);
        EXPECT_EQ(r.UnionRect(&c.a, &c.b), c.unites);
        EXPECT_EQ(r, c.uni);
        EXPECT_EQ(c.a | c.b, c.uni);
    }
    CRect self(0, 0, 10, 10);
    self &= CRect(5, -5, 20, 5); // the target may be one of the operands
    EXPECT_TRUE(Is(self, 5, 0, 10, 5));
}

TEST(CRect, MeasuresMovesAndResizes)
{
    CRect r(10, 20, 110, 70);
    EXPECT_EQ(r.Width(), 100);
    EXPECT_EQ(r.Height(), 50);
    EXPECT_EQ(r.Size(), CSize(100, 50));
    EXPECT_EQ(r.CenterPoint(), CPoint(60, 45));
    EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(r.PtInRect(CPoint(110, 20))); // right and bottom edges are outside
    EXPECT_FALSE(r.PtInRect(CPoint(10, 70)));

    r.OffsetRect(-10, 5);
    EXPECT_TRUE(Is(r, 0, 25, 100, 75));
    r.InflateRect(1, 2);
    EXPECT_TRUE(Is(r, -1, 23, 101, 77));
    r.DeflateRect(1, 2, 3, 4);
    EXPECT_TRUE(Is(r, 0, 25, 98, 73));
    r.MoveToXY(5, 5);
    EXPECT_TRUE(Is(r, 5, 5, 103, 53));
    r.TopLeft() = CPoint(0, 0); // writes through to the rectangle
    r.BottomRight() += CSize(2, 2);
    EXPECT_TRUE(Is(r, 0, 0, 105, 55));
    EXPECT_TRUE(Is(r + CPoint(1, 1) - CSize(0, 2), 1, -1, 106, 54));

    CRect flipped(10, 10, 0, 0);
    EXPECT_TRUE(flipped.IsRectEmpty());
    EXPECT_FALSE(flipped.IsRectNull());
    flipped.NormalizeRect();
    EXPECT_TRUE(Is(flipped, 0, 0, 10, 10));
    flipped.SetRectEmpty();
    EXPECT_TRUE(flipped.IsRectNull());

    RECT raw = {1, 2, 3, 4};
    CRect fromRaw(raw);
    LPRECT p = fromRaw;
    p->left = 0;
    EXPECT_TRUE(Is(fromRaw, 0, 2, 3, 4));

    EXPECT_EQ(CPoint(5, 5) - CPoint(2, 1), CSize(3, 4));
    EXPECT_EQ(-CPoint(1, -2), CPoint(-1, 2));
    EXPECT_EQ(CPoint(MAKELONG(-3, 7)), CPoint(-3, 7)); // signed words, as in mouse messages
}
