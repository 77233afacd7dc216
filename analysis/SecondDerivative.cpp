// The second derivative of the residual anomaly: a Savitzky–Golay filter applied by FFT
// convolution, and the three-point second difference of a continued series.
#include "analysis/SecondDerivative.h"

#include <climits>
#include <vector>

#include "analysis/NumkitVector.h"

namespace {

/// Polynomial order of the fitted filter.
constexpr int kPolynomialOrder = 4;
/// Order of the derivative.
constexpr int kDerivativeOrder = 2;

}  // namespace

int DerivativeHalfWindow(int n) { return n > 32 ? 5 : 4; }

int DerivativeTransformLength(int n) {
  int length = 8;
  while (length <= n && length < INT_MAX / 2) length *= 2;
  return length;
}

int DerivativePad(int n) {
  const int excess = DerivativeTransformLength(n) - n;
  return (excess + 1) / 2;
}

std::vector<float> SecondDerivative(const ResidualSeries& s) {
  const int n = s.SampleCount();
  if (n < 8) return {};

  const int m = DerivativeHalfWindow(n);
  const int np = 2 * m + 1;
  const int big_n = DerivativeTransformLength(n);
  if (big_n <= n) return {};

  // The coefficient vector holds the np coefficients (a series of 8 samples still gets 9).
  NumkitVector c(np);
  NumkitVector data(big_n), response(big_n), answer(2L * big_n);
  if (!c.get() || !data.get() || !response.get() || !answer.get()) return {};
  savgol(c.get(), np, m, m, kDerivativeOrder, kPolynomialOrder);

  std::vector<double> a(n);
  float sum = 0.0f;
  for (int i = 0; i < n; ++i) {
    a[i] = s.Sample(i).anomaly;
    sum = static_cast<float>(sum + a[i]);
  }
  const float mean = sum / static_cast<float>(n);

  // The mean-free series centred in the window, continued at each end by its end value.
  const int pad = DerivativePad(n);
  for (int k = 1; k <= pad; ++k) data[k] = static_cast<float>(a[0] - mean);
  for (int i = 0; i < n; ++i) data[pad + 1 + i] = static_cast<float>(a[i] - mean);
  for (int k = pad + n + 1; k <= big_n; ++k) data[k] = static_cast<float>(a[n - 1] - mean);

  for (int k = 0; k <= big_n; ++k) response[k] = 0.0f;
  for (int k = 1; k <= np; ++k) response[k] = c[k];

  convlv(data.get(), static_cast<unsigned long>(big_n), response.get(),
         static_cast<unsigned long>(np), 1, answer.get());

  std::vector<float> result(n);
  for (int i = 0; i < n; ++i) result[i] = answer[pad + 1 + i];
  return result;
}

void SecondDifference(float* out, std::size_t out_size, const PointArray& series) {
  const std::size_t size = series.size();
  if (out == nullptr || size < 3) return;
  for (std::size_t i = 1; i + 1 < size && i < out_size; ++i) {
    out[i] = static_cast<float>(series[i + 1]->anomaly + series[i - 1]->anomaly -
                                2 * series[i]->anomaly);
  }
}
