#include "plotsupport/Axis.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "util/NumberFormat.h"

namespace {

constexpr std::uint32_t Choice(std::uint32_t extension, std::uint32_t count) {
  return (extension << 16) | count;
}

constexpr std::uint32_t kNoChoice = Choice(kAxisChoiceNone, 0);

// Round extents of the two-digit magnitudes 4 to 50: {extension, interval count}.
constexpr std::uint8_t kChoices4To50[47][2] = {
    {0, 4},  {0, 5}, {0, 6}, {0, 7}, {0, 8}, {0, 9},  {0, 5},  {0, 11}, {0, 6},  {1, 7},
    {0, 7},  {0, 5}, {0, 8}, {1, 9}, {0, 9}, {1, 10}, {0, 10}, {0, 7},  {0, 11}, {1, 8},
    {0, 8},  {0, 5}, {1, 9}, {0, 9}, {0, 7}, {1, 6},  {0, 6},  {1, 8},  {0, 8},  {2, 7},
    {1, 7},  {0, 7}, {0, 6}, {3, 8}, {2, 8}, {1, 8},  {0, 8},  {1, 6},  {0, 6},  {1, 11},
    {0, 11}, {0, 9}, {2, 8}, {1, 8}, {0, 8}, {0, 7},  {0, 10},
};

// The angle sector: angle * (1/30) truncated towards zero; -1 when that is not within 0 to 12
// (so for NaN and infinities too).
int AngleSector(float angle) {
  const double q = static_cast<double>(angle) * (1.0 / 30.0);
  if (!(q > -1.0 && q < 13.0)) return -1;
  return static_cast<int>(q);
}

// The number of characters of the decimal text of trunc(ceil(v)), a minus sign included.
int IntegerTextWidth(double v) {
  const double whole = std::trunc(std::ceil(v));
  if (std::fabs(whole) < 9.0e18)
    return static_cast<int>(std::to_string(static_cast<long long>(whole)).size());
  char text[400];
  return std::snprintf(text, sizeof text, "%.0f", whole);
}

// A double brought into the float range (NaN stays NaN).
float ClampToFloat(double v) {
  if (v > FLT_MAX) return FLT_MAX;
  if (v < -FLT_MAX) return -FLT_MAX;
  return static_cast<float>(v);
}

// True when `value` is a whole number of units 10^-decimals, to within `tolerance`.
bool OnDecimalGrid(double value, int decimals, double tolerance) {
  const double unit = std::pow(10.0, -decimals);
  const double units = value / unit;
  return std::fabs(units - std::round(units)) * unit <= tolerance;
}

// The decimals that tick labels origin + i x step need to state their values: as many as
// the step has (to 1e-4 of itself), and as many more as put the origin within a hundredth of
// a step of its label (at most two more). 0 for a step of 0 or one that is not finite.
int DecimalsNeeded(float origin, float step) {
  const double h = std::fabs(static_cast<double>(step));
  if (!(h > 0.0) || !std::isfinite(h) || !std::isfinite(origin)) return 0;
  constexpr int kMost = 60;  // beyond the finest float step
  int n = 0;
  while (n < kMost && !OnDecimalGrid(h, n, h * 1e-4)) ++n;
  while (n < kMost && !OnDecimalGrid(origin, n, h * 1e-2)) ++n;
  return n;
}

// FindDivisor for intermediate values whose interval count is not wanted.
float Divisor(float value) {
  float count = 0.0f;
  return FindDivisor(value, &count);
}

struct Scaling {
  float origin;
  float extent;
  float count;
};

bool Usable(const Scaling& s) {
  return std::isfinite(s.origin) && std::isfinite(s.extent) && s.extent != 0.0f &&
         std::isfinite(s.count) && s.count >= 1.0f;
}

// The round scaling of the interval from a (at the axis start) to b, both finite. Returns
// false when the last extent search finds nothing.
bool RoundScaling(float a, float b, Scaling& out) {
  float R = 0.0f;
  float N = 0.0f;
  if (a == 0.0f) {
    // The axis starts at 0 and runs towards b.
    out.origin = 0.0f;
    R = FindDivisor(std::fabs(b), &N);
    if (b < 0.0f) R = -R;
    out.extent = R;
    out.count = N;
    return R != 0.0f && N != 0.0f;
  }

  const bool negB = b < 0.0f;
  const bool negA = a < 0.0f;
  const double magA = std::fabs(static_cast<double>(a));
  const double logA = std::log10(magA);
  const int t = static_cast<int>(negA ? std::ceil(logA) : std::floor(logA));
  const double P = std::pow(10.0, t);

  // The start magnitude: the power of ten next to |a| when that lies within about a tenth of
  // the interval, else a round value just outside a.
  float S = 0.0f;
  const float diff = b - a;
  const bool snap =
      diff > 0.0f &&
      0.1 * std::pow(10.0, std::fabs(std::log10(static_cast<double>(diff)))) > std::fabs(magA - P);
  if (snap) {
    S = (t == 0 || t == -1 || t == -2) ? 0.0f : ClampToFloat(P);
  } else if (negA) {
    S = Divisor(std::fabs(a));
  } else {
    S = Divisor(std::fabs(static_cast<float>(a - a * 0.09)));
    if (S > a) S = Divisor(std::fabs(static_cast<float>(a - a * 0.12)));
  }

  // The end value.
  float E = 0.0f;
  float N0 = 0.0f;
  if (negB) {
    E = -Divisor(std::fabs(static_cast<float>(b - b * 0.1)));
  } else if (a > 0.0f) {
    E = FindDivisor(b - S, &N0) + S;
  } else {
    E = Divisor(S + b) - S;
  }

  const float signedS = negA ? -S : S;
  R = FindDivisor(E - signedS, &N);
  if (R == 0.0f || N == 0.0f) return false;

  float origin = 0.0f;
  if (!negB) {
    origin = E - R;
    if (origin <= 0.0f && a > 0.0f) {
      origin = 0.0f;
      R = E;
      N = N0;
    }
    // Grow the axis downwards one step at a time until it reaches a.
    for (int i = 0; i < 7 && origin > a; ++i) {
      origin = E - R - R / N;
      R = R + R / N;
      N = N + 1.0f;
    }
    // Drop whole steps below the last grid value under a.
    if (origin < a && N >= 5.0f) {
      const float stepv = R / N;
      int k = 1;
      while (static_cast<float>(k) <= N && origin + static_cast<float>(k) * stepv < a) ++k;
      if (static_cast<float>(k) <= N && k > 1) {
        const float drop = static_cast<float>(k - 1) * stepv;
        origin += drop;
        R -= drop;
        N -= static_cast<float>(k - 1);
      }
    }
  } else {
    origin = -S;
    if (origin > a) {
      origin = -(R / N + S);
      R += R / N;
      N += 1.0f;
    }
    if (R + origin < b) {
      R += R / N;
      N += 1.0f;
    }
  }
  out.origin = origin;
  out.extent = R;
  out.count = N;
  return true;
}

// The most tick intervals an axis is given.
constexpr float kMaxIntervals = 15.0f;
// The most intervals of a scaling chosen without the rules, for labels with room.
constexpr double kPlainIntervals = 10.0;

// The next step of the series 1, 2, 2.5, 5 x 10^k above `step` (> 0, finite).
double CoarserStep(double step) {
  double power = std::pow(10.0, std::floor(std::log10(step)) - 1.0);
  for (int decade = 0; decade < 4; ++decade, power *= 10.0) {
    for (double m : {1.0, 2.0, 2.5, 5.0}) {
      if (m * power > step * (1.0 + 1e-9)) return m * power;
    }
  }
  return step * 10.0;  // not reached
}

// True when `step` (> 0) has at most two significant digits (to 1e-4 of itself), as the
// steps of the extent tables do.
bool IsRoundStep(double step) {
  const double m = step / std::pow(10.0, std::floor(std::log10(step)) - 1.0);
  return std::fabs(m - std::round(m)) <= 1e-4 * m;
}

// The grid of whole multiples of `step` (> 0) that reaches from lo to hi (lo < hi; a value
// within a ten-thousandth of a step of a grid line counts as on it). False when it takes
// more than `most` intervals or leaves the float range.
bool Grid(double lo, double hi, double step, double most, Scaling& out) {
  const double slack = step * 1e-4;
  const double first = std::floor((lo + slack) / step);
  const double last = std::ceil((hi - slack) / step);
  const double count = std::max(1.0, last - first);
  if (!(count <= most)) return false;
  const double origin = first * step;
  const double end = origin + count * step;
  if (!(std::fabs(origin) <= FLT_MAX && std::fabs(end) <= FLT_MAX)) return false;
  out = {static_cast<float>(origin), static_cast<float>(end - origin), static_cast<float>(count)};
  return std::isfinite(out.extent);
}

// The grid of the finest step of the series 1, 2, 2.5, 5 x 10^k at or above `step` that
// reaches from lo to hi (lo < hi) in at most `most` intervals. False when the float range
// holds none.
bool CoarseGrid(double lo, double hi, double step, double most, Scaling& out) {
  step = CoarserStep(step * (1.0 - 1e-6));  // the series value at or just above
  for (int i = 0; i < 400 && std::isfinite(step) && step > 0.0; ++i) {
    if (Grid(lo, hi, step, most, out)) return true;
    step = CoarserStep(step);
  }
  return false;
}

// Makes a rising round scaling (extent > 0) reach both lo and hi (lo < hi; a start or end
// within a ten-thousandth of a step counts) in at most kMaxIntervals intervals. A scaling
// that does is kept as it is; one that falls short grows by whole steps at that end while
// the count allows; otherwise the grid of the next coarser round step that fits replaces it.
bool Fit(Scaling& s, double lo, double hi) {
  const double step = static_cast<double>(s.extent) / s.count;
  // An extent that its count does not split into round steps (an origin moved to 0 keeps the
  // count of the extent above the old start) is replaced by the grid of the next round step.
  if (!IsRoundStep(step)) return CoarseGrid(lo, hi, step, kMaxIntervals, s);
  const double slack = step * 1e-4;
  Scaling grown = s;
  while (grown.count <= kMaxIntervals) {
    const double start = grown.origin;
    const double end = start + grown.extent;
    const bool startShort = start > lo + slack;
    const bool endShort = end < hi - slack;
    if (!startShort && !endShort) {
      s = grown;
      return true;
    }
    if (startShort) {
      grown.origin = static_cast<float>(start - step);
      grown.extent = static_cast<float>(grown.extent + step);
      grown.count += 1.0f;
    }
    if (endShort) {
      grown.extent = static_cast<float>(grown.extent + step);
      grown.count += 1.0f;
    }
  }
  return CoarseGrid(lo, hi, CoarserStep(step), kMaxIntervals, s);
}

// The scaling of the values' negatives (a mirror image: start and extent change sign).
Scaling Negated(const Scaling& s) { return {-s.origin, -s.extent, s.count}; }

// The same stretch of values run from its other end.
Scaling Reversed(const Scaling& s) {
  return {static_cast<float>(static_cast<double>(s.origin) + s.extent), -s.extent, s.count};
}

// The round scaling of the rules for the pair a (at the start) .. b, fitted to
// reach both values; it must run the way the pair runs.
bool FittedRoundScaling(float a, float b, Scaling& s) {
  if (!RoundScaling(a, b, s) || !Usable(s)) return false;
  const bool rising = b >= a;
  if ((s.extent > 0.0f) != rising) return false;
  if (rising) return Fit(s, a, b);
  Scaling mirrored = Negated(s);
  if (!Fit(mirrored, -static_cast<double>(a), -static_cast<double>(b))) return false;
  s = Negated(mirrored);
  return true;
}

// A round scaling of a .. b (a != b) without the rules: the data interval itself when it is
// one round step starting on a multiple of it, else the grid of the finest step of the
// series 1, 2, 2.5, 5 x 10^k that spans it in at most kPlainIntervals intervals.
bool PlainScaling(float a, float b, Scaling& s) {
  const double lo = std::min(a, b), hi = std::max(a, b);
  const double span = hi - lo;
  if (!(span > 0.0) || !std::isfinite(span)) return false;
  const double power = std::pow(10.0, std::floor(std::log10(span)));
  const double mantissa = span / power;
  const double whole = std::round(mantissa);
  const double multiple = lo / (whole * power);
  if ((whole == 1.0 || whole == 2.0 || whole == 5.0) &&
      std::fabs(mantissa - whole) <= 1e-4 * whole &&
      std::fabs(multiple - std::round(multiple)) <= 1e-4) {
    s = {static_cast<float>(lo), static_cast<float>(span), 1.0f};
  } else {
    // Values of a float are good to about 6e-8 of their size: a finer step would give ticks
    // that single precision cannot place.
    const double finest = std::max(span / 20.0, std::max(std::fabs(lo), std::fabs(hi)) * 1e-4);
    if (!CoarseGrid(lo, hi, finest, kPlainIntervals, s)) return false;
  }
  if (b < a) s = Reversed(s);
  return Usable(s);
}

// One interval over the raw data interval, or one data unit up from the first value when
// there is no interval to show.
Scaling RawScaling(float a, float b) {
  const float start = std::isfinite(a) ? a : 0.0f;
  Scaling s{start, 1.0f, 1.0f};
  if (std::isfinite(b)) {
    const float extent = ClampToFloat(static_cast<double>(b) - static_cast<double>(start));
    if (extent != 0.0f) s.extent = extent;
  }
  return s;
}

}  // namespace

