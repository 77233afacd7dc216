#include "dirstats/Fisher.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "dirstats/FisherTables.h"
#include "numkit/numkit.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr float kInfinity = std::numeric_limits<float>::infinity();

// DoInterpolation method numbers.
constexpr int kCubicSpline = 1;
constexpr int kPolynomial = 3;

// Interpolates (xa, ya), n points, at x with numkit's DoInterpolation; the vectors numkit
// takes are addressed from 1. Returns false when the interpolation fails.
bool Interpolate(const float* xa, const float* ya, int n, float x, int method, float* y) {
  std::array<float, 80> xv{};
  std::array<float, 80> yv{};
  if (n < 1 || n + 1 > static_cast<int>(xv.size())) return false;
  std::copy(xa, xa + n, xv.begin() + 1);
  std::copy(ya, ya + n, yv.begin() + 1);
  float xi[2] = {0.0f, x};
  float yi[2] = {0.0f, 0.0f};
  if (DoInterpolation(xv.data(), yv.data(), n, xi, 1, yi, nullptr, method) != 0) return false;
  *y = yi[1];
  return true;
}

// The band of the precision table that holds r: r ≤ 0.01, ≤ 0.34, ≤ 0.90, ≤ 0.99, above.
const PrecisionBand& BandOf(double r) {
  if (r <= 0.01) return kPrecisionTable[0];
  if (r <= 0.34) return kPrecisionTable[1];
  if (r <= 0.90) return kPrecisionTable[2];
  if (r <= 0.99) return kPrecisionTable[3];
  return kPrecisionTable[4];
}

// The mean cosine coth k - 1/k of a direction of a Fisher distribution with precision k.
double Langevin(double k) {
  if (k < 1e-3) return k / 3.0;
  return 1.0 / std::tanh(k) - 1.0 / k;
}

// An angle in radians as the record keeps it: degrees unless in_radians.
double Out(double radians, bool in_radians) { return in_radians ? radians : Deg(radians); }

}  // namespace

unsigned FisherMean(const PMVECTOR* directions, unsigned count, FISHERMEAN* mean, short confidence,
                    int with_stderr, int with_stats, int in_radians) {
  if (!mean) return 0;
  const std::uint8_t k_method = mean->kMethod;
  if (!directions || count == 0) {
    std::memset(mean, 0, sizeof *mean);
    mean->kMethod = k_method;
    return 0;
  }
  const bool radians = in_radians != 0;
  auto unit = [radians](const PMVECTOR& v, double& x, double& y, double& z) {
    const double d = radians ? v.dec : Rad(v.dec);
    const double i = radians ? v.inc : Rad(v.inc);
    x = std::cos(i) * std::cos(d);
    y = std::cos(i) * std::sin(d);
    z = std::sin(i);
  };

  double sx = 0.0, sy = 0.0, sz = 0.0;
  for (unsigned n = 0; n < count; ++n) {
    double x, y, z;
    unit(directions[n], x, y, z);
    sx += x;
    sy += y;
    sz += z;
  }
  const double r = std::sqrt(sx * sx + sy * sy + sz * sz);
  // Directions that cancel have no mean direction; the zero vector stands for it.
  const double mx = r > 0.0 ? sx / r : 0.0;
  const double my = r > 0.0 ? sy / r : 0.0;
  const double mz = r > 0.0 ? sz / r : 0.0;

  double dec = std::atan2(my, mx);
  if (dec < 0.0) dec += kTwoPi;
  float out_dec = static_cast<float>(Out(dec, radians));
  // A declination a hair below a full turn rounds to the turn in single precision.
  const float turn = radians ? static_cast<float>(kTwoPi) : 360.0f;
  if (out_dec >= turn) out_dec -= turn;
  mean->dec = out_dec + 0.0f;
  mean->inc = static_cast<float>(Out(std::asin(std::clamp(mz, -1.0, 1.0)), radians));
  mean->R = static_cast<float>(r);
  mean->N = count;

  if (with_stderr) {
    double s = 0.0;
    for (unsigned n = 0; n < count; ++n) {
      double x, y, z;
      unit(directions[n], x, y, z);
      const double c = mx * x + my * y + mz * z;
      s += c * c;
    }
    const double rbar = r / count;
    const double variance = rbar > 0.0 ? (1.0 - s / count) / (rbar * rbar * count) : kInfinity;
    // A standard error beyond half a turn says only that the mean is unknown.
    mean->stderr = static_cast<float>(std::min(std::sqrt(std::max(variance, 0.0)), M_PI));
  }

  if (with_stats) {
    mean->k = static_cast<float>(GetFisherK(mean));
    int force_formula = 1;
    if (mean->kMethod == kFisherKTable) {
      force_formula = 0;
    } else if (mean->kMethod == kFisherKAutomatic) {
      force_formula = mean->R < 0.95f ? 0 : 1;
    }
    CalculateFisherAlpha95(mean, confidence, force_formula);
  }
  return count;
}

long double GetFisherK(const FISHERMEAN* mean) {
  if (!mean) return 0.0L;
  return CalcFisherK(mean->N, mean->R, mean->kMethod);
}

