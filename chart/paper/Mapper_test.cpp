#include "chart/paper/Mapper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/io/Archive.h"
#include "platform/io/Settings.h"

namespace {

using tessmor::Archive;
using tessmor::MemorySettings;
using tessmor::POINT;
using tessmor::RECT;
using tessmor::SIZE;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// A fresh settings store for the life of a test.
class MapperTest : public ::testing::Test {
 protected:
  MapperTest() { previous_ = tessmor::SetSettings(&settings_); }
  ~MapperTest() override { tessmor::SetSettings(previous_); }

  void StorePaper(const std::string& value) { settings_.WriteString("Mapper", "Paper", value); }
  std::string StoredPaper() { return settings_.GetString("Mapper", "Paper", "<none>"); }

  MemorySettings settings_;
  tessmor::Settings* previous_;
};

void ExpectPaper(const CMapper& m, int code, float width, float height) {
  EXPECT_EQ(m.GetPaper(), code);
  EXPECT_EQ(m.GetPaperWidth(), width);
  EXPECT_EQ(m.GetPaperHeight(), height);
}

void ExpectResolution(const CMapper& m, int mode, float units, float zoom) {
  EXPECT_EQ(m.GetMapMode(), mode);
  EXPECT_EQ(m.GetUnitsPerMm(), units);
  EXPECT_EQ(m.GetZoom(), zoom);
}

// The bytes of an IEEE single, little-endian.
void PutFloat(std::vector<std::uint8_t>& out, float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, 4);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

std::vector<std::uint8_t> StoredMapper(std::uint16_t mode, float units, float zoom,
                                       std::uint16_t paper, float width, float height) {
  std::vector<std::uint8_t> out = {static_cast<std::uint8_t>(mode),
                                   static_cast<std::uint8_t>(mode >> 8)};
  PutFloat(out, units);
  PutFloat(out, zoom);
  out.push_back(static_cast<std::uint8_t>(paper));
  out.push_back(static_cast<std::uint8_t>(paper >> 8));
  PutFloat(out, width);
  PutFloat(out, height);
  return out;
}

void Load(CMapper& m, std::vector<std::uint8_t> bytes) {
  Archive in = Archive::FromBytes(std::move(bytes));
  m.Serialize(in);
  EXPECT_TRUE(in.AtEnd());
}

// --- defaults and conversions ---

TEST_F(MapperTest, NewMapperWithoutStoredPaperIsA4LandscapeAtHundredthsOfAMillimetre) {
  CMapper m;
  ExpectPaper(m, 9, 295.0f, 210.0f);
  ExpectResolution(m, tessmor::MM_HIMETRIC, 100.0f, 1.0f);
  EXPECT_EQ(m.GetScale(), 100.0f);
  EXPECT_EQ(m.GetPaperRect(), (RECT{0, 0, 29500, -21000}));
}

TEST_F(MapperTest, PaperPointIsDrawnMeasuredFromThePaperTop) {
  CMapper m;
  // y: 20 mm above the bottom of a 210 mm sheet is 190 mm below its top.
  EXPECT_EQ(m.PaperToDevice({10.0f, 20.0f}), (POINT{1000, -19000}));
  EXPECT_EQ(m.PaperToLogical({10.0f, 20.0f}), (POINT{1000, 2000}));
}

TEST_F(MapperTest, RoundingAddsAHalfAndTruncatesTowardsZero) {
  CMapper m;
  // 0.4 rounds down, 0.6 up; below zero, -1.6 + 0.5 = -1.1 truncates to -1 (not -2).
  EXPECT_EQ(m.PaperToLogical({0.004f, 0.006f}), (POINT{0, 1}));
  EXPECT_EQ(m.PaperToLogical({-0.016f, -0.004f}), (POINT{-1, 0}));
}

TEST_F(MapperTest, LogicalUnitsConvertBackToMillimetres) {
  CMapper m;
  const PaperPoint p = m.LogicalToPaper({1000, -19000});
  EXPECT_EQ(p.x, 10.0f);
  EXPECT_EQ(p.y, -190.0f);
  m.SetZoom(2.0f);  // A4 landscape at 200 %: 0.1 mm units, k = 20
  EXPECT_EQ(m.LogicalToPaper({20, 4200}), (PaperPoint{1.0f, 210.0f}));
}

TEST_F(MapperTest, PointsBecomeLogicalUnits) {
  CMapper m;
  // 10 pt = 3.5277724 mm = 352.8 hundredths of a millimetre.
  EXPECT_EQ(m.PointsToLogical(10), 353);
  EXPECT_EQ(m.PointsToLogical(0), 0);
  // 72 pt = 1 inch = 25.4 mm.
  EXPECT_EQ(m.PointsToLogical(72), 2540);
  // 10 pt = 352.778 and 20 pt = 705.556 hundredths of a mm, by 2.83465 points per mm.
  EXPECT_EQ(m.PointSizeToLogical({10, 20}, false), (SIZE{353, 706}));
  EXPECT_EQ(m.PointSizeToLogical({1000, 2000}, true), (SIZE{353, 706}));
}

TEST_F(MapperTest, ConversionsHoldAtTheIntegerLimitsAndMapNaNToZero) {
  CMapper m;
  EXPECT_EQ(m.PaperToLogical({1e30f, -1e30f}), (POINT{INT32_MAX, INT32_MIN}));
  EXPECT_EQ(m.PaperToLogical({kNaN, kInf}), (POINT{0, INT32_MAX}));
  EXPECT_EQ(m.PaperToDevice({0.0f, -1e30f}).y, INT32_MIN);
  EXPECT_EQ(m.PointsToLogical(1e300), INT32_MAX);
}

// --- paper ---

TEST_F(MapperTest, PaperCodesNameTheSheetSizes) {
  CMapper m;
  m.SetPaper(5);
  ExpectPaper(m, 5, 210.0f, 295.0f);
  m.SetPaper(6);
  ExpectPaper(m, 6, 295.0f, 420.0f);
  m.SetPaper(10);
  ExpectPaper(m, 10, 420.0f, 295.0f);
  m.SetPaper(20);
  ExpectPaper(m, 20, 148.0f, 210.0f);
  m.SetPaper(24);
  ExpectPaper(m, 24, 210.0f, 148.0f);
  m.SetPaper(9);
  ExpectPaper(m, 9, 295.0f, 210.0f);
  m.SetPaper(77);
  ExpectPaper(m, 77, 295.0f, 210.0f);
}

TEST_F(MapperTest, OnlyTheLowByteOfThePaperCodeNamesTheSheet) {
  CMapper m;
  m.SetPaper(0x105);
  ExpectPaper(m, 0x105, 210.0f, 295.0f);
  m.SetPaper(-1);  // low byte 0xFF: no sheet of its own
  ExpectPaper(m, -1, 295.0f, 210.0f);
}

// --- zoom ---

TEST_F(MapperTest, ZoomBeyondTheCoordinateLimitSwitchesToTenthsOfAMillimetre) {
  CMapper m;
  m.SetPaper(10);  // A3 landscape, 420 × 295 mm
  m.SetZoom(2.0f);
  // 2 · 420 · 100 = 84000 is beyond 32760.
  ExpectResolution(m, tessmor::MM_LOMETRIC, 10.0f, 2.0f);
  EXPECT_EQ(m.GetPaperRect(), (RECT{0, 0, 8400, -5900}));
}

TEST_F(MapperTest, ZoomStaysAtTenthsWhileHundredthsWouldPassTheLimit) {
  CMapper m;
  m.SetPaper(10);
  m.SetZoom(2.0f);
  // Back at 100 %, A3 landscape is 1 · 420 · 10 · 10 = 42000 hundredths wide, still beyond
  // 32760, so the resolution stays at 0.1 mm.
  m.SetZoom(1.0f);
  ExpectResolution(m, tessmor::MM_LOMETRIC, 10.0f, 1.0f);
  // At 50 %: 21000 and 14750, both below the limit.
  m.SetZoom(0.5f);
  ExpectResolution(m, tessmor::MM_HIMETRIC, 100.0f, 0.5f);
}

TEST_F(MapperTest, ZoomBackWithinTheLimitSwitchesBackToHundredths) {
  CMapper m;  // A4 landscape, 295 × 210 mm
  m.SetZoom(2.0f);
  ExpectResolution(m, tessmor::MM_LOMETRIC, 10.0f, 2.0f);
  // 1 · 295 · 10 · 10 = 29500 and 21000 are below 32760.
  m.SetZoom(1.0f);
  ExpectResolution(m, tessmor::MM_HIMETRIC, 100.0f, 1.0f);
}

TEST_F(MapperTest, ZoomSwitchesAtTheLimitItself) {
  CMapper m;
  // 295 mm at 0.01 mm: 1.1 gives 32450 (below), 1.12 gives 33040 (beyond).
  m.SetZoom(1.1f);
  EXPECT_EQ(m.GetMapMode(), tessmor::MM_HIMETRIC);
  m.SetZoom(1.12f);
  EXPECT_EQ(m.GetMapMode(), tessmor::MM_LOMETRIC);
  EXPECT_FLOAT_EQ(m.GetScale(), 11.2f);
}

TEST_F(MapperTest, NegativeZoomResetsToFullSizeAtHundredths) {
  CMapper m;
  m.SetZoom(2.0f);
  m.SetZoom(-1.0f);
  ExpectResolution(m, tessmor::MM_HIMETRIC, 100.0f, 1.0f);
}

TEST_F(MapperTest, ZoomThatNoPaperCanBeShownAtResets) {
  for (float f : {0.0f, kNaN, kInf, 1e37f}) {
    CMapper m;
    m.SetZoom(3.0f);
    m.SetZoom(f);
    ExpectResolution(m, tessmor::MM_HIMETRIC, 100.0f, 1.0f);
    EXPECT_EQ(m.LogicalToPaper({100, 200}), (PaperPoint{1.0f, 2.0f}));
  }
}

// --- settings ---

TEST_F(MapperTest, StoredPaperSettingIsLoadedByTheConstructor) {
  StorePaper("5, 21000,29500");
  CMapper m;
  ExpectPaper(m, 5, 210.0f, 295.0f);
}

TEST_F(MapperTest, StoredSizeIsTakenAsItIsWhateverTheCode) {
  StorePaper("77, 12345,6789");
  CMapper m;
  ExpectPaper(m, 77, 123.45f, 67.89f);
}

TEST_F(MapperTest, MalformedPaperSettingFallsBackToA4Landscape) {
  for (const char* value :
       {"5, 21000", "", "paper", "5; 21000,29500", "5 , 21000,29500", "5, 21000 ,29500",
        "5, 99999999999,29500", "5, 0,29500", "5, 21000,-29500", "+, 1,2"}) {
    StorePaper(value);
    CMapper m;
    ExpectPaper(m, 9, 295.0f, 210.0f);
  }
}

TEST_F(MapperTest, PaperSettingScansLikeItsFormat) {
  // Blanks may stand before each number and after the first comma; signs are allowed; text
  // after the third number is ignored.
  EXPECT_EQ(CMapper::ParsePaperSetting("6,29500,42000"), (PaperSetting{6, 29500, 42000}));
  EXPECT_EQ(CMapper::ParsePaperSetting(" \t-3,  +100,\n200xyz"), (PaperSetting{-3, 100, 200}));
  EXPECT_EQ(CMapper::ParsePaperSetting("2147483647, 1,1"), (PaperSetting{INT32_MAX, 1, 1}));
  EXPECT_EQ(CMapper::ParsePaperSetting("-2147483648, 1,1"), (PaperSetting{INT32_MIN, 1, 1}));
  EXPECT_EQ(CMapper::ParsePaperSetting("2147483648, 1,1"), std::nullopt);
  EXPECT_EQ(CMapper::ParsePaperSetting(std::string("5, 2\0,3", 7)), std::nullopt);
}

TEST_F(MapperTest, SavedPaperIsCodeAndHundredthsOfAMillimetre) {
  CMapper m;
  m.SetPaper(24);
  EXPECT_EQ(m.LoadSavePaper(true), 1);
  EXPECT_EQ(StoredPaper(), "24, 21000,14800");
  CMapper again;
  ExpectPaper(again, 24, 210.0f, 148.0f);
}

TEST_F(MapperTest, LoadedSizeIsSavedBackAsTheSameHundredths) {
  // 123.45 mm is 123.449997 in single precision: its hundredths, multiplied in single
  // precision, round to 12345 before the integer part is taken.
  StorePaper("3, 12345,6789");
  CMapper m;
  m.LoadSavePaper(true);
  EXPECT_EQ(StoredPaper(), "3, 12345,6789");
}

TEST_F(MapperTest, PaperDialogSetsAndOptionallySavesTheChosenPaper) {
  CMapper m;
  int offered = -1;
  EXPECT_EQ(m.PaperDialog(false,
                          [&](int current) {
                            offered = current;
                            return std::optional<int>(10);
                          }),
            1);
  EXPECT_EQ(offered, 9);
  ExpectPaper(m, 10, 420.0f, 295.0f);
  EXPECT_EQ(StoredPaper(), "<none>");

  EXPECT_EQ(m.PaperDialog(true, [](int) { return std::optional<int>(20); }), 1);
  ExpectPaper(m, 20, 148.0f, 210.0f);
  EXPECT_EQ(StoredPaper(), "20, 14800,21000");
}

TEST_F(MapperTest, CancelledPaperDialogChangesNothing) {
  CMapper m;
  EXPECT_EQ(m.PaperDialog(true, [](int) { return std::optional<int>(); }), 0);
  EXPECT_EQ(m.PaperDialog(true, nullptr), 0);
  ExpectPaper(m, 9, 295.0f, 210.0f);
  EXPECT_EQ(StoredPaper(), "<none>");
}

// --- stored form ---

TEST_F(MapperTest, StoredFormIsTwentyBytesFieldByField) {
  CMapper m;
  Archive out = Archive::ForStore();
  m.Serialize(out);
  // Mode 3; 100.0f = 0x42C80000; 1.0f = 0x3F800000; code 9; 295.0f = 0x43938000;
  // 210.0f = 0x43520000.
  const std::vector<std::uint8_t> expected = {3, 0, 0, 0,    0xC8, 0x42, 0, 0, 0x80, 0x3F,
                                              9, 0, 0, 0x80, 0x93, 0x43, 0, 0, 0x52, 0x43};
  EXPECT_EQ(out.StoredBytes(), expected);
}

TEST_F(MapperTest, StoredFormKeepsOnlyTheLowByteOfThePaperCode) {
  CMapper m;
  m.SetPaper(0x105);
  Archive out = Archive::ForStore();
  m.Serialize(out);
  EXPECT_EQ(out.StoredBytes()[10], 5);
  EXPECT_EQ(out.StoredBytes()[11], 0);

  // Reading replaces only the low byte of the code held.
  CMapper back;
  back.SetPaper(0x300);
  Load(back, StoredMapper(3, 100.0f, 1.0f, 0x0A, 420.0f, 295.0f));
  ExpectPaper(back, 0x30A, 420.0f, 295.0f);
}

TEST_F(MapperTest, ChartReopensWithThePaperResolutionAndZoomItWasSavedWith) {
  CMapper m;
  m.SetPaper(10);
  m.SetZoom(2.5f);
  Archive out = Archive::ForStore();
  m.Serialize(out);
  CMapper back;
  Load(back, out.StoredBytes());
  ExpectPaper(back, 10, 420.0f, 295.0f);
  ExpectResolution(back, tessmor::MM_LOMETRIC, 10.0f, 2.5f);
}

TEST_F(MapperTest, ShortStoredFormThrowsAndLeavesTheMapperAlone) {
  std::vector<std::uint8_t> bytes = StoredMapper(2, 10.0f, 4.0f, 10, 420.0f, 295.0f);
  bytes.pop_back();
  CMapper m;
  Archive in = Archive::FromBytes(bytes);
  EXPECT_THROW(m.Serialize(in), tessmor::ArchiveException);
  ExpectPaper(m, 9, 295.0f, 210.0f);
  ExpectResolution(m, tessmor::MM_HIMETRIC, 100.0f, 1.0f);
}

TEST_F(MapperTest, StoredZoomThatCannotBeShownResetsTheZoom) {
  for (float zoom : {0.0f, -2.0f, kNaN, kInf, 1e38f}) {
    CMapper m;
    Load(m, StoredMapper(2, 10.0f, zoom, 9, 295.0f, 210.0f));
    ExpectResolution(m, tessmor::MM_HIMETRIC, 100.0f, 1.0f);
  }
}

TEST_F(MapperTest, StoredResolutionThatDoesNotMatchItsModeIsChosenAfresh) {
  CMapper m;
  // Mode 3 with 0 units per mm would make k zero.
  Load(m, StoredMapper(3, 0.0f, 1.0f, 9, 295.0f, 210.0f));
  ExpectResolution(m, tessmor::MM_HIMETRIC, 100.0f, 1.0f);
  // An unknown mode at 300 %: 3 · 295 · 100 is beyond the limit.
  Load(m, StoredMapper(7, 100.0f, 3.0f, 9, 295.0f, 210.0f));
  ExpectResolution(m, tessmor::MM_LOMETRIC, 10.0f, 3.0f);
  // 0.1 mm units claimed for the 0.01 mm mode.
  Load(m, StoredMapper(3, 10.0f, 1.0f, 9, 295.0f, 210.0f));
  ExpectResolution(m, tessmor::MM_HIMETRIC, 100.0f, 1.0f);
  EXPECT_EQ(m.LogicalToPaper({295, 210}), (PaperPoint{2.95f, 2.1f}));
}

TEST_F(MapperTest, StoredPaperSizeThatIsNotASizeTakesTheSizeOfItsCode) {
  CMapper m;
  Load(m, StoredMapper(3, 100.0f, 1.0f, 20, -148.0f, kNaN));
  ExpectPaper(m, 20, 148.0f, 210.0f);
  Load(m, StoredMapper(3, 100.0f, 1.0f, 6, 0.0f, 100.0f));
  ExpectPaper(m, 6, 295.0f, 420.0f);
}

}  // namespace
