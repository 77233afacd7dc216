#include "platform/gdi/EnhMetafile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <optional>
#include <variant>

#include "platform/gdi/DC.h"
#include "platform/gdi/MetafileDC.h"
#include "platform/io/Archive.h"
#include "platform/io/FileError.h"

namespace tessmor {

namespace {

// EMF record types this program reads.
enum : std::uint32_t {
  kHeader = 1,
  kPolyBezier = 2,
  kPolygon = 3,
  kPolyline = 4,
  kPolyBezierTo = 5,
  kPolylineTo = 6,
  kPolyPolyline = 7,
  kPolyPolygon = 8,
  kEof = 14,
  kSetBkMode = 18,
  kSetPolyFillMode = 19,
  kSetRop2 = 20,
  kSetTextAlign = 22,
  kSetTextColor = 24,
  kSetBkColor = 25,
  kMoveToEx = 27,
  kSaveDC = 33,
  kRestoreDC = 34,
  kSelectObject = 37,
  kCreatePen = 38,
  kCreateBrushIndirect = 39,
  kDeleteObject = 40,
  kEllipse = 42,
  kRectangle = 43,
  kLineTo = 54,
  kBeginPath = 59,
  kEndPath = 60,
  kCloseFigure = 61,
  kFillPath = 62,
  kStrokeAndFillPath = 63,
  kStrokePath = 64,
  kAbortPath = 68,
  kFillRgn = 71,
  kInvertRgn = 73,
  kExtSelectClipRgn = 75,
  kExtCreateFontIndirectW = 82,
  kExtTextOutW = 84,
  kPolyBezier16 = 85,
  kPolygon16 = 86,
  kPolyline16 = 87,
  kPolyBezierTo16 = 88,
  kPolylineTo16 = 89,
  kPolyPolyline16 = 90,
  kPolyPolygon16 = 91,
  kCreateDibPatternBrushPt = 94,
  kExtCreatePen = 95,
};

constexpr std::uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr std::uint32_t kStockObject = 0x80000000;
constexpr std::uint32_t kUserStyle = 7;

// One record; every read is checked against its length, and a read outside it gives 0 and
// marks the record bad.
class Record {
 public:
  Record(const std::uint8_t* data, std::uint32_t size) : data_(data), size_(size) {}
  std::uint32_t size() const { return size_; }
  bool Has(std::uint64_t offset, std::uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  std::uint32_t U32(std::uint64_t offset) const {
    if (!Has(offset, 4)) {
      bad_ = true;
      return 0;
    }
    const std::uint8_t* p = data_ + offset;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  }
  std::int32_t I32(std::uint64_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
  std::uint16_t U16(std::uint64_t offset) const {
    if (!Has(offset, 2)) {
      bad_ = true;
      return 0;
    }
    return static_cast<std::uint16_t>(data_[offset] | (data_[offset + 1] << 8));
  }
  std::int16_t I16(std::uint64_t offset) const { return static_cast<std::int16_t>(U16(offset)); }
  const std::uint8_t* Bytes(std::uint64_t offset, std::uint64_t length) const {
    if (!Has(offset, length)) {
      bad_ = true;
      return nullptr;
    }
    return data_ + offset;
  }
  bool bad() const { return bad_; }

 private:
  const std::uint8_t* data_;
  std::uint32_t size_;
  mutable bool bad_ = false;
};

RECT ReadRect(const Record& r, std::uint64_t offset) {
  return {r.I32(offset), r.I32(offset + 4), r.I32(offset + 8), r.I32(offset + 12)};
}

// `count` points at `offset`, 32-bit pairs or (`small`) 16-bit pairs; nothing when they do
// not fit the record.
std::vector<POINT> ReadPoints(const Record& r, std::uint64_t offset, std::uint64_t count,
                              bool small) {
  const std::uint64_t each = small ? 4 : 8;
  if (!r.Has(offset, count * each)) return {};
  std::vector<POINT> pts(static_cast<std::size_t>(count));
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint64_t at = offset + i * each;
    pts[i] = small ? POINT{r.I16(at), r.I16(at + 2)} : POINT{r.I32(at), r.I32(at + 4)};
  }
  return pts;
}

// A region's rectangles from RGNDATA at `offset`, at most `length` bytes.
Region ReadRegion(const Record& r, std::uint64_t offset, std::uint64_t length) {
  if (length < 32 || !r.Has(offset, length)) return Region();
  const std::uint64_t count = r.U32(offset + 8);
  if (count > (length - 32) / 16) return Region();
  std::vector<RECT> rects;
  for (std::uint64_t i = 0; i < count; ++i) rects.push_back(ReadRect(r, offset + 32 + 16 * i));
  return Region::FromRects(rects);
}

COLORREF ReadColor(const Record& r, std::uint64_t offset) { return r.U32(offset) & 0xFFFFFFu; }

// The dash style whose pattern, in pen widths, the user-styled dash lengths follow: a
// geometric pattern, or a cosmetic one-pixel pen's (whose width is one pixel).
std::optional<std::pair<std::uint32_t, bool>> MatchDashes(const std::vector<double>& ratios) {
  for (bool geometric : {true, false}) {
    for (std::uint32_t style : {PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT}) {
      const std::vector<double> pattern = MetafileDC::DashPattern(style, geometric);
      if (pattern.size() != ratios.size()) continue;
      bool same = true;
      for (std::size_t i = 0; i < pattern.size() && same; ++i) {
        same = std::abs(ratios[i] - pattern[i]) <= 0.05 * pattern[i] + 0.01;
      }
      if (same) return std::make_pair(style, geometric);
    }
  }
  return std::nullopt;
}

using Object = std::variant<Pen, Brush, LOGFONT>;

class Player {
 public:
  explicit Player(DC& dc) : dc_(dc) {}
  void Play(std::uint32_t type, const Record& r);

