#include "plotsupport/Bitmaps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/EmfDC.h"
#include "platform/gdi/WmfDC.h"
#include "platform/io/Archive.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/RecordingDC.h"
#include "testsupport/TestData.h"

namespace {

using tessmor::Dib;

// A one-row 24-bit bitmap of the given grey levels.
Dib GreyRow(const std::vector<unsigned>& levels) {
  Dib d = Dib::Make24(static_cast<int>(levels.size()), 1);
  for (std::size_t x = 0; x < levels.size(); ++x) {
    d.SetPixelRgb(static_cast<int>(x), 0, levels[x] * 0x010101u);
  }
  return d;
}

std::vector<unsigned> RedRow(const Dib& d, int y = 0) {
  std::vector<unsigned> out;
  for (int x = 0; x < d.Width(); ++x) out.push_back(d.PixelRgb(x, y) >> 16);
  return out;
}

// Restores the library's resource module when a test ends.
class ResourceModuleTest : public ::testing::Test {
 protected:
  void TearDown() override { SetDefaultResourceHandle(GetLibraryResourceModule()); }
};

TEST_F(ResourceModuleTest, PrismFillIsAnEightByEightTwoColourPattern) {
  const Dib* b = AllocateDIB(kPrismFillBitmap);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Width(), 8);
  EXPECT_EQ(b->Height(), 8);
  EXPECT_EQ(b->BitCount(), 1);
  int black = 0;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const std::uint32_t c = b->PixelRgb(x, y);
      ASSERT_TRUE(c == 0 || c == 0xFFFFFF) << x << "," << y;
      black += c == 0;
    }
  }
  // Sparse dots: the prisms stay light enough for their outline to show.
  EXPECT_EQ(black, 8);
  EXPECT_EQ(b->PixelRgb(0, 0), 0u);
  EXPECT_EQ(b->PixelRgb(2, 2), 0u) << "the next row of dots is shifted by two pixels";
  EXPECT_EQ(b->PixelRgb(0, 2), 0xFFFFFFu);
}

TEST_F(ResourceModuleTest, UnknownBitmapNumberGivesNull) { EXPECT_EQ(AllocateDIB(4711), nullptr); }

TEST_F(ResourceModuleTest, ClientModuleServesItsOwnBitmapsUntilTheLibrarysIsRestored) {
  std::vector<BitmapResource> table;
  table.push_back({500, Dib::Make24(2, 3)});
  const HRESMODULE client = RegisterResourceModule(std::move(table));
  ASSERT_NE(client, 0u);
  ASSERT_NE(client, GetLibraryResourceModule());

  const HRESMODULE previous = SetDefaultResourceHandle(client);
  EXPECT_EQ(previous, GetLibraryResourceModule());
  const Dib* mine = AllocateDIB(500);
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(mine->Height(), 3);
  EXPECT_EQ(AllocateDIB(kPrismFillBitmap), nullptr) << "the client's module lacks 181";

  EXPECT_EQ(SetDefaultResourceHandle(previous), client);
  EXPECT_EQ(AllocateDIB(500), nullptr);
  EXPECT_NE(AllocateDIB(kPrismFillBitmap), nullptr);
  EXPECT_EQ(AllocateDIB(kPrismFillBitmap), AllocateDIB(kPrismFillBitmap)) << "one loaded copy";
}

TEST_F(ResourceModuleTest, NoModuleLoadsNothing) {
  SetDefaultResourceHandle(0);
  EXPECT_EQ(AllocateDIB(kPrismFillBitmap), nullptr);
  SetDefaultResourceHandle(12345);
  EXPECT_EQ(AllocateDIB(kPrismFillBitmap), nullptr);
}

TEST(DisplayError, BitmapLoadingErrorShowsItsMessage) {
  tessmor::testing::FakePrompts prompts;
  DisplayError(3000);
  ASSERT_EQ(prompts.texts().size(), 1u);
  EXPECT_EQ(prompts.texts()[0], " Out of memory, or incorrect Resource ID\n When Loading a Bitmap");
}

TEST(DisplayError, OtherCodesShowNothing) {
  tessmor::testing::FakePrompts prompts;
  DisplayError(0);
  DisplayError(2999);
  DisplayError(3001);
  EXPECT_TRUE(prompts.texts().empty());
}

