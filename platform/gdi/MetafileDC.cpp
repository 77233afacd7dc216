#include "platform/gdi/MetafileDC.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/gdi/QtDC.h"

namespace tessmor {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Length of a logical vector (x, y) after the world transform's linear part.
double WorldScale(const XFORM& w) {
  return std::sqrt(
      std::abs(static_cast<double>(w.eM11) * w.eM22 - static_cast<double>(w.eM12) * w.eM21));
}

double Distance(PointF a, PointF b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Distance of p from the line through a and b (from a when they coincide).
double DistanceFromLine(PointF p, PointF a, PointF b) {
  const double len = Distance(a, b);
  if (len == 0.0) return Distance(p, a);
  return std::abs((b.x - a.x) * (a.y - p.y) - (a.x - p.x) * (b.y - a.y)) / len;
}

void FlattenCurve(PointF p0, PointF p1, PointF p2, PointF p3, double tolerance, int depth,
                  std::vector<PointF>& out) {
  if (depth >= 16 ||
      (DistanceFromLine(p1, p0, p3) <= tolerance && DistanceFromLine(p2, p0, p3) <= tolerance)) {
    out.push_back(p3);
    return;
  }
  // De Casteljau halves.
  auto mid = [](PointF a, PointF b) { return PointF{(a.x + b.x) / 2, (a.y + b.y) / 2}; };
  const PointF a = mid(p0, p1), b = mid(p1, p2), c = mid(p2, p3);
  const PointF d = mid(a, b), e = mid(b, c);
  const PointF m = mid(d, e);
  FlattenCurve(p0, a, d, m, tolerance, depth + 1, out);
  FlattenCurve(m, e, c, p3, tolerance, depth + 1, out);
}

}  // namespace

WorldTransformDC::~WorldTransformDC() = default;

XFORM CombineTransforms(const XFORM& a, const XFORM& b) {
  XFORM r;
  r.eM11 = a.eM11 * b.eM11 + a.eM12 * b.eM21;
  r.eM12 = a.eM11 * b.eM12 + a.eM12 * b.eM22;
  r.eM21 = a.eM21 * b.eM11 + a.eM22 * b.eM21;
  r.eM22 = a.eM21 * b.eM12 + a.eM22 * b.eM22;
  r.eDx = a.eDx * b.eM11 + a.eDy * b.eM21 + b.eDx;
  r.eDy = a.eDx * b.eM12 + a.eDy * b.eM22 + b.eDy;
  return r;
}

std::int32_t RoundClamped(double v, std::int32_t lo, std::int32_t hi) {
  if (std::isnan(v)) return 0;
  const double r = std::floor(v + 0.5);
  if (r <= lo) return lo;
  if (r >= hi) return hi;
  return static_cast<std::int32_t>(r);
}

std::u16string Utf8ToUtf16(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdU16String();
}

std::string Utf16ToUtf8(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toStdString();
}

// ---- MetafileDC ------------------------------------------------------------------------------

MetafileDC::MetafileDC(int pixels_per_inch, double units_per_pixel)
    : DC(pixels_per_inch, pixels_per_inch, RECT{}),
      units_per_pixel_(units_per_pixel > 0.0 ? units_per_pixel : 1.0) {}

MetafileDC::~MetafileDC() = default;

bool MetafileDC::Invertible(const XFORM& x) {
  const double det = static_cast<double>(x.eM11) * x.eM22 - static_cast<double>(x.eM12) * x.eM21;
  return std::isfinite(det) && det != 0.0 && std::isfinite(x.eDx) && std::isfinite(x.eDy);
}

int MetafileDC::SetGraphicsMode(int mode) {
  if (mode != GM_COMPATIBLE && mode != GM_ADVANCED) return 0;
  if (mode == GM_COMPATIBLE && !(world_ == XFORM{})) return 0;
  const int previous = graphics_mode_;
  graphics_mode_ = mode;
  return previous;
}

bool MetafileDC::SetWorldTransform(const XFORM& xform) {
  if (graphics_mode_ != GM_ADVANCED || !Invertible(xform)) return false;
  world_ = xform;
  return true;
}

bool MetafileDC::ModifyWorldTransform(const XFORM& xform, int mode) {
  if (graphics_mode_ != GM_ADVANCED) return false;
  XFORM next;
  switch (mode) {
    case MWT_IDENTITY:
      break;
    case MWT_LEFTMULTIPLY:
      next = CombineTransforms(xform, world_);
      break;
    case MWT_RIGHTMULTIPLY:
      next = CombineTransforms(world_, xform);
      break;
    default:
      return false;
  }
  if (!Invertible(next)) return false;
  world_ = next;
  return true;
}

void MetafileDC::OnSaveDC(int level) { saved_.push_back({graphics_mode_, world_}); }

void MetafileDC::OnRestoreDC(int level, int popped) {
  if (level < 1 || static_cast<std::size_t>(level) > saved_.size()) return;
  graphics_mode_ = saved_[level - 1].mode;
  world_ = saved_[level - 1].world;
  saved_.resize(static_cast<std::size_t>(level - 1));
}

SIZE MetafileDC::DoGetTextExtent(std::string_view text) const {
  return QtDC::MeasureTextExtent(*this, text);
}

TEXTMETRIC MetafileDC::DoGetTextMetrics() const { return QtDC::MeasureTextMetrics(*this); }

PointF MetafileDC::ToFile(POINT p) const {
  const double x = p.x, y = p.y;
  const XFORM& w = world_;
  const double px = x * w.eM11 + y * w.eM21 + w.eDx;
  const double py = x * w.eM12 + y * w.eM22 + w.eDy;
  const MappingTransform m = GetMappingTransform();
  return {(px * m.sx + m.dx) * units_per_pixel_, (py * m.sy + m.dy) * units_per_pixel_};
}

std::vector<PointF> MetafileDC::RectCorners(const RECT& r) const {
  return {ToFile({r.left, r.top}), ToFile({r.right, r.top}), ToFile({r.right, r.bottom}),
          ToFile({r.left, r.bottom})};
}

bool MetafileDC::TransformKeepsAxes() const { return world_.eM12 == 0.0f && world_.eM21 == 0.0f; }

double MetafileDC::LengthToFile(double logical) const {
  return std::abs(logical * GetMappingTransform().sx) * WorldScale(world_) * units_per_pixel_;
}

double MetafileDC::PenWidthPixels() const {
  const Pen& pen = state().pen;
  if ((pen.style & PS_STYLE_MASK) == PS_NULL) return 0.0;
  if (pen.width == 0) return 1.0;
  return std::max(1.0, LengthToFile(pen.width) / units_per_pixel_);
}

bool MetafileDC::PenIsGeometric() const {
  return (state().pen.style & PS_TYPE_MASK) == PS_GEOMETRIC;
}

std::vector<double> MetafileDC::DashPattern(std::uint32_t style, bool geometric) {
  switch (style & PS_STYLE_MASK) {
    case PS_DASH:
      return geometric ? std::vector<double>{3, 1} : std::vector<double>{18, 6};
    case PS_DOT:
      return geometric ? std::vector<double>{1, 1} : std::vector<double>{3, 3};
    case PS_DASHDOT:
      return geometric ? std::vector<double>{3, 1, 1, 1} : std::vector<double>{9, 6, 3, 6};
    case PS_DASHDOTDOT:
      return geometric ? std::vector<double>{3, 1, 1, 1, 1, 1}
                       : std::vector<double>{9, 3, 3, 3, 3, 3};
    case 8:  // PS_ALTERNATE: every other pixel
      return {1, 1};
    default:
      return {};
  }
}

std::vector<double> MetafileDC::PenDashes() const {
  const double width = PenWidthPixels();
  if (width <= 0.0) return {};
  const bool geometric = PenIsGeometric();
  if (!geometric && width > 1.0) return {};
  std::vector<double> dashes = DashPattern(state().pen.style, geometric);
  for (double& d : dashes) d *= (geometric ? width : 1.0) * units_per_pixel_;
  return dashes;
}

LOGFONT MetafileDC::FileFont() const {
  LOGFONT f = state().font;
  const MappingTransform m = GetMappingTransform();
  const double scale = WorldScale(world_) * units_per_pixel_;
  // Whole device pixels first, as a QtDC sizes its fonts; 0 asks for 12 points.
  const double pixels = f.lfHeight == 0
                            ? std::floor(12.0 * GetPixelsPerInchY() / 72.0 + 0.5)
                            : std::max(1.0, std::floor(std::abs(f.lfHeight * m.sy) + 0.5));
  const std::int32_t height = RoundClamped(pixels * scale, 1, 1 << 24);
  f.lfHeight = f.lfHeight > 0 ? height : -height;
  f.lfWidth = RoundClamped(std::abs(f.lfWidth * m.sx) * scale, 0, 1 << 24);

  // The baseline as seen on the page: the unturned baseline at the escapement's angle,
  // back in logical units, through the world transform and the mapping again.
  const double a = f.lfEscapement * kPi / 1800.0;
  const double lx = std::cos(a) / m.sx, ly = -std::sin(a) / m.sy;
  const XFORM& w = world_;
  const double px = lx * w.eM11 + ly * w.eM21, py = lx * w.eM12 + ly * w.eM22;
  const double dx = px * m.sx, dy = py * m.sy;
  double tenths = std::atan2(-dy, dx) * 1800.0 / kPi;
  tenths = std::fmod(std::floor(tenths + 0.5) + 3600.0, 3600.0);
  f.lfEscapement = f.lfOrientation = static_cast<std::int32_t>(tenths);
  return f;
}

std::vector<double> MetafileDC::TextAdvances(const std::u16string& text, double* total) const {
  const QFont font = QtDC::MakeFont(*this);
  const QFontMetricsF fm(font);
  const double scale = WorldScale(world_) * units_per_pixel_;
  std::vector<double> advances(text.size(), 0.0);
  double before = 0.0;
  std::size_t start = 0;  // first unit of the character being measured
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size();
    if (high) continue;  // measured with its low half
    const double after =
        fm.horizontalAdvance(QString::fromUtf16(text.data(), static_cast<qsizetype>(i + 1)));
    advances[start] = (after - before) * scale;
    before = after;
    start = i + 1;
  }
  // The whole advance in whole pixels, as a QtDC places aligned text.
  if (total) *total = std::floor(before + 0.5) * scale;
  return advances;
}

