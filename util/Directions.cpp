#include "util/Directions.h"

#include <algorithm>
#include <cmath>

namespace {

// Below this size the turns are taken off one at a time, as the declination's own single
// precision arithmetic does it; above it, in one step.
constexpr float kStepwiseLimit = 36000.0f;

}  // namespace

void SetSensibleDec(PMVECTOR* v) {
  if (!v || !std::isfinite(v->dec)) return;
  float dec = v->dec;
  if (std::fabs(dec) > kStepwiseLimit) {
    dec = static_cast<float>(std::fmod(static_cast<double>(dec), 360.0));
    if (dec == 0.0f && v->dec > 0.0f) dec = 360.0f;
  }
  while (dec > 360.0f) dec -= 360.0f;
  while (dec < 0.0f) dec += 360.0f;
  v->dec = dec + 0.0f;  // no negative zero
}

int IsSensibleDecInc(const PMVECTOR* v) {
  if (!v) return 0;
  return (std::fabs(v->inc) <= 180.0f && std::fabs(v->dec) <= 500.0f) ? 1 : 0;
}

double AngleBetweenRadians(double dec1, double inc1, double dec2, double inc2) {
  const double dot = std::cos(inc1) * std::cos(dec1) * std::cos(inc2) * std::cos(dec2) +
                     std::cos(inc1) * std::sin(dec1) * std::cos(inc2) * std::sin(dec2) +
                     std::sin(inc1) * std::sin(inc2);
  if (std::isnan(dot)) return dot;
  return std::acos(std::clamp(dot, -1.0, 1.0));
}

double AngleBetween(const PMVECTOR* a, const PMVECTOR* b) {
  if (!a || !b) return 0.0;
  return Deg(AngleBetweenRadians(Rad(a->dec), Rad(a->inc), Rad(b->dec), Rad(b->inc)));
}

float RoundBEARING(float bearing, int decimals) {
  if (IsZero(bearing)) return 0.0f;
  if (!std::isfinite(bearing)) return bearing;
  decimals = std::clamp(decimals, -38, 38);
  const double p = std::pow(10.0, decimals);
  const double scaled = static_cast<double>(bearing) * p;
  if (!std::isfinite(scaled) || std::fabs(scaled) > 1e15) return bearing;
  const double rounded = bearing >= 0.0f ? std::floor(scaled + 0.5) : std::ceil(scaled - 0.5);
  return static_cast<float>(rounded / p);
}
