#include "util/Sites.h"

#include <algorithm>
#include <cmath>

#include "util/Directions.h"

namespace {

// An angle in degrees brought into [0, 360).
double OneTurn(double degrees) {
  double d = std::fmod(degrees, 360.0);
  if (d < 0.0) d += 360.0;
  if (d >= 360.0) d -= 360.0;
  return d + 0.0;
}

bool Finite(double v) { return std::isfinite(v); }

}  // namespace

double AngleBetweenLats(const LATLONG* a, const LATLONG* b) {
  if (!a || !b) return 0.0;
  return Deg(AngleBetweenRadians(Rad(a->longitude), Rad(a->latitude), Rad(b->longitude),
                                 Rad(b->latitude)));
}

double SetLongLatitude(const DEGMINSEC* dms) {
  if (!dms) return 0.0;
  const double value =
      std::abs(static_cast<int>(dms->degrees)) + dms->minutes / 60.0 + dms->seconds / 3600.0;
  return dms->degrees < 0 ? -value : value;
}

void GetLatitude(double degrees, DEGMINSEC* dms) {
  if (!dms) return;
  if (std::isnan(degrees)) {
    *dms = {0, 0, 0};
    return;
  }
  const double a = std::fabs(degrees);
  int whole = 32767;
  int seconds = 0;
  if (a <= 32767.0) {
    whole = static_cast<int>(std::floor(a));
    seconds = nintd((a - whole) * 3600.0);
    if (seconds >= 3600) {  // 59' 59.5" and above round to the next degree
      ++whole;
      seconds -= 3600;
    }
    if (whole > 32767) {
      whole = 32767;
      seconds = 0;
    }
  }
  dms->degrees = static_cast<std::int16_t>(degrees < 0.0 ? -whole : whole);
  dms->minutes = static_cast<std::int16_t>(seconds / 60);
  dms->seconds = static_cast<std::int16_t>(seconds % 60);
}

double ToDecimalDeg(int degrees, double minutes) {
  const double value = std::abs(static_cast<double>(degrees)) + std::fabs(minutes) / 60.0;
  const bool negative = degrees < 0 || (degrees == 0 && minutes < 0.0);
  return negative ? -value : value;
}

void RoundLatLong(LATLONG* site, int decimals) {
  if (!site) return;
  decimals = std::clamp(decimals, -38, 38);
  const double p = std::pow(10.0, decimals);
  const double scaled = static_cast<double>(site->longitude) * p;
  if (std::isfinite(scaled) && std::fabs(scaled) <= 1e15) {
    double lon = std::floor(scaled + 0.5) / p;
    // The same as taking off 360 while the value exceeds 360, for values of any size.
    if (lon > 360.0) {
      lon = std::fmod(lon, 360.0);
      if (lon == 0.0) lon = 360.0;
    }
    site->longitude = static_cast<float>(lon);
  }
  site->latitude = RoundBEARING(site->latitude, decimals);
}

int DecInc2Pole(PMVECTOR* dir, const LATLONG* site, VGP* pole, int to_pole) {
  if (!dir || !site || !pole) return 0;
  const double slat = Rad(site->latitude);
  const double slon = site->longitude;
  if (!Finite(slat) || !Finite(slon)) return 0;

  if (to_pole) {
    const double dec = Rad(dir->dec);
    const double inc = Rad(dir->inc);
    const double alpha95 = pole->alpha95;
    if (!Finite(dec) || !Finite(inc) || !Finite(alpha95)) return 0;
    // Distance from the site to the pole, 0 … pi: tan p = 2 cos I / sin I.
    const double p = std::atan2(2.0 * std::cos(inc), std::sin(inc));
    const double sin_plat = std::clamp(
        std::sin(slat) * std::cos(p) + std::cos(slat) * std::sin(p) * std::cos(dec), -1.0, 1.0);
    const double plat = std::asin(sin_plat);
    // The pole lies p along the great circle that leaves the site at the declination.
    const double dlon = std::atan2(std::sin(dec) * std::sin(p) * std::cos(slat),
                                   std::cos(p) - std::sin(slat) * sin_plat);
    const double cos_p = std::cos(p);
    const double cos_i = std::cos(inc);
    pole->latitude = static_cast<float>(Deg(plat));
    pole->longitude = static_cast<float>(OneTurn(slon + Deg(dlon)));
    if (pole->longitude >= 360.0f) pole->longitude = 0.0f;
    pole->dp = static_cast<float>(alpha95 * (1.0 + 3.0 * cos_p * cos_p) / 2.0);
    pole->dm = static_cast<float>(2.0 * alpha95 / std::sqrt(1.0 + 3.0 * cos_i * cos_i));
    pole->palaeolatitude = static_cast<float>(90.0 - Deg(p));
    return 1;
  }

  const double plat = Rad(pole->latitude);
  const double dlon = Rad(static_cast<double>(pole->longitude) - slon);
  const double dm = pole->dm;
  if (!Finite(plat) || !Finite(dlon) || !Finite(dm)) return 0;
  const double cos_p =
      std::clamp(std::sin(slat) * std::sin(plat) + std::cos(slat) * std::cos(plat) * std::cos(dlon),
                 -1.0, 1.0);
  const double p = std::acos(cos_p);
  const double inc = std::atan2(2.0 * cos_p, std::sin(p));
  // The declination is the bearing of the pole from the site.
  const double dec = std::atan2(
      std::sin(dlon) * std::cos(plat),
      std::cos(slat) * std::sin(plat) - std::sin(slat) * std::cos(plat) * std::cos(dlon));
  const double cos_i = std::cos(inc);
  float out_dec = static_cast<float>(OneTurn(Deg(dec)));
  if (out_dec >= 360.0f) out_dec = 0.0f;
  dir->dec = out_dec;
  dir->inc = static_cast<float>(Deg(inc));
  pole->palaeolatitude = static_cast<float>(90.0 - Deg(p));
  pole->alpha95 = static_cast<float>(dm * std::sqrt(1.0 + 3.0 * cos_i * cos_i) / 2.0);
  return 1;
}
