#pragma once

#include "base/vector.h"

namespace base {

// Whether the ray from `origin` along `direction` (any length, not zero)
// meets the axis-aligned box [box_min, box_max]. Only the forward half of the
// line counts; a ray that starts inside the box hits it.
bool box_bound_probe(const Vec3& box_min, const Vec3& box_max, const Vec3& origin, const Vec3& direction);

}  // namespace base
