// Circular convolution and deconvolution of single-precision series by FFT.
#include <fftw3.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <complex>
#include <vector>

#include "numkit/numkit.h"

namespace {

/// An FFTW plan that destroys itself.
class Plan {
 public:
  explicit Plan(fftw_plan plan) : plan_(plan) {}
  ~Plan() {
    if (plan_ != nullptr) fftw_destroy_plan(plan_);
  }
  Plan(const Plan&) = delete;
  Plan& operator=(const Plan&) = delete;
  bool Valid() const { return plan_ != nullptr; }
  void Execute() const { fftw_execute(plan_); }

 private:
  fftw_plan plan_;
};

/// The discrete Fourier transform (bins 0 … n/2) of a real series of n values.
std::vector<std::complex<double>> FourierTransform(std::vector<double>& series) {
  const int size = static_cast<int>(series.size());
  std::vector<std::complex<double>> bins(series.size() / 2 + 1);
  const Plan plan(fftw_plan_dft_r2c_1d(
      size, series.data(), reinterpret_cast<fftw_complex*>(bins.data()), FFTW_ESTIMATE));
  if (!plan.Valid()) return {};
  plan.Execute();
  return bins;
}

}  // namespace

void convlv(float* data, unsigned long n, float* respns, unsigned long m, int isign, float* ans) {
  if (data == nullptr || respns == nullptr || ans == nullptr) return;
  if (n == 0 || m == 0 || m > n || n > static_cast<unsigned long>(INT_MAX)) return;
  if (isign != 1 && isign != -1) return;

  try {
    std::vector<double> signal(data + 1, data + n + 1);
    // The response laid out over the n points: lags 0, 1, … from the start, negative lags
    // wrapped round to the end.
    std::vector<double> response(n, 0.0);
    const unsigned long nonNegative = (m + 1) / 2;
    for (unsigned long k = 1; k <= nonNegative; ++k) response[k - 1] = respns[k];
    for (unsigned long k = nonNegative + 1; k <= m; ++k) response[n - (m - k) - 1] = respns[k];

    std::vector<std::complex<double>> product = FourierTransform(signal);
    const std::vector<std::complex<double>> transfer = FourierTransform(response);
    if (product.empty() || transfer.empty()) return;

    if (isign == 1) {
      for (std::size_t k = 0; k < product.size(); ++k) product[k] *= transfer[k];
    } else {
      // A frequency at which the response vanishes (to within the rounding of the transform)
      // cannot be divided out.
      double largest = 0.0;
      for (const auto& bin : transfer) largest = std::max(largest, std::abs(bin));
      const double negligible = static_cast<double>(n) * DBL_EPSILON * largest;
      for (const auto& bin : transfer) {
        if (!(std::abs(bin) > negligible)) return;
      }
      for (std::size_t k = 0; k < product.size(); ++k) product[k] /= transfer[k];
    }

    std::vector<double> result(n);
    const Plan inverse(fftw_plan_dft_c2r_1d(static_cast<int>(n),
                                            reinterpret_cast<fftw_complex*>(product.data()),
                                            result.data(), FFTW_ESTIMATE));
    if (!inverse.Valid()) return;
    inverse.Execute();
    // FFTW's transforms are unnormalised: forward then backward multiplies by n.
    for (unsigned long i = 0; i < n; ++i) {
      ans[i + 1] = static_cast<float>(result[i] / static_cast<double>(n));
    }
  } catch (...) {
    // Out of memory: ans stays as it was.
  }
}
