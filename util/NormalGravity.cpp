#include "util/NormalGravity.h"

#include <cmath>

double CalculateIGF(const DEGMINSEC* latitude, int formula) {
  if (!latitude) return 0.0;
  const double phi = SetLongLatitude(latitude) * 3.141592654 / 180.0;
  const double s = std::sin(phi);
  const double s2 = s * s;
  if (formula) return 978031.846 * (1.0 + 0.005278895 * s2 + 0.000023462 * s2 * s2);
  const double s2phi = std::sin(2.0 * phi);
  return 978031.8 * (1.0 + 0.0053024 * s2 - 0.0000059 * s2phi * s2phi);
}
