#pragma once

#include <memory>
#include <span>
#include <vector>

#include "base/crt_random.h"
#include "fish/fish.h"
#include "fish/fish_kind.h"
#include "fish/fish_population.h"
#include "fish/obstacle.h"
#include "fish/school_groups.h"
#include "fish/swim_context.h"
#include "model/mesh_library.h"
#include "scene/group_box.h"

namespace scene {
class Camera;
class Scene;
}

namespace fish {

class FoodSource;

// Owns the fish of the tank and moves them every frame: the slots the
// population fills, the schools, the hiding zones, the scenery the fish
// bump into and the food they eat.
class FishManager : public FishSlots {
 public:
  // Slots the population may fill; a benchmark may ask for more.
  static constexpr int kDefaultCapacity = FishPopulation::kSlotCount;

  explicit FishManager(int capacity = kDefaultCapacity, base::CrtRandom& random = base::crt_rand(),
                       model::MeshLibrary& library = model::mesh_library());
  ~FishManager() override;
  FishManager(const FishManager&) = delete;
  FishManager& operator=(const FishManager&) = delete;

  // --- FishSlots
  // A fish of kind in an empty slot: a clone of the first fish of the kind,
  // else made from the package's model and attributes; placed in the swim
  // box and sized. False for a slot out of range or taken, or a package
  // without a model.
  bool create_fish(int slot, int kind, render::PackageReader& package) override;
  // The fish leaves its behaviours (food, zone and partners are let go) and
  // every link to it is cleared before it is deleted.
  void remove_fish(int slot) override;
  void remove_all() override;
  void drop_food() override;

  // A new tank: behaviours reset, the swim box from the ocean box (without
  // one, `fallback`), every fish placed anew, food cleared, hiding zones
  // made from `zones`.
  void SetSwimBox(const scene::GroupBox* ocean, const scene::GroupBoxList* zones,
                  const scene::AlignedBox& fallback = scene::AlignedBox{{-50, 5, -25}, {50, 55, 25}});
  void set_obstacles(const scene::Scene& scene);
  void set_obstacles(std::vector<Obstacle> obstacles) { obstacles_ = std::move(obstacles); }
  // The food source must outlive the manager (its fish let go of food when
  // they go), or be unset before it goes.
  void set_food_source(FoodSource* food) { context_.food = food; }
  // Without a camera of its own the manager uses the process-wide one.
  void set_camera(const scene::Camera* camera) { camera_ = camera; }
  void set_light_level(float level) { context_.light_level = level; }

  // The frame step of the fish.
  void UpdateFish(float dt);
  void update(float dt) { UpdateFish(dt); }
  // The fish by their centre's depth, nearest the front first.
  void SortForDrawing();
  // Startles every fish under a point of the 3D view; the number startled.
  int ClickAt(float x, float y);

  // The fish in list order and in drawing order.
  std::span<Fish* const> fish() const { return list_; }
  std::span<Fish* const> draw_order() const { return draw_order_; }
  std::size_t count() const { return list_.size(); }
  Fish* fish_in_slot(int slot) const;
  const std::vector<std::unique_ptr<School>>& schools() const { return schools_; }
  const std::vector<Obstacle>& obstacles() const { return obstacles_; }
  SwimContext& context() { return context_; }
  const SwimContext& context() const { return context_; }
  const scene::AlignedBox& swim_box() const { return context_.swim_box; }
  float floor_level() const { return floor_level_; }
  float mid_level() const { return mid_level_; }
  const KindAttributesCache& attribute_cache() const { return attributes_; }

 private:
  void place(Fish& fish);
  void forget_schools();
  void rebuild_schools();

  base::CrtRandom& random_;
  model::MeshLibrary& library_;
  SwimContext context_;
  const scene::Camera* camera_ = nullptr;
  KindAttributesCache attributes_;
  std::vector<std::unique_ptr<Fish>> owned_;
  std::vector<Fish*> slots_;
  std::vector<Fish*> list_;
  std::vector<Fish*> update_order_;
  std::vector<Fish*> draw_order_;
  std::vector<std::unique_ptr<School>> schools_;
  bool schools_dirty_ = true;
  std::vector<Obstacle> obstacles_;
  float floor_level_ = 0.0f;
  float mid_level_ = 0.0f;
};

}  // namespace fish