int SetAXIS(AXIS* axis, float first, float last, float length) {
  if (!axis) return 0;
  axis->length = length;

  Scaling s{0.0f, 0.0f, 0.0f};
  bool found = false;
  if (std::isfinite(first) && std::isfinite(last)) {
    found = FittedRoundScaling(first, last, s);
    if (!found && last < first) {
      // The mirror image -first .. -last rises; its axis, mirrored back, falls.
      found = FittedRoundScaling(-first, -last, s);
      if (found) s = Negated(s);
    } else if (!found && last > first) {
      // The mirror image -last .. -first rises too; its axis, mirrored back, rises from
      // first.
      found = FittedRoundScaling(-last, -first, s);
      if (found) s = Reversed(Negated(s));
    }
    if (!found && last != first) found = PlainScaling(first, last, s);
  }
  if (!found) s = RawScaling(first, last);

  axis->origin = s.origin;
  axis->scale = (std::isfinite(length) && length != 0.0f) ? s.extent / length : 0.0f;
  axis->step = s.extent / s.count;
  if (axis->tickLength == 0.0f) axis->tickLength = kDefaultTickLength;

  const float step = axis->step;
  const float origin = axis->origin;
  const int needed = DecimalsNeeded(origin, step);
  if (AreDecimalPlaces(step) || AreDecimalPlaces(origin) || needed > 0) {
    const double g = std::log10(std::fabs(static_cast<double>(s.extent)));
    const int forExtent = g >= 0.0 ? 1 : static_cast<int>(std::fabs(std::floor(g))) + 1;
    axis->labelDigits = std::max(forExtent, needed);
  } else {
    axis->labelDigits =
        -IntegerTextWidth(static_cast<double>(s.extent) - static_cast<double>(origin));
  }
  return 1;
}

