// The bitmap resources of the library's own resource module.

#include <array>
#include <string_view>

#include "plotsupport/Bitmaps.h"

namespace {

// Bitmap 181: the fill of the model prisms, an 8 × 8 two-colour pattern of staggered dots
// like a sediment symbol on a geological section ('#' black, '.' white; top row first).
// Tiled, it shows a dot in every 4 × 4 cell, shifted by two pixels from row to row of cells.
constexpr std::array<std::string_view, 8> kPrismPattern = {
    "#...#...",  //
    "........",  //
    "..#...#.",  //
    "........",  //
    "#...#...",  //
    "........",  //
    "..#...#.",  //
    "........",  //
};

// A bottom-up 1-bit bitmap of `rows` (top row first): colour 0 black, colour 1 white.
tessmor::Dib MonochromeFromPicture(const std::array<std::string_view, 8>& rows) {
  tessmor::Dib d;
  d.header.biSize = 40;
  d.header.biWidth = static_cast<std::int32_t>(rows[0].size());
  d.header.biHeight = static_cast<std::int32_t>(rows.size());
  d.header.biPlanes = 1;
  d.header.biBitCount = 1;
  d.header.biCompression = tessmor::kDibRgb;
  d.header.biSizeImage = static_cast<std::uint32_t>(d.ImageBytes());
  d.header.biXPelsPerMeter = d.header.biYPelsPerMeter = 3780;  // 96 dpi
  d.header.biClrUsed = 2;
  d.colors = {0x000000, 0xFFFFFF};
  d.bits.assign(d.ImageBytes(), 0);
  const std::size_t stride = d.Stride();
  for (std::size_t y = 0; y < rows.size(); ++y) {
    const std::size_t row = rows.size() - 1 - y;  // stored bottom-up
    for (std::size_t x = 0; x < rows[y].size(); ++x) {
      if (rows[y][x] != '#') d.bits[row * stride + x / 8] |= 0x80 >> (x % 8);
    }
  }
  return d;
}

}  // namespace

std::vector<BitmapResource> LibraryBitmapResources() {
  std::vector<BitmapResource> table;
  table.push_back({kPrismFillBitmap, MonochromeFromPicture(kPrismPattern)});
  return table;
}
