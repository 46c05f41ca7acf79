#pragma once

#include "base/vector.h"
#include "forge/fishes/fish_kind.h"

namespace forge::fishes {

// The body of a kind in model space: the length axis is +z with the nose at
// +length/2 and the tail fin's tip at -length/2; y is up, x the fish's
// right. Positions along the body are given as t, 0 at the body's tail end
// (where the tail fin starts) and 1 at the nose.
class BodyShape {
 public:
  explicit BodyShape(const FishKind& kind);

  const FishKind& kind() const { return kind_; }
  float length() const { return kind_.length; }
  float nose_z() const { return 0.5f * kind_.length; }
  float tail_end_z() const { return nose_z() - kind_.body_share * kind_.length; }
  float tail_tip_z() const { return -0.5f * kind_.length; }

  float z_at(float t) const { return tail_end_z() + t * (nose_z() - tail_end_z()); }
  float half_height(float t) const;
  float half_width(float t) const;
  float centre(float t) const;
  // The surface point at t and angle around the section (0 belly, pi/2 the
  // +x flank, pi the back).
  base::Vec3 surface(float t, float angle) const;
  // The outward normal there, from the surface's neighbourhood.
  base::Vec3 normal(float t, float angle) const;

 private:
  const FishKind& kind_;
};

}  // namespace forge::fishes
