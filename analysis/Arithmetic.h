#pragma once

/// How an analysis works out its long sums. The scalar arithmetic is the reference; the vector
/// arithmetic takes the widest single-precision vectors the processor offers (chosen at run
/// time) and, where it pays, both of its cores, and agrees with the reference within float
/// rounding.
enum class Arithmetic { kScalar, kVector };
