#include "fish/fish_manager.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/crt_random.h"
#include "fish/behaviour.h"
#include "fish/behaviour_states.h"
#include "fish/fish_model.h"
#include "fake_food.h"
#include "fish_kit.h"

namespace {

using fish::FishManager;

class Manager : public ::testing::Test {
 protected:
  void SetUp() override { base::crt_rand().seed(7); }

  fish::Fish& add(int slot, const fish_kit::KindShape& shape) {
    fish_kit::KindPackage package(shape);
    EXPECT_TRUE(manager.create_fish(slot, shape.kind, package.reader));
    return *manager.fish_in_slot(slot);
  }

  static bool finite(const base::Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

  model::MeshLibrary library;
  // The food outlives the manager: removing the fish lets go of it.
  fish_kit::FakeFood food;
  FishManager manager{FishManager::kDefaultCapacity, base::crt_rand(), library};
};

TEST_F(Manager, FishOfOneKindShareModelAndAttributesAndAreSizedForTheirKind) {
  fish::Fish& first = add(0, fish_kit::schooling_kind());
  fish::Fish& second = add(1, fish_kit::schooling_kind());
  fish::Fish& dweller = add(2, fish_kit::dweller_kind());

  EXPECT_EQ(first.model, second.model);
  EXPECT_EQ(first.attributes, second.attributes);
  EXPECT_EQ(library.find(fish::fish_model_name(10008)), first.model);
  EXPECT_NE(first.model, dweller.model);
  EXPECT_FALSE(first.is_dweller);
  EXPECT_TRUE(dweller.is_dweller);
  for (const fish::Fish* f : {&first, &second}) {
    EXPECT_GE(f->scale, 0.8f);
    EXPECT_LE(f->scale, 1.0f);
  }
  EXPECT_GE(dweller.scale, 0.65f);
  EXPECT_FLOAT_EQ(dweller.length, dweller.scale * dweller.base_length);
  EXPECT_FLOAT_EQ(dweller.half_extents.z, fish_kit::dweller_kind().size.z * dweller.scale * 0.5f);
  EXPECT_FLOAT_EQ(dweller.half_extents.x, fish_kit::dweller_kind().size.x * dweller.scale * 0.5f * 0.8f);

  // Placed in the middle 90 % of the box's width and depth, upper part of its height.
  const scene::AlignedBox& box = manager.swim_box();
  for (const fish::Fish* f : manager.fish()) {
    const base::Vec3 p = f->position();
    EXPECT_GE(p.x, box.min.x + 0.05f * (box.max.x - box.min.x) - 1e-3f);
    EXPECT_LE(p.x, box.max.x - 0.05f * (box.max.x - box.min.x) + 1e-3f);
    EXPECT_GE(p.y, box.min.y + 0.6f * (box.max.y - box.min.y) - f->length);
    EXPECT_FLOAT_EQ(f->motion.max_speed, 1.2f);
  }
}

TEST_F(Manager, RefusesTakenSlotsSlotsOutOfRangeAndPackagesWithoutModel) {
  add(0, fish_kit::schooling_kind());
  fish_kit::KindPackage package(fish_kit::dweller_kind());
  EXPECT_FALSE(manager.create_fish(0, 30001, package.reader));
  EXPECT_FALSE(manager.create_fish(-1, 30001, package.reader));
  EXPECT_FALSE(manager.create_fish(FishManager::kDefaultCapacity, 30001, package.reader));
  fish_kit::KindPackage empty(fish_kit::dweller_kind(), false);
  EXPECT_FALSE(manager.create_fish(1, 30001, empty.reader));
  EXPECT_EQ(manager.count(), 1u);
}

TEST_F(Manager, SchoolsNeedTwoFishOfASchoolingKind) {
  add(0, fish_kit::schooling_kind());
  add(1, fish_kit::dweller_kind());
  add(2, fish_kit::dweller_kind());
  manager.UpdateFish(0.02f);
  EXPECT_TRUE(manager.schools().empty()) << "one schooling fish, and a kind without school power";

  add(3, fish_kit::schooling_kind());
  manager.UpdateFish(0.02f);
  ASSERT_EQ(manager.schools().size(), 1u);
  const fish::School& school = *manager.schools()[0];
  EXPECT_EQ(school.members.size(), 2u);
  ASSERT_NE(school.leader, nullptr);
  float others = 0.0f;
  for (const fish::Fish* m : school.members) {
    if (m != school.leader) others += m->school_weight;
  }
  EXPECT_GT(school.leader->school_weight, others);
}

TEST_F(Manager, RemovingAFishClearsEveryLinkToIt) {
  manager.set_food_source(&food);
  fish::Fish& leader = add(0, fish_kit::schooling_kind());
  fish::Fish& follower = add(1, fish_kit::schooling_kind());
  fish::Fish& chaser = add(2, fish_kit::dweller_kind());
  manager.UpdateFish(0.02f);
  ASSERT_EQ(manager.schools().size(), 1u);

  // The leader hunts, and is chased.
  fish::BehaviourArgument hunt;
  hunt.food = food.add(leader.position() + leader.forward() * 3.0f);
  leader.set_state(fish::kHuntFood, hunt);
  ASSERT_EQ(manager.context().hunters, 1);
  fish::BehaviourArgument chase;
  chase.fish = &leader;
  chaser.set_state(fish::kChase, chase);
  ASSERT_EQ(leader.state(), fish::kFlee);
  ASSERT_EQ(manager.context().hunters, 0) << "fleeing ended the hunt";
  hunt.food->claimed = true;

  manager.remove_fish(0);
  EXPECT_EQ(manager.count(), 2u);
  EXPECT_EQ(manager.fish_in_slot(0), nullptr);
  EXPECT_EQ(chaser.state(), fish::kCruise) << "the chase ends with its quarry";
  EXPECT_EQ(chaser.current()->partner(), nullptr);
  EXPECT_EQ(follower.school, nullptr);
  EXPECT_TRUE(manager.schools().empty());
  for (const fish::NeighbourRecord& r : follower.neighbours) EXPECT_NE(r.other, &leader);
  manager.UpdateFish(0.02f);
  EXPECT_TRUE(manager.schools().empty()) << "one fish of the kind is left";
}

TEST_F(Manager, RemovingAHuntingDwellerLetsGoOfFoodAndZone) {
  manager.set_food_source(&food);
  scene::GroupBoxList zones;
  scene::GroupBox box;
  box.transform = base::scaling(8, 8, 8) * base::translation(0, 20, 0);
  zones.boxes().push_back(box);
  manager.SetSwimBox(nullptr, &zones);
  fish::Fish& dweller = add(0, fish_kit::dweller_kind());
  fish::HidingZone& zone = manager.context().zones.zones().at(0);

  fish::BehaviourArgument in_zone;
  in_zone.zone = &zone;
  dweller.set_state(fish::kDwellInZone, in_zone);
  ASSERT_EQ(zone.occupants, 1);
  // It leaves to hunt and stays counted in the zone it comes back to.
  fish::FoodItem* item = food.add(dweller.position() + dweller.forward() * 2.0f);
  fish::BehaviourArgument hunt;
  hunt.food = item;
  dweller.current()->switch_to(fish::kHuntFood, hunt);
  ASSERT_EQ(dweller.state(), fish::kHuntFood);
  EXPECT_EQ(zone.occupants, 1);
  EXPECT_TRUE(item->claimed);
  EXPECT_EQ(manager.context().hunters, 1);

  manager.remove_fish(0);
  EXPECT_EQ(zone.occupants, 0);
  EXPECT_FLOAT_EQ(zone.occupied_length, 0.0f);
  EXPECT_FALSE(item->claimed);
  EXPECT_EQ(manager.context().hunters, 0);
}

TEST_F(Manager, SwimBoxWithoutOceanTakesTheFallbackAndItsFrame) {
  add(0, fish_kit::schooling_kind());
  const scene::AlignedBox fallback{{-60, 4, -22}, {60, 58, 22}};
  manager.SetSwimBox(nullptr, nullptr, fallback);
  EXPECT_EQ(manager.swim_box(), fallback);
  const base::Vec3 corner = base::transform_coord(fallback.max, manager.context().box_frame);
  EXPECT_NEAR(corner.x, 0.5f, 1e-5f);
  EXPECT_NEAR(corner.y, 0.5f, 1e-5f);
  EXPECT_NEAR(corner.z, 0.5f, 1e-5f);
  EXPECT_FLOAT_EQ(manager.floor_level(), 4.0f + 54.0f * 0.05f);
}

TEST_F(Manager, DegenerateBoxesGiveNoNaN) {
  fish::Fish& f = add(0, fish_kit::schooling_kind());
  scene::GroupBox flat_ocean;
  flat_ocean.transform = base::scaling(100, 0, 40);
  scene::GroupBoxList zones;
  scene::GroupBox flat_zone;
  flat_zone.transform = base::scaling(0, 0, 0);
  zones.boxes().push_back(flat_zone);
  manager.SetSwimBox(&flat_ocean, &zones);
  EXPECT_TRUE(manager.context().zones.zones().empty()) << "a flat box has no inside to hide in";
  for (int i = 0; i < 200; ++i) manager.UpdateFish(0.05f);
  EXPECT_TRUE(finite(f.position()));
  EXPECT_TRUE(finite(f.motion.velocity));
}

}  // namespace
