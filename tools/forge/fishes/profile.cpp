#include "forge/fishes/profile.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace forge::fishes {
namespace {

float signed_power(float v, float p) { return std::copysign(std::pow(std::fabs(v), p), v); }

}  // namespace

float sample(const Profile& profile, float at) {
  if (profile.empty()) return 0.0f;
  if (at <= profile.front().at) return profile.front().value;
  if (at >= profile.back().at) return profile.back().value;
  std::size_t i = 0;
  while (i + 2 < profile.size() && at > profile[i + 1].at) ++i;
  const ProfilePoint& a = profile[i];
  const ProfilePoint& b = profile[i + 1];
  const float span = b.at - a.at;
  if (!(span > 0.0f)) return b.value;
  // Tangents by Fritsch and Carlson: the secants' harmonic mean where they
  // agree in sign, flat at a peak or a valley and at the ends.
  const auto secant = [&](std::size_t k) {
    const float d = profile[k + 1].at - profile[k].at;
    return d > 0.0f ? (profile[k + 1].value - profile[k].value) / d : 0.0f;
  };
  const auto tangent = [&](std::size_t k) {
    if (k == 0 || k + 1 >= profile.size()) return 0.0f;
    const float s0 = secant(k - 1);
    const float s1 = secant(k);
    if (s0 * s1 <= 0.0f) return 0.0f;
    return 2.0f * s0 * s1 / (s0 + s1);
  };
  const float t = (at - a.at) / span;
  const float t2 = t * t;
  const float t3 = t2 * t;
  const float h00 = 2 * t3 - 3 * t2 + 1;
  const float h10 = t3 - 2 * t2 + t;
  const float h01 = -2 * t3 + 3 * t2;
  const float h11 = t3 - t2;
  return h00 * a.value + h10 * span * tangent(i) + h01 * b.value + h11 * span * tangent(i + 1);
}

base::Vec2 super_ellipse(float angle, float half_width, float half_height, float exponent) {
  const float p = 2.0f / std::max(exponent, 0.1f);
  return {half_width * signed_power(std::sin(angle), p), -half_height * signed_power(std::cos(angle), p)};
}

}  // namespace forge::fishes
