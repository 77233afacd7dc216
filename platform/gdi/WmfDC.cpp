#include "platform/gdi/WmfDC.h"

#include <uwmf.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/gdi/UemfBrush.h"

namespace tessmor {

namespace {

using namespace uemf_brush;

constexpr std::int32_t kMax16 = 32767;
constexpr int kMaxUnitsPerPixel = 16;
// Points per polyline record: far below the record's limit, and a record stays small.
constexpr std::size_t kMaxRecordPoints = 8000;

std::int16_t To16(double v) { return static_cast<std::int16_t>(RoundClamped(v, -32768, kMax16)); }

U_POINT16 ToPoint16(PointF p) { return point16_set(To16(p.x), To16(p.y)); }

void Put16(char* at, std::int32_t v) {
  const auto u = static_cast<std::uint16_t>(v);
  at[0] = static_cast<char>(u & 0xFF);
  at[1] = static_cast<char>(u >> 8);
}

void Put32(char* at, std::uint32_t v) {
  Put16(at, static_cast<std::int32_t>(v & 0xFFFF));
  Put16(at + 2, static_cast<std::int32_t>(v >> 16));
}

// The "on" pieces of a polyline cut by a dash pattern (alternating dash and gap lengths).
std::vector<std::vector<PointF>> CutDashes(const std::vector<PointF>& line,
                                           const std::vector<double>& pattern) {
  std::vector<std::vector<PointF>> dashes;
  double total = 0.0;
  for (double d : pattern) total += d;
  if (line.size() < 2 || pattern.empty() || !(total > 0.0)) return {line};
  std::size_t index = 0;
  double left = pattern[0];  // of the current dash or gap
  bool on = true;
  std::vector<PointF> current{line[0]};
  for (std::size_t i = 1; i < line.size(); ++i) {
    PointF a = line[i - 1];
    const PointF b = line[i];
    double length = std::hypot(b.x - a.x, b.y - a.y);
    while (length > left) {
      const double t = left / length;
      const PointF cut{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
      if (on) {
        current.push_back(cut);
        dashes.push_back(std::move(current));
        current.clear();
      } else {
        current = {cut};
      }
      on = !on;
      length -= left;
      a = cut;
      index = (index + 1) % pattern.size();
      left = pattern[index];
    }
    left -= length;
    if (on) current.push_back(b);
  }
  if (on && current.size() >= 2) dashes.push_back(std::move(current));
  return dashes;
}

}  // namespace

int WmfUnitsPerPixel(std::int32_t width, std::int32_t height) {
  const std::int64_t side =
      std::max<std::int64_t>({1, std::abs(std::int64_t{width}), std::abs(std::int64_t{height})});
  return static_cast<int>(std::clamp<std::int64_t>(kMax16 / side, 1, kMaxUnitsPerPixel));
}

struct WmfDC::Writer {
  WMFTRACK* track = nullptr;
  WMFHANDLES* handles = nullptr;
  std::uint32_t pen = 0, brush = 0, font = 0;
  bool has_pen = false, has_brush = false, has_font = false;
  std::size_t window_org_at = 0, window_ext_at = 0;  // records patched on closing
  std::uint32_t largest = 0;                         // largest record, 16-bit words

