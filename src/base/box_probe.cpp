#include "base/box_probe.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace base {

bool box_bound_probe(const Vec3& box_min, const Vec3& box_max, const Vec3& origin, const Vec3& direction) {
  const float lo[3] = {box_min.x, box_min.y, box_min.z};
  const float hi[3] = {box_max.x, box_max.y, box_max.z};
  const float o[3] = {origin.x, origin.y, origin.z};
  const float d[3] = {direction.x, direction.y, direction.z};

  // Clip the parameter range [0, inf) against the three slabs.
  float t_enter = 0.0f;
  float t_leave = std::numeric_limits<float>::infinity();
  for (int i = 0; i < 3; ++i) {
    if (d[i] == 0.0f) {
      if (o[i] < lo[i] || o[i] > hi[i]) return false;
      continue;
    }
    float t0 = (lo[i] - o[i]) / d[i];
    float t1 = (hi[i] - o[i]) / d[i];
    if (t0 > t1) std::swap(t0, t1);
    t_enter = std::max(t_enter, t0);
    t_leave = std::min(t_leave, t1);
    if (t_enter > t_leave) return false;
  }
  return true;
}

}  // namespace base
