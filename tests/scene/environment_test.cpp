#include "scene/environment.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <vector>

#include "base/maths_expect.h"

namespace {

using base_test::near;
using scene::Environment;

constexpr std::size_t kBlock = base::UserSettings::kColourBlock;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// (r, g, b, 1) of a colour 0x00BBGGRR.
base::Vec4 rgb_of(std::uint32_t colour_ref) {
  return {static_cast<float>(colour_ref & 0xFF) / 255.0f,
          static_cast<float>((colour_ref >> 8) & 0xFF) / 255.0f,
          static_cast<float>((colour_ref >> 16) & 0xFF) / 255.0f, 1.0f};
}

bool finite(const base::Vec4& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.w);
}

// A colour block with every table entry different, no hold interval and a
// blend of 4 s.
class ColourCycle : public testing::Test {
 protected:
  void SetUp() override {
    state.durations[1] = 0.0f;
    state.durations[2] = 4.0f;
    for (std::uint32_t i = 0; i < base::UserSettings::kColourCount; ++i) {
      set_colour(i, (10 * i + 5) | (200 - 10 * i) << 8 | ((37 * i) & 0xFF) << 16);
    }
    set_u32(Environment::kAmbientPercent, 25);
  }

  void set_colour(std::uint32_t entry, std::uint32_t colour_ref) {
    set_u32(Environment::kColourTable + 4 * entry, colour_ref);
  }
  std::uint32_t colour(std::uint32_t entry) const { return u32(Environment::kColourTable + 4 * entry); }
  void set_u32(std::size_t offset, std::uint32_t value) { settings.set_u32(kBlock + offset, value); }
  std::uint32_t u32(std::size_t offset) const { return settings.u32(kBlock + offset); }
  void set_float(std::size_t offset, float value) { set_u32(offset, std::bit_cast<std::uint32_t>(value)); }
  float read_float(std::size_t offset) const { return std::bit_cast<float>(u32(offset)); }

  // The three colours of phase k as the table gives them.
  scene::PhaseColours table_phase(std::uint32_t k) const {
    return {rgb_of(colour(k)), rgb_of(colour(6 + 2 * k)), rgb_of(colour(7 + 2 * k))};
  }
  static testing::AssertionResult shows(const Environment& env, const scene::PhaseColours& expected) {
    if (auto r = near(env.light_colour(), expected.light); !r) return r << " (light)";
    if (auto r = near(env.top_colour(), expected.top); !r) return r << " (top)";
    if (auto r = near(env.bottom_colour(), expected.bottom); !r) return r << " (bottom)";
    return testing::AssertionSuccess();
  }

  base::UserSettings settings;
  base::RuntimeState state;
};

TEST_F(ColourCycle, HoldKeepsPhaseAndColoursWhateverTheFrameTime) {
  set_u32(Environment::kBlockFlags, Environment::kHoldFlag);
  set_u32(Environment::kHeldPhase, 3);
  set_float(Environment::kHeldTime, 1.0f);
  Environment env(settings, state);
  ASSERT_TRUE(env.holding());
  ASSERT_EQ(env.phase(), 3u);
  ASSERT_FLOAT_EQ(env.phase_time(), 1.0f);
  const base::Vec4 light = env.light_colour();
  const auto gradient = env.gradient();
  const std::uint64_t version = env.light_version();

  for (float dt : {0.016f, 1.0f, 3.5f, 30.0f, 1e6f}) {
    env.update(dt);
    EXPECT_EQ(env.phase(), 3u) << dt;
    EXPECT_FLOAT_EQ(env.phase_time(), 1.0f) << dt;
    EXPECT_EQ(env.light_colour(), light) << dt;
    EXPECT_EQ(env.gradient()[0].colour, gradient[0].colour) << dt;
    EXPECT_EQ(env.gradient()[2].colour, gradient[2].colour) << dt;
    EXPECT_EQ(env.light_version(), version) << dt;
  }
}

