#pragma once

// The analyses checked against bodies whose field is known in closed form.

#include <string>
#include <vector>

/// One check of the self-test: what was computed, against what, the largest error found and
/// the tolerance it must stay within (both in `unit`).
struct SelfTestCase {
  std::string name;
  /// Where the expected values come from.
  std::string source;
  double error = 0.0;
  double tolerance = 0.0;
  std::string unit;
  bool Passed() const { return error <= tolerance; }
};

/// Runs every check: the upward continuation of a buried line mass, the prism factor against
/// the polygon line integral, the inversion of a modelled basin and granite, and the second
/// derivative of a parabola and a line. Takes well under a second.
std::vector<SelfTestCase> RunSelfTest();

/// The report of `cases`, one block per case and a last line "N of M checks passed".
std::string FormatSelfTest(const std::vector<SelfTestCase>& cases);

/// The vertical attraction factor (km) of a polygon of infinite strike length seen from the
/// origin: ∮ z dθ round its vertices (x, z in km, z positive down, the polygon wholly below
/// the station), so that the anomaly is this × ρ (g/cm³) × 13.34 mGal. The factor of each
/// straight edge is p·sin α·(θ2 − θ1) + p·cos α·ln(r2 / r1), with (p cos α, p sin α) the foot
/// of the perpendicular from the station to the edge's line.
double PolygonFactor(const std::vector<double>& xs, const std::vector<double>& zs);
