#include "chart/items/DashLine.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "platform/gdi/DC.h"

using tessmor::POINT;

namespace {

/// Number of chords a Bézier curve is measured with when it is dashed.
constexpr int kBezierChords = 64;

struct PointD {
  double x;
  double y;
};

/// The four Bernstein weights of a cubic at parameter t.
struct Weights {
  double a, b, c, d;
};

constexpr Weights WeightsAt(double t) {
  const double u = 1.0 - t;
  return {u * u * u, 3.0 * u * u * t, 3.0 * u * t * t, t * t * t};
}

PointD Weighted(const PointD* p, const Weights& w) {
  return {w.a * p[0].x + w.b * p[1].x + w.c * p[2].x + w.d * p[3].x,
          w.a * p[0].y + w.b * p[1].y + w.c * p[2].y + w.d * p[3].y};
}

/// Point of the cubic Bézier `p` at parameter t.
PointD BezierAt(const PointD* p, double t) { return Weighted(p, WeightsAt(t)); }

/// The weights at the parameters i / kBezierChords, i = 0 … kBezierChords, where every
/// dashed curve is measured: the same values BezierAt computes, worked out once.
struct ChordWeights {
  Weights at[kBezierChords + 1];
  constexpr ChordWeights() : at{} {
    for (int i = 0; i <= kBezierChords; ++i) at[i] = WeightsAt(double(i) / kBezierChords);
  }
};
constexpr ChordWeights kChordWeights;

/// Derivative of the cubic Bézier `p` with respect to t, at parameter t.
PointD BezierSlope(const PointD* p, double t) {
  const double u = 1.0 - t;
  const double a = 3.0 * u * u, b = 6.0 * u * t, c = 3.0 * t * t;
  return {a * (p[1].x - p[0].x) + b * (p[2].x - p[1].x) + c * (p[3].x - p[2].x),
          a * (p[1].y - p[0].y) + b * (p[2].y - p[1].y) + c * (p[3].y - p[2].y)};
}

/// `v` rounded half away from zero (as std::lround), held within the int range.
std::int32_t RoundToInt(double v) {
  if (v > -2147483648.0 && v < 2147483647.0) {
    // Inside the range the truncated value and the fraction v − trunc(v) are exact, so the
    // result is lround's without the library call.
    const auto whole = static_cast<std::int64_t>(v);
    const double fraction = v - static_cast<double>(whole);
    const std::int64_t r = fraction >= 0.5 ? whole + 1 : fraction <= -0.5 ? whole - 1 : whole;
    return static_cast<std::int32_t>(r);
  }
  return static_cast<std::int32_t>(std::clamp(std::lround(v), -2147483647L - 1, 2147483647L));
}

POINT Rounded(PointD p) { return {RoundToInt(p.x), RoundToInt(p.y)}; }

/// The three points (two controls and the end) of the part of the curve between parameters
/// t0 and t1, which is itself a cubic Bézier curve, rounded to logical units.
void SubCurve(const PointD* p, double t0, double t1, POINT* out) {
  const double h = (t1 - t0) / 3.0;
  const PointD a = BezierAt(p, t0), b = BezierAt(p, t1);
  const PointD da = BezierSlope(p, t0), db = BezierSlope(p, t1);
  out[0] = Rounded({a.x + h * da.x, a.y + h * da.y});
  out[1] = Rounded({b.x - h * db.x, b.y - h * db.y});
  out[2] = Rounded(b);
}

}  // namespace

CDashLine::CDashLine(tessmor::DC* dc, const int* entries, int count) : m_pDC(dc) {
  SetPattern(entries, count);
}

int CDashLine::SetPattern(bool roundedEnds, int unit, int penStyle) {
  const int w = std::max(unit, 1);
  const int dash = roundedEnds ? 2 * w : 3 * w;
  const int dot = roundedEnds ? 1 : w;
  const int base_gap = roundedEnds ? 2 * w : w;
  const int gap = penStyle >= 17 && penStyle <= 21 ? 2 * base_gap : base_gap;
  int entries[kMaxEntries] = {};
  int count = 0;
  auto add = [&](int length) { entries[count++] = length; };
  switch (penStyle) {
    case 1:
    case 17:
      add(dash), add(gap);
      break;
    case 2:
    case 18:
      add(dot), add(gap);
      break;
    case 3:
    case 19:
      add(dash), add(gap), add(dot), add(gap);
      break;
    case 4:
    case 20:
      add(dash), add(gap), add(dot), add(gap), add(dot), add(gap);
      break;
    case 16:
    case 21:
      add(dash), add(gap), add(dot), add(gap), add(dot), add(gap), add(dot), add(gap);
      break;
    default:
      break;
  }
  SetPattern(entries, count);
  return m_nDashes;
}

