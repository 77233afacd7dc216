#pragma once

// Resampling of unequally spaced points at a constant spacing.

#include <vector>

#include "analysis/Series.h"

/// Resamples the measured points at `sample_count` positions `spacing` metres apart, the
/// first a third of a spacing past the first point, by interpolation `method` (the numerical
/// library's codes). Returns 0 with `samples` refilled; 1 with `samples` untouched for fewer
/// than 5 samples or 4 points, or when the library fails (after showing why).
int ResamplePoints(const PointArray& measured, int sample_count, int spacing, int method,
                   std::vector<float>& samples);
