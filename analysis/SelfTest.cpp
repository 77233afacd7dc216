#include "analysis/SelfTest.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "analysis/BlockModel.h"
#include "analysis/SecondDerivative.h"
#include "analysis/Series.h"
#include "analysis/UpwardContinuation.h"

namespace {

// A profile of n equally spaced samples from x0 (km) every dx (km) with the anomaly g(x) (mGal).
void FillProfile(SampleSeries& series, int n, double x0, double dx,
                 const std::function<double(double)>& g) {
  for (int i = 0; i < n; ++i) {
    const double x = x0 + i * dx;
    series.samples.push_back({static_cast<std::int32_t>(std::lround(x * 1000.0)), g(x)});
  }
}

// The anomaly (mGal) of a horizontal line mass at depth z (km) seen at horizontal offset x
// (km), scaled so that it peaks at `peak` mGal straight above the line: g = peak·z²/(x² + z²).
double LineMass(double x, double z, double peak) { return peak * z * z / (x * x + z * z); }

SelfTestCase UpwardLineMass() {
  // A line 3 km deep under a profile of ±60 km every 0.5 km, continued up 2 km: the field
  // is then the line's seen from 5 km. Compared where the body's field stands out
  // (|x| ≤ 15 km).
  constexpr double kDepth = 3.0, kHeight = 2.0, kPeak = 10.0;
  SampleSeries series;
  FillProfile(series, 241, -60.0, 0.5, [&](double x) { return LineMass(x, kDepth, kPeak); });
  PointArray up;
  ContinueUpward(series, up, static_cast<float>(kHeight));
  SelfTestCase c{"Upward continuation of a buried line mass, 3 km deep, 2 km up",
                 "the field of a horizontal line mass, g = 2Gλ·z/(x² + z²), at z = 3 km and "
                 "at z = 3 + 2 km (the potential field seen from the higher level)",
                 0.0, 0.05, "mGal"};
  if (up.empty()) {
    c.error = INFINITY;
    return c;
  }
  for (const auto& p : up) {
    const double x = p->distance * 0.001;
    if (std::fabs(x) > 15.0) continue;
    // g = K·z/(x² + z²) with K = peak·3 km, at z = 3 + 2 km.
    const double expected =
        kPeak * kDepth * (kDepth + kHeight) / (x * x + (kDepth + kHeight) * (kDepth + kHeight));
    c.error = std::max(c.error, std::fabs(p->anomaly - expected));
  }
  return c;
}

// The continuation of the line mass over the whole of a profile of ±half_km, every 0.5 km,
// by the documented method or with the ends controlled.
SelfTestCase UpwardWholeProfile(double half_km, bool edges, double tolerance) {
  constexpr double kDepth = 3.0, kHeight = 2.0, kPeak = 10.0;
  SampleSeries series;
  const int n = static_cast<int>(std::lround(2.0 * half_km / 0.5)) + 1;
  FillProfile(series, n, -half_km, 0.5, [&](double x) { return LineMass(x, kDepth, kPeak); });
  PointArray up;
  if (edges) {
    ContinueUpwardWithEdgeControl(series, up, static_cast<float>(kHeight));
  } else {
    ContinueUpward(series, up, static_cast<float>(kHeight));
  }
  char name[160];
  std::snprintf(name, sizeof name,
                "%s continuation of the line mass, 2 km up, ±%g km, ends included",
                edges ? "Edge-controlled" : "Documented", half_km);
  SelfTestCase c{name,
                 edges ? "the line mass's field at z = 3 + 2 km, as above, compared at every "
                         "sample up to the profile's ends"
                       : "the same; the documented method loses the long wavelengths near the "
                         "ends, and its tolerance only bounds that loss",
                 0.0, tolerance, "mGal"};
  if (up.size() != static_cast<std::size_t>(n)) {
    c.error = INFINITY;
    return c;
  }
  for (const auto& p : up) {
    const double x = p->distance * 0.001;
    const double z = kDepth + kHeight;
    c.error = std::max(c.error, std::fabs(p->anomaly - kPeak * kDepth * z / (x * x + z * z)));
  }
  return c;
}

SelfTestCase PrismAgainstPolygon() {
  SelfTestCase c{"Prism factor against the polygon line integral",
                 "Talwani's line integral ∮ z dθ of a polygon, taken edge by edge in double "
                 "precision, for rectangles 0.5 to 4 km wide and 0.1 to 6 km thick with tops "
                 "0.2 to 3 km deep, seen from -20 to 20 km; the error is relative to the "
                 "prism's largest factor (single precision: the factor is a difference of its "
                 "faces' terms, which a thin prism makes small)",
                 0.0, 5e-4, "relative"};
  const double widths[] = {0.5, 1.0, 4.0};
  const double tops[] = {0.2, 1.0, 3.0};
  const double thick[] = {0.1, 2.0, 6.0};
  for (double w : widths) {
    for (double top : tops) {
      for (double t : thick) {
        // The factor of the prism from x to x + w seen from the origin, both ways.
        std::vector<double> polygon, prism;
        for (double x = -20.0; x <= 20.0; x += 0.75) {
          polygon.push_back(PolygonFactor({x, x + w, x + w, x}, {top, top, top + t, top + t}));
          // The prism routine takes the near and far faces' distances from the station.
          const double x1 = x >= 0.0 ? x : (x + w <= 0.0 ? -(x + w) : x);
          const double x2 = x >= 0.0 ? x + w : (x + w <= 0.0 ? -x : x + w);
          prism.push_back(PrismFactor(static_cast<float>(x1), static_cast<float>(x2),
                                      static_cast<float>(w), static_cast<float>(top),
                                      static_cast<float>(top + t)));
        }
        const double peak = *std::max_element(polygon.begin(), polygon.end());
        for (std::size_t k = 0; k < polygon.size(); ++k) {
          c.error = std::max(c.error, std::fabs(prism[k] - polygon[k]) / peak);
        }
      }
    }
  }
  return c;
}

// Inverts the anomaly of prisms of thickness `truth` (km) below every sample and returns the
// largest depth error (km).
SelfTestCase InvertModelled(bool granite) {
  constexpr int kSamples = 81;
  constexpr double kDx = 0.5;                        // km
  const double density = granite ? -150.0 : -300.0;  // kg/m³
  const double z0 = granite ? 8.0 : 0.0;             // km
  const auto truth = [granite](double x) {           // km
    return granite ? 3.0 * std::exp(-x * x / 64.0) : 2.0 * std::exp(-x * x / 36.0);
  };
  std::vector<double> xs(kSamples), t(kSamples);
  for (int i = 0; i < kSamples; ++i) {
    xs[i] = (i - kSamples / 2) * kDx;
    t[i] = truth(xs[i]);
  }
  // The observed anomaly: every prism's polygon factor, summed at each station.
  SampleSeries series;
  const double two_g_rho = 13.34 * density * 0.001;
  for (int i = 0; i < kSamples; ++i) {
    double sum = 0.0;
    for (int j = 0; j < kSamples; ++j) {
      const double left = xs[j] - kDx / 2 - xs[i], right = left + kDx;
      const double top = granite ? z0 - t[j] : z0, bottom = granite ? z0 : z0 + t[j];
      if (bottom - top < 1e-9) continue;
      sum += PolygonFactor({left, right, right, left}, {top, top, bottom, bottom});
    }
    series.samples.push_back(
        {static_cast<std::int32_t>(std::lround(xs[i] * 1000.0)), sum * two_g_rho});
  }
  BlockResultArray results;
  InvertBlockModel(series, results, static_cast<float>(density), static_cast<float>(z0),
                   granite ? 1 : -1);
  SelfTestCase c{granite ? "Inversion of a modelled granite (3 km high, 8 km boundary, -150 kg/m³)"
                         : "Inversion of a modelled basin (2 km deep, -300 kg/m³)",
                 "the anomaly of the true prisms by the polygon line integral, inverted with "
                 "the documented ten sweeps; the error is the largest difference of depth",
                 0.0, granite ? 0.2 : 0.03, "km"};
  if (results.size() != static_cast<std::size_t>(kSamples)) {
    c.error = INFINITY;
    return c;
  }
  for (int i = 0; i < kSamples; ++i) {
    const double expected = granite ? z0 - t[i] : z0 + t[i];
    c.error = std::max(c.error, std::fabs(results[i]->depth - expected));
  }
  return c;
}

// The derivative of a + b·k + c·k² (k the sample number), checked away from the ends.
SelfTestCase Derivative(double curvature) {
  constexpr int kSamples = 64;
  SampleSeries series;
  FillProfile(series, kSamples, 0.0, 1.0, [curvature](double x) {
    const double k = x - 31.5;
    return 5.0 + 0.05 * k + curvature * k * k;
  });
  const std::vector<float> d = SecondDerivative(series);
  SelfTestCase c{curvature == 0.0 ? "Second derivative of a line"
                                  : "Second derivative of a parabola (0.01 mGal per sample²)",
                 "d²g/dk² = 2c for g = a + b·k + c·k²; the program's derivative is the "
                 "curvature c of its fitted parabola, per squared sample interval",
                 0.0, 1e-6, "mGal per sample²"};
  if (d.size() != static_cast<std::size_t>(kSamples)) {
    c.error = INFINITY;
    return c;
  }
  for (int k = 16; k < kSamples - 16; ++k) {
    c.error = std::max(c.error, std::fabs(d[static_cast<std::size_t>(k)] - curvature));
  }
  return c;
}

}  // namespace

