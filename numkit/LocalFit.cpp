#include "numkit/LocalFit.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

namespace numkit {

double PolynomialThrough(const double* x, const double* y, int count, double t) {
  // After the pass of order o, p[i] is the value at t of the polynomial P(i…i+o) through the
  // points i … i + o, built from the two of order o − 1:
  //   P(i…i+o) = ((t − x[i+o]) P(i…i+o−1) + (x[i] − t) P(i+1…i+o)) / (x[i] − x[i+o]).
  double p[kLocalPoints];
  std::copy(y, y + count, p);
  for (int order = 1; order < count; ++order) {
    for (int i = 0; i + order < count; ++i) {
      p[i] = ((t - x[i + order]) * p[i] + (x[i] - t) * p[i + 1]) / (x[i] - x[i + order]);
    }
  }
  return p[0];
}

namespace {

// A singular value below this fraction of the largest marks an exact lower-degree fit: the
// data in single precision carry about seven digits, so anything beneath this is rounding.
constexpr double kDegenerate = 1e-6;

// The largest share of the range of the window's values that the term of a pole between the
// abscissa's table neighbours may contribute before the value counts as spoilt by it.
constexpr double kPoleShare = 0.1;

/// Coefficients, lowest power first, of P and Q with P(u_k) = v_k Q(u_k) for all k: the
/// right-singular vector of the smallest singular value of [u^0 … u^μ, −v u^0 … −v u^ν]. Also
/// returns how many further singular values are negligible (the points then also lie on a
/// rational function of degrees μ − that, ν − that).
int FitRational(const Eigen::VectorXd& u, const Eigen::VectorXd& v, int mu, int nu,
                Eigen::VectorXd& p, Eigen::VectorXd& q) {
  const int rows = static_cast<int>(u.size());
  Eigen::MatrixXd system(rows, mu + nu + 2);
  for (int k = 0; k < rows; ++k) {
    double power = 1.0;
    for (int j = 0; j <= std::max(mu, nu); ++j) {
      if (j <= mu) system(k, j) = power;
      if (j <= nu) system(k, mu + 1 + j) = -v(k) * power;
      power *= u(k);
    }
  }
  const Eigen::JacobiSVD<Eigen::MatrixXd> svd(system, Eigen::ComputeFullV);
  const Eigen::VectorXd solution = svd.matrixV().col(mu + nu + 1);
  p = solution.head(mu + 1);
  q = solution.tail(nu + 1);
  // With rows = μ + ν + 1 one null direction exists by count alone; count the others (only
  // this first, square-minus-one fit asks for them).
  const Eigen::VectorXd& sigma = svd.singularValues();
  int negligible = 0;
  for (Eigen::Index i = 1; i < sigma.size(); ++i) {
    if (sigma(i) <= kDegenerate * sigma(0)) ++negligible;
  }
  return std::min<int>(negligible, std::min(mu, nu));
}

double Horner(const Eigen::VectorXd& c, double u) {
  double value = 0.0;
  for (Eigen::Index j = c.size() - 1; j >= 0; --j) value = value * u + c(j);
  return value;
}

/// Real zeros of the polynomial c (degree ≤ 2, not identically zero).
std::vector<double> RealZeros(const Eigen::VectorXd& c) {
  const double c0 = c(0);
  const double c1 = c.size() > 1 ? c(1) : 0.0;
  const double c2 = c.size() > 2 ? c(2) : 0.0;
  if (c2 == 0.0) return c1 == 0.0 ? std::vector<double>{} : std::vector<double>{-c0 / c1};
  const double discriminant = c1 * c1 - 4.0 * c2 * c0;
  if (discriminant < 0.0) return {};
  // The root of larger modulus first, the other from the product of the roots, c0 / c2,
  // which avoids cancellation.
  const double s = -0.5 * (c1 + std::copysign(std::sqrt(discriminant), c1));
  if (s == 0.0) return {0.0};
  return {s / c2, c0 / s};
}

/// Whether a pole of P/Q in [a, b] spoils the value at t: its term c / (x − r), c the residue
/// P(r) / Q'(r), exceeds `allowed` at t (or the pole is not simple, or lies at t). A pole
/// whose residue is tiny is all but cancelled by a zero of P beside it and leaves values a
/// little away from it intact.
bool PoleSpoils(const Eigen::VectorXd& p, const Eigen::VectorXd& q, double t, double a, double b,
                double allowed) {
  Eigen::VectorXd slope = Eigen::VectorXd::Zero(std::max<Eigen::Index>(q.size() - 1, 1));
  for (Eigen::Index j = 1; j < q.size(); ++j) slope(j - 1) = j * q(j);
  // A pole at an end of the stretch may land just outside it by rounding.
  const double slack = 1e-9 * (b - a);
  for (double r : RealZeros(q)) {
    if (r < a - slack || r > b + slack) continue;
    const double derivative = Horner(slope, r);
    if (derivative == 0.0 || r == t) return true;
    if (!(std::fabs(Horner(p, r) / derivative / (t - r)) <= allowed)) return true;
  }
  return false;
}

}  // namespace

std::optional<double> RationalThrough(const double* x, const double* y, int count, double t,
                                      double from, double to) {
  for (int k = 0; k < count; ++k) {
    if (t == x[k]) return y[k];
  }
  const auto [lowest, highest] = std::minmax_element(y, y + count);
  if (*lowest == *highest) return *lowest;

  int mu = (count - 1) / 2;
  int nu = count - 1 - mu;

  // The interpolant is unchanged by an affine map of x and by scaling y, and, when deg P =
  // deg Q, by shifting y too; mapping the data onto [−1, 1] keeps the linear system well scaled.
  const double centre = 0.5 * (x[0] + x[count - 1]);
  const double half = 0.5 * (x[count - 1] - x[0]);
  const double level = mu == nu ? 0.5 * (*lowest + *highest) : 0.0;
  const double spread = std::max(std::fabs(*highest - level), std::fabs(*lowest - level));
  Eigen::VectorXd u(count), v(count);
  for (int k = 0; k < count; ++k) {
    u(k) = (x[k] - centre) / half;
    v(k) = (y[k] - level) / spread;
  }
  Eigen::VectorXd p, q;
  const int surplus = FitRational(u, v, mu, nu, p, q);
  if (surplus > 0) {
    // P and Q share a factor of degree `surplus`; fitting the lower degrees removes it.
    mu -= surplus;
    nu -= surplus;
    FitRational(u, v, mu, nu, p, q);
  }

  const double at = (t - centre) / half;
  const double allowed = kPoleShare * (*highest - *lowest) / spread;
  if (PoleSpoils(p, q, at, (from - centre) / half, (to - centre) / half, allowed)) {
    return std::nullopt;
  }
  const double value = Horner(p, at) / Horner(q, at);
  if (!std::isfinite(value)) return std::nullopt;
  return level + spread * value;
}

}  // namespace numkit