float FindDivisor(float value, float* count) {
  if (!count) return 0.0f;
  if (IsZero(value) || std::signbit(value) || !std::isfinite(value)) {
    *count = 0.0f;
    return 0.0f;
  }
  float extent = 0.0f;
  if (ascal2(value, &extent, count) == 0) return extent;
  if (ascal(value, &extent, count) == 0) return extent;
  *count = 0.0f;
  return 0.0f;
}

int ascal2(float value, float* extent, float* count) {
  if (!extent || !count) return 1;
  if (!(value > 0.0f) || !std::isfinite(value) || value - std::trunc(value) > 0.0f) {
    *count = 0.0f;
    return 1;
  }
  int power = 0;
  int c = Convert2Sig(value, &power);
  if (c <= 0) {  // beyond the range of Convert2Sig
    *count = 0.0f;
    return 1;
  }
  std::uint32_t r = Axis_choice(c);
  if (AxisChoiceExtension(r) > 30) {
    // Up to the next ten; the single-precision tenth lifts an exact multiple of ten one more.
    c = RoundUp((c + 5.0) * 0.1f) * 10;
    r = Axis_choice(c);
    if (AxisChoiceExtension(r) > 30) {
      *count = 0.0f;
      return 1;
    }
  }
  const std::int64_t whole =
      (static_cast<std::int64_t>(c) + AxisChoiceExtension(r)) * static_cast<std::int64_t>(power);
  *extent = power == 0 ? 1.0f : static_cast<float>(whole);
  *count = static_cast<float>(AxisChoiceCount(r));
  return 0;
}

