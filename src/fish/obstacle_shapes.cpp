#include "fish/obstacle_shapes.h"

#include <algorithm>
#include <cmath>

namespace fish {

using base::Vec3;

namespace {

float half_extent(const OrientedBox& box, std::size_t axis) {
  return axis == 0 ? box.half.x : axis == 1 ? box.half.y : box.half.z;
}

}  // namespace

Vec3 BoxShape::support(const Vec3& direction) const {
  Vec3 point = box_.centre;
  for (std::size_t i = 0; i < 3; ++i) {
    const float side = base::dot(direction, box_.axes[i]) < 0.0f ? -1.0f : 1.0f;
    point += box_.axes[i] * (side * half_extent(box_, i));
  }
  return point;
}

Vec3 TriangleShape::support(const Vec3& direction) const {
  const float d0 = base::dot(direction, corners_[0]);
  const float d1 = base::dot(direction, corners_[1]);
  const float d2 = base::dot(direction, corners_[2]);
  if (d0 >= d1 && d0 >= d2) return corners_[0];
  return d1 >= d2 ? corners_[1] : corners_[2];
}

namespace {

// Axis crossings shorter than this fraction of their edge are parallel
// edges (or a triangle without area) and separate nothing new.
constexpr float kParallel = 1e-6f;

struct Separation {
  Vec3 direction;  // unit
  float depth = 0.0f;
  bool found = false;
};

// How far the box must move along `axis` (either way) to clear the
// triangle; keeps the shortest. `axis` need not be unit length.
void try_axis(const OrientedBox& box, const std::array<Vec3, 3>& corners, const Vec3& axis, Separation& best) {
  const float len = base::length(axis);
  if (!(len > 0.0f)) return;
  const Vec3 unit = axis * (1.0f / len);
  const float centre = base::dot(box.centre, unit);
  float radius = 0.0f;
  for (std::size_t i = 0; i < 3; ++i) radius += half_extent(box, i) * std::fabs(base::dot(box.axes[i], unit));
  const float p0 = base::dot(corners[0], unit);
  const float p1 = base::dot(corners[1], unit);
  const float p2 = base::dot(corners[2], unit);
  const float low = std::min({p0, p1, p2});
  const float high = std::max({p0, p1, p2});
  const float up = high - (centre - radius);    // moving the box along +unit
  const float down = (centre + radius) - low;   // moving it along -unit
  const float depth = std::min(up, down);
  if (!std::isfinite(depth)) return;
  if (best.found && !(depth < best.depth)) return;
  best.direction = up <= down ? unit : -unit;
  best.depth = depth;
  best.found = true;
}

}  // namespace

Vec3 box_triangle_separation(const OrientedBox& box, const std::array<Vec3, 3>& corners) {
  const std::array<Vec3, 3> edges{corners[1] - corners[0], corners[2] - corners[1], corners[0] - corners[2]};
  Separation shortest;

  // The front side's normal: clockwise corners as seen from the front.
  const Vec3 normal = base::cross(edges[0], -edges[2]);
  const bool has_normal =
      base::length_sq(normal) > kParallel * kParallel * base::length_sq(edges[0]) * base::length_sq(edges[2]);
  if (has_normal) try_axis(box, corners, normal, shortest);
  for (const Vec3& axis : box.axes) try_axis(box, corners, axis, shortest);
  for (const Vec3& edge : edges) {
    const float edge2 = base::length_sq(edge);
    if (!(edge2 > 0.0f)) continue;
    for (const Vec3& axis : box.axes) {
      const Vec3 crossing = base::cross(edge, axis);
      if (base::length_sq(crossing) > kParallel * kParallel * edge2 * base::length_sq(axis))
        try_axis(box, corners, crossing, shortest);
    }
  }
  if (!shortest.found) return {};
  if (!has_normal) return shortest.direction * std::max(shortest.depth, 0.0f);

  // Along the normal, on the side of the box's centre (the front side when
  // the centre lies on the plane), as far as the box reaches past the plane
  // but never further than the shortest move that clears the triangle: a box
  // that only catches an edge gets a small push.
  Vec3 out = base::normalize(normal);
  float centre_height = base::dot(box.centre - corners[0], out);
  if (centre_height < 0.0f) {
    out = -out;
    centre_height = -centre_height;
  }
  float reach = 0.0f;
  for (std::size_t i = 0; i < 3; ++i) reach += half_extent(box, i) * std::fabs(base::dot(box.axes[i], out));
  const float depth = std::min(reach - centre_height, shortest.depth);
  if (!std::isfinite(depth)) return {};
  return out * std::max(depth, 0.0f);
}

}  // namespace fish
