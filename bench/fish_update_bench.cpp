// The fish frame step, in microseconds per frame, for the tank's usual population and for crowds far
// beyond it (the slot capacity is raised for those here only).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/crt_random.h"
#include "fish/fish_kind.h"
#include "fish/fish_manager.h"
#include "model/mesh_builder.h"
#include "model/mesh_library.h"
#include "model/mesh_writer.h"
#include "render/package_builder.h"
#include "render/package_reader.h"

namespace {

// A box-shaped fish of the schooling kind's size with its attributes.
std::vector<std::uint8_t> fish_package(int kind, const base::Vec3& size, bool dweller, float school_power) {
  render::PackageBuilder builder;
  builder.set_class_byte(dweller ? 1 : 0);
  const auto root = model::make_box(size * 0.5f, model::plain_material({1, 1, 1, 1}), "Fish");
  if (const auto tree = model::encode_mesh_tree(*root)) builder.add(*tree, std::to_string(kind) + ".m8", true);
  fish::FishKindAttributes attributes;
  attributes.set_real(fish::FishKindAttributes::kSchoolPower, school_power);
  attributes.set_real(fish::FishKindAttributes::kNormalSpeed, 0.6f);
  attributes.set_real(fish::FishKindAttributes::kNormalWaveSize, 0.06f);
  attributes.set_real(fish::FishKindAttributes::kNormalFreq, 2.0f);
  attributes.set_real(fish::FishKindAttributes::kElasticity, 1.8f);
  attributes.set_real(fish::FishKindAttributes::kSchoolWeightFactor, 1.0f);
  attributes.apply_defaults();
  builder.add(std::vector<std::uint8_t>(attributes.bytes().begin(), attributes.bytes().end()),
              std::to_string(kind) + ".att+", false);
  return builder.encode(std::to_string(kind)).value_or(std::vector<std::uint8_t>{});
}

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

  const std::vector<std::uint8_t> schooling = fish_package(10008, {0.48f, 0.86f, 4.8f}, false, 1.0f);
  const std::vector<std::uint8_t> dweller = fish_package(30001, {0.9f, 1.75f, 6.0f}, true, 0.0f);
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
