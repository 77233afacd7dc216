#include "platform/gdi/DC.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace tessmor {

namespace {

// Coordinates of an unbounded device's drawing area (a metafile): as far as regions reach.
constexpr std::int32_t kUnboundedLimit = 1 << 27;

// Nearest integer, halves upwards, clamped to the 32-bit range; NaN gives 0.
std::int32_t RoundToInt(double v) {
  if (std::isnan(v)) return 0;
  const double r = std::floor(v + 0.5);
  if (r <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
    return std::numeric_limits<std::int32_t>::min();
  }
  if (r >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
    return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<std::int32_t>(r);
}

// (v − from_org) × to_ext / from_ext + to_org, before rounding. The difference and the product
// are exact in the double up to 2^53, so a result of exactly one half rounds as it should.
double MapCoordinate(std::int32_t v, std::int32_t from_org, std::int32_t from_ext,
                     std::int32_t to_org, std::int32_t to_ext) {
  const double d = static_cast<double>(static_cast<std::int64_t>(v) - from_org);
  return d * to_ext / from_ext + to_org;
}

}  // namespace

// ---- DIBPattern ------------------------------------------------------------------------------

bool DIBPattern::IsValid() const {
  if (width <= 0 || height == 0 || height == std::numeric_limits<std::int32_t>::min()) {
    return false;
  }
  if (width > 4096 || std::abs(height) > 4096) return false;
  // Indexed pixels beyond a short colour table read as black (see PixelAt).
  if (bit_count != 1 && bit_count != 4 && bit_count != 8 && bit_count != 24 && bit_count != 32) {
    return false;
  }
  return bits.size() >= Stride() * static_cast<std::size_t>(std::abs(height));
}

COLORREF DIBPattern::PixelAt(std::int32_t x, std::int32_t y) const {
  if (!IsValid() || x < 0 || x >= width || y < 0 || y >= std::abs(height)) return 0;
  const std::size_t row =
      height > 0 ? static_cast<std::size_t>(height - 1 - y) : static_cast<std::size_t>(y);
  const std::uint8_t* p = bits.data() + row * Stride();
  auto indexed = [&](unsigned index) -> COLORREF {
    return index < colors.size() ? colors[index] : 0;
  };
  switch (bit_count) {
    case 1:
      return indexed((p[x / 8] >> (7 - x % 8)) & 1u);
    case 4:
      return indexed((p[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xFu);
    case 8:
      return indexed(p[x]);
    case 24:
      return RGB(p[3 * x + 2], p[3 * x + 1], p[3 * x]);
    default:
      return RGB(p[4 * x + 2], p[4 * x + 1], p[4 * x]);
  }
}

// ---- DC: device ------------------------------------------------------------------------------

DC::DC(int pixels_per_inch_x, int pixels_per_inch_y, RECT device_bounds)
    : ppi_x_(pixels_per_inch_x >= 1 ? pixels_per_inch_x : 96),
      ppi_y_(pixels_per_inch_y >= 1 ? pixels_per_inch_y : 96),
      device_bounds_(device_bounds) {}

DC::~DC() = default;

int DC::GetDeviceCaps(int index) const {
  const std::int32_t w = device_bounds_.right - device_bounds_.left;
  const std::int32_t h = device_bounds_.bottom - device_bounds_.top;
  switch (index) {
    case HORZRES:
      return w;
    case VERTRES:
      return h;
    case HORZSIZE:
      return RoundToInt(w * 25.4 / ppi_x_);
    case VERTSIZE:
      return RoundToInt(h * 25.4 / ppi_y_);
    case LOGPIXELSX:
      return ppi_x_;
    case LOGPIXELSY:
      return ppi_y_;
    default:
      return 0;
  }
}

// ---- DC: mapping -----------------------------------------------------------------------------

int DC::SetMapMode(int mode) {
  if (mode < MM_TEXT || mode > MM_ANISOTROPIC) return 0;
  const int previous = state_.map_mode;
  // Logical units per inch of the fixed modes; the viewport extent is one inch of pixels.
  auto fixed = [&](std::int32_t units_per_inch, bool y_up) {
    state_.window_ext = {units_per_inch, units_per_inch};
    state_.viewport_ext = {ppi_x_, y_up ? -ppi_y_ : ppi_y_};
  };
  switch (mode) {
    case MM_TEXT:
      state_.window_ext = {1, 1};
      state_.viewport_ext = {1, 1};
      break;
    case MM_LOMETRIC:
    case MM_ISOTROPIC:
      fixed(254, true);
      break;
    case MM_HIMETRIC:
      fixed(2540, true);
      break;
    case MM_LOENGLISH:
      fixed(100, true);
      break;
    case MM_HIENGLISH:
      fixed(1000, true);
      break;
    case MM_TWIPS:
      fixed(1440, true);
      break;
    default:  // MM_ANISOTROPIC keeps the extents in force
      break;
  }
  state_.map_mode = mode;
  Changed(DCChange::kMapMode);
  return previous;
}

POINT DC::SetWindowOrg(std::int32_t x, std::int32_t y) {
  const POINT previous = state_.window_org;
  state_.window_org = {x, y};
  Changed(DCChange::kWindowOrg);
  return previous;
}

POINT DC::OffsetWindowOrg(std::int32_t dx, std::int32_t dy) {
  const POINT o = state_.window_org;
  return SetWindowOrg(RoundToInt(static_cast<double>(o.x) + dx),
                      RoundToInt(static_cast<double>(o.y) + dy));
}

POINT DC::SetViewportOrg(std::int32_t x, std::int32_t y) {
  const POINT previous = state_.viewport_org;
  state_.viewport_org = {x, y};
  Changed(DCChange::kViewportOrg);
  return previous;
}

POINT DC::OffsetViewportOrg(std::int32_t dx, std::int32_t dy) {
  const POINT o = state_.viewport_org;
  return SetViewportOrg(RoundToInt(static_cast<double>(o.x) + dx),
                        RoundToInt(static_cast<double>(o.y) + dy));
}

SIZE DC::SetWindowExt(std::int32_t cx, std::int32_t cy) {
  const SIZE previous = state_.window_ext;
  if (state_.map_mode != MM_ISOTROPIC && state_.map_mode != MM_ANISOTROPIC) return previous;
  if (!ValidExtent(cx, cy)) return previous;
  state_.window_ext = {cx, cy};
  Changed(DCChange::kWindowExt);
  if (state_.map_mode == MM_ISOTROPIC) AdjustIsotropic();
  return previous;
}

SIZE DC::SetViewportExt(std::int32_t cx, std::int32_t cy) {
  const SIZE previous = state_.viewport_ext;
  if (state_.map_mode != MM_ISOTROPIC && state_.map_mode != MM_ANISOTROPIC) return previous;
  if (!ValidExtent(cx, cy)) return previous;
  state_.viewport_ext = {cx, cy};
  if (state_.map_mode == MM_ISOTROPIC) AdjustIsotropic();
  Changed(DCChange::kViewportExt);
  return previous;
}

void DC::AdjustIsotropic() {
  // Millimetres of the device per logical unit in each direction.
  const double mm_x =
      std::abs(static_cast<double>(state_.viewport_ext.cx) / state_.window_ext.cx) * 25.4 / ppi_x_;
  const double mm_y =
      std::abs(static_cast<double>(state_.viewport_ext.cy) / state_.window_ext.cy) * 25.4 / ppi_y_;
  SIZE& v = state_.viewport_ext;
  auto shrink = [](std::int32_t ext, double factor) {
    const std::int32_t r = RoundToInt(std::abs(static_cast<double>(ext)) * factor);
    const std::int32_t m = std::max<std::int32_t>(r, 1);
    return ext < 0 ? -m : m;
  };
  if (mm_x > mm_y) {
    v.cx = shrink(v.cx, mm_y / mm_x);
  } else if (mm_y > mm_x) {
    v.cy = shrink(v.cy, mm_x / mm_y);
  }
}

MappingTransform DC::GetMappingTransform() const {
  MappingTransform t;
  t.sx = static_cast<double>(state_.viewport_ext.cx) / state_.window_ext.cx;
  t.sy = static_cast<double>(state_.viewport_ext.cy) / state_.window_ext.cy;
  t.dx = state_.viewport_org.x - state_.window_org.x * t.sx;
  t.dy = state_.viewport_org.y - state_.window_org.y * t.sy;
  return t;
}

POINT DC::LPtoDP(POINT p) const {
  const DCState& s = state_;
  return {RoundToInt(MapCoordinate(p.x, s.window_org.x, s.window_ext.cx, s.viewport_org.x,
                                   s.viewport_ext.cx)),
          RoundToInt(MapCoordinate(p.y, s.window_org.y, s.window_ext.cy, s.viewport_org.y,
                                   s.viewport_ext.cy))};
}

void DC::LPtoDP(POINT* points, int count) const {
  if (!points) return;
  for (int i = 0; i < count; ++i) points[i] = LPtoDP(points[i]);
}

RECT DC::LPtoDP(const RECT& r) const {
  const POINT a = LPtoDP(POINT{r.left, r.top});
  const POINT b = LPtoDP(POINT{r.right, r.bottom});
  return {a.x, a.y, b.x, b.y};
}

POINT DC::DPtoLP(POINT p) const {
  const DCState& s = state_;
  return {RoundToInt(MapCoordinate(p.x, s.viewport_org.x, s.viewport_ext.cx, s.window_org.x,
                                   s.window_ext.cx)),
          RoundToInt(MapCoordinate(p.y, s.viewport_org.y, s.viewport_ext.cy, s.window_org.y,
                                   s.window_ext.cy))};
}

void DC::DPtoLP(POINT* points, int count) const {
  if (!points) return;
  for (int i = 0; i < count; ++i) points[i] = DPtoLP(points[i]);
}

RECT DC::DPtoLP(const RECT& r) const {
  const POINT a = DPtoLP(POINT{r.left, r.top});
  const POINT b = DPtoLP(POINT{r.right, r.bottom});
  return {a.x, a.y, b.x, b.y};
}

SIZE DC::SizeLPtoDP(SIZE s) const {
  const DCState& st = state_;
  return {RoundToInt(std::abs(static_cast<double>(s.cx) * st.viewport_ext.cx / st.window_ext.cx)),
          RoundToInt(std::abs(static_cast<double>(s.cy) * st.viewport_ext.cy / st.window_ext.cy))};
}

SIZE DC::SizeDPtoLP(SIZE s) const {
  const DCState& st = state_;
  return {RoundToInt(std::abs(static_cast<double>(s.cx) * st.window_ext.cx / st.viewport_ext.cx)),
          RoundToInt(std::abs(static_cast<double>(s.cy) * st.window_ext.cy / st.viewport_ext.cy))};
}

// ---- DC: objects and modes -------------------------------------------------------------------

Pen DC::SelectPen(const Pen& pen) {
  Pen previous = state_.pen;
  state_.pen = pen;
  Changed(DCChange::kPen);
  return previous;
}

Brush DC::SelectBrush(const Brush& brush) {
  Brush previous = state_.brush;
  state_.brush = brush;
  Changed(DCChange::kBrush);
  return previous;
}

LOGFONT DC::SelectFont(const LOGFONT& font) {
  LOGFONT previous = state_.font;
  state_.font = font;
  // The face name is always terminated, whatever the caller's bytes held.
  state_.font.lfFaceName[LF_FACESIZE - 1] = '\0';
  Changed(DCChange::kFont);
  return previous;
}

COLORREF DC::SetTextColor(COLORREF color) {
  const COLORREF previous = state_.text_color;
  state_.text_color = color & 0xFFFFFFu;
  Changed(DCChange::kTextColor);
  return previous;
}

COLORREF DC::SetBkColor(COLORREF color) {
  const COLORREF previous = state_.bk_color;
  state_.bk_color = color & 0xFFFFFFu;
  Changed(DCChange::kBkColor);
  return previous;
}

int DC::SetBkMode(int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  const int previous = state_.bk_mode;
  state_.bk_mode = mode;
  Changed(DCChange::kBkMode);
  return previous;
}

std::uint32_t DC::SetTextAlign(std::uint32_t flags) {
  const std::uint32_t previous = state_.text_align;
  state_.text_align = flags & TA_MASK;
  Changed(DCChange::kTextAlign);
  return previous;
}

int DC::SetPolyFillMode(int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  const int previous = state_.poly_fill_mode;
  state_.poly_fill_mode = mode;
  Changed(DCChange::kPolyFillMode);
  return previous;
}

int DC::SetROP2(int mode) {
  if (mode < 1 || mode > 16) return 0;
  const int previous = state_.rop2;
  state_.rop2 = mode;
  Changed(DCChange::kRop2);
  return previous;
}

// ---- DC: lines and shapes --------------------------------------------------------------------

POINT DC::MoveTo(std::int32_t x, std::int32_t y) {
  const POINT previous = state_.current_position;
  DoMoveTo(POINT{x, y});
  state_.current_position = {x, y};
  return previous;
}

bool DC::LineTo(std::int32_t x, std::int32_t y) {
  const bool ok = DoLineTo(POINT{x, y});
  state_.current_position = {x, y};
  return ok;
}

bool DC::Polyline(const POINT* points, int count) {
  if (!points || count < 2) return false;
  return DoPolyline(points, count);
}

bool DC::PolylineTo(const POINT* points, int count) {
  if (!points || count < 1) return false;
  const bool ok = DoPolylineTo(points, count);
  state_.current_position = points[count - 1];
  return ok;
}

bool DC::PolyBezier(const POINT* points, int count) {
  if (!points || count < 4 || (count - 1) % 3 != 0) return false;
  return DoPolyBezier(points, count);
}

bool DC::PolyBezierTo(const POINT* points, int count) {
  if (!points || count < 3 || count % 3 != 0) return false;
  const bool ok = DoPolyBezierTo(points, count);
  state_.current_position = points[count - 1];
  return ok;
}

bool DC::Polygon(const POINT* points, int count) {
  if (!points || count < 2) return false;
  return DoPolygon(points, count);
}

bool DC::Rectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  return DoRectangle(RECT{left, top, right, bottom});
}

bool DC::Ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  return DoEllipse(RECT{left, top, right, bottom});
}

bool DC::FillRect(const RECT& rect, const Brush& brush) { return DoFillRect(rect, brush); }

// ---- DC: paths -------------------------------------------------------------------------------

bool DC::BeginPath() {
  if (path_ != PathState::kNone) DoAbortPath();
  path_ = PathState::kNone;
  if (!DoBeginPath()) return false;
  path_ = PathState::kOpen;
  return true;
}

bool DC::EndPath() {
  if (path_ != PathState::kOpen) return false;
  path_ = PathState::kClosed;
  return DoEndPath();
}

bool DC::CloseFigure() {
  if (path_ != PathState::kOpen) return false;
  return DoCloseFigure();
}

bool DC::AbortPath() {
  if (path_ == PathState::kNone) return true;
  path_ = PathState::kNone;
  return DoAbortPath();
}

bool DC::StrokePath() {
  if (path_ != PathState::kClosed) return false;
  path_ = PathState::kNone;
  return DoStrokePath();
}

bool DC::FillPath() {
  if (path_ != PathState::kClosed) return false;
  path_ = PathState::kNone;
  return DoFillPath();
}

bool DC::StrokeAndFillPath() {
  if (path_ != PathState::kClosed) return false;
  path_ = PathState::kNone;
  return DoStrokeAndFillPath();
}

// ---- DC: text --------------------------------------------------------------------------------

bool DC::TextOut(std::int32_t x, std::int32_t y, std::string_view text) {
  if (path_ == PathState::kOpen) return false;
  const bool update_cp = (state_.text_align & TA_UPDATECP) != 0;
  const POINT at = update_cp ? state_.current_position : POINT{x, y};
  const bool ok = DoTextOut(at, text);
  if (update_cp && !text.empty()) {
    const std::uint32_t horizontal = state_.text_align & TA_HORZ_MASK;
    if (horizontal != TA_CENTER) {
      // The advance in device pixels along the turned baseline, back to logical units.
      const SIZE extent = DoGetTextExtent(text);
      const MappingTransform m = GetMappingTransform();
      const double d = std::abs(extent.cx * m.sx) * (horizontal == TA_RIGHT ? -1.0 : 1.0);
      const double angle = state_.font.lfEscapement * 3.14159265358979323846 / 1800.0;
      const double ddx = d * std::cos(angle);
      const double ddy = -d * std::sin(angle);
      state_.current_position = {RoundToInt(at.x + ddx / m.sx), RoundToInt(at.y + ddy / m.sy)};
    }
  }
  return ok;
}

SIZE DC::GetTextExtent(std::string_view text) const { return DoGetTextExtent(text); }

TEXTMETRIC DC::GetTextMetrics() const { return DoGetTextMetrics(); }

// ---- DC: regions and clipping ----------------------------------------------------------------

bool DC::FillRgn(const Region& region, const Brush& brush) { return DoFillRgn(region, brush); }

bool DC::PaintRgn(const Region& region) { return DoFillRgn(region, state_.brush); }

bool DC::FrameRgn(const Region& region, const Brush& brush, std::int32_t width,
                  std::int32_t height) {
  if (width == std::numeric_limits<std::int32_t>::min()) width = 1;
  if (height == std::numeric_limits<std::int32_t>::min()) height = 1;
  return DoFrameRgn(region, brush, SIZE{std::abs(width), std::abs(height)});
}

bool DC::InvertRgn(const Region& region) { return DoInvertRgn(region); }

void DC::SetSystemClip(const Region* region) {
  has_system_clip_ = region != nullptr;
  system_clip_ = region ? *region : Region();
  Changed(DCChange::kClip);
}

Region DC::DrawableArea() const {
  Region area;
  const RECT& b = device_bounds_;
  if (state_.has_clip) {
    area = state_.clip;
  } else if (b.right > b.left && b.bottom > b.top) {
    area = Region(b);
  } else {
    area = Region::FromRect(-kUnboundedLimit, -kUnboundedLimit, kUnboundedLimit, kUnboundedLimit);
  }
  if (has_system_clip_) area = area.Intersected(system_clip_);
  return area;
}

int DC::GetClipBox(RECT& box) const {
  const Region area = DrawableArea();
  if (area.IsEmpty()) {
    box = RECT{};
    return NULLREGION;
  }
  box = DPtoLP(area.GetBox());
  return area.Kind();
}

int DC::IntersectClipRect(std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom) {
  const Region rect(NormalizedDeviceRect(*this, RECT{left, top, right, bottom}));
  // The caller's clip so far (not the system clip, which stays beneath it).
  const RECT& b = device_bounds_;
  Region current =
      state_.has_clip ? state_.clip
      : (b.right > b.left && b.bottom > b.top)
          ? Region(b)
          : Region::FromRect(-kUnboundedLimit, -kUnboundedLimit, kUnboundedLimit, kUnboundedLimit);
  state_.clip = current.Intersected(rect);
  state_.has_clip = true;
  Changed(DCChange::kClip);
  return DrawableArea().Kind();
}

int DC::SelectClipRgn(const Region* region) {
  if (region) {
    state_.clip = *region;
    state_.has_clip = true;
  } else {
    state_.clip = Region();
    state_.has_clip = false;
  }
  Changed(DCChange::kClip);
  return DrawableArea().Kind();
}

// ---- DC: saved states ------------------------------------------------------------------------

int DC::SaveDC() {
  saved_.push_back(state_);
  const int level = static_cast<int>(saved_.size());
  OnSaveDC(level);
  return level;
}

bool DC::RestoreDC(int level) {
  const int depth = static_cast<int>(saved_.size());
  const int target = level < 0 ? depth + 1 + level : level;
  if (level == 0 || target < 1 || target > depth) return false;
  state_ = saved_[static_cast<std::size_t>(target - 1)];
  saved_.resize(static_cast<std::size_t>(target - 1));
  OnRestoreDC(target, depth - target + 1);
  return true;
}

// ---- Helpers ---------------------------------------------------------------------------------

RECT NormalizedDeviceRect(const DC& dc, const RECT& logical) {
  const RECT d = dc.LPtoDP(logical);
  return {std::min(d.left, d.right), std::min(d.top, d.bottom), std::max(d.left, d.right),
          std::max(d.top, d.bottom)};
}

Region RegionToDevice(const DC& dc, const Region& logical) {
  std::vector<RECT> rects = logical.GetRects();
  for (RECT& r : rects) r = NormalizedDeviceRect(dc, r);
  return Region::FromRects(rects);
}

}  // namespace tessmor
