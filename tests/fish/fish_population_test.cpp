#include "fish/fish_population.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/crt_random.h"
#include "base/runtime_state.h"
#include "render/package_builder.h"
#include "render/package_reader.h"
#include "support/temp_folder.h"

namespace {

using Settings = base::UserSettings;
using fish::FishPopulation;
using fish::kRandomKind;

// Stands in for the fish manager: keeps the kind of each slot's fish.
class FakeSlots : public fish::FishSlots {
 public:
  bool create_fish(int slot, int kind, render::PackageReader& package) override {
    EXPECT_TRUE(package.is_open());
    EXPECT_EQ(package.name(), std::to_string(kind)) << "the kind's own package";
    if (refused.count(kind) != 0) return false;
    EXPECT_EQ(fish.count(slot), 0u) << "slot " << slot << " has a fish already";
    fish[slot] = kind;
    created.push_back(kind);
    return true;
  }
  void remove_fish(int slot) override {
    EXPECT_EQ(fish.count(slot), 1u) << "slot " << slot << " has no fish";
    fish.erase(slot);
    removed.push_back(slot);
  }
  void remove_all() override {
    fish.clear();
    ++remove_all_calls;
  }
  void drop_food() override { ++food_drops; }

  std::map<int, int> fish;  // slot -> kind
  std::set<int> refused;
  std::vector<int> created;
  std::vector<int> removed;
  int remove_all_calls = 0;
  int food_drops = 0;
};

class Population : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(fish_folder());
    for (int kind : {10008, 30001, 30005, 12345}) add_package(kind);
    base::crt_rand().seed(1);
    settings_.set_flag(Settings::kAllKindsInPool, true);
    set_table({10008, 10008, 10008, 10008, 10008, 10008, 10008, 30001, 30001, 30005});
    // Intervals of exactly their slider positions in seconds.
    state_.durations.fill(0.0f);
    settings_.set_u32(Settings::kRerollInterval, 3);
    settings_.set_u32(Settings::kFeedingInterval, 5);
  }

  std::string fish_folder() const { return temp_.file("Fish") + "/"; }
  void add_package(int kind) const {
    render::PackageBuilder builder;
    ASSERT_GE(builder.add(std::vector<std::uint8_t>{1, 2, 3}, "fish.m8", true), 0);
    ASSERT_TRUE(builder.write((fish_folder() + std::to_string(kind) + ".vmf").c_str(), true, false));
  }

  void set_table(const std::vector<int>& kinds) {
    for (std::size_t i = 0; i < Settings::kFishSlotCount; ++i)
      settings_.set_i32(Settings::kFishSlots + 4 * i, i < kinds.size() ? kinds[i] : 0);
  }
  void set_entry(int slot, int kind) {
    settings_.set_i32(Settings::kFishSlots + 4 * static_cast<std::size_t>(slot), kind);
  }
  // The first n entries of the fish table.
  std::vector<int> table(int n = 16) const {
    std::vector<int> kinds;
    for (int slot = 0; slot < n; ++slot) kinds.push_back(population_.table_entry(slot));
    return kinds;
  }
  std::map<int, int> fish_of_kind(int kind) const {
    std::map<int, int> result;
    for (const auto& [slot, k] : slots_.fish)
      if (k == kind) result[slot] = k;
    return result;
  }

  void build() { population_.BuildCatalogue(fish_folder(), state_); }
  void populate() {
    build();
    population_.Populate();
  }
  // Slots of random fish with the kinds they drew.
  std::map<int, int> random_fish() const {
    std::map<int, int> result;
    for (int slot = 0; slot < FishPopulation::kSlotCount; ++slot)
      if (population_.random_kind(slot) != 0) result[slot] = population_.random_kind(slot);
    return result;
  }

  test_support::TempFolder temp_;
  Settings settings_;
  base::RuntimeState state_;
  FakeSlots slots_;
  double now_ = 100.0;
  FishPopulation population_{slots_, settings_, [this] { return now_; }};
};

TEST_F(Population, TheDefaultTableGivesNineFishAndClearsTheDisallowedSlot) {
  populate();
  EXPECT_EQ(population_.count(), 9);
  EXPECT_EQ(slots_.created,
            (std::vector<int>{10008, 10008, 10008, 10008, 10008, 10008, 10008, 30001, 30001}));
  EXPECT_EQ(table(10), (std::vector<int>{10008, 10008, 10008, 10008, 10008, 10008, 10008, 30001, 30001, 0}));
  for (int slot = 0; slot < 9; ++slot) EXPECT_TRUE(population_.has_fish(slot)) << slot;
  EXPECT_FALSE(population_.has_fish(9));
}

