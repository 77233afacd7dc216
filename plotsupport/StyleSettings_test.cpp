#include "plotsupport/StyleSettings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/io/Settings.h"

namespace {

class StyleSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = tessmor::SetSettings(&settings_); }
  void TearDown() override { tessmor::SetSettings(previous_); }

  tessmor::MemorySettings settings_;
  tessmor::Settings* previous_ = nullptr;
};

VEXAPEN DefaultPen() {
  VEXAPEN p;
  CheckPenStyle(nullptr, &p);
  return p;
}

TEST(PenSettings, WritesTheSevenFieldsWithTheWidthAsAReal) {
  EXPECT_EQ(FormatPenSettings(DefaultPen()), "0,0.200000,0,16777215,1,0,0");
  const VEXAPEN p{17, 1.25f, 0xFF, 0x10, 2, 1, 0};
  EXPECT_EQ(FormatPenSettings(p), "17,1.250000,255,16,2,1,0");
}

TEST(PenSettings, ReadsWhatItWrites) {
  const VEXAPEN p{3, 0.35f, 0x00FF00, 0xFFFFFF, 2, 1, 1};
  VEXAPEN q{};
  ASSERT_EQ(ParsePenSettings(FormatPenSettings(p), &q), 1);
  EXPECT_EQ(q.style, 3);
  EXPECT_FLOAT_EQ(q.width, 0.35f);
  EXPECT_EQ(q.colour, 0x00FF00u);
  EXPECT_EQ(q.bkMode, 2);
  EXPECT_EQ(q.roundEnds, 1);
  EXPECT_EQ(q.spline, 1);
}

TEST(PenSettings, RefusesAnEntryWithoutAllSevenValues) {
  VEXAPEN q = DefaultPen();
  EXPECT_EQ(ParsePenSettings("0,0.2,0,16777215,1,0", &q), 0);
  EXPECT_EQ(ParsePenSettings("0;0.2;0;16777215;1;0;0", &q), 0);
  EXPECT_EQ(ParsePenSettings("", &q), 0);
  const VEXAPEN d = DefaultPen();
  EXPECT_EQ(std::memcmp(&q, &d, sizeof q), 0);
}

TEST(BrushSettings, ReadsWhatItWritesAndLeavesTheSpareBytes) {
  const VEXABRUSH b{kBrushHatched, {0, 0}, 0x0000FF, 0xFFFFFF, 1, 4, -1};
  EXPECT_EQ(FormatBrushSettings(b), "203,255,16777215,1,4,-1");
  VEXABRUSH q;
  std::memset(&q, 0x77, sizeof q);
  ASSERT_EQ(ParseBrushSettings(FormatBrushSettings(b), &q), 1);
  EXPECT_EQ(q.kind, kBrushHatched);
  EXPECT_EQ(q.hatch, 4);
  EXPECT_EQ(q.bitmap, -1);
  EXPECT_EQ(q.unused[0], 0x77);
  EXPECT_EQ(ParseBrushSettings("40000,0,0,1,0,-1", &q), 0);
  EXPECT_EQ(q.kind, kBrushHatched);
}

TEST(SymbolSettings, WritesSymbolSizeAndAngleWithSpaces) {
  VEXAMARKER m{};
  CheckMarkerStyle(nullptr, &m);
  m.angle = -450;
  EXPECT_EQ(FormatSymbolSettings(m), "5, 80, -450");
  VEXAMARKER q{};
  ASSERT_EQ(ParseSymbolSettings("12,300,45", &q), 1);
  EXPECT_EQ(q.symbol, 12);
  EXPECT_EQ(q.size, 300u);
  EXPECT_EQ(q.angle, 45);
  EXPECT_EQ(ParseSymbolSettings("12, 300", &q), 0);
}

