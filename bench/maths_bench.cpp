#include <benchmark/benchmark.h>

#include <vector>

#include "base/maths.h"

namespace {

base::Matrix sample_matrix(float seed) {
  return base::scaling(1.0f + seed, 2.0f, 0.5f) * base::rotation_yaw_pitch_roll(seed, 0.3f, -0.2f) *
         base::translation(seed, -1.0f, 4.0f);
}

void BM_MatrixMultiply(benchmark::State& state) {
  base::Matrix a = sample_matrix(0.1f);
  const base::Matrix b = sample_matrix(0.7f);
  for (auto _ : state) {
    benchmark::DoNotOptimize(a);
    base::Matrix r = a * b;
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_MatrixMultiply);

void BM_MatrixInverse(benchmark::State& state) {
  base::Matrix a = sample_matrix(0.4f);
  for (auto _ : state) {
    benchmark::DoNotOptimize(a);
    std::optional<base::Matrix> r = base::inverse(a);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_MatrixInverse);

// A vertex array's worth of points through a world-view-projection matrix.
void BM_TransformCoordArray(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  std::vector<base::Vec3> points(count);
  for (std::size_t i = 0; i < count; ++i) {
    const float f = static_cast<float>(i);
    points[i] = {f * 0.01f, f * -0.02f, 5.0f + f * 0.001f};
  }
  std::vector<base::Vec3> out(count);
  const base::Matrix m = sample_matrix(0.2f) * base::look_at_lh({0, 0, -10}, {0, 0, 0}, {0, 1, 0}) *
                         base::perspective_fov_lh(0.8f, 4.0f / 3.0f, 0.5f, 100.0f);
  for (auto _ : state) {
    for (std::size_t i = 0; i < count; ++i) out[i] = base::transform_coord(points[i], m);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_TransformCoordArray)->Arg(1024)->Arg(65536);

void BM_Slerp(benchmark::State& state) {
  const base::Quaternion a = base::quaternion_yaw_pitch_roll(0.3f, 0.1f, -0.4f);
  const base::Quaternion b = base::quaternion_yaw_pitch_roll(-1.2f, 0.6f, 0.9f);
  float t = 0.0f;
  for (auto _ : state) {
    t += 0.001f;
    if (t > 1.0f) t = 0.0f;
    base::Quaternion q = base::slerp(a, b, t);
    benchmark::DoNotOptimize(q);
  }
}
BENCHMARK(BM_Slerp);

}  // namespace
