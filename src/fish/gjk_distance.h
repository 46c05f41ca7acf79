#pragma once

#include "base/vector.h"

namespace fish {

// A convex shape known through its support mapping: the point of the shape
// that lies furthest along a direction.
class SupportMapping {
 public:
  // Any point furthest along `direction` (which need not be unit length).
  virtual base::Vec3 support(const base::Vec3& direction) const = 0;
  // A point of the shape, used to start the search.
  virtual base::Vec3 centre() const = 0;

 protected:
  ~SupportMapping() = default;
};

struct GjkSettings {
  // Shapes closer than this count as touching.
  float tolerance = 0.001f;
  // The search stops once the distance found exceeds its proven lower bound
  // by no more than this fraction of itself.
  float relative_gap = 0.001f;
  int max_iterations = 1000;
};

struct GjkResult {
  float distance = 0.0f;  // 0 when the shapes overlap
  base::Vec3 on_a;        // the closest points found on each shape
  base::Vec3 on_b;
  bool touching = false;  // distance <= tolerance
  int iterations = 0;
};

// The distance between two convex shapes by the Gilbert-Johnson-Keerthi
// closest-point iteration on their Minkowski difference a - b. Shapes with
// non-finite support points are reported as apart (infinite distance).
GjkResult gjk_distance(const SupportMapping& a, const SupportMapping& b, const GjkSettings& settings = {});

}  // namespace fish
