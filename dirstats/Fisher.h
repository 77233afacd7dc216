#pragma once

// Fisher statistics of the directional statistics library: the mean of a set of directions,
// the estimate of the precision k, the semi-angle of the cone of confidence about the mean
// (alpha95 and other levels) and the standard error of the mean direction. Angles are in
// degrees unless a caller asks for radians; degrees and radians are converted with the
// utility library's pi (Rad, Deg).

#include <cstdint>

#include "dirstats/QorpelvarExport.h"
#include "util/NumberFormat.h"  // PMVECTOR

/// Choice of the estimate of k in a FISHERMEAN.
enum FisherKMethod : std::uint8_t {
  kFisherKAutomatic = 0,  ///< the table below r = 0.95, a formula above
  kFisherKTable = 1,      ///< always the precision table
  kFisherKFormula = 2,    ///< always (N - 1) / (N - R)
};

#pragma pack(push, 1)
/// A Fisher mean (32 bytes).
struct FISHERMEAN {
  float dec;                 ///< mean declination, degrees, 0 ≤ dec < 360
  float inc;                 ///< mean inclination, degrees
  float k;                   ///< estimate of the precision
  float R;                   ///< length of the resultant of the unit vectors
  float alpha;               ///< semi-angle of the cone of confidence, degrees
  float stderr;              ///< standard error of the mean direction, radians
  std::uint32_t N;           ///< number of directions
  std::uint8_t kMethod;      ///< a FisherKMethod
  std::uint8_t reserved[3];  ///< zero
};

/// The working record of the cone computation (16 bytes).
struct FISHERCONE {
  float k;
  float R;
  float alpha;  ///< the result, degrees
  std::uint32_t N;
};
#pragma pack(pop)
static_assert(sizeof(FISHERMEAN) == 32, "FISHERMEAN is a 32-byte record");
static_assert(sizeof(FISHERCONE) == 16, "FISHERCONE is a 16-byte record");

/// The Fisher mean of `count` directions (declination and inclination of each PMVECTOR, in
/// degrees, or radians when `in_radians` is set; the intensity is not used).
///
/// Fills the record's dec (0 ≤ dec < 360, or < 2 pi in radians), inc, R and N. With
/// `with_stderr`, also stderr = sqrt((1 - S / N) / ((R / N)^2 N)), S the sum of the squared
/// cosines between each direction and the mean, held at pi at most. With `with_stats`, also
/// k = GetFisherK(record) and the cone for `confidence` (tenths of a percent, 950 for 95 %)
/// through CalculateFisherAlpha95: from the small-k table when kMethod is 1, or when it is 0
/// and R (not R / N) is below 0.95; from the formula otherwise. kMethod is read from the
/// record; alpha keeps its value when the cone cannot be computed.
///
/// Directions that cancel (R = 0) have no mean: dec and inc are 0 and stderr is pi.
/// Returns `count`; 0, with the record cleared (kMethod kept), when `count` is 0 or a
/// pointer is null.
QORPELVAR_EXPORT unsigned FisherMean(const PMVECTOR* directions, unsigned count, FISHERMEAN* mean,
                                     short confidence, int with_stderr, int with_stats,
                                     int in_radians);

/// CalcFisherK(mean->N, mean->R, mean->kMethod); 0 for a null pointer.
QORPELVAR_EXPORT long double GetFisherK(const FISHERMEAN* mean);

/// The estimate of the precision k of `n` directions of resultant length `r_length`, with
/// r = R / N in single precision:
/// - kMethod 2: (N - 1) / (N - R);
/// - kMethod 1, or r < 0.95: k with coth k - 1/k = r, by cubic-spline interpolation of the
///   precision table in the band that holds r;
/// - otherwise: (1 - 1/N)^2 N / (N - R) for N < 16, (N - 1) / (N - R) from 16 up.
/// Fewer than two directions give 0 (no estimate of a spread); N - R = 0 (all directions
/// the same, to single precision) gives infinity wherever a formula would divide by it; a
/// negative R counts as 0, an R that is not finite gives NaN.
QORPELVAR_EXPORT long double CalcFisherK(unsigned n, float r_length, std::uint8_t k_method);

/// Copies k, R and N of `*mean` into a FISHERCONE, runs CalculateFisherConfCone and, when
/// it succeeds, copies the cone's alpha into mean->alpha. Returns the cone's result (0 for
/// a null pointer).
QORPELVAR_EXPORT int CalculateFisherAlpha95(FISHERMEAN* mean, short confidence, int force_formula);

/// The semi-angle (degrees) of the cone of confidence `confidence` (tenths of a percent)
/// about the mean of N directions with resultant R and precision estimate k, into
/// cone->alpha. With p = (100 - confidence × 0.1) × 0.01:
/// - when `force_formula` is 0 and k < 5: only 950 and 990 are served. With g the small-k
///   critical mean resultant length for (N, k, confidence) (SmallKCriticalValue), alpha =
///   arccos(R / (g N)), or 0 when R / (g N) ≥ 1;
/// - otherwise alpha = arccos(1 - ((1/p)^(1/(N - 1)) - 1) (N - R) / R), 180 when the cosine
///   falls below -1 (R = 0 among them: the mean direction is unknown), 0 above 1.
/// Returns 1 with alpha set; 0 with alpha untouched when N < 2, the confidence lies outside
/// 1 … 999 (or is not 950 or 990 on the small-k path), g ≤ 0, or k or R is not finite.
QORPELVAR_EXPORT int CalculateFisherConfCone(FISHERCONE* cone, short confidence, int force_formula);

/// The critical mean resultant length of N directions of precision k for confidence 950 or
/// 990 (tenths of a percent): the row of N (InterpolCritProbVals), interpolated at k by a
/// polynomial of order four through five neighbouring columns. 0 for N ≤ 3, k outside
/// 0 … 5, another confidence, or a failed interpolation.
QORPELVAR_EXPORT double SmallKCriticalValue(unsigned n, double k, short confidence);

/// Fills `row` with the 11 critical values (k = 0, 0.5 … 5) of `table` for N directions: the
/// table's row for N ≤ 10; up to 100000, linear interpolation in 1/sqrt(N) between the
/// neighbouring tabulated sample sizes; beyond, the last row moved towards its limit, the
/// mean resultant length coth k - 1/k of the distribution, as 1/sqrt(N). Returns 1, or 0
/// (row untouched) for N ≤ 3 or a null pointer.
QORPELVAR_EXPORT int InterpolCritProbVals(unsigned n, const double (*table)[11], double* row);

/// The length sqrt(x^2 + y^2 + z^2) of the vector `v` (three doubles), without overflow for
/// large components; 0 for a null pointer.
QORPELVAR_EXPORT long double FisherRValue(const double* v);
