#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "chart/items/VexaArc.h"
#include "chart/items/VexaArcFill.h"
#include "chart/items/VexaPolyFill.h"
#include "chart/paper/Mapper.h"
#include "chart/styles/CharStyle.h"
#include "chart/styles/FillStyle.h"
#include "chart/styles/LineStyle.h"
#include "platform/io/Archive.h"
#include "platform/io/Settings.h"
#include "testsupport/RecordingDC.h"

namespace {

using tessmor::Archive;
using tessmor::ArchiveException;
using tessmor::POINT;
using tessmor::testing::RecordingDC;

// Styles on a mapper at 0.01 mm (100 units per mm, zoom 1, A4 landscape 295 × 210 mm), so
// paper (x, y) mm lies at logical (100 x, 100 y − 21000).
class ItemsTest : public ::testing::Test {
 protected:
  ItemsTest() : previous_(tessmor::SetSettings(&settings_)) {}
  ~ItemsTest() override { tessmor::SetSettings(previous_); }

  template <typename Style>
  static std::vector<std::uint8_t> Stored(Style& style) {
    Archive ar = Archive::ForStore();
    style.Serialize(ar);
    return ar.StoredBytes();
  }

  tessmor::MemorySettings settings_;
  tessmor::Settings* previous_;
  CMapper mapper_;
};

std::unique_ptr<CVEXALine> Line(std::initializer_list<PaperPoint> points) {
  auto line = std::make_unique<CVEXALine>(nullptr, *points.begin(), CStroke::kItemCategory);
  for (auto it = points.begin() + 1; it != points.end(); ++it) line->AddPoint(*it);
  return line;
}

// --- lines ---

TEST_F(ItemsTest, LineStoredAsOffsetsReadsBackAndDrawsThroughItsPaperPoints) {
  CLineStyle style(nullptr, &mapper_);
  auto line = Line({{10, 10}, {15, 10}, {15, 15}});
  line->SetGroup(7);
  ASSERT_EQ(style.AddLine(std::move(line)), 1);
  const std::vector<std::uint8_t> bytes = Stored(style);
  // Pen 28, line count 2, category 2, group 2, vertex count 2, three points 24, arc count 2.
  ASSERT_EQ(bytes.size(), 28u + 2 + 2 + 2 + 2 + 24 + 2);
  // The second vertex is stored as its offset (5, 0) from the first.
  Archive offsets = Archive::FromBytes(bytes);
  offsets.Seek(28 + 2 + 2 + 2 + 2 + 8);
  EXPECT_EQ(offsets.ReadFloat(), 5.0f);
  EXPECT_EQ(offsets.ReadFloat(), 0.0f);

  CLineStyle back(nullptr, &mapper_);
  Archive in = Archive::FromBytes(bytes);
  back.Serialize(in);
  EXPECT_TRUE(in.AtEnd());
  ASSERT_EQ(back.GetLineCount(), 1);
  EXPECT_EQ(back.GetLine(0)->GetGroup(), 7);
  EXPECT_EQ(back.GetLine(0)->GetPoint(2), (PaperPoint{15, 15}));

  RecordingDC dc;
  dc.SetMapMode(tessmor::MM_HIMETRIC);
  back.DrawItems(dc, true);
  const auto polylines = dc.Calls("Polyline");
  ASSERT_EQ(polylines.size(), 1u);
  EXPECT_EQ(polylines[0]->points,
            (std::vector<POINT>{{1000, -20000}, {1500, -20000}, {1500, -19500}}));
}

TEST_F(ItemsTest, LineIsHitWithinHalfAMillimetreAndHalfItsPen) {
  CLineStyle style(nullptr, &mapper_);  // pen 0.2 mm = 20 units
  style.AddLine(Line({{10, 10}, {20, 10}}));
  CVEXALine* line = style.GetLine(0);
  line->ComputeRegion();
  // Tolerance 50 + 20 / 2 = 60 units either side of y = −20000.
  EXPECT_TRUE(line->HitTest(1500, -20000 + 55));
  EXPECT_FALSE(line->HitTest(1500, -20000 + 70));

  // A lone vertex is a dot with the same tolerance around it.
  style.AddLine(Line({{50, 50}}));
  style.GetLine(1)->ComputeRegion();
  EXPECT_TRUE(style.GetLine(1)->HitTest(5000 + 55, -21000 + 5000 - 55));
  EXPECT_FALSE(style.GetLine(1)->HitTest(5000 + 70, -21000 + 5000));
}

TEST_F(ItemsTest, SplineLineOfFourPointsIsDrawnAsBezierCurves) {
  VEXAPEN pen{kPenSolid, 0.2f, 0, 0xFFFFFF, kBkOpaque, 0, 1};
  CLineStyle style(&pen, &mapper_);
  style.AddLine(Line({{10, 10}, {20, 20}, {30, 10}, {40, 20}}));
  RecordingDC dc;
  dc.SetMapMode(tessmor::MM_HIMETRIC);
  style.DrawItems(dc, true);
  EXPECT_EQ(dc.Count("Polyline"), 0);
  EXPECT_EQ(dc.Count("PolyBezierTo"), 3);  // one cubic between each two vertices
}

TEST_F(ItemsTest, HostileLineStyleCountsThrowAndLeaveTheStyleAsItWas) {
  CLineStyle style(nullptr, &mapper_);
  style.AddLine(Line({{1, 1}, {2, 2}}));
  std::vector<std::uint8_t> bytes = Stored(style);
  bytes[28] = 0xFF;  // 65535 lines in 30 bytes
  bytes[29] = 0xFF;
  CLineStyle target(nullptr, &mapper_);
  Archive in = Archive::FromBytes(bytes);
  EXPECT_THROW(target.Serialize(in), ArchiveException);
  EXPECT_TRUE(target.IsEmpty());
  EXPECT_EQ(target.GetPen().width, 0.2f);

  CFillStyle fill(nullptr, &mapper_);
  std::vector<std::uint8_t> fill_bytes = Stored(fill);
  fill_bytes[28 + 4 + 8 + 3] = 0x7F;  // 2^30 symbols
  CFillStyle fill_target(nullptr, &mapper_);
  Archive fill_in = Archive::FromBytes(fill_bytes);
  EXPECT_THROW(fill_target.Serialize(fill_in), ArchiveException);
  EXPECT_TRUE(fill_target.IsEmpty());
}

// --- polygon fills and arcs ---

TEST_F(ItemsTest, FillStyleReadsItsFillsOnceAndHitsInsideThePolygon) {
  CFillStyle style(nullptr, &mapper_);
  auto fill = std::make_unique<CVEXAPolyFill>(&style, PaperPoint{10, 10}, CStroke::kItemCategory);
  fill->AddPoint({30, 10});
  fill->AddPoint({30, 30});
  fill->AddPoint({10, 30});
  ASSERT_EQ(style.AddPolyFill(std::move(fill)), 1);
  ARCREC arc;
  arc = {-5, -5, 5, 5, 50, 50, 0, 9000, 0};  // a quarter circle of 5 mm round (50, 50)
  style.AddArcFill(std::make_unique<CVEXAArcFill>(&style, arc, 0, CStroke::kItemCategory));
  VEXASYMBOL sym{};
  sym.symbol = 5;
  sym.size = 100;
  style.AddSymbol(std::make_unique<CVEXASymbol>(&style, PaperPoint{100, 100}, sym));

  CFillStyle back(nullptr, &mapper_);
  Archive in = Archive::FromBytes(Stored(style));
  back.Serialize(in);
  EXPECT_TRUE(in.AtEnd());
  // The plain copies of the line-style part are not kept.
  ASSERT_EQ(back.GetLineCount(), 1);
  ASSERT_EQ(back.GetArcCount(), 1);
  ASSERT_EQ(back.GetSymbolCount(), 1);
  EXPECT_EQ(back.GetSymbol(0)->GetPos(), (PaperPoint{100, 100}));

  const CVEXALine* square = back.GetLine(0);
  EXPECT_TRUE(square->HitTest(2000, -21000 + 2000));  // the middle, (20, 20) mm
  EXPECT_FALSE(square->HitTest(4000, -21000 + 2000));
  const CVEXAArc* sector = back.GetArc(0);
  EXPECT_TRUE(sector->HitTest(5200, -21000 + 5200));   // inside the quarter
  EXPECT_FALSE(sector->HitTest(4700, -21000 + 4700));  // the opposite quarter

  RecordingDC dc;
  dc.SetMapMode(tessmor::MM_HIMETRIC);
  back.DrawItems(dc, nullptr, true);
  ASSERT_EQ(dc.Count("Polygon"), 2);  // the square, the symbol's square
  EXPECT_EQ(dc.Calls("Polygon")[0]->points,
            (std::vector<POINT>{{1000, -20000}, {3000, -20000}, {3000, -18000}, {1000, -18000}}));
  EXPECT_GE(dc.Count("FillPath"), 2);  // the sector and the symbol
}

TEST_F(ItemsTest, ArcFromZeroToFullTurnOrToItsStartIsAFullEllipseHitOnItsRimOnly) {
  CLineStyle style(nullptr, &mapper_);
  ARCREC full{-10, -5, 10, 5, 100, 100, 0, 36000, 0};
  ARCREC same{-10, -5, 10, 5, 100, 100, 4500, 4500, 0};
  ARCREC part{-10, -5, 10, 5, 100, 100, 0, 9000, 0};
  style.AddArc(std::make_unique<CVEXAArc>(&style, full, 0, CStroke::kItemCategory));
  style.AddArc(std::make_unique<CVEXAArc>(&style, same, 0, CStroke::kItemCategory));
  style.AddArc(std::make_unique<CVEXAArc>(&style, part, 0, CStroke::kItemCategory));
  CLineStyle back(nullptr, &mapper_);
  Archive in = Archive::FromBytes(Stored(style));
  back.Serialize(in);
  ASSERT_EQ(back.GetArcCount(), 3);
  EXPECT_TRUE(back.GetArc(0)->IsFullEllipse());
  EXPECT_TRUE(back.GetArc(1)->IsFullEllipse());
  EXPECT_FALSE(back.GetArc(2)->IsFullEllipse());
  EXPECT_EQ(back.GetArc(2)->GetArc().end, 9000);
  // The ellipse's rightmost point is (110, 100) mm; its centre is not on the curve.
  EXPECT_TRUE(back.GetArc(0)->HitTest(11000, -21000 + 10000));
  EXPECT_FALSE(back.GetArc(0)->HitTest(10000, -21000 + 10000));
}

// --- texts ---

TEST_F(ItemsTest, TwoLineTextReadsBackAndStacksItsLinesOneLineHeightApart) {
  CCharStyle style(nullptr, &mapper_);  // 5 mm: font height −500, left baseline
  style.AddString(std::make_unique<CVEXAString>(nullptr, PaperPoint{10, 100}, "A\r\nB",
                                                CStroke::kItemCategory));
  style.AddString(
      std::make_unique<CVEXAString>(nullptr, PaperPoint{1, 1}, "", CStroke::kItemCategory));
  CCharStyle back(nullptr, &mapper_);
  Archive in = Archive::FromBytes(Stored(style));
  back.Serialize(in);
  EXPECT_TRUE(in.AtEnd());
  ASSERT_EQ(back.GetStringCount(), 1);  // the empty text is dropped
  CVEXAString* text = back.GetString(0);
  std::string joined;
  EXPECT_EQ(text->GetText(joined), 2);
  EXPECT_EQ(joined, "A\r\nB\r\n");

  RecordingDC dc;
  dc.SetMapMode(tessmor::MM_HIMETRIC);
  back.DrawItems(dc, true);
  // The recording font is 500 units high with no leading: the second line 500 units lower.
  EXPECT_EQ(text->GetLinePos(0), (POINT{1000, -11000}));
  EXPECT_EQ(text->GetLinePos(1), (POINT{1000, -11500}));
  EXPECT_EQ(dc.Lines("TextOut"),
            (std::vector<std::string>{"TextOut 1000,-11000 \"A\"", "TextOut 1000,-11500 \"B\""}));
  // Each character is 250 wide; ascent 400 above the baseline, descent 100 below.
  EXPECT_EQ(text->GetExtent(), (tessmor::SIZE{250, 1000}));
  EXPECT_TRUE(text->HitTest(1100, -11000 + 200));
  EXPECT_FALSE(text->HitTest(1400, -11000 + 200));
}

TEST_F(ItemsTest, TextLongerThanItsDataThrows) {
  CCharStyle style(nullptr, &mapper_);
  style.AddString(
      std::make_unique<CVEXAString>(nullptr, PaperPoint{0, 0}, "AB", CStroke::kItemCategory));
  std::vector<std::uint8_t> bytes = Stored(style);
  bytes[76 + 2 + 12 + 3] = 0xFF;  // text length 0xFF000004
  CCharStyle target(nullptr, &mapper_);
  Archive in = Archive::FromBytes(bytes);
  EXPECT_THROW(target.Serialize(in), ArchiveException);
  EXPECT_TRUE(target.IsEmpty());
}

// --- symbols ---

TEST_F(ItemsTest, SymbolTypeZeroDrawsNothingAndTypeSixteenStillHasARegion) {
  CFillStyle style(nullptr, &mapper_);
  VEXASYMBOL none{};
  none.size = 100;
  VEXASYMBOL beyond{};
  beyond.symbol = 16;
  beyond.size = 100;
  style.AddSymbol(std::make_unique<CVEXASymbol>(&style, PaperPoint{50, 50}, none));
  style.AddSymbol(std::make_unique<CVEXASymbol>(&style, PaperPoint{50, 50}, beyond));
  RecordingDC dc;
  dc.SetMapMode(tessmor::MM_HIMETRIC);
  dc.Clear();
  EXPECT_FALSE(style.GetSymbol(0)->Draw(dc));
  EXPECT_FALSE(style.GetSymbol(1)->Draw(dc));
  EXPECT_EQ(dc.calls().size(), 0u);
  // 10 points = 353 units; the square reaches 10/17 of that, 208 units, from the centre.
  EXPECT_TRUE(style.GetSymbol(1)->HitTest(5000 + 200, -21000 + 5000));
  EXPECT_FALSE(style.GetSymbol(1)->HitTest(5000 + 220, -21000 + 5000));
}

TEST_F(ItemsTest, DeletingByTagKeepsTheOtherGroups) {
  CLineStyle style(nullptr, &mapper_);
  auto a = Line({{1, 1}, {2, 2}});
  a->SetGroup(3);
  auto b = Line({{1, 1}, {2, 2}});
  b->SetGroup(4);
  style.AddLine(std::move(a));
  style.AddLine(std::move(b));
  EXPECT_EQ(style.DeleteItems(3), 1);
  ASSERT_EQ(style.GetLineCount(), 1);
  EXPECT_EQ(style.GetLine(0)->GetGroup(), 4);
  EXPECT_EQ(style.DeleteItems(-1), 1);
  EXPECT_TRUE(style.IsEmpty());
}

// --- hit regions built on first use ---

// Compares `lazy` with its twin `built`, whose regions were built before anything else was
// asked of it: the lazy item's bounds hold the built region's box, at most 0.2 mm
// wider, and every probe in and around them hits both items or neither, whether or not the
// lazy item had built its region yet. Returns the probes that hit.
template <typename Item>
int ExpectSameHitsAsBuilt(const Item& built, const Item& lazy) {
  const tessmor::RECT box = built.GetRegion().GetBounds();
  const tessmor::RECT bounds = lazy.GetBounds();
  EXPECT_EQ(bounds, built.GetBounds());
  EXPECT_LE(bounds.left, box.left);
  EXPECT_LE(bounds.top, box.top);
  EXPECT_GE(bounds.right, box.right);
  EXPECT_GE(bounds.bottom, box.bottom);
  // A sharp corner of a band's outline may reach a little beyond the squares it covers.
  EXPECT_LE(box.left - bounds.left + bounds.right - box.right, 20);
  EXPECT_LE(box.top - bounds.top + bounds.bottom - box.bottom, 20);
  // The edges of both boxes and a grid 40 steps across, reaching 50 units beyond.
  const auto probes = [](std::int32_t lo, std::int32_t hi, std::int32_t outer_lo,
                         std::int32_t outer_hi) {
    std::vector<std::int32_t> v{lo - 1, lo, hi - 1, hi, outer_lo, outer_hi - 1};
    const std::int32_t step = std::max((hi - lo + 100) / 40, 1);
    for (std::int32_t c = lo - 50; c <= hi + 50; c += step) v.push_back(c);
    return v;
  };
  int hits = 0, misses_inside = 0;
  for (std::int32_t y : probes(box.top, box.bottom, bounds.top, bounds.bottom)) {
    for (std::int32_t x : probes(box.left, box.right, bounds.left, bounds.right)) {
      const bool hit = built.HitTest(x, y);
      EXPECT_EQ(lazy.HitTest(x, y), hit) << "at " << x << ", " << y;
      hits += hit;
      misses_inside += !hit && x >= box.left && x < box.right && y >= box.top && y < box.bottom;
    }
  }
  EXPECT_GT(misses_inside, 0) << "the probes should find the shape, not only its box";
  return hits;
}

TEST_F(ItemsTest, RegionsBuiltOnFirstUseBoundAndHitAsRegionsBuiltAtOnce) {
  CLineStyle lines(nullptr, &mapper_);
  CFillStyle fills(nullptr, &mapper_);
  for (int twin = 0; twin < 2; ++twin) {
    lines.AddLine(Line({{10, 10}, {40, 25}, {12, 26}, {60, 60}}));    // turns back sharply
    lines.AddLine(Line({{80, 10}, {120, 14}, {100, 40}, {80, 10}}));  // closed: a ring
    lines.AddArc(std::make_unique<CVEXAArc>(
        &lines, ARCREC{-20, -10, 20, 10, 150, 60, 3000, 20000, 1500}, 0, CStroke::kItemCategory));
    lines.AddArc(std::make_unique<CVEXAArc>(&lines, ARCREC{-15, -15, 15, 15, 220, 60, 0, 36000, 0},
                                            0, CStroke::kItemCategory));
    auto poly =
        std::make_unique<CVEXAPolyFill>(&fills, PaperPoint{10, 100}, CStroke::kItemCategory);
    poly->AddPoint({50, 110});
    poly->AddPoint({20, 150});
    fills.AddPolyFill(std::move(poly));
    fills.AddArcFill(std::make_unique<CVEXAArcFill>(
        &fills, ARCREC{-12, -12, 12, 12, 100, 130, 4500, 27000, 0}, 1, CStroke::kItemCategory));
    fills.AddArcFill(std::make_unique<CVEXAArcFill>(
        &fills, ARCREC{-20, -8, 20, 8, 180, 130, 0, 36000, 0}, 0, CStroke::kItemCategory));
  }
  ASSERT_EQ(lines.GetLineCount(), 4);
  ASSERT_EQ(lines.GetArcCount(), 4);
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    EXPECT_GT(ExpectSameHitsAsBuilt(*lines.GetLine(i), *lines.GetLine(i + 2)), 0);
    EXPECT_GT(ExpectSameHitsAsBuilt(*lines.GetArc(i), *lines.GetArc(i + 2)), 0);
  }
  // A fill style keeps its polygon fills as lines and its arc fills as arcs.
  ASSERT_EQ(fills.GetLineCount(), 2);
  ASSERT_EQ(fills.GetArcCount(), 4);
  EXPECT_GT(ExpectSameHitsAsBuilt(*fills.GetLine(0), *fills.GetLine(1)), 0);
  for (int i = 0; i < 2; ++i) {
    EXPECT_GT(ExpectSameHitsAsBuilt(*fills.GetArc(i), *fills.GetArc(i + 2)), 0);
  }
  // Inside the filled polygon, far from its outline, and inside the ellipse.
  const POINT inside = mapper_.PaperToDevice({25, 115});
  EXPECT_TRUE(fills.GetLine(1)->HitTest(inside.x, inside.y));
  const POINT centre = mapper_.PaperToDevice({180, 130});
  EXPECT_TRUE(fills.GetArc(3)->HitTest(centre.x, centre.y));
  // The centre of the stroked circle is not on it.
  const POINT ring = mapper_.PaperToDevice({220, 60});
  EXPECT_FALSE(lines.GetArc(3)->HitTest(ring.x, ring.y));
}

}  // namespace
