#include "dirstats/FisherTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

double Langevin(double k) { return k == 0.0 ? 0.0 : 1.0 / std::tanh(k) - 1.0 / k; }

int RowOf(unsigned n) {
  for (int i = 0; i < kCriticalRows; ++i) {
    if (kCriticalN[i] == n) return i;
  }
  ADD_FAILURE() << "no row for N = " << n;
  return 0;
}

// --- the precision table ---

TEST(PrecisionTable, HasTheFiveBandsOfRAndTheirFirstAndLastValues) {
  struct Expected {
    int count;
    float first_r, step;
    std::vector<float> first_k;
    std::vector<float> last_k;
  };
  const Expected bands[] = {
      {11, 0.0f, 0.001f, {0.0f, 0.003f, 0.006f, 0.009f}, {0.03f}},
      {67, 0.01f, 0.005f, {0.03f, 0.045f, 0.06f}, {1.081f, 1.1f}},
      {57, 0.34f, 0.01f, {1.1f, 1.137f, 1.176f}, {9.091f, 10.0f}},
      {19, 0.90f, 0.005f, {10.0f, 10.53f, 11.11f}, {66.67f, 100.0f}},
      {10, 0.99f, 0.001f, {100.0f, 111.1f, 125.0f}, {500.0f, 1000.0f}},
  };
  for (int b = 0; b < kPrecisionBands; ++b) {
    const PrecisionBand& band = kPrecisionTable[b];
    const Expected& e = bands[b];
    ASSERT_EQ(band.count, e.count) << "band " << b;
    for (int i = 0; i < band.count; ++i) {
      EXPECT_NEAR(band.r[i], e.first_r + i * e.step, 1e-6) << "band " << b << " entry " << i;
    }
    for (std::size_t i = 0; i < e.first_k.size(); ++i) EXPECT_EQ(band.k[i], e.first_k[i]);
    for (std::size_t i = 0; i < e.last_k.size(); ++i) {
      EXPECT_EQ(band.k[band.count - e.last_k.size() + i], e.last_k[i]);
    }
  }
}

TEST(PrecisionTable, SolvesCothKMinusOneOverKForR) {
  // Rounded to three decimals below 10, four significant figures above: the mean cosine of
  // each tabulated k lies within that rounding of its r.
  for (int b = 0; b < kPrecisionBands; ++b) {
    const PrecisionBand& band = kPrecisionTable[b];
    for (int i = 0; i < band.count; ++i) {
      const double k = band.k[i];
      const double half_unit =
          k < 10.0 ? 0.0005 : 0.5 * std::pow(10.0, std::floor(std::log10(k)) - 3);
      const double slope = (Langevin(k + half_unit) - Langevin(std::max(0.0, k - half_unit))) / 2;
      EXPECT_NEAR(Langevin(k), band.r[i], slope + 1e-7) << "band " << b << " k " << k;
    }
  }
}

// --- the small-k critical values ---

TEST(CriticalTables, AgreeWithWatsonsCriticalValuesAtKZero) {
  // Watson (1956), test of randomness of directions: critical resultant lengths R0 at the
  // 95 % and 99 % levels, as tabulated in the palaeomagnetic textbooks (Butler, 1992).
  struct Row {
    unsigned n;
    double r95, r99;
  };
  for (const Row& r : {Row{5, 3.50, 4.02}, Row{6, 3.85, 4.48}, Row{7, 4.18, 4.89},
                       Row{8, 4.48, 5.26}, Row{9, 4.76, 5.61}, Row{10, 5.03, 5.94}}) {
    EXPECT_NEAR(kCritical95[RowOf(r.n)][0] * r.n, r.r95, 0.005) << r.n;
    EXPECT_NEAR(kCritical99[RowOf(r.n)][0] * r.n, r.r99, 0.005) << r.n;
  }
}

TEST(CriticalTables, FollowChiSquaredForManyUniformDirections) {
  // k = 0, large N: 3 N Rbar^2 is chi-squared with 3 degrees of freedom.
  const int last = kCriticalRows - 1;
  ASSERT_EQ(kCriticalN[last], 100000u);
  EXPECT_NEAR(kCritical95[last][0], std::sqrt(7.814728 / 3.0e5), 1e-6);
  EXPECT_NEAR(kCritical99[last][0], std::sqrt(11.344867 / 3.0e5), 1e-6);
}

TEST(CriticalTables, ApproachTheMeanCosineForManyDirections) {
  const int last = kCriticalRows - 1;
  for (int j = 1; j < kCriticalColumns; ++j) {
    const double mean = Langevin(kCriticalK[j]);
    EXPECT_GT(kCritical95[last][j], mean);
    EXPECT_NEAR(kCritical95[last][j], mean, 0.004) << kCriticalK[j];
  }
}

TEST(CriticalTables, RiseWithKAndConfidenceAndFallWithN) {
  for (int i = 0; i < kCriticalRows; ++i) {
    for (int j = 0; j < kCriticalColumns; ++j) {
      EXPECT_GT(kCritical99[i][j], kCritical95[i][j]);
      EXPECT_LT(kCritical99[i][j], 1.0);
      if (j > 0) {
        EXPECT_GT(kCritical95[i][j], kCritical95[i][j - 1]);
      }
      if (i > 0) {
        EXPECT_LT(kCritical95[i][j], kCritical95[i - 1][j]);
      }
    }
  }
}

// N directions drawn from a Fisher distribution of precision k (k = 0: uniform); the mean
// resultant length of the sample.
double SampleMeanResultant(std::mt19937_64& rng, int n, double k) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  double x = 0.0, y = 0.0, z = 0.0;
  for (int i = 0; i < n; ++i) {
    const double u = 1.0 - unit(rng);
    const double c =
        k == 0.0 ? 2.0 * u - 1.0 : 1.0 + std::log(u + (1.0 - u) * std::exp(-2.0 * k)) / k;
    const double s = std::sqrt(std::max(0.0, 1.0 - c * c));
    const double phi = 2.0 * M_PI * unit(rng);
    x += s * std::cos(phi);
    y += s * std::sin(phi);
    z += c;
  }
  return std::sqrt(x * x + y * y + z * z) / n;
}

TEST(CriticalTables, HoldTheirConfidenceInASimulation) {
  // A seeded simulation: the share of samples at or below the tabulated values must be 95 %
  // and 99 %, within four binomial standard errors.
  std::mt19937_64 rng(20240601);
  const int replicates = 20000;
  struct Cell {
    unsigned n;
    int column;
  };
  for (const Cell& cell : {Cell{4, 0}, Cell{6, 3}, Cell{20, 8}, Cell{40, 10}}) {
    const double k = kCriticalK[cell.column];
    const int row = RowOf(cell.n);
    int below95 = 0, below99 = 0;
    for (int i = 0; i < replicates; ++i) {
      const double rbar = SampleMeanResultant(rng, static_cast<int>(cell.n), k);
      below95 += rbar <= kCritical95[row][cell.column];
      below99 += rbar <= kCritical99[row][cell.column];
    }
    EXPECT_NEAR(below95 / double(replicates), 0.95, 4 * std::sqrt(0.95 * 0.05 / replicates))
        << cell.n << " " << k;
    EXPECT_NEAR(below99 / double(replicates), 0.99, 4 * std::sqrt(0.99 * 0.01 / replicates))
        << cell.n << " " << k;
  }
}

}  // namespace
