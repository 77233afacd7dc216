#include "chart/items/DashArc.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/gdi/DC.h"

using tessmor::POINT;
using tessmor::RECT;
using tessmor::Region;

namespace {

constexpr double kPi = std::numbers::pi;
/// Chords per Bézier segment when a curve is flattened for its hit region.
constexpr int kChordsPerSegment = 8;

std::int32_t RoundToInt(double v) {
  return static_cast<std::int32_t>(std::clamp(std::lround(v), -2147483647L - 1, 2147483647L));
}

/// The polyline through the curve's Bézier segments, kChordsPerSegment chords each.
std::vector<POINT> Flatten(const std::vector<POINT>& p) {
  std::vector<POINT> out;
  if (p.empty()) return out;
  out.push_back(p[0]);
  for (std::size_t s = 0; s + 3 < p.size(); s += 3) {
    for (int i = 1; i <= kChordsPerSegment; ++i) {
      const double t = double(i) / kChordsPerSegment, u = 1.0 - t;
      const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
      out.push_back({RoundToInt(a * p[s].x + b * p[s + 1].x + c * p[s + 2].x + d * p[s + 3].x),
                     RoundToInt(a * p[s].y + b * p[s + 1].y + c * p[s + 2].y + d * p[s + 3].y)});
    }
  }
  return out;
}

/// The band `half` units either side of the segment a-b, its ends extended by `half`.
Region Band(POINT a, POINT b, double half) {
  const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
  const double len = std::hypot(dx, dy);
  if (len <= 0.0) {
    const auto h = RoundToInt(half);
    return Region::FromRect(a.x - h, a.y - h, a.x + h, a.y + h);
  }
  const double ux = dx / len * half, uy = dy / len * half;  // along the segment
  const POINT quad[4] = {{RoundToInt(a.x - ux - uy), RoundToInt(a.y - uy + ux)},
                         {RoundToInt(b.x + ux - uy), RoundToInt(b.y + uy + ux)},
                         {RoundToInt(b.x + ux + uy), RoundToInt(b.y + uy - ux)},
                         {RoundToInt(a.x - ux + uy), RoundToInt(a.y - uy - ux)}};
  return Region::FromPolygon(quad, 4, tessmor::WINDING);
}

}  // namespace

CDashArc::CDashArc(tessmor::DC* dc, const int* entries, int count)
    : CDashLine(dc, entries, count) {}

int CDashArc::BuildArc(POINT centre, double rotation, double start, double end, double rx,
                       double ry) {
  m_points.clear();
  m_bClosed = 0;
  m_centre = centre;
  m_bounds = RECT{centre.x, centre.y, centre.x, centre.y};
  if (!std::isfinite(rotation) || !std::isfinite(start) || !std::isfinite(end) ||
      !std::isfinite(rx) || !std::isfinite(ry)) {
    return 0;
  }
  rx = std::fabs(rx), ry = std::fabs(ry);
  const bool closed = (start == 0.0 && end == 360.0) || start == end;
  double sweep = closed ? 360.0 : std::fmod(end - start, 360.0);
  if (sweep <= 0.0) sweep += 360.0;
  // The ellipse's own parameter of the point where the ray at `deg` meets it.
  auto parameter = [&](double deg) {
    const double a = deg * kPi / 180.0;
    if (rx == 0.0 || ry == 0.0) return a;
    return std::atan2(rx * std::sin(a), ry * std::cos(a));
  };
  const double phi0 = parameter(start);
  double phi1 = closed ? phi0 + 2 * kPi : parameter(start + sweep);
  if (!closed) {
    while (phi1 <= phi0) phi1 += 2 * kPi;
    while (phi1 - phi0 > 2 * kPi) phi1 -= 2 * kPi;
  }
  const int segments = std::clamp(int(std::ceil((phi1 - phi0) / (kPi / 2) - 1e-9)), 1, 4);
  const double step = (phi1 - phi0) / segments;
  const double k = 4.0 / 3.0 * std::tan(step / 4.0);  // control length per unit of tangent
  const double rot = rotation * kPi / 180.0, cr = std::cos(rot), sr = std::sin(rot);
  auto place = [&](double x, double y) {
    return POINT{RoundToInt(centre.x + x * cr - y * sr), RoundToInt(centre.y + x * sr + y * cr)};
  };
  m_points.reserve(1 + 3 * segments);
  m_points.push_back(place(rx * std::cos(phi0), ry * std::sin(phi0)));
  for (int s = 0; s < segments; ++s) {
    const double a = phi0 + s * step, b = a + step;
    const double ax = rx * std::cos(a), ay = ry * std::sin(a);
    const double bx = rx * std::cos(b), by = ry * std::sin(b);
    m_points.push_back(place(ax - k * rx * std::sin(a), ay + k * ry * std::cos(a)));
    m_points.push_back(place(bx + k * rx * std::sin(b), by - k * ry * std::cos(b)));
    m_points.push_back(place(bx, by));
  }
  if (closed) m_points.back() = m_points.front();  // no rounding gap in a full ellipse
  m_bClosed = closed ? 1 : 0;
  UpdateBounds();
  return GetPointCount();
}

