// Loading tanks into the scene: the sea set, the layout on it and the
// boxes, and what stays when tanks share a sea set.
#include "scene/scene.h"

#include <gtest/gtest.h>

#include "base/crt_random.h"
#include "tank_fixture.h"

namespace {

using scene::AlignedBox;
using scene::GroupBox;
using scene::Scene;
using scene_test::box_at;
using scene_test::Placed;
using scene_test::record_with_fov;
using scene_test::TankFolder;

constexpr std::uint8_t kRock = 4;

class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tanks_.sea_set("SeaSet01", {{"Floor"}, {"Wall", 0, base::translation(0, 10, 40)}}, record_with_fov(0.75f),
                   {box_at("ocean", {0, 30, 0}, {120, 54, 44}), box_at("bubble", {-50, 30, 10}, {4, 50, 4})});
    tanks_.layout("Layout01", {"Rock", "Anemone", "Grass"});
    tanks_.layout("Layout02", {"Rock", "Grass"});
    tanks_.tank("Tank01", "SeaSet01", "Layout01",
                {{"Rock", kRock, base::translation(-20, 0, 0)},
                 {"Anemone", 0, base::translation(20, 0, 0)},
                 {"Grass", 0, base::translation(0, 0, 10)}},
                {box_at("", {20, 3, 0}, {10, 6, 10})});
    tanks_.tank("Tank02", "seaset01", "Layout02",
                {{"Rock", kRock, base::translation(30, 0, 0)}, {"Grass", 0, base::translation(10, 0, 0)}}, {});
  }

  std::string path(const std::string& tank) const { return tanks_.scene_path(tank); }

  TankFolder tanks_;
  Scene scene_;
};

TEST_F(SceneTest, ATankLoadsItsSeaSetLayoutAndBoxes) {
  ASSERT_TRUE(scene_.load_tank(path("Tank01")));
  EXPECT_TRUE(scene_.loaded());
  EXPECT_EQ(scene_.sea_set_name(), "SeaSet01");
  EXPECT_FLOAT_EQ(scene_.record().field_of_view(), 0.75f);
  ASSERT_EQ(scene_.objects().size(), 5u) << "floor, wall, rock, anemone, grass";
  EXPECT_EQ(scene_.objects()[3]->kind(), model::kKindActinia) << "ACTI on the root derives kind 11";

  const AlignedBox& swim = scene_.swim_box();
  EXPECT_NEAR(swim.min.x, -60, 1e-4);
  EXPECT_NEAR(swim.max.y, 57, 1e-4);
  EXPECT_NEAR(swim.max.z, 22, 1e-4);
  EXPECT_NEAR(scene_.bubble_source().x, -50, 1e-4);
  EXPECT_NEAR(scene_.layout_centre().x, 0, 1e-4) << "mean of the three objects' box centres";
  EXPECT_NEAR(scene_.layout_centre().z, 10.0f / 3, 1e-4);
  ASSERT_EQ(scene_.tank_boxes().boxes().size(), 1u);

  // Rocks first, then anemones; the grass stops nobody.
  const auto obstacles = scene_.obstacles();
  ASSERT_EQ(obstacles.size(), 2u);
  EXPECT_EQ(obstacles[0]->kind(), kRock);
  EXPECT_TRUE(obstacles[1]->is_anemone());
}

TEST_F(SceneTest, ATankOnTheLoadedSeaSetKeepsTheFloorAndReplacesTheLayout) {
  ASSERT_TRUE(scene_.load_tank(path("Tank01")));
  const scene::SceneNode* floor = scene_.objects()[0];
  // Another record on disk under the same name is not read again.
  tanks_.sea_set("SeaSet01", {{"Floor"}}, record_with_fov(1.5f), {});

  ASSERT_TRUE(scene_.load_tank(path("Tank02")));
  EXPECT_TRUE(scene_.loaded()) << "a shared sea set still counts as loaded";
  EXPECT_EQ(scene_.sea_set_loads(), 1);
  EXPECT_EQ(scene_.objects()[0], floor);
  EXPECT_FLOAT_EQ(scene_.record().field_of_view(), 0.75f);
  EXPECT_NEAR(scene_.bubble_source().x, -50, 1e-4);
  ASSERT_EQ(scene_.objects().size(), 4u) << "the first layout's three objects are gone";
  EXPECT_NEAR(scene_.layout_centre().x, 20, 1e-4);
  EXPECT_TRUE(scene_.tank_boxes().boxes().empty());
}

