#include "forge/scenery/tank_layouts.h"

#include "base/matrix.h"
#include "forge/scenery/anemone.h"
#include "forge/scenery/sand_floor.h"
#include "forge/scenery/scenery_meshes.h"
#include "forge/scenery/sea_set.h"

namespace forge::scenery {
namespace {

// Stands a mesh on the sand at (x, z), turned about y and scaled, sunk by
// `sink` units.
base::Matrix on_sand(float x, float z, float turn, float scale, float sink) {
  return base::scaling(scale, scale, scale) * base::rotation_y(turn) *
         base::translation(x, floor_height(x, z) - sink, z);
}

// A rock rests on its flattened base (below its origin), buried a little so
// no gap shows where the sand dips.
PlacedObject rock(const char* mesh, float x, float z, float turn, float scale = 1.6f) {
  const RockShape* shape = rock_shape(mesh);
  const float base = shape != nullptr ? kRockBase * shape->radii.y : 0.0f;
  return {mesh, kKindObstacle, on_sand(x, z, turn, scale, (1.2f - base) * scale)};
}

PlacedObject plant(const char* mesh, float x, float z, float turn, float scale = 1.0f) {
  return {mesh, kKindFromMesh, on_sand(x, z, turn, scale, 0.0f)};
}

}  // namespace

TankPlan anemone_garden() {
  TankPlan plan;
  plan.tank = "Tank01_Anemone01";
  plan.title = "Anemone Garden";
  plan.layout = "Layout01";
  std::vector<PlacedObject>& o = plan.objects;
  // The left group.
  o.push_back(rock("Rock01", -50.0f, 16.0f, 0.4f, 1.2f));
  o.push_back(rock("Rock02", -26.0f, 28.0f, 1.2f, 1.3f));
  o.push_back(rock("Rock03", -32.0f, -9.0f, 2.0f, 1.3f));
  // The right group.
  o.push_back(rock("Rock05", 44.0f, 24.0f, 0.8f, 1.3f));
  o.push_back(rock("Rock06", 58.0f, 6.0f, 0.3f, 1.3f));
  o.push_back(rock("Rock03", 33.0f, 2.0f, 3.1f, 1.1f));
  // A low slab far back in the middle.
  o.push_back(rock("Rock04", -2.0f, 38.0f, 0.2f, 1.3f));
  // The anemone on the sand, right of centre.
  o.push_back({kAnemoneMesh, kKindFromMesh,
               on_sand(14.0f, -2.0f, 0.3f, kAnemoneScale, kAnemoneFoot * kAnemoneScale + 0.5f)});
  // Plants behind and between the rocks, a few in front.
  o.push_back(plant("Seagrass02", -58.0f, 36.0f, 0.0f));
  o.push_back(plant("Seagrass01", -14.0f, 33.0f, 1.0f));
  o.push_back(plant("Seagrass01", 26.0f, 35.0f, 2.5f));
  o.push_back(plant("Seagrass02", 64.0f, 30.0f, 4.0f));
  o.push_back(plant("Seagrass03", -66.0f, -6.0f, 0.7f));
  o.push_back(plant("Seagrass03", 8.0f, 32.0f, 3.3f));
  o.push_back(plant("SwordPlant01", -18.0f, 10.0f, 0.5f));
  o.push_back(plant("SwordPlant02", 34.0f, 36.0f, 1.7f));
  o.push_back(plant("RedPlant01", -44.0f, -16.0f, 2.2f));
  o.push_back(plant("RedPlant01", 62.0f, -10.0f, 5.1f, 1.1f));
  o.push_back(plant("Seagrass03", 27.0f, -14.0f, 1.9f));

  // Hiding zones: over the anemone's crown, and small ones in the gaps
  // between the rocks (unnamed: room for two fish each).
  const float crown = floor_height(14.0f, -2.0f) + 0.9f * kAnemoneScale;
  plan.zones.boxes().push_back(
      aligned_group_box("anemone", {14.0f, crown + 3.0f, -2.0f}, {24.0f, 12.0f, 24.0f}));
  plan.zones.boxes().push_back(aligned_group_box("", {-26.0f, 7.0f, 8.0f}, {8.0f, 8.0f, 8.0f}));
  plan.zones.boxes().push_back(aligned_group_box("", {43.0f, 7.0f, 0.0f}, {8.0f, 8.0f, 8.0f}));
  plan.zones.boxes().push_back(aligned_group_box("", {-32.0f, 10.0f, 12.0f}, {8.0f, 8.0f, 6.0f}));
  return plan;
}

TankPlan rocky_reef() {
  TankPlan plan;
  plan.tank = "Tank02_Reef01";
  plan.title = "Rocky Reef";
  plan.layout = "Layout02";
  std::vector<PlacedObject>& o = plan.objects;
  // A ridge along the back, a little left of the middle.
  o.push_back(rock("Rock04", -12.0f, 30.0f, 0.1f, 1.6f));
  o.push_back(rock("Rock02", 6.0f, 34.0f, 2.2f, 1.5f));
  o.push_back(rock("Rock05", -30.0f, 24.0f, 1.6f, 1.3f));
  o.push_back(rock("Rock06", 24.0f, 28.0f, 4.0f, 1.3f));
  // Boulders at the front right and the left.
  o.push_back(rock("Rock01", 56.0f, 10.0f, 2.8f, 1.0f));
  o.push_back(rock("Rock03", 36.0f, -12.0f, 0.9f, 1.2f));
  o.push_back(rock("Rock03", -54.0f, 6.0f, 4.4f, 1.6f));
  // A seagrass meadow on the left, broad leaves among the rocks.
  o.push_back(plant("Seagrass02", -50.0f, 30.0f, 0.4f));
  o.push_back(plant("Seagrass01", -40.0f, 36.0f, 2.0f));
  o.push_back(plant("Seagrass03", -66.0f, 18.0f, 1.1f));
  o.push_back(plant("Seagrass03", -36.0f, 4.0f, 5.0f));
  o.push_back(plant("Seagrass01", 66.0f, 32.0f, 3.0f));
  o.push_back(plant("SwordPlant02", -42.0f, -10.0f, 0.9f));
  o.push_back(plant("SwordPlant01", 60.0f, 28.0f, 2.6f));
  o.push_back(plant("RedPlant01", 38.0f, 20.0f, 1.4f, 1.2f));
  o.push_back(plant("RedPlant01", 22.0f, -16.0f, 3.7f));
  o.push_back(plant("Seagrass02", -4.0f, 44.0f, 0.2f));
  o.push_back(plant("Seagrass01", 16.0f, 42.0f, 5.5f));
  o.push_back(plant("SwordPlant01", -20.0f, 10.0f, 4.1f, 0.8f));
  o.push_back(plant("Seagrass03", 50.0f, 40.0f, 2.9f));

  plan.zones.boxes().push_back(aligned_group_box("", {-20.0f, 8.0f, 12.0f}, {8.0f, 8.0f, 8.0f}));
  plan.zones.boxes().push_back(aligned_group_box("", {14.0f, 9.0f, 16.0f}, {8.0f, 8.0f, 8.0f}));
  plan.zones.boxes().push_back(aligned_group_box("", {44.0f, 7.0f, 2.0f}, {8.0f, 7.0f, 8.0f}));
  return plan;
}

}  // namespace forge::scenery
