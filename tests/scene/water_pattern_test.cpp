#include "scene/water_pattern.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "base/maths_expect.h"

namespace {

using base_test::near;
using scene::WaterPattern;

scene::SeaSetRecord pattern_record(float rate, const base::Vec2& scale = {1, 1},
                                   const base::Vec2& scroll = {}) {
  scene::SeaSetRecord record;
  record.set_pattern(scale, rate, scroll);
  return record;
}

TEST(WaterPatternClock, FrameFollowsRateWithWrapping) {
  struct Case {
    const char* name;
    int count;
    float lead;  // seconds run at one frame per second before the rate is set
    float rate;
    std::vector<float> steps;
    std::vector<int> frames;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Case cases[] = {
      {"rate 0 freezes", 8, 3.5f, 0.0f, {0.5f, 10.0f, 1000.0f}, {3, 3, 3}},
      {"forward, past the last frame to 0", 8, 0.0f, 10.0f, {0.25f, 0.25f, 0.35f}, {2, 5, 0}},
      {"backward wraps to the last frame", 8, 0.0f, -4.0f, {0.1f, 0.5f, 0.25f}, {7, 5, 4}},
      {"a large step forward goes to 0", 8, 2.5f, 10.0f, {100.0f}, {0}},
      {"a large step backward goes to the last", 8, 2.5f, -10.0f, {100.0f}, {7}},
      {"one frame", 1, 0.0f, 3.0f, {0.2f, 0.5f}, {0, 0}},
      {"no frames forward", 0, 0.0f, 5.0f, {1.0f}, {-1}},
      {"no frames backward", 0, 0.0f, -5.0f, {1.0f, 1.0f}, {-1, -1}},
      {"a rate that is not a number", 8, 2.5f, nan, {0.1f}, {0}},
  };
  for (const Case& c : cases) {
    WaterPattern pattern;
    pattern.set_frame_count(c.count);
    pattern.set_parameters(pattern_record(1.0f));
    pattern.update(c.lead);
    pattern.set_parameters(pattern_record(c.rate));
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      pattern.update(c.steps[i]);
      EXPECT_EQ(pattern.frame(), c.frames[i]) << c.name << ", step " << i;
      EXPECT_GE(pattern.time(), 0.0f) << c.name << ", step " << i;
      EXPECT_LT(pattern.time(), static_cast<float>(std::max(c.count, 1))) << c.name << ", step " << i;
    }
  }
}

TEST(WaterPatternClock, FewerFramesKeepTheIndexInRange) {
  struct Case {
    int count, frame;
  };
  const Case cases[] = {{8, 6}, {4, 0}, {0, -1}, {-3, -1}, {8, 0}};
  WaterPattern pattern;
  pattern.set_frame_count(8);
  pattern.set_parameters(pattern_record(1.0f));
  pattern.update(6.5f);
  for (const Case& c : cases) {
    pattern.set_frame_count(c.count);
    EXPECT_EQ(pattern.frame(), c.frame) << c.count;
    EXPECT_GE(pattern.frame_count(), 0) << c.count;
  }
}

TEST(WaterPatternMotion, ScrollsAndWobblesAcrossTanks) {
  WaterPattern pattern;
  pattern.set_parameters(pattern_record(12.0f, {2, 3}, {0.5f, -1.0f}));
  EXPECT_FLOAT_EQ(pattern.rate(), 12.0f);

  struct Step {
    float seconds;
    base::Vec4 params;
  };
  // The wobble angle is the time before the step.
  const Step first_tank[] = {
      {0.5f, {2, 3, 0.25f, -0.5f + 0.1f}},
      {0.5f, {2, 3, 0.5f + 0.1f * std::sin(0.5f), -1.0f + 0.1f * std::cos(0.5f)}},
  };
  for (const Step& s : first_tank) EXPECT_TRUE(near(pattern.step_motion(s.seconds), s.params));

  // A new tank brings its own scale and speed; the accumulated offset and
  // the wobble carry on.
  pattern.set_parameters(pattern_record(12.0f, {1, 1}, {0, 0}));
  EXPECT_TRUE(
      near(pattern.step_motion(0.25f), {1, 1, 0.5f + 0.1f * std::sin(1.0f), -1.0f + 0.1f * std::cos(1.0f)}));
}

}  // namespace
