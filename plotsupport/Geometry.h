#pragma once

// Compass-bearing geometry of the plot support library. A bearing is in degrees, clockwise
// from the positive y direction (0 = up, 90 = along +x), within [0, 360]. Points are in the
// caller's logical units.

#include <cstdint>

#include "platform/gdi/GdiTypes.h"
#include "plotsupport/Vexadl1Export.h"
#include "util/Directions.h"  // DECINC

/// What FindBearingOfLine gives for a line of no length.
inline constexpr float kNoBearing = -1000.0f;

/// The signed turn in degrees from bearing `a` to bearing `b`, the shorter way round:
/// positive clockwise (350 -> 10 is 20, 10 -> 350 is -20, 0 -> 180 is 180 and 180 -> 0 is
/// -180). For bearings within [0, 360] the turn lies within [-180, 180]. Either argument NaN
/// gives NaN.
VEXADL1_EXPORT float FindAngleBetween(float a, float b);

/// Sets `out` to the point `distance` logical units from `*from` along `bearing` (degrees),
/// each offset rounded to the nearest unit (bearing 90 moves along +x, bearing 0 along +y).
/// Coordinates beyond the 32-bit range stop at its ends; a NaN offset counts as 0. With a null
/// `from`, `out` is left alone.
VEXADL1_EXPORT void NewPointOffset(float bearing, tessmor::POINT& out, const tessmor::POINT* from,
                                   float distance);

/// The bearing in degrees of the line from `*from` to `*to`, within [0, 360]; kNoBearing
/// (-1000) when the two points are the same or either is null.
VEXADL1_EXPORT float FindBearingOfLine(const tessmor::POINT* from, const tessmor::POINT* to);

/// Turns a compass bearing into a counter-clockwise angle from the +x direction, and such an
/// angle back into a bearing (degrees): 0 -> 90, 90 -> 0, 180 -> 270. The result lies in
/// [0, 360]; NaN and infinities give NaN.
VEXADL1_EXPORT float ChangeAngleConvention(float angle);

/// Brings the declination into [0, 360] by whole turns (above 360 loses turns until at most
/// 360, below 0 gains turns until at least 0) and clamps the inclination to [-90, 90]. So
/// (-30, 95) becomes (330, 90). A declination that is not finite becomes NaN; a NaN
/// inclination stays NaN. A null record is left alone.
VEXADL1_EXPORT void SetSensibleDI(DECINC* record);
