#include "audio/volume_curves.h"

#include <gtest/gtest.h>

namespace {

TEST(VolumeCurves, MusicAndAmbientLevelsInMillibels) {
  struct Case {
    int volume;
    int32_t music;
    int32_t ambient;
  };
  const Case cases[] = {
      {0, -10000, -10000}, {1, -4921, -4921}, {10, -4214, -4217}, {25, -3036, -3086},
      {50, -1073, -1464},  {63, -51, -820},   {64, 0, -778},      {100, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.volume);
    EXPECT_EQ(audio::music_volume_level(c.volume * 0.01), c.music);
    EXPECT_EQ(audio::ambient_volume_level(c.volume * 0.01), c.ambient);
  }
}

TEST(VolumeCurves, TheMusicFloorSilencesEverythingAtOrBelowIt) {
  // With a floor of -2000 the curve spans -1000 .. 0; it never reaches the
  // floor, but x = 0 is silence whatever the floor.
  EXPECT_EQ(audio::music_volume_level(0.0, -2000), -10000);
  EXPECT_EQ(audio::music_volume_level(0.5, -2000), -214);
  // A negative x would go below the floor: silence, not a louder level.
  EXPECT_EQ(audio::music_volume_level(-1.0), -10000);
  EXPECT_EQ(audio::music_volume_level(1.5), 0);
}

}  // namespace
