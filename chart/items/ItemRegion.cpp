#include "chart/items/ItemRegion.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "dirstats/Bearing.h"
#include "platform/gdi/DC.h"
#include "platform/io/Archive.h"
#include "plotsupport/Geometry.h"

using tessmor::POINT;
using tessmor::RECT;
using tessmor::Region;

namespace {

constexpr std::int64_t kCoordLimit = std::int64_t{1} << 27;
constexpr int kMaxHalfWidth = 1 << 26;
// Taller polygons are more rows than a region is scanned for; they fall back to their box.
constexpr std::int64_t kMaxPolygonHeight = std::int64_t{1} << 20;
// A scanned polygon keeps at most this many rectangles (beyond it the scan gives nothing).
constexpr std::int64_t kMaxPolygonRects = std::int64_t{1} << 22;

std::int32_t Held(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp(v, -kCoordLimit, kCoordLimit));
}

RECT Normalised(const RECT& r) {
  return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
              std::max(r.top, r.bottom)};
}

// The rectangle around the segment p-q (one point when p == q), `r` beyond it on every side.
RECT Widened(POINT p, POINT q, int r) {
  return RECT{
      Held(std::int64_t{std::min(p.x, q.x)} - r), Held(std::int64_t{std::min(p.y, q.y)} - r),
      Held(std::int64_t{std::max(p.x, q.x)} + r), Held(std::int64_t{std::max(p.y, q.y)} + r)};
}

RECT BoxOf(const std::vector<POINT>& points) {
  RECT box{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const POINT& p : points) {
    box.left = std::min(box.left, p.x);
    box.right = std::max(box.right, p.x);
    box.top = std::min(box.top, p.y);
    box.bottom = std::max(box.bottom, p.y);
  }
  return box;
}

// The polygon's area (non-zero winding); a polygon too tall to be scanned gives its box, so
// that a long line never loses its hit region.
Region PolygonRegion(const std::vector<POINT>& points) {
  Region region =
      Region::FromPolygon(points.data(), static_cast<int>(points.size()), tessmor::WINDING);
  if (region.IsEmpty() && points.size() >= 3) {
    const RECT box = BoxOf(points);
    if (std::int64_t{box.bottom} - box.top > kMaxPolygonHeight) region = Region(box);
  }
  return region;
}

// The area a closed outline encloses, whichever way round it runs (square units).
double EnclosedArea(const std::vector<POINT>& ring) {
  double twice = 0.0;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const POINT& a = ring[i];
    const POINT& b = ring[(i + 1) % ring.size()];
    twice += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
  }
  return std::fabs(twice) / 2.0;
}

// One side of a closed band as a ring, repeats removed; a ring that shrank to one point is
// the unit square around it, one unit either side.
Region RingRegion(const std::vector<POINT>& ring) {
  if (ring.size() == 1) return Region(Widened(ring[0], ring[0], 1));
  return PolygonRegion(ring);
}

// What PolygonRegion(points) gives at most. Each row's runs of squares start and end where
// edges cross it, so all rows together hold at most half the rows the edges cross.
CItemRegion::Extent PolygonRegionExtent(const std::vector<POINT>& points) {
  CItemRegion::Extent e;
  if (points.size() < 3) return e;
  const RECT box = BoxOf(points);
  e.bounds = RECT{Held(box.left), Held(box.top), Held(box.right), Held(box.bottom)};
  const std::int64_t height = std::int64_t{e.bounds.bottom} - e.bounds.top;
  if (height > kMaxPolygonHeight) {
    // Not scanned: the box itself.
    e.rectangles = 1;
    e.rowRuns = height;
    return e;
  }
  std::int64_t crossed = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const POINT& a = points[i];
    const POINT& b = points[(i + 1) % points.size()];
    crossed += std::abs(std::int64_t{Held(b.y)} - Held(a.y));
  }
  e.rowRuns = (crossed + 1) / 2;
  e.rectangles = std::max<std::int64_t>(std::min(e.rowRuns, kMaxPolygonRects + 1), 1);
  return e;
}

CItemRegion::Extent RingRegionExtent(const std::vector<POINT>& ring) {
  if (ring.size() != 1) return PolygonRegionExtent(ring);
  CItemRegion::Extent e;
  e.bounds = Widened(ring[0], ring[0], 1);
  e.rectangles = 1;
  e.rowRuns = std::int64_t{e.bounds.bottom} - e.bounds.top;
  return e;
}