  ~Writer() {
    if (track) wmf_free(&track);
    if (handles) wmf_htable_free(&handles);
  }
};

WmfDC::WmfDC(int pixels_per_inch, std::optional<RECT> frame)
    : MetafileDC(
          pixels_per_inch,
          frame ? WmfUnitsPerPixel(frame->right - frame->left, frame->bottom - frame->top) : 1),
      frame_(frame) {
  if (frame_) origin_ = {frame_->left * UnitsPerPixel(), frame_->top * UnitsPerPixel()};
  auto w = std::make_unique<Writer>();
  // libUEMF opens the named file at once; the records stay in memory here.
  if (wmf_start("/dev/null", 1 << 16, 1 << 16, &w->track) != 0 || !w->track) return;
  if (w->track->fp) {
    std::fclose(w->track->fp);
    w->track->fp = nullptr;
  }
  if (wmf_htable_create(128, 128, &w->handles) != 0) return;
  const auto dpi = static_cast<unsigned>(GetPixelsPerInchX() * UnitsPerPixel());
  // The bounding box is set on closing; the size given here only makes the header placeable.
  U_PAIRF* size = U_PAIRF_set(1.0f, 1.0f);
  char* header = U_WMRHEADER_set(size, dpi);
  std::free(size);
  if (!header || wmf_header_append(reinterpret_cast<U_METARECORD*>(header), w->track, 1) != 0) {
    return;
  }
  writer_ = std::move(w);
  Append(U_WMRSETMAPMODE_set(U_MM_ANISOTROPIC));
  writer_->window_org_at = writer_->track->used;
  Append(U_WMRSETWINDOWORG_set(point16_set(0, 0)));
  writer_->window_ext_at = writer_->track->used;
  Append(U_WMRSETWINDOWEXT_set(point16_set(1, 1)));
}

WmfDC::~WmfDC() = default;

bool WmfDC::Drawing() const { return writer_ && state().rop2 != R2_NOP; }

bool WmfDC::Append(char* record) {
  if (!writer_ || !record) {
    std::free(record);
    return false;
  }
  std::uint32_t words = 0;
  std::memcpy(&words, record, 4);
  writer_->largest = std::max(writer_->largest, words);
  return wmf_append(reinterpret_cast<U_METARECORD*>(record), writer_->track, 1) == 0;
}

PointF WmfDC::ToWmf(POINT p) const {
  const PointF f = ToFile(p);
  return {f.x - origin_.x, f.y - origin_.y};
}

std::vector<PointF> WmfDC::ToWmf(const POINT* points, int count) const {
  std::vector<PointF> out;
  out.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) out.push_back(ToWmf(points[i]));
  return out;
}

std::vector<PointF> WmfDC::Curves(const std::vector<PointF>& points) const {
  return FlattenBeziers(points, UnitsPerPixel() / 4.0);
}

// ---- Objects and modes -----------------------------------------------------------------------

void WmfDC::SyncClip() {
  std::optional<RECT> clip;
  if (state().has_clip) {
    const RECT box = state().clip.GetBox();
    clip = RECT{To16(box.left * UnitsPerPixel() - origin_.x),
                To16(box.top * UnitsPerPixel() - origin_.y),
                To16(box.right * UnitsPerPixel() - origin_.x),
                To16(box.bottom * UnitsPerPixel() - origin_.y)};
  }
  if (written_clip_ && *written_clip_ == clip) return;
  if (!written_clip_ && !clip) {
    written_clip_ = clip;
    return;
  }
  // A clip can only shrink: the previous one is undone by restoring the state saved before it,
  // which also brings back the objects and modes of that moment.
  if (written_clip_ && *written_clip_) {
    Append(U_WMRRESTOREDC_set(-1));
    written_pen_.reset();
    written_brush_.reset();
    written_font_.reset();
    ForgetTextModes();
    written_fill_mode_.reset();
  }
  if (clip) {
    Append(U_WMRSAVEDC_set());
    Append(U_WMRINTERSECTCLIPRECT_set(
        U_RECT16{static_cast<std::int16_t>(clip->left), static_cast<std::int16_t>(clip->top),
                 static_cast<std::int16_t>(clip->right), static_cast<std::int16_t>(clip->bottom)}));
  }
  written_clip_ = clip;
}

WmfDC::PenKey WmfDC::SolidPen(COLORREF color) const {
  const double width_px = PenWidthPixels();
  if (width_px <= 0.0) return NullPen();
  PenKey key;
  key.color = color;
  key.width = RoundClamped(width_px * UnitsPerPixel(), 1, kMax16);
  if (PenIsGeometric()) {
    key.style = PS_SOLID | (state().pen.style & (PS_ENDCAP_MASK | PS_JOIN_MASK));
  } else if (width_px <= 1.0) {
    key.style = PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER;
  } else {
    key.style = PS_SOLID;
  }
  return key;
}

WmfDC::PenKey WmfDC::NullPen() const { return PenKey{PS_NULL, 0, 0}; }

void WmfDC::WritePen(const PenKey& key) {
  if (written_pen_ && *written_pen_ == key) return;
  std::uint32_t handle = 0;
  if (!Append(wcreatepenindirect_set(
          &handle, writer_->handles,
          U_PEN_set(static_cast<std::uint16_t>(key.style), static_cast<std::uint16_t>(key.width),
                    ToColorRef(key.color))))) {
    return;
  }
  Append(wselectobject_set(handle, writer_->handles));
  if (writer_->has_pen) Append(wdeleteobject_set(&writer_->pen, writer_->handles));
  writer_->pen = handle;
  writer_->has_pen = true;
  written_pen_ = key;
}

void WmfDC::SyncBrush(const Brush& brush) {
  if (written_brush_ && *written_brush_ == brush) return;
  std::uint32_t handle = 0;
  char* record = nullptr;
  if (HasPattern(brush)) {
    const PatternInfo p = MakePatternInfo(*brush.pattern);
    if (p.info) {
      record = wcreatedibpatternbrush_srcdib_set(&handle, writer_->handles, U_DIB_RGB_COLORS,
                                                 p.info.get(), p.bytes, p.bits);
    }
  } else {
    record = wcreatebrushindirect_set(
        &handle, writer_->handles,
        U_WLOGBRUSH_set(static_cast<std::uint16_t>(LogBrushStyle(brush)), ToColorRef(brush.color),
                        static_cast<std::uint16_t>(LogBrushHatch(brush))));
  }
  if (!Append(record)) return;
  Append(wselectobject_set(handle, writer_->handles));
  if (writer_->has_brush) Append(wdeleteobject_set(&writer_->brush, writer_->handles));
  writer_->brush = handle;
  writer_->has_brush = true;
  written_brush_ = brush;
}

void WmfDC::SyncFont() {
  LOGFONT f = FontToWrite();
  if (written_font_ && *written_font_ == f) return;
  U_FONT* font = U_FONT_set(
      static_cast<std::int16_t>(std::clamp<std::int32_t>(f.lfHeight, -kMax16, kMax16)),
      static_cast<std::int16_t>(std::clamp<std::int32_t>(f.lfWidth, 0, kMax16)),
      static_cast<std::int16_t>(f.lfEscapement), static_cast<std::int16_t>(f.lfOrientation),
      static_cast<std::int16_t>(std::clamp<std::int32_t>(f.lfWeight, 0, 1000)), f.lfItalic,
      f.lfUnderline, f.lfStrikeOut, f.lfCharSet, f.lfOutPrecision, f.lfClipPrecision, f.lfQuality,
      f.lfPitchAndFamily, f.lfFaceName);
  if (!font) return;
  std::uint32_t handle = 0;
  const bool ok = Append(wcreatefontindirect_set(&handle, writer_->handles, font));
  std::free(font);
  if (!ok) return;
  Append(wselectobject_set(handle, writer_->handles));
  if (writer_->has_font) Append(wdeleteobject_set(&writer_->font, writer_->handles));
  writer_->font = handle;
  writer_->has_font = true;
  written_font_ = f;
}

void WmfDC::SyncTextModes() {
  WriteChangedTextModes({
      [&](COLORREF c) { Append(U_WMRSETTEXTCOLOR_set(ToColorRef(c))); },
      [&](COLORREF c) { Append(U_WMRSETBKCOLOR_set(ToColorRef(c))); },
      [&](int mode) { Append(U_WMRSETBKMODE_set(static_cast<std::uint16_t>(mode))); },
      [&](std::uint32_t align) {
        Append(U_WMRSETTEXTALIGN_set(static_cast<std::uint16_t>(align)));
      },
  });
}

void WmfDC::SyncFillMode() {
  if (written_fill_mode_ == state().poly_fill_mode) return;
  Append(U_WMRSETPOLYFILLMODE_set(static_cast<std::uint16_t>(state().poly_fill_mode)));
  written_fill_mode_ = state().poly_fill_mode;
}

// ---- Drawing ---------------------------------------------------------------------------------

bool WmfDC::Stroke(const std::vector<Figure>& figures) {
  const double width = PenWidthPixels();
  if (width <= 0.0) return true;
  SyncClip();
  std::vector<std::vector<PointF>> lines;
  for (const Figure& f : figures) {
    if (f.points.empty()) continue;
    std::vector<PointF> line = f.points;
    if (f.closed) line.push_back(line.front());
    if (line.size() == 1) line.push_back(line.front());
    lines.push_back(std::move(line));
  }
  const std::vector<double> dashes = PenDashes();
  std::vector<std::vector<PointF>> pieces;
  if (dashes.empty()) {
    pieces = lines;
  } else {
    // Gaps take the background colour in OPAQUE mode: the whole line first, dashes on top.
    if (state().bk_mode == OPAQUE) {
      WritePen(SolidPen(state().bk_color));
      for (const auto& line : lines) {
        for (std::size_t i = 0; i + 1 < line.size(); i += kMaxRecordPoints - 1) {
          const std::size_t n = std::min(kMaxRecordPoints, line.size() - i);
          std::vector<U_POINT16> pts;
          for (std::size_t j = 0; j < n; ++j) pts.push_back(ToPoint16(line[i + j]));
          Append(U_WMRPOLYLINE_set(static_cast<std::uint16_t>(n), pts.data()));
        }
      }
    }
    for (const auto& line : lines) {
      for (auto& piece : CutDashes(line, dashes)) pieces.push_back(std::move(piece));
    }
  }
  WritePen(SolidPen(state().pen.color));
  bool ok = true;
  const double margin = width * UnitsPerPixel() / 2.0;
  for (const auto& line : pieces) {
    std::vector<PointF> framed;
    for (const PointF& p : line) framed.push_back({p.x + origin_.x, p.y + origin_.y});
    IncludeInBounds(framed, margin);
    for (std::size_t i = 0; i + 1 < line.size(); i += kMaxRecordPoints - 1) {
      const std::size_t n = std::min(kMaxRecordPoints, line.size() - i);
      std::vector<U_POINT16> pts;
      for (std::size_t j = 0; j < n; ++j) pts.push_back(ToPoint16(line[i + j]));
      ok = Append(U_WMRPOLYLINE_set(static_cast<std::uint16_t>(n), pts.data())) && ok;
    }
  }
  return ok;
}

bool WmfDC::Fill(const std::vector<std::vector<PointF>>& polygons, const Brush& brush) {
  std::vector<U_POINT16> pts;
  std::vector<std::uint16_t> counts;
  for (const auto& polygon : polygons) {
    if (polygon.size() < 2 || polygon.size() > 0xFFFF) continue;
    std::vector<PointF> framed;
    for (const PointF& p : polygon) {
      pts.push_back(ToPoint16(p));
      framed.push_back({p.x + origin_.x, p.y + origin_.y});
    }
    IncludeInBounds(framed, 0.0);
    counts.push_back(static_cast<std::uint16_t>(polygon.size()));
  }
  if (counts.empty()) return true;
  SyncClip();
  WritePen(NullPen());
  SyncBrush(brush);
  SyncFillMode();
  if (brush.style == BS_HATCHED) SyncTextModes();
  if (counts.size() == 1) return Append(U_WMRPOLYGON_set(counts[0], pts.data()));
  if (counts.size() > 0xFFFF) return false;
  return Append(
      U_WMRPOLYPOLYGON_set(static_cast<std::uint16_t>(counts.size()), counts.data(), pts.data()));
}

bool WmfDC::Shape(const std::vector<PointF>& polygon) {
  if (polygon.size() < 2 || polygon.size() > 0xFFFF) return false;
  if (!PenDashes().empty()) {
    const bool filled = Fill({polygon}, state().brush);
    return Stroke({Figure{polygon, true}}) && filled;
  }
  SyncClip();
  WritePen(SolidPen(state().pen.color));
  SyncBrush(state().brush);
  SyncFillMode();
  if (state().brush.style == BS_HATCHED) SyncTextModes();
  std::vector<U_POINT16> pts;
  std::vector<PointF> framed;
  for (const PointF& p : polygon) {
    pts.push_back(ToPoint16(p));
    framed.push_back({p.x + origin_.x, p.y + origin_.y});
  }
  IncludeInBounds(framed, PenWidthPixels() * UnitsPerPixel() / 2.0);
  return Append(U_WMRPOLYGON_set(static_cast<std::uint16_t>(pts.size()), pts.data()));
}

WmfDC::Figure& WmfDC::OpenFigure() {
  if (!figure_open_ || path_.empty()) {
    path_.push_back(Figure{{ToWmf(state().current_position)}, false});
    figure_open_ = true;
  }
  return path_.back();
}

void WmfDC::DoMoveTo(POINT p) {
  if (!IsPathOpen()) return;
  path_.push_back(Figure{{ToWmf(p)}, false});
  figure_open_ = true;
}

bool WmfDC::DoLineTo(POINT to) {
  if (!writer_) return false;
  if (IsPathOpen()) {
    OpenFigure().points.push_back(ToWmf(to));
    return true;
  }
  if (!Drawing()) return true;
  return Stroke({Figure{{ToWmf(state().current_position), ToWmf(to)}, false}});
}

bool WmfDC::DoPolyline(const POINT* points, int count) {
  if (!writer_) return false;
  if (IsPathOpen()) {
    path_.push_back(Figure{ToWmf(points, count), false});
    figure_open_ = false;
    return true;
  }
  if (!Drawing()) return true;
  return Stroke({Figure{ToWmf(points, count), false}});
}

bool WmfDC::DoPolylineTo(const POINT* points, int count) {
  if (!writer_) return false;
  const std::vector<PointF> pts = ToWmf(points, count);
  if (IsPathOpen()) {
    Figure& f = OpenFigure();
    f.points.insert(f.points.end(), pts.begin(), pts.end());
    return true;
  }
  if (!Drawing()) return true;
  std::vector<PointF> line{ToWmf(state().current_position)};
  line.insert(line.end(), pts.begin(), pts.end());
  return Stroke({Figure{line, false}});
}

bool WmfDC::DoPolyBezier(const POINT* points, int count) {
  if (!writer_) return false;
  const std::vector<PointF> line = Curves(ToWmf(points, count));
  if (IsPathOpen()) {
    path_.push_back(Figure{line, false});
    figure_open_ = false;
    return true;
  }
  if (!Drawing()) return true;
  return Stroke({Figure{line, false}});
}

bool WmfDC::DoPolyBezierTo(const POINT* points, int count) {
  if (!writer_) return false;
  std::vector<PointF> controls = ToWmf(points, count);
  if (IsPathOpen()) {
    Figure& f = OpenFigure();
    controls.insert(controls.begin(), f.points.back());
    const std::vector<PointF> line = Curves(controls);
    f.points.insert(f.points.end(), line.begin() + 1, line.end());
    return true;
  }
  if (!Drawing()) return true;
  controls.insert(controls.begin(), ToWmf(state().current_position));
  return Stroke({Figure{Curves(controls), false}});
}

bool WmfDC::DoPolygon(const POINT* points, int count) {
  if (!writer_) return false;
  if (IsPathOpen()) {
    path_.push_back(Figure{ToWmf(points, count), true});
    figure_open_ = false;
    return true;
  }
  if (!Drawing()) return true;
  return Shape(ToWmf(points, count));
}

bool WmfDC::DoRectangle(const RECT& r) {
  const POINT corners[4] = {
      {r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
  return DoPolygon(corners, 4);
}

bool WmfDC::DoEllipse(const RECT& r) {
  if (!writer_) return false;
  // Four Bézier quarters, mapped without rounding, then flattened.
  const double cx = (r.left + static_cast<double>(r.right)) / 2;
  const double cy = (r.top + static_cast<double>(r.bottom)) / 2;
  const double rx = (r.right - static_cast<double>(r.left)) / 2;
  const double ry = (r.bottom - static_cast<double>(r.top)) / 2;
  constexpr double k = 0.5522847498307936;  // 4/3 (√2 − 1): control distance of a quarter
  const double u[13][2] = {{1, 0},   {1, k},   {k, 1},  {0, 1},  {-k, 1}, {-1, k}, {-1, 0},
                           {-1, -k}, {-k, -1}, {0, -1}, {k, -1}, {1, -k}, {1, 0}};
  const MappingTransform m = GetMappingTransform();
  const XFORM w = GetWorldTransform();
  std::vector<PointF> controls;
  for (const auto& q : u) {
    const double x = cx + q[0] * rx, y = cy + q[1] * ry;
    const double px = x * w.eM11 + y * w.eM21 + w.eDx, py = x * w.eM12 + y * w.eM22 + w.eDy;
    controls.push_back({(px * m.sx + m.dx) * UnitsPerPixel() - origin_.x,
                        (py * m.sy + m.dy) * UnitsPerPixel() - origin_.y});
  }
  std::vector<PointF> outline = Curves(controls);
  outline.pop_back();  // back at the start
  if (IsPathOpen()) {
    path_.push_back(Figure{outline, true});
    figure_open_ = false;
    return true;
  }
  if (!Drawing()) return true;
  return Shape(outline);
}

bool WmfDC::DoFillRect(const RECT& r, const Brush& brush) {
  if (!writer_) return false;
  if (!Drawing()) return true;
  std::vector<PointF> corners = RectCorners(r);
  for (PointF& p : corners) p = {p.x - origin_.x, p.y - origin_.y};
  return Fill({corners}, brush);
}

bool WmfDC::DoBeginPath() {
  path_.clear();
  figure_open_ = false;
  return writer_ != nullptr;
}

bool WmfDC::DoEndPath() { return writer_ != nullptr; }

bool WmfDC::DoCloseFigure() {
  if (!writer_) return false;
  if (figure_open_ && !path_.empty()) path_.back().closed = true;
  figure_open_ = false;
  return true;
}

bool WmfDC::DoAbortPath() {
  path_.clear();
  figure_open_ = false;
  return writer_ != nullptr;
}

bool WmfDC::DoStrokePath() {
  if (!writer_) return false;
  std::vector<Figure> figures = std::move(path_);
  path_.clear();
  figure_open_ = false;
  return !Drawing() || Stroke(figures);
}

bool WmfDC::DoFillPath() {
  if (!writer_) return false;
  std::vector<std::vector<PointF>> polygons;
  for (Figure& f : path_) polygons.push_back(std::move(f.points));
  path_.clear();
  figure_open_ = false;
  return !Drawing() || Fill(polygons, state().brush);
}

bool WmfDC::DoStrokeAndFillPath() {
  if (!writer_) return false;
  std::vector<Figure> figures = std::move(path_);
  path_.clear();
  figure_open_ = false;
  if (!Drawing()) return true;
  std::vector<std::vector<PointF>> polygons;
  for (Figure& f : figures) {
    polygons.push_back(f.points);
    f.closed = true;
  }
  const bool filled = Fill(polygons, state().brush);
  return Stroke(figures) && filled;
}

bool WmfDC::DoTextOut(POINT at, std::string_view text) {
  if (!writer_) return false;
  if (!Drawing() || text.empty()) return true;
  SyncClip();
  SyncFont();
  SyncTextModes();
  const std::u16string units = Utf8ToUtf16(text);
  const std::vector<double> advances = TextAdvances(units, nullptr);
  // One Latin-1 byte per character; a surrogate pair is one character.
  std::string bytes;
  std::vector<std::int16_t> dx;
  for (std::size_t i = 0; i < units.size() && bytes.size() < 0x7FFF; ++i) {
    const char16_t c = units[i];
    const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size();
    double advance = advances[i];
    if (pair) advance += advances[++i];
    bytes.push_back(c < 0x100 && !pair ? static_cast<char>(c) : '?');
    dx.push_back(static_cast<std::int16_t>(RoundClamped(advance, 0, kMax16)));
  }
  std::vector<PointF> box = TextBox(at, text);
  IncludeInBounds(box, 0.0);
  const PointF ref = ToWmf(at);
  return Append(U_WMREXTTEXTOUT_set(ToPoint16(ref), static_cast<std::int16_t>(bytes.size()), 0,
                                    bytes.c_str(), dx.data(), U_RECT16{0, 0, 0, 0}));
}

bool WmfDC::WriteRects(const std::vector<RECT>& rects, const Brush& brush) {
  std::vector<std::vector<PointF>> polygons;
  for (const RECT& r : rects) {
    const double l = r.left - origin_.x, t = r.top - origin_.y;
    const double rr = r.right - origin_.x, b = r.bottom - origin_.y;
    polygons.push_back({{l, t}, {rr, t}, {rr, b}, {l, b}});
  }
  return Fill(polygons, brush);
}

bool WmfDC::DoFillRgn(const Region& region, const Brush& brush) {
  if (!writer_) return false;
  return !Drawing() || WriteRects(RegionToFile(region), brush);
}

bool WmfDC::DoFrameRgn(const Region& region, const Brush& brush, SIZE size) {
  if (!writer_) return false;
  return !Drawing() || WriteRects(DeviceRegionToFile(FrameOf(region, size)), brush);
}

bool WmfDC::DoInvertRgn(const Region& region) {
  if (!writer_) return false;
  if (!Drawing()) return true;
  SyncClip();
  bool ok = true;
  for (const RECT& r : RegionToFile(region)) {
    const PointF at{r.left - origin_.x, r.top - origin_.y};
    ok = Append(U_WMRPATBLT_set(ToPoint16(at),
                                point16_set(To16(r.right - r.left), To16(r.bottom - r.top)),
                                U_DSTINVERT)) &&
         ok;
  }
  return ok;
}

// ---- Closing ---------------------------------------------------------------------------------

std::vector<std::uint8_t> WmfDC::Close() {
  if (!writer_) return {};
  if (written_clip_ && *written_clip_) Append(U_WMRRESTOREDC_set(-1));
  std::unique_ptr<Writer> w = std::move(writer_);
  char* eof = U_WMREOF_set();
  if (!eof || wmf_append(reinterpret_cast<U_METARECORD*>(eof), w->track, 1) != 0) return {};

  // The window: the frame, or what has been drawn.
  std::int32_t left = 0, top = 0, width = 1, height = 1;
  if (frame_) {
    width = RoundClamped((frame_->right - frame_->left) * UnitsPerPixel(), 1, kMax16);
    height = RoundClamped((frame_->bottom - frame_->top) * UnitsPerPixel(), 1, kMax16);
  } else if (const std::optional<RECT> drawn = DrawnBounds()) {
    left = To16(drawn->left);
    top = To16(drawn->top);
    width = std::clamp<std::int32_t>(drawn->right - drawn->left + 1, 1, kMax16 - left);
    height = std::clamp<std::int32_t>(drawn->bottom - drawn->top + 1, 1, kMax16 - top);
  }
  char* buf = w->track->buf;
  // SETWINDOWORG and SETWINDOWEXT store y before x.
  Put16(buf + w->window_org_at + 6, top);
  Put16(buf + w->window_org_at + 8, left);
  Put16(buf + w->window_ext_at + 6, height);
  Put16(buf + w->window_ext_at + 8, width);
  // The placeable header: bounding box, then its checksum (XOR of its first ten words).
  Put16(buf + 6, left);
  Put16(buf + 8, top);
  Put16(buf + 10, left + width);
  Put16(buf + 12, top + height);
  std::uint16_t sum = 0;
  for (int i = 0; i < 10; ++i) {
    sum ^= static_cast<std::uint16_t>(static_cast<std::uint8_t>(buf[2 * i]) |
                                      (static_cast<std::uint8_t>(buf[2 * i + 1]) << 8));
  }
  Put16(buf + 20, sum);
  // The metafile header after it: size in words, objects, largest record in words.
  Put32(buf + 22 + 6, static_cast<std::uint32_t>((w->track->used - 22) / 2));
  Put16(buf + 22 + 10, static_cast<std::int32_t>(w->handles->peak + 1));
  Put32(buf + 22 + 12, w->largest);
  const auto* start = reinterpret_cast<const std::uint8_t*>(buf);
  return std::vector<std::uint8_t>(start, start + w->track->used);
}

}  // namespace tessmor
