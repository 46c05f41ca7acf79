#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/crt_random.h"
#include "base/user_settings.h"
#include "render/packed_dib.h"

namespace fish {

// The pseudo-kind of a fish slot whose kind is drawn from the random pool.
inline constexpr int kRandomKind = 9999;

// Whether fish of that kind may swim: only the two kinds the program ships
// with and the random pseudo-kind. Kinds found but not allowed are listed and
// never swim.
bool is_allowed_kind(int kind);

// The kind a fish package's file name stands for: its leading decimal number
// (text after the digits is ignored), limited to the int range; 0 when the
// name does not start with a number.
int kind_of_file_name(std::string_view file_name);

// One fish kind found in the fish folder.
struct FishCatalogueItem {
  static constexpr std::size_t kTitleLength = 63;

  int kind = 0;
  // The user chose the kind for random fish.
  bool selected = false;
  bool allowed = false;
  // The caption of the kind's ".txt" file, at most kTitleLength characters.
  std::string title;
  // Empty until first asked for (FishCatalogue::thumbnail).
  render::PackedDib thumbnail;
};

// The fish kinds of the fish folder: every "*.vmf" file whose package checks
// out, in the order of the file names (without regard to case), with the
// allowed kinds moved before the others.
class FishCatalogue {
 public:
  // Program folder + "Fish/".
  static std::string default_fish_folder();

  // Replaces the items and the dweller kinds with those of the folder's
  // packages. Files whose package check fails, or whose name gives no
  // positive kind or a kind listed already, are skipped. A missing folder
  // gives an empty catalogue. Selected flags are all clear.
  void scan(const std::string& fish_folder = default_fish_folder());

  const std::string& folder() const { return folder_; }
  // The package of a kind: folder + kind in decimal + ".vmf".
  std::string package_path(int kind) const;

  std::size_t size() const { return items_.size(); }
  // nullptr outside the list.
  const FishCatalogueItem* item(std::size_t index) const;
  // -1 when the kind is not listed.
  int index_of(int kind) const;
  // Loads folder + kind + ".bmp" on the first request that finds it; nullptr
  // while it is missing or cannot be read.
  const render::PackedDib* thumbnail(std::size_t index);

  // Kinds whose package has class byte 1: their fish may enter the hiding
  // zones of the tank.
  const std::vector<int>& dweller_kinds() const { return dweller_kinds_; }
  bool is_dweller(int kind) const;

  // Selected flags from the settings: every item when all kinds are
  // selected, else the items whose kind is among the first count entries of
  // the selected-kinds list (count limited to the list's capacity).
  void mark_selected(const base::UserSettings& settings);
  bool set_selected(std::size_t index, bool selected);
  void select_all(bool selected);
  std::size_t selected_count() const;
  // Writes the selection back: the selected kinds in catalogue order (at
  // most the list's capacity) and their number; the all-kinds flag exactly
  // when every item is selected.
  void save_selection(base::UserSettings& settings) const;

 private:
  std::string folder_;
  std::vector<FishCatalogueItem> items_;
  std::vector<int> dweller_kinds_;
};

// The kinds random fish may take.
class RandomPool {
 public:
  // The kinds of the items that are both selected and allowed, in catalogue
  // order.
  void rebuild(const FishCatalogue& catalogue);

  // A kind drawn with one draw of random: index floor(r x n), r in [0, 1],
  // limited to the last. With unique, the kind leaves the pool (the last
  // kind takes its place). nullopt, without a draw, when the pool is empty.
  std::optional<int> pick(bool unique, base::CrtRandom& random);
  // Appends an allowed kind (not the pseudo-kind) that is not in the pool.
  void give_back(int kind);

  bool contains(int kind) const;
  std::size_t size() const { return kinds_.size(); }
  bool empty() const { return kinds_.empty(); }
  const std::vector<int>& kinds() const { return kinds_; }

 private:
  std::vector<int> kinds_;
};

}  // namespace fish
