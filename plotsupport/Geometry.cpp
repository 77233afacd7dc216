#include "plotsupport/Geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "dirstats/Bearing.h"
#include "util/NumberFormat.h"

namespace {

std::int32_t ClampedSum(std::int32_t a, int b) {
  const std::int64_t sum = static_cast<std::int64_t>(a) + b;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      sum, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

float FindAngleBetween(float a, float b) {
  const float d = b - a;
  if (d > 0.0f) return d <= 180.0f ? d : -(a + (360.0f - b));
  return d >= -180.0f ? d : d + 360.0f;
}

void NewPointOffset(float bearing, tessmor::POINT& out, const tessmor::POINT* from,
                    float distance) {
  if (!from) return;
  const double r = Rad(bearing);
  const tessmor::POINT start = *from;  // `out` may be `*from`
  out.x = ClampedSum(start.x, nintd(std::sin(r) * distance));
  out.y = ClampedSum(start.y, nintd(std::cos(r) * distance));
}

float FindBearingOfLine(const tessmor::POINT* from, const tessmor::POINT* to) {
  if (!from || !to) return kNoBearing;
  // In 64 bits: the difference of two 32-bit coordinates may not fit in 32.
  const std::int64_t dx = static_cast<std::int64_t>(to->x) - from->x;
  const std::int64_t dy = static_cast<std::int64_t>(to->y) - from->y;
  if (dx == 0 && dy == 0) return kNoBearing;
  const double degrees = Deg(std::atan2(static_cast<double>(dx), static_cast<double>(dy)));
  return static_cast<float>(SetSensibleBearing(static_cast<float>(degrees)));
}

float ChangeAngleConvention(float angle) {
  const long double x = SetSensibleBearing(angle);
  return static_cast<float>(x > 90.0L ? 450.0L - x : 90.0L - x);
}

void SetSensibleDI(DECINC* record) {
  if (!record) return;
  float dec = record->dec;
  if (!std::isfinite(dec)) {
    dec = std::numeric_limits<float>::quiet_NaN();
  } else if (dec > 360.0f) {
    // A remainder in place of the loop of whole turns. Below 2^27 every step of that loop is
    // exact in single precision, so the result is the loop's own; above, the loop would round
    // at every step or never end.
    dec = std::fmod(dec, 360.0f);
    if (dec == 0.0f) dec = 360.0f;
  } else if (dec < 0.0f) {
    dec = std::fmod(dec, 360.0f);
    // The last turn added rounds to single precision as the loop's does.
    dec = dec < 0.0f ? dec + 360.0f : 0.0f;
  }
  record->dec = dec;
  if (record->inc > 90.0f) record->inc = 90.0f;
  if (record->inc < -90.0f) record->inc = -90.0f;
}