// The shape BuildFromPolyline makes of a polyline: one rectangle, the outline of an open band
// or the two rings of a closed one.
struct PolylineShape {
  enum Kind { kNothing, kRectangle, kBand, kRing } kind = kNothing;
  RECT rect{};
  std::vector<POINT> outline;       // kBand, repeats removed
  std::vector<POINT> ring1, ring2;  // kRing, repeats removed
};

PolylineShape ShapeOfPolyline(const POINT* points, int count, int halfWidth) {
  PolylineShape shape;
  std::vector<POINT> p = CItemRegion::RemoveRepeatedPoints(points, count);
  if (p.empty()) return shape;
  const int r = std::clamp(halfWidth, 1, kMaxHalfWidth);

  if (p.size() == 1) {
    shape.kind = PolylineShape::kRectangle;
    shape.rect = Widened(p[0], p[0], r);
    return shape;
  }
  if (p.size() == 2) {
    if (p[0].x == p[1].x || p[0].y == p[1].y) {
      shape.kind = PolylineShape::kRectangle;
      shape.rect = Widened(p[0], p[1], r);
      return shape;
    }
    // A slanting segment is widened through its midpoint. When the points are so close that
    // the midpoint falls on one of them, the segment alone gives the same band.
    const POINT mid{static_cast<std::int32_t>((std::int64_t{p[0].x} + p[1].x) / 2),
                    static_cast<std::int32_t>((std::int64_t{p[0].y} + p[1].y) / 2)};
    if (!(mid == p[0]) && !(mid == p[1])) p.insert(p.begin() + 1, mid);
  }
  if (p.size() == 3 && p[0] == p[2]) {
    shape.kind = PolylineShape::kRectangle;
    shape.rect = Widened(p[0], p[1], r);
    return shape;
  }

  const bool closed = p.front() == p.back();
  const CItemRegion::BandOutline band =
      CItemRegion::BuildBandOutline(p.data(), static_cast<int>(p.size()), r, closed);
  if (!closed) {
    std::vector<POINT> outline = band.side1;
    outline.insert(outline.end(), band.side2.rbegin(), band.side2.rend());
    shape.kind = PolylineShape::kBand;
    shape.outline =
        CItemRegion::RemoveRepeatedPoints(outline.data(), static_cast<int>(outline.size()));
  } else {
    shape.kind = PolylineShape::kRing;
    shape.ring1 =
        CItemRegion::RemoveRepeatedPoints(band.side1.data(), static_cast<int>(band.side1.size()));
    shape.ring2 =
        CItemRegion::RemoveRepeatedPoints(band.side2.data(), static_cast<int>(band.side2.size()));
  }
  return shape;
}

// `from` moved `distance` units along `bearing` (degrees), rounded to whole units.
POINT Offset(POINT from, float bearing, float distance) {
  POINT out = from;
  NewPointOffset(static_cast<float>(SetSensibleBearing(bearing)), out, &from, distance);
  return out;
}

}  // namespace

void CItemRegion::Init() {
  Clear();
  m_nLastResult = tessmor::NULLREGION;
}

void CItemRegion::Clear() {
  m_rects.clear();
  m_rects.shrink_to_fit();
  m_bounds = RECT{};
  m_bStale = false;
}

namespace {
thread_local CItemRegion::BuildBudget* g_budget = nullptr;
}  // namespace

CItemRegion::BuildBudget::BuildBudget(std::int64_t rectangles)
    : m_left(rectangles), m_pOuter(g_budget) {
  g_budget = this;
}

CItemRegion::BuildBudget::~BuildBudget() { g_budget = m_pOuter; }

void CItemRegion::Charge(std::size_t rectangles) {
  if (!g_budget) return;
  g_budget->m_left -= static_cast<std::int64_t>(rectangles);
  if (g_budget->m_left < 0) {
    Clear();
    throw tessmor::ArchiveException();
  }
}

void CItemRegion::AddRectangle(const RECT& rect) {
  Charge(1);
  const RECT r = Normalised(rect);
  if (m_rects.empty()) {
    m_bounds = r;
    m_bStale = false;
  } else {
    m_bStale = true;
  }
  m_rects.push_back(r);
}

RECT CItemRegion::GetBounds() const {
  if (m_bStale) {
    m_bounds = GetRegion().GetBox();
    m_bStale = false;
  }
  return m_bounds;
}

Region CItemRegion::GetRegion() const {
  if (m_rects.size() == 1) return Region(m_rects[0]);
  return Region::FromRects(m_rects);
}

void CItemRegion::TakeRegion(const Region& region) {
  m_rects = region.GetRects();
  Charge(m_rects.size());
  m_bounds = region.GetBox();
  m_bStale = false;
}

