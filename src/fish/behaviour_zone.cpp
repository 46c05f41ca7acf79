#include <algorithm>
#include <cmath>

#include "base/crt_random.h"
#include "fish/behaviour_states.h"
#include "fish/fish.h"
#include "fish/school_steering.h"
#include "fish/school_zones.h"

namespace fish {

namespace {

bool within(const base::Vec3& local, float reach) {
  return std::fabs(local.x) <= reach && std::fabs(local.y) <= reach && std::fabs(local.z) <= reach;
}

bool open_range(float v, float lo, float hi) { return v > lo && v < hi; }

}  // namespace

// --- going to a zone

void GoToZoneBehaviour::enter(const BehaviourArgument& argument) {
  zone_ = argument.zone;
  elapsed_ = 0.0f;
  gain_ = (base::crt_rand().unit() + 1.0f) * 0.5f;
  fish().drives.hiding_urge = 0.0f;
}

void GoToZoneBehaviour::update(float dt) {
  Fish& f = fish();
  if (zone_ == nullptr) {
    finish();
    return;
  }
  if (!f.free()) return;
  avoid_neighbours(f);
  keep_in_box(f);
  elapsed_ += dt;
  if (zone_->full() || zone_->crowding() >= 0.8f || elapsed_ >= 12.0f) {
    finish();
    return;
  }
  if (within(zone_->to_local(f.centre()), 0.5f)) {
    BehaviourArgument argument;
    argument.zone = zone_;
    switch_to(kDwellInZone, argument);
    return;
  }
  seek_point(f, zone_->centre, 0.1f, gain_);
}

void GoToZoneBehaviour::leave() {
  fish().drives.hiding_urge = 0.0f;
  zone_ = nullptr;
}

// --- choices in a zone

bool ZoneBehaviour::try_nibble() {
  Fish& f = fish();
  if (zone_ == nullptr || f.body.turn_clock().running() || zone_->nibbler != nullptr || !(elapsed_ > 3.0f)) {
    return false;
  }
  const base::Matrix& frame = f.body.body_frame();
  const base::Vec3 h = zone_->to_local(base::translation_of(frame));
  const base::Vec3 forward = base::row3(frame, 2);
  const bool x_ok = (open_range(h.x, -0.3f, 0.4f) && forward.x > 0.0f) || (open_range(h.x, -0.4f, 0.3f) && forward.x < 0.0f);
  const bool z_ok = (open_range(h.z, -0.4f, 0.4f) && forward.z > 0.0f) || (open_range(h.z, -0.4f, 0.3f) && forward.z < 0.0f);
  const bool y_ok = h.y > -1.0f && h.y < 0.2f - (std::fabs(h.z) + std::fabs(h.x)) * 0.2f;
  if (!x_ok || !z_ok || !y_ok) return false;
  BehaviourArgument argument;
  argument.zone = zone_;
  switch_to(kNibbleInZone, argument);
  return true;
}

bool ZoneBehaviour::try_rub() {
  Fish& f = fish();
  if (zone_ == nullptr || f.body.turn_clock().running() || !(elapsed_ >= 3.0f)) return false;
  const base::Matrix& frame = f.body.body_frame();
  const base::Vec3 position = base::translation_of(frame);
  const base::Vec3 h = zone_->to_local(position);
  const base::Vec3 F = base::row3(frame, 2);
  if (!(h.y <= F.y)) return false;
  if (!((open_range(h.x, -0.45f, 0.0f) && F.x < 0.0f) || (open_range(h.x, 0.0f, 0.45f) && F.x > 0.0f))) return false;
  if (!((open_range(h.z, -0.45f, 0.0f) && F.z < 0.0f) || (open_range(h.z, 0.0f, 0.45f) && F.z > 0.0f))) return false;
  if (!((std::fabs(F.x) >= std::fabs(F.z) && std::fabs(h.z) < 0.2f) || std::fabs(F.x) <= std::fabs(F.z))) return false;
  if (!open_range(h.y, -0.5f, 0.25f)) return false;
  const base::Vec3 d = base::normalize(position - zone_->centre);
  if (F.x * d.x + F.z * d.z > 0.6f || (std::fabs(h.x) < 0.35f && F.z < -0.6f)) {
    BehaviourArgument argument;
    argument.zone = zone_;
    switch_to(kRubInZone, argument);
    return true;
  }
  return false;
}

bool ZoneBehaviour::try_challenge() {
  Fish& f = fish();
  if (zone_ == nullptr || !(elapsed_ > 5.0f)) return false;
  Fish* owner = zone_->owner;
  if (owner == nullptr) {
    BehaviourArgument argument;
    argument.zone = zone_;
    switch_to(kGuardZone, argument);
    return true;
  }
  if (owner != &f && owner->state() == kGuardZone && f.length > owner->length) {
    start_chase(*owner, 2.5f);
    return true;
  }
  return false;
}

// --- dwelling

void DwellInZoneBehaviour::enter(const BehaviourArgument& argument) {
  zone_ = argument.zone;
  elapsed_ = 0.0f;
  if (zone_ == nullptr) return;
  zone_->add_occupant(fish().length);
  pick_point();
}

void DwellInZoneBehaviour::pick_point() {
  base::CrtRandom& random = base::crt_rand();
  gain_ = (random.unit() + 1.0f) * 0.5f;
  if (zone_ == nullptr) return;
  const float a = zone_->reach * zone_->occupied_length * 0.2f;
  const float lo = -a - 0.3f;
  const float hi = a + 0.3f;
  const float x = lo + random.unit() * (hi - lo);
  const float y = random.unit() * (hi + 0.3f) - 0.3f;
  const float z = lo + random.unit() * (hi - lo);
  point_ = zone_->to_world({x, y, z});
}

void DwellInZoneBehaviour::resume() { pick_point(); }

void DwellInZoneBehaviour::update(float dt) {
  Fish& f = fish();
  if (zone_ == nullptr) {
    finish();
    return;
  }
  if (!f.free()) return;
  avoid_neighbours(f);
  keep_in_box(f);
  brake(f, 0.5f, 1.0f - dt * 0.2f);
  if (within(zone_->to_local(f.centre()), 0.7f)) {
    elapsed_ += dt;
    if (seek_point(f, point_, 0.1f, gain_)) pick_point();
  } else {
    elapsed_ = std::min(elapsed_, 4.0f) - dt;
    if (elapsed_ < 0.0f) finish();
  }
}

void DwellInZoneBehaviour::tick() {
  if (try_food() || try_chase(true, -1.0f, 0.0f) || try_chase(false, -2.0f, 0.0f) || try_play() || try_challenge()) {
    return;
  }
  try_nibble();
}

void DwellInZoneBehaviour::switch_to(int state, const BehaviourArgument& argument) {
  Fish& f = fish();
  if (state == kDwellInZone || f.current() != this || zone_ == nullptr) {
    Behaviour::switch_to(state, argument);
    return;
  }
  // The fish stays counted in the zone while it is away: leaving uncounts
  // it, so it is counted once more.
  HidingZone* zone = zone_;
  const float length = f.length;
  f.set_return_behaviour(this);
  Behaviour::switch_to(state, argument);
  zone_ = zone;
  zone->add_occupant(length);
}

void DwellInZoneBehaviour::leave() {
  if (zone_ != nullptr) zone_->remove_occupant(fish().length);
  zone_ = nullptr;
}

// --- guarding

void GuardZoneBehaviour::enter(const BehaviourArgument& argument) {
  Fish& f = fish();
  zone_ = argument.zone;
  elapsed_ = 0.0f;
  f.priority_base = 9999.0f;
  if (zone_ == nullptr) return;
  zone_->owner = &f;
  zone_->add_occupant(f.length);
  pick_point();
}

void GuardZoneBehaviour::pick_point() {
  base::CrtRandom& random = base::crt_rand();
  if (zone_ == nullptr) return;
  const float off_centre = base::length(zone_->to_local(fish().centre()));
  gain_ = random.unit() * 0.25f + 0.05f + 0.2f * off_centre;
  const float x = random.unit() * 0.8f - 0.4f;
  const float y = random.unit() * 0.4f - 0.3f;
  const float z = random.unit() * 0.8f - 0.4f;
  point_ = zone_->to_world({x, y, z});
}

void GuardZoneBehaviour::resume() { pick_point(); }

void GuardZoneBehaviour::update(float dt) {
  Fish& f = fish();
  if (zone_ == nullptr) {
    finish();
    return;
  }
  elapsed_ += dt;
  if (!f.free()) return;
  avoid_neighbours(f);
  keep_in_box(f);
  if (seek_point(f, point_, 0.1f, gain_)) pick_point();
  brake(f, 0.2f, 1.0f - dt * 0.5f);
}

void GuardZoneBehaviour::tick() {
  if (try_food()) return;
  if (try_chase(true, -1.0f, random_spread() * 0.5f + 2.0f)) return;
  if (try_chase(false, -2.0f, random_spread() * 0.5f + 1.0f)) return;
  if (try_rub() || try_nibble()) return;
  pick_point();
}

void GuardZoneBehaviour::leave() {
  Fish& f = fish();
  if (zone_ != nullptr) {
    zone_->remove_occupant(f.length);
    if (zone_->owner == &f) zone_->owner = nullptr;
  }
  zone_ = nullptr;
}

// --- rubbing

void RubInZoneBehaviour::enter(const BehaviourArgument& argument) {
  Fish& f = fish();
  zone_ = argument.zone;
  f.priority_base = 999999.0f;
  f.drives.energy -= (random_spread() * 0.2f + 0.3f) * f.drives.drive_rate;
  clear_motion(f);
  f.body.clear_chain();
  const float l = zone_ != nullptr ? base::length(zone_->to_local(f.centre())) : 0.0f;
  const float first = (random_spread() * 5.0f + 8.0f) * l;
  second_leg_ = random_spread() * 5.0f + 8.0f;
  total_ = first + second_leg_;
  f.body.restart_burst(first);
  amplitude_ = l * (random_spread() * 0.2f - 3.0f);
  first_leg_ = true;
}

void RubInZoneBehaviour::update(float dt) {
  Fish& f = fish();
  total_ -= dt;
  if (total_ <= 0.0f || zone_ == nullptr) {
    finish();
    return;
  }
  BodyMotion& body = f.body;
  if (!body.burst_clock().running()) {
    if (!f.free()) {
      finish();
      return;
    }
    body.restart_burst(second_leg_);
    first_leg_ = false;
    amplitude_ *= 0.25f;
    second_leg_ *= 0.25f;
  }
  const base::Matrix& frame = body.body_frame();
  const base::Vec3 head = zone_->to_local(base::translation_of(frame));
  const base::Vec3 forward = base::row3(frame, 2);
  const bool x_in = (open_range(head.x, -0.4f, 0.1f) && forward.x < 0.0f) || (open_range(head.x, -0.1f, 0.4f) && forward.x > 0.0f);
  const bool z_in = (open_range(head.z, -0.55f, -0.1f) && forward.z < 0.0f) || (open_range(head.z, -0.2f, 0.55f) && forward.z > 0.0f);
  if (head.y > -0.4f && x_in && z_in) {
    const BodyClock& burst = body.burst_clock();
    const double along = burst.duration > 0.0 ? std::sin(burst.elapsed / burst.duration * 3.1415927) : 0.0;
    body.displace(dt * static_cast<float>(along) * amplitude_);
  } else if (first_leg_) {
    total_ *= 1.0f - dt;
  }
  // Half way round towards the way out from the zone's centre.
  base::Vec3 out = base::translation_of(frame) - zone_->centre;
  out.y = 0.2f;
  const base::Vec3 turned = base::normalize(forward + base::normalize(out));
  if (base::length_sq(turned) > 0.0f) {
    base::Matrix next = frame;
    next.m[2][0] = turned.x;
    next.m[2][1] = turned.y;
    next.m[2][2] = turned.z;
    body.set_body_frame(next, dt);
  }
}

void RubInZoneBehaviour::leave() {
  fish().body.finish_burst();
  zone_ = nullptr;
}

}  // namespace fish
