#include <cmath>

#include "base/crt_random.h"
#include "fish/behaviour_states.h"
#include "fish/fish.h"
#include "fish/school_steering.h"
#include "fish/school_zones.h"

namespace fish {

void NibbleBehaviour::enter(const BehaviourArgument& argument) {
  Fish& f = fish();
  zone_ = state() == kNibbleInZone ? argument.zone : nullptr;
  if (zone_ != nullptr) zone_->nibbler = &f;
  f.priority_base = 999999.0f;
  f.body.finish_turn();
  clear_motion(f);
  f.body.clear_chain();
  timer_ = -99.0f;
  stroke_ = 0.0f;
}

void NibbleBehaviour::update(float dt) {
  Fish& f = fish();
  if (brake(f, 0.2f, 1.0f - dt * 0.5f)) return;
  timer_ -= dt;
  if (timer_ < 0.0f) {
    if (timer_ < -99.0f) {
      // A quick stroke forward...
      const float h = random_spread() * 0.1f + 0.3f;
      stroke_ = f.length / h * 0.3f;
      timer_ = h;
      f.body.restart_burst(h);
    } else if (stroke_ > 0.0f) {
      // ...a slow one back...
      const float h = random_spread() * 0.2f + 1.0f;
      stroke_ = f.length / h * -0.2f;
      timer_ = h;
      f.body.restart_burst(h);
    } else if (stroke_ < 0.0f) {
      // ...fading out until the stroke is gone.
      timer_ *= 0.5f;
      stroke_ *= 0.5f;
      f.body.restart_burst(timer_);
    } else {
      finish();
      return;
    }
  }
  const BodyClock& burst = f.body.burst_clock();
  if (burst.running() && burst.duration > 0.0) {
    const float along = static_cast<float>(std::sin(burst.elapsed / burst.duration * 3.1415927));
    f.body.displace(dt * along * stroke_);
  }
}

void NibbleBehaviour::leave() {
  Fish& f = fish();
  f.body.finish_burst();
  if (zone_ != nullptr && zone_->nibbler == &f) zone_->nibbler = nullptr;
  zone_ = nullptr;
}

}  // namespace fish
