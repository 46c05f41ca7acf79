#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/runtime_state.h"
#include "base/user_settings.h"
#include "render/packed_dib.h"

namespace scene {

// The tank that can always be used, and the one loaded when another fails.
inline constexpr std::string_view kDefaultTankName = "Tank01_Anemone01";

// One tank found in the scene folder.
struct TankEntry {
  // The thumbnail's file name without folder and extension.
  std::string name;
  // Fixed when the entry is made: the name is one of the usable names and
  // the tank's package opens.
  bool usable = false;
  // The caption of the tank's ".txt" file, at most 63 characters; empty when
  // there is none.
  std::string title;
  // The bitmap the tank was found by, with its folder.
  std::string bitmap_path;
  // Empty until first asked for (TankList::thumbnail).
  render::PackedDib thumbnail;
};

// The tanks of the scene folder, sorted by name without regard to case, and
// the user's tank cycle: an ordered selection of usable tanks through which
// the program changes after an interval. Choosing the next tank only stores
// its name as pending; the application takes it at the midpoint of its fade
// and loads it.
class TankList {
 public:
  static constexpr std::size_t kTitleLength = 63;

  // Only the default tank is usable.
  TankList();
  // Only the tanks of these names (compared without regard to case) are
  // usable.
  explicit TankList(std::vector<std::string> usable_names);

  // Program folder + "Scene/".
  static std::string default_scene_folder();
  // User data folder + "CycleTanks.txt".
  static std::string default_cycle_file();

  // Replaces the tank list with the files "Tank*.bmp" of the folder (the
  // pattern matched without regard to case), sorted by name without regard
  // to case. The cycle list keeps its entries. A missing folder gives an
  // empty list.
  void scan(const std::string& scene_folder = default_scene_folder());

  std::size_t size() const { return tanks_.size(); }
  // nullptr outside the list.
  const TankEntry* entry(std::size_t index) const;
  // The first tank of that name, compared without regard to case; -1 or
  // nullptr when there is none.
  int index_of(std::string_view name) const;
  const TankEntry* find(std::string_view name) const;
  // Loads the tank's bitmap on the first request that finds it; nullptr
  // while it is missing or cannot be read.
  const render::PackedDib* thumbnail(std::size_t index);

  // Replaces the cycle list with the names of the file that are in the tank
  // list and usable, each put at the head, so the list runs in the reverse of
  // the file's order. Takes the cycle interval from the settings first. False
  // (and an empty cycle) when the file cannot be read.
  bool read_cycle_list(const std::string& path, const base::UserSettings& settings,
                       const base::RuntimeState& state = base::runtime_state());
  // Writes the cycle list, when it changed since it was read or saved, from
  // its last position back to its first, which restores the file's order.
  // The file is replaced atomically: a failed save leaves the old file and
  // keeps the list marked as changed. True when there was nothing to write.
  bool save_cycle_list(const std::string& path = default_cycle_file());
  bool cycle_changed() const { return cycle_changed_; }

  // Cycle edits; every one that succeeds marks the list as changed.
  void clear_cycle_list();
  // Puts the tank after the cycle position (-1: at the head). The new
  // position, or -1 for a tank or position outside the lists.
  int insert_after(int position, std::size_t tank_index);
  bool remove(int position);
  // Takes the entry out and puts it in at `to` (a position of the list
  // before the move).
  bool move(int from, int to);
  bool swap(int a, int b);

  std::size_t cycle_size() const { return cycle_.size(); }
  const TankEntry* cycle_entry(int position) const;
  // The first cycle position of that tank, compared without regard to case;
  // -1 when it is not in the cycle.
  int cycle_position_of(std::string_view name) const;
  const render::PackedDib* cycle_thumbnail(int position);

  // Chooses the tank after (step +1) or before (step -1) the current one of
  // the settings and stores its name as pending: a random cycle entry with
  // the random-cycle flag, the next cycle entry with the cycle-in-order
  // flag, else the next tank of the whole list. False, with nothing stored,
  // when there is no tank to choose.
  bool next_tank(int step, const base::UserSettings& settings);

  // The cycle timer, advanced once a second while a cycle flag is set and no
  // fade runs. When the seconds exceed the interval it chooses the next tank
  // itself (next_tank with +1) and returns true: the caller then starts the
  // fade. The count restarts when the pending name is taken.
  bool advance_cycle_timer(const base::UserSettings& settings);
  void reset_cycle_timer() { seconds_ = 0; }
  std::int64_t cycle_interval() const { return cycle_interval_; }
  // For an interval changed after the cycle file was read.
  void set_cycle_interval(std::int64_t seconds) { cycle_interval_ = seconds; }

  // The pending name, which is then cleared; restarts the cycle timer.
  std::string take_pending();
  const std::string& pending() const { return pending_; }

 private:
  std::shared_ptr<TankEntry> make_entry(const std::string& folder, const std::string& file_name,
                                        std::string name) const;
  bool is_usable_name(std::string_view name) const;
  bool valid_cycle_position(int position) const;
  static const render::PackedDib* load_thumbnail(TankEntry& entry);

  std::vector<std::string> usable_names_;
  // An entry is shared by the tank list and the cycle positions that refer
  // to it, so a cycle entry outlives a new scan.
  std::vector<std::shared_ptr<TankEntry>> tanks_;
  std::vector<std::shared_ptr<TankEntry>> cycle_;
  bool cycle_changed_ = false;
  std::string pending_;
  std::int64_t cycle_interval_ = 0;
  std::int64_t seconds_ = 0;
};

}  // namespace scene
