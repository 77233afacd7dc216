#include "dirstats/ClipboardRecords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/ui/Clipboard.h"

namespace {

using tessmor::Clipboard;
using tessmor::MemoryClipboard;

// Every test runs on its own clipboard in memory.
class ClipboardRecords : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = tessmor::SetClipboard(&clip_); }
  void TearDown() override { tessmor::SetClipboard(previous_); }

  std::string Text() {
    EXPECT_TRUE(clip_.Open());
    std::optional<std::string> text = clip_.GetText();
    clip_.Close();
    return text.value_or("<no text>");
  }
  std::optional<std::vector<std::uint8_t>> Block(const char* name) {
    EXPECT_TRUE(clip_.Open());
    auto block = clip_.GetData(Clipboard::RegisterFormat(name));
    clip_.Close();
    return block;
  }
  void PutBlock(const char* name, const std::vector<std::uint8_t>& bytes) {
    ASSERT_TRUE(clip_.Open());
    ASSERT_TRUE(clip_.SetData(Clipboard::RegisterFormat(name), bytes));
    clip_.Close();
  }
  void PutText(const std::string& text) {
    ASSERT_TRUE(clip_.Open());
    ASSERT_TRUE(clip_.SetText(text));
    clip_.Close();
  }

  MemoryClipboard clip_;
  Clipboard* previous_ = nullptr;
};

const DECINC kThree[] = {{10.0f, 20.0f}, {-5.5f, 45.25f}, {359.99f, -89.999f}};

// --- the DECINC kind, in detail ---

TEST_F(ClipboardRecords, CopiesDecIncAsABlockAndAsText) {
  const unsigned format = CopyDECINCtoClip(kThree, 3, 1, 1);
  EXPECT_EQ(format, Clipboard::RegisterFormat("DECINC"));
  ASSERT_NE(format, 0u);
  auto block = Block("DECINC");
  ASSERT_TRUE(block);
  ASSERT_EQ(block->size(), 24u);
  // 10.0f is 0x41200000, little-endian.
  EXPECT_EQ((*block)[0], 0x00);
  EXPECT_EQ((*block)[1], 0x00);
  EXPECT_EQ((*block)[2], 0x20);
  EXPECT_EQ((*block)[3], 0x41);
  EXPECT_EQ(Text(),
            "  10.00\t  20.00\r\n"
            "  -5.50\t  45.25\r\n"
            " 359.99\t -90.00\r\n");
}

TEST_F(ClipboardRecords, GetsEveryRecordOrAsManyAsTheByteLimitHolds) {
  ASSERT_NE(CopyDECINCtoClip(kThree, 3, 1, 0), 0u);
  unsigned count = 99;
  auto all = GetDECINCFromClip(&count, 0);
  ASSERT_TRUE(all);
  ASSERT_EQ(count, 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(all[i].dec, kThree[i].dec);
    EXPECT_EQ(all[i].inc, kThree[i].inc);
  }
  auto two = GetDECINCFromClip(&count, 16);
  ASSERT_TRUE(two);
  EXPECT_EQ(count, 2u);
  auto below_one_record = GetDECINCFromClip(&count, 7);
  EXPECT_EQ(count, 3u);
  ASSERT_TRUE(below_one_record);
}

TEST_F(ClipboardRecords, NeverReadsMoreThanTheBlockHolds) {
  // A limit larger than the block, and a block that ends inside a record: only the whole
  // records there are come back.
  ASSERT_NE(CopyDECINCtoClip(kThree, 3, 1, 0), 0u);
  unsigned count = 0;
  auto records = GetDECINCFromClip(&count, 1000);
  ASSERT_TRUE(records);
  EXPECT_EQ(count, 3u);
  std::vector<std::uint8_t> short_block = *Block("DECINC");
  short_block.resize(20);
  PutBlock("DECINC", short_block);
  records = GetDECINCFromClip(&count, 0);
  ASSERT_TRUE(records);
  EXPECT_EQ(count, 2u);
  PutBlock("DECINC", {1, 2, 3});
  EXPECT_FALSE(GetDECINCFromClip(&count, 0));
  EXPECT_EQ(count, 0u);
}