 private:
  void PolyPoints(std::uint32_t type, const Record& r, bool small);
  void PolyPoly(bool polygon, const Record& r, bool small);
  void Select(std::uint32_t handle);
  Pen ExtPen(const Record& r);
  Brush PatternBrush(const Record& r);
  void ClipRegion(const Record& r);

  DC& dc_;
  std::map<std::uint32_t, Object> objects_;
};

void Player::PolyPoints(std::uint32_t type, const Record& r, bool small) {
  const std::vector<POINT> pts = ReadPoints(r, 28, r.U32(24), small);
  if (pts.empty()) return;
  const int n = static_cast<int>(std::min<std::size_t>(pts.size(), 1u << 30));
  switch (type) {
    case kPolyBezier:
      dc_.PolyBezier(pts.data(), n);
      break;
    case kPolygon:
      dc_.Polygon(pts.data(), n);
      break;
    case kPolyline:
      dc_.Polyline(pts.data(), n);
      break;
    case kPolyBezierTo:
      dc_.PolyBezierTo(pts.data(), n);
      break;
    case kPolylineTo:
      dc_.PolylineTo(pts.data(), n);
      break;
    default:
      break;
  }
}

void Player::PolyPoly(bool polygon, const Record& r, bool small) {
  const std::uint64_t polys = r.U32(24), total = r.U32(28);
  if (!r.Has(32, polys * 4)) return;
  const std::vector<POINT> pts = ReadPoints(r, 32 + polys * 4, total, small);
  if (pts.empty()) return;
  // Polygons of one record fill together, as one path.
  const bool own_path = polygon && !dc_.IsPathOpen();
  if (own_path) dc_.BeginPath();
  std::uint64_t at = 0;
  for (std::uint64_t i = 0; i < polys; ++i) {
    const std::uint64_t n = r.U32(32 + i * 4);
    if (n > total - at) break;
    const POINT* p = pts.data() + at;
    if (polygon) {
      dc_.Polygon(p, static_cast<int>(n));
    } else {
      dc_.Polyline(p, static_cast<int>(n));
    }
    at += n;
  }
  if (own_path) {
    dc_.EndPath();
    dc_.StrokeAndFillPath();
  }
}

void Player::Select(std::uint32_t handle) {
  if (handle & kStockObject) {
    Brush b;
    switch (handle & ~kStockObject) {
      case 0:  // white brush
        b.color = RGB(255, 255, 255);
        dc_.SelectBrush(b);
        break;
      case 4:  // black brush
        b.color = 0;
        dc_.SelectBrush(b);
        break;
      case 5:  // null brush
        b.style = BS_NULL;
        dc_.SelectBrush(b);
        break;
      case 6:  // white pen
        dc_.SelectPen(Pen{PS_SOLID, 0, RGB(255, 255, 255)});
        break;
      case 7:  // black pen
        dc_.SelectPen(Pen{PS_SOLID, 0, 0});
        break;
      case 8:  // null pen
        dc_.SelectPen(Pen{PS_NULL, 0, 0});
        break;
      default:
        break;
    }
    return;
  }
  auto it = objects_.find(handle);
  if (it == objects_.end()) return;
  if (const Pen* pen = std::get_if<Pen>(&it->second)) dc_.SelectPen(*pen);
  if (const Brush* brush = std::get_if<Brush>(&it->second)) dc_.SelectBrush(*brush);
  if (const LOGFONT* font = std::get_if<LOGFONT>(&it->second)) dc_.SelectFont(*font);
}

Pen Player::ExtPen(const Record& r) {
  Pen pen;
  const std::uint32_t style = r.U32(28);
  pen.width = static_cast<std::int32_t>(std::min<std::uint32_t>(r.U32(32), 1u << 30));
  pen.color = ReadColor(r, 40);
  pen.style = style;
  if ((style & PS_STYLE_MASK) == kUserStyle) {
    const std::uint64_t n = r.U32(48);
    std::vector<double> ratios;
    if (n <= 16 && r.Has(52, n * 4) && pen.width > 0) {
      for (std::uint64_t i = 0; i < n; ++i) ratios.push_back(r.U32(52 + 4 * i) / double(pen.width));
    }
    pen.style = style & ~PS_STYLE_MASK;  // solid unless the dashes are ours
    if (auto match = MatchDashes(ratios)) {
      pen.style = match->second ? (pen.style | match->first) : match->first;
    }
  }
  return pen;
}

Brush Player::PatternBrush(const Record& r) {
  Brush brush;
  brush.style = BS_NULL;
  const std::uint64_t off_bmi = r.U32(16), cb_bmi = r.U32(20);
  const std::uint64_t off_bits = r.U32(24), cb_bits = r.U32(28);
  if (cb_bmi < 40 || !r.Has(off_bmi, cb_bmi) || !r.Has(off_bits, cb_bits)) return brush;
  auto pattern = std::make_shared<DIBPattern>();
  pattern->width = r.I32(off_bmi + 4);
  pattern->height = r.I32(off_bmi + 8);
  pattern->bit_count = r.U16(off_bmi + 14);
  if (r.U32(off_bmi + 16) != 0) return brush;  // compressed
  const std::uint64_t colours = std::min<std::uint64_t>((cb_bmi - 40) / 4, 256);
  for (std::uint64_t i = 0; i < colours; ++i)
    pattern->colors.push_back([&] {
      const std::uint32_t q = r.U32(off_bmi + 40 + 4 * i);  // blue, green, red, 0
      return RGB((q >> 16) & 0xFF, (q >> 8) & 0xFF, q & 0xFF);
    }());
  const std::uint8_t* bits = r.Bytes(off_bits, cb_bits);
  if (bits) pattern->bits.assign(bits, bits + cb_bits);
  if (!pattern->IsValid()) return brush;
  brush.style = BS_DIBPATTERNPT;
  brush.pattern = std::move(pattern);
  return brush;
}

void Player::ClipRegion(const Record& r) {
  const std::uint64_t length = r.U32(8);
  const std::uint32_t mode = r.U32(12);
  if (length == 0) {
    if (mode == 5) dc_.SelectClipRgn(nullptr);  // RGN_COPY of nothing lifts the clip
    return;
  }
  Region device = RegionToDevice(dc_, ReadRegion(r, 16, length));
  if (mode == RGN_AND && dc_.state().has_clip) device = device.Intersected(dc_.state().clip);
  dc_.SelectClipRgn(&device);
}

void Player::Play(std::uint32_t type, const Record& r) {
  switch (type) {
    case kPolyBezier:
    case kPolygon:
    case kPolyline:
    case kPolyBezierTo:
    case kPolylineTo:
      PolyPoints(type, r, false);
      break;
    case kPolyBezier16:
    case kPolygon16:
    case kPolyline16:
    case kPolyBezierTo16:
    case kPolylineTo16:
      PolyPoints(type - (kPolyBezier16 - kPolyBezier), r, true);
      break;
    case kPolyPolyline:
    case kPolyPolygon:
      PolyPoly(type == kPolyPolygon, r, false);
      break;
    case kPolyPolyline16:
    case kPolyPolygon16:
      PolyPoly(type == kPolyPolygon16, r, true);
      break;
    case kSetBkMode:
      dc_.SetBkMode(r.I32(8));
      break;
    case kSetPolyFillMode:
      dc_.SetPolyFillMode(r.I32(8));
      break;
    case kSetRop2:
      dc_.SetROP2(r.I32(8));
      break;
    case kSetTextAlign:
      dc_.SetTextAlign(r.U32(8));
      break;
    case kSetTextColor:
      dc_.SetTextColor(ReadColor(r, 8));
      break;
    case kSetBkColor:
      dc_.SetBkColor(ReadColor(r, 8));
      break;
    case kMoveToEx:
      dc_.MoveTo(r.I32(8), r.I32(12));
      break;
    case kLineTo:
      dc_.LineTo(r.I32(8), r.I32(12));
      break;
    case kSaveDC:
      dc_.SaveDC();
      break;
    case kRestoreDC:
      dc_.RestoreDC(r.I32(8));
      break;
    case kSelectObject:
      Select(r.U32(8));
      break;
    case kDeleteObject:
      objects_.erase(r.U32(8));
      break;
    case kCreatePen:
      objects_[r.U32(8)] = Pen{r.U32(12), std::clamp(r.I32(16), 0, 1 << 30), ReadColor(r, 24)};
      break;
    case kExtCreatePen:
      objects_[r.U32(8)] = ExtPen(r);
      break;
    case kCreateBrushIndirect: {
      Brush b;
      b.style = r.U32(12);
      b.color = ReadColor(r, 16);
      b.hatch = r.I32(20);
      objects_[r.U32(8)] = b;
      break;
    }
    case kCreateDibPatternBrushPt:
      objects_[r.U32(8)] = PatternBrush(r);
      break;
    case kExtCreateFontIndirectW: {
      if (!r.Has(12, 92)) break;
      LOGFONT f;
      f.lfHeight = r.I32(12);
      f.lfWidth = r.I32(16);
      f.lfEscapement = r.I32(20);
      f.lfOrientation = r.I32(24);
      f.lfWeight = r.I32(28);
      const std::uint8_t* b = r.Bytes(32, 8);
      f.lfItalic = b[0];
      f.lfUnderline = b[1];
      f.lfStrikeOut = b[2];
      f.lfCharSet = b[3];
      f.lfOutPrecision = b[4];
      f.lfClipPrecision = b[5];
      f.lfQuality = b[6];
      f.lfPitchAndFamily = b[7];
      std::u16string face;
      for (int i = 0; i < 32; ++i) {
        const char16_t c = r.U16(40 + 2 * i);
        if (c == 0) break;
        face.push_back(c);
      }
      SetFaceName(f, Utf16ToUtf8(face).c_str());
      objects_[r.U32(8)] = f;
      break;
    }
    case kRectangle: {
      const RECT b = ReadRect(r, 8);
      dc_.Rectangle(b.left, b.top, b.right, b.bottom);
      break;
    }
    case kEllipse: {
      const RECT b = ReadRect(r, 8);
      dc_.Ellipse(b.left, b.top, b.right, b.bottom);
      break;
    }
    case kBeginPath:
      dc_.BeginPath();
      break;
    case kEndPath:
      dc_.EndPath();
      break;
    case kCloseFigure:
      dc_.CloseFigure();
      break;
    case kAbortPath:
      dc_.AbortPath();
      break;
    case kStrokePath:
      dc_.StrokePath();
      break;
    case kFillPath:
      dc_.FillPath();
      break;
    case kStrokeAndFillPath:
      dc_.StrokeAndFillPath();
      break;
    case kExtTextOutW: {
      const std::uint64_t n = r.U32(44), offset = r.U32(48);
      if (!r.Has(offset, n * 2)) break;
      std::u16string text;
      for (std::uint64_t i = 0; i < n; ++i) text.push_back(r.U16(offset + 2 * i));
      dc_.TextOut(r.I32(36), r.I32(40), Utf16ToUtf8(text));
      break;
    }
    case kExtSelectClipRgn:
      ClipRegion(r);
      break;
    case kInvertRgn:
      dc_.InvertRgn(ReadRegion(r, 28, r.U32(24)));
      break;
    case kFillRgn: {
      auto it = objects_.find(r.U32(28));
      if (it != objects_.end() && std::holds_alternative<Brush>(it->second)) {
        dc_.FillRgn(ReadRegion(r, 32, r.U32(24)), std::get<Brush>(it->second));
      }
      break;
    }
    default:
      break;
  }
}

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

}  // namespace

EnhMetafile::EnhMetafile(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {
  // The header record: type 1, at least up to the reference device's size, the signature.
  if (bytes_.size() < 88) return;
  const Record r(bytes_.data(), static_cast<std::uint32_t>(std::min<std::size_t>(
                                    bytes_.size(), std::numeric_limits<std::uint32_t>::max())));
  const std::uint32_t size = r.U32(4);
  if (r.U32(0) != kHeader || size < 88 || size % 4 != 0 || size > bytes_.size()) return;
  if (r.U32(40) != kSignature) return;
  const Record h(bytes_.data(), size);
  EmfHeaderInfo info;
  info.bounds = ReadRect(h, 8);
  info.frame = ReadRect(h, 24);
  info.records = h.U32(52);
  info.handles = h.U16(56);
  info.device = {h.I32(72), h.I32(76)};
  info.millimetres = {h.I32(80), h.I32(84)};
  const std::uint64_t n = h.U32(60), offset = h.U32(64);
  if (n > 0 && h.Has(offset, n * 2)) {
    for (std::uint64_t i = 0; i < n; ++i) info.description.push_back(h.U16(offset + 2 * i));
  }
  header_ = info;
}

std::optional<EnhMetafile> EnhMetafile::Load(const std::string& path) {
  try {
    EnhMetafile m(ReadWholeFile(path));
    if (!m.IsValid()) return std::nullopt;
    return m;
  } catch (const FileException&) {
    return std::nullopt;
  }
}

bool EnhMetafile::Save(const std::string& path) const {
  if (!IsValid()) return false;
  try {
    WriteFileReplacing(path, bytes_);
    return true;
  } catch (const FileException&) {
    return false;
  }
}

std::vector<std::uint32_t> EnhMetafile::RecordTypes() const {
  std::vector<std::uint32_t> types;
  std::size_t at = 0;
  while (bytes_.size() >= 8 && at <= bytes_.size() - 8) {
    const std::uint32_t type = Le32(bytes_, at), size = Le32(bytes_, at + 4);
    if (size < 8 || size % 4 != 0 || size > bytes_.size() - at) break;
    types.push_back(type);
    at += size;
  }
  return types;
}

bool EnhMetafile::Play(DC& dc) const {
  if (!IsValid()) return false;
  Player player(dc);
  std::size_t at = 0;
  while (at <= bytes_.size() - 8) {
    const std::uint32_t type = Le32(bytes_, at), size = Le32(bytes_, at + 4);
    if (size < 8 || size % 4 != 0 || size > bytes_.size() - at) break;
    if (type == kEof) break;
    const Record r(bytes_.data() + at, size);
    player.Play(type, r);
    at += size;
  }
  return true;
}

}  // namespace tessmor
