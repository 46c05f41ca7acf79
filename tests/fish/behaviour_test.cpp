#include "fish/behaviour.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/crt_random.h"
#include "fish/behaviour_states.h"
#include "fish/fish_manager.h"
#include "fake_food.h"
#include "fish_kit.h"

namespace {

using fish::BehaviourArgument;

class Behaviours : public ::testing::Test {
 protected:
  void SetUp() override {
    base::crt_rand().seed(11);
    manager.set_food_source(&food);
  }
  fish::Fish& add(const fish_kit::KindShape& shape) {
    const int slot = static_cast<int>(manager.count());
    fish_kit::KindPackage package(shape);
    EXPECT_TRUE(manager.create_fish(slot, shape.kind, package.reader));
    return *manager.fish_in_slot(slot);
  }
  fish::Fish& schooling() { return add(fish_kit::schooling_kind()); }
  // One hiding zone 30 units wide in the middle of the default swim box.
  void one_large_zone() {
    scene::GroupBoxList zones;
    scene::GroupBox box;
    box.transform = base::scaling(30, 30, 30) * base::translation(0, 25, 0);
    zones.boxes().push_back(box);
    manager.SetSwimBox(nullptr, &zones);
  }

  model::MeshLibrary library;
  // The food outlives the manager: removing the fish lets go of it.
  fish_kit::FakeFood food;
  fish::FishManager manager{fish::FishManager::kDefaultCapacity, base::crt_rand(), library};
};

TEST_F(Behaviours, ChaseAndFleeEndTogetherFromEitherSide) {
  for (bool chaser_ends : {true, false}) {
    manager.remove_all();
    fish::Fish& chaser = schooling();
    fish::Fish& quarry = schooling();
    BehaviourArgument argument;
    argument.fish = &quarry;
    chaser.set_state(fish::kChase, argument);
    ASSERT_EQ(quarry.state(), fish::kFlee);
    EXPECT_FLOAT_EQ(chaser.motion.max_speed, 2.16f);
    EXPECT_FLOAT_EQ(quarry.motion.max_speed, 2.4f);

    (chaser_ends ? chaser : quarry).finish_behaviour();
    EXPECT_EQ(chaser.state(), fish::kCruise);
    EXPECT_EQ(quarry.state(), fish::kCruise);
    EXPECT_FLOAT_EQ(chaser.motion.max_speed, 1.2f);
    EXPECT_FLOAT_EQ(quarry.motion.max_speed, 1.2f);
  }
}

TEST_F(Behaviours, EnteringTheCurrentStateChangesNothing) {
  fish::Fish& f = schooling();
  f.set_state(fish::kVisitGlass);
  f.drives.energy = 0.7f;
  f.set_state(fish::kVisitGlass);
  EXPECT_FLOAT_EQ(f.drives.energy, 0.7f) << "entering the glass visit would zero the energy";
}

TEST_F(Behaviours, PlayfulFishVisitsTheGlassAtItsNextTick) {
  fish::Fish& f = schooling();
  f.drives.energy = 1.5f;
  f.drives.hunger = 0.0f;
  f.drive_clock = f.tick_period;
  f.update(0.01f);
  EXPECT_EQ(f.state(), fish::kVisitGlass);
}

TEST_F(Behaviours, AFishVisitingTheGlassStaysAtItThroughItsWiggle) {
  // Without a camera the viewer stands in front of the box's front side.
  for (unsigned seed : {1u, 2u, 3u, 4u}) {
    manager.remove_all();
    base::crt_rand().seed(seed);
    fish::Fish& f = schooling();
    f.set_state(fish::kVisitGlass);
    // Twenty seconds at 30 frames a second: the visit and the swim away.
    float nearest = f.centre().z;
    for (int frame = 0; frame < 30 * 20; ++frame) {
      manager.UpdateFish(1.0f / 30.0f);
      nearest = std::min(nearest, f.centre().z);
    }
    EXPECT_LT(nearest, manager.swim_box().min.z + f.length) << "seed " << seed << ": the fish came to the glass";
    EXPECT_GT(nearest, manager.swim_box().min.z - f.length) << "seed " << seed << ": the fish went through it";
  }
}

TEST_F(Behaviours, HungryFishJoinTheHuntWhileThereIsFoodEnough) {
  struct Case {
    int items;
    int hunting;
    bool joins;
  };
  for (const Case& c : {Case{1, 2, true}, Case{1, 3, false}, Case{0, 0, false}, Case{2, 4, true}}) {
    manager.remove_all();
    food.reset();
    fish::Fish& f = schooling();
    for (int i = 0; i < c.items; ++i) food.add(f.position() + f.forward() * (5.0f + static_cast<float>(i)));
    manager.context().hunters = c.hunting;
    f.drives.hunger = 1.0f;
    EXPECT_EQ(f.current()->try_food(), c.joins) << c.items << " items, " << c.hunting << " hunting";
    if (c.joins) {
      EXPECT_EQ(f.state(), fish::kHuntFood);
      EXPECT_EQ(manager.context().hunters, c.hunting + 1);
      f.finish_behaviour();
      EXPECT_EQ(manager.context().hunters, c.hunting);
    }
    manager.context().hunters = 0;
  }
}

TEST_F(Behaviours, NotHungryFishIgnoresFood) {
  fish::Fish& f = schooling();
  food.add(f.position() + f.forward() * 5.0f);
  f.drives.hunger = 0.5f;
  EXPECT_FALSE(f.current()->try_food());
}

TEST_F(Behaviours, HuntBiteAndChewEatTheItem) {
  fish::Fish& f = schooling();
  f.drives.hunger = 1.0f;
  fish::FoodItem* item = food.add(f.position() + f.forward() * 4.0f, 0.05f);  // small: swallowed
  BehaviourArgument argument;
  argument.food = item;
  f.set_state(fish::kHuntFood, argument);
  bool bit = false;
  for (int i = 0; i < 2000 && food.present(item); ++i) {
    manager.UpdateFish(0.02f);
    bit = bit || f.state() == fish::kBite || f.state() == fish::kChew;
  }
  EXPECT_TRUE(bit);
  EXPECT_FALSE(food.present(item));
  EXPECT_FLOAT_EQ(f.drives.hunger, 0.0f);
  EXPECT_EQ(manager.context().hunters, 0);
  EXPECT_FALSE(f.held);
}

TEST_F(Behaviours, DwellerFindsAFullZoneFullAndLosesItsUrge) {
  one_large_zone();
  fish::Fish& f = add(fish_kit::dweller_kind());
  fish::HidingZone& zone = manager.context().zones.zones().at(0);
  zone.occupants = zone.capacity;

  f.drives.hiding_urge = 1.2f;
  EXPECT_TRUE(f.current()->try_hide());
  EXPECT_EQ(f.state(), fish::kCruise);
  EXPECT_FLOAT_EQ(f.drives.hiding_urge, 0.0f);

  zone.occupants = 0;
  f.drives.hiding_urge = 1.2f;
  for (int i = 0; i < 100 && manager.context().zones.cooldown() > 0.0f; ++i) manager.context().zones.tick(0.1f);
  EXPECT_TRUE(f.current()->try_hide());
  EXPECT_EQ(f.state(), fish::kGoToZone);
}

TEST_F(Behaviours, ZoneVisitorsKeepTheCountAndOwnershipStraight) {
  one_large_zone();
  fish::Fish& f = add(fish_kit::dweller_kind());
  fish::HidingZone& zone = manager.context().zones.zones().at(0);
  BehaviourArgument argument;
  argument.zone = &zone;
  f.set_state(fish::kDwellInZone, argument);
  auto& dwell = static_cast<fish::DwellInZoneBehaviour&>(*f.current());
  dwell.switch_to(fish::kGuardZone, argument);
  EXPECT_EQ(zone.owner, &f);
  EXPECT_EQ(f.return_behaviour(), &dwell);
  f.finish_behaviour();
  EXPECT_EQ(zone.owner, nullptr);
  EXPECT_EQ(f.state(), fish::kDwellInZone);
  EXPECT_EQ(zone.occupants, 1);
  one_large_zone();  // a new tank resets the behaviours
  EXPECT_EQ(f.state(), fish::kCruise);
}

}  // namespace
