#include "base/vector.h"

#include <algorithm>
#include <cmath>

namespace base {

float length(const Vec2& a) { return std::sqrt(length_sq(a)); }
float length(const Vec3& a) { return std::sqrt(length_sq(a)); }
float length(const Vec4& a) { return std::sqrt(length_sq(a)); }

// The length is taken in double so that very short vectors still come out
// at unit length; `len > 0` is false for 0 and for NaN, so neither is
// divided by.
namespace {
double length_d(double x, double y, double z, double w) { return std::sqrt(x * x + y * y + z * z + w * w); }
}  // namespace

Vec2 normalize(const Vec2& a) {
  const double len = length_d(a.x, a.y, 0.0, 0.0);
  if (!(len > 0.0)) return {};
  return {static_cast<float>(a.x / len), static_cast<float>(a.y / len)};
}

Vec3 normalize(const Vec3& a) {
  const double len = length_d(a.x, a.y, a.z, 0.0);
  if (!(len > 0.0)) return {};
  return {static_cast<float>(a.x / len), static_cast<float>(a.y / len), static_cast<float>(a.z / len)};
}

Vec4 normalize(const Vec4& a) {
  const double len = length_d(a.x, a.y, a.z, a.w);
  if (!(len > 0.0)) return {};
  return {static_cast<float>(a.x / len), static_cast<float>(a.y / len), static_cast<float>(a.z / len),
          static_cast<float>(a.w / len)};
}

Vec3 minimize(const Vec3& a, const Vec3& b) {
  return {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
}

Vec3 maximize(const Vec3& a, const Vec3& b) {
  return {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
}

}  // namespace base