TEST_F(ClipboardRecords, AddsNextToWhatTheClipboardHoldsUnlessAskedToEmptyIt) {
  PutText("keep me");
  ASSERT_NE(CopyDECINCtoClip(kThree, 3, 0, 0), 0u);
  EXPECT_EQ(Text(), "keep me");
  EXPECT_TRUE(Block("DECINC"));
  const COORDS point{1.0f, 2.0f};
  ASSERT_NE(CopyCOORDStoClip(&point, 1, 1, 0), 0u);
  EXPECT_EQ(Text(), "<no text>");
  EXPECT_FALSE(Block("DECINC"));
  EXPECT_TRUE(Block("COORDS"));
}

TEST_F(ClipboardRecords, FailsQuietlyWhenTheClipboardIsBusyOrEmpty) {
  unsigned count = 5;
  EXPECT_FALSE(GetDECINCFromClip(&count, 0));
  EXPECT_EQ(count, 0u);
  clip_.set_busy(true);
  EXPECT_EQ(CopyDECINCtoClip(kThree, 3, 1, 1), 0u);
  count = 5;
  EXPECT_FALSE(GetDECINCFromClip(&count, 0));
  EXPECT_EQ(count, 0u);
  EXPECT_FALSE(GetTextFromClipboard(nullptr, 1));
  clip_.set_busy(false);
  EXPECT_EQ(clip_.FormatCount(), 0u);
}

TEST_F(ClipboardRecords, RefusesToCopyNoRecords) {
  PutText("untouched");
  EXPECT_EQ(CopyDECINCtoClip(kThree, 0, 1, 1), 0u);
  EXPECT_EQ(CopyDECINCtoClip(nullptr, 3, 1, 1), 0u);
  EXPECT_EQ(Text(), "untouched");
}

TEST_F(ClipboardRecords, WritesValuesWiderThanTheirFieldsWhole) {
  const DECINC wide{1e30f, 1.0f};
  ASSERT_NE(CopyDECINCtoClip(&wide, 1, 1, 1), 0u);
  EXPECT_EQ(Text(), "1000000015047466219876688855040.00\t   1.00\r\n");
}

// --- Fisher means ---

TEST_F(ClipboardRecords, CopiesFisherMeansWithTheirTextLine) {
  FISHERMEAN m{};
  m.dec = 12.34f;
  m.inc = 56.78f;
  m.k = 23.456f;
  m.R = 9.87654f;
  m.alpha = 4.56f;
  m.stderr = 0.1f;
  m.N = 10;
  m.kMethod = kFisherKTable;
  ASSERT_NE(CopyToClipboard(&m, 1, 1, 1), 0u);
  EXPECT_EQ(Text(), " 12.3\t 56.8\t  4.6\t   23.456\t    9.877\t10\r\n");
  unsigned count = 0;
  auto back = GetFISHERMEANFromClipboard(&count, 0);
  ASSERT_TRUE(back);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(back[0].dec, m.dec);
  EXPECT_EQ(back[0].stderr, m.stderr);
  EXPECT_EQ(back[0].N, 10u);
  EXPECT_EQ(back[0].kMethod, kFisherKTable);
  EXPECT_EQ(Block("FISHERMEAN")->size(), 32u);
}

TEST_F(ClipboardRecords, WritesTheTextOfEveryFisherMeanHoweverMany) {
  // Far more lines than the 500 characters of the original text buffer hold.
  std::vector<FISHERMEAN> means(100);
  for (unsigned i = 0; i < means.size(); ++i) {
    means[i].dec = static_cast<float>(i);
    means[i].N = i;
  }
  ASSERT_NE(CopyToClipboard(means.data(), 100, 1, 1), 0u);
  const std::string text = Text();
  std::size_t lines = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos;
       at = text.find("\r\n", at + 2)) {
    ++lines;
  }
  EXPECT_EQ(lines, 100u);
  EXPECT_NE(text.find(" 99.0\t  0.0\t  0.0\t    0.000\t    0.000\t99\r\n"), std::string::npos);
  EXPECT_GT(text.size(), 500u);
}

// --- every other kind: block, text, and back ---

TEST_F(ClipboardRecords, ExchangesSites) {
  const LATLONG site{51.5f, -0.13f};
  ASSERT_EQ(CopyLATLONGToClip(&site, 1, 1, 1), Clipboard::RegisterFormat("LATLONG"));
  EXPECT_EQ(Text(), "  51.50\t  -0.13\r\n");
  unsigned count = 0;
  auto back = GetLATLONGFromClip(&count, 0);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(back[0].latitude, 51.5f);
  EXPECT_EQ(back[0].longitude, -0.13f);
}

