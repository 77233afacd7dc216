#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "profile/TessmorDoc.h"
#include "testsupport/FakePrompts.h"

namespace {

/// An equally spaced profile of n points from `first` metres at `spacing` metres, the anomaly
/// at distance x metres given by `anomaly(x)`.
void FillEqual(CTessmorDoc& doc, int n, int first, int spacing,
               const std::function<double(double)>& anomaly) {
  for (int i = 0; i < n; ++i) {
    const int x = first + i * spacing;
    doc.AddPoint({x, anomaly(x)});
  }
  doc.m_bEquallySpaced = 1;
}

/// Anomaly (mGal) of an infinite horizontal line mass at depth z km, at horizontal distance
/// x km: g = K z / (x² + z²), with K = 2G × mass per unit length in mGal·km.
double LineMass(double k, double z, double x) { return k * z / (x * x + z * z); }

TEST(UpwardContinuation, LineMassRisesToTheFieldOfTheDeeperLine) {
  // Continuing the field of a line mass at depth z upward by h gives, by the Poisson
  // integral, exactly the field of the same line at depth z + h.
  constexpr double kK = 20.0;          // mGal·km: peak K / z = 5 mGal
  constexpr double kZ = 4.0;           // km
  constexpr int kSpacing = 250;        // m
  constexpr int kHalfLength = 100000;  // m: the profile runs from −100 km to +100 km
  const int n = 2 * kHalfLength / kSpacing + 1;
  for (float height : {1.0f, 2.0f, 5.0f}) {
    SCOPED_TRACE(height);
    CTessmorDoc doc;
    FillEqual(doc, n, -kHalfLength, kSpacing, [&](double x) { return LineMass(kK, kZ, x / 1000); });
    PointArray up;
    doc.ComputeUpwardContinuation(up, height);
    ASSERT_EQ(up.size(), static_cast<std::size_t>(n));
    const double peak = LineMass(kK, kZ, 0.0);
    double worst = 0.0;
    for (const auto& p : up) {
      if (std::abs(p->distance) > kHalfLength / 2) continue;  // the interior: |x| ≤ 50 km
      const double want = LineMass(kK, kZ + height, p->distance / 1000.0);
      worst = std::max(worst, std::abs(p->anomaly - want));
    }
    // Error budget: the sampled Poisson sum of an analytic field converges faster than any
    // power of the spacing; the profile's finite length leaves out the kernel beyond ±100 km,
    // a fraction ≈ 2h / (π · 100 km) ≤ 3.2 % of the kernel, which multiplies the added-back
    // mean ≈ π K / 200 km = 6.3 % of the peak: ≤ 0.2 % of the peak. Float sums add ~1e-5.
    const double percent = 100.0 * worst / peak;
    RecordProperty("worst_error_percent_of_peak_h" + std::to_string(static_cast<int>(height)),
                   std::to_string(percent));
    EXPECT_LT(percent, 0.5);
  }
}

TEST(UpwardContinuation, ConstantResidualContinuesToItself) {
  // The mean is removed before the convolution and added back after it, so a constant
  // c passes unchanged however short the kernel's reach.
  CTessmorDoc doc;
  FillEqual(doc, 40, 1000, 500, [](double) { return -12.75; });
  PointArray up;
  doc.ComputeUpwardContinuation(up, 3.0f);
  ASSERT_EQ(up.size(), 40u);
  for (const auto& p : up) EXPECT_NEAR(p->anomaly, -12.75, 12.75 * 1e-6);
}

TEST(UpwardContinuation, HasOneRecordPerSampleAtTheSampleDistances) {
  tessmor::testing::FakePrompts prompts;
  // Unequally spaced points: the samples lie at first distance + k × 400 m.
  CTessmorDoc doc;
  for (int x : {2000, 2700, 3900, 5000, 6100, 7700, 9000, 10400, 12000}) {
    doc.AddPoint({x, std::sin(x / 3000.0)});
  }
  doc.m_bEquallySpaced = 0;
  doc.SetInterpolation(4, 400);
  ASSERT_EQ(doc.m_nInterpStatus, 0);
  const int n = doc.GetPointCount(10);
  ASSERT_EQ(n, 25);  // (12000 − 2000) / 400
  PointArray up;
  doc.ComputeUpwardContinuation(up, 1.0f);
  ASSERT_EQ(up.size(), static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k) EXPECT_EQ(up[k]->distance, 2000 + 400 * k);
  EXPECT_EQ(doc.m_bUpwardContinued, 1);
}

TEST(UpwardContinuation, LinearBackgroundIsAddedBackAtEachDistance) {
  // A bump on a regional line. The document with the line as its background continues the
  // residual bump and adds the line back at each sample's own distance; a document holding
  // only the residual (no background) gives the continued bump alone.
  auto bump = [](double x) { return LineMass(8.0, 2.0, (x - 20000) / 1000); };
  auto line = [](double x) { return 0.002 * x + 6.0; };  // through (2 km, 10) and (12 km, 30)
  CTessmorDoc with_bg, residual_only;
  FillEqual(with_bg, 80, 0, 500, [&](double x) { return bump(x) + line(x); });
  with_bg.SetBackground(kBackgroundLinear, {2000, 10.0}, {12000, 30.0});
  for (int i = 0; i < 80; ++i) residual_only.AddPoint(with_bg.GetPoint(i, true));

  PointArray up, up_residual;
  with_bg.ComputeUpwardContinuation(up, 2.0f);
  residual_only.ComputeUpwardContinuation(up_residual, 2.0f);
  ASSERT_EQ(up.size(), 80u);
  ASSERT_EQ(up_residual.size(), 80u);
  for (int i = 0; i < 80; ++i) {
    EXPECT_EQ(up[i]->distance, up_residual[i]->distance);
    EXPECT_NEAR(up[i]->anomaly, up_residual[i]->anomaly + line(up[i]->distance), 1e-9);
  }
  // The added-back line dominates far from the bump: at 39.5 km it is 85 mGal.
  EXPECT_NEAR(up[79]->anomaly, 85.0, 0.5);
}

TEST(UpwardContinuation, NoBackgroundAddsNothingEvenWithOldLineValues) {
  auto bump = [](double x) { return LineMass(8.0, 2.0, (x - 10000) / 1000); };
  CTessmorDoc stale, clean;
  FillEqual(stale, 50, 0, 400, bump);
  FillEqual(clean, 50, 0, 400, bump);
  // Type 32 with slope and level left from an earlier linear background.
  stale.m_nBackgroundType = kBackgroundNone;
  stale.m_dBackgroundSlope = 0.5;
  stale.m_dBackgroundLevel = 100.0;
  PointArray a, b;
  stale.ComputeUpwardContinuation(a, 1.5f);
  clean.ComputeUpwardContinuation(b, 1.5f);
  ASSERT_EQ(a.size(), 50u);
  ASSERT_EQ(b.size(), 50u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(a[i]->anomaly, b[i]->anomaly);
}

TEST(UpwardContinuation, SeriesShorterThanSixSamplesGivesNoResult) {
  for (int n : {0, 1, 5}) {
    SCOPED_TRACE(n);
    CTessmorDoc doc;
    FillEqual(doc, n, 0, 1000, [](double x) { return x / 1000; });
    PointArray up;
    up.push_back(std::make_unique<ProfilePoint>());  // an earlier result is discarded
    doc.ComputeUpwardContinuation(up, 2.0f);
    EXPECT_TRUE(up.empty());
    EXPECT_EQ(doc.m_bUpwardContinued, 0);
  }
  // Six samples are enough: the reflection reaches exactly the first and the last sample.
  CTessmorDoc six;
  FillEqual(six, 6, 0, 1000, [](double) { return 4.0; });
  PointArray up;
  six.ComputeUpwardContinuation(up, 2.0f);
  ASSERT_EQ(up.size(), 6u);
  for (const auto& p : up) EXPECT_NEAR(p->anomaly, 4.0, 1e-5);
}

TEST(UpwardContinuation, HeightThatIsNotPositiveGivesNoResult) {
  CTessmorDoc doc;
  FillEqual(doc, 20, 0, 1000, [](double x) { return x / 1000; });
  for (float height : {0.0f, -1.0f, std::nanf("")}) {
    PointArray up;
    doc.ComputeUpwardContinuation(up, height);
    EXPECT_TRUE(up.empty());
  }
}

TEST(UpwardContinuation, VectorArithmeticAgreesWithTheScalarReference) {
  // Lengths around the vector widths (4, 8, 16 lanes, two accumulators) and a long one; a
  // linear background added back. The result tables allow 1e-4 of the column's range plus
  // 1e-5 of the value; a reordered float sum of N terms differs by about N × 6e-8 of the sum of
  // the terms' magnitudes, far below that.
  for (int n : {6, 7, 21, 33, 64, 511, 5000}) {
    SCOPED_TRACE(n);
    CTessmorDoc doc;
    FillEqual(doc, n, 2000, 250, [n](double x) {
      return 12.0 * std::exp(-std::pow((x / 250.0 - n * 0.4) / (n * 0.1 + 1), 2)) +
             std::sin(x / 700.0);
    });
    doc.SetBackground(kBackgroundLinear, {2000, 1.0}, {12000, 21.0});
    PointArray scalar, vector;
    doc.ComputeUpwardContinuation(scalar, 1.5f, Arithmetic::kScalar);
    doc.ComputeUpwardContinuation(vector, 1.5f, Arithmetic::kVector);
    ASSERT_EQ(vector.size(), scalar.size());
    double lo = 1e30, hi = -1e30;
    for (const auto& p : scalar) {
      lo = std::min(lo, p->anomaly);
      hi = std::max(hi, p->anomaly);
    }
    for (std::size_t i = 0; i < scalar.size(); ++i) {
      EXPECT_EQ(vector[i]->distance, scalar[i]->distance);
      EXPECT_NEAR(vector[i]->anomaly, scalar[i]->anomaly,
                  1e-4 * (hi - lo) + 1e-5 * std::abs(scalar[i]->anomaly))
          << i;
    }
  }
}

TEST(EdgeControlledContinuation, KeepsTheFlanksWhereTheDocumentedOneSinks) {
  // A short profile over a line mass, ending where the field is still 1 mGal: continued 2 km
  // up, the field of the deeper line holds to the ends with the ends controlled.
  constexpr double kK = 30.0, kZ = 3.0;  // mGal·km, km
  CTessmorDoc doc;
  FillEqual(doc, 49, -12000, 500, [&](double x) { return LineMass(kK, kZ, x / 1000); });
  PointArray edges, documented;
  doc.ComputeEdgeControlledContinuation(edges, 2.0f);
  doc.ComputeUpwardContinuation(documented, 2.0f);
  ASSERT_EQ(edges.size(), 49u);
  double worst_edges = 0, worst_documented = 0;
  for (std::size_t i = 0; i < edges.size(); ++i) {
    const double x = edges[i]->distance / 1000.0;
    EXPECT_EQ(edges[i]->distance, documented[i]->distance);
    const double truth = LineMass(kK, kZ + 2.0, x);
    worst_edges = std::max(worst_edges, std::fabs(edges[i]->anomaly - truth));
    worst_documented = std::max(worst_documented, std::fabs(documented[i]->anomaly - truth));
  }
  EXPECT_LT(worst_edges, 0.05);
  EXPECT_GT(worst_documented, 0.3);
}

TEST(EdgeControlledContinuation, ConstantAndBackgroundComeBackToTheEnds) {
  // A constant residual over a linear background: the continued series is the constant plus
  // the background at every sample, first and last included.
  CTessmorDoc doc;
  FillEqual(doc, 20, 0, 1000, [](double x) { return 3.0 + 0.001 * x * 0.5; });
  doc.SetBackground(kBackgroundLinear, {0, 1.0}, {19000, 1.0 + 9.5});
  PointArray up;
  doc.ComputeEdgeControlledContinuation(up, 5.0f);
  ASSERT_EQ(up.size(), 20u);
  for (const auto& p : up) {
    EXPECT_NEAR(p->anomaly, 3.0 + 0.0005 * p->distance, 1e-6) << p->distance;
  }
  // Too short or no height: nothing, as the documented continuation.
  CTessmorDoc few;
  FillEqual(few, 5, 0, 1000, [](double) { return 1.0; });
  few.ComputeEdgeControlledContinuation(up, 2.0f);
  EXPECT_TRUE(up.empty());
}

}  // namespace
