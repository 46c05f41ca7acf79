#include "host/settings_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "base/file_io.h"

namespace host {
namespace {

std::filesystem::path settings_path(const std::string& folder) {
  return std::filesystem::path(folder) / kSettingsFileName;
}

// The first 1024 bytes of the file (fewer when it is shorter), or nullopt
// when it is not a regular file that can be read.
std::optional<std::vector<uint8_t>> read_record_bytes(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<uint8_t> data(base::UserSettings::kSize);
  in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (in.bad()) return std::nullopt;
  data.resize(static_cast<std::size_t>(in.gcount()));
  return data;
}

}  // namespace

SettingsLoad load_settings(base::UserSettings& s, const std::string& folder, int screen_width,
                           int screen_height, bool may_write) {
  const std::filesystem::path path = settings_path(folder);
  std::optional<std::vector<uint8_t>> data = read_record_bytes(path);
  if (!data) {
    // Only a file that is surely not there may be replaced; one that cannot
    // even be looked at counts as unreadable.
    std::error_code error;
    const bool missing =
        std::filesystem::symlink_status(path, error).type() == std::filesystem::file_type::not_found;
    reset_to_defaults(s, screen_width, screen_height);
    if (!missing) return SettingsLoad::Unreadable;
    if (may_write) save_settings(s, folder);
    return SettingsLoad::Defaults;
  }
  apply_settings_bytes(s, *data, screen_width, screen_height);
  return SettingsLoad::Loaded;
}

void apply_settings_bytes(base::UserSettings& s, std::span<const uint8_t> bytes, int screen_width,
                          int screen_height) {
  std::copy_n(bytes.begin(), std::min(bytes.size(), base::UserSettings::kSize), s.bytes().begin());
  validate_window_rect(s, screen_width, screen_height);
  repair_settings_fields(s);
}

bool save_settings(const base::UserSettings& s, const std::string& folder) {
  return base::write_file_atomically(settings_path(folder), s.bytes());
}

}  // namespace host