TEST_F(ClipboardRecords, ExchangesDirectionsWithIntensity) {
  const PMVECTOR v{1.5, 12.5f, -3.25f};
  ASSERT_EQ(CopyPMVECTORtoClip(&v, 1, 1, 1), Clipboard::RegisterFormat("PMVECTOR"));
  EXPECT_EQ(Text(), "  12.50\t  -3.25\t    1.5000\r\n");
  EXPECT_EQ(Block("PMVECTOR")->size(), 16u);
  unsigned count = 0;
  auto back = GetPMVECTORFromClip(&count, 0);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(back[0].intensity, 1.5);
  EXPECT_EQ(back[0].dec, 12.5f);
  EXPECT_EQ(back[0].inc, -3.25f);
}

TEST_F(ClipboardRecords, ExchangesBeddingAttitudesBearingsAndCoordinates) {
  const BEDDIP bed{270.0f, 15.0f};
  ASSERT_EQ(CopyBEDDIPtoClip(&bed, 1, 1, 1), Clipboard::RegisterFormat("BEDDIP"));
  EXPECT_EQ(Text(), " 270.00\t  15.00\r\n");
  const float bearings[] = {45.5f, 359.0f};
  ASSERT_EQ(CopyBEARINGtoClip(bearings, 2, 1, 1), Clipboard::RegisterFormat("BEARING"));
  EXPECT_EQ(Text(), "  45.50\r\n 359.00\r\n");
  EXPECT_EQ(Block("BEARING")->size(), 8u);
  const COORDS point{100.0f, -2.5f};
  ASSERT_EQ(CopyCOORDStoClip(&point, 1, 0, 1), Clipboard::RegisterFormat("COORDS"));
  EXPECT_EQ(Text(), " 100.00\t  -2.50\r\n");

  unsigned count = 0;
  EXPECT_FALSE(GetBEDDIPFromClip(&count, 0));  // the bearings' copy emptied the clipboard
  auto b = GetBEARINGFromClip(&count, 0);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(b[1], 359.0f);
  auto c = GetCOORDSFromClip(&count, 0);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(c[0].y, -2.5f);
}

TEST_F(ClipboardRecords, ExchangesVirtualGeomagneticPoles) {
  const VGP pole{67.76f, 342.73f, 4.0f, 6.32f, 26.57f, 5.0f};
  ASSERT_EQ(CopyVGPtoClip(&pole, 1, 1, 1), Clipboard::RegisterFormat("VIRTUALGEOMAGNETICPOLE"));
  EXPECT_EQ(Text(), "  67.76\t 342.73\t   4.00\t   6.32\t  26.57\r\n");
  EXPECT_EQ(Block("VIRTUALGEOMAGNETICPOLE")->size(), 24u);
  unsigned count = 0;
  auto back = GetVGPFromClip(&count, 0);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(back[0].alpha95, 5.0f);
  EXPECT_EQ(back[0].longitude, 342.73f);
}

TEST_F(ClipboardRecords, ExchangesEigenMeans) {
  EIGENMEAN e{};
  const float tau[] = {0.8f, 0.15f, 0.05f};
  const float dec[] = {10.0f, 100.0f, 280.0f};
  const float inc[] = {60.0f, 0.0f, 30.0f};
  for (int i = 0; i < 3; ++i) {
    e.eigenvalue[i] = tau[i];
    e.dec[i] = dec[i];
    e.inc[i] = inc[i];
  }
  e.shape = 1.234f;
  e.N = 20;
  e.cone[0] = 5.5f;
  e.cone[1] = 3.3f;
  e.distribution = kEigenUnimodal;
  EIGENMEAN kent = e;
  kent.kent = 1;
  kent.kappa = 25.5f;
  kent.beta = 3.3f;
  const float stats[] = {0.9f, 0.07f, 0.03f, 0.255f};
  const float angles[] = {10.0f, 60.0f, 5.5f, 3.5f, 100.0f, 0.0f};
  std::memcpy(kent.kent_stats, stats, sizeof stats);
  std::memcpy(kent.kent_angles, angles, sizeof angles);
  kent.distribution = kEigenIntermediate;

  const EIGENMEAN both[] = {e, kent};
  ASSERT_EQ(CopyEigenToClipboard(both, 2, 1, 1), Clipboard::RegisterFormat("EIGENMEAN"));
  EXPECT_EQ(Text(),
            " 0.800\t 10.0\t 60.0\t  0.150\t100.0\t  0.0\t  0.050\t280.0\t 30.0\t     1.234\t20\t"
            "  5.5\t  3.3\tUnimodal\r\n"
            "     25.5\t      3.3\t     0.900\t     0.070\t     0.030\t     0.255\t 10.0\t 60.0\t"
            "  5.5\t  3.5\t100.0\t  0.0\tKent parametric\tIntermediate Girdle/Cluster\r\n");
  EXPECT_EQ(Block("EIGENMEAN")->size(), 320u);
  unsigned count = 0;
  auto back = GetEigenMEANFromClipboard(&count, 0);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(back[0].dec[2], 280.0f);
  EXPECT_EQ(back[1].kent, 1);
  EXPECT_EQ(back[1].kent_angles[4], 100.0f);
  EXPECT_EQ(std::string(EigenDistributionName(42)), "");
}