TEST(ScaleBitmap, RefusesToEnlargeOneSideWhileShrinkingTheOther) {
  Dib d = Dib::Make24(100, 50);
  EXPECT_EQ(ScaleBitmap(&d, 200, 25), nullptr);
  EXPECT_EQ(ScaleBitmap(&d, 50, 100), nullptr);
  EXPECT_NE(ScaleBitmap(&d, 200, 50), nullptr) << "one side kept is not shrinking";
}

TEST(ScaleBitmap, RefusesNullBitmapsAndEmptySizes) {
  Dib d = Dib::Make24(4, 4);
  EXPECT_EQ(ScaleBitmap(nullptr, 2, 2), nullptr);
  EXPECT_EQ(ScaleBitmap(&d, 0, 2), nullptr);
  EXPECT_EQ(ScaleBitmap(&d, 2, 0), nullptr);
}

TEST(ScaleBitmap, HalvingAveragesNeighbourPairs) {
  // (0 + 100) / 2 = 50 and (200 + 255) / 2 = 227.5, truncated.
  Dib row = GreyRow({0, 100, 200, 255});
  auto out = ScaleBitmap(&row, 2, 1);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(RedRow(*out), (std::vector<unsigned>{50, 227}));
}

TEST(ScaleBitmap, ShrinkingSplitsAStraddlingPixelBetweenTwoTargets) {
  // Three pixels into two: target 0 takes 2/3 of pixel 0 and 1/3 of pixel 1, target 1 the
  // other third of pixel 1 and 2/3 of pixel 2: 20 + 20.33 and 20.33 + 60, truncated.
  Dib row = GreyRow({30, 61, 90});
  auto out = ScaleBitmap(&row, 2, 1);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(RedRow(*out), (std::vector<unsigned>{40, 80}));
}

TEST(ScaleBitmap, EnlargingSpreadsEachPixelOverTheTargetsItCovers) {
  Dib row = GreyRow({0, 200});
  auto twice = ScaleBitmap(&row, 4, 1);
  ASSERT_NE(twice, nullptr);
  EXPECT_EQ(RedRow(*twice), (std::vector<unsigned>{0, 0, 200, 200}));
  // Two into three: the middle target is half of each source pixel.
  auto three = ScaleBitmap(&row, 3, 1);
  ASSERT_NE(three, nullptr);
  EXPECT_EQ(RedRow(*three), (std::vector<unsigned>{0, 100, 200}));
}

TEST(ScaleBitmap, ScalesRowsAndColumnsSeparately) {
  // A 2 × 2 image, enlarged to 4 × 4: each pixel becomes a 2 × 2 block.
  Dib d = Dib::Make24(2, 2);
  d.SetPixelRgb(0, 0, 0xFF0000);
  d.SetPixelRgb(1, 0, 0x00FF00);
  d.SetPixelRgb(0, 1, 0x0000FF);
  d.SetPixelRgb(1, 1, 0xFFFFFF);
  auto out = ScaleBitmap(&d, 4, 4);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->PixelRgb(1, 1), 0xFF0000u);
  EXPECT_EQ(out->PixelRgb(2, 0), 0x00FF00u);
  EXPECT_EQ(out->PixelRgb(0, 3), 0x0000FFu);
  EXPECT_EQ(out->PixelRgb(3, 2), 0xFFFFFFu);
}

TEST(ScaleBitmap, ResultIsTwentyFourBitsWithRowsPaddedToFourBytes) {
  const Dib* pattern = AllocateDIB(kPrismFillBitmap);
  ASSERT_NE(pattern, nullptr);
  auto out = ScaleBitmap(pattern, 5, 5);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->BitCount(), 24);
  EXPECT_EQ(out->Stride(), 16u);
  EXPECT_EQ(out->bits.size(), 80u);
}

TEST(ScaleBitmap, SameSizeCopiesTheColoursOfAnyBitDepth) {
  const Dib* pattern = AllocateDIB(kPrismFillBitmap);
  ASSERT_NE(pattern, nullptr);
  auto out = ScaleBitmap(pattern, 8, 8);
  ASSERT_NE(out, nullptr);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(out->PixelRgb(x, y), pattern->PixelRgb(x, y));
  }
}

