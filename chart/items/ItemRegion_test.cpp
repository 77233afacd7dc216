#include "chart/items/ItemRegion.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/io/Archive.h"
#include "testsupport/RecordingDC.h"

namespace {

using tessmor::POINT;
using tessmor::RECT;
using tessmor::testing::RecordingDC;

CItemRegion Polyline(std::vector<POINT> points, int half_width) {
  CItemRegion region;
  region.BuildFromPolyline(points.data(), static_cast<int>(points.size()), half_width);
  return region;
}

bool Hit(const CItemRegion& region, int x, int y) { return region.HitTest(x, y, 0, 0); }

// --- removing repeated points ---

TEST(ItemRegion, RepeatedPointsAreDroppedAndAThereAndBackTripKeepsItsFirstLeg) {
  const std::vector<POINT> runs{{1, 1}, {1, 1}, {2, 2}, {3, 3}, {3, 3}};
  EXPECT_EQ(CItemRegion::RemoveRepeatedPoints(runs.data(), 5),
            (std::vector<POINT>{{1, 1}, {2, 2}, {3, 3}}));
  const std::vector<POINT> back{{0, 0}, {5, 5}, {5, 5}, {0, 0}};
  EXPECT_EQ(CItemRegion::RemoveRepeatedPoints(back.data(), 4),
            (std::vector<POINT>{{0, 0}, {5, 5}}));
  EXPECT_TRUE(CItemRegion::RemoveRepeatedPoints(nullptr, 3).empty());
}

// --- thick lines: the five ways ---

TEST(ItemRegion, OnePointWithHalfWidthThreeIsASixBySixSquare) {
  const CItemRegion region = Polyline({{10, 10}, {10, 10}}, 3);
  EXPECT_EQ(region.GetCount(), 1);
  EXPECT_EQ(region.GetBounds(), (RECT{7, 7, 13, 13}));
}

TEST(ItemRegion, HorizontalLineIsOneRectangleReachingTheHalfWidthBeyondBothEnds) {
  const CItemRegion region = Polyline({{0, 100}, {200, 100}}, 5);
  EXPECT_EQ(region.GetRects(), (std::vector<RECT>{{-5, 95, 205, 105}}));
  EXPECT_TRUE(Hit(region, -5, 100));
  EXPECT_FALSE(Hit(region, -6, 100));
  EXPECT_TRUE(Hit(region, 204, 104));
}

TEST(ItemRegion, DiagonalLineIsABandWithSquareEndsThroughItsMidpoint) {
  // From (0, 0) to (100, 100), half width 10: the band is the points within 10 of the line
  // x = y (a distance of |x − y| / √2) whose projection on it, (x + y) / √2, lies within 10
  // beyond either end: −14.1 ≤ x + y ≤ 214.1.
  const CItemRegion region = Polyline({{0, 0}, {100, 100}}, 10);
  EXPECT_GT(region.GetCount(), 1);
  EXPECT_TRUE(Hit(region, 50, 50));
  EXPECT_TRUE(Hit(region, 55, 45));   // 7.1 from the line
  EXPECT_FALSE(Hit(region, 60, 40));  // 14.1 from the line
  EXPECT_TRUE(Hit(region, 106, 106));
  EXPECT_FALSE(Hit(region, 109, 109));
  EXPECT_TRUE(Hit(region, -6, -6));
  EXPECT_FALSE(Hit(region, -9, -9));
}

TEST(ItemRegion, JoinsTakeTheInnerCornerOfTheIncomingSegment) {
  // Up, then right (a right turn of 90°): the inner corner of the L is (10, 90), the outer
  // one (−10, 110).
  const std::vector<POINT> right{{0, 0}, {0, 100}, {100, 100}};
  const CItemRegion::BandOutline r = CItemRegion::BuildBandOutline(right.data(), 3, 10, false);
  EXPECT_EQ(r.side1[1], (POINT{10, 90}));
  EXPECT_EQ(r.side2[1], (POINT{-10, 110}));
  // Up, then left: the outer corner (10, 110) on side 1, the inner one (−10, 90) on side 2.
  const std::vector<POINT> left{{0, 0}, {0, 100}, {-100, 100}};
  const CItemRegion::BandOutline l = CItemRegion::BuildBandOutline(left.data(), 3, 10, false);
  EXPECT_EQ(l.side1[1], (POINT{10, 110}));
  EXPECT_EQ(l.side2[1], (POINT{-10, 90}));
  // The open ends: 10 behind the first point and 10 beyond the last, 10 to either side.
  EXPECT_EQ(r.side1.front(), (POINT{10, -10}));
  EXPECT_EQ(r.side2.front(), (POINT{-10, -10}));
  EXPECT_EQ(r.side1.back(), (POINT{110, 90}));
  EXPECT_EQ(r.side2.back(), (POINT{110, 110}));
}

TEST(ItemRegion, LineThatDoublesBackUsesTheStartCornersOfTheNewSegmentOnBothSides) {
  // Up to (0, 1000), then back down: the new segment heads south, so its start corners lie
  // 10 north of the turning point, 10 to either side (side 1, to the right, is west).
  const std::vector<POINT> points{{0, 0}, {0, 1000}, {0, 500}};
  const CItemRegion::BandOutline band = CItemRegion::BuildBandOutline(points.data(), 3, 10, false);
  EXPECT_EQ(band.side1[1], (POINT{-10, 1010}));
  EXPECT_EQ(band.side2[1], (POINT{10, 1010}));

  const CItemRegion region = Polyline(points, 10);
  EXPECT_TRUE(Hit(region, 0, 100));
  EXPECT_TRUE(Hit(region, -9, 900));
  EXPECT_FALSE(Hit(region, 0, 1011));
  EXPECT_FALSE(Hit(region, 11, 900));
}

TEST(ItemRegion, ClosedRingDrawnAnticlockwiseIsTheFrameBetweenItsSides) {
  // Side 1 (to the right of travel) is outside: the region is the frame 10 either side of
  // the square's edges.
  const CItemRegion region = Polyline({{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}}, 10);
  EXPECT_FALSE(Hit(region, 50, 50));
  EXPECT_TRUE(Hit(region, 50, 5));
  EXPECT_TRUE(Hit(region, 50, -5));
  EXPECT_FALSE(Hit(region, 50, 15));
  EXPECT_FALSE(Hit(region, 50, -15));
  EXPECT_TRUE(Hit(region, 95, 50));
}

TEST(ItemRegion, ClosedRingDrawnClockwiseIsTheWholeAreaOfBothSides) {
  // Side 1 runs inside side 2, so "ring 1 minus ring 2" is empty and the union is taken.
  const CItemRegion region = Polyline({{0, 0}, {0, 100}, {100, 100}, {100, 0}, {0, 0}}, 10);
  EXPECT_TRUE(Hit(region, 50, 50));
  EXPECT_TRUE(Hit(region, 50, -5));
  EXPECT_FALSE(Hit(region, 50, -15));
}

TEST(ItemRegion, ClosedRingWithASharpCornerKeepsItsInsideOrItsFrameByDirection) {
  // A 12-degree corner at the origin: side 1's outline crosses side 2's there, so comparing
  // the sides, not their difference, tells which one is outside.
  const CItemRegion clockwise = Polyline({{0, 0}, {-400, 2500}, {3000, 2000}, {0, 0}}, 25);
  EXPECT_TRUE(Hit(clockwise, 867, 1500));   // inside the triangle
  EXPECT_TRUE(Hit(clockwise, 1500, 2225));  // on an edge
  EXPECT_FALSE(Hit(clockwise, 1500, 2300));
  const CItemRegion anticlockwise = Polyline({{0, 0}, {3000, 2000}, {-400, 2500}, {0, 0}}, 25);
  EXPECT_FALSE(Hit(anticlockwise, 867, 1500));
  EXPECT_TRUE(Hit(anticlockwise, 1500, 2225));
}

// --- degenerate and huge input ---

TEST(ItemRegion, DegenerateInputGivesNothingOrTheSmallestSoundArea) {
  CItemRegion region;
  region.BuildFromPolyline(nullptr, 4, 10);
  const POINT p{5, 5};
  region.BuildFromPolyline(&p, 0, 10);
  region.BuildFromPolygon(&p, -1);
  EXPECT_TRUE(region.IsEmpty());
  region.BuildFromPolyline(&p, 1, 0);
  EXPECT_TRUE(Hit(region, 5, 5));
  // Neighbours whose midpoint falls on one of them still make a band.
  const CItemRegion close = Polyline({{0, 0}, {1, 1}}, 4);
  EXPECT_TRUE(Hit(close, 1, 1));
  EXPECT_FALSE(Hit(close, 9, 9));
}

TEST(ItemRegion, LineTallerThanARegionCanScanFallsBackToItsBox) {
  const CItemRegion region = Polyline({{0, 0}, {1000, 3000000}}, 50);
  EXPECT_TRUE(Hit(region, 500, 1500000));
  const CItemRegion huge = Polyline({{-2000000000, 0}, {2000000000, 7}}, 50);
  const RECT b = huge.GetBounds();
  EXPECT_GE(b.left, -(1 << 27));
  EXPECT_LE(b.right, 1 << 27);
  EXPECT_TRUE(Hit(huge, 0, 3));
}

// --- polygons, unions, hit test ---

TEST(ItemRegion, PolygonIsUnitedWithWhatTheRegionHeld) {
  CItemRegion region;
  region.AddRectangle(RECT{0, 10, 10, 0});  // normalised
  EXPECT_EQ(region.GetBounds(), (RECT{0, 0, 10, 10}));
  const std::vector<POINT> square{{100, 100}, {100, 100}, {200, 100}, {200, 200}, {100, 200}};
  region.BuildFromPolygon(square.data(), 5);
  EXPECT_EQ(region.GetLastResult(), tessmor::COMPLEXREGION);
  EXPECT_EQ(region.GetBounds(), (RECT{0, 0, 200, 200}));
  EXPECT_TRUE(Hit(region, 150, 150));
  EXPECT_TRUE(Hit(region, 5, 5));
  EXPECT_FALSE(Hit(region, 50, 50)) << "within the bounds, between the parts";
}

TEST(ItemRegion, HitTestMovesTheRegionByTheOffset) {
  CItemRegion one;
  one.AddRectangle(RECT{0, 0, 10, 10});
  EXPECT_TRUE(one.HitTest(105, 5, 100, 0));
  EXPECT_FALSE(one.HitTest(5, 5, 100, 0));

  CItemRegion l_shape;
  l_shape.AddRectangle(RECT{0, 0, 10, 100});
  l_shape.AddRectangle(RECT{0, 0, 100, 10});
  EXPECT_EQ(l_shape.GetBounds(), (RECT{0, 0, 100, 100}));
  EXPECT_TRUE(l_shape.HitTest(1090, 1005, 1000, 1000));
  EXPECT_FALSE(l_shape.HitTest(1050, 1050, 1000, 1000));
}

// --- drawing ---

TEST(ItemRegion, DrawingModesFillHatchInvertOrFrameTheBounds) {
  CItemRegion region;
  region.AddRectangle(RECT{0, 0, 50, 50});
  region.AddRectangle(RECT{100, 0, 150, 50});
  RecordingDC dc;
  region.Draw(dc, CItemRegion::kFillYellow);
  region.Draw(dc, CItemRegion::kFillHatched);
  region.Draw(dc, CItemRegion::kInvert);
  region.Draw(dc, 7);  // not a mode
  const auto fills = dc.Calls("FillRgn");
  ASSERT_EQ(fills.size(), 2u);
  EXPECT_EQ(fills[0]->line, "FillRgn 0,0,150,50 rects=2 style=0 color=0xffff");
  EXPECT_EQ(fills[1]->line.substr(fills[1]->line.find("style")), "style=2 color=0x646464");
  EXPECT_EQ(dc.Count("InvertRgn"), 1);

  dc.Clear();
  region.Draw(dc, CItemRegion::kFrameDashed);
  EXPECT_EQ(dc.Lines("Rectangle"), (std::vector<std::string>{"Rectangle 0,0,150,50"}));
  const auto frame = dc.Calls("Rectangle")[0];
  EXPECT_EQ(frame->state.pen, (tessmor::Pen{tessmor::PS_DASH, 0, 0x808080}));
  EXPECT_EQ(frame->state.brush.style, tessmor::BS_NULL);
  EXPECT_EQ(dc.GetPen(), tessmor::Pen{}) << "the pen is put back";
  EXPECT_EQ(dc.GetBrush(), tessmor::Brush{});

  dc.Clear();
  CItemRegion().Draw(dc, CItemRegion::kInvert);
  EXPECT_TRUE(dc.calls().empty());
}

}  // namespace