void CItemRegion::Unite(const Region& region) {
  if (m_rects.empty()) {
    m_nLastResult = region.Kind();
    TakeRegion(region);
    return;
  }
  Region combined;
  m_nLastResult = combined.Combine(GetRegion(), region, tessmor::RGN_OR);
  TakeRegion(combined);
}

std::vector<POINT> CItemRegion::RemoveRepeatedPoints(const POINT* points, int count) {
  std::vector<POINT> kept;
  if (!points || count < 1) return kept;
  kept.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    if (i == count - 1 || !(points[i] == points[i + 1])) kept.push_back(points[i]);
  }
  if (kept.size() == 3 && kept[0] == kept[2]) kept.pop_back();
  return kept;
}

void CItemRegion::BuildFromPolygon(const POINT* points, int count) {
  const std::vector<POINT> once = RemoveRepeatedPoints(points, count);
  if (once.empty()) return;
  const std::vector<POINT> twice = RemoveRepeatedPoints(once.data(), static_cast<int>(once.size()));
  Unite(PolygonRegion(twice));
}

CItemRegion::BandOutline CItemRegion::BuildBandOutline(const POINT* points, int count,
                                                       int halfWidth, bool closed) {
  BandOutline out;
  if (!points || count < 2) return out;
  const float d = static_cast<float>(halfWidth * std::sqrt(2.0));
  out.side1.reserve(static_cast<std::size_t>(count));
  out.side2.reserve(static_cast<std::size_t>(count));

  // A segment of no length (which the caller should have removed) keeps the last direction.
  float b = FindBearingOfLine(&points[0], &points[1]);
  if (b == kNoBearing) b = 0.0f;
  out.side1.push_back(Offset(points[0], b + 135.0f, d));
  out.side2.push_back(Offset(points[0], b + 225.0f, d));
  POINT e1 = Offset(points[1], b + 135.0f, d);
  POINT e2 = Offset(points[1], b + 225.0f, d);

  for (int i = 1; i <= count - 2; ++i) {
    float next = FindBearingOfLine(&points[i], &points[i + 1]);
    if (next == kNoBearing) next = b;
    const float t = FindAngleBetween(b, next);
    const POINT s1 = Offset(points[i], next + 135.0f, d);
    const POINT s2 = Offset(points[i], next + 225.0f, d);
    // The join: the incoming segment's end corners on the inner side of a gentle turn, the
    // outgoing segment's start corners where the line turns sharply or doubles back.
    POINT p1, p2;
    if (t >= 0.0f && t < 135.0f) {
      p1 = e1, p2 = s2;
    } else if (t > -135.0f && t < 0.0f) {
      p1 = s1, p2 = e2;
    } else if (t >= 135.0f && t <= 170.0f) {
      p1 = e1, p2 = s1;
    } else if (t >= -170.0f && t <= -135.0f) {
      p1 = s1, p2 = e1;
    } else {
      p1 = s1, p2 = s2;
    }
    out.side1.push_back(p1);
    out.side2.push_back(p2);
    e1 = Offset(points[i + 1], next + 135.0f, d);
    e2 = Offset(points[i + 1], next + 225.0f, d);
    b = next;
  }

  if (closed) {
    out.side1.push_back(out.side1.front());
    out.side2.push_back(out.side2.front());
  } else {
    out.side1.push_back(Offset(points[count - 1], b + 45.0f, d));
    out.side2.push_back(Offset(points[count - 1], b - 45.0f, d));
  }
  return out;
}

void CItemRegion::BuildFromPolyline(const POINT* points, int count, int halfWidth) {
  const PolylineShape shape = ShapeOfPolyline(points, count, halfWidth);
  switch (shape.kind) {
    case PolylineShape::kNothing:
      return;
    case PolylineShape::kRectangle:
      AddRectangle(shape.rect);
      return;
    case PolylineShape::kBand:
      Unite(PolygonRegion(shape.outline));
      return;
    case PolylineShape::kRing: {
      // The ring between the two sides when side 1 is the outer one; when side 1 runs inside
      // side 2 (a ring drawn clockwise) the whole area inside the outer side is taken
      // instead. Which side is outside is told by the areas they enclose: at a sharp corner
      // the inner side crosses the outer one, and their difference is then a few slivers.
      const Region ring1 = RingRegion(shape.ring1);
      const Region ring2 = RingRegion(shape.ring2);
      Region result;
      if (EnclosedArea(shape.ring1) >= EnclosedArea(shape.ring2)) {
        result.Combine(ring1, ring2, tessmor::RGN_DIFF);
      }
      if (result.IsEmpty()) result.Combine(ring1, ring2, tessmor::RGN_OR);
      Unite(result);
      return;
    }
  }
}