TEST_F(ColourCycle, ZeroHoldIntervalBlendsAtOnceAndAdvancesEveryBlendDuration) {
  for (float dt : {0.25f, 0.3f, 0.5f, 1.0f}) {
    Environment env(settings, state);
    ASSERT_EQ(env.hold_interval(), 0);
    env.set_phase(4);
    env.update(dt);
    EXPECT_FLOAT_EQ(env.phase_time(), dt) << "the blend starts with the first frame, dt " << dt;

    // Two advances in a row, across the wrap from 5 to 0.
    for (std::uint32_t expected : {5u, 0u}) {
      const std::uint32_t before = env.phase();
      float elapsed = env.phase_time();
      while (env.phase() == before && elapsed < 100.0f) {
        env.update(dt);
        elapsed += dt;
      }
      EXPECT_EQ(env.phase(), expected) << dt;
      EXPECT_EQ(env.next_phase(), expected == 5 ? 0u : 1u) << dt;
      EXPECT_GT(elapsed, 4.0f) << dt;
      EXPECT_LE(elapsed, 4.0f + dt + 1e-4f) << dt;
      EXPECT_FLOAT_EQ(env.phase_time(), 0.0f) << dt;
      EXPECT_TRUE(shows(env, table_phase(expected))) << "a new phase starts from its own colours, dt " << dt;
    }
  }
}

TEST_F(ColourCycle, HoldIntervalComesFromTheSliderPositionAndItsBase) {
  struct Case {
    std::uint32_t position;
    float base;
    std::int64_t seconds;
  };
  const Case cases[] = {
      {20, 5.0f, 25},  // the default setting
      {0, 5.0f, 5},   {0, 0.0f, 0}, {75, 5.0f, 260}, {231, 5.0f, 86400}, {0xFFFFFFFFu, 5.0f, 86400},
      {10, kNaN, 10},  // a broken base counts as none
  };
  state.durations[2] = 1e6f;  // no phase change during the test
  for (const Case& c : cases) {
    set_u32(Environment::kHoldInterval, c.position);
    state.durations[1] = c.base;
    Environment env(settings, state);
    EXPECT_EQ(env.hold_interval(), c.seconds) << c.position << " + " << c.base;
    if (c.seconds > 0) {
      env.update(static_cast<float>(c.seconds) - 0.5f);
      EXPECT_FLOAT_EQ(env.phase_time(), 0.0f) << "still holding, " << c.position;
    }
    env.update(1.0f);
    EXPECT_FLOAT_EQ(env.phase_time(), 1.0f) << "blending, " << c.position;
  }
}

TEST_F(ColourCycle, HalfWayBlendMixesLightAndGradient) {
  set_colour(2, 0x00204000);   // light of phase 2
  set_colour(3, 0x006080FF);   // light of phase 3
  set_colour(10, 0x00000000);  // top of phase 2
  set_colour(12, 0x00FFFFFF);  // top of phase 3
  set_colour(11, 0x00102030);  // bottom of phase 2
  set_colour(13, 0x00305070);  // bottom of phase 3
  set_u32(Environment::kSpecularPercent, 50);
  Environment env(settings, state);
  env.set_phase(2);
  env.update(2.0f);

  const base::Vec4 half{0.5f, 96.0f / 255.0f, 64.0f / 255.0f, 1.0f};
  EXPECT_TRUE(near(env.light_colour(), half));
  EXPECT_TRUE(near(env.light().diffuse, half));
  EXPECT_TRUE(near(env.light().ambient, {0.125f, 24.0f / 255.0f, 16.0f / 255.0f, 1.0f}));
  EXPECT_TRUE(near(env.light().specular, {0.25f, 48.0f / 255.0f, 32.0f / 255.0f, 1.0f}));
  // 127.5 rounds up; the bytes come out as 0xAARRGGBB.
  EXPECT_EQ(env.gradient()[0].colour, 0xFF808080u);
  EXPECT_EQ(env.gradient()[1].colour, 0xFF808080u);
  EXPECT_EQ(env.gradient()[2].colour, 0xFF503820u);
  EXPECT_EQ(env.gradient()[3].colour, 0xFF503820u);

  // A new ambient percentage shows after apply, as a new light.
  const std::uint64_t version = env.light_version();
  set_u32(Environment::kAmbientPercent, 100);
  env.apply();
  EXPECT_TRUE(near(env.light().ambient, half));
  EXPECT_GT(env.light_version(), version);
}

