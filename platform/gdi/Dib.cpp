#include "platform/gdi/Dib.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#include "platform/io/Archive.h"

namespace tessmor {

namespace {

bool KnownBitCount(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Scales the bits of `value` selected by `mask` to 0..255.
std::uint32_t MaskedChannel(std::uint32_t value, std::uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const std::uint32_t max = mask >> shift;
  const std::uint32_t v = (value & mask) >> shift;
  return static_cast<std::uint32_t>((static_cast<std::uint64_t>(v) * 255 + max / 2) / max);
}

void ReadInfoHeader(Archive& ar, DibInfoHeader& h) {
  h.biSize = ar.ReadU32();
  h.biWidth = ar.ReadI32();
  h.biHeight = ar.ReadI32();
  h.biPlanes = ar.ReadU16();
  h.biBitCount = ar.ReadU16();
  h.biCompression = ar.ReadU32();
  h.biSizeImage = ar.ReadU32();
  h.biXPelsPerMeter = ar.ReadI32();
  h.biYPelsPerMeter = ar.ReadI32();
  h.biClrUsed = ar.ReadU32();
  h.biClrImportant = ar.ReadU32();
}

}  // namespace

int Dib::Height() const {
  const std::int64_t h = header.biHeight;
  return static_cast<int>(std::min<std::int64_t>(h < 0 ? -h : h, kDibMaxSide));
}

std::size_t Dib::Stride() const {
  if (header.biWidth <= 0) return 0;
  const std::uint64_t bits_per_row = std::uint64_t{header.biBitCount} * header.biWidth;
  return static_cast<std::size_t>((bits_per_row + 31) / 32 * 4);
}

std::uint32_t Dib::PixelRgb(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
  const int row = TopDown() ? y : Height() - 1 - y;
  const std::size_t start = static_cast<std::size_t>(row) * Stride();
  const int bpp = BitCount();
  const std::size_t offset = start + static_cast<std::size_t>(x) * bpp / 8;
  const std::size_t need = bpp >= 8 ? static_cast<std::size_t>(bpp / 8) : 1;
  if (offset + need > bits.size()) return 0;
  const std::uint8_t* p = bits.data() + offset;
  auto from_table = [this](unsigned index) -> std::uint32_t {
    return index < colors.size() ? colors[index] & 0xFFFFFF : 0;
  };
  const bool bitfields = header.biCompression == kDibBitFields && colors.size() >= 3;
  if (header.biCompression != kDibRgb && !bitfields) return 0;
  switch (bpp) {
    case 1:
      return from_table((*p >> (7 - x % 8)) & 1);
    case 4:
      return from_table(x % 2 == 0 ? *p >> 4 : *p & 0xF);
    case 8:
      return from_table(*p);
    case 16: {
      const std::uint32_t v = p[0] | (p[1] << 8);
      const std::uint32_t r = bitfields ? colors[0] : 0x7C00, g = bitfields ? colors[1] : 0x03E0,
                          b = bitfields ? colors[2] : 0x001F;
      return MaskedChannel(v, r) << 16 | MaskedChannel(v, g) << 8 | MaskedChannel(v, b);
    }
    case 24:
      return std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
    case 32: {
      const std::uint32_t v = p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
      if (!bitfields) return v & 0xFFFFFF;
      return MaskedChannel(v, colors[0]) << 16 | MaskedChannel(v, colors[1]) << 8 |
             MaskedChannel(v, colors[2]);
    }
    default:
      return 0;
  }
}

void Dib::SetPixelRgb(int x, int y, std::uint32_t rgb) {
  const int bpp = BitCount();
  if ((bpp != 24 && bpp != 32) || header.biCompression != kDibRgb) return;
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  const int row = TopDown() ? y : Height() - 1 - y;
  const std::size_t offset = static_cast<std::size_t>(row) * Stride() +
                             static_cast<std::size_t>(x) * static_cast<std::size_t>(bpp / 8);
  if (offset + bpp / 8 > bits.size()) return;
  bits[offset] = rgb & 0xFF;
  bits[offset + 1] = (rgb >> 8) & 0xFF;
  bits[offset + 2] = (rgb >> 16) & 0xFF;
}

Dib Dib::Make24(int width, int height, int dpi) {
  Dib d;
  d.header.biSize = 40;
  d.header.biWidth = std::clamp(width, 1, kDibMaxSide);
  d.header.biHeight = std::clamp(height, 1, kDibMaxSide);
  d.header.biPlanes = 1;
  d.header.biBitCount = 24;
  d.header.biCompression = kDibRgb;
  d.header.biSizeImage = static_cast<std::uint32_t>(d.ImageBytes());
  // Dots per inch to dots per metre, rounded.
  d.header.biXPelsPerMeter = d.header.biYPelsPerMeter =
      static_cast<std::int32_t>((static_cast<std::int64_t>(dpi) * 10000 + 127) / 254);
  d.bits.assign(d.ImageBytes(), 0);
  return d;
}

int DibColorTableLength(const DibInfoHeader& h) {
  int n = 0;
  switch (h.biBitCount) {
    case 1:
      n = 2;
      break;
    case 4:
      n = 16;
      break;
    case 8:
      n = 256;
      break;
    case 16:
    case 32:
      n = h.biCompression == kDibBitFields ? 3 : 0;
      break;
    default:
      n = 0;
  }
  if (h.biClrUsed != 0 && h.biClrUsed < static_cast<std::uint32_t>(n)) {
    n = static_cast<int>(h.biClrUsed);
  }
  return n;
}

std::optional<Dib> ReadDibFileImage(Archive& ar) {
  const std::size_t start = ar.position();
  DibFileHeader fh{};
  fh.bfType = ar.ReadU16();
  if (fh.bfType != 0x4D42) return std::nullopt;  // "BM"
  fh.bfSize = ar.ReadU32();
  fh.bfReserved1 = ar.ReadU16();
  fh.bfReserved2 = ar.ReadU16();
  fh.bfOffBits = ar.ReadU32();

  Dib dib;
  ReadInfoHeader(ar, dib.header);
  const DibInfoHeader& h = dib.header;
  if (h.biSize != 40) return std::nullopt;
  if (!KnownBitCount(h.biBitCount)) return std::nullopt;
  if (h.biWidth < 1 || h.biWidth > kDibMaxSide) return std::nullopt;
  if (h.biHeight == 0 || h.biHeight > kDibMaxSide || h.biHeight < -kDibMaxSide) {
    return std::nullopt;
  }
  if (fh.bfOffBits > fh.bfSize) return std::nullopt;

  const int table = DibColorTableLength(h);
  // Bit-field masks are plain 32-bit values; colours are blue, green, red, reserved.
  const bool masks = h.biCompression == kDibBitFields && (h.biBitCount == 16 || h.biBitCount == 32);
  dib.colors.resize(table);
  for (int i = 0; i < table; ++i) {
    const std::uint32_t q = ar.ReadU32();
    dib.colors[i] = masks ? q : q & 0xFFFFFF;
  }

  const std::size_t length = std::min<std::size_t>(dib.ImageBytes(), fh.bfSize - fh.bfOffBits);
  const std::size_t pixels_at = start + fh.bfOffBits;
  // Checked against the data before anything is allocated for the pixels.
  if (pixels_at > ar.size() || length > ar.size() - pixels_at) throw ArchiveException();
  ar.Seek(pixels_at);
  dib.bits.resize(length);
  if (length > 0) ar.ReadBytes(dib.bits.data(), length);
  return dib;
}

std::optional<Dib> DibFromFileImage(const std::uint8_t* data, std::size_t size) {
  Archive ar = Archive::FromBytes(std::vector<std::uint8_t>(data, data + size));
  try {
    return ReadDibFileImage(ar);
  } catch (const ArchiveException&) {
    return std::nullopt;
  }
}

void WriteDibFileImage(Archive& ar, const Dib& dib) {
  const DibInfoHeader& h = dib.header;
  const std::uint32_t offset = 14 + 40 + 4 * static_cast<std::uint32_t>(dib.colors.size());
  ar.WriteU16(0x4D42);
  ar.WriteU32(offset + static_cast<std::uint32_t>(dib.bits.size()));
  ar.WriteU16(0);
  ar.WriteU16(0);
  ar.WriteU32(offset);
  ar.WriteU32(40);
  ar.WriteI32(h.biWidth);
  ar.WriteI32(h.biHeight);
  ar.WriteU16(h.biPlanes);
  ar.WriteU16(h.biBitCount);
  ar.WriteU32(h.biCompression);
  ar.WriteU32(h.biSizeImage);
  ar.WriteI32(h.biXPelsPerMeter);
  ar.WriteI32(h.biYPelsPerMeter);
  ar.WriteU32(h.biClrUsed);
  ar.WriteU32(h.biClrImportant);
  for (std::uint32_t c : dib.colors) ar.WriteU32(c);
  if (!dib.bits.empty()) ar.WriteBytes(dib.bits.data(), dib.bits.size());
}

std::vector<std::uint8_t> DibFileImage(const Dib& dib) {
  Archive ar = Archive::ForStore();
  WriteDibFileImage(ar, dib);
  return ar.StoredBytes();
}

std::shared_ptr<const DIBPattern> MakeDibPattern(const Dib& dib) {
  auto pattern = std::make_shared<DIBPattern>();
  const int bpp = dib.BitCount();
  // A brush only tiles its pattern, so a huge one is cut to its top-left corner.
  constexpr int kMaxPatternSide = 4096;
  const bool direct = dib.header.biCompression == kDibRgb && bpp != 16 && KnownBitCount(bpp) &&
                      dib.Width() >= 1 && dib.Width() <= kMaxPatternSide &&
                      dib.Height() <= kMaxPatternSide && dib.bits.size() >= dib.ImageBytes();
  if (direct) {
    pattern->width = dib.Width();
    pattern->height = dib.header.biHeight;
    pattern->bit_count = static_cast<std::uint16_t>(bpp);
    for (std::uint32_t c : dib.colors) pattern->colors.push_back(RGB(c >> 16, c >> 8, c));
    // A table shorter than the pixel values can reach reads as black past its end.
    if (bpp <= 8) pattern->colors.resize(std::size_t{1} << bpp, 0);
    pattern->bits.assign(dib.bits.begin(), dib.bits.begin() + dib.ImageBytes());
    return pattern;
  }
  const Dib copy = [&] {
    Dib d = Dib::Make24(std::clamp(dib.Width(), 1, kMaxPatternSide),
                        std::clamp(dib.Height(), 1, kMaxPatternSide));
    for (int y = 0; y < d.Height(); ++y) {
      for (int x = 0; x < d.Width(); ++x) d.SetPixelRgb(x, y, dib.PixelRgb(x, y));
    }
    return d;
  }();
  pattern->width = copy.Width();
  pattern->height = copy.header.biHeight;
  pattern->bit_count = 24;
  pattern->bits = copy.bits;
  return pattern;
}

}  // namespace tessmor
