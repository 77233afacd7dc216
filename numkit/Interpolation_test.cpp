#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "numkit/numkit.h"

namespace {

constexpr int kSpline = 1, kRational = 2, kPolynomial = 3, kLinear = 4;

/// 1-based single-precision vector of exactly the size the call may use (index 0 unused), so
/// that AddressSanitizer catches any access beyond it.
std::vector<float> OneBased(const std::vector<double>& values) {
  std::vector<float> v{0.0f};
  for (double x : values) v.push_back(static_cast<float>(x));
  return v;
}

struct Outcome {
  int code;
  std::vector<float> yi;  // yi[1 … m]
};

Outcome Interpolate(const std::vector<double>& x, const std::vector<double>& y,
                    const std::vector<double>& at, int method, float fill = 0.0f) {
  auto xa = OneBased(x);
  auto ya = OneBased(y);
  auto xi = OneBased(at);
  std::vector<float> yi(at.size() + 1, fill);
  const int n = static_cast<int>(x.size());
  const int m = static_cast<int>(at.size());
  const int code =
      DoInterpolation(xa.data(), ya.data(), n, xi.data(), m, yi.data(), nullptr, method);
  return {code, yi};
}

std::vector<double> Sample(const std::vector<double>& x, const std::function<double(double)>& f) {
  std::vector<double> y;
  for (double v : x) y.push_back(f(v));
  return y;
}

std::vector<double> Range(double first, double last, double step) {
  std::vector<double> x;
  for (double v = first; v <= last + 1e-9; v += step) x.push_back(v);
  return x;
}

/// Expects method to reproduce f at every abscissa (f evaluated at the abscissa as stored).
void ExpectReproduces(const std::vector<double>& knots, const std::function<double(double)>& f,
                      const std::vector<double>& at, int method, double tolerance) {
  const Outcome run = Interpolate(knots, Sample(knots, f), at, method);
  ASSERT_EQ(run.code, 0);
  for (std::size_t i = 0; i < at.size(); ++i) {
    const double x = static_cast<float>(at[i]);
    EXPECT_NEAR(run.yi[i + 1], f(x), tolerance * (1.0 + std::fabs(f(x)))) << "x " << x;
  }
}

}  // namespace

// --- every method -------------------------------------------------------------------------

TEST(Interpolation, PassesThroughTheTablePointsWithEveryMethod) {
  const std::vector<double> x{0, 0.7, 1.5, 2.0, 3.2, 4.0, 5.5};
  const std::vector<double> y{1.2, -0.4, 2.5, 2.5, 0.3, -1.0, 0.8};
  for (int method : {kSpline, kRational, kPolynomial, kLinear}) {
    const Outcome run = Interpolate(x, y, x, method);
    ASSERT_EQ(run.code, 0) << "method " << method;
    for (std::size_t i = 0; i < x.size(); ++i) {
      EXPECT_NEAR(run.yi[i + 1], static_cast<float>(y[i]), 2e-6) << method << " at " << x[i];
    }
  }
}

TEST(Interpolation, ReproducesAStraightLineWithEveryMethodAlsoBeyondTheTable) {
  auto line = [](double x) { return 2.5 - 0.75 * x; };
  const std::vector<double> knots{0, 1, 2.5, 3, 4.5, 6, 7};
  for (int method : {kSpline, kRational, kPolynomial, kLinear}) {
    ExpectReproduces(knots, line, {-1.5, 0.25, 1.75, 2.9, 5.1, 6.99, 8.0}, method, 2e-6);
  }
}

TEST(Interpolation, ReportsCoincidingAbscissaeFirstWithEveryMethod) {
  const std::vector<double> y{1, 2, 3, 4, 5, 6};
  for (int method : {kSpline, kRational, kPolynomial, kLinear, 9}) {
    EXPECT_EQ(Interpolate({0, 1, 1, 2, 3, 4}, y, {0.5}, method).code, 23) << method;
    // also when the table is out of order, so that the equal pair is not adjacent
    EXPECT_EQ(Interpolate({0, 2, 1, 2, 3, 4}, y, {0.5}, method).code, 23) << method;
  }
}

