#pragma once

// The sums over the prism row that the vector arithmetic of the block model works out.

/// Every range of prisms handed to SumPrismFactors starts and ends at a multiple of this many
/// prisms (the lanes of the widest vector the program is built for, or a multiple of it), and
/// the arrays of a PrismRow hold whole blocks.
inline constexpr int kPrismBlock = 16;

/// One station's view of the row of prisms, for the vector sums. The arrays are indexed by
/// prism; prisms past the last one are padding with thickness 0.
struct PrismRow {
  /// Horizontal distance from the station to each prism's far vertical face, km (the
  /// distance between their centres plus half the width); the near face is a width closer.
  const float* far_face = nullptr;
  /// Thickness of each prism, km (a negative one turns its free face past the boundary); 0 for
  /// a prism that adds nothing.
  const float* t = nullptr;
  /// The face at the boundary depth as this station sees prism j: the slant distances (km)
  /// to its near and far corners and z0 (θ(z0, x1) − θ(z0, x2)) (km), at index j.
  const float* boundary_near = nullptr;
  const float* boundary_far = nullptr;
  const float* boundary_angles = nullptr;
  /// The prism width (km) and the boundary depth (km).
  float width = 0.0f;
  float z0 = 0.0f;
  /// Prisms stand up on the boundary (granite) or hang down from it (basin).
  bool granite = false;
};

/// The sum of the prism factors (km, as PrismFactor gives them) of the prisms begin … end − 1
/// with a thickness, seen from the row's station, in single-precision vectors of the widest
/// kind the processor runs. begin and end are multiples of kPrismBlock.
float SumPrismFactors(const PrismRow& row, int begin, int end);

/// The instruction set SumPrismFactors runs on this processor ("AVX2", "AVX3", ...).
const char* PrismSumsTarget();
