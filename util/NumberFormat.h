#pragma once

// Number formatting, rounding and comparison of the utility library: fixed-decimal text,
// rounding to integers, equality to a number of significant digits, angle conversion and
// sorting of single-precision arrays. Every function is free of state.

#include <cstddef>
#include <string>

#include "util/Qor1Export.h"

/// One direction with intensity (16 bytes): the magnetisation intensity (1.0 when only a
/// direction is known) and the declination and inclination in degrees (radians where a
/// caller says so).
struct PMVECTOR {
  double intensity;
  float dec;
  float inc;
};
static_assert(sizeof(PMVECTOR) == 16, "PMVECTOR is a 16-byte record");

/// The largest number of decimals the fixed-decimal functions write; beyond it no double
/// has a digit that is not zero, and a request for more is refused.
inline constexpr int kMaxFixedDecimals = 340;

/// Writes `*value` with `*decimals` decimals into `out` (see ftoadS); the value is widened
/// to double first. Returns minus the length of the text, or 0 when refused.
QOR1_EXPORT int ftoa(const float* value, char* out, const int* decimals, std::size_t out_size);

/// Writes `*value` with `*decimals` decimals into `out` (see ftoadS). Returns minus the
/// length of the text, or 0 when refused.
QOR1_EXPORT int ftoad(const double* value, char* out, const int* decimals, std::size_t out_size);

/// Writes `value` as fixed-decimal text into `out`, whose size (terminator included) is
/// `out_size`: a sign character (a space when the value is not negative, "-" when it is),
/// the integer digits (at least "0"), a point and exactly `decimals` decimals, no point
/// when `decimals` is 0. Halves round away from zero; a result that rounds to zero is
/// written without a sign character ("0.000", and "0" with no decimals).
///
/// The digits are those of the rounded value to 15 significant digits (what a double holds
/// reliably), so 1.005 with 2 decimals gives " 1.01" and 1e30 gives all 31 integer digits.
/// Negative `decimals` count as 0; more than kMaxFixedDecimals are refused. NaN is written
/// " nan", infinities " inf" and "-inf".
///
/// Returns minus the length of the text. Returns 0 and writes an empty string (when
/// `out_size` > 0) when `out` is null, the request is refused or the text and its
/// terminator do not fit.
QOR1_EXPORT int ftoadS(double value, char* out, int decimals, std::size_t out_size);

/// The text ftoadS writes for `value` and `decimals`, never truncated; empty when the
/// request is refused.
QOR1_EXPORT std::string FormatFixed(double value, int decimals);

/// The nearest integer, halves upward: floor(x + 0.5) (2.5 -> 3, -2.5 -> -2). Values
/// beyond the 32-bit range give INT_MIN or INT_MAX; NaN gives 0.
QOR1_EXPORT int nintd(double x);
/// As nintd, for a single-precision value (the sum x + 0.5 is formed in double precision).
QOR1_EXPORT int nintf(float x);
/// The integer away from zero: floor(x) below zero, ceil(x) otherwise (-1.2 -> -2,
/// 1.2 -> 2). Values beyond the 32-bit range give INT_MIN or INT_MAX; NaN gives 0.
QOR1_EXPORT int RoundUp(double x);

/// 1 when `a` and `b` agree to 6 significant digits (same sign, decimal exponent and
/// 6-digit mantissa), else 0. Zeros of either sign are the same; NaN equals nothing.
QOR1_EXPORT int AreSamef(float a, float b);
/// 1 when `a` and `b` agree to 10 significant digits, else 0; as AreSamef otherwise.
QOR1_EXPORT int AreSamed(double a, double b);
/// 1 when `x` has a fractional part worth showing: the fraction f of |x| lies within
/// [0.0001, 0.998] and x is not floor(x) to 10 significant digits; else 0.
QOR1_EXPORT int AreDecimalPlaces(float x);
/// 1 when `x` is exactly +0.0 (bitwise); -0.0 and every other value give 0.
QOR1_EXPORT int IsZero(float x);
/// 1 when `x` is exactly +0.0 (bitwise); -0.0 and every other value give 0.
QOR1_EXPORT int IsZerol(double x);

/// Degrees to radians with the library's pi, 3.141592654.
QOR1_EXPORT double Rad(double deg);
/// Radians to degrees with the library's pi, 3.141592654.
QOR1_EXPORT double Deg(double rad);

/// Sorts `count` values in place: ascending when `order` is 200, descending otherwise.
/// Equal values keep no particular order; NaNs go to the end in either order. Nothing
/// happens for a null pointer or fewer than two values.
QOR1_EXPORT void SortFloatArray(float* values, int count, unsigned char order);

/// Rounds the declination and inclination of `*v` to `decimals` decimals (halves away from
/// zero for the inclination, upward for the declination), in single precision, and brings
/// a declination above 360 back into (0, 360] (exactly 360 stays). The intensity is not
/// touched. Decimals are taken within [-38, 38]; a value too large to carry the asked
/// decimals in single precision, and a value that is not finite, stays as it is.
QOR1_EXPORT void RoundVec(PMVECTOR* v, int decimals);