TEST(ItemRegion, BuildBudgetStopsRegionsThatPassItAndNests) {
  const tessmor::POINT diagonal[] = {{0, 0}, {1000, 1000}};
  CItemRegion unlimited;
  unlimited.BuildFromPolyline(diagonal, 2, 5);
  const int needed = unlimited.GetCount();
  ASSERT_GT(needed, 100);
  {
    CItemRegion::BuildBudget outer(needed);
    CItemRegion first;
    first.BuildFromPolyline(diagonal, 2, 5);  // exactly the budget
    EXPECT_EQ(outer.Left(), 0);
    {
      CItemRegion::BuildBudget inner(needed + 1);
      CItemRegion second;
      second.BuildFromPolyline(diagonal, 2, 5);
      EXPECT_EQ(inner.Left(), 1);
    }
    CItemRegion third;
    EXPECT_THROW(third.BuildFromPolyline(diagonal, 2, 5), tessmor::ArchiveException);
    EXPECT_TRUE(third.IsEmpty());
  }
  CItemRegion after;  // no budget any more
  after.BuildFromPolyline(diagonal, 2, 5);
  EXPECT_EQ(after.GetCount(), needed);
}

TEST(ItemRegion, ExtentsHoldWhatTheBuildersBuildWithoutOvercountingMuch) {
  const std::vector<std::vector<POINT>> polylines{
      {{7, 7}},                                           // a lone point
      {{0, 0}, {900, 0}},                                 // horizontal
      {{0, 0}, {700, 1900}},                              // slanting
      {{0, 0}, {3000, 1500}, {200, 1600}, {5000, 5000}},  // doubles back
      {{0, 0}, {4000, 400}, {2000, 3000}, {0, 0}},        // closed: a ring
      // Closed the other way round with a sharp corner: the whole inside.
      {{0, 0}, {-400, 2500}, {3000, 2000}, {0, 0}},
  };
  const std::vector<POINT> triangle{{0, 0}, {1000, 100}, {300, 900}};
  const auto expect_holds = [](const CItemRegion::Extent& e, const CItemRegion& built) {
    const RECT b = built.GetBounds();
    EXPECT_LE(e.bounds.left, b.left);
    EXPECT_LE(e.bounds.top, b.top);
    EXPECT_GE(e.bounds.right, b.right);
    EXPECT_GE(e.bounds.bottom, b.bottom);
    EXPECT_LE(e.bounds.right - e.bounds.left, b.right - b.left + 8);
    EXPECT_LE(e.bounds.bottom - e.bounds.top, b.bottom - b.top + 8);
    EXPECT_GE(e.rectangles, built.GetCount());
    EXPECT_LE(e.rectangles, 3 * built.GetCount() + 4);
  };
  for (std::size_t i = 0; i < polylines.size(); ++i) {
    SCOPED_TRACE(i);
    const std::vector<POINT>& p = polylines[i];
    const int n = static_cast<int>(p.size());
    const CItemRegion::Extent band = CItemRegion::PolylineExtent(p.data(), n, 25);
    CItemRegion built = Polyline(p, 25);
    expect_holds(band, built);
    // A filled polygon's region: its outline's band united with its area.
    const CItemRegion::Extent area = CItemRegion::PolygonExtent(triangle.data(), 3);
    built.BuildFromPolygon(triangle.data(), 3);
    expect_holds(CItemRegion::UnionExtent(band, area), built);
  }
}
