#include "plotsupport/Axis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "util/NumberFormat.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// --- the extent searches ---

TEST(AxisChoice, GivesTheTableEntriesAndNoneOutsideIt) {
  const int entries[][3] = {{37, 3, 8}, {4, 0, 4}, {13, 1, 7},  {33, 2, 7},  {50, 0, 10},
                            {1, 0, 10}, {3, 0, 6}, {55, 0, 11}, {100, 0, 10}};
  for (const auto& e : entries) EXPECT_EQ(Axis_choice(e[0]), (e[1] << 16u) | e[2]) << e[0];
  for (int n : {0, -5, 51, 52, 53, 65, 95, 101, 110}) EXPECT_EQ(Axis_choice(n), 99u << 16) << n;
}

TEST(Convert2Sig, KeepsTwoSignificantDigitsAndReportsThePower) {
  // 1: log10 exactly 0; -250: e = floor(2.398 - 1) = 1; 1234: ceil(12.34); 999: ceil(99.9);
  // 5e9: e = 8; 5e11 (10^10 does not fit an int), NaN and infinity fail.
  const struct {
    float value;
    int result, power;
  } cases[] = {{37, 37, 1},    {1, 10, 0},   {-250, -25, 10},       {1234, 13, 100},
               {999, 100, 10}, {0.3f, 1, 1}, {5e9f, 50, 100000000}, {5e11f, 0, 0},
               {kNaN, 0, 0},   {kInf, 0, 0}};
  for (const auto& c : cases) {
    int p = -9;
    EXPECT_EQ(Convert2Sig(c.value, &p), c.result) << c.value;
    EXPECT_EQ(p, c.power) << c.value;
  }
  EXPECT_EQ(Convert2Sig(37.0f, nullptr), 0);
}

struct Found {
  int result;
  float extent, count;
};

Found Search(int (*search)(float, float*, float*), float value) {
  Found f{-1, -1.0f, -1.0f};
  f.result = search(value, &f.extent, &f.count);
  return f;
}

void ExpectFound(const Found& f, float extent, float count) {
  EXPECT_EQ(f.result, 0);
  EXPECT_FLOAT_EQ(f.extent, extent);
  EXPECT_EQ(f.count, count);
}

TEST(Ascal2, RoundsWholeValuesByTheTable) {
  ExpectFound(Search(ascal2, 37), 40, 8);
  ExpectFound(Search(ascal2, 52), 60, 6);  // no entry; retried as 60
  ExpectFound(Search(ascal2, 65), 80, 8);  // retried as 80
  ExpectFound(Search(ascal2, 200), 200, 10);
  ExpectFound(Search(ascal2, 1e10f), 1e10f, 5);  // 10 x 10^9, beyond 32 bits
  // 95 and 98 are retried as 110, which has no entry; the rest are not whole positive values.
  for (float bad : {95.0f, 98.0f, 12.5f, 0.0f, -3.0f, -1.5f, 5e11f, kNaN, kInf}) {
    const Found f = Search(ascal2, bad);
    EXPECT_EQ(f.result, 1) << bad;
    EXPECT_EQ(f.extent, -1.0f) << bad;
    EXPECT_EQ(f.count, 0.0f) << bad;
  }
  float count = -1.0f;
  EXPECT_EQ(ascal2(37.0f, nullptr, &count), 1);
  EXPECT_EQ(count, -1.0f);
}

