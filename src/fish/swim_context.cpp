#include "fish/swim_context.h"

#include <algorithm>
#include <cmath>

namespace fish {

base::Matrix unit_box_frame(const scene::AlignedBox& box) {
  const auto extent = [](float lo, float hi) {
    const float size = hi - lo;
    return std::isfinite(size) && std::fabs(size) > 1e-3f ? std::fabs(size) : 1e-3f;
  };
  const auto middle = [](float lo, float hi) {
    const float c = (lo + hi) * 0.5f;
    return std::isfinite(c) ? c : 0.0f;
  };
  const base::Vec3 c{middle(box.min.x, box.max.x), middle(box.min.y, box.max.y), middle(box.min.z, box.max.z)};
  return base::translation(-c) *
         base::scaling(1.0f / extent(box.min.x, box.max.x), 1.0f / extent(box.min.y, box.max.y),
                       1.0f / extent(box.min.z, box.max.z));
}

base::Matrix box_turn_of(const base::Matrix& transform) {
  base::Matrix turn = base::identity();
  for (int row = 0; row < 3; ++row) {
    const base::Vec3 axis = base::row3(transform, row);
    const float length = base::length(axis);
    if (!(length > 0.0f) || !std::isfinite(length)) continue;
    for (int column = 0; column < 3; ++column) turn.m[row][column] = transform.m[row][column] / length;
  }
  return turn;
}

}  // namespace fish
