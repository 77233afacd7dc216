#include "dirstats/Fisher.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "dirstats/FisherTables.h"

namespace {

PMVECTOR Dir(float dec, float inc) { return PMVECTOR{1.0, dec, inc}; }

// The mean cosine of a Fisher direction of precision k, coth k - 1/k.
double Langevin(double k) { return 1.0 / std::tanh(k) - 1.0 / k; }

FISHERMEAN Record(unsigned n, float r, std::uint8_t k_method = kFisherKAutomatic) {
  FISHERMEAN m{};
  m.N = n;
  m.R = r;
  m.kMethod = k_method;
  m.k = static_cast<float>(GetFisherK(&m));
  return m;
}

// --- the mean ---

TEST(FisherMean, ReproducesFishersIcelandicLavaExample) {
  // The nine lava flows of Fisher (1953), "Dispersion on a sphere"; their mean direction is
  // given in Mardia & Jupp (2000), Directional Statistics, as the unit vector
  // (0.2984, 0.1346, 0.9449), i.e. D = 24.3, I = 70.9.
  const float dec[] = {343.2f, 62.0f, 36.9f, 27.0f, 359.0f, 5.7f, 50.4f, 357.6f, 44.0f};
  const float inc[] = {66.1f, 68.7f, 70.1f, 82.1f, 79.5f, 73.0f, 69.3f, 58.8f, 51.4f};
  std::vector<PMVECTOR> dirs;
  for (int i = 0; i < 9; ++i) dirs.push_back(Dir(dec[i], inc[i]));
  FISHERMEAN m{};
  m.kMethod = kFisherKFormula;
  ASSERT_EQ(FisherMean(dirs.data(), 9, &m, 950, 1, 1, 0), 9u);
  const double d = m.dec * M_PI / 180.0;
  const double i = m.inc * M_PI / 180.0;
  // Published to four decimals.
  EXPECT_NEAR(std::cos(i) * std::cos(d), 0.2984, 1e-4);
  EXPECT_NEAR(std::cos(i) * std::sin(d), 0.1346, 1e-4);
  EXPECT_NEAR(std::sin(i), 0.9449, 1e-4);
  EXPECT_NEAR(m.dec, 24.3, 0.05);
  EXPECT_NEAR(m.inc, 70.9, 0.05);
  EXPECT_EQ(m.N, 9u);
  // A tight group: R close to N, a cone of a few degrees.
  EXPECT_GT(m.R, 8.5f);
  EXPECT_LT(m.R, 9.0f);
  EXPECT_GT(m.alpha, 5.0f);
  EXPECT_LT(m.alpha, 15.0f);
}

TEST(FisherMean, TwoEqualDirectionsGiveRTwoAndTheirOwnDirection) {
  const PMVECTOR dirs[] = {Dir(123.0f, -45.0f), Dir(123.0f, -45.0f)};
  FISHERMEAN m{};
  ASSERT_EQ(FisherMean(dirs, 2, &m, 950, 1, 1, 0), 2u);
  EXPECT_NEAR(m.dec, 123.0, 1e-4);
  EXPECT_NEAR(m.inc, -45.0, 1e-4);
  EXPECT_FLOAT_EQ(m.R, 2.0f);
  EXPECT_EQ(m.N, 2u);
  // N - R = 0: k is unbounded and the cone has shrunk to nothing; nothing is NaN.
  EXPECT_TRUE(std::isinf(m.k));
  EXPECT_EQ(m.alpha, 0.0f);
  EXPECT_NEAR(m.stderr, 0.0, 1e-6);
}

TEST(FisherMean, AveragesAcrossNorthToZeroNot180) {
  const PMVECTOR dirs[] = {Dir(10.0f, 0.0f), Dir(350.0f, 0.0f)};
  FISHERMEAN m{};
  ASSERT_EQ(FisherMean(dirs, 2, &m, 950, 0, 0, 0), 2u);
  EXPECT_TRUE(m.dec < 1e-4f || m.dec > 360.0f - 1e-4f) << m.dec;
  EXPECT_LT(m.dec, 360.0f);
  EXPECT_GE(m.dec, 0.0f);
  EXPECT_NEAR(m.inc, 0.0, 1e-5);
  EXPECT_NEAR(m.R, 2.0 * std::cos(10.0 * M_PI / 180.0), 1e-5);
}

TEST(FisherMean, KeepsTheDeclinationBelowAFullTurn) {
  // Declinations a hair either side of north: the mean rounds towards 360 in single precision.
  const PMVECTOR dirs[] = {Dir(359.9999f, 20.0f), Dir(0.00001f, 20.0f), Dir(359.99999f, 20.0f)};
  FISHERMEAN m{};
  FisherMean(dirs, 3, &m, 950, 0, 0, 0);
  EXPECT_GE(m.dec, 0.0f);
  EXPECT_LT(m.dec, 360.0f);
}

TEST(FisherMean, WorksInRadiansWhenAsked) {
  const PMVECTOR deg[] = {Dir(30.0f, 40.0f), Dir(50.0f, 60.0f)};
  const PMVECTOR rad[] = {Dir(static_cast<float>(Rad(30.0)), static_cast<float>(Rad(40.0))),
                          Dir(static_cast<float>(Rad(50.0)), static_cast<float>(Rad(60.0)))};
  FISHERMEAN a{};
  FISHERMEAN b{};
  FisherMean(deg, 2, &a, 950, 0, 0, 0);
  FisherMean(rad, 2, &b, 950, 0, 0, 1);
  EXPECT_NEAR(Rad(a.dec), b.dec, 1e-6);
  EXPECT_NEAR(Rad(a.inc), b.inc, 1e-6);
  EXPECT_NEAR(a.R, b.R, 1e-6);
}

TEST(FisherMean, GivesTheStandardErrorOfASymmetricCone) {
  // N directions 20 degrees from the vertical at equal steps of declination: the mean is
  // vertical, R = N cos 20, S = N cos^2 20, so stderr = tan 20 / sqrt(N).
  std::vector<PMVECTOR> dirs;
  for (int i = 0; i < 8; ++i) dirs.push_back(Dir(45.0f * i, 70.0f));
  FISHERMEAN m{};
  FisherMean(dirs.data(), 8, &m, 950, 1, 0, 0);
  EXPECT_NEAR(m.inc, 90.0, 1e-3);
  EXPECT_NEAR(m.R, 8.0 * std::cos(20.0 * M_PI / 180.0), 1e-5);
  EXPECT_NEAR(m.stderr, std::tan(20.0 * M_PI / 180.0) / std::sqrt(8.0), 1e-5);
}

TEST(FisherMean, OppositeDirectionsGiveDefinedResults) {
  // The resultant all but vanishes: no mean direction, the widest cone, a capped error.
  const PMVECTOR dirs[] = {Dir(0.0f, 0.0f), Dir(180.0f, 0.0f), Dir(90.0f, 30.0f),
                           Dir(270.0f, -30.0f)};
  for (std::uint8_t method : {kFisherKAutomatic, kFisherKTable, kFisherKFormula}) {
    FISHERMEAN m{};
    m.kMethod = method;
    ASSERT_EQ(FisherMean(dirs, 4, &m, 950, 1, 1, 0), 4u);
    EXPECT_LT(m.R, 1e-6f);
    EXPECT_FALSE(std::isnan(m.dec));
    EXPECT_FALSE(std::isnan(m.inc));
    EXPECT_FALSE(std::isnan(m.k));
    EXPECT_FALSE(std::isnan(m.alpha));
    EXPECT_FLOAT_EQ(m.stderr, static_cast<float>(M_PI));
  }
  FISHERMEAN m{};
  m.kMethod = kFisherKFormula;
  FisherMean(dirs, 4, &m, 950, 0, 1, 0);
  EXPECT_EQ(m.alpha, 180.0f);
  EXPECT_NEAR(m.k, 3.0 / 4.0, 1e-6);
}

TEST(FisherMean, ClearsTheRecordForNoDirections) {
  FISHERMEAN m{};
  m.dec = 5.0f;
  m.N = 7;
  m.kMethod = kFisherKTable;
  EXPECT_EQ(FisherMean(nullptr, 3, &m, 950, 1, 1, 0), 0u);
  EXPECT_EQ(m.dec, 0.0f);
  EXPECT_EQ(m.N, 0u);
  EXPECT_EQ(m.kMethod, kFisherKTable);
  const PMVECTOR one = Dir(1.0f, 2.0f);
  EXPECT_EQ(FisherMean(&one, 0, &m, 950, 1, 1, 0), 0u);
  EXPECT_EQ(FisherMean(&one, 1, nullptr, 950, 1, 1, 0), 0u);
}

TEST(FisherMean, OneDirectionHasNoSpreadAndNoCone) {
  const PMVECTOR one = Dir(200.0f, -10.0f);
  FISHERMEAN m{};
  m.alpha = -1.0f;
  ASSERT_EQ(FisherMean(&one, 1, &m, 950, 1, 1, 0), 1u);
  EXPECT_NEAR(m.dec, 200.0, 1e-4);
  EXPECT_NEAR(m.inc, -10.0, 1e-4);
  EXPECT_EQ(m.k, 0.0f);
  EXPECT_EQ(m.alpha, -1.0f);  // no cone for one direction: alpha keeps its value
  EXPECT_NEAR(m.stderr, 0.0, 1e-6);
}

// --- the precision estimate ---

TEST(CalcFisherK, FormulaMethodIgnoresTheTable) {
  // r = 0.3 would take the table (k about 0.95); method 2 divides instead.
  EXPECT_NEAR(CalcFisherK(10, 3.0f, kFisherKFormula), 9.0 / 7.0, 1e-6);
  EXPECT_LT(CalcFisherK(10, 3.0f, kFisherKAutomatic), 1.0);
}

TEST(CalcFisherK, TableInvertsTheMeanCosine) {
  // Below r = 0.95 (and always with method 1) k solves coth k - 1/k = r.
  for (double r : {0.005, 0.1, 0.3, 0.5, 0.73, 0.9, 0.93, 0.994}) {
    const std::uint8_t method = r < 0.95 ? kFisherKAutomatic : kFisherKTable;
    const double k = CalcFisherK(1000, static_cast<float>(r * 1000.0), method);
    EXPECT_NEAR(Langevin(k), r, 2e-4) << r;
  }
}

TEST(CalcFisherK, AutomaticMethodUsesTheFormulasAboveRPoint95) {
  // N >= 16: (N - 1) / (N - R); N < 16: (1 - 1/N)^2 N / (N - R).
  EXPECT_NEAR(CalcFisherK(20, 19.5f, kFisherKAutomatic), 38.0, 1e-4);
  EXPECT_NEAR(CalcFisherK(10, 9.8f, kFisherKAutomatic), 0.81 * 10.0 / 0.2, 1e-3);
}

TEST(CalcFisherK, AgreesWithTauxesTable) {
  // Tauxe, Essentials of Paleomagnetism, chapter 11: two data sets of N = 20 with
  // R = 18.0818 (k = 9.9, alpha95 = 10.9) and R = 19.0899 (k = 20.9, alpha95 = 7.3).
  FISHERMEAN spades = Record(20, 18.0818f, kFisherKFormula);
  FISHERMEAN hearts = Record(20, 19.0899f, kFisherKFormula);
  EXPECT_NEAR(spades.k, 9.9, 0.05);
  EXPECT_NEAR(hearts.k, 20.9, 0.05);
  ASSERT_EQ(CalculateFisherAlpha95(&spades, 950, 1), 1);
  ASSERT_EQ(CalculateFisherAlpha95(&hearts, 950, 1), 1);
  EXPECT_NEAR(spades.alpha, 10.9, 0.05);
  EXPECT_NEAR(hearts.alpha, 7.3, 0.05);
}

TEST(CalcFisherK, GuardsTheDegenerateCases) {
  EXPECT_EQ(CalcFisherK(0, 0.0f, kFisherKAutomatic), 0.0L);
  EXPECT_EQ(CalcFisherK(1, 1.0f, kFisherKFormula), 0.0L);
  EXPECT_TRUE(std::isinf(CalcFisherK(5, 5.0f, kFisherKFormula)));
  EXPECT_TRUE(std::isinf(CalcFisherK(5, 5.0f, kFisherKAutomatic)));
  EXPECT_TRUE(std::isinf(CalcFisherK(5, 5.0f, kFisherKTable)));
  EXPECT_TRUE(std::isinf(CalcFisherK(5, 6.0f, kFisherKFormula)));   // R beyond N
  EXPECT_NEAR(CalcFisherK(5, 0.0f, kFisherKAutomatic), 0.0, 1e-6);  // R = 0: uniform
  EXPECT_NEAR(CalcFisherK(5, -1.0f, kFisherKAutomatic), 0.0, 1e-6);
  EXPECT_NEAR(CalcFisherK(5, 0.0f, kFisherKFormula), 4.0 / 5.0, 1e-6);
  EXPECT_TRUE(std::isnan(CalcFisherK(5, std::numeric_limits<float>::quiet_NaN(), 0)));
  EXPECT_EQ(GetFisherK(nullptr), 0.0L);
}

// --- the cone of confidence ---

TEST(CalculateFisherConfCone, UsesPFromTheConfidence) {
  // For many directions (1/p)^(1/(N-1)) - 1 tends to ln(1/p) / (N - 1), so the cones for 99 %
  // and 95 % stand as sqrt(ln 100 / ln 20).
  FISHERCONE c95{50.0f, 99990.0f, 0.0f, 100000};
  FISHERCONE c99 = c95;
  ASSERT_EQ(CalculateFisherConfCone(&c95, 950, 1), 1);
  ASSERT_EQ(CalculateFisherConfCone(&c99, 990, 1), 1);
  EXPECT_NEAR(c99.alpha / c95.alpha, std::sqrt(std::log(100.0) / std::log(20.0)), 1e-3);
  // And the small-angle form of the cone: alpha95 about 140 / sqrt(kN) for large k.
  FISHERCONE classic{100.0f, 29.71f, 0.0f, 30};  // k = 29 / 0.29 = 100
  ASSERT_EQ(CalculateFisherConfCone(&classic, 950, 1), 1);
  EXPECT_NEAR(classic.alpha, 140.0 / std::sqrt(100.0 * 30.0), 0.15);
}

TEST(CalculateFisherConfCone, SmallKUsesTheCriticalValuesFor95And99Only) {
  // N = 10, k = 0: the critical value is Watson's (1956) R0 = 5.03 over N.
  FISHERCONE cone{0.0f, 4.0f, -1.0f, 10};
  ASSERT_EQ(CalculateFisherConfCone(&cone, 950, 0), 1);
  EXPECT_NEAR(cone.alpha, std::acos(4.0 / 5.03) * 180.0 / M_PI, 0.1);
  FISHERCONE wide{0.0f, 6.0f, -1.0f, 10};  // beyond the critical value: no cone
  ASSERT_EQ(CalculateFisherConfCone(&wide, 990, 0), 1);
  EXPECT_EQ(wide.alpha, 0.0f);
  FISHERCONE other{0.0f, 4.0f, -1.0f, 10};
  EXPECT_EQ(CalculateFisherConfCone(&other, 900, 0), 0);
  EXPECT_EQ(other.alpha, -1.0f);
  FISHERCONE few{1.0f, 2.0f, -1.0f, 3};  // no critical value below four directions
  EXPECT_EQ(CalculateFisherConfCone(&few, 950, 0), 0);
  EXPECT_EQ(few.alpha, -1.0f);
  EXPECT_EQ(CalculateFisherConfCone(&other, 900, 1), 1);  // the formula serves any level
}

TEST(CalculateFisherConfCone, GuardsTheDegenerateCases) {
  FISHERCONE one{0.0f, 1.0f, -1.0f, 1};
  EXPECT_EQ(CalculateFisherConfCone(&one, 950, 1), 0);
  EXPECT_EQ(one.alpha, -1.0f);
  FISHERCONE none{0.0f, 0.0f, -1.0f, 6};
  ASSERT_EQ(CalculateFisherConfCone(&none, 950, 1), 1);
  EXPECT_EQ(none.alpha, 180.0f);
  FISHERCONE same{std::numeric_limits<float>::infinity(), 6.0f, -1.0f, 6};
  ASSERT_EQ(CalculateFisherConfCone(&same, 950, 0), 1);
  EXPECT_EQ(same.alpha, 0.0f);
  FISHERCONE bad{1.0f, 3.0f, -1.0f, 6};
  EXPECT_EQ(CalculateFisherConfCone(&bad, 0, 1), 0);
  EXPECT_EQ(CalculateFisherConfCone(&bad, 1000, 1), 0);
  EXPECT_EQ(CalculateFisherConfCone(nullptr, 950, 1), 0);
  EXPECT_EQ(CalculateFisherAlpha95(nullptr, 950, 1), 0);
}

TEST(CalculateFisherAlpha95, KeepsAlphaWhenTheConeFails) {
  FISHERMEAN m = Record(10, 4.0f);
  m.alpha = 33.0f;
  EXPECT_EQ(CalculateFisherAlpha95(&m, 900, 0), 0);
  EXPECT_EQ(m.alpha, 33.0f);
  EXPECT_EQ(CalculateFisherAlpha95(&m, 950, 0), 1);
  EXPECT_NE(m.alpha, 33.0f);
}

// --- the small-k critical values ---

TEST(SmallKCriticalValue, PassesThroughTheTableAndIsZeroOutsideIt) {
  EXPECT_NEAR(SmallKCriticalValue(5, 0.0, 950), 3.50 / 5.0, 1e-3);  // Watson (1956)
  EXPECT_NEAR(SmallKCriticalValue(5, 0.0, 990), 4.02 / 5.0, 1e-3);
  EXPECT_EQ(SmallKCriticalValue(3, 1.0, 950), 0.0);
  EXPECT_EQ(SmallKCriticalValue(10, 5.5, 950), 0.0);
  EXPECT_EQ(SmallKCriticalValue(10, -0.1, 950), 0.0);
  EXPECT_EQ(SmallKCriticalValue(10, 1.0, 900), 0.0);
}

TEST(SmallKCriticalValue, RisesWithKAndFallsWithN) {
  for (unsigned n : {4u, 9u, 11u, 25u, 70u, 5000u}) {
    double previous = 0.0;
    for (double k = 0.0; k <= 5.0; k += 0.25) {
      const double g = SmallKCriticalValue(n, k, 950);
      EXPECT_GT(g, previous) << n << " " << k;
      EXPECT_GT(SmallKCriticalValue(n, k, 990), g);
      previous = g;
    }
  }
  for (double k : {0.0, 1.3, 4.9}) {
    EXPECT_GT(SmallKCriticalValue(10, k, 950), SmallKCriticalValue(11, k, 950));
    EXPECT_GT(SmallKCriticalValue(11, k, 950), SmallKCriticalValue(12, k, 950));
  }
}

TEST(SmallKCriticalValue, FollowsTheLargeSampleLimits) {
  // k = 0: 3 N Rbar^2 is chi-squared with 3 degrees of freedom (95 % point 7.814728).
  EXPECT_NEAR(SmallKCriticalValue(1000000, 0.0, 950), std::sqrt(7.814728 / 3.0e6), 2e-6);
  // Many directions: the mean resultant length settles at its mean, coth k - 1/k.
  EXPECT_NEAR(SmallKCriticalValue(1000000000, 5.0, 950), Langevin(5.0), 2e-4);
}

TEST(InterpolCritProbVals, InterpolatesBetweenTabulatedSampleSizes) {
  double row[11];
  ASSERT_EQ(InterpolCritProbVals(8, kCritical95, row), 1);
  EXPECT_NEAR(row[0], 4.48 / 8.0, 1e-3);  // Watson (1956)
  double r40[11], r50[11], r60[11];
  InterpolCritProbVals(40, kCritical95, r40);
  InterpolCritProbVals(50, kCritical95, r50);
  InterpolCritProbVals(60, kCritical95, r60);
  for (int j = 0; j < 11; ++j) {
    EXPECT_LT(r50[j], r40[j]);
    EXPECT_GT(r50[j], r60[j]);
  }
  EXPECT_EQ(InterpolCritProbVals(3, kCritical95, row), 0);
}

TEST(FisherRValue, IsTheLengthOfTheVector) {
  const double a[] = {3.0, 4.0, 12.0};
  EXPECT_EQ(FisherRValue(a), 13.0L);
  const double huge[] = {1e300, 1e300, 0.0};
  EXPECT_NEAR(static_cast<double>(FisherRValue(huge) / 1e300L), std::sqrt(2.0), 1e-12);
  EXPECT_EQ(FisherRValue(nullptr), 0.0L);
}

}  // namespace
