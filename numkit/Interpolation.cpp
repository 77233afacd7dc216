// DoInterpolation: a table of single-precision values resampled at given abscissae.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <optional>
#include <vector>

#include "numkit/LocalFit.h"
#include "numkit/numkit.h"

namespace {

constexpr int kSuccess = 0;
constexpr int kPole = 20;
constexpr int kInvalidCall = 21;
constexpr int kUnusableTable = 22;
constexpr int kCoincidentAbscissae = 23;
constexpr int kNotFinite = 24;

enum Method { kCubicSpline = 1, kRational = 2, kPolynomial = 3, kLinear = 4 };

/// The table, 0-based, in double precision.
struct Table {
  std::vector<double> x;
  std::vector<double> y;

  int Size() const { return static_cast<int>(x.size()); }

  /// The interval j (0 … n − 2) with x[j] ≤ t < x[j + 1]; the first interval for t left of the
  /// table, the last one for t at or right of its end.
  int IntervalOf(double t) const {
    const auto above = std::upper_bound(x.begin(), x.end(), t) - x.begin();
    return std::clamp(static_cast<int>(above) - 1, 0, Size() - 2);
  }
};

/// Second derivatives M[0 … n − 1] of the natural cubic spline through the table: M[0] =
/// M[n − 1] = 0 and, for 0 < i < n − 1 with h[i] = x[i + 1] − x[i],
///   h[i−1] M[i−1] + 2 (h[i−1] + h[i]) M[i] + h[i] M[i+1] = 6 (Δy[i] / h[i] − Δy[i−1] / h[i−1]),
/// the condition that the first derivative is continuous at x[i].
std::vector<double> NaturalSplineCurvatures(const Table& table) {
  const int n = table.Size();
  const auto& x = table.x;
  const auto& y = table.y;
  std::vector<double> curvature(n, 0.0);
  if (n < 3) return curvature;
  // Forward elimination of the sub-diagonal (the system is diagonally dominant, so no pivoting),
  // then back substitution.
  std::vector<double> diagonal(n, 0.0), rhs(n, 0.0);
  for (int i = 1; i < n - 1; ++i) {
    const double left = x[i] - x[i - 1];
    const double right = x[i + 1] - x[i];
    diagonal[i] = 2.0 * (left + right);
    rhs[i] = 6.0 * ((y[i + 1] - y[i]) / right - (y[i] - y[i - 1]) / left);
    if (i > 1) {
      const double factor = left / diagonal[i - 1];
      diagonal[i] -= factor * left;
      rhs[i] -= factor * rhs[i - 1];
    }
  }
  for (int i = n - 2; i >= 1; --i) {
    curvature[i] = (rhs[i] - (x[i + 1] - x[i]) * curvature[i + 1]) / diagonal[i];
  }
  return curvature;
}

/// The natural spline at t; beyond the table, the straight line with the spline's end slope (the
/// continuation that keeps the second derivative continuous, since it is zero at the ends).
double NaturalSplineAt(const Table& table, const std::vector<double>& curvature, double t) {
  const auto& x = table.x;
  const auto& y = table.y;
  const int last = table.Size() - 1;
  if (t < x[0]) {
    const double h = x[1] - x[0];
    const double slope = (y[1] - y[0]) / h - h * (2.0 * curvature[0] + curvature[1]) / 6.0;
    return y[0] + slope * (t - x[0]);
  }
  if (t > x[last]) {
    const double h = x[last] - x[last - 1];
    const double slope =
        (y[last] - y[last - 1]) / h + h * (curvature[last - 1] + 2.0 * curvature[last]) / 6.0;
    return y[last] + slope * (t - x[last]);
  }
  // On [x[j], x[j+1]] with a = (x[j+1] − t) / h and b = 1 − a the cubic is
  // a y[j] + b y[j+1] + ((a³ − a) M[j] + (b³ − b) M[j+1]) h² / 6.
  const int j = table.IntervalOf(t);
  const double h = x[j + 1] - x[j];
  const double a = (x[j + 1] - t) / h;
  const double b = (t - x[j]) / h;
  return a * y[j] + b * y[j + 1] +
         ((a * a * a - a) * curvature[j] + (b * b * b - b) * curvature[j + 1]) * h * h / 6.0;
}

/// Linear interpolation between the neighbours of t; beyond the table along the end segment.
double LinearAt(const Table& table, double t) {
  const int j = table.IntervalOf(t);
  const double x0 = table.x[j];
  const double y0 = table.y[j];
  return y0 + (table.y[j + 1] - y0) * (t - x0) / (table.x[j + 1] - x0);
}

/// First index of the points a local fit at t uses: the window x[j − 2 … j + 2] around the
/// interval j of t, shifted to lie inside the table.
int WindowStart(const Table& table, double t) {
  const int count = std::min(numkit::kLocalPoints, table.Size());
  return std::clamp(table.IntervalOf(t) - 2, 0, table.Size() - count);
}

/// The problem with the table that stops every method, or kSuccess.
int CheckTable(const Table& table, int method) {
  // Coinciding abscissae come first, whatever else is wrong.
  std::vector<double> finite;
  std::copy_if(table.x.begin(), table.x.end(), std::back_inserter(finite),
               [](double v) { return std::isfinite(v); });
  std::sort(finite.begin(), finite.end());
  if (std::adjacent_find(finite.begin(), finite.end()) != finite.end()) {
    return kCoincidentAbscissae;
  }
  if (method < kCubicSpline || method > kLinear) return kInvalidCall;
  if (table.Size() < 2 || finite.size() != table.x.size()) return kUnusableTable;
  for (int k = 1; k < table.Size(); ++k) {
    if (!(table.x[k] > table.x[k - 1])) return kUnusableTable;
  }
  for (double v : table.y) {
    if (!std::isfinite(v)) return kNotFinite;
  }
  return kSuccess;
}

int Interpolate(const Table& table, const float* xi, int m, float* yi, int method) {
  if (const int problem = CheckTable(table, method); problem != kSuccess) return problem;
  for (int i = 1; i <= m; ++i) {
    if (!std::isfinite(xi[i])) return kUnusableTable;
  }

  const std::vector<double> curvature =
      method == kCubicSpline ? NaturalSplineCurvatures(table) : std::vector<double>{};
  std::vector<float> result(m);
  for (int i = 0; i < m; ++i) {
    const double t = xi[i + 1];
    double value = 0.0;
    switch (method) {
      case kCubicSpline:
        value = NaturalSplineAt(table, curvature, t);
        break;
      case kLinear:
        value = LinearAt(table, t);
        break;
      case kPolynomial: {
        const int start = WindowStart(table, t);
        const int count = std::min(numkit::kLocalPoints, table.Size());
        value = numkit::PolynomialThrough(&table.x[start], &table.y[start], count, t);
        break;
      }
      case kRational: {
        const int start = WindowStart(table, t);
        const int count = std::min(numkit::kLocalPoints, table.Size());
        // No pole may spoil the value from between the table neighbours of t (from t to the
        // end segment when t lies beyond the table).
        const int j = table.IntervalOf(t);
        const std::optional<double> fitted =
            numkit::RationalThrough(&table.x[start], &table.y[start], count, t,
                                    std::min(t, table.x[j]), std::max(t, table.x[j + 1]));
        if (!fitted) return kPole;
        value = *fitted;
        break;
      }
    }
    if (!(std::fabs(value) <= FLT_MAX)) return kNotFinite;
    result[i] = static_cast<float>(value);
  }
  if (m > 0) std::copy(result.begin(), result.end(), yi + 1);
  return kSuccess;
}

}  // namespace

int DoInterpolation(float* xa, float* ya, int n, float* xi, int m, float* yi, float* work,
                    int method) {
  if (xa == nullptr || ya == nullptr || n < 1 || m < 0) return kInvalidCall;
  if (m > 0 && (xi == nullptr || yi == nullptr)) return kInvalidCall;
  try {
    Table table;
    table.x.assign(xa + 1, xa + n + 1);
    table.y.assign(ya + 1, ya + n + 1);
    return Interpolate(table, xi, m, yi, method);
  } catch (...) {
    return kInvalidCall;  // memory exhausted
  }
}
