#pragma once

// The two-dimensional rectangular prism of the block model.

#include <vector>

#include "analysis/Arithmetic.h"
#include "analysis/Series.h"

/// 2G in milligal per (g/cm³ · km): the anomaly of a prism is PrismFactor × ρ × this.
inline constexpr float kTwoG = 13.34f;
/// Anomaly of an infinite slab per kilometre of thickness and g/cm³ of density contrast, mGal.
inline constexpr float kSlabFactor = 41.88f;

/// The geometric factor F (km) of an infinitely long horizontal prism of width w, seen from a
/// station at the surface: x1 and x2 are the horizontal distances (km) from the station to
/// the near and far vertical faces (x2 = x1 + w > 0; x1 ≤ 0 when the station lies above the
/// prism), top and bottom the depths (km) of its faces, positive downwards. The prism's
/// anomaly is F × ρ × kTwoG mGal for a density contrast ρ in g/cm³. Single precision.
float PrismFactor(float x1, float x2, float w, float top, float bottom);

/// How the block model's sweeps went, one entry per sweep in order: the root-mean-square of
/// the residuals the sweep computed (mGal) and the largest change of a prism's thickness the
/// sweep made (km; the last sweep changes none). Reading them changes nothing in the model.
struct BlockDiagnostics {
  std::vector<double> rms_mgal;
  std::vector<double> max_change_km;
};

/// Fits one prism per sample of `series` (density contrast in kg/m³, boundary depth in km,
/// model type 1 granite or -1 basin) by ten sweeps of the slab correction; `results` receives
/// one record per sample, and stays empty without samples, with a spacing that is not
/// positive or a density contrast that no thickness turns into an anomaly. `arithmetic`
/// chooses the scalar reference or the vectorised prism sums; `diagnostics`, when given,
/// receives the misfit and the largest thickness change of every sweep.
void InvertBlockModel(const ResidualSeries& series, BlockResultArray& results, float density,
                      float depth_km, int model_type, Arithmetic arithmetic = Arithmetic::kVector,
                      BlockDiagnostics* diagnostics = nullptr);