double PolygonFactor(const std::vector<double>& xs, const std::vector<double>& zs) {
  const std::size_t n = std::min(xs.size(), zs.size());
  double sum = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double x1 = xs[i], z1 = zs[i];
    const double x2 = xs[(i + 1) % n], z2 = zs[(i + 1) % n];
    const double dx = x2 - x1, dz = z2 - z1;
    const double length2 = dx * dx + dz * dz;
    if (length2 == 0.0) continue;
    // The foot of the perpendicular from the station to the edge's line.
    const double s = -(x1 * dx + z1 * dz) / length2;
    const double fx = x1 + s * dx, fz = z1 + s * dz;
    if (fx * fx + fz * fz < 1e-24) continue;  // the line runs through the station
    const double theta1 = std::atan2(z1, x1), theta2 = std::atan2(z2, x2);
    const double r1 = std::hypot(x1, z1), r2 = std::hypot(x2, z2);
    sum += fz * (theta2 - theta1) + fx * std::log(r2 / r1);
  }
  return std::fabs(sum);
}

std::vector<SelfTestCase> RunSelfTest() {
  return {UpwardLineMass(),
          UpwardWholeProfile(12.0, false, 0.8),
          UpwardWholeProfile(12.0, true, 0.05),
          UpwardWholeProfile(60.0, false, 0.2),
          UpwardWholeProfile(60.0, true, 0.01),
          PrismAgainstPolygon(),
          InvertModelled(false),
          InvertModelled(true),
          Derivative(0.01),
          Derivative(0.0)};
}

std::string FormatSelfTest(const std::vector<SelfTestCase>& cases) {
  std::string out;
  int passed = 0;
  char line[512];
  for (const SelfTestCase& c : cases) {
    if (c.Passed()) ++passed;
    std::snprintf(line, sizeof line, "%s  %s\n    error %.3g %s, tolerance %.3g %s\n    from: %s\n",
                  c.Passed() ? "pass" : "FAIL", c.name.c_str(), c.error, c.unit.c_str(),
                  c.tolerance, c.unit.c_str(), c.source.c_str());
    out += line;
  }
  std::snprintf(line, sizeof line, "%d of %zu checks passed\n", passed, cases.size());
  out += line;
  return out;
}
