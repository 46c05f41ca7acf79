#pragma once

#include <array>

#include "base/vector.h"
#include "fish/gjk_distance.h"
#include "fish/obstacle.h"

namespace fish {

class BoxShape final : public SupportMapping {
 public:
  explicit BoxShape(const OrientedBox& box) : box_(box) {}
  base::Vec3 support(const base::Vec3& direction) const override;
  base::Vec3 centre() const override { return box_.centre; }

 private:
  const OrientedBox& box_;
};

class TriangleShape final : public SupportMapping {
 public:
  explicit TriangleShape(const std::array<base::Vec3, 3>& corners) : corners_(corners) {}
  base::Vec3 support(const base::Vec3& direction) const override;
  base::Vec3 centre() const override { return (corners_[0] + corners_[1] + corners_[2]) * (1.0f / 3.0f); }

 private:
  const std::array<base::Vec3, 3>& corners_;
};

// How far and which way to move the box off the triangle, pointing from the
// triangle towards the box: along the triangle's normal on the side of the
// box's centre, as long as the box reaches past the triangle's plane but no
// longer than the shortest move that clears the triangle (found over the
// separating axes of a box and a triangle). 0 long for shapes that only
// touch or lie apart. A triangle without area has no normal: the shortest
// clearing move is used as it is.
base::Vec3 box_triangle_separation(const OrientedBox& box, const std::array<base::Vec3, 3>& corners);

}  // namespace fish
