#include "fish/fish.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string_view>

#include "base/crt_random.h"
#include "fish/school_steering.h"
#include "fish/swim_context.h"
#include "scene/camera.h"

namespace fish {

Drives Drives::fresh(base::CrtRandom& random) {
  Drives d;
  float r1 = random.unit();
  float r2 = random.unit();
  d.energy = r1 - r2;
  d.hunger = random.unit();
  r1 = random.unit();
  r2 = random.unit();
  d.hiding_urge = (r1 - r2) * 0.5f + 0.8f;
  r1 = random.unit();
  r2 = random.unit();
  d.drive_rate = (r1 - r2) * 0.4f + 0.5f;
  return d;
}

namespace {

float fresh_tick_period(base::CrtRandom& random) {
  const float r1 = random.unit();
  const float r2 = random.unit();
  return (r1 - r2) * 0.5f + 1.5f;
}

BodyParameters body_parameters(const FishKindAttributes& a) {
  BodyParameters p;
  p.normal_speed = a.normal_speed();
  p.normal_wave_size = a.normal_wave_size();
  p.normal_freq = a.normal_freq();
  p.elasticity = a.elasticity();
  p.origin_fraction = a.origin_fraction();
  p.follow_factor = a.follow_factor();
  p.pitch_limit = a.pitch_limit();
  p.spine_segments = a.spine_segments();
  return p;
}

bool contains_mo(std::string_view name) {
  for (std::size_t i = 0; i + 1 < name.size(); ++i) {
    if ((name[i] == 'm' || name[i] == 'M') && (name[i + 1] == 'o' || name[i + 1] == 'O')) return true;
  }
  return false;
}

// The model-space position of the first node whose name holds "mo".
bool find_named_point(const model::MeshNode& node, const base::Matrix& parent, base::Vec3& out) {
  for (const model::MeshNode* n = &node; n != nullptr; n = n->next_sibling.get()) {
    const base::Matrix world = n->rest_matrix * parent;
    if (contains_mo(n->name)) {
      out = base::translation_of(world);
      return true;
    }
    if (n->first_child && find_named_point(*n->first_child, world, out)) return true;
  }
  return false;
}

}  // namespace

Fish::Fish(int kind_number, bool dweller, std::shared_ptr<model::MeshNode> mesh,
           std::shared_ptr<const FishKindAttributes> kind_attributes, SwimContext& swim, base::CrtRandom& random)
    : kind(kind_number),
      is_dweller(dweller),
      model(std::move(mesh)),
      attributes(std::move(kind_attributes)),
      context(swim) {
  if (model) {
    model_min_ = model->box.min;
    model_max_ = model->box.max;
    base_length = 2.0f * (std::isfinite(model->radius) ? model->radius : 0.0f);
  }
  body.build_body(model_min_, model_max_, attributes ? body_parameters(*attributes) : BodyParameters{});
  find_mouth();
  drives = Drives::fresh(random);
  tick_period = fresh_tick_period(random);
  set_scale(1.0f);
  make_behaviours();
}

Fish::Fish(const Fish& prototype, base::CrtRandom& random)
    : kind(prototype.kind),
      is_dweller(prototype.is_dweller),
      model(prototype.model),
      attributes(prototype.attributes),
      context(prototype.context),
      base_length(prototype.base_length),
      body(prototype.body),
      model_min_(prototype.model_min_),
      model_max_(prototype.model_max_),
      mouth_local_(prototype.mouth_local_) {
  drives = Drives::fresh(random);
  tick_period = fresh_tick_period(random);
  set_scale(1.0f);
  make_behaviours();
}

Fish::~Fish() = default;

void Fish::find_mouth() {
  base::Vec3 point{0.0f, 0.0f, model_max_.z};
  if (model) find_named_point(*model, base::identity(), point);
  mouth_local_ = {point.x, point.y, point.z - model_max_.z};
}

void Fish::set_scale(float s) {
  scale = std::isfinite(s) && s > 0.0f ? s : 1.0f;
  motion.scale = scale;
  length = scale * base_length;
  const base::Vec3 size = model_max_ - model_min_;
  half_extents = {size.x * scale * 0.5f * 0.8f, size.y * scale * 0.5f * 0.9f, size.z * scale * 0.5f};
  centre_offset = model_max_.z - half_extents.z - (model_min_.z + model_max_.z) * 0.5f;
}

void Fish::place(const base::Matrix& transform) {
  motion.max_speed = kMaxSpeed;
  motion.push = {};
  motion.push_magnitude = 0.0f;
  motion.velocity = {};
  motion.speed = 0.0f;
  contact_time = 0.0f;
  contact_depth = 0.0f;
  held = false;
  body.reset_pose(transform);
  update_mouth();
}

OrientedBox Fish::collision_box() const {
  OrientedBox box;
  box.centre = centre();
  for (int i = 0; i < 3; ++i) box.axes[static_cast<std::size_t>(i)] = base::normalize(base::row3(world(), i));
  box.half = half_extents;
  return box;
}

std::array<base::Vec3, 8> Fish::box_corners() const {
  const OrientedBox box = collision_box();
  std::array<base::Vec3, 8> corners;
  for (int i = 0; i < 8; ++i) {
    corners[static_cast<std::size_t>(i)] = box.centre + box.axes[0] * ((i & 4) ? box.half.x : -box.half.x) +
                                           box.axes[1] * ((i & 2) ? box.half.y : -box.half.y) +
                                           box.axes[2] * ((i & 1) ? box.half.z : -box.half.z);
  }
  return corners;
}

base::Matrix Fish::model_matrix() const {
  return base::translation(0.0f, 0.0f, -model_max_.z) * base::scaling(scale, scale, scale) * body.body_frame();
}

void Fish::update_mouth() { mouth_ = base::transform_coord(mouth_local_ * scale, body.body_frame()); }

bool Fish::available() const { return contact_depth >= 0.0f && current_ != nullptr && current_->can_be_interrupted(); }

void Fish::make_behaviours() {
  // Every state is made up front: a state first entered hours into a run
  // must not allocate in the frame step.
  for (int state = 0; state < kStateCount; ++state) {
    behaviours_[static_cast<std::size_t>(state)] = make_behaviour(state, *this);
  }
  current_ = return_ = &behaviour_for(kCruise);
}

Behaviour& Fish::behaviour_for(int state) {
  return *behaviours_[static_cast<std::size_t>(std::clamp(state, 0, kStateCount - 1))];
}

Behaviour* Fish::behaviour(int state) const {
  if (state < 0 || state >= kStateCount) return nullptr;
  return behaviours_[static_cast<std::size_t>(state)].get();
}

void Fish::set_state(int state, const BehaviourArgument& argument) {
  if (state < 0 || state >= kStateCount) return;
  if (current_ != nullptr && current_->state() == state) return;
  if (current_ != nullptr) current_->leave();
  current_ = &behaviour_for(state);
  priority_base = 0.0f;
  current_->enter(argument);
}

void Fish::finish_behaviour() {
  Behaviour* finishing = current_;
  Behaviour* next = return_ != nullptr ? return_ : &behaviour_for(kCruise);
  return_ = &behaviour_for(kCruise);
  current_ = next;
  if (finishing != nullptr && finishing != next) finishing->leave();
  if (current_ == next) current_->resume();
}

void Fish::reset_behaviours() {
  Behaviour* current = current_;
  Behaviour* back = return_;
  Behaviour& cruising = behaviour_for(kCruise);
  current_ = return_ = &cruising;
  if (current != nullptr) current->leave();
  if (back != nullptr && back != current) back->leave();
  priority_base = 0.0f;
  held = false;
  motion.max_speed = kMaxSpeed;
}

void Fish::forget(const Fish& gone) {
  std::erase_if(neighbours, [&](const NeighbourRecord& r) { return r.other == &gone; });
  for (auto& behaviour : behaviours_) {
    if (behaviour) behaviour->forget(gone);
  }
}

void Fish::drive_tick() {
  drives.hunger += 0.2f * tick_period;
  drives.hiding_urge += 0.2f * tick_period;
  if (drives.hunger >= 0.8f) {
    const float r1 = base::crt_rand().unit();
    const float r2 = base::crt_rand().unit();
    drives.energy -= ((r1 - r2) * 0.01f + 0.03f) * drives.drive_rate;
  }
}

void Fish::update(float dt) {
  current_->update(dt);

  drive_clock += dt;
  if (drive_clock > tick_period) {
    drive_clock -= tick_period;
    drive_tick();
    current_->tick();
    tick_period = fresh_tick_period(base::crt_rand());
  }

  top_of_view_check(*this, context.camera);
  if (!held) body.update_body(motion, dt, context.smoothed_dt);
  update_mouth();
  visible = context.camera == nullptr || context.camera->box_visible(base::identity(), box_corners());
}

}  // namespace fish
