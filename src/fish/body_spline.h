#pragma once

#include <array>

#include "base/vector.h"
#include "fish/body_bones.h"

namespace fish {

// A uniform cubic B-spline through the chain, tail first. Each end point is
// repeated twice more so the curve starts exactly at the tail and ends
// exactly at the head: parameter 0 is the tail, 1 the head.
class BodySpline {
 public:
  static constexpr int kControlPoints = kChainNodeCount + 4;
  static constexpr int kSegments = kControlPoints - 3;

  // The chain's positions, head first (node 0 is the head).
  void set_chain(const std::array<base::Vec3, kChainNodeCount>& head_first);
  base::Vec3 point(float t) const;
  // Walks from parameter `from` towards the tail until the curve has
  // covered `distance`; 0 when the tail comes first.
  float parameter_behind(float from, float distance) const;

 private:
  std::array<base::Vec3, kControlPoints> points_{};
};

}  // namespace fish
