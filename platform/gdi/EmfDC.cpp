#include "platform/gdi/EmfDC.h"

#include <uemf.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>

#include "platform/gdi/UemfBrush.h"

namespace tessmor {

namespace {

using namespace uemf_brush;

constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();
// The reference device's size: 40 inches square, so that its size in units is a whole number
// at any pixels per inch.
constexpr std::int32_t kReferenceMillimetres = 1016;

U_POINTL ToPointL(PointF p) {
  return point32_set(RoundClamped(p.x, kMin32, kMax32), RoundClamped(p.y, kMin32, kMax32));
}

// The bounds of `points` with `margin` around them, right and bottom inclusive.
U_RECTL BoundsOf(const std::vector<PointF>& points, double margin) {
  if (points.empty()) return U_RCL_DEF;
  double x0 = points[0].x, y0 = points[0].y, x1 = x0, y1 = y0;
  for (const PointF& p : points) {
    x0 = std::min(x0, p.x);
    y0 = std::min(y0, p.y);
    x1 = std::max(x1, p.x);
    y1 = std::max(y1, p.y);
  }
  return U_RECTL{RoundClamped(std::floor(x0 - margin), kMin32, kMax32),
                 RoundClamped(std::floor(y0 - margin), kMin32, kMax32),
                 RoundClamped(std::ceil(x1 + margin), kMin32, kMax32),
                 RoundClamped(std::ceil(y1 + margin), kMin32, kMax32)};
}

// A region's rectangles (metafile units) as RGNDATA; the caller frees it.
PU_RGNDATA MakeRegionData(const std::vector<RECT>& rects) {
  std::vector<U_RECTL> list;
  U_RECTL bound{0, 0, 0, 0};
  for (const RECT& r : rects) {
    const U_RECTL u{r.left, r.top, r.right, r.bottom};
    if (list.empty()) {
      bound = u;
    } else {
      bound.left = std::min(bound.left, u.left);
      bound.top = std::min(bound.top, u.top);
      bound.right = std::max(bound.right, u.right);
      bound.bottom = std::max(bound.bottom, u.bottom);
    }
    list.push_back(u);
  }
  return rgndata_set(rgndataheader_set(static_cast<U_NUM_RECTL>(list.size()), bound),
                     list.empty() ? nullptr : list.data());
}

// The mean colour of a valid pattern's pixels.
COLORREF MeanColour(const DIBPattern& p) {
  double r = 0, g = 0, b = 0;
  const std::int32_t w = p.width, h = std::abs(p.height);
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x) {
      const COLORREF c = p.PixelAt(x, y);
      r += GetRValue(c);
      g += GetGValue(c);
      b += GetBValue(c);
    }
  }
  const double n = static_cast<double>(w) * h;
  const auto mean = [n](double v) { return static_cast<std::uint8_t>(std::lround(v / n)); };
  return RGB(mean(r), mean(g), mean(b));
}

}  // namespace

struct EmfDC::Writer {
  EMFTRACK* track = nullptr;
  EMFHANDLES* handles = nullptr;
  std::uint32_t pen = 0, brush = 0, font = 0;
  // With a pattern brush: a solid brush of the pattern's mean colour, drawn under every
  // pattern-filled shape (0 when there is none).
  std::uint32_t underlay = 0;

  ~Writer() {
    if (track) emf_free(&track);
    if (handles) emf_htable_free(&handles);
  }
};

EmfDC::EmfDC(int pixels_per_inch, std::string_view description, std::optional<RECT> frame)
    : MetafileDC(pixels_per_inch, kUnitsPerPixel), frame_(frame) {
  description_ = Utf8ToUtf16(description);
  auto w = std::make_unique<Writer>();
  // libUEMF opens the named file at once and writes it only when asked to; this writer
  // keeps the records in memory, so the file is closed straight away.
  if (emf_start("/dev/null", 1 << 16, 1 << 16, &w->track) != 0 || !w->track) return;
  if (w->track->fp) {
    std::fclose(w->track->fp);
    w->track->fp = nullptr;
  }
  if (emf_htable_create(128, 128, &w->handles) != 0) return;

  const std::int32_t ppi = GetPixelsPerInchX();
  const U_SIZEL millimetres{kReferenceMillimetres, kReferenceMillimetres};
  const std::int32_t units = kReferenceMillimetres * 10 / 254 * ppi * kUnitsPerPixel;
  const U_SIZEL device{units, units};
  // Bounds and frame are known only at the end; Close() fills them in.
  std::vector<std::uint16_t> desc(description_.begin(), description_.end());
  char* header = U_EMRHEADER_set(U_RCL_DEF, U_RCL_DEF, nullptr, static_cast<U_CBSTR>(desc.size()),
                                 desc.empty() ? nullptr : desc.data(), device, millimetres, 0);
  if (!header || emf_append(reinterpret_cast<PU_ENHMETARECORD>(header), w->track, 1) != 0) return;
  writer_ = std::move(w);
}

