// The prism sums of the block model in single-precision vectors, compiled once for each
// instruction set Highway targets and chosen at run time for the processor.
#include "analysis/PrismSums.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "analysis/PrismSums.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
// foreach_target re-includes this file once per instruction set.
#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace tessmor_prism {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

/// θ(z, x) of each lane: arctan(z / x) for x > 0, π − arctan(z / |x|) otherwise (radians).
template <class D, class V>
HWY_INLINE V Angle(D d, V z, V x) {
  const V a = hn::Atan(d, hn::Div(z, hn::Abs(x)));
  const V pi = hn::Set(d, 3.14159265358979323846f);
  return hn::IfThenElse(hn::Gt(x, hn::Zero(d)), a, hn::Sub(pi, a));
}

/// The slant distance sqrt(x² + z²) of each lane, km, rounded as the scalar code rounds it.
template <class D, class V>
HWY_INLINE V Slant(D d, V x, V z) {
  return hn::Sqrt(hn::Add(hn::Mul(x, x), hn::Mul(z, z)));
}

template <bool kGranite>
float SumRow(const PrismRow& row, int begin, int end) {
  const hn::ScalableTag<float> d;
  using V = hn::Vec<decltype(d)>;
  const int lanes = static_cast<int>(hn::Lanes(d));
  const V w = hn::Set(d, row.width);
  const V z0 = hn::Set(d, row.z0);
  const V zero = hn::Zero(d);
  V sum = zero;
  for (int j = begin; j < end; j += lanes) {
    const V t = hn::LoadU(d, row.t + j);
    const auto thick = hn::Ne(t, zero);
    // A prism of no thickness has two equal faces and adds exactly 0.
    if (hn::AllFalse(d, thick)) continue;
    const V x2 = hn::LoadU(d, row.far_face + j);
    const V x1 = hn::Sub(x2, w);
    // The free face: the top of a granite prism, the floor of a basin prism.
    const V z = kGranite ? hn::Sub(z0, t) : hn::Add(z0, t);
    const V free_near = Slant(d, x1, z);
    const V free_far = Slant(d, x2, z);
    const V free_angles = hn::Mul(z, hn::Sub(Angle(d, z, x1), Angle(d, z, x2)));
    const V fixed_near = hn::LoadU(d, row.boundary_near + j);
    const V fixed_far = hn::LoadU(d, row.boundary_far + j);
    const V fixed_angles = hn::LoadU(d, row.boundary_angles + j);
    // F = x2 ln((r1 r4) / (r2 r3)) + w ln(r3 / r1) + bottom angles − top angles, with r1, r2
    // the top face's corners and r3, r4 the bottom face's.
    V ratio, near_ratio, angles;
    if (kGranite) {
      ratio = hn::Div(hn::Mul(free_near, fixed_far), hn::Mul(free_far, fixed_near));
      near_ratio = hn::Div(fixed_near, free_near);
      angles = hn::Sub(fixed_angles, free_angles);
    } else {
      ratio = hn::Div(hn::Mul(fixed_near, free_far), hn::Mul(fixed_far, free_near));
      near_ratio = hn::Div(free_near, fixed_near);
      angles = hn::Sub(free_angles, fixed_angles);
    }
    const V f = hn::Add(hn::Add(hn::Mul(x2, hn::Log(d, ratio)), hn::Mul(w, hn::Log(d, near_ratio))),
                        angles);
    sum = hn::Add(sum, hn::IfThenElseZero(thick, f));
  }
  return hn::GetLane(hn::SumOfLanes(d, sum));
}

float SumPrismFactorsImpl(const PrismRow& row, int begin, int end) {
  return row.granite ? SumRow<true>(row, begin, end) : SumRow<false>(row, begin, end);
}

const char* TargetNameImpl() { return hwy::TargetName(HWY_TARGET); }

}  // namespace HWY_NAMESPACE
}  // namespace tessmor_prism
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace tessmor_prism {
HWY_EXPORT(SumPrismFactorsImpl);
HWY_EXPORT(TargetNameImpl);
}  // namespace tessmor_prism

float SumPrismFactors(const PrismRow& row, int begin, int end) {
  return HWY_DYNAMIC_DISPATCH(tessmor_prism::SumPrismFactorsImpl)(row, begin, end);
}

const char* PrismSumsTarget() { return HWY_DYNAMIC_DISPATCH(tessmor_prism::TargetNameImpl)(); }
#endif  // HWY_ONCE