void CDashLine::SetPattern(const int* entries, int count) {
  m_nDashes = entries ? std::clamp(count, 0, kMaxEntries) : 0;
  for (int i = 0; i < kMaxEntries; ++i) m_dashes[i] = i < m_nDashes ? std::max(entries[i], 1) : 0;
  m_nDashIndex = 0;
  m_nRemaining = m_dashes[0];
}

void CDashLine::NextEntry() {
  m_nDashIndex = (m_nDashIndex + 1) % m_nDashes;
  m_nRemaining = m_dashes[m_nDashIndex];
}

void CDashLine::EndEntryAt(std::int64_t x, std::int64_t y) {
  NextEntry();
  const auto cx = static_cast<std::int32_t>(x), cy = static_cast<std::int32_t>(y);
  if (InGap()) {
    m_pDC->LineTo(cx, cy);  // the dash ends here
  } else {
    m_pDC->MoveTo(cx, cy);  // the gap ends here
  }
}

void CDashLine::OpenPathIfNeeded() {
  if (!m_bPathMode) return;
  if (!m_pDC->IsPathOpen()) m_pDC->BeginPath();
  m_bPathOpen = 1;
}

void CDashLine::MoveTo(std::int32_t x, std::int32_t y) {
  if (m_bPathOpen) EndPath(false);
  m_nDashIndex = 0;
  m_nRemaining = m_dashes[0];
  m_x = x;
  m_y = y;
  if (m_pDC) m_pDC->MoveTo(x, y);
}

void CDashLine::LineTo(std::int32_t x, std::int32_t y) {
  if (!m_pDC) {
    m_x = x, m_y = y;
    return;
  }
  OpenPathIfNeeded();
  if (m_nDashes == 0) {
    m_pDC->LineTo(x, y);
    m_x = x, m_y = y;
    return;
  }
  // A Bresenham walk along the major axis (x on a tie), one logical unit per step; the
  // error term starts at n, loses m each step and gains n when it drops below 1, which is
  // when the minor coordinate steps. After k steps the minor coordinate has stepped
  // floor(k·m / n) times, so the walk jumps from one end of a pattern entry to the next.
  const std::int64_t dx = std::int64_t{x} - m_x;
  const std::int64_t dy = std::int64_t{y} - m_y;
  const bool x_major = std::llabs(dx) >= std::llabs(dy);
  const std::int64_t n = x_major ? std::llabs(dx) : std::llabs(dy);
  const std::int64_t m = x_major ? std::llabs(dy) : std::llabs(dx);
  if (n < 1) {
    if (!InGap()) m_pDC->LineTo(x, y);
    m_x = x, m_y = y;
    return;
  }
  const std::int64_t sx = dx < 0 ? -1 : 1;
  const std::int64_t sy = dy < 0 ? -1 : 1;
  // n and m are below 2^33: their product fits 64 bits when m is below 2^30, or n is.
  const bool jump = m < (std::int64_t{1} << 30) || n < (std::int64_t{1} << 30);
  std::int64_t taken = 0;
  while (jump) {
    // An entry ends on the step where its remaining length reaches 0 (on the first step
    // when it has none left).
    const std::int64_t steps = std::max(m_nRemaining, 1);
    if (steps > n - taken) {
      m_nRemaining -= static_cast<int>(n - taken);
      break;
    }
    taken += steps;
    const std::int64_t major = taken;
    const std::int64_t minor = taken * m / n;
    const std::int64_t px = m_x + sx * (x_major ? major : minor);
    const std::int64_t py = m_y + sy * (x_major ? minor : major);
    EndEntryAt(px, py);
    if (taken == n) {
      m_x = x, m_y = y;
      return;
    }
  }
  if (!jump) {
    std::int64_t px = m_x, py = m_y, err = n;
    for (std::int64_t step = 1; step <= n; ++step) {
      if (x_major) {
        px += sx;
      } else {
        py += sy;
      }
      err -= m;
      if (err < 1) {
        err += n;
        if (x_major) {
          py += sy;
        } else {
          px += sx;
        }
      }
      if (--m_nRemaining > 0) continue;
      EndEntryAt(px, py);
      if (step == n) {
        m_x = x, m_y = y;
        return;
      }
    }
  }
  if (!InGap()) m_pDC->LineTo(x, y);
  m_x = x, m_y = y;
}