TEST_F(ClipboardRecords, ExchangesVonMisesMeans) {
  const VONMISESMEAN v{123.4f, 0.8765f, 12, 4.1234f, 95.0f, 10.5f, 0.1235f, 0.5432f, 10.5f, 0};
  ASSERT_EQ(CopyVonMisesToClipboard(&v, 1, 1, 1), Clipboard::RegisterFormat("VONMISESMEAN"));
  EXPECT_EQ(Text(), " 123.4\t0.8765\t12\t   4.1234\t 95.0%\t 10.5\t   0.1235\t  0.5432\r\n");
  EXPECT_EQ(Block("VONMISESMEAN")->size(), 40u);
  unsigned count = 0;
  auto back = GetVONMISESMEANFromClipboard(&count, 0);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(back[0].kappa, 4.1234f);
  EXPECT_EQ(back[0].N, 12u);
}

TEST_F(ClipboardRecords, ReadsHostileRecordsAsTheyAre) {
  // Another program's block of NaNs and huge numbers is handed back, not interpreted.
  std::vector<std::uint8_t> block(32, 0xFF);
  PutBlock("FISHERMEAN", block);
  unsigned count = 0;
  auto back = GetFISHERMEANFromClipboard(&count, 0);
  ASSERT_TRUE(back);
  ASSERT_EQ(count, 1u);
  EXPECT_TRUE(std::isnan(back[0].dec));
  EXPECT_EQ(back[0].N, 0xFFFFFFFFu);
}

// --- plain text ---

TEST_F(ClipboardRecords, ExchangesPlainText) {
  auto placed = GetTextFromClipboard("12.5\t3.0", 0);
  ASSERT_TRUE(placed);
  EXPECT_STREQ(placed.get(), "12.5\t3.0");
  auto read = GetTextFromClipboard(nullptr, 1);
  ASSERT_TRUE(read);
  EXPECT_STREQ(read.get(), "12.5\t3.0");
  EXPECT_FALSE(GetTextFromClipboard("", 0));  // nothing done
  EXPECT_EQ(Text(), "12.5\t3.0");
}

TEST_F(ClipboardRecords, PlacingTextReplacesTheRecords) {
  ASSERT_NE(CopyDECINCtoClip(kThree, 3, 1, 0), 0u);
  EXPECT_FALSE(GetTextFromClipboard(nullptr, 1));  // no text yet
  ASSERT_TRUE(GetTextFromClipboard("only this", 0));
  EXPECT_FALSE(Block("DECINC"));
}

// --- through the desktop clipboard ---

TEST(ClipboardRecordsOnTheSystemClipboard, RoundTripsDirections) {
  tessmor::SystemClipboard system;
  Clipboard* previous = tessmor::SetClipboard(&system);
  ASSERT_NE(CopyDECINCtoClip(kThree, 3, 1, 1), 0u);
  unsigned count = 0;
  auto back = GetDECINCFromClip(&count, 0);
  auto text = GetTextFromClipboard(nullptr, 1);
  tessmor::SetClipboard(previous);
  ASSERT_TRUE(back);
  ASSERT_EQ(count, 3u);
  EXPECT_EQ(back[2].dec, 359.99f);
  ASSERT_TRUE(text);
  EXPECT_STREQ(text.get(), "  10.00\t  20.00\r\n  -5.50\t  45.25\r\n 359.99\t -90.00\r\n");
}

}  // namespace
