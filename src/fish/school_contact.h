#pragma once

#include <span>

#include "fish/obstacle.h"

namespace fish {

class Fish;

// The frame's first step for a fish: its collision box against the
// scenery, first touching obstacle wins. Touching nothing clears the push
// and the contact depth. A touch pushes the fish out along the contact's
// separation, ranks it late in the frame, slows a fish that is not already
// moving out, and adds to its contact time.
void scenery_contact(Fish& fish, std::span<const Obstacle> obstacles, float dt);

}  // namespace fish
