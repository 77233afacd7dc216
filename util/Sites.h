#pragma once

// Sites and poles of the utility library: latitude and longitude records, degree-minute-
// second angles, the distance between two sites, and the conversion between a magnetic
// direction at a site and its virtual geomagnetic pole. Angles are in degrees; degrees and
// radians are converted with the library's pi (Rad, Deg).

#include <cstdint>

#include "util/NumberFormat.h"
#include "util/Qor1Export.h"

#pragma pack(push, 1)
/// A site (8 bytes): latitude and longitude in degrees, in that order.
struct LATLONG {
  float latitude;
  float longitude;
};

/// An angle in degrees, minutes and seconds (6 bytes). The sign of the whole angle is the
/// sign of the degrees, so an angle between 0 and -1 degree cannot be written.
struct DEGMINSEC {
  std::int16_t degrees;
  std::int16_t minutes;
  std::int16_t seconds;
};

/// A virtual geomagnetic pole (24 bytes), all in degrees: the pole's latitude and longitude
/// (0 … 360), the semi-axes of its oval of confidence along the site-pole great circle (dp)
/// and across it (dm), the palaeolatitude of the site, and the semi-angle alpha95 of the
/// cone of confidence of the direction the pole was computed from.
struct VGP {
  float latitude;
  float longitude;
  float dp;
  float dm;
  float palaeolatitude;
  float alpha95;
};
#pragma pack(pop)
static_assert(sizeof(LATLONG) == 8, "LATLONG is an 8-byte record");
static_assert(sizeof(DEGMINSEC) == 6, "DEGMINSEC is a 6-byte record");
static_assert(sizeof(VGP) == 24, "VGP is a 24-byte record");

/// The great-circle distance between two sites, in degrees (0 … 180): the angle between
/// the directions that have the latitudes as inclinations and the longitudes as
/// declinations. 0 when either pointer is null.
QOR1_EXPORT double AngleBetweenLats(const LATLONG* a, const LATLONG* b);

/// The angle of `*dms` in decimal degrees: |degrees| + minutes / 60 + seconds / 3600,
/// negated when the degrees are negative. 0 for a null pointer.
QOR1_EXPORT double SetLongLatitude(const DEGMINSEC* dms);

/// Writes `degrees` into `*dms`: the whole degrees of |degrees| (negated for a negative
/// angle), then the rest as a whole number of seconds (rounded with nintd) split into
/// minutes and seconds. A rest that rounds to a full degree carries into the degrees, so
/// the minutes stay below 60. Angles beyond ±32767 degrees give ±32767° 0' 0"; NaN gives
/// 0° 0' 0". Nothing happens for a null pointer.
QOR1_EXPORT void GetLatitude(double degrees, DEGMINSEC* dms);

/// Degrees and minutes as decimal degrees: |degrees| + |minutes| / 60, negative when the
/// degrees are negative, or when they are 0 and the minutes negative (-0° 30' is -0.5).
QOR1_EXPORT double ToDecimalDeg(int degrees, double minutes);

/// Rounds `*site` to `decimals` decimals in place: the longitude halves upward, then
/// reduced by whole turns while it exceeds 360 (exactly 360 stays); the latitude halves
/// away from zero, as RoundBEARING. Values that are not finite stay as they are; nothing
/// happens for a null pointer.
QOR1_EXPORT void RoundLatLong(LATLONG* site, int decimals);

/// Converts between a magnetic direction at a site and its virtual geomagnetic pole, with
/// the geocentric axial dipole formulas: tan I = 2 cot p, where p is the angular distance
/// from the site to the pole; dp = alpha95 (1 + 3 cos^2 p) / 2 and
/// dm = alpha95 sin p / cos I = 2 alpha95 / sqrt(1 + 3 cos^2 I).
///
/// With `to_pole` non-zero: from the declination and inclination of `*dir` at `*site` and
/// the direction's cone `pole->alpha95` (0 when there is none), fills the pole's latitude,
/// longitude (0 … 360), dp, dm and the site's palaeolatitude (90 - p).
/// With `to_pole` zero: from the pole's latitude and longitude, seen from `*site`, fills the
/// declination (0 … 360) and inclination of `*dir` (its intensity is not touched) and the
/// palaeolatitude, and, from the pole's dm, the direction's alpha95 (0 when dm is 0).
///
/// Returns 1; 0 when a pointer is null or an input is not finite, leaving everything as
/// it was.
QOR1_EXPORT int DecInc2Pole(PMVECTOR* dir, const LATLONG* site, VGP* pole, int to_pole);
