#include "fish/obstacle.h"

#include <algorithm>
#include <cmath>

#include "fish/gjk_distance.h"
#include "fish/obstacle_shapes.h"

namespace fish {

namespace {

using base::Vec3;

// Contacts closer than this count as touching.
constexpr float kTouchTolerance = 0.001f;

float component(const Vec3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

bool finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool overlaps(const scene::AlignedBox& a, const scene::AlignedBox& b) {
  return a.min.x <= b.max.x && b.min.x <= a.max.x && a.min.y <= b.max.y && b.min.y <= a.max.y &&
         a.min.z <= b.max.z && b.min.z <= a.max.z;
}

// The world bounds of a box, widened by the touch tolerance.
scene::AlignedBox reach_of(const OrientedBox& box) {
  Vec3 extent{kTouchTolerance, kTouchTolerance, kTouchTolerance};
  const float half[3] = {box.half.x, box.half.y, box.half.z};
  for (std::size_t i = 0; i < 3; ++i) {
    const Vec3& axis = box.axes[i];
    extent += Vec3{std::fabs(axis.x), std::fabs(axis.y), std::fabs(axis.z)} * half[i];
  }
  return {box.centre - extent, box.centre + extent};
}

}  // namespace

Obstacle Obstacle::from_node(const model::MeshNode& node, const base::Matrix& placement) {
  Obstacle obstacle;
  if (node.vertex_size < 12) return obstacle;
  const std::size_t vertex_count =
      std::min<std::size_t>(node.vertex_count, node.vertices.size() / node.vertex_size);
  const std::size_t index_count = std::min<std::size_t>(node.index_count, node.indices.size() / 2);
  obstacle.triangles_.reserve(index_count / 3);
  for (std::size_t first = 0; first + 3 <= index_count; first += 3) {
    Triangle triangle;
    bool usable = true;
    for (std::size_t k = 0; k < 3 && usable; ++k) {
      const std::uint16_t index = node.vertex_index(first + k);
      if (index >= vertex_count) {
        usable = false;
        break;
      }
      triangle.corners[k] = base::transform_coord(node.position(index), placement);
      usable = finite(triangle.corners[k]);
    }
    if (!usable) continue;
    triangle.bounds.min = base::minimize(base::minimize(triangle.corners[0], triangle.corners[1]), triangle.corners[2]);
    triangle.bounds.max = base::maximize(base::maximize(triangle.corners[0], triangle.corners[1]), triangle.corners[2]);
    obstacle.bounds_.min =
        obstacle.triangles_.empty() ? triangle.bounds.min : base::minimize(obstacle.bounds_.min, triangle.bounds.min);
    obstacle.bounds_.max =
        obstacle.triangles_.empty() ? triangle.bounds.max : base::maximize(obstacle.bounds_.max, triangle.bounds.max);
    obstacle.triangles_.push_back(triangle);
  }

  const Vec3 size = obstacle.bounds_.max - obstacle.bounds_.min;
  obstacle.sort_axis_ = size.x >= size.y && size.x >= size.z ? 0 : size.y >= size.z ? 1 : 2;
  const int axis = obstacle.sort_axis_;
  std::stable_sort(obstacle.triangles_.begin(), obstacle.triangles_.end(), [axis](const Triangle& a, const Triangle& b) {
    return component(a.bounds.min, axis) < component(b.bounds.min, axis);
  });
  for (const Triangle& triangle : obstacle.triangles_) {
    obstacle.widest_triangle_ = std::max(obstacle.widest_triangle_, component(triangle.bounds.max, axis) -
                                                                        component(triangle.bounds.min, axis));
  }
  return obstacle;
}

// Of all triangles the box touches, the contact reported is the deepest one:
// the one whose separation is longest, the first in stored order on a tie.
// A box wholly inside a closed mesh touches no triangle and has no contact.
std::optional<Vec3> Obstacle::contact(const OrientedBox& box) const {
  if (triangles_.empty()) return std::nullopt;
  OrientedBox solid = box;
  solid.half = {std::fabs(box.half.x), std::fabs(box.half.y), std::fabs(box.half.z)};
  if (!finite(solid.centre) || !finite(solid.half) || !finite(solid.axes[0]) || !finite(solid.axes[1]) ||
      !finite(solid.axes[2]))
    return std::nullopt;

  const scene::AlignedBox reach = reach_of(solid);
  if (!overlaps(reach, bounds_)) return std::nullopt;

  const int axis = sort_axis_;
  const float first_min = component(reach.min, axis) - widest_triangle_;
  const float last_min = component(reach.max, axis);
  auto triangle = std::lower_bound(triangles_.begin(), triangles_.end(), first_min,
                                   [axis](const Triangle& t, float value) { return component(t.bounds.min, axis) < value; });

  const BoxShape box_shape(solid);
  GjkSettings settings;
  settings.tolerance = kTouchTolerance;
  std::optional<Vec3> deepest;
  float deepest_length2 = -1.0f;
  for (; triangle != triangles_.end() && component(triangle->bounds.min, axis) <= last_min; ++triangle) {
    if (!overlaps(reach, triangle->bounds)) continue;
    const TriangleShape triangle_shape(triangle->corners);
    if (!gjk_distance(box_shape, triangle_shape, settings).touching) continue;
    const Vec3 separation = box_triangle_separation(solid, triangle->corners);
    const float length2 = base::length_sq(separation);
    if (!std::isfinite(length2) || length2 <= deepest_length2) continue;
    deepest = separation;
    deepest_length2 = length2;
  }
  return deepest;
}

}  // namespace fish
