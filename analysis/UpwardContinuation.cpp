// Upward continuation of the residual anomaly by the discrete two-dimensional Poisson integral.
#include <cmath>
#include <vector>

#include "analysis/VectorSums.h"
#include "profile/TessmorDoc.h"

namespace {

/// 1/π in single precision.
constexpr float kOneOverPi = 0.3183099f;
/// Samples reflected beyond each end of the series.
constexpr int kPad = 5;

}  // namespace

void CTessmorDoc::ComputeUpwardContinuation(PointArray& result, float height_km,
                                            Arithmetic arithmetic) {
  result.clear();
  const int n = GetPointCount(10);
  // The reflection reads samples 1 … 5 and n − 2 … n − 6: a shorter series cannot be
  // continued. A height that is not positive has no Poisson kernel (it divides 0 by 0 at
  // offset 0).
  if (n < kPad + 1 || !(height_km > 0.0f)) return;

  // Working arrays indexed 1 … N (index 0 unused): the padded, mean-free series, the kernel
  // by offset, and the convolution.
  const int big_n = n + 2 * kPad;
  std::vector<float> data(big_n + 1, 0.0f);
  std::vector<float> kernel(big_n + 1, 0.0f);
  std::vector<float> conv(big_n + 1, 0.0f);

  auto a = [this](int i) { return GetPoint(i, true).anomaly; };
  for (int k = 1; k <= kPad; ++k) data[k] = static_cast<float>(a(kPad + 1 - k));
  for (int i = 0; i < n; ++i) data[kPad + 1 + i] = static_cast<float>(a(i));
  for (int k = 1; k <= kPad; ++k) data[n + kPad + k] = static_cast<float>(a(n - 1 - k));

  float sum = 0.0f;
  for (int k = 1; k <= big_n; ++k) sum += data[k];
  const float mean = sum / static_cast<float>(big_n);
  for (int k = 1; k <= big_n; ++k) data[k] -= mean;

  // Height and spacing in metres.
  const float h = height_km * 1000.0f;
  const int dx = m_bEquallySpaced ? GetEqualSpacing() : m_nSpacing;
  const float fdx = static_cast<float>(dx);
  const float h2 = h * h;
  // kernel[k] weighs the sample (k − 1) spacings away.
  float x = 0.0f;
  for (int k = 1; k <= big_n; ++k) {
    kernel[k] = fdx * h * kOneOverPi / (x * x + h2);
    x += fdx;
  }

  if (arithmetic == Arithmetic::kVector) {
    // The kernel by signed offset j − i at index N − 1 + j − i, so that each sample's sum is
    // the product of two runs of consecutive values.
    std::vector<float> mirrored(2 * big_n - 1);
    for (int k = 0; k < 2 * big_n - 1; ++k) mirrored[k] = kernel[std::abs(k - (big_n - 1)) + 1];
    for (int i = 1; i <= big_n; ++i) conv[i] = DotProduct(&mirrored[big_n - i], &data[1], big_n);
  } else {
    for (int i = 1; i <= big_n; ++i) {
      float acc = 0.0f;
      for (int j = 1; j <= big_n; ++j) acc += kernel[std::abs(i - j) + 1] * data[j];
      conv[i] = acc;
    }
  }

  result.reserve(n);
  for (int i = 0; i < n; ++i) {
    const ProfilePoint p = GetPoint(i, true);
    // The background GetPoint removed is added back with the mean.
    auto point = std::make_unique<ProfilePoint>();
    point->distance = p.distance;
    point->anomaly = BackgroundAt(p.distance) + conv[kPad + 1 + i] + mean;
    result.push_back(std::move(point));
  }
  m_bUpwardContinued = 1;
}