long double CalcFisherK(unsigned n, float r_length, std::uint8_t k_method) {
  if (n < 2) return 0.0L;
  if (std::isnan(r_length) || std::isinf(r_length)) return std::numeric_limits<float>::quiet_NaN();
  const float big_n = static_cast<float>(n);
  const float big_r = std::max(r_length, 0.0f);
  const float spread = big_n - big_r;  // N - R, in single precision as R is held

  if (k_method == kFisherKFormula) {
    if (spread <= 0.0f) return kInfinity;
    return static_cast<float>(n - 1) / spread;
  }
  const float r = big_r / big_n;
  if (r < 0.95f || k_method != kFisherKAutomatic) {
    if (r >= 1.0f) return kInfinity;
    const PrecisionBand& band = BandOf(r);
    float k = 0.0f;
    if (!Interpolate(band.r, band.k, band.count, r, kCubicSpline, &k)) {
      return std::numeric_limits<float>::quiet_NaN();
    }
    return std::max(k, 0.0f);
  }
  if (spread <= 0.0f) return kInfinity;
  if (n < 16) {
    const float shrink = 1.0f - 1.0f / big_n;
    return shrink * shrink * big_n / spread;
  }
  return static_cast<float>(n - 1) / spread;
}

int CalculateFisherAlpha95(FISHERMEAN* mean, short confidence, int force_formula) {
  if (!mean) return 0;
  FISHERCONE cone{mean->k, mean->R, mean->alpha, mean->N};
  const int result = CalculateFisherConfCone(&cone, confidence, force_formula);
  if (result) mean->alpha = cone.alpha;
  return result;
}

int CalculateFisherConfCone(FISHERCONE* cone, short confidence, int force_formula) {
  if (!cone || cone->N < 2 || confidence <= 0 || confidence >= 1000) return 0;
  if (std::isnan(cone->k) || !std::isfinite(cone->R)) return 0;
  const double n = cone->N;
  const double r = cone->R;
  const double p = (100.0 - confidence * 0.1) * 0.01;

  if (!force_formula && cone->k < 5.0f) {
    if (confidence != 950 && confidence != 990) return 0;
    const double g = SmallKCriticalValue(cone->N, cone->k, confidence);
    if (!(g > 0.0)) return 0;
    const double v = r / (g * n);
    cone->alpha = v < 1.0 ? static_cast<float>(Deg(std::acos(std::max(v, -1.0)))) : 0.0f;
    return 1;
  }

  if (r <= 0.0) {
    cone->alpha = 180.0f;  // no mean direction: the cone is the whole sphere
    return 1;
  }
  const double c = 1.0 - (std::pow(1.0 / p, 1.0 / (n - 1.0)) - 1.0) * (n - r) / r;
  cone->alpha = static_cast<float>(Deg(std::acos(std::clamp(c, -1.0, 1.0))));
  return 1;
}

int InterpolCritProbVals(unsigned n, const double (*table)[11], double* row) {
  if (n <= 3 || !table || !row) return 0;
  if (n <= 10) {
    std::copy(table[n - 4], table[n - 4] + kCriticalColumns, row);
    return 1;
  }
  const unsigned last_n = kCriticalN[kCriticalRows - 1];
  if (n > last_n) {
    // For many directions the critical value approaches the mean resultant length L(k) of
    // the distribution, its distance from it shrinking as 1/sqrt(N).
    const double shrink = std::sqrt(static_cast<double>(last_n) / n);
    for (int j = 0; j < kCriticalColumns; ++j) {
      const double limit = Langevin(kCriticalK[j]);
      row[j] = limit + (table[kCriticalRows - 1][j] - limit) * shrink;
    }
    return 1;
  }
  // Between tabulated sample sizes the values change as 1/sqrt(N) does.
  int hi = 7;  // first row above N = 10
  while (kCriticalN[hi] < n) ++hi;
  const int lo = hi - 1;
  const double u = 1.0 / std::sqrt(static_cast<double>(n));
  const double u_lo = 1.0 / std::sqrt(static_cast<double>(kCriticalN[lo]));
  const double u_hi = 1.0 / std::sqrt(static_cast<double>(kCriticalN[hi]));
  const double t = (u - u_lo) / (u_hi - u_lo);
  for (int j = 0; j < kCriticalColumns; ++j) {
    row[j] = table[lo][j] + t * (table[hi][j] - table[lo][j]);
  }
  return 1;
}

double SmallKCriticalValue(unsigned n, double k, short confidence) {
  if (n <= 3 || !(k >= 0.0 && k <= 5.0)) return 0.0;
  const double(*table)[11] = nullptr;
  if (confidence == 950) table = kCritical95;
  if (confidence == 990) table = kCritical99;
  if (!table) return 0.0;
  double row[kCriticalColumns];
  if (!InterpolCritProbVals(n, table, row)) return 0.0;
  float ks[kCriticalColumns];
  float gs[kCriticalColumns];
  for (int j = 0; j < kCriticalColumns; ++j) {
    ks[j] = static_cast<float>(kCriticalK[j]);
    gs[j] = static_cast<float>(row[j]);
  }
  float g = 0.0f;
  if (!Interpolate(ks, gs, kCriticalColumns, static_cast<float>(k), kPolynomial, &g)) return 0.0;
  return g;
}

long double FisherRValue(const double* v) {
  if (!v) return 0.0L;
  return std::hypot(static_cast<long double>(v[0]), static_cast<long double>(v[1]),
                    static_cast<long double>(v[2]));
}