TEST(Ascal, ChoosesTheIntervalCountThatFitsBest) {
  ExpectFound(Search(ascal, 45), 49, 7);     // d = 49; excesses 6, 5, 7, then 0 for 7 x 7
  ExpectFound(Search(ascal, 95), 100, 5);    // b = 104.5, f = 0.1, d = 10 = 5 x 2
  ExpectFound(Search(ascal, 12.3f), 14, 7);  // d = 13; excesses 9, 5, 3, 1, 5, 2, 2
  ExpectFound(Search(ascal, 35.1f), 39, 3);  // d = 38; only 3 x 13 exceeds by 1
  // d = 62; 9 x 7, 7 x 9 and 3 x 21 all exceed by 1: the tie goes to 9 intervals.
  ExpectFound(Search(ascal, 5.7f), 6.3f, 9);
  for (float bad : {0.0f, -45.0f, 2e7f, 5e-7f, kNaN, kInf}) {  // d outside 10 to 100
    const Found f = Search(ascal, bad);
    EXPECT_EQ(f.result, 1) << bad;
    EXPECT_EQ(f.extent, -1.0f) << bad;
    EXPECT_EQ(f.count, -1.0f) << bad;
  }
  float count = -1.0f;
  EXPECT_EQ(ascal(45.0f, nullptr, &count), 1);
  EXPECT_EQ(count, -1.0f);
}

TEST(FindDivisor, TriesTheTableThenTheSearch) {
  float count = -1.0f;
  EXPECT_EQ(FindDivisor(1.0f, &count), 1.0f);
  EXPECT_EQ(count, 5.0f);
  EXPECT_FLOAT_EQ(FindDivisor(95.0f, &count), 100.0f);  // the table fails, the search gives 5 x 20
  EXPECT_EQ(count, 5.0f);
  for (float bad : {0.0f, -0.0f, -3.0f, -52.0f, kNaN, kInf, 1e12f}) {
    count = -1.0f;
    EXPECT_EQ(FindDivisor(bad, &count), 0.0f) << bad;
    EXPECT_EQ(count, 0.0f) << bad;
  }
  EXPECT_EQ(FindDivisor(37.0f, nullptr), 0.0f);
}

// --- scaling a whole axis ---

struct Scaled {
  float origin, scale, step, extent, count;
  int digits;
};

Scaled Scale(float first, float last, float length) {
  AXIS axis;
  EXPECT_EQ(SetAXIS(&axis, first, last, length), 1);
  EXPECT_EQ(axis.length, length);
  EXPECT_EQ(axis.tickLength, 2.0f);
  const float extent = axis.scale * length;
  return {axis.origin, axis.scale, axis.step, extent, extent / axis.step, axis.labelDigits};
}

void ExpectAxis(const Scaled& s, float origin, float extent, float count, int digits) {
  EXPECT_NEAR(s.origin, origin, 1e-5f);
  EXPECT_NEAR(s.extent, extent, 1e-5f);
  EXPECT_NEAR(s.count, count, 1e-4f);
  EXPECT_EQ(s.digits, digits);
}

