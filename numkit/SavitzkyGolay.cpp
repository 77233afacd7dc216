// Savitzky–Golay filters: least-squares polynomial fits expressed as convolution weights.
#include <Eigen/Dense>
#include <algorithm>
#include <cmath>

#include "numkit/numkit.h"

void savgol(float* c, int np, int nl, int nr, int ld, int m) {
  if (c == nullptr || nl < 0 || nr < 0 || ld < 0 || m < 0 || ld > m) return;
  // nl + nr + 1 is formed in long long so that huge counts cannot overflow.
  const long long points = static_cast<long long>(nl) + nr + 1;
  if (m > points - 1 || np < points) return;

  // Fit p(u) = Σ b_k u^k on the scaled offsets u = k / s, s = max(nl, nr), which keeps the
  // columns of the design matrix A of comparable size; then a_ld = b_ld / s^ld.
  const double scale = std::max({nl, nr, 1});
  const int count = static_cast<int>(points);
  Eigen::VectorXd weights;
  try {
    Eigen::MatrixXd design(count, m + 1);
    for (int row = 0; row < count; ++row) {
      const double u = (row - nl) / scale;
      double power = 1.0;
      for (int k = 0; k <= m; ++k) {
        design(row, k) = power;
        power *= u;
      }
    }
    // With A = Q R (A has full column rank: at least m + 1 distinct offsets), the least-squares
    // solution is b = R⁻¹ Qᵀ y, so b_ld = wᵀ y with w = Q R⁻ᵀ e_ld.
    const Eigen::HouseholderQR<Eigen::MatrixXd> qr(design);
    const Eigen::MatrixXd r = qr.matrixQR().topRows(m + 1).triangularView<Eigen::Upper>();
    Eigen::VectorXd rotated = Eigen::VectorXd::Zero(count);
    rotated.head(m + 1) =
        r.transpose().triangularView<Eigen::Lower>().solve(Eigen::VectorXd::Unit(m + 1, ld));
    weights = qr.householderQ() * rotated;
  } catch (...) {
    return;  // out of memory: c stays as it was
  }
  const double unscale = std::pow(scale, -ld);

  std::fill(c + 1, c + np + 1, 0.0f);
  for (int row = 0; row < count; ++row) {
    const int offset = row - nl;
    const int index = offset <= 0 ? 1 - offset : np - (offset - 1);
    c[index] = static_cast<float>(weights(row) * unscale);
  }
}
