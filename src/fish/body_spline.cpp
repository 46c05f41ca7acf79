#include "fish/body_spline.h"

#include <algorithm>
#include <cmath>

namespace fish {

void BodySpline::set_chain(const std::array<base::Vec3, kChainNodeCount>& head_first) {
  const base::Vec3& tail = head_first[kChainNodeCount - 1];
  const base::Vec3& head = head_first[0];
  points_[0] = tail;
  points_[1] = tail;
  for (int i = 0; i < kChainNodeCount; ++i) points_[2 + i] = head_first[kChainNodeCount - 1 - i];
  points_[kControlPoints - 2] = head;
  points_[kControlPoints - 1] = head;
}

base::Vec3 BodySpline::point(float t) const {
  const float s = std::clamp(std::isfinite(t) ? t : 0.0f, 0.0f, 1.0f) * static_cast<float>(kSegments);
  const int segment = std::min(static_cast<int>(s), kSegments - 1);
  const float u = s - static_cast<float>(segment);
  const float u2 = u * u;
  const float u3 = u2 * u;
  const float b0 = (1.0f - u) * (1.0f - u) * (1.0f - u) / 6.0f;
  const float b1 = (3.0f * u3 - 6.0f * u2 + 4.0f) / 6.0f;
  const float b2 = (-3.0f * u3 + 3.0f * u2 + 3.0f * u + 1.0f) / 6.0f;
  const float b3 = u3 / 6.0f;
  return points_[segment] * b0 + points_[segment + 1] * b1 + points_[segment + 2] * b2 + points_[segment + 3] * b3;
}

float BodySpline::parameter_behind(float from, float distance) const {
  // Fixed steps of a quarter of a control-point interval, with the point
  // where the distance is reached interpolated inside its step.
  constexpr float kStep = 0.25f / static_cast<float>(kControlPoints - 1);
  float t = std::clamp(from, 0.0f, 1.0f);
  if (!(distance > 0.0f)) return t;
  float covered = 0.0f;
  base::Vec3 previous = point(t);
  while (t > 0.0f) {
    const float next_t = std::max(0.0f, t - kStep);
    const base::Vec3 next = point(next_t);
    const float step = length(next - previous);
    if (covered + step >= distance) {
      const float fraction = step > 0.0f ? (distance - covered) / step : 1.0f;
      return t - (t - next_t) * fraction;
    }
    covered += step;
    previous = next;
    t = next_t;
  }
  return 0.0f;
}

}  // namespace fish