TEST_F(Population, EntriesThatCannotSwimAreClearedAndTheRestMoveUp) {
  struct Case {
    const char* what;
    std::vector<int> table;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {"listed but not allowed", {12345, 30001}, {30001, 0}},
      {"negative, huge and odd kinds", {-5, INT_MIN, INT_MAX, 0, 10008}, {10008, 0, 0, 0, 0}},
      {"beyond the fifteen used slots",
       {10008, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 30001, 30001},
       {10008, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSlots slots;
    FishPopulation population(slots, settings_, [] { return 0.0; });
    set_table(c.table);
    population.BuildCatalogue(fish_folder(), state_);
    population.Populate();
    std::vector<int> after;
    for (int slot = 0; slot < static_cast<int>(c.expected.size()); ++slot)
      after.push_back(population.table_entry(slot));
    EXPECT_EQ(after, c.expected);
    EXPECT_EQ(population.count(), static_cast<int>(slots.fish.size()));
  }
}

TEST_F(Population, AFishThatCannotBeMadeLeavesItsSlotEmpty) {
  // A missing package and one that does not open under its file name.
  std::filesystem::remove(fish_folder() + "30001.vmf");
  std::filesystem::rename(fish_folder() + "12345.vmf", fish_folder() + "10008.vmf");
  populate();
  EXPECT_EQ(population_.count(), 0);
  EXPECT_TRUE(slots_.created.empty());
  EXPECT_EQ(table(10), std::vector<int>(10, 0));
  EXPECT_FALSE(population_.AddFish(30001));
  EXPECT_EQ(population_.count(), 0);

  // A package that opens but whose fish the manager cannot make.
  add_package(10008);
  add_package(30001);
  slots_.refused.insert(10008);
  set_table({10008, 30001, 10008, 30001});
  population_.Populate();
  EXPECT_EQ(population_.count(), 2);
  EXPECT_EQ(slots_.fish, (std::map<int, int>{{0, 30001}, {1, 30001}}));
  EXPECT_EQ(table(4), (std::vector<int>{30001, 30001, 0, 0}));
}

TEST_F(Population, AddFishTakesTheFirstFreeSlotUpToTheCapacity) {
  populate();
  // Changed behind the population's back: slot 3 keeps its fish.
  set_entry(3, 12345);
  EXPECT_FALSE(population_.AddFish(0));
  EXPECT_FALSE(population_.AddFish(30005));
  EXPECT_FALSE(population_.AddFish(-1));
  EXPECT_TRUE(population_.AddFish(30001));
  EXPECT_EQ(population_.table_entry(9), 30001);
  EXPECT_EQ(population_.table_entry(3), 12345);

  for (int i = 0; i < 5; ++i) EXPECT_TRUE(population_.AddFish(10008)) << i;
  EXPECT_EQ(population_.count(), FishPopulation::kCapacity);
  const std::size_t made = slots_.created.size();
  EXPECT_FALSE(population_.AddFish(10008));
  EXPECT_EQ(slots_.created.size(), made);
  EXPECT_EQ(population_.table_entry(FishPopulation::kCapacity), 0);
}

TEST_F(Population, AKindNotAllowedInAnEmptySlotCountsAsFree) {
  set_table({});
  build();
  set_entry(0, 30005);
  set_entry(1, INT_MIN);
  EXPECT_TRUE(population_.AddFish(30001));
  EXPECT_TRUE(population_.AddFish(30001));
  EXPECT_EQ(table(3), (std::vector<int>{30001, 30001, 0}));
  EXPECT_EQ(slots_.fish, (std::map<int, int>{{0, 30001}, {1, 30001}}));
}

TEST_F(Population, RemoveFishTakesTheHighestSlotThatHasAFishOfTheKind) {
  populate();
  EXPECT_TRUE(population_.RemoveFish(10008));
  EXPECT_EQ(slots_.removed, std::vector<int>{6});
  EXPECT_EQ(population_.table_entry(6), 0);
  EXPECT_EQ(population_.count(), 8);

  // Table entries without a fish are not removed: the count stays true.
  set_entry(40, 30001);
  set_entry(12, 10008);
  set_entry(13, 30005);
  EXPECT_TRUE(population_.RemoveFish(30001));
  EXPECT_TRUE(population_.RemoveFish(10008));
  EXPECT_EQ(slots_.removed, (std::vector<int>{6, 8, 5}));
  EXPECT_FALSE(population_.RemoveFish(30005));
  EXPECT_FALSE(population_.RemoveFish(0));
  EXPECT_FALSE(population_.RemoveFish(12345));
  EXPECT_EQ(population_.count(), 6);
  EXPECT_EQ(population_.count(), static_cast<int>(slots_.fish.size()));

  population_.RemoveAll(false);
  EXPECT_FALSE(population_.RemoveFish(10008)) << "no fish left";
  EXPECT_EQ(population_.count(), 0);
}

TEST_F(Population, UniqueRandomFishTakeEachSelectedKindOnce) {
  settings_.set_flag(Settings::kUniqueRandomFish, true);
  set_table({kRandomKind, 10008, kRandomKind, kRandomKind});
  populate();
  EXPECT_EQ(population_.count(), 3);
  EXPECT_EQ(table(4), (std::vector<int>{kRandomKind, 10008, kRandomKind, 0}));
  const std::map<int, int> drawn = random_fish();
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_NE(drawn.at(0), drawn.at(2));
  EXPECT_EQ(slots_.fish.at(0), drawn.at(0));
  EXPECT_TRUE(population_.random_pool().empty());
  EXPECT_FALSE(population_.AddFish(kRandomKind)) << "every kind is taken";

  EXPECT_TRUE(population_.RemoveFish(kRandomKind));
  EXPECT_EQ(slots_.removed, std::vector<int>{2});
  EXPECT_EQ(population_.random_pool().kinds(), std::vector<int>{drawn.at(2)}) << "the kind goes back";
  EXPECT_EQ(population_.random_kind(2), 0);
  EXPECT_TRUE(population_.AddFish(kRandomKind));
  EXPECT_EQ(random_fish(), drawn);
}

TEST_F(Population, ADrawnKindThatMakesNoFishStaysInThePool) {
  settings_.set_flag(Settings::kUniqueRandomFish, true);
  set_table({});
  build();
  slots_.refused.insert(30001);
  std::filesystem::remove(fish_folder() + "10008.vmf");
  // Neither kind can be made: both draws fail and both kinds remain.
  EXPECT_FALSE(population_.AddFish(kRandomKind));
  EXPECT_FALSE(population_.AddFish(kRandomKind));
  std::vector<int> pool = population_.random_pool().kinds();
  std::sort(pool.begin(), pool.end());
  EXPECT_EQ(pool, (std::vector<int>{10008, 30001}));
  EXPECT_EQ(population_.count(), 0);
  EXPECT_EQ(table(2), (std::vector<int>{0, 0}));

  settings_.set_flag(Settings::kAllKindsInPool, false);
  settings_.set_u32(Settings::kRandomPoolCount, 0);
  population_.Populate();
  EXPECT_FALSE(population_.AddFish(kRandomKind)) << "nothing selected";
}

TEST_F(Population, RemoveAllEmptiesTheSlotsAndRefillsThePool) {
  settings_.set_flag(Settings::kUniqueRandomFish, true);
  set_table({kRandomKind, kRandomKind, 30001});
  populate();
  ASSERT_TRUE(population_.random_pool().empty());

  population_.RemoveAll(false);
  EXPECT_EQ(slots_.remove_all_calls, 1);
  EXPECT_EQ(population_.count(), 0);
  EXPECT_TRUE(random_fish().empty());
  EXPECT_EQ(population_.random_pool().size(), 2u);
  EXPECT_EQ(table(3), (std::vector<int>{kRandomKind, kRandomKind, 30001})) << "kept for the next Populate";

  population_.Populate();
  EXPECT_EQ(population_.count(), 3);
  population_.RemoveAll(true);
  EXPECT_EQ(table(64), std::vector<int>(64, 0));
}

TEST_F(Population, PopulatingAgainReplacesTheFishAlive) {
  populate();
  population_.Populate();
  EXPECT_EQ(slots_.remove_all_calls, 1);
  EXPECT_EQ(population_.count(), 9);
  EXPECT_EQ(slots_.fish.size(), 9u);
}

TEST_F(Population, RerollReplacesOnlyRandomFishAtMostEveryFifthOfASecond) {
  set_table({kRandomKind, 10008, kRandomKind, 30001});
  populate();
  slots_.created.clear();

  struct Step {
    double now;
    bool runs;
  };
  const Step steps[] = {{100.0, true}, {100.1, false}, {100.19, false}, {100.2, true}, {250.0, true}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.now);
    now_ = step.now;
    slots_.removed.clear();
    EXPECT_EQ(population_.RerollRandom(), step.runs);
    std::vector<int> removed = slots_.removed;
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, step.runs ? (std::vector<int>{0, 2}) : std::vector<int>{});
    EXPECT_EQ(population_.count(), 4);
    EXPECT_EQ(table(4), (std::vector<int>{kRandomKind, 10008, kRandomKind, 30001}));
    EXPECT_EQ(random_fish().size(), 2u);
  }
  EXPECT_EQ(slots_.created.size(), 6u);
}

