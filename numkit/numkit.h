#pragma once

// numkit: the numerical library of the program and of the statistics library. Vectors are
// single precision and addressed from their lower bound (1 in every caller); the functions
// have C linkage so that they are imported by their plain names.

#include "numkit/NumkitExport.h"

extern "C" {

/// A zero-filled single-precision vector addressable at v[nl] … v[nh] and, whatever the bounds,
/// also at v[0] (a caller clears and reads index 0 of a vector made with (1, N)). nh = nl − 1
/// gives an empty vector. Returns null when nh < nl − 1 or the storage cannot be had.
NUMKIT_EXPORT float* vector(long nl, long nh);

/// Releases a vector made by vector(nl, nh) with the same bounds. A null vector is ignored.
NUMKIT_EXPORT void free_vector(float* v, long nl, long nh);

/// Fills c[1 … np] with the Savitzky–Golay filter that returns the coefficient a_ld of the
/// polynomial of order m fitted by least squares to the nl points left of a sample, the sample
/// and the nr points right of it: a_ld = Σ_k coef(k) · y[i + k], k = −nl … nr. The factor ld! of
/// the derivative is NOT applied (for y = x² and ld = 2 the filter gives 1), nor any spacing.
/// Storage is wrap-around, as convlv takes a response: c[1] = coef(0), c[1 + j] = coef(−j) for
/// the points to the left, c[np + 1 − j] = coef(+j) for the points to the right; entries in
/// between are zero. Invalid arguments (null c, nl or nr negative, np < nl + nr + 1, ld < 0,
/// ld > m, m > nl + nr) leave c untouched.
NUMKIT_EXPORT void savgol(float* c, int np, int nl, int nr, int ld, int m);

/// Circular convolution by FFT: with isign = 1, ans[i] = Σ_k r(k) · data[i − k] (indices taken
/// modulo n) for i = 1 … n, where the response r is respns[1 … m] in wrap-around order: its first
/// (m + 1) / 2 entries are the lags 0, 1, 2, …, the rest the lags −(m − (m + 1) / 2) … −1. With
/// isign = −1, ans[1 … n] is the deconvolution: the data with that response divided out. Any n ≥ 1
/// is served (a power of two is not required); only ans[1 … n] is written although callers
/// provide 2n entries. The call leaves ans untouched when it cannot be served: null vectors,
/// n = 0 or beyond the int range, m = 0, m > n, isign not ±1, or (deconvolution) a response whose
/// transform vanishes at some frequency.
NUMKIT_EXPORT void convlv(float* data, unsigned long n, float* respns, unsigned long m, int isign,
                          float* ans);

/// Interpolates the table xa[1 … n], ya[1 … n] (xa strictly increasing) at xi[1 … m] into
/// yi[1 … m]. Methods: 1 natural cubic spline (zero second derivative at both ends, continued
/// beyond the table as the straight line with the spline's end slope); 2 diagonal rational
/// function and 3 polynomial of order four, both through the five table points xa[j − 2 …
/// j + 2], where xa[j] ≤ x < xa[j + 1] (the window is shifted to stay inside the table; with
/// n < 5 all n points are used); 4 linear between neighbouring points, continued beyond the
/// table along the end segment. work is not used and may be null. Arithmetic is in double.
/// Returns 0 on success, else one code, yi then being left untouched:
///   21 invalid call: xa or ya null, n < 1, m < 0, xi or yi null with m > 0, unknown method,
///      or memory exhausted;
///   23 two table abscissae coincide (tested before anything the method needs);
///   22 table or abscissae the method cannot use: n < 2, a non-finite xa or xi value, xa not
///      increasing;
///   24 a non-finite table value ya, or an interpolated value that is not a finite single;
///   20 the rational function has a pole between the table neighbours of an abscissa (or
///      beyond the table, between the abscissa and the table) whose term c / (x − pole) at the
///      abscissa exceeds a tenth of the range of the window's values: the value is spoilt by it.
NUMKIT_EXPORT int DoInterpolation(float* xa, float* ya, int n, float* xi, int m, float* yi,
                                  float* work, int method);
}
