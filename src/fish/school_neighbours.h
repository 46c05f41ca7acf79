#pragma once

#include <span>

#include "base/vector.h"

namespace fish {

class Fish;

// What one fish knows of a neighbour this frame.
struct NeighbourRecord {
  Fish* other = nullptr;
  float distance = 0.0f;
  float weight = 0.0f;  // 1 close, 0 at the edge of the range
  base::Vec3 push;      // how this fish would steer away from or with it
};

// The weight of a neighbour at `distance` when the two fish's lengths add
// up to `range`: 1 within sqrt(0.3) of the range, falling to 0 at its edge.
float neighbour_weight(float distance, float range);

// The pairwise pass over the fish in list order: every pair closer than
// the sum of their lengths gets a record on each side, encounter scores
// and sort keys grow with close meetings, fish heading straight at each
// other slow down and lose energy. smoothed_dt is the smoothed frame time.
void meet_neighbours(std::span<Fish* const> fish, double smoothed_dt);

}  // namespace fish
