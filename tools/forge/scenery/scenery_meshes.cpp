#include "forge/scenery/scenery_meshes.h"

#include "forge/scenery/anemone.h"
#include "forge/scenery/backdrop.h"
#include "forge/scenery/plants.h"
#include "forge/scenery/sand_floor.h"
#include "platform/ascii.h"

namespace forge::scenery {
namespace {

std::vector<RockShape> make_rock_shapes() {
  const base::Vec4 grey_brown{0.42f, 0.40f, 0.37f, 1.0f};
  const base::Vec4 grey_band{0.52f, 0.48f, 0.42f, 1.0f};
  const base::Vec4 slate{0.34f, 0.36f, 0.38f, 1.0f};
  const base::Vec4 slate_band{0.44f, 0.45f, 0.45f, 1.0f};
  const base::Vec4 rust{0.46f, 0.36f, 0.30f, 1.0f};
  const base::Vec4 rust_band{0.56f, 0.45f, 0.36f, 1.0f};
  std::vector<RockShape> shapes;
  // name, seed, radii, lumpiness, crevices, strata, spacing, tilt, tone, band
  shapes.push_back({"Rock01", 11, {15, 11, 12}, 0.22f, 0.08f, 1.1f, 2.4f, 0.10f, grey_brown, grey_band});
  shapes.push_back({"Rock02", 22, {8, 12, 8}, 0.25f, 0.09f, 0.9f, 2.0f, -0.15f, slate, slate_band});
  shapes.push_back({"Rock03", 33, {6, 4.5f, 5.5f}, 0.2f, 0.07f, 0.6f, 1.6f, 0.2f, grey_brown, grey_band});
  shapes.push_back({"Rock04", 44, {14, 5, 9}, 0.15f, 0.06f, 1.0f, 1.5f, 0.05f, rust, rust_band});
  shapes.push_back({"Rock05", 55, {8, 7, 8}, 0.24f, 0.1f, 0.8f, 2.0f, -0.08f, grey_brown, grey_band});
  shapes.push_back({"Rock06", 66, {6, 15, 6.5f}, 0.2f, 0.09f, 1.0f, 2.2f, 0.12f, slate, slate_band});
  return shapes;
}

}  // namespace

const model::MeshNode* SceneryMeshes::find(std::string_view name) const {
  for (const auto& mesh : meshes_) {
    if (platform::equals_ignore_ascii_case(mesh->name, name)) return mesh.get();
  }
  return nullptr;
}

bool SceneryMeshes::add(std::unique_ptr<model::MeshNode> mesh) {
  if (!mesh) return false;
  mesh->index_tree();
  meshes_.push_back(std::move(mesh));
  return true;
}

const std::vector<RockShape>& rock_shapes() {
  static const std::vector<RockShape> shapes = make_rock_shapes();
  return shapes;
}

const RockShape* rock_shape(std::string_view name) {
  for (const RockShape& shape : rock_shapes()) {
    if (platform::equals_ignore_ascii_case(shape.name, name)) return &shape;
  }
  return nullptr;
}

std::unique_ptr<SceneryMeshes> make_scenery_meshes() {
  auto meshes = std::make_unique<SceneryMeshes>();
  bool ok = meshes->add(make_sand_floor()) && meshes->add(make_back_wall());
  for (const RockShape& shape : rock_shapes()) ok = ok && meshes->add(make_rock(shape));
  // name, seed, blades, patch radius, heights, width, lean
  ok = ok && meshes->add(make_seagrass({"Seagrass01", 101, 26, 3.0f, 14.0f, 28.0f, 0.8f, 0.35f}));
  ok = ok && meshes->add(make_seagrass({"Seagrass02", 102, 38, 4.5f, 22.0f, 40.0f, 0.9f, 0.3f}));
  ok = ok && meshes->add(make_seagrass({"Seagrass03", 103, 18, 2.2f, 7.0f, 15.0f, 0.65f, 0.45f}));
  // name, seed, leaves, lengths, width, spread, red
  ok = ok && meshes->add(make_broad_leaf_plant({"SwordPlant01", 201, 12, 10.0f, 18.0f, 4.0f, 1.0f, false}));
  ok = ok && meshes->add(make_broad_leaf_plant({"SwordPlant02", 202, 16, 14.0f, 24.0f, 5.0f, 1.1f, false}));
  ok = ok && meshes->add(make_broad_leaf_plant({"RedPlant01", 203, 9, 7.0f, 12.0f, 3.2f, 0.9f, true}));
  ok = ok && meshes->add(make_anemone(kAnemoneMesh));
  return ok ? std::move(meshes) : nullptr;
}

}  // namespace forge::scenery