EmfDC::~EmfDC() = default;

bool EmfDC::Drawing() const { return writer_ != nullptr; }

bool EmfDC::Nop() const { return state().rop2 == R2_NOP; }

bool EmfDC::Append(char* record) {
  if (!writer_ || !record) {
    std::free(record);
    return false;
  }
  return emf_append(reinterpret_cast<PU_ENHMETARECORD>(record), writer_->track, 1) == 0;
}

std::vector<PointF> EmfDC::ToFile(const POINT* points, int count) const {
  std::vector<PointF> out;
  out.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) out.push_back(MetafileDC::ToFile(points[i]));
  return out;
}

// ---- Objects and modes -----------------------------------------------------------------------

void EmfDC::SyncPen(bool null_pen) {
  const double width_px = null_pen ? 0.0 : PenWidthPixels();
  PenKey key;
  key.color = state().pen.color;
  if (width_px <= 0.0) {
    key.style = PS_NULL;
    key.width = 0;
  } else {
    key.width = RoundClamped(width_px * UnitsPerPixel(), 1, kMax32);
    for (double d : PenDashes())
      key.dashes.push_back(static_cast<std::uint32_t>(RoundClamped(d, 1, kMax32)));
    const bool geometric = PenIsGeometric();
    if (geometric || !key.dashes.empty()) {
      key.style = PS_GEOMETRIC | (key.dashes.empty() ? PS_SOLID : U_PS_USERSTYLE);
      // A cosmetic one-pixel pen's dashes end square, as the desktop draws them.
      key.style |= geometric ? (state().pen.style & (PS_ENDCAP_MASK | PS_JOIN_MASK))
                             : (PS_ENDCAP_FLAT | PS_JOIN_MITER);
    } else {
      key.style = PS_SOLID;
    }
  }
  if (written_pen_ && *written_pen_ == key) return;

  std::uint32_t handle = 0;
  char* record = nullptr;
  if ((key.style & PS_TYPE_MASK) == PS_GEOMETRIC) {
    std::vector<U_STYLEENTRY> entries(key.dashes.begin(), key.dashes.end());
    PU_EXTLOGPEN elp = extlogpen_set(
        key.style, static_cast<std::uint32_t>(key.width), U_BS_SOLID, ToColorRef(key.color), 0,
        static_cast<U_NUM_STYLEENTRY>(entries.size()), entries.empty() ? nullptr : entries.data());
    if (elp) record = extcreatepen_set(&handle, writer_->handles, nullptr, 0, nullptr, elp);
    std::free(elp);
  } else {
    record = createpen_set(
        &handle, writer_->handles,
        logpen_set(key.style, point32_set(key.width, key.width), ToColorRef(key.color)));
  }
  if (!Append(record)) return;
  Append(selectobject_set(handle, writer_->handles));
  if (writer_->pen) Append(deleteobject_set(&writer_->pen, writer_->handles));
  writer_->pen = handle;
  written_pen_ = key;
}

