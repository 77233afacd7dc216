// Dot products in single-precision vectors, compiled once for each instruction set Highway
// targets and chosen at run time for the processor.
#include "analysis/VectorSums.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "analysis/VectorSums.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
// foreach_target re-includes this file once per instruction set.
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace tessmor_sums {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

float DotProductImpl(const float* a, const float* b, int count) {
  const hn::ScalableTag<float> d;
  const int lanes = static_cast<int>(hn::Lanes(d));
  // Two accumulators let consecutive multiply-adds overlap.
  auto sum0 = hn::Zero(d);
  auto sum1 = hn::Zero(d);
  int k = 0;
  for (; k + 2 * lanes <= count; k += 2 * lanes) {
    sum0 = hn::Add(sum0, hn::Mul(hn::LoadU(d, a + k), hn::LoadU(d, b + k)));
    sum1 = hn::Add(sum1, hn::Mul(hn::LoadU(d, a + k + lanes), hn::LoadU(d, b + k + lanes)));
  }
  for (; k + lanes <= count; k += lanes) {
    sum0 = hn::Add(sum0, hn::Mul(hn::LoadU(d, a + k), hn::LoadU(d, b + k)));
  }
  float sum = hn::GetLane(hn::SumOfLanes(d, hn::Add(sum0, sum1)));
  for (; k < count; ++k) sum += a[k] * b[k];
  return sum;
}

}  // namespace HWY_NAMESPACE
}  // namespace tessmor_sums
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace tessmor_sums {
HWY_EXPORT(DotProductImpl);
}  // namespace tessmor_sums

float DotProduct(const float* a, const float* b, int count) {
  return HWY_DYNAMIC_DISPATCH(tessmor_sums::DotProductImpl)(a, b, count);
}
#endif  // HWY_ONCE