CItemRegion::Extent CItemRegion::PolygonExtent(const POINT* points, int count) {
  const std::vector<POINT> once = RemoveRepeatedPoints(points, count);
  if (once.empty()) return Extent{};
  return PolygonRegionExtent(RemoveRepeatedPoints(once.data(), static_cast<int>(once.size())));
}

CItemRegion::Extent CItemRegion::PolylineExtent(const POINT* points, int count, int halfWidth) {
  const PolylineShape shape = ShapeOfPolyline(points, count, halfWidth);
  switch (shape.kind) {
    case PolylineShape::kRectangle: {
      Extent e;
      e.bounds = Normalised(shape.rect);
      e.rectangles = 1;
      e.rowRuns = std::int64_t{e.bounds.bottom} - e.bounds.top;
      return e;
    }
    case PolylineShape::kBand:
      return PolygonRegionExtent(shape.outline);
    case PolylineShape::kRing:
      // The difference of the rings, or their union, covers no more than the union.
      return UnionExtent(RingRegionExtent(shape.ring1), RingRegionExtent(shape.ring2));
    case PolylineShape::kNothing:
      break;
  }
  return Extent{};
}

CItemRegion::Extent CItemRegion::UnionExtent(const Extent& a, const Extent& b) {
  if (a.rectangles == 0) return b;
  if (b.rectangles == 0) return a;
  Extent e;
  e.bounds =
      RECT{std::min(a.bounds.left, b.bounds.left), std::min(a.bounds.top, b.bounds.top),
           std::max(a.bounds.right, b.bounds.right), std::max(a.bounds.bottom, b.bounds.bottom)};
  // Each row of the union holds no more runs than the two rows together. One rectangle
  // splits the other region's bands at most twice and adds at most one run to each band.
  e.rowRuns = a.rowRuns + b.rowRuns;
  e.rectangles = e.rowRuns;
  if (a.rectangles == 1) e.rectangles = std::min(e.rectangles, 3 * b.rectangles + 3);
  if (b.rectangles == 1) e.rectangles = std::min(e.rectangles, 3 * a.rectangles + 3);
  return e;
}

void CItemRegion::Reserve(std::int64_t rectangles) {
  if (!g_budget) return;
  g_budget->m_left -= rectangles;
  if (g_budget->m_left < 0) throw tessmor::ArchiveException();
}

bool CItemRegion::HitTest(std::int32_t x, std::int32_t y, std::int32_t dx, std::int32_t dy) const {
  const RECT b = GetBounds();
  const std::int64_t px = x, py = y;
  if (px < std::int64_t{b.left} + dx || px >= std::int64_t{b.right} + dx ||
      py < std::int64_t{b.top} + dy || py >= std::int64_t{b.bottom} + dy) {
    return false;
  }
  if (m_rects.size() < 2) return true;
  // The region is the union of the rectangles: the point is in it when it is in one of them.
  const std::int64_t qx = px - dx, qy = py - dy;
  return std::any_of(m_rects.begin(), m_rects.end(), [qx, qy](const RECT& r) {
    return qx >= r.left && qx < r.right && qy >= r.top && qy < r.bottom;
  });
}

void CItemRegion::Draw(tessmor::DC& dc, int mode) const {
  if (m_rects.empty()) return;
  switch (mode) {
    case kFillYellow:
      dc.FillRgn(GetRegion(), tessmor::SolidBrush(0x00FFFF));
      return;
    case kFillHatched:
      dc.FillRgn(GetRegion(), tessmor::HatchBrush(tessmor::HS_BDIAGONAL, 0x646464));
      return;
    case kInvert:
      dc.InvertRgn(GetRegion());
      return;
    case kFrameSolid:
    case kFrameDashed:
    case kFrameDotted: {
      const std::uint32_t style = mode == kFrameSolid    ? tessmor::PS_SOLID
                                  : mode == kFrameDashed ? tessmor::PS_DASH
                                                         : tessmor::PS_DOT;
      const tessmor::Pen old_pen = dc.SelectPen(tessmor::Pen{style, 0, 0x808080});
      const tessmor::Brush old_brush = dc.SelectBrush(tessmor::HollowBrush());
      const RECT b = GetBounds();
      dc.Rectangle(b.left, b.top, b.right, b.bottom);
      dc.SelectBrush(old_brush);
      dc.SelectPen(old_pen);
      return;
    }
    default:
      return;
  }
}
