#pragma once

// Upward continuation of the residual anomaly by the discrete two-dimensional Poisson integral.

#include "analysis/Arithmetic.h"
#include "analysis/Series.h"

/// Continues `series` upward by `height_km`: `result` receives one point per sample (its
/// distance, the continued anomaly with the background added back). The series is reflected
/// five samples beyond each end and its mean removed for the convolution. False, with
/// `result` empty, for fewer than 6 samples or a height that is not positive. `arithmetic`
/// chooses the scalar reference or the vectorised convolution.
bool ContinueUpward(const ResidualSeries& series, PointArray& result, float height_km,
                    Arithmetic arithmetic = Arithmetic::kVector);

/// The continuation with the ends controlled: the series is carried on beyond each end, for
/// twenty heights, by its end value and end slope, the slope dying away over one height; the
/// field further out is weighed in at the level it tends to, and the kernel weighs 1 in all,
/// so that a constant field continues to itself. Double precision. Same result form and
/// limits as ContinueUpward (also false for a spacing that is not positive).
bool ContinueUpwardWithEdgeControl(const ResidualSeries& series, PointArray& result,
                                   float height_km);
