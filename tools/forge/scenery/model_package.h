#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/matrix.h"
#include "model/mesh_node.h"

namespace forge::scenery {

// Object kinds the scenery places.
inline constexpr std::uint8_t kKindFromMesh = 0;  // the reader derives it from the mesh
inline constexpr std::uint8_t kKindObstacle = 4;  // a rock the fish steer around

// One object of a Model.info: which mesh, its kind and where it stands.
struct PlacedObject {
  std::string mesh;  // the mesh's name, without extension
  std::uint8_t kind = kKindFromMesh;
  base::Matrix placement = base::identity();
};

// Model.info: the mesh names in first-use order, then the objects with
// empty records of their own.
std::vector<std::uint8_t> encode_model_info(const std::vector<PlacedObject>& objects);

// A mesh store: a package named `package_name` of unpacked "<mesh>.vmf"
// entries, each a mesh package of that name holding "m8" and its textures.
// nullopt when a mesh cannot be encoded.
std::optional<std::vector<std::uint8_t>> encode_mesh_store(const std::vector<const model::MeshNode*>& meshes,
                                                           std::string_view package_name);

// The distinct mesh names of the objects, in first-use order.
std::vector<std::string> mesh_names(const std::vector<PlacedObject>& objects);

}  // namespace forge::scenery
