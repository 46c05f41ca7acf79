#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "base/matrix.h"
#include "base/vector.h"

namespace model {

// The most bone matrices the skinning shaders hold.
inline constexpr std::uint32_t kMaxPaletteMatrices = 20;
// A node handle that names no node.
inline constexpr std::uint32_t kNoNode = std::numeric_limits<std::uint32_t>::max();
// A palette entry of a bone combination that uses no bone.
inline constexpr std::uint32_t kUnusedBone = std::numeric_limits<std::uint32_t>::max();

struct Bone {
  std::string name;
  base::Matrix bind_matrix;    // the bone's world matrix when bound; row 3 is its position
  base::Matrix offset_matrix;  // mesh space to bone space
  std::vector<std::uint32_t> vertices;  // influenced vertices
  std::vector<float> weights;           // one per influenced vertex
  friend bool operator==(const Bone&, const Bone&) = default;
};

// The faces and vertices drawn with one palette of bones.
struct BoneCombination {
  std::uint32_t attribute_id = 0;
  std::uint32_t first_face = 0;
  std::uint32_t face_count = 0;
  std::uint32_t first_vertex = 0;
  std::uint32_t vertex_count = 0;
  std::vector<std::uint32_t> bone_ids;  // palette_size entries: bone indices or kUnusedBone
  friend bool operator==(const BoneCombination&, const BoneCombination&) = default;
};

struct SkinData {
  std::uint32_t fvf = 0;
  std::uint32_t vertex_count = 0;
  // Bone ids per combination, as stored; the renderers use palette_entries().
  std::uint32_t palette_size = 0;
  std::uint32_t max_face_influences = 0;
  std::vector<BoneCombination> combinations;
  std::vector<Bone> bones;

  // Per bone: the handle of the node whose local matrix drives it (see
  // MeshNode::node), or kNoNode while unbound.
  std::vector<std::uint32_t> bone_nodes;
  base::Vec3 bone_box_min;  // bounds of the bones' bind positions
  base::Vec3 bone_box_max;

  // The palette matrices a renderer fills: never more than the shaders hold.
  std::uint32_t palette_entries() const {
    return palette_size < kMaxPaletteMatrices ? palette_size : kMaxPaletteMatrices;
  }
  bool bound() const;
  void compute_bone_box();
};

}  // namespace model
