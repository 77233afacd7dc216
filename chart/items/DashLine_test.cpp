#include "chart/items/DashLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
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

// --- the dashes where a plain walk puts them ---

/// What a walk of one logical unit per step along the major axis draws for the polyline
/// `points` with the pattern `entries`: the dash ends (LineTo) and gap ends (MoveTo), and each
/// segment's end when it finishes inside a dash, as "LineTo x,y" / "MoveTo x,y" lines.
Lines WalkedDashes(const std::vector<POINT>& points, const std::vector<int>& entries) {
  Lines out;
  auto put = [&out](const char* name, std::int64_t x, std::int64_t y) {
    out.push_back(std::string(name) + " " + std::to_string(x) + "," + std::to_string(y));
  };
  std::size_t index = 0;
  int remaining = entries[0];
  put("MoveTo", points[0].x, points[0].y);
  for (std::size_t i = 1; i < points.size(); ++i) {
    const POINT a = points[i - 1], b = points[i];
    const std::int64_t dx = std::int64_t{b.x} - a.x, dy = std::int64_t{b.y} - a.y;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t n = std::max(std::llabs(dx), std::llabs(dy));
    const std::int64_t m = std::min(std::llabs(dx), std::llabs(dy));
    std::int64_t x = a.x, y = a.y, err = n;
    bool endedOnLastStep = false;
    for (std::int64_t step = 1; step <= n; ++step) {
      (xMajor ? x : y) += (xMajor ? dx : dy) < 0 ? -1 : 1;
      err -= m;
      if (err < 1) {
        err += n;
        (xMajor ? y : x) += (xMajor ? dy : dx) < 0 ? -1 : 1;
      }
      if (--remaining > 0) continue;
      index = (index + 1) % entries.size();
      remaining = entries[index];
      put(index % 2 == 1 ? "LineTo" : "MoveTo", x, y);
      endedOnLastStep = step == n;
    }
    if (!endedOnLastStep && index % 2 == 0) put("LineTo", b.x, b.y);
  }
  return out;
}

TEST(DashLine, DashesFallWhereAUnitByUnitWalkPutsThem) {
  // Random polylines (short and long, steep and shallow, every direction) with random
  // patterns: the dash and gap ends must be the walk's, to the logical unit, with the phase
  // carried across the vertices.
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> length(1, 40);
  std::uniform_int_distribution<int> coordinate(-10000, 10000);
  std::uniform_int_distribution<int> small(-60, 60);
  for (int trial = 0; trial < 120; ++trial) {
    std::vector<int> entries(static_cast<std::size_t>(2 * (1 + trial % 4)));
    for (int& e : entries) e = length(random);
    std::vector<POINT> points{{coordinate(random), coordinate(random)}};
    for (int k = 0; k < 12; ++k) {
      const POINT last = points.back();
      // Every third vertex is close by: dashes that end on a vertex or span several.
      points.push_back(k % 3 == 0 ? POINT{last.x + small(random), last.y + small(random)}
                                  : POINT{coordinate(random), coordinate(random)});
    }
    RecordingDC dc;
    CDashLine d(&dc, entries.data(), static_cast<int>(entries.size()));
    d.SetPathMode(false);
    d.MoveTo(points[0].x, points[0].y);
    for (std::size_t i = 1; i < points.size(); ++i) d.LineTo(points[i].x, points[i].y);
    ASSERT_EQ(Strokes(dc), WalkedDashes(points, entries)) << "trial " << trial;
  }
}

