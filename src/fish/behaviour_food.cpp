#include <algorithm>
#include <cmath>

#include "base/crt_random.h"
#include "fish/behaviour_states.h"
#include "fish/fish.h"
#include "fish/food_source.h"
#include "fish/school_steering.h"
#include "fish/swim_context.h"

namespace fish {

namespace {

bool item_present(const Fish& fish, const FoodItem* item) {
  return item != nullptr && fish.context.food != nullptr && fish.context.food->present(item);
}

}  // namespace

void HuntFoodBehaviour::enter(const BehaviourArgument& argument) {
  Fish& f = fish();
  item_ = argument.food;
  f.priority_base = (random_spread() * 0.5f + 1.0f) * 999.0f;
  gain_ = (base::crt_rand().unit() + 1.0f) * 0.5f * 5.0f;
  patience_ = random_spread() * 2.0f + 3.0f;
  if (item_ != nullptr) item_->claimed = true;
  ++f.context.hunters;
  counted_ = true;
}

void HuntFoodBehaviour::update(float dt) {
  Fish& f = fish();
  standard_steering(f);
  if (!item_present(f, item_)) {
    finish();
    return;
  }
  const base::Matrix& frame = f.body.body_frame();
  const base::Vec3 origin = base::translation_of(frame);
  const base::Vec3 forward = base::row3(frame, 2);
  const base::Vec3 to_item = item_->position - origin;
  const base::Vec3 d = base::normalize(to_item);
  if (base::dot(forward, d) <= 0.0f || std::fabs(d.y) >= 0.6f) {
    patience_ -= dt;
    if (patience_ <= 0.0f) finish();
    return;
  }
  if (seek_point(f, origin, item_->position, 0.1f, gain_)) {
    BehaviourArgument argument;
    argument.food = item_;
    switch_to(kBite, argument);
    return;
  }
  if (base::length(to_item) <= 5.0f * f.length) {
    // Close by, the item slows and drifts towards the mouth line.
    item_->sink_speed *= 1.0f - dt * 0.1f;
    const base::Vec3 right = base::row3(frame, 0);
    const base::Vec3 up = base::row3(frame, 1);
    const float x = base::dot(to_item, right);
    const float y = base::dot(to_item, up);
    if (std::fabs(x) <= 0.5f && std::fabs(y) <= 0.5f) {
      item_->position -= (right * x + up * y) * (dt * 0.5f);
    }
  }
}

void HuntFoodBehaviour::leave() {
  Fish& f = fish();
  if (counted_) {
    f.context.hunters = std::max(0, f.context.hunters - 1);
    counted_ = false;
  }
  if (item_present(f, item_)) f.context.food->release(item_);
  item_ = nullptr;
}

void BiteBehaviour::enter(const BehaviourArgument& argument) {
  Fish& f = fish();
  item_ = argument.food;
  elapsed_ = 0.0f;
  if (!item_present(f, item_)) {
    duration_ = 0.0f;
    return;
  }
  // Held still and kept claimed while the mouth closes on it.
  item_->sink_speed = 0.0f;
  item_->claimed = true;
  start_ = f.mouth();
  end_ = item_->position;
  const base::Vec3 to_item = end_ - start_;
  duration_ = base::length(to_item) / (std::max(0.0f, f.motion.speed) * f.length + 2.0f);
  f.held = true;
  f.motion.velocity = base::normalize(to_item) * f.motion.speed;
}

void BiteBehaviour::update(float dt) {
  Fish& f = fish();
  if (!item_present(f, item_)) {
    finish();
    return;
  }
  elapsed_ += dt;
  const float t = duration_ > 0.0f ? std::min(elapsed_ / duration_, 1.0f) : 1.0f;
  const base::Vec3 wanted = base::lerp(start_, end_, t);
  base::Matrix frame = f.body.body_frame();
  const base::Vec3 moved = base::translation_of(frame) + (wanted - f.mouth());
  frame.m[3][0] = moved.x;
  frame.m[3][1] = moved.y;
  frame.m[3][2] = moved.z;
  f.body.set_body_frame(frame, dt);
  if (t >= 1.0f) {
    BehaviourArgument argument;
    argument.food = item_;
    switch_to(kChew, argument);
  }
}

void BiteBehaviour::leave() {
  Fish& f = fish();
  f.held = false;
  if (f.state() != kChew && item_present(f, item_)) f.context.food->release(item_);
  item_ = nullptr;
}

void ChewBehaviour::enter(const BehaviourArgument& argument) {
  Fish& f = fish();
  item_ = argument.food;
  spat_ = false;
  spit_elapsed_ = 0.0f;
  timer_ = random_spread() + 3.0f;
  if (!item_present(f, item_)) {
    swallow_ = false;
    return;
  }
  item_->being_eaten = true;
  item_->claimed = true;
  const bool small = item_->size < f.context.food->min_size();
  swallow_ = small || base::crt_rand().chance(0.2f);
}

void ChewBehaviour::update(float dt) {
  Fish& f = fish();
  timer_ -= dt;
  if (!item_present(f, item_) || timer_ <= 0.0f) {
    finish();
    return;
  }
  if (!swallow_ && timer_ < 1.0f && !spat_) {
    spat_ = true;
    base::CrtRandom& random = base::crt_rand();
    float x = random_spread() * 0.2f + 0.8f;
    if (random.chance(0.5f)) x = -x;
    float y = random_spread() * 0.1f + 0.2f;
    if (random.chance(0.5f)) y = -y;
    const base::Matrix& frame = f.body.body_frame();
    spit_from_ = base::translation_of(frame);
    spit_to_ = base::transform_coord({x, y, f.motion.speed * 1.25f}, frame);
    item_->size *= random_spread() * 0.1f + 0.5f;
    item_->being_eaten = false;
  }
  if (spat_) {
    spit_elapsed_ += dt;
    item_->position = base::lerp(spit_from_, spit_to_, std::min(spit_elapsed_, 1.0f));
  }
  avoid_zones(f);
  avoid_neighbours(f);
  keep_in_box(f);
}

void ChewBehaviour::leave() {
  Fish& f = fish();
  const bool present = item_present(f, item_);
  if (swallow_) {
    if (present) f.context.food->remove(item_);
    f.drives.hunger = 0.0f;
    f.drives.energy += random_spread() * 0.2f + 0.5f;
  } else {
    if (present) f.context.food->release(item_);
    f.drives.hunger -= 0.4f;
    f.drives.energy += (random_spread() * 0.2f + 0.5f) * 0.5f;
  }
  item_ = nullptr;
}

}  // namespace fish