int CDashArc::BuildArcInBox(const RECT& box, POINT centre, double rotation, double start,
                            double end) {
  const double rx = std::fabs(double(box.right) - box.left) / 2.0;
  const double ry = std::fabs(double(box.bottom) - box.top) / 2.0;
  return BuildArc(centre, rotation, start, end, rx, ry);
}

int CDashArc::BuildSpline(const POINT* points, int count) {
  m_points.clear();
  m_bClosed = 0;
  if (!points || count < 2) return 0;
  m_centre = points[0];
  auto at = [&](int i) { return points[std::clamp(i, 0, count - 1)]; };
  m_points.reserve(1 + 3 * std::size_t(count - 1));
  m_points.push_back(points[0]);
  for (int i = 0; i + 1 < count; ++i) {
    const POINT p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
    m_points.push_back({RoundToInt(p1.x + (double(p2.x) - p0.x) / 6.0),
                        RoundToInt(p1.y + (double(p2.y) - p0.y) / 6.0)});
    m_points.push_back({RoundToInt(p2.x - (double(p3.x) - p1.x) / 6.0),
                        RoundToInt(p2.y - (double(p3.y) - p1.y) / 6.0)});
    m_points.push_back(p2);
  }
  UpdateBounds();
  return GetPointCount();
}

void CDashArc::UpdateBounds() {
  if (m_points.empty()) return;
  RECT b{m_points[0].x, m_points[0].y, m_points[0].x, m_points[0].y};
  for (const POINT& p : m_points) {
    b.left = std::min(b.left, p.x), b.right = std::max(b.right, p.x);
    b.top = std::min(b.top, p.y), b.bottom = std::max(b.bottom, p.y);
  }
  m_bounds = b;
}

Region CDashArc::FillRegion() const {
  if (m_points.size() < 2) return Region();
  const int n = GetPointCount();
  if (m_bClosed) return Region::FromPolygon(m_points.data(), n - 1, tessmor::WINDING);
  const POINT wedge[3] = {m_points.front(), m_centre, m_points.back()};
  return Region::FromPolygon(m_points.data(), n, tessmor::WINDING)
      .Xored(Region::FromPolygon(wedge, 3, tessmor::WINDING));
}

Region CDashArc::OutlineRegion(int penWidth) const {
  if (m_points.empty()) return Region();
  const double half = std::max(penWidth, 1) / 2.0;
  std::vector<POINT> line = Flatten(m_points);
  line.push_back(line.front());  // the closed path
  Region out = Band(line[0], line[0], half);
  for (std::size_t i = 1; i < line.size(); ++i) out = out.United(Band(line[i - 1], line[i], half));
  out =
      out.United(Region::FromPolygon(line.data(), static_cast<int>(line.size()), tessmor::WINDING));
  if (!m_bClosed) {
    const POINT wedge[3] = {m_points.front(), m_centre, m_points.back()};
    out = out.United(Region::FromPolygon(wedge, 3, tessmor::WINDING));
  }
  return out;
}

void CDashArc::DrawArc(bool fill) {
  if (m_points.empty() || !m_pDC) return;
  if (fill) {
    if (m_bPathOpen) EndPath(false);
    m_pDC->BeginPath();
    m_pDC->MoveTo(m_points[0].x, m_points[0].y);
    m_pDC->PolyBezierTo(m_points.data() + 1, GetPointCount() - 1);
    if (!m_bClosed) m_pDC->LineTo(m_centre.x, m_centre.y);
    m_pDC->CloseFigure();
    m_pDC->EndPath();
    m_pDC->FillPath();
  }
  DrawOutline(OutlineThroughCentre());
}

void CDashArc::DrawCurve() { DrawOutline(false); }

void CDashArc::DrawOutline(bool throughCentre) {
  if (m_points.empty()) return;
  MoveTo(m_points[0].x, m_points[0].y);
  if (!m_pDC) return;
  if (m_bPathMode) {
    m_pDC->BeginPath();
    m_bPathOpen = 1;
  }
  for (std::size_t i = 1; i + 2 < m_points.size(); i += 3) BezierTo(&m_points[i]);
  if (throughCentre && !m_bClosed) {
    LineTo(m_centre.x, m_centre.y);
    LineTo(m_points[0].x, m_points[0].y);
  }
  EndPath(false);
}