TEST_F(ColourCycle, ZeroBlendDurationCompletesTheBlendAtOnce) {
  for (float duration : {0.0f, -2.0f, kNaN}) {
    state.durations[2] = duration;
    Environment env(settings, state);
    env.set_phase(1);
    EXPECT_TRUE(shows(env, table_phase(1))) << duration;
    env.update(0.0f);
    EXPECT_EQ(env.phase(), 1u) << duration;
    EXPECT_TRUE(shows(env, table_phase(1))) << duration;
    env.update(0.1f);
    EXPECT_EQ(env.phase(), 2u) << duration;
    EXPECT_TRUE(shows(env, table_phase(2))) << duration;
    EXPECT_TRUE(finite(env.light().diffuse) && finite(env.light().ambient)) << duration;
  }
}

TEST_F(ColourCycle, SetPhaseWrapsAndTurnsLargeIndicesToZero) {
  struct Case {
    std::uint32_t k, phase, next;
  };
  const Case cases[] = {{0, 0, 1}, {4, 4, 5}, {5, 5, 0}, {6, 0, 1}, {0xFFFFFFFFu, 0, 1}};
  Environment env(settings, state);
  for (const Case& c : cases) {
    env.update(1.0f);
    env.set_phase(c.k);
    EXPECT_EQ(env.phase(), c.phase) << c.k;
    EXPECT_EQ(env.next_phase(), c.next) << c.k;
    EXPECT_FLOAT_EQ(env.phase_time(), 0.0f) << c.k;
    EXPECT_FLOAT_EQ(env.hold_time(), 0.0f) << c.k;
    EXPECT_TRUE(shows(env, table_phase(c.phase))) << c.k;
  }
}

TEST_F(ColourCycle, BlockValuesOutOfRangeAreReadSafely) {
  struct Case {
    bool holding;
    std::uint32_t stored_phase;
    float stored_time;
    std::uint32_t phase;
    float time;
  };
  const Case cases[] = {
      {false, 5, 1.5f, 5, 1.5f}, {false, 6, 1.5f, 0, 1.5f},  {false, 9, kNaN, 0, 0.0f},
      {true, 4, 2.0f, 4, 2.0f},  {true, 200, kInf, 0, 0.0f}, {true, 3, -1.0f, 3, 0.0f},
  };
  for (const Case& c : cases) {
    set_u32(Environment::kBlockFlags, c.holding ? Environment::kHoldFlag : 0);
    set_u32(c.holding ? Environment::kHeldPhase : Environment::kCyclingPhase, c.stored_phase);
    set_float(c.holding ? Environment::kHeldTime : Environment::kCyclingTime, c.stored_time);
    Environment env(settings, state);
    EXPECT_EQ(env.phase(), c.phase) << c.stored_phase << " holding " << c.holding;
    EXPECT_EQ(env.next_phase(), c.phase == 5 ? 0u : c.phase + 1) << c.stored_phase;
    EXPECT_FLOAT_EQ(env.phase_time(), c.time) << c.stored_time;
    EXPECT_TRUE(finite(env.light().diffuse)) << c.stored_time;
  }
}

TEST_F(ColourCycle, ToggleHoldStoresTheBlendAndRestoresIt) {
  Environment env(settings, state);
  env.set_phase(3);
  env.update(1.0f);
  const base::Vec4 blend = env.light_colour();

  env.toggle_hold();
  EXPECT_TRUE(env.holding());
  EXPECT_EQ(u32(Environment::kBlockFlags) & Environment::kHoldFlag, Environment::kHoldFlag);
  EXPECT_EQ(u32(Environment::kHeldPhase), 3u);
  EXPECT_FLOAT_EQ(read_float(Environment::kHeldTime), 1.0f);
  env.update(10.0f);
  EXPECT_EQ(env.light_colour(), blend) << "the held blend stays";

  env.toggle_hold();
  EXPECT_FALSE(env.holding());
  EXPECT_EQ(env.phase(), 3u);
  EXPECT_EQ(env.next_phase(), 4u);
  EXPECT_FLOAT_EQ(env.phase_time(), 1.0f);
  EXPECT_FLOAT_EQ(env.hold_time(), 0.0f);
  EXPECT_EQ(u32(Environment::kHeldPhase), 0u);
  EXPECT_EQ(u32(Environment::kHeldTime), 0u);
  EXPECT_TRUE(near(env.light_colour(), blend));
  env.update(1.0f);
  EXPECT_FLOAT_EQ(env.phase_time(), 2.0f) << "cycling resumes from the held blend";

  // Other bits of the flag word are left alone, and a held phase changed in
  // the record to an impossible index resumes at phase 0.
  set_u32(Environment::kBlockFlags, 0xF0);
  env.toggle_hold();
  set_u32(Environment::kHeldPhase, 77);
  env.toggle_hold();
  EXPECT_EQ(u32(Environment::kBlockFlags), 0xF0u);
  EXPECT_EQ(env.phase(), 0u);
}