TEST_F(Population, RerollStopsAtTheFirstRandomFishThatCannotBeMade) {
  settings_.set_flag(Settings::kUniqueRandomFish, true);
  set_table({kRandomKind, kRandomKind});
  populate();
  ASSERT_EQ(population_.count(), 2);
  std::filesystem::remove(fish_folder() + "30001.vmf");
  std::filesystem::remove(fish_folder() + "10008.vmf");
  base::CrtRandom one_draw_later = base::crt_rand();
  one_draw_later.next();
  EXPECT_TRUE(population_.RerollRandom());
  EXPECT_EQ(base::crt_rand().next(), one_draw_later.next()) << "one failed draw, then no more";
  EXPECT_EQ(population_.count(), 0);
  EXPECT_EQ(table(2), (std::vector<int>{0, 0}));
}

TEST_F(Population, TheOneSecondTickRerollsAndFeedsOnTheirIntervals) {
  struct Case {
    const char* what;
    bool periodic;
    bool on_tank_change;
    bool paused;
    bool with_fish;
    int ticks;
    int rerolls;
    int food_drops;
  };
  const Case cases[] = {
      {"periodic re-roll", true, false, false, true, 7, 2, 1},
      {"re-roll only at tank changes", true, true, false, true, 7, 0, 1},
      {"no periodic re-roll", false, false, false, true, 10, 0, 2},
      {"no fish", true, false, false, false, 7, 0, 1},
      {"paused", true, false, true, true, 20, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSlots slots;
    double now = 0;
    FishPopulation population(slots, settings_, [&now] { return now; });
    settings_.set_flag(Settings::kRerollPeriodically, c.periodic);
    settings_.set_flag(Settings::kRerollOnTankChange, c.on_tank_change);
    set_table(c.with_fish ? std::vector<int>{kRandomKind, 10008} : std::vector<int>{});
    population.BuildCatalogue(fish_folder(), state_);
    ASSERT_EQ(population.reroll_interval(), 3.0);
    ASSERT_EQ(population.feeding_interval(), 5.0);
    population.Populate();

    for (int tick = 0; tick < c.ticks; ++tick) {
      now += 1;
      population.OneSecondTick(c.paused);
    }
    // Each re-roll removes the one random fish in slot 0.
    EXPECT_EQ(std::count(slots.removed.begin(), slots.removed.end(), 0), c.rerolls);
    EXPECT_EQ(slots.food_drops, c.food_drops);
  }
}

TEST_F(Population, TheTimersRestartWhenTheCatalogueIsBuiltAndAfterTheyFire) {
  settings_.set_flag(Settings::kRerollPeriodically, true);
  set_table({kRandomKind});
  populate();
  for (int tick = 0; tick < 4; ++tick) {
    now_ += 1;
    population_.OneSecondTick(false);
  }
  EXPECT_EQ(population_.reroll_timer(), 1.0) << "re-rolled at 3 s";
  EXPECT_EQ(population_.feeding_timer(), 4.0);
  now_ += 1;
  population_.OneSecondTick(false);
  EXPECT_EQ(population_.feeding_timer(), 0.0);
  EXPECT_EQ(slots_.food_drops, 1);

  now_ += 1;
  population_.OneSecondTick(false);
  build();
  EXPECT_EQ(population_.reroll_timer(), 0.0);
  EXPECT_EQ(population_.feeding_timer(), 0.0);
}

TEST_F(Population, ATankChangeRerollsOnlyWhenTheSettingsAskForIt) {
  set_table({kRandomKind});
  populate();
  population_.OnTankLoaded();
  EXPECT_TRUE(slots_.removed.empty());
  settings_.set_flag(Settings::kRerollOnTankChange, true);
  population_.OnTankLoaded();
  EXPECT_EQ(slots_.removed, std::vector<int>{0});
  EXPECT_EQ(population_.count(), 1);
}

}  // namespace
