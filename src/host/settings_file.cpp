#include "host/settings_file.h"

#include <algorithm>
#include <filesystem>

#include "base/file_io.h"

namespace host {

void reset_to_defaults(base::UserSettings& s, int screen_width, int screen_height) {
  s.bytes().fill(0);
  s.set_u32(base::UserSettings::kFlags, 0x1140024C);
  s.set_u32(base::UserSettings::kFeedingInterval, 42);
  s.set_i32(base::UserSettings::kWindowLeft, (screen_width - 800) / 2);
  s.set_i32(base::UserSettings::kWindowTop, (screen_height - 450) / 2);
  s.set_i32(base::UserSettings::kWindowWidth, 800);
  s.set_i32(base::UserSettings::kWindowHeight, 450);
  s.set_u32(base::UserSettings::kMusicVolume, 100);
  s.set_u32(base::UserSettings::kSoundVolume, 100);
  s.set_text(base::UserSettings::kSoundName, 32, "Water");
  s.set_text(base::UserSettings::kLayoutName, 64, "Layout01");
  s.set_text(base::UserSettings::kTankName, 64, "Tank01_Anemone01");
  const int32_t fish[] = {10008, 10008, 10008, 10008, 10008, 10008, 10008, 30001, 30001, 30005};
  for (size_t i = 0; i < std::size(fish); ++i) s.set_i32(0x118 + 4 * i, fish[i]);
  s.set_u32(0x32C, 20);
  s.set_u32(0x330, 25);
  const uint32_t colours[] = {0xFFFFFF, 0xAAFFAA, 0x80FFFF, 0xBEBEBE, 0x9696FF, 0xFF8000,
                              0xFFFF80, 0x804000, 0x408000, 0x80FF80, 0x80FFFF, 0x004080,
                              0x800000, 0xFFFF80, 0x000040, 0x8080FF, 0x000000, 0xFF8000};
  for (size_t i = 0; i < std::size(colours); ++i) s.set_u32(0x338 + 4 * i, colours[i]);
  s.set_u32(base::UserSettings::kBubbleFlags, 1);
  s.set_u32(base::UserSettings::kBubbleEmitter, 50);
  s.set_u32(0x388, 100);
  s.set_u32(0x38C, 25);
  s.set_u32(0x390, 20);
  s.set_u32(0x394, 20);
  s.set_u32(0x398, 100);
  s.set_i32(base::UserSettings::kZoomDirection, -1);
}

void validate_window_rect(base::UserSettings& s, int screen_width, int screen_height) {
  int32_t left = std::max(s.i32(base::UserSettings::kWindowLeft), 0);
  int32_t top = std::max(s.i32(base::UserSettings::kWindowTop), 0);
  int32_t width = s.i32(base::UserSettings::kWindowWidth);
  int32_t height = s.i32(base::UserSettings::kWindowHeight);
  s.set_i32(base::UserSettings::kWindowLeft, left);
  s.set_i32(base::UserSettings::kWindowTop, top);
  bool fits = left < screen_width && top < screen_height && width >= 320 && width <= screen_width &&
              height >= 200 && height <= screen_height;
  if (!fits) {
    s.set_i32(base::UserSettings::kWindowWidth, 800);
    s.set_i32(base::UserSettings::kWindowHeight, 450);
  }
}

SettingsLoad load_settings(base::UserSettings& s, const std::string& folder, int screen_width,
                           int screen_height, bool may_write) {
  std::filesystem::path path = std::filesystem::path(folder) / kSettingsFileName;
  auto data = base::read_file(path);
  if (!data) {
    std::error_code error;
    bool exists = std::filesystem::exists(path, error);
    reset_to_defaults(s, screen_width, screen_height);
    // A file that is there but unreadable may still be the user's settings:
    // never replace it with defaults.
    if (exists) return SettingsLoad::Unreadable;
    if (may_write) save_settings(s, folder);
    return SettingsLoad::Defaults;
  }
  std::copy_n(data->begin(), std::min(data->size(), base::UserSettings::kSize), s.bytes().begin());
  validate_window_rect(s, screen_width, screen_height);
  return SettingsLoad::Loaded;
}

bool save_settings(const base::UserSettings& s, const std::string& folder) {
  std::filesystem::path path = std::filesystem::path(folder) / kSettingsFileName;
  return base::write_file_atomically(path, s.bytes());
}

}  // namespace host