TEST_F(ColourCycle, StoreStateWritesTheCyclingPositionOrZeros) {
  struct Case {
    bool hold;
    std::uint32_t phase;
    float time;
  };
  const Case cases[] = {{false, 4, 1.5f}, {true, 0, 0.0f}};
  for (const Case& c : cases) {
    set_u32(Environment::kBlockFlags, 0);
    Environment env(settings, state);
    env.set_phase(4);
    env.update(1.5f);
    if (c.hold) env.toggle_hold();
    set_u32(Environment::kCyclingPhase, 9);
    set_float(Environment::kCyclingTime, 9.0f);
    env.store_state();
    EXPECT_EQ(u32(Environment::kCyclingPhase), c.phase) << c.hold;
    EXPECT_FLOAT_EQ(read_float(Environment::kCyclingTime), c.time) << c.hold;
    if (!c.hold) {
      const Environment restarted(settings, state);
      EXPECT_EQ(restarted.phase(), 4u);
      EXPECT_FLOAT_EQ(restarted.phase_time(), 1.5f);
      EXPECT_TRUE(near(restarted.light_colour(), env.light_colour()));
    }
  }
}

TEST_F(ColourCycle, GradientCornersInFanOrderWithPackedColours) {
  set_colour(6, 0x00804020);  // top of phase 0
  set_colour(7, 0x000000FF);  // bottom of phase 0
  struct Case {
    int width, height;
    float factor, bottom;
  };
  const Case cases[] = {{800, 600, 1.0f, 600.5f}, {800, 600, 0.5f, 300.5f}, {0, 0, 1.0f, 0.5f}};
  for (const Case& c : cases) {
    Environment env(settings, state);
    env.resize(c.width, c.height);
    env.set_light_direction({0, -1, 0}, c.factor);
    const float right = static_cast<float>(c.width) + 0.5f;
    const struct {
      float x, y;
      std::uint32_t colour;
    } corners[4] = {{-0.5f, -0.5f, 0xFF204080u},
                    {right, -0.5f, 0xFF204080u},
                    {right, c.bottom, 0xFFFF0000u},
                    {-0.5f, c.bottom, 0xFFFF0000u}};
    for (int i = 0; i < 4; ++i) {
      const scene::GradientVertex& v = env.gradient()[i];
      EXPECT_FLOAT_EQ(v.x, corners[i].x) << c.width << " corner " << i;
      EXPECT_FLOAT_EQ(v.y, corners[i].y) << c.height << " x " << c.factor << " corner " << i;
      EXPECT_FLOAT_EQ(v.z, 0.999f);
      EXPECT_FLOAT_EQ(v.rhw, 0.001f);
      EXPECT_EQ(v.colour, corners[i].colour) << "corner " << i;
    }
  }
}

TEST_F(ColourCycle, LightDirectionIsNormalisedAndNeverBecomesNaN) {
  struct Case {
    const char* name;
    std::vector<base::Vec3> directions;
    base::Vec3 expected;
  };
  const Case cases[] = {
      {"zero at first: straight down", {{0, 0, 0}}, {0, -1, 0}},
      {"normalised", {{3, 0, 4}}, {0.6f, 0, 0.8f}},
      {"zero keeps the previous", {{3, 0, 4}, {0, 0, 0}}, {0.6f, 0, 0.8f}},
      {"NaN keeps the previous", {{3, 0, 4}, {kNaN, 1, 0}}, {0.6f, 0, 0.8f}},
      {"infinite keeps the previous", {{0, 0, -2}, {kInf, 0, 0}}, {0, 0, -1}},
      {"tiny still has a direction", {{1e-30f, 0, 0}}, {1, 0, 0}},
  };
  for (const Case& c : cases) {
    Environment env(settings, state);
    for (const base::Vec3& d : c.directions) {
      const std::uint64_t version = env.light_version();
      env.set_light_direction(d, 1.0f);
      EXPECT_GT(env.light_version(), version) << c.name;
    }
    EXPECT_TRUE(near(env.light().direction, c.expected)) << c.name;
    EXPECT_EQ(env.light().type, render::LightType::Directional) << c.name;
  }
}

}  // namespace
