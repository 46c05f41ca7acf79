#include "fish/fish_manager.h"

#include <algorithm>
#include <cmath>

#include "fish/fish_model.h"
#include "fish/food_source.h"
#include "fish/school_contact.h"
#include "fish/school_neighbours.h"
#include "model/pick.h"
#include "render/package_reader.h"
#include "scene/camera.h"
#include "scene/scene.h"

namespace fish {

FishManager::FishManager(int capacity, base::CrtRandom& random, model::MeshLibrary& library)
    : random_(random), library_(library), slots_(static_cast<std::size_t>(std::max(0, capacity)), nullptr) {
  context_.box_frame = unit_box_frame(context_.swim_box);
  floor_level_ = context_.swim_box.min.y + (context_.swim_box.max.y - context_.swim_box.min.y) * 0.05f;
  mid_level_ = context_.swim_box.min.y + (context_.swim_box.max.y - context_.swim_box.min.y) * 0.5f;
}

FishManager::~FishManager() {
  // Behaviours let go of food and zones the manager still holds.
  for (Fish* f : list_) f->reset_behaviours();
}

Fish* FishManager::fish_in_slot(int slot) const {
  if (slot < 0 || static_cast<std::size_t>(slot) >= slots_.size()) return nullptr;
  return slots_[static_cast<std::size_t>(slot)];
}

bool FishManager::create_fish(int slot, int kind, render::PackageReader& package) {
  if (slot < 0 || static_cast<std::size_t>(slot) >= slots_.size() || slots_[static_cast<std::size_t>(slot)]) {
    return false;
  }
  std::unique_ptr<Fish> created;
  const auto same_kind = std::find_if(list_.begin(), list_.end(), [&](const Fish* f) { return f->kind == kind; });
  if (same_kind != list_.end()) {
    created = std::make_unique<Fish>(**same_kind, random_);
  } else {
    std::shared_ptr<model::MeshNode> mesh = load_fish_model(kind, package, library_);
    if (!mesh) return false;
    std::shared_ptr<const FishKindAttributes> attributes = attributes_.get(kind, package);
    created = std::make_unique<Fish>(kind, package.class_byte() == 1, std::move(mesh), std::move(attributes),
                                     context_, random_);
  }
  Fish& fish = *created;
  place(fish);
  const float m = fish.is_dweller ? 0.65f : 0.8f;
  fish.set_scale(m + random_.unit() * (1.0f - m));
  fish.neighbours.reserve(16);
  slots_[static_cast<std::size_t>(slot)] = &fish;
  list_.push_back(&fish);
  owned_.push_back(std::move(created));
  update_order_.reserve(list_.size());
  draw_order_.push_back(&fish);
  forget_schools();
  return true;
}

void FishManager::place(Fish& fish) {
  const scene::AlignedBox& box = context_.swim_box;
  const float h = fish.model ? std::fabs(fish.model->box.max.y - fish.model->box.min.y) * fish.scale : 0.0f;
  float r1 = random_.unit();
  float r2 = random_.unit();
  const float x = box.min.x + ((r1 - r2) * 0.45f + 0.5f) * (box.max.x - box.min.x);
  r1 = random_.unit();
  r2 = random_.unit();
  const float z = box.min.z + ((r1 - r2) * 0.45f + 0.5f) * (box.max.z - box.min.z);
  r1 = random_.unit();
  r2 = random_.unit();
  const float y = box.min.y + ((r1 - r2) * 0.2f + 0.8f) * (box.max.y - h * 0.5f - box.min.y);
  base::Matrix transform = base::rotation_y(random_.unit() * 6.2831855f);
  transform.m[3][0] = std::isfinite(x) ? x : 0.0f;
  transform.m[3][1] = std::isfinite(y) ? y : 0.0f;
  transform.m[3][2] = std::isfinite(z) ? z : 0.0f;
  fish.place(transform);
}

void FishManager::forget_schools() {
  schools_.clear();
  for (Fish* f : list_) f->school = nullptr;
  schools_dirty_ = true;
}

void FishManager::rebuild_schools() {
  schools_ = build_schools(list_, random_);
  schools_dirty_ = false;
}

void FishManager::remove_fish(int slot) {
  Fish* gone = fish_in_slot(slot);
  if (gone == nullptr) return;
  gone->reset_behaviours();
  for (Fish* other : list_) {
    if (other != gone) other->forget(*gone);
  }
  context_.zones.forget(*gone);
  slots_[static_cast<std::size_t>(slot)] = nullptr;
  std::erase(list_, gone);
  std::erase(update_order_, gone);
  std::erase(draw_order_, gone);
  forget_schools();
  std::erase_if(owned_, [&](const std::unique_ptr<Fish>& f) { return f.get() == gone; });
}

void FishManager::remove_all() {
  for (Fish* f : list_) f->reset_behaviours();
  for (HidingZone& zone : context_.zones.zones()) {
    zone.owner = nullptr;
    zone.nibbler = nullptr;
  }
  std::fill(slots_.begin(), slots_.end(), nullptr);
  list_.clear();
  update_order_.clear();
  draw_order_.clear();
  schools_.clear();
  schools_dirty_ = true;
  owned_.clear();
}

void FishManager::drop_food() {
  if (context_.food != nullptr) context_.food->auto_feed(static_cast<int>(list_.size()));
}

void FishManager::SetSwimBox(const scene::GroupBox* ocean, const scene::GroupBoxList* zones,
                             const scene::AlignedBox& fallback) {
  for (Fish* f : list_) f->reset_behaviours();
  context_.zones.clear();
  if (ocean != nullptr) {
    context_.swim_box = ocean->bounds();
    const std::optional<base::Matrix> frame = base::inverse(ocean->transform);
    context_.box_frame = frame ? *frame : unit_box_frame(context_.swim_box);
    context_.box_turn = frame ? box_turn_of(ocean->transform) : base::identity();
  } else {
    context_.swim_box = fallback;
    context_.box_frame = unit_box_frame(fallback);
    context_.box_turn = base::identity();
  }
  for (Fish* f : list_) place(*f);
  if (context_.food != nullptr) context_.food->reset();
  forget_schools();
  const scene::AlignedBox& box = context_.swim_box;
  floor_level_ = box.min.y + (box.max.y - box.min.y) * 0.05f;
  mid_level_ = box.min.y + (box.max.y - box.min.y) * 0.5f;
  context_.zones.rebuild(zones);
}

void FishManager::set_obstacles(const scene::Scene& scene) {
  obstacles_.clear();
  for (const scene::SceneNode* node : scene.obstacles()) {
    if (const model::MeshNode* mesh = node->obstacle_node()) {
      obstacles_.push_back(Obstacle::from_node(*mesh, node->placement()));
    }
  }
}

void FishManager::UpdateFish(float dt) {
  dt = std::isfinite(dt) ? std::clamp(dt, 0.0f, 1.0f) : 0.0f;
  context_.time += dt;
  context_.smoothed_dt = (context_.smoothed_dt + std::min(static_cast<double>(dt), 0.1)) * 0.5;
  context_.camera = camera_ != nullptr ? camera_ : scene::Camera::current();

  context_.zones.tick(dt);
  if (context_.food != nullptr) context_.food->update(dt, context_.light_level);
  if (list_.empty()) return;
  if (schools_dirty_) rebuild_schools();
  for (const std::unique_ptr<School>& school : schools_) school->update(dt, random_);

  for (Fish* f : list_) {
    f->sort_key = f->priority_base;
    scenery_contact(*f, obstacles_, dt);
    f->encounter_score = 0.0f;
    f->neighbours.clear();
  }
  meet_neighbours(list_, context_.smoothed_dt);

  update_order_.assign(list_.begin(), list_.end());
  std::sort(update_order_.begin(), update_order_.end(),
            [](const Fish* a, const Fish* b) { return a->sort_key < b->sort_key; });
  for (Fish* f : update_order_) f->update(dt);
}

void FishManager::SortForDrawing() {
  draw_order_.assign(list_.begin(), list_.end());
  std::sort(draw_order_.begin(), draw_order_.end(),
            [](const Fish* a, const Fish* b) { return a->centre().z < b->centre().z; });
}

int FishManager::ClickAt(float x, float y) {
  const scene::Camera* camera = camera_ != nullptr ? camera_ : scene::Camera::current();
  if (camera == nullptr) return 0;
  const scene::Camera::Ray ray = camera->screen_ray(x, y);
  int startled = 0;
  for (Fish* f : list_) {
    if (!f->model) continue;
    const base::Matrix matrix = f->model_matrix();
    if (!model::pick(*f->model, model::Ray{ray.origin, ray.direction}, &matrix, false, nullptr)) continue;
    f->drives.energy = 0.0f;
    const float r1 = random_.unit();
    const float r2 = random_.unit();
    const float angle = (r1 - r2) * 1.5707964f;
    const float r3 = random_.unit();
    const float r4 = random_.unit();
    f->body.start_turn(angle, (r3 - r4) * 0.1f + 0.4f, true);
    ++startled;
  }
  return startled;
}

}  // namespace fish
