#include "forge/scenery/model_package.h"

#include <algorithm>

#include "base/byte_writer.h"
#include "model/mesh_writer.h"
#include "render/package_builder.h"

namespace forge::scenery {

std::vector<std::string> mesh_names(const std::vector<PlacedObject>& objects) {
  std::vector<std::string> names;
  for (const PlacedObject& object : objects) {
    if (std::find(names.begin(), names.end(), object.mesh) == names.end()) names.push_back(object.mesh);
  }
  return names;
}

std::vector<std::uint8_t> encode_model_info(const std::vector<PlacedObject>& objects) {
  const std::vector<std::string> names = mesh_names(objects);
  base::ByteWriter out;
  out.u16(static_cast<std::uint16_t>(names.size()));
  for (const std::string& name : names) {
    out.u8(static_cast<std::uint8_t>(name.size() + 1));
    out.text(name, name.size() + 1);
  }
  out.u16(static_cast<std::uint16_t>(objects.size()));
  for (const PlacedObject& object : objects) {
    out.u8(1);
    out.u8(object.kind);
    out.u16(static_cast<std::uint16_t>(std::find(names.begin(), names.end(), object.mesh) - names.begin()));
    for (const auto& row : object.placement.m) {
      for (float value : row) out.f32(value);
    }
  }
  return out.take();
}

std::optional<std::vector<std::uint8_t>> encode_mesh_store(const std::vector<const model::MeshNode*>& meshes,
                                                           std::string_view package_name) {
  render::PackageBuilder store;
  store.set_fixed_time(model::kFixedEntryTime);
  for (const model::MeshNode* mesh : meshes) {
    if (mesh == nullptr) return std::nullopt;
    const std::optional<std::vector<std::uint8_t>> package = model::encode_mesh_package(*mesh, mesh->name);
    if (!package || store.add(*package, mesh->name + ".vmf", false) < 0) return std::nullopt;
  }
  return store.encode(package_name);
}

}  // namespace forge::scenery
