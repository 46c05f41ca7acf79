// The fish frame step, in microseconds per frame, for the tank's usual population and for crowds far
// beyond it (the slot capacity is raised for those here only).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/crt_random.h"
#include "fish/fish_manager.h"
#include "fish/shipped_tank.h"
#include "model/mesh_library.h"

namespace {

void BM_UpdateFish(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  base::crt_rand().seed(1);
  model::MeshLibrary library;
  fish::FishManager manager(std::max(count, fish::FishManager::kDefaultCapacity), base::crt_rand(), library);
  fish_kit::set_shipped_swim_box(manager);

  fish_kit::ShippedKind schooling(10008);
  fish_kit::ShippedKind dweller(30001);
  for (int slot = 0; slot < count; ++slot) {
    const bool is_dweller = slot % 9 >= 7;  // seven schooling fish to two dwellers
    manager.create_fish(slot, is_dweller ? 30001 : 10008, (is_dweller ? dweller : schooling).reader);
  }
  // Past the first frames' start-up.
  for (int i = 0; i < 60; ++i) manager.UpdateFish(1.0f / 60.0f);

  for (auto _ : state) {
    manager.UpdateFish(1.0f / 60.0f);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_UpdateFish)->Arg(9)->Arg(15)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
