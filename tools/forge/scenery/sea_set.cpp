#include "forge/scenery/sea_set.h"

#include "base/matrix.h"
#include "forge/scenery/scenery_meshes.h"

namespace forge::scenery {

scene::GroupBox aligned_group_box(std::string name, const base::Vec3& centre, const base::Vec3& size) {
  scene::GroupBox box;
  box.name = std::move(name);
  box.transform = base::scaling(size) * base::translation(centre);
  return box;
}

SeaSetPlan sea_set_plan() {
  SeaSetPlan plan;
  plan.objects.push_back({kFloorMesh, kKindFromMesh, base::identity()});
  plan.objects.push_back({kBackWallMesh, kKindFromMesh, base::identity()});
  // The camera looks at the tank through the front glass, slightly down.
  plan.record.set_camera(0.75f, 1.0f, 400.0f, {0.0f, 30.0f, -95.0f}, {0.1f, 0.0f, 0.0f});
  // Light from above, a little from the front left.
  plan.record.set_light_direction(base::normalize(base::Vec3{0.25f, -1.0f, 0.35f}));
  // One pattern tile covers 40 units; 64 frames at 20 per second.
  plan.record.set_pattern({3.2f, 3.2f}, 20.0f, {0.012f, 0.008f});
  plan.zones.boxes().push_back(aligned_group_box("ocean", {0.0f, 31.0f, 0.0f}, {120.0f, 54.0f, 44.0f}));
  // Only the centre of "bubble" counts (where the bubbles set off): a short
  // column standing on the sand at the left.
  plan.zones.boxes().push_back(aligned_group_box("bubble", {-50.0f, 3.0f, 10.0f}, {3.0f, 6.0f, 3.0f}));
  return plan;
}

}  // namespace forge::scenery
