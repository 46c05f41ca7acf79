#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forge/scenery/rocks.h"
#include "model/mesh_node.h"

namespace forge::scenery {

// Every mesh the tanks use, made once and shared by name between the sea
// set and the layouts (a mesh of one name has the same bytes wherever it is
// stored, so a loader that shares meshes by name never mixes two).
class SceneryMeshes {
 public:
  // nullptr when no mesh has that name.
  const model::MeshNode* find(std::string_view name) const;
  // False when the mesh could not be made.
  bool add(std::unique_ptr<model::MeshNode> mesh);
  const std::vector<std::unique_ptr<model::MeshNode>>& all() const { return meshes_; }

 private:
  std::vector<std::unique_ptr<model::MeshNode>> meshes_;
};

// The rocks, by name.
const std::vector<RockShape>& rock_shapes();
const RockShape* rock_shape(std::string_view name);

// The sand floor, the back wall, the rocks, the plants and the anemone.
// nullptr when any of them could not be made.
std::unique_ptr<SceneryMeshes> make_scenery_meshes();

// Mesh names.
inline constexpr const char* kFloorMesh = "SandFloor";
inline constexpr const char* kBackWallMesh = "BackWall";
inline constexpr const char* kAnemoneMesh = "Anemone01";

}  // namespace forge::scenery
