#include "base/crt_random.h"
#include "fish/behaviour_states.h"
#include "fish/fish.h"
#include "fish/school_steering.h"

namespace fish {

void ChaseBehaviour::enter(const BehaviourArgument& argument) {
  Fish& f = fish();
  chased_ = argument.fish != &f ? argument.fish : nullptr;
  f.priority_base = 9.0f;
  f.drives.energy = 0.0f;
  add_push(f, f.forward() * 1.2f);
  f.motion.max_speed = 2.16f;
  if (chased_ != nullptr) {
    BehaviourArgument flee;
    flee.fish = &f;
    chased_->set_state(kFlee, flee);
  }
  duration_ = argument.duration != 0.0f ? argument.duration : random_spread() + 2.5f;
  elapsed_ = 0.0f;
}

void ChaseBehaviour::update(float dt) {
  Fish& f = fish();
  if (chased_ == nullptr) {
    finish();
    return;
  }
  standard_steering(f, chased_);
  elapsed_ += dt;
  if (elapsed_ >= duration_) {
    finish();
    return;
  }
  seek_point(f, chased_->centre(), 0.1f, f.motion.max_speed);
}

void ChaseBehaviour::leave() {
  Fish& f = fish();
  f.motion.max_speed = Fish::kMaxSpeed;
  clear_motion(f);
  // The link goes first, so the fleeing fish's own leaving does not call
  // back into this one.
  Fish* chased = chased_;
  chased_ = nullptr;
  if (chased != nullptr && chased->state() == kFlee && chased->current()->partner() == &f) {
    chased->finish_behaviour();
  }
}

void ChaseBehaviour::forget(const Fish& gone) {
  if (chased_ == &gone) chased_ = nullptr;
}

void FleeBehaviour::enter(const BehaviourArgument& argument) {
  Fish& f = fish();
  chaser_ = argument.fish != &f ? argument.fish : nullptr;
  f.motion.max_speed = 2.4f;
  f.drives.energy -= (random_spread() * 0.01f + 0.03f) * f.drives.drive_rate;
}

void FleeBehaviour::update(float) {
  Fish& f = fish();
  if (chaser_ == nullptr) {
    finish();
    return;
  }
  standard_steering(f);
  if (base::length(chaser_->mouth() - f.centre()) < f.length) add_push(f, f.forward() * f.motion.max_speed);
}

void FleeBehaviour::leave() {
  Fish& f = fish();
  f.motion.max_speed = Fish::kMaxSpeed;
  Fish* chaser = chaser_;
  chaser_ = nullptr;
  if (chaser != nullptr && chaser->state() == kChase && chaser->current()->partner() == &f) {
    chaser->finish_behaviour();
  }
}

void FleeBehaviour::forget(const Fish& gone) {
  if (chaser_ == &gone) chaser_ = nullptr;
}

}  // namespace fish