std::vector<PointF> MetafileDC::TextBox(POINT at, std::string_view text) const {
  const QFont font = QtDC::MakeFont(*this);
  const QFontMetricsF fm(font);
  const double scale = WorldScale(world_) * units_per_pixel_;
  const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const double advance = std::floor(fm.horizontalAdvance(s) + 0.5);
  const double ascent = std::floor(fm.ascent() + 0.5), descent = std::floor(fm.descent() + 0.5);
  const std::uint32_t align = state().text_align;
  double x = 0.0;
  if ((align & TA_HORZ_MASK) == TA_CENTER) x = -advance / 2.0;
  if ((align & TA_HORZ_MASK) == TA_RIGHT) x = -advance;
  double baseline = 0.0;
  if ((align & TA_VERT_MASK) == TA_TOP) baseline = ascent;
  if ((align & TA_VERT_MASK) == TA_BOTTOM) baseline = -descent;

  const PointF ref = ToFile(at);
  const double a = FileFont().lfEscapement * kPi / 1800.0;
  const double c = std::cos(a), s_ = std::sin(a);
  // Along the baseline u, downwards on the unturned text v; turned counter-clockwise as seen.
  auto place = [&](double u, double v) {
    u *= scale;
    v *= scale;
    return PointF{ref.x + u * c + v * s_, ref.y - u * s_ + v * c};
  };
  const double top = baseline - ascent, bottom = baseline + descent;
  return {place(x, top), place(x + advance, top), place(x + advance, bottom), place(x, bottom)};
}

