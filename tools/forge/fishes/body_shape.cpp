#include "forge/fishes/body_shape.h"

#include <algorithm>
#include <cmath>

#include "forge/fishes/profile.h"

namespace forge::fishes {

BodyShape::BodyShape(const FishKind& kind) : kind_(kind) {}

float BodyShape::half_height(float t) const {
  return std::max(sample(kind_.half_height, t), 0.002f) * kind_.length;
}

float BodyShape::half_width(float t) const {
  return std::max(sample(kind_.half_width, t), 0.002f) * kind_.length;
}

float BodyShape::centre(float t) const { return sample(kind_.centre, t) * kind_.length; }

base::Vec3 BodyShape::surface(float t, float angle) const {
  const base::Vec2 p = super_ellipse(angle, half_width(t), half_height(t), kind_.exponent);
  return {p.x, centre(t) + p.y, z_at(t)};
}

base::Vec3 BodyShape::normal(float t, float angle) const {
  constexpr float kStep = 0.004f;
  const base::Vec3 around = surface(t, angle + kStep) - surface(t, angle - kStep);
  const float t0 = std::max(t - kStep, 0.0f);
  const float t1 = std::min(t + kStep, 1.0f);
  const base::Vec3 along = surface(t1, angle) - surface(t0, angle);
  base::Vec3 n = base::cross(around, along);
  const base::Vec3 p = surface(t, angle);
  const base::Vec3 outward{p.x, p.y - centre(t), 0.0f};
  if (base::dot(n, outward) < 0.0f) n = -n;
  if (base::length_sq(n) < 1e-12f) return base::normalize(outward + base::Vec3{0, 1e-4f, 0});
  return base::normalize(n);
}

}  // namespace forge::fishes
