// The program's calls into numkit replayed on reference profiles whose results an independent
// computation supplied (testdata/reference-cases). The replay follows the documented call
// sites: resampling of unequally spaced points (vector, DoInterpolation, free_vector) and the
// Savitzky–Golay second derivative (savgol and convlv on a padded, mean-free window).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "numkit/numkit.h"
#include "testsupport/TestData.h"

namespace {

/// Rows of whitespace-separated numbers of a test-data file, after `skip` header lines.
std::vector<std::vector<double>> ReadRows(const std::string& name, int skip) {
  // The reference case each file belongs to; result tables live in its expected/ folder.
  static const std::pair<const char*, const char*> kCases[] = {
      {"cylA", "S01"}, {"cylB", "S02"}, {"prismB", "S05"}, {"cyl31", "S06"}, {"cylSmooth", "S07"}};
  std::string folder;
  for (const auto& [stem, id] : kCases) {
    if (name.rfind(std::string(stem) + ".", 0) == 0) folder = id;
    if (name.rfind(std::string(stem) + "_", 0) == 0) folder = std::string(id) + "/expected";
  }
  std::ifstream file(tessmor::testing::SourceDir() + "/testdata/reference-cases/" + folder + "/" +
                     name);
  EXPECT_TRUE(file.is_open()) << name;
  std::vector<std::vector<double>> rows;
  std::string line;
  for (int i = 0; std::getline(file, line); ++i) {
    if (i < skip) continue;
    std::istringstream fields(line);
    std::vector<double> row;
    for (double v; fields >> v;) row.push_back(v);
    if (!row.empty()) rows.push_back(row);
  }
  return rows;
}

struct Profile {
  std::vector<double> distance;  // metres
  std::vector<double> anomaly;   // mGal
};

Profile ReadProfile(const std::string& name, int skip, int distanceColumn, int anomalyColumn) {
  Profile p;
  for (const auto& row : ReadRows(name, skip)) {
    p.distance.push_back(row[distanceColumn]);
    p.anomaly.push_back(static_cast<float>(row[anomalyColumn]));  // read as a single
  }
  EXPECT_GE(p.distance.size(), 8u) << name;
  return p;
}

/// The samples of the resampling run: m = nearest integer of the single-precision quotient
/// range / spacing; abscissae from first + spacing / 3 (integer division) in steps of spacing.
std::vector<double> Resample(const Profile& p, int spacing, int method) {
  const int n = static_cast<int>(p.distance.size());
  if (n < 2) return {};
  const float quotient =
      static_cast<float>(p.distance.back() - p.distance.front()) / static_cast<float>(spacing);
  const int m = static_cast<int>(std::floor(quotient + 0.5f));
  float* xa = vector(1, n);
  float* ya = vector(1, n);
  float* xi = vector(1, m);
  float* yi = vector(1, m);
  float* work = vector(1, m);
  for (int k = 1; k <= n; ++k) {
    xa[k] = static_cast<float>(p.distance[k - 1]);
    ya[k] = static_cast<float>(p.anomaly[k - 1]);
  }
  xi[1] = static_cast<float>(spacing / 3) + xa[1];
  for (int k = 2; k <= m; ++k) xi[k] = xi[k - 1] + static_cast<float>(spacing);
  const int code = DoInterpolation(xa, ya, n, xi, m, yi, work, method);
  EXPECT_EQ(code, 0);
  std::vector<double> samples(yi + 1, yi + m + 1);
  free_vector(xa, 1, n);
  free_vector(ya, 1, n);
  free_vector(xi, 1, m);
  free_vector(yi, 1, m);
  free_vector(work, 1, m);
  return samples;
}

/// Second derivative of an equally spaced series a[0 … n − 1] (mGal per squared sample
/// interval): quartic Savitzky–Golay filter of 9 or 11 points convolved by FFT with the series,
/// centred in a window of the next power of two and extended by its end values.
std::vector<double> SecondDerivative(const std::vector<double>& a) {
  const int n = static_cast<int>(a.size());
  if (n < 8) return {};
  const int half = n > 32 ? 5 : 4;
  const int np = 2 * half + 1;
  float* c = vector(1, n);
  savgol(c, np, half, half, 2, 4);
  int size = 512;
  for (int k = 3; k <= 9; ++k) {
    if ((1 << k) > n) {
      size = 1 << k;
      break;
    }
  }
  float mean = 0.0f;
  for (double v : a) mean += static_cast<float>(v);
  mean /= static_cast<float>(n);
  const int pad = static_cast<int>(std::ceil(0.5 * (size - n)));
  float* data = vector(1, size);
  for (int k = 1; k <= size; ++k) {
    const int i = std::clamp(k - pad - 1, 0, n - 1);
    data[k] = static_cast<float>(a[i] - mean);
  }
  float* response = vector(1, size);
  for (int k = 0; k <= size; ++k) response[k] = 0.0f;
  for (int k = 1; k <= np; ++k) response[k] = c[k];
  free_vector(c, 1, n);
  float* answer = vector(1, 2 * size);
  convlv(data, size, response, np, 1, answer);
  free_vector(response, 1, size);
  free_vector(data, 1, size);
  std::vector<double> result(answer + pad + 1, answer + pad + 1 + n);
  free_vector(answer, 1, 2 * size);
  return result;
}

/// Compares with the expected column, within atol + 1e-5 |value| (the rule of the reference
/// cases; atol is the case's tolerance for that column).
void ExpectColumn(const std::vector<double>& actual, const std::string& name, int column,
                  double atol) {
  const auto rows = ReadRows(name, 2);
  ASSERT_EQ(actual.size(), rows.size()) << name;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const double expected = rows[i][column];
    EXPECT_NEAR(actual[i], expected, atol + 1e-5 * std::fabs(expected)) << name << " row " << i;
  }
}