TEST(SymbolSettings, DoesNotCutABadSymbolIntoAGoodOne) {
  // 261 would be 5 when cut to a byte.
  VEXAMARKER q{};
  ASSERT_EQ(ParseSymbolSettings("261, 80, 0", &q), 1);
  EXPECT_EQ(q.symbol, 255);
  EXPECT_EQ(CheckMarkerStyle(&q, nullptr), 0);
}

TEST_F(StyleSettingsTest, KeepsTheDefaultPenUnderKeyAndPenStyle) {
  const VEXAPEN p{1, 0.5f, 0x123456, 0xFFFFFF, 1, 0, 0};
  ASSERT_EQ(WritePenSettings("default CLManager", "defPen ", p), 1);
  EXPECT_EQ(settings_.GetString("default CLManager", "defPen {PenStyle}", ""),
            "1,0.500000,1193046,16777215,1,0,0");
  VEXAPEN q = DefaultPen();
  ASSERT_EQ(ReadPenSettings("default CLManager", "defPen ", &q), 1);
  EXPECT_EQ(std::memcmp(&p, &q, sizeof p), 0);
}

TEST_F(StyleSettingsTest, RepairsAStoredPenThatIsOutOfRange) {
  settings_.WriteString("S", "k{PenStyle}", "9,80.0,0,0,1,0,0");
  VEXAPEN q{};
  ASSERT_EQ(ReadPenSettings("S", "k", &q), 1);
  EXPECT_EQ(q.style, 0);
  EXPECT_EQ(q.width, 0.2f);
}

TEST_F(StyleSettingsTest, LeavesThePenWhenNothingIsStored) {
  VEXAPEN q{2, 1.0f, 5, 6, 2, 0, 0};
  EXPECT_EQ(ReadPenSettings("default CLManager", "defPen ", &q), 0);
  EXPECT_EQ(q.style, 2);
}

TEST_F(StyleSettingsTest, KeepsTheDefaultMarkerInThreeEntries) {
  VEXAMARKER m{};
  CheckMarkerStyle(nullptr, &m);
  m.symbol = 9;
  m.size = 120;
  m.angle = 300;
  m.pen.colour = 0xFF;
  m.brush.kind = kBrushHollow;
  ASSERT_EQ(WriteMarkerSettings("Default FillManager", "defSymbol ", m), 1);
  EXPECT_EQ(settings_.GetString("Default FillManager", "defSymbol {Marker: SymbolStyle}", ""),
            "9, 120, 300");
  EXPECT_EQ(settings_.GetString("Default FillManager", "defSymbol Marker:{PenStyle}", ""),
            "0,0.200000,255,16777215,1,0,0");
  EXPECT_TRUE(settings_.Has("Default FillManager", "defSymbol Marker:{BrushStyle}"));

  VEXAMARKER q{};
  CheckMarkerStyle(nullptr, &q);
  ASSERT_EQ(ReadMarkerSettings("Default FillManager", "defSymbol ", &q), 1);
  EXPECT_EQ(q.symbol, 9);
  EXPECT_EQ(q.size, 120u);
  EXPECT_EQ(q.angle, 300);
  EXPECT_EQ(q.pen.colour, 0xFFu);
  EXPECT_EQ(q.brush.kind, kBrushHollow);
}

TEST_F(StyleSettingsTest, NeedsBothTheSymbolAndThePenOfAMarker) {
  settings_.WriteString("F", "m{Marker: SymbolStyle}", "9, 120, 300");
  VEXAMARKER q{};
  CheckMarkerStyle(nullptr, &q);
  EXPECT_EQ(ReadMarkerSettings("F", "m", &q), 0);
  EXPECT_EQ(q.symbol, 5);
  settings_.WriteString("F", "mMarker:{PenStyle}", "0,0.2,0,16777215,1,0,0");
  EXPECT_EQ(ReadMarkerSettings("F", "m", &q), 1);
  EXPECT_EQ(q.symbol, 9);
  // Without a brush entry the brush stays as it was.
  EXPECT_EQ(q.brush.kind, kBrushSolid);
  EXPECT_EQ(q.brush.colour, 0x808080u);
}

}  // namespace
