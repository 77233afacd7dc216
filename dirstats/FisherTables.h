#pragma once

// The tables of the Fisher statistics. Their values are written into FisherTables.cpp by
// tools/fisher_tables (its README gives the mathematics and how the values were checked).

#include "dirstats/QorpelvarExport.h"

/// One band of the precision table: `count` equally spaced, rising mean resultant lengths r
/// and the precision k that solves coth k - 1/k = r, rounded to three decimals below
/// k = 10 and to four significant figures above.
struct PrecisionBand {
  int count;
  const float* r;
  const float* k;
};

/// Number of bands of the precision table: r up to 0.01, 0.34, 0.90, 0.99 and above.
inline constexpr int kPrecisionBands = 5;
QORPELVAR_EXPORT extern const PrecisionBand kPrecisionTable[kPrecisionBands];

/// Rows (sample sizes) and columns (precisions) of the small-k critical values.
inline constexpr int kCriticalRows = 15;
inline constexpr int kCriticalColumns = 11;
/// The sample size N of each row: 4 … 10, 12, 16, 20, 30, 40, 60, 100, 100000.
QORPELVAR_EXPORT extern const unsigned kCriticalN[kCriticalRows];
/// The precision k of each column: 0, 0.5 … 5.
QORPELVAR_EXPORT extern const double kCriticalK[kCriticalColumns];
/// The critical mean resultant length g for 95 % and 99 %: N directions drawn from a Fisher
/// distribution of precision k have a mean resultant length R / N at or below g with
/// probability 0.95 (0.99).
QORPELVAR_EXPORT extern const double kCritical95[kCriticalRows][kCriticalColumns];
QORPELVAR_EXPORT extern const double kCritical99[kCriticalRows][kCriticalColumns];
