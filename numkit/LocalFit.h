#pragma once

// Interpolating functions through a handful of table points (at most five), used around each
// abscissa by the polynomial and rational methods of DoInterpolation. Internal to numkit.

#include <optional>

namespace numkit {

/// The most table points a local fit uses.
inline constexpr int kLocalPoints = 5;

/// Value at t of the polynomial of degree count − 1 through (x[k], y[k]), k = 0 … count − 1
/// (distinct x, 1 ≤ count ≤ kLocalPoints), by Neville's scheme.
double PolynomialThrough(const double* x, const double* y, int count, double t);

/// Value at t of the diagonal rational function P/Q through (x[k], y[k]), k = 0 … count − 1
/// (x increasing, 2 ≤ count ≤ kLocalPoints): deg P = (count − 1) / 2 and deg Q = count − 1 − deg P,
/// reduced to lower degrees when the points lie on a rational function of lower degrees. Empty
/// when a pole between `from` and `to` (the stretch of abscissae that holds t and its table
/// neighbours) spoils the value: its term c / (t − r) exceeds a tenth of the range of the y[k].
std::optional<double> RationalThrough(const double* x, const double* y, int count, double t,
                                      double from, double to);

}  // namespace numkit
