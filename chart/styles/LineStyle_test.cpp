#include "chart/styles/LineStyle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "chart/paper/Mapper.h"
#include "chart/styles/BitmapStore.h"
#include "chart/styles/FillStyle.h"
#include "platform/io/Archive.h"
#include "platform/io/Settings.h"
#include "testsupport/RecordingDC.h"

namespace {

using tessmor::Archive;
using tessmor::ArchiveException;
using tessmor::testing::RecordingDC;

// A mapper at 0.01 mm (100 units per mm, zoom 1) with a fresh settings store.
class StyleTest : public ::testing::Test {
 protected:
  StyleTest() : previous_(tessmor::SetSettings(&settings_)) {}
  ~StyleTest() override { tessmor::SetSettings(previous_); }

  tessmor::MemorySettings settings_;
  tessmor::Settings* previous_;
  CMapper mapper_;
};

std::vector<std::uint8_t> Stored(CLineStyle& style) {
  Archive ar = Archive::ForStore();
  style.Serialize(ar);
  return ar.StoredBytes();
}

void PutU32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
}

// --- line style: attributes ---

TEST_F(StyleTest, NegativeOrNaNWidthBecomesTwoTenthsAndTooWideIsHeldAtFifty) {
  CLineStyle style(nullptr, &mapper_);
  style.SetWidth(-1.0f);
  EXPECT_EQ(style.GetPen().width, 0.2f);
  style.SetWidth(1.5f);
  style.SetWidth(std::nanf(""));
  EXPECT_EQ(style.GetPen().width, 0.2f);
  style.SetWidth(80.0f);
  EXPECT_EQ(style.GetPen().width, 50.0f);
}

TEST_F(StyleTest, PenStyleAcceptsDesktopAndPatternStylesOnly) {
  CLineStyle style;
  for (int s : {0, 6, 16, 21}) {
    EXPECT_EQ(style.SetPenStyle(s), 1) << s;
    EXPECT_EQ(style.GetPen().style, s);
  }
  for (int s : {-1, 7, 15, 22}) {
    EXPECT_EQ(style.SetPenStyle(s), 0) << s;
    EXPECT_EQ(style.GetPen().style, 21) << "the old style stays";
  }
}

TEST_F(StyleTest, LogicalWidthIsMillimetresTimesUnitsRoundedAndAtLeastOne) {
  CLineStyle style(nullptr, &mapper_);
  style.SetWidth(0.2f);  // 0.2 mm at 100 units per mm
  EXPECT_EQ(style.GetLogicalPenWidth(), (tessmor::SIZE{20, 20}));
  style.SetWidth(0.004f);  // 0.4 units rounds to 0
  EXPECT_EQ(style.GetLogicalPenWidth(), (tessmor::SIZE{1, 1}));
  mapper_.SetZoom(1.1f);  // A4 landscape at zoom 1.1 stays at 0.01 mm: 110 units per mm
  style.SetWidth(0.5f);
  EXPECT_EQ(style.GetLogicalPenWidth().cx, 55);
}

TEST_F(StyleTest, SelectingALineStyleSelectsAGeometricPenAndItsBackground) {
  const VEXAPEN pen{kPenDash, 0.5f, 0x0000FF, 0x00FF00, kBkOpaque, 0, 0};
  CLineStyle style(&pen, &mapper_);
  RecordingDC dc;
  dc.SetBkMode(tessmor::TRANSPARENT);
  const StyleSelection previous = style.Select(dc);
  // Dashes are drawn one by one, so the pen itself is solid, with flat ends and mitred joins.
  EXPECT_EQ(dc.GetPen(), (tessmor::Pen{tessmor::PS_GEOMETRIC | tessmor::PS_ENDCAP_FLAT |
                                           tessmor::PS_JOIN_MITER | tessmor::PS_SOLID,
                                       50, 0x0000FF}));
  EXPECT_EQ(dc.GetBkMode(), tessmor::OPAQUE);
  EXPECT_EQ(dc.GetBkColor(), 0x00FF00u);
  CLineStyle::Deselect(dc, previous);
  EXPECT_EQ(dc.GetPen(), tessmor::Pen{});
  EXPECT_EQ(dc.GetBkMode(), tessmor::TRANSPARENT);
  EXPECT_EQ(dc.GetBkColor(), 0xFFFFFFu);

  style.SetRoundEnds(1);
  style.SetPenStyle(kPenNull);
  EXPECT_EQ(style.CreatePen().style, tessmor::PS_GEOMETRIC | tessmor::PS_ENDCAP_ROUND |
                                         tessmor::PS_JOIN_ROUND | tessmor::PS_NULL);
}