TEST(Interpolation, RefusesInvalidCallsWithCode21) {
  auto xa = OneBased({0, 1, 2});
  auto ya = OneBased({0, 1, 4});
  auto xi = OneBased({0.5});
  std::vector<float> yi(2, 0.0f);
  EXPECT_EQ(DoInterpolation(nullptr, ya.data(), 3, xi.data(), 1, yi.data(), nullptr, 1), 21);
  EXPECT_EQ(DoInterpolation(xa.data(), nullptr, 3, xi.data(), 1, yi.data(), nullptr, 1), 21);
  EXPECT_EQ(DoInterpolation(xa.data(), ya.data(), 3, xi.data(), 1, nullptr, nullptr, 1), 21);
  EXPECT_EQ(DoInterpolation(xa.data(), ya.data(), 0, xi.data(), 1, yi.data(), nullptr, 1), 21);
  EXPECT_EQ(DoInterpolation(xa.data(), ya.data(), 3, xi.data(), -1, yi.data(), nullptr, 1), 21);
  EXPECT_EQ(DoInterpolation(xa.data(), ya.data(), 3, xi.data(), 1, yi.data(), nullptr, 0), 21);
  EXPECT_EQ(DoInterpolation(xa.data(), ya.data(), 3, xi.data(), 1, yi.data(), nullptr, 5), 21);
  EXPECT_EQ(yi[1], 0.0f);
}

TEST(Interpolation, RefusesUnusableTablesWithCode22) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(Interpolate({1}, {2}, {1}, kLinear).code, 22);                  // a single point
  EXPECT_EQ(Interpolate({0, 2, 1}, {0, 1, 2}, {0.5}, kSpline).code, 22);    // not increasing
  EXPECT_EQ(Interpolate({0, 1, inf}, {0, 1, 2}, {0.5}, kLinear).code, 22);  // abscissa infinite
  EXPECT_EQ(Interpolate({0, 1, 2}, {0, 1, 2}, {0.5, nan}, kLinear).code, 22);
}

TEST(Interpolation, ReportsNonFiniteValuesWithCode24AndLeavesTheResultAlone) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (int method : {kSpline, kRational, kPolynomial, kLinear}) {
    const Outcome run = Interpolate({0, 1, 2, 3, 4}, {0, 1, nan, 3, 4}, {0.5, 3.5}, method, -7.0f);
    EXPECT_EQ(run.code, 24) << method;
    EXPECT_EQ(run.yi[1], -7.0f);
  }
  // Finite table, but extrapolation beyond the largest single-precision value.
  const Outcome run = Interpolate({0, 1}, {0, 3e38}, {0.5, 2.0}, kLinear, -7.0f);
  EXPECT_EQ(run.code, 24);
  EXPECT_EQ(run.yi[1], -7.0f);  // nothing is written when any value fails
}

TEST(Interpolation, HandlesAnEmptyRequest) {
  auto xa = OneBased({0, 1});
  auto ya = OneBased({0, 1});
  EXPECT_EQ(DoInterpolation(xa.data(), ya.data(), 2, nullptr, 0, nullptr, nullptr, 4), 0);
}

// --- natural cubic spline ---------------------------------------------------------------

// By hand: knots 0, 1, 2 with values 0, 1, 0 and M0 = M2 = 0; the one interior equation
// 1·M0 + 2(1 + 1)·M1 + 1·M2 = 6((0 − 1)/1 − (1 − 0)/1) gives M1 = −3, so on [0, 1]
// S(x) = x − (x³ − x)/2 = 1.5x − 0.5x³: S(0.5) = 0.6875, S'(0) = 1.5; by symmetry S(1.5) = 0.6875.
// Beyond the ends the spline continues with its end slopes ±1.5: S(−1) = S(3) = −1.5.
TEST(Interpolation, SplineMatchesAHandSolvedThreeKnotCase) {
  const Outcome run = Interpolate({0, 1, 2}, {0, 1, 0}, {0.5, 1.5, -1.0, 3.0}, kSpline);
  ASSERT_EQ(run.code, 0);
  EXPECT_NEAR(run.yi[1], 0.6875, 1e-6);
  EXPECT_NEAR(run.yi[2], 0.6875, 1e-6);
  EXPECT_NEAR(run.yi[3], -1.5, 1e-6);
  EXPECT_NEAR(run.yi[4], -1.5, 1e-6);
}

