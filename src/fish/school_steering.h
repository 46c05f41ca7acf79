#pragma once

#include "base/vector.h"

namespace scene {
class Camera;
}

namespace fish {

class Fish;
struct SwimContext;

// Steering a behaviour gives its fish. Each adds to the fish's push and
// returns whether the push has reached the fish's speed limit (saturated).

// Adds v to the push, keeps its climb within half its length and its
// length within the speed limit. A non-finite v adds nothing.
bool add_push(Fish& fish, const base::Vec3& v);

// The steering that turns a fish back from the walls of the swim box, in
// the box frame; none inside the inner box.
base::Vec3 box_steering(const base::Vec3& box_position, const base::Vec3& box_forward, float max_speed);
bool keep_in_box(Fish& fish);

// Away from neighbours whose sort key is at least the fish's own, ignoring
// `ignore`; false when the fish has no records.
bool avoid_neighbours(Fish& fish, const Fish* ignore = nullptr);

// Out of the hiding zones whose key differs from asking_key; only for
// fish that are not dwellers.
bool avoid_zones(Fish& fish, int asking_key = 0);

// Towards the school's heading and, when far, its leader.
bool follow_school(Fish& fish);

// Forward at x unless already that fast; true when it pushed.
bool cruise(Fish& fish, float x);

// Towards p from `from` with gain; true (adding nothing) when within
// limit fish sizes of it.
bool seek_point(Fish& fish, const base::Vec3& from, const base::Vec3& p, float limit, float gain);
bool seek_point(Fish& fish, const base::Vec3& p, float limit, float gain);

// Scales the fish's velocity, speed and body chain velocities by factor
// (clamped to 0..1).
void slow_down(Fish& fish, float factor);
// Slows a fish faster than limit by factor squared; true when it did.
bool brake(Fish& fish, float limit, float factor);

// A fish pushed upwards whose highest corner would leave the top of the
// camera's home view loses the climb and yields to others; true then.
bool top_of_view_check(Fish& fish, const scene::Camera* camera);

// The usual steering of a behaviour: nothing for a fish touching scenery,
// else zones, neighbours and the box, stopping once saturated. True when
// it stopped early (scenery or saturated).
bool standard_steering(Fish& fish, const Fish* ignore = nullptr);

}  // namespace fish
