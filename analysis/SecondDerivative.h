#pragma once

// The second derivative of the residual anomaly: the Savitzky–Golay filter and its window for
// a series of n samples, and the three-point second difference.

#include <cstddef>
#include <vector>

#include "analysis/Series.h"

/// Points on each side of the filter window: 5 for more than 32 samples, else 4.
int DerivativeHalfWindow(int n);
/// The transform length: the smallest of 8, 16, …, 512 greater than n; for a series of 512
/// samples or more, the smallest power of two greater than n, so the series always fits.
int DerivativeTransformLength(int n);
/// Samples of the end values placed before the series in the transform window:
/// ⌈(N − n) / 2⌉ with N the transform length.
int DerivativePad(int n);

/// The Savitzky–Golay second derivative of `series`, one value per sample in mGal per squared
/// sample interval; empty when there are fewer than 8 samples.
std::vector<float> SecondDerivative(const ResidualSeries& series);
/// out[i] = u(i+1) + u(i-1) - 2 u(i) for i = 1 … size-2 of `series`; writes nothing else and
/// never past `out_size` values.
void SecondDifference(float* out, std::size_t out_size, const PointArray& series);
