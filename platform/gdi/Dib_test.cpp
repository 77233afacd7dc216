#include "platform/gdi/Dib.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/io/Archive.h"

namespace {

using tessmor::Archive;
using tessmor::ArchiveException;
using tessmor::Dib;

// Little-endian byte building for hand-made bitmap files.
struct Bytes {
  std::vector<std::uint8_t> v;
  Bytes& u8(unsigned x) {
    v.push_back(static_cast<std::uint8_t>(x));
    return *this;
  }
  Bytes& u16(unsigned x) { return u8(x & 0xFF).u8(x >> 8); }
  Bytes& u32(std::uint32_t x) { return u16(x & 0xFFFF).u16(x >> 16); }
  Bytes& text(const char* s) {
    while (*s) u8(static_cast<unsigned char>(*s++));
    return *this;
  }
};

// File header and information header of an uncompressed bitmap.
Bytes Headers(std::uint32_t total, std::uint32_t offset, std::int32_t width, std::int32_t height,
              unsigned bits, std::uint32_t used_colours = 0, std::uint32_t info_size = 40) {
  Bytes b;
  b.text("BM").u32(total).u16(0).u16(0).u32(offset);
  b.u32(info_size).u32(static_cast<std::uint32_t>(width)).u32(static_cast<std::uint32_t>(height));
  b.u16(1).u16(bits).u32(0).u32(0).u32(2835).u32(2835).u32(used_colours).u32(0);
  return b;
}

// A 3 × 2 one-bit image: colour 0 red, colour 1 blue. The file stores the bottom row first;
// each row takes one byte of pixels padded to four.
std::vector<std::uint8_t> ThreeByTwoMonochrome() {
  Bytes b = Headers(14 + 40 + 8 + 8, 14 + 40 + 8, 3, 2, 1);
  b.u32(0x00FF0000).u32(0x000000FF);   // blue, green, red, 0: red; then blue
  b.u8(0b01000000).u8(0).u8(0).u8(0);  // bottom row: red blue red
  b.u8(0b10100000).u8(0).u8(0).u8(0);  // top row: blue red blue
  return b.v;
}

TEST(DibRead, OneBitImageGivesItsColoursTopRowFirst) {
  auto bytes = ThreeByTwoMonochrome();
  auto dib = tessmor::DibFromFileImage(bytes.data(), bytes.size());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib->Width(), 3);
  EXPECT_EQ(dib->Height(), 2);
  EXPECT_EQ(dib->PixelRgb(0, 0), 0x0000FFu);
  EXPECT_EQ(dib->PixelRgb(1, 0), 0xFF0000u);
  EXPECT_EQ(dib->PixelRgb(2, 0), 0x0000FFu);
  EXPECT_EQ(dib->PixelRgb(0, 1), 0xFF0000u);
  EXPECT_EQ(dib->PixelRgb(1, 1), 0x0000FFu);
  EXPECT_EQ(dib->PixelRgb(3, 0), 0u) << "outside the bitmap";
}

TEST(DibRead, TwentyFourBitRowsArePaddedToFourBytes) {
  // 2 × 2 pixels: 6 bytes a row, padded to 8.
  Bytes b = Headers(14 + 40 + 16, 54, 2, -2, 24);  // top-down
  b.u8(1).u8(2).u8(3).u8(4).u8(5).u8(6).u8(0xEE).u8(0xEE);
  b.u8(7).u8(8).u8(9).u8(10).u8(11).u8(12).u8(0xEE).u8(0xEE);
  auto dib = tessmor::DibFromFileImage(b.v.data(), b.v.size());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib->Stride(), 8u);
  EXPECT_EQ(dib->PixelRgb(0, 0), 0x030201u);  // stored blue, green, red
  EXPECT_EQ(dib->PixelRgb(1, 0), 0x060504u);
  EXPECT_EQ(dib->PixelRgb(0, 1), 0x090807u);
  EXPECT_EQ(dib->PixelRgb(1, 1), 0x0C0B0Au);
}

