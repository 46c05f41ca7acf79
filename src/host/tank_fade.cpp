#include "host/tank_fade.h"

#include <algorithm>

namespace host {

void TankFade::start_fade_out() {
  if (state_ == State::FadingOut) return;
  time_ = state_ == State::FadingIn ? std::max(0.0f, duration_ - time_) : 0.0f;
  state_ = State::FadingOut;
}

void TankFade::start_fade_in() {
  state_ = State::FadingIn;
  time_ = 0.0f;
}

void TankFade::cancel() {
  state_ = State::None;
  time_ = 0.0f;
  alpha_ = 0.0f;
}

bool TankFade::advance(float dt) {
  if (state_ == State::None) return false;
  time_ += dt;
  bool switch_now = false;
  if (time_ > duration_) {
    if (state_ == State::FadingIn) {
      cancel();
      return false;
    }
    switch_now = true;
    start_fade_in();
  }
  float fraction = std::clamp(time_ / duration_, 0.0f, 1.0f);
  alpha_ = state_ == State::FadingOut ? fraction : 1.0f - fraction;
  return switch_now;
}

}  // namespace host
