// The fish of the settings in the default tank, on the application with the
// generated content: the default table fills the tank, the fish swim inside
// it, and a tank change keeps them.
#include <gtest/gtest.h>

#include <cmath>

#include "app_harness.h"
#include "host/accelerators.h"

namespace {

using host_test::AppHarness;

bool inside_grown(const scene::AlignedBox& box, const base::Vec3& p, float margin) {
  return p.x >= box.min.x - margin && p.x <= box.max.x + margin && p.y >= box.min.y - margin &&
         p.y <= box.max.y + margin && p.z >= box.min.z - margin && p.z <= box.max.z + margin;
}

TEST(AquariumFish, TheDefaultTableSwimsInTheTankAndStaysThroughATankChange) {
  AppHarness harness("Brinewick.scr /r");
  host::AquariumApplication& app = harness.make();
  ASSERT_TRUE(app.create_application());
  harness.drain();
  fish::FishManager& fish = app.aquarium().fish();
  ASSERT_EQ(fish.count(), 9u) << "seven 10008 and two 30001";
  EXPECT_EQ(app.aquarium().population().table_entry(9), 0) << "30005 may not swim";
  const std::vector<const fish::Fish*> before(fish.fish().begin(), fish.fish().end());

  // Ten seconds of frames: every position finite, nearly every one inside
  // the swim box grown by the fish's length.
  const scene::AlignedBox box = app.aquarium().scene().swim_box();
  int samples = 0;
  int inside = 0;
  for (int frame = 0; frame < 300; ++frame) {
    harness.now += 1.0 / 30.0;
    app.render_frame();
    for (const fish::Fish* one : fish.fish()) {
      const base::Vec3 centre = one->centre();
      ASSERT_TRUE(std::isfinite(centre.x) && std::isfinite(centre.y) && std::isfinite(centre.z)) << frame;
      ++samples;
      if (inside_grown(box, centre, one->length)) ++inside;
    }
  }
  EXPECT_GE(inside * 100, samples * 97) << inside << " of " << samples;

  app.on_command(host::command::kNextTank);
  for (int frame = 0; frame < 200 && app.tank_fade().running(); ++frame) {
    harness.now += 0.1;
    app.render_frame();
  }
  ASSERT_EQ(base::user_settings().text(base::UserSettings::kTankName, 64), "Tank02_Reef01");
  const std::vector<const fish::Fish*> after(fish.fish().begin(), fish.fish().end());
  EXPECT_EQ(after, before) << "a tank change moves the fish, it does not make new ones";
}

TEST(AquariumFish, AClickOnAFishStartlesItAndOnOpenWaterNone) {
  AppHarness harness("Brinewick.scr /r");
  host::AquariumApplication& app = harness.make();
  ASSERT_TRUE(app.create_application());
  harness.drain();
  for (int frame = 0; frame < 30; ++frame) {
    harness.now += 1.0 / 30.0;
    app.render_frame();
  }
  const scene::Camera& camera = app.aquarium().camera();
  const gfx::Viewport view = camera.viewport();
  ASSERT_GT(view.width, 0);
  // The screen point of the first fish's body centre, relative to the view.
  const fish::Fish& target = *app.aquarium().fish().fish()[0];
  const base::Vec4 clip = base::transform(target.centre(), camera.view_projection());
  ASSERT_GT(clip.w, 0.0f);
  const int x = static_cast<int>((clip.x / clip.w + 1.0f) * 0.5f * static_cast<float>(view.width));
  const int y = static_cast<int>((1.0f - clip.y / clip.w) * 0.5f * static_cast<float>(view.height));
  EXPECT_GE(app.aquarium().startle_fish_at(x, y), 1);
  EXPECT_EQ(target.drives.energy, 0.0f) << "a startled fish loses its energy";
  EXPECT_EQ(app.aquarium().startle_fish_at(2, view.height - 2), 0) << "the sand in a corner";
}

}  // namespace
