// The fish frame step, in microseconds per frame, for the tank's usual population and for crowds far
// beyond it (the slot capacity is raised for those here only).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/crt_random.h"
#include "fish/fish_manager.h"
#include "forge/fishes/fish_content.h"
#include "model/mesh_library.h"
#include "render/package_reader.h"

namespace {

void BM_UpdateFish(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  base::crt_rand().seed(1);
  model::MeshLibrary library;
  fish::FishManager manager(std::max(count, fish::FishManager::kDefaultCapacity), base::crt_rand(), library);
  scene::GroupBoxList zones;
  scene::GroupBox anemone;
  anemone.transform = base::scaling(10, 8, 10) * base::translation(20, 8, 5);
  zones.boxes().push_back(anemone);
  manager.SetSwimBox(nullptr, &zones, scene::AlignedBox{{-60, 4, -22}, {60, 58, 22}});

  const std::vector<std::uint8_t> schooling = forge::fishes::fish_package(10008).value_or(std::vector<std::uint8_t>{});
  const std::vector<std::uint8_t> dweller = forge::fishes::fish_package(30001).value_or(std::vector<std::uint8_t>{});
  for (int slot = 0; slot < count; ++slot) {
    const bool is_dweller = slot % 9 >= 7;  // seven schooling fish to two dwellers
    render::PackageReader package;
    package.open_memory(is_dweller ? dweller : schooling);
    manager.create_fish(slot, is_dweller ? 30001 : 10008, package);
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
