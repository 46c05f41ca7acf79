#include "base/interval_scale.h"

#include <gtest/gtest.h>

namespace {

TEST(DurationScale, PositionsMapOntoTheSteppedScale) {
  struct Case {
    int64_t position, offset, seconds;
  };
  const Case cases[] = {
      {0, 0, 0},        {1, 0, 1},       {60, 0, 60},
      {61, 0, 70},      {84, 0, 300},    {85, 0, 320},
      {99, 0, 600},     {100, 0, 630},   {139, 0, 1800},
      {140, 0, 1860},   {169, 0, 3600},  {170, 0, 3900},
      {193, 0, 10800},  {194, 0, 11400}, {205, 0, 18000},
      {206, 0, 19800},  {219, 0, 43200}, {220, 0, 46800},
      {231, 0, 86400},  {232, 0, 86400}, {5000, 0, 86400},
      {0, 30, 30},      {42, 10, 52},    {-5, 0, 0},
      {221, 30, 86400}, {60, 1, 70},     {4294967295, 30, 86400},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(base::duration_from_position(c.position, c.offset), c.seconds)
        << c.position << " + " << c.offset;
  }
  for (int64_t p = 1; p <= 240; ++p) {
    EXPECT_GE(base::duration_from_position(p, 0), base::duration_from_position(p - 1, 0))
        << "rising at " << p;
  }
  EXPECT_EQ(base::reverse_position(0), 231);
  EXPECT_EQ(base::reverse_position(231), 0);
}

TEST(DurationScale, SettingsIntervalsAddTheirBases) {
  base::UserSettings settings;
  const base::RuntimeState state;
  settings.set_u32(base::UserSettings::kFeedingInterval, 42);
  EXPECT_EQ(base::interval_seconds(settings, base::UserSettings::kFeedingInterval, state), 52);
  for (std::size_t offset : {base::UserSettings::kTankCycleInterval, base::UserSettings::kRerollInterval,
                             base::UserSettings::kThirdFishInterval}) {
    EXPECT_EQ(base::interval_seconds(settings, offset, state), 30) << std::hex << offset;
  }
  settings.set_u32(base::UserSettings::kTankCycleInterval, 231);
  EXPECT_EQ(base::interval_seconds(settings, base::UserSettings::kTankCycleInterval, state), 86400)
      << "the top of the slider stays at a day";
}

}  // namespace
