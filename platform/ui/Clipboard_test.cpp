#include "platform/ui/Clipboard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <cstdint>
#include <string>
#include <vector>

namespace tessmor {
namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> out;
  for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

void PutU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t GetU32(const std::vector<std::uint8_t>& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(b[at + i]) << (8 * i);
  return v;
}

// A packed 2 × 2 bitmap, 24 bits per pixel, bottom row first: red, green / blue, white.
std::vector<std::uint8_t> TwoByTwoDib() {
  std::vector<std::uint8_t> dib(40 + 2 * 8, 0);
  PutU32(dib, 0, 40);
  PutU32(dib, 4, 2);
  PutU32(dib, 8, 2);
  dib[12] = 1;   // planes
  dib[14] = 24;  // bits per pixel
  // Rows of 6 bytes padded to 8, blue-green-red.
  const std::uint8_t bottom[] = {0, 0, 255, 0, 255, 0};
  const std::uint8_t top[] = {255, 0, 0, 255, 255, 255};
  std::copy(bottom, bottom + 6, dib.begin() + 40);
  std::copy(top, top + 6, dib.begin() + 48);
  return dib;
}

// The colour (0xRRGGBB) of pixel (x, y), row 0 at the top, of a packed 24- or 32-bit bitmap.
std::uint32_t PixelOf(const std::vector<std::uint8_t>& dib, int x, int y) {
  const int width = static_cast<int>(GetU32(dib, 4));
  const int height = static_cast<int>(GetU32(dib, 8));
  const int bits = dib[14];
  const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  const int row = height > 0 ? height - 1 - y : y;
  std::size_t offset = GetU32(dib, 0);
  if (GetU32(dib, 16) == 3 && GetU32(dib, 0) == 40) offset += 12;
  const std::size_t at = offset + row * stride + static_cast<std::size_t>(x) * (bits / 8);
  return static_cast<std::uint32_t>(dib[at + 2]) << 16 |
         static_cast<std::uint32_t>(dib[at + 1]) << 8 | dib[at];
}

// --- format registration ---

TEST(ClipboardFormats, SameNameGivesSameNumberInTheRegisteredRange) {
  const unsigned first = Clipboard::RegisterFormat("DECINC");
  EXPECT_EQ(Clipboard::RegisterFormat("DECINC"), first);
  EXPECT_GE(first, kFirstRegisteredFormat);
  EXPECT_LE(first, kLastRegisteredFormat);
  EXPECT_EQ(Clipboard::FormatName(first), "DECINC");
}

TEST(ClipboardFormats, DifferentNamesGetDifferentNumbers) {
  const char* names[] = {"LATLONG",
                         "PMVECTOR",
                         "FISHERMEAN",
                         "DECINC",
                         "BEDDIP",
                         "BEARING",
                         "VIRTUALGEOMAGNETICPOLE",
                         "EIGENMEAN",
                         "VONMISESMEAN",
                         "COORDS"};
  std::vector<unsigned> numbers;
  for (const char* name : names) numbers.push_back(Clipboard::RegisterFormat(name));
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    for (std::size_t j = i + 1; j < numbers.size(); ++j) EXPECT_NE(numbers[i], numbers[j]);
  }
}

TEST(ClipboardFormats, EmptyNameAndUnknownNumbersHaveNoFormat) {
  EXPECT_EQ(Clipboard::RegisterFormat(""), 0u);
  EXPECT_EQ(Clipboard::FormatName(kClipText), "");
  EXPECT_EQ(Clipboard::FormatName(12345), "");
}

// --- the memory clipboard ---

TEST(MemoryClipboard, HoldsTextBetweenOpenings) {
  MemoryClipboard clip;
  ASSERT_TRUE(clip.Open());
  EXPECT_TRUE(clip.SetText("12.5\t-3.25\r\n"));
  clip.Close();
  ASSERT_TRUE(clip.Open());
  EXPECT_EQ(clip.GetText(), "12.5\t-3.25\r\n");
  clip.Close();
}

TEST(MemoryClipboard, RefusesEverythingWhileClosed) {
  MemoryClipboard clip;
  EXPECT_FALSE(clip.SetText("x"));
  EXPECT_FALSE(clip.Empty());
  EXPECT_FALSE(clip.GetText().has_value());
  EXPECT_EQ(clip.FormatCount(), 0u);
}

