#pragma once

namespace host {

// The fade to black through which every tank change happens: out to black,
// the tank changes, back in. Durations in seconds.
class TankFade {
 public:
  enum class State { FadingOut = -1, None = 0, FadingIn = 1 };

  explicit TankFade(float duration) : duration_(duration > 0.0f ? duration : 3.0f) {}

  // A fade out reverses a running fade in from the darkness it reached.
  void start_fade_out();
  void start_fade_in();
  void cancel();
  // Advances the fade; true when the screen just went fully black and the
  // tank should change now (the caller then starts the fade in).
  bool advance(float dt);

  State state() const { return state_; }
  float time() const { return time_; }
  // How black the screen is, 0..1.
  float alpha() const { return alpha_; }
  bool running() const { return state_ != State::None; }

 private:
  float duration_;
  State state_ = State::None;
  float time_ = 0.0f;
  float alpha_ = 0.0f;
};

}  // namespace host
