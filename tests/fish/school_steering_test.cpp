#include "fish/school_steering.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/crt_random.h"
#include "fish/fish_manager.h"
#include "fish/school_neighbours.h"
#include "fish/school_zones.h"
#include "fish_kit.h"

namespace {

TEST(NeighbourWeight, FallsFromOneToZeroAcrossTheRange) {
  struct Case {
    float distance;
    float range;
    float weight;
  };
  const float inner = std::sqrt(0.3f);
  for (const Case& c : {Case{0.1f, 2.0f, 1.0f}, Case{inner * 2.0f * 0.999f, 2.0f, 1.0f}, Case{2.0f, 2.0f, 0.0f},
                        Case{3.0f, 2.0f, 0.0f}, Case{std::sqrt(0.65f) * 2.0f, 2.0f, 0.5f}, Case{1.0f, 0.0f, 0.0f}}) {
    EXPECT_NEAR(fish::neighbour_weight(c.distance, c.range), c.weight, 1e-4f) << c.distance << " of " << c.range;
  }
}

TEST(BoxSteering, NothingInsideTheInnerBoxRampingUpTowardsTheWalls) {
  struct Case {
    base::Vec3 position;  // in the box frame
    base::Vec3 forward;
    bool steers;
    base::Vec3 direction;  // expected sign per axis
  };
  const base::Vec3 ahead{0, 0, 1};
  const Case cases[] = {
      {{0, 0, 0}, ahead, false, {}},
      {{0.41f, 0.39f, 0.47f}, ahead, false, {}},
      // Far out: the full push, inwards, even when facing inwards.
      {{0.6f, 0, 0}, {-1, 0, 0}, true, {-1, 0, 0}},
      {{0, -0.55f, 0}, ahead, true, {0, 1, 0}},
      // Facing the wall just outside the limit: a gentle push back.
      {{0, 0, 0.49f}, ahead, true, {0, 0, -1}},
      // Between the limit and 0.42 of the way out from the centre, no
      // steering is due yet.
      {{0.0f, 0.405f, 0.0f}, {0, 1, 0}, false, {}},
  };
  for (const Case& c : cases) {
    const base::Vec3 v = fish::box_steering(c.position, c.forward, 1.2f);
    EXPECT_EQ(v != base::Vec3{}, c.steers) << c.position.x << "," << c.position.y << "," << c.position.z;
    if (!c.steers) continue;
    for (float component : {v.x * c.direction.x, v.y * c.direction.y, v.z * c.direction.z}) EXPECT_GE(component, 0.0f);
    EXPECT_LE(base::length(v), 1.2f * 1.5f + 1e-4f);
  }
  // The push grows as the fish goes further out.
  const float near = base::length(fish::box_steering({0, 0, 0.45f}, {0, 0, 1}, 1.2f));
  const float far = base::length(fish::box_steering({0, 0, 0.5f}, {0, 0, 1}, 1.2f));
  EXPECT_LT(near, far);
}

class Steering : public ::testing::Test {
 protected:
  void SetUp() override {
    base::crt_rand().seed(3);
    fish_kit::KindPackage package(fish_kit::schooling_kind());
    ASSERT_TRUE(manager.create_fish(0, 10008, package.reader));
  }
  fish::Fish& fish() { return *manager.fish_in_slot(0); }
  model::MeshLibrary library;
  fish::FishManager manager{fish::FishManager::kDefaultCapacity, base::crt_rand(), library};
};

TEST_F(Steering, ATurnedSwimBoxSteersBackInsideItself) {
  // A long box turned a quarter about y: its length runs along world z.
  scene::GroupBox ocean;
  ocean.name = "ocean";
  ocean.transform = base::scaling(100, 40, 20) * base::rotation_y(1.5707964f) * base::translation(5, 30, 0);
  struct Case {
    base::Vec3 position;  // in the world
    base::Vec3 inwards;   // the way back into the box
  };
  const Case cases[] = {{{5, 30, 48}, {0, 0, -1}}, {{5, 30, -48}, {0, 0, 1}}, {{14.8f, 30, 0}, {-1, 0, 0}}};
  for (const Case& c : cases) {
    manager.SetSwimBox(&ocean, nullptr, {});
    // Facing along the wall, so the push is not cut by where the fish faces.
    fish().body.reset_pose(base::rotation_y(c.inwards.z != 0.0f ? 1.5707964f : 0.0f) * base::translation(c.position));
    fish().motion.push = {};
    fish::keep_in_box(fish());
    const base::Vec3 push = fish().motion.push;
    ASSERT_GT(base::length(push), 0.0f) << c.position.x << "," << c.position.z;
    EXPECT_GT(base::dot(push, c.inwards), 0.9f * base::length(push)) << c.position.x << "," << c.position.z;
  }
}

TEST_F(Steering, PushStaysFiniteWithinTheSpeedLimitWithItsClimbCut) {
  struct Case {
    base::Vec3 add;
    base::Vec3 push;
  };
  const float cut = 1.2f / std::sqrt(9.0f + 4.5f);  // (3, 3 -> 2.12, 0) scaled to 1.2
  for (const Case& c : {Case{{0, 0, 0}, {0, 0, 0}}, Case{{0, 0.4f, 0}, {0, 0.2f, 0}}, Case{{0, 10, 0}, {0, 1.2f, 0}},
                        Case{{3, 3, 0}, {3 * cut, std::sqrt(4.5f) * cut, 0}}, Case{{NAN, 1, 0}, {0, 0, 0}},
                        Case{{INFINITY, 0, 0}, {0, 0, 0}}}) {
    fish().motion.push = {};
    fish::add_push(fish(), c.add);
    const base::Vec3 p = fish().motion.push;
    EXPECT_NEAR(p.x, c.push.x, 1e-4f) << c.add.x << "," << c.add.y;
    EXPECT_NEAR(p.y, c.push.y, 1e-4f) << c.add.x << "," << c.add.y;
    EXPECT_NEAR(fish().motion.push_magnitude, base::length(c.push), 1e-4f);
  }
}

TEST_F(Steering, SeekingTheFishOwnPositionArrivesWithoutPush) {
  fish().motion.push = {};
  EXPECT_TRUE(fish::seek_point(fish(), fish().position(), 0.1f, 1.0f));
  EXPECT_EQ(fish().motion.push, base::Vec3{});
  EXPECT_FALSE(fish::seek_point(fish(), fish().position() + base::Vec3{10, 0, 0}, 0.1f, 1.0f));
  EXPECT_GT(fish().motion.push.x, 0.0f);
}

TEST_F(Steering, BrakingSlowsTheBodyChainWithTheFish) {
  // Swim a while so the chain has velocities of its own.
  for (int frame = 0; frame < 30; ++frame) {
    fish().motion.push = {};
    fish::add_push(fish(), {0.5f, 0, 0});
    fish().body.update_body(fish().motion, 1.0f / 30, 1.0 / 30);
  }
  const float chain_speed = base::length(fish().body.chain()[2].velocity);
  const float speed = fish().motion.speed;
  ASSERT_GT(speed, 0.2f);
  ASSERT_GT(chain_speed, 0.0f);
  EXPECT_TRUE(fish::brake(fish(), 0.1f, 0.5f));
  EXPECT_NEAR(fish().motion.speed, speed * 0.25f, 1e-5f);
  EXPECT_NEAR(base::length(fish().body.chain()[2].velocity), chain_speed * 0.25f, 1e-5f);
  EXPECT_FALSE(fish::brake(fish(), 10.0f, 0.5f)) << "slow fish are left alone";
}

TEST_F(Steering, TwoFishAtOneCentreOrOutOfRangeGetNoRecords) {
  fish_kit::KindPackage package(fish_kit::schooling_kind());
  ASSERT_TRUE(manager.create_fish(1, 10008, package.reader));
  fish::Fish& a = fish();
  fish::Fish& b = *manager.fish_in_slot(1);
  struct Case {
    float apart;  // in units of the summed lengths
    bool recorded;
  };
  for (const Case& c : {Case{0.0f, false}, Case{1.01f, false}, Case{0.5f, true}, Case{0.99f, true}}) {
    a.place(base::identity());
    b.place(base::identity());
    const float offset = a.centre().z - b.centre().z;
    b.place(base::translation(0, 0, (a.length + b.length) * c.apart + offset));
    a.neighbours.clear();
    b.neighbours.clear();
    fish::Fish* pair[] = {&a, &b};
    fish::meet_neighbours(pair, 0.02);
    EXPECT_EQ(!a.neighbours.empty(), c.recorded) << c.apart;
    EXPECT_EQ(a.neighbours.size(), b.neighbours.size());
  }
}

TEST(ZoneChoice, WaitsForTheCooldownThenPicksFirstOrNearest) {
  scene::GroupBoxList boxes;
  for (float x : {-20.0f, 20.0f}) {
    scene::GroupBox box;
    box.transform = base::scaling(4, 4, 4) * base::translation(x, 10, 0);
    boxes.boxes().push_back(box);
  }
  fish::HidingZones zones;
  zones.rebuild(&boxes);
  ASSERT_EQ(zones.zones().size(), 2u);
  EXPECT_EQ(zones.zones()[0].capacity, 2) << "an unnamed box holds two fish";

  // Draws in order: two for the cooldown, one for the way of choosing.
  struct Case {
    std::uint32_t seed;
    base::Vec3 position;
  };
  for (const Case& c : {Case{1, {19, 10, 0}}, Case{2, {19, 10, 0}}, Case{5, {-19, 10, 0}}, Case{9, {19, 10, 0}}}) {
    fish::HidingZones fresh;
    fresh.rebuild(&boxes);
    base::CrtRandom random(c.seed);
    base::CrtRandom replay(c.seed);
    replay.next();
    replay.next();
    const bool first_way = replay.chance(0.5f);
    const fish::HidingZone* chosen = fresh.choose(c.position, 1, random);
    ASSERT_NE(chosen, nullptr);
    const fish::HidingZone* nearest = c.position.x < 0 ? &fresh.zones()[0] : &fresh.zones()[1];
    EXPECT_EQ(chosen, first_way ? &fresh.zones()[0] : nearest) << "seed " << c.seed;
    EXPECT_GE(fresh.cooldown(), 0.5f);
    EXPECT_EQ(fresh.choose(c.position, 1, random), nullptr) << "the cooldown runs";
  }
}

TEST(ZoneRepulsion, PushesOutOfZonesOfOtherKeysOnly) {
  scene::GroupBoxList boxes;
  scene::GroupBox box;
  box.transform = base::scaling(4, 4, 4);
  boxes.boxes().push_back(box);
  fish::HidingZones zones;
  zones.rebuild(&boxes);
  base::Vec3 out;
  EXPECT_TRUE(zones.repel({1, 0, 0}, 0, out));
  EXPECT_GT(out.x, 0.0f);
  EXPECT_FALSE(zones.repel({1, 0, 0}, 1, out)) << "the zone's own key";
  EXPECT_FALSE(zones.repel({0, 0, 0}, 0, out)) << "no direction at the centre";
  EXPECT_FALSE(zones.repel({9, 0, 0}, 0, out));
}

TEST(ZoneOccupancy, NeverBelowEmpty) {
  fish::HidingZone zone;
  zone.add_occupant(2.0f);
  zone.remove_occupant(2.0f);
  zone.remove_occupant(2.0f);
  EXPECT_EQ(zone.occupants, 0);
  EXPECT_FLOAT_EQ(zone.occupied_length, 0.0f);
}

}  // namespace
