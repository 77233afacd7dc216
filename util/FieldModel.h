#pragma once

// Input checks of the geomagnetic field-model calculation: the year, height, latitude and
// longitude a calculation may be asked for, alone or as the two ends of a profile.

#include <cstdint>

#include "util/Qor1Export.h"

/// Limits of the field-model input: decimal years, height (metres), degrees.
inline constexpr float kIGRFFirstYear = 1940.0f;
inline constexpr float kIGRFLastYear = 2200.0f;
inline constexpr float kIGRFLowestHeight = 0.0f;
inline constexpr float kIGRFHighestHeight = 30000.0f;

/// What a field-model calculation is asked for: one point, or a profile from the first
/// point to the second along one quantity. `kind` 0 is one point; 1 a profile in latitude
/// (to `latitude2`), 2 in longitude (to `longitude2`), 3 in height (to `height2`), 4 in
/// time (to `year2`).
#pragma pack(push, 1)
struct IGRFPROFILE {
  float latitude;
  float longitude;
  float height;
  float year;
  float latitude2;
  float longitude2;
  float height2;
  float year2;
  std::int32_t kind;
};
#pragma pack(pop)
static_assert(sizeof(IGRFPROFILE) == 36, "IGRFPROFILE is a 36-byte record");

/// 1 when `*year` lies within 1940 … 2200; otherwise it is set to the nearer limit (NaN to
/// the first) and 0 is returned. 0 for a null pointer.
QOR1_EXPORT int ValidateIGRFYear(float* year);
/// 1 when `*height` lies within 0 … 30000; otherwise set to the nearer limit, 0 returned.
QOR1_EXPORT int ValidateIGRFHeight(float* height);
/// 1 when `*latitude` lies within -90 … 90; otherwise set to the nearer limit, 0 returned.
QOR1_EXPORT int ValidateIGRFLatitude(float* latitude);
/// 1 when `longitude` lies within ±360 (`full_turn` non-zero) or ±180, else 0 (NaN too).
QOR1_EXPORT int ValidateIGRFLongitude(float longitude, int full_turn);
/// 1 when every value the record's kind uses is in range: the first point's latitude,
/// longitude (±360), height and year, and for kinds 1 to 4 the profile's second latitude,
/// longitude, height or year. Out-of-range values that the checks above clamp are clamped.
/// 0 for a kind outside 0 … 4 and for a null pointer.
QOR1_EXPORT int ValidateIGRFProfile(IGRFPROFILE* input);