TEST(MemoryClipboard, CannotBeOpenedWhileBusyOrOpenAlready) {
  MemoryClipboard clip;
  clip.set_busy(true);
  EXPECT_FALSE(clip.Open());
  clip.set_busy(false);
  ASSERT_TRUE(clip.Open());
  EXPECT_FALSE(clip.Open());
  clip.Close();
}

TEST(MemoryClipboard, KeepsOtherFormatsUnlessEmptied) {
  MemoryClipboard clip;
  const unsigned records = Clipboard::RegisterFormat("COORDS");
  ASSERT_TRUE(clip.Open());
  ASSERT_TRUE(clip.SetText("text"));
  ASSERT_TRUE(clip.SetData(records, Bytes({1, 2, 3})));
  EXPECT_EQ(clip.GetText(), "text");
  EXPECT_EQ(clip.GetData(records), Bytes({1, 2, 3}));
  ASSERT_TRUE(clip.SetData(records, Bytes({4})));
  EXPECT_EQ(clip.GetData(records), Bytes({4}));
  EXPECT_EQ(clip.FormatCount(), 2u);
  ASSERT_TRUE(clip.Empty());
  EXPECT_FALSE(clip.HasFormat(records));
  EXPECT_FALSE(clip.GetText().has_value());
  clip.Close();
}

TEST(MemoryClipboard, RefusesFormatsNeverRegistered) {
  MemoryClipboard clip;
  ASSERT_TRUE(clip.Open());
  EXPECT_FALSE(clip.SetData(0xBFFF, Bytes({1})));
  EXPECT_FALSE(clip.SetData(0, Bytes({1})));
  clip.Close();
}

// --- the process-wide clipboard ---

TEST(ProcessClipboard, IsInMemoryUntilOneIsInstalled) {
  EXPECT_NE(dynamic_cast<MemoryClipboard*>(&GetClipboard()), nullptr);
  MemoryClipboard mine;
  Clipboard* previous = SetClipboard(&mine);
  EXPECT_EQ(&GetClipboard(), &mine);
  EXPECT_EQ(SetClipboard(nullptr), &mine);
  EXPECT_EQ(&GetClipboard(), previous);
}

// --- the system clipboard (offscreen platform of the test program) ---

TEST(SystemClipboard, ExchangesTextAndNamedRecords) {
  SystemClipboard clip;
  const unsigned records = Clipboard::RegisterFormat("PMVECTOR");
  ASSERT_TRUE(clip.Open());
  ASSERT_TRUE(clip.Empty());
  ASSERT_TRUE(clip.SetText("  10.00\t  20.00\r\n"));
  ASSERT_TRUE(clip.SetData(records, Bytes({0, 1, 2, 255})));
  clip.Close();

  SystemClipboard other;  // another user of the same system clipboard
  ASSERT_TRUE(other.Open());
  EXPECT_EQ(other.GetText(), "  10.00\t  20.00\r\n");
  EXPECT_EQ(other.GetData(records), Bytes({0, 1, 2, 255}));
  other.Close();
}

TEST(SystemClipboard, AddingAFormatKeepsTheOthersAndEmptyingRemovesThem) {
  SystemClipboard clip;
  const unsigned a = Clipboard::RegisterFormat("LATLONG");
  const unsigned b = Clipboard::RegisterFormat("BEARING");
  ASSERT_TRUE(clip.Open());
  ASSERT_TRUE(clip.Empty());
  ASSERT_TRUE(clip.SetText("first"));
  ASSERT_TRUE(clip.SetData(a, Bytes({7, 7})));
  clip.Close();

  ASSERT_TRUE(clip.Open());
  ASSERT_TRUE(clip.SetData(b, Bytes({9})));
  clip.Close();

  ASSERT_TRUE(clip.Open());
  EXPECT_EQ(clip.GetText(), "first");
  EXPECT_EQ(clip.GetData(a), Bytes({7, 7}));
  EXPECT_EQ(clip.GetData(b), Bytes({9}));
  ASSERT_TRUE(clip.Empty());
  EXPECT_FALSE(clip.GetData(a).has_value());
  clip.Close();

  ASSERT_TRUE(clip.Open());
  EXPECT_FALSE(clip.GetData(a).has_value());
  EXPECT_FALSE(clip.GetText().has_value());
  clip.Close();
}