/// The observed anomaly at each sample of a block-model table: calculated + residual, plus the
/// linear background slope · distance + level that the program removed before inverting.
std::vector<double> ObservedFromBlockModel(const std::string& name, double slope, double level) {
  std::vector<double> observed;
  for (const auto& row : ReadRows(name, 2))
    observed.push_back(row[1] + row[2] + slope * row[0] + level);
  return observed;
}

void ExpectNearAll(const std::vector<double>& actual, const std::vector<double>& expected,
                   double atol) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i) {
    EXPECT_NEAR(actual[i], expected[i], atol + 2e-5 * std::fabs(expected[i])) << "sample " << i;
  }
}

}  // namespace

// Case S01: 100 equally spaced points, no background; window of 11, transform length 128.
// Tolerance 9.65e-6 from the case's manifest.
TEST(ReferenceProfiles, SecondDerivativeOfAnEquallySpacedProfile) {
  const Profile p = ReadProfile("cylA.dat", 4, 0, 2);
  ExpectColumn(SecondDerivative(p.anomaly), "cylA_Derivative.txt", 1, 9.65e-6);
}

// Case S06: 31 samples, constant background 1 mGal; transform length 32 leaves a pad of one
// sample, so the circular sum wraps into the data. Tolerance 1.68e-5 from the manifest.
TEST(ReferenceProfiles, SecondDerivativeWhenTheFilterWrapsRoundTheWindow) {
  Profile p = ReadProfile("cyl31.txt", 1, 1, 4);
  for (double& a : p.anomaly) a -= 1.0;
  ExpectColumn(SecondDerivative(p.anomaly), "cyl31_Derivative.txt", 1, 1.68e-5);
}

// Case S02: 80 unequally spaced points resampled by cubic spline at 250 m, linear background
// through (1217 m, 2.183 mGal) and (23104 m, 5.466 mGal). The calculated and residual columns
// carry 2.6e-4 each (manifest), so their sum 5.2e-4.
TEST(ReferenceProfiles, CubicSplineResamplingOfAnUnequallySpacedProfile) {
  const Profile p = ReadProfile("cylB.txt", 1, 1, 4);
  const double slope = (5.466 - 2.183) / (23104.0 - 1217.0);
  const double level = 2.183 - 1217.0 * slope;
  ExpectNearAll(Resample(p, 250, 1), ObservedFromBlockModel("cylB_BlockModel.txt", slope, level),
                5.2e-4);
}

// Case S05: linear resampling at 400 m; background through (4274 m, −4.145 mGal) and
// (45157 m, 4.031 mGal); calculated and residual carry 1.27e-3 each (manifest).
TEST(ReferenceProfiles, LinearResamplingOfAnUnequallySpacedProfile) {
  const Profile p = ReadProfile("prismB.dat", 4, 0, 2);
  const double slope = (4.031 - -4.145) / (45157.0 - 4274.0);
  const double level = -4.145 - 4274.0 * slope;
  ExpectNearAll(Resample(p, 400, 4), ObservedFromBlockModel("prismB_BlockModel.txt", slope, level),
                2.54e-3);
}

// Case S07 (approximate: the fourth-order polynomial is the library's own choice of window):
// resampling at 300 m, no background, then the second derivative of the resampled series.
// Tolerances from the manifest: 4.69e-4 + 6.94e-4 for the observed anomaly, 5.5e-5 for the
// derivative.
TEST(ReferenceProfiles, PolynomialResamplingAndItsSecondDerivative) {
  const Profile p = ReadProfile("cylSmooth.dat", 4, 0, 2);
  const std::vector<double> samples = Resample(p, 300, 3);
  ExpectNearAll(samples, ObservedFromBlockModel("cylSmooth_BlockModel.txt", 0.0, 0.0), 1.163e-3);
  ExpectColumn(SecondDerivative(samples), "cylSmooth_Derivative.txt", 1, 5.5e-5);
}