void EmfDC::SyncBrush(const Brush& brush) {
  if (written_brush_ && *written_brush_ == brush) return;
  std::uint32_t handle = 0;
  char* record = nullptr;
  const bool valid_pattern = HasPattern(brush);
  if (valid_pattern) {
    const PatternInfo p = MakePatternInfo(*brush.pattern);
    if (p.info) {
      record = createdibpatternbrushpt_set(&handle, writer_->handles, U_DIB_RGB_COLORS,
                                           p.info.get(), p.bytes, p.bits);
    }
  } else {
    record = createbrushindirect_set(
        &handle, writer_->handles,
        logbrush_set(LogBrushStyle(brush), ToColorRef(brush.color), LogBrushHatch(brush)));
  }
  if (!Append(record)) return;
  Append(selectobject_set(handle, writer_->handles));
  if (writer_->brush) Append(deleteobject_set(&writer_->brush, writer_->handles));
  if (writer_->underlay) Append(deleteobject_set(&writer_->underlay, writer_->handles));
  writer_->brush = handle;
  writer_->underlay = 0;
  written_brush_ = brush;
  if (valid_pattern) {
    // Readers that cannot tile a pattern (LibreOffice fills it with the last solid brush it
    // drew with) then show its mean colour; the others paint the pattern over it.
    std::uint32_t underlay = 0;
    if (Append(createbrushindirect_set(
            &underlay, writer_->handles,
            logbrush_set(U_BS_SOLID, ToColorRef(MeanColour(*brush.pattern)), 0)))) {
      writer_->underlay = underlay;
    }
  }
}

bool EmfDC::AppendFilled(const std::function<char*()>& make) {
  if (writer_ && writer_->underlay && !IsPathOpen()) {
    Append(selectobject_set(writer_->underlay, writer_->handles));
    Append(make());
    Append(selectobject_set(writer_->brush, writer_->handles));
  }
  return Append(make());
}

