#include "fish/fish_population.h"

#include <chrono>
#include <utility>

#include "base/crt_random.h"
#include "base/interval_scale.h"
#include "render/package_reader.h"

namespace fish {

namespace {

using Settings = base::UserSettings;

bool valid_slot(int slot) { return slot >= 0 && slot < FishPopulation::kSlotCount; }

std::size_t table_offset(int slot) { return Settings::kFishSlots + 4 * static_cast<std::size_t>(slot); }

}  // namespace

double FishPopulation::steady_seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

FishPopulation::FishPopulation(FishSlots& slots, Settings& settings, Clock clock)
    : slots_(slots), settings_(settings), clock_(std::move(clock)) {}

void FishPopulation::BuildCatalogue(const std::string& fish_folder, const base::RuntimeState& state) {
  catalogue_.scan(fish_folder);
  catalogue_.mark_selected(settings_);
  pool_.rebuild(catalogue_);
  ReadIntervals(state);
  reroll_timer_ = 0;
  feeding_timer_ = 0;
}

void FishPopulation::ReadIntervals(const base::RuntimeState& state) {
  reroll_interval_ = static_cast<double>(base::interval_seconds(settings_, Settings::kRerollInterval, state));
  feeding_interval_ =
      static_cast<double>(base::interval_seconds(settings_, Settings::kFeedingInterval, state));
}

bool FishPopulation::has_fish(int slot) const {
  return valid_slot(slot) && occupied_[static_cast<std::size_t>(slot)];
}

int FishPopulation::random_kind(int slot) const {
  return valid_slot(slot) ? random_kinds_[static_cast<std::size_t>(slot)] : 0;
}

int FishPopulation::table_entry(int slot) const {
  return valid_slot(slot) ? settings_.i32(table_offset(slot)) : 0;
}

void FishPopulation::set_table_entry(int slot, int kind) { settings_.set_i32(table_offset(slot), kind); }

int FishPopulation::free_slot() const {
  for (int slot = 0; slot < kCapacity; ++slot) {
    const int entry = table_entry(slot);
    // A slot with a fish always holds an allowed kind; the check keeps a
    // fish from being created over another should the table have been
    // changed behind the population's back.
    if ((entry == 0 || !is_allowed_kind(entry)) && !has_fish(slot)) return slot;
  }
  return -1;
}

bool FishPopulation::place(int entry, int kind) {
  if (kind == kRandomKind || !is_allowed_kind(kind)) return false;
  const int slot = free_slot();
  if (slot < 0) return false;
  render::PackageReader package;
  if (!package.open_file(catalogue_.package_path(kind).c_str(), false)) return false;
  if (!slots_.create_fish(slot, kind, package)) return false;
  const auto index = static_cast<std::size_t>(slot);
  occupied_[index] = true;
  random_kinds_[index] = entry == kRandomKind ? kind : 0;
  set_table_entry(slot, entry);
  ++count_;
  return true;
}

bool FishPopulation::AddFish(int kind) {
  if (kind == 0 || count_ >= kCapacity) return false;
  if (kind != kRandomKind) return place(kind, kind);
  const std::optional<int> drawn = pool_.pick(settings_.flag(Settings::kUniqueRandomFish), base::crt_rand());
  if (!drawn) return false;
  if (place(kRandomKind, *drawn)) return true;
  // A kind drawn without repetition must not be lost with a fish that was
  // never made.
  pool_.give_back(*drawn);
  return false;
}

bool FishPopulation::RemoveFish(int kind) {
  if (kind == 0 || count_ == 0) return false;
  int slot = kSlotCount - 1;
  while (slot >= 0 && !(has_fish(slot) && table_entry(slot) == kind)) --slot;
  if (slot < 0) return false;
  const auto index = static_cast<std::size_t>(slot);
  if (kind == kRandomKind) pool_.give_back(random_kinds_[index]);
  slots_.remove_fish(slot);
  occupied_[index] = false;
  random_kinds_[index] = 0;
  set_table_entry(slot, 0);
  --count_;
  return true;
}

void FishPopulation::RemoveAll(bool clear_table) {
  slots_.remove_all();
  occupied_.fill(false);
  random_kinds_.fill(0);
  pool_.rebuild(catalogue_);
  if (clear_table) {
    for (int slot = 0; slot < kSlotCount; ++slot) set_table_entry(slot, 0);
  }
  count_ = 0;
}

void FishPopulation::Populate() {
  // Fish still swimming would otherwise be lost track of when the table is
  // cleared below.
  if (count_ > 0) RemoveAll(false);
  std::array<int, kCapacity> wanted{};
  for (int slot = 0; slot < kCapacity; ++slot) wanted[static_cast<std::size_t>(slot)] = table_entry(slot);
  for (int slot = 0; slot < kSlotCount; ++slot) set_table_entry(slot, 0);
  catalogue_.mark_selected(settings_);
  pool_.rebuild(catalogue_);
  for (const int kind : wanted) AddFish(kind);
}

int FishPopulation::random_fish_count() const {
  int n = 0;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (has_fish(slot) && table_entry(slot) == kRandomKind) ++n;
  }
  return n;
}

bool FishPopulation::RerollRandom() {
  const double now = clock_();
  if (last_reroll_ && now - *last_reroll_ < kRerollSpacing) return false;
  last_reroll_ = now;
  const int n = random_fish_count();
  for (int i = 0; i < n; ++i) RemoveFish(kRandomKind);
  pool_.rebuild(catalogue_);
  for (int i = 0; i < n; ++i) {
    if (!AddFish(kRandomKind)) break;
  }
  reroll_timer_ = 0;
  return true;
}

void FishPopulation::OneSecondTick(bool paused) {
  if (paused) return;
  if (settings_.flag(Settings::kRerollPeriodically) && !settings_.flag(Settings::kRerollOnTankChange) &&
      count_ > 0) {
    reroll_timer_ += 1;
    if (reroll_timer_ >= reroll_interval_) RerollRandom();
  }
  feeding_timer_ += 1;
  if (feeding_timer_ >= feeding_interval_) {
    feeding_timer_ = 0;
    slots_.drop_food();
  }
}

void FishPopulation::OnTankLoaded() {
  if (settings_.flag(Settings::kRerollOnTankChange)) RerollRandom();
}

}  // namespace fish