TEST(DibRead, SixteenBitPixelsAreFiveBitsPerChannel) {
  Bytes b = Headers(14 + 40 + 4, 54, 1, 1, 16);
  b.u16(0x7C00).u16(0);  // pure red
  auto dib = tessmor::DibFromFileImage(b.v.data(), b.v.size());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib->PixelRgb(0, 0), 0xFF0000u);
}

TEST(DibRead, UsedColourCountShortensTheColourTable) {
  // An 8-bit image with only 2 colours in its table: the pixels start after 8 table bytes.
  Bytes b = Headers(14 + 40 + 8 + 4, 14 + 40 + 8, 1, 1, 8, 2);
  b.u32(0x00112233).u32(0x00445566);
  b.u8(1).u8(0).u8(0).u8(0);
  Archive ar = Archive::FromBytes(b.v);
  auto dib = tessmor::ReadDibFileImage(ar);
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib->colors.size(), 2u);
  EXPECT_EQ(dib->PixelRgb(0, 0), 0x445566u);
  EXPECT_TRUE(ar.AtEnd());
}

TEST(DibRead, PixelIndexBeyondTheColourTableReadsBlack) {
  Bytes b = Headers(14 + 40 + 4 + 4, 14 + 40 + 4, 1, 1, 8, 1);
  b.u32(0x00FFFFFF);
  b.u8(200).u8(0).u8(0).u8(0);
  auto dib = tessmor::DibFromFileImage(b.v.data(), b.v.size());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib->PixelRgb(0, 0), 0u);
}

TEST(DibRead, RefusesDataWithoutTheBitmapSignature) {
  auto bytes = ThreeByTwoMonochrome();
  bytes[0] = 'X';
  Archive ar = Archive::FromBytes(bytes);
  EXPECT_FALSE(tessmor::ReadDibFileImage(ar));
  EXPECT_EQ(ar.position(), 2u) << "left where the check stopped";
}

TEST(DibRead, RefusesAnInformationHeaderOfAnotherSize) {
  Bytes b = Headers(14 + 108 + 4, 14 + 108, 1, 1, 24, 0, 108);
  Archive ar = Archive::FromBytes(b.v);
  EXPECT_FALSE(tessmor::ReadDibFileImage(ar));
}

TEST(DibRead, RefusesUnknownBitCountsAndSizes) {
  for (auto [w, h, bits] : {std::tuple{1, 1, 2u},
                            {1, 1, 0u},
                            {0, 1, 24u},
                            {-4, 1, 24u},
                            {1, 0, 24u},
                            {40000, 1, 24u},
                            {1, -40000, 24u}}) {
    Bytes b = Headers(54 + 4, 54, w, h, bits);
    b.u32(0);
    EXPECT_FALSE(tessmor::DibFromFileImage(b.v.data(), b.v.size())) << w << "x" << h << "x" << bits;
  }
}

TEST(DibRead, RefusesAPixelOffsetBeyondTheTotalSize) {
  Bytes b = Headers(54, 60, 1, 1, 24);
  b.u32(0).u32(0);
  EXPECT_FALSE(tessmor::DibFromFileImage(b.v.data(), b.v.size()));
}

TEST(DibRead, ThrowsWhenThePixelsRunPastTheData) {
  // A 32767 × 32767 image that claims 4 GB of pixels but brings four bytes: refused before
  // anything that size is allocated.
  Bytes b = Headers(0xFFFFFFF0u, 54, 32767, 32767, 32);
  b.u32(0);
  Archive ar = Archive::FromBytes(b.v);
  EXPECT_THROW(tessmor::ReadDibFileImage(ar), ArchiveException);
  EXPECT_FALSE(tessmor::DibFromFileImage(b.v.data(), b.v.size()));
}

