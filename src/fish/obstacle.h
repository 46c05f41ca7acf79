#pragma once

#include <array>
#include <optional>
#include <vector>

#include "base/matrix.h"
#include "base/vector.h"
#include "model/mesh_node.h"
#include "scene/group_box.h"

namespace fish {

// A box turned in the world: a fish's collision box.
struct OrientedBox {
  base::Vec3 centre;
  std::array<base::Vec3, 3> axes{base::Vec3{1, 0, 0}, base::Vec3{0, 1, 0}, base::Vec3{0, 0, 1}};  // unit
  base::Vec3 half;  // half extents along the axes
};

// Scenery that stops fish: the triangles of one mesh node placed in the
// world by a copy of its object's placement, taken when it is made.
class Obstacle {
 public:
  // The node's own geometry only (not its children); a node without
  // 16-bit triangles gives an obstacle without triangles.
  static Obstacle from_node(const model::MeshNode& node, const base::Matrix& placement);

  // When the box touches a triangle: the separation vector of that contact,
  // pointing from the obstacle towards the box; its length grows with the
  // overlap. Boxes away from the obstacle's bounds cost one box test.
  std::optional<base::Vec3> contact(const OrientedBox& box) const;

  const scene::AlignedBox& bounds() const { return bounds_; }
  std::size_t triangle_count() const { return triangles_.size(); }

 private:
  struct Triangle {
    std::array<base::Vec3, 3> corners;
    scene::AlignedBox bounds;
  };
  // Triangles are kept sorted by their bounds' minimum along the longest
  // axis of the obstacle, so a box only visits the slab of triangles that
  // can reach it along that axis.
  std::vector<Triangle> triangles_;
  scene::AlignedBox bounds_;
  int sort_axis_ = 0;
  float widest_triangle_ = 0.0f;  // the largest triangle extent along sort_axis_
};

}  // namespace fish