/// Where a dashed Bézier curve's pieces go, measured as the curve is specified: its length
/// from 64 chords at equally spaced parameters, each piece the sub-curve between the
/// parameters where the pattern's entries end, its points rounded half away from zero.
Lines MeasuredCurvePieces(POINT from, const POINT* c, const std::vector<int>& entries) {
  using P = std::pair<double, double>;
  const P p[4] = {{from.x, from.y}, {c[0].x, c[0].y}, {c[1].x, c[1].y}, {c[2].x, c[2].y}};
  auto at = [&p](double t) {
    const double u = 1.0 - t;
    const double a = u * u * u, b = 3.0 * u * u * t, cc = 3.0 * u * t * t, d = t * t * t;
    return P{a * p[0].first + b * p[1].first + cc * p[2].first + d * p[3].first,
             a * p[0].second + b * p[1].second + cc * p[2].second + d * p[3].second};
  };
  auto slope = [&p](double t) {
    const double u = 1.0 - t;
    const double a = 3.0 * u * u, b = 6.0 * u * t, cc = 3.0 * t * t;
    return P{a * (p[1].first - p[0].first) + b * (p[2].first - p[1].first) +
                 cc * (p[3].first - p[2].first),
             a * (p[1].second - p[0].second) + b * (p[2].second - p[1].second) +
                 cc * (p[3].second - p[2].second)};
  };
  auto round = [](double v) { return std::to_string(std::lround(v)); };
  double length[65] = {0.0};
  P prev = p[0];
  for (int i = 1; i <= 64; ++i) {
    const P q = at(double(i) / 64);
    length[i] = length[i - 1] + std::hypot(q.first - prev.first, q.second - prev.second);
    prev = q;
  }
  const double total = length[64];
  auto param = [&](double s) {
    if (s >= total) return 1.0;
    const int i = int(std::upper_bound(length, length + 65, s) - length) - 1;
    const double span = length[i + 1] - length[i];
    return (i + (span > 0.0 ? (s - length[i]) / span : 0.0)) / 64;
  };
  Lines out;
  std::size_t index = 0;
  double used = 0.0, t0 = 0.0;
  int remaining = entries[0];
  for (int pieces = 0; used < total && pieces < CDashLine::kMaxBezierPieces; ++pieces) {
    const bool done = remaining <= total - used;
    const double next = done ? used + remaining : total;
    const double t1 = done ? param(next) : 1.0;
    const double h = (t1 - t0) / 3.0;
    const P a = at(t0), b = at(t1), da = slope(t0), db = slope(t1);
    const std::string end = round(b.first) + "," + round(b.second);
    if (index % 2 == 1) {
      out.push_back("MoveTo " + end);
    } else {
      out.push_back("PolyBezierTo " + round(a.first + h * da.first) + "," +
                    round(a.second + h * da.second) + " " + round(b.first - h * db.first) + "," +
                    round(b.second - h * db.second) + " " + end);
    }
    if (!done) {
      used = total;  // the curve ends inside this entry
      break;
    }
    index = (index + 1) % entries.size();
    remaining = entries[index];
    used = next;
    t0 = t1;
  }
  // Cut short after the most pieces: the rest of the curve is skipped.
  if (used < total)
    out.push_back("MoveTo " + std::to_string(c[2].x) + "," + std::to_string(c[2].y));
  return out;
}

TEST(DashLine, DashedCurvePiecesAreTheMeasuredSubCurves) {
  // Random curves, from symbol-sized ones to some across the page, with short and long
  // patterns: every piece's controls and end to the logical unit.
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(-20000, 20000);
  std::uniform_int_distribution<int> near(-400, 400);
  std::uniform_int_distribution<int> length(1, 60);
  for (int trial = 0; trial < 400; ++trial) {
    const bool tiny = trial % 2 == 0;
    const POINT from{coordinate(random), coordinate(random)};
    auto point = [&] {
      return tiny ? POINT{from.x + near(random), from.y + near(random)}
                  : POINT{coordinate(random), coordinate(random)};
    };
    const POINT c[3] = {point(), point(), point()};
    const std::vector<int> entries{length(random), length(random)};
    RecordingDC dc;
    CDashLine d(&dc, entries.data(), 2);
    d.SetPathMode(false);
    d.MoveTo(from.x, from.y);
    d.BezierTo(c);
    Lines drawn = Strokes(dc);
    drawn.erase(drawn.begin());  // the MoveTo to the start
    ASSERT_EQ(drawn, MeasuredCurvePieces(from, c, entries)) << "trial " << trial;
  }
}

}  // namespace