// By hand, unequal spacing: knots 0, 1, 3 with values 0, 1, 1: 2(1 + 2)·M1 = 6((1 − 1)/2 − 1/1)
// gives M1 = −1. With a = b = 1/2 in the cubic a·y0 + b·y1 + ((a³ − a)M0 + (b³ − b)M1)h²/6:
// S(0.5) = 0.5 + 0.375/6 = 0.5625 and S(2) = 1 + 0.375·4/6 = 1.25.
// Four equal steps 0, 1, 2, 3 with values 0, 1, 0, 1: 4M1 + M2 = −12, M1 + 4M2 = 12 give
// M1 = −4, M2 = 4, hence S(0.5) = 0.75, S(1.5) = 0.5, S(2.5) = 0.25.
TEST(Interpolation, SplineMatchesHandSolvedTridiagonalSystems) {
  const Outcome unequal = Interpolate({0, 1, 3}, {0, 1, 1}, {0.5, 2.0}, kSpline);
  ASSERT_EQ(unequal.code, 0);
  EXPECT_NEAR(unequal.yi[1], 0.5625, 1e-6);
  EXPECT_NEAR(unequal.yi[2], 1.25, 1e-6);
  const Outcome four = Interpolate({0, 1, 2, 3}, {0, 1, 0, 1}, {0.5, 1.5, 2.5}, kSpline);
  ASSERT_EQ(four.code, 0);
  EXPECT_NEAR(four.yi[1], 0.75, 1e-6);
  EXPECT_NEAR(four.yi[2], 0.5, 1e-6);
  EXPECT_NEAR(four.yi[3], 0.25, 1e-6);
}

// A cubic cannot test exactness (its second derivative is not zero at both ends, so the natural
// end conditions disturb it), but away from the ends that disturbance dies out and the spline
// through a smooth function converges as h⁴: halving the spacing divides the error by ≈ 16.
TEST(Interpolation, SplineErrorFallsAsTheFourthPowerOfTheSpacingAwayFromTheEnds) {
  auto f = [](double x) { return std::sin(x); };
  std::vector<double> worst;
  for (double h : {0.8, 0.4, 0.2}) {
    std::vector<double> at;
    for (double x = 8.0; x < 12.0; x += h) at.push_back(x + 0.5 * h);  // mid-interval
    const Outcome run =
        Interpolate(Range(0.0, 20.0, h), Sample(Range(0.0, 20.0, h), f), at, kSpline);
    ASSERT_EQ(run.code, 0);
    double error = 0.0;
    for (std::size_t i = 0; i < at.size(); ++i) {
      error = std::max(error, std::fabs(run.yi[i + 1] - f(static_cast<float>(at[i]))));
    }
    worst.push_back(error);
  }
  EXPECT_NEAR(worst[0] / worst[1], 16.0, 3.0);
  EXPECT_NEAR(worst[1] / worst[2], 16.0, 3.0);
}

// --- linear -----------------------------------------------------------------------------

TEST(Interpolation, LinearGivesMeansAtMidpointsAndFollowsTheEndSegments) {
  const Outcome run = Interpolate({0, 2, 3, 7}, {1, 5, -1, 3}, {1, 2.5, 5, -2, 9}, kLinear);
  ASSERT_EQ(run.code, 0);
  EXPECT_FLOAT_EQ(run.yi[1], 3.0f);   // (1 + 5) / 2
  EXPECT_FLOAT_EQ(run.yi[2], 2.0f);   // (5 − 1) / 2
  EXPECT_FLOAT_EQ(run.yi[3], 1.0f);   // (−1 + 3) / 2
  EXPECT_FLOAT_EQ(run.yi[4], -3.0f);  // first segment, slope 2, continued to x = −2
  EXPECT_FLOAT_EQ(run.yi[5], 5.0f);   // last segment, slope 1, continued to x = 9
}

// --- fourth-order polynomial ------------------------------------------------------------

TEST(Interpolation, PolynomialReproducesQuarticsEverywhereInTheTable) {
  auto quartic = [](double x) { return 0.5 * x * x * x * x - x * x * x + 2 * x - 3; };
  ExpectReproduces(Range(0, 8, 1), quartic, {0.25, 1.5, 3.5, 6.2, 7.75}, kPolynomial, 1e-6);
  // with four points the whole table carries a cubic
  auto cubic = [](double x) { return x * x * x - 2 * x; };
  ExpectReproduces({0, 1, 2.5, 4}, cubic, {0.5, 1.75, 3.9}, kPolynomial, 1e-6);
}

