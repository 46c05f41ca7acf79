#pragma once

#include "base/matrix.h"
#include "scene/group_box.h"
#include "fish/school_zones.h"

namespace scene {
class Camera;
}

namespace fish {

class FoodSource;

// What every fish of the tank shares while it swims: the swim box and its
// frame, the hiding zones, the food and the clocks of the frame.
struct SwimContext {
  scene::AlignedBox swim_box{{-50, 5, -25}, {50, 55, 25}};
  // World to box frame: the swim box becomes the unit cube on the origin.
  base::Matrix box_frame = base::identity();
  // Directions of the box frame to world directions: the box's turn alone,
  // without its size, so steering worked out in the box keeps its length.
  base::Matrix box_turn = base::identity();
  HidingZones zones;
  FoodSource* food = nullptr;
  int hunters = 0;  // fish hunting food now
  const scene::Camera* camera = nullptr;
  double time = 0.0;         // seconds simulated so far
  double smoothed_dt = 0.0;  // the smoothed frame duration
  float light_level = 1.0f;
};

// The frame that maps `box` onto the unit cube centred on the origin; a flat
// side counts as a thin one so the frame stays finite.
base::Matrix unit_box_frame(const scene::AlignedBox& box);

// The turn of a box's transform: its axis rows made unit length, no
// translation. An axis of zero length keeps the world's axis.
base::Matrix box_turn_of(const base::Matrix& transform);

}  // namespace fish