TEST(SetAXIS, ScalesGravityProfileRanges) {
  // From 0: FindDivisor(12.3) = 14 in 7; whole step 2 and origin 0, "14" is 2 wide.
  ExpectAxis(Scale(0.0f, 12.3f, 100.0f), 0.0f, 14.0f, 7.0f, -2);
  EXPECT_FLOAT_EQ(Scale(0.0f, 12.3f, 100.0f).scale, 0.14f);
  // -95: t = 2, 0.1 x 195 > |95 - 100|, so S = 100; E = FindDivisor(200) - 100 = 100;
  // R = FindDivisor(200) = 200 in 10; origin -100; width of ceil(200 + 100) = 3.
  ExpectAxis(Scale(-95.0f, 100.0f, 80.0f), -100.0f, 200.0f, 10.0f, -3);
  // 2.3: S = FindDivisor(2.093) = 2.4 > 2.3, so FindDivisor(2.024) = 2.2; E = FindDivisor(5.7)
  // + 2.2 = 6.3 + 2.2; R = FindDivisor(6.3) = 3 x 2.3 (d = 69); origin 8.5 - 6.9; step 2.3 has
  // a fraction and log10(6.9) >= 0: one decimal.
  ExpectAxis(Scale(2.3f, 7.9f, 120.0f), 1.6f, 6.9f, 3.0f, 1);
  // -40: S = FindDivisor(40) = 40; E = -FindDivisor(4.5) = -4.9; R = FindDivisor(35.1) = 3 x
  // 13; origin -40, end -1; width of 39 + 40 = 79.
  ExpectAxis(Scale(-40.0f, -5.0f, 60.0f), -40.0f, 39.0f, 3.0f, -2);
  // 20: S = FindDivisor(18.2) = 20; E = FindDivisor(65) + 20 = 100; R = FindDivisor(80) = 80.
  ExpectAxis(Scale(20.0f, 85.0f, 100.0f), 20.0f, 80.0f, 8.0f, -2);
  // 11.5: S = 12 after both tries; E = FindDivisor(13) + 12 = 26; R = 14 in 7 gives origin 12
  // above 11.5, so one step of 2 is added below: origin 10, 16 in 8; width of 16 - 10.
  ExpectAxis(Scale(11.5f, 25.0f, 100.0f), 10.0f, 16.0f, 8.0f, -1);
  // 1: snaps to S = 0; E = R = 2 in 5 from 0; the last step of 0.4 below 1 starts at 0.8.
  ExpectAxis(Scale(1.0f, 2.0f, 60.0f), 0.8f, 1.2f, 3.0f, 1);
  // 1..5.7: snaps to S = 0; E = FindDivisor(5.7) = 6.3 in 9, R = FindDivisor(6.3) = 6.9 puts
  // the origin below 0, so the axis is 0..6.3 in 9; the start moves up one step of 0.7.
  ExpectAxis(Scale(1.0f, 5.7f, 100.0f), 0.7f, 5.6f, 8.0f, 1);
  // -100..-74: S = 100 (snap); E = -FindDivisor(66.6) = -75 lies below -74; R = 25 in 5 ends
  // at -75, so one step of 5 is added; width of 30 + 100 = 130.
  ExpectAxis(Scale(-100.0f, -74.0f, 100.0f), -100.0f, 30.0f, 6.0f, -3);
  // 1.15..1.18: 0.1 x 10^|log10 0.03| = 3.3 > |1.15 - 1|, so S = 0; E = FindDivisor(1.18) =
  // 1.2 in 6 and R = 1.4 puts the origin below 0: 0..1.2 in 6, moved up 5 steps of 0.2.
  ExpectAxis(Scale(1.15f, 1.18f, 100.0f), 1.0f, 0.2f, 1.0f, 2);
  const float ranges[][2] = {
      {0.0f, 12.3f}, {-95.0f, 100.0f}, {2.3f, 7.9f}, {-40.0f, -5.0f}, {-100.0f, -74.0f}};
  for (const auto& r : ranges) {
    const Scaled s = Scale(r[0], r[1], 100.0f);
    EXPECT_LE(s.origin, r[0]);
    EXPECT_GE(s.origin + s.extent, r[1]);
    EXPECT_NEAR(s.step, s.extent / std::round(s.count), 1e-5f);
  }
}

TEST(SetAXIS, WidensARoundScalingThatFallsShortOfTheData) {
  // 114..121: the start found (121 - 2.4 and seven steps of 0.2 down) stops at 118.6; 24
  // more steps of 0.2 would make 36, so the axis takes the next coarser steps instead: 0.25
  // needs 28, 0.5 needs 14 (114 ... 121).
  const Scaled grown = Scale(114.0f, 121.0f, 100.0f);
  EXPECT_NEAR(grown.origin, 114.0f, 1e-4f);
  EXPECT_NEAR(grown.extent, 7.0f, 1e-4f);
  EXPECT_NEAR(grown.count, 14.0f, 1e-4f);
  EXPECT_EQ(grown.digits, 1);
  // -1110..-740: the end -750 misses -740 by less than a step; one step of 50 more.
  ExpectAxis(Scale(-1110.0f, -740.0f, 100.0f), -1200.0f, 500.0f, 10.0f, -4);
  // Every axis reaches both data values, whichever way it runs.
  std::uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed >> 8) / 16777216.0f;
  };
  for (int i = 0; i < 20000; ++i) {
    const float scale = std::pow(10.0f, std::floor(next() * 8.0f) - 3.0f);
    const float a = (next() * 2.0f - 1.0f) * 1000.0f * scale;
    const float b = (next() * 2.0f - 1.0f) * 1000.0f * scale;
    if (a == b) continue;
    AXIS axis;
    SetAXIS(&axis, a, b, 100.0f);
    const double start = axis.origin, end = axis.origin + static_cast<double>(axis.scale) * 100.0;
    const double slack = std::fabs(axis.step) * 1e-3;
    ASSERT_LE(std::min(start, end), std::min(a, b) + slack) << a << ".." << b;
    ASSERT_GE(std::max(start, end), std::max(a, b) - slack) << a << ".." << b;
  }
}