// --- line style: stored form ---

TEST_F(StyleTest, LineStyleWithoutItemsStoresItsPenAndTwoZeroCounts) {
  const VEXAPEN pen{kPenDot, 0.5f, 0x123456, 0xABCDEF, kBkTransparent, 1, 0};
  CLineStyle style(&pen, &mapper_);
  std::vector<std::uint8_t> expected;
  for (std::uint32_t field : {2u, 0x3F000000u /* 0.5f */, 0x123456u, 0xABCDEFu, 1u, 1u, 0u}) {
    PutU32(expected, field);
  }
  expected.insert(expected.end(), {0, 0, 0, 0});
  EXPECT_EQ(Stored(style), expected);
  EXPECT_TRUE(style.IsEmpty());
}

TEST_F(StyleTest, StoredPenReadsBack) {
  const VEXAPEN pen{17, 1.25f, 0x00FF00, 0x0000FF, kBkOpaque, 0, 1};
  CLineStyle original(&pen, &mapper_);
  CLineStyle back;
  Archive in = Archive::FromBytes(Stored(original));
  back.Serialize(in);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_TRUE(back.ComparePen(pen));
}

TEST_F(StyleTest, ShortStoredFormThrowsAndLeavesThePen) {
  const VEXAPEN pen{3, 1.0f, 0, 0xFFFFFF, kBkOpaque, 0, 0};
  CLineStyle original(&pen, &mapper_);
  std::vector<std::uint8_t> bytes = Stored(original);

  CLineStyle target;
  std::vector<std::uint8_t> short_form(bytes.begin(), bytes.end() - 1);
  Archive in = Archive::FromBytes(short_form);
  EXPECT_THROW(target.Serialize(in), ArchiveException);
  EXPECT_EQ(target.GetPen().style, 0);

  bytes[28] = 1;  // one line item, but only the arc count follows
  Archive items = Archive::FromBytes(bytes);
  EXPECT_THROW(target.Serialize(items), ArchiveException);
  EXPECT_EQ(target.GetPen().style, 0);
}

// --- fill style ---

TEST_F(StyleTest, FillStyleStoredFormStartsWithTheWholeLineStyleForm) {
  const VEXAPEN pen{kPenDashDot, 0.7f, 0x0000FF, 0xFFFFFF, kBkOpaque, 0, 0};
  CFillStyle fill(&pen, &mapper_);
  fill.SetBrush(0x00FF00, 4);
  CLineStyle line(&pen, &mapper_);
  const std::vector<std::uint8_t> line_form = Stored(line);
  const std::vector<std::uint8_t> fill_form = Stored(fill);
  ASSERT_EQ(fill_form.size(), line_form.size() + 12 + 24);
  EXPECT_TRUE(std::equal(line_form.begin(), line_form.end(), fill_form.begin()));
  // Three 32-bit zero counts, then the brush: kind 203 (0xCB, 0x00) first.
  EXPECT_EQ(fill_form[line_form.size() + 12], 0xCB);
  EXPECT_EQ(fill_form[line_form.size() + 13], 0x00);

  CFillStyle back;
  Archive in = Archive::FromBytes(fill_form);
  back.Serialize(in);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_TRUE(back.CompareStyle(fill.GetPen(), fill.GetBrush()));
  EXPECT_EQ(back.TakeChanged(), 0);
}

