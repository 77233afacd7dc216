#include "chart/items/DashArc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "chart/items/DashCase.h"
#include "testsupport/RecordingDC.h"

namespace {

using tessmor::POINT;
using tessmor::RECT;
using tessmor::testing::RecordingDC;
using Points = std::vector<POINT>;

// A quarter circle of radius 100 has its controls 100 × 4/3 × tan(22.5°) = 55.23 along the
// tangents at its ends.
constexpr int kQuarterControl = 55;

TEST(DashArc, QuarterCircleIsOneSegmentWithTheStandardControls) {
  CDashArc a(nullptr);
  EXPECT_EQ(a.BuildArc(POINT{0, 0}, 0, 0, 90, 100, 100), 4);
  EXPECT_EQ(a.GetPoints(),
            (Points{{100, 0}, {100, kQuarterControl}, {kQuarterControl, 100}, {0, 100}}));
  EXPECT_FALSE(a.IsClosed());
  EXPECT_EQ(a.GetBounds(), (RECT{0, 0, 100, 100}));
}

TEST(DashArc, RotationTurnsTheArcAboutItsCentre) {
  CDashArc a(nullptr);
  a.BuildArc(POINT{10, 20}, 90, 0, 90, 100, 50);
  // Rotated by 90 degrees, the ellipse's x axis points along y: the arc runs from
  // (10, 20 + 100) to (10 − 50, 20).
  EXPECT_EQ(a.GetPoints().front(), (POINT{10, 120}));
  EXPECT_EQ(a.GetPoints().back(), (POINT{-40, 20}));
}

TEST(DashArc, FullTurnOrEqualAnglesMakeAClosedEllipse) {
  CDashArc a(nullptr);
  EXPECT_EQ(a.BuildArc(POINT{0, 0}, 0, 0, 360, 100, 60), 13);  // four quarters
  EXPECT_TRUE(a.IsClosed());
  EXPECT_EQ(a.GetPoints().front(), a.GetPoints().back());
  EXPECT_EQ(a.GetBounds(), (RECT{-100, -60, 100, 60}));
  EXPECT_EQ(a.BuildArc(POINT{0, 0}, 0, 45, 45, 100, 60), 13);
  EXPECT_TRUE(a.IsClosed());
}

TEST(DashArc, AnglesAreDirectionsOfRaysFromTheCentre) {
  CDashArc a(nullptr);
  a.BuildArc(POINT{0, 0}, 0, 0, 45, 200, 100);
  // The ray at 45° meets the ellipse x²/200² + y²/100² = 1 where x = y = 200·100/√(200² +
  // 100²) = 89.44.
  EXPECT_EQ(a.GetPoints().back(), (POINT{89, 89}));
}

TEST(DashArc, EndBeforeStartWrapsThroughZero) {
  CDashArc a(nullptr);
  a.BuildArc(POINT{0, 0}, 0, 270, 90, 100, 100);  // the right half, through 0°
  EXPECT_EQ(a.GetPoints().front(), (POINT{0, -100}));
  EXPECT_EQ(a.GetPoints().back(), (POINT{0, 100}));
  EXPECT_EQ(a.GetPointCount(), 7);
  EXPECT_EQ(a.GetBounds().left, 0);
}

TEST(DashArc, NonFiniteArgumentsBuildNothing) {
  CDashArc a(nullptr);
  EXPECT_EQ(a.BuildArc(POINT{0, 0}, 0, NAN, 90, 100, 100), 0);
  EXPECT_EQ(a.BuildArc(POINT{0, 0}, 0, 0, 90, INFINITY, 100), 0);
  EXPECT_EQ(a.GetPointCount(), 0);
  EXPECT_TRUE(a.FillRegion().IsEmpty());
  EXPECT_TRUE(a.OutlineRegion(4).IsEmpty());
}

TEST(DashArc, FillRegionOfAnOpenArcIsTheSector) {
  CDashArc a(nullptr);
  a.BuildArc(POINT{0, 0}, 0, 0, 90, 100, 100);
  const auto r = a.FillRegion();
  EXPECT_TRUE(r.Contains(30, 30));   // inside the wedge triangle
  EXPECT_TRUE(r.Contains(70, 60));   // between the chord and the curve
  EXPECT_FALSE(r.Contains(90, 90));  // beyond the control polygon
  EXPECT_FALSE(r.Contains(-10, 10));
}

TEST(DashArc, FillRegionOfAMajorArcLeavesOutTheMissingWedge) {
  CDashArc a(nullptr);
  a.BuildArc(POINT{0, 0}, 0, 90, 0, 100, 100);  // three quarters, missing the first
  const auto r = a.FillRegion();
  EXPECT_TRUE(r.Contains(-50, -50));
  EXPECT_TRUE(r.Contains(-5, 5));
  EXPECT_FALSE(r.Contains(40, 40));  // in the missing quarter
}

TEST(DashArc, OutlineRegionHoldsTheCurveTheWedgeAndTheWidth) {
  CDashArc a(nullptr);
  a.BuildArc(POINT{0, 0}, 0, 0, 90, 100, 100);
  const auto r = a.OutlineRegion(10);
  EXPECT_TRUE(r.Contains(104, 0));    // half the pen beyond the curve's start
  EXPECT_TRUE(r.Contains(10, 10));    // the wedge
  EXPECT_FALSE(r.Contains(90, 90));   // well outside the curve (radius 127)
  EXPECT_FALSE(r.Contains(-20, 50));  // well behind the centre
}

TEST(DashArc, SolidArcOutlineIsOneBezierPath) {
  RecordingDC dc;
  CDashArc a(&dc);
  a.BuildArc(POINT{0, 0}, 0, 0, 90, 100, 100);
  a.DrawArc(false);
  EXPECT_EQ(dc.Lines(), (std::vector<std::string>{"MoveTo 100,0", "BeginPath",
                                                  "PolyBezierTo 100,55 55,100 0,100", "EndPath",
                                                  "StrokePath"}));
}

TEST(DashArc, FilledPieFillsTheSectorThenOutlinesItThroughTheCentre) {
  RecordingDC dc;
  CDashArc a(&dc);
  a.BuildArc(POINT{0, 0}, 0, 0, 90, 100, 100);
  a.SetPie(true);
  a.DrawArc(true);
  EXPECT_EQ(dc.Count("FillPath"), 1);
  EXPECT_EQ(dc.Count("StrokePath"), 1);
  const auto lines = dc.Lines("LineTo");
  EXPECT_EQ(lines, (std::vector<std::string>{"LineTo 0,0", "LineTo 0,0", "LineTo 100,0"}));
}

TEST(DashArc, CasedOutlineAlwaysClosesThroughTheCentre) {
  RecordingDC dc;
  CDashCase c(&dc);
  c.BuildArc(POINT{0, 0}, 0, 0, 90, 100, 100);
  c.DrawArc(false);
  EXPECT_EQ(dc.Lines("LineTo"), (std::vector<std::string>{"LineTo 0,0", "LineTo 100,0"}));
  dc.Clear();
  c.BuildArc(POINT{0, 0}, 0, 0, 360, 100, 100);
  c.DrawArc(false);  // a full ellipse is closed already
  EXPECT_EQ(dc.Count("LineTo"), 0);
}

TEST(DashArc, DashedArcDrawsPiecesAndGaps) {
  RecordingDC dc;
  const int pattern[2] = {20, 20};
  CDashArc a(&dc, pattern, 2);
  a.BuildArc(POINT{0, 0}, 0, 0, 90, 100, 100);
  a.DrawCurve();
  // A quarter of radius 100 is 157 long: dashes at 0-20, 40-60, 80-100 and 120-140, gaps
  // between them and from 140 to the end, 3 units short of the gap's 20.
  EXPECT_EQ(dc.Count("PolyBezierTo"), 4);
  EXPECT_EQ(dc.Count("MoveTo"), 1 + 4);
  EXPECT_EQ(dc.GetCurrentPosition(), (POINT{0, 100}));
  EXPECT_EQ(a.GetDashIndex(), 1);
  EXPECT_EQ(a.GetRemaining(), 3);
}

TEST(DashArc, SplinePassesThroughItsPoints) {
  CDashArc a(nullptr);
  const POINT p[4] = {{0, 0}, {60, 60}, {120, 0}, {180, 60}};
  EXPECT_EQ(a.BuildSpline(p, 4), 10);
  EXPECT_EQ(a.GetPoints()[0], p[0]);
  EXPECT_EQ(a.GetPoints()[3], p[1]);
  EXPECT_EQ(a.GetPoints()[6], p[2]);
  EXPECT_EQ(a.GetPoints()[9], p[3]);
  // At an inner point the tangent is parallel to the chord of its neighbours: (0,0)-(120,0)
  // at (60, 60) gives controls 20 units either side.
  EXPECT_EQ(a.GetPoints()[2], (POINT{40, 60}));
  EXPECT_EQ(a.GetPoints()[4], (POINT{80, 60}));
  EXPECT_EQ(a.BuildSpline(p, 1), 0);
}

}  // namespace
