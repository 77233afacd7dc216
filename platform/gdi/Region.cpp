#include "platform/gdi/Region.h"

#include <QPolygon>
#include <QRect>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace tessmor {

struct Region::Impl {
  QRegion region;
};

namespace {

constexpr std::int32_t kLimit = 1 << 27;

std::int32_t Clamp(std::int32_t v) { return std::clamp(v, -kLimit, kLimit); }

// The rectangle (normalised, clamped) as a QRect; null when it has no area.
QRect ToQRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  const std::int32_t l = Clamp(std::min(left, right));
  const std::int32_t r = Clamp(std::max(left, right));
  const std::int32_t t = Clamp(std::min(top, bottom));
  const std::int32_t b = Clamp(std::max(top, bottom));
  if (l == r || t == b) return QRect();
  return QRect(l, t, r - l, b - t);
}

int KindOf(const QRegion& r) {
  const int n = r.rectCount();
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

Region::Region() : impl_(std::make_unique<Impl>()) {}

Region::Region(const RECT& rect) : Region() {
  const QRect q = ToQRect(rect.left, rect.top, rect.right, rect.bottom);
  if (!q.isNull()) impl_->region = QRegion(q);
}

Region::~Region() = default;

Region::Region(const Region& other) : impl_(std::make_unique<Impl>(*other.impl_)) {}

Region& Region::operator=(const Region& other) {
  if (this != &other) *impl_ = *other.impl_;
  return *this;
}

// Moving swaps: a region moved from by construction is empty, one moved from by assignment
// holds the old value of its target; either way it stays usable.
Region::Region(Region&& other) noexcept : Region() { std::swap(impl_, other.impl_); }

Region& Region::operator=(Region&& other) noexcept {
  std::swap(impl_, other.impl_);
  return *this;
}

Region Region::FromRect(std::int32_t left, std::int32_t top, std::int32_t right,
                        std::int32_t bottom) {
  return Region(RECT{left, top, right, bottom});
}

namespace {

constexpr std::int64_t kMaxPolygonRows = std::int64_t{1} << 20;
constexpr std::size_t kMaxPolygonRects = std::size_t{1} << 22;

struct Edge {
  double y0, y1;  // y0 < y1; the edge holds scan lines y0 <= yc < y1
  double x0;      // x at y0
  double slope;   // dx / dy
  int direction;  // +1 downwards, -1 upwards
};

struct Crossing {
  double x;
  int direction;
};

// The polygon's unit squares as y-x banded rectangles (the form QRegion::setRects takes): a
// square (x, y) belongs when its centre (x + 0.5, y + 0.5) is inside, a centre on a left edge
// counting as inside and one on a right edge as outside. Empty when the polygon spans more
// rows or rectangles than the limits.
std::vector<QRect> ScanPolygon(const POINT* points, int count, bool winding) {
  std::vector<Edge> edges;
  edges.reserve(static_cast<std::size_t>(count));
  std::int64_t top = INT64_MAX, bottom = INT64_MIN;
  for (int i = 0; i < count; ++i) {
    const POINT a{Clamp(points[i].x), Clamp(points[i].y)};
    const POINT b{Clamp(points[(i + 1) % count].x), Clamp(points[(i + 1) % count].y)};
    top = std::min<std::int64_t>(top, a.y);
    bottom = std::max<std::int64_t>(bottom, a.y);
    if (a.y == b.y) continue;
    const bool down = a.y < b.y;
    const POINT& u = down ? a : b;
    const POINT& v = down ? b : a;
    edges.push_back(
        Edge{static_cast<double>(u.y), static_cast<double>(v.y), static_cast<double>(u.x),
             static_cast<double>(v.x - u.x) / static_cast<double>(v.y - u.y), down ? 1 : -1});
  }
  std::vector<QRect> rects;
  if (edges.empty() || bottom - top > kMaxPolygonRows) return rects;
  std::sort(edges.begin(), edges.end(), [](const Edge& e, const Edge& f) { return e.y0 < f.y0; });

  std::vector<const Edge*> active;
  std::vector<Crossing> crossings;
  std::vector<std::pair<int, int>> spans, band;  // [first, last + 1) of each run of squares
  std::size_t next = 0;
  int band_top = 0;
  auto flush = [&](int band_bottom) {
    for (const auto& [l, r] : band) rects.emplace_back(l, band_top, r - l, band_bottom - band_top);
  };
  for (std::int64_t y = top; y < bottom; ++y) {
    const double yc = static_cast<double>(y) + 0.5;
    while (next < edges.size() && edges[next].y0 <= yc) active.push_back(&edges[next++]);
    std::erase_if(active, [yc](const Edge* e) { return e->y1 <= yc; });
    crossings.clear();
    for (const Edge* e : active) {
      if (e->y0 <= yc) crossings.push_back({e->x0 + (yc - e->y0) * e->slope, e->direction});
    }
    std::sort(crossings.begin(), crossings.end(),
              [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
    spans.clear();
    int wind = 0;
    for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
      wind += winding ? crossings[i].direction : 1;
      const bool inside = winding ? wind != 0 : (wind % 2) != 0;
      if (!inside) continue;
      const int l = static_cast<int>(std::ceil(crossings[i].x - 0.5));
      const int r = static_cast<int>(std::ceil(crossings[i + 1].x - 0.5));
      if (r <= l) continue;
      if (!spans.empty() && spans.back().second >= l) {
        spans.back().second = std::max(spans.back().second, r);
      } else {
        spans.emplace_back(l, r);
      }
    }
    if (spans != band) {
      flush(static_cast<int>(y));
      band = spans;
      band_top = static_cast<int>(y);
      if (rects.size() > kMaxPolygonRects) return {};
    }
  }
  flush(static_cast<int>(bottom));
  return rects;
}

// The union of many rectangles, joined pairwise so that the work grows as n log n.
QRegion UniteAll(std::vector<QRegion> parts) {
  if (parts.empty()) return QRegion();
  while (parts.size() > 1) {
    std::vector<QRegion> joined;
    joined.reserve((parts.size() + 1) / 2);
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
      joined.push_back(parts[i].united(parts[i + 1]));
    }
    if (parts.size() % 2 == 1) joined.push_back(std::move(parts.back()));
    parts = std::move(joined);
  }
  return parts.front();
}

}  // namespace

Region Region::FromPolygon(const POINT* points, int count, int fill_mode) {
  Region result;
  if (!points || count < 3 || (fill_mode != ALTERNATE && fill_mode != WINDING)) return result;
  const std::vector<QRect> rects = ScanPolygon(points, count, fill_mode == WINDING);
  if (!rects.empty()) result.impl_->region.setRects(rects.data(), static_cast<int>(rects.size()));
  return result;
}

Region Region::FromRects(const std::vector<RECT>& rects) {
  std::vector<QRegion> parts;
  parts.reserve(rects.size());
  for (const RECT& rect : rects) {
    const QRect q = ToQRect(rect.left, rect.top, rect.right, rect.bottom);
    if (!q.isNull()) parts.emplace_back(q);
  }
  Region result;
  result.impl_->region = UniteAll(std::move(parts));
  return result;
}

int Region::Kind() const { return KindOf(impl_->region); }

bool Region::IsEmpty() const { return impl_->region.isEmpty(); }

RECT Region::GetBox() const {
  if (impl_->region.isEmpty()) return RECT{};
  const QRect b = impl_->region.boundingRect();
  return RECT{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
}

std::vector<RECT> Region::GetRects() const {
  std::vector<RECT> rects;
  rects.reserve(static_cast<std::size_t>(impl_->region.rectCount()));
  for (const QRect& q : impl_->region) {
    rects.push_back(RECT{q.left(), q.top(), q.left() + q.width(), q.top() + q.height()});
  }
  return rects;
}

bool Region::Contains(std::int32_t x, std::int32_t y) const {
  return impl_->region.contains(QPoint(x, y));
}

bool Region::Intersects(const RECT& rect) const {
  const QRect q = ToQRect(rect.left, rect.top, rect.right, rect.bottom);
  return !q.isNull() && impl_->region.intersects(q);
}

void Region::Offset(std::int32_t dx, std::int32_t dy) {
  if (impl_->region.isEmpty()) return;
  // Keep every edge inside the limit: clip the move rather than wrap around.
  const RECT box = GetBox();
  const std::int64_t min_dx = static_cast<std::int64_t>(-kLimit) - box.left;
  const std::int64_t max_dx = static_cast<std::int64_t>(kLimit) - box.right;
  const std::int64_t min_dy = static_cast<std::int64_t>(-kLimit) - box.top;
  const std::int64_t max_dy = static_cast<std::int64_t>(kLimit) - box.bottom;
  impl_->region.translate(static_cast<int>(std::clamp<std::int64_t>(dx, min_dx, max_dx)),
                          static_cast<int>(std::clamp<std::int64_t>(dy, min_dy, max_dy)));
}

int Region::Combine(const Region& a, const Region& b, int mode) {
  QRegion result;
  switch (mode) {
    case RGN_AND:
      result = a.impl_->region.intersected(b.impl_->region);
      break;
    case RGN_OR:
      result = a.impl_->region.united(b.impl_->region);
      break;
    case RGN_XOR:
      result = a.impl_->region.xored(b.impl_->region);
      break;
    case RGN_DIFF:
      result = a.impl_->region.subtracted(b.impl_->region);
      break;
    case RGN_COPY:
      result = a.impl_->region;
      break;
    default:
      return RGN_ERROR;
  }
  impl_->region = result;
  return KindOf(result);
}

Region Region::United(const Region& other) const {
  Region r;
  r.Combine(*this, other, RGN_OR);
  return r;
}

Region Region::Intersected(const Region& other) const {
  Region r;
  r.Combine(*this, other, RGN_AND);
  return r;
}

Region Region::Subtracted(const Region& other) const {
  Region r;
  r.Combine(*this, other, RGN_DIFF);
  return r;
}

Region Region::Xored(const Region& other) const {
  Region r;
  r.Combine(*this, other, RGN_XOR);
  return r;
}

bool operator==(const Region& a, const Region& b) { return a.impl_->region == b.impl_->region; }

}  // namespace tessmor