TEST_F(StyleTest, BrushCodesSetHatchSolidHollowOrBackground) {
  CFillStyle fill;
  fill.SetPatternBrush(3);
  fill.SetBrush(0x112233, 2);
  EXPECT_EQ(fill.GetBrush().kind, kBrushHatched);
  EXPECT_EQ(fill.GetBrush().hatch, 2);
  EXPECT_EQ(fill.GetBrush().colour, 0x112233u);
  EXPECT_EQ(fill.GetBrush().bitmap, -1);

  fill.SetBrush(0x445566, 999);
  EXPECT_EQ(fill.GetBrush().kind, kBrushSolid);
  EXPECT_EQ(fill.GetBrush().hatch, kNoHatch);
  EXPECT_EQ(fill.GetBrush().colour, 0x445566u);

  fill.SetBrush(0x778899, 201);
  EXPECT_EQ(fill.GetBrush().kind, kBrushHollow);
  EXPECT_EQ(fill.GetBrush().colour, 0u);

  fill.SetBrush(0xABCDEF, 204);
  EXPECT_EQ(fill.GetBrush().kind, kBrushHollow);
  EXPECT_EQ(fill.GetBrush().background, 0xABCDEFu);

  EXPECT_EQ(fill.TakeChanged(), 1);
  EXPECT_EQ(fill.TakeChanged(), 0) << "reading the flag clears it";
  const VEXABRUSH before = fill.GetBrush();
  fill.SetBrush(0x000001, 77);  // not a code: only the flag
  EXPECT_TRUE(fill.CompareStyle(fill.GetPen(), before));
  EXPECT_EQ(fill.TakeChanged(), 1);
}

TEST_F(StyleTest, BrushFromKindHatchAndBitmap) {
  CFillStyle fill(nullptr, &mapper_);
  EXPECT_EQ(fill.CreateBrush(nullptr), tessmor::SolidBrush(255)) << "the default red";
  fill.SetBrush(0x00FF00, 5);
  EXPECT_EQ(fill.CreateBrush(nullptr), tessmor::HatchBrush(5, 0x00FF00));
  fill.SetBrush(0, 201);
  EXPECT_EQ(fill.CreateBrush(nullptr).style, tessmor::BS_NULL);

  CBitmapStore store;
  auto entry = std::make_unique<BitmapStoreEntry>();
  auto pattern = std::make_shared<tessmor::DIBPattern>();
  entry->pattern = pattern;
  const int index = store.Add(std::move(entry));
  fill.SetPatternBrush(index);
  const tessmor::Brush brush = fill.CreateBrush(&store);
  EXPECT_EQ(brush.style, tessmor::BS_DIBPATTERNPT);
  EXPECT_EQ(brush.pattern, pattern);
  fill.SetPatternBrush(index + 1);  // no such bitmap
  EXPECT_EQ(fill.CreateBrush(&store).style, tessmor::BS_NULL);
  EXPECT_EQ(fill.CreateBrush(nullptr).style, tessmor::BS_NULL);
}

TEST_F(StyleTest, SelectingAFillStyleSelectsPenBrushAndTheBrushBackground) {
  CFillStyle fill(nullptr, &mapper_);
  fill.SetBrush(0x0000FF, 3);
  fill.SetBrush(0x00FFFF, 204);
  RecordingDC dc;
  const StyleSelection previous = fill.Select(dc, nullptr);
  EXPECT_EQ(dc.GetBrush(), tessmor::HatchBrush(3, 0x0000FF));
  EXPECT_EQ(dc.GetPen().width, 20);
  EXPECT_EQ(dc.GetBkMode(), tessmor::TRANSPARENT) << "a new fill style's brush is transparent";
  EXPECT_EQ(dc.GetBkColor(), 0x00FFFFu);
  CLineStyle::Deselect(dc, previous);
  EXPECT_EQ(dc.state().brush, tessmor::Brush{});
  EXPECT_EQ(dc.GetBkMode(), tessmor::OPAQUE);
}

}  // namespace
