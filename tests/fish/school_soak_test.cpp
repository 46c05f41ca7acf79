// Runs the default population for a long stretch of simulated time and
// checks that the school stays sane: finite, in the box, within its speed
// limits, apart, schooling, hiding, with consistent bookkeeping, and
// reproducible from its seed.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "base/crt_random.h"
#include "fish/behaviour.h"
#include "fish/fish_manager.h"
#include "fish/obstacle.h"
#include "fake_food.h"
#include "model/mesh_builder.h"
#include "shipped_tank.h"

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_UNDER_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_UNDER_SANITIZER 1
#endif
#endif

namespace {

// Sanitizers make every frame several times slower: the soak then covers
// this share of the simulated time.
#ifdef SOAK_UNDER_SANITIZER
constexpr double kSanitizerShare = 0.5;
#else
constexpr double kSanitizerShare = 1.0;
#endif
constexpr double kSimulatedSeconds = 30.0 * 60.0 * kSanitizerShare;

// The highest speed limit a fish gets: while fleeing.
constexpr float kFastest = 2.4f;
const scene::AlignedBox& kSwimBox = fish_kit::kShippedSwimBox;

struct SoakResult {
  std::uint64_t fish_frames = 0;
  std::uint64_t outside_box = 0;
  std::uint64_t non_finite = 0;
  std::uint64_t over_speed = 0;
  std::uint64_t pair_frames = 0;
  std::uint64_t close_pairs = 0;
  std::uint64_t broken_invariants = 0;
  double schooling_alignment = 0.0;
  double other_alignment = 0.0;
  std::uint64_t dweller_frames = 0;
  std::uint64_t dweller_zone_frames = 0;
  std::vector<float> final_state;
};

bool finite(const base::Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The frame times of a real run: mostly steady, some jitter, now and then
// a stall of up to a second.
float frame_time(std::uint64_t frame) {
  if (frame % 5003 == 0) return 1.0f;
  if (frame % 997 == 0) return 0.3f;
  if (frame % 211 == 0) return 0.1f;
  return (frame % 3 == 0) ? 0.04f : 0.025f;
}

std::uint64_t broken_invariants(const fish::FishManager& manager) {
  std::uint64_t broken = 0;
  int hunting = 0;
  for (const fish::Fish* f : manager.fish()) {
    if (f->state() == fish::kHuntFood) ++hunting;
    if (f->state() == fish::kChase || f->state() == fish::kFlee) {
      const fish::Fish* partner = f->current()->partner();
      const int expected = f->state() == fish::kChase ? fish::kFlee : fish::kChase;
      if (partner == nullptr || partner->state() != expected || partner->current()->partner() != f) ++broken;
    }
  }
  if (hunting != manager.context().hunters) ++broken;
  for (const fish::HidingZone& zone : manager.context().zones.zones()) {
    if (zone.occupants < 0 || zone.occupied_length < -1e-3f) ++broken;
  }
  return broken;
}

SoakResult soak(double seconds) {
  base::crt_rand().seed(20240611);
  model::MeshLibrary library;
  // The food outlives the manager: removing the fish lets go of it.
  fish_kit::FakeFood food;
  fish::FishManager manager(fish::FishManager::kDefaultCapacity, base::crt_rand(), library);
  manager.set_food_source(&food);

  // The anemone's zone on the floor, and rocks.
  fish_kit::set_shipped_swim_box(manager);
  std::vector<fish::Obstacle> rocks;
  const model::Material stone = model::plain_material({0.5f, 0.5f, 0.5f, 1});
  const auto boulder = model::make_sphere(6.0f, 8, 12, stone, "rock");
  const auto slab = model::make_box({8.0f, 3.0f, 5.0f}, stone, "slab");
  rocks.push_back(fish::Obstacle::from_node(*boulder, base::translation(-30, 6, 0)));
  rocks.push_back(fish::Obstacle::from_node(*slab, base::translation(35, 5, -10)));
  rocks.push_back(fish::Obstacle::from_node(*boulder, base::translation(0, 4, 12)));
  manager.set_obstacles(std::move(rocks));

  // The default population: seven of the schooling kind, two dwellers.
  int slot = 0;
  for (const auto& [kind, count] : {std::pair{10008, 7}, std::pair{30001, 2}}) {
    fish_kit::ShippedKind package(kind);
    EXPECT_TRUE(package.opened) << kind;
    for (int i = 0; i < count; ++i) EXPECT_TRUE(manager.create_fish(slot++, kind, package.reader)) << kind;
  }

  SoakResult result;
  double alignment_sums[2] = {0.0, 0.0};
  std::uint64_t alignment_counts[2] = {0, 0};
  double time = 0.0;
  double next_feed = 60.0;
  for (std::uint64_t frame = 1; time < seconds; ++frame) {
    const float dt = frame_time(frame);
    time += dt;
    if (time >= next_feed) {
      // A handful of flakes near the top, as the feeding timer drops them.
      for (int i = 0; i < 4; ++i) food.add({-20.0f + 12.0f * static_cast<float>(i), 45.0f, 0.0f});
      next_feed += 90.0;
    }
    manager.UpdateFish(dt);
    result.broken_invariants += broken_invariants(manager);

    const std::span<fish::Fish* const> all = manager.fish();
    for (std::size_t i = 0; i < all.size(); ++i) {
      const fish::Fish& f = *all[i];
      ++result.fish_frames;
      const base::Vec3 c = f.centre();
      if (!finite(c) || !finite(f.motion.velocity) || !finite(f.motion.push) || !std::isfinite(f.motion.speed)) {
        ++result.non_finite;
      }
      const float grow = f.length;
      if (c.x < kSwimBox.min.x - grow || c.x > kSwimBox.max.x + grow || c.y < kSwimBox.min.y - grow ||
          c.y > kSwimBox.max.y + grow || c.z < kSwimBox.min.z - grow || c.z > kSwimBox.max.z + grow) {
        ++result.outside_box;
      }
      // The push may add one frame's worth of speed on top of the limit.
      if (f.motion.speed > kFastest * (1.0f + dt) * 1.001f) ++result.over_speed;
      if (f.is_dweller) {
        ++result.dweller_frames;
        if (f.state() >= fish::kGoToZone) ++result.dweller_zone_frames;
      }
      for (std::size_t j = i + 1; j < all.size(); ++j) {
        const fish::Fish& g = *all[j];
        ++result.pair_frames;
        if (base::length(c - g.centre()) < 0.25f * (f.length + g.length)) ++result.close_pairs;
        if (f.kind == g.kind) {
          const int k = f.school != nullptr ? 0 : 1;
          alignment_sums[k] += base::dot(f.forward(), g.forward());
          ++alignment_counts[k];
        }
      }
    }
  }
  result.schooling_alignment = alignment_sums[0] / static_cast<double>(std::max<std::uint64_t>(1, alignment_counts[0]));
  result.other_alignment = alignment_sums[1] / static_cast<double>(std::max<std::uint64_t>(1, alignment_counts[1]));
  for (const fish::Fish* f : manager.fish()) {
    for (const base::Vec3& v : {f->position(), f->forward(), f->motion.velocity}) {
      result.final_state.insert(result.final_state.end(), {v.x, v.y, v.z});
    }
    result.final_state.push_back(f->drives.energy);
    result.final_state.push_back(static_cast<float>(f->state()));
  }
  return result;
}

TEST(SchoolSoak, DefaultPopulationStaysSaneForHalfAnHour) {
  const SoakResult r = soak(kSimulatedSeconds);
  ASSERT_GT(r.fish_frames, 0u);
  const double frames = static_cast<double>(r.fish_frames);
  EXPECT_EQ(r.non_finite, 0u);
  EXPECT_EQ(r.over_speed, 0u);
  EXPECT_EQ(r.broken_invariants, 0u);
  EXPECT_LE(static_cast<double>(r.outside_box) / frames, 0.01) << r.outside_box << " fish frames outside";
  EXPECT_LE(static_cast<double>(r.close_pairs) / static_cast<double>(r.pair_frames), 0.01)
      << r.close_pairs << " close pair frames";
  EXPECT_GT(r.schooling_alignment, r.other_alignment + 0.1)
      << "schooling " << r.schooling_alignment << ", others " << r.other_alignment;
  EXPECT_GT(static_cast<double>(r.dweller_zone_frames) / static_cast<double>(r.dweller_frames), 0.05)
      << r.dweller_zone_frames << " of " << r.dweller_frames << " dweller frames by the zone";
}

TEST(SchoolSoak, SameSeedGivesTheSameFinalState) {
  const double seconds = 120.0;
  const SoakResult first = soak(seconds);
  const SoakResult second = soak(seconds);
  ASSERT_FALSE(first.final_state.empty());
  EXPECT_EQ(first.final_state, second.final_state);
}

}  // namespace
