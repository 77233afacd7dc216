#include "analysis/SecondDerivative.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "profile/TessmorDoc.h"

namespace {

/// An equally spaced profile of n samples 500 m apart; sample k has anomaly y(k) (mGal).
void Fill(CTessmorDoc& doc, int n, const std::function<double(int)>& y) {
  for (int k = 0; k < n; ++k) doc.AddPoint({1000 + 500 * k, y(k)});
  doc.m_bEquallySpaced = 1;
}

std::vector<float> Derivative(int n, const std::function<double(int)>& y) {
  CTessmorDoc doc;
  Fill(doc, n, y);
  return doc.ComputeSecondDerivative();
}

TEST(SecondDerivative, StraightLineHasNoCurvatureAwayFromTheEnds) {
  // The fourth-order filter reproduces every polynomial up to order 4 wherever its window
  // lies wholly on the series; the second derivative of a line is 0.
  const int n = 100, m = 5;
  const std::vector<float> d = Derivative(n, [](int k) { return 3.0 + 0.7 * k; });
  ASSERT_EQ(d.size(), 100u);
  // Values reach ±35 mGal about the mean: float rounding of ~35 × 6e-8 per term.
  for (int k = m; k < n - m; ++k) EXPECT_NEAR(d[k], 0.0f, 1e-4) << k;
}

TEST(SecondDerivative, ParabolaGivesItsCoefficientPerSquaredSampleInterval) {
  // y = a (k − 40)² in sample units: the fitted polynomial's coefficient of the squared
  // offset is a. The program reports that coefficient: neither the factor 2 of the
  // derivative nor the spacing (500 m) is applied.
  const double a = 0.1;
  const int n = 81, m = 5;
  const std::vector<float> d = Derivative(n, [&](int k) { return a * (k - 40) * (k - 40); });
  ASSERT_EQ(d.size(), 81u);
  for (int k = m; k < n - m; ++k) EXPECT_NEAR(d[k], a, 1e-4) << k;
}

/// The coefficient of u² of the polynomial of order 4 fitted by least squares to the 2m + 1
/// samples y[k − m … k + m], the series being continued beyond its ends by its end values:
/// the normal equations solved in double precision by Gaussian elimination.
double LocalCurvature(const std::vector<double>& y, int k, int m) {
  const int n = static_cast<int>(y.size());
  double a[5][6] = {};
  for (int u = -m; u <= m; ++u) {
    const double v = y[std::clamp(k + u, 0, n - 1)];
    double pw[5] = {1, 1.0 * u, 1.0 * u * u, 1.0 * u * u * u, 1.0 * u * u * u * u};
    for (int r = 0; r < 5; ++r) {
      for (int c = 0; c < 5; ++c) a[r][c] += pw[r] * pw[c];
      a[r][5] += pw[r] * v;
    }
  }
  for (int p = 0; p < 5; ++p) {
    for (int r = p + 1; r < 5; ++r) {
      const double f = a[r][p] / a[p][p];
      for (int c = p; c < 6; ++c) a[r][c] -= f * a[p][c];
    }
  }
  double coef[5];
  for (int r = 4; r >= 0; --r) {
    double v = a[r][5];
    for (int c = r + 1; c < 5; ++c) v -= a[r][c] * coef[c];
    coef[r] = v / a[r][r];
  }
  return coef[2];
}

/// An irregular test series (mGal).
double Wiggle(int k) { return 3.0 * std::sin(0.9 * k) + 0.02 * k * k - std::cos(0.31 * k * k); }

TEST(SecondDerivative, TooFewSamplesGiveNoArray) {
  EXPECT_TRUE(Derivative(0, [](int) { return 1.0; }).empty());
  EXPECT_TRUE(Derivative(7, [](int k) { return k * k; }).empty());
}

TEST(SecondDerivative, EachValueIsTheCurvatureOfTheLocalQuarticFit) {
  // With the window's pad at least m wide the transform never wraps the series round, so
  // each value is the u² coefficient of a least-squares quartic over 2m + 1 samples of the
  // end-continued series: a window of 9 (m = 4) up to 32 samples, of 11 (m = 5) above.
  for (int n : {8, 20, 32, 33, 64}) {
    SCOPED_TRACE(n);
    const int m = n > 32 ? 5 : 4;
    std::vector<double> y(n);
    for (int k = 0; k < n; ++k) y[k] = Wiggle(k);
    const std::vector<float> d = Derivative(n, Wiggle);
    ASSERT_EQ(d.size(), static_cast<std::size_t>(n));
    // The series reaches ~90 mGal: its single-precision samples carry ~5e-6 mGal.
    for (int k = 0; k < n; ++k) EXPECT_NEAR(d[k], LocalCurvature(y, k, m), 2e-5) << k;
    // The other window would give another value: the comparison tells the two apart.
    EXPECT_GT(std::abs(LocalCurvature(y, n / 2, 9 - m) - d[n / 2]), 1e-3);
  }
}

TEST(SecondDerivative, WindowAndTransformLengthFollowTheSeriesLength) {
  EXPECT_EQ(DerivativeHalfWindow(8), 4);
  EXPECT_EQ(DerivativeHalfWindow(32), 4);
  EXPECT_EQ(DerivativeHalfWindow(33), 5);
  EXPECT_EQ(DerivativeTransformLength(8), 16);
  EXPECT_EQ(DerivativeTransformLength(32), 64);
  EXPECT_EQ(DerivativeTransformLength(33), 64);
  EXPECT_EQ(DerivativeTransformLength(100), 128);
  EXPECT_EQ(DerivativePad(100), 14);
  EXPECT_EQ(DerivativeTransformLength(31), 32);
  EXPECT_EQ(DerivativePad(31), 1);
  // Long series get the next power of two above their length.
  EXPECT_EQ(DerivativeTransformLength(511), 512);
  EXPECT_EQ(DerivativeTransformLength(512), 1024);
  EXPECT_EQ(DerivativeTransformLength(600), 1024);
  EXPECT_EQ(DerivativeTransformLength(5000), 8192);
  EXPECT_EQ(DerivativePad(5000), 1596);
}

TEST(SecondDerivative, ShortPadLetsTheFarEndWrapAroundLongPadDoesNot) {
  // The transform is circular. With 31 samples the window of 32 leaves a pad of 1 before
  // the series, so the filter at sample 0 reaches round to the far end; with 100 samples
  // (window 128, pad 14) the filter at sample 0 sees only the first value repeated.
  auto ramp = [](int k) { return 0.3 * k; };
  for (int n : {31, 100}) {
    SCOPED_TRACE(n);
    CTessmorDoc a, b;
    Fill(a, n, ramp);
    Fill(b, n, ramp);
    b.m_points[n - 1]->anomaly += 5.0;  // only the last sample differs
    // The mean shifts every value alike and the filter ignores constants: compare sample 0.
    const float da = a.ComputeSecondDerivative()[0];
    const float db = b.ComputeSecondDerivative()[0];
    if (n == 31) {
      EXPECT_GT(std::abs(da - db), 1e-3);
    } else {
      EXPECT_NEAR(da, db, 1e-6);
    }
  }
}

TEST(SecondDerivative, LongSeriesUseALongerTransform) {
  for (int n : {511, 512, 600, 5000}) {
    SCOPED_TRACE(n);
    const double a = 2e-5;
    const int mid = n / 2;
    const std::vector<float> d = Derivative(n, [&](int k) { return a * (k - mid) * (k - mid); });
    ASSERT_EQ(d.size(), static_cast<std::size_t>(n));
    // Values up to a (n/2)² = 125 mGal for 5000 samples: float data carry ~1e-5 mGal.
    for (int k = 5; k < n - 5; k += 7) ASSERT_NEAR(d[k], a, 2e-5) << k;
  }
}

TEST(SecondDerivative, BackgroundIsRemovedFirst) {
  // A parabola on a regional line. The line has no curvature, but near the ends the window
  // reaches the repeated end values, where a left-over ramp would show. With the line set as
  // the background the result is that of the parabola alone, ends included.
  auto parabola = [](int k) { return 0.05 * (k - 30) * (k - 30); };
  CTessmorDoc doc, pure, unremoved;
  Fill(doc, 60, [&](int k) { return parabola(k) + 0.8 * k; });
  Fill(unremoved, 60, [&](int k) { return parabola(k) + 0.8 * k; });
  Fill(pure, 60, parabola);
  doc.SetBackground(kBackgroundLinear, {1000, 0.0}, {3000, 3.2});  // 0.8 mGal per sample
  const std::vector<float> d = doc.ComputeSecondDerivative();
  const std::vector<float> want = pure.ComputeSecondDerivative();
  const std::vector<float> ramp = unremoved.ComputeSecondDerivative();
  ASSERT_EQ(d.size(), 60u);
  ASSERT_EQ(want.size(), 60u);
  for (int k = 0; k < 60; ++k) EXPECT_NEAR(d[k], want[k], 1e-5) << k;
  EXPECT_GT(std::abs(ramp[0] - want[0]), 1e-2);  // the ramp would have shown at the end
}

/// A continued series of records with anomalies u(i) at 500 m steps.
PointArray Series(const std::vector<double>& u) {
  PointArray s;
  for (std::size_t i = 0; i < u.size(); ++i) {
    s.push_back(
        std::make_unique<ProfilePoint>(ProfilePoint{static_cast<std::int32_t>(500 * i), u[i]}));
  }
  return s;
}

TEST(SecondDifference, ParabolaGivesTwiceItsCoefficientInsideOnly) {
  // u = a i²: u(i+1) + u(i−1) − 2 u(i) = 2a exactly. The ends have no neighbours and keep
  // what the caller put there.
  CTessmorDoc doc;
  std::vector<double> u;
  for (int i = 0; i < 10; ++i) u.push_back(0.25 * i * i);
  const PointArray s = Series(u);
  std::vector<float> out(10, -99.0f);
  doc.SecondDifference(out.data(), out.size(), s);
  EXPECT_EQ(out[0], -99.0f);
  EXPECT_EQ(out[9], -99.0f);
  for (int i = 1; i <= 8; ++i) EXPECT_FLOAT_EQ(out[i], 0.5f);
}

TEST(SecondDifference, WritesOnlyWhatFitsTheOutput) {
  CTessmorDoc doc;
  const PointArray s = Series({0, 1, 4, 9, 16, 25, 36, 49});
  std::vector<float> out(6, -1.0f);
  out.push_back(-7.0f);  // a guard beyond the size the call is told
  doc.SecondDifference(out.data(), 6, s);
  for (int i = 1; i <= 5; ++i) EXPECT_FLOAT_EQ(out[i], 2.0f);
  EXPECT_EQ(out[0], -1.0f);
  EXPECT_EQ(out[6], -7.0f);
}

TEST(SecondDifference, FewerThanThreeRecordsWriteNothing) {
  CTessmorDoc doc;
  for (std::size_t size : {0u, 1u, 2u}) {
    std::vector<double> u(size, 3.0);
    std::vector<float> out(4, -1.0f);
    doc.SecondDifference(out.data(), out.size(), Series(u));
    for (float v : out) EXPECT_EQ(v, -1.0f);
  }
}

}  // namespace