void MetafileDC::IncludeInBounds(const std::vector<PointF>& points, double margin) {
  for (const PointF& p : points) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
    if (!has_bounds_) {
      min_x_ = max_x_ = p.x;
      min_y_ = max_y_ = p.y;
      has_bounds_ = true;
    }
    min_x_ = std::min(min_x_, p.x - margin);
    min_y_ = std::min(min_y_, p.y - margin);
    max_x_ = std::max(max_x_, p.x + margin);
    max_y_ = std::max(max_y_, p.y + margin);
  }
}

std::optional<RECT> MetafileDC::DrawnBounds() const {
  if (!has_bounds_) return std::nullopt;
  constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t hi = std::numeric_limits<std::int32_t>::max();
  return RECT{RoundClamped(std::floor(min_x_), lo, hi), RoundClamped(std::floor(min_y_), lo, hi),
              RoundClamped(std::ceil(max_x_), lo, hi), RoundClamped(std::ceil(max_y_), lo, hi)};
}

std::vector<PointF> MetafileDC::FlattenBeziers(const std::vector<PointF>& points,
                                               double tolerance) {
  std::vector<PointF> out;
  if (points.empty()) return out;
  out.push_back(points[0]);
  for (std::size_t i = 1; i + 2 < points.size(); i += 3) {
    FlattenCurve(points[i - 1], points[i], points[i + 1], points[i + 2], tolerance, 0, out);
  }
  return out;
}

