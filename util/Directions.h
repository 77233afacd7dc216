#pragma once

// Magnetic directions of the utility library: keeping declinations within a turn, checking
// that a direction is sensible, the angle between two directions and bearing rounding.
// Angles are in degrees unless a name says radians; degrees and radians are converted with
// the library's pi (Rad, Deg).

#include "util/NumberFormat.h"
#include "util/Qor1Export.h"

#pragma pack(push, 1)
/// A direction without intensity (8 bytes): declination and inclination in degrees.
struct DECINC {
  float dec;
  float inc;
};
#pragma pack(pop)
static_assert(sizeof(DECINC) == 8, "DECINC is an 8-byte record");

/// Brings the declination of `*v` into [0, 360] by whole turns: a declination above 360
/// loses turns until it is at most 360, a negative one gains turns until it is at least 0
/// (-30 gives 330, 725 gives 5; exactly 360 stays 360). A declination that is not finite is
/// left as it is; nothing happens for a null pointer.
QOR1_EXPORT void SetSensibleDec(PMVECTOR* v);

/// 1 when |inclination| <= 180 and |declination| <= 500 degrees, else 0 (also for NaN and
/// a null pointer).
QOR1_EXPORT int IsSensibleDecInc(const PMVECTOR* v);

/// The angle between two directions given in radians, in radians (0 … pi): the arc cosine
/// of the dot product of the unit vectors (cos I cos D, cos I sin D, sin I). The dot product
/// is held within [-1, 1], so equal directions are 0 apart and opposite ones pi, never NaN.
QOR1_EXPORT double AngleBetweenRadians(double dec1, double inc1, double dec2, double inc2);

/// The angle between the directions of `a` and `b` (degrees), in degrees; 0 when either
/// pointer is null.
QOR1_EXPORT double AngleBetween(const PMVECTOR* a, const PMVECTOR* b);

/// `bearing` (degrees) rounded to `decimals` decimals, halves away from zero: with
/// p = 10^decimals, floor(b p + 0.5) / p for b >= 0 and ceil(b p - 0.5) / p below zero.
/// Exactly +0.0 gives 0. Decimals are taken within [-38, 38]; a bearing that is not
/// finite, or too large to carry the decimals, is returned as it is.
QOR1_EXPORT float RoundBEARING(float bearing, int decimals);
