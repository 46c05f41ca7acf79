#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/vector.h"
#include "forge/scenery/picture.h"
#include "model/mesh_node.h"

namespace forge::scenery {

// How one rock looks: a blob of about `radii` half extents, displaced by
// noise into lumps and crevices, cut by sedimentary layers and flattened
// underneath where it sits in the sand.
struct RockShape {
  std::string name;  // the mesh's name; its texture is name + ".png"
  std::uint32_t seed = 1;
  base::Vec3 radii{10, 7, 9};
  float lumpiness = 0.22f;                     // large-scale displacement, fraction of the radius
  float crevices = 0.08f;                      // depth of the cracks, fraction of the radius
  float strata = 0.6f;                         // depth of the layer ledges, units
  float strata_spacing = 2.2f;                 // layer thickness, units
  float strata_tilt = 0.12f;                   // slope of the layers
  base::Vec4 tone{0.42f, 0.40f, 0.37f, 1.0f};  // base colour, darker than the sand
  base::Vec4 band{0.50f, 0.46f, 0.40f, 1.0f};  // colour of the lighter layers
};

// The rock: all its triangles in the root node, so the whole rock can
// become one obstacle. Its base (the flattened bottom) lies near y = 0.
std::unique_ptr<model::MeshNode> make_rock(const RockShape& shape);

// The rock's texture: its own picture in its own texture space (u around,
// v from top to bottom), so crevices, layers and the algae on its top match
// the shape.
Picture rock_texture(const RockShape& shape);

// How far the rock's flattened base lies below its origin, as a fraction of
// radii.y: layouts lift the rock by that much and bury it a little.
inline constexpr float kRockBase = 0.3f;

}  // namespace forge::scenery
