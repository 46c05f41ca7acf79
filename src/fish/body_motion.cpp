#include "fish/body_motion.h"

#include <algorithm>
#include <cmath>

#include "base/crt_random.h"

namespace fish {

using base::Matrix;
using base::Vec3;

namespace {

constexpr Vec3 kWorldUp{0.0f, 1.0f, 0.0f};
// Squared distances below this count as no direction at all.
constexpr float kTinySq = 1e-12f;

float unit_random() { return base::crt_rand().unit(); }

Matrix frame_rows(const Vec3& right, const Vec3& up, const Vec3& forward, const Vec3& position) {
  Matrix m = base::identity();
  const Vec3 rows[4] = {right, up, forward, position};
  for (int r = 0; r < 4; ++r) {
    m.m[r][0] = rows[r].x;
    m.m[r][1] = rows[r].y;
    m.m[r][2] = rows[r].z;
  }
  return m;
}

void set_position(Matrix& m, const Vec3& p) {
  m.m[3][0] = p.x;
  m.m[3][1] = p.y;
  m.m[3][2] = p.z;
}

// An orthonormal frame whose forward row points along `forward` and whose up
// row leans to the world up. Straight up or down there is no such lean, so
// the previous right row (made perpendicular) keeps the frame from spinning
// or collapsing.
Matrix frame_from_forward(const Vec3& forward, const Vec3& position, const Vec3& previous_right) {
  Vec3 f = base::normalize(forward);
  if (base::length_sq(f) < 0.5f) f = {0.0f, 0.0f, 1.0f};
  Vec3 right = base::cross(kWorldUp, f);
  if (base::length_sq(right) < 1e-8f) {
    right = previous_right - f * base::dot(previous_right, f);
    if (base::length_sq(right) < 1e-8f) right = base::cross(Vec3{0.0f, 0.0f, -1.0f}, f);
    if (base::length_sq(right) < 1e-8f) right = {1.0f, 0.0f, 0.0f};
  }
  right = base::normalize(right);
  const Vec3 up = base::cross(f, right);
  return frame_rows(right, up, f, position);
}

float finite_or_zero(float value) { return std::isfinite(value) ? value : 0.0f; }

}  // namespace

void BodyMotion::build_body(const Vec3& box_min, const Vec3& box_max, const BodyParameters& parameters) {
  parameters_ = parameters;
  if (parameters_.origin_fraction == 0.0f) parameters_.origin_fraction = 0.5f;
  if (parameters_.follow_factor == 0.0f) parameters_.follow_factor = 0.1f;
  if (parameters_.pitch_limit == 0.0f) parameters_.pitch_limit = 0.6f;
  if (parameters_.spine_segments == 0) parameters_.spine_segments = kDefaultSpineSegments;

  const float extent = box_max.z - box_min.z;
  length_ = std::isfinite(extent) && extent > 0.0f ? extent : 0.0f;
  max_z_ = finite_or_zero(box_max.z);
  layout_ = layout_bones(max_z_ - length_, max_z_, parameters_.spine_segments);
  for (int i = 0; i < layout_.count; ++i) bones_[i].rest = layout_.bones[i];

  // The wave frequency's sign carries no meaning; its magnitude sets the
  // spine's stiffness (a square root of a negative word would poison the
  // whole body).
  const float frequency = std::fabs(parameters_.normal_freq);
  const float root_length = std::sqrt(length_);
  float stiffness = 2.0f * root_length * std::sqrt(frequency) * parameters_.elasticity;
  for (int k = 0; k < kChainNodeCount; ++k) {
    ChainNode& node = chain_[k];
    node = ChainNode{};
    if (k > 0) {
      node.offset = layout_.bones[layout_.anchors[k - 1]].start_z - layout_.bones[layout_.anchors[k]].start_z;
    }
    node.stiffness = stiffness;
    stiffness *= 0.95f;
  }
  turn_power_ = 120.0f * length_;
  turn_strength_ = 0.0f;
  drift_turn_ = 0.0f;
  pitch_strength_ = 0.0f;
  pitch_clock_ = BodyClock{};
  turn_clock_ = BodyClock{};
  burst_clock_ = BodyClock{};
  wave_ = SwimWave{};
  wave_.frequency = frequency;
  displacement_ = {};
  reset_pose(base::identity());
}

void BodyMotion::reset_pose(const Matrix& transform) {
  Matrix head = frame_from_forward(base::row3(transform, 2), base::translation_of(transform), base::row3(transform, 0));
  for (int k = 0; k < kChainNodeCount; ++k) {
    ChainNode& node = chain_[k];
    if (k > 0) {
      const Matrix& previous = chain_[k - 1].frame;
      set_position(head, base::translation_of(previous) - base::row3(previous, 2) * node.offset);
    }
    node.frame = head;
    node.velocity = {};
    node.force = {};
  }
  body_frame_ = chain_[0].frame;
  wave_.phase = 0.0f;
  displacement_ = {};
  place_spine();
  update_world();
}

bool BodyMotion::start_turn(float angle, float time, bool randomise) {
  float span = randomise ? time * unit_random() * 0.5f : time;
  if (!(span >= 0.1f)) span = 0.1f;
  const float rate = finite_or_zero(angle) / span;
  if (!randomise && (turn_clock_.running() || std::fabs(rate) <= 0.3f)) {
    drift_turn_ = rate * (unit_random() * 0.03f + 0.05f) * turn_power_;
    return false;
  }
  turn_clock_.restart(span);
  turn_strength_ = rate * (unit_random() * 0.15f + 0.1f) * turn_power_;
  return true;
}

void BodyMotion::set_body_frame(const Matrix& frame, float dt) {
  const float d = std::clamp(finite_or_zero(dt), 0.0f, 0.04f);
  const Vec3 target = base::translation_of(frame);
  const Vec3 e = target - base::translation_of(chain_[0].frame);
  const float e_sq = base::length_sq(e);
  if (e_sq > 0.00001f && std::isfinite(e_sq)) {
    const Vec3 direction = e * (1.0f / std::sqrt(e_sq));
    const float h = std::max(0.0f, base::dot(direction, base::row3(body_frame_, 2))) * (1.0f - d) *
                    parameters_.follow_factor;
    for (int k = 1; k < kChainNodeCount; ++k) {
      set_position(chain_[k].frame, base::translation_of(chain_[k].frame) + direction * h);
    }
  }
  body_frame_ = frame_from_forward(base::row3(frame, 2), target, base::row3(body_frame_, 0));
  chain_[0].frame = body_frame_;
  update_world();
}

void BodyMotion::clear_chain() {
  for (ChainNode& node : chain_) {
    node.velocity = {};
    node.force = {};
  }
}

void BodyMotion::scale_chain_velocities(float factor) {
  const float f = finite_or_zero(factor);
  for (ChainNode& node : chain_) node.velocity *= f;
}

void BodyMotion::displace(float distance) {
  displacement_ += base::row3(body_frame_, 2) * finite_or_zero(distance);
}

void BodyMotion::update_body(MotionState& motion, float dt, double smoothed_dt) {
  dt = std::max(0.0f, finite_or_zero(dt));
  const float d = std::min(dt, 0.04f);
  const float damping = std::pow(1e-9f, d);
  scale_ = std::isfinite(motion.scale) && motion.scale > 0.0f ? motion.scale : 1.0f;

  // The linear motion: the push first changes the speed along the current
  // velocity, then bends the velocity.
  const float limit = std::max(0.0f, motion.max_speed);
  const float target = std::max(0.0f, std::min(base::dot(motion.velocity, motion.push) + motion.speed, limit));
  if (target < motion.speed && motion.speed > 0.0f) motion.velocity *= target / motion.speed;
  motion.velocity += motion.push * dt;
  motion.speed = base::length(motion.velocity);
  if (!std::isfinite(motion.speed)) {
    motion.velocity = {};
    motion.speed = 0.0f;
  }

  const Vec3 right = base::row3(body_frame_, 0);
  const Vec3 up = base::row3(body_frame_, 1);
  const Vec3 forward = base::row3(body_frame_, 2);

  if (!turn_clock_.running()) turn_from_push(motion);

  const float climb = base::dot(motion.push, up);
  if (climb != 0.0f && std::isfinite(climb)) {
    const float push_length = base::length(motion.push);
    start_pitch(climb * -0.1f, push_length > 1.0f ? 0.2f : 1.2f - push_length, smoothed_dt);
  }

  const float speed = motion.speed;
  set_wave(speed, smoothed_dt);
  wave_.phase += dt * wave_.frequency;
  wave_.phase -= std::floor(wave_.phase);
  if (!std::isfinite(wave_.phase)) wave_.phase = 0.0f;
  const float q = std::sin(wave_.phase * 6.2831855f) * turn_power_ * wave_.amplitude * wave_.frequency * 0.2f;
  add_side_forces(0.01f * q, -q, 2.0f * q, right);

  if (turn_clock_.running()) {
    turn_clock_.advance(dt);
    if (turn_clock_.duration > 0.0 && turn_clock_.elapsed / turn_clock_.duration < 0.35) {
      const float t = turn_strength_;
      add_side_forces(0.8f * t, -6.2f * t, 0.1f * t, right);
    }
  } else if (drift_turn_ != 0.0f) {
    const float t = drift_turn_;
    add_side_forces(t, -4.2f * t, -0.01f * t, right);
    drift_turn_ = std::fabs(t) > 1e-20f ? t * 0.1f : 0.0f;
  }

  if (pitch_clock_.running()) {
    pitch_clock_.advance(dt);
    const bool too_steep =
        (forward.y > 0.5f && pitch_strength_ > 0.0f) || (forward.y < -0.5f && pitch_strength_ < 0.0f);
    if (!too_steep && pitch_clock_.duration > 0.0) {
      const float left = 1.0f - static_cast<float>(pitch_clock_.elapsed / pitch_clock_.duration);
      chain_[0].force += up * (left * left * pitch_strength_);
    }
  }

  if (!burst_clock_.running()) {
    chain_[0].force += forward * (speed * parameters_.normal_speed * length_);
  } else {
    burst_clock_.advance(dt);
    for (ChainNode& node : chain_) set_position(node.frame, base::translation_of(node.frame) + displacement_);
  }
  displacement_ = {};

  integrate_chain(dt, d, damping);
  place_spine();

  motion.velocity = base::row3(body_frame_, 2) * motion.speed;
  update_world();
}

void BodyMotion::turn_from_push(const MotionState& motion) {
  const Vec3 right = base::row3(body_frame_, 0);
  const Vec3 up = base::row3(body_frame_, 1);
  const Vec3 forward = base::row3(body_frame_, 2);
  const Vec3 s = motion.push;
  const Vec3 level = s - up * base::dot(s, up);
  const float level_sq = base::length_sq(level);
  if (!(level_sq > 0.0001f) || !std::isfinite(level_sq)) return;

  const float w = base::dot(s, forward);
  float b = base::dot(s, right);
  if (w < 0.0f) {
    // A push backwards turns the fish at least as hard as it points back,
    // towards the side it leans to (to the right when it leans to neither).
    if (b <= -0.01f) {
      b = -std::max(-b, -w);
    } else if (b <= -w) {
      b = -w;
    }
  }
  if (b == 0.0f) return;
  const float cosine = 0.999f * base::dot(level * (1.0f / std::sqrt(level_sq)), forward);
  const float angle = b * std::acos(std::clamp(cosine, -1.0f, 1.0f)) * 0.2f;
  const float push_length = base::length(s);
  const float time = std::max(0.0f, 1.0f - push_length) * 0.4f + 0.5f;
  start_turn(angle, time, false);
}

void BodyMotion::start_pitch(float pitch, float time, double smoothed_dt) {
  // A negative pitch raises the head. A fish already steeper than the limit
  // takes no request that would steepen it further.
  const float limit = parameters_.pitch_limit;
  const float forward_y = base::row3(body_frame_, 2).y;
  if ((forward_y > limit && pitch < 0.0f) || (forward_y < -limit && pitch > 0.0f)) return;
  if (!(time > 0.0f)) return;
  pitch_clock_.restart(time);
  const float u = std::clamp(per_length(base::length(chain_[0].velocity)), 0.1f, 2.0f);
  const float target = pitch * (turn_power_ / time) * -0.2f * u;
  const float k = std::clamp(static_cast<float>(5.0 * smoothed_dt), 0.0f, 1.0f);
  pitch_strength_ = k * target + (1.0f - k) * pitch_strength_;
}

void BodyMotion::set_wave(float speed, double smoothed_dt) {
  const float wave_size = parameters_.normal_wave_size;
  const float frequency = std::fabs(parameters_.normal_freq);
  if (burst_clock_.running()) {
    wave_.amplitude = (wave_.amplitude + std::max(wave_size * 0.2f, 0.05f)) * 0.5f;
    wave_.frequency = (wave_.frequency + frequency * 2.0f) * 0.5f;
    return;
  }
  // The head already outruns the swimming speed: glide without waving.
  const float chain_speed = per_length(base::length(chain_[0].velocity));
  const float excess = speed - chain_speed;
  if (!(excess > 0.0f)) {
    const float slow = std::clamp(1.0f - static_cast<float>(smoothed_dt), 0.0f, 1.0f);
    chain_[0].velocity *= slow;
    wave_.amplitude = 0.0f;
    wave_.frequency = 0.0f;
    return;
  }
  const float share = parameters_.normal_speed > 0.0f ? std::min(speed / parameters_.normal_speed, 1.0f) : 1.0f;
  const float h = std::min(excess + 1.0f, 3.0f);
  wave_.amplitude = (wave_.amplitude + std::max(std::sqrt(h) * wave_size, 0.05f)) * 0.5f;
  wave_.frequency = (share * frequency + std::pow(h, 0.25f)) * 0.5f;
}

void BodyMotion::add_side_forces(float head, float second, float third, const Vec3& along) {
  chain_[0].force += along * head;
  chain_[1].force += along * second;
  chain_[2].force += along * third;
}

void BodyMotion::integrate_chain(float dt, float d, float damping) {
  ChainNode& head = chain_[0];
  const Vec3 kick = head.force * (d * head.mass_factor);
  head.velocity += kick;
  set_position(head.frame, base::translation_of(head.frame) + (kick * d + head.velocity * d));
  head.velocity *= std::max(0.0f, 1.0f - dt * 0.5f);
  // Vertical motion dies fast; at long frames the factor would turn
  // negative and flip the velocity, growing it every frame.
  head.velocity.y *= std::max(0.0f, 1.0f - dt * 10.0f);
  head.force = {};

  for (int k = 1; k < kChainNodeCount; ++k) {
    ChainNode& node = chain_[k];
    const Matrix& previous = chain_[k - 1].frame;
    const Vec3 previous_position = base::translation_of(previous);
    const Vec3 rest = previous_position - base::row3(previous, 2) * node.offset;
    Vec3 position = base::translation_of(node.frame);
    node.force += (rest - position) * node.stiffness;
    position += node.velocity * d;
    node.velocity += node.force * (d * node.mass_factor);
    node.velocity *= damping;
    node.force = {};

    const Vec3 e = position - previous_position;
    const float e_sq = base::length_sq(e);
    if (e_sq > 0.00001f && std::isfinite(e_sq)) {
      const float distance = std::sqrt(e_sq);
      const Vec3 direction = e * (1.0f / distance);
      node.frame = frame_from_forward(-direction, position, base::row3(node.frame, 0));
      const float longest = (1.0f + d) * node.offset;
      const float shortest = (1.0f - d) * node.offset;
      if (distance > longest) {
        position = previous_position + direction * longest;
      } else if (distance < shortest) {
        position = previous_position + direction * shortest;
      }
    }
    set_position(node.frame, position);
  }
}

void BodyMotion::place_spine() {
  std::array<Vec3, kChainNodeCount> positions;
  for (int k = 0; k < kChainNodeCount; ++k) positions[k] = base::translation_of(chain_[k].frame);
  spline_.set_chain(positions);

  // The head looks along the spline's last stretch; a chain bunched into one
  // point has none, and the head keeps its heading.
  const Vec3 head = positions[0];
  Vec3 forward = spline_.point(1.0f) - spline_.point(0.95f);
  if (!(base::length_sq(forward) > kTinySq) || !std::isfinite(base::length_sq(forward))) {
    forward = base::row3(body_frame_, 2);
  }
  body_frame_ = frame_from_forward(forward, head, base::row3(body_frame_, 0));
  chain_[0].frame = body_frame_;

  // Bones from head to tail, each a rest length (scaled with the fish)
  // further along the spline, each pointing at the bone before it.
  float t = 1.0f;
  Vec3 previous_point = head;
  Matrix previous_frame = body_frame_;
  for (int i = 0; i < layout_.count; ++i) {
    BodyBone& bone = bones_[i];
    Matrix frame = previous_frame;
    if (i == 0) {
      set_position(frame, head);
    } else {
      t = spline_.parameter_behind(t, scale_ * bones_[i - 1].rest.length);
      const Vec3 point = spline_.point(t);
      const Vec3 towards = previous_point - point;
      if (base::length_sq(towards) > kTinySq) {
        frame = frame_from_forward(towards, point, base::row3(previous_frame, 0));
      } else {
        set_position(frame, point);
      }
      previous_point = point;
    }
    bone.frame = frame;
    bone.skin = base::translation(0.0f, 0.0f, -bone.rest.start_z) * base::scaling(scale_, scale_, scale_) * frame;
    palette_[i] = bone.skin;
    previous_frame = frame;
  }
}

void BodyMotion::update_world() {
  world_ = body_frame_;
  const Vec3 origin = base::translation_of(body_frame_) -
                      base::row3(body_frame_, 2) * (length_ * parameters_.origin_fraction);
  set_position(world_, origin);
}

}  // namespace fish
