#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "numkit/numkit.h"

namespace {

/// savgol's coefficients as a function of the offset k = −nl … nr (returned at k + nl).
std::vector<double> FilterByOffset(int nl, int nr, int ld, int m, int np) {
  std::vector<float> c(np + 1, 0.0f);
  savgol(c.data(), np, nl, nr, ld, m);
  std::vector<double> byOffset;
  for (int k = -nl; k <= nr; ++k) byOffset.push_back(k <= 0 ? c[1 - k] : c[np + 1 - k]);
  return byOffset;
}

/// The same filter by another route: the normal equations G b = e_ld, G[p][q] = Σ_k k^(p+q),
/// solved by Gauss–Jordan elimination in long double; the weight of offset k is Σ_p b_p k^p.
std::vector<double> NormalEquationFilter(int nl, int nr, int ld, int m) {
  const int size = m + 1;
  std::vector<std::vector<long double>> g(size, std::vector<long double>(size + 1, 0.0L));
  for (int p = 0; p < size; ++p) {
    for (int q = 0; q < size; ++q) {
      for (int k = -nl; k <= nr; ++k) g[p][q] += std::pow(static_cast<long double>(k), p + q);
    }
    g[p][size] = p == ld ? 1.0L : 0.0L;
  }
  for (int col = 0; col < size; ++col) {
    for (int row = 0; row < size; ++row) {
      if (row == col) continue;
      const long double factor = g[row][col] / g[col][col];
      for (int j = col; j <= size; ++j) g[row][j] -= factor * g[col][j];
    }
  }
  std::vector<double> weights;
  for (int k = -nl; k <= nr; ++k) {
    long double w = 0.0L;
    for (int p = 0; p < size; ++p) {
      w += g[p][size] / g[p][p] * std::pow(static_cast<long double>(k), p);
    }
    weights.push_back(static_cast<double>(w));
  }
  return weights;
}

void ExpectTable(const std::vector<double>& filter, const std::vector<double>& numerators,
                 double denominator) {
  ASSERT_EQ(filter.size(), numerators.size());
  for (std::size_t i = 0; i < filter.size(); ++i) {
    EXPECT_NEAR(filter[i], numerators[i] / denominator, 1e-7) << "offset index " << i;
  }
}

}  // namespace

// Published convolutes (Savitzky & Golay 1964, Anal. Chem. 36, 1627, with the corrections of
// Steinier, Termonia & Deltour 1972, Anal. Chem. 44, 1906). The second-derivative tables give
// 2·a₂; savgol returns a₂ itself, so the table values are halved here.
TEST(SavitzkyGolay, MatchesPublishedSecondDerivativeConvolutesWithoutTheFactorTwo) {
  // quadratic/cubic, 5 points: (2, −1, −2, −1, 2) / 7
  ExpectTable(FilterByOffset(2, 2, 2, 2, 5), {2, -1, -2, -1, 2}, 2 * 7.0);
  // quartic/quintic, 7 points: (−13, 67, −19, −70, −19, 67, −13) / 132
  ExpectTable(FilterByOffset(3, 3, 2, 4, 7), {-13, 67, -19, -70, -19, 67, -13}, 2 * 132.0);
  // quartic/quintic, 9 points: (−126, 371, 151, −211, −370, …) / 1716
  ExpectTable(FilterByOffset(4, 4, 2, 4, 9), {-126, 371, 151, -211, -370, -211, 151, 371, -126},
              2 * 1716.0);
  // quartic/quintic, 11 points: (−90, 174, 146, 1, −136, −190, …) / 1716
  ExpectTable(FilterByOffset(5, 5, 2, 4, 11),
              {-90, 174, 146, 1, -136, -190, -136, 1, 146, 174, -90}, 2 * 1716.0);
}

TEST(SavitzkyGolay, MatchesPublishedSmoothingConvolutes) {
  // quadratic/cubic smoothing, 5 points: (−3, 12, 17, 12, −3) / 35 (same sources)
  ExpectTable(FilterByOffset(2, 2, 0, 2, 5), {-3, 12, 17, 12, -3}, 35.0);
}