int ascal(float value, float* extent, float* count) {
  if (!extent || !count) return 1;
  const float b = ClampToFloat(value * 0.1 + value);
  const float c = std::fabs(b);
  double f = 0.0;
  if (c > 1.0f) {
    f = 10.0;
    if (c > 10.0) f = 1.0;
    if (c > 100.0) f = 0.1;
    if (c > 1000.0) f = 0.01;
    if (c > 10000.0) f = 0.001;
    if (c > 100000.0) f = 0.0001;
    if (c > 1000000.0) f = 0.00001;
  } else {
    f = 100.0;
    if (c < 0.1) f = 1000.0;
    if (c < 0.01) f = 10000.0;
    if (c < 0.001) f = 100000.0;
    if (c < 0.0001) f = 1000000.0;
    if (c < 0.00001) f = 10000000.0;
  }
  const double scaled = std::trunc(static_cast<double>(b) * f);
  if (!(scaled >= 10.0 && scaled <= 100.0)) return 1;
  const int d = static_cast<int>(scaled);

  constexpr int kCounts[7] = {11, 9, 8, 7, 6, 5, 3};
  int mult[7] = {};
  int excess[7] = {};
  int chosen = -1;
  for (int i = 0; i < 7 && chosen < 0; ++i) {
    const int D = kCounts[i];
    for (int j = 2; j <= 100 / D; ++j) {
      if (j * D >= d) {
        mult[i] = j;
        excess[i] = j * D - d;
        break;
      }
    }
    if (mult[i] != 0 && excess[i] == 0) chosen = i;
  }
  if (chosen < 0) {
    // The least excess; ties go to more intervals.
    chosen = 6;
    for (int i = 6; i >= 0; --i) {
      if (mult[i] != 0 && excess[i] <= excess[chosen]) chosen = i;
    }
  }
  if (mult[chosen] == 0) return 1;  // not reached: 3 intervals always fit below 100
  *count = static_cast<float>(kCounts[chosen]);
  *extent = static_cast<float>(static_cast<double>(kCounts[chosen]) * mult[chosen] / f);
  return 0;
}