TEST(SetAXIS, RepairsIntervalsWithoutARoundScaling) {
  // From 0 downwards: -(14 in 7); the labels "-14" are 3 wide.
  ExpectAxis(Scale(0.0f, -12.3f, 100.0f), 0.0f, -14.0f, 7.0f, -3);
  // 50 down to 10: the mirror of -50..-10 (S = 50, E = -9, R = FindDivisor(41) = 42 in 6).
  ExpectAxis(Scale(50.0f, 10.0f, 100.0f), 50.0f, -42.0f, 6.0f, -3);
  // 11.5..11.6: S = 12 lies above the last value, so the last search gets 0: one interval,
  // two decimals for an extent of 0.1.
  ExpectAxis(Scale(11.5f, 11.6f, 50.0f), 11.5f, 0.1f, 1.0f, 2);
  // Equal values: one unit up from the value.
  ExpectAxis(Scale(0.0f, 0.0f, 100.0f), 0.0f, 1.0f, 1.0f, -1);
  ExpectAxis(Scale(5.0f, 5.0f, 100.0f), 5.0f, 1.0f, 1.0f, -2);
  // Not finite: a NaN first value counts as 0.
  ExpectAxis(Scale(kNaN, 10.0f, 100.0f), 0.0f, 10.0f, 1.0f, -2);
  ExpectAxis(Scale(3.0f, kInf, 100.0f), 3.0f, 1.0f, 1.0f, -2);
  const Scaled huge = Scale(-3e38f, 3e38f, 100.0f);
  EXPECT_TRUE(std::isfinite(huge.step) && huge.step != 0.0f);
  for (float length : {0.0f, kNaN, kInf}) {
    AXIS axis;
    SetAXIS(&axis, 0.0f, 12.3f, length);
    EXPECT_EQ(axis.scale, 0.0f);
    EXPECT_EQ(axis.step, 2.0f);
  }
  EXPECT_EQ(SetAXIS(nullptr, 0.0f, 1.0f, 10.0f), 0);
}

// --- justification and title place ---

