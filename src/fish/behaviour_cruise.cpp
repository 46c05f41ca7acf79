#include <cmath>

#include "base/crt_random.h"
#include "fish/behaviour_states.h"
#include "fish/fish.h"
#include "fish/school_steering.h"
#include "fish/swim_context.h"
#include "scene/camera.h"

namespace fish {

void CruiseBehaviour::enter(const BehaviourArgument&) {
  speed_ = random_spread() * 0.2f + 0.4f;
  phase_ = 0.0f;
  amplitude_ = random_spread() * 0.2f + 0.8f;
  decision_timer_ = 0.0f;
}

void CruiseBehaviour::update(float dt) {
  Fish& f = fish();
  if (standard_steering(f) || follow_school(f)) return;
  if (cruise(f, speed_)) {
    decision_timer_ -= dt;
  } else if (f.motion.push.y == 0.0f) {
    phase_ += dt * 0.5f;
    add_push(f, {0.0f, std::sin(phase_) * amplitude_, 0.0f});
  }
}

void CruiseBehaviour::tick() {
  if (try_food() || try_hide() || try_chase(false, -1.0f, 0.0f) || try_play()) return;
  Fish& f = fish();
  if (!(decision_timer_ < 0.0f) || !f.calm()) return;
  decision_timer_ = random_spread() * 2.0f + 5.0f;
  base::CrtRandom& random = base::crt_rand();
  if (random.chance(0.8f)) {
    switch_to(kVisitGlass);
  } else if (f.sort_key == 0.0f && random.chance(0.3f)) {
    const float angle = (random_spread() + 1.0f) * 0.19634955f;
    const float time = random_spread() * 0.1f + 0.2f;
    f.body.start_turn(angle, time, false);
  }
}

void VisitGlassBehaviour::enter(const BehaviourArgument&) {
  Fish& f = fish();
  f.drives.energy = 0.0f;
  timer_ = random_spread() * 5.0f + 10.0f;
  gain_ = (base::crt_rand().unit() + 1.0f) * 0.5f;
}

namespace {

// Where the viewer is: the camera's eye, or without a camera a point in
// front of the swim box's front side.
base::Vec3 viewer(const SwimContext& context) {
  if (context.camera != nullptr) return context.camera->eye();
  const scene::AlignedBox& box = context.swim_box;
  const base::Vec3 c = box.centre();
  return {c.x, c.y, box.min.z - (box.max.z - box.min.z)};
}

}  // namespace

void VisitGlassBehaviour::update(float dt) {
  Fish& f = fish();
  if (!f.free()) return;
  avoid_zones(f);
  avoid_neighbours(f);
  if (gain_ != 0.0f) {
    keep_in_box(f);
    if (f.motion.push.z > 0.1f && f.motion.push_magnitude >= f.motion.max_speed) {
      gain_ = 0.0f;
      timer_ = random_spread() * 2.0f + 2.5f;
      clear_motion(f);
    } else {
      seek_point(f, viewer(f.context), 0.1f, gain_);
    }
    return;
  }
  timer_ -= dt;
  if (timer_ > 0.0f) {
    // The box steering stays on while the fish wiggles: without it the
    // wiggle's own speed carries the fish on through the glass.
    keep_in_box(f);
    const float wiggle = std::sin(5.0f * static_cast<float>(f.context.time)) >= 0.0f ? 1.0f : -1.0f;
    add_push(f, {0.0f, wiggle, 0.0f});
  } else {
    finish();
  }
}

void VisitGlassBehaviour::tick() {
  if (gain_ == 0.0f) return;
  timer_ -= fish().tick_period;
  if (timer_ < 0.0f) finish();
}

}  // namespace fish
