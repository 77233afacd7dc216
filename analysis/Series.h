#pragma once

// What the analyses work on: the records of a profile's samples and results, and the series
// of residual-anomaly samples they read, whoever holds it.

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

/// One point of a profile: distance along the traverse in whole metres, Bouguer anomaly in
/// milligal. Also the record of a continued series.
struct ProfilePoint {
  std::int32_t distance = 0;
  double anomaly = 0.0;
};

/// A series of points owned by its array (the continued series of the view).
using PointArray = std::vector<std::unique_ptr<ProfilePoint>>;

/// One sample of the block model: the anomaly of the prism row at the sample (mGal), the
/// observed residual anomaly minus it (mGal), and the depth of the free face of the sample's
/// prism (km).
struct BlockResult {
  float calculated = 0.0f;
  float residual = 0.0f;
  float depth = 0.0f;
};
using BlockResultArray = std::vector<std::unique_ptr<BlockResult>>;

/// Equally spaced samples of the residual anomaly (the regional background removed), as the
/// analyses read them.
class ResidualSeries {
 public:
  virtual ~ResidualSeries() = default;
  /// Number of samples.
  virtual int SampleCount() const = 0;
  /// Sample `index`, 0 … SampleCount() − 1: its distance (m) and residual anomaly (mGal).
  virtual ProfilePoint Sample(int index) const = 0;
  /// The distance between neighbouring samples, metres.
  virtual int SampleSpacing() const = 0;
  /// The background (mGal) that was removed at `distance` metres, for results that add it
  /// back.
  virtual double BackgroundAt(double distance) const = 0;
};

/// A series held as it stands: the samples have no background, and their spacing is the
/// distance between the first two (0 for fewer than two).
class SampleSeries : public ResidualSeries {
 public:
  std::vector<ProfilePoint> samples;

  int SampleCount() const override { return static_cast<int>(samples.size()); }
  ProfilePoint Sample(int index) const override {
    if (index < 0 || index >= SampleCount()) return {};
    return samples[static_cast<std::size_t>(index)];
  }
  int SampleSpacing() const override {
    if (samples.size() < 2) return 0;
    const long long step =
        std::llabs(static_cast<long long>(samples[1].distance) - samples[0].distance);
    return step > INT32_MAX ? INT32_MAX : static_cast<int>(step);
  }
  double BackgroundAt(double) const override { return 0.0; }
};