TEST(AxisJustification, FollowsTheAngleSector) {
  AXIS axis;
  std::uint32_t just = 77;
  // Angle 30: 30 x (1/30) rounds to 1 in double precision, sector 1.
  const struct {
    float angle;
    int above, steep;
    std::uint32_t just;
  } labels[] = {{0, 0, 0, 6},    {0, 1, 0, 30},  {90, 0, 1, 256},
                {30, 1, 1, 512}, {180, 1, 0, 6}, {270, 0, 1, 512}};
  for (const auto& l : labels) {
    axis.angle = l.angle;
    EXPECT_EQ(GetAxisTextJustification(&axis, l.above, &just), l.steep) << l.angle;
    EXPECT_EQ(just, l.just) << l.angle << " " << l.above;
  }
  for (float angle : {400.0f, -45.0f, kNaN}) {
    axis.angle = angle;
    EXPECT_EQ(GetAxisTextJustification(&axis, 1, &just), 0);
    EXPECT_EQ(just, 1u);
    EXPECT_EQ(GetAxisTitleJustification(&axis, 1), 1u);
  }
  just = 77;
  EXPECT_EQ(GetAxisTextJustification(nullptr, 1, &just), 0);
  EXPECT_EQ(just, 77u);
  EXPECT_EQ(GetAxisTextJustification(&axis, 1, nullptr), 0);

  const struct {
    float angle;
    std::uint32_t flags, just;
  } titles[] = {{0, 1, 6},    {0, 0x11, 6}, {90, 2, 26}, {100, 9, 24}, {100, 10, 26},
                {180, 5, 24}, {240, 6, 0},  {300, 9, 0}, {345, 9, 24}, {0, 3, 3},
                {90, 3, 3},   {200, 3, 3},  {350, 3, 3}, {90, 8, 8},   {0, 0, 0}};
  for (const auto& t : titles) {
    axis.angle = t.angle;
    EXPECT_EQ(GetAxisTitleJustification(&axis, t.flags), t.just) << t.angle << " " << t.flags;
  }
  EXPECT_EQ(GetAxisTitleJustification(nullptr, 2), 2u);
}

TEST(SetTitlePosition, PlacesTheTitleClearOfTheLabels) {
  AXIS axis;
  axis.length = 100.0f;
  axis.tickLength = 2.0f;
  // Rotated labels: D = 3 + 2 + 4. 145 has fixed code 1 with the title below: middle,
  // centre-top.
  const struct {
    std::uint32_t flags;
    float x, y;
    std::uint32_t just;
  } fixed[] = {{145, 50, -9, 6},   {0x95, 100, -9, 2}, {0x96, 100, 9, 26},
               {0x99, 102, -9, 0}, {0x9A, 102, 9, 24}, {0x90, 50, 9, 30}};
  for (const auto& f : fixed) {
    EXPECT_EQ(SetTitlePosition(&axis, f.flags, 3.0f), f.just) << f.flags;
    EXPECT_FLOAT_EQ(axis.titleX, f.x);
    EXPECT_FLOAT_EQ(axis.titleY, f.y);
  }
  // Upright labels at angle 0: D = |cos 0| x 3 + 2 + 3 = 8; at the end, negated; code 5 -> 2.
  EXPECT_EQ(SetTitlePosition(&axis, 0x05, 3.0f), 2u);
  EXPECT_FLOAT_EQ(axis.titleX, 100.0f);
  EXPECT_FLOAT_EQ(axis.titleY, -8.0f);
  // Angle 90, labels 2 decimals (3 characters), height 2, ticks 1.5: D = 6 + 0 + 1.5 + 3.
  axis.angle = 90.0f;
  axis.labelDigits = 2;
  axis.tickLength = 1.5f;
  EXPECT_EQ(SetTitlePosition(&axis, 0x02, 2.0f), 26u);
  EXPECT_FLOAT_EQ(axis.titleX, 50.0f);
  EXPECT_NEAR(axis.titleY, 10.5f, 1e-5f);
  EXPECT_EQ(SetTitlePosition(&axis, 0x08, 2.0f), 8u);  // beyond the end, on the line
  EXPECT_FLOAT_EQ(axis.titleX, 104.0f);
  EXPECT_EQ(axis.titleY, 0.0f);
  EXPECT_EQ(SetTitlePosition(nullptr, 145, 3.0f), 145u);
}

}  // namespace

