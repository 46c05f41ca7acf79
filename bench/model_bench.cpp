// Loading a mesh package of a 100k-triangle model from memory: the package
// directory, inflating the "m8" entry, reading and checking the tree.
#include <benchmark/benchmark.h>

#include <cmath>

#include "model/mesh_builder.h"
#include "model/mesh_library.h"
#include "model/mesh_writer.h"
#include "platform/vertex_format.h"

namespace {

// A wavy 225 x 225 vertex sheet: 224 x 224 x 2 = 100352 triangles.
std::vector<std::uint8_t> large_mesh_package() {
  constexpr int kSide = 225;
  model::GeometryBuilder builder(gfx::fvf::kXyz | gfx::fvf::kNormal | gfx::fvf::tex_count(1));
  builder.begin_subset(model::plain_material({0.8f, 0.7f, 0.5f, 1}));
  for (int z = 0; z < kSide; ++z) {
    for (int x = 0; x < kSide; ++x) {
      const float fx = static_cast<float>(x) * 0.1f;
      const float fz = static_cast<float>(z) * 0.1f;
      builder.add_vertex({fx, std::sin(fx) * std::cos(fz), fz}, {0, 1, 0},
                         {static_cast<float>(x) / kSide, static_cast<float>(z) / kSide});
    }
  }
  for (int z = 0; z + 1 < kSide; ++z) {
    for (int x = 0; x + 1 < kSide; ++x) {
      const auto at = [](int cx, int cz) { return static_cast<std::uint32_t>(cz * kSide + cx); };
      builder.add_triangle(at(x, z + 1), at(x + 1, z + 1), at(x + 1, z));
      builder.add_triangle(at(x, z + 1), at(x + 1, z), at(x, z));
    }
  }
  std::unique_ptr<model::MeshNode> sheet = builder.build("Floor");
  sheet->index_tree();
  return model::encode_mesh_package(*sheet, "Floor").value();
}

void BM_LoadLargeMeshPackage(benchmark::State& state) {
  const std::vector<std::uint8_t> package = large_mesh_package();
  std::uint32_t triangles = 0;
  for (auto _ : state) {
    base::CrtRandom random;
    model::TextureCache textures;
    model::MeshLibrary library(&random, &textures);
    std::shared_ptr<model::MeshNode> mesh = library.load_memory("Floor.vmf", package);
    if (!mesh) state.SkipWithError("the package did not load");
    triangles = mesh ? mesh->triangle_count() : 0;
    benchmark::DoNotOptimize(mesh);
  }
  state.counters["triangles"] = triangles;
  state.counters["package_kb"] = static_cast<double>(package.size()) / 1024.0;
}
BENCHMARK(BM_LoadLargeMeshPackage)->Unit(benchmark::kMillisecond);

}  // namespace