TEST(SavitzkyGolay, AgreesWithNormalEquationsOnAsymmetricWindows) {
  struct Case {
    int nl, nr, ld, m;
  };
  for (const Case& w : {Case{3, 5, 1, 3}, Case{0, 6, 2, 4}, Case{7, 2, 3, 5}, Case{5, 5, 2, 4}}) {
    const auto filter = FilterByOffset(w.nl, w.nr, w.ld, w.m, w.nl + w.nr + 1);
    const auto expected = NormalEquationFilter(w.nl, w.nr, w.ld, w.m);
    for (std::size_t i = 0; i < filter.size(); ++i) {
      EXPECT_NEAR(filter[i], expected[i], 2e-6 * (1.0 + std::fabs(expected[i])))
          << "nl " << w.nl << " nr " << w.nr << " ld " << w.ld << " m " << w.m << " at " << i;
    }
  }
}

// Applied to a polynomial of degree ≤ m the filter returns the polynomial's coefficient of
// order ld exactly: for y = x² and ld = 2 that is 1 (not 2! · 1).
TEST(SavitzkyGolay, ReturnsThePolynomialCoefficientNotTheDerivative) {
  const auto square = FilterByOffset(4, 4, 2, 4, 9);
  double sum = 0.0;
  for (int k = -4; k <= 4; ++k) sum += square[k + 4] * k * k;
  EXPECT_NEAR(sum, 1.0, 1e-6);

  // p(x) = 3 − 2x + 0.5x² + 4x³ around x0 = 2: its Taylor coefficients there are
  // p(2) = 33, p'(2) = 48, p''(2)/2 = 24.5, p'''(2)/6 = 4.
  auto p = [](double x) { return 3 - 2 * x + 0.5 * x * x + 4 * x * x * x; };
  const double taylor[] = {33.0, 48.0, 24.5, 4.0};
  for (int ld = 0; ld <= 3; ++ld) {
    const auto filter = FilterByOffset(2, 6, ld, 3, 9);
    double value = 0.0;
    for (int k = -2; k <= 6; ++k) value += filter[k + 2] * p(2.0 + k);
    EXPECT_NEAR(value, taylor[ld], 1e-4) << "ld " << ld;
  }
}

TEST(SavitzkyGolay, StoresCoefficientsInWrapAroundOrder) {
  // nl = 1, nr = 2, m = 2, ld = 0 fits a parabola through four points; np = 7 leaves a gap.
  std::vector<float> c(8, -1.0f);
  savgol(c.data(), 7, 1, 2, 0, 2);
  const auto byOffset = NormalEquationFilter(1, 2, 0, 2);  // offsets −1, 0, 1, 2
  EXPECT_NEAR(c[1], byOffset[1], 1e-6);                    // offset 0
  EXPECT_NEAR(c[2], byOffset[0], 1e-6);                    // offset −1
  EXPECT_NEAR(c[7], byOffset[2], 1e-6);                    // offset +1
  EXPECT_NEAR(c[6], byOffset[3], 1e-6);                    // offset +2
  for (int i : {3, 4, 5}) EXPECT_EQ(c[i], 0.0f) << i;
  EXPECT_EQ(c[0], -1.0f);  // index 0 is not part of the filter
}

TEST(SavitzkyGolay, LeavesCoefficientsAloneForInvalidArguments) {
  std::vector<float> c(12, 7.0f);
  savgol(c.data(), 8, 4, 4, 2, 4);   // np < nl + nr + 1
  savgol(c.data(), 11, 5, 5, 5, 4);  // ld > m
  savgol(c.data(), 11, 2, 2, 2, 5);  // m > nl + nr
  savgol(c.data(), 11, -1, 5, 2, 4);
  savgol(c.data(), 11, 5, 5, -1, 4);
  savgol(nullptr, 11, 5, 5, 2, 4);
  for (float v : c) EXPECT_EQ(v, 7.0f);
}
