#include "fish/school_neighbours.h"

#include <algorithm>
#include <cmath>

#include "fish/fish.h"
#include "fish/school_steering.h"

namespace fish {

float neighbour_weight(float distance, float range) {
  if (!(range > 0.0f)) return 0.0f;
  const float ratio = distance / range;
  const float t = ratio * ratio;
  if (t < 0.3f) return 1.0f;
  if (t > 1.0f) return 0.0f;
  return 1.0f - (t - 0.3f) * 1.4285715f;
}

namespace {

// A fish that touches nothing and wants nothing special yields more.
float yield_factor(const Fish& fish) {
  return fish.priority_base == 0.0f && fish.contact_depth == 0.0f ? 0.33f : 1.0f;
}

void meet(Fish& a, Fish& b, float t_frame) {
  const float range = a.length + b.length;
  const base::Vec3 d = a.centre() - b.centre();
  const float q = base::length_sq(d);
  if (!(q > 0.0f) || !(q < range * range)) return;
  const float dist = std::sqrt(q);
  const float w = neighbour_weight(dist, range);
  const base::Vec3 u = d * (1.0f / dist);
  const base::Vec3 fa = a.forward();
  const base::Vec3 fb = b.forward();
  const float at = base::dot(u, fa);
  const float bt = base::dot(u, fb);
  const bool a_heads_at_b = at < -0.8f;
  const bool b_heads_at_a = bt > 0.8f;

  base::Vec3 va;
  base::Vec3 vb;
  const bool close = w > 0.6f;
  if (close) {
    if (a_heads_at_b && a.motion.speed > 0.25f) slow_down(a, 1.0f - t_frame);
    if (b_heads_at_a && b.motion.speed > 0.25f) slow_down(b, 1.0f - t_frame);
    a.encounter_score += 99.0f;
    b.encounter_score += 99.0f;
    a.drives.energy -= (a_heads_at_b ? 0.1f : 0.01f) * t_frame * a.drives.drive_rate;
    b.drives.energy -= (b_heads_at_a ? 0.1f : 0.01f) * t_frame * b.drives.drive_rate;
    va = u * (w * yield_factor(b));
    vb = -u * (w * yield_factor(a));
  } else {
    va = u * (w * 0.1f);
    vb = -u * (w * 0.1f);
  }
  a.sort_key += a.encounter_score;
  b.sort_key += b.encounter_score;

  const float c = base::dot(fa, fb);
  const base::Vec3 pa = (close || a_heads_at_b || c <= 0.0f) ? va : u * w + fb * ((1.0f - c) * 0.2f);
  const base::Vec3 pb = (close || b_heads_at_a || c <= 0.0f) ? vb : -u * w + fa * ((1.0f - c) * 0.2f);
  a.neighbours.push_back({&b, dist, w, pa});
  b.neighbours.push_back({&a, dist, w, pb});
}

}  // namespace

void meet_neighbours(std::span<Fish* const> fish, double smoothed_dt) {
  const float t_frame = static_cast<float>(std::clamp(smoothed_dt, 0.0, 1.0));
  for (std::size_t i = 0; i < fish.size(); ++i) {
    for (std::size_t j = i + 1; j < fish.size(); ++j) meet(*fish[i], *fish[j], t_frame);
  }
}

}  // namespace fish
