#pragma once

// The window of the Savitzky–Golay second derivative for a series of n samples.

/// Points on each side of the filter window: 5 for more than 32 samples, else 4.
int DerivativeHalfWindow(int n);
/// The transform length: the smallest of 8, 16, …, 512 greater than n; for a series of 512
/// samples or more, the smallest power of two greater than n, so the series always fits.
int DerivativeTransformLength(int n);
/// Samples of the end values placed before the series in the transform window:
/// ⌈(N − n) / 2⌉ with N the transform length.
int DerivativePad(int n);
