#pragma once

#include <string>
#include <vector>

#include "forge/scenery/model_package.h"
#include "scene/group_box.h"

namespace forge::scenery {

// One tank's own part: the layout of rocks, plants and anemone placed on
// the sea set's floor, and the tank's hiding zones.
struct TankPlan {
  std::string tank;    // "Tank01_Anemone01"
  std::string title;   // shown in the tank list
  std::string layout;  // the layout package's name
  std::vector<PlacedObject> objects;
  scene::GroupBoxList zones;
};

// Rocks in two groups leaving open water in the middle, the anemone on the
// sand right of centre, seagrass and broad-leaved plants around.
TankPlan anemone_garden();
// A ridge of rocks at the back, a seagrass meadow on the left, no anemone.
TankPlan rocky_reef();

}  // namespace forge::scenery
