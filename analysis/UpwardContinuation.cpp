// Upward continuation of the residual anomaly by the discrete two-dimensional Poisson integral.
#include "analysis/UpwardContinuation.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/VectorSums.h"

namespace {

/// 1/π in single precision.
constexpr float kOneOverPi = 0.3183099f;
/// Samples reflected beyond each end of the series.
constexpr int kPad = 5;

}  // namespace

bool ContinueUpward(const ResidualSeries& s, PointArray& result, float height_km,
                    Arithmetic arithmetic) {
  result.clear();
  const int n = s.SampleCount();
  // The reflection reads samples 1 … 5 and n − 2 … n − 6: a shorter series cannot be
  // continued. A height that is not positive has no Poisson kernel (it divides 0 by 0 at
  // offset 0).
  if (n < kPad + 1 || !(height_km > 0.0f)) return false;

  // Working arrays indexed 1 … N (index 0 unused): the padded, mean-free series, the kernel
  // by offset, and the convolution.
  const int big_n = n + 2 * kPad;
  std::vector<float> data(big_n + 1, 0.0f);
  std::vector<float> kernel(big_n + 1, 0.0f);
  std::vector<float> conv(big_n + 1, 0.0f);

  auto a = [&s](int i) { return s.Sample(i).anomaly; };
  for (int k = 1; k <= kPad; ++k) data[k] = static_cast<float>(a(kPad + 1 - k));
  for (int i = 0; i < n; ++i) data[kPad + 1 + i] = static_cast<float>(a(i));
  for (int k = 1; k <= kPad; ++k) data[n + kPad + k] = static_cast<float>(a(n - 1 - k));

  float sum = 0.0f;
  for (int k = 1; k <= big_n; ++k) sum += data[k];
  const float mean = sum / static_cast<float>(big_n);
  for (int k = 1; k <= big_n; ++k) data[k] -= mean;

  // Height and spacing in metres.
  const float h = height_km * 1000.0f;
  const int dx = s.SampleSpacing();
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
    const ProfilePoint p = s.Sample(i);
    // The background the series removed is added back with the mean.
    auto point = std::make_unique<ProfilePoint>();
    point->distance = p.distance;
    point->anomaly = s.BackgroundAt(p.distance) + conv[kPad + 1 + i] + mean;
    result.push_back(std::move(point));
  }
  return true;
}

bool ContinueUpwardWithEdgeControl(const ResidualSeries& s, PointArray& result, float height_km) {
  result.clear();
  const int n = s.SampleCount();
  const int dx = s.SampleSpacing();
  if (n < kPad + 1 || !(height_km > 0.0f) || dx <= 0) return false;
  const double h = height_km * 1000.0;  // m
  const double step = dx;               // m
  // The profile is carried on for twenty heights beyond each end; the field further out is
  // taken as the level the carried-on field tends to.
  const int pad = static_cast<int>(std::ceil(20.0 * h / step));
  std::vector<double> a(n);
  for (int i = 0; i < n; ++i) a[i] = s.Sample(i).anomaly;

  // Each end's trend: the slope (mGal per sample) of a straight line fitted by least squares
  // to the last few samples, at most a fifth of the profile.
  const int fit = std::clamp(n / 5, 2, 10);
  auto slope = [&](int first) {
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (int k = 0; k < fit; ++k) {
      const double x = k, y = a[first + k];
      sx += x;
      sy += y;
      sxx += x * x;
      sxy += x * y;
    }
    const double d = fit * sxx - sx * sx;
    return d == 0.0 ? 0.0 : (fit * sxy - sx * sy) / d;
  };
  // Beyond an end the field goes on with the end's slope, which dies away over one height:
  // value + slope · τ · (1 − e^(−d/τ)), d samples beyond the end, τ one height in samples.
  const double tau = std::max(1.0, h / step);
  const double left_slope = -slope(0), right_slope = slope(n - fit);
  const double left_level = a[0] + left_slope * tau, right_level = a[n - 1] + right_slope * tau;
  const int big_n = n + 2 * pad;
  std::vector<double> data(big_n);
  for (int k = 0; k < big_n; ++k) {
    const int i = k - pad;
    if (i < 0) {
      data[k] = a[0] + left_slope * tau * (1.0 - std::exp(i / tau));
    } else if (i >= n) {
      data[k] = a[n - 1] + right_slope * tau * (1.0 - std::exp(-(i - (n - 1)) / tau));
    } else {
      data[k] = a[i];
    }
  }
  // The Poisson kernel by offset (samples), and the weight of everything beyond d samples,
  // (1/π)(π/2 − atan((d + ½)·step/h)).
  std::vector<double> kernel(big_n);
  for (int k = 0; k < big_n; ++k) {
    const double x = k * step;
    kernel[k] = step * h / (M_PI * (x * x + h * h));
  }
  auto beyond = [&](int d) { return (M_PI / 2 - std::atan((d + 0.5) * step / h)) / M_PI; };

  result.reserve(n);
  for (int i = 0; i < n; ++i) {
    const int centre = i + pad;
    const double left_tail = beyond(centre), right_tail = beyond(big_n - 1 - centre);
    double sum = left_tail * left_level + right_tail * right_level;
    double weight = left_tail + right_tail;
    for (int k = 0; k < big_n; ++k) {
      const double w = kernel[std::abs(k - centre)];
      sum += w * data[k];
      weight += w;
    }
    const ProfilePoint p = s.Sample(i);
    auto point = std::make_unique<ProfilePoint>();
    point->distance = p.distance;
    // Weighed to 1 in all: a constant field continues to itself.
    point->anomaly = s.BackgroundAt(p.distance) + sum / weight;
    result.push_back(std::move(point));
  }
  return true;
}
