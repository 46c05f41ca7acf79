#include "scene/tank_list.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <span>
#include <system_error>
#include <utility>

#include "base/crt_random.h"
#include "base/file_io.h"
#include "base/interval_scale.h"
#include "platform/ascii.h"
#include "render/byte_stream.h"
#include "render/data_folders.h"
#include "render/file_path.h"
#include "render/package_reader.h"
#include "scene/tank_cycle_file.h"

namespace scene {

namespace {

constexpr std::string_view kTankPrefix = "tank";
constexpr std::string_view kBitmapExtension = ".bmp";

// The name of a "Tank*.bmp" file, or nothing for any other file. A name with
// a line break could not be written to the cycle file as one line.
std::optional<std::string> tank_name_of(std::string_view file_name) {
  if (file_name.size() < kTankPrefix.size() + kBitmapExtension.size() ||
      !platform::starts_with_ignore_ascii_case(file_name, kTankPrefix) ||
      !platform::ends_with_ignore_ascii_case(file_name, kBitmapExtension)) {
    return std::nullopt;
  }
  const std::string_view name = file_name.substr(0, file_name.size() - kBitmapExtension.size());
  if (name.find_first_of("\r\n") != std::string_view::npos) return std::nullopt;
  return std::string(name);
}

// Wraps an index stepped past either end of a list of n: below the start to
// the last, past the end to the first.
std::size_t wrapped(std::int64_t index, std::size_t n) {
  if (index < 0) return n - 1;
  if (index >= static_cast<std::int64_t>(n)) return 0;
  return static_cast<std::size_t>(index);
}

}  // namespace

TankList::TankList() : TankList(std::vector<std::string>{std::string(kDefaultTankName)}) {}

TankList::TankList(std::vector<std::string> usable_names) : usable_names_(std::move(usable_names)) {}

std::string TankList::default_scene_folder() { return render::program_folder().str() + "Scene/"; }

std::string TankList::default_cycle_file() { return render::user_data_folder().str() + "CycleTanks.txt"; }

void TankList::scan(const std::string& scene_folder) {
  tanks_.clear();
  const std::string folder = render::with_trailing_separator(scene_folder);
  if (folder.empty()) return;
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    std::error_code ignored;
    if (!it->is_regular_file(ignored)) continue;
    const std::string file_name = it->path().filename().string();
    std::optional<std::string> name = tank_name_of(file_name);
    if (name) tanks_.push_back(make_entry(folder, file_name, std::move(*name)));
  }
  std::sort(tanks_.begin(), tanks_.end(),
            [](const auto& a, const auto& b) { return platform::less_ignore_ascii_case(a->name, b->name); });
}

std::shared_ptr<TankEntry> TankList::make_entry(const std::string& folder, const std::string& file_name,
                                                std::string name) const {
  auto entry = std::make_shared<TankEntry>();
  entry->bitmap_path = folder + file_name;
  entry->title = render::caption_title(entry->bitmap_path, TankList::kTitleLength);
  if (is_usable_name(name)) {
    render::PackageReader package;
    entry->usable = package.open_file((folder + name + ".vmf").c_str(), false);
  }
  entry->name = std::move(name);
  return entry;
}

bool TankList::is_usable_name(std::string_view name) const {
  return std::any_of(usable_names_.begin(), usable_names_.end(), [name](const std::string& usable) {
    return platform::equals_ignore_ascii_case(name, usable);
  });
}

const TankEntry* TankList::entry(std::size_t index) const {
  return index < tanks_.size() ? tanks_[index].get() : nullptr;
}

int TankList::index_of(std::string_view name) const {
  for (std::size_t i = 0; i < tanks_.size(); ++i) {
    if (platform::equals_ignore_ascii_case(tanks_[i]->name, name)) return static_cast<int>(i);
  }
  return -1;
}

const TankEntry* TankList::find(std::string_view name) const {
  const int index = index_of(name);
  return index < 0 ? nullptr : tanks_[static_cast<std::size_t>(index)].get();
}

const render::PackedDib* TankList::load_thumbnail(TankEntry& entry) {
  if (entry.thumbnail.empty() && !entry.thumbnail.load_image_file(entry.bitmap_path.c_str())) return nullptr;
  return &entry.thumbnail;
}

const render::PackedDib* TankList::thumbnail(std::size_t index) {
  return index < tanks_.size() ? load_thumbnail(*tanks_[index]) : nullptr;
}

