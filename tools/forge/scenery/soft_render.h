#pragma once

#include <cstdint>
#include <vector>

#include "base/matrix.h"
#include "base/vector.h"
#include "forge/scenery/caustics.h"
#include "forge/scenery/picture.h"
#include "model/mesh_node.h"

namespace forge::scenery {

// What a small picture of a tank is seen with: the camera of the sea set,
// its light and water pattern, the background gradient and the water's haze.
struct SceneView {
  std::uint32_t width = 128;
  std::uint32_t height = 96;
  base::Vec3 eye;
  base::Vec3 angles;  // pitch, yaw, roll
  float fov_y = 0.75f;
  float near_plane = 1.0f;
  float far_plane = 400.0f;
  base::Vec3 light_travel{0, -1, 0};  // where the light goes
  base::Vec3 light_colour{1, 1, 1};
  float ambient = 0.25f;  // share of the light colour everywhere
  base::Vec3 gradient_top;
  base::Vec3 gradient_bottom;
  base::Vec3 fog_colour;
  float fog_start = 60.0f;
  float fog_end = 400.0f;
  float fog_amount = 0.7f;
  const CausticFrames* caustics = nullptr;  // frame 0 is used
  base::Vec2 caustic_scale{1, 1};
};

// One mesh node to draw, with its world matrix. A tentacle adds the glow of
// the anemone's tentacles towards its tip.
struct DrawItem {
  const model::MeshNode* node = nullptr;
  base::Matrix world = base::identity();
  bool tentacle = false;
  base::Vec3 base_colour{1, 1, 1};
  base::Vec3 glow_colour;
};

// Draws the items in software, lit like the object effects draw them
// (ambient plus diffuse light modulated by the water pattern, fading into
// the haze with distance), over the gradient: opaque subsets first, then
// the blended ones from far to near. Blended texels below half alpha leave
// the depth alone.
Picture render_scene(const SceneView& view, const std::vector<DrawItem>& items);

// A picture at half the size, averaging 2 x 2 pixels.
Picture half_size(const Picture& picture);

}  // namespace forge::scenery