TEST(DibRead, ThrowsWhenTheColourTableRunsPastTheData) {
  Bytes b = Headers(54 + 1024, 54 + 1024, 1, 1, 8);
  b.u32(0);
  Archive ar = Archive::FromBytes(b.v);
  EXPECT_THROW(tessmor::ReadDibFileImage(ar), ArchiveException);
}

TEST(DibRead, ReadsNoMorePixelsThanTheTotalSizeLeaves) {
  // Two rows of a 1-pixel 24-bit image need 8 bytes; the total size leaves room for one row.
  Bytes b = Headers(54 + 4, 54, 1, 2, 24);
  b.u8(0x10).u8(0x20).u8(0x30).u8(0);  // the bottom row
  b.text("next");
  Archive ar = Archive::FromBytes(b.v);
  auto dib = tessmor::ReadDibFileImage(ar);
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib->bits.size(), 4u);
  EXPECT_EQ(ar.position(), 58u) << "stops after the pixels it read";
  EXPECT_EQ(dib->PixelRgb(0, 1), 0x302010u);
  EXPECT_EQ(dib->PixelRgb(0, 0), 0u) << "the missing top row reads as zeros";
}

TEST(DibWrite, FileImageHasConsistentSizesAndReadsBack) {
  Dib d = Dib::Make24(3, 2);
  d.SetPixelRgb(0, 0, 0x123456);
  d.SetPixelRgb(2, 1, 0xABCDEF);
  const std::vector<std::uint8_t> image = tessmor::DibFileImage(d);
  ASSERT_EQ(image.size(), 14u + 40u + 2u * 12u);  // rows of 9 bytes padded to 12
  EXPECT_EQ(image[0], 'B');
  EXPECT_EQ(image[1], 'M');
  EXPECT_EQ(image[2] | image[3] << 8, static_cast<int>(image.size()));
  EXPECT_EQ(image[10], 54);
  EXPECT_EQ(image[14], 40);
  auto back = tessmor::DibFromFileImage(image.data(), image.size());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->PixelRgb(0, 0), 0x123456u);
  EXPECT_EQ(back->PixelRgb(2, 1), 0xABCDEFu);
  EXPECT_EQ(back->bits, d.bits);
}

TEST(DibPattern, KeepsOneBitRowsAndTurnsTheColoursIntoColorRefs) {
  auto bytes = ThreeByTwoMonochrome();
  auto dib = tessmor::DibFromFileImage(bytes.data(), bytes.size());
  ASSERT_TRUE(dib);
  auto pattern = tessmor::MakeDibPattern(*dib);
  EXPECT_EQ(pattern->bit_count, 1);
  EXPECT_EQ(pattern->width, 3);
  EXPECT_EQ(pattern->height, 2);
  ASSERT_EQ(pattern->colors.size(), 2u);
  EXPECT_EQ(pattern->colors[0], tessmor::RGB(255, 0, 0));
  EXPECT_EQ(pattern->colors[1], tessmor::RGB(0, 0, 255));
  EXPECT_EQ(pattern->bits, dib->bits);
}

TEST(DibPattern, ConvertsSixteenBitAndTruncatedImagesToTwentyFourBits) {
  Bytes b = Headers(14 + 40 + 4, 54, 1, 2, 16);  // room for one of two rows
  b.u16(0x03E0).u16(0);                          // bottom row: green
  auto dib = tessmor::DibFromFileImage(b.v.data(), b.v.size());
  ASSERT_TRUE(dib);
  auto pattern = tessmor::MakeDibPattern(*dib);
  EXPECT_EQ(pattern->bit_count, 24);
  ASSERT_EQ(pattern->bits.size(), 8u);
  // Bottom-up: the first stored row is the bottom one, blue, green, red.
  EXPECT_EQ(pattern->bits[0], 0);
  EXPECT_EQ(pattern->bits[1], 255);
  EXPECT_EQ(pattern->bits[2], 0);
}

}  // namespace
