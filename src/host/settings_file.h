#pragma once
#include <string>

#include "base/user_settings.h"

namespace host {

inline constexpr char kSettingsFileName[] = "UserSet";

// Zeroes the record and writes every default; the window is centred on a
// screen of the given size.
void reset_to_defaults(base::UserSettings& settings, int screen_width, int screen_height);

// Keeps a stored window on the screen: negative corners become 0, and a
// window outside the screen or of an impossible size becomes 800 x 450 at
// its corner.
void validate_window_rect(base::UserSettings& settings, int screen_width, int screen_height);

enum class SettingsLoad { Loaded, Defaults, Unreadable };

// Reads `folder` + "UserSet" over the record (at most 1024 bytes; a shorter
// file fills only its length). A missing file gives the defaults, which are
// written at once unless `may_write` is false. A file that exists but cannot
// be read leaves it alone and also gives the defaults.
SettingsLoad load_settings(base::UserSettings& settings, const std::string& folder, int screen_width,
                           int screen_height, bool may_write);

// Replaces `folder` + "UserSet" with the record; false when that failed (the
// old file is then intact).
bool save_settings(const base::UserSettings& settings, const std::string& folder);

}  // namespace host
