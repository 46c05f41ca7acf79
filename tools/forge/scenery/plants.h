#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "forge/scenery/picture.h"
#include "model/mesh_node.h"

namespace forge::scenery {

// A clump of seagrass: long ribbons rising from a small patch of sand,
// leaning outwards and bending over near their tips.
struct SeagrassClump {
  std::string name;
  std::uint32_t seed = 1;
  int blades = 24;
  float radius = 3.0f;  // of the patch the blades grow from
  float min_height = 14.0f;
  float max_height = 28.0f;
  float width = 0.8f;
  float lean = 0.35f;  // largest lean from upright at the root, radians
};

// A rosette of broad, lance-shaped leaves on short stalks, the inner ones
// upright, the outer ones arching outwards.
struct BroadLeafPlant {
  std::string name;
  std::uint32_t seed = 1;
  int leaves = 12;
  float min_length = 10.0f;
  float max_length = 18.0f;
  float width = 4.0f;   // of the widest leaf
  float spread = 1.0f;  // lean of the outermost leaves, radians
  bool red = false;     // bronze-red leaves instead of green ones
};

// Both kinds: one root node of thin double-sided surfaces whose outline is
// cut by the texture's alpha. Their roots lie at y = 0.
std::unique_ptr<model::MeshNode> make_seagrass(const SeagrassClump& clump);
std::unique_ptr<model::MeshNode> make_broad_leaf_plant(const BroadLeafPlant& plant);

// Four blade variants side by side, tips at the top.
Picture seagrass_texture();
// One leaf, its stalk at the bottom and its tip at the top.
Picture broad_leaf_texture(bool red);

}  // namespace forge::scenery