TEST(ScaleBitmap, ShrinkingAnEvenPatternGivesAnEvenGrey) {
  // A 1-pixel black and white checkerboard shrunk by 4 in each direction: every target
  // averages 8 black and 8 white pixels, 127.5 grey, which truncates to 127.
  Dib d = Dib::Make24(16, 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) d.SetPixelRgb(x, y, (x + y) % 2 ? 0xFFFFFF : 0);
  }
  auto out = ScaleBitmap(&d, 4, 4);
  ASSERT_NE(out, nullptr);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(out->PixelRgb(x, y), 0x7F7F7Fu) << x << "," << y;
  }
}

// ---- Metafile conversion ---------------------------------------------------------------------

std::uint16_t Word(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}

// WMF records after the placeable and standard headers: function and the record's bytes.
std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> WmfRecords(
    const std::vector<std::uint8_t>& bytes) {
  std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> out;
  std::size_t at = 40;
  while (at + 6 <= bytes.size()) {
    const std::size_t size = 2 * (Word(bytes, at) | (Word(bytes, at + 2) << 16));
    if (size < 6 || at + size > bytes.size()) break;
    out.push_back({Word(bytes, at + 4), {bytes.begin() + at, bytes.begin() + at + size}});
    at += size;
  }
  EXPECT_EQ(at, bytes.size());
  return out;
}

tessmor::EnhMetafile SampleEmf() {
  tessmor::EmfDC dc(96, {}, tessmor::RECT{0, 0, 200, 100});
  dc.MoveTo(10, 10);
  dc.LineTo(190, 90);
  tessmor::LOGFONT f;
  f.lfHeight = -12;
  tessmor::SetFaceName(f, "Liberation Serif");
  dc.SelectFont(f);
  dc.TextOut(20, 30, "Depth");
  return dc.Close();
}

TEST(ConvertEMFtoWMF, WritesAPlaceableMetafileOfTheSamePicture) {
  const tessmor::EnhMetafile emf = SampleEmf();
  const std::string path = tessmor::testing::MakeTempDir() + "/chart.wmf";
  ASSERT_EQ(ConvertEMFtoWMF(nullptr, &emf, path.c_str()), 1);
  const std::vector<std::uint8_t> wmf = tessmor::ReadWholeFile(path);
  ASSERT_GT(wmf.size(), 40u);
  EXPECT_EQ(Word(wmf, 0), 0xCDD7);
  EXPECT_EQ(Word(wmf, 2), 0x9AC6);
  // 200 × 100 pixels at 96 per inch, 16 units a pixel.
  EXPECT_EQ(Word(wmf, 10), 3200);
  EXPECT_EQ(Word(wmf, 12), 1600);
  EXPECT_EQ(Word(wmf, 14), 96 * 16);
  bool line = false, text = false;
  for (const auto& [function, b] : WmfRecords(wmf)) {
    if (function == 0x0325) {  // POLYLINE: (10, 10) to (190, 90) pixels
      line = true;
      EXPECT_EQ(Word(b, 6), 2);
      EXPECT_EQ(Word(b, 8), 160);
      EXPECT_EQ(Word(b, 10), 160);
      EXPECT_EQ(Word(b, 12), 190 * 16);
      EXPECT_EQ(Word(b, 14), 90 * 16);
    }
    if (function == 0x0A32) {  // EXTTEXTOUT
      text = true;
      EXPECT_EQ(std::string(b.begin() + 14, b.begin() + 19), "Depth");
      EXPECT_EQ(Word(b, 6), 30 * 16) << "y";
    }
  }
  EXPECT_TRUE(line);
  EXPECT_TRUE(text);
}

TEST(ConvertEMFtoWMF, TakesTheResolutionOfTheReferenceDC) {
  const tessmor::EnhMetafile emf = SampleEmf();
  tessmor::testing::RecordingDC printer(300);
  const std::string path = tessmor::testing::MakeTempDir() + "/chart.wmf";
  ASSERT_EQ(ConvertEMFtoWMF(&printer, &emf, path.c_str()), 1);
  const std::vector<std::uint8_t> wmf = tessmor::ReadWholeFile(path);
  // 200 pixels at 96 per inch are 625 at 300; 32767 / 625 allows 16 units a pixel.
  EXPECT_EQ(Word(wmf, 10), 625 * 16);
  EXPECT_EQ(Word(wmf, 14), 300 * 16);
}