bool TankList::read_cycle_list(const std::string& path, const base::UserSettings& settings,
                               const base::RuntimeState& state) {
  cycle_interval_ = base::interval_seconds(settings, base::UserSettings::kTankCycleInterval, state);
  cycle_.clear();
  cycle_changed_ = false;
  const std::optional<std::vector<std::uint8_t>> bytes = base::read_file(path);
  if (!bytes) return false;
  const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  for (const std::string& name : cycle_file_names(text)) {
    const int index = index_of(name);
    if (index < 0 || !tanks_[static_cast<std::size_t>(index)]->usable) continue;
    cycle_.insert(cycle_.begin(), tanks_[static_cast<std::size_t>(index)]);
  }
  return true;
}

bool TankList::save_cycle_list(const std::string& path) {
  if (!cycle_changed_) return true;
  std::vector<std::string> names;
  names.reserve(cycle_.size());
  for (auto it = cycle_.rbegin(); it != cycle_.rend(); ++it) names.push_back((*it)->name);
  const std::string text = cycle_file_text(names);
  const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
  if (!base::write_file_atomically(path, std::span<const std::uint8_t>(data, text.size()))) return false;
  cycle_changed_ = false;
  return true;
}

void TankList::clear_cycle_list() {
  cycle_.clear();
  cycle_changed_ = true;
}

bool TankList::valid_cycle_position(int position) const {
  return position >= 0 && static_cast<std::size_t>(position) < cycle_.size();
}

int TankList::insert_after(int position, std::size_t tank_index) {
  if (tank_index >= tanks_.size() || (position != -1 && !valid_cycle_position(position))) return -1;
  const int inserted = position + 1;
  cycle_.insert(cycle_.begin() + inserted, tanks_[tank_index]);
  cycle_changed_ = true;
  return inserted;
}

bool TankList::remove(int position) {
  if (!valid_cycle_position(position)) return false;
  cycle_.erase(cycle_.begin() + position);
  cycle_changed_ = true;
  return true;
}

bool TankList::move(int from, int to) {
  if (!valid_cycle_position(from) || !valid_cycle_position(to)) return false;
  std::shared_ptr<TankEntry> moved = std::move(cycle_[static_cast<std::size_t>(from)]);
  cycle_.erase(cycle_.begin() + from);
  cycle_.insert(cycle_.begin() + to, std::move(moved));
  cycle_changed_ = true;
  return true;
}

bool TankList::swap(int a, int b) {
  if (!valid_cycle_position(a) || !valid_cycle_position(b)) return false;
  std::swap(cycle_[static_cast<std::size_t>(a)], cycle_[static_cast<std::size_t>(b)]);
  cycle_changed_ = true;
  return true;
}

const TankEntry* TankList::cycle_entry(int position) const {
  return valid_cycle_position(position) ? cycle_[static_cast<std::size_t>(position)].get() : nullptr;
}

int TankList::cycle_position_of(std::string_view name) const {
  for (std::size_t i = 0; i < cycle_.size(); ++i) {
    if (platform::equals_ignore_ascii_case(cycle_[i]->name, name)) return static_cast<int>(i);
  }
  return -1;
}

const render::PackedDib* TankList::cycle_thumbnail(int position) {
  return valid_cycle_position(position) ? load_thumbnail(*cycle_[static_cast<std::size_t>(position)])
                                        : nullptr;
}

bool TankList::next_tank(int step, const base::UserSettings& settings) {
  const std::string current = settings.text(base::UserSettings::kTankName, base::UserSettings::kTankNameSize);
  const std::size_t n = cycle_.size();
  if (n > 0 && settings.flag(base::UserSettings::kCycleRandom)) {
    // r in [0, 1] takes both ends: r = 1 gives n, which wraps to the first.
    const float r = base::crt_rand().unit();
    const auto index = static_cast<std::size_t>(std::floor(r * static_cast<float>(n)));
    pending_ = cycle_[index < n ? index : 0]->name;
    return true;
  }
  if (n > 0 && settings.flag(base::UserSettings::kCycleInOrder)) {
    const int position = cycle_position_of(current);
    const std::int64_t index = position < 0 ? 0 : std::int64_t{position} + step;
    pending_ = cycle_[wrapped(index, n)]->name;
    return true;
  }
  if (tanks_.empty()) return false;
  pending_ = tanks_[wrapped(std::int64_t{index_of(current)} + step, tanks_.size())]->name;
  return true;
}

bool TankList::advance_cycle_timer(const base::UserSettings& settings) {
  ++seconds_;
  if (seconds_ <= cycle_interval_) return false;
  return next_tank(+1, settings);
}

std::string TankList::take_pending() {
  std::string taken = std::move(pending_);
  pending_.clear();
  seconds_ = 0;
  return taken;
}

}  // namespace scene
