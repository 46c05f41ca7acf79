#pragma once

#include <string>
#include <vector>

#include "base/vector.h"
#include "forge/scenery/model_package.h"
#include "scene/group_box.h"
#include "scene/sea_set_record.h"

namespace forge::scenery {

inline constexpr const char* kSeaSetName = "SeaSet01";
// The entry name of a sea set's group boxes: these four bytes.
inline constexpr char kSeaSetZonesEntry[] = "\xB3\xBD\xB8\x73";

// The sea set every tank shares: the floor and the back wall, the camera,
// the light and the water pattern, the swim box "ocean" and the bubble
// source "bubble".
struct SeaSetPlan {
  std::vector<PlacedObject> objects;
  scene::SeaSetRecord record;
  scene::GroupBoxList zones;
};
SeaSetPlan sea_set_plan();

// A named box from its centre and full size, axis-aligned.
scene::GroupBox aligned_group_box(std::string name, const base::Vec3& centre, const base::Vec3& size);

}  // namespace forge::scenery
