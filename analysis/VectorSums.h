#pragma once

// Sums of products in single-precision vectors of the widest kind the processor runs.

/// Σ a[k] · b[k] for k = 0 … count − 1, in single precision, added lane by lane and then
/// across the lanes (so rounded differently from a sum taken in order, by float rounding).
float DotProduct(const float* a, const float* b, int count);
