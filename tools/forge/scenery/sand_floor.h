#pragma once

#include <memory>

#include "forge/scenery/picture.h"
#include "model/mesh_node.h"

namespace forge::scenery {

// The sand floor of the sea set: low dunes and ripples around y = 0, rising
// gently towards the back wall. Layouts stand their rocks and plants on it.
float floor_height(float x, float z);

// The floor's height field from in front of the view to behind the back
// wall, textured with sand_texture() repeating every kSandTile units.
std::unique_ptr<model::MeshNode> make_sand_floor();

inline constexpr float kSandTile = 40.0f;

// Warm pale sand with grain, pebbles and darker patches; tiles.
Picture sand_texture();

}  // namespace forge::scenery