// The window for x in [x[j], x[j + 1]) is x[j − 2] … x[j + 2]: at 4.5 the points at 2 … 6.
TEST(Interpolation, PolynomialUsesTheTwoPointsEitherSideOfTheIntervalStart) {
  const std::vector<double> x = Range(0, 9, 1);
  const std::vector<double> y{3, 1, 4, 1, 5, 9, 2, 6, 5, 3};
  const float base = Interpolate(x, y, {4.5}, kPolynomial).yi[1];
  for (int k = 0; k < 10; ++k) {
    std::vector<double> changed = y;
    changed[k] += 10.0;
    const float value = Interpolate(x, changed, {4.5}, kPolynomial).yi[1];
    if (k >= 2 && k <= 6) {
      EXPECT_NE(value, base) << "point " << k << " belongs to the window";
    } else {
      EXPECT_EQ(value, base) << "point " << k << " lies outside the window";
    }
  }
}

// --- diagonal rational function ---------------------------------------------------------

TEST(Interpolation, RationalReproducesRationalFunctionsOfMatchingDegree) {
  // 1/(1 + (x − 2)²) takes equal values on both sides of x = 2, and x/(1 + x²) passes through
  // zero: both break a naive recursive evaluation; both lie in the (2, 2) class.
  ExpectReproduces(
      Range(0, 8, 1), [](double x) { return 1 / (1 + (x - 2) * (x - 2)); },
      {0.5, 1.5, 2.5, 3.25, 6.5}, kRational, 1e-6);
  ExpectReproduces(
      Range(-4, 4, 1), [](double x) { return x / (1 + x * x); }, {-3.5, -0.5, 0.25, 2.75},
      kRational, 1e-6);
  ExpectReproduces(
      {0, 0.5, 1.25, 2, 3, 4.5}, [](double x) { return (2 * x + 1) / (x + 3); }, {0.1, 1, 2.7, 4.0},
      kRational, 1e-6);
  // with two points c / (x − p): through (0, 1) and (1, 0.5) that is 1 / (1 + x)
  ExpectReproduces(
      {0, 1}, [](double x) { return 1 / (1 + x); }, {0.5, 3.0}, kRational, 1e-6);
  // and on a parabola, whose denominator is a constant
  ExpectReproduces(
      Range(0, 6, 1), [](double x) { return x * x - 4; }, {0.5, 2.5, 5.5}, kRational, 1e-6);
}

// x + 0.001/(x − 2.5) has a weak pole between the table points 2 and 3: at 2 its term
// 0.001/(2 − 2.5) = −0.002 barely touches the value, right beside it the term is huge.
TEST(Interpolation, RationalToleratesAWeakPoleAwayFromTheAbscissa) {
  auto f = [](double x) { return x + 0.001 / (x - 2.5); };
  ExpectReproduces(Range(0, 6, 1), f, {2.0 + 1.0 / 16, 1.5, 4.5}, kRational, 1e-5);
  EXPECT_EQ(
      Interpolate(Range(0, 6, 1), Sample(Range(0, 6, 1), f), {2.5 + 1.0 / 1024}, kRational).code,
      20);
}

TEST(Interpolation, RationalReportsAPoleWithCode20) {
  // 1/(x − 0.5) through five points (all values exact in binary): the pole lies between the
  // table points 0 and 1.
  const std::vector<double> x{-1.5, 0, 1, 2.5, 4.5};
  const auto y = Sample(x, [](double v) { return 1 / (v - 0.5); });
  EXPECT_EQ(Interpolate(x, y, {0.25}, kRational).code, 20);
  EXPECT_EQ(Interpolate(x, y, {0.5}, kRational).code, 20);
  EXPECT_EQ(Interpolate({0, 1}, {1, 0.5}, {-1.0}, kRational).code, 20);  // 1 / (1 + x) at −1
  const Outcome away = Interpolate(x, y, {3.0}, kRational);
  ASSERT_EQ(away.code, 0);
  EXPECT_NEAR(away.yi[1], 0.4, 1e-6);
}