TEST(SystemClipboard, CarriesABitmapAsAPackedDib) {
  SystemClipboard clip;
  ASSERT_TRUE(clip.Open());
  ASSERT_TRUE(clip.Empty());
  ASSERT_TRUE(clip.SetData(kClipDib, TwoByTwoDib()));
  clip.Close();

  ASSERT_TRUE(clip.Open());
  std::optional<std::vector<std::uint8_t>> dib = clip.GetData(kClipDib);
  clip.Close();
  ASSERT_TRUE(dib.has_value());
  ASSERT_GE(dib->size(), 40u);
  EXPECT_EQ(GetU32(*dib, 4), 2u);
  EXPECT_EQ(GetU32(*dib, 8), 2u);
  ASSERT_GE(dib->at(14), 24);
  EXPECT_EQ(PixelOf(*dib, 0, 1), 0xFF0000u);  // bottom left red
  EXPECT_EQ(PixelOf(*dib, 1, 1), 0x00FF00u);
  EXPECT_EQ(PixelOf(*dib, 0, 0), 0x0000FFu);
  EXPECT_EQ(PixelOf(*dib, 1, 0), 0xFFFFFFu);
}

TEST(SystemClipboard, RefusesABitmapThatIsNotOne) {
  SystemClipboard clip;
  ASSERT_TRUE(clip.Open());
  EXPECT_FALSE(clip.SetData(kClipDib, Bytes({1, 2, 3})));
  std::vector<std::uint8_t> lying = TwoByTwoDib();
  PutU32(lying, 0, 0x7FFFFFFF);  // a header larger than the block
  EXPECT_FALSE(clip.SetData(kClipDib, lying));
  clip.Close();
}

TEST(SystemClipboard, CarriesAnEnhancedMetafileAsBytes) {
  SystemClipboard clip;
  const std::vector<std::uint8_t> emf = Bytes({1, 0, 0, 0, 0x6C, 0, 0, 0, ' ', 'E', 'M', 'F'});
  ASSERT_TRUE(clip.Open());
  ASSERT_TRUE(clip.Empty());
  ASSERT_TRUE(clip.SetData(kClipEnhMetafile, emf));
  clip.Close();
  ASSERT_TRUE(clip.Open());
  EXPECT_EQ(clip.GetData(kClipEnhMetafile), emf);
  EXPECT_FALSE(clip.GetText().has_value());
  clip.Close();
}

TEST(SystemClipboard, CarriesAnSvgPictureUnderItsMimeTypeBesideTheMetafile) {
  SystemClipboard clip;
  const unsigned svg_format = Clipboard::RegisterFormat(kClipSvgName);
  const std::string svg_text = "<svg xmlns=\"http://www.w3.org/2000/svg\"/>";
  const std::vector<std::uint8_t> svg(svg_text.begin(), svg_text.end());
  const std::vector<std::uint8_t> emf = Bytes({1, 0, 0, 0, 0x6C, 0, 0, 0, ' ', 'E', 'M', 'F'});
  ASSERT_TRUE(clip.Open());
  ASSERT_TRUE(clip.Empty());
  ASSERT_TRUE(clip.SetData(kClipEnhMetafile, emf));
  ASSERT_TRUE(clip.SetData(svg_format, svg));
  clip.Close();
  // Other programs find it under the type that names SVG.
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(mime, nullptr);
  EXPECT_EQ(mime->data(QStringLiteral("image/svg+xml")).toStdString(), svg_text);
  ASSERT_TRUE(clip.Open());
  EXPECT_EQ(clip.GetData(svg_format), svg);
  EXPECT_EQ(clip.GetData(kClipEnhMetafile), emf);
  clip.Close();
  // Adding text later keeps the SVG.
  ASSERT_TRUE(clip.Open());
  ASSERT_TRUE(clip.SetText("survey"));
  clip.Close();
  ASSERT_TRUE(clip.Open());
  EXPECT_EQ(clip.GetData(svg_format), svg);
  clip.Close();
}

}  // namespace
}  // namespace tessmor
