#include "chart/DashLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport/RecordingDC.h"

namespace {

using tessmor::POINT;
using tessmor::testing::RecordingDC;
using Lines = std::vector<std::string>;

std::vector<int> Entries(const CDashLine& d) {
  std::vector<int> out;
  for (int i = 0; i < d.GetEntryCount(); ++i) out.push_back(d.GetEntry(i));
  return out;
}

/// The moves and lines drawn, in order (path brackets left out).
Lines Strokes(const RecordingDC& dc) {
  Lines out;
  for (const auto& c : dc.calls()) {
    if (c.name == "MoveTo" || c.name == "LineTo" || c.name == "PolyBezierTo") out.push_back(c.line);
  }
  return out;
}

TEST(DashLine, PatternsScaleWithTheUnitAndDoubleTheGapFromStyle17) {
  CDashLine d(nullptr);
  EXPECT_EQ(d.SetPattern(false, 2, 1), 2);
  EXPECT_EQ(Entries(d), (std::vector<int>{6, 2}));  // dash 3w, gap w
  d.SetPattern(false, 2, 17);
  EXPECT_EQ(Entries(d), (std::vector<int>{6, 4}));  // gap 2w
  d.SetPattern(false, 3, 4);
  EXPECT_EQ(Entries(d), (std::vector<int>{9, 3, 3, 3, 3, 3}));
  d.SetPattern(false, 1, 21);
  EXPECT_EQ(Entries(d), (std::vector<int>{3, 2, 1, 2, 1, 2, 1, 2}));
}

TEST(DashLine, RoundedEndsTurnTheDotIntoOneUnit) {
  CDashLine d(nullptr);
  d.SetPattern(true, 2, 2);
  EXPECT_EQ(Entries(d), (std::vector<int>{1, 4}));  // dot 1, gap 2w
  d.SetPattern(true, 2, 19);
  EXPECT_EQ(Entries(d), (std::vector<int>{4, 8, 1, 8}));  // dash 2w, gap 2 × 2w
}

TEST(DashLine, SolidNullAndUnknownStylesHaveNoPattern) {
  CDashLine d(nullptr);
  for (int style : {0, 5, 6, 7, 15, 22, -1}) EXPECT_EQ(d.SetPattern(false, 2, style), 0) << style;
}

TEST(DashLine, ZeroWidthAndZeroEntriesCannotStallTheWalk) {
  CDashLine d(nullptr);
  d.SetPattern(false, 0, 1);  // a 0-unit pen counts as 1 unit wide
  EXPECT_EQ(Entries(d), (std::vector<int>{3, 1}));
  const int zeros[3] = {0, -5, 2};
  d.SetPattern(zeros, 3);
  EXPECT_EQ(Entries(d), (std::vector<int>{1, 1, 2}));
  const int many[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  d.SetPattern(many, 10);
  EXPECT_EQ(d.GetEntryCount(), 8);
}

TEST(DashLine, HorizontalLineIsCutIntoDashesCountedInUnits) {
  RecordingDC dc;
  const int pattern[2] = {6, 2};
  CDashLine d(&dc, pattern, 2);
  d.SetPathMode(false);
  d.MoveTo(0, 0);
  d.LineTo(20, 0);
  // By hand: dash over steps 1-6 (ends at x 6), gap 7-8, dash 9-14, gap 15-16, then the
  // last 4 units of a dash from x 16 to the end.
  EXPECT_EQ(Strokes(dc), (Lines{"MoveTo 0,0", "LineTo 6,0", "MoveTo 8,0", "LineTo 14,0",
                                "MoveTo 16,0", "LineTo 20,0"}));
  EXPECT_EQ(d.GetDashIndex(), 0);
  EXPECT_EQ(d.GetRemaining(), 2);
}

TEST(DashLine, DiagonalDashesCountStepsAlongTheMajorAxis) {
  RecordingDC dc;
  const int pattern[2] = {3, 2};
  CDashLine d(&dc, pattern, 2);
  d.SetPathMode(false);
  d.MoveTo(0, 0);
  d.LineTo(-4, 8);  // y is major: n = 8, m = 4, x steps every second step
  // Error 8 → 4, 0 (x steps, back to 8), 4, 0 (x steps), …: after k steps x = −floor(k/2).
  // Dash ends at step 3 (−1, 3), gap ends at step 5 (−2, 5), and the next dash of 3 is
  // used up exactly on the last step, so the next line starts in the gap.
  EXPECT_EQ(Strokes(dc), (Lines{"MoveTo 0,0", "LineTo -1,3", "MoveTo -2,5", "LineTo -4,8"}));
  EXPECT_EQ(d.GetDashIndex(), 1);
}

TEST(DashLine, LineShorterThanTheFirstDashIsDrawnWhole) {
  RecordingDC dc;
  const int pattern[2] = {6, 2};
  CDashLine d(&dc, pattern, 2);
  d.SetPathMode(false);
  d.MoveTo(10, 10);
  d.LineTo(14, 13);
  EXPECT_EQ(Strokes(dc), (Lines{"MoveTo 10,10", "LineTo 14,13"}));
}

TEST(DashLine, ZeroLengthLineDrawsNothingInAGap) {
  RecordingDC dc;
  const int pattern[2] = {2, 5};
  CDashLine d(&dc, pattern, 2);
  d.SetPathMode(false);
  d.MoveTo(0, 0);
  d.LineTo(3, 0);  // dash to x 2, then one unit into the gap
  dc.Clear();
  d.LineTo(3, 0);
  EXPECT_EQ(dc.Count("LineTo"), 0);
  EXPECT_EQ(d.GetDashIndex(), 1);
}

TEST(DashLine, SwitchOnTheLastStepAddsNoEmptySegment) {
  RecordingDC dc;
  const int pattern[2] = {2, 2};
  CDashLine d(&dc, pattern, 2);
  d.SetPathMode(false);
  d.MoveTo(0, 0);
  d.LineTo(4, 0);  // dash 0-2, gap 2-4 ends exactly at the end point
  EXPECT_EQ(Strokes(dc), (Lines{"MoveTo 0,0", "LineTo 2,0", "MoveTo 4,0"}));
}

TEST(DashLine, PolylineKeepsThePhaseAcrossVerticesAndMovesRestartIt) {
  RecordingDC dc;
  const int pattern[2] = {6, 2};
  CDashLine d(&dc, pattern, 2);
  const POINT corner[3] = {{0, 0}, {20, 0}, {20, 5}};
  d.Polyline(corner, 3, false);
  // First leg as in HorizontalLineIsCutIntoDashesCountedInUnits, leaving 2 units of dash:
  // they end at (20, 2), the gap at (20, 4), and the last unit starts a new dash.
  EXPECT_EQ(Strokes(dc),
            (Lines{"MoveTo 0,0", "LineTo 6,0", "MoveTo 8,0", "LineTo 14,0", "MoveTo 16,0",
                   "LineTo 20,0", "LineTo 20,2", "MoveTo 20,4", "LineTo 20,5"}));
  EXPECT_EQ(dc.Count("BeginPath"), 1);
  EXPECT_EQ(dc.Count("StrokePath"), 1);

  dc.Clear();
  const POINT second[2] = {{0, 10}, {20, 10}};
  d.Polyline(second, 2, false);  // a separate polyline starts with a full dash
  EXPECT_EQ(Strokes(dc).at(1), "LineTo 6,10");
}

TEST(DashLine, ClosedPolylineStartsAtTheLastPointAndVisitsAll) {
  RecordingDC dc;
  CDashLine d(&dc);  // solid
  const POINT tri[3] = {{0, 0}, {10, 0}, {0, 10}};
  d.Polyline(tri, 3, true);
  EXPECT_EQ(dc.Lines(), (Lines{"MoveTo 0,10", "BeginPath", "LineTo 0,0", "LineTo 10,0",
                               "LineTo 0,10", "EndPath", "StrokePath"}));
}

TEST(DashLine, MoveStrokesTheOpenPath) {
  RecordingDC dc;
  CDashLine d(&dc);
  d.MoveTo(0, 0);
  d.LineTo(5, 5);
  d.MoveTo(9, 9);
  EXPECT_EQ(dc.Lines(), (Lines{"MoveTo 0,0", "BeginPath", "LineTo 5,5", "EndPath", "StrokePath",
                               "MoveTo 9,9"}));
  EXPECT_FALSE(dc.IsPathOpen());
}

TEST(DashLine, OutsidePathModeTheCallersPathIsLeftAlone) {
  RecordingDC dc;
  CDashLine d(&dc);
  d.SetPathMode(false);
  dc.BeginPath();
  d.MoveTo(0, 0);
  d.LineTo(5, 0);
  d.MoveTo(1, 1);
  EXPECT_TRUE(dc.IsPathOpen());
  EXPECT_EQ(dc.Count("StrokePath"), 0);
}

TEST(DashLine, SolidBezierIsOneCurve) {
  RecordingDC dc;
  CDashLine d(&dc);
  d.MoveTo(0, 0);
  const POINT c[3] = {{0, 30}, {30, 30}, {30, 0}};
  d.BezierTo(c);
  EXPECT_EQ(dc.Lines("PolyBezierTo"), (Lines{"PolyBezierTo 0,30 30,30 30,0"}));
}

TEST(DashLine, DashedStraightBezierCutsAtTheDashLengths) {
  RecordingDC dc;
  const int pattern[2] = {10, 5};
  CDashLine d(&dc, pattern, 2);
  d.SetPathMode(false);
  d.MoveTo(0, 0);
  // A curve with its controls on the chord at thirds runs along the x axis at constant
  // speed, so lengths are x distances: dash 0-10, gap 10-15, dash 15-25, gap 25-30.
  const POINT c[3] = {{10, 0}, {20, 0}, {30, 0}};
  d.BezierTo(c);
  const auto calls = Strokes(dc);
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[1].substr(calls[1].rfind(' ') + 1), "10,0");
  EXPECT_EQ(calls[2], "MoveTo 15,0");
  EXPECT_EQ(calls[3].substr(calls[3].rfind(' ') + 1), "25,0");
  EXPECT_EQ(calls[4], "MoveTo 30,0");
  EXPECT_EQ(d.GetDashIndex(), 0);  // the gap was used up exactly: a new dash begins
  EXPECT_EQ(d.GetRemaining(), 10);
}

TEST(DashLine, DashedBezierStopsAfterTheMostPieces) {
  RecordingDC dc;
  const int pattern[2] = {1, 1};
  CDashLine d(&dc, pattern, 2);
  d.SetPathMode(false);
  d.MoveTo(0, 0);
  const POINT c[3] = {{1000, 0}, {2000, 0}, {3000, 0}};  // 3000 one-unit pieces wanted
  d.BezierTo(c);
  EXPECT_EQ(dc.Count("PolyBezierTo") + dc.Count("MoveTo") - 1, CDashLine::kMaxBezierPieces + 1);
  EXPECT_EQ(dc.GetCurrentPosition(), (POINT{3000, 0}));  // carries on from the curve's end
  EXPECT_EQ(d.GetCurrentPoint(), (POINT{3000, 0}));
}

TEST(DashLine, GeometricPenHasFlatMitredOrRoundEnds) {
  using namespace tessmor;
  EXPECT_EQ(CDashLine::MakeGeometricPen(0xFF, 20, false, 1),
            (Pen{PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER | PS_SOLID, 20, 0xFF}));
  EXPECT_EQ(CDashLine::MakeGeometricPen(0, 5, true, 3).style, PS_GEOMETRIC | PS_SOLID);
  EXPECT_EQ(CDashLine::MakeGeometricPen(0, 5, true, 5).style & PS_STYLE_MASK, PS_NULL);
}

}  // namespace