namespace {

// Interval count, start and end of the axis SetAXIS gives for first .. last over 100 mm.
struct Span {
  AXIS axis;
  double count, start, end, step;
};

Span Spanned(float first, float last) {
  Span s;
  SetAXIS(&s.axis, first, last, 100.0f);
  s.step = s.axis.step;
  s.count = static_cast<double>(s.axis.scale) * 100.0 / s.step;
  s.start = s.axis.origin;
  s.end = s.start + static_cast<double>(s.axis.scale) * 100.0;
  return s;
}

// The label texts of every tick as the chart draws them from the record: integers rounded
// when labelDigits < 0, else labelDigits decimals.
std::vector<std::string> Labels(const Span& s) {
  std::vector<std::string> out;
  const int n = static_cast<int>(std::lround(s.count));
  for (int i = 0; i <= n; ++i) {
    const double v = s.start + i * s.step;
    if (s.axis.labelDigits < 0) {
      char text[64];
      std::snprintf(text, sizeof text, "%.0f", std::floor(v + 0.5));
      out.push_back(text);
    } else {
      out.push_back(FormatFixed(static_cast<float>(v), s.axis.labelDigits));
    }
  }
  return out;
}

// Empty when every label, read back, lies within 2 % of a step of its tick's value and the
// labels differ by one constant step as printed; else what is wrong.
std::string LabelFault(const Span& s) {
  const std::vector<std::string> labels = Labels(s);
  const double h = std::fabs(s.step);
  const double unit = s.axis.labelDigits > 0 ? std::pow(10.0, -s.axis.labelDigits) : 1.0;
  double first = 0.0;
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const double read = std::stod(labels[i]);
    const double value = s.start + static_cast<double>(i) * s.step;
    if (std::fabs(read - value) > 0.02 * h)
      return "label " + labels[i] + " on a tick of a value off";
    if (i == 1) first = read - std::stod(labels[0]);
    if (i > 1 && std::fabs(read - std::stod(labels[i - 1]) - first) > 0.5 * unit)
      return "uneven labels at " + labels[i];
  }
  return "";
}

// True when the step has at most two significant digits, as every round step the axis
// rules and the coarser series 1, 2, 2.5, 5 x 10^k give.
bool RoundStep(double step) {
  const double a = std::fabs(step);
  const double m = a / std::pow(10.0, std::floor(std::log10(a)) - 1.0);
  return std::fabs(m - std::round(m)) <= 1e-3 * m;
}

TEST(SetAXIS, WidensToACoarserStepInsteadOfCrowdingTicks) {
  // Before, 114..121 came out as 36 steps of 0.2 and -0.00696..0.00229 as 32 steps of
  // 0.0003: ticks under 3 mm apart on a 100 mm axis.
  const Span grown = Spanned(114.0f, 121.0f);
  EXPECT_NEAR(grown.step, 0.5, 1e-6);
  EXPECT_NEAR(grown.count, 14.0, 1e-4);
  const Span small = Spanned(-0.00696f, 0.00229f);
  EXPECT_LE(small.count, 15.0 + 1e-4);
  EXPECT_NEAR(small.start, -0.007, 1e-7);
  EXPECT_GE(small.end, 0.00229 - 1e-7);
  EXPECT_TRUE(RoundStep(small.step)) << small.step;
}

TEST(SetAXIS, GivesBothNegativeRangesARoundScaling) {
  // The start snaps to 0 while both ends lie below it; the mirror image 0.1821..0.2043 is
  // scaled 0.18 ... 0.22 in 2 steps of 0.02, so this axis runs -0.22 ... -0.18.
  const Span near = Spanned(-0.2043f, -0.1821f);
  EXPECT_NEAR(near.start, -0.22, 1e-6);
  EXPECT_NEAR(near.end, -0.18, 1e-6);
  EXPECT_NEAR(near.count, 2.0, 1e-4);
  const Span tiny = Spanned(-0.0047f, -0.0012f);
  EXPECT_GT(tiny.count, 1.5);  // not one bare interval over the data
  EXPECT_LE(tiny.start, -0.0047);
  EXPECT_GE(tiny.end, -0.0012 - 1e-9);
  EXPECT_TRUE(RoundStep(tiny.step)) << tiny.step;
}

