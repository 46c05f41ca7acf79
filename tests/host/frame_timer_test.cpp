#include "host/frame_timer.h"

#include <gtest/gtest.h>

namespace {

class FrameTimerTest : public ::testing::Test {
 protected:
  double now_ = 100.0;
  host::FrameTimer timer_{[this] { return now_; }};
};

TEST_F(FrameTimerTest, SmoothsOverTwoFramesAndClampsEachSample) {
  timer_.start(30.0);
  struct Step {
    double advance;
    double frame_time;
    double smoothed;
  };
  const Step steps[] = {
      {0.02, 0.02, (1.0 / 30.0 + 0.02) * 0.5},
      {0.02, 0.02, ((1.0 / 30.0 + 0.02) * 0.5 + 0.02) * 0.5},
  };
  for (const Step& step : steps) {
    now_ += step.advance;
    ASSERT_TRUE(timer_.tick());
    EXPECT_NEAR(timer_.frame_time(), step.frame_time, 1e-9);
    EXPECT_NEAR(timer_.smoothed_frame_time(), step.smoothed, 1e-12);
  }
}

TEST_F(FrameTimerTest, AFiveSecondStallGivesAboutTwoThirdsOfATenth) {
  timer_.start(30.0);
  now_ += 5.0;
  timer_.tick();
  EXPECT_DOUBLE_EQ(timer_.frame_time(), 5.0);
  EXPECT_NEAR(timer_.smoothed_frame_time(), 0.1 * 0.5 + 1.0 / 60.0, 1e-12);
  EXPECT_DOUBLE_EQ(timer_.total_time(), 5.0);
}

TEST_F(FrameTimerTest, MeasuresFramesPerSecondOncePerInterval) {
  timer_.start(30.0);
  // Steps of 1/32 s add up exactly.
  for (int i = 0; i < 31; ++i) {
    now_ += 1.0 / 32.0;
    timer_.tick();
  }
  EXPECT_DOUBLE_EQ(timer_.frames_per_second(), 30.0);  // the interval is not over
  now_ += 1.0 / 32.0;
  timer_.tick();
  EXPECT_DOUBLE_EQ(timer_.frames_per_second(), 32.0);
}

TEST_F(FrameTimerTest, ResumingRestartsSmoothingAndTheInterval) {
  timer_.start(30.0);
  now_ += 0.09;
  timer_.tick();
  timer_.set_paused(true);
  now_ += 3.0;  // a window drag
  timer_.set_paused(false);
  EXPECT_DOUBLE_EQ(timer_.smoothed_frame_time(), 1.0 / 30.0);
  now_ += 0.01;
  timer_.tick();
  EXPECT_NEAR(timer_.frame_time(), 0.01, 1e-9);
  EXPECT_NEAR(timer_.smoothed_frame_time(), (1.0 / 30.0 + 0.01) * 0.5, 1e-9);
}

TEST_F(FrameTimerTest, AClockThatStepsBackNeverGivesANegativeFrame) {
  timer_.start(30.0);
  now_ -= 2.0;
  timer_.tick();
  EXPECT_GE(timer_.frame_time(), 0.0);
  EXPECT_GE(timer_.smoothed_frame_time(), 0.0);
}

}  // namespace