void EmfDC::SyncFont() {
  const LOGFONT f = FontToWrite();
  if (written_font_ && *written_font_ == f) return;
  U_LOGFONT lf{};
  lf.lfHeight = f.lfHeight;
  lf.lfWidth = f.lfWidth;
  lf.lfEscapement = f.lfEscapement;
  lf.lfOrientation = f.lfOrientation;
  lf.lfWeight = f.lfWeight;
  lf.lfItalic = f.lfItalic;
  lf.lfUnderline = f.lfUnderline;
  lf.lfStrikeOut = f.lfStrikeOut;
  lf.lfCharSet = f.lfCharSet;
  lf.lfOutPrecision = f.lfOutPrecision;
  lf.lfClipPrecision = f.lfClipPrecision;
  lf.lfQuality = f.lfQuality;
  lf.lfPitchAndFamily = f.lfPitchAndFamily;
  const std::u16string face = Utf8ToUtf16(f.lfFaceName);
  for (std::size_t i = 0; i < face.size() && i < U_LF_FACESIZE - 1; ++i) {
    lf.lfFaceName[i] = face[i];
  }
  U_LOGFONT_PANOSE elfw =
      logfont_panose_set(lf, nullptr, nullptr, 0, panose_set(0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
  std::uint32_t handle = 0;
  if (!Append(extcreatefontindirectw_set(&handle, writer_->handles, nullptr,
                                         reinterpret_cast<const char*>(&elfw)))) {
    return;
  }
  Append(selectobject_set(handle, writer_->handles));
  if (writer_->font) Append(deleteobject_set(&writer_->font, writer_->handles));
  writer_->font = handle;
  written_font_ = f;
}

void EmfDC::SyncTextModes() {
  WriteChangedTextModes({
      [&](COLORREF c) { Append(U_EMRSETTEXTCOLOR_set(ToColorRef(c))); },
      [&](COLORREF c) { Append(U_EMRSETBKCOLOR_set(ToColorRef(c))); },
      [&](int mode) { Append(U_EMRSETBKMODE_set(static_cast<std::uint32_t>(mode))); },
      [&](std::uint32_t align) { Append(U_EMRSETTEXTALIGN_set(align)); },
  });
}

void EmfDC::SyncFillMode() {
  if (written_fill_mode_ == state().poly_fill_mode) return;
  Append(U_EMRSETPOLYFILLMODE_set(static_cast<std::uint32_t>(state().poly_fill_mode)));
  written_fill_mode_ = state().poly_fill_mode;
}

void EmfDC::SyncClip() {
  const std::optional<Region> clip =
      state().has_clip ? std::optional<Region>(state().clip) : std::nullopt;
  if (written_clip_ && *written_clip_ == clip) return;
  if (!written_clip_ && !clip) {
    written_clip_ = clip;  // a new metafile has no clip
    return;
  }
  if (clip) {
    PU_RGNDATA data = MakeRegionData(DeviceRegionToFile(*clip));
    Append(U_EMREXTSELECTCLIPRGN_set(U_RGN_COPY, data));
    std::free(data);
  } else {
    // A copy of no region data lifts the clip; libUEMF makes no such record, so it is built
    // here: type, size, data length 0, mode.
    auto* record = static_cast<char*>(std::malloc(16));
    if (record) {
      const std::uint32_t fields[4] = {U_EMR_EXTSELECTCLIPRGN, 16, 0, U_RGN_COPY};
      std::memcpy(record, fields, sizeof fields);
    }
    Append(record);
  }
  written_clip_ = clip;
}

void EmfDC::SyncForShape(bool fill) {
  SyncClip();
  SyncPen();
  if (fill) {
    SyncBrush(state().brush);
    SyncFillMode();
  }
  // Dash gaps take the background colour in OPAQUE mode.
  if (!PenDashes().empty() || state().brush.style == BS_HATCHED) SyncTextModes();
}

// ---- Drawing ---------------------------------------------------------------------------------

bool EmfDC::WritePoints(std::uint32_t type, const std::vector<PointF>& points, bool fill) {
  if (!Drawing()) return false;
  if (points.empty() || (Nop() && !IsPathOpen())) return true;
  // Inside a path the objects were brought in line when it began: readers take the objects
  // selected before the path, not those selected within or after it.
  if (!IsPathOpen()) SyncForShape(fill);
  std::vector<U_POINTL> pts;
  pts.reserve(points.size());
  for (const PointF& p : points) pts.push_back(ToPointL(p));
  const double margin = PenWidthPixels() * UnitsPerPixel() / 2.0;
  const U_RECTL bounds = BoundsOf(points, margin);
  const auto n = static_cast<std::uint32_t>(pts.size());
  const auto make = [&]() -> char* {
    switch (type) {
      case U_EMR_POLYLINE:
        return U_EMRPOLYLINE_set(bounds, n, pts.data());
      case U_EMR_POLYLINETO:
        return U_EMRPOLYLINETO_set(bounds, n, pts.data());
      case U_EMR_POLYBEZIER:
        return U_EMRPOLYBEZIER_set(bounds, n, pts.data());
      case U_EMR_POLYBEZIERTO:
        return U_EMRPOLYBEZIERTO_set(bounds, n, pts.data());
      default:
        return U_EMRPOLYGON_set(bounds, n, pts.data());
    }
  };
  if (IsPathOpen()) {
    path_points_.insert(path_points_.end(), points.begin(), points.end());
  } else {
    IncludeInBounds(points, margin);
  }
  return fill ? AppendFilled(make) : Append(make());
}

void EmfDC::DoMoveTo(POINT p) {
  // Outside a path the lines carry their start points; inside, the path needs the position.
  if (Drawing() && IsPathOpen()) {
    const PointF f = MetafileDC::ToFile(p);
    path_points_.push_back(f);
    Append(U_EMRMOVETOEX_set(ToPointL(f)));
  }
}

bool EmfDC::DoLineTo(POINT to) {
  if (IsPathOpen()) return WritePoints(U_EMR_POLYLINETO, {MetafileDC::ToFile(to)}, false);
  return WritePoints(U_EMR_POLYLINE,
                     {MetafileDC::ToFile(state().current_position), MetafileDC::ToFile(to)}, false);
}

bool EmfDC::DoPolyline(const POINT* points, int count) {
  return WritePoints(U_EMR_POLYLINE, ToFile(points, count), false);
}

bool EmfDC::DoPolylineTo(const POINT* points, int count) {
  std::vector<PointF> pts = ToFile(points, count);
  if (IsPathOpen()) return WritePoints(U_EMR_POLYLINETO, pts, false);
  pts.insert(pts.begin(), MetafileDC::ToFile(state().current_position));
  return WritePoints(U_EMR_POLYLINE, pts, false);
}

bool EmfDC::DoPolyBezier(const POINT* points, int count) {
  return WritePoints(U_EMR_POLYBEZIER, ToFile(points, count), false);
}

bool EmfDC::DoPolyBezierTo(const POINT* points, int count) {
  std::vector<PointF> pts = ToFile(points, count);
  if (IsPathOpen()) return WritePoints(U_EMR_POLYBEZIERTO, pts, false);
  pts.insert(pts.begin(), MetafileDC::ToFile(state().current_position));
  return WritePoints(U_EMR_POLYBEZIER, pts, false);
}

bool EmfDC::DoPolygon(const POINT* points, int count) {
  return WritePoints(U_EMR_POLYGON, ToFile(points, count), true);
}

bool EmfDC::DoRectangle(const RECT& r) { return WritePoints(U_EMR_POLYGON, RectCorners(r), true); }

bool EmfDC::DoEllipse(const RECT& r) {
  if (!Drawing()) return false;
  if (Nop() && !IsPathOpen()) return true;
  if (TransformKeepsAxes()) {
    const std::vector<PointF> corners = RectCorners(r);
    if (!IsPathOpen()) SyncForShape(true);
    const U_RECTL box = BoundsOf({corners[0], corners[2]}, 0.0);
    const double margin = PenWidthPixels() * UnitsPerPixel() / 2.0;
    if (IsPathOpen()) {
      path_points_.insert(path_points_.end(), corners.begin(), corners.end());
    } else {
      IncludeInBounds(corners, margin);
    }
    return AppendFilled([&] { return U_EMRELLIPSE_set(box); });
  }
  // Turned by the world transform: four Bézier quarters through the transformed points.
  const double cx = (r.left + static_cast<double>(r.right)) / 2;
  const double cy = (r.top + static_cast<double>(r.bottom)) / 2;
  const double rx = (r.right - static_cast<double>(r.left)) / 2;
  const double ry = (r.bottom - static_cast<double>(r.top)) / 2;
  constexpr double k = 0.5522847498307936;  // 4/3 (√2 − 1): control distance of a quarter
  const double u[13][2] = {{1, 0},   {1, k},   {k, 1},  {0, 1},  {-k, 1}, {-1, k}, {-1, 0},
                           {-1, -k}, {-k, -1}, {0, -1}, {k, -1}, {1, -k}, {1, 0}};
  std::vector<PointF> pts;
  const MappingTransform m = GetMappingTransform();
  const XFORM w = GetWorldTransform();
  for (const auto& q : u) {
    // Control points may fall between logical units: map them without rounding.
    const double x = cx + q[0] * rx, y = cy + q[1] * ry;
    const double px = x * w.eM11 + y * w.eM21 + w.eDx, py = x * w.eM12 + y * w.eM22 + w.eDy;
    pts.push_back({(px * m.sx + m.dx) * UnitsPerPixel(), (py * m.sy + m.dy) * UnitsPerPixel()});
  }
  if (IsPathOpen()) {
    return WritePoints(U_EMR_POLYBEZIER, pts, false) && Append(U_EMRCLOSEFIGURE_set());
  }
  SyncForShape(true);
  const U_RECTL bounds = BoundsOf(pts, PenWidthPixels() * UnitsPerPixel() / 2.0);
  bool ok = Append(U_EMRBEGINPATH_set());
  ok = WritePoints(U_EMR_POLYBEZIER, pts, false) && ok;
  ok = Append(U_EMRCLOSEFIGURE_set()) && ok;
  ok = Append(U_EMRENDPATH_set()) && ok;
  return Append(U_EMRSTROKEANDFILLPATH_set(bounds)) && ok;
}

bool EmfDC::DoFillRect(const RECT& r, const Brush& brush) {
  if (!Drawing()) return false;
  if (Nop()) return true;
  const std::vector<PointF> corners = RectCorners(r);
  SyncClip();
  SyncPen(true);
  SyncBrush(brush);
  std::vector<U_POINTL> pts;
  for (const PointF& p : corners) pts.push_back(ToPointL(p));
  IncludeInBounds(corners, 0.0);
  return AppendFilled([&] { return U_EMRPOLYGON_set(BoundsOf(corners, 0.0), 4, pts.data()); });
}

bool EmfDC::DoBeginPath() {
  if (!Drawing()) return false;
  // The pen, brush and modes that will stroke and fill the path are selected before it.
  SyncForShape(true);
  path_points_.clear();
  const bool ok = Append(U_EMRBEGINPATH_set());
  // The path starts from the current position, which lines outside paths do not keep.
  const PointF cp = MetafileDC::ToFile(state().current_position);
  path_points_.push_back(cp);
  return Append(U_EMRMOVETOEX_set(ToPointL(cp))) && ok;
}

bool EmfDC::DoEndPath() { return Drawing() && Append(U_EMRENDPATH_set()); }

bool EmfDC::DoCloseFigure() { return Drawing() && Append(U_EMRCLOSEFIGURE_set()); }

bool EmfDC::DoAbortPath() {
  path_points_.clear();
  return writer_ && Append(U_EMRABORTPATH_set());
}

bool EmfDC::DoStrokePath() {
  if (!Drawing()) return false;
  if (Nop()) {
    path_points_.clear();
    return Append(U_EMRABORTPATH_set());
  }
  SyncForShape(false);
  const double margin = PenWidthPixels() * UnitsPerPixel() / 2.0;
  IncludeInBounds(path_points_, margin);
  const bool ok = Append(U_EMRSTROKEPATH_set(BoundsOf(path_points_, margin)));
  path_points_.clear();
  return ok;
}

bool EmfDC::DoFillPath() {
  if (!Drawing()) return false;
  if (Nop()) {
    path_points_.clear();
    return Append(U_EMRABORTPATH_set());
  }
  SyncClip();
  SyncBrush(state().brush);
  SyncFillMode();
  IncludeInBounds(path_points_, 0.0);
  const bool ok = Append(U_EMRFILLPATH_set(BoundsOf(path_points_, 0.0)));
  path_points_.clear();
  return ok;
}

bool EmfDC::DoStrokeAndFillPath() {
  if (!Drawing()) return false;
  if (Nop()) {
    path_points_.clear();
    return Append(U_EMRABORTPATH_set());
  }
  SyncForShape(true);
  const double margin = PenWidthPixels() * UnitsPerPixel() / 2.0;
  IncludeInBounds(path_points_, margin);
  const bool ok = Append(U_EMRSTROKEANDFILLPATH_set(BoundsOf(path_points_, margin)));
  path_points_.clear();
  return ok;
}

bool EmfDC::DoTextOut(POINT at, std::string_view text) {
  if (!Drawing()) return false;
  if (text.empty() || Nop()) return true;
  SyncClip();
  SyncFont();
  SyncTextModes();
  const std::u16string units = Utf8ToUtf16(text);
  double total = 0.0;
  const std::vector<double> advances = TextAdvances(units, &total);
  std::vector<std::uint32_t> dx;
  for (double a : advances) dx.push_back(static_cast<std::uint32_t>(RoundClamped(a, 0, kMax32)));
  std::vector<std::uint16_t> chars(units.begin(), units.end());
  const std::vector<PointF> box = TextBox(at, text);
  IncludeInBounds(box, 0.0);
  char* emrtext =
      emrtext_set(ToPointL(MetafileDC::ToFile(at)), static_cast<U_NUM_STR>(chars.size()), 2,
                  chars.data(), U_ETO_NONE, U_RCL_DEF, dx.data());
  if (!emrtext) return false;
  char* record = U_EMREXTTEXTOUTW_set(BoundsOf(box, 0.0), U_GM_COMPATIBLE, 1.0f, 1.0f,
                                      reinterpret_cast<PU_EMRTEXT>(emrtext));
  std::free(emrtext);
  return Append(record);
}

bool EmfDC::WriteRects(const std::vector<RECT>& rects) {
  if (rects.empty()) return true;
  std::vector<U_POINTL> pts;
  std::vector<std::uint32_t> counts;
  std::vector<PointF> all;
  for (const RECT& r : rects) {
    const PointF c[4] = {{static_cast<double>(r.left), static_cast<double>(r.top)},
                         {static_cast<double>(r.right), static_cast<double>(r.top)},
                         {static_cast<double>(r.right), static_cast<double>(r.bottom)},
                         {static_cast<double>(r.left), static_cast<double>(r.bottom)}};
    for (const PointF& p : c) {
      pts.push_back(ToPointL(p));
      all.push_back(p);
    }
    counts.push_back(4);
  }
  IncludeInBounds(all, 0.0);
  return AppendFilled([&] {
    return U_EMRPOLYPOLYGON_set(BoundsOf(all, 0.0), static_cast<std::uint32_t>(counts.size()),
                                counts.data(), static_cast<std::uint32_t>(pts.size()), pts.data());
  });
}

bool EmfDC::DoFillRgn(const Region& region, const Brush& brush) {
  if (!Drawing()) return false;
  if (Nop()) return true;
  SyncClip();
  SyncPen(true);
  SyncBrush(brush);
  return WriteRects(RegionToFile(region));
}

bool EmfDC::DoFrameRgn(const Region& region, const Brush& brush, SIZE size) {
  if (!Drawing()) return false;
  if (Nop()) return true;
  SyncClip();
  SyncPen(true);
  SyncBrush(brush);
  return WriteRects(DeviceRegionToFile(FrameOf(region, size)));
}

bool EmfDC::DoInvertRgn(const Region& region) {
  if (!Drawing()) return false;
  if (Nop()) return true;
  const std::vector<RECT> rects = RegionToFile(region);
  if (rects.empty()) return true;
  SyncClip();
  PU_RGNDATA data = MakeRegionData(rects);
  const bool ok = Append(U_EMRINVERTRGN_set(data));
  std::free(data);
  return ok;
}

// ---- Closing ---------------------------------------------------------------------------------

EnhMetafile EmfDC::Close() {
  if (!writer_) return EnhMetafile();
  std::unique_ptr<Writer> w = std::move(writer_);
  if (emf_append(reinterpret_cast<PU_ENHMETARECORD>(U_EMREOF_set(0, nullptr, w->track)), w->track,
                 1) != 0) {
    return EnhMetafile();
  }
  const double units = UnitsPerPixel();
  const double hundredths_per_unit = 2540.0 / (GetPixelsPerInchX() * units);
  // The bounds: the frame when there is one, since readers place the bounds' corner at the
  // frame's corner; otherwise what has been drawn, which then makes the frame as well.
  U_RECTL bounds = U_RCL_DEF;
  if (frame_) {
    bounds = {RoundClamped(frame_->left * units, kMin32, kMax32),
              RoundClamped(frame_->top * units, kMin32, kMax32),
              RoundClamped(frame_->right * units - 1, kMin32, kMax32),
              RoundClamped(frame_->bottom * units - 1, kMin32, kMax32)};
  } else if (const std::optional<RECT> drawn = DrawnBounds()) {
    bounds = {drawn->left, drawn->top, drawn->right, drawn->bottom};
  }
  U_RECTL frame{0, 0, 0, 0};
  if (frame_) {
    // Pixels are whole units: the frame runs to the far edge of its last pixel.
    const double k = 2540.0 / GetPixelsPerInchX();
    frame = {RoundClamped(frame_->left * k, kMin32, kMax32),
             RoundClamped(frame_->top * k, kMin32, kMax32),
             RoundClamped(frame_->right * k, kMin32, kMax32) - 1,
             RoundClamped(frame_->bottom * k, kMin32, kMax32) - 1};
  } else if (bounds.right >= bounds.left) {
    frame = {RoundClamped(bounds.left * hundredths_per_unit, kMin32, kMax32),
             RoundClamped(bounds.top * hundredths_per_unit, kMin32, kMax32),
             RoundClamped(bounds.right * hundredths_per_unit, kMin32, kMax32),
             RoundClamped(bounds.bottom * hundredths_per_unit, kMin32, kMax32)};
  }
  auto* header = reinterpret_cast<PU_EMRHEADER>(w->track->buf);
  header->rclBounds = bounds;
  header->rclFrame = frame;
  header->nBytes = static_cast<std::uint32_t>(w->track->used);
  header->nRecords = w->track->records;
  header->nHandles = static_cast<std::uint16_t>(w->handles->peak + 1);
  const auto* start = reinterpret_cast<const std::uint8_t*>(w->track->buf);
  return EnhMetafile(std::vector<std::uint8_t>(start, start + w->track->used));
}

}  // namespace tessmor