void CDashLine::Polyline(const POINT* points, int count, bool closed) {
  if (!points || count < 1) return;
  const POINT start = closed ? points[count - 1] : points[0];
  MoveTo(start.x, start.y);
  if (!m_pDC) return;
  if (m_bPathMode) {
    m_pDC->BeginPath();
    m_bPathOpen = 1;
  }
  for (int i = closed ? 0 : 1; i < count; ++i) LineTo(points[i].x, points[i].y);
  EndPath(false);
}

void CDashLine::BezierTo(const POINT* points) {
  if (!points) return;
  const POINT end = points[2];
  if (!m_pDC) {
    m_x = end.x, m_y = end.y;
    return;
  }
  OpenPathIfNeeded();
  if (m_nDashes == 0) {
    m_pDC->PolyBezierTo(points, 3);
    m_x = end.x, m_y = end.y;
    return;
  }
  const PointD p[4] = {{double(m_x), double(m_y)},
                       {double(points[0].x), double(points[0].y)},
                       {double(points[1].x), double(points[1].y)},
                       {double(end.x), double(end.y)}};
  // Arc length at kBezierChords + 1 equally spaced parameters, by chords.
  double length[kBezierChords + 1];
  length[0] = 0.0;
  PointD prev = p[0];
  for (int i = 1; i <= kBezierChords; ++i) {
    const PointD q = Weighted(p, kChordWeights.at[i]);
    length[i] = length[i - 1] + std::hypot(q.x - prev.x, q.y - prev.y);
    prev = q;
  }
  const double total = length[kBezierChords];
  if (!std::isfinite(total) || total < 1.0) {
    if (!InGap()) m_pDC->PolyBezierTo(points, 3);
    m_x = end.x, m_y = end.y;
    return;
  }
  // The parameter at which the arc length from the start is s.
  auto param_at = [&](double s) {
    if (s >= total) return 1.0;
    const int i = int(std::upper_bound(length, length + kBezierChords + 1, s) - length) - 1;
    const double span = length[i + 1] - length[i];
    const double f = span > 0.0 ? (s - length[i]) / span : 0.0;
    return (i + f) / kBezierChords;
  };
  double used = 0.0, t0 = 0.0;
  int pieces = 0;
  while (used < total && pieces < kMaxBezierPieces) {
    const double left = total - used;
    const bool entry_done = m_nRemaining <= left;
    const double next = entry_done ? used + m_nRemaining : total;
    const double t1 = entry_done ? param_at(next) : 1.0;
    POINT piece[3];
    SubCurve(p, t0, t1, piece);
    if (InGap()) {
      m_pDC->MoveTo(piece[2].x, piece[2].y);
    } else {
      m_pDC->PolyBezierTo(piece, 3);
    }
    ++pieces;
    if (entry_done) {
      NextEntry();
    } else {
      // The curve ends inside this entry: keep what is left of it for what follows.
      m_nRemaining -= static_cast<int>(std::lround(left));
      if (m_nRemaining < 1) NextEntry();
    }
    used = next;
    t0 = t1;
  }
  // Cut short after the most pieces: carry on from the curve's end.
  if (used < total) m_pDC->MoveTo(end.x, end.y);
  m_x = end.x, m_y = end.y;
}

void CDashLine::EndPath(bool fill) {
  m_bPathOpen = 0;
  if (!m_pDC || !m_pDC->IsPathOpen()) return;
  m_pDC->EndPath();
  if (fill) {
    m_pDC->StrokeAndFillPath();
  } else {
    m_pDC->StrokePath();
  }
}

tessmor::Pen CDashLine::MakeGeometricPen(tessmor::COLORREF color, std::int32_t width,
                                         bool roundedEnds, int penStyle) {
  using namespace tessmor;
  std::uint32_t style = PS_GEOMETRIC;
  style |= roundedEnds ? (PS_ENDCAP_ROUND | PS_JOIN_ROUND) : (PS_ENDCAP_FLAT | PS_JOIN_MITER);
  style |= penStyle == static_cast<int>(PS_NULL) ? PS_NULL : PS_SOLID;
  return Pen{style, width, color};
}
