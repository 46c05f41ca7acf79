#include <gtest/gtest.h>

#include "host/tank_fade.h"

namespace {

using State = host::TankFade::State;

TEST(TankFade, GoesToBlackChangesAndComesBack) {
  host::TankFade fade(3.0f);
  fade.start_fade_out();
  struct Step {
    float dt;
    bool switches;
    State state;
    float alpha;
  };
  const Step steps[] = {
      {1.5f, false, State::FadingOut, 0.5f}, {1.0f, false, State::FadingOut, 2.5f / 3.0f},
      {1.0f, true, State::FadingIn, 1.0f},   {1.5f, false, State::FadingIn, 0.5f},
      {2.0f, false, State::None, 0.0f},
  };
  for (const Step& step : steps) {
    EXPECT_EQ(fade.advance(step.dt), step.switches);
    EXPECT_EQ(fade.state(), step.state);
    EXPECT_NEAR(fade.alpha(), step.alpha, 1e-6f);
  }
}

TEST(TankFade, ASecondPressWhileFadingOutChangesNothing) {
  host::TankFade fade(3.0f);
  fade.start_fade_out();
  fade.advance(1.0f);
  fade.start_fade_out();
  EXPECT_FLOAT_EQ(fade.time(), 1.0f);
}

TEST(TankFade, APressWhileFadingInReversesFromTheSameDarkness) {
  host::TankFade fade(3.0f);
  fade.start_fade_out();
  fade.advance(3.5f);  // black: the tank changes, the fade in starts
  fade.advance(1.0f);
  float darkness = fade.alpha();
  fade.start_fade_out();
  EXPECT_FLOAT_EQ(fade.time(), 2.0f);
  fade.advance(0.0f);
  EXPECT_NEAR(fade.alpha(), darkness, 1e-6f);
}

TEST(TankFade, ANonPositiveDurationNeverDividesByZero) {
  host::TankFade fade(0.0f);
  fade.start_fade_out();
  fade.advance(0.5f);
  EXPECT_TRUE(fade.alpha() >= 0.0f && fade.alpha() <= 1.0f);
}

}  // namespace
