#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "base/user_settings.h"
#include "host/settings_record.h"

namespace host {

inline constexpr char kSettingsFileName[] = "UserSet";
inline constexpr char kTankCycleFileName[] = "CycleTanks.txt";

enum class SettingsLoad {
  Loaded,      // the file was read over the record
  Defaults,    // there was no file: the record holds the defaults
  Unreadable,  // a file is there but cannot be read: defaults, and the file must not be replaced
};

// Reads `folder` + "UserSet" over the record: at most 1024 bytes, and a
// shorter file fills only its length, leaving the rest of the record as it
// was. Then the window rectangle is validated for the screen and the fields
// are repaired (repair_settings_fields).
//
// A missing file gives the defaults, which are written at once unless
// `may_write` is false (the preview writes nothing). A file that exists but
// cannot be read also gives the defaults but is left alone: it may still be
// the user's settings. A caller that gets Unreadable should not save the
// record at the end of the run either.
SettingsLoad load_settings(base::UserSettings& settings, const std::string& folder, int screen_width,
                           int screen_height, bool may_write);

// What load_settings does with the bytes of a file it could read: copies at
// most 1024 of them over the record (fewer leave the rest as it was), then
// validates the window and repairs the fields.
void apply_settings_bytes(base::UserSettings& settings, std::span<const uint8_t> bytes, int screen_width,
                          int screen_height);

// Replaces `folder` + "UserSet" with the record; false when that failed (the
// old file is then intact).
bool save_settings(const base::UserSettings& settings, const std::string& folder);

}  // namespace host
