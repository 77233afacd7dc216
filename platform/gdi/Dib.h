#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/PlatformExport.h"
#include "platform/gdi/GdiTypes.h"

namespace tessmor {

class Archive;

#pragma pack(push, 1)
/// The 14-byte file header of a Windows bitmap file image, as stored (little-endian).
struct DibFileHeader {
  std::uint16_t bfType;  ///< "BM"
  std::uint32_t bfSize;  ///< total size of the image in bytes
  std::uint16_t bfReserved1;
  std::uint16_t bfReserved2;
  std::uint32_t bfOffBits;  ///< offset of the pixels from the start of the image
};
/// The 40-byte information header of a device-independent bitmap, as stored.
struct DibInfoHeader {
  std::uint32_t biSize;  ///< 40
  std::int32_t biWidth;
  std::int32_t biHeight;  ///< > 0: rows bottom-up; < 0: rows top-down
  std::uint16_t biPlanes;
  std::uint16_t biBitCount;
  std::uint32_t biCompression;  ///< kDibRgb or kDibBitFields for the layouts decoded here
  std::uint32_t biSizeImage;
  std::int32_t biXPelsPerMeter;
  std::int32_t biYPelsPerMeter;
  std::uint32_t biClrUsed;
  std::uint32_t biClrImportant;
};
#pragma pack(pop)
static_assert(sizeof(DibFileHeader) == 14);
static_assert(sizeof(DibInfoHeader) == 40);

inline constexpr std::uint32_t kDibRgb = 0;
inline constexpr std::uint32_t kDibBitFields = 3;
/// Largest width or height of a bitmap this program reads or makes, in pixels.
inline constexpr int kDibMaxSide = 32767;

/// A device-independent bitmap: its information header, its colour table and its pixel rows
/// exactly as a bitmap file stores them (each row padded to a multiple of 4 bytes, the bottom
/// row first when the height is positive).
///
/// `bits` may hold fewer bytes than Stride() × Height() (a truncated image); pixels beyond it
/// read as 0. Every accessor checks its indices against the data.
struct TESSMOR_PLATFORM_EXPORT Dib {
  DibInfoHeader header{};
  /// Colour table: RGB entries as 0x00RRGGBB (the file stores blue, green, red, 0); for 16-
  /// and 32-bit bitmaps with bit fields, the red, green and blue masks.
  std::vector<std::uint32_t> colors;
  std::vector<std::uint8_t> bits;

  int Width() const { return header.biWidth; }
  /// Number of rows (positive whatever the row order).
  int Height() const;
  int BitCount() const { return header.biBitCount; }
  bool TopDown() const { return header.biHeight < 0; }
  /// Bytes per stored row: bit count × width rounded up to 32 bits.
  std::size_t Stride() const;
  /// Bytes of a complete pixel array: Stride() × Height().
  std::size_t ImageBytes() const { return Stride() * static_cast<std::size_t>(Height()); }

  /// The colour of the pixel in column `x` and row `y` (row 0 at the top) as 0x00RRGGBB;
  /// 0 for a position outside the bitmap or beyond the stored bytes, and for compressed
  /// layouts this program does not decode.
  std::uint32_t PixelRgb(int x, int y) const;
  /// Sets the pixel at (`x`, `y`) (row 0 at the top) of a 24- or 32-bit bitmap to `rgb`
  /// (0x00RRGGBB). Positions outside the bitmap or its bytes are ignored.
  void SetPixelRgb(int x, int y, std::uint32_t rgb);

  /// A bottom-up 24-bit bitmap of `width` × `height` pixels (clamped to 1..kDibMaxSide), all
  /// black, with a complete pixel array and a resolution of `dpi` dots per inch.
  static Dib Make24(int width, int height, int dpi = 96);
};

/// Number of colour-table entries an information header implies: 2, 16 or 256 for 1, 4 and
/// 8 bits per pixel, 3 for 16 and 32 bits with bit fields, otherwise 0; a nonzero used-colour
/// count that is smaller replaces it.
TESSMOR_PLATFORM_EXPORT int DibColorTableLength(const DibInfoHeader& header);

/// Reads a Windows bitmap file image at the archive's position: the 14-byte file header must
/// start with "BM", the information header must have size 40, the bit count must be 1, 4, 8,
/// 16, 24 or 32, the width 1 .. kDibMaxSide, the height ±1 .. ±kDibMaxSide, and the pixel
/// offset must not lie beyond the total size. The colour table follows the information
/// header; the pixels (the smaller of Stride() × Height() and total size − pixel offset bytes)
/// are read from the image start + pixel offset, and the archive is left after them.
///
/// Returns nothing when a check fails; the archive is then left where the check stopped.
/// Throws ArchiveException when the data ends before the image does.
TESSMOR_PLATFORM_EXPORT std::optional<Dib> ReadDibFileImage(Archive& ar);
/// Reads a bitmap file image from `size` bytes at `data` (a .bmp file); nothing when the bytes
/// are not a readable image or end before it does.
TESSMOR_PLATFORM_EXPORT std::optional<Dib> DibFromFileImage(const std::uint8_t* data,
                                                            std::size_t size);

/// Writes `dib` as a Windows bitmap file image: file header ("BM", total size, pixel offset),
/// information header, colour table, pixels.
TESSMOR_PLATFORM_EXPORT void WriteDibFileImage(Archive& ar, const Dib& dib);
/// The bytes WriteDibFileImage writes.
TESSMOR_PLATFORM_EXPORT std::vector<std::uint8_t> DibFileImage(const Dib& dib);

/// The pattern of a brush tiled with `dib`: its rows as they are for 1-, 4-, 8-, 24- and 32-bit
/// bitmaps without compression; any other layout, or a truncated one, converted to 24 bits. A
/// bitmap larger than 4096 pixels either way is cut to its top-left 4096 × 4096 pixels.
TESSMOR_PLATFORM_EXPORT std::shared_ptr<const DIBPattern> MakeDibPattern(const Dib& dib);

}  // namespace tessmor
