#pragma once

#include <memory>
#include <span>
#include <vector>

#include "base/crt_random.h"
#include "base/vector.h"

namespace fish {

class Fish;

// All fish of one schooling kind, following a leader.
struct School {
  int kind = 0;
  float power = 0.0f;   // the kind's school power
  float weight = 0.0f;  // school power x the school weight factor
  std::vector<Fish*> members;
  float base = 1.2f;
  float total = 0.0f;
  Fish* leader = nullptr;
  base::Vec3 leader_centre;
  base::Vec3 heading;
  float strength = 0.0f;
  float timer = 0.0f;  // seconds until the leader is picked again

  // Gives every member a weight and makes the member that touched scenery
  // least the leader, outweighing all others together.
  void pick_leader(base::CrtRandom& random);
  // The leader's centre and the school's weighted heading this frame.
  void update(float dt, base::CrtRandom& random);
};

// The schools of a fish list: one per kind with school power and at least
// two fish. Every fish's school link is set (or cleared).
std::vector<std::unique_ptr<School>> build_schools(std::span<Fish* const> fish, base::CrtRandom& random);

}  // namespace fish
