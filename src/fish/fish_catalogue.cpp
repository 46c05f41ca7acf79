#include "fish/fish_catalogue.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "platform/ascii.h"
#include "render/byte_stream.h"
#include "render/data_folders.h"
#include "render/file_path.h"
#include "render/package_reader.h"

namespace fish {

namespace {

using Settings = base::UserSettings;

constexpr int kShippedKinds[] = {10008, 30001};
constexpr std::string_view kPackageExtension = ".vmf";
// Class byte of the package of a kind whose fish may hide in the anemone.
constexpr std::uint8_t kDwellerClass = 1;

bool is_package_name(std::string_view file_name) {
  return file_name.size() > kPackageExtension.size() &&
         platform::ends_with_ignore_ascii_case(file_name, kPackageExtension);
}

// The settings' number of selected kinds, which a damaged record may carry
// beyond the list.
std::size_t stored_selection_count(const Settings& settings) {
  return std::min<std::size_t>(settings.u32(Settings::kRandomPoolCount), Settings::kRandomPoolCapacity);
}

}  // namespace

bool is_allowed_kind(int kind) {
  return kind == kRandomKind ||
         std::find(std::begin(kShippedKinds), std::end(kShippedKinds), kind) != std::end(kShippedKinds);
}

int kind_of_file_name(std::string_view file_name) {
  std::size_t i = 0;
  while (i < file_name.size() && (file_name[i] == ' ' || (file_name[i] >= '\t' && file_name[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < file_name.size() && (file_name[i] == '+' || file_name[i] == '-')) negative = file_name[i++] == '-';
  long long value = 0;
  for (; i < file_name.size() && file_name[i] >= '0' && file_name[i] <= '9'; ++i) {
    value = std::min(value * 10 + (file_name[i] - '0'), static_cast<long long>(INT_MAX) + 1);
  }
  if (negative) return static_cast<int>(std::max(-value, static_cast<long long>(INT_MIN)));
  return static_cast<int>(std::min(value, static_cast<long long>(INT_MAX)));
}

std::string FishCatalogue::default_fish_folder() { return render::program_folder().str() + "Fish/"; }

std::string FishCatalogue::package_path(int kind) const {
  return folder_ + std::to_string(kind) + std::string(kPackageExtension);
}

void FishCatalogue::scan(const std::string& fish_folder) {
  items_.clear();
  dweller_kinds_.clear();
  folder_ = render::with_trailing_separator(fish_folder);
  if (folder_.empty()) return;

  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator it(folder_, error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    std::error_code ignored;
    if (!it->is_regular_file(ignored)) continue;
    std::string name = it->path().filename().string();
    if (is_package_name(name)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return platform::less_ignore_ascii_case(a, b);
  });

  std::size_t allowed_count = 0;
  for (const std::string& name : names) {
    const int kind = kind_of_file_name(name);
    if (kind <= 0 || index_of(kind) >= 0) continue;
    const std::optional<std::uint8_t> class_byte =
        render::PackageReader::check_file((folder_ + name).c_str());
    if (!class_byte) continue;
    if (*class_byte == kDwellerClass) dweller_kinds_.push_back(kind);

    FishCatalogueItem item;
    item.kind = kind;
    item.allowed = is_allowed_kind(kind);
    item.title =
        render::caption_title(folder_ + std::to_string(kind) + ".bmp", FishCatalogueItem::kTitleLength);
    if (item.allowed) {
      items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(allowed_count++), std::move(item));
    } else {
      items_.push_back(std::move(item));
    }
  }
}

const FishCatalogueItem* FishCatalogue::item(std::size_t index) const {
  return index < items_.size() ? &items_[index] : nullptr;
}

int FishCatalogue::index_of(int kind) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].kind == kind) return static_cast<int>(i);
  }
  return -1;
}

const render::PackedDib* FishCatalogue::thumbnail(std::size_t index) {
  if (index >= items_.size()) return nullptr;
  FishCatalogueItem& entry = items_[index];
  if (entry.thumbnail.empty()) {
    const std::string path = folder_ + std::to_string(entry.kind) + ".bmp";
    if (!entry.thumbnail.load_image_file(path.c_str())) return nullptr;
  }
  return &entry.thumbnail;
}

bool FishCatalogue::is_dweller(int kind) const {
  return std::find(dweller_kinds_.begin(), dweller_kinds_.end(), kind) != dweller_kinds_.end();
}

void FishCatalogue::mark_selected(const Settings& settings) {
  const bool all = settings.flag(Settings::kAllKindsInPool);
  const std::size_t count = stored_selection_count(settings);
  for (FishCatalogueItem& entry : items_) {
    entry.selected = all;
    for (std::size_t i = 0; !all && i < count; ++i) {
      if (settings.i32(Settings::kRandomPool + 4 * i) == entry.kind) {
        entry.selected = true;
        break;
      }
    }
  }
}

bool FishCatalogue::set_selected(std::size_t index, bool selected) {
  if (index >= items_.size()) return false;
  items_[index].selected = selected;
  return true;
}

void FishCatalogue::select_all(bool selected) {
  for (FishCatalogueItem& entry : items_) entry.selected = selected;
}

std::size_t FishCatalogue::selected_count() const {
  return static_cast<std::size_t>(std::count_if(
      items_.begin(), items_.end(), [](const FishCatalogueItem& entry) { return entry.selected; }));
}

void FishCatalogue::save_selection(Settings& settings) const {
  std::size_t written = 0;
  for (const FishCatalogueItem& entry : items_) {
    if (!entry.selected || written == Settings::kRandomPoolCapacity) continue;
    settings.set_i32(Settings::kRandomPool + 4 * written++, entry.kind);
  }
  settings.set_u32(Settings::kRandomPoolCount, static_cast<std::uint32_t>(written));
  settings.set_flag(Settings::kAllKindsInPool, selected_count() == items_.size());
}

void RandomPool::rebuild(const FishCatalogue& catalogue) {
  kinds_.clear();
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    const FishCatalogueItem& entry = *catalogue.item(i);
    if (entry.selected && entry.allowed) kinds_.push_back(entry.kind);
  }
}

std::optional<int> RandomPool::pick(bool unique, base::CrtRandom& random) {
  if (kinds_.empty()) return std::nullopt;
  const std::size_t n = kinds_.size();
  const float r = random.unit();
  const auto index = std::min(static_cast<std::size_t>(std::floor(r * static_cast<float>(n))), n - 1);
  const int kind = kinds_[index];
  if (unique) {
    kinds_[index] = kinds_.back();
    kinds_.pop_back();
  }
  return kind;
}

void RandomPool::give_back(int kind) {
  if (kind != kRandomKind && is_allowed_kind(kind) && !contains(kind)) kinds_.push_back(kind);
}

bool RandomPool::contains(int kind) const {
  return std::find(kinds_.begin(), kinds_.end(), kind) != kinds_.end();
}

}  // namespace fish
