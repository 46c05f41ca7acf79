#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/byte_writer.h"
#include "base/matrix.h"
#include "model/mesh_builder.h"
#include "model/mesh_writer.h"
#include "render/data_folders.h"
#include "render/package_builder.h"
#include "scene/group_box.h"
#include "scene/scene.h"
#include "scene/sea_set_record.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace scene_test {

using scene::GroupBox;
using scene::GroupBoxList;
using scene::SeaSetRecord;
using scene::kSeaSetBoxesEntry;

// A placed object of a hand-made Model.info.
struct Placed {
  std::string mesh;  // name without extension
  std::uint8_t kind = 0;
  base::Matrix placement = base::identity();
};

// Model.info for objects over the distinct meshes they name.
inline std::vector<std::uint8_t> model_info(const std::vector<Placed>& objects) {
  std::vector<std::string> meshes;
  for (const Placed& object : objects) {
    if (std::find(meshes.begin(), meshes.end(), object.mesh) == meshes.end()) meshes.push_back(object.mesh);
  }
  base::ByteWriter out;
  out.u16(static_cast<std::uint16_t>(meshes.size()));
  for (const std::string& mesh : meshes) {
    out.u8(static_cast<std::uint8_t>(mesh.size() + 1));
    out.text(mesh, mesh.size() + 1);
  }
  out.u16(static_cast<std::uint16_t>(objects.size()));
  for (const Placed& object : objects) {
    out.u8(1);
    out.u8(object.kind);
    out.u16(static_cast<std::uint16_t>(std::find(meshes.begin(), meshes.end(), object.mesh) - meshes.begin()));
    for (const auto& row : object.placement.m) {
      for (float value : row) out.f32(value);
    }
  }
  return out.take();
}

// A unit box mesh package; `tag` (four characters) goes on its root.
inline std::vector<std::uint8_t> box_package(const std::string& name, const char* tag = nullptr) {
  std::unique_ptr<model::MeshNode> box = model::make_box({1, 1, 1}, model::plain_material({1, 1, 1, 1}), name);
  if (tag != nullptr) box->tag = model::NodeTag{model::tag_code({tag[0], tag[1], tag[2], tag[3], 0}), {}};
  box->is_root = true;
  box->index_tree();
  return *model::encode_mesh_package(*box, {});
}

// A mesh store: a package of "<mesh>.vmf" entries.
inline std::vector<std::uint8_t> mesh_store(const std::vector<std::string>& meshes) {
  render::PackageBuilder store;
  store.set_fixed_time(model::kFixedEntryTime);
  for (const std::string& mesh : meshes) store.add(box_package(mesh), mesh + ".vmf", false);
  return *store.encode("Model");
}

inline GroupBox box_at(const std::string& name, const base::Vec3& centre, const base::Vec3& size) {
  GroupBox box;
  box.name = name;
  box.transform = base::scaling(size.x, size.y, size.z) * base::translation(centre.x, centre.y, centre.z);
  return box;
}

// Writes tanks, sea sets and layouts into a program folder's "Scene/" and
// points the program folder at it.
class TankFolder {
 public:
  TankFolder() {
    std::filesystem::create_directories(folder_.path() / "Scene");
    render::set_program_folder(folder_.path().string());
  }

  std::string scene_path(const std::string& name) const { return (folder_.path() / "Scene" / name).string(); }

  void write(const std::string& name, const render::PackageBuilder& package) const {
    ASSERT_TRUE(package.write(scene_path(name).c_str(), false, true)) << name;
  }

  // A sea set: floor objects, an optional record of `record_bytes` bytes,
  // and group boxes.
  void sea_set(const std::string& name, const std::vector<Placed>& floor, std::optional<SeaSetRecord> record,
               const std::vector<GroupBox>& boxes, std::size_t record_bytes = SeaSetRecord::kBytes) const {
    render::PackageBuilder package;
    package.add(model_info(floor), "Model.info", true);
    std::vector<std::string> meshes;
    for (const Placed& object : floor) meshes.push_back(object.mesh);
    package.add(mesh_store(meshes), "Model.vmf", false);
    if (record) {
      std::vector<std::uint8_t> bytes = record->encode();
      bytes.resize(record_bytes);
      package.add(bytes, "SeaSet.BW", false);
    }
    GroupBoxList list;
    list.boxes() = boxes;
    package.add(list.encode(), kSeaSetBoxesEntry, false);
    write(name, package);
  }

  void layout(const std::string& name, const std::vector<std::string>& meshes) const {
    render::PackageBuilder package;
    for (const std::string& mesh : meshes) {
      const bool anemone = mesh.rfind("Anemone", 0) == 0;
      // An anemone stops fish with its "body" frame.
      package.add(anemone ? box_package("body", "ACTI") : box_package(mesh), mesh + ".vmf", false);
    }
    write(name, package);
  }

  void tank(const std::string& name, const std::string& sea_set, const std::string& layout,
            const std::vector<Placed>& objects, const std::vector<GroupBox>& zones) const {
    render::PackageBuilder package;
    package.add(std::vector<std::uint8_t>{0}, sea_set, false);
    package.add(model_info(objects), layout, true);
    GroupBoxList list;
    list.boxes() = zones;
    package.add(list.encode(), "Zones", false);
    write(name, package);
  }

 private:
  test_support::TempFolder folder_;
};

inline SeaSetRecord record_with_fov(float fov) {
  SeaSetRecord record;
  record.set_camera(fov, 1.0f, 400.0f, {0, 30, -95}, {0.1f, 0, 0});
  record.set_light_direction({0, -1, 0});
  record.set_pattern({2, 2}, 16, {0.01f, 0});
  return record;
}

}  // namespace scene_test
