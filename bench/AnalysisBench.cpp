// Timings of the profile analysis on equally spaced profiles built in memory: upward
// continuation, second derivative and block-model inversion at 64, 511 and 5,000 samples.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "profile/TessmorDoc.h"

namespace {

/// An equally spaced profile of n samples 500 m apart over a sedimentary basin: a broad
/// negative anomaly (−25 mGal at its centre) with a gentle regional rise and a ripple. Beyond
/// the basin the anomaly turns positive, where the basin model keeps no thickness.
std::unique_ptr<CTessmorDoc> BasinProfile(int n) {
  auto doc = std::make_unique<CTessmorDoc>();
  const double centre = n * 0.5;
  const double width = n * 0.15;
  for (int i = 0; i < n; ++i) {
    const double u = (i - centre) / width;
    const double anomaly = -25.0 * std::exp(-u * u) + 0.01 * i + 0.3 * std::sin(i * 0.7);
    doc->AddPoint({500 * i, anomaly});
  }
  doc->m_bEquallySpaced = 1;
  return doc;
}

/// As BasinProfile, but negative everywhere: every prism keeps a thickness (the inversion's
/// slowest case).
std::unique_ptr<CTessmorDoc> WideBasinProfile(int n) {
  auto doc = std::make_unique<CTessmorDoc>();
  const double centre = n * 0.5;
  const double width = n * 0.3;
  for (int i = 0; i < n; ++i) {
    const double u = (i - centre) / width;
    doc->AddPoint({500 * i, -4.0 - 25.0 * std::exp(-u * u) + 0.3 * std::sin(i * 0.7)});
  }
  doc->m_bEquallySpaced = 1;
  return doc;
}

// Arguments: samples, arithmetic (0 scalar, 1 vector), the two side by side.
void BM_UpwardContinuation(benchmark::State& state) {
  const auto doc = BasinProfile(static_cast<int>(state.range(0)));
  const Arithmetic arithmetic = state.range(1) == 0 ? Arithmetic::kScalar : Arithmetic::kVector;
  PointArray result;
  for (auto _ : state) {
    doc->ComputeUpwardContinuation(result, 2.0f, arithmetic);
    benchmark::DoNotOptimize(result.data());
  }
  state.SetLabel(arithmetic == Arithmetic::kScalar ? "scalar" : "vector");
}
BENCHMARK(BM_UpwardContinuation)
    ->ArgsProduct({{64, 511, 5000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

void BM_SecondDerivative(benchmark::State& state) {
  const auto doc = BasinProfile(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::vector<float> d = doc->ComputeSecondDerivative();
    benchmark::DoNotOptimize(d.data());
  }
}
BENCHMARK(BM_SecondDerivative)->Arg(64)->Arg(511)->Arg(5000)->Unit(benchmark::kMillisecond);

/// The arithmetic of a block-model benchmark: its second argument, 0 scalar, 1 vector.
Arithmetic ArithmeticOf(const benchmark::State& state) {
  return state.range(1) == 0 ? Arithmetic::kScalar : Arithmetic::kVector;
}

/// The inversion of `doc` with one arithmetic; the label says which.
void RunBlockModel(benchmark::State& state, CTessmorDoc& doc, float density, float depth_km,
                   int model_type) {
  const Arithmetic arithmetic = ArithmeticOf(state);
  BlockResultArray results;
  for (auto _ : state) {
    doc.ComputeBlockModel(results, density, depth_km, model_type, arithmetic);
    benchmark::DoNotOptimize(results.data());
  }
  state.SetLabel(arithmetic == Arithmetic::kScalar ? "scalar" : "vector");
}

// Arguments: samples, arithmetic (0 scalar, 1 vector), the two side by side.
void BM_BlockModel(benchmark::State& state) {
  const auto doc = BasinProfile(static_cast<int>(state.range(0)));
  RunBlockModel(state, *doc, -250.0f, 0.5f, -1);
}
BENCHMARK(BM_BlockModel)
    ->Args({64, 0})
    ->Args({64, 1})
    ->Args({511, 0})
    ->Args({511, 1})
    ->Unit(benchmark::kMillisecond);
// Ten sweeps over 25 million prism pairs: one run is enough to time it.
BENCHMARK(BM_BlockModel)
    ->Args({5000, 0})
    ->Args({5000, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_BlockModelNoEmptyPrism(benchmark::State& state) {
  const auto doc = WideBasinProfile(static_cast<int>(state.range(0)));
  RunBlockModel(state, *doc, -250.0f, 0.5f, -1);
}
BENCHMARK(BM_BlockModelNoEmptyPrism)->Args({511, 0})->Args({511, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlockModelNoEmptyPrism)
    ->Args({5000, 0})
    ->Args({5000, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_GraniteModel(benchmark::State& state) {
  const auto doc = WideBasinProfile(static_cast<int>(state.range(0)));
  RunBlockModel(state, *doc, -250.0f, 6.0f, 1);
}
BENCHMARK(BM_GraniteModel)->Args({511, 0})->Args({511, 1})->Unit(benchmark::kMillisecond);

}  // namespace