int Convert2Sig(float value, int* power) {
  if (!power) return 0;
  if (!std::isfinite(value)) {
    *power = 0;
    return 0;
  }
  const bool neg = value < 0.0f;
  const float a = std::fabs(value);
  const float g = static_cast<float>(std::log10(static_cast<double>(a)));
  int result = 0;
  if (g > 1.99999f) {
    const double e = std::floor(g - 1.0);
    if (e > 9.0) {  // 10^e does not fit an int
      *power = 0;
      return 0;
    }
    const double p = std::pow(10.0, e);
    *power = static_cast<int>(p);
    result = static_cast<int>(std::ceil(a / p));
  } else if (IsZero(g)) {
    *power = 0;
    result = 10;
  } else {
    *power = 1;
    result = static_cast<int>(std::ceil(a));
  }
  return neg ? -result : result;
}

std::uint32_t Axis_choice(int n) {
  if (n >= 4 && n <= 50) return Choice(kChoices4To50[n - 4][0], kChoices4To50[n - 4][1]);
  // The magnitudes outside 4 to 50 that have an entry, all without extension: {n, count}.
  static constexpr std::uint8_t kOthers[][2] = {{1, 10},  {2, 5},  {3, 6},   {54, 9},  {55, 11},
                                                {56, 7},  {60, 6}, {63, 9},  {64, 8},  {66, 11},
                                                {70, 7},  {72, 9}, {77, 11}, {80, 8},  {81, 9},
                                                {88, 11}, {90, 9}, {99, 11}, {100, 10}};
  for (const auto& other : kOthers) {
    if (n == other[0]) return Choice(0, other[1]);
  }
  return kNoChoice;
}