TEST(ConvertEMFtoWMF, FailsWithoutAMetafileOrAWritablePath) {
  const tessmor::EnhMetafile emf = SampleEmf();
  const std::string dir = tessmor::testing::MakeTempDir();
  EXPECT_EQ(ConvertEMFtoWMF(nullptr, nullptr, (dir + "/a.wmf").c_str()), 0);
  const tessmor::EnhMetafile empty;
  EXPECT_EQ(ConvertEMFtoWMF(nullptr, &empty, (dir + "/b.wmf").c_str()), 0);
  EXPECT_EQ(ConvertEMFtoWMF(nullptr, &emf, nullptr), 0);
  EXPECT_EQ(ConvertEMFtoWMF(nullptr, &emf, (dir + "/missing/c.wmf").c_str()), 0);
}

// ---- World transforms ------------------------------------------------------------------------

TEST(TransformWorld, SwitchesToHundredthsOfAMillimetreAndSetsTheMatrix) {
  tessmor::EmfDC dc(96);
  EXPECT_EQ(TransformWorld(17, &dc, 2.0f), 1);
  EXPECT_EQ(dc.GetMapMode(), tessmor::MM_HIMETRIC);
  EXPECT_EQ(dc.GetGraphicsMode(), tessmor::GM_ADVANCED);
  EXPECT_EQ(dc.GetWorldTransform(), (tessmor::XFORM{2, 0, 0, 2, 0, 0}));
  EXPECT_EQ(TransformWorld(18, &dc, 5.0f), 1);
  EXPECT_EQ(dc.GetWorldTransform(), (tessmor::XFORM{1, 0, 0, 1, 5, 0}));
  EXPECT_EQ(TransformWorld(20, &dc, 3.0f), 1);
  EXPECT_EQ(dc.GetWorldTransform(), (tessmor::XFORM{3, 3, 0, 3, 0, 0}));
  EXPECT_EQ(TransformWorld(21, &dc, 1.0f), 1);
  EXPECT_EQ(dc.GetWorldTransform(), (tessmor::XFORM{1, 0, 0, -1, 0, 0}));
  EXPECT_EQ(TransformWorld(19, &dc, 90.0f), 1);
  const tessmor::XFORM turn = dc.GetWorldTransform();
  EXPECT_NEAR(turn.eM11, 0.0f, 1e-6f);
  EXPECT_FLOAT_EQ(turn.eM12, 1.0f);
  EXPECT_FLOAT_EQ(turn.eM21, -1.0f);
  EXPECT_NEAR(turn.eM22, 0.0f, 1e-6f);
  EXPECT_EQ(TransformWorld(0, &dc, 0.0f), 1);
  EXPECT_EQ(dc.GetWorldTransform(), tessmor::XFORM{});
}

TEST(TransformWorld, OtherModesChangeOnlyTheMapping) {
  tessmor::EmfDC dc(96);
  ASSERT_EQ(TransformWorld(17, &dc, 2.0f), 1);
  for (int mode : {1, 16, 22, -1}) {
    dc.SetMapMode(tessmor::MM_TEXT);
    EXPECT_EQ(TransformWorld(mode, &dc, 9.0f), 0) << mode;
    EXPECT_EQ(dc.GetMapMode(), tessmor::MM_HIMETRIC);
    EXPECT_EQ(dc.GetWorldTransform(), (tessmor::XFORM{2, 0, 0, 2, 0, 0}));
  }
  EXPECT_EQ(TransformWorld(20, &dc, 0.0f), 0) << "a singular matrix is refused";
}

TEST(TransformWorld, ScaledDrawingComesOutLarger) {
  tessmor::EmfDC dc(96);
  ASSERT_EQ(TransformWorld(17, &dc, 2.0f), 1);
  // One inch in hundredths of a millimetre, doubled: 192 pixels of 16 units, y up.
  const tessmor::POINT line[] = {{0, 0}, {2540, 1270}};
  dc.Polyline(line, 2);
  tessmor::testing::RecordingDC out;
  ASSERT_TRUE(dc.Close().Play(out));
  const auto calls = out.Calls("Polyline");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0]->points, (std::vector<tessmor::POINT>{{0, 0}, {192 * 16, -96 * 16}}));
}

TEST(TransformWorld, DeviceContextWithoutWorldTransformsGetsOnlyTheMapping) {
  tessmor::testing::RecordingDC dc;
  EXPECT_EQ(TransformWorld(17, &dc, 2.0f), 0);
  EXPECT_EQ(dc.GetMapMode(), tessmor::MM_HIMETRIC);
  EXPECT_EQ(TransformWorld(17, nullptr, 2.0f), 0);
}

}  // namespace
