#include "fish/school_steering.h"

#include <algorithm>
#include <cmath>

#include "fish/fish.h"
#include "fish/school_groups.h"
#include "fish/swim_context.h"
#include "scene/camera.h"

namespace fish {

namespace {

bool finite(const base::Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool saturated(const Fish& fish) { return fish.motion.push_magnitude >= fish.motion.max_speed; }

}  // namespace

bool add_push(Fish& fish, const base::Vec3& v) {
  MotionState& m = fish.motion;
  if (finite(v)) m.push += v;
  float length = base::length(m.push);
  const float climb = 0.5f * length;
  m.push.y = std::clamp(m.push.y, -climb, climb);
  length = base::length(m.push);
  const float limit = std::max(0.0f, m.max_speed);
  if (length > limit) {
    m.push *= limit / length;
    length = limit;
  }
  m.push_magnitude = length;
  return saturated(fish);
}

base::Vec3 box_steering(const base::Vec3& p, const base::Vec3& forward, float max_speed) {
  constexpr base::Vec3 kInner{0.42f, 0.4f, 0.48f};
  if (std::fabs(p.x) < kInner.x && std::fabs(p.y) < kInner.y && std::fabs(p.z) < kInner.z) return {};
  const float l = base::length(p);
  if (!(l > 0.0f) || !std::isfinite(l)) return {};
  const base::Vec3 s{std::fabs(p.x) > kInner.x ? -0.8f * p.x / l : 0.0f,
                     std::fabs(p.y) > kInner.y ? -0.8f * p.y / l : 0.0f,
                     std::fabs(p.z) > kInner.z ? -0.8f * p.z / l : 0.0f};
  const float f = max_speed * 1.5f;
  if (!(f > 0.0f)) return {};
  const float g = 0.5f - l;
  float m;
  if (g < 0.0f) {
    m = f;
  } else if (g > 0.08000001f) {
    return {};
  } else {
    m = f - g * f * 12.499998f;
  }
  if (m == 0.0f) return {};
  const float k = m < 0.5f ? 0.0f : std::min((m - 0.5f) * 2.0f, 1.0f);
  const float h = m / f;
  const float h2 = h * h;
  const float e = base::dot(s, forward);
  return s * (f * h2 * h2 * h2 * std::max(k, -e));
}

bool keep_in_box(Fish& fish) {
  // The steering is worked out in the box frame, so the forward row goes in
  // turned back by the box's turn and the vector comes out turned by it.
  const base::Matrix& turn = fish.context.box_turn;
  const base::Vec3 p = base::transform_coord(fish.position(), fish.context.box_frame);
  const base::Vec3 f = fish.forward();
  const base::Vec3 forward{base::dot(f, base::row3(turn, 0)), base::dot(f, base::row3(turn, 1)),
                           base::dot(f, base::row3(turn, 2))};
  const base::Vec3 v = box_steering(p, forward, fish.motion.max_speed);
  if (v == base::Vec3{}) return false;
  return add_push(fish, base::transform_normal(v, turn));
}

bool avoid_neighbours(Fish& fish, const Fish* ignore) {
  if (fish.neighbours.empty()) return false;
  base::Vec3 sum;
  for (const NeighbourRecord& record : fish.neighbours) {
    if (record.other == nullptr || record.other == ignore) continue;
    if (record.other->sort_key >= fish.sort_key) sum += record.push;
  }
  return add_push(fish, sum * fish.motion.max_speed);
}

bool avoid_zones(Fish& fish, int asking_key) {
  if (fish.is_dweller) return false;
  base::Vec3 away;
  if (!fish.context.zones.repel(fish.position(), asking_key, away)) return false;
  return add_push(fish, away * fish.motion.max_speed);
}

bool follow_school(Fish& fish) {
  const School* school = fish.school;
  if (school == nullptr || school->leader == &fish) return false;
  const base::Vec3 d = school->leader_centre - fish.position();
  const float c = base::length(d);
  const float e = school->base - fish.school_weight;
  const float reach = 3.0f * fish.length;
  base::Vec3 v;
  if (c < reach && school->strength != 0.0f) v = (school->heading - fish.forward()) * (e * school->strength);
  if (c > reach && c > 0.0f) v += d * (e * school->power / c);
  return add_push(fish, v);
}

bool cruise(Fish& fish, float x) {
  if (fish.motion.speed + fish.motion.push_magnitude >= x) return false;
  add_push(fish, fish.forward() * x);
  return true;
}

bool seek_point(Fish& fish, const base::Vec3& from, const base::Vec3& p, float limit, float gain) {
  const base::Vec3 d = p - from;
  const float distance = base::length(d);
  if (!std::isfinite(distance)) return true;
  const float size = fish.base_length;
  const float relative = size > 0.0f ? distance / size : (distance > 0.0f ? limit + 1.0f : 0.0f);
  if (relative > limit) {
    add_push(fish, d * gain);
    return false;
  }
  return true;
}

bool seek_point(Fish& fish, const base::Vec3& p, float limit, float gain) {
  return seek_point(fish, fish.position(), p, limit, gain);
}

void slow_down(Fish& fish, float factor) {
  factor = std::clamp(factor, 0.0f, 1.0f);
  fish.motion.velocity *= factor;
  fish.motion.speed *= factor;
  fish.body.scale_chain_velocities(factor);
}

bool brake(Fish& fish, float limit, float factor) {
  if (!(fish.motion.speed > limit) || !(factor < 1.0f)) return false;
  const float f = std::max(0.0f, factor);
  slow_down(fish, f * f);
  return true;
}

bool top_of_view_check(Fish& fish, const scene::Camera* camera) {
  if (camera == nullptr || !(fish.motion.push.y > 0.0f)) return false;
  const std::array<base::Vec3, 8> corners = fish.box_corners();
  const base::Vec3* top = &corners[0];
  for (const base::Vec3& corner : corners) {
    if (corner.y > top->y) top = &corner;
  }
  if (!(camera->view_top_at(top->z) < top->y)) return false;
  fish.motion.push.y = 0.0f;
  fish.motion.push_magnitude = base::length(fish.motion.push);
  fish.sort_key += 99.0f;
  return true;
}

bool standard_steering(Fish& fish, const Fish* ignore) {
  if (!fish.free()) return true;
  if (avoid_zones(fish)) return true;
  if (avoid_neighbours(fish, ignore)) return true;
  return keep_in_box(fish);
}

}  // namespace fish