std::uint32_t SetTitlePosition(AXIS* axis, std::uint32_t flags, float labelHeight) {
  if (!axis) return flags;
  const double h = labelHeight;
  const double tick = axis->tickLength;
  const double length = axis->length;

  // Clearance of the title from the axis line: ticks, labels and a margin.
  double D = 0.0;
  if (flags & kAxisLabelsRotated) {
    D = h + tick + 4.0;
  } else {
    const std::int64_t n = axis->labelDigits;
    const double width = static_cast<double>(n < 0 ? -n : n + 1);
    const double rad = Rad(axis->angle);
    D = std::fabs(std::sin(rad) * width * h) + std::fabs(std::cos(rad) * h) + tick + 3.0;
  }

  if (flags & kAxisTitleFixed) {
    double x = length * 0.5;
    double y = D;
    std::uint32_t just = kJustifyCentreBaseline;
    switch (flags & kAxisTitleCodeMask) {
      case 5:  // at the end, below
        x = length;
        y = -D;
        just = kJustifyRightTop;
        break;
      case 6:  // at the end, above
        x = length;
        y = D;
        just = kJustifyRightBaseline;
        break;
      case 9:  // beyond the end, below
        x = length + 2.0;
        y = -D;
        just = kJustifyLeftTop;
        break;
      case 10:  // beyond the end, above
        x = length + 2.0;
        y = D;
        just = kJustifyLeftBaseline;
        break;
      default:  // middle, on the side flag 0x01 picks
        if (flags & kAxisTitleNegativeSide) {
          y = -D;
          just = kJustifyCentreTop;
        }
        break;
    }
    axis->titleX = ClampToFloat(x);
    axis->titleY = ClampToFloat(y);
    return just;
  }

  const std::uint32_t just = GetAxisTitleJustification(axis, flags);
  double x = length * 0.5;
  double y = D;
  if ((flags & kAxisTitlePlacementMask) == kAxisTitleAtEnd) {
    x = length;
  } else if ((flags & kAxisTitlePlacementMask) == kAxisTitleBeyondEnd) {
    x = length + 4.0;
    y = 0.0;
  }
  if (flags & kAxisTitleNegativeSide) y = -y;
  axis->titleX = ClampToFloat(x);
  axis->titleY = ClampToFloat(y);
  return just;
}

std::uint32_t GetAxisTitleJustification(const AXIS* axis, std::uint32_t flags) {
  if (!axis) return flags;
  // Columns: placement codes 1, 2, 5, 6, 9, 10; rows: sector pairs 0, 1-2, 3-4, ... 11-12.
  static constexpr std::uint16_t kTable[7][6] = {
      {6, 30, 2, 26, 0, 24}, {0, 26, 0, 26, 0, 24}, {0, 26, 0, 26, 24, 26}, {30, 6, 24, 0, 26, 2},
      {2, 0, 26, 0, 26, 0},  {2, 24, 2, 24, 0, 0},  {2, 24, 2, 24, 24, 0},
  };
  const int s = AngleSector(axis->angle);
  if (s < 0) return flags;
  int column = -1;
  switch (flags & kAxisTitleCodeMask) {
    case 1:
      column = 0;
      break;
    case 2:
      column = 1;
      break;
    case 5:
      column = 2;
      break;
    case 6:
      column = 3;
      break;
    case 9:
      column = 4;
      break;
    case 10:
      column = 5;
      break;
    default:
      return flags;
  }
  const int row = s == 0 ? 0 : (s + 1) / 2;
  return kTable[row][column];
}

int GetAxisTextJustification(const AXIS* axis, int above, std::uint32_t* justification) {
  if (!axis || !justification) return 0;
  const bool up = above != 0;
  switch (AngleSector(axis->angle)) {
    case 0:
    case 11:
    case 12:
      *justification = up ? kJustifyCentreBaseline : kJustifyCentreTop;
      return 0;
    case 1:
    case 2:
    case 3:
    case 4:
      *justification = up ? kJustifyRightBesideAxis : kJustifyLeftBesideAxis;
      return 1;
    case 5:
    case 6:
      *justification = up ? kJustifyCentreTop : kJustifyCentreBaseline;
      return 0;
    case 7:
    case 8:
    case 9:
    case 10:
      *justification = up ? kJustifyLeftBesideAxis : kJustifyRightBesideAxis;
      return 1;
    default:
      *justification = static_cast<std::uint32_t>(above);
      return 0;
  }
}