std::vector<RECT> MetafileDC::RegionToFile(const Region& logical) const {
  return DeviceRegionToFile(RegionToDevice(*this, logical));
}

std::vector<RECT> MetafileDC::DeviceRegionToFile(const Region& device) const {
  std::vector<RECT> rects = device.GetRects();
  constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t hi = std::numeric_limits<std::int32_t>::max();
  for (RECT& r : rects) {
    r = {RoundClamped(r.left * units_per_pixel_, lo, hi),
         RoundClamped(r.top * units_per_pixel_, lo, hi),
         RoundClamped(r.right * units_per_pixel_, lo, hi),
         RoundClamped(r.bottom * units_per_pixel_, lo, hi)};
  }
  return rects;
}

Region MetafileDC::FrameOf(const Region& logical, SIZE size) const {
  const Region device = RegionToDevice(*this, logical);
  const SIZE d = SizeLPtoDP(size);
  const std::int32_t w = std::max(1, d.cx), h = std::max(1, d.cy);
  // The inside: what stays covered when the region is moved by the frame size either way.
  Region inside = device;
  for (const POINT shift : {POINT{w, 0}, POINT{-w, 0}, POINT{0, h}, POINT{0, -h}}) {
    Region moved = device;
    moved.Offset(shift.x, shift.y);
    inside = inside.Intersected(moved);
  }
  return device.Subtracted(inside);
}

LOGFONT MetafileDC::FontToWrite() const {
  LOGFONT f = FileFont();
  if (f.lfFaceName[0] == '\0') {
    const std::string family = QFontInfo(QtDC::MakeFont(*this)).family().toStdString();
    SetFaceName(f, family.c_str());
  }
  return f;
}

void MetafileDC::WriteChangedTextModes(const TextModeRecords& write) {
  const DCState& s = state();
  if (written_text_color_ != s.text_color) {
    write.text_color(s.text_color);
    written_text_color_ = s.text_color;
  }
  if (written_bk_color_ != s.bk_color) {
    write.bk_color(s.bk_color);
    written_bk_color_ = s.bk_color;
  }
  if (written_bk_mode_ != s.bk_mode) {
    write.bk_mode(s.bk_mode);
    written_bk_mode_ = s.bk_mode;
  }
  const std::uint32_t align = s.text_align & ~TA_UPDATECP;
  if (written_align_ != align) {
    write.align(align);
    written_align_ = align;
  }
}

void MetafileDC::ForgetTextModes() {
  written_text_color_.reset();
  written_bk_color_.reset();
  written_bk_mode_.reset();
  written_align_.reset();
}

}  // namespace tessmor
