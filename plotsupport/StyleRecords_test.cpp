#include "plotsupport/StyleRecords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <vector>

namespace {

using tessmor::POINT;

VEXAPEN ValidPen() { return {kPenDashDot, 0.5f, 0x123456, 0xABCDEF, kBkOpaque, 1, 7}; }

bool SamePen(const VEXAPEN& a, const VEXAPEN& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// --- record layout: the chart file stores pens and brushes as raw bytes ---

TEST(StyleRecords, LayOutFieldsAtTheirFileOffsets) {
  EXPECT_EQ(offsetof(VEXAPEN, width), 4u);
  EXPECT_EQ(offsetof(VEXAPEN, spline), 24u);
  EXPECT_EQ(offsetof(VEXABRUSH, colour), 4u);
  EXPECT_EQ(offsetof(VEXABRUSH, bitmap), 20u);
  EXPECT_EQ(offsetof(VEXAMARKER, size), 4u);
  EXPECT_EQ(offsetof(VEXAMARKER, pen), 12u);
  EXPECT_EQ(offsetof(VEXAMARKER, brush), 40u);
  EXPECT_EQ(offsetof(VEXASYMBOL, angle), 8u);
}

// --- pens ---

TEST(CheckPenStyle, GivesTheDefaultPenForNoSource) {
  VEXAPEN p = ValidPen();
  EXPECT_EQ(CheckPenStyle(nullptr, &p), 1);
  const VEXAPEN expected{0, 0.2f, 0x000000, 0xFFFFFF, 1, 0, 0};
  EXPECT_TRUE(SamePen(p, expected));
}

TEST(CheckPenStyle, CopiesAValidPenUnchanged) {
  const VEXAPEN src = ValidPen();
  VEXAPEN dst{};
  EXPECT_EQ(CheckPenStyle(&src, &dst), 1);
  EXPECT_TRUE(SamePen(src, dst));
}

TEST(CheckPenStyle, KeepsWidthFiftyButReplacesFiftyAndAHalf) {
  VEXAPEN p = ValidPen();
  p.width = 50.0f;
  VEXAPEN out{};
  EXPECT_EQ(CheckPenStyle(&p, &out), 1);
  EXPECT_EQ(out.width, 50.0f);
  p.width = 50.5f;
  EXPECT_EQ(CheckPenStyle(&p, &out), 0);
  EXPECT_EQ(out.width, 0.2f);
  // Every other field of the record survives the repair.
  EXPECT_EQ(out.style, kPenDashDot);
  EXPECT_EQ(out.colour, 0x123456u);
}

TEST(CheckPenStyle, ReplacesWidthsBelowZeroAndNaN) {
  VEXAPEN p = ValidPen();
  VEXAPEN out{};
  p.width = 0.0f;
  EXPECT_EQ(CheckPenStyle(&p, &out), 1);
  p.width = -0.01f;
  EXPECT_EQ(CheckPenStyle(&p, &out), 0);
  EXPECT_EQ(out.width, 0.2f);
  p.width = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(CheckPenStyle(&p, &out), 0);
  EXPECT_EQ(out.width, 0.2f);
  p.width = std::numeric_limits<float>::infinity();
  EXPECT_EQ(CheckPenStyle(&p, &out), 0);
  EXPECT_EQ(out.width, 0.2f);
}

TEST(CheckPenStyle, AcceptsDesktopAndFrameworkStylesOnly) {
  VEXAPEN p = ValidPen();
  VEXAPEN out{};
  for (int style : {0, 6, 16, 21}) {
    p.style = style;
    EXPECT_EQ(CheckPenStyle(&p, &out), 1) << style;
    EXPECT_EQ(out.style, style);
  }
  for (int style : {7, 15, 22, -1}) {
    p.style = style;
    EXPECT_EQ(CheckPenStyle(&p, &out), 0) << style;
    EXPECT_EQ(out.style, 0) << style;
  }
}

TEST(CheckPenStyle, RepairsColoursAndBackgroundModeToTheirOwnDefaults) {
  VEXAPEN p = ValidPen();
  p.colour = 0x1000000;
  p.background = 0xFFFFFFFF;
  p.bkMode = 0;
  VEXAPEN out{};
  EXPECT_EQ(CheckPenStyle(&p, &out), 0);
  EXPECT_EQ(out.colour, 0u);
  EXPECT_EQ(out.background, 0xFFFFFFu);
  EXPECT_EQ(out.bkMode, kBkTransparent);
  // Rounded ends and spline are taken as they come.
  EXPECT_EQ(out.roundEnds, 1);
  EXPECT_EQ(out.spline, 7);
}

TEST(CheckPenStyle, RepairsARecordInPlace) {
  VEXAPEN p = ValidPen();
  p.style = 99;
  p.width = 60.0f;
  EXPECT_EQ(CheckPenStyle(&p, &p), 0);
  EXPECT_EQ(p.style, 0);
  EXPECT_EQ(p.width, 0.2f);
  EXPECT_EQ(p.colour, 0x123456u);
}

TEST(CheckPenStyle, AnswersWithoutADestination) {
  const VEXAPEN good = ValidPen();
  VEXAPEN bad = good;
  bad.bkMode = 3;
  EXPECT_EQ(CheckPenStyle(&good, nullptr), 1);
  EXPECT_EQ(CheckPenStyle(&bad, nullptr), 0);
}

// --- brushes ---

TEST(CopyBrushStyle, TellsPatternBrushesFromTheOthers) {
  VEXABRUSH b{kBrushPattern, {9, 9}, 0x10, 0x20, 1, 3, 4};
  VEXABRUSH out{};
  EXPECT_EQ(CopyBrushStyle(&b, &out), 1);
  EXPECT_EQ(std::memcmp(&b, &out, sizeof b), 0);
  for (std::int16_t kind : {kBrushSolid, kBrushHollow, kBrushHatched, kBrushNone}) {
    b.kind = kind;
    EXPECT_EQ(CopyBrushStyle(&b, &out), 0) << kind;
    EXPECT_EQ(std::memcmp(&b, &out, sizeof b), 0) << kind;
  }
  b.kind = 7;
  EXPECT_NE(CopyBrushStyle(&b, &out), 0);
  EXPECT_EQ(out.kind, 7);
}

TEST(CopyBrushStyle, ReplacesKindMinusOneByTheDefaultBrush) {
  VEXABRUSH b{kBrushUseDefault, {1, 2}, 0x10, 0x20, 1, 3, 4};
  VEXABRUSH out;
  std::memset(&out, 0xAB, sizeof out);
  EXPECT_EQ(CopyBrushStyle(&b, &out), 0);
  EXPECT_EQ(out.kind, kBrushSolid);
  EXPECT_EQ(out.colour, 0x808080u);
  EXPECT_EQ(out.background, 0xFFFFFFu);
  EXPECT_EQ(out.bkMode, kBkOpaque);
  EXPECT_EQ(out.hatch, 0);
  EXPECT_EQ(out.bitmap, -1);
  // Only the 16-bit kind is written, not the two bytes after it.
  EXPECT_EQ(out.unused[0], 0xAB);
  EXPECT_EQ(out.unused[1], 0xAB);
}

TEST(CopyBrushStyle, GivesTheDefaultBrushForNoSource) {
  VEXABRUSH out{};
  EXPECT_EQ(CopyBrushStyle(nullptr, &out), 0);
  EXPECT_EQ(out.kind, kBrushSolid);
  EXPECT_EQ(out.bitmap, -1);
}

// --- markers ---

VEXAMARKER ValidMarker() {
  VEXAMARKER m{};
  m.symbol = 9;
  m.size = 120;
  m.angle = -300;
  m.pen = ValidPen();
  m.brush = {kBrushHatched, {0, 0}, 0xFF, 0, 1, 2, -1};
  return m;
}

TEST(CheckMarkerStyle, GivesTheDefaultMarkerForNoSource) {
  VEXAMARKER m = ValidMarker();
  EXPECT_EQ(CheckMarkerStyle(nullptr, &m), 1);
  EXPECT_EQ(m.symbol, 5);
  EXPECT_EQ(m.size, 80u);
  EXPECT_EQ(m.angle, 0);
  EXPECT_EQ(m.pen.width, 0.2f);
  EXPECT_EQ(m.pen.bkMode, kBkTransparent);
  EXPECT_EQ(m.brush.kind, kBrushSolid);
  EXPECT_EQ(m.brush.colour, 0x808080u);
}

TEST(CheckMarkerStyle, KeepsSizeOneThousandButReplacesSizeZero) {
  VEXAMARKER m = ValidMarker();
  VEXAMARKER out{};
  m.size = 1000;
  EXPECT_EQ(CheckMarkerStyle(&m, &out), 1);
  EXPECT_EQ(out.size, 1000u);
  m.size = 0;
  EXPECT_EQ(CheckMarkerStyle(&m, &out), 0);
  EXPECT_EQ(out.size, 80u);
  m.size = 1001;
  EXPECT_EQ(CheckMarkerStyle(&m, &out), 0);
  EXPECT_EQ(out.size, 80u);
}

TEST(CheckMarkerStyle, TreatsTheAngleAsTenthsOfADegree) {
  // 450 tenths is 45.0 degrees in the dialog, but beyond the stored range of +-360.
  VEXAMARKER m = ValidMarker();
  VEXAMARKER out{};
  m.angle = 450;
  EXPECT_EQ(CheckMarkerStyle(&m, &out), 0);
  EXPECT_EQ(out.angle, 0);
  m.angle = 300;
  EXPECT_EQ(CheckMarkerStyle(&m, &out), 1);
  EXPECT_EQ(out.angle, 300);
  m.angle = -360;
  EXPECT_EQ(CheckMarkerStyle(&m, &out), 1);
  EXPECT_EQ(out.angle, -360);
}

TEST(CheckMarkerStyle, ReplacesAnUnknownSymbolBySquare) {
  VEXAMARKER m = ValidMarker();
  VEXAMARKER out{};
  m.symbol = 15;
  EXPECT_EQ(CheckMarkerStyle(&m, &out), 1);
  EXPECT_EQ(out.symbol, 15);
  m.symbol = 16;
  EXPECT_EQ(CheckMarkerStyle(&m, &out), 0);
  EXPECT_EQ(out.symbol, 5);
}

TEST(CheckMarkerStyle, ReportsARepairedPenButNotAnUnknownBrush) {
  VEXAMARKER m = ValidMarker();
  VEXAMARKER out{};
  m.pen.style = 8;
  EXPECT_EQ(CheckMarkerStyle(&m, &out), 0);
  EXPECT_EQ(out.pen.style, 0);
  EXPECT_EQ(out.pen.colour, 0x123456u);

  m = ValidMarker();
  m.brush.kind = 555;
  EXPECT_EQ(CheckMarkerStyle(&m, &out), 1);
  EXPECT_EQ(out.brush.kind, 555);
  m.brush.kind = kBrushUseDefault;
  EXPECT_EQ(CheckMarkerStyle(&m, &out), 1);
  EXPECT_EQ(out.brush.kind, kBrushSolid);
}

TEST(CheckMarkerStyle, RepairsARecordInPlace) {
  VEXAMARKER m = ValidMarker();
  m.symbol = 200;
  m.pen.width = -1.0f;
  EXPECT_EQ(CheckMarkerStyle(&m, &m), 0);
  EXPECT_EQ(m.symbol, 5);
  EXPECT_EQ(m.pen.width, 0.2f);
  EXPECT_EQ(m.size, 120u);
  EXPECT_EQ(m.brush.kind, kBrushHatched);
}

// --- units ---

TEST(PointsAndMillimetres, ConvertAnInch) {
  EXPECT_FLOAT_EQ(mmToPts(25.4f), 72.0f);
  EXPECT_FLOAT_EQ(PtsTomm(72.0f), 25.4f);
  EXPECT_FLOAT_EQ(mmToPts(0.2f), 0.2f * 72.0f / 25.4f);
  EXPECT_EQ(mmToPts(0.0f), 0.0f);
}

// --- symbol outlines ---

std::vector<POINT> Vertices(int symbol, unsigned size, int* count) {
  VEXASYMBOL s{};
  s.symbol = static_cast<std::uint8_t>(symbol);
  s.size = size;
  return GetSymbolVertices(&s, count);
}

// The vertices as x0, y0, x1, y1, ...
std::vector<int> Flat(const std::vector<POINT>& v) {
  std::vector<int> xy;
  for (const POINT& p : v) {
    xy.push_back(p.x);
    xy.push_back(p.y);
  }
  return xy;
}

TEST(GetSymbolVertices, ScalesTheTriangleToHundredthsOfAPoint) {
  // Size 80 tenths = 8 points wide: half size 4 points = 400 hundredths.
  int n = -1;
  const auto v = Vertices(1, 80, &n);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(Flat(v), (std::vector<int>{0, 400, -400, -400, 400, -400}));
}

TEST(GetSymbolVertices, GivesEachShapeItsOutline) {
  struct Case {
    int symbol;
    std::vector<int> xy;
  };
  // Size 20 tenths: every template coordinate times 2.
  const std::vector<Case> cases = {
      {2, {100, 100, -100, 0, 100, -100}},
      {3, {100, 0, -100, 100, -100, -100}},
      {4, {100, 100, -100, 100, 0, -100}},
      {5, {100, 100, -100, 100, -100, -100, 100, -100}},
      {6, {100, 0, 0, 100, -100, 0, 0, -100}},
      {7, {100, 100, -100, 100, -100, -100, 100, -100}},
      {8, {100, 50, -100, 50, 50, -100, 0, 100, -50, -100}},
      {9, {100, 50, -100, 50, 0, -100, 0, 100, -100, -50, 100, -50}},
      {10, {100, 0, -100, 0, 0, 100, 0, -100}},
      {11, {100, 100, -100, -100, 100, -100, -100, 100}},
      {12, {100, 0, -100, 0, 0, -100, 0, 100, 100, 100, -100, -100, 100, -100, -100, 100}},
      {13, {100, 100, -100, 100, -100, -100, 100, -100, 100, 0, -100, 0, 0, 100, 0, -100}},
      {14, {100, 100, -100, 100, -100, -100, 100, -100}},
      {15, {100, 100, -100, 100, -100, -100, 100, -100, 100, 0, -100, 0, 0, -100, 0, 100}},
  };
  for (const Case& c : cases) {
    int n = -1;
    const auto v = Vertices(c.symbol, 20, &n);
    EXPECT_EQ(Flat(v), c.xy) << "symbol " << c.symbol;
    EXPECT_EQ(n * 2, static_cast<int>(c.xy.size())) << "symbol " << c.symbol;
  }
}

TEST(GetSymbolVertices, RoundsAfterScalingInSinglePrecision) {
  // Size 33: the scale 3.3 is 3.2999999523 in single precision; 25 times it, 82.4999988,
  // rounds to the float 82.5, and halves round upward: 25 -> 83 but -25 -> -82. 50 times it
  // rounds to 165.
  int n = 0;
  const auto v = Vertices(8, 33, &n);
  ASSERT_EQ(n, 5);
  EXPECT_EQ(Flat(v), (std::vector<int>{165, 83, -165, 83, 83, -165, 0, 165, -82, -165}));
}

TEST(GetSymbolVertices, HasNoVerticesForSymbolZeroAndLeavesTheCount) {
  int n = 17;
  EXPECT_TRUE(Vertices(0, 80, &n).empty());
  EXPECT_EQ(n, 17);
}

TEST(GetSymbolVertices, HasNoVerticesAndCountZeroBeyondSymbol15) {
  int n = 17;
  EXPECT_TRUE(Vertices(16, 80, &n).empty());
  EXPECT_EQ(n, 0);
  n = 17;
  EXPECT_TRUE(GetSymbolVertices(static_cast<const VEXASYMBOL*>(nullptr), &n).empty());
  EXPECT_EQ(n, 0);
}

TEST(GetSymbolVertices, ReadsSymbolAndSizeOfAMarker) {
  VEXAMARKER m{};
  m.symbol = 1;
  m.size = 80;
  int n = 0;
  EXPECT_EQ(Flat(GetSymbolVertices(&m, &n)), (std::vector<int>{0, 400, -400, -400, 400, -400}));
  EXPECT_EQ(n, 3);
}

TEST(GetSymbolVertices, StopsHugeSizesAtTheIntegerRange) {
  // Size 2^32 - 1 tenths: 50 * 4.29e8 is beyond 32 bits; the vertex stops at INT_MAX.
  int n = 0;
  const auto v = Vertices(5, 0xFFFFFFFFu, &n);
  ASSERT_EQ(n, 4);
  EXPECT_EQ(v[0].x, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(v[1].x, std::numeric_limits<std::int32_t>::min());
}

TEST(Vexadl1, AnswersFortyTwo) { EXPECT_EQ(fnVexadl1(), 42); }

}  // namespace
