#include "forge/scenery/tank_content.h"

#include "forge/scenery/caustics.h"
#include "forge/scenery/model_package.h"
#include "forge/scenery/scenery_meshes.h"
#include "forge/scenery/sea_set.h"
#include "forge/scenery/tank_layouts.h"
#include "forge/scenery/thumbnail.h"
#include "model/mesh_writer.h"
#include "render/package_builder.h"

namespace forge::scenery {
namespace {

constexpr std::uint32_t kPatternSize = 128;
constexpr int kPatternFrames = 64;

std::optional<std::vector<std::uint8_t>> store_of(const SceneryMeshes& meshes,
                                                  const std::vector<PlacedObject>& objects,
                                                  std::string_view package_name) {
  std::vector<const model::MeshNode*> list;
  for (const std::string& name : mesh_names(objects)) list.push_back(meshes.find(name));
  return encode_mesh_store(list, package_name);
}

std::vector<std::uint8_t> bytes_of(std::string_view text) { return {text.begin(), text.end()}; }

std::optional<std::vector<std::uint8_t>> sea_set_package(const SceneryMeshes& meshes,
                                                         const SeaSetPlan& plan) {
  const std::optional<std::vector<std::uint8_t>> store = store_of(meshes, plan.objects, "Model");
  if (!store) return std::nullopt;
  render::PackageBuilder builder;
  builder.set_fixed_time(model::kFixedEntryTime);
  const bool added = builder.add(encode_model_info(plan.objects), "Model.info", true) >= 0 &&
                     builder.add(*store, "Model.vmf", false) >= 0 &&
                     builder.add(plan.record.encode(), "SeaSet.BW", false) >= 0 &&
                     builder.add(plan.zones.encode(), kSeaSetZonesEntry, false) >= 0;
  if (!added) return std::nullopt;
  return builder.encode(kSeaSetName);
}

std::optional<std::vector<std::uint8_t>> tank_package(const TankPlan& plan) {
  render::PackageBuilder builder;
  builder.set_fixed_time(model::kFixedEntryTime);
  const bool added = builder.add(bytes_of(kSeaSetName), kSeaSetName, false) >= 0 &&
                     builder.add(encode_model_info(plan.objects), plan.layout, false) >= 0 &&
                     builder.add(plan.zones.encode(), "Zones", false) >= 0;
  if (!added) return std::nullopt;
  return builder.encode(plan.tank);
}

}  // namespace

std::optional<std::vector<ContentFile>> tank_content() {
  const std::unique_ptr<SceneryMeshes> meshes = make_scenery_meshes();
  if (!meshes) return std::nullopt;
  const CausticFrames pattern = compute_caustics(kPatternSize, kPatternFrames);
  std::vector<ContentFile> files;

  const std::optional<std::vector<std::uint8_t>> full = encode_caustic_package(pattern, "WS");
  const std::optional<std::vector<std::uint8_t>> small = encode_caustic_package(half_size(pattern), "WS0");
  if (!full || !small) return std::nullopt;
  files.push_back({"System/WS.vmf", *full});
  files.push_back({"System/WS0.vmf", *small});

  const SeaSetPlan sea_set = sea_set_plan();
  const std::optional<std::vector<std::uint8_t>> sea_set_bytes = sea_set_package(*meshes, sea_set);
  if (!sea_set_bytes) return std::nullopt;
  files.push_back({std::string("Scene/") + kSeaSetName + ".vmf", *sea_set_bytes});

  for (const TankPlan& tank : {anemone_garden(), rocky_reef()}) {
    const std::optional<std::vector<std::uint8_t>> tank_bytes = tank_package(tank);
    const std::optional<std::vector<std::uint8_t>> layout_bytes =
        store_of(*meshes, tank.objects, tank.layout);
    if (!tank_bytes || !layout_bytes) return std::nullopt;
    std::vector<PlacedObject> scene = sea_set.objects;
    scene.insert(scene.end(), tank.objects.begin(), tank.objects.end());
    const std::vector<std::uint8_t> thumbnail = encode_bmp24(
        tank_picture(*meshes, scene, sea_set.record, pattern, kThumbnailWidth, kThumbnailHeight));
    if (thumbnail.empty()) return std::nullopt;
    files.push_back({"Scene/" + tank.tank + ".vmf", *tank_bytes});
    files.push_back({"Scene/" + tank.layout + ".vmf", *layout_bytes});
    files.push_back({"Scene/" + tank.tank + ".bmp", thumbnail});
    files.push_back({"Scene/" + tank.tank + ".txt", bytes_of(tank.title)});
  }
  return files;
}

}  // namespace forge::scenery
