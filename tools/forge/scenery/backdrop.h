#pragma once

#include <memory>

#include "forge/scenery/picture.h"
#include "model/mesh_node.h"

namespace forge::scenery {

// Where the back wall stands and how far it reaches: wide and tall enough to
// fill the background of the home view behind the swim box. It stands at
// kBackWallZ in the middle and bends back towards the sides (z grows with
// kBackWallBend x^2), so it surrounds the view and its middle lies farther
// than every plant: drawn far to near, it comes first.
inline constexpr float kBackWallZ = 40.0f;
inline constexpr float kBackWallBend = 0.0018f;
inline constexpr float kBackWallHalfWidth = 175.0f;
inline constexpr float kBackWallBottom = -4.0f;
inline constexpr float kBackWallTop = 96.0f;

// How far back the wall stands at x.
float back_wall_z(float x);

// The back wall: one upright panel facing the viewer, showing far water with
// soft silhouettes of distant rocks and weed standing on a far sand plain.
// Its upper part fades out so the background gradient shows through.
std::unique_ptr<model::MeshNode> make_back_wall();

Picture back_wall_texture();

}  // namespace forge::scenery
