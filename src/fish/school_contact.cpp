#include "fish/school_contact.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "fish/fish.h"

namespace fish {

void scenery_contact(Fish& fish, std::span<const Obstacle> obstacles, float dt) {
  MotionState& m = fish.motion;
  std::optional<base::Vec3> separation;
  if (!obstacles.empty()) {
    const OrientedBox box = fish.collision_box();
    for (const Obstacle& obstacle : obstacles) {
      separation = obstacle.contact(box);
      if (separation) break;
    }
  }
  if (!separation || !std::isfinite(separation->x + separation->y + separation->z)) {
    fish.contact_depth = 0.0f;
    m.push = {};
    m.push_magnitude = 0.0f;
    return;
  }
  m.push = *separation * m.max_speed;
  m.push_magnitude = base::length(m.push);
  const float h = base::dot(m.push, m.velocity);
  fish.contact_depth = h;
  fish.sort_key += 99999.0f - h;
  if (h < 0.1f) {
    fish.contact_depth = h - 0.1f;
    const float speed = std::clamp((h - 0.1f) * m.push_magnitude * 0.5f + m.speed, 0.0f, std::max(0.0f, m.max_speed));
    if (speed < m.speed && m.speed > 0.0f) m.velocity *= speed / m.speed;
    m.speed = speed;
  }
  fish.contact_time += dt;
}

}  // namespace fish