TEST(SetAXIS, ReversedPairGivesAFallingAxis) {
  for (const auto& pair : {std::pair{10.5f, 10.4f}, std::pair{50.0f, 10.0f}}) {
    const Span s = Spanned(pair.first, pair.second);
    EXPECT_LT(s.step, 0.0) << pair.first;
    EXPECT_GE(s.start, pair.first) << pair.first;
    EXPECT_LE(s.end, pair.second) << pair.first;
  }
}

TEST(SetAXIS, LabelDecimalsStateEveryTickValue) {
  // A derivative profile's range: -0.123 ... 0.080 in 7 steps of 0.029. Two decimals (what
  // the extent of 0.203 asks for) would read -0.12, -0.09, -0.07, -0.04, -0.01, 0.02, 0.05,
  // 0.08 on evenly spaced ticks; 0.029 needs three.
  const Span s = Spanned(-0.099f, 0.072f);
  EXPECT_NEAR(s.step, 0.029, 1e-7);
  EXPECT_NEAR(s.count, 7.0, 1e-4);
  EXPECT_EQ(s.axis.labelDigits, 3);
  EXPECT_EQ(LabelFault(s), "");
  const std::vector<std::string> labels = Labels(s);
  EXPECT_EQ(labels.front(), "-0.123");
  EXPECT_EQ(labels[4], "-0.007");
  EXPECT_EQ(labels.back(), " 0.080");
  // Steps below 1e-4 used to be taken for whole numbers: "0" on every tick.
  const Span fine = Spanned(0.0f, 0.0004f);
  EXPECT_GT(fine.axis.labelDigits, 0);
  EXPECT_EQ(LabelFault(fine), "");
}

TEST(SetAXIS, KeepsIntegerLabelsForWholeSteps) {
  // 0 .. 3e9 in 6 steps of 5e8: whole labels, ten characters wide.
  const Span s = Spanned(0.0f, 3e9f);
  EXPECT_EQ(s.axis.labelDigits, -10);
  EXPECT_EQ(Labels(s).back(), "3000000000");
}

TEST(SetAXIS, RandomRangesGetRoundCoveringAxesWithTrueLabels) {
  std::uint32_t seed = 2024;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<double>(seed >> 8) / 16777216.0;
  };
  int checked = 0;
  for (int i = 0; i < 40000; ++i) {
    // Magnitudes 1e-9 to 1e30; ascending, descending, both negative, and narrow spans.
    const double magnitude = std::pow(10.0, std::floor(next() * 40.0) - 9.0);
    float a = static_cast<float>((next() * 2.0 - 1.0) * magnitude);
    float b = static_cast<float>((next() * 2.0 - 1.0) * magnitude);
    if (i % 4 == 1) {
      a = -std::fabs(a);
      b = -std::fabs(b);
    } else if (i % 4 == 2) {
      b = static_cast<float>(a + (static_cast<double>(b) - a) * 1e-3);
    }
    if (a == b) continue;
    ++checked;
    const Span s = Spanned(a, b);
    // Single precision places a value to about 1.2e-7 of its size.
    const double slack =
        std::max(std::fabs(s.step) * 1e-3, 2.4e-7 * std::max(std::fabs(a), std::fabs(b)));
    const std::string range = std::to_string(a) + " .. " + std::to_string(b);
    ASSERT_LE(std::min(s.start, s.end), std::min(a, b) + slack) << range;
    ASSERT_GE(std::max(s.start, s.end), std::max(a, b) - slack) << range;
    ASSERT_LE(s.count, 15.0 + 1e-3) << range;
    ASSERT_GE(s.count, 1.0 - 1e-3) << range;
    ASSERT_NEAR(s.count, std::round(s.count), 1e-3) << range;
    ASSERT_EQ(s.step < 0.0, b < a) << range;
    ASSERT_TRUE(RoundStep(s.step)) << range << " step " << s.step;
    ASSERT_EQ(LabelFault(s), "") << range;
  }
  EXPECT_GT(checked, 39000);
}

}  // namespace