TEST_F(SceneTest, TanksThatCannotLoadFail) {
  render::PackageBuilder one_entry;
  one_entry.add(std::vector<std::uint8_t>{0}, "SeaSet01", false);
  tanks_.write("Short", one_entry);
  tanks_.sea_set("NoRecord", {{"Floor"}}, std::nullopt, {});
  tanks_.tank("Unrecorded", "NoRecord", "Layout01", {}, {});

  EXPECT_FALSE(scene_.load_tank(path("Missing")));
  EXPECT_FALSE(scene_.load_tank(path("Short")));
  EXPECT_FALSE(scene_.load_tank(path("Unrecorded")));
  EXPECT_FALSE(scene_.loaded());
  EXPECT_EQ(scene_.sea_set_name(), "") << "a sea set that failed is not remembered";
  // The next tank on a good sea set loads it in full.
  ASSERT_TRUE(scene_.load_tank(path("Tank01")));
  EXPECT_TRUE(scene_.loaded());
  EXPECT_EQ(scene_.objects().size(), 5u);
}

TEST_F(SceneTest, MissingPackagesAreSkipped) {
  tanks_.tank("NoLayout", "SeaSet01", "Layout99", {{"Rock", kRock}}, {});
  tanks_.tank("NoSeaSet", "SeaSet99", "Layout02", {{"Rock", kRock}}, {});
  ASSERT_TRUE(scene_.load_tank(path("NoLayout")));
  EXPECT_EQ(scene_.objects().size(), 2u) << "only the floor";

  Scene fresh;
  ASSERT_TRUE(fresh.load_tank(path("NoSeaSet")));
  EXPECT_FALSE(fresh.loaded());
  EXPECT_EQ(fresh.objects().size(), 1u);
}

TEST_F(SceneTest, SwimBoxAndBubbleSourceWithoutTheirBoxes) {
  tanks_.sea_set("Bare", {{"Floor", 0, base::scaling(50, 1, 20)}}, record_with_fov(0.75f), {});
  tanks_.sea_set("Empty", {}, record_with_fov(0.75f), {box_at("ocean", {0, 0, 0}, {0, 0, 0})});
  tanks_.tank("BareTank", "Bare", "Layout02", {}, {});
  tanks_.tank("EmptyTank", "Empty", "Layout02", {}, {});

  ASSERT_TRUE(scene_.load_tank(path("BareTank")));
  EXPECT_EQ(scene_.swim_box(), (AlignedBox{{-50, -1, -20}, {50, 1, 20}})) << "the models' bounds";
  EXPECT_NEAR(scene_.bubble_source().x, 0, 1e-5);
  EXPECT_EQ(scene_.ocean(), nullptr);

  ASSERT_TRUE(scene_.load_tank(path("EmptyTank")));
  EXPECT_EQ(scene_.swim_box(), scene::kDefaultSwimBox) << "a flat ocean box is no place to swim";
}

TEST_F(SceneTest, TheCurrentIsCalmAfterALayoutLoadsThenVaries) {
  base::crt_rand().seed(7);
  ASSERT_TRUE(scene_.load_tank(path("Tank01")));
  for (int second = 0; second < 5; ++second) {
    scene_.one_second_tick();
    EXPECT_EQ(scene::current_strength(), 0.0f) << second;
  }
  for (int second = 0; second < 20; ++second) {
    scene_.one_second_tick();
    EXPECT_GE(scene::current_strength(), 0.5f);
    EXPECT_LE(scene::current_strength(), 1.0f);
  }
}

}  // namespace
