#pragma once

// Normal gravity of the utility library: the international gravity formula.

#include "util/Qor1Export.h"
#include "util/Sites.h"

/// The normal gravity at the latitude `*latitude`, in milligal, from the 1967 international
/// gravity formula in one of its two usual forms. With `formula` non-zero, the series
/// 978031.846 (1 + 0.005278895 sin^2 phi + 0.000023462 sin^4 phi); with it zero, the form of
/// the 1930 formula: 978031.8 (1 + 0.0053024 sin^2 phi - 0.0000059 sin^2 2phi).
/// phi is SetLongLatitude(latitude) converted with pi = 3.141592654; the arithmetic is in
/// double precision. 0 for a null pointer.
QOR1_EXPORT double CalculateIGF(const DEGMINSEC* latitude, int formula);
