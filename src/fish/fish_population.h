#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "base/runtime_state.h"
#include "base/user_settings.h"
#include "fish/fish_catalogue.h"

namespace render {
class PackageReader;
}

namespace fish {

// Where the population's fish live: the fish manager creates, removes and
// feeds them.
class FishSlots {
 public:
  virtual ~FishSlots() = default;
  // Creates the fish of `kind` from its open package in `slot`; false when it cannot.
  virtual bool create_fish(int slot, int kind, render::PackageReader& package) = 0;
  virtual void remove_fish(int slot) = 0;
  virtual void remove_all() = 0;
  virtual void drop_food() = 0;  // the feeding timer fired
};

// Turns the user's choice of fish in the settings record into fish: the
// settings' fish table names a kind per slot (0 empty, kRandomKind for a
// random fish) and the population keeps the fish in the slots in step with
// it. Only the first kCapacity slots hold fish; a slot whose kind is not
// allowed counts as free and never swims.
class FishPopulation {
 public:
  static constexpr int kCapacity = 15;
  static constexpr int kSlotCount = static_cast<int>(base::UserSettings::kFishSlotCount);
  // Shortest time between two re-rolls of the random fish.
  static constexpr double kRerollSpacing = 0.2;

  // Seconds of the program's timer.
  using Clock = std::function<double()>;
  static double steady_seconds();

  explicit FishPopulation(FishSlots& slots, base::UserSettings& settings = base::user_settings(),
                          Clock clock = &FishPopulation::steady_seconds);

  // Scans the fish folder into the catalogue, marks the selected kinds,
  // rebuilds the random pool and restarts both timers with the intervals of
  // the settings.
  void BuildCatalogue(const std::string& fish_folder = FishCatalogue::default_fish_folder(),
                      const base::RuntimeState& state = base::runtime_state());
  // The feeding and re-roll intervals from the settings, in seconds.
  void ReadIntervals(const base::RuntimeState& state = base::runtime_state());
  // The random pool from the catalogue's selected allowed kinds.
  void RebuildPool() { pool_.rebuild(catalogue_); }
  void SaveSelection() { catalogue_.save_selection(settings_); }

  // Adds a fish of kind (kRandomKind: of a kind drawn from the pool) in the
  // first free slot. False, changing nothing, for kind 0, a full population,
  // an empty pool, a kind that is not allowed, no free slot, a package that
  // does not open or a fish that cannot be created; a drawn kind then goes
  // back to the pool.
  bool AddFish(int kind);
  // Removes the fish of the highest slot whose table entry is kind; a random
  // fish's kind goes back to the pool. False when no slot holding kind has a
  // fish.
  bool RemoveFish(int kind);
  // Removes every fish and rebuilds the pool; with clear_table the fish
  // table becomes empty too.
  void RemoveAll(bool clear_table);
  // Fills the tank from the fish table: the table is cleared, then each of
  // the first kCapacity entries is added in order; entries that fail stay 0.
  void Populate();
  // Replaces every random fish by one of a newly drawn kind, at most once
  // every kRerollSpacing seconds; false when it did not run.
  bool RerollRandom();
  // The once-a-second work: the periodic re-roll and the automatic feeding.
  void OneSecondTick(bool paused);
  // Re-rolls the random fish when the settings ask for it at a tank change.
  void OnTankLoaded();

  int count() const { return count_; }
  bool has_fish(int slot) const;
  // The kind a random fish in slot drew; 0 for other slots.
  int random_kind(int slot) const;
  // The settings' fish table entry; 0 outside the table.
  int table_entry(int slot) const;

  FishCatalogue& catalogue() { return catalogue_; }
  const FishCatalogue& catalogue() const { return catalogue_; }
  const RandomPool& random_pool() const { return pool_; }

  double feeding_interval() const { return feeding_interval_; }
  double feeding_timer() const { return feeding_timer_; }
  double reroll_interval() const { return reroll_interval_; }
  double reroll_timer() const { return reroll_timer_; }

 private:
  void set_table_entry(int slot, int kind);
  // The first of the used slots that has no fish and no allowed kind.
  int free_slot() const;
  // Creates a fish of an allowed kind in a free slot, recording entry in
  // the table.
  bool place(int entry, int kind);
  int random_fish_count() const;

  FishSlots& slots_;
  base::UserSettings& settings_;
  Clock clock_;
  FishCatalogue catalogue_;
  RandomPool pool_;
  std::array<bool, kSlotCount> occupied_{};
  std::array<int, kSlotCount> random_kinds_{};
  int count_ = 0;
  double feeding_interval_ = 0;
  double feeding_timer_ = 0;
  double reroll_interval_ = 0;
  double reroll_timer_ = 0;
  std::optional<double> last_reroll_;
};

}  // namespace fish
