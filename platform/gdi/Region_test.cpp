#include "platform/gdi/Region.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

namespace tessmor {
namespace {

// Unit squares of the region inside the window (0, 0) .. (w, h).
int CountUnits(const Region& r, int w, int h) {
  int n = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) n += r.Contains(x, y) ? 1 : 0;
  }
  return n;
}

// A five-pointed star drawn in one stroke: its centre pentagon is wound twice.
const POINT kStar[] = {{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};

TEST(Region, EmptyRegionHasNoBoxAndNoRectangles) {
  const Region r;
  EXPECT_TRUE(r.IsEmpty());
  EXPECT_EQ(r.Kind(), NULLREGION);
  EXPECT_EQ(r.GetBox(), (RECT{0, 0, 0, 0}));
  EXPECT_TRUE(r.GetRects().empty());
  EXPECT_FALSE(r.Contains(0, 0));
}

TEST(Region, RectangleExcludesItsRightAndBottomEdges) {
  const Region r = Region::FromRect(10, 20, 30, 25);
  EXPECT_EQ(r.Kind(), SIMPLEREGION);
  EXPECT_TRUE(r.Contains(10, 20));
  EXPECT_TRUE(r.Contains(29, 24));
  EXPECT_FALSE(r.Contains(30, 24));
  EXPECT_FALSE(r.Contains(29, 25));
  EXPECT_EQ(CountUnits(r, 40, 40), 20 * 5);
}

TEST(Region, RectangleCornersMayComeInEitherOrder) {
  EXPECT_EQ(Region::FromRect(30, 25, 10, 20), Region::FromRect(10, 20, 30, 25));
  // A y-up rectangle (top above bottom) is the same set of units.
  EXPECT_EQ(Region(RECT{0, 0, 254, -254}).GetBox(), (RECT{0, -254, 254, 0}));
}

TEST(Region, RectangleWithoutWidthOrHeightIsEmpty) {
  EXPECT_TRUE(Region::FromRect(5, 5, 5, 50).IsEmpty());
  EXPECT_TRUE(Region::FromRect(5, 5, 50, 5).IsEmpty());
}

TEST(Region, UnionOfOverlappingRectanglesCoversBoth) {
  const Region a = Region::FromRect(0, 0, 10, 10);
  const Region b = Region::FromRect(5, 5, 15, 15);
  const Region u = a.United(b);
  EXPECT_EQ(u.Kind(), COMPLEXREGION);
  EXPECT_EQ(u.GetBox(), (RECT{0, 0, 15, 15}));
  // 100 + 100 − the 25 units they share.
  EXPECT_EQ(CountUnits(u, 20, 20), 175);
}

TEST(Region, DifferenceLeavesAHole) {
  const Region frame = Region::FromRect(0, 0, 10, 10).Subtracted(Region::FromRect(2, 2, 8, 8));
  EXPECT_FALSE(frame.Contains(5, 5));
  EXPECT_TRUE(frame.Contains(1, 5));
  EXPECT_EQ(CountUnits(frame, 10, 10), 100 - 36);
  EXPECT_EQ(frame.GetBox(), (RECT{0, 0, 10, 10}));
}

TEST(Region, XorDropsTheSharedPart) {
  const Region x = Region::FromRect(0, 0, 10, 10).Xored(Region::FromRect(5, 0, 15, 10));
  EXPECT_TRUE(x.Contains(2, 2));
  EXPECT_FALSE(x.Contains(7, 2));
  EXPECT_TRUE(x.Contains(12, 2));
  EXPECT_EQ(CountUnits(x, 20, 20), 100);
}

TEST(Region, IntersectionOfDisjointRectanglesIsEmpty) {
  const Region a = Region::FromRect(0, 0, 10, 10);
  EXPECT_EQ(a.Intersected(Region::FromRect(5, 5, 15, 15)).GetBox(), (RECT{5, 5, 10, 10}));
  EXPECT_TRUE(a.Intersected(Region::FromRect(10, 0, 20, 10)).IsEmpty());
}

TEST(Region, CombineReportsTheKindAndAcceptsItselfAsOperand) {
  Region r = Region::FromRect(0, 0, 10, 10);
  EXPECT_EQ(r.Combine(r, Region::FromRect(20, 0, 30, 10), RGN_OR), COMPLEXREGION);
  EXPECT_TRUE(r.Contains(25, 5));
  EXPECT_EQ(r.Combine(r, r, RGN_DIFF), NULLREGION);
  EXPECT_TRUE(r.IsEmpty());
  Region c;
  EXPECT_EQ(c.Combine(Region::FromRect(0, 0, 1, 1), Region(), RGN_COPY), SIMPLEREGION);
}

TEST(Region, CombineWithAnUnknownModeFailsAndKeepsTheRegion) {
  Region r = Region::FromRect(0, 0, 10, 10);
  EXPECT_EQ(r.Combine(Region(), Region(), 9), RGN_ERROR);
  EXPECT_EQ(r, Region::FromRect(0, 0, 10, 10));
}

TEST(Region, SquarePolygonCoversTheUnitsInsideIt) {
  const POINT square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  const Region r = Region::FromPolygon(square, 4, WINDING);
  EXPECT_EQ(r, Region::FromRect(0, 0, 10, 10));
}

TEST(Region, TrianglePolygonHoldsTheUnitsWhoseCentresAreInside) {
  const POINT triangle[] = {{0, 0}, {10, 0}, {0, 10}};
  const Region r = Region::FromPolygon(triangle, 3, ALTERNATE);
  // Centre (8.5, 0.5): x + y = 9 < 10, inside; centre (5.5, 5.5): 11 > 10, outside.
  EXPECT_TRUE(r.Contains(8, 0));
  EXPECT_TRUE(r.Contains(0, 8));
  EXPECT_FALSE(r.Contains(5, 5));
  EXPECT_FALSE(r.Contains(10, 0));
}

TEST(Region, WindingFillHoldsTheCentreOfAStarAndAlternateFillDoesNot) {
  const Region winding = Region::FromPolygon(kStar, 5, WINDING);
  const Region alternate = Region::FromPolygon(kStar, 5, ALTERNATE);
  EXPECT_TRUE(winding.Contains(50, 50));
  EXPECT_FALSE(alternate.Contains(50, 50));
  // A point of the star belongs to both.
  EXPECT_TRUE(winding.Contains(50, 10));
  EXPECT_TRUE(alternate.Contains(50, 10));
}

TEST(Region, PolygonWithoutAreaOrWithBadArgumentsIsEmpty) {
  const POINT two[] = {{0, 0}, {10, 10}};
  EXPECT_TRUE(Region::FromPolygon(two, 2, WINDING).IsEmpty());
  EXPECT_TRUE(Region::FromPolygon(nullptr, 5, WINDING).IsEmpty());
  EXPECT_TRUE(Region::FromPolygon(kStar, -1, WINDING).IsEmpty());
  EXPECT_TRUE(Region::FromPolygon(kStar, 5, 0).IsEmpty());
  const POINT flat[] = {{0, 0}, {10, 0}, {20, 0}};
  EXPECT_TRUE(Region::FromPolygon(flat, 3, WINDING).IsEmpty());
}

TEST(Region, RectanglesOfAnLShape) {
  const Region l = Region::FromRects({RECT{0, 0, 10, 5}, RECT{0, 5, 5, 10}});
  EXPECT_EQ(l.Kind(), COMPLEXREGION);
  const std::vector<RECT> rects = l.GetRects();
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(rects[0], (RECT{0, 0, 10, 5}));
  EXPECT_EQ(rects[1], (RECT{0, 5, 5, 10}));
  EXPECT_TRUE(l.Intersects(RECT{3, 8, 4, 9}));
  EXPECT_FALSE(l.Intersects(RECT{6, 6, 9, 9}));
}

TEST(Region, OffsetMovesEveryUnit) {
  Region r = Region::FromRect(0, 0, 10, 10);
  r.Offset(5, -3);
  EXPECT_EQ(r.GetBox(), (RECT{5, -3, 15, 7}));
}

TEST(Region, HugeCoordinatesAreClampedInsteadOfOverflowing) {
  const Region all = Region::FromRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_EQ(all.GetBox(), (RECT{-(1 << 27), -(1 << 27), 1 << 27, 1 << 27}));
  EXPECT_TRUE(all.Contains(0, 0));
  Region r = Region::FromRect(0, 0, 10, 10);
  r.Offset(INT_MAX, INT_MAX);
  EXPECT_EQ(r.GetBox(), (RECT{(1 << 27) - 10, (1 << 27) - 10, 1 << 27, 1 << 27}));
}

TEST(Region, TallPolygonHasOneBandPerRow) {
  const POINT triangle[] = {{0, 0}, {40000, 0}, {0, 40000}};
  const Region r = Region::FromPolygon(triangle, 3, WINDING);
  // Row 39999 has its only centre, (0.5, 39999.5), on the slanted (right) edge.
  EXPECT_EQ(r.GetRects().size(), 39999u);
  EXPECT_TRUE(r.Contains(0, 39998));
  EXPECT_FALSE(r.Contains(0, 39999));
  EXPECT_TRUE(r.Contains(19000, 20000));  // centre x + y = 39001 < 40000
  EXPECT_FALSE(r.Contains(20500, 20000));
}

TEST(Region, PolygonBeyondTheSizeLimitIsEmpty) {
  const POINT far[] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}};
  EXPECT_TRUE(Region::FromPolygon(far, 3, WINDING).IsEmpty());
  const POINT wide[] = {{INT_MIN, 0}, {INT_MAX, 0}, {INT_MAX, 10}};
  EXPECT_EQ(Region::FromPolygon(wide, 3, WINDING).GetBox().right, 1 << 27);
}

TEST(Region, CopiesAreIndependentAndMovedFromRegionsAreEmpty) {
  Region a = Region::FromRect(0, 0, 10, 10);
  Region b = a;
  b.Offset(100, 0);
  EXPECT_TRUE(a.Contains(0, 0));
  EXPECT_FALSE(b.Contains(0, 0));
  Region c = std::move(a);
  EXPECT_TRUE(c.Contains(0, 0));
  EXPECT_TRUE(a.IsEmpty());  // NOLINT(bugprone-use-after-move): documented state
}

}  // namespace
}  // namespace tessmor
