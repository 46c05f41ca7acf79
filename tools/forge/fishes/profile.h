#pragma once

#include "base/vector.h"
#include "forge/fishes/fish_kind.h"

namespace forge::fishes {

// The profile's value at `at`: a monotone cubic through its points (no
// overshoot between them), held flat beyond the first and the last point.
// 0 for an empty profile.
float sample(const Profile& profile, float at);

// A point of a super-ellipse |x/a|^n + |y/b|^n = 1 with half sizes a
// (width) and b (height): angle 0 is the bottom, pi/2 the +x side, pi the
// top. Exponents above 2 square the ellipse off a little.
base::Vec2 super_ellipse(float angle, float half_width, float half_height, float exponent);

}  // namespace forge::fishes
